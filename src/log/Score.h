#pragma once
// The contest score of the log: per-band contact and grid tallies, the grids a
// rover has activated, the totals of the chosen contest, the QSO rates and the
// "New" multiplier mark. Everything here is derived from the log mirror and
// rebuilt on every reload; a contact logged by this copy is added on top with
// the same rules, so the next reload finds the same numbers.
#include "log/Bands.h"
#include "log/QsoRecord.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <deque>

// The key a contact is tallied under on its band: the square of the received
// grid ("FN20" for "fn20ab"); for a rover in the CQ World Wide VHF contest, on
// 50 and 144 MHz, that square, a blank and the square of the own grid, so that
// a grid worked again from another own grid is a new multiplier.
QString gridKey(const QsoRecord &r, int contestType, bool rover);

// Whether contacts on this band enter the grid tally at all: a rover in the CQ
// contest tallies grids only on 50 and 144 MHz.
bool isGridTallied(int bandIndex, int contestType, bool rover);

class Tally {
public:
    Tally() = default;

    // Zeroes all counts and lists.
    void clear();
    // The full reload: every record of the mirror in order.
    void recompute(const LogMirror &m, int contestType, bool rover);
    // What one more contact adds: one to its band's contact count, its grid
    // key when the band has not had it yet, its own grid when it is a newly
    // activated one. A band label of no band counts nowhere but in the
    // activated grids.
    void addLogged(const QsoRecord &r, int contestType, bool rover);

    int qsoCount(int bandIndex) const;
    int gridCount(int bandIndex) const;
    // The band's grid keys in the order each was first worked.
    const QStringList &workedGrids(int bandIndex) const;
    // Whether key is among the band's grid keys, ignoring letter case.
    bool isWorked(int bandIndex, const QString &key) const;
    // The distinct own squares of the log, in the order first used.
    const QStringList &activatedGrids() const { return m_activated; }

private:
    struct Band {
        int qsoCount = 0;
        QStringList worked;
        QSet<QString> seen; // the keys of worked, upper-cased
    };
    std::array<Band, Bands::Count> m_bands;
    QStringList m_activated;
    QSet<QString> m_activatedSeen;
};

struct ScoreTotals {
    qint64 contacts = 0;
    qint64 qsoPoints = 0;
    qint64 multipliers = 0;
    qint64 score = 0;
    bool operator==(const ScoreTotals &) const = default;
};

// The four totals of the chosen contest. Contacts on bands a contest leaves
// out (50 and 144 MHz in the UHF contest, everything above 144 MHz in the CQ
// contest) count in none of them. A rover in the ARRL contests adds its
// activated grids to the multipliers. Counted in 64 bits, so the product
// never wraps.
ScoreTotals scoreTotals(const Tally &t, int contestType, bool rover);

struct Rates {
    int last60 = 0;        // contacts of the last hour
    int last20PerHour = 0; // contacts of the last 20 minutes, times three
    bool operator==(const Rates &) const = default;
};

// The QSO rates at utcNow (the station's UTC, taken to whole seconds). The
// log is walked from its newest record back and the walk ends at the first
// record an hour old or older. A record whose date or time cannot be read is
// passed over.
Rates qsoRates(const LogMirror &m, const QDateTime &utcNow);

// The same rates, kept ready for a log of any size: each record's date and
// time is read once, as far back from the newest record as a walk has gone,
// and again only when the record's texts are no longer the ones read (the
// strings read are held, so a record edited, removed or read anew is always
// seen as different). A walk then only compares as many records as the last
// hour holds.
class RateCounter {
public:
    Rates rates(const LogMirror &m, const QDateTime &utcNow);

private:
    struct Seen {
        QString date, time; // the texts the seconds were read from
        qint64 seconds = 0;
        bool readable = false;
    };
    std::deque<Seen> m_seen; // records m_first .. m_first + size - 1
    int m_first = 1;
};

// Whether the "New" mark shows for the grid field's text on the current band:
// the text has four or more characters and its key (its square; for a CQ
// rover that, a blank and the own square) is not among the band's worked
// grids. On a band
// label of no band nothing can be a multiplier, so the mark stays hidden.
bool showsNewMark(const Tally &t, const QString &currentBand, const QString &gridText,
                  int contestType, bool rover, const QString &ownGrid);

// A band's count label: contacts, " / ", grids ("12 / 7").
QString countLabelText(const Tally &t, int bandIndex);
