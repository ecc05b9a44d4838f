#pragma once
// The main window's export commands as the operator meets them: the
// questions asked, the file dialogs, and the messages afterwards. What is
// written, and how, is the export writers'; these only ask and tell.
#include "export/ProgramInfo.h"
#include "log/QsoRecord.h"

#include <QString>

class LogStore;
struct Station;
class QTimer;
class QWidget;

namespace ExportCommands {

// The ADIF export on a freshly reloaded mirror: the three questions (a
// phone mode that is no ADIF mode is asked again), the save dialog (cancel
// on any of them ends it), the file and the message naming it. Returns the
// path written, or an empty text when nothing was written.
QString exportAdif(QWidget *parent, const LogMirror &mirror, const Station &station,
                   const ProgramInfo &program = ProgramInfo());

// The Orrery export on a freshly reloaded mirror: LogExp.txt in the working
// folder, a beep and the message. Returns the path written, or an empty text.
QString exportForOrrery(QWidget *parent, const LogMirror &mirror, int contestType);

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
// today's file name, the copy, and a message when the copy failed. The
// refresh timer is stopped meanwhile; whatever happens, the log is open and
// the timer running afterwards.
ArchiveOutcome archiveLog(QWidget *parent, LogStore &store, const QString &logPath,
                          const QString &ownCall, QTimer *refreshTimer);

} // namespace ExportCommands
