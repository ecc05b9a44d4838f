#include "export/Archive.h"

#include "export/Append.h"
#include "log/Folders.h"
#include "log/Station.h"
#include "platform/AtomicFile.h"
#include "platform/LogEngine.h"

#include <QFile>
#include <QFileInfo>

namespace Archive {

QString fileName(const QString &ownCall, const QDate &date)
{
    return safeCallSign(ownCall.trimmed()) + date.toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(".mdb");
}

QString proposedPath(const QString &ownCall, const QDate &date)
{
    return Folders::dataFolders().backup + u'/' + fileName(ownCall, date);
}

bool copyLog(LogEngine &live, const QString &dest, QString *error)
{
    if (!live.isOpen()) {
        if (error)
            *error = QStringLiteral("the log is not open");
        return false;
    }
    const QString target = QFileInfo(dest).absoluteFilePath();
    if (Append::sameFile(target, live.path())) {
        if (error)
            *error = QStringLiteral("the copy cannot replace the open log itself");
        return false;
    }
    // The snapshot goes to a file of its own beside the target and takes the
    // target's name only when it is complete.
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    if (!live.copyTo(part, error)) {
        QFile::remove(part);
        return false;
    }
    // The copy reaches the disk before it takes the archive's name.
    return replaceWithFinishedFile(part, target, error);
}

bool copyLogAt(const QString &logPath, const QString &dest, QString *error)
{
    // Opened as the window opens it: the engine writes its snapshot through
    // the connection it is taken from, which a read-only one refuses.
    LogEngine source;
    if (!source.open(logPath, error))
        return false;
    return copyLog(source, dest, error);
}

} // namespace Archive
