#include "log/Score.h"

#include "log/DateTimeText.h"
#include "log/GridSquare.h"

#include <QHash>

namespace {

constexpr int CqContest = 5;
constexpr int Band50 = 0;
constexpr int Band144 = 1;
constexpr int Band222 = 2;
constexpr int Band432 = 3;
constexpr int Band902 = 4;
constexpr int Band1296 = 5;
constexpr int FirstMicrowave = 6; // "2.3 G" up to "300 G"

// Grids, own grids and band labels are compared without regard to case; the
// upper-cased text is the lookup key. Keys that are already upper case (the
// usual log) are shared, not copied.
QString foldKey(const QString &s) { return s.toUpper(); }

// Band index of a log's band text, ignoring case; -1 for none. Called for
// every record of a reload, so it looks the text up instead of comparing it
// with every label in turn.
int bandIndexOf(const QString &band)
{
    static const QHash<QString, int> byLabel = [] {
        QHash<QString, int> h;
        for (int i = 0; i < Bands::Count; ++i)
            h.insert(foldKey(Bands::label(i)), i);
        return h;
    }();
    return byLabel.value(foldKey(band), -1);
}

bool validBand(int bandIndex) { return bandIndex >= 0 && bandIndex < Bands::Count; }

const QStringList &emptyList()
{
    static const QStringList none;
    return none;
}

// Whole seconds between two wall-clock readings taken as UTC, so that no
// daylight-saving rule of the machine's time zone shifts them.
QDateTime asUtc(const QDateTime &t)
{
    const QTime tm = t.time();
    return QDateTime(t.date(), QTime(tm.hour(), tm.minute(), tm.second()), Qt::UTC);
}

} // namespace

bool isGridTallied(int bandIndex, int contestType, bool rover)
{
    if (contestType == CqContest && rover)
        return bandIndex == Band50 || bandIndex == Band144;
    return true;
}

QString gridKey(const QsoRecord &r, int contestType, bool rover)
{
    if (contestType == CqContest && rover) {
        const int b = bandIndexOf(r.uband);
        if (b == Band50 || b == Band144)
            return gridSquare(r.gridr) + QLatin1Char(' ') + gridSquare(r.grids);
    }
    return gridSquare(r.gridr);
}

void Tally::clear()
{
    for (Band &b : m_bands) {
        b.qsoCount = 0;
        b.worked.clear();
        b.seen.clear();
    }
    m_activated.clear();
    m_activatedSeen.clear();
}

void Tally::recompute(const LogMirror &m, int contestType, bool rover)
{
    clear();
    for (const QsoRecord &r : m.records())
        addLogged(r, contestType, rover);
}

void Tally::addLogged(const QsoRecord &r, int contestType, bool rover)
{
    const int b = bandIndexOf(r.uband);
    if (b >= 0) {
        Band &band = m_bands[static_cast<size_t>(b)];
        ++band.qsoCount;
        if (isGridTallied(b, contestType, rover)) {
            const QString key = gridKey(r, contestType, rover);
            const QString folded = foldKey(key);
            if (!band.seen.contains(folded)) {
                band.seen.insert(folded);
                band.worked.append(key);
            }
        }
    }
    const QString own = gridSquare(r.grids);
    if (!m_activatedSeen.contains(own)) {
        m_activatedSeen.insert(own);
        m_activated.append(own);
    }
}

int Tally::qsoCount(int bandIndex) const
{
    return validBand(bandIndex) ? m_bands[static_cast<size_t>(bandIndex)].qsoCount : 0;
}

int Tally::gridCount(int bandIndex) const
{
    return validBand(bandIndex)
               ? static_cast<int>(m_bands[static_cast<size_t>(bandIndex)].worked.size())
               : 0;
}

const QStringList &Tally::workedGrids(int bandIndex) const
{
    return validBand(bandIndex) ? m_bands[static_cast<size_t>(bandIndex)].worked : emptyList();
}

