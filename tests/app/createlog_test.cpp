// "halvern --create-log", run the way a station's operator runs it: the log
// is made in an empty database (or as a new file), a log that is there
// already is left as it is, and an address that leads nowhere is refused
// with the reason.
#include "log/LogStore.h"
#include "support/TestLog.h"

#include <QProcess>

TEST(CreateLog, MakesTheLogOnceAndSaysWhyNot)
{
    SKIP_WITHOUT_SERVER(LogKind::Server);
    const QString program = QString::fromLocal8Bit(qgetenv("HALVERN_PROGRAM"));
    ASSERT_FALSE(program.isEmpty());
    PgServer &server = PgServer::get();
    QTemporaryDir dir;
    const QString empty = server.newDatabase();
    const QString file = dir.filePath("Halvern.MDB");
    struct Case {
        const char *what;
        QString where;
        int exitCode;
        QString says;
    } cases[] = {
        {"empty database", empty, 0, "The log was made"},
        {"database with the log", empty, 0, "already holds a log"},
        {"no such database", server.url("nosuchdb"), 1, "nosuchdb"},
        {"nobody listening", "postgresql://halvern@127.0.0.1:1/contest", 1, "No log was made"},
        {"password in the address", "postgresql://halvern:pw@127.0.0.1/contest", 1, ".pgpass"},
        {"new file", file, 0, "The log was made"},
        {"file with the log", file, 0, "already holds a log"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QProcess p;
        p.start(program, {"--create-log", c.where});
        ASSERT_TRUE(p.waitForFinished(30000));
        const QString said = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), c.exitCode) << said.toStdString();
        EXPECT_TRUE(said.contains(c.says)) << said.toStdString();
        if (c.exitCode == 0) {
            // The log is ready for contacts; one logged now outlives the
            // command run again.
            LogStore s;
            QString why;
            ASSERT_TRUE(s.open(c.where, &why)) << why.toStdString();
            ASSERT_TRUE(s.countRecords().has_value());
            if (*s.countRecords() == 0) {
                ASSERT_TRUE(s.insert(qso("W1AW", "144 M", "FN31")));
            }
            EXPECT_EQ(*s.countRecords(), 1);
        }
    }
}
