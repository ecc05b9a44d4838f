// Appending another log or a text backup to the open log: the refusals, the
// duplicate filter, the source left untouched and the all-or-nothing write in
// batches, on real log files; and the archive copy through the engine's
// snapshot, taken while another copy of the program logs.
#include "export/Append.h"
#include "export/Archive.h"
#include "platform/LogEngine.h"
#include "log/Logging.h"
#include "platform/Clock.h"
#include "platform/SeqFile.h"
#include "support/TestLog.h"

#include "log/Bands.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QDir>
#include <QSet>
#include <QSysInfo>

#include <algorithm>
#include <functional>
#include <memory>
#include <string_view>

namespace {

std::vector<QsoRecord> someContacts()
{
    return {
        qso("K1ABC", "144 M", "FN42", "FN20", "CW", "2026/06/13", "18:00:00"),
        // the same station worked again after the rover moved on
        qso("K1ABC", "144 M", "FN42", "FN21", "CW", "2026/06/13", "19:00:00"),
        qso("W2XYZ", "432 M", "FN30", "FN20", "PH", "2026/06/13", "18:30:00"),
    };
}

QString backupFile(const QTemporaryDir &dir, const std::vector<QsoRecord> &records)
{
    SeqWriter w;
    for (const QsoRecord &r : records)
        w.textLine(r.values());
    const QString path = dir.filePath("BckUpLog.dat");
    EXPECT_TRUE(w.save(path));
    return path;
}

std::vector<QsoRecord> sorted(std::vector<QsoRecord> v)
{
    std::sort(v.begin(), v.end(),
              [](const QsoRecord &a, const QsoRecord &b) { return a.values().join(u'|') < b.values().join(u'|'); });
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
    ASSERT_TRUE(QDir(dir).mkdir("sub"));
    ASSERT_TRUE(QFile::link(path, target.log.dir.filePath("link.mdb")));
    const QStringList spellings{
        path, path.toUpper(), path.toLower(), "  " + path + " ", QDir::current().relativeFilePath(path),
        dir + "/./Halvern.MDB", dir + "/sub/../halvern.mdb", dir + "/link.mdb",
    };
    for (const QString &s : spellings) {
        for (bool filter : {true, false}) {
            const Append::Result r = Append::appendFile(target.store, s, filter);
            EXPECT_EQ(r.status, Append::Result::Status::SameFile) << s.toStdString();
            EXPECT_EQ(r.error, "You can not append the same file onto itself.");
        }
    }
    EXPECT_EQ(target.log.count(), 3);

    // Another log is not the log itself, nor is a file beside it whose name
    // differs only in case.
    TempLog other;
    EXPECT_FALSE(Append::sameFile(other.path, path));
    const QString twin = target.log.dir.filePath("halvern.mdb");
    ASSERT_TRUE(QFile::copy(other.path, twin));
    EXPECT_FALSE(Append::sameFile(twin, path));
}

TEST(Append, BackupOfTheSameLog)
{
    OpenLog target(someContacts());
    ASSERT_TRUE(target.store.reload());
    QTemporaryDir dir;
    const QString backup = dir.filePath("BckUpLog.dat");
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

TEST(Append, DuplicateRule)
{
    // The same call, band, received grid and own grid, in any letter case,
    // whatever the mode, date and time.
    const QsoRecord k1abc = someContacts()[0], moved = someContacts()[1];
    struct Case {
        const char *what;
        std::vector<QsoRecord> inLog, inFile;
        int appended, skipped;
    };
    const Case cases[] = {
        {"the same contact", {k1abc}, {k1abc}, 0, 1},
        {"other letter case", {k1abc}, {qso("k1abc", "144 m", "fn42", "fn20")}, 0, 1},
        {"other mode, date and time", {k1abc}, {qso("K1ABC", "144 M", "FN42", "FN20", "PH", "2026/06/14", "01:00")}, 0, 1},
        {"other band", {k1abc}, {qso("K1ABC", "432 M", "FN42")}, 1, 0},
        {"other grid received", {k1abc}, {qso("K1ABC", "144 M", "FN43")}, 1, 0},
        {"other own grid", {k1abc}, {moved}, 1, 0},
        {"a rover's contacts from two own grids", {}, {k1abc, moved}, 2, 0},
        {"a contact held twice in the file", {}, {k1abc, k1abc}, 1, 1},
        {"six-character locators in the same squares", {k1abc}, {qso("K1ABC", "144 M", "fn42ab", "FN20cd")}, 0, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        OpenLog target(c.inLog);
        QTemporaryDir dir;
        const Append::Result r = Append::appendFile(target.store, backupFile(dir, c.inFile), true);
        EXPECT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(r.appended, c.appended);
        EXPECT_EQ(r.skipped, c.skipped);
        EXPECT_EQ(target.log.count(), int(c.inLog.size()) + c.appended);
    }
}

TEST(Append, RestoresLogFilesAndBackupsWithQuotesKept)
{
    std::vector<QsoRecord> contacts = someContacts();
    contacts[0].calls = "K1'AB";
    contacts[1].calls = "K1\"A,B\"";
    contacts[1].rsts = "\"";
    contacts[2].calls = "O'HARA";
    contacts[2].rstr = "5'9";
    TempLog source;
    source.add(contacts);
    QTemporaryDir dir;
    const QString lowerCase = dir.filePath("w1aw2012-06-10.mdb");
    ASSERT_TRUE(QFile::copy(source.path, lowerCase));

    for (const QString &file : {source.path, lowerCase, backupFile(dir, contacts)}) {
        OpenLog target;
        const Append::Result r = Append::appendFile(target.store, file, true);
        EXPECT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(r.appended, 3);
        EXPECT_EQ(sorted(rowsOf(target.log.path)), sorted(contacts)) << file.toStdString();
    }

    for (const char *name : {"log.MDB", "log.mdb", "log.Mdb  "})
        EXPECT_TRUE(Append::isDatabaseName(name)) << name;
    for (const char *name : {"BckUpLog.dat", "log.DAT", "log", "log.mdb.txt"})
        EXPECT_FALSE(Append::isDatabaseName(name)) << name;
}

// Rows of the log file holding a NULL in any column.
int nullValues(const QString &logPath)
{
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "nulls");
        db.setDatabaseName(logPath);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec("select count(*) from tblLog where calls is null or rstr is null or gridr is null or rsts is null"
                       " or grids is null or flddate is null or fldtime is null or uband is null or umode is null") &&
                q.next())
                n = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase("nulls");
    return n;
}

TEST(Append, RecordsTheLogCannotUseAreRefusedByLine)
{
    // Each bad record is left out and told by its line; the good ones are
    // appended, with empty values as empty text and the band and mode spelled
    // as the log spells them.
    const QsoRecord good = qso("K1ABC", "144 M", "FN42", "FN20", "CW", "2026/06/13", "18:00:00");
    struct Case {
        const char *what;
        std::function<void(QsoRecord &)> change;
        const char *reason; // nullptr: appended
    };
    const Case cases[] = {
        {"band of no row", [](QsoRecord &r) { r.uband = "40 M"; }, "the band \"40 M\" is not one of the log's bands"},
        {"date in words", [](QsoRecord &r) { r.flddate = "June 8"; }, "the date \"June 8\" is not a date"},
        {"date of no day", [](QsoRecord &r) { r.flddate = "2026/02/30"; }, "the date \"2026/02/30\""},
        {"date month first", [](QsoRecord &r) { r.flddate = "06/13/2026"; }, "the date \"06/13/2026\""},
        {"time without colon", [](QsoRecord &r) { r.fldtime = "1800"; }, "the time \"1800\""},
        {"time of no hour", [](QsoRecord &r) { r.fldtime = "25:00"; }, "the time \"25:00\""},
        {"empty grid", [](QsoRecord &r) { r.gridr = ""; }, "the grid received is empty"},
        {"no grid", [](QsoRecord &r) { r.gridr = "F42"; }, "the grid received \"F42\" is no grid square"},
        {"own grid missing", [](QsoRecord &r) { r.grids = ""; }, "the own grid \"\" is no grid square"},
        {"empty call", [](QsoRecord &r) { r.calls = " "; }, "the call is empty"},
        {"mode", [](QsoRecord &r) { r.umode = "FM"; }, "the mode \"FM\" is neither CW nor PH"},
        {"empty reports", [](QsoRecord &r) { r.rsts = ""; r.rstr = ""; }, nullptr},
        {"hh:mm and lower case", [](QsoRecord &r) { r.fldtime = "23:59"; r.uband = "1.3 g"; r.umode = "ph"; }, nullptr},
        {"six-character grids", [](QsoRecord &r) { r.gridr = "fn42ab"; r.grids = "FN20XX"; }, nullptr},
    };
    std::vector<QsoRecord> records;
    QStringList refused;
    int appended = 0;
    for (const Case &c : cases) {
        QsoRecord r = good;
        r.calls = QStringLiteral("K%1ABC").arg(records.size());
        c.change(r);
        records.push_back(r);
        if (c.reason)
            refused.append(QStringLiteral("line %1: %2").arg(records.size()).arg(c.reason));
        else
            ++appended;
    }
    OpenLog target;
    QTemporaryDir dir;
    const Append::Result r = Append::appendFile(target.store, backupFile(dir, records), true);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.appended, appended);
    ASSERT_EQ(r.refused.size(), refused.size());
    for (qsizetype i = 0; i < refused.size(); ++i)
        EXPECT_TRUE(r.refused.at(i).startsWith(refused.at(i))) << r.refused.at(i).toStdString();
    EXPECT_TRUE(Append::Text::done(r).contains(QStringLiteral("%1 records were not appended").arg(refused.size())));
    EXPECT_EQ(nullValues(target.log.path), 0);
    const std::vector<QsoRecord> rows = rowsOf(target.log.path);
    ASSERT_EQ(int(rows.size()), appended);
    for (const QsoRecord &row : rows) {
        EXPECT_GE(Bands::indexOf(row.uband), 0);
        EXPECT_EQ(row.uband, Bands::label(Bands::indexOf(row.uband)));
        EXPECT_TRUE(row.umode == "CW" || row.umode == "PH");
    }
}

