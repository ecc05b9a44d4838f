#include "app/ExportCommands.h"

#include "export/Adif.h"
#include "export/Append.h"
#include "export/Archive.h"
#include "export/FileJobs.h"
#include "export/OrreryExport.h"
#include "log/Folders.h"
#include "log/LogStore.h"
#include "log/Station.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QPointer>
#include <QTimer>
#include <QWidget>

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

bool exportAdif(QWidget *parent, FileJobs &jobs, const QString &logPath, const Station &station,
                const ProgramInfo &program, ExportDone done)
{
    using namespace AdifText;
    Dialogs &d = Dialogs::get();
    // Cancel on any question ends the command.
    const auto power = d.ask(parent, PowerTitle, PowerPrompt, QString());
    if (!power)
        return false;
    const auto comment = d.ask(parent, CommentTitle, CommentPrompt, Adif::defaultComment(station.contestType));
    if (!comment)
        return false;
    Adif::Answers a;
    a.power = *power;
    a.comment = *comment;
    QString prompt = PhoneModePrompt;
    for (;;) {
        const auto mode = d.ask(parent, PhoneModeTitle, prompt, PhoneModeDefault);
        if (!mode)
            return false;
        if (Adif::phoneMode(*mode)) {
            a.phoneMode = *mode;
            break;
        }
        prompt = notAMode(*mode);
    }
    const QString path = d.saveFile(parent, SaveTitle, SaveFilter, Adif::proposedPath());
    if (path.isEmpty())
        return false;
    const QDateTime exportedAt = Clock::localNow();
    const Adif::Origin origin{station.ownCall, station.contestType};
    jobs.run(
        [logPath, path, a, exportedAt, program, origin] {
            JobOutcome o;
            o.path = path;
            if (const auto log = readWholeLogAt(logPath, &o.why))
                o.ok = Adif::writeFile(path, Adif::adifText(*log, a, exportedAt, program, origin, &o.changedRecords),
                                       &o.why);
            return o;
        },
        [parent = QPointer<QWidget>(parent), done = std::move(done)](const JobOutcome &o) {
            if (!o.ok)
                tellNotWritten(parent, QStringLiteral("ADIF file"), o.path, o.why);
            else
                msgBox(parent, written(o.path) + (o.changedRecords > 0 ? madeAscii(o.changedRecords) : QString()),
                       WrittenTitle);
            if (done)
                done(o.ok ? o.path : QString());
        });
    return true;
}

bool exportForOrrery(QWidget *parent, FileJobs &jobs, const QString &logPath, int contestType, ExportDone done)
{
    const QString folder = Folders::workDir();
    jobs.run(
        [logPath, folder, contestType] {
            JobOutcome o;
            o.path = QDir(folder).filePath(OrreryExport::FileName);
            if (const auto log = readWholeLogAt(logPath, &o.why))
                o.ok = !OrreryExport::writeExport(*log, contestType, folder, &o.why).isEmpty();
            return o;
        },
        [parent = QPointer<QWidget>(parent), folder, done = std::move(done)](const JobOutcome &o) {
            if (!o.ok) {
                tellNotWritten(parent, OrreryExport::FileName, o.path, o.why);
            } else {
                beep();
                msgBox(parent, OrreryText::done(QDir::toNativeSeparators(folder)), OrreryText::DoneTitle);
            }
            if (done)
                done(o.ok ? o.path : QString());
        });
    return true;
}

void archiveLog(QWidget *parent, FileJobs &jobs, LogStore &store, const QString &logPath, const QString &ownCall,
                QTimer *refreshTimer, std::function<void(const ArchiveOutcome &)> done)
{
    using namespace ArchiveText;
    Dialogs &dialogs = Dialogs::get();
    dialogs.message(parent, InfoTitle, InfoText, Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    if (refreshTimer)
        refreshTimer->stop();

    // The window's own connection stays as it is (a log never opened before
    // is opened); the copy is taken through a connection of its own.
    auto ensureOpen = [&store, logPath](QString *err) {
        return store.isOpen() || store.reconnect(err) || store.open(logPath, err);
    };
    QPointer<QTimer> timer(refreshTimer);
    auto finish = [parent = QPointer<QWidget>(parent), &store, ensureOpen, timer,
                   done = std::move(done)](ArchiveOutcome outcome) {
        ensureOpen(nullptr);
        if (timer)
            timer->start();
        if (outcome.status == ArchiveOutcome::Status::Failed)
            msgBox(parent, failed(outcome.path, outcome.error), FailedTitle, Dialogs::Icon::Warning);
        if (done)
            done(outcome);
    };
    ArchiveOutcome outcome;
    if (!ensureOpen(&outcome.error)) {
        finish(outcome);
        return;
    }
    const QString chosen =
        dialogs.saveFile(parent, SaveTitle, SaveFilter, Archive::proposedPath(ownCall, Clock::localNow().date()));
    if (chosen.isEmpty()) {
        outcome.status = ArchiveOutcome::Status::Cancelled;
        finish(outcome);
        return;
    }
    // A copy is only found again by the restore when its name ends in .mdb.
    const QString dest = Append::isDatabaseName(chosen) ? chosen : chosen + QStringLiteral(".mdb");
    jobs.run(
        [logPath, dest] {
            JobOutcome o;
            o.path = dest;
            o.ok = Archive::copyLogAt(logPath, dest, &o.why);
            return o;
        },
        [finish](const JobOutcome &o) {
            ArchiveOutcome outcome;
            outcome.path = o.path;
            outcome.status = o.ok ? ArchiveOutcome::Status::Copied : ArchiveOutcome::Status::Failed;
            if (!o.ok)
                outcome.error = o.why;
            finish(outcome);
        });
}

} // namespace ExportCommands
