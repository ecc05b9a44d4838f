// Spot text and the spot store without a source: text from a source into
// lines and through the line rules (the same lines whatever chunks a cluster
// session arrives in, spot lines handed on, repeats dropped, "DX Only"
// keeping the rest out, a prompt shown before its line ends, the shown text
// capped); the store on a fixed clock and what the band map makes of it
// (scale, labels, age colours), eviction, re-spots, the own-call warning and
// the prefixes shown on the labels; and the spot sources as the spotting
// session opens them: a packet engine's AGW interface (the real Direwolf
// decoding a packet's audio, and a test engine for the connected mode), and
// a TNC on a pseudo-terminal.
#include "platform/Clock.h"
#include "platform/SerialPorts.h"
#include "spots/SpotFeed.h"
#include "spots/SpotLines.h"
#include "spots/SpotSession.h"
#include "spots/SpotStore.h"
#include "support/PtyPair.h"
#include "support/ScriptedDialogs.h"
#include "support/TestLog.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// A node's greeting with telnet negotiation, a login, a talk line, spots with
// every kind of line end, and a prompt without one.
const QByteArray NodeText = QByteArray(
    "\xff\xfb\x01\xff\xfd\x03Welcome to the W3LPL cluster\r\n\r\nlogin: K1ABC\r\n"
    "Hello Pat, this is W3LPL-2 in Glenwood\r\n"
    "DX de W1AW:     144200.0  K2XYZ        FN20 tropo into FN42          1801Z\r\n"
    "DX de N2ABC:     50125.0  CT1XYZ       ES                            1802Z\n"
    "\xff\xfa\x18\x01\xff\xf0WX de K1TTT: overcast\r"
    "DX de VE3XX:    432100.0  VE3/K1ABC    JT65 \xff\xff bytes               1803Z\r"
    "K1ABC de W3LPL-2 6-Jun-2026 1803Z >");

const QStringList NodeLines{
    "Welcome to the W3LPL cluster",
    "",
    "login: K1ABC",
    "Hello Pat, this is W3LPL-2 in Glenwood",
    "DX de W1AW:     144200.0  K2XYZ        FN20 tropo into FN42          1801Z",
    "DX de N2ABC:     50125.0  CT1XYZ       ES                            1802Z",
    "WX de K1TTT: overcast",
    QStringLiteral("DX de VE3XX:    432100.0  VE3/K1ABC    JT65 ") + QChar(0xFF) +
        QStringLiteral(" bytes               1803Z"),
};

const QDateTime Start(QDate(2026, 6, 13), QTime(14, 0, 0));

struct FixedClock {
    FixedClock() { Clock::setFixed(Start, Start.addSecs(4 * 3600)); }
    ~FixedClock() { Clock::useSystem(); }
};

QString spotRecord(const QString &call, const QString &khz)
{
    return QStringLiteral("de W3LPL:     %1  %2").arg(khz, 8).arg(call, -13) + QStringLiteral("CW 599");
}

void add(SpotStore &s, const QString &call, const QString &khz) { s.add(call, khz, spotRecord(call, khz)); }

const QString SpotText = QStringLiteral("DX de W1AW:     144200.0  K2XYZ        FN20 tropo into FN42          1801Z");

bool eventually(const std::function<bool()> &condition) { return QTest::qWaitFor(condition, 15000); }

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

struct Session {
    explicit Session(SpotSettings::Source source)
    {
        settings.source = source;
        session.ownCall = [] { return QStringLiteral("K1ABC"); };
    }
    QString text() const { return session.feed().text(); }
    bool stored(const QString &call) const
    {
        for (int i = 0; i < SpotStore::Size; ++i)
            if (store.at(i).call == call)
                return true;
        return false;
    }
    ScriptedDialogs dialogs;
    SpotSettings settings;
    SpotStore store;
    SpotSession session{settings, store, nullptr, nullptr};
};

// A packet engine of the test's own on the AGW interface: it accepts the
// call, tells its version, and records the frames it is sent.
struct TestEngine {
    TestEngine()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            client = server.nextPendingConnection();
            QObject::connect(client, &QTcpSocket::readyRead, [this] {
                in += client->readAll();
                bool tooLarge = false;
                while (auto f = AgwFrame::take(in, &tooLarge)) {
                    frames.append(*f);
                    if (f->kind == 'X')
                        reply('X', f->from, {}, QByteArray(1, 1));
                    else if (f->kind == 'R')
                        reply('R', {}, {}, QByteArray("\x06\0\0\0\x02\0\0\0", 8));
                }
            });
        });
    }
    void reply(char kind, const QString &from, const QString &to, const QByteArray &data)
    {
        AgwFrame f;
        f.kind = kind;
        f.from = from;
        f.to = to;
        f.data = data;
        client->write(f.encode());
    }
    QString kinds() const
    {
        QString k;
        for (const AgwFrame &f : frames)
            k += QLatin1Char(f.kind);
        return k;
    }
    QTcpServer server;
    QTcpSocket *client = nullptr;
    QByteArray in;
    QList<AgwFrame> frames;
};
} // namespace

