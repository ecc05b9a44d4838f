#pragma once
// Text from a spot source, byte by byte into lines: the splitter that every
// source feeds, the filter that takes telnet option bytes out of a cluster's
// stream, and the fixed columns of a cluster's "DX de" line.
#include <QByteArray>
#include <QString>
#include <QStringList>

// Cuts a stream into lines at LF, CR LF or a lone CR, whatever the chunks
// it arrives in. Text after the last line end waits for the rest of its line
// (a prompt such as "login: " can be read meanwhile as the open line).
class LineSplitter {
public:
    // A line that never ends is handed on once it is this long.
    static constexpr qsizetype MaxLine = 4096;

    // The complete lines that the chunk finishes, without their line ends.
    QStringList feed(const QByteArray &chunk);
    // The text of the line not yet ended.
    const QString &openLine() const { return m_open; }
    void clear();

private:
    QString m_open;
    bool m_afterCr = false; // an LF right after a CR ends no second line
};

// Takes telnet commands (IAC sequences, option negotiation and
// subnegotiation) out of a cluster's stream; a sequence may be split across
// chunks. A doubled IAC is a data byte 255.
class TelnetFilter {
public:
    QByteArray filter(const QByteArray &chunk);
    void clear() { m_state = State::Data; }

private:
    enum class State { Data, Command, Option, Sub, SubCommand };
    State m_state = State::Data;
};

namespace SpotLine {
// A line that carries a spot: it begins with "DX", in any letter case.
bool isSpot(const QString &line);
// The fixed columns of a cluster's spot line (1-based start, length),
// trimmed; a short line gives what it holds, possibly nothing.
QString column(const QString &text, int start, int length);
QString frequencyText(const QString &line); // columns 16 to 24
QString call(const QString &line);          // columns 27 to 39
// The line without "DX " in front, trimmed.
QString record(const QString &line);
} // namespace SpotLine
