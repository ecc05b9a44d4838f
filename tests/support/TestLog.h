#pragma once
// Helpers for tests that need a real log file and the files around it.
#include "log/Folders.h"
#include "log/LogStore.h"
#include "log/QsoRecord.h"
#include "support/PgServer.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

// Failures show texts as texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QsoRecord &r, std::ostream *os) { PrintTo(r.values().join(u','), os); }

// Where a test's log lies: a file, or a database on the test server.
enum class LogKind { File, Server };
// Names the instances of a test run on both kinds of log.
std::string logKindName(const ::testing::TestParamInfo<LogKind> &info);
// Skips the test when it asks for a server log and no test server runs.
#define SKIP_WITHOUT_SERVER(kind)                                                                  \
    if ((kind) == LogKind::Server && !PgServer::get().running())                                   \
    GTEST_SKIP() << "no PostgreSQL test server: " << PgServer::get().whyNot().toStdString()

// A new empty log in a temporary folder, or in a new database on the test
// server; path is the file or the server log's address.
struct TempLog {
    explicit TempLog(LogKind kind = LogKind::File);
    QTemporaryDir dir;
    QString path;
    // Adds records straight into the file through a connection of its own.
    void add(const std::vector<QsoRecord> &records) const;
    int count() const;
};

// Data folders of their own below a temporary documents folder.
struct TempFolders {
    TempFolders() { Folders::setDataFolders(Folders::findDataFolders(dir.path())); }
    ~TempFolders() { Folders::setDataFolders({}); }
    QTemporaryDir dir;
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

// Runs one SQL statement on the file through a connection of its own (the
// file is created when missing): another program's database, or a trigger
// that makes the log refuse a write.
bool execSql(const QString &path, const QString &statement);

// Runs the helper process with arguments; returns its exit code.
int runHelper(const QStringList &args, int timeoutMs = 120000);

// Another program holding a log until release() or the end of the scope:
// "wal" keeps a file open in write-ahead mode, "exclusive" keeps the log
// locked against reading and writing by a transaction.
struct HeldLog {
    HeldLog(const QString &path, const QString &how);
    ~HeldLog() { release(); }
    void release();
    bool ready = false;
    QProcess process;
};

// Another copy of the program changing a log file at random (seeded):
// change(n) makes n changes, each committed on its own, and returns once
// they are in the file.
struct ChangingLog {
    ChangingLog(const QString &path, unsigned seed);
    ~ChangingLog();
    bool change(int n);
    bool ready = false;
    QProcess process;
};

// Whole-file reads and writes for files the tests prepare or inspect.
QByteArray readAll(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);
// The lines of a file written with CR LF line ends, without the empty tail.
QStringList fileLines(const QString &path);
