#pragma once
// The licence-class privileges of "BandPlan.txt": its effective date, then
// rows of band, class letter, mode and the segment's lower and upper edge in
// MHz. The privileges window charts a class's segments on each band's bar;
// rig control takes the mode for a frequency from the Extra-class rows.
// Edges are held in whole hertz.
#include <QByteArray>
#include <QList>
#include <QString>

struct BandPlanRow {
    QString band;   // "160", "80", "60", "40" ...
    QChar licence;  // N, T, P, G, A, E; O gives the band's own edges
    QString mode;   // "CW", "PH" or another mode text
    qint64 lowerHz = 0, upperHz = 0;
};

// One segment of a class on its band's bar, placed as fractions of the bar.
struct PrivilegeSegment {
    double start = 0, width = 0;
    QString caption, toolTip;
    bool cw = false;
};

struct PrivilegeBar {
    QString band, toolTip;
    QList<PrivilegeSegment> segments;
};

struct BandPlan {
    static constexpr int MaxRows = 200;

    QString effective; // the first value of the file
    QList<BandPlanRow> rows;

    // Reading stops at the first row that is not five values with numeric
    // edges; rows beyond MaxRows are not held.
    static BandPlan parse(const QByteArray &data);
    // A missing or unreadable file gives an empty plan.
    static BandPlan read(const QString &path);

    // The band plan in the working folder.
    static QString path();
    // Puts the plan that comes with the program into the working folder
    // unless one is there already. False with the reason when it cannot.
    static bool install(QString *error = nullptr);

    // The rig mode for a frequency from the first Extra-class row that holds
    // it (edges excluded): phone rows give USB, or LSB on 80, 60 and 40 m;
    // other row modes are passed on; 160 m rows and frequencies outside every
    // row give nothing.
    QString rigModeFor(qint64 hz) const;

    // The chart of a class: one bar per band ("O" row, file order), a band
    // whose upper edge is not above its lower edge is left out.
    QList<PrivilegeBar> chart(QChar licence) const;
};

// "#,###.##0" of the privileges window: 14.025 -> "14.025", 1240 -> "1,240.000".
QString privilegeMHzText(qint64 hz);
