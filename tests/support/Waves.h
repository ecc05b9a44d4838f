#pragma once
// Wave files for the voice tests, and a player whose sound the test ends.
#include "platform/WavePlayer.h"

#include <QString>
#include <QStringList>
#include <functional>

// Writes a 16-bit mono PCM wave file of ms milliseconds: a tone of toneHz
// (silence when 0) at the given sample rate.
bool writeWave(const QString &path, int ms, int toneHz = 0, int sampleRate = 8000);

// A player that plays nothing: play() and stop() are noted in `log` (as
// "play <file name>" and "stop"), and the test ends the sound with
// reachEnd() or fail(), or never.
class FakeWavePlayer : public WavePlayer {
public:
    QStringList *log = nullptr;
    QStringList played; // full paths, in order
    bool playing = false;
    // When 0 or more, each file ends by itself that many milliseconds after
    // it started.
    int endAfterMs = -1;

    void play(const QString &path) override;
    void stop() override;
    bool isPlaying() const override { return playing; }

    void reachEnd() { end(QString()); }
    void fail(const QString &why = QStringLiteral("device error")) { end(why); }

private:
    void end(const QString &why);
    int m_generation = 0;
};

// Every player made from now on plays nothing and is done at once (what the
// tests' windows use unless a test plugs in its own).
void useSilentPlayers();
