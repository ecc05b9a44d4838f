// The voice keyer with a recording push-to-talk line and a player whose
// sound the test ends: the order of push-to-talk and playing, every way a
// file ends, the CQ loop, and the settings file. Then the real sound path: a
// PulseAudio server of the test's own with a null sink standing in for the
// radio, the real player playing into it, and the sink's monitor recorded,
// so that push-to-talk is checked against the samples that actually
// sounded; and no audio server must neither hang a prompt nor leave the
// transmitter keyed.
#include "keying/VoiceKeyer.h"
#include "keying/VoiceNavigation.h"
#include "platform/AudioPlayer.h"
#include "platform/Clock.h"
#include "platform/PortArbiter.h"
#include "platform/RecordingKeyLine.h"
#include "support/ScriptedDialogs.h"
#include "support/TestLog.h"
#include "support/Waves.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
struct VoiceRig {
    QTemporaryDir dir;
    QStringList log;
    FakeWavePlayer player;
    PortArbiter ports;
    VoiceKeyer keyer{ports, player};

    VoiceRig()
    {
        player.log = &log;
        ports.setFactory([this](PortRole, const KeyLineRequest &r, QString *) -> std::unique_ptr<KeyLine> {
            log << (r.kind == KeyLineRequest::Kind::Serial ? QStringLiteral("open serial %1").arg(r.portNumber)
                                                           : QStringLiteral("open parallel ") + r.printerAddress);
            auto line = std::make_unique<RecordingKeyLine>(QStringLiteral("PTT"));
            line->onEdge = [this](const KeyEdge &e) { log << (e.down ? "PTT 1" : "PTT 0"); };
            return line;
        });
        keyer.settings.pttPort = QStringLiteral("3");
        for (int i = 0; i < 4; ++i)
            setSlot(i, 2000);
    }
    // Slot i plays a file of that length (a text file when ms is 0).
    void setSlot(int i, int ms)
    {
        const QString path = dir.filePath(QStringLiteral("F%1.wav").arg(i + 1));
        if (ms)
            writeWave(path, ms);
        else {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write("no wave");
        }
        keyer.settings.waveFiles[size_t(i)] = path;
    }
    // Waits for the next end-of-playback poll.
    void nextPoll()
    {
        QSignalSpy spy(keyer.findChild<QTimer *>(QStringLiteral("Timer1")), &QTimer::timeout);
        ASSERT_TRUE(spy.wait(2000));
    }
};

struct Step {
    const char *name;
    std::function<void(VoiceRig &)> setup;
    std::function<void(VoiceRig &)> act;
    QStringList expected;
};

const char *const Sink = "halvern_radio";
constexpr int CaptureRate = 8000;

// A PulseAudio server in a runtime folder of its own, with one null sink.
struct SoundServer {
    QTemporaryDir runtime;
    QProcess daemon;
    QString socket;
    QString failure;

    SoundServer()
    {
        const QString exe = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (exe.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty()) {
            failure = "pulseaudio or parec is not installed (packages pulseaudio, pulseaudio-utils)";
            return;
        }
        socket = runtime.filePath("native");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("HOME", runtime.path());
        daemon.setProcessEnvironment(env);
        daemon.setProcessChannelMode(QProcess::MergedChannels);
        daemon.start(exe, {"-n", "--daemonize=no", "--system=false", "--exit-idle-time=-1", "--log-target=stderr",
                           "-L", QStringLiteral("module-null-sink sink_name=%1 rate=48000").arg(Sink), "-L",
                           "module-native-protocol-unix auth-anonymous=1 socket=" + socket});
        const bool up = QTest::qWaitFor(
            [&] { return QFile::exists(socket) || daemon.state() == QProcess::NotRunning; }, 15000);
        if (!up || daemon.state() == QProcess::NotRunning)
            failure = "PulseAudio did not start: " + QString::fromLocal8Bit(daemon.readAll());
    }
    ~SoundServer()
    {
        daemon.terminate();
        if (!daemon.waitForFinished(5000))
            daemon.kill();
    }
};

// The sink's monitor, recorded as 16-bit mono; every sample gets the time it
// sounded, taken from the arrival of its chunk on the monotonic clock.
struct Capture {
    QProcess parec;
    qint64 firstSoundNs = -1, lastSoundNs = -1, lastSampleNs = -1;
    QByteArray pending;

