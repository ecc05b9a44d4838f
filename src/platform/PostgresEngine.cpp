#include "platform/PostgresEngine.h"

#include "platform/LogEngine.h"
#include "platform/SqliteEngine.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <cstring>
#include <libpq-fe.h>
#include <optional>
#include <string>
#include <vector>

namespace {

struct ServerAddress {
    QString host, user, database;
    int port = -1;
    QStringList options; // further libpq settings from the URI's query
};

std::optional<ServerAddress> parseUrl(const QString &text, QString *error)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    auto fail = [error, &text](const QString &why) {
        if (error)
            *error = QStringLiteral("%1 is no usable server log address: %2").arg(text, why);
        return std::nullopt;
    };
    if (!url.isValid())
        return fail(url.errorString());
    if (!PostgresEngine::isServerPath(text))
        return fail(QStringLiteral("it must begin with postgresql://"));
    if (!url.password().isEmpty())
        return fail(QStringLiteral("the password does not belong in the log path, where the "
                                   "preferences would keep it; put it in ~/.pgpass instead"));
    ServerAddress a;
    a.host = url.host();
    a.user = url.userName();
    a.port = url.port(-1);
    a.database = url.path().mid(1);
    if (a.database.isEmpty() || a.database.contains(u'/'))
        return fail(QStringLiteral("it names no database (postgresql://user@host:port/dbname)"));
    for (const auto &[key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        a.options.append(key + u'=' + value);
    return a;
}

QString sqlState(const QSqlError &e) { return e.nativeErrorCode(); }

// Lock waits that ran out, and transactions the server gave up so that
// another could go on: the log was busy, not broken.
bool isBusyState(const QString &state)
{
    return state == QLatin1String("55P03") || state == QLatin1String("40001")
           || state == QLatin1String("40P01");
}

// Runs a script of several statements, or one statement, on db.
bool runScript(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    if (error)
        *error = LogBackend::describe(q.lastError());
    return false;
}

} // namespace

PostgresEngine::~PostgresEngine() = default;

bool PostgresEngine::isServerPath(const QString &path)
{
    const QString p = path.trimmed();
    return p.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
           || p.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString PostgresEngine::hostOf(const QString &url)
{
    const auto a = parseUrl(url, nullptr);
    if (!a)
        return QString();
    const QString h = a->host.toLower();
    if (h.isEmpty() || h == QLatin1String("localhost") || h.startsWith(QLatin1String("127."))
        || h == QLatin1String("::1"))
        return QString();
    return a->host;
}

QString PostgresEngine::schema()
{
    QFile f(QStringLiteral(":/tbllog-postgresql.sql"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool PostgresEngine::connect(bool checkLayout, QString *error)
{
    const auto address = parseUrl(m_url, error);
    if (!address)
        return false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName());
        db.setHostName(address->host);
        if (address->port > 0)
            db.setPort(address->port);
        db.setUserName(address->user);
        db.setDatabaseName(address->database);
        // A server that does not answer is given up after a few seconds, also
        // in the middle of a statement (unacknowledged data, silent peer).
        QStringList options{QStringLiteral("connect_timeout=%1").arg(ConnectTimeoutSecs),
                            QStringLiteral("application_name=halvern"),
                            QStringLiteral("tcp_user_timeout=%1").arg(StatementTimeoutMs),
                            QStringLiteral("keepalives_idle=2"), QStringLiteral("keepalives_interval=1"),
                            QStringLiteral("keepalives_count=3")};
        options += address->options;
        db.setConnectOptions(options.join(u';'));
        QString why;
        if (!db.open()) {
            why = describe(db.lastError());
        } else {
            QStringList session{QStringLiteral("SET statement_timeout = %1").arg(StatementTimeoutMs),
                                QStringLiteral("SET lock_timeout = %1").arg(m_busyWaitMs)};
            if (!m_forLogging)
                session.append(QStringLiteral("SET default_transaction_read_only = on"));
            for (const QString &s : session)
                if (why.isEmpty())
                    runScript(db, s, &why);
            if (why.isEmpty() && checkLayout) {
                QSqlQuery q(db);
                QStringList names;
                if (q.exec(QStringLiteral("select column_name from information_schema.columns"
                                          " where table_schema = current_schema()"
                                          " and table_name = 'tbllog' order by ordinal_position"))) {
                    while (q.next())
                        names.append(q.value(0).toString());
                } else {
                    why = describe(q.lastError());
                }
                if (why.isEmpty() && names.isEmpty())
                    why = QStringLiteral("the database holds no log table; make one with the "
                                         "command: halvern --create-log %1")
                              .arg(m_url);
                else if (why.isEmpty() && names != LogEngine::columns() + QStringList{QStringLiteral("rowid")})
                    why = QStringLiteral("the database holds a table tblLog that is not a log of "
                                         "this program's layout");
            }
        }
        if (why.isEmpty()) {
            m_appliedBusyWaitMs = m_busyWaitMs;
            if (m_forLogging)
                listen();
            return true;
        }
        if (error)
            *error = why;
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName());
    return false;
}

bool PostgresEngine::open(const QString &path, bool forLogging, QString *error)
{
    m_url = path.trimmed();
    m_forLogging = forLogging;
    m_busyWaitMs = LogEngine::DefaultBusyWaitMs;
    return connect(true, error);
}

void PostgresEngine::forgetConnection()
{
    m_notifier.reset();
    m_appliedBusyWaitMs = -1;
    LogBackend::close();
}

void PostgresEngine::close() { forgetConnection(); }

void PostgresEngine::listen()
{
    PGconn *c = handle();
    if (!c || !QSqlQuery(database()).exec(QStringLiteral("LISTEN tbllog_changed")))
        return;
    m_notifier = std::make_unique<QSocketNotifier>(PQsocket(c), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
        PGconn *conn = handle();
        // A connection the server closed would wake the loop for ever.
        if (!conn || !PQconsumeInput(conn) || PQstatus(conn) != CONNECTION_OK) {
            m_notifier->setEnabled(false);
            return;
        }
        takeNotifications();
    });
}

void PostgresEngine::takeNotifications()
{
    PGconn *c = handle();
    if (!c)
        return;
    bool others = false;
    while (PGnotify *n = PQnotifies(c)) {
        // This copy hears its own changes too; only the others' count.
        others = others || n->be_pid != PQbackendPID(c);
        PQfreemem(n);
    }
    if (!others)
        return;
    ++m_changesHeard;
    if (!m_onChange || m_tellPending || !m_notifier)
        return;
    // Told from the event loop: a notification read during a statement
    // must not start another statement inside it.
    m_tellPending = true;
    QTimer::singleShot(0, m_notifier.get(), [this] {
        m_tellPending = false;
        if (m_onChange)
            m_onChange();
    });
}

void PostgresEngine::afterStatement() { takeNotifications(); }

void PostgresEngine::setChangeListener(std::function<void()> onChange) { m_onChange = std::move(onChange); }

void PostgresEngine::beforeStatement(bool inWrite)
{
    // The lock wait is told the server only when it differs from what the
    // server was told last, and never inside a transaction (a rollback
    // would take it back).
    if (inWrite || m_appliedBusyWaitMs == m_busyWaitMs || connectionLost())
        return;
    QSqlQuery q(database());
    if (q.exec(QStringLiteral("SET lock_timeout = %1").arg(m_busyWaitMs)))
        m_appliedBusyWaitMs = m_busyWaitMs;
}

pg_conn *PostgresEngine::handle() const
{
    const QSqlDatabase db = database();
    const QVariant h = db.isValid() && db.driver() ? db.driver()->handle() : QVariant();
    // The driver's type name for its handle is that of libpq's struct.
    if (h.isValid() && (qstrcmp(h.typeName(), "PGconn*") == 0 || qstrcmp(h.typeName(), "pg_conn*") == 0))
        return *static_cast<PGconn *const *>(h.constData());
    return nullptr;
}

bool PostgresEngine::connectionLost() const
{
    PGconn *c = handle();
    return !c || PQstatus(c) != CONNECTION_OK;
}

bool PostgresEngine::ensureConnected(QString *error)
{
    if (!connectionLost())
        return true;
    forgetConnection();
    return connect(false, error);
}

QString PostgresEngine::dialect(const QString &sql) const
{
    static const QRegularExpression deleteStar(QStringLiteral("^\\s*delete\\s+\\*\\s+from\\s+"),
                                               QRegularExpression::CaseInsensitiveOption);
    // "a is ?" compares two values that may both be missing.
    static const QRegularExpression isValue(QStringLiteral("\\bis\\s+\\?"),
                                            QRegularExpression::CaseInsensitiveOption);
    // "*" of the log table means its nine columns, as in a file: the key
    // is asked for by name.
    static const QRegularExpression allColumns(
        QStringLiteral("^(\\s*select\\s+(rowid\\s*,\\s*)?)\\*(\\s+from\\s+tbllog\\b)"),
        QRegularExpression::CaseInsensitiveOption);
    QString out = sql;
    out.replace(deleteStar, QStringLiteral("delete from "));
    out.replace(isValue, QStringLiteral("is not distinct from ?"));
    out.replace(allColumns, QStringLiteral("\\1") + LogEngine::columns().join(QStringLiteral(", ")) + QStringLiteral("\\3"));
    return out;
}

bool PostgresEngine::isBusy(const QSqlError &e) const { return isBusyState(sqlState(e)); }

void PostgresEngine::setBusyWait(int ms) { m_busyWaitMs = ms; }

QStringList PostgresEngine::beginWriteStatements() const
{
    // Writers queue behind each other; readers (the other copies' reloads and
    // change checks) go on. The lock wait is the transaction's own, so that
    // it costs no exchange of its own and nothing is left to undo.
    return {QStringLiteral("BEGIN"), QStringLiteral("SET LOCAL lock_timeout = %1").arg(m_busyWaitMs),
            QStringLiteral("LOCK TABLE tblLog IN SHARE ROW EXCLUSIVE MODE")};
}

QString PostgresEngine::tableCountQuery() const
{
    return QStringLiteral("select count(*) from information_schema.tables"
                          " where table_schema = current_schema() and table_name = lower(?)");
}

namespace {

// Numbers the "?" placeholders as the server's protocol wants them ($1, $2...).
QString numberedPlaceholders(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    int n = 0;
    QChar quote;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?') {
            out += u'$' + QString::number(++n);
            continue;
        }
        out += c;
    }
    return out;
}

// What a failed result tells: the message, and whether the log was busy.
void noteError(pg_conn *c, PGresult *res, bool *busy, QString *error)
{
    const char *state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    *busy = state && isBusyState(QString::fromLatin1(state));
    if (error) {
        *error = QString::fromUtf8(res ? PQresultErrorMessage(res) : PQerrorMessage(c)).trimmed();
        if (error->isEmpty())
            *error = QString::fromUtf8(PQerrorMessage(c)).trimmed();
        if (error->isEmpty())
            *error = QStringLiteral("the server did not answer");
    }
}

} // namespace

