#pragma once
// What the entry fields and the grid map ask of the in-memory log on every
// key, on leaving the call field and on hovering a square, answered without
// reading the whole log: the same answers as the walks in Dupes.h and
// GridMap.h, which read every record and on a log of a million contacts take
// tens of milliseconds.
//
// It holds, for each own grid and band, the contacts' calls in log order and
// in call order, and for each received square the number of contacts per
// band. Call sync before asking: it adds the contacts appended to the mirror
// since, and rebuilds the index after a full reload.
#include "log/Dupes.h"
#include "log/GridMap.h"
#include "log/QsoRecord.h"

#include <QHash>
#include <QString>
#include <vector>

class LogIndex {
public:
    void rebuild(const LogMirror &m);
    // Adds the record that the mirror holds as record number recordNumber.
    // Numbers must grow: each call names a record after all indexed ones.
    void add(const QsoRecord &r, int recordNumber);
    // Brings the index up to date with the mirror: the records appended since
    // it last looked are added; a mirror that was reloaded in the meantime
    // (its records reordered, edited or removed) is indexed anew.
    void sync(const LogMirror &m);
    void clear();
    int size() const { return m_size; }
    // The mirror's record took other texts in place: the index goes on
    // answering as before it (until rebuilt) rather than taking it for a
    // reloaded mirror.
    void recordReplaced(int recordNumber, const QsoRecord &now)
    {
        if (recordNumber == m_size)
            m_last = now;
    }

    // As partialDupeHint over the mirror.
    QString hint(const QString &typed, const QString &ownGrid, const QString &currentBand) const;
    PartialDupeResult onKey(const QString &fieldBefore, QChar key, const QString &ownGrid,
                            const QString &currentBand) const;
    // The numbers of the records whose call equals call (ignoring case), in
    // log order.
    std::vector<int> recordsOfCall(const QString &call) const;
    // As countSquare over the mirror.
    SquareCounts square(const QString &grid) const;

private:
    struct Entry {
        QString call; // as stored, sharing the mirror's text
        int record;   // record number in the mirror
    };
    // Contacts of one own grid on one band: in log order, and as positions
    // in that order sorted by call (ignoring case), equal calls in log order.
    // The log order grows in blocks that never move, so that adding a
    // contact to a large group copies nothing.
    struct Group {
        BlockList<Entry, 256> byRecord;
        std::vector<quint32> byCall;
    };
    static QString groupKey(const QString &ownGrid, const QString &band);
    void count(const QsoRecord &r, int band);
    bool holdsTheSameTexts(const LogMirror &m) const;
    QHash<QString, Group> m_groups;
    QHash<QString, SquareCounts> m_squares;
    int m_size = 0;
    QsoRecord m_last; // the last record indexed, sharing its texts with the mirror
};
