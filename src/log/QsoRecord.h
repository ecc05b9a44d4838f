#pragma once
// One contact as the log holds it: nine texts in the table's column order.
#include <QString>
#include <QStringList>
#include <vector>

struct QsoRecord {
    QString calls;   // call sign worked
    QString rstr;    // report received
    QString gridr;   // grid received
    QString rsts;    // report sent
    QString grids;   // own grid at the time
    QString flddate; // UTC date "yyyy/mm/dd"
    QString fldtime; // UTC time "hh:mm:ss" (or "hh:mm" entered after the contest)
    QString uband;   // band label
    QString umode;   // "CW" or "PH"

    static constexpr int ColumnCount = 9;
    QStringList values() const
    {
        return {calls, rstr, gridr, rsts, grids, flddate, fldtime, uband, umode};
    }
    static QsoRecord fromValues(const QStringList &v)
    {
        QsoRecord r;
        if (v.size() < ColumnCount)
            return r;
        r.calls = v[0]; r.rstr = v[1]; r.gridr = v[2]; r.rsts = v[3]; r.grids = v[4];
        r.flddate = v[5]; r.fldtime = v[6]; r.uband = v[7]; r.umode = v[8];
        return r;
    }
    bool operator==(const QsoRecord &) const = default;
};

// Each copy's in-memory copy of the log in date and time order. Records are
// numbered from 1 as the contact list shows them; the engine's row identity
// of each record is kept beside it so that an edit or delete reaches exactly
// the contact that was selected.
class LogMirror {
public:
    int recordCount() const { return static_cast<int>(m_records.size()); }
    // 1-based, 1..recordCount()
    const QsoRecord &at(int recordNumber) const { return m_records.at(recordNumber - 1); }
    qint64 rowId(int recordNumber) const { return m_rowIds.at(recordNumber - 1); }
    const std::vector<QsoRecord> &records() const { return m_records; }

    void clear()
    {
        m_records.clear();
        m_rowIds.clear();
    }
    void reserve(size_t n)
    {
        m_records.reserve(n);
        m_rowIds.reserve(n);
    }
    void append(QsoRecord r, qint64 rowId = -1)
    {
        m_records.push_back(std::move(r));
        m_rowIds.push_back(rowId);
    }

    // The database record count that the mirror corresponds to.
    double loadedCount = 0;
    // Set when the database holds another number of records than loadedCount.
    bool logChanged = false;

private:
    std::vector<QsoRecord> m_records;
    std::vector<qint64> m_rowIds;
};
