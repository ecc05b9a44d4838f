#pragma once
// Logging one contact: the binding dupe check against the log file and the
// insert, done as one write so that two copies logging the same station on
// the same band at the same moment cannot both succeed; and the small rules
// of the entry fields (key filters, default reports, the forwarding of a
// report digit typed in the call field, the post-contest date and time).
#include "log/LogStore.h"
#include "log/QsoRecord.h"

#include <QChar>
#include <QDateTime>
#include <QString>
#include <optional>

struct LogAttempt {
    enum Outcome {
        Logged,  // the contact is in the log and in the mirror
        NotDupe, // the check alone found no dupe (nothing was written)
        Dupe,    // refused: `match` is the contact already logged
        Busy,    // another copy held the log locked: nothing changed; try again shortly
        Failed   // the log could not be read or written: `error`; nothing changed
    };
    Outcome outcome = Failed;
    QsoRecord match;     // the row that made it a dupe
    QString gridFromLog; // the station's first grid received, offered to an empty grid field
    qint64 rowId = -1;   // row identity of the logged contact
    QString error;
};

// What an attempt does when another copy holds the log locked.
enum class OnBusy {
    // Wait up to the engine's full busy wait; a lock held longer is Failed.
    Wait,
    // Wait no longer than LogStore::ShortBusyWaitMs and come back Busy, so
    // that the window keeps answering: it shows that the log is busy, tries
    // again on a timer, and the operator may abandon the attempt meanwhile.
    Report,
};

// Checks rec against the log file and inserts it unless it is a dupe; both in
// one write transaction. On success the store's mirror and loaded count grow
// by the contact. A dupe, Busy or a failure leaves the log and the mirror as
// they were. rec.gridr is the contact's grid received as entered.
LogAttempt logContact(LogStore &store, const QsoRecord &rec, OnBusy onBusy = OnBusy::Wait);

// The check alone, for an entry that is not complete: NotDupe or Dupe (or
// Busy or Failed). With an empty grid field, gridFromLog is the grid received
// of the first row of the station, and later rows are compared with that grid.
LogAttempt checkForDupe(LogStore &store, const QString &call, const QString &gridField,
                    const QString &ownGrid, const QString &currentBand,
                    OnBusy onBusy = OnBusy::Wait);

// The record for a live contact: the entry fields, the own grid, band and
// mode, and the station's UTC date and time now ("yyyy/mm/dd", "hh:mm:ss").
QsoRecord liveContact(const QString &call, const QString &rstr, const QString &gridr,
                      const QString &rsts, const QString &ownGrid, const QString &band,
                      const QString &mode, double utcOffsetHours);

// ---- entry fields ----

namespace EntryTexts {
inline const QString NeedGrid = QStringLiteral("Need Grid!");
inline const QString NeedCall = QStringLiteral("Need Call Sign!");
inline const QString InvalidDate = QStringLiteral("Invalid date format!");
inline const QString InvalidTime = QStringLiteral("Invalid time format!");
// A contact that waits while another PC holds the log.
inline QString waitingForLog(const QString &call)
{
    return QStringLiteral("The log is busy: %1 will be logged as soon as it is free. Esc abandons it.").arg(call);
}
inline QString cannotWrite(const QString &call)
{
    return QStringLiteral("%1 waits to be logged: the log cannot be written. Esc abandons it.").arg(call);
}
inline QString notLogged(const QString &call) { return QStringLiteral("%1 was not logged.").arg(call); }
} // namespace EntryTexts

// Letters a..z become capitals; every other key (Tab included) passes.
QChar capitalKey(QChar key);
// Digits and Backspace pass; every other key becomes QChar() (discarded).
QChar digitKey(QChar key);

// Whether a digit typed in the call field belongs to the report received:
// the call (callText, before the key) has at least 3 characters, a digit,
// something after its last digit and no character below "0" (such as "/"),
// the caret is at its end and the key is a digit.
bool forwardsDigitToReport(const QString &callText, int caretPos, QChar key);

// The completeness check: empty when the entry can be logged, otherwise
// "Need Call Sign!" (a call shorter than 3 characters; this one wins) or
// "Need Grid!".
QString incompleteMessage(const QString &call, const QString &grid);

// The report filled into an empty report field: "599" in CW, "59" otherwise.
QString defaultReport(const QString &mode);

// A post-contest time as typed: 3 or 4 digits get a colon before the last
// two ("1805" -> "18:05", "905" -> "9:05"); a real time comes back as "hh:mm",
// anything else as nothing.
QString insertTimeColon(const QString &typed);
std::optional<QString> postContestTime(const QString &typed);
// A post-contest date as typed; a real date comes back as "yyyy/mm/dd".
std::optional<QString> postContestDate(const QString &typed);

// After a refused dupe, keys in the call field are held until this long
// after the refusal.
constexpr qint64 DupeHoldMs = 3000;
// Milliseconds the next key still has to wait at `now`; 0 when it may pass.
qint64 dupeHoldRemainingMs(const QDateTime &dupeTime, const QDateTime &now);