PGresult *PostgresEngine::execParams(const QString &sql, const QVariantList &values, bool *busy,
                                     QString *error)
{
    PGconn *c = handle();
    if (!c) {
        if (error)
            *error = QStringLiteral("the log is not open");
        return nullptr;
    }
    // Sent with its values in one exchange: no statement is kept on the
    // server between two calls.
    std::vector<QByteArray> bytes;
    bytes.reserve(static_cast<size_t>(values.size()));
    std::vector<const char *> params;
    for (const QVariant &v : values) {
        if (v.isNull()) {
            params.push_back(nullptr);
        } else {
            bytes.push_back(v.toString().toUtf8());
            params.push_back(bytes.back().constData());
        }
    }
    PGresult *res = PQexecParams(c, numberedPlaceholders(dialect(sql)).toUtf8().constData(),
                                 static_cast<int>(params.size()), nullptr, params.data(), nullptr,
                                 nullptr, 0);
    if (PQresultStatus(res) == PGRES_TUPLES_OK)
        return res;
    noteError(c, res, busy, error);
    PQclear(res);
    return nullptr;
}

bool PostgresEngine::readKeyedTextRows(const QString &sql, const QVariantList &values, int textColumns,
                                       const RowFn &onRow, bool *busy, QString *error)
{
    // Read straight from the client library: the driver would make a value
    // object of every field of every row.
    PGresult *res = execParams(sql, values, busy, error);
    if (!res)
        return false;
    const int rows = PQntuples(res);
    std::vector<QString> texts(static_cast<size_t>(textColumns));
    std::vector<std::string> bytes(static_cast<size_t>(textColumns));
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < textColumns; ++col) {
            std::string &prev = bytes[static_cast<size_t>(col)];
            if (PQgetisnull(res, row, col + 1)) {
                prev.clear();
                texts[static_cast<size_t>(col)] = QString();
                continue;
            }
            const char *t = PQgetvalue(res, row, col + 1);
            const size_t n = static_cast<size_t>(PQgetlength(res, row, col + 1));
            if (prev.size() == n && std::memcmp(prev.data(), t, n) == 0)
                continue; // the same text as the row before
            prev.assign(t, n);
            texts[static_cast<size_t>(col)] = QString::fromUtf8(t, static_cast<qsizetype>(n));
        }
        onRow(std::strtoll(PQgetvalue(res, row, 0), nullptr, 10), texts.data());
    }
    PQclear(res);
    return true;
}

