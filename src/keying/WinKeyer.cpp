#include "keying/WinKeyer.h"

#include "keying/WinKeyProtocol.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/KeyLineSafety.h"
#include "platform/PortArbiter.h"
#include "platform/SeqFile.h"
#include "platform/SerialPorts.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <unistd.h>

namespace {
constexpr qint64 NsPerMs = 1000000;
constexpr char EchoProbe = 'U';

const QString NoConnectionTitle = QStringLiteral("Unable to establish connection with Winkey.");

QString noConnectionText(int port)
{
    return QStringLiteral("Unable to establish connection with WinKey on com port %1.  Please check to make sure "
                          "that you have specified the correct port and that the Winkey device is properly "
                          "connected.")
        .arg(port);
}

// From a signal handler: stop the keyer's sending and hand it back to its
// own paddles, with nothing but write().
void releaseKeyer(int fd, int)
{
    static const char stop[] = {0x0A, 0x00, 0x03};
    [[maybe_unused]] const ssize_t n = ::write(fd, stop, sizeof stop);
}
} // namespace

WinKeyer::WinKeyer(PortArbiter &ports, QObject *parent) : QObject(parent), m_ports(ports)
{
    connect(&m_port, &QSerialPort::readyRead, this, &WinKeyer::readAvailable);
    connect(&m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // The device went away (a USB keyer unplugged).
        if (e == QSerialPort::ResourceError && isOpen())
            QTimer::singleShot(0, this, [this] {
                if (isOpen())
                    loseKeyer();
            });
    });
}

WinKeyer::~WinKeyer() { shut(); }

void WinKeyer::send(const QByteArray &bytes)
{
    if (m_port.isOpen())
        m_port.write(bytes);
}

void WinKeyer::readAvailable()
{
    if (!m_port.isOpen())
        return;
    const QByteArray data = m_port.readAll();
    for (char c : data) {
        const auto b = quint8(c);
        if (WinKey::isStatus(b)) {
            m_level = WinKey::statusLevel(b);
            m_lastStatusNs = Clock::monotonicNs();
        } else if (!(b & 0x80)) {
            // The speed pot's bytes (10xxxxxx) are not asked for here.
            m_answers.append(c);
        }
    }
}

bool WinKeyer::pause(int ms)
{
    QPointer<WinKeyer> self(this);
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return self;
}

std::optional<quint8> WinKeyer::awaitAnswer()
{
    const qint64 deadline = Clock::monotonicNs() + AnswerMs * NsPerMs;
    while (m_answers.isEmpty() && Clock::monotonicNs() < deadline) {
        if (!pause(10))
            return std::nullopt;
        readAvailable();
    }
    if (m_answers.isEmpty())
        return std::nullopt;
    const auto b = quint8(m_answers.front());
    m_answers.remove(0, 1);
    return b;
}

int WinKeyer::connectKeyer()
{
    if (isOpen())
        return WinKey::AlreadyOpen;
    const int port = settings.port;
    // The CW key and push-to-talk ports give way: the keyer may sit on
    // the port that keyed the CW so far.
    m_ports.hold(PortRole::WinKey, port, [this] {
        m_held = false;
        const bool wasOpen = isOpen();
        shut();
        if (wasOpen) {
            emit stateText(QStringLiteral("Closed"));
            emit versionChanged(0);
        }
    });
    m_held = true;
    auto fail = [this](int code) {
        shut();
        return code;
    };
    m_port.setPortName(SerialPorts::devicePath(port));
    if (port <= 0 || !m_port.open(QIODevice::ReadWrite))
        return fail(WinKey::ComOpenFailed);
    if (!m_port.setBaudRate(WinKey::Baud) || !m_port.setDataBits(QSerialPort::Data8) ||
        !m_port.setParity(QSerialPort::NoParity) || !m_port.setStopBits(QSerialPort::TwoStop) ||
        !m_port.setFlowControl(QSerialPort::NoFlowControl))
        return fail(WinKey::SetComFailed);
    // Keyers powered from the port take it from DTR; a pseudo-terminal has
    // no modem lines, which is no reason to refuse it.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(false);
    m_port.clearError();
    m_port.readAll();
    m_answers.clear();

    send(WinKey::echoTest(EchoProbe));
    const auto echo = awaitAnswer();
    if (!echo)
        return fail(WinKey::NoEchoResponse);
    if (*echo != quint8(EchoProbe))
        return fail(WinKey::EchoMismatch);
    send(WinKey::hostOpen());
    const auto version = awaitAnswer();
    if (!version || *version == 0)
        return fail(WinKey::NoOpenResponse);
    m_version = *version;
    m_level = WinKey::LevelIdle;
    m_lastStatusNs = Clock::monotonicNs();
    KeyLineSafety::installSignalHandlers();
    m_safetySlot = KeyLineSafety::enlist(int(m_port.handle()), releaseKeyer);
    return WinKey::Success;
}

