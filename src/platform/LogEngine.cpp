#include "platform/LogEngine.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUrl>
#include <QSqlDriver>
#include <atomic>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

std::atomic<int> connectionCounter{0};

QString nextConnectionName()
{
    return QStringLiteral("halvern-log-%1").arg(connectionCounter.fetch_add(1));
}

// A URI that opens an existing file for reading and writing and never
// creates one.
QString uriFor(const QString &path, bool readOnly)
{
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    return url.toString(QUrl::FullyEncoded) + (readOnly ? QStringLiteral("?mode=ro")
                                                        : QStringLiteral("?mode=rw"));
}

QString describe(const QSqlError &e)
{
    QString t = e.text().trimmed();
    return t.isEmpty() ? QStringLiteral("unknown database error") : t;
}

bool layoutOk(QSqlDatabase &db, QString *error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA table_info(tblLog)"))) {
        if (error)
            *error = describe(q.lastError());
        return false;
    }
    QStringList names;
    while (q.next())
        names.append(q.value(1).toString().toLower());
    if (q.lastError().isValid()) {
        if (error)
            *error = describe(q.lastError());
        return false;
    }
    if (names != LogEngine::columns()) {
        if (error)
            *error = QStringLiteral("the file holds no log table of this program's layout");
        return false;
    }
    return true;
}

} // namespace

const QStringList &LogEngine::columns()
{
    static const QStringList cols{QStringLiteral("calls"),  QStringLiteral("rstr"),
                                  QStringLiteral("gridr"),  QStringLiteral("rsts"),
                                  QStringLiteral("grids"),  QStringLiteral("flddate"),
                                  QStringLiteral("fldtime"), QStringLiteral("uband"),
                                  QStringLiteral("umode")};
    return cols;
}

LogEngine::LogEngine() : m_connection(nextConnectionName()) {}

LogEngine::~LogEngine() { close(); }

bool LogEngine::open(const QString &path, QString *error)
{
    close();
    const QFileInfo fi(path);
    if (path.trimmed().isEmpty() || !fi.exists() || !fi.isFile()) {
        if (error)
            *error = QStringLiteral("there is no file at %1").arg(path);
        return false;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(uriFor(path, false));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            if (error)
                *error = describe(db.lastError());
        } else {
            QSqlQuery q(db);
            // A rollback journal works on shared folders where a write-ahead
            // log does not; full syncs keep every committed contact on disk.
            q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
            q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
            if (layoutOk(db, error)) {
                m_open = true;
                m_path = fi.absoluteFilePath();
                return true;
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(m_connection);
    return false;
}

bool LogEngine::isOpen() const { return m_open; }

void LogEngine::close()
{
    if (!QSqlDatabase::contains(m_connection)) {
        m_open = false;
        return;
    }
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_open = false;
}

QString LogEngine::dialect(const QString &sql)
{
    static const QRegularExpression deleteStar(QStringLiteral("^\\s*delete\\s+\\*\\s+from\\s+"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString out = sql;
    out.replace(deleteStar, QStringLiteral("delete from "));
    return out;
}

std::optional<QSqlQuery> LogEngine::run(const QString &sql, const QVariantList &values,
                                        QString *error)
{
    if (!m_open) {
        if (error)
            *error = QStringLiteral("the log is not open");
        return std::nullopt;
    }
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.prepare(dialect(sql))) {
        if (error)
            *error = describe(q.lastError());
        return std::nullopt;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        if (error)
            *error = describe(q.lastError());
        return std::nullopt;
    }
    return q;
}

std::optional<int> LogEngine::exec(const QString &sql, const QVariantList &values, QString *error)
{
    const auto q = run(sql, values, error);
    if (!q)
        return std::nullopt;
    return q->numRowsAffected();
}

std::optional<QSqlQuery> LogEngine::select(const QString &sql, const QVariantList &values,
                                           QString *error)
{
    return run(sql, values, error);
}

bool LogEngine::readKeyedTextRows(const QString &sql, int textColumns,
                                  const std::function<void(qint64, const QString *)> &onRow,
                                  QString *error)
{
    if (!m_open) {
        if (error)
            *error = QStringLiteral("the log is not open");
        return false;
    }
    std::vector<QString> texts(static_cast<size_t>(textColumns));
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const QVariant handle = db.driver()->handle();
    sqlite3 *h = nullptr;
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        h = *static_cast<sqlite3 *const *>(handle.constData());
    if (!h) {
        // Not the engine's own handle: read through the driver.
        auto q = select(sql, {}, error);
        if (!q)
            return false;
        while (q->next()) {
            for (int c = 0; c < textColumns; ++c)
                texts[static_cast<size_t>(c)] = q->value(c + 1).toString();
            onRow(q->value(0).toLongLong(), texts.data());
        }
        if (q->lastError().isValid()) {
            if (error)
                *error = describe(q->lastError());
            return false;
        }
        return true;
    }
    sqlite3_stmt *st = nullptr;
    const QByteArray text = dialect(sql).toUtf8();
    if (sqlite3_prepare_v2(h, text.constData(), static_cast<int>(text.size()), &st, nullptr) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_finalize(st);
        return false;
    }
    std::vector<std::string> bytes(static_cast<size_t>(textColumns));
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int c = 0; c < textColumns; ++c) {
            const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, c + 1));
            const size_t n = static_cast<size_t>(sqlite3_column_bytes(st, c + 1));
            std::string &prev = bytes[static_cast<size_t>(c)];
            if (prev.size() == n && (n == 0 || std::memcmp(prev.data(), t, n) == 0))
                continue; // the same text as the row before
            prev.assign(t ? t : "", n);
            texts[static_cast<size_t>(c)] = QString::fromUtf8(t, static_cast<qsizetype>(n));
        }
        onRow(sqlite3_column_int64(st, 0), texts.data());
    }
    const bool ok = rc == SQLITE_DONE;
    if (!ok && error)
        *error = QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_finalize(st);
    return ok;
}

