// The full reload of the log and the score computed from it, on realistic
// contest logs of 14,000 and 100,000 contacts over 3,000 grids and all
// seventeen bands.
#include "app/MainWindow.h"
#include "log/Contest.h"
#include "log/Bands.h"
#include "log/LogStore.h"
#include "log/Score.h"
#include "platform/LogEngine.h"

#include <QApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>

namespace {

const QDateTime ContestStart(QDate(2026, 6, 13), QTime(18, 0), Qt::UTC);
constexpr qint64 ContestSeconds = 33 * 3600;

QString randomCall(std::mt19937 &rng)
{
    static const char *prefixes[] = {"W", "K", "N", "AA", "KB", "WA", "KD", "VE", "N0", "AB"};
    std::uniform_int_distribution<int> prefix(0, 9), digit(0, 9), length(1, 3), letter(0, 25);
    QString call = QString::fromLatin1(prefixes[prefix(rng)]);
    if (!call.back().isDigit())
        call += QChar('0' + digit(rng));
    const int n = length(rng);
    for (int i = 0; i < n; ++i)
        call += QChar('A' + letter(rng));
    return call;
}

// 3,000 grids: thirty fields across North America, a hundred squares each.
QStringList gridPool()
{
    QStringList grids;
    for (char f1 = 'C'; f1 <= 'H'; ++f1)
        for (char f2 = 'L'; f2 <= 'P'; ++f2)
            for (int sq = 0; sq < 100; ++sq)
                grids.append(QString(QChar(f1)) + QChar(f2) + QString::asprintf("%02d", sq));
    return grids;
}

// Most contacts on the low bands, a few on every microwave band.
int randomBand(std::mt19937 &rng)
{
    static std::discrete_distribution<int> band(
        {30, 30, 10, 15, 4, 4, 1, 1, 1, 1, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5});
    return band(rng);
}

std::vector<QsoRecord> contestLog(int count)
{
    std::mt19937 rng(20260613u + static_cast<unsigned>(count));
    const QStringList grids = gridPool();
    const QStringList ownGrids{"FN20", "FN20", "FN20", "FN21", "FN31", "FN30"};
    std::uniform_int_distribution<int> grid(0, static_cast<int>(grids.size()) - 1);
    std::uniform_int_distribution<int> own(0, static_cast<int>(ownGrids.size()) - 1);
    std::bernoulli_distribution cw(0.4);
    std::vector<QsoRecord> log;
    log.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QDateTime t = ContestStart.addSecs(qint64(i) * ContestSeconds / count);
        const bool isCw = cw(rng);
        QsoRecord r;
        r.calls = randomCall(rng);
        r.rstr = isCw ? QStringLiteral("599") : QStringLiteral("59");
        r.gridr = grids[grid(rng)];
        r.rsts = r.rstr;
        r.grids = ownGrids[own(rng)];
        r.flddate = t.toString(QStringLiteral("yyyy/MM/dd"));
        r.fldtime = t.toString(QStringLiteral("HH:mm:ss"));
        r.uband = Bands::label(randomBand(rng));
        r.umode = isCw ? Modes::CW : Modes::Phone;
        log.push_back(std::move(r));
    }
    return log;
}

// One log file per size, written once for all benchmarks of the run.
QString logFile(int count)
{
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    auto it = files.find(count);
    if (it != files.end())
        return it->second;
    const QString path = dir.filePath(QStringLiteral("Halvern-%1.MDB").arg(count));
    QString error;
    if (!LogEngine::createEmpty(path, &error))
        qFatal("cannot create %s: %s", qPrintable(path), qPrintable(error));
    LogStore store;
    if (!store.open(path, &error))
        qFatal("cannot open %s: %s", qPrintable(path), qPrintable(error));
    store.engine().beginWrite();
    for (const QsoRecord &r : contestLog(count))
        if (!store.insert(r, &error))
            qFatal("insert failed: %s", qPrintable(error));
    if (!store.engine().commit(&error))
        qFatal("commit failed: %s", qPrintable(error));
    files[count] = path;
    return path;
}

std::unique_ptr<LogStore> openLog(benchmark::State &state)
{
    auto store = std::make_unique<LogStore>();
    QString error;
    if (!store->open(logFile(static_cast<int>(state.range(0))), &error))
        state.SkipWithError("cannot open the log");
    return store;
}

constexpr int JuneContest = 2;
const QDateTime Now = ContestStart.addSecs(ContestSeconds);

void BM_Reload(benchmark::State &state)
{
    auto store = openLog(state);
    for (auto _ : state) {
        if (!store->reload())
            state.SkipWithError("reload failed");
        benchmark::DoNotOptimize(store->recordCount());
    }
    state.counters["records"] = store->recordCount();
}

void BM_ReloadWithScore(benchmark::State &state)
{
    auto store = openLog(state);
    Tally tally;
    for (auto _ : state) {
        if (!store->reload())
            state.SkipWithError("reload failed");
        tally.recompute(store->mirror(), JuneContest, true);
        benchmark::DoNotOptimize(scoreTotals(tally, JuneContest, true));
        benchmark::DoNotOptimize(qsoRates(store->mirror(), Now));
    }
    state.counters["grids"] = static_cast<double>(scoreTotals(tally, JuneContest, true).multipliers);
}

void BM_Recompute(benchmark::State &state)
{
    auto store = openLog(state);
    store->reload();
    Tally tally;
    for (auto _ : state) {
        tally.recompute(store->mirror(), JuneContest, true);
        benchmark::DoNotOptimize(tally.gridCount(0));
    }
}

void BM_RecomputeCqRover(benchmark::State &state)
{
    auto store = openLog(state);
    store->reload();
    Tally tally;
    for (auto _ : state) {
        tally.recompute(store->mirror(), 5, true);
        benchmark::DoNotOptimize(tally.gridCount(0));
    }
}

} // namespace

// The main window's full reload as the operator sees it: the log read, the
// score recomputed, the partial-dupe index rebuilt, and the labels, grid
// lists, contact list and grid map filled.
void BM_WorkListWindow(benchmark::State &state)
{
    auto store = openLog(state);
    const QString path = store->path();
    store.reset();
    MainWindow window;
    Contest &contest = window.contest();
    Station &s = contest.station();
    s.contestType = JuneContest;
    s.roverFlag = 1;
    s.ownGrid = QStringLiteral("FN20");
    s.latitude = 40;
    s.longitude = 76;
    emit contest.stationChanged();
    if (!contest.openLog(path, nullptr))
        state.SkipWithError("open failed");
    for (auto _ : state)
        contest.reloadLog();
    state.counters["records"] = contest.recordCount();
}

BENCHMARK(BM_Reload)->Arg(14000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReloadWithScore)->Arg(14000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkListWindow)->Arg(14000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Recompute)->Arg(14000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecomputeCqRover)->Arg(14000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The SQL driver is a plugin: it needs an application object to be found.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
