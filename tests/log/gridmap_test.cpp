// Grid squares: corner positions, heading and distance, the map's captions
// and the hover summary.
#include "log/GridMap.h"
#include "support/TestLog.h"

#include <gtest/gtest.h>

namespace {

constexpr double OwnLat = 40.0;
constexpr double OwnLonW = 76.0;

TEST(GridMap, SouthWestCornerOfASquare)
{
    struct Case {
        const char *grid;
        double lat;
        double lonW;
    };
    const std::vector<Case> cases{
        {"FN20", 40, 76},       {"fn20", 40, 76},   {"FN31", 41, 74},
        {"JJ00", 0, 0},         {"AA00", -90, 180}, {"RR99", 89, -178},
        {"FN", 40, 80},         {"F", 0, 80},       {"FN20ma", 40, 75},
        {"FN20ax", 40 + 23.0 / 24, 76},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.grid);
        const GeoPoint p = GridToPosition(QString::fromLatin1(c.grid));
        EXPECT_DOUBLE_EQ(p.lat, c.lat);
        EXPECT_DOUBLE_EQ(p.lonW, c.lonW);
    }
}

TEST(GridMap, BearingAndDistanceTexts)
{
    struct Case {
        const char *grid;
        const char *bearing;
        const char *miles;
    };
    const std::vector<Case> cases{
        {"FN31", "56", "126"},
        {"FN30", "89", "106"}, // due east, but the great circle leaves north of east
        {"FM29", "180", "69"}, // one degree due south
        {"FN21", "360", "69"}, // one degree due north
        {"FN10", "271", "106"},
        {"IO91", "51", "3,505"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.grid);
        const auto texts = bearingTextsForGrid(OwnLat, OwnLonW, QString::fromLatin1(c.grid));
        ASSERT_TRUE(texts.has_value());
        EXPECT_EQ(texts->first, QString::fromLatin1(c.bearing));
        EXPECT_EQ(texts->second, QString::fromLatin1(c.miles));
    }
}

TEST(GridMap, NoHeadingToTheOwnPointOrItsAntipode)
{
    EXPECT_FALSE(HDCalc(OwnLat, OwnLonW, 40, 76).has_value());
    EXPECT_FALSE(bearingTextsForGrid(OwnLat, OwnLonW, QStringLiteral("FN20")).has_value());
    EXPECT_FALSE(HDCalc(OwnLat, OwnLonW, -40, 76 - 180).has_value());
}

TEST(GridMap, NumberPatterns)
{
    struct Case {
        double value;
        const char *bearing;
        const char *miles;
    };
    const std::vector<Case> cases{
        {0, "", ""},         {0.4, "", ""},          {0.5, "1", "1"},
        {56.49, "56", "56"}, {359.6, "360", "360"},  {999.4, "999", "999"},
        {1234.5, "1235", "1,235"}, {12345678, "12345678", "12,345,678"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(formatBearing(c.value), QString::fromLatin1(c.bearing));
        EXPECT_EQ(formatMiles(c.value), QString::fromLatin1(c.miles));
    }
}

TEST(GridMap, CaptionsAroundTheStation)
{
    const auto captions = GridFill(OwnLat, OwnLonW, 0, 0);
    struct Case {
        int cell;
        const char *caption;
    };
    const std::vector<Case> cases{
        {82, "FN20"}, // row 8, column 6: the own square
        {0, "EN77"},  // five squares west, seven rows north
        {10, "FN77"}, // north-east corner
        {71, "FN21"}, // one row north of the own square
        {83, "FN30"}, // one square east
        {164, "FM73"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(captions[static_cast<size_t>(c.cell)], QString::fromLatin1(c.caption))
            << "cell " << c.cell;
}

TEST(GridMap, ScrollingMovesWholeRowsAndColumns)
{
    const auto home = GridFill(OwnLat, OwnLonW, 0, 0);

    const auto north = GridFill(OwnLat, OwnLonW, 1, 0);
    for (int i = 0; i + GridMapColumns < GridMapCells; ++i)
        ASSERT_EQ(north[static_cast<size_t>(i + GridMapColumns)], home[static_cast<size_t>(i)])
            << "cell " << i;

    const auto west = GridFill(OwnLat, OwnLonW, 0, 2);
    for (int i = 0; i < GridMapCells; ++i) {
        if (i % GridMapColumns == GridMapColumns - 1)
            continue;
        ASSERT_EQ(west[static_cast<size_t>(i + 1)], home[static_cast<size_t>(i)]) << "cell " << i;
    }

    // Two rows north then two back south: the map as it was.
    float rows = 0;
    for (float step : {1.0f, 1.0f, -1.0f, -1.0f})
        rows += step;
    EXPECT_EQ(GridFill(OwnLat, OwnLonW, rows, 0), home);
    EXPECT_EQ(GridFill(OwnLat, OwnLonW, 2, 0)[82], QStringLiteral("FN22"));
}

TEST(GridMap, OnlyNorthernAndWesternStationsGetAMap)
{
    struct Case {
        double lat;
        double lonW;
        bool map;
    };
    const std::vector<Case> cases{
        {40, 76, true}, {0, 76, false}, {-33, 70, false}, {40, 0, false}, {51, -1, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lonW);
        const auto captions = GridFill(c.lat, c.lonW, 0, 0);
        EXPECT_EQ(!captions[0].isEmpty(), c.map);
        EXPECT_EQ(!captions[164].isEmpty(), c.map);
    }
}

TEST(GridMap, WorkedCellsToPaint)
{
    const auto captions = GridFill(OwnLat, OwnLonW, 0, 0);
    // The CQ rover key, a short entry and a far grid colour nothing.
    const QStringList worked{"FN20", "fn21", "FN20 FN21", "FN2", "", "IO91"};
    EXPECT_EQ(workedCellIndexes(captions, worked), (std::vector<int>{82, 71}));
}

TEST(GridMap, SummaryOfAGridWorkedOnSeveralBands)
{
    const LogMirror m = loadedMirror({
        qso("W1AW", "50 M", "FN31"),
        qso("K2XYZ", "50 M", "FN31"),
        qso("W1AW", "144 M", "FN31"),
        qso("K2XYZ", "144 M", "FN32"),
        qso("W1AW", "432 M", "FN31"),
        qso("W1AW", "902 M", "fn31"),
        qso("W1AW", "10 G", "FN31"),
        qso("W1AW", "24 G", "FN31"),
    });
    EXPECT_EQ(gridSummary(m, QStringLiteral("FN31")),
              QStringLiteral("FN31  Total = 7   50 = 2   144 = 1   222 = 0\r\n"
                             "432 = 1   902 = 1   1.3 = 0   2.3 = 0   3.5 = 0\r\n"
                             "5.8 = 0   10 = 1"));
    EXPECT_EQ(gridSummary(m, QStringLiteral("EN77")),
              QStringLiteral("EN77  Total = 0   50 = 0   144 = 0   222 = 0\r\n"
                             "432 = 0   902 = 0   1.3 = 0   2.3 = 0   3.5 = 0\r\n"
                             "5.8 = 0   10 = 0"));
}

} // namespace
