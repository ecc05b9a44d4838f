// The key lines on their devices: a serial port played by a socat
// pseudo-terminal pair, the printer port through the driver seam, the
// recording file of a killed program, and which ports give way to which.
#include "keying/CwKeyer.h"
#include "platform/ParallelKeyLine.h"
#include "platform/PortArbiter.h"
#include "platform/RecordingKeyLine.h"
#include "platform/SerialPorts.h"
#include "support/KeyingRig.h"
#include "support/PtyPair.h"
#include "support/ScriptedDialogs.h"
#include "support/TestLog.h"
#include "support/Waves.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

namespace {
// Records the driver calls instead of making them.
struct FakeParport : ParportDriver {
    QStringList calls;
    unsigned long failing = 0;
    int open(const QByteArray &path) override
    {
        calls << "open " + QString::fromUtf8(path);
        return 7;
    }
    int ioctl(int, unsigned long request, void *arg) override
    {
        const QString name = request == PPEXCL     ? "EXCL"
                             : request == PPCLAIM  ? "CLAIM"
                             : request == PPRELEASE ? "RELEASE"
                             : request == PPWCONTROL
                                 ? "CONTROL " + QString::number(*static_cast<unsigned char *>(arg))
                                 : "?";
        calls << name;
        return request == failing ? -1 : 0;
    }
    int close(int) override
    {
        calls << "close";
        return 0;
    }
    QString lastError() const override { return "Device or resource busy"; }
};
} // namespace

TEST(SerialKeyLine, PseudoTerminalOpensRefusesItsModemLinesAndCloses)
{
    ASSERT_TRUE(QStandardPaths::findExecutable("socat").size()) << "socat is needed";
    qunsetenv(RecordingKeyLine::EnvironmentVariable);
    PtyPair pty;
    ASSERT_TRUE(pty.ready);
    EXPECT_EQ(SerialPorts::devicePath(3), "/dev/ttyS2");
    SerialPorts::mapPort(9, pty.dev);
    EXPECT_EQ(SerialPorts::devicePath(9), pty.dev);

    PortArbiter ports;
    for (int round = 0; round < 2; ++round) { // closed cleanly: it opens again
        QString error;
        KeyLine *line = ports.open(PortRole::CwKey, KeyLineRequest::serial(9), &error);
        ASSERT_NE(line, nullptr) << error.toStdString();
        EXPECT_EQ(line->device(), pty.dev);
        EXPECT_TRUE(line->lastError().contains("RTS")) << line->lastError().toStdString();
        EXPECT_FALSE(line->setKey(true));
        EXPECT_FALSE(line->isDown());
        ports.close(PortRole::CwKey);
    }
    SerialPorts::mapPort(10, pty.dir.filePath("missing"));
    QString error;
    EXPECT_EQ(ports.open(PortRole::CwKey, KeyLineRequest::serial(10), &error), nullptr);
    EXPECT_TRUE(error.contains("missing")) << error.toStdString();

    // Through the engine: one report, and the message is given up.
    ScriptedDialogs dialogs;
    CwKeyer keyer(ports);
    keyer.settings.output = KeyingOutput::Rts;
    keyer.settings.port = "9";
    keyer.append("EEE");
    keyer.sendBuffer();
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().title, "Invalid port.");
    EXPECT_TRUE(keyer.buffer().isEmpty());
    EXPECT_EQ(pty.socat.state(), QProcess::Running);
    SerialPorts::mapPort(9, {});
    SerialPorts::mapPort(10, {});
}

TEST(ParallelKeyLine, ClaimsThePortFoundByItsAddressAndWritesTheControlRegister)
{
    const std::pair<const char *, std::optional<quint32>> addresses[] = {
        {"&H378", 888}, {"&h3bc", 956}, {" 888 ", 888}, {"&H", std::nullopt}, {"x", std::nullopt}};
    for (const auto &[text, value] : addresses)
        EXPECT_EQ(ParallelPort::parseAddress(text), value) << text;

    QTemporaryDir proc;
    for (const auto &[name, base] : {std::pair{"parport0", "956\t1980\n"}, {"parport1", "888\t1912\n"}}) {
        QDir(proc.path()).mkpath(name);
        ASSERT_TRUE(writeBytes(proc.filePath(QString(name) + "/base-addr"), base));
    }
    QString error;
    EXPECT_EQ(ParallelPort::deviceForBase(888, &error, proc.path(), "/dev"), "/dev/parport1");
    EXPECT_EQ(ParallelPort::deviceForBase(632, &error, proc.path(), "/dev"), "");
    EXPECT_TRUE(error.contains("632")) << error.toStdString();

    FakeParport driver;
    {
        auto line = ParallelKeyLine::open("/dev/parport1", driver, &error);
        ASSERT_TRUE(line);
        line->setKey(true);
        line->setKey(true); // no second write for the same state
        line->setKey(false);
        line->setKey(true);
    } // closed while down: released with the key up
    EXPECT_EQ(driver.calls, (QStringList{"open /dev/parport1", "EXCL", "CLAIM", "CONTROL 2", "CONTROL 3", "CONTROL 2",
                                         "CONTROL 3", "CONTROL 2", "RELEASE", "close"}));

    // Another program holds the port: nothing is written, the reason told.
    driver.calls.clear();
    driver.failing = PPCLAIM;
    EXPECT_FALSE(ParallelKeyLine::open("/dev/parport1", driver, &error));
    EXPECT_EQ(driver.calls, (QStringList{"open /dev/parport1", "EXCL", "CLAIM", "close"}));
    EXPECT_TRUE(error.contains("busy")) << error.toStdString();
}

