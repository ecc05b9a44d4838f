#include "keying/VoiceNavigation.h"

#include "platform/WavePlayer.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

const QStringList PromptSpeaker::BuiltIn = {QStringLiteral("NavEn"),   QStringLiteral("NavDis"),
                                            QStringLiteral("Call"),    QStringLiteral("RstRcvd"),
                                            QStringLiteral("RstSnt"),  QStringLiteral("Grid"),
                                            QStringLiteral("Dupe")};

PromptSpeaker::PromptSpeaker(WavePlayer &player, const QStringList &folders, QObject *parent)
    : QObject(parent), m_player(player), m_folders(folders)
{
}

PromptSpeaker::~PromptSpeaker() { m_player.stop(); }

QString PromptSpeaker::fileFor(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QString();
    const QString fileName = name + QStringLiteral(".wav");
    for (const QString &folder : m_folders) {
        const QString path = QDir(folder).filePath(fileName);
        if (WholeFile::isReadable(path, WholeFile::NoLimit))
            return path;
    }
    // The built-in prompts are unpacked once into a folder of this run, as
    // the sound device plays files.
    const QString resource = QStringLiteral(":/prompts/") + fileName;
    if (!QFile::exists(resource))
        return QString();
    if (!m_unpacked) {
        m_unpacked = std::make_unique<QTemporaryDir>();
        if (!m_unpacked->isValid())
            return QString();
    }
    const QString path = m_unpacked->filePath(fileName);
    if (!QFile::exists(path) && !QFile::copy(resource, path))
        return QString();
    return path;
}

void PromptSpeaker::speak(const QString &name)
{
    m_player.stop();
    const QString path = fileFor(name);
    const auto length = waveDurationMs(path);
    if (!length)
        return;
    m_lengthMs = *length;
    m_player.play(path);
}

bool PromptSpeaker::isSpeaking() const { return m_player.isPlaying(); }

void PromptSpeaker::waitUntilSpoken()
{
    if (!m_player.isPlaying())
        return;
    QEventLoop loop;
    connect(&m_player, &WavePlayer::ended, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(int(m_lengthMs + 1000));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // A device that never reported the end is silenced now.
    m_player.stop();
}

namespace {
PromptSpeaker *speaker = nullptr;
} // namespace

namespace VoiceNavigation {
void announce(const QString &prompt)
{
    if (speaker)
        speaker->speak(prompt);
}
bool isPlaying() { return speaker && speaker->isSpeaking(); }
void waitUntilSpoken()
{
    if (speaker)
        speaker->waitUntilSpoken();
}
void setSpeaker(PromptSpeaker *s) { speaker = s; }
} // namespace VoiceNavigation
