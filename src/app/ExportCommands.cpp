#include "app/ExportCommands.h"

#include "export/Adif.h"
#include "export/Append.h"
#include "export/Archive.h"
#include "export/OrreryExport.h"
#include "log/Folders.h"
#include "log/LogStore.h"
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

QString exportAdif(QWidget *parent, const LogMirror &mirror, int contestType,
                   const ProgramInfo &program)
{
    using namespace AdifText;
    Dialogs &d = Dialogs::get();
    Adif::Answers a;
    a.power = d.input(parent, PowerTitle, PowerPrompt, QString());
    a.comment = d.input(parent, CommentTitle, CommentPrompt, Adif::defaultComment(contestType));
    a.phoneMode = d.input(parent, PhoneModeTitle, PhoneModePrompt, PhoneModeDefault);
    const QString path = d.saveFile(parent, SaveTitle, SaveFilter, Adif::proposedPath());
    if (path.isEmpty())
        return QString();
    // A file that cannot be written ends the command as a cancel does.
    if (!Adif::writeFile(path, Adif::adifText(mirror, a, Clock::localNow(), program)))
        return QString();
    msgBox(parent, written(path), WrittenTitle);
    return path;
}

QString exportForOrrery(QWidget *parent, const LogMirror &mirror, int contestType)
{
    const QString folder = Folders::workDir();
    const QString path = OrreryExport::writeExport(mirror, contestType, folder);
    if (path.isEmpty())
        return QString();
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
