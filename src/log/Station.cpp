#include "log/Station.h"

#include "log/Bands.h"
#include "platform/AtomicFile.h"
#include "platform/SeqFile.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <cmath>
#include <optional>

namespace Preferences {

QByteArray serialize(const Station &s)
{
    SeqWriter w;
    w.text(s.ownCall).endLine();
    w.text(s.ownGrid).endLine();
    w.number(s.utcOffsetHours).endLine();
    w.text(s.currentMode).endLine();
    w.text(s.currentBand).endLine();
    w.number(s.accumulatedOnSeconds).endLine();
    w.number(s.contestType).endLine();
    w.number(s.recordRst).endLine();
    w.number(s.formSizePercent).endLine();
    w.number(s.roverFlag).endLine();
    w.number(s.longitude).endLine();
    w.number(s.latitude).endLine();
    w.text(s.view).endLine();
    w.number(static_cast<qint64>(s.workedColor)).endLine();
    w.number(static_cast<qint64>(s.remainingColor)).endLine();
    w.text(s.logPath).endLine();
    w.number(s.refreshRateMs).endLine();
    w.number(s.navigationLevel).endLine();
    w.text(s.rig).endLine();
    w.number(s.taskbar).endLine();
    w.number(s.listPrevious).endLine();
    return w.data();
}

namespace {

// Reads the file one setting per line, so that a damaged line costs its own
// value only, and collects what could not be used.
class PrefReader {
public:
    explicit PrefReader(const QByteArray &data) { m_lines = SeqReader::lines(data, &m_unclosed); }

    QStringList warnings;

    // The next line's value; nothing when the file has ended or the line is
    // damaged (then the default stays and a warning says so).
    std::optional<QString> next(const QString &name, const QString &shownDefault)
    {
        const int n = m_line++;
        if (n >= m_lines.size())
            return std::nullopt; // a short file is no fault
        const QStringList &values = m_lines.at(n);
        if (m_unclosed.contains(n))
            return refuse(name, QStringLiteral("the line is damaged (a closing quote is missing)"),
                          shownDefault);
        if (values.isEmpty())
            return refuse(name, QStringLiteral("the line is empty"), shownDefault);
        return values.first();
    }

    std::nullopt_t refuse(const QString &name, const QString &why, const QString &shownDefault)
    {
        warnings.append(QStringLiteral("Line %1 (%2): %3; %4 is used instead.")
                            .arg(m_line)
                            .arg(name, why,
                                 shownDefault.isEmpty() ? QStringLiteral("an empty value")
                                                        : shownDefault));
        return std::nullopt;
    }

    void text(const QString &name, QString &out)
    {
        if (auto v = next(name, quoted(out)))
            out = *v;
    }

    // One of a fixed set of texts: normalise gives the setting's own
    // spelling of the value, or nothing when it is none of them.
    template <typename F>
    void choice(const QString &name, QString &out, const QString &choices, F normalise)
    {
        const auto v = next(name, quoted(out));
        if (!v)
            return;
        if (const auto n = normalise(*v))
            out = *n;
        else
            refuse(name, quoted(*v) + QStringLiteral(" is not ") + choices, quoted(out));
    }