int WinKeyer::open()
{
    if (m_opening)
        return WinKey::NotOpen;
    m_opening = true;
    QPointer<WinKeyer> self(this);
    const int code = connectKeyer();
    if (!self)
        return code;
    m_opening = false;
    if (!isOpen() && code != WinKey::AlreadyOpen)
        msgBox(nullptr, noConnectionText(settings.port), NoConnectionTitle);
    const QString text = WinKey::resultText(code);
    if (!text.isEmpty())
        emit stateText(text);
    if (code != WinKey::AlreadyOpen) {
        applySettings();
        if (isOpen())
            emit versionChanged(m_version);
    }
    return code;
}

void WinKeyer::shut()
{
    if (m_port.isOpen()) {
        if (isOpen()) {
            send(WinKey::clearBuffer() + WinKey::hostClose());
            m_port.waitForBytesWritten(200);
        }
        m_port.close();
    }
    KeyLineSafety::discharge(std::exchange(m_safetySlot, -1));
    m_version = 0;
    m_level = WinKey::LevelIdle;
    if (std::exchange(m_held, false))
        m_ports.close(PortRole::WinKey);
}

void WinKeyer::close()
{
    shut();
    emit stateText(QStringLiteral("Closed"));
    emit versionChanged(0);
}

void WinKeyer::loseKeyer()
{
    shut();
    emit stateText(WinKey::resultText(WinKey::NotOpen));
    emit versionChanged(0);
    emit lost();
}

int WinKeyer::status()
{
    readAvailable();
    return isOpen() ? m_level : 0;
}

void WinKeyer::clearBuffer() { send(WinKey::clearBuffer()); }

void WinKeyer::backspace() { send(WinKey::backspace()); }

bool WinKeyer::waitForRoom(const QString &text)
{
    qint64 asked = Clock::monotonicNs();
    while (status() > WinKey::LevelBusy) {
        if (text.isEmpty() || !isOpen())
            return false;
        const qint64 now = Clock::monotonicNs();
        if (now - m_lastStatusNs >= SilenceMs * NsPerMs) {
            loseKeyer();
            return false;
        }
        // A keyer sends its status when it changes; asking now and then
        // tells a slow drain from a keyer that is gone.
        if (now - asked >= StatusRequestMs * NsPerMs) {
            send(WinKey::requestStatus());
            asked = now;
        }
        if (!pause(10))
            return false;
    }
    return true;
}

void WinKeyer::transmit(QString &text)
{
    // Called again from a key pressed during the feed (or while the keyer
    // is being opened for it): the running feed takes up what was added.
    if (m_feeding || m_opening)
        return;
    if (!isOpen()) {
        QPointer<WinKeyer> self(this);
        open();
        if (!self)
            return;
        if (!isOpen()) {
            text.clear();
            return;
        }
    }
    m_feeding = true;
    QPointer<WinKeyer> self(this);
    while (!text.isEmpty()) {
        if (!waitForRoom(text)) {
            if (!self)
                return;
            break;
        }
        if (text.isEmpty())
            break;
        const QByteArray ch = WinKey::character(text.front());
        text.remove(0, 1);
        send(ch);
        if (!pause(10))
            return;
    }
    if (!isOpen())
        text.clear();
    m_feeding = false;
}

void WinKeyer::applyWpm()
{
    if (const auto v = settings.accept(WinKeySettings::Wpm))
        send(WinKey::speed(*v));
}

void WinKeyer::applyWeight()
{
    if (const auto v = settings.accept(WinKeySettings::Weight))
        send(WinKey::weight(*v));
}

void WinKeyer::applyLeadTail()
{
    const auto leadIn = settings.accept(WinKeySettings::LeadIn);
    const auto tail = settings.accept(WinKeySettings::Tail);
    if (leadIn && tail)
        send(WinKey::leadTail(*leadIn, *tail));
}

void WinKeyer::applyRatio()
{
    if (const auto v = settings.accept(WinKeySettings::Ratio))
        send(WinKey::ratio(*v));
}

void WinKeyer::applyPinsAndMode()
{
    send(WinKey::pinConfig(settings.pinConfig));
    send(WinKey::mode(settings.keyerMode));
}

void WinKeyer::applySettings()
{
    applyWpm();
    applyWeight();
    applyLeadTail();
    applyRatio();
    applyPinsAndMode();
}

void WinKeyer::followCwSpeed(const QString &wpm)
{
    const auto v = parseNumber(wpm);
    if (v && *v > 4 && *v < 100 && isOpen())
        send(WinKey::speed(int(*v)));
}
