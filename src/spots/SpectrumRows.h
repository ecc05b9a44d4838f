#pragma once
// Where spots go on the spectrum map: eleven fixed band rows from 160 m to
// 2 m, a scale of five marks on each, and each spot placed on the row that
// holds its frequency, captioned with its prefix and coloured by its age.
// The newest spot comes first; a spot an hour old or older ends the pass,
// as every spot before it is older still.
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// One spot as the maps draw it.
struct MapSpot {
    QString call;
    double frequencyKHz = 0; // 0: taken off the maps
    QDateTime arrival;       // local time
    QString prefix;
};

namespace SpectrumMap {

struct Row {
    qint64 lowerHz, upperHz;
};
constexpr int RowCount = 11;
const std::array<Row, RowCount> &rows();
// The five marks of a row: its edges and quarter points, "#.000" MHz.
QStringList scaleTexts(const Row &row);

enum class Age { Fresh, Recent, Old }; // under 10 minutes, under 30, under 60

struct Placed {
    int spot;        // index in the list handed in (oldest first)
    int row;
    double fraction; // along the row, 0 at its lower edge
    QString caption, toolTip;
    Age age;
};

// spots oldest first, as the store keeps them; now is local time. The tool
// tip shows the arrival in UTC: local time plus the offset in hours.
QList<Placed> place(const QList<MapSpot> &spots, const QDateTime &now, double utcOffsetHours);

} // namespace SpectrumMap
