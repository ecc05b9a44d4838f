// The archive command: the dated name, the copy through the engine's snapshot
// (also while another copy of the program logs), and that the log is open and
// the refresh timer running afterwards whatever the operator or the disk did.
#include "export/Archive.h"
#include "support/TestLog.h"
#include "platform/Clock.h"
#include "platform/LogEngine.h"
#include "support/ScriptedDialogs.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QSet>
#include <QTimer>

namespace {

TEST(Archive, EveryWayEndsWithTheLogOpenAndTheTimerRunning)
{
    TempFolders folders;
    const QDate day(2012, 6, 10);
    Clock::setFixed(QDateTime(day, QTime(14, 0)), QDateTime(day, QTime(18, 0)));
    QTemporaryDir out;
    TempLog log;
    log.add({qso("K1ABC", "144 M", "FN42"), qso("W2XYZ", "432 M", "FN30"), qso("N3AAA", "50 M", "FM19")});
    LogStore store;
    ASSERT_TRUE(store.open(log.path));
    QTimer timer;
    timer.start(60000);
    ScriptedDialogs dialogs;

    using Status = Archive::Outcome::Status;
    struct Case {
        const char *what;
        QString chosen; // the file the operator picks; empty cancels
        bool closeFirst;
        Status status;
        const char *copy; // the file expected to hold the copy
    };
    ASSERT_TRUE(writeBytes(out.filePath("c.MDB"), "an older archive"));
    const Case cases[] = {
        {"cancelled", "", false, Status::Cancelled, nullptr},
        {"copied", out.filePath("a.mdb"), false, Status::Copied, "a.mdb"},
        {"name without extension", out.filePath("b"), false, Status::Copied, "b.mdb"},
        {"replacing an earlier file", out.filePath("c.MDB"), false, Status::Copied, "c.MDB"},
        {"folder missing", out.filePath("gone/d.mdb"), false, Status::Failed, nullptr},
        {"the log itself", log.path, false, Status::Failed, nullptr},
        {"log closed before", out.filePath("e.mdb"), true, Status::Copied, "e.mdb"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.clear();
        if (c.closeFirst)
            store.close();
        if (!c.chosen.isEmpty())
            dialogs.files.push_back(c.chosen);
        const Archive::Outcome o = Archive::run(nullptr, store, log.path, "K1ABC/R", &timer);
        EXPECT_EQ(o.status, c.status) << o.error.toStdString();
        EXPECT_TRUE(store.isOpen());
        EXPECT_TRUE(timer.isActive());
        EXPECT_EQ(dialogs.shown.at(0).title, "Archive Information");
        EXPECT_EQ(dialogs.last("save").text, "Log Files (*.mdb) | *.mdb");
        EXPECT_EQ(dialogs.last("save").defaultText, Folders::dataFolders().backup + "/K1ABC2012-06-10.mdb");
        EXPECT_EQ(dialogs.sawTitle("Archive Failed"), c.status == Status::Failed);
        if (c.copy) {
            EXPECT_EQ(o.path, out.filePath(c.copy));
            EXPECT_EQ(rowsOf(o.path), rowsOf(log.path));
        }
        EXPECT_EQ(log.count(), 3);
    }
    Clock::useSystem();
}

// The rows' calls of a log file, and whether the engine finds it whole.
struct Snapshot {
    QSet<QString> calls;
    QString integrity;
};

Snapshot snapshotOf(const QString &path)
{
    Snapshot s;
    LogEngine e;
    QString error;
    EXPECT_TRUE(e.open(path, &error)) << error.toStdString();
    if (auto q = e.select("PRAGMA integrity_check"); q && q->next())
        s.integrity = q->value(0).toString();
    if (auto q = e.select("select calls from tbllog"))
        while (q->next())
            s.calls.insert(q->value(0).toString());
    return s;
}

// Contacts W0 .. W(n-1), as the helper logs them one after another.
QSet<QString> firstContacts(qsizetype n)
{
    QSet<QString> s;
    for (qsizetype i = 0; i < n; ++i)
        s.insert(QStringLiteral("W%1").arg(i));
    return s;
}

TEST(ArchiveCopy, TakenWhileAnotherCopyLogsHoldsEveryCommittedContact)
{
    TempLog log;
    LogStore store;
    ASSERT_TRUE(store.open(log.path));

    // Another copy of the program logs contacts one by one, each its own
    // committed write; far more than it can log while the test runs.
    const int planned = 1000000;
    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedChannels);
    writer.start(QString::fromLocal8Bit(qgetenv("HALVERN_HELPER")),
                 {"insert", log.path, "W", "FN31", "FN20", "144 M", "CW", QString::number(planned)});
    ASSERT_TRUE(writer.waitForStarted());

    double committed = 0;
    const QDeadlineTimer deadline(60000);
    while (committed < 50 && !deadline.hasExpired())
        committed = store.countRecords().value_or(0);
    ASSERT_GE(committed, 50) << "the other copy did not start logging";

    QTemporaryDir out;
    const QString copy = out.filePath("K1ABC2012-06-10.mdb");
    QString error;
    const bool copied = Archive::copyLog(store.engine(), copy, &error);
    const bool stillLogging = writer.state() == QProcess::Running;
    writer.kill();
    writer.waitForFinished(30000);
    ASSERT_TRUE(copied) << error.toStdString();
    EXPECT_TRUE(stillLogging);

    EXPECT_TRUE(LogEngine::isLogFile(copy, &error)) << error.toStdString();
    const Snapshot s = snapshotOf(copy);
    EXPECT_EQ(s.integrity, "ok");
    EXPECT_GE(s.calls.size(), committed);
    EXPECT_LT(s.calls.size(), planned);
    EXPECT_EQ(s.calls, firstContacts(s.calls.size())) << "a contact is missing from the copy";

    // The live log goes on with every contact the other copy committed.
    const Snapshot live = snapshotOf(log.path);
    EXPECT_EQ(live.integrity, "ok");
    EXPECT_GE(live.calls.size(), s.calls.size());
    EXPECT_EQ(live.calls, firstContacts(live.calls.size()));
}

} // namespace
