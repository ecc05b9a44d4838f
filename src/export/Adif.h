#pragma once
// The ADIF export: every contact of the mirror as an ADIF record, for other
// logging programs. The export command asks the three questions and chooses
// the file; the text is built and written here.
#include "export/ProgramInfo.h"
#include "log/QsoRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace Adif {

// The ADIF version whose rules the files follow.
inline const QString Version = QStringLiteral("3.1.4");

// The operator's answers to the three questions before the export.
struct Answers {
    QString power;                            // transmitter power, may be empty
    QString comment;                          // put on every record, may be empty
    QString phoneMode = QStringLiteral("SSB"); // written for the phone contacts
};

// The station the contacts were made from, written on every record.
struct Origin {
    QString ownCall;     // STATION_CALLSIGN, left out when empty
    int contestType = 0; // CONTEST_ID, left out for no contest
};

// One data specifier: "<name:length>value", the length counting the bytes of
// the value as written.
QByteArray field(const QString &name, const QString &value);

// An ADIF file is ASCII: letters with accents lose them (SM5ÅÄ gives SM5AA),
// a few letters become their usual spelling (ß gives ss, Ø gives O) and any
// other character becomes "_". changed tells whether anything was replaced.
QString ascii(const QString &text, bool *changed = nullptr);

// The MODE and SUBMODE written for a phone-mode answer, in capitals: USB and
// LSB are SSB with that submode, any ADIF mode is itself; nothing for an
// answer that names no ADIF mode. An empty answer is the proposed SSB.
struct Mode {
    QString mode;
    QString submode;
};
std::optional<Mode> phoneMode(const QString &answer);

// The time of a log time as ADIF wants it ("18:05:30" and "18:05" give 1805,
// "930" gives 0930); empty for an empty time.
QString timeOn(const QString &logTime);
// "20120609" for a valid log date, empty otherwise.
QString qsoDate(const QString &logDate);

// The header and one record per contact, CR LF line ends. exportedAt is the
// local time shown in the header. changedRecords, when given, receives the
// number of records whose values had to be made ASCII.
QByteArray adifText(const LogMirror &mirror, const Answers &answers, const QDateTime &exportedAt,
                    const ProgramInfo &program = ProgramInfo(), const Origin &origin = Origin(),
                    int *changedRecords = nullptr);
// The contest's identifier on every record ("ARRL-VHF-JUN"), empty for none.
QString contestId(int contestType);

// The contest name proposed as the comment: the contest's name for the ARRL
// contests, nothing for the CQ contest.
QString defaultComment(int contestType);
// The contest names of the exports, by contest type ("CQ VHF Contest" for 5).
QString contestName(int contestType);

inline const QString DefaultFileName = QStringLiteral("Halvern.adi");
// Halvern.adi in the product data folder.
QString proposedPath();
bool writeFile(const QString &path, const QByteArray &text, QString *error = nullptr);

} // namespace Adif
