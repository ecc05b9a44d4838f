#include "log/LogFollower.h"

#include "platform/AtomicFile.h"
#include "platform/LogEngine.h"

#include <QMetaObject>

namespace LogReading {

QsoRecord TextPool::record(const QString *texts)
{
    QString v[9];
    v[0] = texts[0];
    for (size_t c = 1; c < 9; ++c) {
        const QString &t = texts[c];
        // The engine hands the same string again for a text equal to the
        // row before's.
        if (t.constData() != m_lastRaw[c] || t.size() != m_last[c].size()) {
            m_lastRaw[c] = t.constData();
            auto it = m_pools[c].constFind(t);
            m_last[c] = it != m_pools[c].cend() ? *it : *m_pools[c].insert(t, t);
        }
        v[c] = m_last[c];
    }
    return QsoRecord{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]};
}

std::optional<quint64> fingerprintUpTo(LogEngine &engine, qint64 upTo, QString *error)
{
    quint64 sum = 0;
    qint64 last = 0;
    for (;;) {
        int rows = 0;
        bool past = false;
        const bool ok = engine.readRowsAbove(last, SliceRows, [&](qint64 key, const QString *texts) {
            ++rows;
            last = key;
            if (key > upTo)
                past = true;
            else
                sum += rowFingerprint(key, texts);
        }, error);
        if (!ok)
            return std::nullopt;
        if (past || rows < SliceRows)
            return sum;
    }
}

bool readWholeLog(LogEngine &engine, LogMirror &into, QString *error)
{
    TextPool pool;
    auto add = [&](qint64 key, const QString *texts) { into.append(pool.record(texts), key); };
    // A row without a date or time sorts before every other one and cannot
    // be read in slices that start after a position: such a log is read at
    // once.
    auto q = engine.select(QStringLiteral("select count(*) from tbllog where flddate is null or fldtime is null"), {},
                           error);
    if (!q || !q->next())
        return false;
    if (q->value(0).toLongLong() > 0)
        return engine.readKeyedTextRows(
            QStringLiteral("select rowid, * from tbllog order by flddate, fldtime, rowid"), 9, add, error);
    q.reset();
    QString date, time;
    qint64 key = 0;
    for (;;) {
        int rows = 0;
        const bool ok = engine.readRowsAfter(date, time, key, SliceRows, [&](qint64 k, const QString *texts) {
            ++rows;
            add(k, texts);
        }, error);
        if (!ok)
            return false;
        if (rows < SliceRows)
            return true;
        const QsoRecord &last = into.at(into.recordCount());
        date = last.flddate;
        time = last.fldtime;
        key = into.rowId(into.recordCount());
    }
}

} // namespace LogReading

LogFollower::LogFollower(QObject *parent) : QObject(parent), m_thread([this] { run(); }) {}

LogFollower::~LogFollower()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void LogFollower::post(std::function<void()> job)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void LogFollower::run()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            // At the end of the program only the freeing is still done.
            if (m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
}

void LogFollower::answer(std::function<void()> f, bool counted)
{
    QPointer<LogFollower> self(this);
    QMetaObject::invokeMethod(this, [self, f = std::move(f), counted] {
        if (!self)
            return;
        if (counted)
            --self->m_waiting;
        f();
    }, Qt::QueuedConnection);
}

void LogFollower::check(const QString &path, qint64 upTo, quint64 fingerprint,
                        std::function<void(std::optional<bool>)> done)
{
    ++m_waiting;
    post([this, path, upTo, fingerprint, done = std::move(done)] {
        std::optional<bool> same;
        if (!m_stopping) {
            LogEngine engine;
            QString why;
            if (engine.openSource(path, &why)) {
                if (const auto sum = LogReading::fingerprintUpTo(engine, upTo, &why))
                    same = *sum == fingerprint;
            }
            if (!same)
                qWarning("background check of the log failed: %s", qPrintable(why));
        }
        answer([done, same] { done(same); });
    });
}

void LogFollower::load(const QString &path, int contestType, bool rover,
                       std::function<void(std::shared_ptr<LoadedLog>)> done)
{
    ++m_waiting;
    post([this, path, contestType, rover, done = std::move(done)] {
        auto loaded = std::make_shared<LoadedLog>();
        loaded->contestType = contestType;
        loaded->rover = rover;
        LogEngine engine;
        QString why;
        if (m_stopping) {
            loaded->error = QStringLiteral("the program is ending");
        } else if (!engine.openSource(path, &why)) {
            loaded->error = why;
        } else {
            const auto before = engine.dataVersion();
            if (!LogReading::readWholeLog(engine, loaded->mirror, &why)) {
                loaded->error = why.isEmpty() ? QStringLiteral("the log could not be read") : why;
            } else {
                const auto after = engine.dataVersion();
                loaded->undisturbed = before && after && *before == *after;
                loaded->mirror.loadedCount = loaded->mirror.recordCount();
                loaded->tally.recompute(loaded->mirror, contestType, rover);
                loaded->index.rebuild(loaded->mirror);
            }
        }
        answer([done, loaded] { done(loaded); });
    });
}

void LogFollower::write(const QString &path, QByteArray bytes,
                        std::function<void(bool, const QString &)> done)
{
    post([this, path, bytes = std::move(bytes), done = std::move(done)] {
        QString why;
        const bool ok = writeFileAtomically(path, bytes, &why);
        answer([done, ok, why] { done(ok, why); }, false);
    });
}
