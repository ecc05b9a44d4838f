#include "keying/VoiceKeyer.h"

#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/KeyLine.h"
#include "platform/PortArbiter.h"
#include "platform/SeqFile.h"
#include "platform/WavePlayer.h"

#include <QTimer>
#include <cmath>
#include <utility>

const QString VoiceKeyer::InvalidPortText = QStringLiteral(
    "The port you have selected for Phone keying is invalid.  Please select another or enter 0 for none.");
const QString VoiceKeyer::InvalidPortTitle = QStringLiteral("Invalid port.");

namespace {
// The leading number of a field as typed ("3x" is 3, "x" is 0).
double leadingNumber(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype n = 0;
    while (n < t.size() && (t[n].isDigit() || (n == 0 && (t[n] == '-' || t[n] == '+')) || t[n] == '.'))
        ++n;
    return parseNumber(t.left(n)).value_or(0);
}
} // namespace

// ---------------------------------------------------------------- settings

bool VoiceSettings::load(const QString &path)
{
    auto reader = SeqReader::fromFile(path);
    if (!reader)
        return false;
    for (QString &file : waveFiles) {
        const auto v = reader->nextText();
        if (!v)
            return false;
        file = v->trimmed();
    }
    const auto port = reader->nextText();
    if (!port)
        return false;
    pttPort = *port;
    const auto line = reader->nextNumber();
    if (!line)
        return false;
    pttLine = *line == 1 ? PttLine::Dtr : *line == 2 ? PttLine::Parallel : PttLine::Rts;
    const auto delay = reader->nextText();
    if (!delay)
        return false;
    loopDelay = *delay;
    const auto address = reader->nextText();
    if (!address)
        return false;
    printerAddress = *address;
    return true;
}

QByteArray VoiceSettings::fileData() const
{
    SeqWriter w;
    for (const QString &file : waveFiles)
        w.text(file.trimmed()).endLine();
    w.text(pttPort).endLine();
    w.number(int(pttLine)).endLine();
    w.text(loopDelay).endLine();
    w.text(printerAddress).endLine();
    return w.data();
}

bool VoiceSettings::save(const QString &path, QString *error) const
{
    return writeFileAtomically(path, fileData(), error);
}

int VoiceSettings::portNumber() const { return int(leadingNumber(pttPort)); }

std::optional<double> VoiceSettings::loopSeconds() const
{
    const auto seconds = parseNumber(loopDelay);
    if (seconds && *seconds >= 0 && *seconds < 60)
        return seconds;
    return std::nullopt;
}

// ---------------------------------------------------------------- keyer

VoiceKeyer::VoiceKeyer(PortArbiter &ports, WavePlayer &player, QObject *parent)
    : QObject(parent), m_ports(ports), m_player(player)
{
    m_poll = new QTimer(this);
    m_poll->setObjectName(QStringLiteral("Timer1"));
    m_poll->setInterval(40);
    connect(m_poll, &QTimer::timeout, this, &VoiceKeyer::checkEnd);
    m_repeat = new QTimer(this);
    m_repeat->setObjectName(QStringLiteral("tmrRepeat"));
    m_repeat->setSingleShot(true);
    connect(m_repeat, &QTimer::timeout, this, [this] { play(F1); });
    // The player's word that the sound ended is taken at once; the poll is
    // only the fallback.
    connect(&m_player, &WavePlayer::ended, this, [this](const QString &why) {
        if (!m_active)
            return;
        if (!why.isEmpty())
            m_repeatPending = false;
        finish(false);
    });
}

VoiceKeyer::~VoiceKeyer()
{
    release();
    m_ports.close(PortRole::Ptt);
}

void VoiceKeyer::loadSettings(const QString &path)
{
    settings.load(path);
    applyLoopDelay();
}

bool VoiceKeyer::saveSettings(const QString &path, QString *error) const { return settings.save(path, error); }