bool Tally::isWorked(int bandIndex, const QString &key) const
{
    return validBand(bandIndex) && m_bands[static_cast<size_t>(bandIndex)].seen.contains(foldKey(key));
}

ScoreTotals scoreTotals(const Tally &t, int contestType, bool rover)
{
    auto q = [&t](int b) { return static_cast<qint64>(t.qsoCount(b)); };
    auto g = [&t](int b) { return static_cast<qint64>(t.gridCount(b)); };
    auto sumQ = [&q](int from, int to) {
        qint64 s = 0;
        for (int b = from; b <= to; ++b)
            s += q(b);
        return s;
    };
    auto sumG = [&g](int from, int to) {
        qint64 s = 0;
        for (int b = from; b <= to; ++b)
            s += g(b);
        return s;
    };
    const int last = Bands::Count - 1;
    const qint64 microwave = sumQ(FirstMicrowave, last);

    ScoreTotals s;
    switch (contestType) {
    case 1: // January VHF Sweepstakes
        s.qsoPoints = (q(Band50) + q(Band144)) + 2 * (q(Band222) + q(Band432))
                      + 4 * (q(Band902) + q(Band1296)) + 8 * microwave;
        s.multipliers = sumG(0, last);
        s.contacts = sumQ(0, last);
        break;
    case 2: // June VHF QSO Party
    case 4: // September VHF QSO Party
        s.qsoPoints = (q(Band50) + q(Band144)) + 2 * (q(Band222) + q(Band432))
                      + 3 * (q(Band902) + q(Band1296)) + 4 * microwave;
        s.multipliers = sumG(0, last);
        s.contacts = sumQ(0, last);
        break;
    case 3: // UHF Contest: 50 and 144 MHz do not count
        s.qsoPoints = 3 * (q(Band222) + q(Band432)) + 6 * (q(Band902) + q(Band1296))
                      + 12 * microwave;
        s.multipliers = sumG(Band222, last);
        s.contacts = sumQ(Band222, last);
        break;
    case CqContest: // CQ World Wide VHF: 50 and 144 MHz only
        s.qsoPoints = q(Band50) + 2 * q(Band144);
        s.multipliers = g(Band50) + g(Band144);
        s.contacts = q(Band50) + q(Band144);
        break;
    default: // no contest chosen: nothing scores
        return s;
    }
    if (contestType < CqContest && rover)
        s.multipliers += t.activatedGrids().size();
    s.score = s.qsoPoints * s.multipliers;
    return s;
}

namespace {

// Two digits at position i of s, or -1.
int twoDigitsAt(const QString &s, int i)
{
    const char16_t a = s.at(i).unicode(), b = s.at(i + 1).unicode();
    if (a < u'0' || a > u'9' || b < u'0' || b > u'9')
        return -1;
    return (a - u'0') * 10 + (b - u'0');
}

// Seconds since 1970 of a record's UTC date and time. The log's own forms
// ("yyyy/mm/dd", "hh:mm:ss" or "hh:mm") are read directly, every other form
// the way the date and time fields read it. lastDate and lastDay keep the
// date read last: most records share their date with the one before.
std::optional<qint64> recordSeconds(const QsoRecord &r, QString &lastDate, qint64 &lastDay)
{
    const QString &d = r.flddate, &t = r.fldtime;
    const bool plainTime = (t.size() == 8 && t.at(5) == u':') || t.size() == 5;
    if (d.size() == 10 && d.at(4) == u'/' && d.at(7) == u'/' && plainTime && t.at(2) == u':') {
        const int h = twoDigitsAt(t, 0), mi = twoDigitsAt(t, 3), sec = t.size() == 8 ? twoDigitsAt(t, 6) : 0;
        if (h >= 0 && h < 24 && mi >= 0 && mi < 60 && sec >= 0 && sec < 60) {
            if (d != lastDate) {
                const int y1 = twoDigitsAt(d, 0), y2 = twoDigitsAt(d, 2), mo = twoDigitsAt(d, 5),
                          day = twoDigitsAt(d, 8);
                const QDate date(y1 * 100 + y2, mo, day);
                if (y1 < 0 || y2 < 0 || !date.isValid())
                    return std::nullopt;
                lastDate = d;
                lastDay = date.toJulianDay() - QDate(1970, 1, 1).toJulianDay();
            }
            return lastDay * 86400 + h * 3600 + mi * 60 + sec;
        }
    }
    const auto when = DateTimeText::parseLogDateTime(d, t);
    if (!when)
        return std::nullopt;
    return asUtc(*when).toSecsSinceEpoch();
}

} // namespace

