#pragma once
// The main window's export commands as the operator meets them: the
// questions asked, the file dialogs, and the messages afterwards. What is
// written, and how, is the export writers'; these only ask and tell.
#include "export/ProgramInfo.h"

#include <QString>
#include <functional>

class FileJobs;
class LogStore;
struct Station;
class QTimer;
class QWidget;

namespace ExportCommands {

// The exports read the shared log afresh, build the file and write it on the
// jobs' thread (see FileJobs): the questions and the file dialog come first,
// the message when the file is written. Each returns whether the work was
// started (false when the operator cancelled); done, when given, gets the
// path written or an empty text after the message.
using ExportDone = std::function<void(const QString &written)>;

// The ADIF export: the three questions (a phone mode that is no ADIF mode is
// asked again), the save dialog (cancel on any of them ends it), the file and
// the message naming it.
bool exportAdif(QWidget *parent, FileJobs &jobs, const QString &logPath, const Station &station,
                const ProgramInfo &program = ProgramInfo(), ExportDone done = {});

// The Orrery export: LogExp.txt in the working folder, a beep and the message.
bool exportForOrrery(QWidget *parent, FileJobs &jobs, const QString &logPath, int contestType,
                     ExportDone done = {});

// A file that could not be written, told in a warning: what it is, where,
// and the system's reason.
inline const QString NotWrittenTitle = QStringLiteral("File Not Written");
void tellNotWritten(QWidget *parent, const QString &what, const QString &path, const QString &why);

struct ArchiveOutcome {
    enum class Status { Copied, Cancelled, Failed };
    Status status = Status::Failed;
    QString path;  // the copy written
    QString error; // why it failed
};

// The archive command: the information message, the save dialog proposing
// today's file name, the copy on the jobs' thread, and a message when the
// copy failed. The refresh timer is stopped until the copy is done; whatever
// happens, the log is open and the timer running afterwards, when done gets
// the outcome (at once for a cancelled dialog).
void archiveLog(QWidget *parent, FileJobs &jobs, LogStore &store, const QString &logPath, const QString &ownCall,
                QTimer *refreshTimer, std::function<void(const ArchiveOutcome &)> done = {});

} // namespace ExportCommands
