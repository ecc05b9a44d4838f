#pragma once
// What the keying tests share: a decoder that turns recorded key edges back
// into text and element lengths, an entry that records what the engine asks
// of it, and a CW engine keying a recording line on a fake monotonic clock
// (so a message takes no real time).
#include "keying/CwKeyer.h"
#include "keying/KeyingHooks.h"
#include "platform/PortArbiter.h"
#include "platform/RecordingKeyLine.h"

#include <QString>
#include <vector>

struct Decoded {
    QString text;
    std::vector<double> downMs; // every key-down, in order
    std::vector<double> upMs;   // every key-up between two key-downs
};

// Reads edges as sent at the element time unitMs: a down under 2 units is a
// dot, else a dash; a gap of 2 units or more ends a character, of 5 or more
// also a word.
Decoded decodeMorse(const std::vector<KeyEdge> &edges, double unitMs);

// The key edges a program run with the recording key line wrote to its file.
std::vector<KeyEdge> recordedKeyEdges(const QString &file);

struct RecordingEntry : EntryAccess {
    QString call, report, currentMode = QStringLiteral("CW");
    int logged = 0;
    int cleared = 0;
    QString status;
    quint32 background = 0;
    std::function<void()> onLog;

    QString callText() const override { return call; }
    QString reportText() const override { return report; }
    void logContact() override
    {
        ++logged;
        if (onLog)
            onLog();
    }
    void clearEntry() override { ++cleared; }
    QString mode() const override { return currentMode; }
    void showStatus(const QString &text) override { status = text; }
    void setStatusBackground(quint32 bgr) override { background = bgr; }
};

struct KeyingRig {
    // Keys RTS of port 1 at wpm with the Timer method; every key line the
    // engine opens is a recording line whose edges gather in `edges`.
    explicit KeyingRig(const QString &wpm = QStringLiteral("20"));
    ~KeyingRig();

    std::vector<KeyEdge> edges;
    int linesOpened = 0;
    // When set, the lines refuse to key with this reason.
    QString refuse;
    RecordingEntry entry;
    PortArbiter ports;
    CwKeyer keyer{ports};

    // Sends text through the buffer, as keyboard CW does.
    void send(const QString &text);
    Decoded decoded() const { return decodeMorse(edges, elementMs(keyer.settings.wpmValue())); }
    KeyLine *line() const { return ports.line(PortRole::CwKey); }
};
