#pragma once
// Spoken prompts that announce the entry fields and dupes. The entry code asks
// for a prompt by name ("Call", "RstRcvd", "Grid", "RstSnt", "Dupe"); the
// player that speaks them is plugged in here. Until one is, prompts are only
// remembered, so the entry behaves the same with and without sound.
#include <QString>
#include <QStringList>
#include <functional>

namespace VoiceNavigation {
void announce(const QString &prompt);
// Whether a prompt is still being played.
bool isPlaying();
// The player: called with each prompt; nothing by default.
void setPlayer(std::function<void(const QString &)> player,
               std::function<bool()> playing = nullptr);
// The prompts asked for so far (for tests), and forgetting them.
const QStringList &announced();
void clearAnnounced();
} // namespace VoiceNavigation
