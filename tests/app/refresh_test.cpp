// The refresh cycle: contacts logged by another copy of the program on the
// same log file show up at the next tick once the call field is empty.
#include "support/AppFixture.h"

#include "log/Score.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <random>

namespace {

// Waits until the background check or read of the log has been taken over.
bool settled(Contest &c)
{
    return QTest::qWaitFor([&c] { return !c.followingInBackground(); }, 30000);
}

// What a full reload of the log file gives, beside what the window's contest
// holds: the mirror with its row identities, the tallies and totals, the
// partial-dupe hints, and the window's contact list and grid lists.
void expectAsFullReload(const MainView &f, const QString &path)
{
    Contest full;
    full.station() = f.contest.station();
    ASSERT_TRUE(full.openLog(path, nullptr));
    full.reloadLog();
    const LogMirror &m = f.contest.mirror(), &e = full.mirror();
    ASSERT_EQ(m.recordCount(), e.recordCount());
    for (int n = 1; n <= e.recordCount(); ++n) {
        ASSERT_EQ(m.at(n), e.at(n)) << "record " << n;
        ASSERT_EQ(m.rowId(n), e.rowId(n)) << "record " << n;
    }
    const Station &s = full.station();
    EXPECT_EQ(scoreTotals(f.contest.tally(), s.contestType, s.isRover()),
              scoreTotals(full.tally(), s.contestType, s.isRover()));
    EXPECT_EQ(f.contest.tally().activatedGrids(), full.tally().activatedGrids());
    for (int b = 0; b < Bands::Count; ++b) {
        EXPECT_EQ(f.contest.tally().qsoCount(b), full.tally().qsoCount(b)) << Bands::label(b).toStdString();
        EXPECT_EQ(f.contest.tally().workedGrids(b), full.tally().workedGrids(b)) << Bands::label(b).toStdString();
        if (b < Bands::PanelCount) {
            QStringList shown;
            for (int i = 0; i < f.gridList(b)->count(); ++i)
                shown.append(f.gridList(b)->item(i)->text());
            EXPECT_EQ(shown, full.tally().workedGrids(b));
        }
    }
    const Station kept = f.contest.station();
    for (const QString band : {"50 M", "144 M", "222 M", "432 M"})
        for (const QString own : {"FN20", "FN21"}) {
            f.contest.station().currentBand = full.station().currentBand = band;
            f.contest.station().ownGrid = full.station().ownGrid = own;
            for (const QString typed : {"", "K", "K1", "K2A"})
                EXPECT_EQ(f.contest.partialDupeHint(typed, u'K').hint, full.partialDupeHint(typed, u'K').hint);
        }
    f.contest.station() = kept;
    // The list of all or of the last 20 contacts, newest first.
    QAbstractItemModel *list = f.list->model();
    ASSERT_EQ(list->rowCount(), f.lastOrAll->text() == "All" ? e.recordCount() : std::min(20, e.recordCount()));
    for (int row = 0; row < std::min(list->rowCount(), 5); ++row)
        EXPECT_EQ(list->index(row, 1).data().toString(), e.at(e.recordCount() - row).calls);
}

} // namespace

