#pragma once
// A line that keys a transmitter: a serial port's RTS or DTR, a bit of the
// printer port's control register, or a recording of the edges. The keying
// engine and the push-to-talk switch it on and off; every implementation
// leaves it off when it is destroyed.
#include <QString>

class KeyLine {
public:
    enum class Signal { Rts, Dtr };

    virtual ~KeyLine() = default;

    // Key down (true) or up (false). False when the device refused; the
    // reason is then in lastError().
    virtual bool setKey(bool down) = 0;
    // Which modem line of a serial port carries the key; other lines ignore
    // it. The line given up is left off.
    virtual bool useSignal(Signal) { return true; }
    // The device the line drives, as shown to the operator.
    virtual QString device() const = 0;

    bool isDown() const { return m_down; }
    // Why the last call failed, or a warning from opening (empty when none).
    QString lastError() const { return m_error; }

protected:
    bool m_down = false;
    QString m_error;
};
