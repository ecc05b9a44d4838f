#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reasonOf(int err) { return qt_error_string(err); }

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// The file a path writes to: the target of a link, else the path itself.
QString targetOf(const QString &path)
{
    const QFileInfo fi(path);
    if (fi.isSymLink())
        return QFileInfo(fi.symLinkTarget()).absoluteFilePath();
    return fi.absoluteFilePath();
}

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Forces what was written to the disk. File systems that cannot sync say so
// with EINVAL; that is no write error.
bool syncFd(int fd) { return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP; }

// The folder's entry for the new name reaches the disk too.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &contents, QString *error)
{
    const QString target = targetOf(path);
    const QFileInfo fi(target);
    struct stat old {};
    const bool exists = ::stat(QFile::encodeName(target).constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return fail(error, QStringLiteral("%1 is not a file").arg(QDir::toNativeSeparators(target)));

    QByteArray temp = QFile::encodeName(QDir(fi.absolutePath()).filePath(
        QStringLiteral(".") + fi.fileName() + QStringLiteral(".XXXXXX")));
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return fail(error, reasonOf(errno));
    // The new file keeps the permissions of the one it replaces.
    ::fchmod(fd, exists ? (old.st_mode & 07777) : newFileMode());

    int err = 0;
    if (!writeAll(fd, contents) || !syncFd(fd))
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temp.constData(), QFile::encodeName(target).constData()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.constData());
        return fail(error, reasonOf(err));
    }
    syncFolder(fi.absolutePath());
    return true;
}

bool replaceWithFinishedFile(const QString &from, const QString &to, QString *error)
{
    const QByteArray src = QFile::encodeName(from);
    int err = 0;
    const int fd = ::open(src.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
    } else {
        if (!syncFd(fd))
            err = errno;
        if (::close(fd) != 0 && err == 0)
            err = errno;
    }
    const QString target = targetOf(to);
    if (err == 0 && ::rename(src.constData(), QFile::encodeName(target).constData()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(src.constData());
        return fail(error, reasonOf(err));
    }
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}
