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
#include <QVariantList>
#include <functional>
#include <optional>

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
    // Whether this connection's own writes move the change counter too (a
    // server's version row does; a file's counter moves for the others only).
    virtual bool ownWritesMoveVersion() const { return false; }

    // Runs statements that take no values, in one exchange with the database
    // where it allows that; *value gets the first column of the first row of
    // the last statement that returned rows. Stops at the first failure.
    // Does what beforeStatement would do itself.
    virtual bool runBatch(const QStringList &statements, bool inWrite, std::optional<qint64> *value,
                          bool *busy, QString *error);
    // Inserts one row with the values bound to the "?" placeholders in order
    // and returns its key.
    virtual std::optional<qint64> insertRow(const QString &sql, const QVariantList &values, bool *busy,
                                            QString *error);
    // Runs a query whose first column is an integer key and whose next
    // textColumns columns are texts, with values bound to its "?"
    // placeholders in order.
    virtual bool readKeyedTextRows(const QString &sql, const QVariantList &values, int textColumns,
                                   const RowFn &onRow, bool *busy, QString *error) = 0;
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
