// Logging contacts through the main window with the keyboard alone; bands
// and modes as the operator chooses them in the main window, and as the
// rig's frequency and mode select them.
#include "support/AppFixture.h"

#include <QClipboard>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <iostream>

namespace {

// The main window on 144 MHz CW, the caret in the call field.
struct Entry : AppFixture {
    std::unique_ptr<MainView> f;
    explicit Entry(const std::vector<QsoRecord> &earlier = {}, LogKind kind = LogKind::File)
    {
        if (kind != LogKind::File)
            log = std::make_unique<TempLog>(kind);
        log->add(earlier);
        EXPECT_TRUE(start());
        f = std::make_unique<MainView>(*form);
        f->chooseBand("144 M");
        f->chooseCw();
        f->call->setFocus();
    }
    void type(const QString &keys) { typeKeys(f->call, keys); }
    QWidget *focused() const { return QApplication::focusWidget(); }
    std::vector<QsoRecord> logged() const { return rowsOf(log->path); }
};

// The checked band menu items, and the panel labels in the current band's colour.
QList<int> checkedBands(const MainView &f)
{
    QList<int> out;
    for (int i = 0; i < Bands::Count; ++i)
        if (f.bandItem(size_t(i))->isChecked())
            out.append(i);
    return out;
}
QList<int> highlightedPanels(const MainView &f)
{
    QList<int> out;
    for (size_t i = 0; i < Bands::PanelCount; ++i) {
        const QColor bg = backgroundOf(f.bandCaption(i));
        EXPECT_EQ(backgroundOf(f.bandCount(i)), bg) << i;
        if (bg == bgrColor(UiColors::CurrentBand))
            out.append(int(i));
        else
            EXPECT_EQ(bg, bgrColor(UiColors::OtherBand)) << i;
    }
    return out;
}
} // namespace

TEST(Entry, ADigitAfterACompleteCallStartsTheReport)
{
    const std::tuple<QString, QString, QString> cases[] = {{"w1aw5", "W1AW", "5"}, {"W1AW/R5", "W1AW/R5", ""}};
    for (const auto &[keys, call, rstr] : cases) {
        SCOPED_TRACE(keys.toStdString());
        Entry e;
        e.type(keys);
        EXPECT_EQ(e.f->call->text(), call);
        EXPECT_EQ(e.f->received->text(), rstr);
        EXPECT_EQ(e.focused(), rstr.isEmpty() ? e.f->call : e.f->received);
    }
    // With the caret inside the call the digit stays in the call.
    Entry e;
    e.type("W1AW");
    QTest::keyClick(e.f->call, Qt::Key_Home);
    e.type("5");
    EXPECT_EQ(e.f->call->text(), "5W1AW");
    EXPECT_EQ(e.focused(), e.f->call);
}

TEST(Entry, ALetterAfterTheReportStartsTheGridAndEnterLogs)
{
    Entry e;
    e.type("w1aw ");
    EXPECT_EQ(e.focused(), e.f->received);
    EXPECT_EQ(e.f->received->text(), "599");
    EXPECT_EQ(e.f->sent->text(), "599");
    // Default reports are offered selected, so typing replaces them; a
    // letter after the report starts the grid.
    e.type("59f");
    EXPECT_EQ(e.f->received->text(), "59");
    EXPECT_EQ(e.focused(), e.f->grid);
    EXPECT_EQ(e.f->grid->text(), "F");
    e.type("n20xa\n");
    QsoRecord expected = qso("W1AW", "144 M", "FN20xa", "FN20", "CW", "2026/06/13", "18:30:00");
    expected.rstr = "59";
    EXPECT_EQ(e.logged(), std::vector<QsoRecord>{expected});
    EXPECT_TRUE(e.f->call->text().isEmpty());
    EXPECT_TRUE(e.f->grid->text().isEmpty());
    EXPECT_EQ(e.focused(), e.f->call);
    EXPECT_EQ(e.f->contacts->text(), "1");
    EXPECT_EQ(e.f->bandCount(1)->text(), "1 / 1");
}

