#include "platform/ParallelKeyLine.h"

#include "platform/KeyLineSafety.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
class SystemParport : public ParportDriver {
public:
    int open(const QByteArray &path) override { return remember(::open(path.constData(), O_RDWR | O_CLOEXEC)); }
    int ioctl(int fd, unsigned long request, void *arg) override { return remember(::ioctl(fd, request, arg)); }
    int close(int fd) override { return remember(::close(fd)); }
    QString lastError() const override { return m_error; }
    bool releasableFromSignal() const override { return true; }

private:
    int remember(int result)
    {
        if (result < 0)
            m_error = QString::fromLocal8Bit(std::strerror(errno));
        return result;
    }
    QString m_error;
};

void releaseParport(int fd, int)
{
    unsigned char up = ParallelPort::KeyUp;
    ::ioctl(fd, PPWCONTROL, &up);
}
} // namespace

ParportDriver &ParportDriver::system()
{
    static SystemParport driver;
    return driver;
}

namespace ParallelPort {

std::optional<quint32> parseAddress(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    quint32 v = 0;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        v = t.mid(2).toUInt(&ok, 16);
    else
        v = t.toUInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

QString deviceForBase(quint32 base, QString *error, const QString &procDir, const QString &devDir)
{
    const QDir dir(procDir);
    const QStringList ports = dir.entryList({QStringLiteral("parport*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : ports) {
        QFile f(dir.filePath(name + QStringLiteral("/base-addr")));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        // "888\t1912": the base address and the extended one, in decimal.
        const QByteArray first = f.readAll().simplified().split(' ').value(0);
        bool ok = false;
        if (first.toUInt(&ok) == base && ok)
            return devDir + QLatin1Char('/') + name;
    }
    if (error)
        *error = QStringLiteral("No printer port at address %1 (hex %2): is the parport_pc module loaded?")
                     .arg(base)
                     .arg(base, 0, 16);
    return QString();
}

} // namespace ParallelPort

std::unique_ptr<ParallelKeyLine> ParallelKeyLine::open(const QString &device, ParportDriver &driver,
                                                       QString *error)
{
    std::unique_ptr<ParallelKeyLine> line(new ParallelKeyLine(device, driver));
    auto fail = [&](const QString &what) {
        if (error)
            *error = device + QStringLiteral(": ") + what + QStringLiteral(": ") + driver.lastError();
        return nullptr;
    };
    line->m_fd = driver.open(QFile::encodeName(device));
    if (line->m_fd < 0)
        return fail(QStringLiteral("cannot open"));
    // Exclusive before the claim: no other program may write the port while
    // it keys a transmitter.
    if (driver.ioctl(line->m_fd, PPEXCL, nullptr) < 0)
        return fail(QStringLiteral("cannot have it exclusively"));
    if (driver.ioctl(line->m_fd, PPCLAIM, nullptr) < 0)
        return fail(QStringLiteral("cannot claim it"));
    line->m_claimed = true;
    if (!line->writeControl(ParallelPort::KeyUp))
        return fail(QStringLiteral("cannot write its control register"));
    line->m_error.clear();
    return line;
}

ParallelKeyLine::~ParallelKeyLine()
{
    if (m_fd < 0)
        return;
    if (m_claimed) {
        writeControl(ParallelPort::KeyUp);
        m_driver.ioctl(m_fd, PPRELEASE, nullptr);
    }
    KeyLineSafety::discharge(m_safetySlot);
    m_driver.close(m_fd);
}

bool ParallelKeyLine::writeControl(unsigned char value)
{
    if (m_driver.ioctl(m_fd, PPWCONTROL, &value) < 0) {
        m_error = m_device + QStringLiteral(": ") + m_driver.lastError();
        return false;
    }
    return true;
}

bool ParallelKeyLine::setKey(bool down)
{
    if (down == m_down)
        return true;
    if (!writeControl(down ? ParallelPort::KeyDown : ParallelPort::KeyUp))
        return false;
    m_down = down;
    if (down && m_driver.releasableFromSignal()) {
        m_safetySlot = KeyLineSafety::enlist(m_fd, releaseParport);
    } else if (!down) {
        KeyLineSafety::discharge(m_safetySlot);
        m_safetySlot = -1;
    }
    return true;
}
