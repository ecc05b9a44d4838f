#include "log/LogStore.h"

#include "log/BatchAppend.h"
#include "log/LogFollower.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/SeqFile.h"

#include <QSqlError>
#include <QSqlQuery>

namespace Sql {
// The statement catalogue. Values are bound, never pasted into the text, so a
// quote in a value is stored as typed.
const QString reload = QStringLiteral("select rowid, * from tbllog order by flddate, fldtime, rowid");
const QString count = QStringLiteral("select count(*) as fsizeold from tbllog");
const QString dupe = QStringLiteral("select rowid, * from tbllog where calls=? collate nocase");
const QString insert = QStringLiteral(
    "insert into tblLog (calls, rstr, gridr, rsts, grids, flddate, fldtime, uband, umode)"
    "VALUES (?,?,?,?,?,?,?,?,?)");
const QString erase = QStringLiteral("delete * from tbllog");
} // namespace Sql

bool LogStore::open(const QString &path, QString *error)
{
    m_seenVersion.reset();
    m_mirror.clear();
    m_mirror.loadedCount = 0;
    m_mirror.logChanged = false;
    if (!m_engine.open(path, error))
        return false;
    removeUnfinishedAppends();
    return true;
}

bool LogStore::reconnect(QString *error)
{
    const QString p = m_engine.path();
    if (p.isEmpty()) {
        if (error)
            *error = QStringLiteral("no log has been opened");
        return false;
    }
    // A new connection counts changes from its own start.
    m_seenVersion.reset();
    if (!m_engine.open(p, error))
        return false;
    removeUnfinishedAppends();
    return true;
}

void LogStore::removeUnfinishedAppends()
{
    m_unfinishedRemoved = BatchAppend::removeUnfinished(m_engine, Clock::systemUtcNow());
}

bool LogStore::reload(QString *error)
{
    // Read into a new mirror: a reload that fails half-way leaves the last
    // complete copy of the log on screen rather than a part of it.
    LogMirror fresh;
    LogReading::TextPool pool;
    // Whatever another copy commits from here on moves the counter again.
    m_seenVersion = m_engine.dataVersion();
    m_counterWorks = m_seenVersion.has_value();
    const bool ok = m_engine.readKeyedTextRows(
        Sql::reload, QsoRecord::ColumnCount,
        [this, &fresh, &pool](qint64 rowId, const QString *v) {
            ++m_rowsRead;
            fresh.append(pool.record(v), rowId);
        },
        error);
    if (!ok) {
        // The mirror still matches the count it had; the next change check
        // sees the difference again and retries, instead of every focus
        // change retrying at once.
        m_mirror.logChanged = false;
        m_mirror.loadedCount = m_mirror.recordCount();
        m_seenVersion.reset();
        return false;
    }
    fresh.loadedCount = fresh.recordCount();
    fresh.logChanged = false;
    m_mirror = std::move(fresh);
    m_orderBroken = false;
    return true;
}

LogStore::CheckResult LogStore::lookForChanges(QString *error)
{
    std::optional<qint64> version;
    {
        const BusyWaitScope wait(m_engine, ShortBusyWaitMs);
        version = m_engine.dataVersion(error);
    }
    if (!version) {
        if (lastFailureWasBusy())
            return CheckResult::Busy;
        m_counterWorks = false;
        return checkForChanges(error);
    }
    m_counterWorks = true;
    if (m_seenVersion && *m_seenVersion == *version)
        return CheckResult::Unchanged;
    m_seenVersion = version;
    m_mirror.logChanged = true;
    return CheckResult::Changed;
}

std::optional<int> LogStore::readNewRows(bool *misplaced, QString *error)
{
    const BusyWaitScope wait(m_engine, ShortBusyWaitMs);
    *misplaced = false;
    int added = 0;
    LogReading::TextPool pool;
    const bool ok = m_engine.readRowsAbove(
        m_mirror.highestRowId(), 0,
        [&](qint64 key, const QString *v) {
            ++m_rowsRead;
            if (*misplaced || !m_mirror.sortsAtEnd(v[5], v[6], key)) {
                *misplaced = true;
                return;
            }
            m_mirror.append(pool.record(v), key);
            ++added;
        },
        error);
    m_mirror.loadedCount = m_mirror.recordCount();
    if (!ok)
        return std::nullopt;
    m_mirror.logChanged = false;
    return added;
}

LogMirror LogStore::replaceMirror(LogMirror &&fresh)
{
    LogMirror old = std::move(m_mirror);
    m_mirror = std::move(fresh);
    m_mirror.loadedCount = m_mirror.recordCount();
    m_mirror.logChanged = false;
    m_orderBroken = false;
    return old;
}

std::optional<double> LogStore::countRecords(QString *error)
{
    auto q = m_engine.select(Sql::count, {}, error);
    if (!q)
        return std::nullopt;
    if (!q->next()) {
        m_engine.noteFailure(*q);
        if (error)
            *error = q->lastError().text();
        return std::nullopt;
    }
    return q->value(0).toDouble();
}

