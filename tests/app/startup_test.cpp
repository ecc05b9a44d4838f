// The start-up sequence as the operator sees it: the station window, the log
// it opens, and the question whether to continue the log.
#include "app/ClickableLabel.h"
#include "app/Form1.h"
#include "log/Bands.h"
#include "app/frmStationID.h"
#include "log/Folders.h"
#include "platform/Clock.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString eraseTitle = QStringLiteral("WARNING - Your existing log file will be ERASED!");
}

TEST(StartUp, StationWindowOpensTheLogAndYesKeepsIt)
{
    AppFixture app;
    app.log->add({qso("W1AW", "144 M", "FN31"), qso("K2XX", "50 M", "FN30")});
    ASSERT_TRUE(app.start(Dialogs::Answer::Yes));
    Form1 &f = *app.form;
    EXPECT_TRUE(f.store.isOpen());
    EXPECT_EQ(f.store.recordCount(), 2);
    EXPECT_EQ(f.windowTitle(), Form1::programName());
    const auto q = app.dialogs.last(QStringLiteral("message"));
    EXPECT_EQ(q.title, QStringLiteral("Open existing log?"));
    EXPECT_EQ(q.text, QStringLiteral("Do you want to continue an existing contest? (Yes opens your "
                                     "existing log, No erases any existing log and starts a new log.)"));
    EXPECT_FALSE(app.dialogs.sawTitle(eraseTitle));
    EXPECT_EQ(f.Label2->text(), QStringLiteral("K1ABC"));
    EXPECT_EQ(f.Label4->text(), QStringLiteral("FN20"));
    EXPECT_TRUE(f.Timer3->isActive());
    EXPECT_FALSE(f.cmdEdit->isVisible());
    // The station's identity is published in the shared XML file.
    QFile xml(QDir(Folders::dataFolders().shared).filePath(QStringLiteral("SharedUserPreferences.xml")));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    EXPECT_TRUE(xml.readAll().contains("<OWN_CALL>K1ABC</OWN_CALL>"));
}

TEST(StartUp, NoAsksForYesBeforeErasing)
{
    struct Case {
        QString typed;
        bool erases;
    };
    const Case cases[] = {{QStringLiteral("YES"), true},
                          {QStringLiteral("yes"), true},
                          {QStringLiteral("YES "), false},
                          {QString(), false}}; // Cancel
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        AppFixture app;
        app.log->add({qso("W1AW", "144 M", "FN31")});
        app.dialogs.inputs.push_back(c.typed);
        ASSERT_TRUE(app.start(Dialogs::Answer::No));
        const auto in = app.dialogs.last(QStringLiteral("input"));
        EXPECT_EQ(in.title, eraseTitle);
        EXPECT_EQ(in.text, QStringLiteral("Are you sure that you want to start a new log file?  This "
                                          "function will ERASE the existing log file!\n\nTo verify "
                                          "that you want to start a new log file, please type: YES"));
        EXPECT_EQ(app.log->count(), c.erases ? 0 : 1);
        EXPECT_EQ(app.form->store.recordCount(), c.erases ? 0 : 1);
    }
}

