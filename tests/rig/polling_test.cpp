// The rigs over a real serial line: each family is played by a simulator on
// a pseudo-terminal pair (checked first against Hamlib's own backends, so the
// simulators are not written to fit the logger's parsers), and Hamlib's
// rigctld is the real daemon with its dummy rig. Polling follows each rig
// through split, garbled and silent replies; tuning sends the mode first and
// the frequency the rig's settle time later, and polling runs again
// afterwards, also when the command could not be sent.
#include "platform/AtomicFile.h"
#include "platform/PortArbiter.h"
#include "platform/SerialPorts.h"
#include "platform/SerialRigLink.h"
#include "platform/TcpRigLink.h"
#include "rig/RigPoller.h"
#include "rig/RigTuner.h"
#include "support/RigSimulator.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
constexpr int Port = 6;

std::unique_ptr<RigLink> link(PortArbiter *ports, const RigSettings &s, const Rig::Model &m)
{
    if (m.family == Rig::Family::Rigctld)
        return std::make_unique<TcpRigLink>(s.rigctldHost, quint16(s.rigctldPort));
    SerialLineSettings line;
    line.portNumber = s.port;
    line.baud = s.baud.toInt();
    return std::make_unique<SerialRigLink>(line, ports);
}

RigSettings fastSettings(const QString &rig)
{
    RigSettings s;
    const Rig::Model &m = Rig::model(rig);
    s.rigType = rig;
    s.freqQuery = m.freqQuery;
    s.modeQuery = m.modeQuery;
    s.port = Port;
    s.baud = QStringLiteral("9600");
    s.pollRate = QLatin1Char('F');
    return s;
}

bool reads(RigPoller &poller, float mhz, const QString &mode, int ms = 3000)
{
    return QTest::qWaitFor([&] {
        return qAbs(poller.state().frequency - mhz) < 0.00001f && (mode.isEmpty() || poller.state().mode == mode);
    }, ms);
}

// A polled rig with the shipped band plan, tuned by the tuner.
struct TunedRig {
    explicit TunedRig(const QString &rig)
        : settings(fastSettings(rig)),
          poller([](const RigSettings &s, const Rig::Model &m) { return link(nullptr, s, m); }), tuner(poller)
    {
        QFile f(QStringLiteral(":/BandPlan.txt"));
        if (f.open(QIODevice::ReadOnly))
            tuner.setBandPlan(BandPlan::parse(f.readAll()));
    }
    bool start(QString *why) { return poller.start(settings, why); }
    // Tunes and waits until the change is over.
    bool tune(qint64 hz)
    {
        QSignalSpy done(&tuner, &RigTuner::finished);
        return tuner.changeFrequency(hz) && done.wait(5000);
    }
    RigSettings settings;
    RigPoller poller;
    RigTuner tuner;
};
} // namespace

TEST(RigSimulators, HamlibsBackendsReadThemAsRealRigs)
{
    const QString rigctl = QStandardPaths::findExecutable("rigctl");
    ASSERT_FALSE(rigctl.isEmpty()) << "libhamlib-utils is needed";
    // Hamlib's model numbers: TS-570D, IC-706MkIIG, IC-735, Omni VI Plus,
    // FT-817, FT-920, FTDX-9000.
    const struct {
        const char *rig, *model;
        bool cw;
        const char *mode;
        qint64 hz;
    } cases[] = {
        {"Kenwood", "2004", false, "USB", 14250000},   {"Kenwood 2", "2004", true, "CW", 7025000},
        {"Icom", "3011", false, "USB", 144200000},     {"Icom 735", "3019", true, "CW", 14025000},
        {"Ten Tec Omni VI", "3051", false, "USB", 50125000}, {"Yaesu", "1020", true, "CW", 144050000},
        {"Yaesu 920", "1014", true, "CW", 14025000},   {"Yaesu FTdx9000", "1030", false, "USB", 50125000},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rig);
        RigSimulator rig(QString::fromLatin1(c.rig));
        ASSERT_TRUE(rig.ready());
        rig.hz = c.hz;
        rig.cw = c.cw;
        QProcess client;
        client.start(rigctl, {"-m", c.model, "-r", rig.device(), "-C", "timeout=300,retry=0", "f", "m"});
        ASSERT_TRUE(client.waitForStarted());
        const bool ended = QTest::qWaitFor([&] { return client.state() == QProcess::NotRunning; }, 20000);
        if (!ended)
            client.kill();
        const QStringList lines = QString::fromLatin1(client.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        EXPECT_TRUE(ended);
        EXPECT_EQ(lines.value(0), QString::number(c.hz)) << client.readAllStandardError().toStdString();
        EXPECT_EQ(lines.value(1), QString::fromLatin1(c.mode));
    }
}

