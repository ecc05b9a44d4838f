// The archive command: the dated name, the copy through the engine's snapshot
// (also while another copy of the program logs), and that the log is open and
// the refresh timer running afterwards whatever the operator or the disk did.
#include "export/Archive.h"
#include "export/ExportLog.h"
#include "platform/Clock.h"
#include "platform/LogEngine.h"
#include "support/ScriptedDialogs.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QSet>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(Archive, DatedFileName)
{
    TempFolders folders;
    const QDate day(2012, 6, 10);
    struct Case {
        const char *call;
        const char *name;
    };
    for (const Case &c : {Case{"K1ABC/R", "K1ABC2012-06-10.mdb"}, Case{"W1AW", "W1AW2012-06-10.mdb"},
                          Case{" W1AW ", "W1AW2012-06-10.mdb"}, Case{"", "YourCall2012-06-10.mdb"}}) {
        EXPECT_EQ(Archive::fileName(QString::fromLatin1(c.call), day), QString::fromLatin1(c.name));
        EXPECT_EQ(Archive::proposedPath(QString::fromLatin1(c.call), day),
                  Folders::dataFolders().product + QStringLiteral("/BACKUP/") +
                      QString::fromLatin1(c.name));
    }
}

struct ArchiveFixture : ::testing::Test {
    void SetUp() override
    {
        Clock::setFixed(QDateTime(QDate(2012, 6, 10), QTime(14, 0)),
                        QDateTime(QDate(2012, 6, 10), QTime(18, 0)));
        log.add({qso(QStringLiteral("K1ABC"), QStringLiteral("144 M"), QStringLiteral("FN42")),
                 qso(QStringLiteral("W2XYZ"), QStringLiteral("432 M"), QStringLiteral("FN30")),
                 qso(QStringLiteral("N3AAA"), QStringLiteral("50 M"), QStringLiteral("FM19"))});
        ASSERT_TRUE(store.open(log.path));
        timer.setInterval(60000);
        timer.start();
    }
    void TearDown() override { Clock::useSystem(); }

    TempFolders folders;
    QTemporaryDir out;
    TempLog log;
    LogStore store;
    QTimer timer;
    ScriptedDialogs dialogs;
};

TEST_F(ArchiveFixture, EveryWayEndsWithTheLogOpenAndTheTimerRunning)
{
    struct Case {
        const char *what;
        std::function<QString()> choose; // the file the operator picks; empty cancels
        Archive::Outcome::Status status;
        const char *copy; // the file expected to hold the copy
    };
    const Case cases[] = {
        {"cancelled", [] { return QString(); }, Archive::Outcome::Status::Cancelled, nullptr},
        {"copied", [this] { return out.filePath(QStringLiteral("a.mdb")); },
         Archive::Outcome::Status::Copied, "a.mdb"},
        {"name without extension", [this] { return out.filePath(QStringLiteral("b")); },
         Archive::Outcome::Status::Copied, "b.mdb"},
        {"replacing an earlier file",
         [this] {
             const QString f = out.filePath(QStringLiteral("c.MDB"));
             writeBytes(f, "an older archive");
             return f;
         },
         Archive::Outcome::Status::Copied, "c.MDB"},
        {"folder missing", [this] { return out.filePath(QStringLiteral("gone/d.mdb")); },
         Archive::Outcome::Status::Failed, nullptr},
        {"the log itself", [this] { return log.path; }, Archive::Outcome::Status::Failed, nullptr},
        {"log closed before",
         [this] {
             store.close();
             return out.filePath(QStringLiteral("e.mdb"));
         },
         Archive::Outcome::Status::Copied, "e.mdb"},
    };
    for (const Case &c : cases) {
        dialogs.clear();
        const QString chosen = c.choose();
        if (!chosen.isEmpty())
            dialogs.files.push_back(chosen);
        const Archive::Outcome o =
            Archive::run(nullptr, store, log.path, QStringLiteral("K1ABC/R"), &timer);
        EXPECT_EQ(o.status, c.status) << c.what << ": " << o.error.toStdString();
        EXPECT_TRUE(store.isOpen()) << c.what;
        EXPECT_TRUE(timer.isActive()) << c.what;

        ASSERT_GE(dialogs.shown.size(), 2) << c.what;
        EXPECT_EQ(dialogs.shown.at(0).title, QStringLiteral("Archive Information"));
        EXPECT_EQ(dialogs.shown.at(0).text, Archive::Text::InfoText);
        EXPECT_EQ(dialogs.shown.at(1).kind, QStringLiteral("save"));
        EXPECT_EQ(dialogs.shown.at(1).text, QStringLiteral("Log Files (*.mdb) | *.mdb"));
        EXPECT_EQ(dialogs.shown.at(1).defaultText,
                  Folders::dataFolders().backup + QStringLiteral("/K1ABC2012-06-10.mdb"));

        const bool failed = c.status == Archive::Outcome::Status::Failed;
        EXPECT_EQ(dialogs.sawTitle(QStringLiteral("Archive Failed")), failed) << c.what;
        if (c.copy) {
            const QString copy = out.filePath(QString::fromLatin1(c.copy));
            EXPECT_EQ(o.path, copy);
            EXPECT_EQ(rowsOf(copy), rowsOf(log.path)) << c.what;
        }
        EXPECT_EQ(log.count(), 3) << c.what;
    }
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
    if (auto q = e.select(QStringLiteral("PRAGMA integrity_check")); q && q->next())
        s.integrity = q->value(0).toString();
    if (auto q = e.select(QStringLiteral("select calls from tbllog")))
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
                 {QStringLiteral("insert"), log.path, QStringLiteral("W"), QStringLiteral("FN31"),
                  QStringLiteral("FN20"), QStringLiteral("144 M"), QStringLiteral("CW"),
                  QString::number(planned)});
    ASSERT_TRUE(writer.waitForStarted());

    double committed = 0;
    const QDeadlineTimer deadline(60000);
    while (committed < 50 && !deadline.hasExpired()) {
        if (const auto n = store.countRecords())
            committed = *n;
    }
    ASSERT_GE(committed, 50) << "the other copy did not start logging";

    QTemporaryDir out;
    const QString copy = out.filePath(QStringLiteral("K1ABC2012-06-10.mdb"));
    QString error;
    const bool copied = Archive::copyLog(store.engine(), copy, &error);
    const bool stillLogging = writer.state() == QProcess::Running;
    writer.kill();
    writer.waitForFinished(30000);
    ASSERT_TRUE(copied) << error.toStdString();
    EXPECT_TRUE(stillLogging);

    EXPECT_TRUE(LogEngine::isLogFile(copy, &error)) << error.toStdString();
    const Snapshot s = snapshotOf(copy);
    EXPECT_EQ(s.integrity, QStringLiteral("ok"));
    EXPECT_GE(s.calls.size(), committed);
    EXPECT_LT(s.calls.size(), planned);
    EXPECT_EQ(s.calls, firstContacts(s.calls.size())) << "a contact is missing from the copy";

    // The live log goes on with every contact the other copy committed.
    const Snapshot live = snapshotOf(log.path);
    EXPECT_EQ(live.integrity, QStringLiteral("ok"));
    EXPECT_GE(live.calls.size(), s.calls.size());
    EXPECT_EQ(live.calls, firstContacts(live.calls.size()));
}

} // namespace
