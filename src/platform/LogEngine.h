#pragma once
// The database engine behind the shared log: an SQLite file opened through
// Qt SQL, one connection per running copy. Several copies on one machine or on
// a shared folder open the same file; the rollback journal and full syncs keep
// every committed contact, and a busy timeout lets writers take turns.
// The engine never creates a log where a user pointed it: it opens existing
// files of the log's layout only.
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <functional>
#include <optional>

class LogEngine {
public:
    LogEngine();
    ~LogEngine();
    LogEngine(const LogEngine &) = delete;
    LogEngine &operator=(const LogEngine &) = delete;

    // Opens an existing log. Fails, with the reason, when there is no file at
    // path or the file is not a log of this layout; nothing is created.
    bool open(const QString &path, QString *error = nullptr);
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

    // Reads the rows of a query whose first column is an integer key and whose
    // next textColumns columns are texts, calling onRow for each row in
    // order. Equal texts in consecutive rows share one string, which keeps a
    // full read of a large log quick and small.
    bool readKeyedTextRows(const QString &sql, int textColumns,
                           const std::function<void(qint64 key, const QString *texts)> &onRow,
                           QString *error = nullptr);

    // A write transaction that holds the write lock from its start, so that a
    // check and the write that depends on it see no other writer in between.
    bool beginWrite(QString *error = nullptr);
    bool commit(QString *error = nullptr);
    void rollback();

    // A consistent copy of the open log into a new file (the engine's own
    // snapshot, so other writers never tear it). dest must not exist.
    bool copyTo(const QString &dest, QString *error = nullptr);

    // The engine's dialect for a statement of the log's catalogue
    // ("delete * from tbllog" erases every row).
    static QString dialect(const QString &sql);

    // Whether the file at path is a log of this layout (opens it read-only).
    static bool isLogFile(const QString &path, QString *error = nullptr);
    // Creates a new empty log at path from the schema kept with the program.
    static bool createEmpty(const QString &path, QString *error = nullptr);
    // The schema of the log table.
    static QString schema();
    // The column names in their order.
    static const QStringList &columns();

private:
    std::optional<QSqlQuery> run(const QString &sql, const QVariantList &values, QString *error);
    QString m_connection;
    QString m_path;
    bool m_open = false;
};
