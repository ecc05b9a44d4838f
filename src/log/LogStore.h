#pragma once
// The shared log: the connection to the log file, the statement catalogue
// every part uses against it, the in-memory mirror with its counts, the change
// check run on each refresh tick and the text backup. Windows call into it;
// it knows nothing about them.
#include "log/QsoRecord.h"
#include "platform/LogEngine.h"

#include <QString>
#include <functional>
#include <optional>

class LogStore {
public:
    LogStore() = default;

    // Opens the log for logging (see LogEngine::open for what is refused).
    // The contacts of an append that ended half-way are taken out first
    // (see BatchAppend.h); their number is then unfinishedAppendRemoved().
    bool open(const QString &path, QString *error = nullptr);
    bool isOpen() const { return m_engine.isOpen(); }
    void close() { m_engine.close(); }
    // Opens the same file again, keeping the mirror: after the share or the
    // file went away and came back, the old connection may refuse to write.
    bool reconnect(QString *error = nullptr);
    QString path() const { return m_engine.path(); }
    LogEngine &engine() { return m_engine; }
    const LogEngine &engine() const { return m_engine; }
    int unfinishedAppendRemoved() const { return m_unfinishedRemoved; }

    // How long a step that the operator waits on (logging a contact, the
    // change check of a refresh tick) waits for another copy's lock before
    // it reports the log as busy.
    static constexpr int ShortBusyWaitMs = 150;
    // Whether the last failed step failed only because another copy held the
    // log locked.
    bool lastFailureWasBusy() const { return m_engine.lastFailureWasBusy(); }

    LogMirror &mirror() { return m_mirror; }
    const LogMirror &mirror() const { return m_mirror; }
    int recordCount() const { return m_mirror.recordCount(); }

    // The full reload: clears logChanged and reads the whole table in date and
    // time order into the mirror. On failure the mirror keeps the rows read so
    // far and the error is returned.
    bool reload(QString *error = nullptr);

    // The record count of the table, or nothing on failure.
    std::optional<double> countRecords(QString *error = nullptr);

    enum class CheckResult {
        Unchanged,
        Changed,
        Busy,   // another copy held the log locked; nothing is known, try at the next tick
        Failed, // the log could not be read: error
    };
    // The change check of a refresh tick: compares the table's count with
    // loadedCount and sets logChanged when they differ. It waits no longer
    // than ShortBusyWaitMs for another copy's lock.
    CheckResult checkForChanges(QString *error = nullptr);

    // ---- following the other copies ----
    // The tick's look for other copies' changes: the engine's change counter
    // is compared with the one seen last, which reads no row; only where the
    // engine has no such counter is the record count compared (as
    // checkForChanges does). Changed sets logChanged.
    CheckResult lookForChanges(QString *error = nullptr);
    // Whether the last look could use the change counter. Without it a
    // change can only be followed by the full reload.
    bool followsChangeCounter() const { return m_counterWorks; }
    // The next look counts as a change, whatever the counter says (after a
    // failed read, so that nothing is missed).
    void forgetChangeCounter() { m_seenVersion.reset(); }
    // Reads the rows added since the highest row identity the mirror holds
    // and appends, in order, those that belong at its end. Stops at the
    // first that belongs before the mirror's last record and sets
    // *misplaced: the mirror then needs the full read. Clears logChanged.
    // Returns the number of records appended; nothing on failure.
    std::optional<int> readNewRows(bool *misplaced, QString *error = nullptr);
    // Whether a contact of this copy went to the mirror's end although its
    // date and time belong before it; cleared by the full reload and by
    // replaceMirror.
    bool orderBroken() const { return m_orderBroken; }
    // How many rows this store has read from the log, by full reloads and
    // by reads of new rows.
    qint64 rowsRead() const { return m_rowsRead; }
    // Takes a mirror read elsewhere in place of the one held; returns the old one.
    LogMirror replaceMirror(LogMirror &&fresh);

    // The rows of a "select * from tbllog" query, every row in the order the
    // query returns them; nothing when the query fails.
    static std::optional<std::vector<QsoRecord>> readRows(std::optional<QSqlQuery> q,
                                                          QString *error = nullptr);
    static std::optional<std::vector<QsoRecord>> readRows(QSqlQuery &q, QString *error = nullptr);

    // Every row whose call is `call` (ignoring case), in table order.
    std::optional<std::vector<QsoRecord>> rowsForCall(const QString &call, QString *error = nullptr);

    // Inserts one contact and returns its row identity.
    std::optional<qint64> insert(const QsoRecord &r, QString *error = nullptr);

    // The contact list's delete: the row(s) with this call, band, time and
    // date; when several rows agree in every column only rowId is removed.
    std::optional<int> deleteContact(int recordNumber, QString *error = nullptr);
    // The edit window's update of record recordNumber with new values.
    std::optional<int> updateContact(int recordNumber, const QString &selectedCall,
                                     const QsoRecord &newValues, QString *error = nullptr);

    // Erases every row ("delete * from tbllog").
    bool erase(QString *error = nullptr);

    // Adds to loadedCount and the mirror after this copy's own insert, so that
    // its own contacts never trigger a reload.
    void appendOwn(const QsoRecord &r, qint64 rowId);

    // Writes the text backup: one line per mirror record, nine quoted values.
    bool writeBackup(const QString &path, QString *error = nullptr) const;
    static QByteArray backupText(const LogMirror &m);

private:
    void removeUnfinishedAppends();
    LogEngine m_engine;
    LogMirror m_mirror;
    std::optional<qint64> m_seenVersion;
    bool m_counterWorks = false;
    bool m_orderBroken = false;
    qint64 m_rowsRead = 0;
    int m_unfinishedRemoved = 0;
};
