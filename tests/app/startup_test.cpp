// The start-up sequence as the operator sees it: the station window, the log
// it opens, and the question whether to continue the log.
#include "support/AppFixture.h"

#include <algorithm>

TEST(StartUp, StationWindowOpensTheLogAndYesKeepsIt)
{
    AppFixture app;
    app.log->add({qso("W1AW", "144 M", "FN31"), qso("K2XX", "50 M", "FN30")});
    ASSERT_TRUE(app.start(Dialogs::Answer::Yes));
    MainView f(*app.form);
    EXPECT_EQ(f.contest.store().recordCount(), 2);
    const auto q = app.dialogs.last("message");
    EXPECT_EQ(q.title, "Open existing log?");
    EXPECT_EQ(q.text, "Do you want to continue an existing contest? (Yes opens your existing log, No erases any "
                      "existing log and starts a new log.)");
    EXPECT_EQ(f.ownCall->text(), "K1ABC");
    EXPECT_EQ(f.ownGrid->text(), "FN20");
    EXPECT_TRUE(f.refreshTimer->isActive());
    // The station's identity is published in the shared XML file.
    EXPECT_TRUE(readAll(QDir(Folders::dataFolders().shared).filePath("SharedUserPreferences.xml"))
                    .contains("<OWN_CALL>K1ABC</OWN_CALL>"));
}

TEST(StartUp, NoAsksForYesBeforeErasing)
{
    const std::pair<QString, bool> cases[] = {{"YES", true}, {"yes", true}, {"YES ", false}, {"", false}}; // "": Cancel
    for (const auto &[typed, erases] : cases) {
        SCOPED_TRACE(typed.toStdString());
        AppFixture app;
        app.log->add({qso("W1AW", "144 M", "FN31")});
        app.dialogs.inputs.push_back(typed);
        ASSERT_TRUE(app.start(Dialogs::Answer::No));
        const auto in = app.dialogs.last("input");
        EXPECT_EQ(in.title, "WARNING - Your existing log file will be ERASED!");
        EXPECT_EQ(in.text, "Are you sure that you want to start a new log file?  This function will ERASE the "
                           "existing log file!\n\nTo verify that you want to start a new log file, please type: YES");
        EXPECT_EQ(app.log->count(), erases ? 0 : 1);
        EXPECT_EQ(app.form->contest().store().recordCount(), erases ? 0 : 1);
    }
}