    explicit Capture(const QString &server)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PULSE_SERVER", "unix:" + server);
        parec.setProcessEnvironment(env);
        QObject::connect(&parec, &QProcess::readyReadStandardOutput, [this] { take(); });
        parec.start("parec", {"-d", QStringLiteral("%1.monitor").arg(Sink), "--raw", "--format=s16le",
                              QStringLiteral("--rate=%1").arg(CaptureRate), "--channels=1", "--latency-msec=5"});
    }
    void take()
    {
        const qint64 now = Clock::monotonicNs();
        pending += parec.readAllStandardOutput();
        const qsizetype n = pending.size() / 2;
        for (qsizetype i = 0; i < n; ++i) {
            const qint64 t = now - (n - 1 - i) * 1000000000 / CaptureRate;
            if (std::abs(qFromLittleEndian<qint16>(pending.constData() + 2 * i)) > 1000) {
                if (firstSoundNs < 0)
                    firstSoundNs = t;
                lastSoundNs = t;
            }
            lastSampleNs = t;
        }
        pending.remove(0, n * 2);
    }
    ~Capture()
    {
        parec.kill();
        parec.waitForFinished(5000);
    }
};

double ms(qint64 ns) { return double(ns) / 1e6; }
} // namespace

TEST(VoiceKeyer, PushToTalkSurroundsEverySoundAndEveryEnd)
{
    const qint64 t0 = 1000000000;
    const auto none = [](VoiceRig &) {};
    const std::vector<Step> steps = {
        {"end of file", none, [](VoiceRig &r) { r.keyer.play(112); r.player.reachEnd(); },
         {"open serial 3", "PTT 1", "play F1.wav", "PTT 0"}},
        {"player error", none, [](VoiceRig &r) { r.keyer.play(112); r.player.fail(); },
         {"open serial 3", "PTT 1", "play F1.wav", "PTT 0"}},
        {"stop (Esc)", none, [](VoiceRig &r) { r.keyer.play(113); r.keyer.stop(); },
         {"open serial 3", "PTT 1", "play F2.wav", "stop", "PTT 0"}},
        {"F2 during F1: the transmitter stays keyed", none,
         [](VoiceRig &r) {
             r.keyer.play(112);
             r.keyer.play(113);
             EXPECT_TRUE(r.keyer.isPlaying());
             r.player.reachEnd();
         },
         {"open serial 3", "PTT 1", "play F1.wav", "stop", "play F2.wav", "PTT 0"}},
        {"a player that never ends is cut off one second after the file's length",
         [t0](VoiceRig &) { Clock::useFakeMonotonic(t0, 0); },
         [t0](VoiceRig &r) {
             r.keyer.play(112);
             Clock::sleepUntilNs(t0 + 2990 * qint64(1000000));
             r.nextPoll();
             EXPECT_TRUE(r.keyer.pttDown()) << "cut off before the file's length + 1 s";
             Clock::sleepUntilNs(t0 + 3000 * qint64(1000000));
             r.nextPoll();
         },
         {"open serial 3", "PTT 1", "play F1.wav", "stop", "PTT 0"}},
        {"the end-of-playback poll alone drops the line", none,
         [](VoiceRig &r) {
             r.keyer.play(112);
             r.player.playing = false; // ended without a word
             r.nextPoll();
         },
         {"open serial 3", "PTT 1", "play F1.wav", "PTT 0"}},
        {"an empty slot keys nothing", [](VoiceRig &r) { r.keyer.settings.waveFiles[4] = "  "; },
         [](VoiceRig &r) { r.keyer.play(116); }, {}},
        {"a file that is no wave file keys nothing", [](VoiceRig &r) { r.setSlot(2, 0); },
         [](VoiceRig &r) { r.keyer.play(114); }, {}},
        {"a missing file during F1 ends F1 and keys nothing more",
         [](VoiceRig &r) { r.keyer.settings.waveFiles[1] = r.dir.filePath("gone.wav"); },
         [](VoiceRig &r) { r.keyer.play(112); r.keyer.play(113); },
         {"open serial 3", "PTT 1", "play F1.wav", "stop", "PTT 0"}},
        {"no port: the file plays without push-to-talk", [](VoiceRig &r) { r.keyer.settings.pttPort = "0"; },
         [](VoiceRig &r) { r.keyer.play(112); r.player.reachEnd(); }, {"play F1.wav"}},
        {"the printer port", [](VoiceRig &r) { r.keyer.settings.pttLine = VoiceSettings::PttLine::Parallel; },
         [](VoiceRig &r) { r.keyer.play(112); r.player.reachEnd(); },
         {"open parallel &H378", "PTT 1", "play F1.wav", "PTT 0"}},
        {"release at exit", none, [](VoiceRig &r) { r.keyer.play(112); r.keyer.release(); },
         {"open serial 3", "PTT 1", "play F1.wav", "stop", "PTT 0"}},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.name);
        VoiceRig r;
        s.setup(r);
        s.act(r);
        Clock::useRealMonotonic();
        EXPECT_EQ(r.log.join(" | ").toStdString(), s.expected.join(" | ").toStdString());
        EXPECT_FALSE(r.keyer.pttDown());
        EXPECT_FALSE(r.keyer.isPlaying());
    }
}