TEST(Entry, DefaultReportsByModeAndReportsOff)
{
    Entry e;
    e.f->choosePhone();
    e.type("K2XX ");
    EXPECT_EQ(e.f->received->text(), "59");
    EXPECT_EQ(e.f->sent->text(), "59");
    // In CW a report already typed is kept.
    e.f->clear->click();
    e.f->chooseCw();
    e.f->call->setFocus();
    e.type("K2XX");
    e.f->sent->setText("57");
    QTest::keyClick(e.f->call, Qt::Key_Tab);
    EXPECT_EQ(e.f->received->text(), "599");
    EXPECT_EQ(e.f->sent->text(), "57");

    // With reports off Tab goes to the grid and empty reports are stored.
    e.f->clear->click();
    e.f->menu("mnuRstDontRecord")->trigger();
    e.f->call->setFocus();
    e.type("W1AW\t");
    EXPECT_EQ(e.focused(), e.f->grid);
    e.type("FN31\n");
    const auto rows = e.logged();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].rstr.isEmpty() && rows[0].rsts.isEmpty());
}

TEST(Entry, IncompleteEntriesAreNotLogged)
{
    Entry e;
    const std::tuple<QString, QString, QString, QLineEdit *> cases[] = {
        {"K1", "FN31", "Need Call Sign!", e.f->call},
        {"K1ABC", "", "Need Grid!", e.f->grid},
        {"", "", "Need Call Sign!", e.f->call}}; // both missing: the call first
    for (const auto &[call, grid, message, focus] : cases) {
        e.dialogs.clear();
        e.f->call->setText(call);
        e.f->grid->setText(grid);
        QTest::keyClick(e.f->call, Qt::Key_Return);
        EXPECT_EQ(e.f->message->text(), message);
        EXPECT_EQ(e.focused(), focus);
        EXPECT_EQ(e.f->call->text(), call);
        EXPECT_GT(e.dialogs.beeps, 0);
    }
    EXPECT_TRUE(e.logged().empty());
}

TEST(Entry, PastedTextFollowsTheRulesOfTypedKeys)
{
    Entry e;
    e.f->menu("mnuPostContest")->trigger();
    // What the clipboard holds, pasted with Ctrl+V into an empty field.
    const std::tuple<QLineEdit *, QString, QString> cases[] = {
        {e.f->call, "w1'a\"w\r\n\t\x01", "W1AW"},
        {e.f->grid, " fn20\"xa\n", "FN20xa"},
        {e.f->received, "5\r9", "59"},
        {e.f->postTime, "18 05", "1805"},
        {e.f->postDate, "2026/06-13", "2026/0613"},
    };
    for (const auto &[field, pasted, shown] : cases) {
        SCOPED_TRACE(pasted.toStdString());
        field->setFocus();
        field->clear();
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(field->text(), shown);
    }
    // A line end in the pasted text is no Enter: nothing was logged.
    EXPECT_TRUE(e.logged().empty());
}

TEST(Entry, PostContestModeTakesTheTypedDateAndTime)
{
    Entry e;
    e.f->menu("mnuPostContest")->trigger();
    ASSERT_TRUE(e.f->postTime->isVisible());
    e.f->postTime->setFocus();
    e.type("18a05");
    EXPECT_EQ(e.f->postTime->text(), "1805");
    e.f->postDate->setFocus();
    EXPECT_EQ(e.f->postDate->text(), "2026/06/13"); // today is offered
    e.f->postDate->setText("6/12/2026");
    e.f->call->setFocus();
    e.type("W1AW FN31\n");
    ASSERT_EQ(e.logged().size(), 1u);
    EXPECT_EQ(e.logged()[0].fldtime, "18:05");
    EXPECT_EQ(e.logged()[0].flddate, "2026/06/12");
    EXPECT_EQ(e.f->postTime->text(), "1805"); // kept for the next contact

    e.f->postTime->setText("2575");
    e.type("K2XX FN30\n");
    EXPECT_EQ(e.f->message->text(), "Invalid time format!");
    e.f->postTime->setText("905");
    e.f->postDate->setText("2026/02/30");
    QTest::keyClick(e.f->call, Qt::Key_Return);
    EXPECT_EQ(e.f->message->text(), "Invalid date format!");
    EXPECT_EQ(e.logged().size(), 1u);
    EXPECT_EQ(e.f->call->text(), "K2XX");
}

