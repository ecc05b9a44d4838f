#pragma once
// What LogEngine asks of the database that holds a log: an SQLite file
// (SqliteEngine) or a table on a PostgreSQL server (PostgresEngine). Only
// LogEngine talks to these; the rest of the program sees LogEngine alone.
//
// Both run the same statements of the log's catalogue through one Qt SQL
// connection named connectionName(); each engine maps the few words of
// the catalogue its dialect spells otherwise.
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <functional>

class LogBackend {
public:
    using RowFn = std::function<void(qint64 key, const QString *texts)>;

    explicit LogBackend(QString connection) : m_connection(std::move(connection)) {}
    virtual ~LogBackend() = default;
    LogBackend(const LogBackend &) = delete;
    LogBackend &operator=(const LogBackend &) = delete;

    // Opens an existing log; forLogging false opens it for reading only.
    virtual bool open(const QString &path, bool forLogging, QString *error) = 0;
    virtual void close();
    QString connectionName() const { return m_connection; }
    QSqlDatabase database() const { return QSqlDatabase::database(m_connection, false); }

    // Called before a statement that may safely be sent again: a
    // connection that was lost is made anew. False when that fails.
    virtual bool ensureConnected(QString *) { return true; }
    // Whether the last failure was the connection itself going away (so
    // that a statement that changed nothing may be tried once more).
    virtual bool connectionLost() const { return false; }

    // Called before every statement; inWrite tells whether a write
    // transaction is open.
    virtual void beforeStatement(bool inWrite) { (void)inWrite; }
    // A query prepared for sql, ready for its values to be bound by
    // position (prepared afresh, or kept from an earlier statement). The
    // query's error tells when the statement could not be prepared.
    virtual QSqlQuery preparedQuery(const QString &sql);

    // The statement as this engine spells it.
    virtual QString dialect(const QString &sql) const = 0;
    // Whether queries read their rows forward only, as they arrive.
    virtual bool forwardOnlyQueries() const = 0;
    // Whether an error means another copy held the log locked too long.
    virtual bool isBusy(const QSqlError &e) const = 0;
    virtual void setBusyWait(int ms) = 0;
    // The statements that start a write transaction holding the write lock.
    virtual QStringList beginWriteStatements() const = 0;
    // A query whose one value moves whenever the log's rows change (SQLite:
    // when another connection commits; a server: on every change).
    virtual QString dataVersionQuery() const = 0;
    // A query counting the tables named like its one bound value.
    virtual QString tableCountQuery() const = 0;

    virtual bool readKeyedTextRows(const QString &sql, int textColumns, const RowFn &onRow,
                                   bool *busy, QString *error) = 0;
    // A consistent copy of the whole log into a new SQLite log file.
    virtual bool copyTo(const QString &dest, QString *error) = 0;

    // Called (from the event loop, never inside a statement) soon after
    // another copy changed the log, by engines that hear of it at once.
    virtual void setChangeListener(std::function<void()> onChange) { (void)onChange; }
    // How many changes by other copies the engine has heard of.
    virtual qint64 changesHeard() const { return 0; }
    // Called after every statement.
    virtual void afterStatement() {}

    static QString describe(const QSqlError &e);

private:
    QString m_connection;
};
