#include "log/Dupes.h"

#include "log/DateTimeText.h"
#include "log/GridSquare.h"


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

bool callShapeWarning(const QString &typedText)
{
    if (typedText.size() != 3)
        return false;
    return !slashOrDigit(typedText.at(1)) && !slashOrDigit(typedText.at(2));
}

namespace {

// One record of the call, in log order; false when the scan ends here.
bool scanStep(PreviousScan &scan, QString &grid, const QsoRecord &r, int n, const QString &ownGrid,
              const QString &currentBand, bool listPrevious)
{
    if (listPrevious)
        scan.listed.push_back(n);
    if (grid.isEmpty()) {
        // The station's usual grid is offered; later records are compared
        // with it.
        grid = r.gridr;
        scan.gridToFill = r.gridr;
    }
    if (sameSquare(r.gridr, grid) && sameSquare(r.grids, ownGrid) && sameText(r.uband, currentBand)) {
        scan.warnRecord = n;
        return listPrevious;
    }
    return true;
}

} // namespace

PreviousScan previousContactScan(const LogMirror &m, const QString &call, const QString &gridField,
                       const QString &ownGrid, const QString &currentBand, bool listPrevious)
{
    PreviousScan scan;
    QString grid = gridField;
    for (int n = 1; n <= m.recordCount(); ++n) {
        const QsoRecord &r = m.at(n);
        if (sameText(r.calls, call) && !scanStep(scan, grid, r, n, ownGrid, currentBand, listPrevious))
            break;
    }
    return scan;
}

PreviousScan previousContactScan(const LogMirror &m, const std::vector<int> &recordsOfCall,
                                 const QString &gridField, const QString &ownGrid,
                                 const QString &currentBand, bool listPrevious)
{
    PreviousScan scan;
    QString grid = gridField;
    for (int n : recordsOfCall) {
        if (!scanStep(scan, grid, m.at(n), n, ownGrid, currentBand, listPrevious))
            break;
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
