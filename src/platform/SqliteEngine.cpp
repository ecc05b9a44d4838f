#include "platform/SqliteEngine.h"

#include "platform/LogEngine.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QUrl>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

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

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(handle.constData());
    return nullptr;
}

bool layoutOk(QSqlDatabase &db, QString *error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA table_info(tblLog)"))) {
        if (error)
            *error = LogBackend::describe(q.lastError());
        return false;
    }
    QStringList names;
    while (q.next())
        names.append(q.value(1).toString().toLower());
    if (q.lastError().isValid()) {
        if (error)
            *error = LogBackend::describe(q.lastError());
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

bool SqliteEngine::isBusy(const QSqlError &e) const
{
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok && isBusyCode(code);
}

bool SqliteEngine::openWith(const QString &path, const QString &uri, const QString &options,
                            QString *error)
{
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
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName());
        db.setDatabaseName(uri);
        db.setConnectOptions(options);
        if (!db.open()) {
            if (error)
                *error = describe(db.lastError());
        } else if (layoutOk(db, error)) {
            return true;
        } else {
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connectionName());
    return false;
}

bool SqliteEngine::open(const QString &path, bool forLogging, QString *error)
{
    if (forLogging) {
        if (!openWith(path, uriFor(path, QStringLiteral("mode=rw")),
                      QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1")
                          .arg(LogEngine::DefaultBusyWaitMs),
                      error))
            return false;
        if (!readyToLog(path, error)) {
            close();
            return false;
        }
        return true;
    }
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
                      .arg(LogEngine::DefaultBusyWaitMs),
                  error))
        return false;
    QSqlQuery(database()).exec(QStringLiteral("PRAGMA query_only=1"));
    return true;
}

bool SqliteEngine::readyToLog(const QString &path, QString *error)
{
    QSqlDatabase db = database();
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
    const QString folder = QFileInfo(path).absolutePath();
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

QString SqliteEngine::dialect(const QString &sql) const
{
    static const QRegularExpression deleteStar(QStringLiteral("^\\s*delete\\s+\\*\\s+from\\s+"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString out = sql;
    out.replace(deleteStar, QStringLiteral("delete from "));
    return out;
}

void SqliteEngine::setBusyWait(int ms)
{
    if (sqlite3 *h = handleOf(database()))
        sqlite3_busy_timeout(h, ms);
}

QStringList SqliteEngine::beginWriteStatements() const { return {QStringLiteral("BEGIN IMMEDIATE")}; }

QString SqliteEngine::tableCountQuery() const
{
    return QStringLiteral("select count(*) from sqlite_master where type = 'table' and name = ? collate nocase");
}

bool SqliteEngine::readKeyedTextRows(const QString &sql, const QVariantList &values, int textColumns,
                                     const RowFn &onRow, bool *busy, QString *error)
{
    sqlite3 *h = handleOf(database());
    if (!h) {
        if (error)
            *error = QStringLiteral("the log is not open");
        return false;
    }
    std::vector<QString> texts(static_cast<size_t>(textColumns));
    sqlite3_stmt *st = nullptr;
    const QByteArray text = dialect(sql).toUtf8();
    if (const int rc = sqlite3_prepare_v2(h, text.constData(), static_cast<int>(text.size()), &st,
                                          nullptr);
        rc != SQLITE_OK) {
        *busy = isBusyCode(rc);
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_finalize(st);
        return false;
    }
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &v = values.at(i);
        if (v.isNull()) {
            sqlite3_bind_null(st, i + 1);
        } else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) {
            sqlite3_bind_int64(st, i + 1, v.toLongLong());
        } else {
            const QByteArray utf8 = v.toString().toUtf8();
            sqlite3_bind_text(st, i + 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        }
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
        *busy = isBusyCode(rc);
    if (!ok && error)
        *error = QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_finalize(st);
    return ok;
}

bool SqliteEngine::copyTo(const QString &dest, QString *error)
{
    QSqlQuery q(database());
    if (!q.prepare(QStringLiteral("VACUUM INTO ?"))) {
        if (error)
            *error = describe(q.lastError());
        return false;
    }
    q.addBindValue(QFileInfo(dest).absoluteFilePath());
    if (!q.exec()) {
        if (error)
            *error = describe(q.lastError());
        return false;
    }
    return true;
}

QString SqliteEngine::schema()
{
    QFile f(QStringLiteral(":/tbllog.sql"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

bool SqliteEngine::createEmpty(const QString &path, QString *error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 already exists").arg(path);
        return false;
    }
    const QString name = QStringLiteral("halvern-new-log");
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
