#pragma once
// Appending many contacts to the shared log without shutting the other PCs
// out, and still all or nothing.
//
// The records are first staged in memory: duplicates of the log and of each
// other are left out there, against the log's keys read once, without any
// lock. They are then written in batches, each its own short transaction, so
// that other PCs log their contacts between two batches. Each batch writes,
// in the same transaction, a marker row into tblAppendBatch naming the append
// (a run), this PC and program, and the row range the batch took. Only when
// the last batch is in are the run's markers deleted, and with that the
// append is complete. When a batch fails, the batches already written are
// taken out again through their markers. When even that fails (the share is
// gone) or the program ends half-way, the markers stay behind and the rows
// they name are taken out the next time a copy opens the log: at once for
// this PC's own program that has ended or is not appending, after an hour
// without a new batch for another PC's run.
//
// Between two batches the duplicate filter looks at the contacts other PCs
// logged meanwhile, so that an append never adds a contact that was logged
// while it ran.
#include "log/QsoRecord.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

class LogEngine;
class LogStore;

namespace BatchAppend {

struct Options {
    int batchSize = 1000;
    bool eliminateDuplicates = true;
    // Called after each batch, with the log unlocked, with the number of
    // contacts written so far.
    std::function<void(int written)> afterBatch;
};

struct Outcome {
    bool ok = false;
    int appended = 0; // contacts in the log when ok
    int skipped = 0;  // duplicates left out
    // Not ok: contacts written before the failure that could not be taken
    // out yet; the next opening of the log takes them out.
    int leftOver = 0;
    QString error;
};

Outcome append(LogStore &store, const std::vector<QsoRecord> &records, const Options &options = {});

// Takes out the contacts of appends that ended half-way (see above), at the
// station's UTC now; returns how many were taken out.
int removeUnfinished(LogEngine &engine, const QDateTime &utcNow);

// A run's markers unchanged for this long belong to an append that ended.
constexpr qint64 AbandonedAfterSecs = 3600;

} // namespace BatchAppend
