// Spot sources as the spotting session opens them: a packet engine's AGW
// interface (the real Direwolf decoding a packet's audio, and a test engine
// for the connected mode), and a TNC on a pseudo-terminal.
#include "platform/SerialPorts.h"
#include "spots/SpotSession.h"
#include "spots/SpotStore.h"
#include "support/ScriptedDialogs.h"

#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {
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

TEST(AgwSource, DirewolfDecodesASpotFromItsAudio)
{
    const QString direwolf = QStandardPaths::findExecutable("direwolf");
    const QString generator = QStandardPaths::findExecutable("gen_packets");
    ASSERT_FALSE(direwolf.isEmpty() || generator.isEmpty()) << "the direwolf package is needed";
    QTemporaryDir dir;
    const quint16 port = freePort();
    // No sound card: the audio comes in on standard input.
    QFile config(dir.filePath("direwolf.conf"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("ADEVICE stdin null\nARATE 44100\nCHANNEL 0\nMODEM 1200\nAGWPORT %1\nKISSPORT 0\n")
                     .arg(port)
                     .toLatin1());
    config.close();
    QFile packet(dir.filePath("packet.txt"));
    ASSERT_TRUE(packet.open(QIODevice::WriteOnly));
    packet.write("W1AW>DX:" + SpotText.toLatin1() + "\n");
    packet.close();
    QProcess gen;
    gen.start(generator, {"-o", dir.filePath("packet.wav"), packet.fileName()});
    ASSERT_TRUE(gen.waitForFinished(30000));
    QFile wav(dir.filePath("packet.wav"));
    ASSERT_TRUE(wav.open(QIODevice::ReadOnly));
    const QByteArray audio = wav.readAll().mid(44);

    QProcess engine;
    engine.setProcessChannelMode(QProcess::MergedChannels);
    engine.start(direwolf, {"-c", config.fileName(), "-t", "0", "-"});
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
    QTemporaryDir dir;
    const QString device = dir.filePath("tnc"), peer = dir.filePath("peer");
    QProcess socat;
    socat.start("socat", {"pty,raw,echo=0,link=" + device, "pty,raw,echo=0,link=" + peer});
    ASSERT_TRUE(eventually([&] { return QFileInfo::exists(device) && QFileInfo::exists(peer); }));
    QSerialPort tnc(peer);
    ASSERT_TRUE(tnc.open(QIODevice::ReadWrite));
    SerialPorts::mapPort(7, device);

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
    socat.terminate();
    socat.waitForFinished(5000);
}
