#pragma once
// The station's own settings: who it is, where it is, which contest it runs,
// where the shared log lives and the operator's preferences. One set per
// running copy, saved to the preferences file on every change.
#include <QString>
#include <QStringList>

enum class ContestType : int {
    JanuaryVhf = 1,
    JuneVhf = 2,
    Uhf = 3,
    SeptemberVhf = 4,
    CqWwVhf = 5,
};

struct Station {
    QString ownCall;
    QString ownGrid;
    float utcOffsetHours = 0;
    QString currentMode = QStringLiteral("CW");
    QString currentBand = QStringLiteral("144 M");
    float accumulatedOnSeconds = 0;
    int contestType = 2;
    int recordRst = 1;      // 1 reports are logged, anything else not
    int formSizePercent = 100;
    int roverFlag = 0;      // 1 rover, 0 fixed
    double longitude = 0;   // degrees, west positive
    double latitude = 0;    // degrees, north positive
    QString view = QStringLiteral("View Grids");
    qint32 workedColor = 0x0000FF;    // blue-green-red order: red
    qint32 remainingColor = 0x000000; // black
    QString logPath;
    float refreshRateMs = 60000;
    int navigationLevel = 0;
    QString rig = QStringLiteral("None");
    int taskbar = 0;
    int listPrevious = 0;

    bool isRover() const { return roverFlag == 1; }
    bool recordsRst() const { return recordRst == 1; }
    bool operator==(const Station &) const = default;
};

namespace Preferences {
// The preferences file's name in the working folder.
inline const QString FileName = QStringLiteral("vhfPrfNT.txt");

QByteArray serialize(const Station &s);
// Reads the settings over the values in s, one per line in file order. A
// value that cannot be used keeps the value s had (the default) and adds a
// warning for the operator: a damaged line (a quote left open), an empty
// line, a number out of its range, a band that is not in the band table (case
// and blanks aside: "144", "144 m" and "144 MHz" read as "144 M"), a mode other
// than CW or PH ("cw" reads as "CW"), a view other than the two. A short file
// leaves the settings it lacks as they were, without a warning.
QStringList parse(const QByteArray &data, Station &s);

// Writes the file through a temporary file; false with the reason when the
// disk refuses (the old file then stays as it was).
bool save(const Station &s, const QString &folder, QString *error = nullptr);
// Reads the file of folder into s and returns the warnings of parse, or one
// warning when the file exists but is not read (not a regular file, or larger
// than a settings file can be). A missing file gives no warning.
QStringList load(Station &s, const QString &folder);
// The warnings as one message for the operator; empty when there are none.
QString warningMessage(const QStringList &warnings);
} // namespace Preferences

// The leading run of capital letters and digits of a call: the stem of the
// file names written for the station. "YourCall" when that run is empty.
QString safeCallSign(const QString &call);