TEST(RigPolling, EveryFamilyFollowsItsSimulatorThroughBadRepliesAndIsTunedInTheBandPlansMode)
{
    ASSERT_FALSE(QStandardPaths::findExecutable("socat").isEmpty()) << "socat is needed";
    const struct {
        const char *rig;
        bool checksReplies; // binary status blocks carry nothing to check
        const char *tunedMode; // the mode command sent for 14.2 MHz, if the rig takes one
    } rigs[] = {
        {"Kenwood", true, "USB"},         {"Elecraft", true, "USB"},        {"Kenwood 2", true, "USB"},
        {"Yaesu FTdx9000", true, "USB"},  {"Ten Tec Orion", true, ""},      {"Icom", true, "USB"},
        {"Icom 735", true, ""},           {"Ten Tec Omni VI", true, "USB"}, {"Yaesu", true, "USB"},
        {"Yaesu 757 GX II", true, "USB"}, {"Yaesu 890", false, "USB"},      {"Yaesu 920", false, "USB"},
        {"Yaesu 990", false, "USB"},      {"Yaesu 1000 D", false, "USB"},   {"Yaesu 1000", false, "USB"},
        {"Ten Tec Fnt Pnl", false, ""},
    };
    for (const auto &r : rigs) {
        SCOPED_TRACE(r.rig);
        const QString name = QString::fromLatin1(r.rig);
        RigSimulator rig(name);
        ASSERT_TRUE(rig.ready());
        rig.hz = 14250000;
        SerialPorts::mapPort(Port, rig.device());
        TunedRig t(name);
        RigPoller &poller = t.poller;
        QString error;
        ASSERT_TRUE(t.start(&error)) << error.toStdString();
        EXPECT_TRUE(reads(poller, 14.25f, "PH"));

        rig.hz = 50125000;
        rig.cw = true;
        EXPECT_TRUE(reads(poller, 50.125f, "CW"));

        // Each reply in two pieces, the second after the logger's read. A
        // reply without an end mark must be whole before the next query.
        rig.answer = RigSimulator::Answer::Split;
        if (Rig::model(name).replyBytes > 0)
            rig.splitDelayMs = 25;
        rig.hz = 28400000;
        EXPECT_TRUE(reads(poller, 28.4f, ""));

        // Garbled, cut short or missing: the values stay.
        for (auto bad : {RigSimulator::Answer::Garbled, RigSimulator::Answer::Short, RigSimulator::Answer::Silent}) {
            if (bad == RigSimulator::Answer::Garbled && !r.checksReplies)
                continue;
            rig.answer = bad;
            rig.hz = 21300000;
            const qsizetype asked = rig.queries.size();
            ASSERT_TRUE(QTest::qWaitFor([&] { return rig.queries.size() >= asked + 6; }, 3000));
            EXPECT_FLOAT_EQ(poller.state().frequency, 28.4f) << int(bad);
        }
        rig.answer = RigSimulator::Answer::Normal;
        rig.hz = 7100000;
        EXPECT_TRUE(reads(poller, 7.1f, ""));

        // Tuned: the mode command first, the frequency the rig's settle time
        // later, and polling again afterwards.
        ASSERT_TRUE(t.tune(14200000));
        EXPECT_TRUE(poller.timer()->isActive());
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.hz == 14200000; }, 2000)) << rig.hz;
        EXPECT_EQ(rig.modeSet, QLatin1String(r.tunedMode));
        EXPECT_TRUE(reads(poller, 14.2f, ""));
        const Rig::CommandSetup setup{&Rig::model(name), t.settings.freqQuery, t.settings.modeQuery,
                                      poller.state().vfo, {}};
        const Rig::Command freq = Rig::frequencyCommand(setup, 14200000);
        const qsizetype f = rig.queries.indexOf(freq.bytes);
        ASSERT_GE(f, 0);
        if (*r.tunedMode) {
            const qsizetype m = rig.queries.indexOf(Rig::modeCommand(setup, QLatin1String(r.tunedMode)).bytes);
            ASSERT_GE(m, 0);
            EXPECT_LT(m, f);
            EXPECT_GE(rig.arrivals[f] - rig.arrivals[m], freq.settleMs * 9 / 10);
        }
        poller.stop();
    }
    SerialPorts::mapPort(Port, {});
}

