#include "platform/LogEngine.h"

#include "platform/LogBackend.h"
#include "platform/PostgresEngine.h"
#include "platform/SqliteEngine.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <atomic>

namespace {

std::atomic<int> connectionCounter{0};

QString nextConnectionName()
{
    return QStringLiteral("halvern-log-%1").arg(connectionCounter.fetch_add(1));
}

// A statement that changes nothing, so that it may be sent again when the
// connection went away under it.
bool isResendable(const QString &sql)
{
    const QString s = sql.trimmed();
    return s.startsWith(QLatin1String("select"), Qt::CaseInsensitive)
           || s.startsWith(QLatin1String("begin"), Qt::CaseInsensitive);
}

} // namespace

QString LogBackend::describe(const QSqlError &e)
{
    QString t = e.text().trimmed();
    return t.isEmpty() ? QStringLiteral("unknown database error") : t;
}

bool LogBackend::runBatch(const QStringList &statements, bool inWrite, std::optional<qint64> *value,
                          bool *busy, QString *error)
{
    beforeStatement(inWrite);
    for (const QString &sql : statements) {
        QSqlQuery q(database());
        q.setForwardOnly(forwardOnlyQueries());
        if (!q.exec(dialect(sql))) {
            *busy = isBusy(q.lastError());
            if (error)
                *error = describe(q.lastError());
            return false;
        }
        if (q.isSelect() && q.next() && value)
            *value = q.value(0).toLongLong();
    }
    return true;
}

