#include "app/ExportCommands.h"

#include "export/Adif.h"
#include "export/Append.h"
#include "export/Archive.h"
#include "export/OrreryExport.h"
#include "log/Folders.h"
#include "log/LogStore.h"
#include "log/Station.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QTimer>

namespace {

namespace AdifText {
const QString SaveTitle = QStringLiteral("Export ADIF Format");
const QString PowerTitle = QStringLiteral("Please enter your transmitter output power.");
const QString PowerPrompt = QStringLiteral(
    "Please enter the power value that you would like to record.  This is an optional value "
    "that will be included in each QSO record and displayed in Orrery's power output column.");
const QString CommentTitle = QStringLiteral("Please enter a comment.");
const QString CommentPrompt = QStringLiteral(
    "Please enter a comment that you would like to appear on each QSO record.  This is an "
    "optional description that will be displayed in Orrery's Comments column.");
const QString PhoneModeTitle = QStringLiteral("Phone Mode?");
const QString PhoneModePrompt = QStringLiteral("Please enter your phone mode.");
const QString PhoneModeDefault = QStringLiteral("SSB");
const QString SaveFilter = QStringLiteral("ADIF Files (*.adi) | *.adi");
const QString WrittenTitle = QStringLiteral("File Written Successfully.");
QString written(const QString &path)
{
    return QStringLiteral("The file was successfully written to the directory:\r\n\r\n") + path +
           u'.';
}
// Said after the written message when values had to be made plain ASCII.
QString madeAscii(int records)
{
    return records == 1
               ? QStringLiteral("\r\n\r\n1 record held characters that an ADIF file cannot carry; "
                                "they were written as plain letters or \"_\".")
               : QStringLiteral("\r\n\r\n%1 records held characters that an ADIF file cannot carry; "
                                "they were written as plain letters or \"_\".")
                     .arg(records);
}
QString notAMode(const QString &answer)
{
    return QStringLiteral("\"%1\" is not a mode an ADIF file can carry (such as SSB, USB, LSB, FM or "
                          "AM).  ")
               .arg(answer.trimmed()) +
           PhoneModePrompt;
}
} // namespace AdifText

namespace OrreryText {
const QString DoneTitle = QStringLiteral("Export Successful!");
// The message after writing, naming the working folder.
QString done(const QString &workFolder)
{
    return QStringLiteral("LogExp.txt has been written to this program's working directory ") +
           workFolder +
           QStringLiteral(".\r\n\r\nTo bring the contacts into Orrery, start Orrery, choose "
                          "Import from its File menu and pick this file.\r\n\r\nNewer versions of "
                          "Orrery also read the ADIF export, which puts the grid square into its "
                          "proper field.");
}
} // namespace OrreryText

namespace ArchiveText {
const QString InfoTitle = QStringLiteral("Archive Information");
const QString InfoText = QStringLiteral(
    "This function is designed to create a permanent copy of your currently open log file "
    "following the contest.  It can only be run if this is the only PC connected to the log "
    "file.  If others are also connected, you will receive a 'Permission Denied' error.\r\n\r\n"
    "This program also creates a backup of your log file automatically every 15 minutes during "
    "the contest.\r\n\r\nTo open your log file at a later date, click File > Combine or Restore "
    "from Backup.");
const QString SaveTitle = QStringLiteral("Archive Current Log");
const QString SaveFilter = QStringLiteral("Log Files (*.mdb) | *.mdb");
const QString FailedTitle = QStringLiteral("Archive Failed");
QString failed(const QString &path, const QString &why)
{
    const QString where =
        path.isEmpty() ? QString() : QStringLiteral(" to ") + QDir::toNativeSeparators(path);
    return QStringLiteral("The log could not be copied%1 (%2).").arg(where, why);
}
} // namespace ArchiveText

} // namespace

