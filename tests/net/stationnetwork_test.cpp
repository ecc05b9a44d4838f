// A server and two clients on the loopback interface, each with a host name
// of its own: status, the grids, messages, clock settings, and a raw socket
// that sends what no copy of the program would.
#include "platform/Clock.h"
#include "support/NetPeer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using Pc = NetPeer;

class StationNetworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QDateTime t(QDate(2026, 6, 13), QTime(18, 30, 0));
        Clock::setFixed(t, t);
        server = std::make_unique<Pc>("ham1", 0, "50 M", "CW");
        ASSERT_TRUE(server->net.isServer());
        port = server->net.listeningPort();
        ASSERT_NE(port, 0);
        ham2 = std::make_unique<Pc>("ham2", port, "144 M", "PH");
        ASSERT_TRUE(eventually([&] { return server->net.connectionCount() == 1 && server->shows("ham2"); }));
        ham3 = std::make_unique<Pc>("ham3", port, "432 M", "CW");
        ASSERT_TRUE(eventually([&] { return server->net.connectionCount() == 2 && server->shows("ham3"); }));
    }
    void TearDown() override { Clock::useSystem(); }
    bool everyGrid(const std::function<bool(const Pc &)> &f) const
    {
        return eventually([&] { return f(*server) && f(*ham2) && f(*ham3); });
    }

    quint16 port = 0;
    std::unique_ptr<Pc> server, ham2, ham3;
};

} // namespace

TEST_F(StationNetworkTest, EveryGridFollowsBandAndModeChanges)
{
    using R = StatusGrid::Row;
    EXPECT_TRUE(everyGrid([](const Pc &p) {
        return p.cell("50 M", R::Cw) == "ham1" && p.cell("144 M", R::Phone) == "ham2" &&
               p.cell("432 M", R::Cw) == "ham3";
    }));
    EXPECT_EQ(ham2->net.statusTimer()->interval(), 60000);
    EXPECT_FALSE(ham2->net.reconnectTimer()->isActive());

    // Two stations on 144 M phone: each is warned of the other.
    EXPECT_EQ(ham3->net.alsoOperatingWarning("144 M"), "Be careful, ham2 is also operating on 144 M SSB!");
    ham3->net.setOwnStatus("144 M", "PH");
    EXPECT_TRUE(everyGrid([](const Pc &p) { return p.cell("144 M", R::Phone) == "ham3"; }));
    EXPECT_TRUE(eventually([&] {
        return ham2->net.alsoOperatingWarning("144 M") == "Be careful, ham3 is also operating on 144 M SSB!";
    }));

    // A move leaves the old cell free.
    ham2->net.setOwnStatus("1.3 G", "CW");
    EXPECT_TRUE(everyGrid([](const Pc &p) { return p.cell("1.3 G", R::Cw) == "ham2" && p.cell("432 M", R::Cw).isEmpty(); }));

    // 241 G: in the table, in no cell.
    ham3->net.setOwnStatus("241 G", "CW");
    EXPECT_TRUE(everyGrid([](const Pc &p) { return !p.shows("ham3"); }));
    EXPECT_EQ(server->net.entry(2).band, "241 G");
    EXPECT_TRUE(eventually([&] { return ham2->net.entry(2).band == "241 G" && ham2->net.entry(2).name == "ham3"; }));
}

TEST_F(StationNetworkTest, AClientThatDropsIsClearedAndComesBack)
{
    EXPECT_TRUE(everyGrid([](const Pc &p) { return p.shows("ham3"); }));
    ham3->net.disable();
    EXPECT_TRUE(eventually([&] { return !server->shows("ham3") && !ham2->shows("ham3"); }));
    EXPECT_TRUE(eventually([&] { return server->net.connectionCount() == 1; }));
    EXPECT_TRUE(server->net.entry(2).name.isEmpty());
    EXPECT_FALSE(ham3->shows("ham2"));
    ham3->net.enable();
    EXPECT_TRUE(everyGrid([](const Pc &p) { return p.shows("ham3") && p.shows("ham2") && p.shows("ham1"); }));
    EXPECT_EQ(server->net.connectionCount(), 2);

    // The server goes: the clients clear their grids and keep trying.
    QString shown;
    QObject::connect(&ham2->net, &StationNetwork::statusShown, [&](const QString &s) { shown = s; });
    server.reset();
    EXPECT_TRUE(eventually([&] { return !ham2->shows("ham3") && !ham2->shows("ham1"); }));
    EXPECT_TRUE(ham2->net.reconnectTimer()->isActive());
    EXPECT_FALSE(ham2->net.isConnectedToServer());
    EXPECT_TRUE(shown == "Closed" || shown == "Error") << shown.toStdString();
}

