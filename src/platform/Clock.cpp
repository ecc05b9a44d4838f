#include "platform/Clock.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <optional>

namespace {
std::optional<QDateTime> fixedLocal;
std::optional<QDateTime> fixedUtc;

bool fakeMonotonic = false;
qint64 fakeNowNs = 0;
qint64 fakeStepNs = 0;
} // namespace

namespace Clock {

QDateTime localNow()
{
    if (fixedLocal)
        return *fixedLocal;
    QDateTime now = QDateTime::currentDateTime();
    // Work with plain wall-clock values, like the rest of the program.
    return QDateTime(now.date(), now.time());
}

QDateTime systemUtcNow()
{
    if (fixedUtc)
        return *fixedUtc;
    QDateTime now = QDateTime::currentDateTimeUtc();
    return QDateTime(now.date(), now.time());
}

void setFixed(const QDateTime &local, const QDateTime &systemUtc)
{
    fixedLocal = QDateTime(local.date(), local.time());
    fixedUtc = QDateTime(systemUtc.date(), systemUtc.time());
}

void advance(qint64 ms)
{
    if (fixedLocal)
        *fixedLocal = fixedLocal->addMSecs(ms);
    if (fixedUtc)
        *fixedUtc = fixedUtc->addMSecs(ms);
}

void useSystem()
{
    fixedLocal.reset();
    fixedUtc.reset();
}

bool isFixed() { return fixedLocal.has_value(); }

qint64 monotonicNs()
{
    if (fakeMonotonic) {
        fakeNowNs += fakeStepNs;
        return fakeNowNs;
    }
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void sleepUntilNs(qint64 deadlineNs)
{
    if (fakeMonotonic) {
        fakeNowNs = std::max(fakeNowNs, deadlineNs);
        return;
    }
    timespec ts{};
    ts.tv_sec = deadlineNs / 1000000000;
    ts.tv_nsec = deadlineNs % 1000000000;
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

void useFakeMonotonic(qint64 startNs, qint64 stepNs)
{
    fakeMonotonic = true;
    fakeNowNs = startNs;
    fakeStepNs = stepNs;
}

void useRealMonotonic() { fakeMonotonic = false; }

QDateTime stationUtc(const QDateTime &local, double utcOffsetHours)
{
    // hours × 60 minutes, whole minutes as the date arithmetic of the log uses
    const qint64 minutes = static_cast<qint64>(std::lround(utcOffsetHours * 60.0));
    return local.addSecs(minutes * 60);
}

QDateTime stationUtc(double utcOffsetHours) { return stationUtc(localNow(), utcOffsetHours); }

} // namespace Clock
