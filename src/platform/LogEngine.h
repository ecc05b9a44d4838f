#pragma once
// The database engine behind the shared log, one connection per running
// copy. The log path chooses the engine: an SQLite file (on this PC or a
// shared folder), or a table on a PostgreSQL server named by a URI
// "postgresql://user@host:port/dbname". Both take the same statements with
// bound values; nothing outside this class learns which one is in use.
// The engine never creates a log where a user pointed it: it opens existing
// logs of the log's layout only (files: only when it can write them in the
// rollback-journal mode). Other logs (the source of an append) are opened
// read-only and are never changed.
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

class LogBackend;

class LogEngine {
public:
    LogEngine();
    ~LogEngine();
    LogEngine(const LogEngine &) = delete;
    LogEngine &operator=(const LogEngine &) = delete;

    // Opens an existing log for logging. Fails, with the reason, when there
    // is no file at path, the file is not a log of this layout, it cannot be
    // written (read-only file, disk or share, or a folder where its journal
    // cannot be made), or it cannot be switched to the rollback journal
    // (another program holds it in write-ahead mode); nothing is created.
    // A server log fails when it cannot be reached within a few seconds or
    // its database holds no log table.
    bool open(const QString &path, QString *error = nullptr);
    // Opens another log for reading only: the file, its journal mode and its
    // folder stay exactly as they are.
    bool openSource(const QString &path, QString *error = nullptr);
    bool isOpen() const;
    void close();
    QString path() const { return m_path; }

    // Runs one statement that returns no rows. Values are bound to the "?"
    // placeholders in order. Returns the number of rows affected, or nothing on
    // failure.
    std::optional<int> exec(const QString &sql, const QVariantList &values = {},
                            QString *error = nullptr);
    // Runs a query; the rows are read forward only.
    std::optional<QSqlQuery> select(const QString &sql, const QVariantList &values = {},
                                    QString *error = nullptr);
    // A statement prepared once and run many times with new values.
    std::optional<QSqlQuery> prepare(const QString &sql, QString *error = nullptr);

    // Whether the last failure came from another copy holding the log
    // locked for longer than the busy wait (rather than from a broken file,
    // a lost share or a refused statement).
    bool lastFailureWasBusy() const { return m_lastBusy; }
    // Records the outcome of a statement run through prepare().
    void noteFailure(const QSqlQuery &q);
    // How long a statement waits for another copy's lock before it gives
    // up as busy. DefaultBusyWaitMs after opening.
    static constexpr int DefaultBusyWaitMs = 5000;
    void setBusyWait(int ms);
    int busyWait() const { return m_busyWaitMs; }

    // Reads the rows of a query whose first column is an integer key and whose
    // next textColumns columns are texts, calling onRow for each row in
    // order. Equal texts in consecutive rows share one string, which keeps a
    // full read of a large log quick and small.
    bool readKeyedTextRows(const QString &sql, int textColumns,
                           const std::function<void(qint64 key, const QString *texts)> &onRow,
                           QString *error = nullptr);
    // The same for a query with values bound to its "?" placeholders in order.
    bool readKeyedTextRows(const QString &sql, const QVariantList &values, int textColumns,
                           const std::function<void(qint64 key, const QString *texts)> &onRow,
                           QString *error = nullptr);
    // Inserts one row (values bound in order) and returns its key (row identity).
    std::optional<qint64> insertRow(const QString &sql, const QVariantList &values,
                                    QString *error = nullptr);

    // ---- following other copies' changes ----
    // A number that moves whenever another connection commits a change to
    // the log (another copy of the program, on this PC or another one); the
    // writes of this connection leave it where it is. Reading it costs no
    // row. Nothing when it cannot be read (the caller then falls back to
    // comparing record counts).
    std::optional<qint64> dataVersion(QString *error = nullptr);
    // The rows whose key (row identity) is above `key`, in key order, read
    // as readKeyedTextRows reads them. With limit > 0 at most that many.
    bool readRowsAbove(qint64 key, int limit,
                       const std::function<void(qint64 key, const QString *texts)> &onRow,
                       QString *error = nullptr);
    // The rows that follow the position (flddate, fldtime, key) in the
    // order of date, time and key, at most limit of them, read as
    // readKeyedTextRows reads them: a whole log read in slices, each slice a
    // short read that never holds other copies' writes up for long.
    bool readRowsAfter(const QString &flddate, const QString &fldtime, qint64 key, int limit,
                       const std::function<void(qint64 key, const QString *texts)> &onRow,
                       QString *error = nullptr);

