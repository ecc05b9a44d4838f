// The keyer's protocol bytes, its status levels and what reaches it as text,
// and WK.txt.
#include "keying/WinKeyProtocol.h"
#include "keying/WinKeySettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray hex(const char *h) { return QByteArray::fromHex(h); }
} // namespace

TEST(WinKeyProtocol, CommandBytesStatusLevelsAndText)
{
    const std::pair<QByteArray, QByteArray> commands[] = {
        {WinKey::hostOpen(), hex("0002")},        {WinKey::hostClose(), hex("0003")},
        {WinKey::echoTest('U'), hex("000455")},   {WinKey::speed(26), hex("021a")},
        {WinKey::weight(50), hex("0332")},        {WinKey::leadTail(250, 3), hex("04fa03")},
        {WinKey::backspace(), hex("08")},         {WinKey::pinConfig(5), hex("0905")},
        {WinKey::clearBuffer(), hex("0a")},       {WinKey::mode(0x30), hex("0e30")},
        {WinKey::requestStatus(), hex("15")},     {WinKey::ratio(67), hex("1743")},
    };
    for (const auto &[bytes, expected] : commands)
        EXPECT_EQ(bytes.toHex(), expected.toHex());

    // XOFF holds the feed whatever else is set; a speed-pot byte is no status.
    const std::pair<int, int> levels[] = {{0xC0, 0}, {0xC4, 4}, {0xC5, 8}, {0xC1, 8}, {0xC2, 2},
                                          {0xC6, 4}, {0x85, 0}, {0xBF, 0}, {0x1F, 0}};
    for (const auto &[byte, level] : levels)
        EXPECT_EQ(WinKey::statusLevel(quint8(byte)), level) << byte;
    EXPECT_FALSE(WinKey::isStatus(0x85));
    EXPECT_TRUE(WinKey::isStatus(0xC0));

    const std::pair<QChar, QByteArray> characters[] = {
        {u'A', "A"}, {u' ', " "}, {u'/', "/"}, {u'~', "~"}, {u'!', ""}, {u'\r', ""}, {QChar(0x0A), ""},
        {QChar(0x7F), ""}, {QChar(0xE9), ""}};
    for (const auto &[ch, bytes] : characters)
        EXPECT_EQ(WinKey::character(ch), bytes) << int(ch.unicode());

    EXPECT_EQ(WinKey::resultText(0), "WK Success!");
    EXPECT_EQ(WinKey::resultText(-3), "No Open Response");
    EXPECT_EQ(WinKey::resultText(-8), "WK Already Open");
    EXPECT_EQ(WinKey::resultText(-9), "WK Not Open");
    EXPECT_EQ(WinKey::resultText(-7), "");
}

TEST(WinKeySettings, FileRoundTripAndDamagedFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("WK.txt");
    WinKeySettings s;
    s.port = 3;
    s.wpm = "28";
    s.ratio = "45";
    s.pinConfig = WinKeySettings::Ptt;
    s.keyerMode = WinKeySettings::Bug;
    ASSERT_TRUE(s.save(path));
    const QByteArray written = "3\r\n\"28\"\r\n\"50\"\r\n\"0\"\r\n\"0\"\r\n\"45\"\r\n5\r\n48\r\n";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), written);
    f.close();
    WinKeySettings back;
    EXPECT_TRUE(back.load(path));
    EXPECT_EQ(back.fileData(), written);

    const QByteArray sixLines = "4\r\n\"20\"\r\n\"60\"\r\n\"1\"\r\n\"2\"\r\n\"40\"\r\n";
    struct Case {
        QByteArray data;
        int port;
        const char *wpm;
        int pins, mode;
    };
    const Case cases[] = {
        {sixLines, 4, "20", 6, 0},                                // an older file keeps pins and mode
        {sixLines + "7\r\n0\r\n", 4, "20", 6, 0},                 // no such pin configuration
        {sixLines + "8\r\n64\r\n", 4, "20", 8, 0},                // no such keyer mode
        {"x\r\n\"20\"\r\n", 0, "18", 6, 0},                       // a port that is no number
        {"300\r\n\"20\"\r\n", 0, "18", 6, 0},                     // a port beyond a byte
        {"", 0, "18", 6, 0},
    };
    for (const Case &c : cases) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(c.data);
        out.close();
        WinKeySettings r;
        EXPECT_FALSE(r.load(path)) << c.data.constData();
        EXPECT_EQ(r.port, c.port) << c.data.constData();
        EXPECT_EQ(r.wpm, QLatin1String(c.wpm)) << c.data.constData();
        EXPECT_EQ(r.pinConfig, c.pins) << c.data.constData();
        EXPECT_EQ(r.keyerMode, c.mode) << c.data.constData();
    }
    WinKeySettings missing;
    EXPECT_FALSE(missing.load(dir.filePath("none.txt")));
    EXPECT_EQ(missing.fileData(), WinKeySettings().fileData());
}
