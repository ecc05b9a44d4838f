// The station's files: the preferences file, the shared XML file, and the
// names derived from the station's settings.
#include "log/Folders.h"
#include "log/SharedPrefs.h"
#include "log/Station.h"
#include "support/TestLog.h"

#include <QDir>
#include <QTemporaryDir>

TEST(Preferences, FileIsWrittenInTheSequentialFormat)
{
    const Station s{.ownCall = "K1ABC", .ownGrid = "FN20", .utcOffsetHours = 5, .currentMode = "CW",
                    .currentBand = "144 M", .accumulatedOnSeconds = 0, .contestType = 2, .roverFlag = 0,
                    .longitude = 76.5, .latitude = 40.25, .logPath = "/mnt/vhf/Halvern.MDB"};
    EXPECT_EQ(Preferences::serialize(s),
              "\"K1ABC\"\r\n\"FN20\"\r\n5\r\n\"CW\"\r\n\"144 M\"\r\n0\r\n2\r\n1\r\n100\r\n0\r\n"
              "76.5\r\n40.25\r\n\"View Grids\"\r\n255\r\n0\r\n\"/mnt/vhf/Halvern.MDB\"\r\n"
              "60000\r\n0\r\n\"None\"\r\n0\r\n0\r\n");
}

TEST(Preferences, EverySettingSurvivesARoundTrip)
{
    const Station s{.ownCall = "W1AW/R", .ownGrid = "FN31", .utcOffsetHours = -3.5f, .currentMode = "PH",
                    .currentBand = "1.3 G", .accumulatedOnSeconds = 5432.25f, .contestType = 5, .recordRst = 2,
                    .formSizePercent = 85, .roverFlag = 1, .longitude = 72.123456789, .latitude = 41.987654321,
                    .view = "View Bands", .workedColor = 0x00FF00, .remainingColor = 0x808080,
                    .logPath = "/home/op/logs, contest/Halvern.MDB", .refreshRateMs = 6000, .navigationLevel = 2,
                    .rig = "Kenwood TS-2000", .taskbar = 1, .listPrevious = 1};
    QTemporaryDir dir;
    ASSERT_TRUE(Preferences::save(s, dir.path()));
    Station back;
    Preferences::load(back, dir.path());
    EXPECT_EQ(back, s);
}

TEST(Preferences, MissingShortOrBadFileKeepsTheDefaults)
{
    const Station defaults;
    const std::pair<const char *, QByteArray> cases[] = {
        {"empty", ""},
        {"short", "\"K1ABC\"\r\n\"FN20\"\r\n"},
        {"bad numbers", "\"K1ABC\"\r\n\"FN20\"\r\nfive\r\n\"CW\"\r\n\"144 M\"\r\n0\r\n9\r\n1\r\n250\r\n"},
    };
    for (const auto &[name, data] : cases) {
        SCOPED_TRACE(name);
        Station s;
        Preferences::parse(data, s);
        EXPECT_EQ(s.utcOffsetHours, defaults.utcOffsetHours);
        EXPECT_EQ(s.contestType, defaults.contestType);
        EXPECT_EQ(s.formSizePercent, defaults.formSizePercent);
        EXPECT_EQ(s.refreshRateMs, defaults.refreshRateMs);
        EXPECT_EQ(s.logPath, defaults.logPath);
        EXPECT_EQ(s.ownCall, data.isEmpty() ? defaults.ownCall : "K1ABC");
    }
    Station s;
    QTemporaryDir dir;
    Preferences::load(s, dir.filePath("nothing-here"));
    EXPECT_EQ(s, defaults);
}

