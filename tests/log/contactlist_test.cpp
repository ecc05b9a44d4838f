// The contact list's rows and texts, its clipboard copy and the edit
// window's checks, on logs read back from real files.
#include "log/ContactList.h"
#include "support/TestLog.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// count contacts one minute apart; bandOf(i) gives the band of contact i (1-based).
LogMirror logOf(int count, const std::function<QString(int)> &bandOf)
{
    std::vector<QsoRecord> records;
    QDateTime t(QDate(2026, 6, 13), QTime(18, 0));
    for (int i = 1; i <= count; ++i) {
        records.push_back(qso(QStringLiteral("W%1AW").arg(i), bandOf(i), QStringLiteral("FN31"),
                              QStringLiteral("FN20"), QStringLiteral("CW"),
                              t.toString(QStringLiteral("yyyy/MM/dd")),
                              t.toString(QStringLiteral("HH:mm:ss"))));
        t = t.addSecs(60);
    }
    return loadedMirror(records);
}

std::vector<int> newestFirst(int from, int downTo)
{
    std::vector<int> v;
    for (int i = from; i >= downTo; --i)
        v.push_back(i);
    return v;
}

QString allOn144(int) { return QStringLiteral("144 M"); }
// Contacts 2, 10 and 24 on 432 MHz, the rest on 144 MHz.
QString threeOn432(int i) { return (i == 2 || i == 10 || i == 24) ? "432 M" : "144 M"; }

TEST(ContactList, WhichRowsAreListed)
{
    struct Case {
        const char *name;
        int count;
        QString (*bandOf)(int);
        bool listAll;
        bool currentBandOnly;
        const char *currentBand;
        std::vector<int> expected;
    };
    const std::vector<Case> cases{
        {"empty log", 0, allOn144, false, false, "144 M", {}},
        {"19 contacts, all listed", 19, allOn144, false, false, "144 M", newestFirst(19, 1)},
        {"20 contacts", 20, allOn144, false, false, "144 M", newestFirst(20, 1)},
        {"25 contacts, last 20", 25, allOn144, false, false, "144 M", newestFirst(25, 6)},
        {"25 contacts, all", 25, allOn144, true, false, "144 M", newestFirst(25, 1)},
        {"current band, last 20, 3 on the band", 25, threeOn432, false, true, "432 M",
         {24, 10, 2}},
        {"current band named in other case", 25, threeOn432, false, true, "432 m", {24, 10, 2}},
        {"current band, last 20 rows of 30", 30, allOn144, false, true, "144 M",
         newestFirst(30, 11)},
        {"current band, all", 30, threeOn432, true, true, "144 M", [] {
             std::vector<int> v;
             for (int i = 30; i >= 1; --i)
                 if (i != 2 && i != 10 && i != 24)
                     v.push_back(i);
             return v;
         }()},
        {"current band with no contacts", 25, threeOn432, false, true, "10 G", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const LogMirror m = logOf(c.count, c.bandOf);
        EXPECT_EQ(contactListRows(m, c.listAll, c.currentBandOnly, QString::fromLatin1(c.currentBand)),
                  c.expected);
    }
}

TEST(ContactList, ColumnTexts)
{
    QsoRecord live = qso("K2XYZ", "1.3 G", "FN32", "FN21", "PH", "2026/06/13", "18:05:42");
    live.rstr = "57";
    QsoRecord late = qso("W1AW", "10 G", "FN31", "FN20", "CW", "2026/06/14", "03:07");
    late.rsts = "";
    const QsoRecord odd = qso("N3ABC", "144 M", "FM29", "FN20", "CW", "13 June", "noon");
    const LogMirror m = loadedMirror({live, late, odd});

    EXPECT_EQ(contactListColumns(m, 1),
              (QStringList{"1", "N3ABC", "599", "FM29", "599", "13 June noon", "144", "FN20", "CW"}));
    EXPECT_EQ(contactListColumns(m, 2),
              (QStringList{"2", "K2XYZ", "57", "FN32", "59", "06/13 18:05", "1.3", "FN21", "PH"}));
    EXPECT_EQ(contactListColumns(m, 3),
              (QStringList{"3", "W1AW", "599", "FN31", "", "06/14 03:07", "10 ", "FN20", "CW"}));
}

TEST(ContactList, ClipboardText)
{
    const QString headerLine =
        QStringLiteral("Rec#\tCall\tRec\tGrid R\tSnt\tDate / Time\tBnd\tGrid S\tMode\r\n");
    EXPECT_EQ(clipboardText(contactListHeaders(), {}), headerLine);

    const LogMirror m = loadedMirror({qso("W1AW", "144 M", "FN31"), qso("K2XYZ", "50 M", "FN32",
                                                                        "FN20", "CW", "2026/06/13",
                                                                        "18:01:00")});
    QList<QStringList> rows;
    for (int n : contactListRows(m, false, false, QString()))
        rows.append(contactListColumns(m, n));
    EXPECT_EQ(clipboardText(contactListHeaders(), rows),
              headerLine + "2\tK2XYZ\t599\tFN32\t599\t06/13 18:01\t50 \tFN20\tCW\r\n"
                  + "1\tW1AW\t599\tFN31\t599\t06/13 18:00\t144\tFN20\tCW\r\n");
}

TEST(ContactList, EditWindowDupeTest)
{
    const LogMirror m = loadedMirror({
        qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00"),
        qso("K2XYZ", "144 M", "FN32", "FN20", "CW", "2026/06/13", "18:01:00"),
        qso("W1AW", "432 M", "FN31", "FN20", "CW", "2026/06/13", "18:02:00"),
    });
    struct Case {
        const char *name;
        int editIndex;
        QsoRecord edited;
        int dupeOf;
    };
    QsoRecord otherReportsAndTime = qso("W1AW", "144 M", "FN31", "FN20", "PH", "2026/06/14", "01:00");
    otherReportsAndTime.rstr = "55";
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
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(editDupeOf(m, c.editIndex, c.edited), c.dupeOf);
    }
}

TEST(ContactList, EditWindowBandAndModeTexts)
{
    struct Case {
        const char *text;
        bool band;
        bool mode;
    };
    const std::vector<Case> cases{
        {"50 M", true, false},  {"144 M", true, false}, {"24 G", true, false},
        {"300 G", true, false}, {"50 m", false, false}, {"50M", false, false},
        {" 50 M", false, false}, {"6 M", false, false}, {"", false, false},
        {"PH", false, true},    {"CW", false, true},    {"ph", false, false},
        {"SSB", false, false},  {"CW ", false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(isBandLabel(QString::fromLatin1(c.text)), c.band);
        EXPECT_EQ(isModeCode(QString::fromLatin1(c.text)), c.mode);
    }
}

} // namespace
