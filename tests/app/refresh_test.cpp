// The refresh cycle: contacts logged by another copy of the program on the
// same log file show up at the next tick once the call field is empty.
#include "support/AppFixture.h"

#include <QCoreApplication>
#include <QFocusEvent>

TEST(Refresh, AnotherProcessesContactIsPickedUpWhenTheCallFieldIsEmpty)
{
    AppFixture app;
    ASSERT_TRUE(app.start());
    MainView f(*app.form);
    const int reloadsAtStart = f.contest.reloadCount();

    // The operator is typing a call while another PC logs two contacts.
    f.call->setText("W1A");
    ASSERT_EQ(runHelper({"insert", app.log->path, "K2X", "FN30", "FN20", "144 M", "CW", "2"}), 0);
    f.contest.refreshTick();
    EXPECT_TRUE(f.contest.store().mirror().logChanged);
    f.contest.refreshTick();
    EXPECT_EQ(f.contest.store().recordCount(), 0);
    EXPECT_EQ(f.contest.reloadCount(), reloadsAtStart);

    // The first tick with an empty call field reloads.
    f.call->clear();
    f.contest.refreshTick();
    EXPECT_EQ(f.contest.store().recordCount(), 2);
    EXPECT_EQ(f.contest.reloadCount(), reloadsAtStart + 1);

    // This copy's own contact grows the loaded count with it: no reload.
    f.call->setFocus();
    typeKeys(f.call, "W9XYZ EN52\n");
    ASSERT_TRUE(f.call->text().isEmpty());
    f.contest.refreshTick();
    EXPECT_EQ(f.contest.reloadCount(), reloadsAtStart + 1);
    EXPECT_EQ(f.contest.store().recordCount(), 3);

    // Every sixteenth tick writes the backup.
    const QString backup = QDir(app.work.path()).filePath("BckUpLog.dat");
    QFile::remove(backup);
    f.contest.setBackupTickCount(0);
    for (int i = 0; i < 15; ++i)
        f.contest.refreshTick();
    EXPECT_FALSE(QFile::exists(backup));
    f.contest.refreshTick();
    EXPECT_EQ(fileLines(backup).size(), 3);
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
