// Text from a spot source into lines and through the line rules: the same
// lines come out of a cluster session whatever chunks it arrives in; spot
// lines are handed on, repeats dropped, "DX Only" keeps the rest out, a
// prompt shows before its line ends, and the shown text stays capped.
#include "spots/SpotFeed.h"
#include "spots/SpotLines.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {
// A node's greeting with telnet negotiation, a login, a talk line, spots with
// every kind of line end, and a prompt without one.
const QByteArray Session = QByteArray(
    "\xff\xfb\x01\xff\xfd\x03Welcome to the W3LPL cluster\r\n\r\nlogin: K1ABC\r\n"
    "Hello Pat, this is W3LPL-2 in Glenwood\r\n"
    "DX de W1AW:     144200.0  K2XYZ        FN20 tropo into FN42          1801Z\r\n"
    "DX de N2ABC:     50125.0  CT1XYZ       ES                            1802Z\n"
    "\xff\xfa\x18\x01\xff\xf0WX de K1TTT: overcast\r"
    "DX de VE3XX:    432100.0  VE3/K1ABC    JT65 \xff\xff bytes               1803Z\r"
    "K1ABC de W3LPL-2 6-Jun-2026 1803Z >");

const QStringList SessionLines{
    "Welcome to the W3LPL cluster",
    "",
    "login: K1ABC",
    "Hello Pat, this is W3LPL-2 in Glenwood",
    "DX de W1AW:     144200.0  K2XYZ        FN20 tropo into FN42          1801Z",
    "DX de N2ABC:     50125.0  CT1XYZ       ES                            1802Z",
    "WX de K1TTT: overcast",
    QStringLiteral("DX de VE3XX:    432100.0  VE3/K1ABC    JT65 ") + QChar(0xFF) +
        QStringLiteral(" bytes               1803Z"),
};
} // namespace

TEST(SpotLines, TheSameLinesWhateverTheChunks)
{
    auto *random = QRandomGenerator::global();
    for (int round = 0; round < 200; ++round) {
        TelnetFilter telnet;
        LineSplitter splitter;
        QStringList lines;
        for (qsizetype at = 0; at < Session.size();) {
            const qsizetype n = round == 0 ? Session.size() : 1 + random->bounded(round % 2 ? 3 : 40);
            lines += splitter.feed(telnet.filter(Session.mid(at, n)));
            at += n;
        }
        ASSERT_EQ(lines, SessionLines) << "round " << round;
        EXPECT_EQ(splitter.openLine(), "K1ABC de W3LPL-2 6-Jun-2026 1803Z >");
    }
}

TEST(SpotLines, FixedColumnsOfASpotLine)
{
    const QString spot = SessionLines.at(4);
    EXPECT_TRUE(SpotLine::isSpot(spot));
    EXPECT_TRUE(SpotLine::isSpot("dx de x"));
    EXPECT_FALSE(SpotLine::isSpot(" DX de"));
    EXPECT_EQ(SpotLine::frequencyText(spot), "144200.0");
    EXPECT_EQ(SpotLine::call(spot), "K2XYZ");
    EXPECT_EQ(SpotLine::record(spot), spot.mid(3));
    // Short lines give what they hold.
    EXPECT_EQ(SpotLine::frequencyText("DX de X:        14"), "14");
    EXPECT_EQ(SpotLine::call("DX de X:  14025"), "");
}

TEST(SpotFeed, LineRules)
{
    const QString spot = QStringLiteral("DX de W1AW:     144200.0  K2XYZ        tropo         1801Z");
    const QByteArray spotLine = spot.toLatin1() + "\r";
    struct Case {
        const char *what;
        bool dxOnly;
        QList<QByteArray> chunks;
        QString shown;
        int spots;
    };
    const Case cases[] = {
        {"a prompt shows before its line ends", false, {"login: "}, "login: ", 0},
        {"the rest of a shown prompt follows it", false, {"login: ", "K1ABC\r\n"}, "login: K1ABC\n", 0},
        {"a spot split in two", false, {spotLine.left(20), spotLine.mid(20)}, spot + u'\n', 1},
        {"a repeated spot is dropped", false, {spotLine, spotLine}, spot + u'\n', 1},
        {"a repeated talk line is dropped", false, {"hi\rhi\r"}, "hi\n", 0},
        {"the repeat after 800 characters", false,
         {spotLine, QByteArray(801, 'x') + "\r", spotLine},
         spot + u'\n' + QString(801, u'x') + u'\n' + spot + u'\n', 2},
        {"DX Only keeps prompts and talk out", true, {"hi there\r", "login: ", "\r\n", spotLine}, spot + u'\n', 1},
        {"blank lines are not shown", false, {"\r\n\r\n\n"}, "", 0},
    };
    for (const Case &c : cases) {
        SpotFeed feed;
        feed.setDxOnly(c.dxOnly);
        int spots = 0;
        feed.onSpot = [&](const QString &call, const QString &frequency, const QString &record) {
            ++spots;
            EXPECT_EQ(call, "K2XYZ");
            EXPECT_EQ(frequency, "144200.0");
            EXPECT_EQ(record, spot.mid(3));
        };
        for (const QByteArray &chunk : c.chunks)
            feed.feed(chunk);
        EXPECT_EQ(feed.text(), c.shown) << c.what;
        EXPECT_EQ(spots, c.spots) << c.what;
    }
}

TEST(SpotFeed, TheShownTextStaysCapped)
{
    SpotFeed feed;
    for (int i = 0; i < 400; ++i) {
        feed.feed(QByteArray::number(i).rightJustified(60, '.') + "\r\n");
        ASSERT_LE(feed.text().size(), SpotFeed::TextLimit);
    }
    EXPECT_GE(feed.text().size(), SpotFeed::TextKept);
    EXPECT_TRUE(feed.text().endsWith(QByteArray::number(399).rightJustified(60, '.') + "\n"));
}
