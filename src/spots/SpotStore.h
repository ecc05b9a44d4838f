#pragma once
// The last 50 spots regardless of band, oldest first, newest in the last
// slot, and what the band maps and the spot list make of them: the prefix a
// map label shows, the scale of the current band, each label's place, tool
// tip and age colour, and the columns of a list row. A removed spot (a click
// on its label, or the same call spotted again) keeps its slot with the
// frequency 0 until it is shifted out.
#include <QColor>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <optional>

struct Spot {
    QString call;
    float mhz = 0; // 0: removed from the maps
    QDateTime arrived; // local time
    QString prefix;
};

class SpotStore : public QObject {
    Q_OBJECT
public:
    static constexpr int Size = 50;
    using QObject::QObject;

    // A spot line's call, frequency text in kHz and record. A frequency that
    // is not a number stores nothing (the own-call warning is given first).
    // True when a spot was stored.
    bool add(const QString &call, const QString &frequencyKHz, const QString &record);
    const Spot &at(int slot) const { return m_spots[size_t(slot)]; }
    // Takes a spot off the maps.
    void remove(int slot);
    void setOwnCall(const QString &call) { m_ownCall = call; }

signals:
    void spotsChanged();
    // The own call was spotted; record as the cluster sent it.
    void ownCallSpotted(const QString &record);
    // A new spot for the list: its call, MHz and record.
    void spotArrived(const QString &call, float mhz, const QString &record);

private:
    std::array<Spot, Size> m_spots{};
    QString m_ownCall;
};

namespace SpotMap {
// The prefix a map label shows: JA1XYZ gives JA1, VE3/K1ABC VE3, K1ABC/P P,
// K1ABC/4 K4; a call under 3 characters none.
QString callPrefix(const QString &call);

struct Scale {
    double lower = 0, upper = 0;
    std::array<double, 5> marks{}; // rounded to 3 decimals
    QString markText(int k) const;  // "144.200"
};
// The edges of a band on the map (both 0 for a band without a map).
std::pair<double, double> bandEdges(const QString &bandLabel);
// Over the spots inside the band, just wider than the lowest and highest;
// the whole band when there are fewer than two frequencies.
Scale scale(const QString &bandLabel, const SpotStore &store);

// The text colour of a spot of that age, none once it is an hour old.
std::optional<QColor> ageColour(qint64 seconds);

struct Label {
    int slot = 0;
    QString caption, toolTip;
    double position = 0; // 0 at the scale's lower end, 1 at its upper end
    QColor colour;
};
// The labels of the map, newest first: the spots within the scale that are
// under an hour old at `now`; times shown in UTC by the station's offset.
QList<Label> labels(const SpotStore &store, const Scale &scale, const QDateTime &now,
                    double utcOffsetHours);
// The same for a row of fixed edges (lower < f <= upper).
QList<Label> labels(const SpotStore &store, double lower, double upper, const QDateTime &now,
                    double utcOffsetHours);

// The spot list's columns after Call and Frequency: QTH, Status, Comments,
// Prefix, Time, From, taken from the record's fixed columns (From is the
// locator after the time).
QStringList listColumns(const QString &record);
} // namespace SpotMap
