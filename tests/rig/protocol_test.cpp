// The rig protocols without a port: the query bytes of each model, the
// cutting of replies into frames however they arrive, the reading of each
// reply (including replies that do not fit), the frequency and mode commands
// of every family at the edges of what each can carry, the mode the band
// plan gives and the order of the steps that tune a rig.
#include "rig/RigModels.h"
#include "rig/RigProtocol.h"
#include "rig/RigSettings.h"
#include "rig/RigTuner.h"
#include "support/TestLog.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Rig;

namespace {
QByteArray hex(const char *text) { return *hexTextToBytes(QString::fromLatin1(text)); }

QuerySetup setupOf(const QString &rig)
{
    const Model &m = model(rig);
    return {&m, m.freqQuery, m.modeQuery, m.convertToHex};
}

// Feeds the bytes through the rig's framer and parses every frame.
RigState parsed(const QuerySetup &s, const QByteArray &bytes)
{
    ReplyFramer framer(*s.model);
    framer.append(bytes);
    RigState st;
    for (const QByteArray &f : framer.takeFrames())
        parseReply(s, f, st);
    return st;
}

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

TEST(RigModels, ListTheRigsInOrderWithTheirDefaults)
{
    QStringList names;
    for (const Model &m : models())
        names << m.name;
    EXPECT_EQ(names.size(), 20);
    EXPECT_EQ(names.front(), "None");
    EXPECT_EQ(names.at(8), "Ten Tec Fnt Pnl");
    EXPECT_EQ(names.at(18), "Other");
    EXPECT_EQ(names.back(), RigctldName);
    EXPECT_EQ(model("Icom").freqQuery, "FE FE 64 E0 03 FD");
    EXPECT_TRUE(model("Icom 735").icomNote);
    EXPECT_EQ(model("Yaesu FTdx9000").baud, "4800");
    EXPECT_TRUE(model("Yaesu FTdx9000").parity.isNull());
    EXPECT_EQ(model("no such rig").name, "None");
}

TEST(RigProtocol, QueriesGoOutAsEachRigWantsThem)
{
    struct Case {
        const char *rig, *freq, *mode;
        bool hexBox;
        QList<QByteArray> sent; // successive send phases
        bool problem = false;
    };
    const Case cases[] = {
        {"Kenwood", "FA;", "MD;", false, {"FA;MD;", "FA;MD;"}},
        {"Kenwood 2", "IF;", "", false, {"IF;"}},
        {"Icom", "FE FE 64 E0 03 FD", "FE FE 64 E0 04 FD", true, {hex("FE FE 64 E0 03 FD"), hex("FE FE 64 E0 04 FD"), hex("FE FE 64 E0 03 FD")}},
        {"Icom", "FE FE 64 E0 03", "FE FE 64 E0 04 FD", true, {"", hex("FE FE 64 E0 04 FD")}, true},
        {"Icom", "FE FE 6G E0 03 FD", "", true, {""}, true},
        {"Yaesu", "00 00 00 00 03", "ignored", true, {hex("00 00 00 00 03"), hex("00 00 00 00 03")}},
        {"Yaesu FTdx9000", "FA;", "MD0;", false, {"FA;", "MD0;"}},
        {"Yaesu FTdx9000", "F", "MD0;", false, {"", "MD0;"}},
        {"Ten Tec Fnt Pnl", "3F 41 0D", "3F 4D 0D", true, {"?A\r", "?M\r"}},
        {"Ten Tec Orion", "?AF", "?RMM", false, {"?AF\r?RMM\r"}},
        {"Other", "FE FE", "x", true, {""}, true},
        {"Other", "FE FE", "", true, {hex("FE FE")}},
        {"Other", "AB", "CD", false, {"ABCD"}},
        {"Ten Tec Pegasus", "", "", false, {""}},
        {"Hamlib rigctld", "", "", false, {"+f\n+m\n"}},
    };
    for (const Case &c : cases) {
        const QuerySetup s{&model(c.rig), c.freq, c.mode, c.hexBox};
        bool turn = false, problem = false;
        for (const QByteArray &want : c.sent) {
            const Query q = pollQuery(s, turn);
            EXPECT_EQ(q.bytes, want) << c.rig << " " << c.freq;
            problem = problem || !q.problem.isEmpty();
        }
        EXPECT_EQ(problem, c.problem) << c.rig << " " << c.freq;
    }
}

TEST(RigProtocol, RepliesGiveFrequencyAndMode)
{
    struct Case {
        const char *rig;
        QByteArray reply;
        float mhz;        // 0: unchanged
        const char *mode; // "": unchanged
        const char *freqQuery = nullptr;
    };
    const QByteArray ifReply = "IF00014250000" "0000" "000000" "000" "00" "0" "2" "1" "0" "0" "0" "00" "0;";
    QByteArray ifCw = ifReply;
    ifCw[29] = '3';
    QByteArray ifSeven = ifReply;
    ifSeven[29] = '7';
    const Case cases[] = {
        {"Kenwood", "FA00014250000;MD3;", 14.25f, "CW"},
        {"Kenwood", "MD7;", 0, "CW"},
        {"Kenwood", "MD2;", 0, "PH"},
        {"Kenwood", "FA00014250000;MD2;", 0, "PH", "F"}, // a short query: frequency never read
        {"Kenwood", "FA0001425000;", 0, ""},          // one digit short
        {"Kenwood", "FA0001425X000;", 0, ""},
        {"Elecraft", "FA00050125000;MD1;", 50.125f, "PH"},
        {"Kenwood 2", ifReply, 14.25f, "PH"},
        {"Kenwood 2", ifCw, 14.25f, "CW"},
        {"Kenwood 2", ifSeven, 14.25f, "PH"},
        {"Kenwood 2", ifReply.left(30) + ";", 0, ""}, // too short for the mode and VFO
        {"Yaesu FTdx9000", "FA14250000;MD03;", 14.25f, "CW"},
        {"Yaesu FTdx9000", "FA1425000;MD02;", 0, "PH"},
        {"Ten Tec Orion", "@AF14250000\r@RMM2\r", 14.25f, "CW"},
        {"Ten Tec Orion", "@AF\r@RMM0\r", 0, "PH"},
        {"Icom", hex("FE FE 64 E0 03 FD FE FE E0 64 03 00 00 25 14 00 FD"), 14.25f, ""},
        {"Icom 735", hex("FE FE 64 E0 03 FD FE FE E0 64 03 00 00 25 14 FD"), 14.25f, ""},
        {"Icom", hex("FE FE 64 E0 04 FD FE FE E0 64 04 03 01 FD"), 0, "CW"},
        {"Icom", hex("FE FE E0 64 04 07 01 FD"), 0, "PH"},
        {"Icom", hex("FE FE E0 64 03 00 0A 25 14 00 FD"), 0, ""},       // not BCD
        {"Icom", hex("FE FE E0 64 03 00 25 FD FE FE E0 64 03 00 00 25 14 00 FD"), 14.25f, ""}, // broken frame first
        {"Ten Tec Omni VI", hex("FE FE E0 04 03 00 00 05 44 01 FD"), 144.05f, ""},
        {"Yaesu", hex("01 42 50 00 01"), 14.25f, "PH"},
        {"Yaesu", hex("01 42 50 00 82"), 14.25f, "CW"},
        {"Yaesu", hex("01 42 50 00 0A"), 0, ""},
        {"Yaesu", hex("01 42 50 00 05"), 14.25f, ""},
        {"Yaesu 890", hex("00 00 15 BE 68 00 00 02 00 00 00 00 00 00 00 00 00 00"), 14.25f, "CW"},
        {"Yaesu 990", hex("00 15 BE 68 00 00 00 01 00 00 00 00 00 00 00 00"), 14.25f, "PH"},
        {"Yaesu 1000", hex("00 01 5B E6 80 00 00 08 00 00 00 00 00 00 00 00"), 14.25f, ""},
        {"Yaesu 920", hex("00 00 D9 70 10 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"), 14.25f, "CW"},
        {"Ten Tec Fnt Pnl", QByteArray("A") + hex("00 D9 70 10") + "\r" + "M" + hex("33 33") + "\r", 14.25f, "CW"},
        {"Ten Tec Fnt Pnl", QByteArray("M") + hex("05 05") + "\r", 0, ""},
        {"Hamlib rigctld", "get_freq:\nFrequency: 144200000\nRPRT 0\nget_mode:\nMode: USB\nPassband: 2400\nRPRT 0\n", 144.2f, "PH"},
        {"Hamlib rigctld", "Frequency: abc\nMode: CWR\n", 0, "CW"},
        {"Other", "FA00014250000;", 0, ""},
    };
    for (const Case &c : cases) {
        QuerySetup s = setupOf(c.rig);
        if (c.freqQuery)
            s.freqQuery = c.freqQuery;
        const RigState st = parsed(s, c.reply);
        EXPECT_FLOAT_EQ(st.frequency, c.mhz) << c.rig << " " << c.reply.toHex(' ').toStdString();
        EXPECT_EQ(st.mode, QString::fromLatin1(c.mode)) << c.rig << " " << c.reply.toHex(' ').toStdString();
    }
    // The 757's status block: frequency in bytes 9..6, mode in byte 10.
    QByteArray block(75, '\0');
    block[5] = 0x00, block[6] = 0x50, block[7] = 0x42, block[8] = 0x01, block[9] = 0x03;
    const RigState st = parsed(setupOf("Yaesu 757 GX II"), block);
    EXPECT_FLOAT_EQ(st.frequency, 14.25f);
    EXPECT_EQ(st.mode, "CW");
    // The IF reply also tells the VFO.
    RigState vfo = parsed(setupOf("Kenwood 2"), QByteArray(ifReply).replace(30, 1, "1"));
    EXPECT_EQ(vfo.vfo, 1);
}

TEST(RigProtocol, RepliesSplitAcrossReadsAreJoinedAndStalePiecesDropped)
{
    const QByteArray icom = hex("FE FE 64 E0 03 FD FE FE E0 64 03 00 00 25 14 00 FD");
    const struct {
        const char *rig;
        QByteArray bytes;
    } cases[] = {
        {"Kenwood", "FA00014250000;"}, {"Icom", icom}, {"Yaesu", hex("01 42 50 00 01")},
        {"Ten Tec Orion", "@AF14250000\r"}, {"Ten Tec Fnt Pnl", QByteArray("A") + hex("00 D9 70 10") + "\r"},
        {"Hamlib rigctld", "Frequency: 14250000\n"},
    };
    for (const auto &c : cases) {
        const QuerySetup s = setupOf(c.rig);
        for (qsizetype cut = 1; cut < c.bytes.size(); ++cut) {
            ReplyFramer framer(*s.model);
            RigState st;
            framer.append(c.bytes.left(cut));
            for (const QByteArray &f : framer.takeFrames())
                parseReply(s, f, st);
            framer.endRead();
            framer.append(c.bytes.mid(cut));
            for (const QByteArray &f : framer.takeFrames())
                parseReply(s, f, st);
            EXPECT_FLOAT_EQ(st.frequency, 14.25f) << c.rig << " cut at " << cut;
        }
        // A piece that never completes is given up after a read without
        // growth, and the next whole reply reads.
        ReplyFramer framer(*s.model);
        framer.append(c.bytes.left(c.bytes.size() - 1));
        framer.takeFrames();
        framer.endRead();
        framer.takeFrames();
        framer.endRead();
        EXPECT_TRUE(framer.pending().isEmpty()) << c.rig;
    }
}

TEST(RigProtocol, RandomAndTruncatedRepliesNeverCrashAndLeaveValuesWhenNotFit)
{
    QRandomGenerator rng(20261206);
    const RigState before{7.5f, QStringLiteral("CW"), 10};
    for (const Model &m : models()) {
        const QuerySetup s{&m, m.freqQuery, m.modeQuery, m.convertToHex};
        for (int i = 0; i < 3000; ++i) {
            QByteArray bytes(int(rng.bounded(40)), '\0');
            for (char &b : bytes) {
                // Mostly the bytes a reply is made of, now and then anything.
                static const char alphabet[] = "FAMDIF0123456789;@R\r\n:\xFE\xFD";
                b = rng.bounded(4) ? alphabet[rng.bounded(int(sizeof alphabet - 1))] : char(rng.bounded(256));
            }
            RigState st = before;
            for (const QByteArray &frame : [&] {
                     ReplyFramer f(m);
                     f.append(bytes);
                     return f.takeFrames();
                 }()) {
                RigState probe = st;
                if (!parseReply(s, frame, probe)) {
                    EXPECT_EQ(probe, st) << m.name.toStdString() << " " << frame.toHex(' ').toStdString();
                }
                st = probe;
                EXPECT_TRUE(std::isfinite(st.frequency));
                EXPECT_GE(st.frequency, 0.0f);
            }
        }
    }
}

TEST(RigProtocol, ModeFromFrequencyAndPegasusFile)
{
    EXPECT_EQ(modeFromFrequency(14.15f), std::nullopt);
    EXPECT_EQ(modeFromFrequency(14.1499f), "CW");
    EXPECT_EQ(modeFromFrequency(1.85f), std::nullopt);
    EXPECT_EQ(modeFromFrequency(144.2f), "PH");
    RigState st;
    EXPECT_TRUE(parsePegasusFile("14.25,\"USB\"\r\n", st));
    EXPECT_FLOAT_EQ(st.frequency, 14.25f);
    EXPECT_EQ(st.mode, "PH");
    EXPECT_FALSE(parsePegasusFile("\"x\"", st));
    EXPECT_EQ(st.mode, "PH");
}

TEST(RigSettingsFile, RoundTripsAndKeepsDefaultsForBadValues)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("RigCntrl.txt");
    RigSettings s;
    s.baud = "1200";
    s.parity = 'E';
    s.dataBits = '7';
    s.stopBits = '1';
    s.freqQuery = "FE FE 70 E0 03 FD";
    s.modeQuery = "FE FE 70 E0 04 FD";
    s.port = 7;
    s.power = 'D';
    s.pollRate = 'F';
    s.rigType = "Icom";
    s.convertToHex = true;
    s.useFrequency = false;
    s.modeBy = RigSettings::ModeBy::Frequency;
    s.rigctldHost = "shack";
    s.rigctldPort = 4533;
    ASSERT_TRUE(s.save(path));
    const QByteArray text = readAll(path);
    EXPECT_TRUE(text.startsWith("\"1200 \"\r\n\"E\"\r\n\"7\"\r\n\"1\"\r\n\"FE FE 70 E0 04 FD\"\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\"1200,E,7,1\"\r\n7\r\n\"D\"\r\n\"F\"\r\n\"Icom\"\r\n1\r\n0\r\n2\r\n"));
    RigSettings back;
    ASSERT_TRUE(back.load(path));
    EXPECT_EQ(back.freqQuery, s.freqQuery);
    EXPECT_EQ(back.baud, "1200");
    EXPECT_EQ(back.port, 7);
    EXPECT_EQ(back.rigType, "Icom");
    EXPECT_EQ(back.modeBy, RigSettings::ModeBy::Frequency);
    EXPECT_EQ(back.rigctldPort, 4533);
    EXPECT_EQ(back.tickMs(), 50);

    // Bad values keep what was there; a short file is no fault.
    ASSERT_TRUE(writeBytes(path, "\"300\"\r\n\"X\"\r\n\"8\"\r\n\"2\"\r\n\"MD;\"\r\n\"FA;\"\r\n\"\"\r\n11\r\n\"R\"\r\n\"Q\"\r\n\"Kenwud\"\r\n"));
    RigSettings loaded;
    QStringList warnings;
    ASSERT_TRUE(loaded.load(path, &warnings));
    EXPECT_EQ(loaded.baud, "4800");
    EXPECT_EQ(loaded.parity, 'N');
    EXPECT_EQ(loaded.port, 1);
    EXPECT_EQ(loaded.power, 'R');
    EXPECT_EQ(loaded.pollRate, 'M');
    EXPECT_EQ(loaded.rigType, "None");
    EXPECT_EQ(loaded.freqQuery, "FA;");
    EXPECT_EQ(warnings.size(), 5) << warnings.join("; ").toStdString();
    EXPECT_FALSE(RigSettings().load(dir.filePath("missing.txt")));
}

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