TEST(SpotLines, TheSameLinesWhateverTheChunks)
{
    auto *random = QRandomGenerator::global();
    for (int round = 0; round < 200; ++round) {
        TelnetFilter telnet;
        LineSplitter splitter;
        QStringList lines;
        for (qsizetype at = 0; at < NodeText.size();) {
            const qsizetype n = round == 0 ? NodeText.size() : 1 + random->bounded(round % 2 ? 3 : 40);
            lines += splitter.feed(telnet.filter(NodeText.mid(at, n)));
            at += n;
        }
        ASSERT_EQ(lines, NodeLines) << "round " << round;
        EXPECT_EQ(splitter.openLine(), "K1ABC de W3LPL-2 6-Jun-2026 1803Z >");
    }
}

TEST(SpotLines, FixedColumnsOfASpotLine)
{
    const QString spot = NodeLines.at(4);
    EXPECT_TRUE(SpotLine::isSpot(spot));
    EXPECT_TRUE(SpotLine::isSpot("dx de x"));
    EXPECT_FALSE(SpotLine::isSpot(" DX de"));
    EXPECT_EQ(SpotLine::frequencyText(spot), "144200.0");
    EXPECT_EQ(SpotLine::call(spot), "K2XYZ");
    EXPECT_EQ(SpotLine::record(spot), spot.mid(3));
    // Short lines give what they hold.
    EXPECT_EQ(SpotLine::frequencyText("DX de X:        14"), "14");
    EXPECT_EQ(SpotLine::call("DX de X:  14025"), "");
}

TEST(SpotFeed, LineRules)
{
    const QString spot = QStringLiteral("DX de W1AW:     144200.0  K2XYZ        tropo         1801Z");
    const QByteArray spotLine = spot.toLatin1() + "\r";
    struct Case {
        const char *what;
        bool dxOnly;
        QList<QByteArray> chunks;
        QString shown;
        int spots;
    };
    const Case cases[] = {
        {"a prompt shows before its line ends", false, {"login: "}, "login: ", 0},
        {"the rest of a shown prompt follows it", false, {"login: ", "K1ABC\r\n"}, "login: K1ABC\n", 0},
        {"a spot split in two", false, {spotLine.left(20), spotLine.mid(20)}, spot + u'\n', 1},
        {"a repeated spot is dropped", false, {spotLine, spotLine}, spot + u'\n', 1},
        {"a repeated talk line is dropped", false, {"hi\rhi\r"}, "hi\n", 0},
        {"the repeat after 800 characters", false,
         {spotLine, QByteArray(801, 'x') + "\r", spotLine},
         spot + u'\n' + QString(801, u'x') + u'\n' + spot + u'\n', 2},
        {"DX Only keeps prompts and talk out", true, {"hi there\r", "login: ", "\r\n", spotLine}, spot + u'\n', 1},
        {"blank lines are not shown", false, {"\r\n\r\n\n"}, "", 0},
    };
    for (const Case &c : cases) {
        SpotFeed feed;
        feed.setDxOnly(c.dxOnly);
        int spots = 0;
        feed.onSpot = [&](const QString &call, const QString &frequency, const QString &record) {
            ++spots;
            EXPECT_EQ(call, "K2XYZ");
            EXPECT_EQ(frequency, "144200.0");
            EXPECT_EQ(record, spot.mid(3));
        };
        for (const QByteArray &chunk : c.chunks)
            feed.feed(chunk);
        EXPECT_EQ(feed.text(), c.shown) << c.what;
        EXPECT_EQ(spots, c.spots) << c.what;
    }
}

TEST(SpotFeed, TheShownTextStaysCapped)
{
    SpotFeed feed;
    for (int i = 0; i < 400; ++i) {
        feed.feed(QByteArray::number(i).rightJustified(60, '.') + "\r\n");
        ASSERT_LE(feed.text().size(), SpotFeed::TextLimit);
    }
    EXPECT_GE(feed.text().size(), SpotFeed::TextKept);
    EXPECT_TRUE(feed.text().endsWith(QByteArray::number(399).rightJustified(60, '.') + "\n"));
}