TEST(Entry, CallShapeWarningAndPartialDupeHint)
{
    Entry e({qso("K1ABC", "144 M", "FN31"), qso("K1ABD", "144 M", "FN31"), qso("K1ABE", "50 M", "FN31"),
             qso("K1ABF", "144 M", "FN31", "FN21")});
    const QString notNumeric = "The second or third character is not numeric!";
    e.type("KAB");
    EXPECT_EQ(e.f->message->text(), notNumeric);
    EXPECT_GT(e.dialogs.beeps, 0);
    e.f->clear->click();
    // Only calls worked on this band from this own grid are hinted.
    e.type("k1a");
    EXPECT_NE(e.f->message->text(), notNumeric);
    EXPECT_EQ(e.f->hint->text(), " K1ABC K1ABD");
    e.type("b");
    EXPECT_EQ(e.f->message->text(), "Possible Duplicate!");
    e.type("c");
    EXPECT_EQ(e.f->hint->text(), " K1ABC");
    // Switched off, no hint.
    QTest::mouseClick(e.f->partialDupes, Qt::LeftButton);
    EXPECT_EQ(e.f->partialDupes->text(), "Off");
    e.f->clear->click();
    e.type("K1A");
    EXPECT_TRUE(e.f->hint->text().isEmpty());
}

TEST(Entry, PreviousContactScanOffersTheGridAndWarns)
{
    Entry e({qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:22:10"),
             qso("W1AW", "432 M", "FN31", "FN20", "CW", "2026/06/13", "18:25:00")});
    e.type("w1aw ");
    EXPECT_EQ(e.f->grid->text(), "FN31");
    EXPECT_EQ(e.f->message->text(), "Duplicate Unless Rover! W1AW FN31 06/13 18:22:10  Rec#  1");
    // The offered grid is selected: typing replaces it, capitals as usual.
    e.type(" ");
    ASSERT_EQ(e.focused(), e.f->grid);
    e.type("fn32\n");
    ASSERT_EQ(e.logged().size(), 3u);
    EXPECT_EQ(e.logged().back().gridr, "FN32");
}

TEST(Entry, ADupeIsRefusedAndKeysAreHeldForThreeSeconds)
{
    Entry e({qso("W1AW", "144 M", "FN31", "FN20", "PH", "2026/06/13", "18:22:10")});
    // Same call, band and grids in the other mode, typed in lower case.
    e.f->call->setText("w1aw");
    e.f->grid->setText("fn31");
    QTest::keyClick(e.f->grid, Qt::Key_Return);
    EXPECT_EQ(e.f->message->text(), "Dupe: W1AW FN31 ON 2026/06/13 18:22:10");
    EXPECT_EQ(backgroundOf(e.f->message), QColor(255, 0, 0));
    EXPECT_TRUE(e.f->call->text().isEmpty());
    EXPECT_EQ(e.logged().size(), 1u);
    // Keys typed during the hold arrive, in order, when it ends.
    e.type("K2");
    EXPECT_TRUE(e.f->call->text().isEmpty());
    EXPECT_TRUE(control<QTimer>(e.f->window, "Timer2")->isActive()); // the window keeps running
    auto *hold = e.f->window.findChild<QTimer *>("holdTimer");
    ASSERT_TRUE(hold && hold->isActive());
    Clock::advance(3000);
    emit hold->timeout({});
    EXPECT_EQ(e.f->call->text(), "K2");
    e.type("X");
    EXPECT_EQ(e.f->call->text(), "K2X");

    // Another received grid or another own grid is a new contact.
    e.f->clear->click();
    e.type("W1AW FN32\n");
    e.f->contest.station().ownGrid = "FN21";
    e.type("W1AW FN31\n");
    EXPECT_EQ(e.logged().size(), 3u);
}

