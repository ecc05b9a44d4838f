#include "support/TestLog.h"

#include "log/LogStore.h"
#include "platform/LogEngine.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

std::string logKindName(const ::testing::TestParamInfo<LogKind> &info)
{
    return info.param == LogKind::File ? "File" : "Server";
}

TempLog::TempLog(LogKind kind)
{
    if (kind == LogKind::Server) {
        path = PgServer::get().newLog();
        if (path.isEmpty())
            ADD_FAILURE() << "cannot create a test log on the server";
        return;
    }
    path = dir.filePath(QStringLiteral("Halvern.MDB"));
    QString e;
    if (!LogEngine::createEmpty(path, &e))
        ADD_FAILURE() << "cannot create test log: " << e.toStdString();
}

void TempLog::add(const std::vector<QsoRecord> &records) const
{
    LogStore s;
    QString e;
    ASSERT_TRUE(s.open(path, &e)) << e.toStdString();
    s.engine().beginWrite();
    for (const QsoRecord &r : records)
        ASSERT_TRUE(s.insert(r, &e)) << e.toStdString();
    s.engine().commit();
}

int TempLog::count() const
{
    LogStore s;
    if (!s.open(path))
        return -1;
    auto n = s.countRecords();
    return n ? static_cast<int>(*n) : -1;
}

QsoRecord qso(const QString &call, const QString &band, const QString &gridr, const QString &grids,
              const QString &mode, const QString &date, const QString &time)
{
    QsoRecord r;
    r.calls = call;
    r.rstr = mode == QLatin1String("CW") ? QStringLiteral("599") : QStringLiteral("59");
    r.gridr = gridr;
    r.rsts = r.rstr;
    r.grids = grids;
    r.flddate = date;
    r.fldtime = time;
    r.uband = band;
    r.umode = mode;
    return r;
}

LogMirror loadedMirror(const std::vector<QsoRecord> &records)
{
    TempLog log;
    log.add(records);
    LogStore store;
    QString error;
    EXPECT_TRUE(store.open(log.path, &error)) << error.toStdString();
    EXPECT_TRUE(store.reload(&error)) << error.toStdString();
    EXPECT_EQ(store.recordCount(), static_cast<int>(records.size()));
    return store.mirror();
}

std::vector<QsoRecord> rowsOf(const QString &path)
{
    LogStore store;
    QString error;
    EXPECT_TRUE(store.open(path, &error)) << error.toStdString();
    EXPECT_TRUE(store.reload(&error)) << error.toStdString();
    const auto &records = store.mirror().records();
    return {records.begin(), records.end()};
}

bool execSql(const QString &path, const QString &statement)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("execSql"));
        db.setDatabaseName(path);
        ok = db.open() && QSqlQuery(db).exec(statement);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("execSql"));
    return ok;
}

int runHelper(const QStringList &args, int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QString::fromLocal8Bit(qgetenv("HALVERN_HELPER")), args);
    if (!p.waitForFinished(timeoutMs))
        return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

HeldLog::HeldLog(const QString &path, const QString &how)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QString::fromLocal8Bit(qgetenv("HALVERN_HELPER")), {QStringLiteral("hold"), path, how});
    const QDeadlineTimer deadline(60000);
    while (!process.canReadLine())
        if (deadline.hasExpired() || !process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
    ready = process.readLine().trimmed() == "ready";
    EXPECT_TRUE(ready) << "the helper did not take hold of " << path.toStdString();
}

void HeldLog::release()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.write("go\n");
    process.waitForBytesWritten(10000);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        process.kill();
}

namespace {
bool readLine(QProcess &p, const QByteArray &expected)
{
    const QDeadlineTimer deadline(60000);
    while (!p.canReadLine())
        if (deadline.hasExpired() || !p.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
    return p.readLine().trimmed() == expected;
}
} // namespace

ChangingLog::ChangingLog(const QString &path, unsigned seed)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QString::fromLocal8Bit(qgetenv("HALVERN_HELPER")),
                  {QStringLiteral("changes"), path, QString::number(seed)});
    ready = readLine(process, "ready");
    EXPECT_TRUE(ready) << "the helper did not start on " << path.toStdString();
}

ChangingLog::~ChangingLog()
{
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        process.kill();
}

bool ChangingLog::change(int n)
{
    process.write(QByteArray::number(n) + '\n');
    return process.waitForBytesWritten(10000) && readLine(process, "done");
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList fileLines(const QString &path)
{
    QStringList lines = QString::fromUtf8(readAll(path)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
