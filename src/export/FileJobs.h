#pragma once
// Long file work done away from the window: reading the whole shared log for
// an export, building the file's text and writing it, copying the log for the
// archive. The jobs run one at a time, in the order given, on a thread of
// their own; each job's outcome comes back through the event loop, so the
// operator goes on typing and logging meanwhile. Every file is written
// through a temporary file that takes its name only when complete. At the end
// of the program the job under way is finished (its file is then whole) and
// the jobs not yet started are dropped.
#include "log/QsoRecord.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <functional>
#include <optional>

struct JobOutcome {
    bool ok = false;
    QString path;           // the file written
    QString why;            // why it was not written
    int changedRecords = 0; // records whose values had to be changed to fit the file
    QString report;         // what a job that only reads found
};

class FileJobs : public QObject {
    Q_OBJECT
public:
    using Work = std::function<JobOutcome()>;
    using Done = std::function<void(const JobOutcome &)>;

    explicit FileJobs(QObject *parent = nullptr);
    ~FileJobs() override;

    // Runs work on the jobs' thread, then done on this object's thread.
    void run(Work work, Done done);
    // Jobs given and not yet answered.
    int pending() const { return m_pending; }

signals:
    // The last job given was answered.
    void idle();

private:
    QThreadPool m_pool;
    int m_pending = 0;
};

// The whole log at path in the order the contact list shows it, read on a
// connection of the calling thread's own; nothing when it cannot be read.
std::optional<LogMirror> readWholeLogAt(const QString &path, QString *why = nullptr);
