#pragma once
// Every file the program reads goes through here first. Only a regular file
// (a link to one is fine) of a sane size is read: a device such as /dev/zero,
// a named pipe, a folder or a huge file is refused with the reason, without
// ever opening it, so that nothing can block the window or fill the memory.
#include <QByteArray>
#include <QString>

namespace WholeFile {

// Size limits of the files read whole.
constexpr qint64 SettingsLimit = qint64(1) << 20;  // settings and preference files
constexpr qint64 BackupLimit = qint64(256) << 20;  // a text backup of a log
constexpr qint64 NoLimit = -1;                     // files read piecewise (the log itself)

struct Read {
    enum class Status {
        Read,    // data holds the whole file
        Missing, // there is no file at the path
        Refused, // the path names something that is not read; reason says why
    };
    Status status = Status::Missing;
    QByteArray data;
    QString reason;
    bool ok() const { return status == Status::Read; }
};

// Checks, without opening anything, that path names a regular file of at
// most maxBytes (NoLimit: any size). Returns the reason when it does not
// ("it is a named pipe, not a file").
bool isReadable(const QString &path, qint64 maxBytes, QString *reason = nullptr);

// Reads the whole file after the check above. The file is opened so that
// even a pipe swapped in after the check cannot block, and looked at again
// once open.
Read read(const QString &path, qint64 maxBytes);

// Whether a new file can be written in folder: a file is really created there
// and removed again, so read-only disks and shares are found as well as
// folders without permission. The reason comes back when it cannot.
bool isWritableFolder(const QString &folder, QString *reason = nullptr);

} // namespace WholeFile