TEST(Append, FilesThatAreNoLogAreRefused)
{
    QTemporaryDir dir;
    auto file = [&dir](const char *name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    };
    const QByteArray jet = QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4076, '\x5a');
    const QString jetFile = file("contest.mdb", jet);
    const QString foreignDb = dir.filePath("other.mdb");
    ASSERT_TRUE(execSql(foreignDb, "create table contacts (call text, band text)"));
    const QByteArray foreignBytes = readAll(foreignDb);

    TempLog ourLog;
    ourLog.add(someContacts());
    const QString renamedLog = dir.filePath("renamed.dat");
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
        dir.filePath("missing.dat"),
        dir.filePath("missing.mdb"),
    };
    OpenLog target(someContacts());
    for (const QString &f : files) {
        const Append::Result r = Append::appendFile(target.store, f, false);
        EXPECT_EQ(r.status, Append::Result::Status::NotReadable) << f.toStdString();
        EXPECT_EQ(r.appended, 0);
        EXPECT_TRUE(r.error.contains(QDir::toNativeSeparators(f))) << r.error.toStdString();
        EXPECT_TRUE(r.error.contains("Nothing was appended")) << r.error.toStdString();
    }
    EXPECT_EQ(target.log.count(), 3);
    // The other programs' files are left as they were.
    EXPECT_EQ(readAll(jetFile), jet);
    EXPECT_EQ(readAll(foreignDb), foreignBytes);
}

