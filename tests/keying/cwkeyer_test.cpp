// The CW engine on a recording line with a fake clock: what is keyed, for
// how long, and what stops it; CW.txt written and read back byte for byte,
// and what a missing, short or damaged file leaves. The key lines on their
// devices: a serial port played by a socat pseudo-terminal pair, the printer
// port through the driver seam, the recording file of a killed program, and
// which ports give way to which.
#include "keying/CwMacros.h"
#include "keying/CwSettings.h"
#include "platform/Clock.h"
#include "platform/ParallelKeyLine.h"
#include "platform/PortArbiter.h"
#include "platform/RecordingKeyLine.h"
#include "platform/SerialPorts.h"
#include "support/KeyingRig.h"
#include "support/PtyPair.h"
#include "support/ScriptedDialogs.h"
#include "support/TestLog.h"
#include "support/Waves.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

namespace {
const QByteArray Written = "\"CQ TEST DE W1XYZ, W1XYZ\"\r\n\"$ *\"\r\n\"TU $!\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                           "\"\"\r\n\"VVV DE \"\r\n\"3\"\r\n\"28\"\r\n\"QRZ?\"\r\n\"AGN\"\r\n\"-2\"\r\n2\r\n"
                           "\"&H278\"\r\n1\r\n\"4.5\"\r\n";

// Units of the element time, to a hundredth.
std::vector<double> units(const std::vector<double> &ms, double unitMs)
{
    std::vector<double> out;
    for (double v : ms)
        out.push_back(std::round(v / unitMs * 100) / 100);
    return out;
}

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

TEST(CwKeyer, ParisAtTwentyWpmTakesFiftyFourUnitsWithExactElements)
{
    KeyingRig rig(QStringLiteral("20"));
    const qint64 start = Clock::monotonicNs();
    rig.send(QStringLiteral("PARIS "));
    const double totalMs = double(Clock::monotonicNs() - start) / 1e6;

    const Decoded d = rig.decoded();
    EXPECT_EQ(d.text, "PARIS");
    // 46 units of characters and 8 of the word gap after the last one.
    EXPECT_NEAR(totalMs, 54 * 60.0, 0.5);
    EXPECT_EQ(units(d.downMs, 60), (std::vector<double>{1, 3, 3, 1, 1, 3, 1, 3, 1, 1, 1, 1, 1, 1}));
    for (double up : units(d.upMs, 60))
        EXPECT_TRUE(up == 1 || up == 3) << up;
    EXPECT_FALSE(rig.line()->isDown());
}

TEST(CwKeyer, WordSpaceLowercaseAndProsigns)
{
    struct Case {
        const char *wordSpace, *text, *decoded;
        double gapUnits; // the key-up between the first two characters
    } cases[] = {
        {"0", "A B", "A B", 11},  {"-8", "A B", "AB", 3}, {"2", "A B", "A B", 13},
        {"0", "a+b", "AB", 3},    // "+" keys nothing and adds no gap
        {"0", "-=", "==", 3},      // "-" is BT, like "="
        {"-20", "E E", "EE", 3},  // a word gap never goes below the character gap
    };
    for (const Case &c : cases) {
        KeyingRig rig;
        rig.keyer.settings.wordSpace = QLatin1String(c.wordSpace);
        rig.send(QLatin1String(c.text));
        const Decoded d = rig.decoded();
        EXPECT_EQ(d.text, c.decoded) << c.text << " " << c.wordSpace;
        // The gap after the first character's last element.
        const size_t firstElements = QLatin1String(c.text).at(0) == u'E' ? 1 : (c.text[0] == '-' ? 5 : 2);
        ASSERT_GT(d.upMs.size(), firstElements - 1);
        EXPECT_NEAR(d.upMs[firstElements - 1] / 60, c.gapUnits, 0.01) << c.text << " " << c.wordSpace;
    }
}

TEST(CwKeyer, ElementTimeOfEachMethod)
{
    // Timer keeps fractions of a millisecond; Sleep waits whole milliseconds.
    struct Case {
        TimingMethod method;
        const char *wpm;
        double dotMs;
    } cases[] = {{TimingMethod::Timer, "13", 1200.0 / 13}, {TimingMethod::Sleep, "13", 92},
                 {TimingMethod::Timer, "40", 30},          {TimingMethod::Sleep, "27", 44}};
    for (const Case &c : cases) {
        KeyingRig rig(QLatin1String(c.wpm));
        rig.keyer.settings.method = c.method;
        rig.send(QStringLiteral("EE"));
        const Decoded d = rig.decoded();
        ASSERT_EQ(d.downMs.size(), 2u);
        EXPECT_NEAR(d.downMs[0], c.dotMs, 0.01) << c.wpm;
        EXPECT_NEAR(d.upMs[0], 3 * c.dotMs, 0.01) << c.wpm;
    }
}

TEST(CwKeyer, FunctionKeyMessagesCarryCallAndReportAndLogInBetween)
{
    EXPECT_EQ(expandWildcards("$ *", "W1AW ", "599"), "W1AW 5NN");
    EXPECT_EQ(expandWildcards("$ *", "W1AW", ""), "W1AW 5NN");
    EXPECT_EQ(expandWildcards("*#$$", "K1ABC", "579"), "579K1ABCK1ABC");
    EXPECT_EQ(expandWildcards("TU $!", "", "59"), "TU !");

    KeyingRig rig;
    rig.entry.call = QStringLiteral("W1AW");
    rig.entry.report = QStringLiteral("599");
    rig.keyer.settings.messages[1] = QStringLiteral("$ *");
    rig.keyer.settings.messages[2] = QStringLiteral("$!K");
    rig.keyer.sendMessage(CwKeyer::F1 + 1);
    EXPECT_EQ(rig.decoded().text, "W1AW 5NN");

    // "!" logs the contact after the call's last edge and before K's first.
    rig.edges.clear();
    size_t edgesAtLog = 0;
    rig.entry.onLog = [&] { edgesAtLog = rig.edges.size(); };
    rig.keyer.sendMessage(CwKeyer::F1 + 2);
    EXPECT_EQ(rig.entry.logged, 1);
    EXPECT_EQ(edgesAtLog, 2u * 13);   // W 1 A W: 13 elements
    EXPECT_EQ(rig.edges.size(), 2u * 16); // and K's three
    EXPECT_EQ(rig.decoded().text, "W1AWK");

    // With an empty call nothing is logged.
    rig.entry.call.clear();
    rig.keyer.sendMessage(CwKeyer::F1 + 2);
    EXPECT_EQ(rig.entry.logged, 1);

    // F10 and F11 have their own slots; 121 and 123 send nothing; output
    // None sends nothing at all.
    rig.keyer.settings.messages[CwSettings::F10] = QStringLiteral("T");
    rig.keyer.settings.messages[CwSettings::F11] = QStringLiteral("M");
    for (const auto &[code, text] : {std::pair{CwKeyer::F10, "T"}, {CwKeyer::F11, "M"}, {121, ""}, {123, ""}}) {
        rig.edges.clear();
        rig.keyer.sendMessage(code);
        EXPECT_EQ(rig.decoded().text, text) << code;
    }
    rig.edges.clear();
    rig.keyer.settings.output = KeyingOutput::None;
    rig.keyer.sendMessage(CwKeyer::F10);
    EXPECT_TRUE(rig.edges.empty());
}

TEST(CwKeyer, SendingWhileSendingNeverStartsASecondLoop)
{
    KeyingRig rig;
    rig.keyer.settings.messages[1] = QStringLiteral("TEST");
    rig.keyer.settings.messages[2] = QStringLiteral("NO");
    QSignalSpy busy(&rig.keyer, &CwKeyer::busyChanged);
    int yields = 0;
    rig.keyer.setEventPump([&] {
        ++yields;
        if (yields == 1) {
            // A new message replaces what was left; more text joins it.
            rig.keyer.sendMessage(CwKeyer::F1 + 2);
            rig.send(QStringLiteral("E"));
        }
    });
    rig.keyer.sendMessage(CwKeyer::F1 + 1);
    EXPECT_EQ(rig.decoded().text, "TNOE");
    EXPECT_EQ(busy.count(), 2); // once on, once off
    EXPECT_FALSE(rig.keyer.isBusy());
}

TEST(CwKeyer, RefusedKeyingStopsTheMessageOnceWithTheKeyUp)
{
    // A port that cannot be opened, a line that refuses to switch, no speed.
    for (int failure = 0; failure < 3; ++failure) {
        ScriptedDialogs dialogs;
        KeyingRig rig(failure == 2 ? QStringLiteral("0") : QStringLiteral("20"));
        if (failure == 0)
            rig.ports.setFactory([](PortRole, const KeyLineRequest &, QString *e) -> std::unique_ptr<KeyLine> {
                *e = QStringLiteral("no such device");
                return nullptr;
            });
        if (failure == 1)
            rig.refuse = QStringLiteral("refused");
        rig.keyer.settings.messages[0] = QStringLiteral("CQ CQ");
        rig.keyer.settings.loopDelay = QStringLiteral("5");
        QSignalSpy failed(&rig.keyer, &CwKeyer::portSetupFailed);
        QSignalSpy status(&rig.keyer, &CwKeyer::statusText);
        rig.keyer.sendMessage(CwKeyer::F1);

        EXPECT_TRUE(rig.edges.empty()) << failure;
        EXPECT_TRUE(rig.keyer.buffer().isEmpty()) << failure;
        EXPECT_FALSE(rig.keyer.repeatPending()) << failure;
        EXPECT_FALSE(rig.keyer.repeatTimer()->isActive()) << failure;
        EXPECT_FALSE(rig.keyer.isBusy()) << failure;
        if (failure < 2) {
            ASSERT_EQ(dialogs.shown.size(), 1) << failure;
            EXPECT_EQ(dialogs.shown[0].title, "Invalid port.");
            EXPECT_EQ(dialogs.shown[0].text, "The port you have selected for CW keying is invalid.  Please "
                                             "select another or enter 0 for none.");
            EXPECT_EQ(dialogs.beeps, 1);
            EXPECT_EQ(failed.count(), 1);
            ASSERT_EQ(status.count(), 1);
            EXPECT_EQ(status[0][0].toString(), failure == 0 ? "no such device" : "refused");
        } else {
            EXPECT_TRUE(dialogs.shown.isEmpty());
            EXPECT_EQ(status.count(), 1);
        }
    }
}

TEST(CwKeyer, SpeedStepsAndRepeatDelay)
{
    KeyingRig rig(QStringLiteral("20"));
    QSignalSpy speed(&rig.keyer, &CwKeyer::speedChanged);
    rig.keyer.speedUp();
    rig.keyer.speedUp();
    rig.keyer.speedDown();
    EXPECT_EQ(rig.keyer.settings.wpm, "21");
    EXPECT_EQ(speed.count(), 3);
    rig.send(QStringLiteral("E"));
    EXPECT_NEAR(rig.decoded().downMs.at(0), 1200.0 / 21, 0.01);

    // The loop delay: 0 <= seconds < 60, anything else is "0".
    for (const auto &[typed, kept, ms] : {std::tuple{"5", "5", 5000}, {"0.25", "0.25", 250}, {"60", "0", 0},
                                          {"-1", "0", 0}, {"", "0", 0}, {"x", "0", 0}}) {
        rig.keyer.settings.loopDelay = QLatin1String(typed);
        rig.keyer.applyLoopDelay();
        EXPECT_EQ(rig.keyer.settings.loopDelay, kept) << typed;
        EXPECT_EQ(rig.keyer.repeatTimer()->interval(), ms) << typed;
    }
}

TEST(CwKeyer, AnExternalKeyerTakesTheTextAfterTheContactIsLogged)
{
    struct Keyer : ExternalKeyer {
        RecordingEntry *entry = nullptr;
        QStringList sent;
        int loggedAtSend = -1;
        bool isOpen() const override { return true; }
        void transmit(QString &text) override
        {
            sent << text;
            loggedAtSend = entry->logged;
            text.clear();
        }
        int status() override { return 0; }
        void clearBuffer() override {}
        void backspace() override {}
    } external;
    KeyingRig rig;
    external.entry = &rig.entry;
    rig.keyer.settings.output = KeyingOutput::WinKey;
    rig.keyer.settings.messages[0] = "CQ $!";
    rig.keyer.settings.loopDelay = "5";
    rig.keyer.applyLoopDelay();
    rig.entry.call = "W1AW";
    QSignalSpy busy(&rig.keyer, &CwKeyer::busyChanged);

    rig.keyer.sendMessage(CwKeyer::F1); // no keyer yet: nothing goes anywhere
    EXPECT_TRUE(rig.keyer.buffer().isEmpty());
    rig.keyer.setExternalKeyer(&external);
    rig.keyer.sendMessage(CwKeyer::F1);
    EXPECT_EQ(external.sent, QStringList{"CQ W1AW!"});
    EXPECT_EQ(external.loggedAtSend, 1);
    EXPECT_TRUE(rig.keyer.repeatTimer()->isActive());
    EXPECT_TRUE(rig.edges.empty());
    EXPECT_EQ(busy.count(), 0);
}

TEST(CwSettings, FileIsWrittenAndReadBackByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("CW.txt");
    CwSettings s;
    s.messages[0] = "CQ TEST DE W1XYZ, W1XYZ";
    s.messages[1] = "$ *";
    s.messages[2] = "TU $!";
    s.messages[CwSettings::F10] = "QRZ?";
    s.messages[CwSettings::F11] = "AGN";
    s.port = "3";
    s.wpm = "28";
    s.wordSpace = "-2";
    s.output = KeyingOutput::Dtr;
    s.printerAddress = "&H278";
    s.displayText = true;
    s.loopDelay = "4.5";
    ASSERT_TRUE(s.save(path));
    EXPECT_EQ(readAll(path), Written);

    CwSettings back;
    EXPECT_TRUE(back.load(path));
    ASSERT_TRUE(back.save(path));
    EXPECT_EQ(readAll(path), Written);
    EXPECT_EQ(back.messages, s.messages);
    EXPECT_EQ(back.output, KeyingOutput::Dtr);
    EXPECT_TRUE(back.displayText);
    EXPECT_EQ(back.printerAddress, "&H278");
}

TEST(CwSettings, MissingShortOrDamagedFilesKeepTheDefaults)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("CW.txt");
    const CwSettings defaults;
    EXPECT_FALSE(CwSettings().load(path)); // missing

