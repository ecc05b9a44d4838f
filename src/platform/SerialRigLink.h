#pragma once
// A rig on a numbered serial port (SerialPorts maps the number to a device).
// The port is held through the PortArbiter, so a keying line that opens the
// same device takes it over and the rig is told it lost the port.
#include "platform/PortArbiter.h"
#include "platform/RigLink.h"

#include <QSerialPort>


struct SerialLineSettings {
    int portNumber = 1;
    int baud = 4800;
    char parity = 'N'; // N, O or E
    int dataBits = 8;
    int stopBits = 1;
    bool hardwareHandshake = false;
    bool softwareHandshake = false; // XON/XOFF (with RTS/CTS when both are set)
    char power = 'N'; // N, R: raise RTS, D: raise DTR
    // Whose port it is: the rig's CAT line, or the spotting TNC's line.
    PortRole role = PortRole::Rig;
};

class SerialRigLink : public RigLink {
    Q_OBJECT
public:
    SerialRigLink(const SerialLineSettings &settings, PortArbiter *arbiter, QObject *parent = nullptr);
    ~SerialRigLink() override;
    bool open(QString *error) override;
    void close() override;
    bool isReady() const override { return m_port.isOpen(); }
    void write(const QByteArray &bytes) override;
    QByteArray readAll() override { return m_port.readAll(); }
    qint64 bytesToWrite() const override { return m_port.bytesToWrite(); }

private:
    void shut(const QString &lostWhy);

    SerialLineSettings m_settings;
    PortArbiter *m_arbiter;
    QSerialPort m_port;
    bool m_held = false;
};
