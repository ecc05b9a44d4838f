#pragma once
// The key on the printer port: bit 0 of the control register, bit 1 held
// set (key down writes 3, key up writes 2). The port is reached through the
// Linux parallel-port driver: /dev/parportN, claimed exclusively, the
// control register written with the driver's ioctl. N is found from the
// base address the operator types ("&H378") through
// /proc/sys/dev/parport/*/base-addr.
#include "platform/KeyLine.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

// The driver's system calls, behind one seam so that tests can check them.
class ParportDriver {
public:
    virtual ~ParportDriver() = default;
    virtual int open(const QByteArray &path) = 0;
    virtual int ioctl(int fd, unsigned long request, void *arg) = 0;
    virtual int close(int fd) = 0;
    // The text of the last failure (errno's).
    virtual QString lastError() const = 0;
    // Whether a killed program may release the port with a raw ioctl.
    virtual bool releasableFromSignal() const { return false; }

    // The real driver.
    static ParportDriver &system();
};

namespace ParallelPort {
constexpr unsigned char KeyDown = 3;
constexpr unsigned char KeyUp = 2;

// "&H378" is 888 (hexadecimal), "888" is 888; nothing when it is no number.
std::optional<quint32> parseAddress(const QString &text);
// The device whose base address is base, read from procDir; empty with the
// reason in *error when there is none.
QString deviceForBase(quint32 base, QString *error,
                      const QString &procDir = QStringLiteral("/proc/sys/dev/parport"),
                      const QString &devDir = QStringLiteral("/dev"));
} // namespace ParallelPort

class ParallelKeyLine : public KeyLine {
public:
    // Opens and claims the device, then writes key up. driver must outlive
    // the line.
    static std::unique_ptr<ParallelKeyLine> open(const QString &device, ParportDriver &driver,
                                                 QString *error);
    ~ParallelKeyLine() override;

    bool setKey(bool down) override;
    QString device() const override { return m_device; }

private:
    ParallelKeyLine(const QString &device, ParportDriver &driver) : m_device(device), m_driver(driver) {}
    bool writeControl(unsigned char value);

    QString m_device;
    ParportDriver &m_driver;
    int m_fd = -1;
    bool m_claimed = false;
    int m_safetySlot = -1;
};