bool LogEngine::beginWrite(QString *error)
{
    return exec(QStringLiteral("BEGIN IMMEDIATE"), {}, error).has_value();
}

bool LogEngine::commit(QString *error)
{
    if (exec(QStringLiteral("COMMIT"), {}, error))
        return true;
    rollback();
    return false;
}

void LogEngine::rollback()
{
    if (m_open) {
        QSqlQuery q(QSqlDatabase::database(m_connection, false));
        q.exec(QStringLiteral("ROLLBACK"));
    }
}

bool LogEngine::copyTo(const QString &dest, QString *error)
{
    if (QFileInfo::exists(dest)) {
        if (error)
            *error = QStringLiteral("%1 already exists").arg(dest);
        return false;
    }
    return exec(QStringLiteral("VACUUM INTO ?"), {QFileInfo(dest).absoluteFilePath()}, error)
        .has_value();
}

bool LogEngine::isLogFile(const QString &path, QString *error)
{
    const QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile()) {
        if (error)
            *error = QStringLiteral("there is no file at %1").arg(path);
        return false;
    }
    const QString name = nextConnectionName();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(uriFor(path, true));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            if (error)
                *error = describe(db.lastError());
        } else {
            ok = layoutOk(db, error);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QString LogEngine::schema()
{
    QFile f(QStringLiteral(":/tbllog.sql"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

bool LogEngine::createEmpty(const QString &path, QString *error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 already exists").arg(path);
        return false;
    }
    const QString name = nextConnectionName();
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            ok = false;
            if (error)
                *error = describe(db.lastError());
        } else {
            // The schema file holds one statement per ";".
            const QStringList parts = schema().split(u';');
            QSqlQuery q(db);
            for (QString stmt : parts) {
                QStringList lines;
                for (const QString &line : stmt.split(u'\n'))
                    if (!line.trimmed().startsWith(QLatin1String("--")))
                        lines.append(line);
                stmt = lines.join(u'\n').trimmed();
                if (stmt.isEmpty())
                    continue;
                if (!q.exec(stmt)) {
                    ok = false;
                    if (error)
                        *error = describe(q.lastError());
                    break;
                }
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}
