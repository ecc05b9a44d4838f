#include "log/GridMap.h"

#include "log/Bands.h"
#include "log/GridSquare.h"

#include <QHash>
#include <cmath>

namespace {

constexpr double DegreesPerRadian = 57.29577951;
constexpr double MilesPerRadian = 3955.75791314991;

// The value of a square digit; a character that is no digit counts as 0.
int digitAt(const QString &s, int i)
{
    const int d = s.at(i).digitValue();
    return d < 0 ? 0 : d;
}

int upperCode(const QString &s, int i) { return s.at(i).toUpper().unicode(); }
int lowerCode(const QString &s, int i) { return s.at(i).toLower().unicode(); }

double fraction(double x) { return x - std::floor(x); }

bool isWhole(double x) { return x == std::floor(x); }

char fieldLetter(double v)
{
    const double code = std::floor(v) + 74;
    if (code < 'A')
        return 'A';
    if (code > 'R')
        return 'R';
    return static_cast<char>(code);
}

// The name of the square that holds the point (west longitude W, latitude L).
QString squareName(double w, double l)
{
    if (std::isnan(w) || std::isnan(l) || std::isinf(w) || std::isinf(l))
        return QStringLiteral("NA");
    const char letter1 = fieldLetter(-w / 20);
    const char letter2 = fieldLetter(l / 10);
    const int digit1 = isWhole(w / 20) ? 0 : 9 - static_cast<int>(std::floor(fraction(w / 20) * 10));
    const int digit2 = static_cast<int>(std::floor(fraction(l / 10) * 10));
    QString name;
    name.reserve(4);
    name.append(QLatin1Char(letter1));
    name.append(QLatin1Char(letter2));
    name.append(QString::number(digit1));
    name.append(QString::number(digit2));
    return name;
}

// Keeps a sample longitude off a square boundary.
double offWestBoundary(double w) { return isWhole(w) ? w - 0.001 : w; }

QString groupedThousands(qint64 n)
{
    const bool negative = n < 0;
    QString digits = QString::number(negative ? -n : n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return negative ? QLatin1Char('-') + digits : digits;
}

} // namespace

GeoPoint gridToPosition(const QString &grid)
{
    GeoPoint p;
    const int n = static_cast<int>(grid.size());
    if (n >= 1)
        p.lonW = (74 - upperCode(grid, 0)) * 20.0;
    if (n > 2)
        p.lonW -= 2.0 * digitAt(grid, 2);
    if (n > 4)
        p.lonW -= (lowerCode(grid, 4) - 97) * 2.0 / 24.0;
    if (n >= 2)
        p.lat = (upperCode(grid, 1) - 74) * 10.0;
    if (n > 3)
        p.lat += digitAt(grid, 3);
    if (n > 5)
        p.lat += (lowerCode(grid, 5) - 97) / 24.0;
    return p;
}

bool isLocator(const QString &grid)
{
    if (grid.size() != 4 && grid.size() != 6)
        return false;
    auto letterUpTo = [&grid](int i, char last) {
        const char16_t c = QChar::toUpper(grid.at(i).unicode());
        return c >= u'A' && c <= char16_t(last);
    };
    auto digit = [&grid](int i) { return grid.at(i) >= u'0' && grid.at(i) <= u'9'; };
    return letterUpTo(0, 'R') && letterUpTo(1, 'R') && digit(2) && digit(3) &&
           (grid.size() == 4 || (letterUpTo(4, 'X') && letterUpTo(5, 'X')));
}

std::optional<HeadingDistance> headingAndDistance(double ownLat, double ownLonW, double lat2, double lonW2)
{
    const double k = DegreesPerRadian;
    const double d = std::sin(lat2 / k) * std::sin(ownLat / k)
                     + std::cos(lat2 / k) * std::cos(ownLat / k) * std::cos((ownLonW - lonW2) / k);
    // The arc cosine below divides by √(1 − D²): the own point (D = 1) and its
    // antipode (D = −1) have no heading.
    if (!std::isfinite(d) || d >= 1.0 || d <= -1.0)
        return std::nullopt;
    const double a = std::atan(-d / std::sqrt(1 - d * d)) + 2 * std::atan(1.0);
    const double denominator = std::sin((a * k) / k) * std::cos(ownLat / k);
    if (denominator == 0.0 || !std::isfinite(denominator))
        return std::nullopt;
    double c = (std::sin(lat2 / k) - std::sin(ownLat / k) * d) / denominator;
    if (!std::isfinite(c))
        return std::nullopt;
    // Along the own meridian the cosine of the heading is ±1 and rounding may
    // push it just past; the heading there is 0 (north) or 180 (south).
    double b;
    if (c >= 1.0)
        b = 0.0;
    else if (c <= -1.0)
        b = 180.0;
    else
        b = (std::atan(-c / std::sqrt(1 - c * c)) + 2 * std::atan(1.0)) * k;
    HeadingDistance hd;
    hd.bearing = std::sin((ownLonW - lonW2) / k) > 0 ? b : 360.0 - b;
    hd.miles = a * MilesPerRadian;
    return hd;
}

QString formatBearing(double bearing)
{
    const qint64 n = std::llround(bearing);
    return n == 0 ? QString() : QString::number(n);
}

QString formatMiles(double miles)
{
    const qint64 n = std::llround(miles);
    return n == 0 ? QString() : groupedThousands(n);
}

std::optional<std::pair<QString, QString>> bearingTextsForGrid(double ownLat, double ownLonW,
                                                               const QString &grid)
{
    const GeoPoint p = gridToPosition(grid);
    const auto hd = headingAndDistance(ownLat, ownLonW, p.lat, p.lonW);
    if (!hd)
        return std::nullopt;
    return std::make_pair(formatBearing(hd->bearing), formatMiles(hd->miles));
}

std::array<QString, GridMapCells> gridMapCaptions(double ownLat, double ownLonW, float rowOffset,
                                           float columnOffset)
{
    std::array<QString, GridMapCells> captions;
    if (ownLat <= 0 || ownLonW <= 0)
        return captions;
    const double rowStartW = offWestBoundary(ownLonW + 10 + columnOffset);
    double w = offWestBoundary(ownLonW + 12 + columnOffset);
    double l = ownLat + 7 + rowOffset;
    if (isWhole(l))
        l += 0.001;
    int column = 0;
    for (QString &caption : captions) {
        ++column;
        if (column > GridMapColumns) {
            column = 1;
            l -= 1;
            w = rowStartW;
        } else {
            w -= 2;
        }
        caption = squareName(w, l);
    }
    return captions;
}

int gridCellIndex(const std::array<QString, GridMapCells> &captions, const QString &grid)
{
    for (int i = 0; i < GridMapCells; ++i)
        if (!captions[static_cast<size_t>(i)].isEmpty()
            && captions[static_cast<size_t>(i)].compare(grid, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::vector<int> workedCellIndexes(const std::array<QString, GridMapCells> &captions,
                                   const QStringList &workedGrids)
{
    // A band's list may hold thousands of grids: each is looked up among
    // the cells' captions rather than compared with every one.
    QHash<QString, int> cellOf;
    cellOf.reserve(GridMapCells);
    for (int i = 0; i < GridMapCells; ++i) {
        const QString &c = captions[static_cast<size_t>(i)];
        if (!c.isEmpty() && !cellOf.contains(c.toUpper()))
            cellOf.insert(c.toUpper(), i);
    }
    std::vector<int> cells;
    for (const QString &g : workedGrids) {
        if (g.size() <= 3)
            continue;
        const auto it = cellOf.constFind(g.toUpper());
        if (it != cellOf.cend())
            cells.push_back(*it);
    }
    return cells;
}

SquareCounts countSquare(const LogMirror &m, const QString &square)
{
    SquareCounts c;
    for (const QsoRecord &r : m.records()) {
        if (!sameSquare(r.gridr, square))
            continue;
        ++c.total;
        const int b = Bands::indexOf(r.uband);
        if (b >= 0 && b < static_cast<int>(c.perBand.size()))
            ++c.perBand[static_cast<size_t>(b)];
    }
    return c;
}

QString gridSummary(const QString &caption, const SquareCounts &counts)
{
    auto n = [&counts](int b) { return QString::number(counts.perBand[static_cast<size_t>(b)]); };
    return caption + QStringLiteral("  Total = ") + QString::number(counts.total)
           + QStringLiteral("   50 = ") + n(0) + QStringLiteral("   144 = ") + n(1)
           + QStringLiteral("   222 = ") + n(2) + QStringLiteral("\r\n")
           + QStringLiteral("432 = ") + n(3) + QStringLiteral("   902 = ") + n(4)
           + QStringLiteral("   1.3 = ") + n(5) + QStringLiteral("   2.3 = ") + n(6)
           + QStringLiteral("   3.5 = ") + n(7) + QStringLiteral("\r\n")
           + QStringLiteral("5.8 = ") + n(8) + QStringLiteral("   10 = ") + n(9);
}