void VoiceKeyer::applyLoopDelay()
{
    const auto seconds = settings.loopSeconds();
    if (!seconds)
        settings.loopDelay = QStringLiteral("0");
    m_repeat->setInterval(int(std::lround(seconds.value_or(0) * 1000)));
}

bool VoiceKeyer::usesLine() const
{
    return settings.pttLine == VoiceSettings::PttLine::Parallel || settings.portNumber() > 0;
}

bool VoiceKeyer::setupPort()
{
    KeyLineRequest request;
    if (settings.pttLine == VoiceSettings::PttLine::Parallel)
        request = KeyLineRequest::parallel(settings.printerAddress);
    else if (settings.portNumber() > 0)
        request = KeyLineRequest::serial(settings.portNumber());
    else {
        m_ports.close(PortRole::Ptt);
        return true;
    }
    KeyLine *line = m_ports.open(PortRole::Ptt, request, nullptr);
    if (!line) {
        beep();
        msgBox(nullptr, InvalidPortText, InvalidPortTitle);
        emit portSetupFailed();
        return false;
    }
    line->useSignal(settings.pttLine == VoiceSettings::PttLine::Dtr ? KeyLine::Signal::Dtr : KeyLine::Signal::Rts);
    line->setKey(false);
    return true;
}

bool VoiceKeyer::pttDown() const
{
    const KeyLine *line = m_ports.line(PortRole::Ptt);
    return line && line->isDown();
}

void VoiceKeyer::keyPtt(bool down)
{
    KeyLine *line = m_ports.line(PortRole::Ptt);
    if (!down) {
        if (line && line->isDown()) {
            line->setKey(false);
            emit pttChanged(false);
        }
        return;
    }
    if (!usesLine())
        return;
    // The port is opened when it is configured but not open (or another
    // role took it away).
    if (!line) {
        if (!setupPort())
            return;
        line = m_ports.line(PortRole::Ptt);
    }
    if (line && !line->isDown() && line->setKey(true))
        emit pttChanged(true);
}

void VoiceKeyer::play(int keyCode)
{
    if (keyCode < F1 || keyCode > F9)
        return;
    // What is playing stops; push-to-talk stays down when a new file follows.
    const bool wasActive = std::exchange(m_active, false);
    m_poll->stop();
    m_player.stop();
    const QString path = settings.waveFiles[size_t(keyCode - F1)].trimmed();
    const auto length = path.isEmpty() ? std::nullopt : waveDurationMs(path);
    if (!length) {
        if (wasActive) {
            keyPtt(false);
            emit playbackEnded();
        }
        return;
    }
    if (keyCode == F1 && settings.loopSeconds().value_or(0) > 0)
        m_repeatPending = true;
    keyPtt(true);
    m_active = true;
    m_player.play(path);
    // A player that failed at once has already ended it. The time allowed
    // runs from when the player has taken the file: setting up the sound
    // device the first time can take a while.
    if (m_active) {
        m_deadlineNs = Clock::monotonicNs() + (*length + OverrunMs) * 1000000;
        m_poll->start();
    }
}

void VoiceKeyer::checkEnd()
{
    if (!m_active) {
        m_poll->stop();
        return;
    }
    if (!m_player.isPlaying())
        finish(false);
    else if (Clock::monotonicNs() >= m_deadlineNs)
        finish(true);
}

void VoiceKeyer::finish(bool timedOut)
{
    m_active = false;
    m_poll->stop();
    if (timedOut || m_player.isPlaying())
        m_player.stop();
    keyPtt(false);
    if (m_repeatPending)
        m_repeat->start();
    emit playbackEnded();
}

void VoiceKeyer::stop()
{
    if (m_active)
        finish(false);
}

void VoiceKeyer::stopRepeat()
{
    m_repeatPending = false;
    m_repeat->stop();
}

void VoiceKeyer::release()
{
    stopRepeat();
    if (m_active) {
        m_active = false;
        m_poll->stop();
        m_player.stop();
    }
    keyPtt(false);
}