TEST(StartUp, DoneWantsTheCallAGridAndALogAndKeepsTheWindowOpenUntilThen)
{
    AppFixture app;
    // A preferences file whose first line lost its closing quote: the call
    // is lost, the rest of the file is read as it stands.
    Station kept;
    kept.ownCall = "K1ABC";
    kept.ownGrid = "FN20";
    QByteArray prefs = Preferences::serialize(kept);
    prefs.remove(prefs.indexOf("\r\n") - 1, 1);
    ASSERT_TRUE(writeBytes(app.work.filePath("vhfPrfNT.txt"), prefs));

    const QString missing = app.work.filePath("nowhere/Halvern.MDB");
    const QString notALog = app.work.filePath("notes.MDB");
    ASSERT_TRUE(writeBytes(notALog, QByteArray("Standard Jet DB\0 this is not a log of ours", 42)));
    const QString sqliteOther = app.work.filePath("other.MDB"); // another program's layout
    ASSERT_TRUE(execSql(sqliteOther, "create table tblLog (calls text, band text)"));
    const QString callWanted = "Please enter your call sign: letters, digits and / only.";
    const QString gridWanted =
        "Please enter your grid square: four characters such as FN20, or six such as FN20XA.";
    const QString unableToFind =
        "Unable to find your log file (Halvern.MDB).  Please very the location of the log file and try again.";
    struct Case {
        QString call, grid, path; // null: as the window shows it
        QString text;             // the start of the message Done gives
    };
    const Case cases[] = {
        {{}, {}, app.log->path, callWanted}, // as the broken preferences left them
        {"K1ABC", "", app.log->path, gridWanted},
        {"", "FN20", app.log->path, callWanted},
        {"   ", "FN20", app.log->path, callWanted},
        {"K1\"ABC", "FN20", app.log->path, callWanted},
        {"K1ABC", "FN2", app.log->path, gridWanted},
        {"K1ABC", "FN20A", app.log->path, gridWanted},
        {"K1ABC", "SN20", app.log->path, gridWanted},
        {"K1ABC", "FN2O", app.log->path, gridWanted},
        {"K1ABC", "FN20YA", app.log->path, gridWanted},
        {"K1ABC", "FN20", missing, unableToFind},
        {"K1ABC", "FN20", notALog, unableToFind},
        {"K1ABC", "FN20", sqliteOther, unableToFind},
    };
    MainWindow &f = app.create();
    f.show();
    whenModal("frmStationID", [&](QWidget *s) {
        for (const Case &c : cases) {
            SCOPED_TRACE((c.call + "|" + c.grid + "|" + c.path).toStdString());
            app.dialogs.clear();
            if (!c.call.isNull())
                fieldOf(*s, "Text1")->setText(c.call);
            if (!c.grid.isNull())
                fieldOf(*s, "Text5")->setText(c.grid);
            fieldOf(*s, "Text8")->setText(c.path);
            QTest::mouseClick(buttonOf(*s, "Command1"), Qt::LeftButton);
            if (!s->isVisible())
                return ADD_FAILURE() << "Done closed the window";
            EXPECT_EQ(app.dialogs.shown.size(), 1);
            EXPECT_TRUE(app.dialogs.last().text.startsWith(c.text)) << app.dialogs.last().text.toStdString();
            EXPECT_EQ(app.dialogs.last().title, c.text == unableToFind ? "File, Network or Install Error."
                                                                       : "Station Setup Incomplete");
        }
        QTest::mouseClick(buttonOf(*s, "Command3"), Qt::LeftButton); // Cancel ends the program
    });
    EXPECT_FALSE(f.startUp());
    EXPECT_FALSE(QDir(app.work.filePath("nowhere")).exists());
    EXPECT_FALSE(f.contest().store().isOpen());

    // A six-character grid, in either case, is taken.
    app.form.reset();
    ASSERT_TRUE(app.start(Dialogs::Answer::Yes, [](QWidget &s) {
        fieldOf(s, "Text1")->setText("K1ABC");
        fieldOf(s, "Text5")->setText("FN20xa");
        return true;
    }));
    EXPECT_EQ(app.form->contest().station().ownGrid, "FN20xa");
}

TEST(StartUp, FirstStartPutsTheSuppliedEmptyLogAtTheDefaultPath)
{
    AppFixture app;
    const QString def = QDir(app.work.path()).filePath("Halvern.MDB");
    QString shown;
    whenModal("frmStationID", [&](QWidget *s) {
        shown = fieldOf(*s, "Text8")->text();
        fieldOf(*s, "Text1")->setText("K1ABC");
        fieldOf(*s, "Text5")->setText("FN20");
        QTest::mouseClick(buttonOf(*s, "Command1"), Qt::LeftButton);
    });
    app.dialogs.answers.push_back(Dialogs::Answer::Yes);
    ASSERT_TRUE(app.create().startUp());
    EXPECT_EQ(shown, def);
    EXPECT_TRUE(LogEngine::isLogFile(def));
    EXPECT_EQ(app.form->contest().station().logPath, def);
}

