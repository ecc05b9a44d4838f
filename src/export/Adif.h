#pragma once
// The ADIF export: every contact of the mirror as an ADIF record, for other
// logging programs. The window asks the three questions and chooses the
// file; the text is built here.
#include "export/ProgramInfo.h"
#include "log/QsoRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QWidget;

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

// Halvern.adi in the product data folder.
QString proposedPath();
bool writeFile(const QString &path, const QByteArray &text, QString *error = nullptr);

// The export command on a freshly reloaded mirror: the three questions, the
// save dialog (cancel ends it), the file and the message naming it. Returns
// the path written, or an empty text when nothing was written.
QString run(QWidget *parent, const LogMirror &mirror, int contestType,
            const ProgramInfo &program = ProgramInfo());

namespace Text {
inline const QString MenuCaption = QStringLiteral("Export &ADIF Format");
inline const QString SaveTitle = QStringLiteral("Export ADIF Format");
inline const QString PowerTitle = QStringLiteral("Please enter your transmitter output power.");
inline const QString PowerPrompt = QStringLiteral(
    "Please enter the power value that you would like to record.  This is an optional value "
    "that will be included in each QSO record and displayed in Orrery's power output column.");
inline const QString CommentTitle = QStringLiteral("Please enter a comment.");
inline const QString CommentPrompt = QStringLiteral(
    "Please enter a comment that you would like to appear on each QSO record.  This is an "
    "optional description that will be displayed in Orrery's Comments column.");
inline const QString PhoneModeTitle = QStringLiteral("Phone Mode?");
inline const QString PhoneModePrompt = QStringLiteral("Please enter your phone mode.");
inline const QString PhoneModeDefault = QStringLiteral("SSB");
inline const QString DefaultFileName = QStringLiteral("Halvern.adi");
inline const QString SaveFilter = QStringLiteral("ADIF Files (*.adi) | *.adi");
inline const QString WrittenTitle = QStringLiteral("File Written Successfully.");
QString written(const QString &path);
} // namespace Text

} // namespace Adif