TEST(VoiceKeyer, CqLoopRepeatsF1UntilStopped)
{
    VoiceRig r;
    r.keyer.settings.loopDelay = "0.05";
    r.keyer.applyLoopDelay();
    r.keyer.play(112);
    EXPECT_TRUE(r.keyer.repeatPending());
    r.player.reachEnd();
    EXPECT_FALSE(r.keyer.pttDown());
    // The loop delay passes with the transmitter unkeyed, then F1 again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.player.played.size() == 2; }, 2000));
    EXPECT_TRUE(r.keyer.pttDown());
    r.keyer.stopRepeat(); // any key in the logging window
    r.player.reachEnd();
    EXPECT_FALSE(r.keyer.findChild<QTimer *>("tmrRepeat")->isActive());
    EXPECT_EQ(r.log, QStringList({"open serial 3", "PTT 1", "play F1.wav", "PTT 0", "PTT 1", "play F1.wav", "PTT 0"}));

    // Another key than F1 never arms the loop; an error ends it.
    r.keyer.play(113);
    EXPECT_FALSE(r.keyer.repeatPending());
    r.keyer.play(112);
    r.player.fail();
    EXPECT_FALSE(r.keyer.repeatPending());
    EXPECT_FALSE(r.keyer.findChild<QTimer *>("tmrRepeat")->isActive());
}

TEST(VoiceKeyer, PortThatCannotBeOpenedIsReportedAndTheFilePlaysUnkeyed)
{
    ScriptedDialogs dialogs;
    VoiceRig r;
    r.ports.setFactory([](PortRole, const KeyLineRequest &, QString *) { return std::unique_ptr<KeyLine>(); });
    QSignalSpy failed(&r.keyer, &VoiceKeyer::portSetupFailed);
    r.keyer.play(112);
    EXPECT_EQ(failed.size(), 1);
    EXPECT_EQ(dialogs.last("message").title, VoiceKeyer::InvalidPortTitle);
    EXPECT_EQ(dialogs.last("message").text, VoiceKeyer::InvalidPortText);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(r.log, QStringList({"play F1.wav"}));
}

TEST(VoiceSettings, FileRoundTripAndBadInputs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("wave2.txt");
    VoiceSettings s;
    s.waveFiles[0] = "/home/op/cq \"fast\".wav";
    s.waveFiles[8] = "/home/op/73, tu.wav";
    s.pttPort = "2";
    s.pttLine = VoiceSettings::PttLine::Dtr;
    s.loopDelay = "7.5";
    s.printerAddress = "&H278";
    // The bytes of the file are checked where the phone window writes it.
    ASSERT_TRUE(s.save(path));
    VoiceSettings back;
    EXPECT_TRUE(back.load(path));
    EXPECT_EQ(back.fileData(), s.fileData());

    struct Case {
        const char *name;
        QByteArray file;
        bool complete;
        QString first, port, loop, address;
        VoiceSettings::PttLine line;
    };
    const QByteArray nine = QByteArray("\" a.wav \"\r\n") + QByteArray("\"\"\r\n").repeated(8);
    const std::vector<Case> cases = {
        {"complete", nine + "\"4\"\r\n2\r\n\"75\"\r\n\"&H3BC\"\r\n", true, "a.wav", "4", "0", "&H3BC",
         VoiceSettings::PttLine::Parallel},
        {"short: the values read are kept", nine + "\"4\"\r\n", false, "a.wav", "4", "0", "&H378",
         VoiceSettings::PttLine::Rts},
        {"line not a number", nine + "\"4\"\r\n\"x\"\r\n\"3\"\r\n\"&H378\"\r\n", false, "a.wav", "4", "0", "&H378",
         VoiceSettings::PttLine::Rts},
        {"unknown line is RTS", nine + "\"1\"\r\n7\r\n\"abc\"\r\n\"&H378\"\r\n", true, "a.wav", "1", "0", "&H378",
         VoiceSettings::PttLine::Rts},
        {"empty", "", false, "", "0", "0", "&H378", VoiceSettings::PttLine::Rts},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeBytes(path, c.file));
        VoiceRig r;
        r.keyer.settings = VoiceSettings();
        EXPECT_EQ(r.keyer.settings.load(path), c.complete);
        r.keyer.loadSettings(path);
        EXPECT_EQ(r.keyer.settings.waveFiles[0], c.first);
        EXPECT_EQ(r.keyer.settings.pttPort, c.port);
        EXPECT_EQ(r.keyer.settings.loopDelay, c.loop);
        EXPECT_EQ(r.keyer.settings.printerAddress, c.address);
        EXPECT_EQ(r.keyer.settings.pttLine, c.line);
    }
    // A folder or a missing file: the defaults stay.
    VoiceSettings d;
    EXPECT_FALSE(d.load(dir.path()));
    EXPECT_FALSE(d.load(dir.filePath("none.txt")));
    EXPECT_EQ(d.fileData(), VoiceSettings().fileData());
}