TEST(SpotStore, CallPrefixes)
{
    const std::pair<const char *, const char *> cases[] = {
        {"JA1XYZ", "JA1"}, {"K1ABC", "K1"},   {"4X4AB", "4X4"}, {"VE3/K1ABC", "VE3"},
        {"K1ABC/P", "P"},  {"K1ABC/4", "K4"}, {"K1", ""},       {"ABCD", "ABCD"},
    };
    for (const auto &[call, prefix] : cases)
        EXPECT_EQ(SpotMap::callPrefix(QLatin1String(call)), QLatin1String(prefix)) << call;
}

TEST(SpotStore, ScaleOfTheBandMap)
{
    FixedClock clock;
    struct Case {
        const char *band;
        QStringList khz;
        QStringList marks; // the ends, or all five
    };
    const Case cases[] = {
        {"144 M", {"144200", "144300"}, {"144.199", "144.301"}},
        {"144 M", {"144200"}, {"144.000", "145.000", "146.000", "147.000", "148.000"}},
        {"144 M", {"144200", "144200.0"}, {"144.000", "148.000"}},
        {"432 M", {"144200", "432100", "50125"}, {"420.000", "427.500", "435.000", "442.500", "450.000"}},
        {"24 G", {"24048000"}, {"0.000", "0.000"}},
    };
    for (const Case &c : cases) {
        SpotStore s;
        for (int i = 0; i < c.khz.size(); ++i)
            add(s, QStringLiteral("K%1ABC").arg(i), c.khz[i]);
        const SpotMap::Scale scale = SpotMap::scale(QLatin1String(c.band), s);
        QStringList marks;
        for (int k = 0; k < 5; k += c.marks.size() == 2 ? 4 : 1)
            marks << scale.markText(k);
        EXPECT_EQ(marks, c.marks) << c.band << " " << c.khz.join(u' ').toStdString();
    }
}

TEST(SpotStore, AgesEvictionRespotsAndRemoval)
{
    FixedClock clock;
    SpotStore s;
    QSignalSpy changed(&s, &SpotStore::spotsChanged);
    // Arrivals 65, 25 and 5 minutes before the map is drawn.
    add(s, "W1OLD", "144150");
    Clock::advance(40 * 60 * 1000);
    add(s, "W2MID", "144160");
    Clock::advance(20 * 60 * 1000);
    add(s, "W3NEW", "144170");
    Clock::advance(5 * 60 * 1000);
    auto drawn = [&] {
        QStringList out;
        const auto labels = SpotMap::labels(s, SpotMap::scale("144 M", s), Clock::localNow(), 4);
        for (const auto &l : labels)
            out << l.caption + u' ' + l.colour.name();
        return out;
    };
    EXPECT_EQ(drawn(), (QStringList{"W3 #ffff80", "W2 #ffffff"}));
    const auto first = SpotMap::labels(s, SpotMap::scale("144 M", s), Clock::localNow(), 4).first();
    EXPECT_EQ(first.toolTip, "W3NEW  144.170  19:00:00");
    EXPECT_EQ(changed.count(), 3);

    // The same call again: only the newer shows.
    add(s, "W2MID", "144180");
    EXPECT_EQ(s.at(SpotStore::Size - 3).mhz, 0.0f);
    EXPECT_EQ(drawn(), (QStringList{"W2 #ffff80", "W3 #ffff80"}));
    // A left click takes it off.
    s.remove(SpotStore::Size - 1);
    EXPECT_EQ(drawn(), (QStringList{"W3 #ffff80"}));

    // 47 more: the first spot is the 51st back and has gone.
    for (int i = 0; i < 47; ++i)
        add(s, QStringLiteral("N%1X").arg(i), "50100");
    EXPECT_EQ(s.at(0).call, "W2MID");
    add(s, "N99X", "50100");
    EXPECT_EQ(s.at(0).call, "W3NEW");
    EXPECT_EQ(s.at(SpotStore::Size - 1).call, "N99X");
}

TEST(SpotStore, OwnCallSpottedEvenWithAGarbledFrequency)
{
    FixedClock clock;
    SpotStore s;
    s.setOwnCall("K1ABC");
    QSignalSpy warned(&s, &SpotStore::ownCallSpotted);
    QSignalSpy changed(&s, &SpotStore::spotsChanged);
    EXPECT_FALSE(s.add("k1abc", "14O25.0", "de W3LPL:  14O25.0  k1abc\rtrailer"));
    ASSERT_EQ(warned.count(), 1);
    EXPECT_EQ(warned.at(0).at(0).toString(), "de W3LPL:  14O25.0  k1abc\rtrailer");
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(s.add("W1AW", "144200.5", spotRecord("W1AW", "144200.5")));
    EXPECT_EQ(warned.count(), 1);
    EXPECT_FLOAT_EQ(s.at(SpotStore::Size - 1).mhz, 144.2005f);
}

