#include "log/LogIndex.h"

#include "log/Bands.h"
#include "log/GridSquare.h"

#include <algorithm>

namespace {

// Calls compared letter by letter without regard to case.
char16_t folded(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return static_cast<char16_t>(c - (u'a' - u'A'));
    if (c < 0x80)
        return c;
    return QChar(c).toUpper().unicode();
}

int compareFolded(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = folded(a[i].unicode()), y = folded(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool beginsWithFolded(QStringView call, QStringView prefix)
{
    return call.size() >= prefix.size() && compareFolded(call.first(prefix.size()), prefix) == 0;
}

// Appends one call to the hint; false once the hint is full.
bool appendToHint(QString &hint, const QString &call)
{
    hint += u' ';
    hint += call;
    return hint.size() <= PartialDupeHintLimit;
}

int bandOf(const QString &label)
{
    const int b = Bands::indexOf(label);
    return b >= 0 && b < static_cast<int>(SquareCounts().perBand.size()) ? b : -1;
}

} // namespace

QString LogIndex::groupKey(const QString &ownGrid, const QString &band)
{
    // The length of the grid leads the key, so no grid and band pair can
    // run into another one whatever characters they hold.
    const QString g = gridSquare(ownGrid);
    return QString::number(g.size()) + u':' + g + band.toUpper();
}

void LogIndex::clear()
{
    m_groups.clear();
    m_squares.clear();
    m_size = 0;
    m_last = QsoRecord();
}

void LogIndex::count(const QsoRecord &r, int band)
{
    SquareCounts &c = m_squares[gridSquare(r.gridr)];
    ++c.total;
    if (band >= 0)
        ++c.perBand[static_cast<size_t>(band)];
}

void LogIndex::rebuild(const LogMirror &m)
{
    clear();
    // Own grid and band change seldom from one contact to the next, so the
    // group of the previous contact is usually the one wanted. The first
    // pass counts, so that every list is made at its final size (and no
    // group is added while the second pass holds one).
    QHash<QString, size_t> sizes;
    {
        QString lastGrid, lastBand;
        size_t *n = nullptr;
        for (const QsoRecord &r : m.records()) {
            if (!n || r.grids != lastGrid || r.uband != lastBand) {
                n = &sizes[groupKey(r.grids, r.uband)];
                lastGrid = r.grids;
                lastBand = r.uband;
            }
            ++*n;
        }
    }
    // A little room in the call order, so that the next contacts do not
    // move it at once.
    for (auto it = sizes.cbegin(); it != sizes.cend(); ++it)
        m_groups[it.key()].byCall.reserve(it.value() + it.value() / 32 + 16);
    Group *group = nullptr;
    QString lastGrid, lastBand;
    int band = -1;
    int n = 0;
    for (const QsoRecord &r : m.records()) {
        ++n;
        if (!group || r.grids != lastGrid || r.uband != lastBand) {
            group = &m_groups[groupKey(r.grids, r.uband)];
            lastGrid = r.grids;
            lastBand = r.uband;
            band = bandOf(r.uband);
        }
        group->byCall.push_back(static_cast<quint32>(group->byRecord.size()));
        group->byRecord.push_back(Entry{r.calls, n});
        count(r, band);
    }
    for (Group &g : m_groups) {
        std::stable_sort(g.byCall.begin(), g.byCall.end(), [&g](quint32 a, quint32 b) {
            return compareFolded(g.byRecord[a].call, g.byRecord[b].call) < 0;
        });
    }
    m_size = m.recordCount();
    if (m_size > 0)
        m_last = m.at(m_size);
}

void LogIndex::add(const QsoRecord &r, int recordNumber)
{
    Group &g = m_groups[groupKey(r.grids, r.uband)];
    const auto pos = static_cast<quint32>(g.byRecord.size());
    g.byRecord.push_back(Entry{r.calls, recordNumber});
    // Equal calls stay in log order: the new record is the latest.
    const auto at = std::upper_bound(g.byCall.begin(), g.byCall.end(), pos, [&g](quint32 a, quint32 b) {
        return compareFolded(g.byRecord[a].call, g.byRecord[b].call) < 0;
    });
    g.byCall.insert(at, pos);
    count(r, bandOf(r.uband));
    if (recordNumber >= m_size) {
        m_size = recordNumber;
        m_last = r;
    }
}

bool LogIndex::holdsTheSameTexts(const LogMirror &m) const
{
    if (m_size == 0)
        return true;
    if (m.recordCount() < m_size)
        return false;
    // A reload reads every text of the log anew, and the index keeps the
    // texts it saw alive, so a reloaded mirror cannot share them: record
    // m_size still holding the very texts indexed means nothing was reloaded.
    const QStringList seen = m_last.values();
    const QStringList now = m.at(m_size).values();
    for (int i = 0; i < QsoRecord::ColumnCount; ++i) {
        if (seen[i].constData() != now[i].constData())
            return false;
    }
    return true;
}

void LogIndex::sync(const LogMirror &m)
{
    if (!holdsTheSameTexts(m)) {
        rebuild(m);
        return;
    }
    for (int n = m_size + 1; n <= m.recordCount(); ++n)
        add(m.at(n), n);
}

QString LogIndex::hint(const QString &typed, const QString &ownGrid, const QString &currentBand) const
{
    QString hint;
    const auto it = m_groups.constFind(groupKey(ownGrid, currentBand));
    if (it == m_groups.cend())
        return hint;
    const Group &g = *it;
    auto callAt = [&g](quint32 pos) { return QStringView(g.byRecord[pos].call); };

    // Calls beginning with the typed text form one run of the call order.
    const auto lo = std::lower_bound(g.byCall.begin(), g.byCall.end(), typed, [&](quint32 p, const QString &t) {
        return compareFolded(callAt(p), t) < 0;
    });
    const auto hi = std::partition_point(lo, g.byCall.end(),
                                         [&](quint32 p) { return beginsWithFolded(callAt(p), typed); });
    if (lo == hi)
        return hint;

    // The hint is full after at most this many calls (each adds at least a
    // blank), so only the earliest records of the run can appear in it: the
    // run is read once, keeping the earliest ones seen in a bounded heap.
    constexpr size_t mostShown = PartialDupeHintLimit + 1;
    std::vector<quint32> earliest;
    earliest.reserve(mostShown);
    for (auto p = lo; p != hi; ++p) {
        if (earliest.size() < mostShown) {
            earliest.push_back(*p);
            if (earliest.size() == mostShown)
                std::make_heap(earliest.begin(), earliest.end());
        } else if (*p < earliest.front()) {
            std::pop_heap(earliest.begin(), earliest.end());
            earliest.back() = *p;
            std::push_heap(earliest.begin(), earliest.end());
        }
    }
    std::sort(earliest.begin(), earliest.end());
    for (quint32 pos : earliest) {
        if (!appendToHint(hint, g.byRecord[pos].call))
            break;
    }
    return hint;
}

PartialDupeResult LogIndex::onKey(const QString &fieldBefore, QChar key, const QString &ownGrid,
                                  const QString &currentBand) const
{
    PartialDupeResult res;
    res.hint = hint(fieldBefore + key, ownGrid, currentBand);
    res.possibleDuplicate = fieldBefore.size() >= 3 && !res.hint.isEmpty();
    return res;
}

std::vector<int> LogIndex::recordsOfCall(const QString &call) const
{
    std::vector<int> records;
    for (const Group &g : m_groups) {
        auto before = [&g](quint32 p, const QString &c) { return compareFolded(g.byRecord[p].call, c) < 0; };
        auto after = [&g](const QString &c, quint32 p) { return compareFolded(c, g.byRecord[p].call) < 0; };
        const auto lo = std::lower_bound(g.byCall.begin(), g.byCall.end(), call, before);
        const auto hi = std::upper_bound(lo, g.byCall.end(), call, after);
        for (auto p = lo; p != hi; ++p)
            records.push_back(g.byRecord[*p].record);
    }
    std::sort(records.begin(), records.end());
    return records;
}

SquareCounts LogIndex::square(const QString &grid) const
{
    return m_squares.value(gridSquare(grid));
}
