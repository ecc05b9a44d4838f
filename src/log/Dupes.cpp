#include "log/Dupes.h"

#include "log/DateTimeText.h"
#include "log/GridSquare.h"

#include <algorithm>
#include <utility>

namespace {

bool qualifies(const QsoRecord &r, const QString &typed, const QString &ownGrid,
               const QString &currentBand)
{
    return sameSquare(r.grids, ownGrid) && sameText(r.uband, currentBand)
           && r.calls.startsWith(typed, Qt::CaseInsensitive);
}

// Appends one call to the hint; false once the hint is full.
bool appendToHint(QString &hint, const QString &call)
{
    hint += u' ';
    hint += call;
    return hint.size() <= PartialDupeHintLimit;
}

bool slashOrDigit(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'/' && u <= u'9';
}

} // namespace

QString partialDupeHint(const LogMirror &m, const QString &typed, const QString &ownGrid,
                     const QString &currentBand)
{
    QString hint;
    for (const QsoRecord &r : m.records()) {
        if (qualifies(r, typed, ownGrid, currentBand) && !appendToHint(hint, r.calls))
            break;
    }
    return hint;
}

PartialDupeResult partialDupeHintOnKey(const LogMirror &m, const QString &fieldBefore, QChar key,
                                    const QString &ownGrid, const QString &currentBand)
{
    PartialDupeResult res;
    res.hint = partialDupeHint(m, fieldBefore + key, ownGrid, currentBand);
    res.possibleDuplicate = fieldBefore.size() >= 3 && !res.hint.isEmpty();
    return res;
}

QString PartialDupeIndex::groupKey(const QString &ownGrid, const QString &band)
{
    // The length of the grid leads the key, so no grid and band pair can
    // run into another one whatever characters they hold.
    const QString g = gridSquare(ownGrid);
    return QString::number(g.size()) + u':' + g + band.toUpper();
}

void PartialDupeIndex::clear()
{
    m_groups.clear();
    m_size = 0;
    m_last = QsoRecord();
}

void PartialDupeIndex::rebuild(const LogMirror &m)
{
    clear();
    int n = 0;
    // Own grid and band change seldom from one contact to the next, so the
    // group of the previous contact is usually the one wanted.
    Group *group = nullptr;
    QString lastGrid, lastBand;
    for (const QsoRecord &r : m.records()) {
        ++n;
        if (!group || r.grids != lastGrid || r.uband != lastBand) {
            group = &m_groups[groupKey(r.grids, r.uband)];
            lastGrid = r.grids;
            lastBand = r.uband;
        }
        group->push_back(Entry{r.calls.toUpper(), r.calls, n});
    }
    for (Group &g : m_groups) {
        std::sort(g.begin(), g.end(), [](const Entry &a, const Entry &b) {
            const int c = a.folded.compare(b.folded);
            return c < 0 || (c == 0 && a.record < b.record);
        });
    }
    m_size = n;
    if (n > 0)
        m_last = m.at(n);
}

void PartialDupeIndex::add(const QsoRecord &r, int recordNumber)
{
    Group &g = m_groups[groupKey(r.grids, r.uband)];
    Entry e{r.calls.toUpper(), r.calls, recordNumber};
    // Equal calls stay in record order: the new record is the latest.
    auto pos = std::upper_bound(g.begin(), g.end(), e,
                                [](const Entry &a, const Entry &b) { return a.folded < b.folded; });
    g.insert(pos, std::move(e));
    if (recordNumber >= m_size) {
        m_size = recordNumber;
        m_last = r;
    }
}

bool PartialDupeIndex::holdsTheSameTexts(const LogMirror &m) const
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

void PartialDupeIndex::sync(const LogMirror &m)
{
    if (!holdsTheSameTexts(m)) {
        rebuild(m);
        return;
    }
    for (int n = m_size + 1; n <= m.recordCount(); ++n)
        add(m.at(n), n);
}

