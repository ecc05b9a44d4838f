// Logging contacts into a real log, a file or a server's: the binding dupe
// check, several copies logging at once, a log that goes away, and the
// entry-field rules.
#include "log/Dupes.h"
#include "log/LogStore.h"
#include "log/Logging.h"
#include "platform/Clock.h"
#include "support/TestLog.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>

namespace {

const QString B144 = QStringLiteral("144 M");

struct OpenLog {
    explicit OpenLog(const TempLog &log)
    {
        QString e;
        EXPECT_TRUE(store.open(log.path, &e)) << e.toStdString();
        EXPECT_TRUE(store.reload(&e)) << e.toStdString();
    }
    LogStore store;
};

// Logs r, trying again while the attempt fails: copies logging without a
// pause can keep one waiting for the lock past its timeout, and the operator
// then presses Enter again.
LogAttempt logRetrying(LogStore &store, const QsoRecord &r)
{
    LogAttempt at = logContact(store, r);
    for (int tries = 1; at.outcome == LogAttempt::Failed && tries < 20; ++tries)
        at = logContact(store, r);
    EXPECT_NE(at.outcome, LogAttempt::Failed) << at.error.toStdString();
    return at;
}

// Reads one line from a helper, waiting for its output up to the deadline.
QByteArray readLine(QProcess &p, const QDeadlineTimer &deadline)
{
    while (!p.canReadLine())
        if (deadline.hasExpired() || !p.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return QByteArray();
    return p.readLine().trimmed();
}

class LogContactOn : public ::testing::TestWithParam<LogKind> {
protected:
    void SetUp() override { SKIP_WITHOUT_SERVER(GetParam()); }
};
INSTANTIATE_TEST_SUITE_P(Engines, LogContactOn, ::testing::Values(LogKind::File, LogKind::Server),
                         logKindName);

} // namespace

TEST_P(LogContactOn, BindingDupeCheck)
{
    const QsoRecord worked = qso("W1AW", B144, "FN31", "FN20", "CW", "2012/06/09", "18:22:10");
    struct Case {
        const char *name;
        QsoRecord attempt;
        LogAttempt::Outcome outcome;
    } cases[] = {
        {"other mode", qso("W1AW", B144, "FN31", "FN20", "PH"), LogAttempt::Dupe},
        {"case ignored", qso("w1aw", "144 m", "fn31", "fn20"), LogAttempt::Dupe},
        {"other grid received", qso("W1AW", B144, "FN32"), LogAttempt::Logged},
        {"own grid moved", qso("W1AW", B144, "FN31", "FN21"), LogAttempt::Logged},
        {"other band", qso("W1AW", "432 M", "FN31"), LogAttempt::Logged},
        {"rover suffix", qso("W1AW/R", B144, "FN31"), LogAttempt::Logged},
        // A six-character locator is its square, received or own.
        {"six-character grid in the square", qso("W1AW", B144, "fn31pr"), LogAttempt::Dupe},
        {"six-character own grid in the square", qso("W1AW", B144, "FN31", "FN20ab"), LogAttempt::Dupe},
        {"six-character grid in another square", qso("W1AW", B144, "FN32pr"), LogAttempt::Logged},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempLog log(GetParam());
        log.add({worked});
        OpenLog o(log);
        LogStore &store = o.store;

        const LogAttempt a = logContact(store, c.attempt);
        ASSERT_EQ(a.outcome, c.outcome) << a.error.toStdString();
        if (c.outcome == LogAttempt::Dupe) {
            EXPECT_EQ(dupeText(a.match), "Dupe: W1AW FN31 ON 2012/06/09 18:22:10");
            EXPECT_EQ(log.count(), 1);
            EXPECT_EQ(store.recordCount(), 1);
            EXPECT_EQ(store.mirror().loadedCount, 1);
            continue;
        }
        // Logged: in the file once, in the mirror as the last record with
        // its row identity, and no change for the refresh check to find.
        EXPECT_EQ(log.count(), 2);
        ASSERT_EQ(store.recordCount(), 2);
        EXPECT_EQ(store.mirror().at(2), c.attempt);
        EXPECT_EQ(store.mirror().rowId(2), a.rowId);
        EXPECT_EQ(store.checkForChanges(), LogStore::CheckResult::Unchanged);
        // The same contact again is now refused.
        EXPECT_EQ(logContact(store, c.attempt).outcome, LogAttempt::Dupe);
        EXPECT_EQ(log.count(), 2);
    }
}

TEST(LogContact, CheckAloneOffersTheStationsGrid)
{
    TempLog log;
    log.add({qso("W1AW", B144, "FN31"), qso("W1AW", "432 M", "FN32"), qso("K1ABC", B144, "FN42")});
    OpenLog o(log);
    struct Case {
        const char *name, *call, *grid, *band;
        LogAttempt::Outcome outcome;
        const char *gridFromLog;
    } cases[] = {
        {"empty grid, dupe", "W1AW", "", "144 M", LogAttempt::Dupe, "FN31"},
        // the first row's grid is compared with the 432 M row
        {"empty grid, moved", "W1AW", "", "432 M", LogAttempt::NotDupe, "FN31"},
        {"grid typed", "w1aw", "fn32", "432 m", LogAttempt::Dupe, ""},
        {"new band", "W1AW", "FN31", "222 M", LogAttempt::NotDupe, ""},
        {"unknown station", "N0CALL", "", "144 M", LogAttempt::NotDupe, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const LogAttempt a = checkForDupe(o.store, c.call, c.grid, "FN20", c.band);
        EXPECT_EQ(a.outcome, c.outcome) << a.error.toStdString();
        EXPECT_EQ(a.gridFromLog, c.gridFromLog);
    }
    EXPECT_EQ(log.count(), 3);
}

TEST_P(LogContactOn, CopiesLoggingTheSameStationsAtOnceLogEachOnce)
{
    // Every station goes on three bands; each band is tried by two of the
    // three copies, in the same order, at the same time.
    TempLog log(GetParam());
    const int stations = 100;
    const QString helper = QString::fromLocal8Bit(qgetenv("HALVERN_HELPER"));
    ASSERT_FALSE(helper.isEmpty());
    QProcess a, b;
    a.start(helper, {"log", log.path, "S", QString::number(stations), "PH", "144 M", "432 M"});
    b.start(helper, {"log", log.path, "S", QString::number(stations), "CW", "144 M", "222 M"});
    const QDeadlineTimer ready(60000);
    ASSERT_EQ(readLine(a, ready), "ready");
    ASSERT_EQ(readLine(b, ready), "ready");
    a.write("go\n");
    b.write("go\n");
    a.waitForBytesWritten(5000);
    b.waitForBytesWritten(5000);

    OpenLog o(log);
    int logged = 0, dupes = 0;
    for (int i = 0; i < stations; ++i)
        for (const char *band : {"432 M", "222 M"}) {
            const LogAttempt at = logRetrying(o.store, qso(QStringLiteral("S%1").arg(i), band, "FN31"));
            ++(at.outcome == LogAttempt::Logged ? logged : dupes);
        }

    for (QProcess *p : {&a, &b}) {
        if (p->state() != QProcess::NotRunning) {
            ASSERT_TRUE(p->waitForFinished(120000));
        }
        ASSERT_EQ(p->exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        const QByteArray line = p->readAllStandardOutput().trimmed();
        const QList<QByteArray> w = line.split(' '); // "logged L dupes D retried R"
        ASSERT_EQ(w.size(), 6) << line.toStdString();
        logged += w[1].toInt();
        dupes += w[3].toInt();
    }
    EXPECT_EQ(logged, stations * 3);
    EXPECT_EQ(dupes, stations * 3);

    // The file holds each station once per band, nothing else.
    QSet<QString> seen;
    for (const QsoRecord &r : rowsOf(log.path))
        seen.insert(r.calls.toUpper() + u'|' + r.uband.toUpper());
    EXPECT_EQ(log.count(), stations * 3);
    EXPECT_EQ(seen.size(), stations * 3);
}

TEST(LogContact, LogGoneBetweenContactsLogsNothingUntilItIsBack)
{
    for (const bool directoryInItsPlace : {false, true}) {
        SCOPED_TRACE(directoryInItsPlace ? "replaced by a directory" : "renamed away");
        TempLog log;
        OpenLog o(log);
        LogStore &store = o.store;
        ASSERT_EQ(logContact(store, qso("W1AW", B144, "FN31")).outcome, LogAttempt::Logged);

        const QString away = log.path + ".away";
        ASSERT_TRUE(QFile::rename(log.path, away));
        if (directoryInItsPlace) {
            ASSERT_TRUE(QDir().mkdir(log.path));
        }

        const QsoRecord next = qso("K1ABC", B144, "FN42");
        const LogAttempt failed = logContact(store, next);
        EXPECT_EQ(failed.outcome, LogAttempt::Failed);
        EXPECT_FALSE(failed.error.isEmpty());
        EXPECT_EQ(store.recordCount(), 1);
        EXPECT_EQ(store.mirror().loadedCount, 1);

        if (directoryInItsPlace) {
            ASSERT_TRUE(QDir().rmdir(log.path));
        }
        ASSERT_TRUE(QFile::rename(away, log.path));

        const LogAttempt again = logContact(store, next);
        ASSERT_EQ(again.outcome, LogAttempt::Logged) << again.error.toStdString();
        EXPECT_EQ(store.recordCount(), 2);
        EXPECT_EQ(log.count(), 2);
        EXPECT_EQ(store.rowsForCall("K1ABC")->size(), 1u);
    }
}

TEST(LogContact, ServerStoppedWhileLoggingLosesNothingAndIsFoundAgain)
{
    SKIP_WITHOUT_SERVER(LogKind::Server);
    PgServer &server = PgServer::get();
    TempLog log(LogKind::Server);
    OpenLog o(log);
    LogStore &store = o.store;
    std::vector<QsoRecord> pending;
    for (int i = 0; i < 20; ++i)
        pending.push_back(qso(QStringLiteral("K%1X").arg(i), B144, "FN42"));
    int logged = 0;
    for (size_t i = 0; i < pending.size(); ++i) {
        if (i == 5) {
            ASSERT_TRUE(server.stop());
        }
        if (i == 15) {
            ASSERT_TRUE(server.start());
        }
        QElapsedTimer took;
        took.start();
        const LogAttempt a = logContact(store, pending[i]);
        // A server that is gone is told at once, not after a long wait.
        EXPECT_LT(took.elapsed(), 4000);
        EXPECT_EQ(a.outcome, i >= 5 && i < 15 ? LogAttempt::Failed : LogAttempt::Logged)
            << i << ": " << a.error.toStdString();
        if (a.outcome == LogAttempt::Failed) {
            EXPECT_FALSE(a.error.isEmpty());
            EXPECT_EQ(store.checkForChanges(), LogStore::CheckResult::Failed);
            // The operator presses Enter again later.
            pending.push_back(pending[i]);
        } else {
            ++logged;
        }
        EXPECT_EQ(store.recordCount(), logged);
    }
    EXPECT_EQ(store.checkForChanges(), LogStore::CheckResult::Unchanged);
    ASSERT_TRUE(store.reload());
    EXPECT_EQ(store.recordCount(), 20);
    QSet<QString> calls;
    for (const QsoRecord &r : rowsOf(log.path))
        calls.insert(r.calls);
    EXPECT_EQ(calls.size(), 20);
}

TEST(EntryFields, DigitTypedInTheCallGoesToTheReport)
{
    struct Case {
        const char *call;
        int caret;
        char key;
        bool forwards;
    } cases[] = {
        {"W1AW", 4, '5', true},  {"W1AW/R", 6, '5', false}, {"W1AW", 2, '5', false}, {"W1AW", 4, 'A', false},
        {"W1", 2, '5', false},   {"WAB", 3, '5', false},    {"W1A", 3, '5', true},   {"KW1", 3, '5', false},
        {"VE3ABC", 6, '9', true}, {"W1AW", 4, '/', false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(forwardsDigitToReport(c.call, c.caret, QChar(c.key)), c.forwards)
            << c.call << " caret " << c.caret << " key " << c.key;
}

TEST(EntryFields, PostContestTimeAndDate)
{
    struct TimeCase {
        const char *typed, *colon, *stored; // stored empty: refused
    } times[] = {
        {"1805", "18:05", "18:05"}, {"905", "9:05", "09:05"}, {"2460", "24:60", ""},
        {"2400", "24:00", ""},      {"0000", "00:00", "00:00"}, {"18:05", "18:05", "18:05"},
        {"9:5", "9:5", "09:05"},    {"95", "95", ""},           {"", "", ""},
        {"12345", "12345", ""},
    };
    for (const TimeCase &c : times) {
        EXPECT_EQ(insertTimeColon(c.typed), c.colon) << c.typed;
        EXPECT_EQ(postContestTime(c.typed).value_or(""), c.stored) << c.typed;
    }
    const std::pair<const char *, const char *> dates[] = {
        {"2026/06/13", "2026/06/13"}, {"2026/6/3", "2026/06/03"}, {"6/13/2026", "2026/06/13"},
        {"2024/02/29", "2024/02/29"}, {"2026/02/30", ""},         {"2026/13/01", ""},
        {"13/13/2026", ""},           {"", ""},                   {"2026/06", ""},
    };
    for (const auto &[typed, stored] : dates)
        EXPECT_EQ(postContestDate(typed).value_or(""), stored) << typed;
}

TEST(EntryFields, LiveContactTakesTheStationsUtc)
{
    struct Case {
        double offset;
        const char *date, *time;
    } cases[] = {{0, "2026/06/13", "23:30:15"}, {4, "2026/06/14", "03:30:15"}, {-5.5, "2026/06/13", "18:00:15"}};
    Clock::setFixed(QDateTime(QDate(2026, 6, 13), QTime(23, 30, 15)), QDateTime(QDate(2026, 6, 14), QTime(3, 30, 15)));
    for (const Case &c : cases) {
        QsoRecord expected = qso("W1AW", B144, "FN31", "FN20", "PH", c.date, c.time);
        expected.rsts = "57";
        EXPECT_EQ(liveContact("W1AW", "59", "FN31", "57", "FN20", B144, "PH", c.offset), expected) << c.offset;
    }
    Clock::useSystem();
}

TEST(EntryFields, KeysAreHeldForThreeSecondsAfterADupe)
{
    const QDateTime refused(QDate(2026, 6, 13), QTime(18, 0, 0));
    const std::pair<qint64, qint64> cases[] = {{0, 3000}, {2999, 1}, {3000, 0}, {60000, 0}, {-1000, 3000}};
    for (const auto &[later, remaining] : cases)
        EXPECT_EQ(dupeHoldRemainingMs(refused, refused.addMSecs(later)), remaining) << later;
}
