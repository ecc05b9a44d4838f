#pragma once
// The dupe checks that work on the in-memory log: the hint line of calls
// already worked while a call is typed, the shape check of a three-character
// call, and the previous-contact scan run when the cursor leaves the call
// field. They only warn; the binding check against the log file is in
// Logging.h.
//
// The dupe key of a contact is (call, band, grid received, own grid): calls
// and bands compared without regard to letter case, grids by their square
// (a six-character locator counts as its four-character square); the mode is
// not part of it.
#include "log/QsoRecord.h"

#include <QString>
#include <vector>

namespace DupeTexts {
inline const QString PossibleDuplicate = QStringLiteral("Possible Duplicate!");
inline const QString NotNumeric = QStringLiteral("The second or third character is not numeric!");
} // namespace DupeTexts

// The hint line stops growing once it is longer than this many characters.
constexpr int PartialDupeHintLimit = 100;

struct PartialDupeResult {
    QString hint;                   // " CALL1 CALL2 ...", empty when nothing matches
    bool possibleDuplicate = false; // the field already held 3 characters and something matches
};

// The hint for `typed` (the call field's text with the new key at its end):
// in log order, each record worked from ownGrid on currentBand whose call
// begins with `typed`, as a blank followed by the call; the walk stops as
// soon as the hint is longer than 100 characters. Case is ignored throughout.
QString partialDupeHint(const LogMirror &m, const QString &typed, const QString &ownGrid,
                     const QString &currentBand);

// One key in the call field: fieldBefore is the field's text before the key.
PartialDupeResult partialDupeHintOnKey(const LogMirror &m, const QString &fieldBefore, QChar key,
                                    const QString &ownGrid, const QString &currentBand);

// True when the typed text is exactly 3 characters long and neither its 2nd
// nor its 3rd character is "/" or a digit 0..9 (real calls have a digit there).
bool callShapeWarning(const QString &typedText);

// The previous-contact scan over the mirror for the call in the call field.
struct PreviousScan {
    QString gridToFill;      // put into the empty grid field; empty when nothing to fill
    int warnRecord = 0;      // record that warns "Duplicate Unless Rover!"; 0 when none
    std::vector<int> listed; // with listPrevious: every record of the call, in log order
    bool operator==(const PreviousScan &) const = default;
};
// Walks the mirror in log order over the records whose call equals `call`.
// An empty grid field takes the grid received of the first such record, and
// later records are compared with that grid. A record whose grid received,
// own grid and band equal the field's grid, ownGrid and currentBand warns;
// without listPrevious the walk ends at the first warning, with it every
// record is listed and the last warning counts.
PreviousScan previousContactScan(const LogMirror &m, const QString &call, const QString &gridField,
                       const QString &ownGrid, const QString &currentBand, bool listPrevious);
// The same scan over the records of the call alone, given by their numbers
// in log order (as LogIndex::recordsOfCall finds them).
PreviousScan previousContactScan(const LogMirror &m, const std::vector<int> &recordsOfCall,
                                 const QString &gridField, const QString &ownGrid,
                                 const QString &currentBand, bool listPrevious);

// "Duplicate Unless Rover! W1AW FN31 06/09 18:22:10  Rec#  57"
QString duplicateUnlessRoverText(const LogMirror &m, int recordNumber);

// The dupe key as one text: equal texts mean the same contact.
QString dupeKey(const QsoRecord &r);
// Whether r is the contact (call, band, grid received, own grid).
bool isSameContact(const QsoRecord &r, const QString &call, const QString &band,
                   const QString &gridr, const QString &grids);

// "Dupe: W1AW FN31 ON 2012/06/09 18:22:10"
QString dupeText(const QsoRecord &match);

// Whether two log texts (calls, grids, band labels) are the same, ignoring case.
inline bool sameText(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