TEST(Append, SourceLogIsOnlyRead)
{
    // Another log in write-ahead mode, closed or held open by another
    // program, and one in the rollback journal: each is read and left exactly
    // as it was, with no file made beside it.
    for (const char *how : {"write-ahead, closed", "write-ahead, held open", "rollback journal"}) {
        SCOPED_TRACE(how);
        QTemporaryDir dir;
        const QString source = dir.filePath("rover.MDB");
        {
            TempLog made;
            made.add(someContacts());
            ASSERT_TRUE(QFile::copy(made.path, source));
        }
        if (std::string_view(how) != "rollback journal") {
            ASSERT_TRUE(execSql(source, "PRAGMA journal_mode=WAL"));
        }
        std::unique_ptr<HeldLog> holder;
        if (std::string_view(how) == "write-ahead, held open")
            holder = std::make_unique<HeldLog>(source, "wal");
        const QByteArray before = readAll(source);
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

        OpenLog target;
        const Append::Result r = Append::appendFile(target.store, source, true);
        EXPECT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(r.appended, 3);
        EXPECT_EQ(readAll(source), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), filesBefore);
    }
}

// Two PCs on one log: the append writes in batches, and the other PC logs
// between them.
struct TwoPcs : OpenLog {
    TwoPcs() : OpenLog(someContacts()) { EXPECT_TRUE(other.open(log.path)); }
    LogStore other;
    std::vector<QsoRecord> incoming(int n, const QString &band = "222 M")
    {
        std::vector<QsoRecord> v;
        for (int i = 0; i < n; ++i)
            v.push_back(qso(QStringLiteral("N%1NEW").arg(i), band, "EM10"));
        return v;
    }
};

TEST(Append, WritesInBatchesWhileOtherPcsLog)
{
    TwoPcs pcs;
    QTemporaryDir dir;
    const std::vector<QsoRecord> records = pcs.incoming(10);
    std::vector<int> batches;
    BatchAppend::Options options;
    options.batchSize = 3;
    options.afterBatch = [&](int written) {
        batches.push_back(written);
        // The log is free between two batches: the other PC's Enter goes in
        // at once. Once it logs a contact that the append still holds, that
        // one is left out.
        const QsoRecord own = written == 3 ? records[8] : qso(QStringLiteral("W%1OWN").arg(written), "50 M", "FN31");
        EXPECT_EQ(logContact(pcs.other, own, OnBusy::Report).outcome, LogAttempt::Logged);
    };
    const Append::Result r = Append::appendFile(pcs.store, backupFile(dir, records), true, options);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.appended, 9);
    EXPECT_EQ(r.skipped, 1);
    EXPECT_EQ(batches, (std::vector<int>{3, 6, 9}));
    EXPECT_EQ(pcs.log.count(), 3 + 9 + 3);
    // The append is complete: nothing is taken out at the next opening.
    LogStore again;
    ASSERT_TRUE(again.open(pcs.log.path));
    EXPECT_EQ(again.unfinishedAppendRemoved(), 0);
    EXPECT_EQ(pcs.log.count(), 15);
}

