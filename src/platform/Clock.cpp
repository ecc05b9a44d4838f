#include "platform/Clock.h"

#include <cmath>
#include <optional>

namespace {
std::optional<QDateTime> fixedLocal;
std::optional<QDateTime> fixedUtc;
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

QDateTime stationUtc(const QDateTime &local, double utcOffsetHours)
{
    // hours × 60 minutes, whole minutes as the date arithmetic of the log uses
    const qint64 minutes = static_cast<qint64>(std::lround(utcOffsetHours * 60.0));
    return local.addSecs(minutes * 60);
}

QDateTime stationUtc(double utcOffsetHours) { return stationUtc(localNow(), utcOffsetHours); }

} // namespace Clock
