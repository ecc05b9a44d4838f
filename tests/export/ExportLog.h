#pragma once
// Logs for the export tests: records written into a real log file and read
// back through the store's full reload, as the exports see them.
#include "log/Folders.h"
#include "log/LogStore.h"
#include "support/TestLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline LogMirror mirrorOf(const std::vector<QsoRecord> &records)
{
    TempLog log;
    log.add(records);
    LogStore store;
    QString error;
    EXPECT_TRUE(store.open(log.path, &error)) << error.toStdString();
    EXPECT_TRUE(store.reload(&error)) << error.toStdString();
    return store.mirror();
}

// The rows of a log file in table order.
inline std::vector<QsoRecord> rowsOf(const QString &path)
{
    LogStore store;
    QString error;
    EXPECT_TRUE(store.open(path, &error)) << error.toStdString();
    EXPECT_TRUE(store.reload(&error)) << error.toStdString();
    return store.mirror().records();
}

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
