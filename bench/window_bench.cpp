// What the operator feels, on logs of 14,000, 100,000 and 1,000,000
// contacts, with the main window shown (offscreen) and laid out: the start-up
// to a ready window, the full reload, a refresh tick after another copy
// added, edited or deleted contacts, and logging one contact through the
// window (a new one, a dupe, the first one after a reload) beside the bare
// SQLite statements and commit on the same disk; and the exports and the
// archive copy, made while the window goes on answering.
//
// Memory: run BM_StartUpToReady alone for one size
// (--benchmark_filter=BM_StartUpToReady/1000000): peak_B_per_contact is then
// the process's peak resident memory over the contacts loaded.
#include "BenchLog.h"
#include "BenchMain.h"
#include "app/LogFileCommands.h"
#include "app/MainWindow.h"
#include "export/FileJobs.h"
#include "log/Contest.h"
#include "log/Folders.h"
#include "log/Score.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <functional>
#include <limits>
#include <memory>
#include <thread>

namespace {

using Steady = std::chrono::steady_clock;
double msSince(Steady::time_point t0) { return std::chrono::duration<double, std::milli>(Steady::now() - t0).count(); }

// The operator answers Yes to every question and leaves every input empty.
class YesDialogs : public Dialogs {
public:
    Answer message(QWidget *, const QString &, const QString &, Buttons, Icon) override { return Answer::Yes; }
    QString input(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> ask(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString openFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QColor> chooseColor(QWidget *, const QColor &) override { return {}; }
    void beep() override {}
};

QDateTime benchNow = QDateTime(QDate(2026, 6, 15), QTime(12, 0), Qt::UTC);

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// The window started as an operator starts it: the station window filled in
// and closed with Done, "Open existing log?" answered Yes.
std::unique_ptr<MainWindow> startWindow(const QString &logPath)
{
    static QTemporaryDir work;
    static YesDialogs dialogs;
    Dialogs::install(&dialogs);
    Folders::setWorkDir(work.path());
    Folders::setDataFolders(Folders::findDataFolders(work.filePath(QStringLiteral("Documents"))));
    Clock::setFixed(benchNow, benchNow);
    auto w = std::make_unique<MainWindow>();
    w->resize(1200, 800);
    w->show();
    QTimer station;
    station.setInterval(2);
    QObject::connect(&station, &QTimer::timeout, [&station, logPath] {
        QWidget *m = QApplication::activeModalWidget();
        if (!m || m->objectName() != QLatin1String("frmStationID") || !m->isVisible())
            return;
        station.stop();
        m->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("K1ABC"));
        m->findChild<QLineEdit *>(QStringLiteral("Text5"))->setText(QStringLiteral("FN20"));
        m->findChild<QLineEdit *>(QStringLiteral("Text8"))->setText(logPath);
        QTest::mouseClick(m->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    station.start();
    if (!w->startUp())
        qFatal("start-up failed");
    settle();
    // Ready means drawn: the window's first full paint belongs to the
    // start-up, not to whatever is measured next.
    w->repaint();
    settle();
    return w;
}

// Passes of the event loop, a millisecond apart, until done() holds or
// limitMs have gone since start: each pass's time is added to busy, and the
// longest one raises stretch.
void passUntil(Steady::time_point start, const std::function<bool()> &done, double limitMs, double &busy,
               double &stretch)
{
    while (!done() && msSince(start) < limitMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto t = Steady::now();
        settle();
        const double d = msSince(t);
        busy += d;
        stretch = std::max(stretch, d);
    }
}

int size(const benchmark::State &state) { return static_cast<int>(state.range(0)); }

void BM_StartUpToReady(benchmark::State &state)
{
    const QString path = BenchLog::logFile(size(state));
    const qint64 before = BenchLog::statusBytes("VmRSS");
    for (auto _ : state) {
        auto w = startWindow(path);
        state.PauseTiming();
        w.reset();
        settle();
        state.ResumeTiming();
    }
    state.counters["peak_B_per_contact"] =
        double(BenchLog::statusBytes("VmHWM") - before) / std::max(1, size(state));
}

// range(1): 0 the list of the last 20, 1 the list of all contacts.
void BM_WindowReload(benchmark::State &state)
{
    auto w = startWindow(BenchLog::logFile(size(state)));
    if (state.range(1) == 1)
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("cmdList")), Qt::LeftButton);
    settle();
    for (auto _ : state) {
        w->contest().reloadLog();
        settle();
    }
}

// What another copy does between two ticks.
enum Change { Nothing, AddOne, AddFifty, EditOne, DeleteOne };

// The row identity of record n of the mirror.
qint64 rowOf(const LogMirror &m, int n) { return m.rowId(n); }

int recordWithRow(const LogMirror &m, qint64 row)
{
    for (int n = 1; n <= m.recordCount(); ++n)
        if (m.rowId(n) == row)
            return n;
    return 0;
}

constexpr double SeenWithinMs = 20000;

// One tick after another copy's change, timed as the window's busy time:
// the tick itself and every pass of the event loop until the change shows
// (background work done meanwhile does not count; waiting does not count).
// Counters: seen_ms is the wall time until the mirror shows the change,
// max_stretch_ms the longest single stretch in which the window could not
// answer, unseen the changes not shown within SeenWithinMs.
void BM_RefreshAfterOther(benchmark::State &state)
{
    const auto change = static_cast<Change>(state.range(1));
    const QString path = BenchLog::workingCopy(size(state), QStringLiteral("refresh"));
    auto w = startWindow(path);
    Contest &c = w->contest();
    LogStore other;
    if (!other.open(path))
        qFatal("second connection failed");
    std::mt19937 rng(5);
    BenchLog::Generator gen(size(state));
    double seenTotal = 0, maxStretch = 0;
    int unseen = 0, n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int before = c.recordCount();
        qint64 row = 0;
        QString value;
        std::function<bool()> seen = [] { return true; };
        switch (change) {
        case Nothing:
            break;
        case AddOne:
        case AddFifty: {
            const int k = change == AddOne ? 1 : 50;
            for (int i = 0; i < k; ++i) {
                QsoRecord r = gen.next();
                r.flddate = QStringLiteral("2026/06/15");
                r.fldtime = QStringLiteral("12:%1:%2").arg(n / 60 % 60, 2, 10, QChar(u'0')).arg(n % 60, 2, 10, QChar(u'0'));
                ++n;
                other.insert(r);
            }
            seen = [&c, before, k] { return c.recordCount() == before + k; };
            break;
        }
        case EditOne:
            row = rowOf(c.mirror(), 1 + static_cast<int>(rng() % static_cast<unsigned>(before)));
            value = QString::number(n++);
            other.engine().exec(QStringLiteral("update tbllog set rstr=? where rowid=?"), {value, row});
            seen = [&c, row, value] {
                const int rec = recordWithRow(c.mirror(), row);
                return rec > 0 && c.mirror().at(rec).rstr == value;
            };
            break;
        case DeleteOne:
            row = rowOf(c.mirror(), 1 + static_cast<int>(rng() % static_cast<unsigned>(before)));
            other.engine().exec(QStringLiteral("delete from tbllog where rowid=?"), {row});
            seen = [&c, before] { return c.recordCount() == before - 1; };
            break;
        }
        state.ResumeTiming();
        const auto start = Steady::now();
        c.refreshTick();
        settle();
        double busy = msSince(start);
        double stretch = busy;
        passUntil(start, seen, SeenWithinMs, busy, stretch);
        if (seen())
            seenTotal += msSince(start);
        else
            ++unseen;
        maxStretch = std::max(maxStretch, stretch);
        state.SetIterationTime(busy / 1000.0);
    }
    state.counters["seen_ms"] = benchmark::Counter(seenTotal, benchmark::Counter::kAvgIterations);
    state.counters["max_stretch_ms"] = maxStretch;
    state.counters["unseen"] = unseen;
}

// range(1): 0 a new contact, 1 a dupe refused, 2 a new contact right after a
// full reload. Only the Enter key is timed; the fields are typed before.
void BM_LogThroughWindow(benchmark::State &state)
{
    const int kind = static_cast<int>(state.range(1));
    const QString path = BenchLog::workingCopy(size(state), QStringLiteral("logging"));
    auto w = startWindow(path);
    Contest &c = w->contest();
    c.chooseBand(Bands::indexOf(QStringLiteral("144 M")));
    auto *call = w->findChild<QLineEdit *>(QStringLiteral("txtCall"));
    auto *grid = w->findChild<QLineEdit *>(QStringLiteral("txtSec"));
    // A contact of the log on 144 M from FN20: logging it again is a dupe.
    QsoRecord worked;
    for (int n = c.recordCount(); n >= 1; --n)
        if (c.mirror().at(n).uband == QLatin1String("144 M") && c.mirror().at(n).grids == QLatin1String("FN20")) {
            worked = c.mirror().at(n);
            break;
        }
    int n = 0;
    int refused = 0;
    for (auto _ : state) {
        state.PauseTiming();
        benchNow = benchNow.addSecs(10);
        Clock::setFixed(benchNow, benchNow);
        if (kind == 2)
            c.reloadLog();
        settle();
        call->setFocus();
        call->clear();
        grid->clear();
        const QString typed = kind == 1 ? worked.calls : QStringLiteral("BN%1X").arg(n++);
        QTest::keyClicks(call, typed);
        grid->setFocus();
        QTest::keyClicks(grid, kind == 1 ? worked.gridr : QStringLiteral("FN31"));
        const int before = c.recordCount();
        settle();
        state.ResumeTiming();
        QTest::keyClick(grid, Qt::Key_Return);
        settle();
        state.PauseTiming();
        if (c.recordCount() == before)
            ++refused;
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : call, Qt::Key_Escape);
        settle();
        state.ResumeTiming();
    }
    state.counters["refused"] = refused;
}

// The floor: the dupe query, the insert and the commit straight through
// SQLite, on a copy of the same log in the same folder.
void BM_BareInsertCommit(benchmark::State &state)
{
    const QString path = BenchLog::workingCopy(size(state), QStringLiteral("floor"));
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        qFatal("open failed");
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_stmt *dupe = nullptr, *insert = nullptr;
    sqlite3_prepare_v2(db, "select * from tbllog where calls=? collate nocase", -1, &dupe, nullptr);
    sqlite3_prepare_v2(db,
                       "insert into tblLog (calls, rstr, gridr, rsts, grids, flddate, fldtime, uband, umode)"
                       " VALUES (?,'59','FN31','59','FN20','2026/06/15',?,'144 M','PH')",
                       -1, &insert, nullptr);
    int n = 0;
    for (auto _ : state) {
        const std::string call = "BF" + std::to_string(n) + "X";
        const std::string time = "12:00:" + std::to_string(n++ % 60);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_bind_text(dupe, 1, call.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(dupe) == SQLITE_ROW) {
        }
        sqlite3_reset(dupe);
        sqlite3_bind_text(insert, 1, call.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, time.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE)
            state.SkipWithError("insert failed");
        sqlite3_reset(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(dupe);
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

// The operator answers the export's questions with nothing (the phone mode
// proposed) and chooses the file given.
class ExportDialogs : public YesDialogs {
public:
    QString file;
    std::optional<QString> ask(QWidget *, const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override { return file; }
};

// range(1): 0 the ADIF export, 1 the Orrery export, 2 the archive copy. From
// the menu command until the file is written, timed as the window's busy
// time (the command with its questions, and every pass of the event loop
// meanwhile). Counters: written_ms the wall time until the file is written,
// max_stretch_ms the longest single stretch in which the window could not
// answer, idle_stretch_ms the same over half a second with nothing under way
// (what the machine's load alone costs).
void BM_ExportWhileWindowAnswers(benchmark::State &state)
{
    static const char *menus[] = {"mnuExportADIF", "mnuOrreryExport", "mnuArchive"};
    const int kind = static_cast<int>(state.range(1));
    auto w = startWindow(BenchLog::logFile(size(state)));
    auto *commands = w->findChild<LogFileCommands *>(QStringLiteral("logFileCommands"));
    auto *menu = w->findChild<QAction *>(QLatin1String(menus[kind]));
    QTemporaryDir out;
    ExportDialogs dialogs;
    Dialogs::install(&dialogs);
    // The same passes of the event loop for half a second with nothing
    // under way, for comparison.
    double idleStretch = 0;
    for (const auto idle = Steady::now(); msSince(idle) < 500;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto t = Steady::now();
        settle();
        idleStretch = std::max(idleStretch, msSince(t));
    }
    double writtenTotal = 0, maxStretch = 0;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        dialogs.file = out.filePath(QStringLiteral("export%1.%2").arg(n++).arg(kind == 2 ? "mdb" : "adi"));
        state.ResumeTiming();
        const auto start = Steady::now();
        menu->trigger();
        double busy = msSince(start);
        double stretch = busy;
        passUntil(
            start, [commands] { return commands->jobs().pending() == 0; }, std::numeric_limits<double>::infinity(),
            busy, stretch);
        writtenTotal += msSince(start);
        maxStretch = std::max(maxStretch, stretch);
        state.SetIterationTime(busy / 1000.0);
    }
    static YesDialogs yes;
    Dialogs::install(&yes);
    state.counters["written_ms"] = benchmark::Counter(writtenTotal, benchmark::Counter::kAvgIterations);
    state.counters["max_stretch_ms"] = maxStretch;
    state.counters["idle_stretch_ms"] = idleStretch;
}

// The QSO rates the score panel shows, at the end of the contest (the last
// hour holds a thirty-third of the log), each time after one more contact:
// range(1) 0 the walk of the mirror alone, 1 the counter the panel keeps.
void BM_Rates(benchmark::State &state)
{
    LogMirror m;
    BenchLog::Generator gen(size(state));
    for (int i = 1; i <= size(state); ++i)
        m.append(gen.next(), i);
    const QDateTime now = BenchLog::ContestStart.addSecs(BenchLog::ContestSeconds);
    RateCounter kept;
    kept.rates(m, now);
    Rates r;
    for (auto _ : state) {
        state.PauseTiming();
        m.append(gen.next(), m.recordCount() + 1);
        state.ResumeTiming();
        r = state.range(1) == 0 ? qsoRates(m, now) : kept.rates(m, now);
        benchmark::DoNotOptimize(r);
    }
    state.counters["last60"] = r.last60;
}

void sizes(benchmark::internal::Benchmark *b, std::initializer_list<int64_t> second)
{
    for (int64_t n : {14000, 100000, 1000000})
        for (int64_t k : second)
            b->Args({n, k});
}

} // namespace

BENCHMARK(BM_StartUpToReady)->Arg(14000)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowReload)
    ->Apply([](auto *b) { sizes(b, {0, 1}); })
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshAfterOther)
    ->Apply([](auto *b) { sizes(b, {Nothing, AddOne, AddFifty, EditOne, DeleteOne}); })
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogThroughWindow)
    ->Apply([](auto *b) { sizes(b, {0, 1, 2}); })
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportWhileWindowAnswers)
    ->Apply([](auto *b) { sizes(b, {0, 1, 2}); })
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rates)
    ->Args({100000, 0})->Args({100000, 1})->Args({1000000, 0})->Args({1000000, 1})
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareInsertCommit)->Arg(14000)->Arg(100000)->Arg(1000000)->Iterations(20)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) { return runBenchmarks<QApplication>(argc, argv); }
