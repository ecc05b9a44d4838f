#include "export/Adif.h"

#include "export/Cabrillo.h"
#include "log/Bands.h"
#include "log/DateTimeText.h"
#include "log/Folders.h"
#include "platform/AtomicFile.h"

#include <QLocale>

namespace {
const QByteArray CrLf("\r\n");

// The local date and time as the desktop writes them: its short date and the
// time with seconds.
QString generalDate(const QDateTime &t)
{
    const QLocale locale = QLocale::system();
    return locale.toString(t.date(), QLocale::ShortFormat) + u' ' +
           t.time().toString(QStringLiteral("HH:mm:ss"));
}
// The modes of the ADIF mode enumeration.
const QStringList AdifModes{
    "AM",     "ARDOP", "ATV",    "C4FM",   "CHIP",  "CLO",    "CONTESTI", "CW",    "DIGITALVOICE",
    "DOMINO", "DSTAR", "FAX",    "FM",     "FSK441", "FT8",   "HELL",     "ISCAT", "JT4",
    "JT6M",   "JT9",   "JT44",   "JT65",   "MFSK",  "MSK144", "MT63",     "OLIVIA", "OPERA",
    "PAC",    "PAX",   "PKT",    "PSK",    "PSK2K", "Q15",    "QRA64",    "ROS",   "RTTY",
    "RTTYM",  "SSB",   "SSTV",   "T10",    "THOR",  "THRB",   "TOR",      "V4",    "VOI",
    "WINMOR", "WSPR"};

// Letters whose plain spelling is not their decomposition.
QString spelledOut(QChar c)
{
    switch (c.unicode()) {
    case 0x00DF: return QStringLiteral("ss"); // ß
    case 0x00C6: return QStringLiteral("AE");
    case 0x00E6: return QStringLiteral("ae");
    case 0x0152: return QStringLiteral("OE");
    case 0x0153: return QStringLiteral("oe");
    case 0x00D8: return QStringLiteral("O");
    case 0x00F8: return QStringLiteral("o");
    case 0x0110: case 0x00D0: return QStringLiteral("D");
    case 0x0111: case 0x00F0: return QStringLiteral("d");
    case 0x0141: return QStringLiteral("L");
    case 0x0142: return QStringLiteral("l");
    case 0x00DE: return QStringLiteral("TH");
    case 0x00FE: return QStringLiteral("th");
    case 0x0131: return QStringLiteral("i");
    default: return QString();
    }
}

} // namespace

namespace Adif {

QString ascii(const QString &text, bool *changed)
{
    QString out;
    out.reserve(text.size());
    bool replaced = false;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
            out.append(c);
            continue;
        }
        replaced = true;
        if (c.unicode() < 0x80) { // control characters
            out.append(u' ');
            continue;
        }
        if (const QString s = spelledOut(c); !s.isEmpty()) {
            out.append(s);
            continue;
        }
        // The base letter of an accented one, its marks dropped.
        QString base;
        bool plainOnly = true;
        for (const QChar d : QString(c).normalized(QString::NormalizationForm_KD)) {
            if (d.unicode() >= 0x20 && d.unicode() < 0x7F)
                base.append(d);
            else if (d.category() != QChar::Mark_NonSpacing)
                plainOnly = false;
        }
        out.append(plainOnly && !base.isEmpty() ? base : QStringLiteral("_"));
    }
    if (changed)
        *changed = replaced;
    return out;
}

std::optional<Mode> phoneMode(const QString &answer)
{
    const QString a = answer.trimmed().toUpper();
    if (a.isEmpty())
        return Mode{QStringLiteral("SSB"), QString()};
    if (a == QLatin1String("USB") || a == QLatin1String("LSB"))
        return Mode{QStringLiteral("SSB"), a};
    if (AdifModes.contains(a))
        return Mode{a, QString()};
    return std::nullopt;
}

QString contestId(int contestType) { return Cabrillo::contestValue(contestType); }

QByteArray field(const QString &name, const QString &value)
{
    const QByteArray v = ascii(value).toLatin1();
    return '<' + name.toUtf8() + ':' + QByteArray::number(v.size()) + '>' + v;
}

QString timeOn(const QString &logTime)
{
    QString t = logTime.trimmed();
    if (t.isEmpty())
        return QString();
    const qsizetype colon = t.indexOf(u':');
    if (colon >= 0)
        t.remove(colon, 1);
    t = t.left(4);
    return t.rightJustified(4, u'0');
}

