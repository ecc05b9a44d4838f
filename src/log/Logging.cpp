#include "log/Logging.h"

#include "log/DateTimeText.h"
#include "log/Dupes.h"
#include "platform/Clock.h"

#include <algorithm>

namespace {

struct RowWalk {
    int match = -1;      // index of the row that makes the contact a dupe
    QString gridFromLog; // grid taken into an empty grid field
};

// Walks the station's rows in the order the log returned them. A row is a
// dupe when band, grid received and own grid agree. With fillEmptyGrid an
// empty grid takes the grid received of the first row, and later rows are
// compared with it.
RowWalk walkRows(const std::vector<QsoRecord> &rows, const QString &call, QString grid,
                 bool fillEmptyGrid, const QString &ownGrid, const QString &currentBand)
{
    RowWalk w;
    for (size_t i = 0; i < rows.size(); ++i) {
        const QsoRecord &r = rows[i];
        if (!sameText(r.calls, call))
            continue;
        if (fillEmptyGrid && grid.isEmpty()) {
            grid = r.gridr;
            w.gridFromLog = r.gridr;
        }
        if (isSameContact(r, call, currentBand, grid, ownGrid)) {
            w.match = static_cast<int>(i);
            break;
        }
    }
    return w;
}

LogAttempt failure(const LogStore &store, OnBusy onBusy, const QString &error)
{
    LogAttempt a;
    a.outcome = onBusy == OnBusy::Report && store.lastFailureWasBusy() ? LogAttempt::Busy
                                                                        : LogAttempt::Failed;
    a.error = error.isEmpty() ? QStringLiteral("unknown database error") : error;
    return a;
}

int busyWaitFor(const LogStore &store, OnBusy onBusy)
{
    return onBusy == OnBusy::Report ? LogStore::ShortBusyWaitMs : store.engine().busyWait();
}

bool allDigits(const QString &s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

LogAttempt logContact(LogStore &store, const QsoRecord &rec, OnBusy onBusy)
{
    LogEngine &db = store.engine();
    const BusyWaitScope wait(db, busyWaitFor(store, onBusy));
    auto failed = [&store, onBusy](const QString &e) { return failure(store, onBusy, e); };
    QString err;
    // The write lock is taken before the check, so no other copy can log the
    // same contact between the check and the insert.
    if (!db.beginWrite(&err))
        return failed(err);

    const auto rows = store.rowsForCall(rec.calls, &err);
    if (!rows) {
        db.rollback();
        return failed(err);
    }
    // The contact's own grid received is its key; nothing is filled in here.
    const RowWalk w = walkRows(*rows, rec.calls, rec.gridr, false, rec.grids, rec.uband);
    if (w.match >= 0) {
        db.rollback();
        LogAttempt a;
        a.outcome = LogAttempt::Dupe;
        a.match = (*rows)[static_cast<size_t>(w.match)];
        return a;
    }

    const auto rowId = store.insert(rec, &err);
    if (!rowId) {
        db.rollback();
        return failed(err);
    }
    if (!db.commit(&err))
        return failed(err);

    // The mirror and the loaded count grow together with the insert, so this
    // copy's own contact never looks like a change made by another copy.
    store.appendOwn(rec, *rowId);
    LogAttempt a;
    a.outcome = LogAttempt::Logged;
    a.rowId = *rowId;
    return a;
}

LogAttempt checkForDupe(LogStore &store, const QString &call, const QString &gridField,
                    const QString &ownGrid, const QString &currentBand, OnBusy onBusy)
{
    const BusyWaitScope wait(store.engine(), busyWaitFor(store, onBusy));
    QString err;
    const auto rows = store.rowsForCall(call, &err);
    if (!rows)
        return failure(store, onBusy, err);
    const RowWalk w = walkRows(*rows, call, gridField, true, ownGrid, currentBand);
    LogAttempt a;
    a.gridFromLog = w.gridFromLog;
    if (w.match >= 0) {
        a.outcome = LogAttempt::Dupe;
        a.match = (*rows)[static_cast<size_t>(w.match)];
    } else {
        a.outcome = LogAttempt::NotDupe;
    }
    return a;
}

QsoRecord liveContact(const QString &call, const QString &rstr, const QString &gridr,
                      const QString &rsts, const QString &ownGrid, const QString &band,
                      const QString &mode, double utcOffsetHours)
{
    const QDateTime utc = Clock::stationUtc(utcOffsetHours);
    QsoRecord r;
    r.calls = call;
    r.rstr = rstr;
    r.gridr = gridr;
    r.rsts = rsts;
    r.grids = ownGrid;
    r.flddate = DateTimeText::logDate(utc.date());
    r.fldtime = DateTimeText::logTime(utc.time());
    r.uband = band;
    r.umode = mode;
    return r;
}

QChar capitalKey(QChar key)
{
    if (key >= u'a' && key <= u'z')
        return QChar(key.unicode() - u'a' + u'A');
    return key;
}

QChar digitKey(QChar key)
{
    if (key == QChar(8) || (key >= u'0' && key <= u'9'))
        return key;
    return QChar();
}

bool forwardsDigitToReport(const QString &callText, int caretPos, QChar key)
{
    if (!(key >= u'0' && key <= u'9'))
        return false;
    if (callText.size() < 3 || caretPos != callText.size())
        return false;
    int lastDigit = 0; // 1-based position of the last digit, 0 when none
    for (int i = 0; i < callText.size(); ++i) {
        const QChar c = callText.at(i);
        if (c < u'0')
            return false; // "/" and the like: a portable or rover suffix
        if (c <= u'9')
            lastDigit = i + 1;
    }
    return lastDigit > 0 && callText.size() > lastDigit;
}

QString incompleteMessage(const QString &call, const QString &grid)
{
    if (call.size() < 3)
        return EntryTexts::NeedCall;
    if (grid.isEmpty())
        return EntryTexts::NeedGrid;
    return QString();
}

QString defaultReport(const QString &mode)
{
    return mode == QLatin1String("CW") ? QStringLiteral("599") : QStringLiteral("59");
}

QString insertTimeColon(const QString &typed)
{
    if ((typed.size() == 3 || typed.size() == 4) && allDigits(typed))
        return typed.left(typed.size() - 2) + u':' + typed.right(2);
    return typed;
}

std::optional<QString> postContestTime(const QString &typed)
{
    const auto t = DateTimeText::parseTime(insertTimeColon(typed));
    if (!t)
        return std::nullopt;
    return DateTimeText::shortLogTime(*t);
}

std::optional<QString> postContestDate(const QString &typed)
{
    const auto d = DateTimeText::parseDate(typed);
    if (!d)
        return std::nullopt;
    return DateTimeText::logDate(*d);
}

qint64 dupeHoldRemainingMs(const QDateTime &dupeTime, const QDateTime &now)
{
    // A clock set back after the refusal holds no longer than the full hold.
    return std::clamp(DupeHoldMs - dupeTime.msecsTo(now), qint64(0), DupeHoldMs);
}
