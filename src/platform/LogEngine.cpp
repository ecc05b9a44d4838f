#include "platform/LogEngine.h"

#include "platform/WholeFile.h"

#include <QFile>
#include <QDir>
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

// A URI that opens an existing file and never creates one: query is
// "mode=rw" or "mode=ro" and what else the engine is told.
QString uriFor(const QString &path, const QString &query)
{
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    return url.toString(QUrl::FullyEncoded) + u'?' + query;
}

// The engine reports another connection's lock as "busy" or "locked".
bool isBusyCode(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool isBusy(const QSqlError &e)
{
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok && isBusyCode(code);
}

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(handle.constData());
    return nullptr;
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

bool LogEngine::openWith(const QString &path, const QString &uri, const QString &options,
                         QString *error)
{
    close();
    m_lastBusy = false;
    QString why;
    if (path.trimmed().isEmpty() || !QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("there is no file at %1").arg(path);
        return false;
    }
    if (!WholeFile::isReadable(path, WholeFile::NoLimit, &why)) {
        if (error)
            *error = QStringLiteral("%1 cannot be opened as a log: %2").arg(path, why);
        return false;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(uri);
        db.setConnectOptions(options);
        if (!db.open()) {
            if (error)
                *error = describe(db.lastError());
        } else if (layoutOk(db, error)) {
            m_open = true;
            m_path = QFileInfo(path).absoluteFilePath();
            m_busyWaitMs = DefaultBusyWaitMs;
            return true;
        } else {
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(m_connection);
    return false;
}

bool LogEngine::open(const QString &path, QString *error)
{
    if (!openWith(path, uriFor(path, QStringLiteral("mode=rw")),
                  QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(DefaultBusyWaitMs),
                  error))
        return false;
    if (!readyToLog(error)) {
        close();
        return false;
    }
    return true;
}

bool LogEngine::readyToLog(QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    sqlite3 *h = handleOf(db);
    // The engine opens a file it may not write for reading only, without
    // a word: every contact would then fail. Better said now.
    if (h && sqlite3_db_readonly(h, "main") == 1) {
        if (error)
            *error = QStringLiteral("the log file cannot be written: the file, or the disk or "
                                    "share it lies on, is read-only");
        return false;
    }
    QString why;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!WholeFile::isWritableFolder(folder, &why)) {
        if (error)
            *error = QStringLiteral("the log file cannot be written: its folder %1 takes no new "
                                    "files (%2), and the log keeps its journal there while it "
                                    "writes")
                         .arg(QDir::toNativeSeparators(folder), why);
        return false;
    }

    // A rollback journal works on shared folders where a write-ahead log does
    // not. The mode actually in force is what counts: a file that another
    // program holds open in write-ahead mode cannot be switched.
    QString mode;
    bool busy = false;
    {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("PRAGMA journal_mode=DELETE")) && q.next())
            mode = q.value(0).toString().toLower();
        else
            busy = isBusy(q.lastError());
    }
    if (mode != QLatin1String("delete")) {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next())
            mode = q.value(0).toString().toLower();
    }
    if (mode != QLatin1String("delete")) {
        if (error) {
            if (mode == QLatin1String("wal"))
                *error = QStringLiteral(
                    "the log file cannot be used: it is in write-ahead (WAL) mode and another "
                    "program holds it open that way. The log needs the rollback journal, which "
                    "works on shared folders: close the other program and try again");
            else if (busy)
                *error = QStringLiteral("another program holds the log file locked; try again");
            else
                *error = QStringLiteral("the log file cannot be set to the rollback journal "
                                        "(its journal mode is \"%1\")")
                             .arg(mode);
        }
        return false;
    }
    // Full syncs keep every committed contact on disk.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=FULL"));
    return true;
}

bool LogEngine::openSource(const QString &path, QString *error)
{
    // A file in write-ahead mode whose write-ahead file is gone holds all its
    // contacts itself and is read as unchangeable, so that reading it leaves
    // no new files beside it. Any other file is read through the engine's
    // read-only mode, which sees what other writers have committed.
    QString query = QStringLiteral("mode=ro");
    QFile f(path);
    if (WholeFile::isReadable(path, WholeFile::NoLimit) && f.open(QIODevice::ReadOnly)) {
        const QByteArray header = f.read(20);
        const bool writeAhead = header.size() == 20 && header.at(18) == 2 && header.at(19) == 2;
        if (writeAhead && !QFileInfo::exists(path + QStringLiteral("-wal")))
            query += QStringLiteral("&immutable=1");
    }
    if (!openWith(path, uriFor(path, query),
                  QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1")
                      .arg(DefaultBusyWaitMs),
                  error))
        return false;
    QSqlQuery(QSqlDatabase::database(m_connection, false)).exec(QStringLiteral("PRAGMA query_only=1"));
    return true;
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
    m_lastBusy = false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.prepare(dialect(sql))) {
        noteFailure(q);
        if (error)
            *error = describe(q.lastError());
        return std::nullopt;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        noteFailure(q);
        if (error)
            *error = describe(q.lastError());
        return std::nullopt;
    }
    return q;
}

