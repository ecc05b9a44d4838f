#include "platform/SerialRigLink.h"

#include "platform/PortArbiter.h"
#include "platform/SerialPorts.h"

SerialRigLink::SerialRigLink(const SerialLineSettings &settings, PortArbiter *arbiter, QObject *parent)
    : RigLink(parent), m_settings(settings), m_arbiter(arbiter)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // A device that vanished or stopped answering; failed line settings
        // on an adapter that lacks them are not a lost port.
        if (e == QSerialPort::ResourceError && m_port.isOpen())
            shut(QStringLiteral("the serial device %1 stopped working (%2)")
                     .arg(m_port.portName(), m_port.errorString()));
    });
}

SerialRigLink::~SerialRigLink() { close(); }

bool SerialRigLink::open(QString *error)
{
    close();
    const QString device = SerialPorts::devicePath(m_settings.portNumber);
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(device, why);
        m_port.close();
        return false;
    };
    if (m_arbiter) {
        // Whatever else holds this device gives way first.
        m_arbiter->hold(m_settings.role, m_settings.portNumber, [this] {
            m_held = false;
            shut(QStringLiteral("the port was taken for keying"));
        });
        m_held = true;
    }
    m_port.setPortName(device);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QString why = m_port.errorString();
        close();
        return fail(why);
    }
    const auto parity = m_settings.parity == 'O'   ? QSerialPort::OddParity
                        : m_settings.parity == 'E' ? QSerialPort::EvenParity
                                                   : QSerialPort::NoParity;
    if (!m_port.setBaudRate(m_settings.baud)) {
        const QString why = QStringLiteral("the rate %1 is not available on this port").arg(m_settings.baud);
        close();
        return fail(why);
    }
    if (!m_port.setParity(parity) || !m_port.setDataBits(QSerialPort::DataBits(m_settings.dataBits)) ||
        !m_port.setStopBits(m_settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) ||
        !m_port.setFlowControl(m_settings.hardwareHandshake   ? QSerialPort::HardwareControl
                               : m_settings.softwareHandshake ? QSerialPort::SoftwareControl
                                                              : QSerialPort::NoFlowControl)) {
        const QString why = m_port.errorString();
        close();
        return fail(why);
    }
    // The modem lines: low, then the one that powers the interface. A
    // pseudo-terminal has none; that is no reason to refuse it.
    m_port.setDataTerminalReady(m_settings.power == 'D');
    if (!m_settings.hardwareHandshake)
        m_port.setRequestToSend(m_settings.power == 'R');
    m_port.clearError();
    return true;
}

void SerialRigLink::shut(const QString &lostWhy)
{
    const bool wasOpen = m_port.isOpen();
    m_port.close();
    if (wasOpen && !lostWhy.isEmpty())
        emit lost(lostWhy);
}

void SerialRigLink::close()
{
    m_port.close();
    if (m_held && m_arbiter) {
        m_held = false;
        m_arbiter->close(m_settings.role);
    }
}

void SerialRigLink::write(const QByteArray &bytes)
{
    if (m_port.isOpen())
        m_port.write(bytes);
}
