#include "net/NetRecords.h"

namespace NetRecords {

namespace {

const QByteArray Eor = "<EOR>";
const QByteArray DateTag = "<Date:>";
const QByteArray TimeTag = "<Time:>";
const QByteArray FromTag = "<MessageFrom>";
const QByteArray ToTag = "<MessageTo>";
const QByteArray TextTag = "<MessageText>";

QString between(const QString &s, const QString &tag, const QString &end, bool *found = nullptr)
{
    const qsizetype p = s.indexOf(tag);
    if (found)
        *found = p >= 0;
    if (p < 0)
        return QString();
    const qsizetype from = p + tag.size();
    const qsizetype q = s.indexOf(end, from);
    return q < 0 ? QString() : s.mid(from, q - from);
}

} // namespace

QByteArray status(int index, const StationEntry &e)
{
    const QString r = QStringLiteral("<Array:") + QString::number(index) + QStringLiteral("> <Name:") + e.name +
                      QStringLiteral(">: <Bnd:") + e.band + QStringLiteral("> <Mde: ") + e.mode +
                      QStringLiteral("> <Opr: ") + e.opr + QStringLiteral("> <EOR>");
    return r.toUtf8();
}

QByteArray message(const QString &from, const QString &to, const QString &text)
{
    return FromTag + from.toUtf8() + ToTag + ' ' + to.toUtf8() + TextTag + text.toUtf8() + "\r\n\r\n" + Eor;
}

QByteArray clock(const QDateTime &local)
{
    return DateTag + local.date().toString(QStringLiteral("yyyy/MM/dd")).toLatin1() + TimeTag +
           local.time().toString(QStringLiteral("HH:mm:ss")).toLatin1();
}

Kind kindOf(const QString &record)
{
    if (record.contains(QLatin1String(TextTag)))
        return Kind::Message;
    if (record.contains(QLatin1String(DateTag)) && record.contains(QLatin1String(TimeTag)))
        return Kind::Clock;
    return Kind::Status;
}

int indexOf(const QString &record)
{
    bool found = false;
    const QString v = between(record, QStringLiteral("<Array:"), QStringLiteral(">"), &found);
    if (!found)
        return -1;
    bool ok = false;
    const int i = v.trimmed().toInt(&ok);
    return ok && i >= 0 ? i : -1;
}

StationEntry parseStatus(const QString &record)
{
    auto field = [&record](const char *tag) {
        return between(record, QLatin1String(tag), QStringLiteral(">")).trimmed();
    };
    return {field("<Name:"), field("<Bnd:"), field("<Mde:"), field("<Opr:")};
}

Message parseMessage(const QString &record)
{
    Message m;
    m.from = between(record, QLatin1String(FromTag), QLatin1String(ToTag)).trimmed();
    m.to = between(record, QLatin1String(ToTag), QLatin1String(TextTag)).trimmed();
    m.text = between(record, QLatin1String(TextTag), QLatin1String(Eor));
    while (m.text.endsWith(u'\n') || m.text.endsWith(u'\r'))
        m.text.chop(1);
    return m;
}

QTime parseTime(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *f : {"H:mm:ss", "h:mm:ss AP", "h:mm:ss ap", "h:mm:ssAP"}) {
        const QTime v = QTime::fromString(t, QLatin1String(f));
        if (v.isValid())
            return v;
    }
    return QTime();
}

ClockSetting parseClock(const QString &record)
{
    ClockSetting c;
    const qsizetype d = record.indexOf(QLatin1String(DateTag));
    const qsizetype t = record.indexOf(QLatin1String(TimeTag));
    if (d < 0 || t < d)
        return c;
    c.dateText = record.mid(d + DateTag.size(), t - d - DateTag.size()).trimmed();
    c.timeText = record.mid(t + TimeTag.size()).trimmed();
    c.date = QDate::fromString(c.dateText, QStringLiteral("yyyy/MM/dd"));
    if (!c.date.isValid())
        c.date = QDate::fromString(c.dateText, QStringLiteral("yyyy/M/d"));
    c.time = parseTime(c.timeText);
    return c;
}

QString stationName(const QString &typed)
{
    QString n = typed.trimmed().left(10);
    const qsizetype apostrophe = n.indexOf(u'\'');
    if (apostrophe >= 0)
        n.truncate(apostrophe);
    return n;
}

std::optional<QString> Framer::next()
{
    const qsizetype eor = m_buffer.indexOf(Eor);
    const qsizetype date = m_buffer.indexOf(DateTag);
    const qsizetype from = m_buffer.indexOf(FromTag);
    const bool clockFirst = date >= 0 && (eor < 0 || date < eor) && (from < 0 || date < from);
    if (clockFirst) {
        const qsizetype time = m_buffer.indexOf(TimeTag, date);
        if (time < 0)
            return std::nullopt;
        const qsizetype valueStart = time + TimeTag.size();
        const qsizetype end = m_buffer.indexOf('<', valueStart);
        if (end < 0 && !parseTime(QString::fromUtf8(m_buffer.mid(valueStart))).isValid())
            return std::nullopt;
        const qsizetype stop = end < 0 ? m_buffer.size() : end;
        const QString record = QString::fromUtf8(m_buffer.mid(date, stop - date));
        m_buffer.remove(0, stop);
        return record;
    }
    if (eor < 0)
        return std::nullopt;
    const QString record = QString::fromUtf8(m_buffer.left(eor + Eor.size()));
    m_buffer.remove(0, eor + Eor.size());
    return record;
}

std::vector<QString> Framer::feed(const QByteArray &bytes)
{
    m_buffer += bytes;
    std::vector<QString> out;
    while (auto r = next())
        out.push_back(*r);
    if (m_buffer.size() > BufferLimit) {
        m_buffer.clear();
        m_overflowed = true;
    }
    return out;
}

} // namespace NetRecords