TEST(RigPolling, FastRatePutsAQueryOnTheWireEvery100Ms)
{
    RigSimulator rig(QStringLiteral("Kenwood"));
    ASSERT_TRUE(rig.ready());
    SerialPorts::mapPort(Port, rig.device());
    RigPoller poller([](const RigSettings &s, const Rig::Model &m) { return link(nullptr, s, m); });
    QString error;
    ASSERT_TRUE(poller.start(fastSettings(QStringLiteral("Kenwood")), &error));
    EXPECT_EQ(poller.timer()->interval(), 50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.arrivals.size() >= 22; }, 5000)); // "FA;" and "MD;" each poll
    const double span = double(rig.arrivals.at(20) - rig.arrivals.at(0)) / 10.0;
    EXPECT_NEAR(span, 100.0, 15.0);
    poller.stop();
    SerialPorts::mapPort(Port, {});
}

TEST(RigPolling, APulledCableIsToldOnceAndPollingResumesWhenItIsBack)
{
    RigSimulator rig(QStringLiteral("Icom"));
    ASSERT_TRUE(rig.ready());
    SerialPorts::mapPort(Port, rig.device());
    PortArbiter ports;
    RigPoller poller([&ports](const RigSettings &s, const Rig::Model &m) { return link(&ports, s, m); });
    QSignalSpy lost(&poller, &RigPoller::linkLost), back(&poller, &RigPoller::linkRestored);
    QString error;
    ASSERT_TRUE(poller.start(fastSettings(QStringLiteral("Icom")), &error));
    ASSERT_TRUE(reads(poller, 144.2f, "PH"));
    EXPECT_TRUE(ports.request(PortRole::Rig).has_value());

    rig.unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return lost.size() == 1; }, 3000));
    rig.hz = 50200000;
    ASSERT_TRUE(rig.plugIn());
    EXPECT_TRUE(reads(poller, 50.2f, ""));
    EXPECT_EQ(back.size(), 1);
    EXPECT_EQ(lost.size(), 1);
    EXPECT_TRUE(poller.isPolling());

    // A CW key opened on the same device takes the port from the rig.
    QString why;
    ports.open(PortRole::CwKey, KeyLineRequest::serial(Port), &why);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lost.size() == 2; }, 3000));
    ports.close(PortRole::CwKey);
    poller.stop();
    SerialPorts::mapPort(Port, {});
}

TEST(RigPolling, ABadPortIsRefusedWithTheReason)
{
    QTemporaryDir dir;
    SerialPorts::mapPort(Port, dir.filePath("gone"));
    RigPoller poller([](const RigSettings &s, const Rig::Model &m) { return link(nullptr, s, m); });
    QString error;
    EXPECT_FALSE(poller.start(fastSettings(QStringLiteral("Kenwood")), &error));
    EXPECT_TRUE(error.contains("gone")) << error.toStdString();
    EXPECT_FALSE(poller.isPolling());
    SerialPorts::mapPort(Port, {});
}

