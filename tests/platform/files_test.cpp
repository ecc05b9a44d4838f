// The files the program writes and reads, against a real full disk and real
// devices, pipes and folders: a failed write says so and leaves the old file,
// and nothing that is not a plain file of a sane size is ever read. The
// sequential settings-file format beyond what the preferences and backup
// tests write and read: bare LF line ends, blanks around a number, a value
// that is no number, quotes inside a text; and the file dialogs' filters.
#include "export/Adif.h"
#include "export/Append.h"
#include "export/Archive.h"
#include "export/Cabrillo.h"
#include "export/OrreryExport.h"
#include "log/SharedPrefs.h"
#include "log/Station.h"
#include "platform/Dialogs.h"
#include "platform/AtomicFile.h"
#include "platform/SeqFile.h"
#include "platform/WholeFile.h"
#include "support/TestDisk.h"
#include "support/TestLog.h"

#include <QDir>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(FullDisk, EveryWriterFailsWithTheReasonAndKeepsTheOldFile)
{
    TestDisk disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    TempLog log;
    log.add({qso("W1AW", "144 M", "FN31")});
    LogStore store;
    ASSERT_TRUE(store.open(log.path));
    ASSERT_TRUE(store.reload());
    Station station;
    station.ownCall = "K1ABC";

    using Write = std::function<bool(const QString &path, QString *why)>;
    const std::vector<std::tuple<const char *, QString, Write>> writers{
        {"preferences", Preferences::FileName,
         [&](const QString &, QString *why) { return Preferences::save(station, disk.path(), why); }},
        {"text backup", "BckUpLog.dat", [&](const QString &p, QString *why) { return store.writeBackup(p, why); }},
        {"Cabrillo", "K1ABC.log",
         [&](const QString &p, QString *why) {
             return Cabrillo::writeFile(p, Cabrillo::cabrilloText(store.mirror(), station, {}, 1), why);
         }},
        {"ADIF", "Halvern.adi",
         [&](const QString &p, QString *why) {
             return Adif::writeFile(p, Adif::adifText(store.mirror(), {}, QDateTime(QDate(2026, 6, 14), QTime())), why);
         }},
        {"general-logger export", OrreryExport::FileName,
         [&](const QString &, QString *why) {
             return !OrreryExport::writeExport(store.mirror(), 2, disk.path(), why).isEmpty();
         }},
        {"help text", "HalvernHelp.txt",
         [&](const QString &p, QString *why) { return writeFileAtomically(p, QByteArray(3000, 'h'), why); }},
        {"shared XML", SharedPrefs::FileName,
         [&](const QString &p, QString *why) {
             SharedPrefs x;
             x.load(p);
             return x.set("OWN_CALL", "K1ABC", true, why);
         }},
        {"archive", "K1ABC2026-06-14.mdb",
         [&](const QString &p, QString *why) { return Archive::copyLog(store.engine(), p, why); }},
    };
    for (const auto &[what, name, write] : writers)
        ASSERT_TRUE(writeBytes(disk.filePath(name), QByteArray("old ") + what));
    disk.fill();
    const QStringList before = QDir(disk.path()).entryList(QDir::Files | QDir::Hidden);

    for (const auto &[what, name, write] : writers) {
        SCOPED_TRACE(what);
        QString why;
        EXPECT_FALSE(write(disk.filePath(name), &why));
        // The engine's copy says "database or disk is full".
        EXPECT_TRUE(why == "No space left on device" || why.contains("disk is full")) << why.toStdString();
        EXPECT_EQ(readAll(disk.filePath(name)), QByteArray("old ") + what);
    }
    // No half-written file is left behind either.
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), before);
}

