#include "platform/SeqFile.h"

#include "platform/AtomicFile.h"
#include "platform/WholeFile.h"

#include <charconv>
#include <cmath>

namespace {
template <typename T> QString shortest(T value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, res.ptr - buf);
}
} // namespace

QString seqNumber(double value) { return shortest(value); }
QString seqNumber(float value) { return shortest(value); }

std::optional<double> parseNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

void SeqWriter::separate()
{
    if (m_lineOpen)
        m_data.append(',');
    m_lineOpen = true;
}

SeqWriter &SeqWriter::text(const QString &value)
{
    separate();
    // A double quote inside a text is written twice, so that it does not end
    // the text; every other text is written exactly as it is.
    QByteArray v = value.toUtf8();
    v.replace('"', "\"\"");
    m_data.append('"');
    m_data.append(v);
    m_data.append('"');
    return *this;
}

SeqWriter &SeqWriter::number(double value)
{
    separate();
    m_data.append(seqNumber(value).toLatin1());
    return *this;
}

SeqWriter &SeqWriter::number(float value)
{
    separate();
    m_data.append(seqNumber(value).toLatin1());
    return *this;
}

SeqWriter &SeqWriter::number(qint64 value)
{
    separate();
    m_data.append(QByteArray::number(value));
    return *this;
}

SeqWriter &SeqWriter::endLine()
{
    m_data.append("\r\n");
    m_lineOpen = false;
    return *this;
}

SeqWriter &SeqWriter::textLine(const QStringList &values)
{
    for (const QString &v : values)
        text(v);
    return endLine();
}

bool SeqWriter::save(const QString &path, QString *error) const
{
    return writeFileAtomically(path, m_data, error);
}

QList<QStringList> SeqReader::lines(const QByteArray &data, QList<int> *unclosed)
{
    QList<QStringList> out;
    const QString s = QString::fromUtf8(data);
    QStringList line;
    QString cur;
    bool quoted = false;   // inside a quoted value
    bool hadValue = false; // something was read on this line
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto finishValue = [&] {
        line.append(cur);
        cur.clear();
    };
    while (i < n) {
        const QChar c = s.at(i);
        if (quoted) {
            if (c == u'\r' || c == u'\n') {
                // A quote left open ends with its line: a damaged line never
                // swallows the lines after it.
                quoted = false;
                if (unclosed)
                    unclosed->append(static_cast<int>(out.size()));
                continue;
            }
            if (c == u'"') {
                // Two quotes inside a text are one quote of the text.
                if (i + 1 < n && s.at(i + 1) == u'"') {
                    cur.append(c);
                    i += 2;
                    continue;
                }
                quoted = false;
            } else {
                cur.append(c);
            }
            ++i;
            continue;
        }
        if (c == u'"') {
            quoted = true;
            hadValue = true;
            ++i;
        } else if (c == u',') {
            finishValue();
            hadValue = true;
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            if (hadValue || !cur.isEmpty()) {
                finishValue();
                out.append(line);
            } else {
                out.append(QStringList());
            }
            line.clear();
            hadValue = false;
            if (c == u'\r' && i + 1 < n && s.at(i + 1) == u'\n')
                ++i;
            ++i;
        } else {
            // Blanks around bare values are not part of them.
            if (!(c.isSpace() && cur.isEmpty()))
                cur.append(c);
            hadValue = true;
            ++i;
        }
    }
    if (quoted && unclosed)
        unclosed->append(static_cast<int>(out.size()));
    if (hadValue || !cur.isEmpty()) {
        finishValue();
        out.append(line);
    }
    // A trailing empty line (a file ended by CR LF) carries no values.
    return out;
}

SeqReader::SeqReader(const QByteArray &data)
{
    for (const QStringList &line : lines(data))
        m_values.append(line);
}

std::optional<SeqReader> SeqReader::fromFile(const QString &path, QString *reason)
{
    const WholeFile::Read file = WholeFile::read(path, WholeFile::SettingsLimit);
    if (!file.ok()) {
        if (reason)
            *reason = file.reason;
        return std::nullopt;
    }
    return SeqReader(file.data);
}

std::optional<QString> SeqReader::nextText()
{
    if (atEnd())
        return std::nullopt;
    return m_values.at(m_pos++);
}

std::optional<double> SeqReader::nextNumber()
{
    if (atEnd())
        return std::nullopt;
    return parseNumber(m_values.at(m_pos++));
}
