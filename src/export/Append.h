#pragma once
// Combining logs and restoring from a backup: the contacts of another log
// file of this program, or of a text backup ("BckUpLog.dat"), are appended to
// the open shared log, optionally leaving out those it already holds. The
// source is only read, never changed. The append is written in batches that
// let other PCs log in between, and is still all or nothing (BatchAppend.h).
#include "log/BatchAppend.h"
#include "log/QsoRecord.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class LogStore;

namespace Append {

struct Result {
    enum class Status {
        Appended,   // the records are in the log
        SameFile,   // the file is the open log itself; nothing done (the window
                    // beeps and shows SameFileText titled SameFileTitle)
        NotReadable, // the file cannot be read or is not a log; nothing appended
        Failed,     // the log refused the records; nothing appended
    };
    Status status = Status::Failed;
    int read = 0;     // records found in the file
    int appended = 0; // records added to the log
    int skipped = 0;  // duplicates left out
    // Records the log cannot use, left out: where each stood in the file and
    // why ("line 3: the band \"40 M\" is not one of the log's bands").
    QStringList refused;
    QString error;    // the message for the user when nothing was appended
    bool ok() const { return status == Status::Appended; }
};

// Whether two spellings name the same file: relative or absolute, through
// links, and whatever the case of their letters.
bool sameFile(const QString &a, const QString &b);

// Whether the file is read as a log database (its name ends in MDB, any case)
// rather than as a text backup.
bool isDatabaseName(const QString &path);

// The records of a text backup: nine quoted values per line. A file of any
// other shape gives nothing, with the reason. lines, when given, receives the
// line number (from 1) of each record.
std::optional<std::vector<QsoRecord>> readBackup(const QString &path, QString *error = nullptr,
                                                 std::vector<int> *lines = nullptr);
// The records of another log file of this program, read through a connection
// of its own. A file that is no such log gives nothing, with the reason.
std::optional<std::vector<QsoRecord>> readLogFile(const QString &path, QString *error = nullptr);

// An incoming record is already in the log when a row has the same call,
// band, received grid and own grid, ignoring case and comparing grids by
// their square. So a rover's contact with a station from a new own grid is
// not a duplicate.
bool isDuplicate(const QsoRecord &incoming, const std::vector<QsoRecord> &rowsWithSameCall);

// Appends the records of the file at sourcePath (trimmed) to the open log.
// Each record is first checked against what the log holds (RecordRules.h):
// those the log cannot use are left out and listed in refused by their line
// of a backup or their row of a log file; the others are appended, all or
// nothing. The caller reloads the mirror afterwards. options sets the batches
// (its duplicate flag is eliminateDuplicates).
Result appendFile(LogStore &store, const QString &sourcePath, bool eliminateDuplicates,
                  const BatchAppend::Options &options = {});
// Appends records already read, checked as above; where[i] names where
// record i stood ("line 3"), "record i+1" when where is empty.
Result appendRecords(LogStore &store, const std::vector<QsoRecord> &records,
                     bool eliminateDuplicates, BatchAppend::Options options = {},
                     const QStringList &where = {});

namespace Text {
inline const QString MenuCaption = QStringLiteral("&Combine or Restore from Backup");
inline const QString WindowTitle = QStringLiteral("Append Data or Restore From Backup");
inline const QString PathLabel = QStringLiteral("Enter path and file to append to your primary file:");
inline const QString BrowseButton = QStringLiteral("Browse");
inline const QString AppendButton = QStringLiteral("Append");
inline const QString DoneButton = QStringLiteral("Done");
inline const QString EliminateCheck = QStringLiteral("Eliminate Duplicates from imported file");
inline const QString Warning1 = QStringLiteral(
    "This function appends (adds) records to your existing primary data file.  Once initiated, "
    "it can not be undone.");
inline const QString Warning2 = QStringLiteral(
    "If you wish to clear your primary data file before proceeding, first exit this form and "
    "click New from the File menu.");
inline const QString Warning3 = QStringLiteral(
    "Be very careful!  Improper use of this function will render your database unuseable!");
inline const QString BrowseFilter = QStringLiteral("*.DAT; *.MDB|*.DAT; *.MDB");
inline const QString UncheckTitle = QStringLiteral("Are you sure");
inline const QString UncheckQuestion = QStringLiteral(
    "Are you sure?  Once imported, duplicates can only be removed manually and will not be "
    "identified by the program.");
inline const QString SameFileTitle = QStringLiteral("Invalid Request!");
inline const QString SameFileText = QStringLiteral("You can not append the same file onto itself.");
inline const QString FailedTitle = QStringLiteral("Nothing Appended");
inline const QString DoneTitle = QStringLiteral("Append Complete");
// "12 contacts were appended; 3 duplicates were left out.", followed by the
// records refused, each with its place and reason.
QString done(const Result &r);
} // namespace Text

} // namespace Append
