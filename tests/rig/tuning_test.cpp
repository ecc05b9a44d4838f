// Tuning over a real serial line: each family's simulator takes the mode and
// frequency commands and reports where the rig went; the mode goes first,
// the rig's settle time passes before the frequency, and polling runs again
// afterwards, also when the command could not be sent.
#include "platform/SerialPorts.h"
#include "platform/SerialRigLink.h"
#include "rig/RigPoller.h"
#include "rig/RigTuner.h"
#include "support/RigSimulator.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
constexpr int Port = 7;

struct TunedRig {
    explicit TunedRig(const QString &rig)
        : poller([](const RigSettings &s, const Rig::Model &) {
              SerialLineSettings line;
              line.portNumber = s.port;
              line.baud = 9600;
              return std::make_unique<SerialRigLink>(line, nullptr);
          }),
          tuner(poller)
    {
        QFile f(QStringLiteral(":/BandPlan.txt"));
        if (f.open(QIODevice::ReadOnly))
            tuner.setBandPlan(BandPlan::parse(f.readAll()));
        settings.rigType = rig;
        settings.freqQuery = Rig::model(rig).freqQuery;
        settings.modeQuery = Rig::model(rig).modeQuery;
        settings.port = Port;
        settings.pollRate = QLatin1Char('F');
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

qsizetype indexOf(const QList<QByteArray> &list, const QByteArray &wanted)
{
    return list.indexOf(wanted);
}
} // namespace

TEST(RigTuning, EveryFamilyGoesToTheFrequencyInTheBandPlansModeAndPollsAgain)
{
    const struct {
        const char *rig;
        const char *mode; // what the rig reports after tuning to 14.2 MHz
    } rigs[] = {
        {"Kenwood", "USB"},   {"Kenwood 2", "USB"},  {"Elecraft", "USB"},   {"Yaesu FTdx9000", "USB"},
        {"Icom", "USB"},      {"Ten Tec Omni VI", "USB"}, {"Icom 735", ""}, {"Yaesu", "USB"},
        {"Yaesu 757 GX II", "USB"}, {"Yaesu 890", "USB"}, {"Yaesu 920", "USB"}, {"Yaesu 990", "USB"},
        {"Yaesu 1000 D", "USB"}, {"Yaesu 1000", "USB"}, {"Ten Tec Orion", ""}, {"Ten Tec Fnt Pnl", ""},
    };
    for (const auto &r : rigs) {
        SCOPED_TRACE(r.rig);
        const QString name = QString::fromLatin1(r.rig);
        RigSimulator rig(name);
        ASSERT_TRUE(rig.ready());
        rig.hz = 7025000;
        SerialPorts::mapPort(Port, rig.device());
        TunedRig t(name);
        QString why;
        ASSERT_TRUE(t.start(&why)) << why.toStdString();
        ASSERT_TRUE(t.tune(14200000));
        EXPECT_TRUE(t.poller.timer()->isActive());
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.hz == 14200000; }, 2000)) << rig.hz;
        EXPECT_EQ(rig.modeSet, QLatin1String(r.mode));
        EXPECT_TRUE(QTest::qWaitFor([&] { return qAbs(t.poller.state().frequency - 14.2f) < 0.0001f; }, 3000));

        // The mode command came first, the frequency the rig's settle time later.
        const Rig::CommandSetup setup{&Rig::model(name), t.settings.freqQuery, t.settings.modeQuery,
                                      t.poller.state().vfo, {}};
        const Rig::Command freq = Rig::frequencyCommand(setup, 14200000);
        const qsizetype f = indexOf(rig.queries, freq.bytes);
        ASSERT_GE(f, 0);
        if (*r.mode) {
            const qsizetype m = indexOf(rig.queries, Rig::modeCommand(setup, QLatin1String(r.mode)).bytes);
            ASSERT_GE(m, 0);
            EXPECT_LT(m, f);
            EXPECT_GE(rig.arrivals[f] - rig.arrivals[m], freq.settleMs * 9 / 10);
        }
        t.poller.stop();
    }
    SerialPorts::mapPort(Port, {});
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
