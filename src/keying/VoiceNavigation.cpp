#include "keying/VoiceNavigation.h"

namespace {
std::function<void(const QString &)> player;
std::function<bool()> playing;
QStringList said;
} // namespace

namespace VoiceNavigation {
void announce(const QString &prompt)
{
    said.append(prompt);
    if (player)
        player(prompt);
}
bool isPlaying() { return playing ? playing() : false; }
void setPlayer(std::function<void(const QString &)> p, std::function<bool()> busy)
{
    player = std::move(p);
    playing = std::move(busy);
}
const QStringList &announced() { return said; }
void clearAnnounced() { said.clear(); }
} // namespace VoiceNavigation