std::optional<qint64> PostgresEngine::insertRow(const QString &sql, const QVariantList &values, bool *busy,
                                                QString *error)
{
    // The new key comes back with the insert itself.
    PGresult *res = execParams(sql + QStringLiteral(" returning rowid"), values, busy, error);
    if (!res)
        return std::nullopt;
    std::optional<qint64> key;
    if (PQntuples(res) == 1)
        key = std::strtoll(PQgetvalue(res, 0, 0), nullptr, 10);
    else if (error)
        *error = QStringLiteral("the server gave no key for the new row");
    PQclear(res);
    return key;
}

bool PostgresEngine::runBatch(const QStringList &statements, bool, std::optional<qint64> *value, bool *busy,
                              QString *error)
{
    PGconn *c = handle();
    if (!c) {
        if (error)
            *error = QStringLiteral("the log is not open");
        return false;
    }
    // One message with every statement: the server runs them in turn and
    // stops at the first that fails.
    QStringList spelled;
    for (const QString &s : statements)
        spelled.append(dialect(s));
    if (!PQsendQuery(c, spelled.join(QStringLiteral("; ")).toUtf8().constData())) {
        noteError(c, nullptr, busy, error);
        return false;
    }
    bool ok = true;
    while (PGresult *res = PQgetResult(c)) {
        const ExecStatusType status = PQresultStatus(res);
        if (status == PGRES_TUPLES_OK && PQntuples(res) > 0 && value)
            *value = std::strtoll(PQgetvalue(res, 0, 0), nullptr, 10);
        else if (ok && status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            ok = false;
            noteError(c, res, busy, error);
        }
        PQclear(res);
    }
    if (ok && PQstatus(c) != CONNECTION_OK) {
        ok = false;
        noteError(c, nullptr, busy, error);
    }
    return ok;
}

