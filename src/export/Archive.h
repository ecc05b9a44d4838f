#pragma once
// Archiving the log after the contest: a dated copy of the shared log in the
// BACKUP folder, taken with the engine's own snapshot so that it is whole even
// while other PCs go on logging.
#include <QDate>
#include <QString>

class LogEngine;

namespace Archive {

// "K1ABC2012-06-10.mdb" for K1ABC/R on 10 June 2012.
QString fileName(const QString &ownCall, const QDate &date);
// The file name in the BACKUP folder of the data folders.
QString proposedPath(const QString &ownCall, const QDate &date);

// Copies the open log to dest, replacing a file already there only once the
// copy is complete. The open log itself is never a destination.
bool copyLog(LogEngine &live, const QString &dest, QString *error = nullptr);
// The same through a connection of the calling thread's own to the
// log at logPath, so that the copy can be taken away from the window.
bool copyLogAt(const QString &logPath, const QString &dest, QString *error = nullptr);

} // namespace Archive
