#include "spots/SpotStore.h"

#include "platform/Clock.h"
#include "platform/SeqFile.h"
#include "spots/SpotLines.h"

#include <cmath>

bool SpotStore::add(const QString &call, const QString &frequencyKHz, const QString &record)
{
    if (!m_ownCall.isEmpty() && call.compare(m_ownCall, Qt::CaseInsensitive) == 0)
        emit ownCallSpotted(record);
    const auto khz = parseNumber(frequencyKHz);
    if (!khz)
        return false;
    const QString kept = record.section(u'\r', 0, 0);
    const float mhz = static_cast<float>(*khz / 1000.0);
    for (int i = 1; i < Size; ++i)
        m_spots[size_t(i - 1)] = m_spots[size_t(i)];
    m_spots[Size - 1] = Spot{call, mhz, Clock::localNow(), SpotMap::callPrefix(call)};
    // A station spotted again shows once, at its new frequency.
    for (int i = Size - 2; i >= 0; --i) {
        if (!m_spots[size_t(i)].call.isEmpty() &&
            m_spots[size_t(i)].call.compare(call, Qt::CaseInsensitive) == 0) {
            m_spots[size_t(i)].mhz = 0;
            break;
        }
    }
    emit spotArrived(call, mhz, kept);
    emit spotsChanged();
    return true;
}

void SpotStore::remove(int slot)
{
    if (slot < 0 || slot >= Size)
        return;
    m_spots[size_t(slot)].mhz = 0;
    emit spotsChanged();
}

namespace SpotMap {

QString callPrefix(const QString &call)
{
    const qsizetype n = call.size();
    if (n < 3)
        return QString();
    const qsizetype slash = call.lastIndexOf(u'/');
    qsizetype lastDigit = -1;
    for (qsizetype i = 0; i < n; ++i)
        if (call[i].isDigit())
            lastDigit = i;
    const qsizetype d = lastDigit < 0 ? n : lastDigit + 1; // characters up to the last digit
    if (slash < 0)
        return call.left(d);
    if (double(slash + 1) < double(n) / 2.0 + 1.0)
        return call.left(slash);
    const QString t = call.mid(slash + 1, d);
    bool number = false;
    t.toInt(&number);
    if (!number)
        return t;
    qsizetype firstDigit = 0;
    while (firstDigit < n && !call[firstDigit].isDigit())
        ++firstDigit;
    return call.left(firstDigit) + t;
}

QString Scale::markText(int k) const { return QString::number(marks[size_t(k)], 'f', 3); }

std::pair<double, double> bandEdges(const QString &bandLabel)
{
    static const std::pair<const char *, std::pair<double, double>> edges[] = {
        {"50 M", {50, 54}},       {"144 M", {144, 148}},    {"222 M", {218, 225}},
        {"432 M", {420, 450}},    {"902 M", {902, 928}},    {"1.3 G", {1240, 1300}},
        {"2.3 G", {2300, 2450}},  {"3.5 G", {3300, 3500}},  {"5.8 G", {5650, 5925}},
        {"10 G", {10000, 10500}},
    };
    for (const auto &[label, range] : edges)
        if (bandLabel == QLatin1String(label))
            return range;
    return {0, 0};
}

Scale scale(const QString &bandLabel, const SpotStore &store)
{
    const auto [bottom, top] = bandEdges(bandLabel);
    double lowest = top, highest = bottom;
    for (int i = 0; i < SpotStore::Size; ++i) {
        const double f = store.at(i).mhz;
        if (f > bottom && f < top) {
            lowest = std::min(lowest, f);
            highest = std::max(highest, f);
        }
    }
    Scale s;
    if (highest > lowest) {
        s.lower = lowest - 0.001;
        s.upper = highest + 0.001;
    } else {
        s.lower = bottom;
        s.upper = top;
    }
    for (int k = 0; k < 5; ++k)
        s.marks[size_t(k)] = std::round((s.lower + k * 0.25 * (s.upper - s.lower)) * 1000.0) / 1000.0;
    // The ends the labels are placed between are the marks as shown.
    s.lower = s.marks[0];
    s.upper = s.marks[4];
    return s;
}

std::optional<QColor> ageColour(qint64 seconds)
{
    if (seconds < 600)
        return QColor(0xFF, 0xFF, 0x80);
    if (seconds < 1800)
        return QColor(Qt::white);
    if (seconds < 3600)
        return QColor(0xC0, 0xC0, 0xC0);
    return std::nullopt;
}

QList<Label> labels(const SpotStore &store, const Scale &scale, const QDateTime &now, double utcOffsetHours)
{
    return labels(store, scale.lower, scale.upper, now, utcOffsetHours);
}

QList<Label> labels(const SpotStore &store, double lower, double upper, const QDateTime &now,
                    double utcOffsetHours)
{
    QList<Label> out;
    if (upper <= lower)
        return out;
    for (int i = SpotStore::Size - 1; i >= 0; --i) {
        const Spot &s = store.at(i);
        if (s.call.isEmpty() && s.mhz == 0)
            continue;
        const auto colour = ageColour(s.arrived.secsTo(now));
        if (!colour)
            break; // every older slot is older still
        const double f = s.mhz;
        if (!(f > lower && f <= upper))
            continue;
        Label l;
        l.slot = i;
        l.caption = s.prefix;
        l.toolTip = s.call + QStringLiteral("  ") + QString::number(f, 'f', 3) + QStringLiteral("  ") +
                    Clock::stationUtc(s.arrived, utcOffsetHours).toString(QStringLiteral("HH:mm:ss"));
        l.position = (f - lower) / (upper - lower);
        l.colour = *colour;
        out.append(l);
    }
    return out;
}

QStringList listColumns(const QString &record)
{
    using SpotLine::column;
    return {QString(), QString(),
            column(record, 1, 11) + QStringLiteral("  ") + column(record, 35, 25),
            column(record, 62, 5), record.mid(67, 4), column(record, 74, 4)};
}

} // namespace SpotMap
