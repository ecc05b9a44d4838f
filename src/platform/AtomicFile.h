#pragma once
// Writes a whole file through a temporary file in the same folder that takes
// the file's name only once every byte of it is written and on the disk. A
// full disk, a lost share or any other write error leaves the old file as it
// was and returns false with the reason ("No space left on device").
#include <QByteArray>
#include <QString>

bool writeFileAtomically(const QString &path, const QByteArray &contents, QString *error = nullptr);

// Puts the finished file `from` (written beside `to`) in place of `to`:
// its contents are forced to the disk first, so that the new name never
// points at data still in the machine's memory. `from` is removed on failure.
bool replaceWithFinishedFile(const QString &from, const QString &to, QString *error = nullptr);
