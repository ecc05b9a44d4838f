// Appending another log or a text backup to the open log: the refusals, the
// duplicate filter and the all-or-nothing write, on real log files.
#include "export/Append.h"
#include "export/ExportLog.h"
#include "platform/SeqFile.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

std::vector<QsoRecord> someContacts()
{
    return {
        qso(QStringLiteral("K1ABC"), QStringLiteral("144 M"), QStringLiteral("FN42"),
            QStringLiteral("FN20"), QStringLiteral("CW"), QStringLiteral("2026/06/13"),
            QStringLiteral("18:00:00")),
        // the same station worked again after the rover moved on
        qso(QStringLiteral("K1ABC"), QStringLiteral("144 M"), QStringLiteral("FN42"),
            QStringLiteral("FN21"), QStringLiteral("CW"), QStringLiteral("2026/06/13"),
            QStringLiteral("19:00:00")),
        qso(QStringLiteral("W2XYZ"), QStringLiteral("432 M"), QStringLiteral("FN30"),
            QStringLiteral("FN20"), QStringLiteral("PH"), QStringLiteral("2026/06/13"),
            QStringLiteral("18:30:00")),
    };
}

QString backupFile(const QTemporaryDir &dir, const std::vector<QsoRecord> &records,
                   const QString &name = QStringLiteral("BckUpLog.dat"))
{
    SeqWriter w;
    for (const QsoRecord &r : records)
        w.textLine(r.values());
    const QString path = dir.filePath(name);
    EXPECT_TRUE(w.save(path));
    return path;
}

std::vector<QsoRecord> sorted(std::vector<QsoRecord> v)
{
    std::sort(v.begin(), v.end(), [](const QsoRecord &a, const QsoRecord &b) {
        return a.values().join(u'|') < b.values().join(u'|');
    });
    return v;
}

struct OpenLog {
    OpenLog(const std::vector<QsoRecord> &records = {})
    {
        log.add(records);
        QString e;
        EXPECT_TRUE(store.open(log.path, &e)) << e.toStdString();
    }
    TempLog log;
    LogStore store;
};

TEST(Append, OntoItselfIsRefusedHoweverSpelled)
{
    OpenLog target(someContacts());
    const QString path = target.log.path;
    const QString dir = target.log.dir.path();
    ASSERT_TRUE(QDir(dir).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QFile::link(path, target.log.dir.filePath(QStringLiteral("link.mdb"))));
    const QStringList spellings{
        path,
        path.toUpper(),
        path.toLower(),
        QStringLiteral("  ") + path + QStringLiteral(" "),
        QDir::current().relativeFilePath(path),
        dir + QStringLiteral("/./Halvern.MDB"),
        dir + QStringLiteral("/sub/../halvern.mdb"),
        dir + QStringLiteral("/link.mdb"),
    };
    for (const QString &s : spellings) {
        for (bool filter : {true, false}) {
            const Append::Result r = Append::appendFile(target.store, s, filter);
            EXPECT_EQ(r.status, Append::Result::Status::SameFile) << s.toStdString();
            EXPECT_EQ(r.error, QStringLiteral("You can not append the same file onto itself."));
        }
    }
    EXPECT_EQ(target.log.count(), 3);
}

TEST(Append, OtherFilesAreNotTheLogItself)
{
    OpenLog target;
    TempLog other;
    EXPECT_FALSE(Append::sameFile(other.path, target.log.path));
    // A file whose name differs only in case, and that exists beside the log,
    // is another file.
    const QString twin = target.log.dir.filePath(QStringLiteral("halvern.mdb"));
    ASSERT_TRUE(QFile::copy(other.path, twin));
    EXPECT_FALSE(Append::sameFile(twin, target.log.path));
}

TEST(Append, BackupOfTheSameLog)
{
    OpenLog target(someContacts());
    ASSERT_TRUE(target.store.reload());
    QTemporaryDir dir;
    const QString backup = dir.filePath(QStringLiteral("BckUpLog.dat"));
    ASSERT_TRUE(target.store.writeBackup(backup));

    Append::Result r = Append::appendFile(target.store, backup, true);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.read, 3);
    EXPECT_EQ(r.appended, 0);
    EXPECT_EQ(r.skipped, 3);
    EXPECT_EQ(target.log.count(), 3);

    r = Append::appendFile(target.store, backup, false);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.appended, 3);
    std::vector<QsoRecord> twice = someContacts();
    for (const QsoRecord &q : someContacts())
        twice.push_back(q);
    EXPECT_EQ(sorted(rowsOf(target.log.path)), sorted(twice));
}

