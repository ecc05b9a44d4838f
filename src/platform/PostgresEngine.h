#pragma once
// The log in a table on a PostgreSQL server, reached through Qt's QPSQL
// driver with a libpq URI: postgresql://user@host:port/dbname. The password
// comes from the user's ~/.pgpass or PGPASSWORD, never from the URI.
//
// Connecting and every statement have a bound, so a dead server never
// freezes the window; a connection the server dropped is made anew before
// the next statement. The write lock of a transaction is a table lock that
// holds off other writers but not readers.
#include "platform/LogBackend.h"

#include <QSocketNotifier>
#include <memory>

struct pg_conn;

class PostgresEngine final : public LogBackend {
public:
    using LogBackend::LogBackend;
    ~PostgresEngine() override;

    // Whether path names a log on a server rather than a file.
    static bool isServerPath(const QString &path);
    // The server's host in the URI; empty for this machine.
    static QString hostOf(const QString &url);

    static constexpr int ConnectTimeoutSecs = 3;
    static constexpr int StatementTimeoutMs = 6000;

    bool open(const QString &path, bool forLogging, QString *error) override;
    void close() override;
    bool ensureConnected(QString *error) override;
    bool connectionLost() const override;
    QString dialect(const QString &sql) const override;
    void beforeStatement(bool inWrite) override;
    void afterStatement() override;
    void setChangeListener(std::function<void()> onChange) override;
    qint64 changesHeard() const override { return m_changesHeard; }
    bool forwardOnlyQueries() const override { return false; }
    bool isBusy(const QSqlError &e) const override;
    void setBusyWait(int ms) override;
    QStringList beginWriteStatements() const override;
    QString dataVersionQuery() const override { return QStringLiteral("select version from tblLogVersion"); }
    QString tableCountQuery() const override;
    bool ownWritesMoveVersion() const override { return true; }
    bool runBatch(const QStringList &statements, bool inWrite, std::optional<qint64> *value, bool *busy,
                  QString *error) override;
    std::optional<qint64> insertRow(const QString &sql, const QVariantList &values, bool *busy,
                                    QString *error) override;
    bool readKeyedTextRows(const QString &sql, const QVariantList &values, int textColumns,
                           const RowFn &onRow, bool *busy, QString *error) override;
    bool copyTo(const QString &dest, QString *error) override;

    enum class Created { New, AlreadyThere, Failed };
    // Makes the log table and what belongs to it in the database at url.
    static Created createLog(const QString &url, QString *error);
    static QString schema();

private:
    bool connect(bool checkLayout, QString *error);
    pg_conn *handle() const;
    void forgetConnection();
    void listen();
    void takeNotifications();
    // Runs sql with values in one exchange; a result holding rows, or
    // nothing with *busy and *error set.
    struct pg_result *execParams(const QString &sql, const QVariantList &values, bool *busy, QString *error);
    QString m_url;
    bool m_forLogging = true;
    int m_busyWaitMs = 5000;
    int m_appliedBusyWaitMs = -1; // the lock wait the server has been told
    // The server's word of other copies' changes: the trigger on the log
    // table notifies every connection that listens.
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_onChange;
    qint64 m_changesHeard = 0;
    bool m_tellPending = false;
};