TEST(SpotStore, ListColumnsOfAClusterLine)
{
    // The columns as a cluster lays out its spot line, after "DX ".
    const QString line = QStringLiteral(
        "DX de W3LPL:    144200.0  K1ABC        CW 599 loud tropo              1234Z FM19");
    const QString record = line.mid(3).trimmed();
    const QStringList columns = SpotMap::listColumns(record);
    EXPECT_EQ(columns.at(2), "de W3LPL:  CW 599 loud tropo");
    EXPECT_EQ(columns.at(4), "1234");
    EXPECT_EQ(columns.at(5), "FM19");
    // A short record gives empty columns, not a fault.
    EXPECT_EQ(SpotMap::listColumns("de X:").at(4), "");
}

TEST(AgwSource, DirewolfDecodesASpotFromItsAudio)
{
    const QString direwolf = QStandardPaths::findExecutable("direwolf");
    const QString generator = QStandardPaths::findExecutable("gen_packets");
    ASSERT_FALSE(direwolf.isEmpty() || generator.isEmpty()) << "the direwolf package is needed";
    QTemporaryDir dir;
    const quint16 port = freePort();
    // No sound card: the audio comes in on standard input.
    const QString config = dir.filePath("direwolf.conf"), packet = dir.filePath("packet.txt");
    ASSERT_TRUE(writeBytes(config, QStringLiteral("ADEVICE stdin null\nARATE 44100\nCHANNEL 0\nMODEM 1200\n"
                                                  "AGWPORT %1\nKISSPORT 0\n").arg(port).toLatin1()));
    ASSERT_TRUE(writeBytes(packet, "W1AW>DX:" + SpotText.toLatin1() + "\n"));
    QProcess gen;
    gen.start(generator, {"-o", dir.filePath("packet.wav"), packet});
    ASSERT_TRUE(gen.waitForFinished(30000));
    const QByteArray audio = readAll(dir.filePath("packet.wav")).mid(44);

    QProcess engine;
    engine.setProcessChannelMode(QProcess::MergedChannels);
    engine.start(direwolf, {"-c", config, "-t", "0", "-"});
    QByteArray said;
    ASSERT_TRUE(eventually([&] {
        said += engine.readAll();
        return said.contains("Ready to accept AGW client");
    })) << said.toStdString();

    Session s(SpotSettings::Source::Agw);
    s.settings.agwPort = port;
    s.session.open();
    // The version comes back after the registration and the monitoring request.
    ASSERT_TRUE(eventually([&] { return !s.session.agw().version().isEmpty(); })) << s.text().toStdString();
    EXPECT_TRUE(s.text().contains("** Successfully connected to AGW Packet Engine **"));
    EXPECT_TRUE(s.session.isListening());

    engine.write(audio + QByteArray(44100, '\0'));
    EXPECT_TRUE(eventually([&] { return s.stored("K2XYZ"); })) << s.text().toStdString();
    EXPECT_FLOAT_EQ(s.store.at(SpotStore::Size - 1).mhz, 144.2f);
    // The monitor line ahead of the text is shown too.
    EXPECT_TRUE(s.text().contains("Fm W1AW To DX")) << s.text().toStdString();
    EXPECT_TRUE(s.text().contains(SpotText + u'\n'));
    s.session.close();
    engine.kill();
    engine.waitForFinished(5000);
}

