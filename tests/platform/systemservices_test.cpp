// The system services the station network uses, each played by a stand-in
// on a private bus: setting the clock through systemd's time service (and
// the direct way when it refuses; the real clock is never touched), and the
// computers of the local network as Avahi announces them.
#include "platform/ClockSetter.h"
#include "platform/ComputerBrowser.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QSignalSpy>
#include <QTimer>
#include <QProcess>
#include <QRegularExpression>
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

// Avahi's server object: each browser lists the names given for its type.
class StandInAvahi : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Avahi.Server")
public:
    explicit StandInAvahi(QDBusConnection bus) : m_bus(bus) {}
    QMap<QString, QStringList> names;
    int browsers = 0;

public slots:
    QDBusObjectPath ServiceBrowserNew(int, int, const QString &type, const QString &, uint)
    {
        const QString path = QStringLiteral("/Client1/ServiceBrowser%1").arg(++browsers);
        const QStringList items = names.value(type);
        QTimer::singleShot(0, this, [this, path, type, items] {
            const QString iface = QStringLiteral("org.freedesktop.Avahi.ServiceBrowser");
            for (const QString &n : items) {
                QDBusMessage item = QDBusMessage::createSignal(path, iface, QStringLiteral("ItemNew"));
                item << -1 << 0 << n << type << QStringLiteral("local") << 0u;
                m_bus.send(item);
            }
            m_bus.send(QDBusMessage::createSignal(path, iface, QStringLiteral("AllForNow")));
        });
        return QDBusObjectPath(path);
    }
    QDBusObjectPath EntryGroupNew() { return QDBusObjectPath(QStringLiteral("/Client1/EntryGroup1")); }

private:
    QDBusConnection m_bus;
};

class StandInEntryGroup : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Avahi.EntryGroup")
public:
    QStringList calls;

public slots:
    void Reset() { calls << QStringLiteral("Reset"); }
    void AddService(int, int, uint, const QString &name, const QString &type, const QString &, const QString &,
                    ushort port, const QList<QByteArray> &)
    {
        calls << QStringLiteral("AddService %1 %2 %3").arg(name, type).arg(port);
    }
    void Commit() { calls << QStringLiteral("Commit"); }
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

TEST(ComputerBrowserTest, NamesAsAnnouncedAtMostFifty)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    QDBusConnection service = QDBusConnection::connectToBus(bus.address, QStringLiteral("service"));
    QDBusConnection caller = QDBusConnection::connectToBus(bus.address, QStringLiteral("caller"));

    // No Avahi: an empty list, at once.
    {
        ComputerBrowser browser(caller);
        QSignalSpy found(&browser, &ComputerBrowser::found);
        browser.browse();
        ASSERT_TRUE(found.wait(1000));
        EXPECT_TRUE(found.front().front().toStringList().isEmpty());
    }

    StandInAvahi avahi(service);
    StandInEntryGroup group;
    ASSERT_TRUE(service.registerObject(QStringLiteral("/"), &avahi, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerObject(QStringLiteral("/Client1/EntryGroup1"), &group, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Avahi")));
    QStringList many;
    for (int i = 0; i < 60; ++i)
        many << QStringLiteral("pc%1 [00:11:22:33:44:%2]").arg(i).arg(i, 2, 10, QLatin1Char('0'));
    const struct {
        QStringList workstations, shares, loggers, listed;
    } cases[] = {
        {{"ham1 [00:11:22:33:44:55]", "ham2 [00:11:22:33:44:56]"}, {"HAM1", "nas"}, {"Tent"},
         {"ham1", "ham2", "nas", "Tent"}},
        {many, {"nas"}, {}, many.mid(0, 50).replaceInStrings(QRegularExpression(" \\[.*\\]$"), QString())},
    };
    for (const auto &c : cases) {
        avahi.names = {{"_workstation._tcp", c.workstations}, {"_smb._tcp", c.shares}, {"_halvern._tcp", c.loggers}};
        ComputerBrowser browser(caller);
        QSignalSpy found(&browser, &ComputerBrowser::found);
        browser.browse();
        ASSERT_TRUE(found.wait(5000));
        EXPECT_EQ(found.front().front().toStringList(), c.listed);
    }

    // This PC's listener is announced under the station's name.
    ComputerBrowser announcer(caller);
    announcer.announce(QStringLiteral("Tent"), 41001);
    ASSERT_TRUE(QTest::qWaitFor([&] { return group.calls.size() == 3; }, 5000)) << group.calls.join(u',').toStdString();
    EXPECT_EQ(group.calls, QStringList({"Reset", "AddService Tent _halvern._tcp 41001", "Commit"}));
}

#include "systemservices_test.moc"
