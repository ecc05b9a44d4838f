// Setting the clock through a stand-in for systemd's time service on a
// private bus, and the direct way when the service refuses. The real clock
// is never touched.
#include "platform/ClockSetter.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QProcess>
#include <QTest>
#include <cerrno>
#include <gtest/gtest.h>

class StandInTimeService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.timedate1")
public:
    QString errorName, errorText;
    std::vector<qlonglong> times;
    bool relative = true, interactive = false;

public slots:
    void SetTime(qlonglong usecUtc, bool rel, bool inter)
    {
        if (!errorName.isEmpty()) {
            sendErrorReply(errorName, errorText);
            return;
        }
        times.push_back(usecUtc);
        relative = rel;
        interactive = inter;
    }
};

namespace {

struct PrivateBus {
    PrivateBus()
    {
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!daemon.waitForStarted(5000))
            return;
        if (!QTest::qWaitFor([this] { return daemon.canReadLine(); }, 5000))
            return;
        address = QString::fromUtf8(daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("caller"));
        daemon.kill();
        daemon.waitForFinished(5000);
    }
    QProcess daemon;
    QString address;
};

} // namespace

TEST(ClockSetterTest, TimeServiceAndDirectSetting)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    QDBusConnection service = QDBusConnection::connectToBus(bus.address, QStringLiteral("service"));
    QDBusConnection caller = QDBusConnection::connectToBus(bus.address, QStringLiteral("caller"));
    ASSERT_TRUE(service.isConnected() && caller.isConnected());
    StandInTimeService standIn;
    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/timedate1"), &standIn,
                                       QDBusConnection::ExportAllSlots));

    const QDateTime local(QDate(2026, 6, 13), QTime(18, 30, 5));
    const qlonglong usec = QDateTime(local.date(), local.time(), Qt::LocalTime).toMSecsSinceEpoch() * 1000;
    const struct {
        bool registered;
        const char *errorName;
        int directResult; // -1: the direct way must not be tried
        const char *why;
    } cases[] = {
        {true, "", -1, ""},
        {true, "org.freedesktop.timedate1.AutomaticTimeSyncEnabled", -1,
         "automatic time synchronisation is on and refuses a manual time (turn it off with: timedatectl set-ntp "
         "false)"},
        {true, "org.freedesktop.DBus.Error.AccessDenied", EPERM,
         "the time service refused (Permission denied); setting it directly: Operation not permitted"},
        {true, "org.freedesktop.DBus.Error.AccessDenied", 0, ""},
        {false, "", EPERM, "setting it directly: Operation not permitted"},
    };
    for (const auto &c : cases) {
        if (c.registered)
            ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.timedate1")));
        else
            service.unregisterService(QStringLiteral("org.freedesktop.timedate1"));
        standIn.times.clear();
        standIn.errorName = QString::fromUtf8(c.errorName);
        standIn.errorText = QStringLiteral("Permission denied");
        std::vector<qint64> direct;
        SystemClockSetter setter(caller, [&](qint64 u) {
            direct.push_back(u);
            return c.directResult;
        });
        bool finished = false;
        QString why;
        setter.setLocalTime(local, [&](const QString &w) {
            finished = true;
            why = w;
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished; }, 10000)) << c.errorName;
        if (*c.why)
            EXPECT_TRUE(why.endsWith(QString::fromUtf8(c.why))) << why.toStdString();
        else
            EXPECT_TRUE(why.isEmpty()) << why.toStdString();
        if (c.directResult < 0) {
            EXPECT_TRUE(direct.empty());
        } else {
            ASSERT_EQ(direct.size(), 1u);
            EXPECT_EQ(direct.front(), usec);
        }
        if (c.registered && !*c.errorName) {
            ASSERT_EQ(standIn.times.size(), 1u);
            EXPECT_EQ(standIn.times.front(), usec);
            EXPECT_FALSE(standIn.relative);
            EXPECT_TRUE(standIn.interactive);
        }
    }

    // No bus at all: the direct way alone.
    std::vector<qint64> direct;
    SystemClockSetter offline(QDBusConnection(QStringLiteral("no such bus")), [&](qint64 u) {
        direct.push_back(u);
        return EPERM;
    });
    QString why;
    offline.setLocalTime(local, [&](const QString &w) { why = w; });
    EXPECT_EQ(why, "the system's time service cannot be reached; setting it directly: Operation not permitted");
    EXPECT_EQ(direct.size(), 1u);
}

#include "clocksetter_test.moc"
