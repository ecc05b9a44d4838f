// The log store against real SQLite files: what it opens, what it reads back,
// how it sees other copies' contacts, and what its statements change.
#include "log/LogStore.h"
#include "support/TestLog.h"

#include <QFile>
#include <QTemporaryDir>

TEST(LogStore, OpensOnlyExistingLogsOfItsLayout)
{
    QTemporaryDir dir;
    LogStore s;
    QString why;
    const QString missing = dir.filePath("Halvern.MDB");
    EXPECT_FALSE(s.open(missing, &why));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_TRUE(why.contains(missing));

    const QString text = dir.filePath("text.MDB");
    const QByteArray bytes = "\"W1AW\",\"59\",\"FN31\"\r\n";
    ASSERT_TRUE(writeBytes(text, bytes));
    EXPECT_FALSE(s.open(text, &why));
    EXPECT_FALSE(s.isOpen());
    EXPECT_EQ(readAll(text), bytes); // untouched

    TempLog log;
    EXPECT_TRUE(s.open(log.path, &why)) << why.toStdString();
}

TEST(LogStore, ReloadReadsTheTableInDateAndTimeOrder)
{
    const QsoRecord c = qso("K3C", "144 M", "FM19", "FN20", "CW", "2026/06/14", "01:00:00");
    const QsoRecord a = qso("K1A", "50 M", "FN42", "FN20", "CW", "2026/06/13", "18:00:00");
    // A quote in a value is stored and found as typed.
    const QsoRecord b = qso("K2'B", "432 M", "FN\"31", "FN20", "PH", "2026/06/13", "23:59:59");
    TempLog log;
    log.add({c, a, b});
    LogStore s;
    ASSERT_TRUE(s.open(log.path));
    ASSERT_TRUE(s.reload());
    EXPECT_EQ(s.mirror().records(), (std::vector<QsoRecord>{a, b, c}));
    EXPECT_EQ(s.mirror().loadedCount, 3);
    EXPECT_FALSE(s.mirror().logChanged);
    EXPECT_EQ(s.rowsForCall("k2'b"), std::vector<QsoRecord>{b});
}

TEST(LogStore, DeleteReachesOnlyTheSelectedContact)
{
    // Two identical twins: deleting one leaves the other. (Contacts that
    // differ only in their date are the contact list's window test.)
    TempLog log;
    log.add({qso("K2XX", "50 M", "FN30"), qso("K2XX", "50 M", "FN30"),
             qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "19:00:00")});
    LogStore s;
    ASSERT_TRUE(s.open(log.path));
    ASSERT_TRUE(s.reload());
    ASSERT_EQ(s.deleteContact(1), 1);
    ASSERT_TRUE(s.reload());
    EXPECT_EQ(log.count(), 2);
    EXPECT_EQ(s.rowsForCall("K2XX")->size(), 1u);
}

TEST(LogStore, BackupHoldsOneQuotedLinePerRecord)
{
    TempLog log;
    log.add({qso("W1AW", "144 M", "FN31")});
    LogStore s;
    ASSERT_TRUE(s.open(log.path));
    ASSERT_TRUE(s.reload());
    QTemporaryDir dir;
    ASSERT_TRUE(s.writeBackup(dir.filePath("BckUpLog.dat")));
    EXPECT_EQ(readAll(dir.filePath("BckUpLog.dat")),
              "\"W1AW\",\"599\",\"FN31\",\"599\",\"FN20\",\"2026/06/13\",\"18:00:00\",\"144 M\",\"CW\"\r\n");
    // An empty log gives an empty backup file.
    ASSERT_TRUE(s.erase());
    ASSERT_TRUE(s.reload());
    ASSERT_TRUE(s.writeBackup(dir.filePath("BckUpLog.dat")));
    EXPECT_TRUE(QFile::exists(dir.filePath("BckUpLog.dat")) && readAll(dir.filePath("BckUpLog.dat")).isEmpty());
}
