#include "spots/SpectrumRows.h"

#include "platform/Clock.h"

#include <cmath>

namespace SpectrumMap {

const std::array<Row, RowCount> &rows()
{
    static const std::array<Row, RowCount> table{{
        {1800000, 2000000},
        {3500000, 4000000},
        {7000000, 7300000},
        {10100000, 10150000},
        {14000000, 14350000},
        {18068000, 18168000},
        {21000000, 21450000},
        {24890000, 24990000},
        {28000000, 29700000},
        {50000000, 54000000},
        {144000000, 148000000},
    }};
    return table;
}

QStringList scaleTexts(const Row &row)
{
    QStringList marks;
    for (int k = 0; k <= 4; ++k)
        marks << QString::number(double(row.lowerHz + k * (row.upperHz - row.lowerHz) / 4) / 1e6, 'f', 3);
    return marks;
}

QList<Placed> place(const QList<MapSpot> &spots, const QDateTime &now, double utcOffsetHours)
{
    QList<Placed> placed;
    for (int i = int(spots.size()) - 1; i >= 0; --i) {
        const MapSpot &s = spots[i];
        if (!std::isfinite(s.frequencyKHz) || s.frequencyKHz <= 0 || s.frequencyKHz > 1e9)
            continue;
        const qint64 hz = std::llround(s.frequencyKHz * 1000);
        int row = -1;
        for (int r = 0; r < RowCount && row < 0; ++r)
            if (rows()[r].lowerHz <= hz && hz <= rows()[r].upperHz)
                row = r;
        if (row < 0)
            continue;
        const qint64 age = s.arrival.secsTo(now);
        if (age >= 3600)
            break;
        const Row &r = rows()[row];
        Placed p;
        p.spot = i;
        p.row = row;
        p.fraction = double(hz - r.lowerHz) / double(r.upperHz - r.lowerHz);
        p.caption = s.prefix;
        p.toolTip = s.call + QStringLiteral("  ") + QString::number(s.frequencyKHz / 1000, 'f', 3) +
                    QStringLiteral("  ") +
                    Clock::stationUtc(s.arrival, utcOffsetHours).toString(QStringLiteral("hh:mm:ss"));
        p.age = age < 600 ? Age::Fresh : age < 1800 ? Age::Recent : Age::Old;
        placed << p;
    }
    return placed;
}

} // namespace SpectrumMap
