#include "log/BatchAppend.h"

#include "log/Dupes.h"
#include "log/LogStore.h"
#include "platform/Clock.h"
#include "platform/LogEngine.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <signal.h>
#include <unistd.h>

namespace {

const QString CreateMarkers = QStringLiteral(
    "create table if not exists tblAppendBatch (run text, host text, pid integer,"
    " firstRow integer, lastRow integer, touched integer)");
const QString Insert = QStringLiteral(
    "insert into tblLog (calls, rstr, gridr, rsts, grids, flddate, fldtime, uband, umode)"
    "VALUES (?,?,?,?,?,?,?,?,?)");
const QString AllKeys = QStringLiteral("select rowid, calls, uband, gridr, grids from tbllog");
const QString KeysAfter = AllKeys + QStringLiteral(" where rowid > %1");

// The appends this program is running now.
QSet<QString> &runsInProgress()
{
    static QSet<QString> runs;
    return runs;
}

QString thisHost() { return QSysInfo::machineHostName(); }
qint64 thisProgram() { return static_cast<qint64>(::getpid()); }

bool programRuns(qint64 pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

QString newRun()
{
    static int counter = 0;
    return QStringLiteral("%1:%2:%3:%4")
        .arg(thisHost())
        .arg(thisProgram())
        .arg(QDateTime::currentMSecsSinceEpoch())
        .arg(++counter);
}

QString keyOf(const QString *texts)
{
    QsoRecord r;
    r.calls = texts[0];
    r.uband = texts[1];
    r.gridr = texts[2];
    r.grids = texts[3];
    return dupeKey(r);
}

bool hasMarkers(LogEngine &db) { return db.hasTable(QStringLiteral("tblAppendBatch")); }

// Takes the rows and the markers of the runs out, in one transaction.
// Returns the number of contacts taken out, or -1 on failure.
int removeRuns(LogEngine &db, const QStringList &runs, QString *error)
{
    if (!db.beginWrite(error))
        return -1;
    int removed = 0;
    for (const QString &run : runs) {
        std::vector<std::pair<qint64, qint64>> ranges;
        {
            auto q = db.select(QStringLiteral("select firstRow, lastRow from tblAppendBatch where run = ?"),
                               {run}, error);
            if (!q) {
                db.rollback();
                return -1;
            }
            while (q->next())
                ranges.emplace_back(q->value(0).toLongLong(), q->value(1).toLongLong());
        }
        for (const auto &[first, last] : ranges) {
            const auto n = db.exec(QStringLiteral("delete from tbllog where rowid between ? and ?"),
                                   {first, last}, error);
            if (!n) {
                db.rollback();
                return -1;
            }
            removed += *n;
        }
        if (!db.exec(QStringLiteral("delete from tblAppendBatch where run = ?"), {run}, error)) {
            db.rollback();
            return -1;
        }
    }
    return db.commit(error) ? removed : -1;
}

} // namespace

namespace BatchAppend {

int removeUnfinished(LogEngine &db, const QDateTime &utcNow)
{
    if (!db.isOpen() || !hasMarkers(db))
        return 0;
    QStringList ended;
    {
        auto q = db.select(QStringLiteral(
            "select run, host, pid, max(touched) from tblAppendBatch group by run, host, pid"));
        if (!q)
            return 0;
        const qint64 abandoned = utcNow.toSecsSinceEpoch() - AbandonedAfterSecs;
        while (q->next()) {
            const QString run = q->value(0).toString();
            const qint64 pid = q->value(2).toLongLong();
            const bool mine = q->value(1).toString() == thisHost();
            const bool over = pid == thisProgram() ? !runsInProgress().contains(run) : !programRuns(pid);
            if ((mine && over) || q->value(3).toLongLong() < abandoned)
                ended.append(run);
        }
    }
    if (ended.isEmpty())
        return 0;
    return std::max(0, removeRuns(db, ended, nullptr));
}

Outcome append(LogStore &store, const std::vector<QsoRecord> &records, const Options &options)
{
    Outcome out;
    if (!store.isOpen()) {
        out.error = QStringLiteral("the log is not open");
        return out;
    }
    LogEngine &db = store.engine();
    QString e;

    // Staging: the records to write, duplicates left out.
    std::vector<const QsoRecord *> staged;
    staged.reserve(records.size());
    QHash<QString, size_t> stagedAt;
    qint64 lastSeen = 0;
    if (options.eliminateDuplicates) {
        QSet<QString> keys;
        const bool read = db.readKeyedTextRows(
            AllKeys, 4,
            [&](qint64 rowId, const QString *t) {
                keys.insert(keyOf(t));
                lastSeen = std::max(lastSeen, rowId);
            },
            &e);
        if (!read) {
            out.error = e;
            return out;
        }
        for (const QsoRecord &r : records) {
            const QString k = dupeKey(r);
            if (keys.contains(k)) {
                ++out.skipped;
                continue;
            }
            keys.insert(k);
            stagedAt.insert(k, staged.size());
            staged.push_back(&r);
        }
    } else {
        for (const QsoRecord &r : records)
            staged.push_back(&r);
    }
    std::vector<bool> dropped(staged.size(), false);

    const QString run = newRun();
    runsInProgress().insert(run);
    int written = 0;
    auto fail = [&](const QString &why) {
        runsInProgress().remove(run);
        out.ok = false;
        out.appended = 0;
        out.error = why.isEmpty() ? QStringLiteral("unknown database error") : why;
        QString ignored;
        if (written > 0 && removeRuns(db, {run}, &ignored) < 0)
            out.leftOver = written;
        return out;
    };

    const size_t batchSize = static_cast<size_t>(std::max(1, options.batchSize));
    size_t next = 0;
    bool markersMade = false;
    for (;;) {
        while (next < staged.size() && dropped[next])
            ++next;
        if (next >= staged.size())
            break;
        if (!db.beginWrite(&e))
            return fail(e);
        if (options.eliminateDuplicates) {
            // Contacts logged by other PCs since the last look.
            const bool read = db.readKeyedTextRows(
                KeysAfter.arg(lastSeen), 4,
                [&](qint64 rowId, const QString *t) {
                    lastSeen = std::max(lastSeen, rowId);
                    const auto at = stagedAt.constFind(keyOf(t));
                    if (at != stagedAt.cend() && *at >= next && !dropped[*at]) {
                        dropped[*at] = true;
                        ++out.skipped;
                    }
                },
                &e);
            if (!read) {
                db.rollback();
                return fail(e);
            }
        }
        if (!markersMade && !db.exec(CreateMarkers, {}, &e)) {
            db.rollback();
            return fail(e);
        }
        markersMade = true;
        auto insert = db.prepare(Insert, &e);
        if (!insert) {
            db.rollback();
            return fail(e);
        }
        qint64 first = std::numeric_limits<qint64>::max(), last = std::numeric_limits<qint64>::min();
        size_t n = 0;
        for (; next < staged.size() && n < batchSize; ++next) {
            if (dropped[next])
                continue;
            // An empty value is stored as empty text, never as a missing one.
            for (const QString &v : staged[next]->values())
                insert->addBindValue(v.isNull() ? QStringLiteral("") : v);
            if (!insert->exec()) {
                db.noteFailure(*insert);
                e = insert->lastError().text();
                db.rollback();
                return fail(e);
            }
            const qint64 id = insert->lastInsertId().toLongLong();
            first = std::min(first, id);
            last = std::max(last, id);
            ++n;
        }
        if (n > 0
            && !db.exec(QStringLiteral("insert into tblAppendBatch values (?,?,?,?,?,?)"),
                        {run, thisHost(), thisProgram(), first, last,
                         Clock::systemUtcNow().toSecsSinceEpoch()},
                        &e)) {
            db.rollback();
            return fail(e);
        }
        if (!db.commit(&e))
            return fail(e);
        written += static_cast<int>(n);
        lastSeen = std::max(lastSeen, last);
        if (options.afterBatch)
            options.afterBatch(written);
    }
    // The run is complete once its markers are gone.
    if (markersMade
        && !db.exec(QStringLiteral("delete from tblAppendBatch where run = ?"), {run}, &e))
        return fail(e);
    runsInProgress().remove(run);
    out.ok = true;
    out.appended = written;
    return out;
}

} // namespace BatchAppend