TEST(StartUp, NonNumericEntriesAreRefusedOrZeroed)
{
    AppFixture app;
    // The station window turns a non-numeric offset or position into 0.
    ASSERT_TRUE(app.start(Dialogs::Answer::Yes, [](QWidget &s) {
        // The UTC field takes only "-" to "9"; Tab still moves on.
        QLineEdit *utc = fieldOf(s, "Text6");
        s.activateWindow();
        utc->setFocus();
        utc->clear();
        QTest::keyClicks(utc, "-4x.5");
        EXPECT_EQ(utc->text(), "-4.5");
        QTest::keyClick(utc, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), utc);
        utc->setText("abc");
        fieldOf(s, "Text2")->setText("x");
        fieldOf(s, "Text3")->setText("");
        return true;
    }));
    MainView f(*app.form);
    EXPECT_EQ(f.contest.station().utcOffsetHours, 0.0f);
    // No position given: the south-west corner of FN20.
    EXPECT_DOUBLE_EQ(f.contest.station().latitude, 40.0);
    EXPECT_DOUBLE_EQ(f.contest.station().longitude, 76.0);

    // Refresh rates outside 6 to 60 seconds become 60; a non-number is refused.
    const std::tuple<QString, float, bool> rates[] = {
        {"6000", 6000, false},   {"60000", 60000, false}, {"5999", 60000, false}, {"60001", 60000, false},
        {"12000", 12000, false}, {"abc", 12000, true},    {"", 12000, true}};
    for (const auto &[typed, rate, invalid] : rates) {
        SCOPED_TRACE(typed.toStdString());
        app.dialogs.clear();
        app.dialogs.inputs.push_back(typed);
        f.menu("mnuRefreshrate")->trigger();
        EXPECT_EQ(app.dialogs.shown.first().title, "Refresh Rate Settings");
        EXPECT_EQ(f.refreshTimer->interval(), int(rate));
        EXPECT_EQ(app.dialogs.last().title == "Invalid Value." && app.dialogs.last().text == "Invalid value.", invalid);
    }

    const QString restart = "For this setting to take effect please restart this program.";
    const std::tuple<QString, int, QString> sizes[] = {
        {"150", 100, restart}, {"10", 30, restart}, {"85", 85, restart}, {"big", 85, "Numeric Values Required"}};
    for (const auto &[typed, pct, title] : sizes) {
        app.dialogs.clear();
        app.dialogs.inputs.push_back(typed);
        f.menu("mnuFormSize")->trigger();
        EXPECT_EQ(f.contest.station().formSizePercent, pct) << typed.toStdString();
        EXPECT_EQ(app.dialogs.last().title, title);
    }
    // The task-bar option wants 100 %.
    app.dialogs.clear();
    f.menu("mnuTaskBar")->trigger();
    EXPECT_EQ(app.dialogs.last().title, "Please set your form size to 100% to use this option.");
    EXPECT_EQ(f.contest.station().taskbar, 0);
}

TEST(StartUp, UtcOffsetCheckAsksOnlyWhenTheOffsetDiffers)
{
    // The fixed clock reads 13:30 local and 18:30 UTC: the offset is 5.
    const std::tuple<float, QString, float, bool> cases[] = {
        {5, "", 5, false}, {0, "5", 5, true}, {0, "", 0, true} /* Cancel keeps it */, {0, "five", 0, true}};
    for (const auto &[saved, answer, expected, asked] : cases) {
        AppFixture app;
        Clock::setFixed(QDateTime(QDate(2026, 6, 13), QTime(13, 30)), QDateTime(QDate(2026, 6, 13), QTime(18, 30)));
        Station s;
        s.utcOffsetHours = saved;
        app.writePrefs(s);
        app.dialogs.inputs.push_back(answer);
        ASSERT_TRUE(app.start());
        const auto first = app.dialogs.shown.first();
        EXPECT_EQ(first.title == "Update the Local Time / UTC Offset?", asked);
        if (asked) {
            EXPECT_EQ(first.text, "Would you like to adjust the UTC offset in this program for your local time "
                                  "setting?\n\nCurrent System Time: 18:30\n\nCurrent Local Time: 13:30\n\nRecommended "
                                  "Offset Setting: 5\n\nCurrent Offset Setting: 0\n\nPlease click OK to accept the "
                                  "recommended change or Cancel to keep the current setting.");
            EXPECT_EQ(first.defaultText, "5");
        }
        EXPECT_EQ(app.form->contest().station().utcOffsetHours, expected);
    }
}

