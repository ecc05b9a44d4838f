#include "support/TestDisk.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
QByteArray native(const QString &path) { return QFile::encodeName(path); }
} // namespace

TestDisk::TestDisk(int kilobytes)
{
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    if (::mount("tmpfs", native(path()).constData(), "tmpfs", 0, options.constData()) == 0)
        m_mounted = true;
    else
        m_why = QStringLiteral("mounting a small disk is not permitted here (%1)")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

TestDisk::~TestDisk()
{
    if (!m_bound.isEmpty())
        ::umount2(native(m_bound).constData(), MNT_DETACH);
    if (m_mounted)
        ::umount2(native(path()).constData(), MNT_DETACH);
}

void TestDisk::fill()
{
    const int fd = ::open(native(filePath(QStringLiteral("filler"))).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const QByteArray block(4096, 'f');
    while (::write(fd, block.constData(), static_cast<size_t>(block.size())) > 0) {
    }
    // The last partial page too.
    while (::write(fd, "f", 1) > 0) {
    }
    ::close(fd);
}

bool TestDisk::makeReadOnly()
{
    return m_mounted
           && ::mount("tmpfs", native(path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

bool TestDisk::bindFile(const QString &file, const QString &target)
{
    if (::mount(native(file).constData(), native(target).constData(), nullptr, MS_BIND, nullptr) != 0)
        return false;
    m_bound = target;
    return true;
}
