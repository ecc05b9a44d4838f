// Polling over a real serial line: each rig family is played by a simulator
// on a pseudo-terminal pair, and Hamlib's rigctld is the real daemon with
// its dummy rig.
#include "platform/AtomicFile.h"
#include "platform/PortArbiter.h"
#include "platform/SerialPorts.h"
#include "platform/SerialRigLink.h"
#include "platform/TcpRigLink.h"
#include "rig/RigPoller.h"
#include "support/RigSimulator.h"

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
} // namespace

TEST(RigPolling, EveryFamilyFollowsItsSimulatorThroughSplitGarbledAndSilentReplies)
{
    ASSERT_FALSE(QStandardPaths::findExecutable("socat").isEmpty()) << "socat is needed";
    const struct {
        const char *rig;
        bool checksReplies; // binary status blocks carry nothing to check
        bool readsMode;
    } rigs[] = {
        {"Kenwood", true, true},          {"Elecraft", true, true},         {"Kenwood 2", true, true},
        {"Yaesu FTdx9000", true, true},   {"Ten Tec Orion", true, true},    {"Icom", true, true},
        {"Icom 735", true, true},         {"Ten Tec Omni VI", true, true},  {"Yaesu", true, true},
        {"Yaesu 757 GX II", true, true},  {"Yaesu 890", false, true},       {"Yaesu 920", false, true},
        {"Yaesu 990", false, true},       {"Yaesu 1000 D", false, true},    {"Yaesu 1000", false, true},
        {"Ten Tec Fnt Pnl", false, true},
    };
    for (const auto &r : rigs) {
        SCOPED_TRACE(r.rig);
        RigSimulator rig(QString::fromLatin1(r.rig));
        ASSERT_TRUE(rig.ready());
        rig.hz = 14250000;
        SerialPorts::mapPort(Port, rig.device());
        RigPoller poller([](const RigSettings &s, const Rig::Model &m) { return link(nullptr, s, m); });
        QString error;
        ASSERT_TRUE(poller.start(fastSettings(QString::fromLatin1(r.rig)), &error)) << error.toStdString();
        EXPECT_TRUE(reads(poller, 14.25f, "PH"));

        rig.hz = 50125000;
        rig.cw = true;
        EXPECT_TRUE(reads(poller, 50.125f, "CW"));

        // Each reply in two pieces, the second after the logger's read. A
        // reply without an end mark must be whole before the next query.
        rig.answer = RigSimulator::Answer::Split;
        if (Rig::model(QString::fromLatin1(r.rig)).replyBytes > 0)
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
