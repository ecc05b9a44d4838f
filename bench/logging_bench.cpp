// One keystroke's partial-dupe hint over a log of 100,000 contacts, by the
// plain walk of the mirror and by the index, on a typical contest log and on
// the logs that make each way slowest; the previous-contact scan and the
// grid map's hover text, walked and indexed; and logging one contact into a log
// file on disk (dupe query, insert with its sync, mirror updated).
//
// The log file goes to HALVERN_BENCH_DIR, or /var/tmp, so that the syncs
// reach a real disk rather than memory.
#include "BenchMain.h"
#include "log/Bands.h"
#include "log/Dupes.h"
#include "log/GridMap.h"
#include "log/LogIndex.h"
#include "log/LogStore.h"
#include "log/Logging.h"
#include "platform/LogEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>

namespace {

constexpr int LogSize = 100000;
const QString OwnGrid = QStringLiteral("FN20");
const QString Band144 = QStringLiteral("144 M");

QString someCall(std::mt19937 &rng)
{
    static const char *heads[] = {"W", "K", "N", "AA", "KB", "WA", "KD", "VE", "KC", "AB"};
    QString call = QString::fromLatin1(heads[rng() % 10]);
    call += QChar(u'0' + static_cast<char16_t>(rng() % 10));
    const int letters = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < letters; ++i)
        call += QChar(u'A' + static_cast<char16_t>(rng() % 26));
    return call;
}

// A text of its own, as every value read back from the log file is.
QString own(const QString &s) { return QString(s.constData(), s.size()); }

QsoRecord contact(const QString &call, const QString &band, const QString &ownGrid, int n)
{
    QsoRecord r;
    r.calls = own(call);
    r.rstr = own(QStringLiteral("59"));
    r.rsts = own(QStringLiteral("59"));
    r.gridr = own(QStringLiteral("FN31"));
    r.grids = own(ownGrid);
    r.flddate = own(QStringLiteral("2026/06/13"));
    r.fldtime = QStringLiteral("%1:%2:%3")
                    .arg(n / 3600 % 24, 2, 10, QChar(u'0'))
                    .arg(n / 60 % 60, 2, 10, QChar(u'0'))
                    .arg(n % 60, 2, 10, QChar(u'0'));
    r.uband = own(band);
    r.umode = own(QStringLiteral("PH"));
    return r;
}

enum class Shape {
    Contest,  // most contacts on the low bands, a rover's few own grids
    OneGroup, // every contact on 144 M from FN20: every record passes band and grid
};

LogMirror makeLog(Shape shape, int size = LogSize)
{
    std::mt19937 rng(20260613u);
    std::discrete_distribution<int> band({30, 30, 10, 15, 4, 4, 1, 1, 1, 1, 0.5, 0.5, 0.5, 0.5,
                                          0.5, 0.5, 0.5});
    const QStringList ownGrids{"FN20", "FN20", "FN20", "FN21", "FN31"};
    LogMirror m;
    m.reserve(static_cast<size_t>(size));
    for (int i = 0; i < size; ++i) {
        if (shape == Shape::OneGroup)
            m.append(contact(someCall(rng), Band144, OwnGrid, i));
        else
            m.append(contact(someCall(rng), Bands::label(band(rng)),
                             ownGrids[static_cast<int>(rng() % ownGrids.size())], i));
    }
    return m;
}

// What an operator types: the first one to six characters of calls.
QStringList keystrokes(const LogMirror &m)
{
    std::mt19937 rng(7);
    QStringList typed;
    for (int i = 0; i < 500; ++i) {
        const QString call = m.at(1 + static_cast<int>(rng() % m.recordCount())).calls;
        for (int k = 1; k <= call.size(); ++k)
            typed.append(call.left(k));
    }
    return typed;
}

const LogMirror &logOf(Shape s)
{
    static const LogMirror contest = makeLog(Shape::Contest);
    static const LogMirror oneGroup = makeLog(Shape::OneGroup);
    return s == Shape::Contest ? contest : oneGroup;
}

const LogIndex &indexOf(Shape s)
{
    static const LogIndex contest = [] {
        LogIndex i;
        i.rebuild(logOf(Shape::Contest));
        return i;
    }();
    static const LogIndex oneGroup = [] {
        LogIndex i;
        i.rebuild(logOf(Shape::OneGroup));
        return i;
    }();
    return s == Shape::Contest ? contest : oneGroup;
}

// Runs one hint per iteration over the typed texts and reports the 99th
// percentile and the slowest single keystroke beside the mean.
template <typename Hint>
void keystrokeLoop(benchmark::State &state, const QStringList &typed, Hint hint)
{
    using clock = std::chrono::steady_clock;
    int i = 0;
    std::vector<float> us;
    for (auto _ : state) {
        const auto t0 = clock::now();
        QString h = hint(typed[i]);
        const auto t1 = clock::now();
        benchmark::DoNotOptimize(h);
        us.push_back(std::chrono::duration<float, std::micro>(t1 - t0).count());
        i = (i + 1) % static_cast<int>(typed.size());
    }
    if (us.empty())
        return;
    std::sort(us.begin(), us.end());
    state.counters["p99_us"] = us[us.size() * 99 / 100];
    state.counters["max_us"] = us.back();
}

QStringList typedFor(benchmark::State &state, const LogMirror &m)
{
    // 0: what operators type; 1: a call matching nothing; 2: a single
    // letter that begins a tenth of all calls.
    switch (state.range(0)) {
    case 1:
        return {QStringLiteral("Q9ZZ")};
    case 2:
        return {QStringLiteral("W")};
    default:
        return keystrokes(m);
    }
}

