// The frequency and mode commands of every rig family, byte for byte, at the
// edges of what each command can carry; the mode the band plan gives; the
// order of the steps that tune a rig.
#include "rig/RigProtocol.h"
#include "rig/RigTuner.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Rig;

namespace {
CommandSetup setupFor(const char *rig, int vfo = 10)
{
    const Model &m = model(QString::fromLatin1(rig));
    return {&m, m.freqQuery, m.modeQuery, vfo, QStringLiteral("PH")};
}

// Text commands as they are, binary ones as spaced hex.
std::string shown(const QByteArray &b, bool hex)
{
    return (hex ? bytesToHexText(b).trimmed() : QString::fromLatin1(b)).toStdString();
}

BandPlan shippedPlan()
{
    QFile f(QStringLiteral(":/BandPlan.txt"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return BandPlan::parse(f.readAll());
}
} // namespace

TEST(RigCommands, FrequencyBytesOfEveryFamilyAndTheRefusedCases)
{
    const struct {
        const char *rig;
        qint64 hz;
        bool hex;
        const char *wire; // empty: nothing
        bool refused;
        int settleMs;
        int vfo = 10;
    } cases[] = {
        {"Kenwood", 14250000, false, "FA00014250000;", false, 205},
        {"Kenwood", 99999999999, false, "FA99999999999;", false, 205},
        {"Kenwood", 100000000000, false, "", true, 0},
        {"Kenwood", 0, false, "", true, 0},
        {"Kenwood", -14250000, false, "", true, 0},
        {"Kenwood 2", 14250000, false, "FB00014250000;", false, 205, 1},
        {"Kenwood 2", 14250000, false, "FA00014250000;", false, 205, 2},
        {"Kenwood 2", 14250000, false, "FA00014250000;", false, 205, 10},
        {"Elecraft", 144200000, false, "FA00144200000;", false, 1205},
        {"Icom", 14250000, true, "FE FE 64 E0 05 00 00 25 14 00 FD", false, 140},
        {"Icom", 9999999999, true, "FE FE 64 E0 05 99 99 99 99 99 FD", false, 140},
        {"Icom", 10000000000, true, "", true, 0},
        {"Icom 735", 432100000, true, "FE FE 64 E0 05 00 00 10 32 04 FD", false, 140},
        {"Ten Tec Omni VI", 50125000, true, "FE FE 04 E0 05 00 50 12 50 00 FD", false, 360},
        {"Ten Tec Fnt Pnl", 14250000, true, "2A 41 00 D9 70 10 0D", false, 205},
        {"Ten Tec Fnt Pnl", 4294967295, true, "2A 41 FF FF FF FF 0D", false, 205},
        {"Ten Tec Fnt Pnl", 4294967296, true, "", true, 0},
        {"Ten Tec Orion", 14250000, false, "*AF14.25\r", false, 205},
        {"Ten Tec Orion", 144200000, false, "*AF144.2\r", false, 205},
        {"Ten Tec Orion", 432100010, false, "*AF432.10001\r", false, 205},
        {"Yaesu", 14250000, true, "01 42 50 00 01", false, 205},
        {"Yaesu", 432100010, true, "43 21 00 01 01", false, 205},
        {"Yaesu", 999999990, true, "99 99 99 99 01", false, 205},
        {"Yaesu", 1000000000, true, "", true, 0},
        {"Yaesu", 4, true, "", true, 0},
        {"Yaesu 890", 14250000, true, "00 50 42 01 0A", false, 205},
        {"Yaesu 757 GX II", 7025000, true, "00 25 70 00 0A", false, 205},
        {"Yaesu 1000", 14250000, true, "00 50 42 01 0A", false, 10},
        {"Yaesu FTdx9000", 14250000, false, "FA14250000;", false, 205},
        {"Yaesu FTdx9000", 99999999, false, "FA99999999;", false, 205},
        {"Yaesu FTdx9000", 432100000, false, "", true, 0},
        {"Hamlib rigctld", 1296100000, false, "F 1296100000\n", false, 0},
        {"Other", 14250000, false, "", false, 0},
        {"None", 14250000, false, "", false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.rig) + " " + std::to_string(c.hz));
        const Command cmd = frequencyCommand(setupFor(c.rig, c.vfo), c.hz);
        EXPECT_EQ(shown(cmd.bytes, c.hex), c.wire);
        EXPECT_EQ(!cmd.refused.isEmpty(), c.refused) << cmd.refused.toStdString();
        EXPECT_EQ(cmd.settleMs, c.settleMs);
    }
    // An address that is not hex in the query: nothing rather than a wrong frame.
    CommandSetup icom = setupFor("Icom");
    icom.freqQuery = QStringLiteral("FE FE ZZ E0 03 FD");
    EXPECT_FALSE(frequencyCommand(icom, 14250000).refused.isEmpty());
    // The Pegasus program reads the frequency and the mode from its file.
    const Command pegasus = frequencyCommand(setupFor("Ten Tec Pegasus"), 14250000);
    EXPECT_TRUE(pegasus.toFile);
    EXPECT_EQ(pegasus.bytes, QByteArray("14.25\r\n\"PH\"\r\n"));
}

TEST(RigCommands, ModeBytesOfEveryFamily)
{
    const struct {
        const char *rig, *mode;
        bool hex;
        const char *wire;
    } cases[] = {
        {"Icom", "USB", true, "FE FE 64 E0 06 01 FD"},      {"Icom", "LSB", true, "FE FE 64 E0 06 00 FD"},
        {"Ten Tec Omni VI", "RTTY-R", true, "FE FE 04 E0 06 08 FD"}, {"Icom", "DIG", true, ""},
        {"Icom 735", "USB", true, ""},                       {"Kenwood", "CW", false, "MD3;"},
        {"Kenwood 2", "LSB", false, "MD1;"},                 {"Elecraft", "FSK", false, "MD6;"},
        {"Kenwood", "CW-R", false, ""},                      {"Yaesu", "USB", true, "01 00 00 00 07"},
        {"Yaesu", "DIG", true, "0A 00 00 00 07"},            {"Yaesu", "PKT", true, "0C 00 00 00 07"},
        {"Yaesu 890", "CW-R", true, "00 00 00 03 0C"},       {"Yaesu 1000 D", "FM", true, "00 00 00 06 0C"},
        {"Yaesu 757 GX II", "DIG", true, ""},                {"Yaesu FTdx9000", "LSB", false, "MD01;"},
        {"Yaesu FTdx9000", "CW-R", false, "MD07;"},          {"Yaesu FTdx9000", "PKT", false, ""},
        {"Hamlib rigctld", "CW-R", false, "M CWR 0\n"},      {"Ten Tec Orion", "USB", false, ""},
        {"Ten Tec Fnt Pnl", "CW", true, ""},                 {"Ten Tec Pegasus", "USB", false, ""},
        {"Other", "USB", false, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.rig) + " " + c.mode);
        const Command cmd = modeCommand(setupFor(c.rig), QString::fromLatin1(c.mode));
        EXPECT_EQ(shown(cmd.bytes, c.hex), c.wire);
        EXPECT_TRUE(cmd.refused.isEmpty());
    }
}

