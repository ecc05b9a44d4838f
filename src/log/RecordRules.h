#pragma once
// What a contact must be for the log to use it: the checks that records
// coming from outside (an appended backup or log) pass before they join the
// log, and that the summary sheet applies before a log is sent.
#include "log/QsoRecord.h"

#include <QString>

namespace RecordRules {

// A four- or six-character Maidenhead locator ("FN42", "fn42ab").
bool isGrid(const QString &text);
// A call sign as checkers take it: letters and digits with at least one of
// each, "/" between parts ("K1ABC", "W1AW/R", "VE3/K1ABC"), 3 to 16 long.
bool isCall(const QString &text);

// Why the log cannot hold the record, in a few words ("the band \"40 M\" is
// not one of the log's bands"); empty when it can: a call without line breaks,
// a received and an own grid, a date "yyyy/mm/dd" and a time "hh:mm:ss" or
// "hh:mm" that exist, one of the seventeen band labels and CW or PH. Reports
// may be empty.
QString refusal(const QsoRecord &r);

// The record as the log keeps it: the band spelled as in the band table, the
// mode in capitals, and every value a text (empty, never missing).
QsoRecord normalized(const QsoRecord &r);

} // namespace RecordRules