TEST(StartUp, QuittingAndStartingAgainRestoresThePreferencesAndTheTimeOn)
{
    AppFixture app;
    ASSERT_TRUE(app.start());
    MainView f(*app.form);
    f.logOn->click();
    EXPECT_EQ(f.logOn->text(), "&Log \"Time Off\"");
    Clock::advance(90 * 1000);
    f.tickClocks();
    EXPECT_EQ(f.onTime->text(), "00:01:30");
    f.logOn->click();
    EXPECT_EQ(f.logOn->text(), "&Log \"Time On\"");
    EXPECT_EQ(f.message->text(), "Logged Off at 6/13/2026 18:31:30");
    Clock::advance(600 * 1000); // off the air: not counted
    f.logOn->click();
    Clock::advance(1000);
    f.tickClocks();
    EXPECT_EQ(f.onTime->text(), "00:01:31");

    f.chooseBand("432 M");
    f.choosePhone();
    f.menu("mnuRstDontRecord")->trigger();
    f.menu("mnuListPrevious")->trigger();
    app.dialogs.inputs.push_back("9000");
    f.menu("mnuRefreshrate")->trigger();
    f.menu("mnuExit")->trigger();
    const Station saved = f.contest.station();
    EXPECT_EQ(saved.accumulatedOnSeconds, 91);
    app.form.reset();

    ASSERT_TRUE(app.start());
    MainView g(*app.form);
    EXPECT_EQ(g.contest.station(), saved);
    EXPECT_TRUE(g.menu("mnuPhone")->isChecked() && g.bandItem(3)->isChecked());
    EXPECT_TRUE(g.menu("mnuRstDontRecord")->isChecked() && g.menu("mnuListPrevious")->isChecked());
    EXPECT_EQ(g.refreshTimer->interval(), 9000);
    // 100 hours and more show the last two digits of the hours.
    g.logOn->click();
    g.contest.station().accumulatedOnSeconds = 101 * 3600;
    Clock::advance(1000);
    g.tickClocks();
    EXPECT_EQ(g.onTime->text(), "01:00:01");
}

TEST(StartUp, UnusablePreferencesAndAnUnwritableFolderAreToldOnce)
{
    const auto count = [](const ScriptedDialogs &d, const QString &title) {
        return std::count_if(d.shown.begin(), d.shown.end(), [&](const auto &x) { return x.title == title; });
    };
    {
        AppFixture app;
        Station s;
        s.currentBand = "999 M";
        s.currentMode = "XX";
        app.writePrefs(s);
        ASSERT_TRUE(app.start());
        ASSERT_EQ(count(app.dialogs, "Preferences Not Used"), 1);
        const QString told = app.dialogs.shown.first().text;
        EXPECT_TRUE(told.startsWith("Some settings in the preferences file vhfPrfNT.txt could not be used"));
        EXPECT_TRUE(told.contains("999 M")) << told.toStdString();
        EXPECT_EQ(app.form->contest().station().currentBand, "144 M");
        EXPECT_EQ(app.form->contest().station().currentMode, "CW");
    }
    // A working folder that cannot be written is told at the start, not again
    // at every save; a folder lost later is told at its first failed save.
    AppFixture app;
    const QString missing = app.work.filePath("missing");
    Folders::setWorkDir(missing);
    ASSERT_TRUE(app.start());
    EXPECT_EQ(count(app.dialogs, "Working Folder Not Writable"), 1);
    MainView f(*app.form);
    f.chooseBand("432 M");
    f.choosePhone();
    EXPECT_EQ(count(app.dialogs, "File Not Written"), 0);
    Folders::setWorkDir(app.work.path());
    f.chooseBand("222 M");
    Folders::setWorkDir(missing);
    app.dialogs.clear();
    f.chooseBand("432 M");
    f.chooseCw();
    ASSERT_EQ(app.dialogs.shown.size(), 1);
    EXPECT_EQ(app.dialogs.last().title, "File Not Written");
    EXPECT_TRUE(app.dialogs.last().text.startsWith("vhfPrfNT.txt could not be written: "));
    Folders::setWorkDir(app.work.path());
}
