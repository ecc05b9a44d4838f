#include "log/EntryFilter.h"

namespace {

bool keeps(EntryField field, QChar c)
{
    switch (field) {
    case EntryField::Call:
    case EntryField::Grid:
        return c.isPrint() && !c.isSpace() && c != u'"' && c != u'\'';
    case EntryField::Report: return c >= u'0' && c <= u'9';
    case EntryField::PostContestTime: return (c >= u'0' && c <= u'9') || c == u':';
    case EntryField::PostContestDate: return (c >= u'0' && c <= u'9') || c == u'/';
    }
    return false;
}

} // namespace

QString filterEntryText(EntryField field, const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!keeps(field, c))
            continue;
        // The call in capitals; a grid's square in capitals, its subsquare as typed.
        const bool capital = field == EntryField::Call || (field == EntryField::Grid && out.size() < 4);
        out.append(capital && c >= u'a' && c <= u'z' ? c.toUpper() : c);
    }
    return out;
}
