#pragma once
// The voice keyer: in phone mode F1 to F9 play recorded wave files into the
// transmitter's audio input with push-to-talk keyed around them, and F1 can
// repeat after a loop delay as a CQ loop. The settings live in "wave2.txt".
//
// Push-to-talk goes down before the file is handed to the player and comes
// up when the sound ends: at the end of the file, on any player error, on
// stop(), and at the latest one second after the file's length has passed,
// so that a player that never reports the end cannot leave the transmitter
// keyed. A file that cannot be read as a wave file is not played and keys
// nothing.
#include "keying/KeyingHooks.h"

#include <QObject>
#include <QString>
#include <array>
#include <optional>

class KeyLine;
class PortArbiter;
class QTimer;
class WavePlayer;

struct VoiceSettings {
    enum class PttLine { Rts = 0, Dtr = 1, Parallel = 2 };

    std::array<QString, 9> waveFiles; // F1..F9, full paths; empty plays nothing
    QString pttPort = QStringLiteral("0");
    PttLine pttLine = PttLine::Rts;
    QString loopDelay = QStringLiteral("0");
    QString printerAddress = QStringLiteral("&H378");

    // Reads the file; a missing or short file keeps the values read so far
    // (false then).
    bool load(const QString &path);
    QByteArray fileData() const;
    bool save(const QString &path, QString *error = nullptr) const;

    int portNumber() const;
    // The loop delay in seconds when it is one (0 <= value < 60).
    std::optional<double> loopSeconds() const;
};

class VoiceKeyer : public QObject, public VoiceKeys {
    Q_OBJECT
public:
    // F1..F9 as key codes.
    static constexpr int F1 = 112;
    static constexpr int F9 = 120;
    // The longest a file keys the transmitter beyond its own length.
    static constexpr qint64 OverrunMs = 1000;

    VoiceKeyer(PortArbiter &ports, WavePlayer &player, QObject *parent = nullptr);
    ~VoiceKeyer() override;

    VoiceSettings settings;
    void loadSettings(const QString &path);
    bool saveSettings(const QString &path, QString *error = nullptr) const;
    // Takes the loop delay as the repeat interval, or resets a delay that is
    // no number of seconds from 0 up to 60 to "0".
    void applyLoopDelay();

    // VoiceKeys
    void play(int keyCode) override;
    bool isPlaying() const override { return m_active; }
    void stop() override;
    bool repeatPending() const override { return m_repeatPending; }
    void stopRepeat() override;

    // Opens the push-to-talk port of the settings (closing the CW port and
    // the WinKey's); false, after telling the operator, when it cannot be
    // opened. Nothing to open is success.
    bool setupPort();
    bool pttDown() const;
    // Ends playing and lifts push-to-talk; the port stays open.
    void release();

    static const QString InvalidPortText;
    static const QString InvalidPortTitle;

signals:
    // The port could not be opened (the settings window shows itself).
    void portSetupFailed();
    void pttChanged(bool down);
    // A file has stopped sounding and push-to-talk is up.
    void playbackEnded();

private:
    bool usesLine() const;
    void keyPtt(bool down);
    void checkEnd();
    void finish(bool timedOut);

    PortArbiter &m_ports;
    WavePlayer &m_player;
    QTimer *m_poll = nullptr;
    QTimer *m_repeat = nullptr;
    bool m_active = false;
    bool m_repeatPending = false;
    qint64 m_deadlineNs = 0;
};
