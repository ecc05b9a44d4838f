#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString whatItIs(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a named pipe, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, not a file");
    return QStringLiteral("it is not a regular file");
}

// The reason a file with this status is not read, or an empty text.
QString refusal(const struct stat &st, qint64 maxBytes)
{
    if (!S_ISREG(st.st_mode))
        return whatItIs(st.st_mode);
    if (maxBytes >= 0 && st.st_size > maxBytes)
        return QStringLiteral("it holds %1 bytes, more than the %2 bytes such a file can have")
            .arg(st.st_size)
            .arg(maxBytes);
    return QString();
}

WholeFile::Read refused(const QString &reason)
{
    WholeFile::Read r;
    r.status = WholeFile::Read::Status::Refused;
    r.reason = reason;
    return r;
}

} // namespace

namespace WholeFile {

bool isReadable(const QString &path, qint64 maxBytes, QString *reason)
{
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (reason)
            *reason = path.isEmpty() ? QStringLiteral("no file was named") : qt_error_string(errno);
        return false;
    }
    const QString why = refusal(st, maxBytes);
    if (reason)
        *reason = why;
    return why.isEmpty();
}

Read read(const QString &path, qint64 maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (path.isEmpty() || ::stat(name.constData(), &st) != 0) {
        if (!path.isEmpty() && errno != ENOENT && errno != ENOTDIR)
            return refused(qt_error_string(errno));
        return Read{};
    }
    if (const QString why = refusal(st, maxBytes); !why.isEmpty())
        return refused(why);

    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return refused(qt_error_string(errno));
    Read r;
    r.status = Read::Status::Read;
    // What was opened may not be what was looked at.
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return refused(qt_error_string(err));
    }
    if (const QString why = refusal(st, maxBytes); !why.isEmpty()) {
        ::close(fd);
        return refused(why);
    }
    // A file that grows while it is read is still read no further than
    // the limit allows.
    const qint64 most = maxBytes >= 0 ? maxBytes : std::numeric_limits<qint64>::max() - 1;
    r.data.reserve(static_cast<qsizetype>(std::min<qint64>(st.st_size, most)));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            return refused(qt_error_string(err));
        }
        if (n == 0)
            break;
        if (r.data.size() + n > most) {
            ::close(fd);
            return refused(QStringLiteral("it grew beyond the %1 bytes such a file can have").arg(maxBytes));
        }
        r.data.append(buf, n);
    }
    ::close(fd);
    return r;
}

bool isWritableFolder(const QString &folder, QString *reason)
{
    QByteArray probe = QFile::encodeName(QDir(folder).filePath(QStringLiteral(".halvern-probe-XXXXXX")));
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        if (reason)
            *reason = qt_error_string(errno);
        return false;
    }
    int err = 0;
    if (::write(fd, "\n", 1) != 1)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    ::unlink(probe.constData());
    if (err != 0 && reason)
        *reason = qt_error_string(err);
    return err == 0;
}

} // namespace WholeFile