TEST(Append, RoverContactsFromTwoOwnGridsBothGoIn)
{
    OpenLog target;
    QTemporaryDir dir;
    const auto contacts = someContacts();
    const Append::Result r =
        Append::appendFile(target.store, backupFile(dir, {contacts[0], contacts[1]}), true);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.appended, 2);
    EXPECT_EQ(r.skipped, 0);
    EXPECT_EQ(target.log.count(), 2);
}

TEST(Append, DuplicateRule)
{
    const QsoRecord logged = someContacts()[0];
    struct Case {
        const char *what;
        std::function<void(QsoRecord &)> change;
        bool duplicate;
    };
    const Case cases[] = {
        {"the same contact", [](QsoRecord &) {}, true},
        {"other letter case",
         [](QsoRecord &r) {
             r.calls = r.calls.toLower();
             r.uband = r.uband.toLower();
             r.gridr = r.gridr.toLower();
             r.grids = r.grids.toLower();
         },
         true},
        {"other mode, date and time",
         [](QsoRecord &r) {
             r.umode = QStringLiteral("PH");
             r.flddate = QStringLiteral("2026/06/14");
             r.fldtime = QStringLiteral("01:00:00");
         },
         true},
        {"other band", [](QsoRecord &r) { r.uband = QStringLiteral("432 M"); }, false},
        {"other grid received", [](QsoRecord &r) { r.gridr = QStringLiteral("FN43"); }, false},
        {"other own grid", [](QsoRecord &r) { r.grids = QStringLiteral("FN21"); }, false},
    };
    for (const Case &c : cases) {
        OpenLog target({logged});
        QsoRecord incoming = logged;
        c.change(incoming);
        QTemporaryDir dir;
        const Append::Result r = Append::appendFile(target.store, backupFile(dir, {incoming}), true);
        EXPECT_TRUE(r.ok()) << c.what;
        EXPECT_EQ(r.skipped, c.duplicate ? 1 : 0) << c.what;
        EXPECT_EQ(target.log.count(), c.duplicate ? 1 : 2) << c.what;
    }
}

TEST(Append, ContactHeldTwiceInTheFileGoesInOnce)
{
    OpenLog target;
    QTemporaryDir dir;
    const QsoRecord c = someContacts()[2];
    const Append::Result r = Append::appendFile(target.store, backupFile(dir, {c, c}), true);
    EXPECT_EQ(r.appended, 1);
    EXPECT_EQ(r.skipped, 1);
}

TEST(Append, RestoresFromAnotherLogFile)
{
    std::vector<QsoRecord> contacts = someContacts();
    contacts[2].calls = QStringLiteral("O'HARA");
    contacts[2].rstr = QStringLiteral("5'9");
    TempLog source;
    source.add(contacts);
    QTemporaryDir dir;
    const QString lowerCase = dir.filePath(QStringLiteral("w1aw2012-06-10.mdb"));
    ASSERT_TRUE(QFile::copy(source.path, lowerCase));

    for (const QString &file : {source.path, lowerCase}) {
        OpenLog target;
        const Append::Result r = Append::appendFile(target.store, file, true);
        EXPECT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(r.appended, 3);
        EXPECT_EQ(sorted(rowsOf(target.log.path)), sorted(contacts)) << file.toStdString();
    }
}

TEST(Append, QuotesInABackupAreKept)
{
    std::vector<QsoRecord> contacts = someContacts();
    contacts[0].calls = QStringLiteral("K1'AB");
    contacts[1].gridr = QStringLiteral("FN'2");
    OpenLog target;
    QTemporaryDir dir;
    const Append::Result r = Append::appendFile(target.store, backupFile(dir, contacts), true);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(sorted(rowsOf(target.log.path)), sorted(contacts));
}