    template <typename T> void number(const QString &name, T &out, double lo, double hi, bool whole)
    {
        const auto v = next(name, seqNumber(static_cast<double>(out)));
        if (!v)
            return;
        const auto d = parseNumber(*v);
        if (d && *d >= lo && *d <= hi && (!whole || std::floor(*d) == *d))
            out = static_cast<T>(*d);
        else
            refuse(name,
                   quoted(*v) + QStringLiteral(" is not a%1 number from %2 to %3")
                                    .arg(whole ? QStringLiteral(" whole") : QString(),
                                         seqNumber(lo), seqNumber(hi)),
                   seqNumber(static_cast<double>(out)));
    }

private:
    static QString quoted(const QString &t) { return u'"' + t + u'"'; }
    QList<QStringList> m_lines;
    QList<int> m_unclosed;
    int m_line = 0;
};

std::optional<QString> modeNamed(const QString &text)
{
    const QString t = text.trimmed().toUpper();
    if (t == Modes::CW || t == Modes::Phone)
        return t;
    return std::nullopt;
}

std::optional<QString> viewNamed(const QString &text)
{
    for (const QString &v : {QStringLiteral("View Grids"), QStringLiteral("View Bands")})
        if (text.trimmed().compare(v, Qt::CaseInsensitive) == 0)
            return v;
    return std::nullopt;
}

} // namespace

QStringList parse(const QByteArray &data, Station &s)
{
    PrefReader r(data);
    r.text(QStringLiteral("call"), s.ownCall);
    r.text(QStringLiteral("grid"), s.ownGrid);
    r.number(QStringLiteral("hours for UTC"), s.utcOffsetHours, -24, 24, false);
    r.choice(QStringLiteral("mode"), s.currentMode, QStringLiteral("CW or PH"), modeNamed);
    r.choice(QStringLiteral("band"), s.currentBand, QStringLiteral("a band of the band table"),
             Bands::labelNamed);
    r.number(QStringLiteral("time on"), s.accumulatedOnSeconds, 0, 1e9, false);
    r.number(QStringLiteral("contest"), s.contestType, 1, 5, true);
    r.number(QStringLiteral("report recording"), s.recordRst, 0, 255, true);
    r.number(QStringLiteral("form size"), s.formSizePercent, 30, 100, true);
    r.number(QStringLiteral("rover"), s.roverFlag, 0, 255, true);
    r.number(QStringLiteral("longitude"), s.longitude, -360, 360, false);
    r.number(QStringLiteral("latitude"), s.latitude, -90, 90, false);
    r.choice(QStringLiteral("view"), s.view, QStringLiteral("\"View Grids\" or \"View Bands\""),
             viewNamed);
    r.number(QStringLiteral("worked colour"), s.workedColor, 0, 0xFFFFFF, true);
    r.number(QStringLiteral("remaining colour"), s.remainingColor, 0, 0xFFFFFF, true);
    r.text(QStringLiteral("log path"), s.logPath);
    r.number(QStringLiteral("refresh interval"), s.refreshRateMs, 6000, 60000, false);
    r.number(QStringLiteral("voice navigation"), s.navigationLevel, 0, 2, true);
    r.text(QStringLiteral("rig"), s.rig);
    r.number(QStringLiteral("taskbar"), s.taskbar, 0, 1, true);
    r.number(QStringLiteral("list previous"), s.listPrevious, 0, 1, true);
    return r.warnings;
}

bool save(const Station &s, const QString &folder, QString *error)
{
    const QByteArray data = serialize(s);
    return writeFileAtomically(QDir(folder).filePath(FileName), data, error);
}

QStringList load(Station &s, const QString &folder)
{
    const WholeFile::Read file = WholeFile::read(QDir(folder).filePath(FileName), WholeFile::SettingsLimit);
    if (file.status == WholeFile::Read::Status::Missing)
        return {};
    if (!file.ok())
        return {QStringLiteral("The file is not read: %1. Every setting keeps its default.")
                    .arg(file.reason)};
    return parse(file.data, s);
}

QString warningMessage(const QStringList &warnings)
{
    if (warnings.isEmpty())
        return QString();
    return QStringLiteral("Some settings in the preferences file %1 could not be used:\r\n\r\n")
               .arg(FileName)
           + warnings.join(QStringLiteral("\r\n"));
}

} // namespace Preferences

QString safeCallSign(const QString &call)
{
    QString out;
    for (const QChar c : call) {
        if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z'))
            out.append(c);
        else
            break;
    }
    return out.isEmpty() ? QStringLiteral("YourCall") : out;
}
