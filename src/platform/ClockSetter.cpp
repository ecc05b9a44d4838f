#include "platform/ClockSetter.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace {

int setRealtimeClock(qint64 usecUtc)
{
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(usecUtc / 1000000);
    ts.tv_nsec = static_cast<long>((usecUtc % 1000000) * 1000);
    return clock_settime(CLOCK_REALTIME, &ts) == 0 ? 0 : errno;
}

} // namespace

SystemClockSetter::SystemClockSetter(const QDBusConnection &bus, DirectSetter direct)
    : m_bus(bus), m_direct(direct ? std::move(direct) : DirectSetter(setRealtimeClock))
{
}

void SystemClockSetter::setLocalTime(const QDateTime &local, std::function<void(const QString &)> done)
{
    QDateTime when(local.date(), local.time(), Qt::LocalTime);
    const qint64 usec = when.toMSecsSinceEpoch() * 1000;
    auto direct = [this, usec, done](const QString &serviceWhy) {
        const int err = m_direct(usec);
        if (err == 0)
            done(QString());
        else
            done(serviceWhy + QStringLiteral("; setting it directly: ") + QString::fromLocal8Bit(std::strerror(err)));
    };
    if (!m_bus.isConnected()) {
        direct(QStringLiteral("the system's time service cannot be reached"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("SetTime"));
    // Absolute time; the policy may ask the user for a password.
    call << usec << false << true;
    call.setInteractiveAuthorizationAllowed(true);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 120000), &m_context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_context,
                     [watcher, done, direct](QDBusPendingCallWatcher *) {
                         watcher->deleteLater();
                         const QDBusPendingReply<> reply = *watcher;
                         if (!reply.isError()) {
                             done(QString());
                             return;
                         }
                         const QDBusError e = reply.error();
                         if (e.name() == QLatin1String("org.freedesktop.timedate1.AutomaticTimeSyncEnabled")) {
                             done(QStringLiteral("automatic time synchronisation is on and refuses a manual "
                                                 "time (turn it off with: timedatectl set-ntp false)"));
                             return;
                         }
                         direct(QStringLiteral("the time service refused (") + e.message() + u')');
                     });
}
