#pragma once
// The log in an SQLite file opened through Qt SQL. Several copies on one
// machine or on a shared folder open the same file; the rollback journal and
// full syncs keep every committed contact, and a busy timeout lets writers
// take turns. Only existing files of the log's layout are opened, and only
// when they can be written in the rollback-journal mode; a source log is
// opened read-only and never changed.
#include "platform/LogBackend.h"

class SqliteEngine final : public LogBackend {
public:
    using LogBackend::LogBackend;

    bool open(const QString &path, bool forLogging, QString *error) override;
    QString dialect(const QString &sql) const override;
    bool forwardOnlyQueries() const override { return true; }
    bool isBusy(const QSqlError &e) const override;
    void setBusyWait(int ms) override;
    QStringList beginWriteStatements() const override;
    QString dataVersionQuery() const override { return QStringLiteral("PRAGMA data_version"); }
    QString tableCountQuery() const override;
    bool readKeyedTextRows(const QString &sql, const QVariantList &values, int textColumns,
                           const RowFn &onRow, bool *busy, QString *error) override;
    bool copyTo(const QString &dest, QString *error) override;

    // Creates a new empty log file at path from the schema kept with the
    // program.
    static bool createEmpty(const QString &path, QString *error);
    static QString schema();

private:
    bool openWith(const QString &path, const QString &uri, const QString &options, QString *error);
    bool readyToLog(const QString &path, QString *error);
};