TEST(StartUp, ABadLogPathKeepsTheStationWindowOpenAndCreatesNothing)
{
    AppFixture app;
    const QString missing = app.work.filePath(QStringLiteral("nowhere/Halvern.MDB"));
    const QString notALog = app.work.filePath(QStringLiteral("notes.MDB"));
    {
        QFile f(notALog);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Standard Jet DB\0 this is not a log of ours", 42);
    }
    const QString sqliteOther = app.work.filePath(QStringLiteral("other.MDB"));
    {
        // An SQLite file of another program's layout.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(sqliteOther);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("create table tblLog (calls text, band text)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    QStringList tried;
    Form1 &f = app.create();
    f.show();
    whenModal(QStringLiteral("frmStationID"), [&](QWidget *w) {
        auto *s = static_cast<frmStationID *>(w);
        for (const QString &p : {missing, notALog, sqliteOther}) {
            s->Text8->setText(p);
            QTest::mouseClick(s->Command1, Qt::LeftButton);
            EXPECT_TRUE(s->isVisible());
            tried.append(app.dialogs.last(QStringLiteral("message")).title);
        }
        QTest::mouseClick(s->Command3, Qt::LeftButton); // Cancel ends the program
    });
    EXPECT_FALSE(f.startUp());
    EXPECT_EQ(tried, QStringList(3, QStringLiteral("File, Network or Install Error.")));
    EXPECT_TRUE(app.dialogs.last(QStringLiteral("message"))
                    .text.startsWith(QStringLiteral("Unable to find your log file (Halvern.MDB).  "
                                                    "Please very the location of the log file and try again.")));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(QDir(app.work.filePath(QStringLiteral("nowhere"))).exists());
    EXPECT_FALSE(f.store.isOpen());
}

TEST(StartUp, FirstStartPutsTheSuppliedEmptyLogAtTheDefaultPath)
{
    AppFixture app;
    const QString def = QDir(app.work.path()).filePath(QStringLiteral("Halvern.MDB"));
    ASSERT_FALSE(QFile::exists(def));
    QString shown;
    Form1 &f = app.create();
    whenModal(QStringLiteral("frmStationID"), [&](QWidget *w) {
        auto *s = static_cast<frmStationID *>(w);
        shown = s->Text8->text();
        QTest::mouseClick(s->Command1, Qt::LeftButton);
    });
    app.dialogs.answers.push_back(Dialogs::Answer::Yes);
    ASSERT_TRUE(f.startUp());
    EXPECT_EQ(shown, def);
    EXPECT_TRUE(LogEngine::isLogFile(def));
    EXPECT_TRUE(f.store.isOpen());
    EXPECT_EQ(f.station.logPath, def);
}

TEST(StartUp, NonNumericEntriesAreRefusedOrZeroed)
{
    AppFixture app;
    // The station window turns a non-numeric offset or position into 0.
    ASSERT_TRUE(app.start(Dialogs::Answer::Yes, [](frmStationID &s) {
        // The UTC field takes only "-" to "9"; Tab still moves on.
        s.activateWindow();
        s.Text6->setFocus();
        s.Text6->clear();
        QTest::keyClicks(s.Text6, QStringLiteral("-4x.5"));
        EXPECT_EQ(s.Text6->text(), QStringLiteral("-4.5"));
        QTest::keyClick(s.Text6, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), s.Text6);
        s.Text6->setText(QStringLiteral("abc"));
        s.Text2->setText(QStringLiteral("x"));
        s.Text3->setText(QString());
        return true;
    }));
    Form1 &f = *app.form;
    EXPECT_EQ(f.station.utcOffsetHours, 0.0f);
    // No position given: the south-west corner of FN20.
    EXPECT_DOUBLE_EQ(f.station.latitude, 40.0);
    EXPECT_DOUBLE_EQ(f.station.longitude, 76.0);

    struct Case {
        QString typed;
        float rate;
        bool invalid;
    };
    const Case rates[] = {{QStringLiteral("6000"), 6000, false},   {QStringLiteral("60000"), 60000, false},
                          {QStringLiteral("5999"), 60000, false},  {QStringLiteral("60001"), 60000, false},
                          {QStringLiteral("12000"), 12000, false}, {QStringLiteral("abc"), 12000, true},
                          {QString(), 12000, true}};
    for (const Case &c : rates) {
        SCOPED_TRACE(c.typed.toStdString());
        app.dialogs.clear();
        app.dialogs.inputs.push_back(c.typed);
        f.mnuRefreshrate_Click();
        EXPECT_EQ(app.dialogs.shown.first().title, QStringLiteral("Refresh Rate Settings"));
        EXPECT_EQ(f.station.refreshRateMs, c.rate);
        EXPECT_EQ(f.Timer3->interval(), static_cast<int>(c.rate));
        EXPECT_EQ(app.dialogs.sawTitle(QStringLiteral("Invalid Value.")), c.invalid);
        if (c.invalid) {
            EXPECT_EQ(app.dialogs.last().text, QStringLiteral("Invalid value."));
        }
    }

    const std::pair<QString, int> sizes[] = {{QStringLiteral("150"), 100}, {QStringLiteral("10"), 30},
                                             {QStringLiteral("85"), 85}, {QStringLiteral("big"), 85}};
    for (const auto &[typed, pct] : sizes) {
        app.dialogs.clear();
        app.dialogs.inputs.push_back(typed);
        f.mnuFormSize_Click();
        EXPECT_EQ(f.station.formSizePercent, pct);
        EXPECT_EQ(app.dialogs.last().title, typed == QLatin1String("big")
                                                ? QStringLiteral("Numeric Values Required")
                                                : QStringLiteral("For this setting to take effect please restart this program."));
    }
    // The task-bar option wants 100 %.
    app.dialogs.clear();
    f.mnuTaskBar_Click();
    EXPECT_EQ(app.dialogs.last().title, QStringLiteral("Please set your form size to 100% to use this option."));
    EXPECT_EQ(f.station.taskbar, 0);
}

