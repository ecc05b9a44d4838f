#pragma once
// Writes a whole file through a temporary file that is renamed into place, so
// that a crash or a full disk never leaves half a file behind.
#include <QByteArray>
#include <QString>

bool writeFileAtomically(const QString &path, const QByteArray &contents, QString *error = nullptr);