namespace ExportCommands {

void tellNotWritten(QWidget *parent, const QString &what, const QString &path, const QString &why)
{
    msgBox(parent,
           QStringLiteral("The %1 could not be written to %2 (%3).\r\n\r\nNo file was written.")
               .arg(what, QDir::toNativeSeparators(path), why.isEmpty() ? QStringLiteral("unknown error") : why),
           NotWrittenTitle, Dialogs::Icon::Warning);
}

QString exportAdif(QWidget *parent, const LogMirror &mirror, const Station &station,
                   const ProgramInfo &program)
{
    using namespace AdifText;
    Dialogs &d = Dialogs::get();
    // Cancel on any question ends the command.
    const auto power = d.ask(parent, PowerTitle, PowerPrompt, QString());
    if (!power)
        return QString();
    const auto comment = d.ask(parent, CommentTitle, CommentPrompt, Adif::defaultComment(station.contestType));
    if (!comment)
        return QString();
    Adif::Answers a;
    a.power = *power;
    a.comment = *comment;
    QString prompt = PhoneModePrompt;
    for (;;) {
        const auto mode = d.ask(parent, PhoneModeTitle, prompt, PhoneModeDefault);
        if (!mode)
            return QString();
        if (Adif::phoneMode(*mode)) {
            a.phoneMode = *mode;
            break;
        }
        prompt = notAMode(*mode);
    }
    const QString path = d.saveFile(parent, SaveTitle, SaveFilter, Adif::proposedPath());
    if (path.isEmpty())
        return QString();
    int changed = 0;
    const QByteArray text = Adif::adifText(mirror, a, Clock::localNow(), program,
                                           Adif::Origin{station.ownCall, station.contestType}, &changed);
    QString why;
    if (!Adif::writeFile(path, text, &why)) {
        tellNotWritten(parent, QStringLiteral("ADIF file"), path, why);
        return QString();
    }
    msgBox(parent, written(path) + (changed > 0 ? madeAscii(changed) : QString()), WrittenTitle);
    return path;
}

QString exportForOrrery(QWidget *parent, const LogMirror &mirror, int contestType)
{
    const QString folder = Folders::workDir();
    QString why;
    const QString path = OrreryExport::writeExport(mirror, contestType, folder, &why);
    if (path.isEmpty()) {
        tellNotWritten(parent, OrreryExport::FileName, QDir(folder).filePath(OrreryExport::FileName), why);
        return QString();
    }
    beep();
    msgBox(parent, OrreryText::done(QDir::toNativeSeparators(folder)), OrreryText::DoneTitle);
    return path;
}

ArchiveOutcome archiveLog(QWidget *parent, LogStore &store, const QString &logPath,
                          const QString &ownCall, QTimer *refreshTimer)
{
    using namespace ArchiveText;
    Dialogs &dialogs = Dialogs::get();
    dialogs.message(parent, InfoTitle, InfoText, Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    if (refreshTimer)
        refreshTimer->stop();

    // The log is opened again on the same file without dropping the contacts
    // the window shows; a log never opened before is opened afresh.
    auto ensureOpen = [&store, &logPath](QString *err) {
        return store.isOpen() || store.reconnect(err) || store.open(logPath, err);
    };
    ArchiveOutcome outcome;
    QString e;
    if (ensureOpen(&e)) {
        const QString chosen = dialogs.saveFile(
            parent, SaveTitle, SaveFilter, Archive::proposedPath(ownCall, Clock::localNow().date()));
        if (chosen.isEmpty()) {
            outcome.status = ArchiveOutcome::Status::Cancelled;
        } else {
            // A copy is only found again by the restore when its name ends
            // in .mdb.
            outcome.path =
                Append::isDatabaseName(chosen) ? chosen : chosen + QStringLiteral(".mdb");
            if (Archive::copyLog(store.engine(), outcome.path, &e))
                outcome.status = ArchiveOutcome::Status::Copied;
        }
    }
    ensureOpen(nullptr);
    if (refreshTimer)
        refreshTimer->start();
    if (outcome.status == ArchiveOutcome::Status::Failed) {
        outcome.error = e;
        msgBox(parent, failed(outcome.path, e), FailedTitle, Dialogs::Icon::Warning);
    }
    return outcome;
}

} // namespace ExportCommands