TEST(StartUp, UtcOffsetCheckAsksOnlyWhenTheOffsetDiffers)
{
    struct Case {
        float saved;
        QString answer;
        float expected;
        bool asked;
    };
    // The fixed clock reads 13:30 local and 18:30 UTC: the offset is 5.
    const Case cases[] = {{5, QString(), 5, false},
                          {0, QStringLiteral("5"), 5, true},
                          {0, QString(), 0, true}, // Cancel keeps it
                          {0, QStringLiteral("five"), 0, true}};
    for (const Case &c : cases) {
        AppFixture app;
        Clock::setFixed(QDateTime(QDate(2026, 6, 13), QTime(13, 30)), QDateTime(QDate(2026, 6, 13), QTime(18, 30)));
        Station s;
        s.utcOffsetHours = c.saved;
        app.writePrefs(s);
        app.dialogs.inputs.push_back(c.answer);
        ASSERT_TRUE(app.start());
        const bool asked = app.dialogs.sawTitle(QStringLiteral("Update the Local Time / UTC Offset?"));
        EXPECT_EQ(asked, c.asked);
        if (asked) {
            const auto in = app.dialogs.shown.first();
            EXPECT_EQ(in.text, QStringLiteral("Would you like to adjust the UTC offset in this program for your local "
                                              "time setting?\n\nCurrent System Time: 18:30\n\nCurrent Local Time: "
                                              "13:30\n\nRecommended Offset Setting: 5\n\nCurrent Offset Setting: 0"
                                              "\n\nPlease click OK to accept the recommended change or Cancel to "
                                              "keep the current setting."));
            EXPECT_EQ(in.defaultText, QStringLiteral("5"));
        }
        EXPECT_EQ(app.form->station.utcOffsetHours, c.expected);
    }
}

TEST(StartUp, QuittingAndStartingAgainRestoresEveryPreference)
{
    AppFixture app;
    ASSERT_TRUE(app.start());
    Form1 &f = *app.form;
    f.mnuBand_Click(Bands::indexOf(QStringLiteral("432 M")));
    f.mnuPhone_Click();
    f.mnuRstDontRecord->trigger();
    f.mnuListPrevious->trigger();
    app.dialogs.inputs.push_back(QStringLiteral("9000"));
    f.mnuRefreshrate_Click();
    const Station saved = f.station;
    f.mnuExit_Click();
    app.form.reset();

    app.dialogs.clear();
    ASSERT_TRUE(app.start());
    Form1 &g = *app.form;
    EXPECT_EQ(g.station, saved);
    EXPECT_TRUE(g.mnuPhone->isChecked());
    EXPECT_FALSE(g.mnuCW->isChecked());
    EXPECT_EQ(g.Label30->text(), QStringLiteral("PH"));
    EXPECT_TRUE(g.bandMenuItems[3]->isChecked());
    EXPECT_TRUE(g.mnuRstDontRecord->isChecked());
    EXPECT_TRUE(g.mnuListPrevious->isChecked());
    EXPECT_EQ(g.Timer3->interval(), 9000);
    EXPECT_EQ(g.txtRSTR->maxLength(), 2);
}

TEST(StartUp, LogOnClockContinuesFromTheAccumulatedTime)
{
    AppFixture app;
    ASSERT_TRUE(app.start());
    Form1 &f = *app.form;
    f.cmdLogOn_Click();
    EXPECT_EQ(f.cmdLogOn->text(), QStringLiteral("&Log \"Time Off\""));
    Clock::advance(90 * 1000);
    f.clockTick();
    EXPECT_EQ(f.lblttrack->text(), QStringLiteral("00:01:30"));
    f.cmdLogOn_Click();
    EXPECT_EQ(f.cmdLogOn->text(), QStringLiteral("&Log \"Time On\""));
    EXPECT_EQ(f.lblDialog->text(), QStringLiteral("Logged Off at 6/13/2026 18:31:30"));
    Clock::advance(600 * 1000);
    f.cmdLogOn_Click();
    Clock::advance(1000);
    f.clockTick();
    EXPECT_EQ(f.lblttrack->text(), QStringLiteral("00:01:31"));
    // 100 hours and more show the last two digits of the hours.
    f.station.accumulatedOnSeconds = 101 * 3600;
    f.clockTick();
    EXPECT_EQ(f.lblttrack->text(), QStringLiteral("01:00:01"));
}