TEST(Refresh, AnotherProcessesContactsAreReadAloneWhenTheCallFieldIsEmpty)
{
    AppFixture app;
    ASSERT_TRUE(app.start());
    MainView f(*app.form);
    const int reloadsAtStart = f.contest.reloadCount();

    // A tick with nothing changed reads no row and starts nothing.
    const qint64 readAtStart = f.contest.store().rowsRead();
    f.contest.refreshTick();
    EXPECT_EQ(f.contest.store().rowsRead(), readAtStart);
    EXPECT_FALSE(f.contest.followingInBackground());

    // The operator is typing a call while another PC logs two contacts.
    f.call->setText("W1A");
    ASSERT_EQ(runHelper({"insert", app.log->path, "K2X", "FN30", "FN20", "144 M", "CW", "2"}), 0);
    f.contest.refreshTick();
    EXPECT_TRUE(f.contest.store().mirror().logChanged);
    f.contest.refreshTick();
    EXPECT_EQ(f.contest.store().recordCount(), 0);

    // The first tick with an empty call field reads the two new rows only.
    f.call->clear();
    f.contest.refreshTick();
    EXPECT_EQ(f.contest.store().recordCount(), 2);
    EXPECT_EQ(f.contest.store().rowsRead(), readAtStart + 2);
    EXPECT_EQ(f.contest.reloadCount(), reloadsAtStart);
    EXPECT_EQ(f.list->model()->rowCount(), 2);
    EXPECT_EQ(f.bandCount(Bands::indexOf("144 M"))->text(), "2 / 1");
    ASSERT_TRUE(settled(f.contest));

    // This copy's own contact grows the mirror with it: nothing is read.
    f.call->setFocus();
    typeKeys(f.call, "W9XYZ EN52\n");
    ASSERT_TRUE(f.call->text().isEmpty());
    const qint64 readBefore = f.contest.store().rowsRead();
    f.contest.refreshTick();
    EXPECT_EQ(f.contest.store().rowsRead(), readBefore);
    EXPECT_EQ(f.contest.reloadCount(), reloadsAtStart);
    EXPECT_EQ(f.contest.store().recordCount(), 3);

    // Every sixteenth tick writes the backup.
    const QString backup = QDir(app.work.path()).filePath("BckUpLog.dat");
    QFile::remove(backup);
    f.contest.setBackupTickCount(0);
    for (int i = 0; i < 15; ++i)
        f.contest.refreshTick();
    EXPECT_FALSE(f.contest.backup().running());
    EXPECT_FALSE(QFile::exists(backup));
    f.contest.refreshTick();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.contest.backup().running(); }, 10000));
    EXPECT_EQ(fileLines(backup).size(), 3);
}

// One tick after another PC's change, and the background work it starts,
// leave the window as a full reload of the log would.
TEST(Refresh, OneTickFollowsAnotherProcessesChangeAsAFullReloadWould)
{
    const struct {
        const char *change;
        const char *sql;
    } cases[] = {
        {"an edit", "update tbllog set gridr='EM12', uband='432 M' where calls='K1B'"},
        {"a deletion", "delete from tbllog where calls='K1B'"},
        {"a contact dated before the last", "insert into tblLog values ('K1D','59','FN42','59','FN20','2026/06/13','17:00:00','144 M','CW')"},
        {"the last row deleted and another added", "delete from tbllog where calls='K1C'; insert into tblLog values ('K1E','59','FN42','59','FN20','2026/06/13','19:00:00','50 M','CW')"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.change);
        AppFixture app;
        app.log->add({qso("K1A", "144 M", "FN31"), qso("K1B", "144 M", "FN42", "FN20", "CW", "2026/06/13", "18:01:00"),
                      qso("K1C", "50 M", "FN31", "FN20", "CW", "2026/06/13", "18:02:00")});
        ASSERT_TRUE(app.start());
        MainView f(*app.form);
        for (const QString &statement : QString(c.sql).split(u';'))
            ASSERT_EQ(runHelper({"exec", app.log->path, statement}), 0);
        f.contest.refreshTick();
        ASSERT_TRUE(settled(f.contest));
        expectAsFullReload(f, app.log->path);
    }
}

// Random adds, edits and deletions by another process, a tick after each
// batch, with now and then an edit or a deletion of this copy's operator:
// the window follows them exactly.
TEST(Refresh, RandomChangesByAnotherProcessAreFollowedExactly)
{
    const struct {
        unsigned seed;
        int batches, perBatch;
    } cases[] = {{7, 120, 1}, {11, 40, 4}, {23, 12, 20}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.seed);
        AppFixture app;
        app.log->add({qso("K1A", "144 M", "FN31")});
        ASSERT_TRUE(app.start());
        MainView f(*app.form);
        QTest::mouseClick(f.lastOrAll, Qt::LeftButton); // the list of all contacts
        ChangingLog other(app.log->path, c.seed);
        ASSERT_TRUE(other.ready);
        std::mt19937 rng(c.seed);
        for (int b = 0; b < c.batches; ++b) {
            if (const int n = f.contest.recordCount(); b % 3 == 1 && n > 0) {
                const int rec = 1 + static_cast<int>(rng() % static_cast<unsigned>(n));
                if (rng() % 2) {
                    QsoRecord r = f.contest.mirror().at(rec);
                    r.gridr = QStringLiteral("EM%1").arg(rng() % 100, 2, 10, QChar(u'0'));
                    r.uband = Bands::label(static_cast<int>(rng() % 4));
                    ASSERT_TRUE(f.contest.updateContact(rec, r.calls, r, nullptr));
                    EXPECT_EQ(f.list->model()->index(n - rec, 3).data().toString(), r.gridr);
                } else {
                    ASSERT_TRUE(f.contest.deleteContact(rec, nullptr));
                }
            }
            ASSERT_TRUE(other.change(c.perBatch));
            f.contest.refreshTick();
            ASSERT_TRUE(settled(f.contest));
            if (b % 10 == 9 || b == c.batches - 1)
                expectAsFullReload(f, app.log->path);
        }
    }
}

