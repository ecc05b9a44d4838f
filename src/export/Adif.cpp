#include "export/Adif.h"

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
} // namespace

namespace Adif {

QByteArray field(const QString &name, const QString &value)
{
    const QByteArray v = value.toUtf8();
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
                    const ProgramInfo &program)
{
    QByteArray out;
    out += "ADIF Export from " + program.title().toUtf8() + CrLf;
    out += "Written by the Halvern contest logger for VHF, UHF and microwave contests." + CrLf;
    out += "Questions and reports about this file: see the program's Help menu." + CrLf;
    out += field(QStringLiteral("PROGRAMID"), program.name.trimmed()) + CrLf;
    out += "Log exported on: " + generalDate(exportedAt).toUtf8() + CrLf;
    out += CrLf;
    out += "<EOH>" + CrLf;

    const QString phoneMode = answers.phoneMode;
    for (const QsoRecord &r : mirror.records()) {
        // Every field but the band is left out when its value is empty, and
        // with it whatever follows it on the line.
        if (!r.calls.isEmpty())
            out += field(QStringLiteral("Call"), r.calls) + ' ';
        const QString date = qsoDate(r.flddate);
        if (!date.isEmpty()) {
            const QByteArray d = date.toUtf8();
            out += "<Qso_Date:" + QByteArray::number(d.size()) + ":d>" + d + ' ';
        }
        out += field(QStringLiteral("Band"), Bands::adif(r.uband)) + CrLf;
        const QString mode =
            (r.umode.compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0 ? phoneMode : r.umode)
                .toUpper();
        if (!mode.isEmpty())
            out += field(QStringLiteral("Mode"), mode) + CrLf;
        if (!answers.power.isEmpty())
            out += field(QStringLiteral("Tx_Pwr"), answers.power) + ' ';
        const QString time = timeOn(r.fldtime);
        if (!time.isEmpty())
            out += field(QStringLiteral("Time_On"), time) + ' ';
        if (!r.rsts.isEmpty())
            out += field(QStringLiteral("RST_Sent"), r.rsts) + ' ';
        if (!r.rstr.isEmpty())
            out += field(QStringLiteral("RST_Rcvd"), r.rstr) + ' ';
        QString grid = r.gridr;
        while (grid.endsWith(u' '))
            grid.chop(1);
        if (!grid.isEmpty())
            out += field(QStringLiteral("Gridsquare"), grid) + ' ';
        if (!answers.comment.isEmpty())
            out += field(QStringLiteral("Comment"), answers.comment) + CrLf;
        out += "<eor>" + CrLf;
        out += CrLf;
    }
    return out;
}

QString proposedPath() { return Folders::dataFolders().product + u'/' + DefaultFileName; }

bool writeFile(const QString &path, const QByteArray &text, QString *error)
{
    return writeFileAtomically(path, text, error);
}

} // namespace Adif
