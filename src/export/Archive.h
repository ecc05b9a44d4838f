#pragma once
// Archiving the log after the contest: a dated copy of the shared log in the
// BACKUP folder, taken with the engine's own snapshot so that it is whole even
// while other PCs go on logging.
#include <QDate>
#include <QString>

class LogEngine;
class LogStore;
class QTimer;
class QWidget;

namespace Archive {

// "K1ABC2012-06-10.mdb" for K1ABC/R on 10 June 2012.
QString fileName(const QString &ownCall, const QDate &date);
// The file name in the BACKUP folder of the data folders.
QString proposedPath(const QString &ownCall, const QDate &date);

// Copies the open log to dest, replacing a file already there only once the
// copy is complete. The open log itself is never a destination.
bool copyLog(LogEngine &live, const QString &dest, QString *error = nullptr);

struct Outcome {
    enum class Status { Copied, Cancelled, Failed };
    Status status = Status::Failed;
    QString path;  // the copy written
    QString error; // why it failed
};

// The archive command: the information message, the save dialog proposing
// today's file name, the copy, and a message when the copy failed. The
// refresh timer is stopped meanwhile; whatever happens, the log is open and
// the timer running afterwards.
Outcome run(QWidget *parent, LogStore &store, const QString &logPath, const QString &ownCall,
            QTimer *refreshTimer);

namespace Text {
inline const QString MenuCaption = QStringLiteral("A&rchive Current Log");
inline const QString InfoTitle = QStringLiteral("Archive Information");
inline const QString InfoText = QStringLiteral(
    "This function is designed to create a permanent copy of your currently open log file "
    "following the contest.  It can only be run if this is the only PC connected to the log "
    "file.  If others are also connected, you will receive a 'Permission Denied' error.\r\n\r\n"
    "This program also creates a backup of your log file automatically every 15 minutes during "
    "the contest.\r\n\r\nTo open your log file at a later date, click File > Combine or Restore "
    "from Backup.");
inline const QString SaveTitle = QStringLiteral("Archive Current Log");
inline const QString SaveFilter = QStringLiteral("Log Files (*.mdb) | *.mdb");
inline const QString FailedTitle = QStringLiteral("Archive Failed");
QString failed(const QString &path, const QString &why);
} // namespace Text

} // namespace Archive