TEST(Entry, AFailedInsertKeepsTheFieldsAndEnterRetries)
{
    // The log goes away between two contacts and comes back: the shared
    // file as a new copy (a restored share), the server restarted.
    for (const LogKind kind : {LogKind::File, LogKind::Server}) {
        SCOPED_TRACE(kind == LogKind::File ? "file" : "server");
        if (kind == LogKind::Server && !PgServer::get().running()) {
            std::cout << "no PostgreSQL test server: " << PgServer::get().whyNot().toStdString() << "\n";
            continue;
        }
        Entry e({}, kind);
        const QString away = e.log->path + ".away";
        if (kind == LogKind::File) {
            ASSERT_TRUE(QFile::rename(e.log->path, away));
        } else {
            ASSERT_TRUE(PgServer::get().stop());
        }
        e.type("W1AW FN31\n");
        EXPECT_EQ(e.dialogs.last().title, "Network Error!");
        EXPECT_EQ(e.dialogs.last().text, "Network Error, please try again.");
        EXPECT_EQ(e.f->call->text(), "W1AW");
        EXPECT_EQ(e.f->grid->text(), "FN31");
        EXPECT_EQ(e.f->contest.store().recordCount(), 0);
        if (kind == LogKind::File) {
            ASSERT_TRUE(QFile::copy(away, e.log->path));
        } else {
            ASSERT_TRUE(PgServer::get().start());
        }
        // Enter logs once.
        QTest::keyClick(e.f->grid, Qt::Key_Return);
        EXPECT_EQ(e.logged().size(), 1u);
        EXPECT_EQ(e.f->contest.store().recordCount(), 1);
        EXPECT_TRUE(e.f->call->text().isEmpty());
        QTest::keyClick(e.f->call, Qt::Key_Return);
        EXPECT_EQ(e.logged().size(), 1u);
    }
}

TEST(Entry, ALockedLogKeepsTheWindowAnsweringAndLogsWhenFree)
{
    Entry e;
    auto *retry = e.f->window.findChild<QTimer *>("logRetryTimer");
    ASSERT_TRUE(retry);
    e.dialogs.clear();
    {
        HeldLog other(e.log->path, "exclusive");
        ASSERT_TRUE(other.ready);
        e.type("W1AW FN31\n");
        // The contact waits; the fields are free for the next call at once.
        EXPECT_EQ(e.f->message->text(), EntryTexts::waitingForLog("W1AW"));
        EXPECT_TRUE(e.f->call->text().isEmpty());
        EXPECT_TRUE(retry->isActive());
        e.type("K2");
        EXPECT_EQ(e.f->call->text(), "K2");
        // A refresh tick meanwhile raises no box.
        e.f->contest.refreshTick();
        EXPECT_TRUE(e.dialogs.shown.isEmpty());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return e.logged().size() == 1; }, 10000));
    EXPECT_EQ(e.logged().front().calls, "W1AW");
    EXPECT_EQ(e.f->contacts->text(), "1");
    EXPECT_EQ(e.f->call->text(), "K2");
    EXPECT_FALSE(retry->isActive());

    // Esc abandons a waiting contact: nothing is written once the log is free.
    e.f->clear->click();
    HeldLog other(e.log->path, "exclusive");
    e.type("K3XX FN32\n");
    ASSERT_TRUE(retry->isActive());
    QTest::keyClick(e.f->call, Qt::Key_Escape);
    EXPECT_EQ(e.f->message->text(), EntryTexts::notLogged("K3XX"));
    EXPECT_FALSE(retry->isActive());
    other.release();
    e.type("K4YY FN33\n");
    EXPECT_EQ(e.logged().size(), 2u);
    EXPECT_EQ(e.logged().back().calls, "K4YY");
}

