// The in-memory dupe checks over a mirror loaded from a real log file.
#include "log/Dupes.h"
#include "log/GridMap.h"
#include "log/LogIndex.h"
#include "log/LogStore.h"
#include "log/Logging.h"
#include "support/TestLog.h"

#include <random>

namespace {

QString timeOf(int seconds)
{
    return QTime(0, 0).addSecs(seconds).toString("HH:mm:ss");
}

// Records go into the log in the given order with rising times, so the
// mirror holds them as record 1, 2, ...
std::vector<QsoRecord> inOrder(std::vector<QsoRecord> records)
{
    for (size_t i = 0; i < records.size(); ++i)
        records[i].fldtime = timeOf(3600 + static_cast<int>(i));
    return records;
}

LogMirror mirrorOf(const std::vector<QsoRecord> &records) { return loadedMirror(inOrder(records)); }

// The walk over the mirror and the index give the same hint.
void expectHint(const LogMirror &m, const QString &typed, const QString &ownGrid, const QString &band,
                const QString &hint)
{
    LogIndex index;
    index.rebuild(m);
    EXPECT_EQ(partialDupeHint(m, typed, ownGrid, band), hint) << typed.toStdString();
    EXPECT_EQ(index.hint(typed, ownGrid, band), hint) << typed.toStdString();
}

const QString B144 = QStringLiteral("144 M");
const QString B432 = QStringLiteral("432 M");

} // namespace

TEST(partialDupeHint, HintListsCallsWorkedFromThisGridOnThisBand)
{
    const LogMirror m = mirrorOf({qso("W1AW", B144, "FN31"), qso("w1abc", B144, "FN32"),
                                  qso("W1AW", B432, "FN31"), qso("W1AX", B144, "FN31", "FN21"),
                                  qso("K1ABC", B144, "FN42"), qso("W1AW/R", B144, "FN31")});
    struct Case {
        const char *typed, *ownGrid, *band, *hint;
    } cases[] = {
        {"W", "FN20", "144 M", " W1AW w1abc W1AW/R"},
        {"w1a", "fn20", "144 m", " W1AW w1abc W1AW/R"},
        {"W1AW", "FN20", "144 M", " W1AW W1AW/R"},
        {"W1AW/", "FN20", "144 M", " W1AW/R"},
        {"W1AWX", "FN20", "144 M", ""},
        {"W1AW", "FN20", "432 M", " W1AW"},
        {"W1", "FN21", "144 M", " W1AX"},
        {"W", "FN22", "144 M", ""}, // a rover in a new grid starts empty
        {"W1", "fn21xy", "144 M", " W1AX"}, // a six-character own grid is its square
        {"K", "FN20", "222 M", ""},
    };
    for (const Case &c : cases)
        expectHint(m, c.typed, c.ownGrid, c.band, c.hint);
}

TEST(partialDupeHint, HintStopsAtTheFirstCallPastOneHundredCharacters)
{
    struct Case {
        int callLength; // each call adds a blank and itself
        int callsShown;
    } cases[] = {
        {6, 15},  // 14 calls make 98, the 15th makes 105
        {9, 11},  // 10 calls make exactly 100, which is not past the limit
        {49, 3},  // 50 then 100, the third one passes
        {120, 1}, // one long call is already past
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.callLength);
        std::vector<QsoRecord> recs;
        QString expected;
        for (int i = 0; i < 40; ++i) {
            const QString call = QStringLiteral("K1%1").arg(i, 2, 10, QChar(u'0')).leftJustified(c.callLength, u'X');
            recs.push_back(qso(call, B144, "FN31"));
            if (i < c.callsShown)
                expected += u' ' + call;
        }
        expectHint(mirrorOf(recs), "K1", "FN20", B144, expected);
    }
}

