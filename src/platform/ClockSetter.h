#pragma once
// Setting this PC's clock, which the system guards. The program asks
// systemd's time service over D-Bus (the system's policy decides, and may ask
// for a password); where that is not possible it sets the clock itself if the
// process holds the capability to. Tests talk to a stand-in time service on a
// private bus and never reach the real clock.
#include <QDBusConnection>
#include <QDateTime>
#include <QObject>
#include <functional>

class ClockSetter {
public:
    virtual ~ClockSetter() = default;
    // Sets the local date and time; done gets an empty text on success and
    // the reason otherwise. It may be called after the event loop ran.
    virtual void setLocalTime(const QDateTime &local, std::function<void(const QString &why)> done) = 0;
};

class SystemClockSetter : public ClockSetter {
public:
    // The last resort, given microseconds since the epoch in UTC: returns 0 or
    // an errno value. By default clock_settime on the real-time clock.
    using DirectSetter = std::function<int(qint64 usecUtc)>;

    explicit SystemClockSetter(const QDBusConnection &bus = QDBusConnection::systemBus(),
                               DirectSetter direct = nullptr);
    void setLocalTime(const QDateTime &local, std::function<void(const QString &why)> done) override;

private:
    QDBusConnection m_bus;
    DirectSetter m_direct;
    QObject m_context;
};
