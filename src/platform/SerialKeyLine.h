#pragma once
// The key on a serial port's RTS or DTR line. The port is opened once, when
// the line is set up, and both lines are cleared at once (Linux raises them
// on open). A device that refuses modem-line control, such as a
// pseudo-terminal, still opens; the refusal is reported by setKey and
// lastError instead.
#include "platform/KeyLine.h"

#include <memory>

class QSerialPort;

class SerialKeyLine : public KeyLine {
public:
    // Opens device; nothing and the reason in *error when it cannot be opened.
    static std::unique_ptr<SerialKeyLine> open(const QString &device, QString *error);
    ~SerialKeyLine() override;

    bool setKey(bool down) override;
    bool useSignal(Signal s) override;
    QString device() const override;

    // Whether the device took the clearing of its lines when it was opened.
    bool controlsLines() const { return m_controlsLines; }

private:
    SerialKeyLine() = default;
    bool drive(Signal s, bool on);

    std::unique_ptr<QSerialPort> m_port;
    Signal m_signal = Signal::Rts;
    bool m_controlsLines = false;
    QString m_lastRefusal;
    int m_safetySlot = -1;
};