std::optional<qint64> LogBackend::insertRow(const QString &sql, const QVariantList &values, bool *busy,
                                            QString *error)
{
    QSqlQuery q = preparedQuery(sql);
    bool ok = !q.lastError().isValid();
    for (int i = 0; ok && i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (ok && q.exec())
        return q.lastInsertId().toLongLong();
    *busy = isBusy(q.lastError());
    if (error)
        *error = describe(q.lastError());
    return std::nullopt;
}

QSqlQuery LogBackend::preparedQuery(const QString &sql)
{
    QSqlQuery q(database());
    q.setForwardOnly(forwardOnlyQueries());
    q.prepare(dialect(sql));
    return q;
}

void LogBackend::close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

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

bool LogEngine::isServerLog(const QString &path) { return PostgresEngine::isServerPath(path); }

QString LogEngine::serverHost(const QString &path) { return PostgresEngine::hostOf(path); }

bool LogEngine::openAs(const QString &path, bool forLogging, QString *error)
{
    close();
    m_lastBusy = false;
    m_inWrite = false;
    m_writeVersions.reset();
    if (isServerLog(path))
        m_backend = std::make_unique<PostgresEngine>(m_connection);
    else
        m_backend = std::make_unique<SqliteEngine>(m_connection);
    if (!m_backend->open(path, forLogging, error)) {
        m_backend.reset();
        return false;
    }
    m_open = true;
    m_backend->setChangeListener(m_onChange);
    m_path = isServerLog(path) ? path.trimmed() : QFileInfo(path).absoluteFilePath();
    m_busyWaitMs = DefaultBusyWaitMs;
    return true;
}

bool LogEngine::open(const QString &path, QString *error) { return openAs(path, true, error); }

bool LogEngine::openSource(const QString &path, QString *error) { return openAs(path, false, error); }

bool LogEngine::isOpen() const { return m_open; }

void LogEngine::close()
{
    if (m_backend)
        m_backend->close();
    m_backend.reset();
    m_open = false;
    m_inWrite = false;
}

QString LogEngine::dialect(const QString &sql) { return SqliteEngine(QString()).dialect(sql); }

bool LogEngine::openForStatement(QString *error) const
{
    if (!m_open && error)
        *error = QStringLiteral("the log is not open");
    return m_open;
}

bool LogEngine::connectedOutsideWrite(QString *error)
{
    // Outside a transaction a lost connection is made anew first; inside
    // one it is not, so a write is never sent half on a new connection.
    return m_inWrite || m_backend->ensureConnected(error);
}

bool LogEngine::sendOnceMore(const std::function<bool()> &send, QString *error)
{
    if (!openForStatement(error))
        return false;
    for (int attempt = 0;; ++attempt) {
        m_lastBusy = false;
        if (!connectedOutsideWrite(error))
            return false;
        const bool ok = send();
        m_backend->afterStatement();
        if (ok)
            return true;
        if (attempt > 0 || m_inWrite || !m_backend->connectionLost())
            return false;
    }
}

bool LogEngine::startStatement(QString *error)
{
    m_lastBusy = false;
    if (!openForStatement(error) || !connectedOutsideWrite(error))
        return false;
    m_backend->beforeStatement(m_inWrite);
    return true;
}

std::optional<QSqlQuery> LogEngine::run(const QString &sql, const QVariantList &values,
                                        QString *error)
{
    if (!openForStatement(error))
        return std::nullopt;
    m_lastBusy = false;
    const bool resendable = !m_inWrite && isResendable(sql);
    for (int attempt = 0;; ++attempt) {
        if (!connectedOutsideWrite(error))
            return std::nullopt;
        m_backend->beforeStatement(m_inWrite);
        // A statement without values goes as it is (a server prepares only
        // queries and changes of rows, not BEGIN, LOCK or SET).
        QSqlQuery q(m_backend->database());
        bool ok;
        if (values.isEmpty()) {
            q.setForwardOnly(m_backend->forwardOnlyQueries());
            ok = q.exec(m_backend->dialect(sql));
        } else {
            q = m_backend->preparedQuery(sql);
            ok = !q.lastError().isValid();
            for (int i = 0; ok && i < values.size(); ++i)
                q.bindValue(i, values.at(i));
            ok = ok && q.exec();
        }
        m_backend->afterStatement();
        if (ok)
            return q;
        if (attempt == 0 && resendable && m_backend->connectionLost())
            continue;
        noteFailure(q);
        if (error)
            *error = LogBackend::describe(q.lastError());
        return std::nullopt;
    }
}

std::optional<QSqlQuery> LogEngine::prepare(const QString &sql, QString *error)
{
    if (!startStatement(error))
        return std::nullopt;
    QSqlQuery q = m_backend->preparedQuery(sql);
    if (q.lastError().isValid()) {
        noteFailure(q);
        if (error)
            *error = LogBackend::describe(q.lastError());
        return std::nullopt;
    }
    return q;
}

void LogEngine::noteFailure(const QSqlQuery &q)
{
    m_lastBusy = m_backend && m_backend->isBusy(q.lastError());
}

void LogEngine::setBusyWait(int ms)
{
    m_busyWaitMs = ms;
    if (m_open)
        m_backend->setBusyWait(ms);
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
    return readKeyedTextRows(sql, {}, textColumns, onRow, error);
}

bool LogEngine::readKeyedTextRows(const QString &sql, const QVariantList &values, int textColumns,
                                  const std::function<void(qint64, const QString *)> &onRow,
                                  QString *error)
{
    return sendOnceMore([&] {
        m_backend->beforeStatement(m_inWrite);
        return m_backend->readKeyedTextRows(sql, values, textColumns, onRow, &m_lastBusy, error);
    }, error);
}

// ---- following other copies' changes ----

std::optional<qint64> LogEngine::dataVersion(QString *error)
{
    if (!openForStatement(error))
        return std::nullopt;
    auto q = select(m_backend->dataVersionQuery(), {}, error);
    if (!q)
        return std::nullopt;
    if (!q->next()) {
        noteFailure(*q);
        if (error)
            *error = LogBackend::describe(q->lastError());
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
            *error = LogBackend::describe(q->lastError());
        return false;
    }
    return true;
}

std::optional<qint64> LogEngine::insertRow(const QString &sql, const QVariantList &values, QString *error)
{
    // Never sent twice: a lost connection may have taken the row in.
    if (!startStatement(error))
        return std::nullopt;
    const auto key = m_backend->insertRow(sql, values, &m_lastBusy, error);
    m_backend->afterStatement();
    return key;
}

bool LogEngine::runBatch(const QStringList &statements, std::optional<qint64> *value, QString *error)
{
    // Only the start of a transaction is sent again on a new connection.
    return sendOnceMore([&] { return m_backend->runBatch(statements, m_inWrite, value, &m_lastBusy, error); },
                        error);
}

bool LogEngine::beginWrite(QString *error)
{
    QStringList steps = m_open ? m_backend->beginWriteStatements() : QStringList{};
    // Where this copy's own writes move the change counter, the counter is
    // read under the write lock, so that the write can be told from the
    // others' changes afterwards.
    m_versionAtWriteStart.reset();
    if (m_open && m_backend->ownWritesMoveVersion())
        steps.append(m_backend->dataVersionQuery());
    if (runBatch(steps, &m_versionAtWriteStart, error)) {
        m_inWrite = true;
        return true;
    }
    const bool busy = m_lastBusy;
    rollback();
    m_lastBusy = busy;
    return false;
}

bool LogEngine::commit(QString *error)
{
    QStringList steps{QStringLiteral("COMMIT")};
    std::optional<qint64> after;
    const bool readVersion = m_open && m_backend->ownWritesMoveVersion() && m_versionAtWriteStart;
    if (readVersion)
        steps.prepend(m_backend->dataVersionQuery());
    const bool ok = runBatch(steps, &after, error);
    m_inWrite = false;
    m_writeVersions.reset();
    if (!ok) {
        const bool busy = m_lastBusy;
        rollback();
        m_lastBusy = busy;
        return false;
    }
    if (readVersion && after)
        m_writeVersions = WriteVersions{*m_versionAtWriteStart, *after};
    return true;
}

void LogEngine::rollback()
{
    if (m_open) {
        QSqlQuery q(m_backend->database());
        q.exec(QStringLiteral("ROLLBACK"));
    }
    m_inWrite = false;
}

bool LogEngine::copyTo(const QString &dest, QString *error)
{
    if (QFileInfo::exists(dest)) {
        if (error)
            *error = QStringLiteral("%1 already exists").arg(dest);
        return false;
    }
    if (!openForStatement(error))
        return false;
    if (!connectedOutsideWrite(error))
        return false;
    return m_backend->copyTo(dest, error);
}

void LogEngine::setChangeListener(std::function<void()> onChange)
{
    m_onChange = std::move(onChange);
    if (m_backend)
        m_backend->setChangeListener(m_onChange);
}

qint64 LogEngine::changesHeard() const { return m_backend ? m_backend->changesHeard() : 0; }

bool LogEngine::hasTable(const QString &name)
{
    if (!m_open)
        return false;
    auto q = select(m_backend->tableCountQuery(), {name});
    return q && q->next() && q->value(0).toInt() > 0;
}

bool LogEngine::isLogFile(const QString &path, QString *error)
{
    LogEngine probe;
    return probe.openSource(path, error);
}

QString LogEngine::schema() { return SqliteEngine::schema(); }

bool LogEngine::createEmpty(const QString &path, QString *error)
{
    return SqliteEngine::createEmpty(path, error);
}

LogEngine::Created LogEngine::createLog(const QString &path, QString *error)
{
    if (isServerLog(path)) {
        switch (PostgresEngine::createLog(path, error)) {
        case PostgresEngine::Created::New:
            return Created::New;
        case PostgresEngine::Created::AlreadyThere:
            return Created::AlreadyThere;
        case PostgresEngine::Created::Failed:
            return Created::Failed;
        }
    }
    if (QFileInfo::exists(path)) {
        QString why;
        if (isLogFile(path, &why))
            return Created::AlreadyThere;
        if (error)
            *error = QStringLiteral("%1 exists and is not a log: %2").arg(path, why);
        return Created::Failed;
    }
    return createEmpty(path, error) ? Created::New : Created::Failed;
}