    // A write transaction that holds the write lock from its start, so that a
    // check and the write that depends on it see no other writer in between.
    bool beginWrite(QString *error = nullptr);
    bool commit(QString *error = nullptr);
    void rollback();
    // Where this connection's own writes move the change counter (a
    // server's), the counter as the last committed write transaction began
    // and as it was committed, read within the exchanges that began and
    // committed it; nothing elsewhere.
    struct WriteVersions {
        qint64 before = 0, after = 0;
    };
    std::optional<WriteVersions> lastWriteVersions() const { return m_writeVersions; }

    // A consistent copy of the open log into a new file (the engine's own
    // snapshot, so other writers never tear it). dest must not exist.
    bool copyTo(const QString &dest, QString *error = nullptr);

    // A log on a server tells of other copies' changes at once: onChange is
    // called from the event loop soon after another copy added, changed or
    // deleted contacts. A file tells nothing (its changes are found by the
    // change check of the refresh tick). Kept across reconnections.
    void setChangeListener(std::function<void()> onChange);
    // How many changes by other copies the log has told of so far.
    qint64 changesHeard() const;

    // Whether the open log holds a table of this name (any letter case).
    bool hasTable(const QString &name);

    // The file engine's dialect for a statement of the log's catalogue
    // ("delete * from tbllog" erases every row).
    static QString dialect(const QString &sql);

    // Whether path names a log on a database server rather than a file.
    static bool isServerLog(const QString &path);
    // The host of a server log's address; empty for this machine.
    static QString serverHost(const QString &path);
    // Whether the file at path is a log of this layout (opens it read-only).
    static bool isLogFile(const QString &path, QString *error = nullptr);
    // Creates a new empty log file at path from the schema kept with the program.
    static bool createEmpty(const QString &path, QString *error = nullptr);
    // Makes a new empty log at path: a file, or the log table in an existing
    // database on a server.
    enum class Created { New, AlreadyThere, Failed };
    static Created createLog(const QString &path, QString *error = nullptr);
    // The schema of the log table in a file.
    static QString schema();
    // The column names in their order.
    static const QStringList &columns();

private:
    std::optional<QSqlQuery> run(const QString &sql, const QVariantList &values, QString *error);
    bool runBatch(const QStringList &statements, std::optional<qint64> *value, QString *error);
    bool openAs(const QString &path, bool forLogging, QString *error);
    // False, with the reason, when no log is open.
    bool openForStatement(QString *error) const;
    bool connectedOutsideWrite(QString *error);
    // Ready for one statement sent once (open, connected, the engine told);
    // false with the reason otherwise.
    bool startStatement(QString *error);
    // Runs send (which sends one statement and tells whether it went
    // through); outside a write, once more on a new connection when the
    // first was lost on the way.
    bool sendOnceMore(const std::function<bool()> &send, QString *error);
    QString m_connection;
    std::unique_ptr<LogBackend> m_backend;
    QString m_path;
    bool m_open = false;
    bool m_lastBusy = false;
    bool m_inWrite = false;
    std::optional<qint64> m_versionAtWriteStart;
    std::optional<WriteVersions> m_writeVersions;
    int m_busyWaitMs = DefaultBusyWaitMs;
    std::function<void()> m_onChange;
};

// Runs a few statements with a shorter busy wait, then puts the wait back.
class BusyWaitScope {
public:
    BusyWaitScope(LogEngine &engine, int ms) : m_engine(engine), m_before(engine.busyWait())
    {
        m_engine.setBusyWait(ms);
    }
    ~BusyWaitScope() { m_engine.setBusyWait(m_before); }
    BusyWaitScope(const BusyWaitScope &) = delete;
    BusyWaitScope &operator=(const BusyWaitScope &) = delete;

private:
    LogEngine &m_engine;
    int m_before;
};
