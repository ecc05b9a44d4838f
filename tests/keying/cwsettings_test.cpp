// CW.txt: written and read back byte for byte, and what a missing, short or
// damaged file leaves; the timing method in the settings store.
#include "keying/CwSettings.h"
#include "support/TestLog.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QByteArray Written = "\"CQ TEST DE W1XYZ, W1XYZ\"\r\n\"$ *\"\r\n\"TU $!\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                           "\"\"\r\n\"VVV DE \"\r\n\"3\"\r\n\"28\"\r\n\"QRZ?\"\r\n\"AGN\"\r\n\"-2\"\r\n2\r\n"
                           "\"&H278\"\r\n1\r\n\"4.5\"\r\n";
} // namespace

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

TEST(CwSettings, TimingMethodIsKeptInTheSettingsStore)
{
    CwSettings s;
    s.method = TimingMethod::Sleep;
    s.loopOffset = 123456;
    s.saveTiming();
    CwSettings back;
    back.loadTiming();
    EXPECT_EQ(back.method, TimingMethod::Sleep);
    EXPECT_EQ(back.loopOffset, 123456);
}