LogStore::CheckResult LogStore::checkForChanges(QString *error)
{
    const BusyWaitScope wait(m_engine, ShortBusyWaitMs);
    const auto n = countRecords(error);
    if (!n)
        return lastFailureWasBusy() ? CheckResult::Busy : CheckResult::Failed;
    if (*n != m_mirror.loadedCount) {
        m_mirror.logChanged = true;
        m_mirror.loadedCount = *n;
        return CheckResult::Changed;
    }
    return CheckResult::Unchanged;
}

std::optional<std::vector<QsoRecord>> LogStore::rowsForCall(const QString &call, QString *error)
{
    std::vector<QsoRecord> rows;
    const bool ok = m_engine.readKeyedTextRows(Sql::dupe, {call}, QsoRecord::ColumnCount,
                                               [&rows](qint64, const QString *v) {
                                                   rows.push_back({v[0], v[1], v[2], v[3], v[4], v[5],
                                                                   v[6], v[7], v[8]});
                                               },
                                               error);
    if (!ok)
        return std::nullopt;
    return rows;
}

std::optional<std::vector<QsoRecord>> LogStore::readRows(std::optional<QSqlQuery> q, QString *error)
{
    if (!q)
        return std::nullopt;
    return readRows(*q, error);
}

std::optional<std::vector<QsoRecord>> LogStore::readRows(QSqlQuery &q, QString *error)
{
    std::vector<QsoRecord> rows;
    while (q.next()) {
        QStringList v;
        for (int i = 0; i < QsoRecord::ColumnCount; ++i)
            v.append(q.value(i).toString());
        rows.push_back(QsoRecord::fromValues(v));
    }
    if (q.lastError().isValid()) {
        if (error)
            *error = q.lastError().text();
        return std::nullopt;
    }
    return rows;
}

std::optional<qint64> LogStore::insert(const QsoRecord &r, QString *error)
{
    QVariantList values;
    for (const QString &v : r.values())
        values.append(v);
    return m_engine.insertRow(Sql::insert, values, error);
}

std::optional<int> LogStore::deleteContact(int recordNumber, QString *error)
{
    if (recordNumber < 1 || recordNumber > m_mirror.recordCount()) {
        if (error)
            *error = QStringLiteral("no such record");
        return std::nullopt;
    }
    const QsoRecord &r = m_mirror.at(recordNumber);
    // Call, band, time and date identify the contact; among rows that agree in
    // all nine columns only the selected one goes.
    return m_engine.exec(
        QStringLiteral("delete from tbllog where calls=? collate nocase And uband = ? collate nocase"
                       "  And fldtime = ? And flddate = ?"
                       " And (rowid = ? Or Not (rstr is ? And gridr is ? And rsts is ? And grids is ?"
                       " And umode is ?))"),
        {r.calls, r.uband, r.fldtime, r.flddate, m_mirror.rowId(recordNumber), r.rstr, r.gridr,
         r.rsts, r.grids, r.umode},
        error);
}

std::optional<int> LogStore::updateContact(int recordNumber, const QString &selectedCall,
                                           const QsoRecord &n, QString *error)
{
    if (recordNumber < 1 || recordNumber > m_mirror.recordCount()) {
        if (error)
            *error = QStringLiteral("no such record");
        return std::nullopt;
    }
    const QsoRecord &old = m_mirror.at(recordNumber);
    return m_engine.exec(
        QStringLiteral("update tbllog set calls=?, rstr=?, gridr=? , rsts=?, grids=?, flddate=?,"
                       " fldtime=?, uband=?, umode=? where calls=? collate nocase"
                       " And uband = ? collate nocase And fldtime = ? And flddate = ?"
                       " And (rowid = ? Or Not (rstr is ? And gridr is ? And rsts is ? And grids is ?"
                       " And umode is ?))"),
        {n.calls, n.rstr, n.gridr, n.rsts, n.grids, n.flddate, n.fldtime, n.uband, n.umode,
         selectedCall, old.uband, old.fldtime, old.flddate, m_mirror.rowId(recordNumber), old.rstr,
         old.gridr, old.rsts, old.grids, old.umode},
        error);
}

bool LogStore::erase(QString *error) { return m_engine.exec(Sql::erase, {}, error).has_value(); }

void LogStore::appendOwn(const QsoRecord &r, qint64 rowId)
{
    if (!m_mirror.sortsAtEnd(r.flddate, r.fldtime, rowId))
        m_orderBroken = true;
    m_mirror.loadedCount += 1;
    m_mirror.append(r, rowId);
    // Where the change counter moves for this copy's own writes too, the
    // write is no news when nobody else moved it since the last look.
    const auto v = m_engine.lastWriteVersions();
    if (v && m_seenVersion && *m_seenVersion == v->before)
        m_seenVersion = v->after;
}

QByteArray LogStore::backupText(const LogMirror &m)
{
    SeqWriter w;
    for (const QsoRecord &r : m.records())
        w.textLine(r.values());
    return w.data();
}

bool LogStore::writeBackup(const QString &path, QString *error) const
{
    return writeFileAtomically(path, backupText(m_mirror), error);
}