TEST(Preferences, ValuesAreCheckedAndBadOnesFallBackWithAWarning)
{
    // A file written by the program with one line replaced.
    const Station defaults;
    Station written;
    written.ownCall = "K1ABC";
    written.ownGrid = "FN20";
    auto withLine = [&written](int line, const QByteArray &text) {
        QList<QByteArray> lines = Preferences::serialize(written).split('\n');
        lines[line - 1] = text + '\r';
        return lines.join('\n');
    };
    struct Case {
        const char *what;
        int line;
        QByteArray text;
        QString band, mode; // what is read
        const char *warning; // part of the one warning, or nullptr for none
    } cases[] = {
        {"band as written", 5, "\"144 M\"", "144 M", "CW", nullptr},
        {"band in small letters", 5, "\"144 m\"", "144 M", "CW", nullptr},
        {"band without its unit", 5, "\"144\"", "144 M", "CW", nullptr},
        {"band as the menu names it", 5, "\" 1.3 ghz \"", "1.3 G", "CW", nullptr},
        {"band of no row", 5, "\"999 M\"", defaults.currentBand, "CW", "Line 5 (band): \"999 M\" is not a band"},
        {"band with the wrong unit", 5, "\"144 G\"", defaults.currentBand, "CW", "\"144 G\""},
        {"mode in small letters", 4, "\"ph\"", "144 M", "PH", nullptr},
        {"mode of no kind", 4, "\"XX\"", "144 M", defaults.currentMode, "Line 4 (mode): \"XX\" is not CW or PH"},
        {"mode a number", 4, "7", "144 M", defaults.currentMode, "\"7\" is not CW or PH"},
        {"number out of range", 9, "250", "144 M", "CW", "Line 9 (form size): \"250\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Station s;
        const QStringList warnings = Preferences::parse(withLine(c.line, c.text), s);
        EXPECT_EQ(s.currentBand, c.band);
        EXPECT_EQ(s.currentMode, c.mode);
        EXPECT_EQ(s.ownGrid, "FN20"); // the other lines are read as written
        if (c.warning) {
            ASSERT_EQ(warnings.size(), 1) << warnings.join(" | ").toStdString();
            EXPECT_TRUE(warnings[0].contains(c.warning)) << warnings[0].toStdString();
        } else {
            EXPECT_TRUE(warnings.isEmpty()) << warnings.join(" | ").toStdString();
        }
    }

    // A first line without its closing quote costs that value only.
    Station s;
    const QStringList warnings = Preferences::parse(withLine(1, "\"K1ABC"), s);
    EXPECT_EQ(s.ownCall, defaults.ownCall);
    EXPECT_EQ(s.ownGrid, "FN20");
    EXPECT_EQ(s.currentBand, "144 M");
    EXPECT_EQ(s.listPrevious, 0);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith("Line 1 (call): the line is damaged")) << warnings[0].toStdString();
    EXPECT_TRUE(Preferences::warningMessage(warnings).contains("vhfPrfNT.txt"));

    // Loading from the folder gives the same warnings.
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath("vhfPrfNT.txt"), withLine(5, "\"999 M\"")));
    Station loaded;
    EXPECT_EQ(Preferences::load(loaded, dir.path()).size(), 1);
}

TEST(SharedPrefs, SetTwiceLeavesOneElement)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(SharedPrefs::FileName);
    SharedPrefs x;
    x.load(path);
    EXPECT_EQ(x.text(), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
    x.set("OWN_GRID", "FN20", false);
    x.set("own_call", "K1ABC", false);
    x.set("OWN_GRID", "FN31", true);
    const QByteArray onDisk = readAll(path);
    EXPECT_EQ(onDisk, "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<OWN_GRID>FN31</OWN_GRID>"
                      "\r\n<OWN_CALL>K1ABC</OWN_CALL>\r\n");

    // Loading drops the CR LF that saving appended, so a save adds no blank line.
    SharedPrefs again;
    again.load(path);
    again.set("OWN_ADDRESS_Line1", "1 Main St", true);
    EXPECT_EQ(readAll(path), onDisk.chopped(2) + "\r\n<OWN_ADDRESS_LINE1>1 Main St</OWN_ADDRESS_LINE1>\r\n");
}

TEST(Station, ServerNameOfTheLogPath)
{
    const QString mounts = "/dev/sda1 / ext4 rw 0 0\n"
                           "//ham1/vhf /mnt/vhf cifs rw,vers=3.0 0 0\n"
                           "ham2:/export/logs /mnt/nfs\\040logs nfs4 rw 0 0\n"
                           "tmpfs /mnt/vhf/tmp tmpfs rw 0 0\n";
    const std::pair<QString, QString> cases[] = {
        {"\\\\ham1\\vhf\\Halvern.MDB", "ham1"},
        {"c:\\vhf\\Halvern.MDB", ""},
        {"//ham3/vhf/Halvern.MDB", "ham3"},
        {"/mnt/vhf/Halvern.MDB", "ham1"},
        {"/mnt/nfs logs/contest/Halvern.MDB", "ham2"},
        {"/mnt/vhf/tmp/Halvern.MDB", ""}, // a local mount inside the share
        {"/home/op/Halvern.MDB", ""},
        // A log on a database server: its host, unless that is this PC.
        {"postgresql://op@ham4:5432/contest", "ham4"},
        {"postgres://ham5.local/contest?sslmode=require", "ham5.local"},
        {"postgresql://op@localhost/contest", ""},
        {"postgresql://op@127.0.0.1:5433/contest", ""},
    };
    for (const auto &[path, server] : cases)
        EXPECT_EQ(Folders::serverName(path, mounts), server) << path.toStdString();
}

TEST(Station, DataFolders)
{
    QTemporaryDir dir;
    const auto f = Folders::findDataFolders(dir.filePath("Docs"));
    EXPECT_TRUE(QDir(f.backup).exists());
    EXPECT_TRUE(QDir(f.shared).exists());
    EXPECT_EQ(f.backup, dir.filePath("Docs/Tarnwick Software/Halvern/BACKUP"));
}
