// Element timing of the three CW timing methods on the recording line, at
// 13 and 40 WPM: each dot, dash and gap of "PARIS PARIS " as recorded on the
// monotonic clock against its exact length (units x 1200 / WPM ms). Reports
// the mean and worst absolute error per element, in milliseconds.
#include "BenchMain.h"
#include "keying/CwKeyer.h"
#include "keying/Morse.h"
#include "platform/PortArbiter.h"
#include "platform/RecordingKeyLine.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {
const QString Text = QStringLiteral("PARIS PARIS ");

// The lengths in units of the key-down and key-up runs of the text, in order.
std::vector<int> runs(const QString &text)
{
    std::string all;
    for (QChar c : text)
        all += Morse::elements(c);
    std::vector<int> out;
    for (size_t i = 0; i < all.size();) {
        size_t j = i;
        while (j < all.size() && all[j] == all[i])
            ++j;
        out.push_back(int(j - i));
        i = j;
    }
    return out;
}

void BM_ElementTiming(benchmark::State &state, TimingMethod method, int wpm)
{
    std::vector<KeyEdge> edges;
    PortArbiter ports;
    ports.setFactory([&](PortRole, const KeyLineRequest &, QString *) -> std::unique_ptr<KeyLine> {
        auto line = std::make_unique<RecordingKeyLine>();
        line->onEdge = [&](const KeyEdge &e) { edges.push_back(e); };
        return line;
    });
    CwKeyer keyer(ports);
    keyer.settings.output = KeyingOutput::Rts;
    keyer.settings.port = QStringLiteral("1");
    keyer.settings.wpm = QString::number(wpm);
    keyer.settings.method = method;
    if (method == TimingMethod::Loop)
        keyer.settings.loopOffset = LoopTiming::calibrate();
    // Open the line before timing starts, as a first message would.
    keyer.append(QStringLiteral("E"));
    keyer.sendBuffer();

    const std::vector<int> expected = runs(Text);
    const double unitMs = 1200.0 / wpm;
    std::vector<double> errors;
    for (auto _ : state) {
        edges.clear();
        keyer.append(Text);
        keyer.sendBuffer();
        // Each interval between two edges is one run; the last gap has no
        // closing edge.
        for (size_t i = 0; i + 1 < edges.size() && i < expected.size(); ++i) {
            const double ms = double(edges[i + 1].ns - edges[i].ns) / 1e6;
            errors.push_back(std::abs(ms - expected[i] * unitMs));
        }
    }
    double sum = 0;
    for (double e : errors)
        sum += e;
    state.counters["elements"] = double(errors.size());
    state.counters["mean_err_ms"] = errors.empty() ? 0 : sum / double(errors.size());
    state.counters["worst_err_ms"] = errors.empty() ? 0 : *std::max_element(errors.begin(), errors.end());
}
} // namespace

BENCHMARK_CAPTURE(BM_ElementTiming, timer_13wpm, TimingMethod::Timer, 13)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ElementTiming, timer_40wpm, TimingMethod::Timer, 40)->Iterations(2)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ElementTiming, sleep_13wpm, TimingMethod::Sleep, 13)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ElementTiming, sleep_40wpm, TimingMethod::Sleep, 40)->Iterations(2)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ElementTiming, loop_13wpm, TimingMethod::Loop, 13)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ElementTiming, loop_40wpm, TimingMethod::Loop, 40)->Iterations(2)->Unit(benchmark::kSecond);

int main(int argc, char **argv) { return runBenchmarks<QCoreApplication>(argc, argv); }
