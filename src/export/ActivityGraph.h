#pragma once
// The activity graph: the contact rate over the whole contest, sampled from
// the mirror as one curve coloured by band group, with the labels of its time
// axis and the steps of its rate axis. Painting it is the window's.
#include "log/QsoRecord.h"

#include <QDateTime>
#include <QPointF>
#include <QStringList>
#include <vector>

namespace ActivityGraph {

// Fewer contacts than this show a message instead of a graph.
constexpr int MinContacts = 7;
// The time axis is cut into this many steps; samples are numbered 1..Steps.
constexpr int Steps = 1500;
// The time axis carries this many time labels, each with its date below.
constexpr int LabelCount = 15;
// A pause of up to this many steps is bridged by a straight line.
constexpr int BridgeSteps = 15;
// The rate of a contact: the contacts from it onward within this many
// seconds, times six (contacts per hour).
constexpr int WindowSeconds = 600;

constexpr int GroupCount = 7;
// The legend labels of the band groups; every band from 2.3 GHz up is "Other".
inline const QStringList GroupLabels{QStringLiteral("50"),  QStringLiteral("144"),
                                     QStringLiteral("222"), QStringLiteral("432"),
                                     QStringLiteral("902"), QStringLiteral("1.3"),
                                     QStringLiteral("Other")};
// The band group (0..6) of a band label.
int groupOf(const QString &bandLabel);

// The rate at one contact, placed on the sample of its time.
struct RatePoint {
    int sample = 0;
    float rate = 0;
    int group = 0;
};

struct Data {
    bool enough = false; // at least MinContacts contacts with a readable time
    QDateTime start;     // the first contact
    QDateTime end;       // the last contact
    qint64 spanSeconds = 0;
    QStringList timeLabels; // LabelCount "hh:mm"
    QStringList dateLabels; // LabelCount "MM/DD"
    std::vector<RatePoint> points; // one per contact, in time order
    // The filled curve, index 1..Steps (index 0 unused): the rate and the
    // band group whose colour the segment ending at the sample takes; -1
    // where the curve lies at zero because no contact is near.
    std::vector<float> rate;
    std::vector<int> group;
    float peak = 0;

    // The pieces of the curve drawn in a group's colour: runs of neighbouring
    // samples as (sample, rate) points, each run at least two points long.
    std::vector<std::vector<QPointF>> series(int group) const;
};

Data compute(const LogMirror &mirror);

// The steps of the rate axis: a round step and the top of the axis, so that
// the peak fits in at most MaxRateSteps steps.
constexpr int MaxRateSteps = 8;
// The rate axis carries a label at zero and at every step up to the top.
constexpr int RateLabelCount = MaxRateSteps + 1;
struct Scale {
    float step = 1;
    float top = 1;
};
Scale scaleFor(float peak);
// The rates labelled on the axis, from zero up to the top (at most
// RateLabelCount of them).
std::vector<float> rateSteps(const Scale &scale);
// A rate as the axis shows it: one decimal, at least one digit before the
// point, no grouping of thousands ("0.0", "12.5", "12345.0").
QString rateText(double rate);

namespace Text {
inline const QString MenuCaption = QStringLiteral("&Graph");
inline const QString WindowTitle =
    QStringLiteral(" Activity Graph - QSOs per Hour Rate   (# QSOs over 10 minutes X 6)");
inline const QString NotEnoughTitle = QStringLiteral("Not Enough Contacts to Graph.");
inline const QString NotEnoughText = QStringLiteral(
    "The graph will not display with less than 7 contacts.  The graph becomes more meaningful "
    "as several hours of contest logging are accumulated.");
inline const QString BlackButton = QStringLiteral("Black Background");
inline const QString WhiteButton = QStringLiteral("White Background");
inline const QString AxisCaption = QStringLiteral("Band ");
} // namespace Text

} // namespace ActivityGraph
