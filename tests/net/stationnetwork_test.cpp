// The station network: its records on the wire, byte for byte, and their
// framing from a stream that splits and joins them as TCP may; the status
// grid and its warning; then a server and two clients on the loopback
// interface, each with a host name of its own: status, the grids, messages,
// clock settings, and a raw socket that sends what no copy of the program
// would.
#include "net/NetRecords.h"
#include "net/StatusGrid.h"
#include "platform/Clock.h"
#include "support/NetPeer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace NetRecords;

TEST(NetRecords, RecordsAreWrittenByteForByte)
{
    const struct {
        QByteArray got;
        QByteArray want;
    } cases[] = {
        {status(0, {"ham2", "144 M", "PH", ""}), "<Array:0> <Name:ham2>: <Bnd:144 M> <Mde: PH> <Opr: > <EOR>"},
        {status(17, {"Tent", "1.3 G", "CW", "K1ABC"}),
         "<Array:17> <Name:Tent>: <Bnd:1.3 G> <Mde: CW> <Opr: K1ABC> <EOR>"},
        {message("ham1", "ham3", "QSY 432"), "<MessageFrom>ham1<MessageTo> ham3<MessageText>QSY 432\r\n\r\n<EOR>"},
        {message("ham1", "", "Eat!"), "<MessageFrom>ham1<MessageTo> <MessageText>Eat!\r\n\r\n<EOR>"},
        {clock(QDateTime(QDate(2026, 6, 13), QTime(7, 5, 9))), "<Date:>2026/06/13<Time:>07:05:09"},
        // Text beyond ASCII travels as UTF-8.
        {message("Zoë", "", "Grüße"),
         QByteArray("<MessageFrom>Zo\xc3\xab<MessageTo> <MessageText>Gr\xc3\xbc\xc3\x9f" "e\r\n\r\n<EOR>")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(NetRecords, FieldsAreFoundByTheirTags)
{
    const struct {
        const char *record;
        int index;
        StationEntry entry;
    } cases[] = {
        {"<Array:3> <Name:ham3>: <Bnd:432 M> <Mde: CW> <Opr: > <EOR>", 3, {"ham3", "432 M", "CW", ""}},
        {"<Array:0> <Name: Tent >: <Bnd:241 G> <Mde: DIG> <Opr: W1AW> <EOR>", 0, {"Tent", "241 G", "DIG", "W1AW"}},
        // Missing tags empty their fields; no index is no index.
        {"<Name:solo> <EOR>", -1, {"solo", "", "", ""}},
        {"garbage without tags<EOR>", -1, {}},
        {"<Array:x> <Bnd:50 M> <EOR>", -1, {"", "50 M", "", ""}},
        {"<Array:5000> <Name:far>: <EOR>", 5000, {"far", "", "", ""}},
    };
    for (const auto &c : cases) {
        const QString r = QString::fromUtf8(c.record);
        EXPECT_EQ(indexOf(r), c.index) << c.record;
        EXPECT_EQ(parseStatus(r), c.entry) << c.record;
        EXPECT_EQ(kindOf(r), Kind::Status);
    }
    const Message m = parseMessage(QString::fromUtf8(message("ham1", "ham3", "QSY 432")));
    EXPECT_EQ(m.from, "ham1");
    EXPECT_EQ(m.to, "ham3");
    EXPECT_EQ(m.text, "QSY 432");
}

TEST(NetRecords, ClockSettingsAndStationNames)
{
    const struct {
        const char *record;
        QDate date;
        QTime time;
    } clocks[] = {
        {"<Date:>2026/06/13<Time:>18:30:05", {2026, 6, 13}, {18, 30, 5}},
        {"<Date:>2026/6/3<Time:>6:30:05 PM", {2026, 6, 3}, {18, 30, 5}},
        {"<Date:>2026/13/45<Time:>18:30:05", {}, {18, 30, 5}},
        {"<Date:>2026/06/13<Time:>25:99:00", {2026, 6, 13}, {}},
    };
    for (const auto &c : clocks) {
        const ClockSetting s = parseClock(QString::fromUtf8(c.record));
        EXPECT_EQ(s.date, c.date) << c.record;
        EXPECT_EQ(s.time, c.time) << c.record;
    }
    const std::pair<const char *, const char *> names[] = {
        {"Tent's PC 42", "Tent"}, {"  ham2  ", "ham2"}, {"ABCDEFGHIJKLMN", "ABCDEFGHIJ"}, {"'quoted", ""}};
    for (const auto &[typed, name] : names)
        EXPECT_EQ(stationName(QString::fromUtf8(typed)), QString::fromUtf8(name));
}

TEST(NetRecords, RecordsSplitAnywhereOrJoinedComeOutWhole)
{
    const QByteArray stream = status(0, {"ham1", "144 M", "PH", ""}) + status(2, {"ham3", "432 M", "CW", ""}) +
                              message("ham1", "", "two\r\nlines") + clock(QDateTime(QDate(2026, 6, 13), QTime(18, 30, 5))) +
                              status(1, {"ham2", "50 M", "CW", ""});
    const std::vector<QString> want = Framer().feed(stream);
    ASSERT_EQ(want.size(), 5u);
    EXPECT_EQ(kindOf(want[2]), Kind::Message);
    EXPECT_EQ(kindOf(want[3]), Kind::Clock);
    EXPECT_EQ(want[3], "<Date:>2026/06/13<Time:>18:30:05");
    // Split in two at every byte, and fed one byte at a time.
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        Framer f;
        std::vector<QString> got = f.feed(stream.left(cut));
        for (const QString &r : f.feed(stream.mid(cut)))
            got.push_back(r);
        EXPECT_EQ(got, want) << "cut at " << cut;
    }
    Framer bytewise;
    std::vector<QString> got;
    for (char ch : stream)
        for (const QString &r : bytewise.feed(QByteArray(1, ch)))
            got.push_back(r);
    EXPECT_EQ(got, want);
    EXPECT_EQ(bytewise.pending(), 0);
}

TEST(NetRecords, AnEndlessRecordIsDropped)
{
    Framer f;
    EXPECT_TRUE(f.feed(QByteArray(BufferLimit, 'x')).empty());
    EXPECT_FALSE(f.overflowed());
    EXPECT_TRUE(f.feed("y").empty());
    EXPECT_TRUE(f.overflowed());
    EXPECT_EQ(f.pending(), 0);
}

TEST(StatusGridTest, PlacingMovingAndWarning)
{
    StatusGrid g;
    const int col144 = StatusGrid::columnOf("144 M"), col432 = StatusGrid::columnOf("432 M");
    g.place("ham2", "144 M", "CW");
    EXPECT_TRUE(g.cell(col144, StatusGrid::Cw).occupied);
    // Moving: cleared from the old cell, placed in the new one.
    g.clearStation("HAM2");
    g.place("ham2", "432 M", "PH");
    EXPECT_FALSE(g.cell(col144, StatusGrid::Cw).occupied);
    EXPECT_EQ(g.cell(col432, StatusGrid::Phone).name, "ham2");
    // Bands above 120 GHz and unknown modes have no cell.
    EXPECT_EQ(StatusGrid::columnOf("241 G"), -1);
    EXPECT_EQ(StatusGrid::columnOf("120 G"), 13);
    StatusGrid before = g;
    g.place("far", "241 G", "CW");
    g.place("odd", "50 M", "FM");
    for (int c = 0; c < StatusGrid::Columns; ++c)
        for (int r = 0; r < StatusGrid::Rows; ++r)
            EXPECT_EQ(g.cell(c, r).name, before.cell(c, r).name);

    const struct {
        const char *band;
        const char *own;
        const char *warning;
    } warnings[] = {
        {"432 M", "ham3", "Be careful, ham2 is also operating on 432 M SSB!"},
        {"432 M", "ham2", ""},
        {"144 M", "ham3", ""},
        {"241 G", "ham3", ""},
    };
    for (const auto &w : warnings)
        EXPECT_EQ(g.alsoOperatingWarning(w.band, w.own), QString::fromUtf8(w.warning)) << w.band << w.own;
    g.place("ham4", "432 M", "DIG");
    EXPECT_EQ(g.alsoOperatingWarning("432 M", "ham3"), "Be careful, ham4 is also operating on 432 M on digital!");
    g.clear();
    EXPECT_FALSE(g.cell(col432, StatusGrid::Phone).occupied);
}

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
