#include "spots/SpotFeed.h"

namespace {
// The start of a line that may still become a spot line is not shown early.
bool maySpot(const QString &open)
{
    return QStringLiteral("DX").startsWith(open.left(2), Qt::CaseInsensitive);
}
} // namespace

void SpotFeed::feed(const QByteArray &bytes)
{
    // A spot that follows a prompt on its line starts a line of its own.
    QStringList lines;
    if (m_openShown > 0 && SpotLine::isSpot(QString::fromLatin1(bytes.left(2))))
        lines = m_splitter.feed("\n");
    lines += m_splitter.feed(bytes);
    for (const QString &line : lines) {
        if (m_openShown > 0) {
            // Its start is on the screen already: the rest follows it.
            m_text += line.mid(m_openShown) + u'\n';
            m_openShown = 0;
            if (SpotLine::isSpot(line) && onSpot)
                onSpot(SpotLine::call(line), SpotLine::frequencyText(line), SpotLine::record(line));
            continue;
        }
        takeLine(line);
    }
    const QString &open = m_splitter.openLine();
    if (open.size() > m_openShown && !m_dxOnly && !maySpot(open)) {
        m_text += open.mid(m_openShown);
        m_openShown = open.size();
    }
    trim();
}

void SpotFeed::takeLine(const QString &line)
{
    if (line.trimmed().isEmpty())
        return;
    const QString shown = line + u'\n';
    if (m_text.right(RepeatWindow).contains(shown))
        return;
    if (SpotLine::isSpot(line)) {
        m_text += shown;
        if (onSpot)
            onSpot(SpotLine::call(line), SpotLine::frequencyText(line), SpotLine::record(line));
    } else if (!m_dxOnly) {
        m_text += shown;
    }
}

void SpotFeed::append(const QString &text)
{
    m_text += text;
    trim();
}

void SpotFeed::replace(const QString &text)
{
    m_text = text;
    trim();
}

void SpotFeed::restartLines()
{
    m_splitter.clear();
    m_openShown = 0;
}

void SpotFeed::trim()
{
    if (m_text.size() > TextLimit)
        m_text = m_text.right(TextKept);
}
