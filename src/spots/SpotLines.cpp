#include "spots/SpotLines.h"

QStringList LineSplitter::feed(const QByteArray &chunk)
{
    QStringList lines;
    for (const char byte : chunk) {
        const char c = byte;
        if (c == '\n' && m_afterCr) {
            m_afterCr = false;
            continue;
        }
        m_afterCr = c == '\r';
        if (c == '\r' || c == '\n') {
            lines.append(m_open);
            m_open.clear();
            continue;
        }
        if (c == '\0')
            continue;
        m_open.append(QChar(uchar(c)));
        if (m_open.size() >= MaxLine) {
            lines.append(m_open);
            m_open.clear();
        }
    }
    return lines;
}

void LineSplitter::clear()
{
    m_open.clear();
    m_afterCr = false;
}

QByteArray TelnetFilter::filter(const QByteArray &chunk)
{
    constexpr uchar Iac = 255, Sb = 250, Se = 240, Will = 251, Dont = 254;
    QByteArray out;
    out.reserve(chunk.size());
    for (const char byte : chunk) {
        const uchar c = uchar(byte);
        switch (m_state) {
        case State::Data:
            if (c == Iac)
                m_state = State::Command;
            else
                out.append(byte);
            break;
        case State::Command:
            if (c == Iac) {
                out.append(byte);
                m_state = State::Data;
            } else if (c == Sb) {
                m_state = State::Sub;
            } else if (c >= Will && c <= Dont) {
                m_state = State::Option;
            } else {
                m_state = State::Data;
            }
            break;
        case State::Option: m_state = State::Data; break;
        case State::Sub:
            if (c == Iac)
                m_state = State::SubCommand;
            break;
        case State::SubCommand: m_state = c == Se ? State::Data : State::Sub; break;
        }
    }
    return out;
}

namespace SpotLine {

bool isSpot(const QString &line) { return line.startsWith(QLatin1String("DX"), Qt::CaseInsensitive); }

QString column(const QString &text, int start, int length)
{
    if (start < 1 || start > text.size())
        return QString();
    return text.mid(start - 1, length).trimmed();
}

QString frequencyText(const QString &line) { return column(line, 16, 9); }

QString call(const QString &line) { return column(line, 27, 13); }

QString record(const QString &line) { return line.mid(3).trimmed(); }

} // namespace SpotLine
