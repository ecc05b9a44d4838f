#pragma once
// Folders and file helpers for the export tests.
#include "log/Folders.h"
#include "log/LogStore.h"
#include "support/TestLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Data folders of their own below a temporary documents folder.
struct TempFolders {
    TempFolders() { Folders::setDataFolders(Folders::findDataFolders(dir.path())); }
    ~TempFolders() { Folders::setDataFolders({}); }
    QTemporaryDir dir;
};

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
