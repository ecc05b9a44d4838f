// The records on the wire, byte for byte, and their framing from a stream
// that splits and joins them as TCP may; the status grid and its warning.
#include "net/NetRecords.h"
#include "net/StatusGrid.h"

#include <gtest/gtest.h>

using namespace NetRecords;

TEST(NetRecords, RecordsAreWrittenByteForByte)
{
    const struct {
        QByteArray got;
        QByteArray want;
    } cases[] = {
        {status(0, {"ham2", "144 M", "PH", ""}), "<Array:0> <Name:ham2>: <Bnd:144 M> <Mde: PH> <Opr: > <EOR>"},
        {status(17, {"Tent", "1.3 G", "CW", "K1ABC"}),
         "<Array:17> <Name:Tent>: <Bnd:1.3 G> <Mde: CW> <Opr: K1ABC> <EOR>"},
        {message("ham1", "ham3", "QSY 432"), "<MessageFrom>ham1<MessageTo> ham3<MessageText>QSY 432\r\n\r\n<EOR>"},
        {message("ham1", "", "Eat!"), "<MessageFrom>ham1<MessageTo> <MessageText>Eat!\r\n\r\n<EOR>"},
        {clock(QDateTime(QDate(2026, 6, 13), QTime(7, 5, 9))), "<Date:>2026/06/13<Time:>07:05:09"},
        // Text beyond ASCII travels as UTF-8.
        {message("Zoë", "", "Grüße"),
         QByteArray("<MessageFrom>Zo\xc3\xab<MessageTo> <MessageText>Gr\xc3\xbc\xc3\x9f" "e\r\n\r\n<EOR>")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(NetRecords, FieldsAreFoundByTheirTags)
{
    const struct {
        const char *record;
        int index;
        StationEntry entry;
    } cases[] = {
        {"<Array:3> <Name:ham3>: <Bnd:432 M> <Mde: CW> <Opr: > <EOR>", 3, {"ham3", "432 M", "CW", ""}},
        {"<Array:0> <Name: Tent >: <Bnd:241 G> <Mde: DIG> <Opr: W1AW> <EOR>", 0, {"Tent", "241 G", "DIG", "W1AW"}},
        // Missing tags empty their fields; no index is no index.
        {"<Name:solo> <EOR>", -1, {"solo", "", "", ""}},
        {"garbage without tags<EOR>", -1, {}},
        {"<Array:x> <Bnd:50 M> <EOR>", -1, {"", "50 M", "", ""}},
        {"<Array:5000> <Name:far>: <EOR>", 5000, {"far", "", "", ""}},
    };
    for (const auto &c : cases) {
        const QString r = QString::fromUtf8(c.record);
        EXPECT_EQ(indexOf(r), c.index) << c.record;
        EXPECT_EQ(parseStatus(r), c.entry) << c.record;
        EXPECT_EQ(kindOf(r), Kind::Status);
    }
    const Message m = parseMessage(QString::fromUtf8(message("ham1", "ham3", "QSY 432")));
    EXPECT_EQ(m.from, "ham1");
    EXPECT_EQ(m.to, "ham3");
    EXPECT_EQ(m.text, "QSY 432");
}

TEST(NetRecords, ClockSettingsAndStationNames)
{
    const struct {
        const char *record;
        QDate date;
        QTime time;
    } clocks[] = {
        {"<Date:>2026/06/13<Time:>18:30:05", {2026, 6, 13}, {18, 30, 5}},
        {"<Date:>2026/6/3<Time:>6:30:05 PM", {2026, 6, 3}, {18, 30, 5}},
        {"<Date:>2026/13/45<Time:>18:30:05", {}, {18, 30, 5}},
        {"<Date:>2026/06/13<Time:>25:99:00", {2026, 6, 13}, {}},
    };
    for (const auto &c : clocks) {
        const ClockSetting s = parseClock(QString::fromUtf8(c.record));
        EXPECT_EQ(s.date, c.date) << c.record;
        EXPECT_EQ(s.time, c.time) << c.record;
    }
    const std::pair<const char *, const char *> names[] = {
        {"Tent's PC 42", "Tent"}, {"  ham2  ", "ham2"}, {"ABCDEFGHIJKLMN", "ABCDEFGHIJ"}, {"'quoted", ""}};
    for (const auto &[typed, name] : names)
        EXPECT_EQ(stationName(QString::fromUtf8(typed)), QString::fromUtf8(name));
}

TEST(NetRecords, RecordsSplitAnywhereOrJoinedComeOutWhole)
{
    const QByteArray stream = status(0, {"ham1", "144 M", "PH", ""}) + status(2, {"ham3", "432 M", "CW", ""}) +
                              message("ham1", "", "two\r\nlines") + clock(QDateTime(QDate(2026, 6, 13), QTime(18, 30, 5))) +
                              status(1, {"ham2", "50 M", "CW", ""});
    const std::vector<QString> want = Framer().feed(stream);
    ASSERT_EQ(want.size(), 5u);
    EXPECT_EQ(kindOf(want[2]), Kind::Message);
    EXPECT_EQ(kindOf(want[3]), Kind::Clock);
    EXPECT_EQ(want[3], "<Date:>2026/06/13<Time:>18:30:05");
    // Split in two at every byte, and fed one byte at a time.
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        Framer f;
        std::vector<QString> got = f.feed(stream.left(cut));
        for (const QString &r : f.feed(stream.mid(cut)))
            got.push_back(r);
        EXPECT_EQ(got, want) << "cut at " << cut;
    }
    Framer bytewise;
    std::vector<QString> got;
    for (char ch : stream)
        for (const QString &r : bytewise.feed(QByteArray(1, ch)))
            got.push_back(r);
    EXPECT_EQ(got, want);
    EXPECT_EQ(bytewise.pending(), 0);
}

TEST(NetRecords, AnEndlessRecordIsDropped)
{
    Framer f;
    EXPECT_TRUE(f.feed(QByteArray(BufferLimit, 'x')).empty());
    EXPECT_FALSE(f.overflowed());
    EXPECT_TRUE(f.feed("y").empty());
    EXPECT_TRUE(f.overflowed());
    EXPECT_EQ(f.pending(), 0);
}

TEST(StatusGridTest, PlacingMovingAndWarning)
{
    StatusGrid g;
    const int col144 = StatusGrid::columnOf("144 M"), col432 = StatusGrid::columnOf("432 M");
    g.place("ham2", "144 M", "CW");
    EXPECT_TRUE(g.cell(col144, StatusGrid::Cw).occupied);
    // Moving: cleared from the old cell, placed in the new one.
    g.clearStation("HAM2");
    g.place("ham2", "432 M", "PH");
    EXPECT_FALSE(g.cell(col144, StatusGrid::Cw).occupied);
    EXPECT_EQ(g.cell(col432, StatusGrid::Phone).name, "ham2");
    // Bands above 120 GHz and unknown modes have no cell.
    EXPECT_EQ(StatusGrid::columnOf("241 G"), -1);
    EXPECT_EQ(StatusGrid::columnOf("120 G"), 13);
    StatusGrid before = g;
    g.place("far", "241 G", "CW");
    g.place("odd", "50 M", "FM");
    for (int c = 0; c < StatusGrid::Columns; ++c)
        for (int r = 0; r < StatusGrid::Rows; ++r)
            EXPECT_EQ(g.cell(c, r).name, before.cell(c, r).name);

    const struct {
        const char *band;
        const char *own;
        const char *warning;
    } warnings[] = {
        {"432 M", "ham3", "Be careful, ham2 is also operating on 432 M SSB!"},
        {"432 M", "ham2", ""},
        {"144 M", "ham3", ""},
        {"241 G", "ham3", ""},
    };
    for (const auto &w : warnings)
        EXPECT_EQ(g.alsoOperatingWarning(w.band, w.own), QString::fromUtf8(w.warning)) << w.band << w.own;
    g.place("ham4", "432 M", "DIG");
    EXPECT_EQ(g.alsoOperatingWarning("432 M", "ham3"), "Be careful, ham4 is also operating on 432 M on digital!");
    g.clear();
    EXPECT_FALSE(g.cell(col432, StatusGrid::Phone).occupied);
}
