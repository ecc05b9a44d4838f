#pragma once
// The wave player on the machine's sound output (Qt Multimedia). The radio's
// output device is the one named by the HALVERN_AUDIO_DEVICE variable when
// it is set (so that a test sink or a second sound card stands in for the
// radio), otherwise the operator's choice kept in the settings store,
// otherwise the system's default output; the operator's prompts always go to
// the default output. The media objects are made at the first play, so
// a program that never plays never talks to the audio server.
#include "platform/WavePlayer.h"

#include <QStringList>

class QAudioOutput;
class QMediaPlayer;

class AudioPlayer : public WavePlayer {
    Q_OBJECT
public:
    explicit AudioPlayer(Output output, QObject *parent = nullptr);
    ~AudioPlayer() override;

    void play(const QString &path) override;
    void stop() override;
    bool isPlaying() const override { return m_playing; }

    // The output devices by their descriptions, and the one chosen (kept in
    // the settings store; empty for the system's default).
    static QStringList outputDevices();
    static QString chosenDevice();
    static void chooseDevice(const QString &description);
    static const char *const DeviceVariable;

private:
    void ensureMedia();
    void finish(const QString &why);

    Output m_outputKind;
    QMediaPlayer *m_media = nullptr;
    QAudioOutput *m_output = nullptr;
    bool m_playing = false;
};
