// The full reload of the log and the score computed from it, on realistic
// contest logs of 14,000 and 100,000 contacts over 3,000 grids and all
// seventeen bands.
#include "BenchLog.h"
#include "BenchMain.h"
#include "app/MainWindow.h"
#include "log/Contest.h"
#include "log/LogStore.h"
#include "log/Score.h"

#include <QDateTime>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<LogStore> openLog(benchmark::State &state)
{
    auto store = std::make_unique<LogStore>();
    QString error;
    if (!store->open(BenchLog::logFile(static_cast<int>(state.range(0))), &error))
        state.SkipWithError("cannot open the log");
    return store;
}

constexpr int JuneContest = 2;
const QDateTime Now = BenchLog::ContestStart.addSecs(BenchLog::ContestSeconds);

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

int main(int argc, char **argv) { return runBenchmarks<QApplication>(argc, argv); }