QString PartialDupeIndex::hint(const QString &typed, const QString &ownGrid,
                               const QString &currentBand) const
{
    QString hint;
    const auto it = m_groups.constFind(groupKey(ownGrid, currentBand));
    if (it == m_groups.cend())
        return hint;
    const Group &g = *it;
    const QString prefix = typed.toUpper();

    // Calls beginning with the prefix form one run of the sorted group.
    const auto lo = std::lower_bound(g.begin(), g.end(), prefix,
                                     [](const Entry &e, const QString &p) { return e.folded < p; });
    const auto hi = std::partition_point(
        lo, g.end(), [&](const Entry &e) { return e.folded.startsWith(prefix); });
    if (lo == hi)
        return hint;

    // The hint is full after at most this many calls (each adds at least a
    // blank), so only the earliest records of the run can appear in it.
    constexpr size_t mostShown = PartialDupeHintLimit + 1;
    std::vector<std::pair<int, int>> byRecord; // record number, position in the group
    byRecord.reserve(static_cast<size_t>(hi - lo));
    for (auto e = lo; e != hi; ++e)
        byRecord.emplace_back(e->record, static_cast<int>(e - g.begin()));
    if (byRecord.size() > mostShown) {
        std::nth_element(byRecord.begin(), byRecord.begin() + mostShown, byRecord.end());
        byRecord.resize(mostShown);
    }
    std::sort(byRecord.begin(), byRecord.end());
    for (const auto &[record, pos] : byRecord) {
        if (!appendToHint(hint, g[static_cast<size_t>(pos)].call))
            break;
    }
    return hint;
}

PartialDupeResult PartialDupeIndex::onKey(const QString &fieldBefore, QChar key,
                                          const QString &ownGrid, const QString &currentBand) const
{
    PartialDupeResult res;
    res.hint = hint(fieldBefore + key, ownGrid, currentBand);
    res.possibleDuplicate = fieldBefore.size() >= 3 && !res.hint.isEmpty();
    return res;
}

bool callShapeWarning(const QString &typedText)
{
    if (typedText.size() != 3)
        return false;
    return !slashOrDigit(typedText.at(1)) && !slashOrDigit(typedText.at(2));
}

PreviousScan previousContactScan(const LogMirror &m, const QString &call, const QString &gridField,
                       const QString &ownGrid, const QString &currentBand, bool listPrevious)
{
    PreviousScan scan;
    QString grid = gridField;
    for (int n = 1; n <= m.recordCount(); ++n) {
        const QsoRecord &r = m.at(n);
        if (!sameText(r.calls, call))
            continue;
        if (listPrevious)
            scan.listed.push_back(n);
        if (grid.isEmpty()) {
            // The station's usual grid is offered; later records are
            // compared with it.
            grid = r.gridr;
            scan.gridToFill = r.gridr;
        }
        if (sameSquare(r.gridr, grid) && sameSquare(r.grids, ownGrid)
            && sameText(r.uband, currentBand)) {
            scan.warnRecord = n;
            if (!listPrevious)
                break;
        }
    }
    return scan;
}

QString duplicateUnlessRoverText(const LogMirror &m, int recordNumber)
{
    if (recordNumber < 1 || recordNumber > m.recordCount())
        return QString();
    const QsoRecord &r = m.at(recordNumber);
    // The date shows as month and day; a date the log cannot read shows as
    // stored rather than being lost.
    const auto d = DateTimeText::parseDate(r.flddate);
    const QString monthDay = d ? d->toString(QStringLiteral("MM/dd")) : r.flddate;
    return QStringLiteral("Duplicate Unless Rover! ") + r.calls + u' ' + r.gridr + u' ' + monthDay
           + u' ' + r.fldtime + QStringLiteral("  Rec# ") + u' ' + QString::number(recordNumber);
}

QString dupeKey(const QsoRecord &r)
{
    return r.calls.toUpper() + u'\t' + r.uband.toUpper() + u'\t' + gridSquare(r.gridr) + u'\t'
           + gridSquare(r.grids);
}

bool isSameContact(const QsoRecord &r, const QString &call, const QString &band,
                   const QString &gridr, const QString &grids)
{
    return sameText(r.calls, call) && sameText(r.uband, band) && sameSquare(r.gridr, gridr)
           && sameSquare(r.grids, grids);
}

QString dupeText(const QsoRecord &match)
{
    return QStringLiteral("Dupe: ") + match.calls + u' ' + match.gridr + QStringLiteral(" ON ")
           + match.flddate + u' ' + match.fldtime;
}