TEST(WholeFile, OnlyPlainFilesOfASaneSizeAreRead)
{
    // Each kind of thing stands under every name the program reads, in a
    // folder of its own.
    QTemporaryDir dir;
    const QStringList names{Preferences::FileName, SharedPrefs::FileName, "BckUpLog.dat", "other.MDB"};
    struct Kind {
        const char *what, *reason;
        std::function<bool(const QString &path)> make;
    };
    const Kind kinds[] = {
        {"link to /dev/zero", "device", [](const QString &p) { return QFile::link("/dev/zero", p); }},
        {"named pipe", "named pipe", [](const QString &p) { return ::mkfifo(QFile::encodeName(p).constData(), 0644) == 0; }},
        {"folder", "folder", [](const QString &p) { return QDir().mkdir(p); }},
        {"huge file", "bytes", [](const QString &p) {
             return writeBytes(p, {}) && ::truncate(QFile::encodeName(p).constData(), WholeFile::BackupLimit + 1) == 0;
         }},
    };
    TempLog log;
    LogStore store;
    ASSERT_TRUE(store.open(log.path));
    for (const Kind &k : kinds) {
        SCOPED_TRACE(k.what);
        const QString folder = dir.filePath(QString::number(&k - kinds));
        ASSERT_TRUE(QDir().mkdir(folder));
        for (const QString &n : names)
            ASSERT_TRUE(k.make(QDir(folder).filePath(n)));
        auto in = [&folder](const QString &name) { return QDir(folder).filePath(name); };

        Station s;
        const QStringList warnings = Preferences::load(s, folder);
        EXPECT_EQ(s, Station());
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings[0].contains(k.reason)) << warnings[0].toStdString();

        SharedPrefs xml;
        QString why;
        EXPECT_FALSE(xml.load(in(SharedPrefs::FileName), &why));
        EXPECT_TRUE(why.contains(k.reason)) << why.toStdString();
        EXPECT_FALSE(xml.set("OWN_CALL", "K1ABC", true)); // nor written over

        why.clear();
        EXPECT_FALSE(SeqReader::fromFile(in("BckUpLog.dat"), &why));
        EXPECT_TRUE(why.contains(k.reason)) << why.toStdString();

        for (const QString &source : {in("BckUpLog.dat"), in("other.MDB")}) {
            const Append::Result r = Append::appendFile(store, source, true);
            EXPECT_EQ(r.status, Append::Result::Status::NotReadable);
            EXPECT_FALSE(r.error.isEmpty());
        }
        LogStore other;
        why.clear();
        EXPECT_FALSE(other.open(in("other.MDB"), &why));
        EXPECT_FALSE(why.isEmpty());
    }
    EXPECT_EQ(log.count(), 0);
}

} // namespace

TEST(SeqFile, ReadsValuesBackInOrder)
{
    SeqWriter w;
    w.text("K1ABC").number(5).number(-0.5).number(2.25f).endLine();
    w.textLine({"a,b", ""});
    EXPECT_EQ(w.data(), "\"K1ABC\",5,-0.5,2.25\r\n\"a,b\",\"\"\r\n");

    SeqReader r(w.data() + " 7.5 ,x\n");
    EXPECT_EQ(r.nextText(), "K1ABC");
    EXPECT_EQ(r.nextNumber(), 5.0);
    EXPECT_EQ(r.nextNumber(), -0.5);
    EXPECT_EQ(r.nextNumber(), 2.25);
    EXPECT_EQ(r.nextText(), "a,b");
    EXPECT_EQ(r.nextText(), "");
    EXPECT_EQ(r.nextNumber(), 7.5);
    EXPECT_EQ(r.nextNumber(), std::nullopt); // "x" is no number
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(r.nextText(), std::nullopt);

    EXPECT_EQ(SeqReader::lines("\"a\",\"b\"\r\n\r\n\"c\""), (QList<QStringList>{{"a", "b"}, {}, {"c"}}));
}

TEST(FileFilter, PipeFiltersBecomeQtFiltersThatIgnoreCase)
{
    EXPECT_EQ(qtFileFilter("(*.MDB)|*.MDB|(All Files)|*.*"), "(*.MDB) (*.MDB *.mdb);;(All Files) (*)");
    EXPECT_EQ(qtFileFilter("Logs|*.DAT; *.mdb"), "Logs (*.DAT *.dat *.mdb *.MDB)");
}

TEST(SeqFile, EveryTextComesBackAsWritten)
{
    // A text without a double quote is written byte for byte as before; a
    // quote inside a text is doubled and read back as one.
    struct Case {
        QString text;
        QByteArray written;
    };
    const Case cases[] = {
        {"K1ABC", "\"K1ABC\""},
        {"", "\"\""},
        {"a,b", "\"a,b\""},
        {"Grüße", "\"Grüße\""},
        {"K1\"AB", "\"K1\"\"AB\""},
        {"\"", "\"\"\"\""},
        {"\"\"", "\"\"\"\"\"\""},
        {"FN\",\"42", "\"FN\"\",\"\"42\""},
        {"end\"", "\"end\"\"\""},
    };
    for (const Case &c : cases) {
        SeqWriter w;
        w.text(c.text).text("next").endLine();
        EXPECT_EQ(w.data(), c.written + ",\"next\"\r\n") << c.text.toStdString();
        EXPECT_EQ(SeqReader::lines(w.data()), (QList<QStringList>{{c.text, "next"}})) << c.text.toStdString();
    }
}
