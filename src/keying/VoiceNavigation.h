#pragma once
// Spoken prompts that announce the entry fields and dupes. The entry code asks
// for a prompt by name ("Call", "RstRcvd", "Grid", "RstSnt", "Dupe"); the
// speaker that plays them is plugged in here. Until one is, prompts are
// silent, so the entry behaves the same with and without sound.
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QTemporaryDir;
class WavePlayer;

// Plays the prompt "<name>.wav" from the first folder that holds it: the
// operator's own files first, then the prompts that come with the program.
// A prompt cuts off the one still playing; a missing file is silent.
class PromptSpeaker : public QObject {
    Q_OBJECT
public:
    // folders: searched in order; the prompts built into the program are
    // the last resort.
    PromptSpeaker(WavePlayer &player, const QStringList &folders, QObject *parent = nullptr);
    ~PromptSpeaker() override;

    void speak(const QString &name);
    bool isSpeaking() const;
    // Returns once the prompt has ended, running the events of everything
    // but the operator's keyboard and mouse meanwhile; never longer than
    // the prompt's length and one second, even when the sound device never
    // reports the end.
    void waitUntilSpoken();
    // The file a prompt is played from; empty when there is none.
    QString fileFor(const QString &name);

    // The prompts built into the program.
    static const QStringList BuiltIn;

private:
    WavePlayer &m_player;
    QStringList m_folders;
    std::unique_ptr<QTemporaryDir> m_unpacked;
    qint64 m_lengthMs = 0;
};

namespace VoiceNavigation {
void announce(const QString &prompt);
// Whether a prompt is still being played.
bool isPlaying();
// Waits for the prompt being played, as PromptSpeaker::waitUntilSpoken.
void waitUntilSpoken();
// The speaker (not owned); nullptr for silence.
void setSpeaker(PromptSpeaker *speaker);
} // namespace VoiceNavigation