Rates qsoRates(const LogMirror &m, const QDateTime &utcNow)
{
    const qint64 now = asUtc(utcNow).toSecsSinceEpoch();
    int in20 = 0;
    int in60 = 0;
    QString lastDate;
    qint64 lastDay = 0;
    for (int i = m.recordCount(); i >= 1; --i) {
        const auto when = recordSeconds(m.at(i), lastDate, lastDay);
        if (!when)
            continue;
        const qint64 age = now - *when;
        if (age < 1200)
            ++in20;
        if (age >= 3600)
            break;
        ++in60;
    }
    return {in60, in20 * 3};
}

Rates RateCounter::rates(const LogMirror &m, const QDateTime &utcNow)
{
    const qint64 now = asUtc(utcNow).toSecsSinceEpoch();
    const int n = m.recordCount();
    QString lastDate;
    qint64 lastDay = 0;
    auto read = [&](Seen &seen, const QsoRecord &r) {
        seen.date = r.flddate;
        seen.time = r.fldtime;
        const auto when = recordSeconds(r, lastDate, lastDay);
        seen.readable = when.has_value();
        seen.seconds = when.value_or(0);
    };
    // Records past the log's end are gone; those added since are read.
    while (!m_seen.empty() && m_first + static_cast<int>(m_seen.size()) - 1 > n)
        m_seen.pop_back();
    if (m_seen.empty())
        m_first = n + 1;
    for (int i = m_first + static_cast<int>(m_seen.size()); i <= n; ++i)
        read(m_seen.emplace_back(), m.at(i));

    int in20 = 0;
    int in60 = 0;
    int i = n;
    for (; i >= 1; --i) {
        const QsoRecord &r = m.at(i);
        if (i < m_first) {
            m_seen.emplace_front();
            --m_first;
            read(m_seen.front(), r);
        }
        Seen &seen = m_seen[static_cast<size_t>(i - m_first)];
        if (seen.date.constData() != r.flddate.constData() || seen.date.size() != r.flddate.size() ||
            seen.time.constData() != r.fldtime.constData() || seen.time.size() != r.fldtime.size())
            read(seen, r);
        if (!seen.readable)
            continue;
        const qint64 age = now - seen.seconds;
        if (age < 1200)
            ++in20;
        if (age >= 3600)
            break;
        ++in60;
    }
    // What lies before the record that ended the walk is not needed again
    // until the clock goes back.
    while (!m_seen.empty() && m_first < i) {
        m_seen.pop_front();
        ++m_first;
    }
    return {in60, in20 * 3};
}

bool showsNewMark(const Tally &t, const QString &currentBand, const QString &gridText,
                  int contestType, bool rover, const QString &ownGrid)
{
    if (gridText.size() < 4)
        return false;
    const int b = bandIndexOf(currentBand);
    if (b < 0)
        return false;
    const QString key = (contestType == CqContest && rover)
                            ? gridSquare(gridText) + QLatin1Char(' ') + gridSquare(ownGrid)
                            : gridSquare(gridText);
    return !t.isWorked(b, key);
}

QString countLabelText(const Tally &t, int bandIndex)
{
    return QStringLiteral("%1 / %2").arg(t.qsoCount(bandIndex)).arg(t.gridCount(bandIndex));
}
