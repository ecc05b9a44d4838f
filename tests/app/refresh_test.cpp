// The refresh cycle: contacts logged by another copy of the program on the
// same log file show up at the next tick once the call field is empty.
#include "app/Form1.h"
#include "log/Folders.h"
#include "support/AppFixture.h"

#include <QDir>
#include <QCoreApplication>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

TEST(Refresh, AnotherProcessesContactIsPickedUpWhenTheCallFieldIsEmpty)
{
    AppFixture app;
    ASSERT_TRUE(app.start());
    Form1 &f = *app.form;
    ASSERT_EQ(f.store.recordCount(), 0);
    const int reloadsAtStart = f.reloads;

    // The operator is typing a call while another PC logs two contacts.
    f.txtCall->setText(QStringLiteral("W1A"));
    ASSERT_EQ(runHelper({QStringLiteral("insert"), app.log->path, QStringLiteral("K2X"),
                         QStringLiteral("FN30"), QStringLiteral("FN20"), QStringLiteral("144 M"),
                         QStringLiteral("CW"), QStringLiteral("2")}),
              0);
    f.refreshTick();
    EXPECT_TRUE(f.store.mirror().logChanged);
    EXPECT_EQ(f.store.recordCount(), 0);
    EXPECT_EQ(f.reloads, reloadsAtStart);
    f.refreshTick();
    EXPECT_EQ(f.store.recordCount(), 0);

    // The first tick with an empty call field reloads.
    f.txtCall->clear();
    f.refreshTick();
    EXPECT_EQ(f.store.recordCount(), 2);
    EXPECT_EQ(f.reloads, reloadsAtStart + 1);
    EXPECT_FALSE(f.store.mirror().logChanged);

    // This copy's own contact grows the loaded count with it: no reload.
    f.txtCall->setFocus();
    typeKeys(f.txtCall, QStringLiteral("W9XYZ EN52\n"));
    ASSERT_TRUE(f.txtCall->text().isEmpty());
    f.refreshTick();
    EXPECT_EQ(f.reloads, reloadsAtStart + 1);
    EXPECT_EQ(f.store.recordCount(), 3);
}

TEST(Refresh, EverySixteenthTickWritesTheBackup)
{
    AppFixture app;
    app.log->add({qso("W1AW", "144 M", "FN31")});
    ASSERT_TRUE(app.start());
    Form1 &f = *app.form;
    const QString backup = QDir(app.work.path()).filePath(QStringLiteral("BckUpLog.dat"));
    for (int i = 0; i < 15; ++i)
        f.refreshTick();
    EXPECT_FALSE(QFile::exists(backup));
    f.refreshTick();
    ASSERT_TRUE(QFile::exists(backup));
    EXPECT_EQ(f.backupTickCount, 0);
    QFile b(backup);
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    EXPECT_TRUE(b.readAll().startsWith("\"W1AW\",\"599\",\"FN31\""));
}

TEST(Refresh, AFailingCountTriesAFullReloadAndReportsIt)
{
    AppFixture app;
    app.log->add({qso("W1AW", "144 M", "FN31")});
    ASSERT_TRUE(app.start());
    Form1 &f = *app.form;
    const int before = f.reloads;
    // The share goes away: the connection is lost and the file cannot be found.
    const QString away = app.log->path + QStringLiteral(".away");
    f.store.close();
    ASSERT_TRUE(QFile::rename(app.log->path, away));
    app.dialogs.clear();
    f.refreshTick();
    EXPECT_EQ(f.reloads, before + 1);
    EXPECT_EQ(app.dialogs.last().title, QStringLiteral("File or Network Error"));
    EXPECT_EQ(app.dialogs.last().text, QStringLiteral("Error opening file."));
    // The mirror keeps what it had.
    EXPECT_EQ(f.store.recordCount(), 1);

    // The window coming back to the front after the message does not try
    // again and again while the log is away.
    f.txtCall->clear();
    const int afterFailure = f.reloads;
    QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(f.txtCall, &back);
    EXPECT_EQ(f.reloads, afterFailure);

    // Back again: the next tick reconnects and finds the log as it was.
    ASSERT_TRUE(QFile::rename(away, app.log->path));
    app.dialogs.clear();
    f.refreshTick();
    EXPECT_TRUE(app.dialogs.shown.isEmpty());
    EXPECT_TRUE(f.store.isOpen());
    EXPECT_EQ(f.store.recordCount(), 1);
}
