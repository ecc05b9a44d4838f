#include "log/ContactList.h"

#include "log/Bands.h"
#include "log/DateTimeText.h"

namespace {
constexpr int LastRows = 20;
}

const QStringList &contactListHeaders()
{
    static const QStringList headers{QStringLiteral("Rec#"),   QStringLiteral("Call"),
                                     QStringLiteral("Rec"),    QStringLiteral("Grid R"),
                                     QStringLiteral("Snt"),    QStringLiteral("Date / Time"),
                                     QStringLiteral("Bnd"),    QStringLiteral("Grid S"),
                                     QStringLiteral("Mode")};
    return headers;
}

std::vector<int> contactListRows(const LogMirror &m, bool listAll, bool currentBandOnly,
                                 const QString &currentBand)
{
    std::vector<int> rows;
    const int count = m.recordCount();
    if (!currentBandOnly) {
        const int first = (listAll || count < LastRows) ? 1 : count - (LastRows - 1);
        for (int i = count; i >= first; --i)
            rows.push_back(i);
        return rows;
    }
    for (int i = count; i >= 1; --i) {
        if (!listAll && static_cast<int>(rows.size()) >= LastRows)
            break;
        if (Bands::same(m.at(i).uband, currentBand))
            rows.push_back(i);
    }
    return rows;
}

QStringList contactListColumns(const LogMirror &m, int recordNumber)
{
    const QsoRecord &r = m.at(recordNumber);
    const auto date = DateTimeText::parseDate(r.flddate);
    const auto time = DateTimeText::parseTime(r.fldtime);
    const QString when = (date ? date->toString(QStringLiteral("MM/dd")) : r.flddate)
                         + QLatin1Char(' ')
                         + (time ? time->toString(QStringLiteral("HH:mm")) : r.fldtime);
    return {QString::number(recordNumber), r.calls, r.rstr, r.gridr, r.rsts, when,
            r.uband.left(3), r.grids, r.umode};
}

QString clipboardText(const QStringList &headers, const QList<QStringList> &rows)
{
    const QString tab = QStringLiteral("\t");
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = headers.join(tab) + lineEnd;
    for (const QStringList &row : rows)
        text += row.join(tab) + lineEnd;
    return text;
}

int editDupeOf(const LogMirror &m, int editIndex, const QsoRecord &edited)
{
    for (int i = 1; i <= m.recordCount(); ++i) {
        if (i == editIndex)
            continue;
        const QsoRecord &r = m.at(i);
        if (r.calls == edited.calls && r.uband == edited.uband && r.gridr == edited.gridr
            && r.grids == edited.grids)
            return i;
    }
    return 0;
}

bool isBandLabel(const QString &text)
{
    for (const BandRow &row : Bands::table())
        if (text == QLatin1String(row.label))
            return true;
    return false;
}

bool isModeCode(const QString &text) { return text == Modes::CW || text == Modes::Phone; }