TEST(Bands, RigFrequencySelectsTheBandByExclusiveWindows)
{
    Entry e; // on 144 MHz
    MainView &f = *e.f;
    // A frequency outside every window leaves the band as it was.
    const std::pair<float, const char *> cases[] = {
        {54.0001f, "144 M"}, {2300.0f, "144 M"}, {2300.5f, "2.3 G"}, {432.100f, "432 M"}, {28.5f, "432 M"},
        {49.9999f, "432 M"}, {50.0f, "50 M"},    {10368.1f, "10 G"}, {1296.1f, "1.3 G"}, {148.0001f, "1.3 G"},
    };
    for (const auto &[mhz, band] : cases) {
        f.contest.followRigFrequency(mhz);
        EXPECT_EQ(f.contest.station().currentBand, band) << mhz;
    }
    // A frequency inside the current band does not run the band change again.
    QSignalSpy changes(&f.contest, &Contest::bandOrModeChanged);
    f.contest.followRigFrequency(1296.2f);
    EXPECT_EQ(changes.count(), 0);

    // The rig's mode: phone only for "PH", anything else is CW.
    for (const char *m : {"", "USB", "RTTY", "cw"}) {
        f.contest.followRigMode(m);
        EXPECT_EQ(f.contest.station().currentMode, "CW") << m;
    }
    f.contest.followRigMode("PH");
    EXPECT_EQ(f.contest.station().currentMode, "PH");
    EXPECT_EQ(f.received->maxLength(), 2);
    QTest::mouseClick(f.mode, Qt::LeftButton);
    EXPECT_EQ(f.contest.station().currentMode, "CW");
    EXPECT_EQ(f.received->maxLength(), 3);
    EXPECT_EQ(f.sent->maxLength(), 3);
    EXPECT_TRUE(f.menu("mnuCW")->isChecked());
}

TEST(Bands, MenusLabelsAndTheUhfRule)
{
    AppFixture app;
    ASSERT_TRUE(app.start(Dialogs::Answer::Yes, [](QWidget &s) {
        control<QRadioButton>(s, "Option3")->setChecked(true); // the UHF contest
        return true;
    }));
    MainView f(*app.form);
    ASSERT_EQ(f.contest.station().contestType, 3);
    // Clicking the 50 MHz caption label ends on 222 MHz in the window and the file.
    QTest::mouseClick(f.bandCaption(0), Qt::LeftButton);
    EXPECT_EQ(f.band->text(), "222 MHz");
    EXPECT_EQ(checkedBands(f), QList<int>{2});
    EXPECT_EQ(highlightedPanels(f), QList<int>{2});
    Station saved;
    Preferences::load(saved, app.work.path());
    EXPECT_EQ(saved.currentBand, "222 M");

    // The count label works like the caption label.
    QTest::mouseClick(f.bandCount(5), Qt::LeftButton);
    EXPECT_EQ(f.contest.station().currentBand, "1.3 G");
    EXPECT_EQ(f.band->text(), "1.3 GHz");

    // 300 GHz has no panel labels: all stay navy.
    f.bandItem(16)->trigger();
    EXPECT_EQ(f.band->text(), "300 GHz");
    EXPECT_EQ(checkedBands(f), QList<int>{16});
    EXPECT_TRUE(highlightedPanels(f).isEmpty());
}

TEST(Bands, ASavedBandOfNoRowFallsBackToTheDefaultBand)
{
    AppFixture app;
    Station s;
    s.currentBand = "433 M";
    app.writePrefs(s);
    ASSERT_TRUE(app.start());
    const MainView f(*app.form);
    EXPECT_EQ(f.contest.station().currentBand, "144 M");
    EXPECT_EQ(checkedBands(f), QList<int>{1});
}
