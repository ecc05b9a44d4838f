#include "keying/CwTiming.h"

#include "platform/Clock.h"

#include <algorithm>
#include <cmath>

QString timingMethodName(TimingMethod m)
{
    switch (m) {
    case TimingMethod::Timer: return QStringLiteral("Timer");
    case TimingMethod::Loop: return QStringLiteral("Loop");
    case TimingMethod::Sleep: return QStringLiteral("Sleep");
    }
    return QStringLiteral("Timer");
}

std::optional<TimingMethod> timingMethodFromName(const QString &name)
{
    for (TimingMethod m : {TimingMethod::Timer, TimingMethod::Loop, TimingMethod::Sleep})
        if (timingMethodName(m) == name)
            return m;
    return std::nullopt;
}

void ElementPacer::startCharacter() { m_deadlineNs = double(Clock::monotonicNs()); }

void ElementPacer::waitElement(double wpm)
{
    const double ms = elementMs(wpm);
    switch (m_method) {
    case TimingMethod::Timer: {
        m_deadlineNs += ms * 1e6;
        const qint64 deadline = qint64(std::llround(m_deadlineNs));
        while (Clock::monotonicNs() < deadline) {
        }
        break;
    }
    case TimingMethod::Sleep:
        // Whole milliseconds, as a sleep can be asked for (ties to even).
        m_deadlineNs += std::nearbyint(ms) * 1e6;
        Clock::sleepUntilNs(qint64(std::llround(m_deadlineNs)));
        break;
    case TimingMethod::Loop:
        LoopTiming::countTo(LoopTiming::countsPerElement(m_loopOffset, wpm));
        break;
    }
}

namespace LoopTiming {

void countTo(double target)
{
    // volatile: the count is the wait, it must not be optimised away.
    volatile double counter = 0;
    while (counter < target)
        counter = counter + 1;
}

double calibrate()
{
    constexpr double Counts = 5000000;
    // The quickest of three runs: a run slowed by another program, or by a
    // processor still waking up from idle, would make every element short.
    qint64 quickest = 0;
    for (int run = 0; run < 3; ++run) {
        const qint64 start = Clock::monotonicNs();
        countTo(Counts);
        const qint64 elapsed = Clock::monotonicNs() - start;
        if (run == 0 || elapsed < quickest)
            quickest = elapsed;
    }
    // A clock that did not move would divide by zero: take at least 1 ns.
    const double elapsedMs = double(std::max<qint64>(quickest, 1)) / 1e6;
    return std::nearbyint(Counts / elapsedMs * 60.0);
}

} // namespace LoopTiming
