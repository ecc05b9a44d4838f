#pragma once
// Where the program keeps its files: the working folder (preferences, backup,
// default log) and the data folders under the user's documents folder.
#include <QString>
#include <QStringList>

namespace Folders {

// The working folder: the folder current at start unless one was named.
QString workDir();
void setWorkDir(const QString &dir);

struct DataFolders {
    QString documents; // the user's documents folder
    QString maker;     // .../Tarnwick Software
    QString product;   // .../Tarnwick Software/Halvern
    QString shared;    // .../Tarnwick Software/Shared
    QString backup;    // .../Tarnwick Software/Halvern/BACKUP
};

// Finds the data folders below documents (the desktop's documents folder when
// empty) and creates those that are missing.
DataFolders findDataFolders(const QString &documents = QString());
const DataFolders &dataFolders();
void setDataFolders(const DataFolders &f);

// Creates every missing level of path. An empty path tells the user
// "Invalid Path" and fails.
bool makePath(const QString &path);

// The PC that hosts the log file at logPath, or empty when it lies on this PC.
// A path written \\host\share\... or //host/share/... names its host; a path
// on a network mount names the host of that mount. mountTable is the text of
// /proc/mounts (read when empty).
QString serverName(const QString &logPath, const QString &mountTable = QString());

} // namespace Folders