TEST(Append, FileNameDecidesHowItIsRead)
{
    struct Case {
        const char *name;
        bool database;
    };
    for (const Case &c : {Case{"log.MDB", true}, Case{"log.mdb", true}, Case{"log.Mdb  ", true},
                          Case{"BckUpLog.dat", false}, Case{"log.DAT", false}, Case{"log", false},
                          Case{"log.mdb.txt", false}})
        EXPECT_EQ(Append::isDatabaseName(QString::fromLatin1(c.name)), c.database) << c.name;
}

TEST(Append, FilesThatAreNoLogAreRefused)
{
    QTemporaryDir dir;
    auto file = [&dir](const char *name, const QByteArray &bytes) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    };
    QByteArray jet("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    jet += QByteArray(4076, '\x5a');
    const QString jetFile = file("contest.mdb", jet);

    const QString foreignDb = dir.filePath(QStringLiteral("other.mdb"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        db.setDatabaseName(foreignDb);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("create table contacts (call text, band text)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));

    TempLog ourLog;
    ourLog.add(someContacts());
    const QString renamedLog = dir.filePath(QStringLiteral("renamed.dat"));
    ASSERT_TRUE(QFile::copy(ourLog.path, renamedLog));

    SeqWriter good;
    good.textLine(someContacts()[0].values());
    const QStringList files{
        jetFile,
        foreignDb,
        renamedLog,
        file("notes.dat", "Call,Band,Grid\r\nK1ABC,144,FN42\r\n"),
        file("short.dat", good.data() + "\"W1AW\",\"59\",\"FN31\"\r\n"),
        file("binary.dat", QByteArray("\"a\",\"b\"\x00\x01", 9)),
        dir.filePath(QStringLiteral("missing.dat")),
        dir.filePath(QStringLiteral("missing.mdb")),
    };
    const QByteArray foreignBytes = readAll(foreignDb);
    OpenLog target(someContacts());
    for (const QString &f : files) {
        const Append::Result r = Append::appendFile(target.store, f, false);
        EXPECT_EQ(r.status, Append::Result::Status::NotReadable) << f.toStdString();
        EXPECT_EQ(r.appended, 0);
        EXPECT_TRUE(r.error.contains(QDir::toNativeSeparators(f))) << r.error.toStdString();
        EXPECT_TRUE(r.error.contains(QStringLiteral("Nothing was appended"))) << r.error.toStdString();
    }
    EXPECT_EQ(target.log.count(), 3);
    EXPECT_TRUE(QFileInfo::exists(jetFile));
    // The other programs' files are left as they were.
    EXPECT_EQ(readAll(jetFile), jet);
    EXPECT_EQ(readAll(foreignDb), foreignBytes);
}

TEST(Append, RefusedInsertLeavesTheLogAsItWas)
{
    OpenLog target(someContacts());
    {
        // The log refuses one call, as a full disk or a lost share would
        // refuse a write half-way.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("trigger"));
        db.setDatabaseName(target.log.path);
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral(
            "create trigger refuse before insert on tblLog when new.calls = 'REFUSED' "
            "begin select raise(abort, 'refused'); end")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("trigger"));

    std::vector<QsoRecord> incoming;
    for (int i = 0; i < 5; ++i)
        incoming.push_back(qso(QStringLiteral("N%1NEW").arg(i), QStringLiteral("222 M"),
                               QStringLiteral("EM10")));
    incoming.push_back(qso(QStringLiteral("REFUSED"), QStringLiteral("222 M"), QStringLiteral("EM10")));
    QTemporaryDir dir;
    const Append::Result r = Append::appendFile(target.store, backupFile(dir, incoming), false);
    EXPECT_EQ(r.status, Append::Result::Status::Failed);
    EXPECT_EQ(r.appended, 0);
    EXPECT_TRUE(r.error.contains(QStringLiteral("Nothing was appended"))) << r.error.toStdString();
    EXPECT_EQ(sorted(rowsOf(target.log.path)), sorted(someContacts()));

    // The log takes new contacts afterwards.
    incoming.pop_back();
    EXPECT_TRUE(Append::appendFile(target.store, backupFile(dir, incoming), false).ok());
    EXPECT_EQ(target.log.count(), 8);
}

} // namespace