TEST(AgwSource, ConnectedModeThroughTheEngine)
{
    TestEngine engine;
    Session s(SpotSettings::Source::Agw);
    s.settings.agwPort = engine.server.serverPort();
    s.session.open();
    ASSERT_TRUE(eventually([&] { return s.session.agw().version() == "6.2"; }));
    EXPECT_EQ(engine.kinds(), "XmR");
    EXPECT_EQ(engine.frames.at(0).from, "K1ABC");

    QStringList captions;
    QObject::connect(&s.session, &SpotSession::captionChanged, [&](const QString &c) { captions << c; });
    s.session.send(":C");
    EXPECT_EQ(s.dialogs.last().title, "Call sign Required");
    EXPECT_EQ(s.dialogs.last().text, "You must enter a call sign to connect to such as :C Tarnwick");
    s.session.send(":c w3lpl-2");
    ASSERT_TRUE(eventually([&] { return engine.kinds() == "XmRC"; }));
    EXPECT_EQ(engine.frames.last().to, "W3LPL-2");

    engine.reply('C', "W3LPL-2", "K1ABC", "*** CONNECTED With W3LPL-2\r");
    ASSERT_TRUE(eventually([&] { return s.session.connectedCall() == "W3LPL-2"; }));
    EXPECT_TRUE(s.text().contains("** Connected to W3LPL-2 **"));
    s.session.send("SH/DX");
    ASSERT_TRUE(eventually([&] { return engine.kinds() == "XmRCD"; }));
    EXPECT_EQ(engine.frames.last().data, "SH/DX\r");
    EXPECT_EQ(engine.frames.last().to, "W3LPL-2");
    // Several frames waiting at one tick are all taken.
    engine.reply('D', "W3LPL-2", "K1ABC", SpotText.left(30).toLatin1());
    engine.reply('D', "W3LPL-2", "K1ABC", SpotText.mid(30).toLatin1() + "\r");
    engine.reply('D', "W3LPL-2", "K1ABC", "K1ABC de W3LPL-2 >\r");
    ASSERT_TRUE(eventually([&] { return s.text().contains("K1ABC de W3LPL-2 >"); }));
    EXPECT_TRUE(s.stored("K2XYZ"));

    s.session.send(":d");
    ASSERT_TRUE(eventually([&] { return engine.kinds() == "XmRCDd"; }));
    engine.reply('d', "W3LPL-2", "K1ABC", "*** DISCONNECTED From Station W3LPL-2\r");
    ASSERT_TRUE(eventually([&] { return s.session.connectedCall().isEmpty(); }));
    EXPECT_TRUE(s.text().contains("** Disconnected from W3LPL-2 **"));
    EXPECT_EQ(captions, (QStringList{"DX Spotting Setup - Connected to W3LPL-2", "DX Spotting Setup"}));

    // A frame that announces more than 64 KiB ends the connection.
    QByteArray huge = AgwFrame{0, 'D', 0, "W3LPL-2", "K1ABC", {}}.encode();
    huge[28] = '\0';
    huge[29] = '\0';
    huge[30] = '\x02'; // 128 KiB
    engine.client->write(huge);
    ASSERT_TRUE(eventually([&] { return !s.session.isListening(); }));
    EXPECT_EQ(s.dialogs.last().title, "Unable to connect to the AGW Packet Engine.");
}

TEST(TncSource, LinesRepeatsAndDxOnlyOnAPseudoTerminal)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ready);
    QSerialPort tnc(pty.peer);
    ASSERT_TRUE(tnc.open(QIODevice::ReadWrite));
    SerialPorts::mapPort(7, pty.dev);

    Session s(SpotSettings::Source::Tnc);
    s.settings.port = 7;
    s.settings.handshake = 1;
    s.session.open();
    ASSERT_TRUE(s.session.isListening()) << s.dialogs.last().text.toStdString();
    EXPECT_TRUE(s.text().endsWith("** TNC Serial Port Open **\n\n"));
    // The TNC ends its lines with CR alone and repeats what digipeaters relay.
    const QByteArray monitor = "W1AW>DX,WIDE2-1:\r" + SpotText.toLatin1() + "\r";
    tnc.write(monitor + "cmd:\r" + monitor);
    ASSERT_TRUE(eventually([&] { return s.text().contains("cmd:\n"); }));
    EXPECT_EQ(s.text().count(SpotText), 1);
    EXPECT_EQ(s.text().count("W1AW>DX,WIDE2-1:"), 1);
    EXPECT_TRUE(s.stored("K2XYZ"));

    // DX Only: the monitor lines stay out, the spot comes in.
    s.session.setDxOnly(true);
    const QString second = QString(SpotText).replace("K2XYZ", "K3XYZ");
    tnc.write("N1ABC>DX:\r" + second.toLatin1() + "\r");
    ASSERT_TRUE(eventually([&] { return s.stored("K3XYZ"); }));
    EXPECT_FALSE(s.text().contains("N1ABC>DX"));

    // Esc: DX Only off and the TNC's command character sent.
    s.session.commandMode();
    EXPECT_FALSE(s.session.feed().dxOnly());
    QByteArray got;
    ASSERT_TRUE(eventually([&] { return (got += tnc.readAll()) == QByteArray(1, '\x03'); }));
    s.session.send("MYCALL K1ABC");
    ASSERT_TRUE(eventually([&] { return (got += tnc.readAll()) == "\x03MYCALL K1ABC\r"; }));
    s.session.close();
    EXPECT_TRUE(s.text().endsWith("** Port Closed **"));
    SerialPorts::mapPort(7, {});
}
