#pragma once
// The station's own settings: who it is, where it is, which contest it runs,
// where the shared log lives and the operator's preferences. One set per
// running copy, saved to the preferences file on every change.
#include <QString>

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
// Reads values in file order over the defaults in s; a missing, short or
// malformed file leaves the values it lacks as they were.
void parse(const QByteArray &data, Station &s);

bool save(const Station &s, const QString &folder, QString *error = nullptr);
void load(Station &s, const QString &folder);
} // namespace Preferences

// The leading run of capital letters and digits of a call: the stem of the
// file names written for the station. "YourCall" when that run is empty.
QString safeCallSign(const QString &call);
