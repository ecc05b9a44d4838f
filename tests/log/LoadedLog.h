#pragma once
// Builds a log file from records and reads it back through the store's full
// reload, so that tests see the mirror exactly as the program does (date and
// time order, record numbers from 1).
#include "log/LogStore.h"
#include "support/TestLog.h"

#include <gtest/gtest.h>

inline LogMirror loadedMirror(const std::vector<QsoRecord> &records)
{
    TempLog log;
    log.add(records);
    LogStore store;
    QString error;
    EXPECT_TRUE(store.open(log.path, &error)) << error.toStdString();
    EXPECT_TRUE(store.reload(&error)) << error.toStdString();
    EXPECT_EQ(store.recordCount(), static_cast<int>(records.size()));
    return store.mirror();
}