TEST(Append, BatchesOfAFailedAppendAreTakenOutAgain)
{
    // The log refuses one call, as a full disk or a lost share would refuse a
    // write half-way.
    TwoPcs pcs;
    ASSERT_TRUE(execSql(pcs.log.path, "create trigger refuse before insert on tblLog when new.calls = 'REFUSED' "
                                      "begin select raise(abort, 'refused'); end"));
    std::vector<QsoRecord> records = pcs.incoming(7);
    records.push_back(qso("REFUSED", "222 M", "EM10"));
    BatchAppend::Options options;
    options.batchSize = 3;
    int logged = 0;
    options.afterBatch = [&](int) {
        ++logged;
        EXPECT_EQ(logContact(pcs.other, qso(QStringLiteral("W%1OWN").arg(logged), "50 M", "FN31")).outcome,
                  LogAttempt::Logged);
    };
    QTemporaryDir dir;
    const Append::Result r = Append::appendFile(pcs.store, backupFile(dir, records), false, options);
    EXPECT_EQ(r.status, Append::Result::Status::Failed);
    EXPECT_TRUE(r.error.contains("Nothing was appended")) << r.error.toStdString();
    // The two batches written before the refusal are gone; the other PC's
    // contacts stay, and the log takes new contacts afterwards.
    EXPECT_EQ(logged, 2);
    EXPECT_EQ(pcs.log.count(), 3 + 2);
    records.pop_back();
    EXPECT_TRUE(Append::appendFile(pcs.store, backupFile(dir, records), false).ok());
    EXPECT_EQ(pcs.log.count(), 3 + 2 + 7);
}

TEST(Append, UnfinishedAppendsAreTakenOutWhenTheLogIsOpened)
{
    Clock::setFixed(QDateTime(QDate(2026, 6, 13), QTime(20, 0)), QDateTime(QDate(2026, 6, 14), QTime(0, 0), Qt::UTC));
    const qint64 now = Clock::systemUtcNow().toSecsSinceEpoch();
    // A program of this PC that has ended.
    QProcess ended;
    ended.start(QString::fromLocal8Bit(qgetenv("HALVERN_HELPER")), {});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 endedPid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    const QString host = QSysInfo::machineHostName();
    struct Run {
        const char *what;
        QString host;
        qint64 pid;
        qint64 touched;
        bool takenOut;
    } runs[] = {
        {"this PC, program ended", host, endedPid, now, true},
        {"this PC, this program not appending", host, QCoreApplication::applicationPid(), now, true},
        {"another PC, a minute ago", "ham2", 1, now - 60, false},
        {"another PC, two hours ago", "ham3", 1, now - 7200, true},
    };
    TempLog log;
    log.add(someContacts());
    ASSERT_TRUE(execSql(log.path, "create table tblAppendBatch (run text, host text, pid integer,"
                                  " firstRow integer, lastRow integer, touched integer)"));
    int row = 100, kept = 3;
    for (const Run &r : runs) {
        ASSERT_TRUE(execSql(log.path, QStringLiteral("insert into tblAppendBatch values ('%1', '%2', %3, %4, %5, %6)")
                                          .arg(r.what, r.host).arg(r.pid).arg(row).arg(row + 1).arg(r.touched)));
        for (int i = 0; i < 2; ++i, ++row)
            ASSERT_TRUE(execSql(log.path, QStringLiteral("insert into tblLog (rowid, calls) values (%1, '%2')")
                                              .arg(row).arg(r.what)));
        if (!r.takenOut)
            kept += 2;
    }
    LogStore store;
    ASSERT_TRUE(store.open(log.path));
    EXPECT_EQ(store.unfinishedAppendRemoved(), 6);
    EXPECT_EQ(log.count(), kept);
    auto q = store.engine().select("select run from tblAppendBatch");
    ASSERT_TRUE(q && q->next());
    EXPECT_EQ(q->value(0).toString(), "another PC, a minute ago");
    EXPECT_FALSE(q->next());
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
    while (s.size() < n)
        s.insert(QStringLiteral("W%1").arg(s.size()));
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
