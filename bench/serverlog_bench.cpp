// The shared log's three everyday costs, on a log file and on a PostgreSQL
// server on this machine side by side (argument 0: file, 1: server; 2: a
// server log without its change trigger, to tell what the change counter and
// the notification cost): logging one contact (dupe check, insert, commit),
// the full reload of 100,000 contacts, and the change check of a refresh tick
// when nothing changed. Beside the logging figures, its floor on the same
// disk and server: one bare insert committed on its own, and one write and
// sync of the disk alone.
//
// The file goes to HALVERN_BENCH_DIR, or /var/tmp, and the server keeps its
// syncs to disk, so that both commits reach a real disk (HALVERN_BENCH_NO_SYNC
// set runs the server without them, to tell the disk's share of the time).
#include "BenchMain.h"
#include "log/LogStore.h"
#include "log/Logging.h"
#include "platform/LogEngine.h"
#include "support/PgServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <random>

namespace {

QsoRecord contact(std::mt19937 &rng, int n)
{
    static const char *bands[] = {"50 M", "144 M", "222 M", "432 M"};
    QsoRecord r;
    r.calls = QStringLiteral("W%1%2%3").arg(rng() % 10).arg(QChar(static_cast<char16_t>(u'A' + rng() % 26))).arg(n);
    r.rstr = r.rsts = QStringLiteral("59");
    r.gridr = QStringLiteral("FN%1").arg(rng() % 100, 2, 10, QChar(u'0'));
    r.grids = QStringLiteral("FN20");
    r.flddate = QStringLiteral("2026/06/%1").arg(13 + n / 86400 % 2);
    r.fldtime = QStringLiteral("%1:%2:%3")
                    .arg(n / 3600 % 24, 2, 10, QChar(u'0'))
                    .arg(n / 60 % 60, 2, 10, QChar(u'0'))
                    .arg(n % 60, 2, 10, QChar(u'0'));
    r.uband = QString::fromLatin1(bands[rng() % 4]);
    r.umode = QStringLiteral("PH");
    return r;
}

QDir benchDir()
{
    static QTemporaryDir dir(QDir(qEnvironmentVariable("HALVERN_BENCH_DIR", QStringLiteral("/var/tmp")))
                                 .filePath(QStringLiteral("halvern-bench-XXXXXX")));
    return QDir(dir.path());
}

enum Kind { File = 0, Server = 1, ServerWithoutTrigger = 2 };

// A new log of count contacts.
QString makeLog(Kind kind, int count, QString *why)
{
    static int made = 0;
    QString where;
    if (kind != File) {
        PgServer &pg = PgServer::get(!qEnvironmentVariableIsSet("HALVERN_BENCH_NO_SYNC"));
        if (!pg.running()) {
            *why = pg.whyNot();
            return QString();
        }
        where = pg.newLog();
    } else {
        where = benchDir().filePath(QStringLiteral("Halvern-%1.MDB").arg(++made));
        if (!LogEngine::createEmpty(where, why))
            return QString();
    }
    LogStore store;
    if (where.isEmpty() || !store.open(where, why))
        return QString();
    if (kind == ServerWithoutTrigger && !store.engine().exec(QStringLiteral("ALTER TABLE tblLog DISABLE TRIGGER tbllog_changed"), {}, why))
        return QString();
    std::mt19937 rng(static_cast<unsigned>(count));
    store.engine().beginWrite();
    for (int i = 0; i < count; ++i)
        store.insert(contact(rng, i));
    store.engine().commit(why);
    return where;
}

std::unique_ptr<LogStore> openLog(benchmark::State &state, int count)
{
    static std::map<std::pair<int, int>, QString> logs;
    const Kind kind = static_cast<Kind>(state.range(0));
    QString why;
    QString &where = logs[{kind, count}];
    if (where.isEmpty())
        where = makeLog(kind, count, &why);
    auto store = std::make_unique<LogStore>();
    if (where.isEmpty() || !store->open(where, &why) || !store->reload(&why)) {
        state.SkipWithError(("no log: " + why).toStdString().c_str());
        return nullptr;
    }
    state.SetLabel(kind == File ? "file" : kind == Server ? "server" : "server, no change trigger");
    return store;
}

using Clock = std::chrono::steady_clock;

void reportMedian(benchmark::State &state, std::vector<double> &ms)
{
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p90_ms"] = ms[ms.size() * 9 / 10];
}

void BM_LogContact(benchmark::State &state)
{
    auto store = openLog(state, 14000);
    if (!store)
        return;
    std::vector<double> ms;
    std::mt19937 rng(7);
    static int n = 1000000;
    for (auto _ : state) {
        const QsoRecord r = contact(rng, ++n);
        const auto t0 = Clock::now();
        // As the window logs: a lock held by another copy is reported at once.
        const LogAttempt a = logContact(*store, r, OnBusy::Report);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (a.outcome != LogAttempt::Logged) {
            state.SkipWithError(("not logged: " + a.error).toStdString().c_str());
            return;
        }
    }
    reportMedian(state, ms);
}
BENCHMARK(BM_LogContact)->Arg(File)->Arg(Server)->Arg(ServerWithoutTrigger)->Iterations(300)->Unit(benchmark::kMillisecond);

// The same contact sent one statement at a time through the generic
// statement calls (each bound statement prepared, run and dropped on the
// server, the new key asked for apart): what the logging path saves.
void BM_LogContactStatementByStatement(benchmark::State &state)
{
    auto store = openLog(state, 14000);
    if (!store)
        return;
    LogEngine &db = store->engine();
    std::vector<double> ms;
    std::mt19937 rng(9);
    static int n = 3000000;
    for (auto _ : state) {
        const QsoRecord r = contact(rng, ++n);
        QVariantList values;
        for (const QString &v : r.values())
            values.append(v);
        const auto t0 = Clock::now();
        bool ok = true;
        for (const QString &begin : db.isServerLog(db.path())
                 ? QStringList{"BEGIN", "LOCK TABLE tblLog IN SHARE ROW EXCLUSIVE MODE"}
                 : QStringList{"BEGIN IMMEDIATE"})
            ok = ok && db.exec(begin).has_value();
        if (auto q = db.select(QStringLiteral("select * from tbllog where calls=? collate nocase"), {r.calls}))
            while (q->next()) {
            }
        else
            ok = false;
        auto insert = db.select(QStringLiteral("insert into tblLog (calls, rstr, gridr, rsts, grids, flddate,"
                                               " fldtime, uband, umode) VALUES (?,?,?,?,?,?,?,?,?)"),
                                values);
        ok = ok && insert && insert->lastInsertId().isValid();
        insert.reset();
        ok = ok && db.exec(QStringLiteral("COMMIT")).has_value();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (!ok) {
            state.SkipWithError("not logged");
            return;
        }
    }
    reportMedian(state, ms);
}
BENCHMARK(BM_LogContactStatementByStatement)->Arg(File)->Arg(Server)->Iterations(300)->Unit(benchmark::kMillisecond);

// The floor of logging: one insert committed on its own, no dupe check.
void BM_BareInsertCommit(benchmark::State &state)
{
    auto store = openLog(state, 14000);
    if (!store)
        return;
    std::vector<double> ms;
    std::mt19937 rng(8);
    static int n = 2000000;
    for (auto _ : state) {
        const QsoRecord r = contact(rng, ++n);
        const auto t0 = Clock::now();
        const auto key = store->insert(r);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (!key) {
            state.SkipWithError("not inserted");
            return;
        }
    }
    reportMedian(state, ms);
}
BENCHMARK(BM_BareInsertCommit)->Arg(File)->Arg(Server)->Arg(ServerWithoutTrigger)->Iterations(300)->Unit(benchmark::kMillisecond);

// The disk alone: one 8 KiB page written and synced (fdatasync), as a commit
// must at least do once.
void BM_DiskSync(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(benchDir().filePath(QStringLiteral("sync-probe")));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) {
        state.SkipWithError("cannot make the probe file");
        return;
    }
    const std::vector<char> page(8192, 'x');
    std::vector<double> ms;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const bool ok = ::pwrite(fd, page.data(), page.size(), 0) == static_cast<ssize_t>(page.size())
                        && ::fdatasync(fd) == 0;
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (!ok) {
            state.SkipWithError("write or sync failed");
            break;
        }
    }
    ::close(fd);
    reportMedian(state, ms);
}
BENCHMARK(BM_DiskSync)->Iterations(300)->Unit(benchmark::kMillisecond);

void BM_Reload100k(benchmark::State &state)
{
    auto store = openLog(state, 100000);
    if (!store)
        return;
    for (auto _ : state)
        if (!store->reload())
            state.SkipWithError("reload failed");
    state.counters["records"] = store->recordCount();
}
BENCHMARK(BM_Reload100k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ChangeCheckNothingChanged(benchmark::State &state)
{
    auto store = openLog(state, 14000);
    if (!store)
        return;
    for (auto _ : state)
        if (store->lookForChanges() != LogStore::CheckResult::Unchanged)
            state.SkipWithError("the log changed");
}
BENCHMARK(BM_ChangeCheckNothingChanged)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) { return runBenchmarks<QCoreApplication>(argc, argv); }