// The index answers the hint, the previous-contact scan and the grid map's
// counts as the walks over the mirror do, whatever happens to the log.
TEST(partialDupeHint, IndexAnswersAsTheWalksAsTheLogGrows)
{
    std::mt19937 rng(7);
    auto pick = [&](const QStringList &l) { return l.at(static_cast<int>(rng() % l.size())); };
    const QStringList heads{"W", "K", "N", "VE", "w", "k"}, tails{"A", "B", "AB", "BA", "AAA", "B/R", "a"};
    const QStringList bands{"144 M", "144 m", "432 M", "50 M", "47 G"}, grids{"FN20", "fn20", "FN21"};
    const QStringList received{"FN31", "fn31ab", "FN32", "EM10"};
    auto randomContacts = [&](int n, int firstSecond) {
        std::vector<QsoRecord> v;
        for (int i = 0; i < n; ++i)
            v.push_back(qso(pick(heads) + QString::number(rng() % 3) + pick(tails), pick(bands), pick(received),
                            pick(grids), "CW", "2026/06/13", timeOf(firstSecond + i)));
        return v;
    };
    TempLog log;
    log.add(randomContacts(3000, 3600));
    LogStore store;
    ASSERT_TRUE(store.open(log.path));
    ASSERT_TRUE(store.reload());
    LogIndex grown;
    grown.rebuild(store.mirror());
    auto syncAndCompare = [&] {
        grown.sync(store.mirror());
        EXPECT_EQ(grown.size(), store.recordCount());
        for (const QString &h : heads)
            for (int d = 0; d < 3; ++d)
                for (const QString &t : QStringList{"", "A", "AB", "B/", "AAA", "a"})
                    for (const QString &g : grids)
                        for (const QString &b : bands) {
                            const QString typed = h + QString::number(d) + t;
                            ASSERT_EQ(grown.hint(typed, g, b), partialDupeHint(store.mirror(), typed, g, b))
                                << typed.toStdString() << " " << g.toStdString() << " " << b.toStdString();
                        }
        const LogMirror &m = store.mirror();
        for (int n = 1; n <= m.recordCount(); n += 37) {
            const QString call = n % 2 ? m.at(n).calls : m.at(n).calls.toLower() + (n % 3 ? "" : "X");
            for (const QString &grid : QStringList{"", "FN31", "fn32"})
                for (bool list : {false, true})
                    ASSERT_EQ(previousContactScan(m, grown.recordsOfCall(call), grid, "FN20", "144 M", list),
                              previousContactScan(m, call, grid, "FN20", "144 M", list))
                        << call.toStdString() << " " << grid.toStdString() << list;
        }
        for (const QString &square : received + QStringList{"fn31", "FN33"})
            ASSERT_EQ(grown.square(square), countSquare(m, square)) << square.toStdString();
    };
    syncAndCompare();

    // Contacts logged by this copy extend the index.
    for (QsoRecord r : randomContacts(60, 7200)) {
        r.calls += QString::number(rng() % 7);
        ASSERT_NE(logContact(store, r).outcome, LogAttempt::Failed);
    }
    syncAndCompare();

    // Another copy's contacts arrive with a reload and fall between the
    // earlier ones; an edit reloads with the same number of records.
    log.add(randomContacts(100, 0));
    ASSERT_TRUE(store.reload());
    syncAndCompare();
    QsoRecord edited = store.mirror().at(1);
    edited.calls = "W9ZZ";
    ASSERT_TRUE(store.updateContact(1, store.mirror().at(1).calls, edited));
    ASSERT_TRUE(store.reload());
    syncAndCompare();
    EXPECT_TRUE(grown.hint("W9Z", edited.grids, edited.uband).contains(" W9ZZ"));
}

