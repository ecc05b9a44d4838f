#include "log/RecordRules.h"

#include "log/Bands.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace {

bool hasControl(const QString &s)
{
    for (const QChar c : s)
        if (c.category() == QChar::Other_Control)
            return true;
    return false;
}

QString quoted(const QString &s) { return u'"' + s + u'"'; }

} // namespace

namespace RecordRules {

bool isGrid(const QString &text)
{
    static const QRegularExpression grid(QStringLiteral("^[A-R]{2}[0-9]{2}([A-X]{2})?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    return grid.match(text.trimmed()).hasMatch();
}

bool isCall(const QString &text)
{
    static const QRegularExpression part(QStringLiteral("^[A-Z0-9]+(/[A-Z0-9]+)*$"));
    static const QRegularExpression letter(QStringLiteral("[A-Z]")), digit(QStringLiteral("[0-9]"));
    const QString t = text.trimmed().toUpper();
    return t.size() >= 3 && t.size() <= 16 && part.match(t).hasMatch() && t.contains(letter) && t.contains(digit);
}

QString refusal(const QsoRecord &r)
{
    for (const QString &v : r.values())
        if (hasControl(v))
            return QStringLiteral("a value holds a line break or another control character");
    if (r.calls.trimmed().isEmpty())
        return QStringLiteral("the call is empty");
    if (r.gridr.trimmed().isEmpty())
        return QStringLiteral("the grid received is empty");
    if (!isGrid(r.gridr))
        return QStringLiteral("the grid received %1 is no grid square").arg(quoted(r.gridr));
    if (!isGrid(r.grids))
        return QStringLiteral("the own grid %1 is no grid square").arg(quoted(r.grids));
    static const QRegularExpression dateForm(QStringLiteral("^\\d{4}/\\d{2}/\\d{2}$"));
    if (!dateForm.match(r.flddate).hasMatch() || !QDate::fromString(r.flddate, QStringLiteral("yyyy/MM/dd")).isValid())
        return QStringLiteral("the date %1 is not a date written yyyy/mm/dd").arg(quoted(r.flddate));
    static const QRegularExpression timeForm(QStringLiteral("^\\d{2}:\\d{2}(:\\d{2})?$"));
    if (!timeForm.match(r.fldtime).hasMatch()
        || !QTime::fromString(r.fldtime, r.fldtime.size() == 5 ? QStringLiteral("HH:mm") : QStringLiteral("HH:mm:ss"))
                .isValid())
        return QStringLiteral("the time %1 is not a time written hh:mm:ss or hh:mm").arg(quoted(r.fldtime));
    if (Bands::indexOf(r.uband) < 0)
        return QStringLiteral("the band %1 is not one of the log's bands").arg(quoted(r.uband));
    if (r.umode.compare(Modes::CW, Qt::CaseInsensitive) != 0 && r.umode.compare(Modes::Phone, Qt::CaseInsensitive) != 0)
        return QStringLiteral("the mode %1 is neither CW nor PH").arg(quoted(r.umode));
    return QString();
}

QsoRecord normalized(const QsoRecord &r)
{
    QStringList v = r.values();
    for (QString &s : v)
        if (s.isNull())
            s = QStringLiteral("");
    QsoRecord out = QsoRecord::fromValues(v);
    if (const int band = Bands::indexOf(out.uband); band >= 0)
        out.uband = Bands::label(band);
    out.umode = out.umode.toUpper();
    return out;
}

} // namespace RecordRules
