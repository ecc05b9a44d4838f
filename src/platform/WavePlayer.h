#pragma once
// Plays wave files without blocking: the voice keyer's messages and the
// spoken prompts. A player plays one file at a time; a new file replaces the
// one playing. It tells when the sound has ended, by reaching the end, by an
// error (a file it cannot read, no audio device or server) or by stop().
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class WavePlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~WavePlayer() override = default;

    // Starts the file; what was playing stops first (without ended()).
    virtual void play(const QString &path) = 0;
    // Stops at once; ended() follows when something was playing.
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

    // Where the sound goes: the transmitter's audio input (the voice keyer)
    // or the operator's own speakers (the spoken prompts).
    enum class Output { Radio, Operator };
    // The player the program uses: the audio device's, unless a test set
    // another maker.
    using Factory = std::function<std::unique_ptr<WavePlayer>(Output)>;
    static std::unique_ptr<WavePlayer> create(Output output);
    static void setFactory(Factory factory);

signals:
    // The file has been handed to the audio device.
    void started();
    // No more sound: the end of the file, a stop, or an error (why is then
    // its reason, empty otherwise).
    void ended(const QString &why);
};

// The length of a wave file in milliseconds from its header; nothing when the
// file cannot be read or is no PCM wave file.
std::optional<qint64> waveDurationMs(const QString &path);
