#pragma once
// The one source of "now" for everything time-dependent: the local clock and
// the system's UTC clock. Tests fix both so that rates, dates and holds are
// reproducible.
#include <QDateTime>

namespace Clock {

// Local wall-clock time (no time zone attached; used as the program's "now").
QDateTime localNow();
// The system clock's UTC time, used only to suggest the UTC offset.
QDateTime systemUtcNow();

// Fix the clock for tests. The UTC reading keeps its distance from local time.
void setFixed(const QDateTime &local, const QDateTime &systemUtc);
// Move a fixed clock on by the given number of milliseconds.
void advance(qint64 ms);
// Back to the real clocks.
void useSystem();
bool isFixed();

// The monotonic clock in nanoseconds since an arbitrary start: it never
// jumps with the wall clock, so keying measures element times on it.
qint64 monotonicNs();
// Waits until the monotonic clock reaches deadlineNs (returns at once when
// it already has).
void sleepUntilNs(qint64 deadlineNs);
// Tests: a monotonic clock that stands at startNs, moves on by stepNs at
// every reading (so a loop polling it comes to an end) and jumps to any
// deadline slept for. Keying then takes no real time.
void useFakeMonotonic(qint64 startNs, qint64 stepNs);
void useRealMonotonic();

// The station's UTC: local time plus the offset in hours, taken as whole
// minutes (hours × 60), as every logging and rate computation does.
QDateTime stationUtc(double utcOffsetHours);
QDateTime stationUtc(const QDateTime &local, double utcOffsetHours);

} // namespace Clock
