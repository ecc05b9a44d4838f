// The log store against real SQLite files: what it opens, what it reads back,
// how it sees other copies' contacts, and what its statements change.
#include "log/LogStore.h"
#include "support/TestLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(LogStore, OpensOnlyExistingLogsOfItsLayout)
{
    QTemporaryDir dir;
    LogStore s;
    QString why;
    const QString missing = dir.filePath(QStringLiteral("Halvern.MDB"));
    EXPECT_FALSE(s.open(missing, &why));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_TRUE(why.contains(missing));

    const QString text = dir.filePath(QStringLiteral("text.MDB"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"W1AW\",\"59\",\"FN31\"\r\n");
    f.close();
    EXPECT_FALSE(s.open(text, &why));
    EXPECT_FALSE(s.isOpen());
    EXPECT_EQ(QFile(text).size(), 20); // untouched

    TempLog log;
    EXPECT_TRUE(s.open(log.path, &why)) << why.toStdString();
    EXPECT_TRUE(LogEngine::isLogFile(log.path));
}

TEST(LogStore, ReloadReadsTheTableInDateAndTimeOrder)
{
    TempLog log;
    log.add({qso("K3C", "144 M", "FM19", "FN20", "CW", "2026/06/14", "01:00:00"),
             qso("K1A", "50 M", "FN42", "FN20", "CW", "2026/06/13", "18:00:00"),
             qso("K2B", "432 M", "FN31", "FN20", "PH", "2026/06/13", "23:59:59")});
    LogStore s;
    ASSERT_TRUE(s.open(log.path));
    ASSERT_TRUE(s.reload());
    ASSERT_EQ(s.recordCount(), 3);
    EXPECT_EQ(s.mirror().at(1).calls, QStringLiteral("K1A"));
    EXPECT_EQ(s.mirror().at(2).calls, QStringLiteral("K2B"));
    EXPECT_EQ(s.mirror().at(3).calls, QStringLiteral("K3C"));
    EXPECT_EQ(s.mirror().at(2).umode, QStringLiteral("PH"));
    EXPECT_EQ(s.mirror().loadedCount, 3);
    EXPECT_FALSE(s.mirror().logChanged);
}

TEST(LogStore, AQuoteInAValueIsStoredAsTyped)
{
    TempLog log;
    LogStore s;
    ASSERT_TRUE(s.open(log.path));
    QsoRecord r = qso(QStringLiteral("W1'AW"), "144 M", QStringLiteral("FN\"31"));
    ASSERT_TRUE(s.insert(r));
    auto rows = s.rowsForCall(QStringLiteral("w1'aw"));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ(rows->front(), r);
    ASSERT_TRUE(s.reload());
    EXPECT_EQ(s.recordCount(), 1);
}

TEST(LogStore, TheChangeCheckSeesOtherCopiesButNotItsOwnContacts)
{
    TempLog log;
    LogStore mine, other;
    ASSERT_TRUE(mine.open(log.path));
    ASSERT_TRUE(other.open(log.path));
    ASSERT_TRUE(mine.reload());
    EXPECT_EQ(mine.checkForChanges(), LogStore::CheckResult::Unchanged);

    // Our own contact grows loadedCount with the insert.
    const QsoRecord own = qso("W1AW", "144 M", "FN31");
    const auto id = mine.insert(own);
    ASSERT_TRUE(id);
    mine.appendOwn(own, *id);
    EXPECT_EQ(mine.checkForChanges(), LogStore::CheckResult::Unchanged);
    EXPECT_FALSE(mine.mirror().logChanged);

    // Another copy's contact is seen at once.
    ASSERT_TRUE(other.insert(qso("K2XX", "144 M", "FN30")));
    EXPECT_EQ(mine.checkForChanges(), LogStore::CheckResult::Changed);
    EXPECT_TRUE(mine.mirror().logChanged);
    EXPECT_EQ(mine.mirror().loadedCount, 2);
    ASSERT_TRUE(mine.reload());
    EXPECT_EQ(mine.recordCount(), 2);
    EXPECT_FALSE(mine.mirror().logChanged);

    // A failing count (the file gone) reports a failure.
    mine.close();
    EXPECT_EQ(mine.checkForChanges(), LogStore::CheckResult::Failed);
}

TEST(LogStore, DeleteAndUpdateReachOnlyTheSelectedContact)
{
    TempLog log;
    // Same call, band and time on two dates, and two identical twins.
    log.add({qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00"),
             qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/14", "18:00:00"),
             qso("K2XX", "50 M", "FN30", "FN20", "CW", "2026/06/14", "19:00:00"),
             qso("K2XX", "50 M", "FN30", "FN20", "CW", "2026/06/14", "19:00:00")});
    LogStore s;
    ASSERT_TRUE(s.open(log.path));
    ASSERT_TRUE(s.reload());
    ASSERT_EQ(s.deleteContact(1), 1); // the 13 June contact only
    ASSERT_TRUE(s.reload());
    ASSERT_EQ(s.recordCount(), 3);
    EXPECT_EQ(s.mirror().at(1).flddate, QStringLiteral("2026/06/14"));

    ASSERT_EQ(s.deleteContact(3), 1); // one of the twins
    ASSERT_TRUE(s.reload());
    ASSERT_EQ(s.recordCount(), 2);
    EXPECT_EQ(s.mirror().at(2).calls, QStringLiteral("K2XX"));

    QsoRecord changed = s.mirror().at(1);
    changed.fldtime = QStringLiteral("18:05:00");
    ASSERT_EQ(s.updateContact(1, QStringLiteral("w1aw"), changed), 1);
    ASSERT_TRUE(s.reload());
    EXPECT_EQ(s.mirror().at(1).fldtime, QStringLiteral("18:05:00"));

    ASSERT_TRUE(s.erase());
    ASSERT_TRUE(s.reload());
    EXPECT_EQ(s.recordCount(), 0);
}

TEST(LogStore, BackupHoldsOneQuotedLinePerRecord)
{
    TempLog log;
    log.add({qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00")});
    LogStore s;
    ASSERT_TRUE(s.open(log.path));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BckUpLog.dat"));
    ASSERT_TRUE(s.reload());
    ASSERT_TRUE(s.writeBackup(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\"W1AW\",\"599\",\"FN31\",\"599\",\"FN20\",\"2026/06/13\","
                                      "\"18:00:00\",\"144 M\",\"CW\"\r\n"));
    f.close();
    ASSERT_TRUE(s.erase());
    ASSERT_TRUE(s.reload());
    ASSERT_TRUE(s.writeBackup(path));
    EXPECT_EQ(QFile(path).size(), 0);
}
