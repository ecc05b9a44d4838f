// Grid squares: corner positions, heading and distance, the map's captions
// and the hover summary.
#include "log/GridMap.h"
#include "support/TestLog.h"

namespace {

constexpr double OwnLat = 40.0;
constexpr double OwnLonW = 76.0;

TEST(GridMap, SouthWestCornerOfASquare)
{
    struct Case {
        const char *grid;
        double lat, lonW;
    };
    const Case cases[] = {
        {"FN20", 40, 76},     {"fn20", 40, 76}, {"FN31", 41, 74},   {"JJ00", 0, 0},
        {"AA00", -90, 180},   {"RR99", 89, -178}, {"FN", 40, 80},   {"F", 0, 80},
        {"FN20ma", 40, 75},   {"FN20ax", 40 + 23.0 / 24, 76},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.grid);
        const GeoPoint p = gridToPosition(c.grid);
        EXPECT_DOUBLE_EQ(p.lat, c.lat);
        EXPECT_DOUBLE_EQ(p.lonW, c.lonW);
    }
}

TEST(GridMap, BearingAndDistanceTexts)
{
    struct Case {
        const char *grid, *bearing, *miles;
    };
    const Case cases[] = {
        {"FN31", "56", "126"},
        {"FN30", "89", "106"}, // due east, but the great circle leaves north of east
        {"FM29", "180", "69"}, // one degree due south
        {"FN21", "360", "69"}, // one degree due north
        {"FN10", "271", "106"},
        {"IO91", "51", "3,505"},
    };
    for (const Case &c : cases) {
        const auto texts = bearingTextsForGrid(OwnLat, OwnLonW, c.grid);
        ASSERT_TRUE(texts.has_value()) << c.grid;
        EXPECT_EQ(*texts, std::make_pair(QString(c.bearing), QString(c.miles))) << c.grid;
    }
    // No heading to the own point or its antipode.
    EXPECT_FALSE(bearingTextsForGrid(OwnLat, OwnLonW, "FN20").has_value());
    EXPECT_FALSE(headingAndDistance(OwnLat, OwnLonW, -40, 76 - 180).has_value());

    // Whole numbers; nothing for less than a half; the miles grouped.
    const std::tuple<double, const char *, const char *> numbers[] = {
        {0, "", ""}, {0.4, "", ""}, {0.5, "1", "1"}, {359.6, "360", "360"}, {12345678, "12345678", "12,345,678"}};
    for (const auto &[value, bearing, miles] : numbers) {
        EXPECT_EQ(formatBearing(value), bearing) << value;
        EXPECT_EQ(formatMiles(value), miles) << value;
    }
}

TEST(GridMap, CaptionsAndScrolling)
{
    const auto home = gridMapCaptions(OwnLat, OwnLonW, 0, 0);
    const std::pair<int, const char *> cells[] = {
        {82, "FN20"}, // row 8, column 6: the own square
        {0, "EN77"},  // five squares west, seven rows north
        {10, "FN77"}, // north-east corner
        {71, "FN21"}, // one row north of the own square
        {83, "FN30"}, // one square east
        {164, "FM73"},
    };
    for (const auto &[cell, caption] : cells)
        EXPECT_EQ(home[size_t(cell)], caption) << "cell " << cell;

    // Scrolling moves whole rows and columns.
    const auto north = gridMapCaptions(OwnLat, OwnLonW, 1, 0);
    const auto west = gridMapCaptions(OwnLat, OwnLonW, 0, 2);
    for (int i = 0; i < GridMapCells; ++i) {
        if (i + GridMapColumns < GridMapCells) {
            ASSERT_EQ(north[size_t(i + GridMapColumns)], home[size_t(i)]) << "cell " << i;
        }
        if (i % GridMapColumns != GridMapColumns - 1) {
            ASSERT_EQ(west[size_t(i + 1)], home[size_t(i)]) << "cell " << i;
        }
    }
    // Two rows north put FN22 on the own square's cell.
    EXPECT_EQ(gridMapCaptions(OwnLat, OwnLonW, 2, 0)[82], "FN22");

    // Only northern and western stations get a map.
    for (const auto &[lat, lonW] : {std::pair{0.0, 76.0}, {-33.0, 70.0}, {40.0, 0.0}, {51.0, -1.0}}) {
        const auto captions = gridMapCaptions(lat, lonW, 0, 0);
        EXPECT_TRUE(captions[0].isEmpty() && captions[164].isEmpty()) << lat << " " << lonW;
    }
}

TEST(GridMap, WorkedCellsAndSummary)
{
    const auto captions = gridMapCaptions(OwnLat, OwnLonW, 0, 0);
    // The CQ rover key, a short entry and a far grid colour nothing.
    const QStringList worked{"FN20", "fn21", "FN20 FN21", "FN2", "", "IO91"};
    EXPECT_EQ(workedCellIndexes(captions, worked), (std::vector<int>{82, 71}));

    const LogMirror m = loadedMirror({
        qso("W1AW", "50 M", "FN31"), qso("K2XYZ", "50 M", "FN31"), qso("W1AW", "144 M", "FN31"),
        qso("K2XYZ", "144 M", "FN32"), qso("W1AW", "432 M", "FN31"), qso("W1AW", "902 M", "fn31"),
        qso("W1AW", "10 G", "FN31ab"), qso("W1AW", "24 G", "FN31"),
    });
    EXPECT_EQ(gridSummary(m, "FN31"), "FN31  Total = 7   50 = 2   144 = 1   222 = 0\r\n"
                                      "432 = 1   902 = 1   1.3 = 0   2.3 = 0   3.5 = 0\r\n"
                                      "5.8 = 0   10 = 1");
}

} // namespace
