#pragma once
// What a spot source sends, as the operator reads it and as the spot store
// gets it: bytes are cut into lines; a spot line ("DX de ...") is always
// shown and handed on, any other line only while "DX Only" is off, and a
// line already among the last 800 characters shown is dropped (a TNC hears
// the same frame through several digipeaters). A prompt that ends without a
// line end ("login: ") is shown as soon as it arrives, and a spot sent
// right after such a prompt starts a line of its own. The text shown is
// capped at 10000 characters, cut back to the last 9000.
#include "spots/SpotLines.h"

#include <QString>
#include <functional>

class SpotFeed {
public:
    static constexpr qsizetype TextLimit = 10000;
    static constexpr qsizetype TextKept = 9000;
    static constexpr qsizetype RepeatWindow = 800;

    // Called for each spot line: the call, the frequency text (kHz, as in the
    // line) and the record (the line without "DX ").
    std::function<void(const QString &call, const QString &frequency, const QString &record)> onSpot;

    void setDxOnly(bool on) { m_dxOnly = on; }
    bool dxOnly() const { return m_dxOnly; }

    // Bytes as the source delivered them (telnet commands already removed).
    void feed(const QByteArray &bytes);
    // The program's own notes ("** Port Closed **").
    void append(const QString &text);
    void replace(const QString &text);
    const QString &text() const { return m_text; }
    // A new connection starts with no half line.
    void restartLines();

private:
    void takeLine(const QString &line);
    void trim();

    QString m_text;
    LineSplitter m_splitter;
    qsizetype m_openShown = 0; // characters of the open line already shown
    bool m_dxOnly = false;
};
