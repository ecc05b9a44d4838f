#pragma once
// The background side of following the shared log. What would hold the
// window up on a large log runs here, on a thread of its own with a
// read-only connection of its own, one piece of work at a time, and hands
// its result back through the event loop:
// - the check that the log's rows up to a row identity are exactly the ones
//   the mirror holds (the sum of their fingerprints): an edit or a deletion
//   made by another copy changes it;
// - the full read of the log into a new mirror with its tallies and
//   index of calls and squares, when the check finds a difference or a contact of
//   another copy belongs somewhere before the mirror's end;
// - freeing a replaced mirror, whose strings take a while to release.
// Every read is made in slices of a few thousand rows, so that no other
// copy's write waits long on it.
#include "log/LogIndex.h"
#include "log/QsoRecord.h"
#include "log/Score.h"

#include <QObject>
#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class LogEngine;

// A whole log as read in the background, with what is derived from it.
struct LoadedLog {
    LogMirror mirror;
    Tally tally;
    LogIndex index;
    int contestType = 0;
    bool rover = false;
    // Whether no other connection wrote to the log while it was read.
    bool undisturbed = false;
    QString error; // empty when the read succeeded
};

namespace LogReading {
// Rows per slice of a background read.
constexpr int SliceRows = 4000;
// The sum of the fingerprints of the rows whose row identity is at most upTo.
std::optional<quint64> fingerprintUpTo(LogEngine &engine, qint64 upTo, QString *error = nullptr);
// The whole log in date, time and row order, read in slices; equal texts
// share their strings, as in the full reload.
bool readWholeLog(LogEngine &engine, LogMirror &into, QString *error = nullptr);
// Keeps one string per distinct text of the columns that repeat (reports,
// grids, dates, times, bands, modes) while a log is read.
class TextPool {
public:
    QsoRecord record(const QString *texts);

private:
    std::array<QHash<QString, QString>, 9> m_pools;
    std::array<const QChar *, 9> m_lastRaw{};
    std::array<QString, 9> m_last;
};
} // namespace LogReading

class LogFollower : public QObject {
    Q_OBJECT
public:
    explicit LogFollower(QObject *parent = nullptr);
    ~LogFollower() override;

    // Checks the rows of the log at path up to row identity upTo against
    // fingerprint; done gets whether they agree, nothing when the log could
    // not be read.
    void check(const QString &path, qint64 upTo, quint64 fingerprint,
               std::function<void(std::optional<bool> same)> done);
    // Reads the whole log at path; done gets the result.
    void load(const QString &path, int contestType, bool rover,
              std::function<void(std::shared_ptr<LoadedLog>)> done);
    // Writes bytes to the file at path atomically; done gets the outcome.
    void write(const QString &path, QByteArray bytes, std::function<void(bool ok, const QString &why)> done);
    // Frees garbage on the background thread.
    template <typename T> void dispose(T garbage)
    {
        auto held = std::make_shared<T>(std::move(garbage));
        post([held]() mutable { held.reset(); });
    }
    // Whether a check or a load has not answered yet (a write does not count).
    bool busy() const { return m_waiting > 0; }

private:
    void post(std::function<void()> job);
    void run();
    // Runs f on this object's thread, unless the object is gone by then;
    // counted answers end a check or a load.
    void answer(std::function<void()> f, bool counted = true);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    std::atomic<bool> m_stopping{false};
    int m_waiting = 0; // touched on this object's thread only
    std::thread m_thread;
};