QString qsoDate(const QString &logDate)
{
    const auto d = DateTimeText::parseDate(logDate);
    return d ? d->toString(QStringLiteral("yyyyMMdd")) : QString();
}

QString contestName(int contestType)
{
    switch (contestType) {
    case 1: return QStringLiteral("ARRL January VHF Sweepstakes");
    case 2: return QStringLiteral("ARRL June VHF QSO Party");
    case 3: return QStringLiteral("ARRL UHF Contest");
    case 4: return QStringLiteral("ARRL September VHF QSO Party");
    case 5: return QStringLiteral("CQ VHF Contest");
    default: return QString();
    }
}

QString defaultComment(int contestType) { return contestType == 5 ? QString() : contestName(contestType); }

QByteArray adifText(const LogMirror &mirror, const Answers &answers, const QDateTime &exportedAt,
                    const ProgramInfo &program, const Origin &origin, int *changedRecords)
{
    QByteArray out;
    auto line = [&out](const QString &text) { out += ascii(text).toLatin1() + CrLf; };
    line(QStringLiteral("ADIF Export from ") + program.title());
    line(QStringLiteral("Written by the Halvern contest logger for VHF, UHF and microwave contests."));
    line(QStringLiteral("Questions and reports about this file: see the program's Help menu."));
    out += field(QStringLiteral("ADIF_VER"), Version) + CrLf;
    out += field(QStringLiteral("PROGRAMID"), program.name.trimmed()) + CrLf;
    out += field(QStringLiteral("PROGRAMVERSION"), program.version.trimmed()) + CrLf;
    line(QStringLiteral("Log exported on: ") + generalDate(exportedAt));
    out += CrLf;
    out += "<EOH>" + CrLf;

    // The phone contacts' mode; an answer that names no ADIF mode is written
    // as typed (the export command asks until it names one).
    const std::optional<Mode> phone = phoneMode(answers.phoneMode);
    const Mode phoneAs = phone.value_or(Mode{answers.phoneMode.trimmed().toUpper(), QString()});
    const QString contest = contestId(origin.contestType);
    int changed = 0;
    for (const QsoRecord &r : mirror.records()) {
        bool recordChanged = false;
        // Every value is written in ASCII.
        auto plain = [&recordChanged](const QString &v) {
            bool c = false;
            const QString a = ascii(v, &c);
            recordChanged = recordChanged || c;
            return a;
        };
        // Every field but the band is left out when its value is empty, and
        // with it whatever follows it on the line.
        auto put = [&out, &plain](const char *name, const QString &value, const char *after) {
            const QString v = plain(value);
            if (!v.isEmpty())
                out += field(QLatin1String(name), v) + after;
        };
        put("Call", r.calls, " ");
        const QString date = qsoDate(r.flddate);
        if (!date.isEmpty()) {
            const QByteArray d = date.toLatin1();
            out += "<Qso_Date:" + QByteArray::number(d.size()) + ":d>" + d + ' ';
        }
        out += field(QStringLiteral("Band"), Bands::adif(r.uband)) + CrLf;
        const bool isPhone = r.umode.compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0;
        const Mode mode = isPhone ? phoneAs : Mode{r.umode.toUpper(), QString()};
        put("Mode", mode.mode, "\r\n");
        put("Submode", mode.submode, "\r\n");
        put("Tx_Pwr", answers.power, " ");
        put("Time_On", timeOn(r.fldtime), " ");
        put("RST_Sent", r.rsts, " ");
        put("RST_Rcvd", r.rstr, " ");
        QString grid = r.gridr;
        while (grid.endsWith(u' '))
            grid.chop(1);
        put("Gridsquare", grid, " ");
        put("Station_Callsign", origin.ownCall.trimmed(), " ");
        put("My_Gridsquare", r.grids.trimmed(), " ");
        put("Contest_Id", contest, " ");
        put("Comment", answers.comment, "\r\n");
        out += "<eor>" + CrLf;
        out += CrLf;
        if (recordChanged)
            ++changed;
    }
    if (changedRecords)
        *changedRecords = changed;
    return out;
}

QString proposedPath() { return Folders::dataFolders().product + u'/' + DefaultFileName; }

bool writeFile(const QString &path, const QByteArray &text, QString *error)
{
    return writeFileAtomically(path, text, error);
}

} // namespace Adif
