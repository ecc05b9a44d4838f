#pragma once
// The ADIF export: every contact of the mirror as an ADIF record, for other
// logging programs. The export command asks the three questions and chooses
// the file; the text is built and written here.
#include "export/ProgramInfo.h"
#include "log/QsoRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace Adif {

// The operator's answers to the three questions before the export.
struct Answers {
    QString power;                            // transmitter power, may be empty
    QString comment;                          // put on every record, may be empty
    QString phoneMode = QStringLiteral("SSB"); // written for the phone contacts
};

// One data specifier: "<name:length>value", the length counting the bytes of
// the value as written (UTF-8).
QByteArray field(const QString &name, const QString &value);

// The time of a log time as ADIF wants it ("18:05:30" and "18:05" give 1805,
// "930" gives 0930); empty for an empty time.
QString timeOn(const QString &logTime);
// "20120609" for a valid log date, empty otherwise.
QString qsoDate(const QString &logDate);

// The header and one record per contact, CR LF line ends. exportedAt is the
// local time shown in the header.
QByteArray adifText(const LogMirror &mirror, const Answers &answers, const QDateTime &exportedAt,
                    const ProgramInfo &program = ProgramInfo());

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