TEST(RigPolling, PegasusPollsItsExchangeFileWithoutAPortAndTheModeMayComeFromTheFrequency)
{
    QTemporaryDir dir;
    RigPoller poller([](const RigSettings &, const Rig::Model &) {
        ADD_FAILURE() << "Pegasus opens no port";
        return std::unique_ptr<RigLink>();
    });
    QSignalSpy replies(&poller, &RigPoller::replyRead);
    RigSettings s = fastSettings(QStringLiteral("Ten Tec Pegasus"));
    s.pegasusFolder = dir.path();
    s.modeBy = RigSettings::ModeBy::Frequency;
    QString error;
    ASSERT_TRUE(poller.start(s, &error));
    ASSERT_TRUE(QTest::qWaitFor([&] { return replies.size() >= 2; }, 2000)); // no file yet
    EXPECT_EQ(poller.state(), Rig::RigState());
    ASSERT_TRUE(writeFileAtomically(dir.filePath("PEGASUS.OUT"), "14.1499,\"USB\"\r\n"));
    EXPECT_TRUE(reads(poller, 14.1499f, "CW")); // the CW sub-band wins over the rig's USB
    ASSERT_TRUE(writeFileAtomically(dir.filePath("PEGASUS.OUT"), "1.85\r\n\"CW\"\r\n"));
    EXPECT_TRUE(reads(poller, 1.85f, "CW")); // no sub-band: the rig's mode stays
    poller.stop();
}

TEST(RigTuning, RefusedAndFailedCommandsSendNothingAndPollingGoesOn)
{
    RigSimulator rig(QStringLiteral("Yaesu FTdx9000"));
    ASSERT_TRUE(rig.ready());
    SerialPorts::mapPort(Port, rig.device());
    TunedRig t(QStringLiteral("Yaesu FTdx9000"));
    QString why;
    ASSERT_TRUE(t.start(&why));
    QSignalSpy failed(&t.tuner, &RigTuner::failed);
    // 432 MHz has nine digits: the rig's eight-digit command cannot carry it.
    ASSERT_TRUE(t.tune(432100000));
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0][0].toString(), "Error Changing Frequency");
    EXPECT_TRUE(t.poller.timer()->isActive());
    const qsizetype asked = rig.queries.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.queries.size() >= asked + 2; }, 2000));
    for (const QByteArray &q : rig.queries)
        EXPECT_TRUE(q == "FA;" || q == "MD0;") << q.toStdString();

    // The cable is pulled while the rig is polled: the change is told and
    // polling goes on, to find the rig again.
    rig.unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !t.poller.linkUp(); }, 3000));
    ASSERT_TRUE(t.tune(14200000));
    ASSERT_EQ(failed.size(), 2);
    EXPECT_TRUE(t.poller.timer()->isActive());
    ASSERT_TRUE(rig.plugIn());
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.poller.linkUp(); }, 3000));
    EXPECT_TRUE(t.tune(14200000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.hz == 14200000; }, 3000));

    // Not polling: nothing at all.
    t.poller.stop();
    EXPECT_FALSE(t.tuner.changeFrequency(7025000));
    SerialPorts::mapPort(Port, {});
}

TEST(RigTuning, ThePegasusProgramGetsTheFrequencyInItsFile)
{
    QTemporaryDir folder;
    TunedRig t(QStringLiteral("Ten Tec Pegasus"));
    t.settings.pegasusFolder = folder.path();
    QString why;
    ASSERT_TRUE(t.start(&why));
    ASSERT_TRUE(t.tune(14250000));
    QFile in(folder.filePath("PEGASUS.IN"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(in.readAll(), QByteArray("14.25\r\n\"\"\r\n"));
    EXPECT_TRUE(t.poller.timer()->isActive());
}