// The backup is made while the operator logs: the file holds the log as it
// was at one moment, and every contact typed meanwhile is logged.
TEST(Refresh, BackupWhileLoggingIsCompleteAndLosesNothing)
{
    AppFixture app;
    std::vector<QsoRecord> many;
    for (int i = 0; i < 3 * BackupWriter::SliceRecords; ++i)
        many.push_back(qso(QStringLiteral("W%1X").arg(i), "144 M", "FN31", "FN20", "CW", "2026/06/13",
                           QStringLiteral("17:%1:%2").arg(i / 60 % 60, 2, 10, QChar(u'0')).arg(i % 60, 2, 10, QChar(u'0'))));
    app.log->add(many);
    ASSERT_TRUE(app.start());
    MainView f(*app.form);
    const QString backup = QDir(app.work.path()).filePath("BckUpLog.dat");
    f.contest.setBackupTickCount(15);
    f.contest.refreshTick();
    ASSERT_TRUE(f.contest.backup().running());
    f.call->setFocus();
    for (const char *typed : {"K1ABC FN42\n", "K2DEF FN43\n", "K3GHI FN44\n"})
        typeKeys(f.call, typed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.contest.backup().running(); }, 20000));
    EXPECT_EQ(f.contest.recordCount(), static_cast<int>(many.size()) + 3);
    EXPECT_EQ(app.log->count(), static_cast<int>(many.size()) + 3);
    const QStringList lines = fileLines(backup);
    ASSERT_GE(lines.size(), static_cast<int>(many.size()));
    const QByteArray expected = LogStore::backupText(f.contest.mirror());
    EXPECT_TRUE(expected.startsWith(readAll(backup))) << "the backup is not the log as it was";

    // An edit elsewhere in a log of several slices is read back whole.
    ASSERT_EQ(runHelper({"exec", app.log->path, "update tbllog set gridr='EM12' where calls='W7X'"}), 0);
    f.contest.refreshTick();
    ASSERT_TRUE(settled(f.contest));
    expectAsFullReload(f, app.log->path);
}

TEST(Refresh, AFailingCountTriesAFullReloadAndReportsIt)
{
    AppFixture app;
    app.log->add({qso("W1AW", "144 M", "FN31")});
    ASSERT_TRUE(app.start());
    MainView f(*app.form);
    const int before = f.contest.reloadCount();
    // The share goes away: the connection is lost and the file cannot be found.
    const QString away = app.log->path + ".away";
    f.contest.store().close();
    ASSERT_TRUE(QFile::rename(app.log->path, away));
    app.dialogs.clear();
    f.contest.refreshTick();
    EXPECT_EQ(f.contest.reloadCount(), before + 1);
    EXPECT_EQ(app.dialogs.last().title, "File or Network Error");
    EXPECT_EQ(app.dialogs.last().text, "Error opening file.");
    EXPECT_EQ(f.contest.store().recordCount(), 1); // the mirror keeps what it had

    // The window coming back to the front after the message does not try
    // again and again while the log is away.
    f.call->clear();
    QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(f.call, &back);
    EXPECT_EQ(f.contest.reloadCount(), before + 1);

    // Back again: the next tick reconnects and finds the log as it was.
    ASSERT_TRUE(QFile::rename(away, app.log->path));
    app.dialogs.clear();
    f.contest.refreshTick();
    EXPECT_TRUE(app.dialogs.shown.isEmpty());
    EXPECT_TRUE(f.contest.store().isOpen());
    EXPECT_EQ(f.contest.store().recordCount(), 1);
}
