// The archive copy through the engine's snapshot, taken while another copy
// of the program logs.
#include "export/Archive.h"
#include "platform/LogEngine.h"
#include "support/TestLog.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QSet>

namespace {

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