bool PostgresEngine::copyTo(const QString &dest, QString *error)
{
    // The archive of a server log is an SQLite log file, as the others are.
    if (!SqliteEngine::createEmpty(dest, error))
        return false;
    const QString name = connectionName() + QStringLiteral("-copy");
    bool ok = false;
    {
        QSqlDatabase file = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        file.setDatabaseName(dest);
        if (!file.open()) {
            if (error)
                *error = describe(file.lastError());
        } else {
            QSqlQuery insert(file);
            file.transaction();
            insert.prepare(QStringLiteral(
                "insert into tblLog (calls, rstr, gridr, rsts, grids, flddate, fldtime, uband, umode)"
                " VALUES (?,?,?,?,?,?,?,?,?)"));
            bool busy = false, written = true;
            ok = readKeyedTextRows(
                QStringLiteral("select rowid, calls, rstr, gridr, rsts, grids, flddate, fldtime,"
                               " uband, umode from tbllog order by rowid"),
                {}, 9,
                [&](qint64, const QString *v) {
                    for (int i = 0; i < 9; ++i)
                        insert.bindValue(i, v[i]);
                    written = written && insert.exec();
                },
                &busy, error);
            if (ok && !written) {
                ok = false;
                if (error)
                    *error = describe(insert.lastError());
            }
            insert.finish();
            ok = ok && file.commit();
            file.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!ok)
        QFile::remove(dest);
    return ok;
}

PostgresEngine::Created PostgresEngine::createLog(const QString &url, QString *error)
{
    PostgresEngine engine(QStringLiteral("halvern-create-log"));
    engine.m_url = url.trimmed();
    if (!engine.connect(false, error))
        return Created::Failed;
    Created result = Created::Failed;
    {
        QSqlDatabase db = engine.database();
        QSqlQuery q(db);
        q.prepare(engine.tableCountQuery());
        q.addBindValue(QStringLiteral("tblLog"));
        if (!q.exec() || !q.next()) {
            if (error)
                *error = describe(q.lastError());
        } else if (q.value(0).toInt() > 0) {
            result = Created::AlreadyThere;
        } else if (runScript(db, QStringLiteral("BEGIN;\n") + schema() + QStringLiteral("\nCOMMIT;"),
                             error)) {
            result = Created::New;
        } else {
            runScript(db, QStringLiteral("ROLLBACK"), nullptr);
        }
    }
    engine.close();
    return result;
}
