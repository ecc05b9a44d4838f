#include "platform/AudioPlayer.h"

#include "platform/SettingsStore.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

const char *const AudioPlayer::DeviceVariable = "HALVERN_AUDIO_DEVICE";

namespace {
const QString DeviceKey = QStringLiteral("VoiceOutputDevice");

// The output named by its id (the sound server's name for it) or by the
// description the operator sees; the default output when there is none.
QAudioDevice outputNamed(const QString &name)
{
    if (!name.isEmpty()) {
        const auto outputs = QMediaDevices::audioOutputs();
        for (const QAudioDevice &d : outputs)
            if (QString::fromUtf8(d.id()) == name || d.description() == name)
                return d;
    }
    return QMediaDevices::defaultAudioOutput();
}
} // namespace

AudioPlayer::AudioPlayer(Output output, QObject *parent) : WavePlayer(parent), m_outputKind(output) {}

AudioPlayer::~AudioPlayer()
{
    m_playing = false;
    if (m_media)
        m_media->stop();
}

void AudioPlayer::ensureMedia()
{
    if (m_media)
        return;
    m_media = new QMediaPlayer(this);
    m_output = new QAudioOutput(this);
    if (m_outputKind == Output::Radio) {
        const QString named = QString::fromLocal8Bit(qgetenv(DeviceVariable));
        m_output->setDevice(outputNamed(named.isEmpty() ? chosenDevice() : named));
    }
    m_media->setAudioOutput(m_output);
    connect(m_media, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::EndOfMedia)
            finish(QString());
        else if (s == QMediaPlayer::InvalidMedia)
            finish(QStringLiteral("the file cannot be played"));
    });
    connect(m_media, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString &why) { finish(why.isEmpty() ? QStringLiteral("error") : why); });
    connect(m_media, &QMediaPlayer::playbackStateChanged, this, [this](QMediaPlayer::PlaybackState s) {
        if (s == QMediaPlayer::StoppedState)
            finish(QString());
    });
}

void AudioPlayer::play(const QString &path)
{
    ensureMedia();
    // The file playing is cut off without a word: a new one follows.
    m_playing = false;
    m_media->stop();
    m_media->setSource(QUrl::fromLocalFile(path));
    m_playing = true;
    m_media->play();
    if (m_playing)
        emit started();
}

void AudioPlayer::stop()
{
    if (!m_playing)
        return;
    m_playing = false;
    m_media->stop();
    emit ended(QString());
}

void AudioPlayer::finish(const QString &why)
{
    if (!m_playing)
        return;
    m_playing = false;
    emit ended(why);
}

QStringList AudioPlayer::outputDevices()
{
    QStringList names;
    const auto outputs = QMediaDevices::audioOutputs();
    for (const QAudioDevice &d : outputs)
        names << d.description();
    return names;
}

QString AudioPlayer::chosenDevice() { return SettingsStore::get(DeviceKey); }

void AudioPlayer::chooseDevice(const QString &description) { SettingsStore::set(DeviceKey, description); }