std::optional<QSqlQuery> LogEngine::prepare(const QString &sql, QString *error)
{
    m_lastBusy = false;
    if (!m_open) {
        if (error)
            *error = QStringLiteral("the log is not open");
        return std::nullopt;
    }
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.prepare(dialect(sql))) {
        noteFailure(q);
        if (error)
            *error = describe(q.lastError());
        return std::nullopt;
    }
    return q;
}

void LogEngine::noteFailure(const QSqlQuery &q) { m_lastBusy = isBusy(q.lastError()); }

void LogEngine::setBusyWait(int ms)
{
    m_busyWaitMs = ms;
    if (sqlite3 *h = m_open ? handleOf(QSqlDatabase::database(m_connection, false)) : nullptr)
        sqlite3_busy_timeout(h, ms);
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
    m_lastBusy = false;
    std::vector<QString> texts(static_cast<size_t>(textColumns));
    sqlite3 *h = handleOf(QSqlDatabase::database(m_connection, false));
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
            noteFailure(*q);
            if (error)
                *error = describe(q->lastError());
            return false;
        }
        return true;
    }
    sqlite3_stmt *st = nullptr;
    const QByteArray text = dialect(sql).toUtf8();
    if (const int rc = sqlite3_prepare_v2(h, text.constData(), static_cast<int>(text.size()), &st,
                                          nullptr);
        rc != SQLITE_OK) {
        m_lastBusy = isBusyCode(rc);
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
    if (!ok)
        m_lastBusy = isBusyCode(rc);
    if (!ok && error)
        *error = QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_finalize(st);
    return ok;
}

// ---- following other copies' changes ----

std::optional<qint64> LogEngine::dataVersion(QString *error)
{
    auto q = select(QStringLiteral("PRAGMA data_version"), {}, error);
    if (!q)
        return std::nullopt;
    if (!q->next()) {
        noteFailure(*q);
        if (error)
            *error = describe(q->lastError());
        return std::nullopt;
    }
    return q->value(0).toLongLong();
}

bool LogEngine::readRowsAbove(qint64 key, int limit,
                              const std::function<void(qint64, const QString *)> &onRow,
                              QString *error)
{
    QString sql = QStringLiteral("select rowid, * from tbllog where rowid > %1 order by rowid").arg(key);
    if (limit > 0)
        sql += QStringLiteral(" limit %1").arg(limit);
    return readKeyedTextRows(sql, static_cast<int>(columns().size()), onRow, error);
}

namespace {
// An empty text bound as a text, never as NULL (which compares with nothing).
QString nonNull(const QString &s) { return s.isNull() ? QStringLiteral("") : s; }
} // namespace

bool LogEngine::readRowsAfter(const QString &flddate, const QString &fldtime, qint64 key, int limit,
                              const std::function<void(qint64, const QString *)> &onRow,
                              QString *error)
{
    auto q = select(QStringLiteral("select rowid, * from tbllog where (flddate, fldtime, rowid) > (?, ?, ?)"
                                   " order by flddate, fldtime, rowid limit ?"),
                    {nonNull(flddate), nonNull(fldtime), key, limit}, error);
    if (!q)
        return false;
    const int n = static_cast<int>(columns().size());
    std::vector<QString> texts(static_cast<size_t>(n));
    while (q->next()) {
        for (int c = 0; c < n; ++c) {
            // The same text as the row before shares its string.
            const QString v = q->value(c + 1).toString();
            if (v != texts[static_cast<size_t>(c)])
                texts[static_cast<size_t>(c)] = v;
        }
        onRow(q->value(0).toLongLong(), texts.data());
    }
    if (q->lastError().isValid()) {
        noteFailure(*q);
        if (error)
            *error = describe(q->lastError());
        return false;
    }
    return true;
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
    LogEngine probe;
    return probe.openSource(path, error);
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