    const QList<QByteArray> lines = Written.split('\n');
    auto firstLines = [&](int n) { return lines.mid(0, n).join('\n') + '\n'; };
    struct Case {
        QByteArray file;
        bool complete;
        QString f1, wpm, address;
        int output;
    } cases[] = {
        // Ends after the WPM: what was read is taken, the rest stays.
        {firstLines(11), false, "CQ TEST DE W1XYZ, W1XYZ", "28", "&H378", KeyingOutput::None},
        // A keying output that is no number ends the reading there.
        {firstLines(14) + "x\r\n\"&H278\"\r\n1\r\n\"4\"\r\n", false, "CQ TEST DE W1XYZ, W1XYZ", "28", "&H378",
         KeyingOutput::None},
        // An output that is none of the five means None; an empty F9 is the test message.
        {QByteArray(Written).replace("\"VVV DE \"", "\"\"").replace("\r\n2\r\n", "\r\n4\r\n"), true,
         "CQ TEST DE W1XYZ, W1XYZ", "28", "&H278", KeyingOutput::None},
        {"", false, "", "13", "&H378", KeyingOutput::None},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(writeBytes(path, c.file));
        CwSettings s;
        EXPECT_EQ(s.load(path), c.complete) << c.file.constData();
        EXPECT_EQ(s.messages[0], c.f1);
        EXPECT_EQ(s.messages[8], "VVV DE ");
        EXPECT_EQ(s.wpm, c.wpm);
        EXPECT_EQ(s.printerAddress, c.address);
        EXPECT_EQ(s.output, c.output);
        EXPECT_EQ(s.loopDelay, c.complete ? "4.5" : defaults.loopDelay);
    }
}

TEST(CwSettings, NumbersAsTheFieldsHoldThem)
{
    const std::pair<const char *, double> cases[] = {{"13", 13}, {" 25 ", 25}, {"12abc", 12}, {"", 0}, {"x", 0},
                                                     {"&H378", 888}, {"&h3BC", 956}, {"-3", -3}, {"1:", 1}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(leadingNumber(QLatin1String(text)), value) << text;
}

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
