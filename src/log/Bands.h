#pragma once
// The band table: the seventeen bands in their fixed order with everything
// other parts key on (label stored in the log, menu item and caption, panel
// labels, the rig frequency window, the Cabrillo and ADIF values).
// Every part reads bands from here.
#include <QString>
#include <array>
#include <optional>

struct BandRow {
    const char *label;        // text stored in the log: "144 M"
    const char *menuItem;     // menu item object name: "mnu80"
    const char *menuCaption;  // "144 MHz"
    const char *captionLabel; // panel caption label, nullptr for bands 10..16
    const char *countLabel;   // panel count label, nullptr for bands 10..16
    float lowMHz;             // rig window, both bounds exclusive; 0 when none
    float highMHz;
    const char *cabrillo;     // frequency field of the Cabrillo entry
    const char *adif;         // ADIF band enumeration value
};

namespace Bands {

constexpr int Count = 17;
// Bands with panel labels, grid lists and a rig window.
constexpr int PanelCount = 10;

const std::array<BandRow, Count> &table();
const BandRow &row(int index);

// The label of the band a text names, case and blanks aside: "144 m",
// "144M", "144" and "144 MHz" all name "144 M". Nothing for a text that names
// no band ("999 M", "144 G").
std::optional<QString> labelNamed(const QString &text);

// Index of a label (case-insensitive), or -1 for a label of no row.
int indexOf(const QString &label);
QString label(int index);
QString cabrillo(const QString &label);
QString adif(const QString &label);

// The label of the band whose rig window holds f (MHz), or an empty text.
QString labelForFrequency(float mhz);

// True when a and b name the same band text, ignoring case.
bool same(const QString &a, const QString &b);

} // namespace Bands

namespace Modes {
inline const QString CW = QStringLiteral("CW");
inline const QString Phone = QStringLiteral("PH");
} // namespace Modes
