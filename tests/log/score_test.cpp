// Score, tallies, rates and the "New" mark, computed from real log files.
#include "log/Score.h"
#include "platform/Clock.h"
#include "support/TestLog.h"


// Readable failure messages.
void PrintTo(const ScoreTotals &s, std::ostream *os)
{
    *os << "{contacts " << s.contacts << ", points " << s.qsoPoints << ", multipliers " << s.multipliers
        << ", score " << s.score << "}";
}
void PrintTo(const Rates &r, std::ostream *os) { *os << "{" << r.last60 << ", " << r.last20PerHour << "}"; }

namespace {

struct C {
    const char *call, *band, *gridr, *grids;
};

// Contacts one minute apart, in the order given.
std::vector<QsoRecord> contacts(const std::vector<C> &list)
{
    std::vector<QsoRecord> out;
    QTime t(18, 0, 0);
    for (const C &c : list) {
        out.push_back(qso(c.call, c.band, c.gridr, c.grids, "CW", "2026/06/13", t.toString("HH:mm:ss")));
        t = t.addSecs(60);
    }
    return out;
}

// Count labels of the ten panel bands, 50 MHz to 10 GHz.
QStringList panelLabels(const Tally &t)
{
    QStringList out;
    for (int b = 0; b < Bands::PanelCount; ++b)
        out.append(countLabelText(t, b));
    return out;
}

enum { January = 1, June = 2, Uhf = 3, September = 4, Cq = 5 };

// ---------------------------------------------------------------------------
// Short logs: the rules one at a time.

TEST(Score, RulesOnShortLogs)
{
    struct Case {
        const char *name;
        int contest;
        bool rover;
        std::vector<C> log;
        ScoreTotals expected;
        int band;           // a band to look at more closely
        QString bandLabel;  // its count label
        QStringList worked; // its grid keys in tally order
        int activated;
    };
    const std::vector<Case> cases{
        // 50 + 222 + 2.3 GHz: 1 + 2 + 4 points, three grids.
        {"June three bands", June, false,
         {{"W1AW", "50 M", "FN31", "FN20"}, {"K2XYZ", "222 M", "FN32", "FN20"},
          {"N3ABC", "2.3 G", "FM29", "FN20"}},
         {3, 7, 3, 21}, 6, "1 / 1", {"FM29"}, 1},
        // The same contacts in January: 1 + 2 + 8 points.
        {"January three bands", January, false,
         {{"W1AW", "50 M", "FN31", "FN20"}, {"K2XYZ", "222 M", "FN32", "FN20"},
          {"N3ABC", "2.3 G", "FM29", "FN20"}},
         {3, 11, 3, 33}, 0, "1 / 1", {"FN31"}, 1},
        // The 144 MHz contact shows on its band label and nowhere else.
        {"UHF leaves out 144", Uhf, false,
         {{"W1AW", "144 M", "FN31", "FN20"}, {"K2XYZ", "432 M", "FN32", "FN20"}},
         {1, 3, 1, 3}, 1, "1 / 1", {"FN31"}, 1},
        // 1·1 + 2·2 points; one grid on each of 50 and 144.
        {"CQ two on 144 one on 50", Cq, false,
         {{"W1AW", "144 M", "FN31", "FN20"}, {"K2XYZ", "144 M", "FN31", "FN20"},
          {"N3ABC", "50 M", "FN32", "FN20"}},
         {3, 5, 2, 10}, 1, "2 / 1", {"FN31"}, 1},
        // One grid on 144 plus two activated grids.
        {"June rover", June, true,
         {{"W1AW", "144 M", "FN20", "FN21"}, {"W1AW", "144 M", "FN20", "FN31"}},
         {2, 2, 3, 6}, 1, "2 / 1", {"FN20"}, 2},
        // The CQ rover counts the grid once per own grid and gets no bonus.
        {"CQ rover", Cq, true,
         {{"W1AW", "144 M", "FN20", "FN21"}, {"W1AW", "144 M", "FN20", "FN31"}},
         {2, 4, 2, 8}, 1, "2 / 2", {"FN20 FN21", "FN20 FN31"}, 2},
        // Letter case does not make another grid, nor another own grid.
        {"case folding", June, true,
         {{"W1AW", "144 M", "FN20", "FN21"}, {"K2XYZ", "144 M", "fn20", "fn21"},
          {"N3ABC", "144 M", "Fn20", "FN21"}},
         {3, 3, 2, 6}, 1, "3 / 1", {"FN20"}, 1},
        // A six-character locator is its square, received or own: K9ZZ at
        // fn20ab is FN20 again, and FN20ab/fn20cd is one activated grid.
        {"six-character locators", June, true,
         {{"K9ZZ", "144 M", "FN20", "FN20ab"}, {"K9ZZ", "144 M", "fn20ab", "FN20"},
          {"W1AW", "144 M", "FN31xx", "fn20cd"}},
         {3, 3, 3, 9}, 1, "3 / 2", {"FN20", "FN31"}, 1},
        {"CQ rover, six-character locators", Cq, true,
         {{"W1AW", "144 M", "FN20ab", "FN21cd"}, {"W1AW", "144 M", "fn20", "FN21"}},
         {2, 4, 1, 4}, 1, "2 / 1", {"FN20 FN21"}, 1},
        {"empty log", June, false, {}, {0, 0, 0, 0}, 1, "0 / 0", {}, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Tally t;
        t.recompute(loadedMirror(contacts(c.log)), c.contest, c.rover);
        EXPECT_EQ(scoreTotals(t, c.contest, c.rover), c.expected);
        EXPECT_EQ(countLabelText(t, c.band), c.bandLabel);
        EXPECT_EQ(t.workedGrids(c.band), c.worked);
        EXPECT_EQ(t.activatedGrids().size(), c.activated);
    }
}

// ---------------------------------------------------------------------------
// One longer log per contest, worked out by hand from the rules. Band order
// of the count labels: 50, 144, 222, 432, 902, 1.3, 2.3, 3.5, 5.8, 10.

// January: weights 1 (50, 144), 2 (222, 432), 4 (902, 1.3), 8 (2.3 and up).
const std::vector<C> januaryLog{
    {"W1AW", "50 M", "FN31", "FN20"},   {"K2XYZ", "50 M", "FN32", "FN20"},
    {"W1AW", "144 M", "FN31", "FN20"},  {"K2XYZ", "144 M", "fn31", "FN20"},
    {"N3ABC", "144 M", "FM29", "FN20"}, {"W1AW", "222 M", "FN31", "FN20"},
    {"W1AW", "432 M", "FN31", "FN20"},  {"N3ABC", "432 M", "FM29", "FN20"},
    {"W1AW", "902 M", "FN31", "FN21"},  {"W1AW", "1.3 G", "FN31", "FN21"},
    {"W1AW", "2.3 G", "FN31", "FN21"},  {"W1AW", "10 G", "FN31", "fn21"},
    {"W1AW", "24 G", "FN31", "FN21"},   {"K2XYZ", "24 G", "FN32", "FN21"},
    {"W1AW", "300 G", "FN31", "FN21"},  {"W9ZZZ", "6 M", "FN42", "FN21"},
};
// Q: 50=2 144=3 222=1 432=2 902=1 1.3=1 2.3=1 10G=1 24G=2 300G=1; "6 M" is
//    no band and counts nowhere. Contacts 2+3+1+2+1+1+1+1+2+1 = 15.
// G: 50=2 144=2 (fn31 is FN31) 222=1 432=2 902=1 1.3=1 2.3=1 10G=1 24G=2
//    300G=1 = 14.
// Points: (2+3) + 2·(1+2) + 4·(1+1) + 8·(1+1+2+1) = 5+6+8+40 = 59.
// Fixed 59·14 = 826. Rover: own grids FN20, FN21 (fn21 the same) = 2,
// multipliers 16, 59·16 = 944.
const QStringList januaryLabels{"2 / 2", "3 / 2", "1 / 1", "2 / 2", "1 / 1",
                                "1 / 1", "1 / 1", "0 / 0", "0 / 0", "1 / 1"};

// June (and September): weights 1, 2, 3, 4.
const std::vector<C> juneLog{
    {"W1AW", "50 M", "FN31", "FN20"},   {"W1AW", "144 M", "FN31", "FN20"},
    {"K2XYZ", "144 M", "FN32", "FN20"}, {"W1AW", "222 M", "FN31", "FN20"},
    {"W1AW", "902 M", "FN31", "FN20"},  {"K2XYZ", "902 M", "FN32", "FN20"},
    {"W1AW", "1.3 G", "FN31", "FN20"},  {"W1AW", "3.5 G", "FN31", "FN20"},
    {"W1AW", "5.8 G", "FN31", "FN20"},  {"W1AW", "47 G", "FN31", "FN20"},
    {"W1AW", "50 M", "FN31", "FN21"},   {"W1AW", "144 M", "FN31", "FN21"},
    {"N3ABC", "144 M", "FM29", "FN21"}, {"W1AW", "222 M", "Fn31", "FN21"},
    {"W1AW", "47 G", "FN31", "FN21"},   {"W1AW", "75 G", "FN31", "FN21"},
    {"W1AW", "120 G", "FN31", "FN21"},  {"W1AW", "142 G", "FN31", "FN21"},
    {"W1AW", "241 G", "FN31", "FN21"},
};
// Q: 50=2 144=4 222=2 902=2 1.3=1 3.5=1 5.8=1 47G=2 75G=1 120G=1 142G=1
//    241G=1; contacts 19.
// G: 50=1 144=3 (FN31 FN32 FM29) 222=1 902=2 1.3=1 3.5=1 5.8=1 47G=1 75G=1
//    120G=1 142G=1 241G=1 = 15.
// Points: (2+4) + 2·(2+0) + 3·(2+1) + 4·(1+1+2+1+1+1+1) = 6+4+9+32 = 51.
// Fixed 51·15 = 765. Rover: FN20, FN21 activated, 17 multipliers, 867.
const QStringList juneLabels{"2 / 1", "4 / 3", "2 / 1", "0 / 0", "2 / 2",
                             "1 / 1", "0 / 0", "1 / 1", "1 / 1", "0 / 0"};

// UHF: 50 and 144 count nowhere; weights 3 (222, 432), 6 (902, 1.3), 12.
const std::vector<C> uhfLog{
    {"W1AW", "50 M", "FN31", "FN20"},   {"W1AW", "144 M", "FN31", "FN20"},
    {"K2XYZ", "144 M", "FN32", "FN20"}, {"W1AW", "222 M", "FN31", "FN20"},
    {"K2XYZ", "222 M", "FN32", "FN20"}, {"W1AW", "432 M", "FN31", "FN20"},
    {"K2XYZ", "432 M", "fn32", "FN20"}, {"N3ABC", "432 M", "FM29", "FN20"},
    {"W1AW", "902 M", "FN31", "FN20"},  {"W1AW", "1.3 G", "FN31", "FN20"},
    {"W1AW", "10 G", "FN31", "FN20"},   {"W1AW", "24 G", "FN31", "FN20"},
    {"W1AW", "432 M", "FN31", "FN30"},  {"N3ABC", "1.3 G", "FM29", "FN30"},
    {"K1ABC", "144 M", "FN42", "FN30"},
};
// Q from 222 up: 222=2 432=4 902=1 1.3=2 10G=1 24G=1, contacts 11.
// G from 222 up: 222=2 432=3 (FN31 FN32 FM29) 902=1 1.3=2 10G=1 24G=1 = 10.
// Points: 3·(2+4) + 6·(1+2) + 12·(1+1) = 18+18+24 = 60.
// Fixed 60·10 = 600. Rover: FN20, FN30 activated, 12 multipliers, 720.
const QStringList uhfLabels{"1 / 1", "3 / 3", "2 / 2", "4 / 3", "1 / 1",
                            "2 / 2", "0 / 0", "0 / 0", "0 / 0", "1 / 1"};

// September: June's weights on another log; an empty received grid is a key
// like any other.
const std::vector<C> septemberLog{
    {"W1AW", "144 M", "FN31", "FN20"},  {"W1AW", "144 M", "FN31", "FN20"},
    {"K2XYZ", "144 M", "FN32", "FN20"}, {"N3ABC", "50 M", "FM29", "FN20"},
    {"N3ABC", "50 M", "fm29", "FN20"},  {"W1AW", "432 M", "FN31", "FN20"},
    {"W1AW", "2.3 G", "FN31", "FN20"},  {"W1AW", "10 G", "FN31", "FN20"},
    {"K2XYZ", "10 G", "FN32", "FN20"},  {"W1AW", "144 M", "FN31", "FN10"},
    {"W1AW", "432 M", "FN31", "FN10"},  {"W1AW", "902 M", "FN31", "fn10"},
    {"K2XYZ", "1.3 G", "FN32", "FN11"}, {"W1AW", "24 G", "FN31", "FN11"},
    {"W9ZZZ", "222 M", "", "FN11"},
};
// Q: 50=2 144=4 222=1 432=2 902=1 1.3=1 2.3=1 10G=2 24G=1; contacts 15.
// G: 50=1 144=2 222=1 ("") 432=1 902=1 1.3=1 2.3=1 10G=2 24G=1 = 11.
// Points: (2+4) + 2·(1+2) + 3·(1+1) + 4·(1+2+1) = 6+6+6+16 = 34.
// Fixed 34·11 = 374. Rover: FN20, FN10, FN11 activated, 14 multipliers, 476.
const QStringList septemberLabels{"2 / 1", "4 / 2", "1 / 1", "2 / 1", "1 / 1",
                                  "1 / 1", "1 / 1", "0 / 0", "0 / 0", "2 / 2"};

// CQ: 50 and 144 only, 1 and 2 points.
const std::vector<C> cqLog{
    {"W1AW", "50 M", "FN31", "FN20"},   {"K2XYZ", "50 M", "FN32", "FN20"},
    {"W1AW", "144 M", "FN31", "FN20"},  {"N3ABC", "144 M", "fn31", "FN20"},
    {"W1AW", "222 M", "FN31", "FN20"},  {"W1AW", "432 M", "FN31", "FN20"},
    {"W1AW", "50 M", "FN31", "FN21"},   {"W1AW", "144 M", "FN31", "FN21"},
    {"K2XYZ", "144 M", "FN32", "fn21"}, {"N3ABC", "144 M", "FN31", "FN21"},
    {"K1ABC", "50 M", "FN42", "FN21"},  {"W1AW", "1.3 G", "FN31", "FN21"},
};
// Q: 50=4 144=5 (222, 432, 1.3 count nowhere in the score); contacts 9.
// Points: 4 + 2·5 = 14.
// Fixed: G50 = FN31 FN32 FN42 = 3, G144 = FN31 FN32 = 2; 14·5 = 70.
// Rover keys: 50 = "FN31 FN20" "FN32 FN20" "FN31 FN21" "FN42 FN21" = 4;
// 144 = "FN31 FN20" ("fn31 FN20" the same) "FN31 FN21" "FN32 fn21" = 3;
// no activated-grid bonus: 14·7 = 98. Other bands are not grid-tallied.
const QStringList cqFixedLabels{"4 / 3", "5 / 2", "1 / 1", "1 / 1", "0 / 0",
                                "1 / 1", "0 / 0", "0 / 0", "0 / 0", "0 / 0"};
const QStringList cqRoverLabels{"4 / 4", "5 / 3", "1 / 0", "1 / 0", "0 / 0",
                                "1 / 0", "0 / 0", "0 / 0", "0 / 0", "0 / 0"};

TEST(Score, LongerLogPerContest)
{
    struct Case {
        const char *name;
        int contest;
        bool rover;
        const std::vector<C> &log;
        ScoreTotals expected;
        const QStringList &labels;
    };
    const Case cases[] = {
        {"January fixed", January, false, januaryLog, {15, 59, 14, 826}, januaryLabels},
        {"January rover", January, true, januaryLog, {15, 59, 16, 944}, januaryLabels},
        {"June fixed", June, false, juneLog, {19, 51, 15, 765}, juneLabels},
        {"June rover", June, true, juneLog, {19, 51, 17, 867}, juneLabels},
        {"UHF fixed", Uhf, false, uhfLog, {11, 60, 10, 600}, uhfLabels},
        {"UHF rover", Uhf, true, uhfLog, {11, 60, 12, 720}, uhfLabels},
        {"September fixed", September, false, septemberLog, {15, 34, 11, 374}, septemberLabels},
        {"September rover", September, true, septemberLog, {15, 34, 14, 476}, septemberLabels},
        {"CQ fixed", Cq, false, cqLog, {9, 14, 5, 70}, cqFixedLabels},
        {"CQ rover", Cq, true, cqLog, {9, 14, 7, 98}, cqRoverLabels},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<QsoRecord> records = contacts(c.log);
        Tally full;
        full.recompute(loadedMirror(records), c.contest, c.rover);
        EXPECT_EQ(scoreTotals(full, c.contest, c.rover), c.expected);
        EXPECT_EQ(panelLabels(full), c.labels);

        // The first part reloaded, the rest logged here one by one; and the
        // whole log written into the file newest first (the reload sorts it
        // by time, so "Fn31" still comes after "FN31"): the same tallies.
        const size_t split = records.size() / 2;
        Tally grown, reversed;
        grown.recompute(loadedMirror({records.begin(), records.begin() + split}), c.contest, c.rover);
        for (size_t i = split; i < records.size(); ++i)
            grown.addLogged(records[i], c.contest, c.rover);
        reversed.recompute(loadedMirror({records.rbegin(), records.rend()}), c.contest, c.rover);
        for (const Tally *t : {&grown, &reversed}) {
            for (int band = 0; band < Bands::Count; ++band) {
                EXPECT_EQ(t->qsoCount(band), full.qsoCount(band)) << band;
                EXPECT_EQ(t->workedGrids(band), full.workedGrids(band)) << band;
            }
            EXPECT_EQ(t->activatedGrids(), full.activatedGrids());
            EXPECT_EQ(scoreTotals(*t, c.contest, c.rover), c.expected);
        }
    }
}

TEST(Score, NoCeilingOnGridsPerBand)
{
    // More distinct grids on one band than a fixed-size list would hold.
    Tally t;
    for (char f1 = 'A'; f1 <= 'R'; ++f1)
        for (char f2 = 'A'; f2 <= 'R'; ++f2)
            for (int sq = 0; sq < 20; ++sq)
                t.addLogged(qso("W1AW", "144 M", QString(QChar(f1)) + QChar(f2) + QString::asprintf("%02d", sq)),
                            June, false);
    EXPECT_EQ(t.gridCount(1), 18 * 18 * 20);
    EXPECT_EQ(scoreTotals(t, June, false).score, qint64(6480) * 6480);
}

TEST(Score, NewMark)
{
    const LogMirror m = loadedMirror(contacts(
        {{"W1AW", "144 M", "FN31", "FN20"}, {"K2XYZ", "144 M", "FN32", "FN21"}, {"N3ABC", "432 M", "FM29", "FN20"}}));
    Tally fixed, cqRover;
    fixed.recompute(m, June, false);
    cqRover.recompute(m, Cq, true);
    struct Case {
        const char *name;
        bool cqRover;
        const char *band, *text, *ownGrid;
        bool shows;
    };
    const Case cases[] = {
        {"three characters", false, "144 M", "FN4", "FN20", false},
        {"fourth character of a new grid", false, "144 M", "FN42", "FN20", true},
        {"worked on the band", false, "144 M", "FN31", "FN20", false},
        {"worked, other case", false, "144 M", "fn31", "FN20", false},
        {"six characters in a worked square", false, "144 M", "fn31ab", "FN20", false},
        {"six characters in a new square", false, "144 M", "FN42ab", "FN20", true},
        {"worked on another band only", false, "432 M", "FN31", "FN20", true},
        {"band label in other case", false, "144 m", "FN31", "FN20", false},
        {"band of no row", false, "6 M", "FN42", "FN20", false},
        {"CQ rover, same own grid", true, "144 M", "FN31", "FN20", false},
        {"CQ rover, other own grid", true, "144 M", "FN31", "FN21", true},
        {"CQ rover, six-character own grid", true, "144 M", "FN31xy", "fn20xy", false},
        {"CQ rover above 144", true, "432 M", "FM29", "FN20", true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(showsNewMark(c.cqRover ? cqRover : fixed, c.band, c.text, c.cqRover ? Cq : June, c.cqRover,
                               c.ownGrid),
                  c.shows)
            << c.name;
}

// ---------------------------------------------------------------------------
// Rates

// Contacts at the given times of 13 June 2026 (or "date time" for another day).
LogMirror at(const std::vector<const char *> &times)
{
    std::vector<QsoRecord> records;
    for (const QString t : times) {
        const QStringList parts = t.split(u' ');
        records.push_back(qso("W1AW", "144 M", "FN31", "FN20", "CW", parts.size() == 2 ? parts[0] : "2026/06/13",
                              parts.last()));
    }
    return loadedMirror(records);
}

TEST(Rates, CountsBackFromTheNewestRecord)
{
    // The station's clock reads 16:00 local, four hours behind UTC.
    Clock::setFixed(QDateTime(QDate(2026, 6, 13), QTime(16, 0, 0, 900)),
                    QDateTime(QDate(2026, 6, 13), QTime(20, 0, 0, 900)));
    const QDateTime utcNow = Clock::stationUtc(4.0);
    Clock::useSystem();
    struct Case {
        const char *name;
        std::vector<const char *> log; // in time order, as the reload gives it
        Rates expected;
    };
    const Case cases[] = {
        {"empty log", {}, {0, 0}},
        {"four in 10 minutes, two 30 minutes ago",
         {"19:30:00", "19:30:30", "19:51:00", "19:53:00", "19:56:00", "19:59:00"}, {6, 12}},
        {"exactly 20 minutes old is outside the 20 minutes", {"19:40:00", "19:40:01"}, {2, 3}},
        {"exactly an hour old ends the walk", {"18:30:00", "19:00:00", "19:00:01"}, {1, 0}},
        {"yesterday does not count", {"2026/06/12 19:59:00", "19:59:00"}, {1, 3}},
        {"post-contest times without seconds", {"19:45", "19:50"}, {2, 6}},
        {"an unreadable record is passed over", {"19:45:00", "2026/13/45 19:50:00", "xx"}, {1, 3}},
    };
    // The counter the window keeps gives the same over one log after another
    // (each read anew), as contacts arrive and as the clock moves.
    RateCounter kept;
    for (const Case &c : cases) {
        EXPECT_EQ(qsoRates(at(c.log), utcNow), c.expected) << c.name;
        EXPECT_EQ(kept.rates(at(c.log), utcNow), c.expected) << c.name;
    }

    // A contact entered late with its real, older time goes to the end of the
    // mirror; the walk meets it first and stops until the next reload sorts it.
    LogMirror m = at({"19:55:00"});
    EXPECT_EQ(qsoRates(m, utcNow), (Rates{1, 3}));
    EXPECT_EQ(kept.rates(m, utcNow), (Rates{1, 3}));
    m.append(qso("K2XYZ", "144 M", "FN32", "FN20", "CW", "2026/06/13", "18:10"));
    EXPECT_EQ(qsoRates(m, utcNow), (Rates{0, 0}));
    EXPECT_EQ(kept.rates(m, utcNow), (Rates{0, 0}));

    // A shorter log read after a longer one.
    EXPECT_EQ(kept.rates(at({"19:50:00"}), utcNow), (Rates{1, 3}));
    LogMirror growing = at({"18:00:00", "18:40:00", "19:10:00", "19:30:00"});
    for (int step = 0; step < 24; ++step) {
        SCOPED_TRACE(step);
        if (step % 3 == 0)
            growing.append(qso("K3ABC", "144 M", "FN32", "FN20", "CW", "2026/06/13",
                               QTime(19, 30).addSecs(step * 150).toString("HH:mm:ss")));
        // The clock goes on, and once back.
        const QDateTime t = utcNow.addSecs(step == 12 ? -1800 : (step - 6) * 300);
        EXPECT_EQ(kept.rates(growing, t), qsoRates(growing, t));
    }
}

} // namespace