TEST(RealAudio, PushToTalkIsUpBeforeTheFirstSampleAndDownWithin80msOfTheLast)
{
    SoundServer server;
    if (!server.failure.isEmpty())
        GTEST_SKIP() << "no sound server for this test: " << server.failure.toStdString();
    qputenv("PULSE_SERVER", ("unix:" + server.socket).toLocal8Bit());
    qputenv(AudioPlayer::DeviceVariable, Sink);

    QTemporaryDir dir;
    const QString wave = dir.filePath("cq.wav");
    ASSERT_TRUE(writeWave(wave, 2000, 600, 48000));
    Capture capture(server.socket);
    ASSERT_TRUE(QTest::qWaitFor([&] { return capture.lastSampleNs > 0; }, 10000)) << "the monitor records nothing";

    std::vector<KeyEdge> edges;
    PortArbiter ports;
    ports.setFactory([&](PortRole, const KeyLineRequest &, QString *) -> std::unique_ptr<KeyLine> {
        auto line = std::make_unique<RecordingKeyLine>(QStringLiteral("PTT"));
        line->onEdge = [&](const KeyEdge &e) { edges.push_back(e); };
        return line;
    });
    AudioPlayer player(WavePlayer::Output::Radio);
    VoiceKeyer keyer(ports, player);
    keyer.settings.pttPort = "1";
    keyer.settings.waveFiles[0] = wave;
    QSignalSpy ended(&keyer, &VoiceKeyer::playbackEnded);
    keyer.play(VoiceKeyer::F1);
    ASSERT_TRUE(ended.wait(10000));
    ASSERT_EQ(edges.size(), 2u);
    const qint64 up = edges[1].ns;
    // What the sink still plays after push-to-talk is up is caught as well.
    ASSERT_TRUE(QTest::qWaitFor([&] { return capture.lastSampleNs > up + 400000000; }, 10000));
    ASSERT_GE(capture.firstSoundNs, 0) << "nothing sounded in the sink";

    const double keyedBefore = ms(capture.firstSoundNs - edges[0].ns);
    const double heldAfter = ms(up - capture.lastSoundNs);
    const double sounded = ms(capture.lastSoundNs - capture.firstSoundNs);
    std::printf("push-to-talk down %.1f ms before the first sample; up %.1f ms after the last; %.1f ms of sound\n",
                keyedBefore, heldAfter, sounded);
    EXPECT_GT(keyedBefore, 0);
    EXPECT_LT(heldAfter, 80);
    EXPECT_GT(heldAfter, -20) << "push-to-talk went up while the file still sounded";
    EXPECT_NEAR(sounded, 2000, 100);
    EXPECT_FALSE(keyer.pttDown());
}

TEST(RealAudio, WithoutASoundServerNothingHangsAndNothingStaysKeyed)
{
    QTemporaryDir dir;
    qputenv("PULSE_SERVER", ("unix:" + dir.filePath("nothing-listens-here")).toLocal8Bit());
    const QString wave = dir.filePath("Dupe.wav");
    ASSERT_TRUE(writeWave(wave, 500, 600));

    AudioPlayer promptPlayer(WavePlayer::Output::Operator);
    PromptSpeaker speaker(promptPlayer, {dir.path()});
    speaker.speak("Dupe");
    QElapsedTimer clock;
    clock.start();
    speaker.waitUntilSpoken();
    EXPECT_LT(clock.elapsed(), 1500 + 500) << "the wait is bounded by the prompt's length and one second";
    EXPECT_FALSE(speaker.isSpeaking());

    PortArbiter ports;
    ports.setFactory([](PortRole, const KeyLineRequest &, QString *) {
        return std::make_unique<RecordingKeyLine>(QStringLiteral("PTT"));
    });
    AudioPlayer player(WavePlayer::Output::Radio);
    VoiceKeyer keyer(ports, player);
    keyer.settings.pttPort = "1";
    keyer.settings.waveFiles[0] = wave;
    keyer.play(VoiceKeyer::F1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !keyer.pttDown(); }, 2000));
}
