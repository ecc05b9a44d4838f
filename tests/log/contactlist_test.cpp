// The contact list's rows and texts, its clipboard copy and the edit
// window's checks, on logs read back from real files.
#include "log/ContactList.h"
#include "support/TestLog.h"

#include <algorithm>

namespace {

// count contacts one minute apart; contacts 2, 10 and 24 on 432 MHz when
// threeOn432, all others on 144 MHz.
LogMirror logOf(int count, bool threeOn432 = false)
{
    std::vector<QsoRecord> records;
    const QDateTime t(QDate(2026, 6, 13), QTime(18, 0));
    for (int i = 1; i <= count; ++i) {
        const bool on432 = threeOn432 && (i == 2 || i == 10 || i == 24);
        const QDateTime at = t.addSecs(60 * i);
        records.push_back(qso(QStringLiteral("W%1AW").arg(i), on432 ? "432 M" : "144 M", "FN31", "FN20", "CW",
                              at.toString("yyyy/MM/dd"), at.toString("HH:mm:ss")));
    }
    return loadedMirror(records);
}

std::vector<int> newestFirst(int from, int downTo, std::vector<int> except = {})
{
    std::vector<int> v;
    for (int i = from; i >= downTo; --i)
        if (std::find(except.begin(), except.end(), i) == except.end())
            v.push_back(i);
    return v;
}

TEST(ContactList, WhichRowsAreListed)
{
    struct Case {
        const char *name;
        int count;
        bool threeOn432, listAll, currentBandOnly;
        const char *currentBand;
        std::vector<int> expected;
    };
    const std::vector<Case> cases{
        {"empty log", 0, false, false, false, "144 M", {}},
        {"19 contacts, all listed", 19, false, false, false, "144 M", newestFirst(19, 1)},
        {"20 contacts", 20, false, false, false, "144 M", newestFirst(20, 1)},
        {"25 contacts, last 20", 25, false, false, false, "144 M", newestFirst(25, 6)},
        {"25 contacts, all", 25, false, true, false, "144 M", newestFirst(25, 1)},
        {"current band, last 20, 3 on the band", 25, true, false, true, "432 M", {24, 10, 2}},
        {"current band named in other case", 25, true, false, true, "432 m", {24, 10, 2}},
        {"current band, last 20 rows of 30", 30, false, false, true, "144 M", newestFirst(30, 11)},
        {"current band, all", 30, true, true, true, "144 M", newestFirst(30, 1, {2, 10, 24})},
        {"current band with no contacts", 25, true, false, true, "10 G", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(contactListRows(logOf(c.count, c.threeOn432), c.listAll, c.currentBandOnly, c.currentBand),
                  c.expected);
    }
}

TEST(ContactList, ColumnTextsAndClipboard)
{
    QsoRecord live = qso("K2XYZ", "1.3 G", "FN32", "FN21", "PH", "2026/06/13", "18:05:42");
    live.rstr = "57";
    QsoRecord late = qso("W1AW", "10 G", "FN31", "FN20", "CW", "2026/06/14", "03:07");
    late.rsts = "";
    const QsoRecord odd = qso("N3ABC", "144 M", "FM29", "FN20", "CW", "13 June", "noon");
    const LogMirror m = loadedMirror({live, late, odd});

    const QList<QStringList> rows{
        {"1", "N3ABC", "599", "FM29", "599", "13 June noon", "144", "FN20", "CW"},
        {"2", "K2XYZ", "57", "FN32", "59", "06/13 18:05", "1.3", "FN21", "PH"},
        {"3", "W1AW", "599", "FN31", "", "06/14 03:07", "10 ", "FN20", "CW"},
    };
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(contactListColumns(m, n), rows[n - 1]);

    EXPECT_EQ(clipboardText(contactListHeaders(), {rows[1], rows[2]}),
              "Rec#\tCall\tRec\tGrid R\tSnt\tDate / Time\tBnd\tGrid S\tMode\r\n"
              "2\tK2XYZ\t57\tFN32\t59\t06/13 18:05\t1.3\tFN21\tPH\r\n"
              "3\tW1AW\t599\tFN31\t\t06/14 03:07\t10 \tFN20\tCW\r\n");
}

TEST(ContactList, EditWindowDupeTestAndTexts)
{
    const LogMirror m = loadedMirror({
        qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00"),
        qso("K2XYZ", "144 M", "FN32", "FN20", "CW", "2026/06/13", "18:01:00"),
        qso("W1AW", "432 M", "FN31", "FN20", "CW", "2026/06/13", "18:02:00"),
    });
    QsoRecord otherReportsAndTime = qso("W1AW", "144 M", "FN31", "FN20", "PH", "2026/06/14", "01:00");
    otherReportsAndTime.rstr = "55";
    struct Case {
        const char *name;
        int editIndex;
        QsoRecord edited;
        int dupeOf;
    };
    const std::vector<Case> cases{
        {"exact copy of another", 2, qso("W1AW", "144 M", "FN31", "FN20"), 1},
        {"call in other case", 2, qso("w1AW", "144 M", "FN31", "FN20"), 0},
        {"band in other case", 2, qso("W1AW", "144 m", "FN31", "FN20"), 0},
        {"grid in other case", 2, qso("W1AW", "144 M", "fn31", "FN20"), 0},
        {"other own grid", 2, qso("W1AW", "144 M", "FN31", "FN21"), 0},
        {"the record itself", 1, qso("W1AW", "144 M", "FN31", "FN20"), 0},
        {"reports, date, time and mode do not matter", 2, otherReportsAndTime, 1},
        {"copy of a later record", 1, qso("W1AW", "432 M", "FN31", "FN20"), 3},
    };
    for (const Case &c : cases)
        EXPECT_EQ(editDupeOf(m, c.editIndex, c.edited), c.dupeOf) << c.name;

    // Band labels and mode codes are taken exactly as written.
    for (const char *band : {"50 M", "144 M", "24 G", "300 G"})
        EXPECT_TRUE(isBandLabel(band)) << band;
    for (const char *mode : {"PH", "CW"})
        EXPECT_TRUE(isModeCode(mode)) << mode;
    for (const char *neither : {"50 m", "50M", " 50 M", "6 M", "", "ph", "SSB", "CW "})
        EXPECT_FALSE(isBandLabel(neither) || isModeCode(neither)) << neither;
}

} // namespace
