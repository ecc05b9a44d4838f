#pragma once
// Grid-square arithmetic behind the grid map and the bearing display:
// the corner of a Maidenhead square, the great-circle heading and distance to
// it, the names of the 165 squares around the station and the per-square
// summary of the log. Longitudes are degrees WEST, west positive (76 W is 76).
#include "log/QsoRecord.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <utility>
#include <vector>

struct GeoPoint {
    double lat = 0;  // degrees north
    double lonW = 0; // degrees west
};

// The south-west corner of a square ("FN20") or sub-square ("FN20xa"), never
// its centre. A shorter text gives the corner of what it names ("FN" the
// field). Field letters are read upper case, sub-square letters lower case.
GeoPoint gridToPosition(const QString &grid);

// Whether the text is a four-character Maidenhead square ("FN20") or a
// six-character sub-square ("FN20xa"): field letters A to R, two digits and
// sub-square letters A to X, in either case.
bool isLocator(const QString &grid);

struct HeadingDistance {
    double bearing = 0; // degrees, 360 for due north
    double miles = 0;   // statute miles
};

// Great-circle bearing and distance from the station to a point. Nothing when
// the arithmetic fails, as it does for the station's own point or its
// antipode.
std::optional<HeadingDistance> headingAndDistance(double ownLat, double ownLonW, double lat2, double lonW2);

// Whole degrees, rounded, no leading zeros; empty when it rounds to 0.
QString formatBearing(double bearing);
// Whole miles, rounded, with "," between thousands; empty when it rounds to 0.
QString formatMiles(double miles);

// The bearing and miles texts for a typed grid, or nothing when the
// computation fails (the labels then keep what they show).
std::optional<std::pair<QString, QString>> bearingTextsForGrid(double ownLat, double ownLonW,
                                                               const QString &grid);

constexpr int GridMapRows = 15;
constexpr int GridMapColumns = 11;
constexpr int GridMapCells = GridMapRows * GridMapColumns;

// The captions of the map's cells, index = row × 11 + column, rows from north
// to south, columns from west to east; the own square is cell 82 (row 7,
// column 5 counted from 0) when both offsets are 0. rowOffset moves the map
// north by whole rows, columnOffset west by degrees of longitude (steps of 2).
// The map serves stations north of the equator and west of Greenwich: for
// any other own position every caption is empty and the map keeps what it
// shows.
std::array<QString, GridMapCells> gridMapCaptions(double ownLat, double ownLonW, float rowOffset,
                                           float columnOffset);

// The cell whose caption is grid (ignoring case), or -1.
int gridCellIndex(const std::array<QString, GridMapCells> &captions, const QString &grid);

// The cells to paint "worked" for a band's worked-grid keys: every key longer
// than three characters that names a cell. The CQ rover keys (grid, blank,
// own grid) name no cell.
std::vector<int> workedCellIndexes(const std::array<QString, GridMapCells> &captions,
                                   const QStringList &workedGrids);

// How often a square was received: in total, and on each band from 50 MHz
// to 10 GHz.
struct SquareCounts {
    int total = 0;
    std::array<int, 10> perBand{};
    bool operator==(const SquareCounts &) const = default;
};
// Counts the contacts of the mirror whose grid received lies in the square.
SquareCounts countSquare(const LogMirror &m, const QString &square);

// The hover text of a cell: how often the square was received, in total and
// on each band from 50 MHz to 10 GHz, over three lines.
QString gridSummary(const QString &caption, const SquareCounts &counts);
inline QString gridSummary(const LogMirror &m, const QString &caption)
{
    return gridSummary(caption, countSquare(m, caption));
}