TEST_F(StationNetworkTest, MessagesReachWhomTheyAddress)
{
    ham3->net.setStationName("Tent's PC 42");
    EXPECT_EQ(ham3->net.stationName(), "Tent");
    EXPECT_TRUE(everyGrid([](const Pc &p) { return p.shows("Tent") && !p.shows("ham3"); }));

    const struct {
        Pc *from;
        const char *to;
        const char *text;
        bool atServer, atHam2, atHam3; // addressed there
    } cases[] = {
        {ham2.get(), "Tent", "QSY 432", false, false, true},
        {ham2.get(), "HAM3", "by host name", false, false, true},
        {server.get(), "", "Eat!", false, true, true},
        {ham3.get(), "ham1", "to the server", true, false, false},
        {ham3.get(), "", "Generator off", true, true, false},
    };
    for (const auto &c : cases) {
        for (Pc *p : {server.get(), ham2.get(), ham3.get()})
            p->messages.clear();
        c.from->net.sendMessage(QString::fromUtf8(c.to), QString::fromUtf8(c.text));
        // Everyone but the sender logs it, addressed or not.
        auto got = [&](Pc *p) { return p == c.from || p->messages.size() == 1; };
        ASSERT_TRUE(eventually([&] { return got(server.get()) && got(ham2.get()) && got(ham3.get()); })) << c.text;
        const std::pair<Pc *, bool> expected[] = {{server.get(), c.atServer}, {ham2.get(), c.atHam2}, {ham3.get(), c.atHam3}};
        for (const auto &[p, here] : expected) {
            if (p == c.from) {
                EXPECT_TRUE(p->messages.empty()) << "echoed to the sender: " << c.text;
                continue;
            }
            EXPECT_EQ(p->messages.front().first, QString::fromUtf8(c.text));
            EXPECT_EQ(p->messages.front().second, here) << c.text << " at " << p->host.localName().toStdString();
        }
    }
    EXPECT_TRUE(ham3->log.contains("To: Tent\nFrom: ham2\n18:30:00\nQSY 432\n\n"));
    EXPECT_TRUE(ham2->log.contains("To: Tent\nFrom: ham2\n18:30:00\nQSY 432\n\n"));
}

TEST_F(StationNetworkTest, ClockSettingsSetEveryConnectedPc)
{
    Clock::advance(90 * 1000);
    ham3->clock.refusal = "automatic time synchronisation is on";
    ham2->net.syncClocks();
    const QDateTime sent(QDate(2026, 6, 13), QTime(18, 31, 30));
    ASSERT_TRUE(eventually([&] { return server->clock.set.size() == 1 && ham3->log.contains("was not set"); }));
    EXPECT_EQ(server->clock.set.front(), sent);
    EXPECT_TRUE(ham2->clock.set.empty());
    EXPECT_TRUE(server->log.contains("The clock was set to 2026/06/13 18:31:30 as sent by ham2."));
    EXPECT_TRUE(ham3->log.contains(
        "The clock was not set to 2026/06/13 18:31:30 as sent by ham1: automatic time synchronisation is on."));

    server->net.syncClocks();
    EXPECT_TRUE(eventually([&] { return ham2->clock.set.size() == 1; }));
}

TEST_F(StationNetworkTest, BadInputBreaksNothing)
{
    QTcpSocket raw;
    raw.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(raw.waitForConnected(5000));
    ASSERT_TRUE(eventually([&] { return server->net.connectionCount() == 3; }));
    raw.write(QByteArray("\x00\xff\xfe junk <<>> ", 16) +
              NetRecords::status(0, {"raw", "902 M", "CW", ""}));
    EXPECT_TRUE(everyGrid([](const Pc &p) { return p.cell("902 M", StatusGrid::Cw) == "raw"; }));
    // An unreadable date sets nothing; the connection keeps working.
    raw.write("<Date:>2026/13/45<Time:>18:30:00<Array:0> <Name:raw>: <Bnd:10 G> <Mde: PH> <Opr: > <EOR>");
    EXPECT_TRUE(everyGrid([](const Pc &p) { return p.cell("10 G", StatusGrid::Phone) == "raw"; }));
    EXPECT_TRUE(server->clock.set.empty());
    EXPECT_TRUE(server->log.contains("A clock setting from raw could not be read (2026/13/45 18:30:00)"));
    // A record that never ends closes the connection; the others go on.
    raw.write(QByteArray(1024 * 1024, 'x'));
    EXPECT_TRUE(eventually([&] { return raw.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(everyGrid([](const Pc &p) { return !p.shows("raw") && p.shows("ham2") && p.shows("ham3"); }));

    // A server that sends an index beyond the table.
    QTcpServer fakeServer;
    ASSERT_TRUE(fakeServer.listen(QHostAddress::LocalHost));
    Pc client("ham9", fakeServer.serverPort(), "50 M", "CW");
    ASSERT_TRUE(eventually([&] { return fakeServer.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> peer(fakeServer.nextPendingConnection());
    peer->write("<Array:5000> <Name:far>: <Bnd:144 M> <Mde: CW> <Opr: > <EOR>"
                "<Array:1> <Name:near>: <Bnd:222 M> <Mde: CW> <Opr: > <EOR>");
    EXPECT_TRUE(eventually([&] { return client.shows("near"); }));
    EXPECT_FALSE(client.shows("far"));
    EXPECT_EQ(client.net.maxIndex(), 1);
}