TEST(RigCommands, BandPlanModeAndTheOrderOfModeDelayAndFrequency)
{
    const BandPlan plan = shippedPlan();
    EXPECT_FALSE(plan.effective.isEmpty());
    const struct {
        qint64 hz;
        const char *mode;
    } modes[] = {
        {14250000, "USB"}, {7200000, "LSB"}, {3750000, "LSB"}, {14025000, "CW"}, {1900000, ""},
        {5332000, "USB"},  {14150000, ""},   {432100000, "USB"}, {50090000, "CW"}, {2400000, ""},
    };
    for (const auto &m : modes)
        EXPECT_EQ(plan.rigModeFor(m.hz), QLatin1String(m.mode)) << m.hz;
    // The file's own row decides: a 40 m phone row from 7.125 MHz.
    const BandPlan forty = BandPlan::parse("\"2024\"\r\n\"40\",\"E\",\"PH\",7.125,7.3\r\n");
    EXPECT_EQ(forty.rigModeFor(7200000), QStringLiteral("LSB"));

    using S = TuneStep;
    const TunePlan to20 = frequencyPlan(setupFor("Kenwood"), plan, 14200000);
    const QList<TuneStep> expected{S::drain(), S::wait(ModeLeadMs), S::send("MD2;"),           S::drain(),
                                   S::drain(), S::wait(205),        S::send("FA00014200000;"), S::drain()};
    EXPECT_EQ(to20.steps, expected);
    EXPECT_EQ(to20.mode, QStringLiteral("USB"));
    // 160 m: no mode command, only the frequency.
    const TunePlan to160 = frequencyPlan(setupFor("Kenwood"), plan, 1900000);
    EXPECT_EQ(to160.steps.size(), 4);
    EXPECT_EQ(to160.steps[2].bytes, QByteArray("FA00001900000;"));
    // A frequency the rig cannot take sends no mode either.
    const TunePlan tooHigh = frequencyPlan(setupFor("Yaesu FTdx9000"), plan, 432100000);
    EXPECT_TRUE(tooHigh.steps.isEmpty());
    EXPECT_FALSE(tooHigh.refused.isEmpty());
}

TEST(BandPlanFile, MalformedRowsZeroWidthBandsAndTheChartOfAClass)
{
    // A malformed row ends the reading; a band of no width gets no bar.
    const BandPlan odd = BandPlan::parse("\"2024\"\r\n\"20\",\"O\",\"PH\",14,14.35\r\n\"X\",\"O\",\"PH\",5,5\r\n"
                                         "\"20\",\"G\",\"CW\",14.025,14.15\r\n\"20\",\"G\",\"PH\",oops,14.35\r\n"
                                         "\"20\",\"G\",\"PH\",14.225,14.35\r\n");
    EXPECT_EQ(odd.rows.size(), 3);
    const QList<PrivilegeBar> bars = odd.chart(QLatin1Char('G'));
    ASSERT_EQ(bars.size(), 1);
    EXPECT_EQ(bars[0].toolTip, QStringLiteral("20  14.000 - 14.350"));
    ASSERT_EQ(bars[0].segments.size(), 1);
    EXPECT_NEAR(bars[0].segments[0].start, 0.025 / 0.35, 1e-9);
    EXPECT_EQ(bars[0].segments[0].toolTip, QStringLiteral("CW  14.025 - 14.150"));
    EXPECT_TRUE(odd.chart(QLatin1Char('N'))[0].segments.isEmpty());
    EXPECT_EQ(privilegeMHzText(1240000000), QStringLiteral("1,240.000"));
    // The shipped plan: every class has its bars, Novices nothing on 20 m.
    const BandPlan plan = shippedPlan();
    for (QChar c : QStringLiteral("NTPGAE")) {
        const QList<PrivilegeBar> chart = plan.chart(c);
        EXPECT_EQ(chart.size(), 14);
        const bool onTwenty = chart[5].band == QLatin1String("20") && !chart[5].segments.isEmpty();
        EXPECT_EQ(onTwenty, QStringLiteral("GAE").contains(c)) << c.toLatin1();
    }
}
