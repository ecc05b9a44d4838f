// The real sound path: a PulseAudio server of the test's own with a null sink
// standing in for the radio, the real player playing into it, and the sink's
// monitor recorded, so that push-to-talk is checked against the samples that
// actually sounded. Also: no audio server must neither hang a prompt nor
// leave the transmitter keyed.
#include "keying/VoiceKeyer.h"
#include "keying/VoiceNavigation.h"
#include "platform/AudioPlayer.h"
#include "platform/Clock.h"
#include "platform/PortArbiter.h"
#include "platform/RecordingKeyLine.h"
#include "support/Waves.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
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
