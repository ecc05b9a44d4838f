// The simulators answer as the rigs do: Hamlib's own backend for a rig of
// each family reads the simulator's frequency and mode, so the simulators are
// not written to fit the logger's parsers.
#include "support/RigSimulator.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

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