TEST(PortArbiter, PortsGiveWayAsTheirRolesRequire)
{
    PortArbiter ports;
    QStringList opened;
    ports.setFactory([&](PortRole role, const KeyLineRequest &r, QString *) -> std::unique_ptr<KeyLine> {
        opened << QString("%1:%2").arg(int(role)).arg(r.portNumber);
        return std::make_unique<RecordingKeyLine>();
    });
    auto held = [&] {
        QString s;
        for (PortRole role : {PortRole::CwKey, PortRole::Ptt, PortRole::WinKey})
            s += ports.request(role) ? "1" : "0";
        return s;
    };
    int keyerClosed = 0;
    ports.open(PortRole::Ptt, KeyLineRequest::serial(2), nullptr);
    ports.open(PortRole::CwKey, KeyLineRequest::serial(3), nullptr);
    EXPECT_EQ(held(), "100"); // the CW key closes the push-to-talk port
    ports.open(PortRole::Ptt, KeyLineRequest::parallel("&H378"), nullptr);
    EXPECT_EQ(held(), "110"); // a printer-port line closes no serial port
    ports.hold(PortRole::WinKey, 4, [&] { ++keyerClosed; });
    EXPECT_EQ(held(), "011"); // the keyer closes the CW key's serial port
    ports.open(PortRole::Ptt, KeyLineRequest::serial(5), nullptr);
    EXPECT_EQ(held(), "010"); // push-to-talk closes the keyer
    EXPECT_EQ(keyerClosed, 1);
    ports.open(PortRole::CwKey, KeyLineRequest::parallel("888"), nullptr);
    EXPECT_EQ(held(), "110");
    ports.open(PortRole::Ptt, KeyLineRequest::parallel("&H378"), nullptr);
    EXPECT_EQ(held(), "010"); // one printer port, one holder
    EXPECT_EQ(opened.size(), 6);
}

TEST(RecordingKeyLine, TheProgramWritesEdgesToTheNamedFileAndReleasesTheKeyWhenKilled)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("edges.txt");
    auto run = [&](const QStringList &args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(RecordingKeyLine::EnvironmentVariable, file);
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("HALVERN_HELPER"), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::pair{p.exitStatus(), p.exitCode()};
    };
    // Killed while keyed down: the recording ends key up.
    EXPECT_EQ(run({"keydown-killed"}).first, QProcess::CrashExit);
    std::vector<KeyEdge> e = recordedKeyEdges(file);
    ASSERT_EQ(e.size(), 2u) << readAll(file).constData();
    EXPECT_TRUE(e[0].down);
    EXPECT_FALSE(e[1].down);

    // A real run on the real clock: the text comes back from the file.
    EXPECT_EQ(run({"key", "60", "TEST"}), std::pair(QProcess::NormalExit, 0));
    e = recordedKeyEdges(file);
    const Decoded d = decodeMorse(e, 20);
    EXPECT_EQ(d.text, "TEST");
    ASSERT_EQ(d.downMs.size(), 6u);
    EXPECT_NEAR(d.downMs[0], 60, 10);
    EXPECT_NEAR(d.downMs[1], 20, 10);
}

TEST(TerminationWatch, AsksToEndReleasePushToTalkAndEndTheProgramNormally)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("edges.txt");
    const QString wave = dir.filePath("cq.wav");
    ASSERT_TRUE(writeWave(wave, 500));
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(RecordingKeyLine::EnvironmentVariable, file);
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("HALVERN_HELPER"), {"ptt-held", wave});
        ASSERT_TRUE(QTest::qWaitFor([&] { return p.canReadLine() || p.state() == QProcess::NotRunning; }, 30000));
        ASSERT_EQ(p.readLine().trimmed(), "keyed");
        ::kill(pid_t(p.processId()), sig);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
        QByteArrayList ptt;
        for (const QByteArray &line : readAll(file).split('\n'))
            if (line.contains(" PTT "))
                ptt << line.split(' ').value(2);
        EXPECT_EQ(ptt, QByteArrayList({"1", "0"})) << readAll(file).constData();
    }
}
