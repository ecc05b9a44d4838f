#pragma once
// One contact as the log holds it: nine texts in the table's column order.
#include <QString>
#include <QStringList>
#include <QHash>
#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>
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

// A list that grows at its end in steps of fixed-size blocks: appending never
// moves what it already holds, so a large log grows by one contact in
// constant time and never needs twice its size while growing.
template <typename T, size_t BlockSize = 4096> class BlockList {
public:
    BlockList() = default;
    BlockList(const BlockList &) = default;
    BlockList &operator=(const BlockList &) = default;
    BlockList(BlockList &&o) noexcept : m_blocks(std::move(o.m_blocks)), m_size(std::exchange(o.m_size, 0)) {}
    BlockList &operator=(BlockList &&o) noexcept
    {
        m_blocks = std::move(o.m_blocks);
        m_size = std::exchange(o.m_size, 0);
        return *this;
    }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const T &operator[](size_t i) const { return m_blocks[i / BlockSize][i % BlockSize]; }
    T &operator[](size_t i) { return m_blocks[i / BlockSize][i % BlockSize]; }
    const T &at(size_t i) const
    {
        if (i >= m_size)
            throw std::out_of_range("BlockList::at");
        return (*this)[i];
    }
    const T &back() const { return (*this)[m_size - 1]; }
    void push_back(T v)
    {
        if (m_blocks.empty() || m_blocks.back().size() == BlockSize) {
            m_blocks.emplace_back();
            m_blocks.back().reserve(BlockSize);
        }
        m_blocks.back().push_back(std::move(v));
        ++m_size;
    }
    void clear()
    {
        m_blocks.clear();
        m_size = 0;
    }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T *;
        using reference = const T &;
        const_iterator(const BlockList *l, size_t i) : m_list(l), m_i(i) {}
        reference operator*() const { return (*m_list)[m_i]; }
        pointer operator->() const { return &(*m_list)[m_i]; }
        const_iterator &operator++()
        {
            ++m_i;
            return *this;
        }
        bool operator==(const const_iterator &o) const { return m_i == o.m_i; }

    private:
        const BlockList *m_list;
        size_t m_i;
    };
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, m_size); }

private:
    std::vector<std::vector<T>> m_blocks;
    size_t m_size = 0;
};

// A fingerprint of one row of the log: its row identity and its nine texts.
// The sum over all rows changes with any edit, removal or addition, whatever
// the order the rows are read in.
inline quint64 rowFingerprint(qint64 rowId, const QString *texts)
{
    quint64 h = 0x9e3779b97f4a7c15ull ^ static_cast<quint64>(rowId);
    for (int i = 0; i < 9; ++i) {
        h = (h ^ qHash(texts[i], static_cast<size_t>(i + 1))) * 0x100000001b3ull;
        h ^= h >> 29;
    }
    return h;
}
inline quint64 rowFingerprint(qint64 rowId, const QsoRecord &r)
{
    const QString texts[9] = {r.calls, r.rstr, r.gridr, r.rsts, r.grids, r.flddate, r.fldtime, r.uband, r.umode};
    return rowFingerprint(rowId, texts);
}

// Each copy's in-memory copy of the log in date and time order. Records are
// numbered from 1 as the contact list shows them; the engine's row identity
// of each record is kept beside it so that an edit or delete reaches exactly
// the contact that was selected.
class LogMirror {
public:
    int recordCount() const { return static_cast<int>(m_records.size()); }
    // 1-based, 1..recordCount()
    const QsoRecord &at(int recordNumber) const { return m_records.at(static_cast<size_t>(recordNumber - 1)); }
    qint64 rowId(int recordNumber) const { return m_rowIds.at(static_cast<size_t>(recordNumber - 1)); }
    const BlockList<QsoRecord> &records() const { return m_records; }

    void clear()
    {
        m_records.clear();
        m_rowIds.clear();
        m_fingerprint = 0;
        m_highestRowId = 0;
    }
    void reserve(size_t) {}
    void append(QsoRecord r, qint64 rowId = -1)
    {
        m_fingerprint += rowFingerprint(rowId, r);
        m_highestRowId = std::max(m_highestRowId, rowId);
        m_records.push_back(std::move(r));
        m_rowIds.push_back(rowId);
    }
    // Puts new texts into one record where it stands (its row identity
    // stays).
    void replace(int recordNumber, QsoRecord r)
    {
        const auto i = static_cast<size_t>(recordNumber - 1);
        QsoRecord &held = m_records[i];
        m_fingerprint += rowFingerprint(m_rowIds[i], r) - rowFingerprint(m_rowIds[i], held);
        held = std::move(r);
    }
    // Whether a record read from the log with this date, time and row
    // identity belongs after every record held (the order of the full read).
    bool sortsAtEnd(const QString &flddate, const QString &fldtime, qint64 rowId) const
    {
        if (m_records.empty())
            return true;
        const QsoRecord &last = m_records.back();
        if (const int d = compareText(flddate, last.flddate))
            return d > 0;
        if (const int t = compareText(fldtime, last.fldtime))
            return t > 0;
        return rowId > m_rowIds.back();
    }
    // The sum of the rows' fingerprints (see rowFingerprint).
    quint64 fingerprint() const { return m_fingerprint; }
    // The highest row identity held; 0 when none.
    qint64 highestRowId() const { return m_highestRowId; }

    // The database record count that the mirror corresponds to.
    double loadedCount = 0;
    // Set when the database holds another number of records than loadedCount.
    bool logChanged = false;

private:
    // Texts compared as the log file orders them (byte by byte, which for
    // the plain characters a log holds is character order).
    static int compareText(const QString &a, const QString &b)
    {
        return QStringView(a).compare(QStringView(b), Qt::CaseSensitive);
    }
    BlockList<QsoRecord> m_records;
    BlockList<qint64> m_rowIds;
    quint64 m_fingerprint = 0;
    qint64 m_highestRowId = 0;
};
