#include "export/Archive.h"

#include "export/Append.h"
#include "log/Folders.h"
#include "log/LogStore.h"
#include "log/Station.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/LogEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

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

Outcome run(QWidget *parent, LogStore &store, const QString &logPath, const QString &ownCall,
            QTimer *refreshTimer)
{
    Dialogs &dialogs = Dialogs::get();
    dialogs.message(parent, Text::InfoTitle, Text::InfoText, Dialogs::Buttons::Ok,
                    Dialogs::Icon::Information);
    if (refreshTimer)
        refreshTimer->stop();

    // The log is opened again on the same file without dropping the contacts
    // the window shows; a log never opened before is opened afresh.
    auto ensureOpen = [&store, &logPath](QString *err) {
        return store.isOpen() || store.reconnect(err) || store.open(logPath, err);
    };
    Outcome outcome;
    QString e;
    if (ensureOpen(&e)) {
        const QString chosen =
            dialogs.saveFile(parent, Text::SaveTitle, Text::SaveFilter,
                             proposedPath(ownCall, Clock::localNow().date()));
        if (chosen.isEmpty()) {
            outcome.status = Outcome::Status::Cancelled;
        } else {
            // A copy is only found again by the restore when its name ends
            // in .mdb.
            outcome.path = Append::isDatabaseName(chosen) ? chosen : chosen + QStringLiteral(".mdb");
            if (copyLog(store.engine(), outcome.path, &e))
                outcome.status = Outcome::Status::Copied;
        }
    }
    ensureOpen(nullptr);
    if (refreshTimer)
        refreshTimer->start();
    if (outcome.status == Outcome::Status::Failed) {
        outcome.error = e;
        msgBox(parent, Text::failed(outcome.path, e), Text::FailedTitle, Dialogs::Icon::Warning);
    }
    return outcome;
}

namespace Text {
QString failed(const QString &path, const QString &why)
{
    const QString where = path.isEmpty() ? QString() : QStringLiteral(" to ") + QDir::toNativeSeparators(path);
    return QStringLiteral("The log could not be copied%1 (%2).").arg(where, why);
}
} // namespace Text

} // namespace Archive
