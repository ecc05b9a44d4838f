#pragma once
// What the main window's contact list shows and the checks of the contact
// edit window: which records are listed, the texts of a row, the clipboard
// copy of the list and the edit window's own dupe test.
#include "log/QsoRecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

// "Rec#", "Call", "Rec", "Grid R", "Snt", "Date / Time", "Bnd", "Grid S", "Mode".
const QStringList &contactListHeaders();

// The record numbers to list, newest first. Without listAll only the last 20
// records are looked at; with currentBandOnly only records on currentBand
// (ignoring case) are listed, and "last 20" then means up to 20 rows from the
// newest record down, however far back they lie.
std::vector<int> contactListRows(const LogMirror &m, bool listAll, bool currentBandOnly,
                                 const QString &currentBand);

// The nine column texts of record recordNumber: its number, call, report
// received, grid received, report sent, "mm/dd hh:nn", the first three
// characters of the band, own grid, mode. A date or time that cannot be read
// is shown as stored.
QStringList contactListColumns(const LogMirror &m, int recordNumber);

// The clipboard text of a list: the header line, then every row, columns
// separated by Tab, each line ended by CR LF.
QString clipboardText(const QStringList &headers, const QList<QStringList> &rows);

// The edit window's dupe test: the number of the first record other than
// editIndex whose call, band, received grid and own grid equal the edited
// ones exactly (letter case counts here); 0 when there is none.
int editDupeOf(const LogMirror &m, int editIndex, const QsoRecord &edited);

// Whether text is exactly one of the seventeen band labels ("50 M" … "300 G").
bool isBandLabel(const QString &text);
// Whether text is exactly a mode code: "PH" or "CW".
bool isModeCode(const QString &text);
