#pragma once
// The square of a grid locator. Contests count four-character squares: a
// six-character locator ("fn20ab") is its square ("FN20") wherever contacts
// are compared or counted (dupes, multipliers, grid lists, the map, the
// activated grids of a rover), while the log keeps the locator as typed.
#include <QString>

// The first four characters of the locator, in capitals ("fn20ab" -> "FN20").
inline QString gridSquare(const QString &grid) { return grid.trimmed().left(4).toUpper(); }

// Whether two locators lie in the same square.
inline bool sameSquare(const QString &a, const QString &b) { return gridSquare(a) == gridSquare(b); }
