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

// The station's UTC: local time plus the offset in hours, taken as whole
// minutes (hours × 60), as every logging and rate computation does.
QDateTime stationUtc(double utcOffsetHours);
QDateTime stationUtc(const QDateTime &local, double utcOffsetHours);

} // namespace Clock
