// The station's files: the preferences file, the shared XML file, and the
// names derived from the station's settings.
#include "log/Folders.h"
#include "log/SharedPrefs.h"
#include "log/Station.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Preferences, FileIsWrittenInTheSequentialFormat)
{
    Station s;
    s.ownCall = QStringLiteral("K1ABC");
    s.ownGrid = QStringLiteral("FN20");
    s.utcOffsetHours = 5;
    s.currentMode = QStringLiteral("CW");
    s.currentBand = QStringLiteral("144 M");
    s.accumulatedOnSeconds = 0;
    s.contestType = 2;
    s.roverFlag = 0;
    s.longitude = 76.5;
    s.latitude = 40.25;
    s.logPath = QStringLiteral("/mnt/vhf/Halvern.MDB");
    const QByteArray expected = "\"K1ABC\"\r\n\"FN20\"\r\n5\r\n\"CW\"\r\n\"144 M\"\r\n0\r\n2\r\n1\r\n100\r\n0\r\n"
                                "76.5\r\n40.25\r\n\"View Grids\"\r\n255\r\n0\r\n\"/mnt/vhf/Halvern.MDB\"\r\n"
                                "60000\r\n0\r\n\"None\"\r\n0\r\n0\r\n";
    EXPECT_EQ(Preferences::serialize(s), expected);
}

TEST(Preferences, EverySettingSurvivesARoundTrip)
{
    Station s;
    s.ownCall = QStringLiteral("W1AW/R");
    s.ownGrid = QStringLiteral("FN31");
    s.utcOffsetHours = -3.5f;
    s.currentMode = QStringLiteral("PH");
    s.currentBand = QStringLiteral("1.3 G");
    s.accumulatedOnSeconds = 5432.25f;
    s.contestType = 5;
    s.recordRst = 2;
    s.formSizePercent = 85;
    s.roverFlag = 1;
    s.longitude = 72.123456789;
    s.latitude = 41.987654321;
    s.view = QStringLiteral("View Bands");
    s.workedColor = 0x00FF00;
    s.remainingColor = 0x808080;
    s.logPath = QStringLiteral("/home/op/logs, contest/Halvern.MDB");
    s.refreshRateMs = 6000;
    s.navigationLevel = 2;
    s.rig = QStringLiteral("Kenwood TS-2000");
    s.taskbar = 1;
    s.listPrevious = 1;
    QTemporaryDir dir;
    ASSERT_TRUE(Preferences::save(s, dir.path()));
    Station back;
    Preferences::load(back, dir.path());
    EXPECT_EQ(back, s);
}

TEST(Preferences, MissingShortOrBadFileKeepsTheDefaults)
{
    const Station defaults;
    struct Case {
        const char *name;
        QByteArray data;
    };
    const Case cases[] = {
        {"empty", ""},
        {"short", "\"K1ABC\"\r\n\"FN20\"\r\n"},
        {"bad numbers", "\"K1ABC\"\r\n\"FN20\"\r\nfive\r\n\"CW\"\r\n\"144 M\"\r\n0\r\n9\r\n1\r\n250\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Station s;
        Preferences::parse(c.data, s);
        EXPECT_EQ(s.utcOffsetHours, defaults.utcOffsetHours);
        EXPECT_EQ(s.contestType, defaults.contestType);
        EXPECT_EQ(s.formSizePercent, defaults.formSizePercent);
        EXPECT_EQ(s.refreshRateMs, defaults.refreshRateMs);
        EXPECT_EQ(s.logPath, defaults.logPath);
        if (!c.data.isEmpty()) {
            EXPECT_EQ(s.ownCall, QStringLiteral("K1ABC"));
        }
    }
    Station s;
    QTemporaryDir dir;
    Preferences::load(s, dir.filePath(QStringLiteral("nothing-here")));
    EXPECT_EQ(s, defaults);
}

TEST(SharedPrefs, SetTwiceLeavesOneElement)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(SharedPrefs::FileName);
    SharedPrefs x;
    x.load(path);
    EXPECT_EQ(x.text(), QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>"));
    x.set(QStringLiteral("OWN_GRID"), QStringLiteral("FN20"), false);
    x.set(QStringLiteral("own_call"), QStringLiteral("K1ABC"), false);
    x.set(QStringLiteral("OWN_GRID"), QStringLiteral("FN31"), true);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray onDisk = f.readAll();
    EXPECT_EQ(onDisk, QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<OWN_GRID>FN31</OWN_GRID>"
                                 "\r\n<OWN_CALL>K1ABC</OWN_CALL>\r\n"));
    f.close();

    // Loading drops the CR LF that saving appended, so a save adds no blank line.
    SharedPrefs again;
    again.load(path);
    again.set(QStringLiteral("OWN_ADDRESS_Line1"), QStringLiteral("1 Main St"), true);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), onDisk.chopped(2) + "\r\n<OWN_ADDRESS_LINE1>1 Main St</OWN_ADDRESS_LINE1>\r\n");
}

TEST(Station, ServerNameOfTheLogPath)
{
    const QString mounts = QStringLiteral(
        "/dev/sda1 / ext4 rw 0 0\n"
        "//ham1/vhf /mnt/vhf cifs rw,vers=3.0 0 0\n"
        "ham2:/export/logs /mnt/nfs\\040logs nfs4 rw 0 0\n"
        "tmpfs /mnt/vhf/tmp tmpfs rw 0 0\n");
    struct Case {
        QString path;
        QString server;
    };
    const Case cases[] = {
        {QStringLiteral("\\\\ham1\\vhf\\Halvern.MDB"), QStringLiteral("ham1")},
        {QStringLiteral("c:\\vhf\\Halvern.MDB"), QString()},
        {QStringLiteral("//ham3/vhf/Halvern.MDB"), QStringLiteral("ham3")},
        {QStringLiteral("/mnt/vhf/Halvern.MDB"), QStringLiteral("ham1")},
        {QStringLiteral("/mnt/nfs logs/contest/Halvern.MDB"), QStringLiteral("ham2")},
        {QStringLiteral("/mnt/vhf/tmp/Halvern.MDB"), QString()}, // a local mount inside the share
        {QStringLiteral("/home/op/Halvern.MDB"), QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Folders::serverName(c.path, mounts), c.server) << c.path.toStdString();
}

TEST(Station, SafeCallSignAndDataFolders)
{
    EXPECT_EQ(safeCallSign(QStringLiteral("K1ABC/R")), QStringLiteral("K1ABC"));
    EXPECT_EQ(safeCallSign(QStringLiteral("W1AW")), QStringLiteral("W1AW"));
    EXPECT_EQ(safeCallSign(QStringLiteral("/R")), QStringLiteral("YourCall"));
    EXPECT_EQ(safeCallSign(QString()), QStringLiteral("YourCall"));
    EXPECT_EQ(safeCallSign(QStringLiteral("k1abc")), QStringLiteral("YourCall"));

    QTemporaryDir dir;
    const auto f = Folders::findDataFolders(dir.filePath(QStringLiteral("Docs")));
    EXPECT_TRUE(QDir(f.backup).exists());
    EXPECT_TRUE(QDir(f.shared).exists());
    EXPECT_EQ(f.backup, dir.filePath(QStringLiteral("Docs/Tarnwick Software/Halvern/BACKUP")));
}
