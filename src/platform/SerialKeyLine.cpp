#include "platform/SerialKeyLine.h"

#include "platform/KeyLineSafety.h"

#include <QSerialPort>
#include <sys/ioctl.h>
#include <termios.h>

namespace {
// Drops both modem lines of a port from the signal handler.
void releaseSerial(int fd, int)
{
    int bits = TIOCM_RTS | TIOCM_DTR;
    ::ioctl(fd, TIOCMBIC, &bits);
}

QString lineName(KeyLine::Signal s) { return s == KeyLine::Signal::Rts ? QStringLiteral("RTS") : QStringLiteral("DTR"); }
} // namespace

std::unique_ptr<SerialKeyLine> SerialKeyLine::open(const QString &device, QString *error)
{
    std::unique_ptr<SerialKeyLine> line(new SerialKeyLine);
    line->m_port = std::make_unique<QSerialPort>();
    line->m_port->setPortName(device);
    if (!line->m_port->open(QIODevice::ReadWrite)) {
        if (error)
            *error = device + QStringLiteral(": ") + line->m_port->errorString();
        return nullptr;
    }
    // Both lines off at once: the transmitter must not stay keyed by the
    // open itself.
    const bool rts = line->drive(Signal::Rts, false);
    const bool dtr = line->drive(Signal::Dtr, false);
    line->m_controlsLines = rts && dtr;
    if (!line->m_controlsLines)
        line->m_error = device + QStringLiteral(" does not let its RTS and DTR lines be switched (") +
                        line->m_lastRefusal + QLatin1Char(')');
    return line;
}

SerialKeyLine::~SerialKeyLine()
{
    if (m_port && m_port->isOpen()) {
        drive(Signal::Rts, false);
        drive(Signal::Dtr, false);
        m_port->close();
    }
    KeyLineSafety::discharge(m_safetySlot);
}

bool SerialKeyLine::drive(Signal s, bool on)
{
    const bool ok = s == Signal::Rts ? m_port->setRequestToSend(on) : m_port->setDataTerminalReady(on);
    if (!ok) {
        m_lastRefusal = m_port->errorString();
        m_error = m_port->portName() + QStringLiteral(" refused to switch ") + lineName(s) +
                  QStringLiteral(": ") + m_lastRefusal;
        m_port->clearError();
    }
    return ok;
}

bool SerialKeyLine::setKey(bool down)
{
    if (down == m_down)
        return true;
    if (!drive(m_signal, down)) {
        // A refused key-down leaves the line as it was; a refused key-up is
        // tried once more on both lines by the handle itself.
        if (!down)
            releaseSerial(int(m_port->handle()), 0);
        return false;
    }
    m_down = down;
    if (down) {
        m_safetySlot = KeyLineSafety::enlist(int(m_port->handle()), releaseSerial);
    } else {
        KeyLineSafety::discharge(m_safetySlot);
        m_safetySlot = -1;
    }
    return true;
}

bool SerialKeyLine::useSignal(Signal s)
{
    if (s == m_signal)
        return true;
    if (m_down && !setKey(false))
        return false;
    m_signal = s;
    return true;
}

QString SerialKeyLine::device() const { return m_port->portName(); }
