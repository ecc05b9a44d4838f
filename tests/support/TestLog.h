#pragma once
// Helpers for tests that need a real log file.
#include "log/QsoRecord.h"

#include <QString>
#include <QTemporaryDir>
#include <vector>

// A new empty log in a temporary folder.
struct TempLog {
    TempLog();
    QTemporaryDir dir;
    QString path;
    // Adds records straight into the file through a connection of its own.
    void add(const std::vector<QsoRecord> &records) const;
    int count() const;
};

QsoRecord qso(const QString &call, const QString &band, const QString &gridr,
              const QString &grids = QStringLiteral("FN20"), const QString &mode = QStringLiteral("CW"),
              const QString &date = QStringLiteral("2026/06/13"),
              const QString &time = QStringLiteral("18:00:00"));

// Records written into a real log file and read back through the store's
// full reload, as the program sees them (date and time order, numbered from 1).
LogMirror loadedMirror(const std::vector<QsoRecord> &records);
// The rows of a log file as the full reload reads them.
std::vector<QsoRecord> rowsOf(const QString &path);

// Runs the helper process with arguments; returns its exit code.
int runHelper(const QStringList &args, int timeoutMs = 120000);