TEST(partialDupeHint, PossibleDuplicateOnceTheFieldHeldThreeCharacters)
{
    const LogMirror m = mirrorOf({qso("W1AW", B144, "FN31")});
    LogIndex index;
    index.rebuild(m);
    struct Case {
        const char *before;
        char key;
        bool hint, possible;
    } cases[] = {{"W1", 'A', true, false}, {"W1A", 'W', true, true}, {"W1A", 'X', false, false},
                 {"", 'W', true, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.before);
        const PartialDupeResult walk = partialDupeHintOnKey(m, c.before, QChar(c.key), "FN20", B144);
        const PartialDupeResult fast = index.onKey(c.before, QChar(c.key), "FN20", B144);
        EXPECT_EQ(!walk.hint.isEmpty(), c.hint);
        EXPECT_EQ(walk.possibleDuplicate, c.possible);
        EXPECT_EQ(fast.hint, walk.hint);
        EXPECT_EQ(fast.possibleDuplicate, walk.possibleDuplicate);
    }
}

TEST(CallShape, ThirdCharacterWarnsWithoutDigitOrSlash)
{
    for (const char *warns : {"KAB", "K:A"})
        EXPECT_TRUE(callShapeWarning(warns)) << warns;
    for (const char *fine : {"K1A", "KA1", "K/A", "KA/", "KA", "KABC", ""})
        EXPECT_FALSE(callShapeWarning(fine)) << fine;
}

TEST(PreviousScan, ListsFillsAndWarns)
{
    // W1AW worked on ten bands from FN20, another station between, and a
    // second 144 M contact in phone that another copy let through.
    std::vector<QsoRecord> recs;
    for (const char *b : {"50 M", "144 M", "222 M", "432 M", "902 M", "1.3 G", "2.3 G", "3.5 G", "5.8 G", "10 G"}) {
        recs.push_back(qso("W1AW", b, "FN31"));
        recs.push_back(qso("K1ABC", b, "FN42"));
    }
    recs.push_back(qso("w1aw", B144, "fn31", "FN20", "PH"));
    const LogMirror m = mirrorOf(recs);
    const std::vector<int> allOfW1aw{1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21};

    struct Case {
        const char *name, *call, *grid, *ownGrid, *band;
        bool list;
        const char *fill;
        int warn;
        std::vector<int> listed;
    } cases[] = {
        {"all listed, last warns", "W1AW", "", "FN20", "144 M", true, "FN31", 21, allOfW1aw},
        {"walk stops at the first", "W1AW", "", "FN20", "144 M", false, "FN31", 3, {}},
        {"lower case call", "w1aw", "", "fn20", "144 m", false, "FN31", 3, {}},
        {"grid already typed", "W1AW", "FN31", "FN20", "432 M", false, "", 7, {}},
        {"other station grid", "W1AW", "FN32", "FN20", "432 M", true, "", 0, allOfW1aw},
        {"own grid moved", "W1AW", "", "FN21", "144 M", false, "FN31", 0, {}},
        {"band not worked", "W1AW", "", "FN20", "24 G", false, "FN31", 0, {}},
        {"unknown station", "N0CALL", "", "FN20", "144 M", true, "", 0, {}},
        {"six-character grids in the squares", "W1AW", "fn31ab", "FN20cd", "432 M", false, "", 7, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const PreviousScan s = previousContactScan(m, c.call, c.grid, c.ownGrid, c.band, c.list);
        EXPECT_EQ(s.gridToFill, c.fill);
        EXPECT_EQ(s.warnRecord, c.warn);
        EXPECT_EQ(s.listed, c.listed);
    }

    // The station's first contact gives the grid; its later contact from
    // another grid on the current band is then no dupe.
    const LogMirror filled = mirrorOf({qso("W1AW", "50 M", "FN31"), qso("W1AW", B144, "FN32"), qso("W1AW", B432, "")});
    EXPECT_EQ(previousContactScan(filled, "W1AW", "", "FN20", B144, false).warnRecord, 0);
    EXPECT_EQ(previousContactScan(filled, "W1AW", "FN32", "FN20", B144, false).warnRecord, 2);
    // A record without a grid leaves the field empty for the next one.
    const PreviousScan s =
        previousContactScan(mirrorOf({qso("W1AW", B432, ""), qso("W1AW", B144, "FN32")}), "W1AW", "", "FN20", B144, false);
    EXPECT_EQ(s.gridToFill, "FN32");
    EXPECT_EQ(s.warnRecord, 2);
}