void BM_PartialDupesWalk(benchmark::State &state, Shape shape)
{
    const LogMirror &m = logOf(shape);
    const QStringList typed = typedFor(state, m);
    keystrokeLoop(state, typed,
                  [&](const QString &t) { return partialDupeHint(m, t, OwnGrid, Band144); });
}

void BM_PartialDupesIndex(benchmark::State &state, Shape shape)
{
    const LogIndex &index = indexOf(shape);
    const QStringList typed = typedFor(state, logOf(shape));
    keystrokeLoop(state, typed, [&](const QString &t) { return index.hint(t, OwnGrid, Band144); });
}

BENCHMARK_CAPTURE(BM_PartialDupesWalk, contest, Shape::Contest)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PartialDupesWalk, one_group, Shape::OneGroup)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PartialDupesIndex, contest, Shape::Contest)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PartialDupesIndex, one_group, Shape::OneGroup)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond);

// The worst keystroke, on logs of range(0) contacts: one letter that begins
// a tenth of the calls, with every contact on one band from one own grid.
void BM_PartialDupeOneLetter(benchmark::State &state)
{
    const LogMirror m = makeLog(Shape::OneGroup, static_cast<int>(state.range(0)));
    LogIndex index;
    index.rebuild(m);
    keystrokeLoop(state, {QStringLiteral("W")},
                  [&](const QString &t) { return index.hint(t, OwnGrid, Band144); });
}
BENCHMARK(BM_PartialDupeOneLetter)->Arg(14000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// Leaving the call field (the previous-contact scan, listing every earlier
// contact) and hovering a square of the grid map, on logs of range(0)
// contacts: range(1) 0 by walking the mirror, 1 from the index.
void BM_PreviousContactsAndHover(benchmark::State &state)
{
    const LogMirror m = makeLog(Shape::Contest, static_cast<int>(state.range(0)));
    LogIndex index;
    index.rebuild(m);
    const bool indexed = state.range(1) == 1;
    std::mt19937 rng(9);
    for (auto _ : state) {
        const QsoRecord &r = m.at(1 + static_cast<int>(rng() % static_cast<unsigned>(m.recordCount())));
        if (indexed) {
            benchmark::DoNotOptimize(
                previousContactScan(m, index.recordsOfCall(r.calls), QString(), OwnGrid, Band144, true));
            benchmark::DoNotOptimize(gridSummary(r.gridr, index.square(r.gridr)));
        } else {
            benchmark::DoNotOptimize(previousContactScan(m, r.calls, QString(), OwnGrid, Band144, true));
            benchmark::DoNotOptimize(gridSummary(m, r.gridr));
        }
    }
}
BENCHMARK(BM_PreviousContactsAndHover)
    ->ArgsProduct({{14000, 100000, 1000000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// Rebuilding the index after a full reload, and adding one logged contact.
void BM_LogIndexRebuild(benchmark::State &state)
{
    const LogMirror &m = logOf(Shape::Contest);
    for (auto _ : state) {
        LogIndex i;
        i.rebuild(m);
        benchmark::DoNotOptimize(i.size());
    }
}
BENCHMARK(BM_LogIndexRebuild)->Unit(benchmark::kMillisecond);

void BM_LogIndexAdd(benchmark::State &state)
{
    LogIndex index = indexOf(Shape::OneGroup);
    std::mt19937 rng(3);
    int n = index.size();
    for (auto _ : state) {
        index.add(contact(someCall(rng), Band144, OwnGrid, n), n + 1);
        ++n;
    }
}
BENCHMARK(BM_LogIndexAdd)->Unit(benchmark::kMicrosecond);

// Logging one new contact into a log file of range(0) contacts.
void BM_LogContact(benchmark::State &state)
{
    const QString base = qEnvironmentVariable("HALVERN_BENCH_DIR", QStringLiteral("/var/tmp"));
    QTemporaryDir dir(QDir(base).filePath(QStringLiteral("halvern-bench-XXXXXX")));
    const QString path = dir.filePath(QStringLiteral("Halvern.MDB"));
    QString err;
    if (!dir.isValid() || !LogEngine::createEmpty(path, &err)) {
        const QString why = "cannot create a log under " + base + ": " + err;
        state.SkipWithError(why.toStdString().c_str());
        return;
    }
    LogStore store;
    store.open(path);
    {
        std::mt19937 rng(11);
        store.engine().beginWrite();
        for (int i = 0; i < state.range(0); ++i)
            store.insert(
                contact(someCall(rng), Bands::label(static_cast<int>(rng() % 4)), OwnGrid, i));
        store.engine().commit();
        store.reload();
    }

    using clock = std::chrono::steady_clock;
    std::vector<double> ms;
    int n = 0;
    for (auto _ : state) {
        const QsoRecord r = contact(QStringLiteral("B%1").arg(n), Band144, OwnGrid, n);
        const auto t0 = clock::now();
        const LogAttempt a = logContact(store, r);
        ms.push_back(std::chrono::duration<double, std::milli>(clock::now() - t0).count());
        if (a.outcome != LogAttempt::Logged) {
            state.SkipWithError(("not logged: " + a.error).toStdString().c_str());
            break;
        }
        ++n;
    }
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p90_ms"] = ms[ms.size() * 9 / 10];
    state.counters["max_ms"] = ms.back();
}
BENCHMARK(BM_LogContact)
    ->Arg(0)
    ->Arg(14000)
    ->Arg(100000)
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runBenchmarks<QCoreApplication>(argc, argv); }
