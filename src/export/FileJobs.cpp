#include "export/FileJobs.h"

#include "log/LogFollower.h"
#include "platform/LogEngine.h"

#include <QMetaObject>

FileJobs::FileJobs(QObject *parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(1);
    // The thread is kept while the program runs: one export after another
    // does not start a thread each time.
    m_pool.setExpiryTimeout(-1);
}

FileJobs::~FileJobs()
{
    m_pool.clear();
    m_pool.waitForDone();
}

void FileJobs::run(Work work, Done done)
{
    ++m_pending;
    m_pool.start([this, work = std::move(work), done = std::move(done)]() mutable {
        JobOutcome outcome = work();
        // What the work held (a whole log read for it) is freed here, not
        // on the window's thread.
        work = nullptr;
        // Posted to this object's thread; this object waits for the job
        // before it is gone, and an answer still queued then is dropped
        // with the object.
        QMetaObject::invokeMethod(this, [this, outcome, done = std::move(done)] {
            --m_pending;
            if (done)
                done(outcome);
            if (m_pending == 0)
                emit idle();
        }, Qt::QueuedConnection);
    });
}

std::optional<LogMirror> readWholeLogAt(const QString &path, QString *why)
{
    LogEngine engine;
    if (!engine.openSource(path, why))
        return std::nullopt;
    LogMirror mirror;
    if (!LogReading::readWholeLog(engine, mirror, why)) {
        if (why && why->isEmpty())
            *why = QStringLiteral("the log could not be read");
        return std::nullopt;
    }
    return mirror;
}
