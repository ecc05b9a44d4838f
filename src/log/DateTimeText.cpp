#include "log/DateTimeText.h"

#include <QRegularExpression>

namespace DateTimeText {

std::optional<QDate> parseDate(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,4})[/\\-.](\\d{1,2})[/\\-.](\\d{1,4})\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QString a = m.captured(1), b = m.captured(2), c = m.captured(3);
    int y, mo, d;
    if (a.size() >= 3) { // year first
        y = a.toInt();
        mo = b.toInt();
        d = c.toInt();
        if (c.size() > 2)
            return std::nullopt;
    } else { // month first, as the US operator types it
        mo = a.toInt();
        d = b.toInt();
        y = c.toInt();
        if (c.size() <= 2)
            y += y < 30 ? 2000 : 1900;
        else if (c.size() == 3)
            return std::nullopt;
    }
    const QDate date(y, mo, d);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> parseTime(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int h = m.captured(1).toInt();
    const int mi = m.captured(2).toInt();
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    const QTime t(h, mi, s);
    if (!t.isValid())
        return std::nullopt;
    return t;
}

QString logDate(const QDate &d) { return d.toString(QStringLiteral("yyyy/MM/dd")); }
QString logTime(const QTime &t) { return t.toString(QStringLiteral("HH:mm:ss")); }
QString shortLogTime(const QTime &t) { return t.toString(QStringLiteral("HH:mm")); }

std::optional<QDateTime> parseLogDateTime(const QString &date, const QString &time)
{
    const auto d = parseDate(date);
    const auto t = parseTime(time);
    if (!d || !t)
        return std::nullopt;
    return QDateTime(*d, *t);
}

} // namespace DateTimeText
