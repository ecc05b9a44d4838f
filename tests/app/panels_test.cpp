// The contact list, the edit window, the score panel and the grid map as the
// operator uses them.
#include "app/EditContactDialog.h"
#include "log/GridMap.h"
#include "support/AppFixture.h"
#include "support/WindowInput.h"

#include <QClipboard>
#include <QListWidget>
#include <QTreeView>

namespace {

struct Panels : AppFixture {
    std::unique_ptr<MainView> f;
    explicit Panels(const std::vector<QsoRecord> &records)
    {
        log->add(records);
        EXPECT_TRUE(start());
        f = std::make_unique<MainView>(*form);
    }
    QStringList column(int c) const
    {
        QStringList out;
        for (int i = 0; i < f->list->model()->rowCount(); ++i)
            out.append(f->list->model()->index(i, c).data().toString());
        return out;
    }
    QPoint rowPoint(int row) const
    {
        return {8, f->list->visualRect(f->list->model()->index(row, 0)).center().y()};
    }
    void clickRow(int row) { QTest::mouseClick(f->list->viewport(), Qt::LeftButton, {}, rowPoint(row)); }
};

QStringList captions(const MainView &f)
{
    QStringList out;
    for (int i = 0; i < GridMapCells; ++i)
        out.append(f.square(i)->text());
    return out;
}

} // namespace

TEST(ContactList, LastTwentyCurrentBandAllAndClipboard)
{
    // 25 contacts a minute apart; records 4, 11 and 22 on 432 MHz.
    std::vector<QsoRecord> records;
    for (int i = 1; i <= 25; ++i)
        records.push_back(qso(QStringLiteral("K%1AA").arg(i), (i == 4 || i == 11 || i == 22) ? "432 M" : "144 M",
                              "FN31", "FN20", "CW", "2026/06/13", QTime(10, i).toString("HH:mm:ss")));
    Panels p(records);
    EXPECT_EQ(p.column(0).size(), 20);
    EXPECT_EQ(p.column(0).first(), "25");
    EXPECT_EQ(p.column(0).last(), "6");

    p.f->chooseBand("432 M");
    QTest::mouseClick(p.f->bandFilter, Qt::LeftButton);
    EXPECT_EQ(p.f->bandFilter->text(), "Current Band");
    EXPECT_EQ(p.column(0), QStringList({"22", "11", "4"}));
    EXPECT_EQ(p.column(6).first(), "432");

    // No contact on 10 GHz: the clipboard gets the header line alone.
    p.f->chooseBand("10 G");
    EXPECT_TRUE(p.column(0).isEmpty());
    p.f->menu("mnuCopyListtoClipboard")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "Rec#\tCall\tRec\tGrid R\tSnt\tDate / Time\tBnd\tGrid S\tMode\r\n");

    QTest::mouseClick(p.f->bandFilter, Qt::LeftButton);
    QTest::mouseClick(p.f->lastOrAll, Qt::LeftButton);
    EXPECT_EQ(p.f->lastOrAll->text(), "All");
    EXPECT_EQ(p.column(0).size(), 25);
}

TEST(ContactList, SelectingARowDeletingOneOfTwoSameTimeContactsAndRecall)
{
    Panels p({qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00"),
              qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/14", "18:00:00")});
    ASSERT_TRUE(p.f->refreshTimer->isActive());
    // Selecting a row shows Edit and Delete and stops the refresh; back in the
    // call field the buttons go and the refresh runs again.
    p.clickRow(0);
    EXPECT_TRUE(p.f->edit->isVisible());
    EXPECT_TRUE(p.f->remove->isVisible());
    EXPECT_FALSE(p.f->refreshTimer->isActive());
    p.f->call->setFocus();
    EXPECT_FALSE(p.f->edit->isVisible());
    EXPECT_TRUE(p.f->refreshTimer->isActive());

    p.clickRow(1); // record 1, the 13 June contact (the list is newest first)
    ASSERT_EQ(p.f->list->currentIndex().siblingAtColumn(0).data().toString(), "1");
    p.dialogs.answers.push_back(Dialogs::Answer::Yes);
    QTest::mouseClick(p.f->remove, Qt::LeftButton);
    EXPECT_EQ(p.dialogs.last().title, "Are you sure?");
    EXPECT_EQ(p.dialogs.last().text, "Are you sure?");
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.f->contest.store().recordCount() == 1; }, 5000));
    EXPECT_EQ(p.f->contest.store().mirror().at(1).flddate, "2026/06/14");
    EXPECT_TRUE(p.f->refreshTimer->isActive());

    // Recall puts the last contact back, the caret in the report.
    p.f->menu("mnuRecall")->trigger();
    EXPECT_EQ(p.f->call->text(), "W1AW");
    EXPECT_EQ(p.f->grid->text(), "FN31");
    EXPECT_EQ(QApplication::focusWidget(), p.f->received);
    EXPECT_EQ(p.f->received->text(), "599");
}

TEST(EditWindow, AnExactTwinIsRefusedAndARightButtonPressOpensItToSave)
{
    Panels p({qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00"),
              qso("K2XX", "24 G", "FN30", "FN20", "CW", "2026/06/13", "19:00:00")});
    // Edited into an exact twin of the other contact: "Dupe!" and "Delete
    // Dupe", nothing saved; Delete Dupe answered No starts the refresh again.
    p.clickRow(0);
    ASSERT_FALSE(p.f->refreshTimer->isActive());
    whenModal("frmEditCon", [](QWidget *e) {
        EXPECT_EQ(e->windowTitle(), "Edit Contact Entry");
        fieldOf(*e, "txtEditCall")->setText("W1AW");
        fieldOf(*e, "txtEditBnd")->setText("144 M");
        fieldOf(*e, "txtEditSec")->setText("FN31");
        QTest::mouseClick(buttonOf(*e, "cmdDone"), Qt::LeftButton);
        EXPECT_TRUE(control<QLabel>(*e, "Label1")->isVisible()); // "Dupe!"
        ASSERT_TRUE(buttonOf(*e, "cmdDeleteDupe")->isVisible());
        QTest::mouseClick(buttonOf(*e, "cmdDeleteDupe"), Qt::LeftButton);
    });
    p.dialogs.answers.push_back(Dialogs::Answer::No);
    QTest::mouseClick(p.f->edit, Qt::LeftButton);
    EXPECT_EQ(p.dialogs.last().title, "Are you sure?");
    EXPECT_EQ(rowsOf(p.log->path).at(1).calls, "K2XX");
    EXPECT_TRUE(p.f->refreshTimer->isActive());
    EXPECT_FALSE(p.f->edit->isVisible());

    bool opened = false;
    whenModal("frmEditCon", [&](QWidget *e) {
        opened = true;
        EXPECT_EQ(fieldOf(*e, "txtEditCall")->text(), "K2XX");
        fieldOf(*e, "txtEditSec")->setText("FN42");
        QTest::mouseClick(buttonOf(*e, "cmdDone"), Qt::LeftButton);
    });
    QTest::mousePress(p.f->list->viewport(), Qt::RightButton, {}, p.rowPoint(0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.f->contest.store().mirror().at(2).gridr == "FN42"; }, 5000));
    EXPECT_EQ(p.f->contest.store().mirror().at(2).uband, "24 G");
    EXPECT_TRUE(p.f->refreshTimer->isActive());
}

TEST(EditWindow, ChecksDateTimeBandModeAndTwins)
{
    LogMirror m;
    m.append(qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00"), 1);
    m.append(qso("K2XX", "144 M", "FN30", "FN20", "CW", "2026/06/13", "19:00:00"), 2);
    ScriptedDialogs dialogs;
    EditContactDialog e(m, 2);
    std::vector<QsoRecord> saved;
    e.save = [&](const QsoRecord &r) {
        saved.push_back(r);
        return true;
    };
    showActive(e);
    QLineEdit *call = fieldOf(e, "txtEditCall"), *grid = fieldOf(e, "txtEditSec"), *date = fieldOf(e, "txtEditDate"),
              *time = fieldOf(e, "txtEditTime"), *band = fieldOf(e, "txtEditBnd"), *mode = fieldOf(e, "txtEditMode");
    QPushButton *done = buttonOf(e, "cmdDone");
    // A bad value, with Done or when the field is left with Tab: the beep and
    // the message or the "Invalid!" mark, a band or mode put back, and the
    // window (and, after Tab, the field) keeps the focus.
    struct Case {
        QLineEdit *field;
        QString typed;
        bool tab;
        QString title, text; // the message, if any
        QLabel *mark;        // the "Invalid!" label, if any
        QString after;       // the field's text afterwards
    };
    const Case cases[] = {
        {date, "2026/13/40", false, "Invalid Date Format!", "You have entered an invalid date format!", nullptr,
         "2026/13/40"},
        {time, "25:61", false, "Invalid Time Format!", "You have entered an invalid time format!", nullptr, "25:61"},
        {band, "145 M", false, "", "", control<QLabel>(e, "Label3"), "144 M"},
        {mode, "SSB", false, "", "", control<QLabel>(e, "Label5"), "CW"},
        {time, "2575", true, "Invalid Time Format!", "You have entered an invalid time format!", nullptr, "2575"},
        {band, "145 M", true, "", "", nullptr, "144 M"},
        {mode, "SSB", true, "", "", nullptr, "CW"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const QString good = c.field->text();
        dialogs.clear();
        if (c.tab) {
            c.field->setFocus();
            c.field->clear();
            QTest::keyClicks(c.field, c.typed);
            QTest::keyClick(c.field, Qt::Key_Tab);
            EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.beeps > 0 && QApplication::focusWidget() == c.field; }));
        } else {
            c.field->setText(c.typed);
            QTest::mouseClick(done, Qt::LeftButton);
            EXPECT_GT(dialogs.beeps, 0);
        }
        EXPECT_EQ(dialogs.last("message").title, c.title);
        EXPECT_EQ(dialogs.last("message").text, c.text);
        EXPECT_TRUE(!c.mark || c.mark->isVisibleTo(&e));
        EXPECT_EQ(c.field->text(), c.after);
        EXPECT_TRUE(e.isVisible());
        c.field->setText(good); // made good again, so that the next case can go on
    }
    EXPECT_TRUE(saved.empty());

    // The other contact's twin is a twin however the blanks that saving
    // trims stand around the call and the grid.
    for (const auto &[typedCall, typedGrid] : {std::pair{"W1AW", "FN31 "}, std::pair{" W1AW ", "FN31"}}) {
        SCOPED_TRACE(typedCall);
        dialogs.clear();
        call->setText(typedCall);
        grid->setText(typedGrid);
        QTest::mouseClick(done, Qt::LeftButton);
        EXPECT_TRUE(control<QLabel>(e, "Label1")->isVisibleTo(&e)); // "Dupe!"
        EXPECT_TRUE(buttonOf(e, "cmdDeleteDupe")->isVisibleTo(&e));
        EXPECT_EQ(dialogs.beeps, 1);
        EXPECT_TRUE(e.isVisible());
    }
    EXPECT_TRUE(saved.empty());

    // Typed keys: letters upper-cased, quotes and blanks kept out of the call.
    // Another letter case is no twin for this window's own test; the date
    // and time go into the log in its own form.
    call->setFocus();
    call->clear();
    QTest::keyClicks(call, "w1 'aw\"");
    EXPECT_EQ(call->text(), "W1AW");
    grid->setText("Fn31");
    date->setText("6/9/2026");
    time->setText("9:30");
    QTest::mouseClick(done, Qt::LeftButton);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].flddate, "2026/06/09");
    EXPECT_EQ(saved[0].fldtime, "09:30");
}

TEST(EditWindow, StandardEditingKeysWorkInEveryField)
{
    LogMirror m;
    m.append(qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00"), 1);
    ScriptedDialogs dialogs;
    EditContactDialog e(m, 1);
    showActive(e);
    // Ctrl+A selects the value and Delete clears it; typing then fills the
    // field under its own rules; Ctrl+A, Ctrl+X and Ctrl+V cut and paste it
    // back whole.
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"txtEditCall", "k2xx", "K2XX"}, {"txtEditNum", "57", "57"},    {"txtEditPre", "fn21", "FN21"},
        {"txtEditCk", "55", "55"},       {"txtEditSec", "fn32", "FN32"}, {"txtEditDate", "2026/06/12", "2026/06/12"},
        {"txtEditTime", "17:59:00", "17:59:00"}, {"txtEditBnd", "432 m", "432 M"}, {"txtEditMode", "ph", "PH"},
    };
    for (const auto &[name, typed, value] : cases) {
        SCOPED_TRACE(name);
        QLineEdit *f = fieldOf(e, name);
        f->setFocus();
        QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(f, Qt::Key_Delete);
        EXPECT_EQ(f->text(), "");
        QTest::keyClicks(f, typed);
        EXPECT_EQ(f->text(), value);
        QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(f, Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(f->text(), "");
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(f->text(), value);
    }
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST(ScorePanel, ShowsTheScoreRatesNewMarkAndHeading)
{
    // June contest, fixed: 50, 222 and 2.3 GHz in three grids.
    Panels p({qso("K1A", "50 M", "FN31", "FN20", "CW", "2026/06/13", "17:00:00"),
              qso("K1B", "222 M", "FN32", "FN20", "CW", "2026/06/13", "18:25:00"),
              qso("K1C", "2.3 G", "FN33", "FN20", "CW", "2026/06/13", "18:29:00")});
    MainView &f = *p.f;
    EXPECT_EQ(QStringList({f.contacts->text(), f.qsoPoints->text(), f.multipliers->text(), f.score->text(),
                           f.rate60->text(), f.rate20->text()}),
              QStringList({"3", "7", "3", "21", "2", "6"}));
    EXPECT_EQ(f.bandCount(2)->text(), "1 / 1");
    EXPECT_EQ(f.gridList(2)->item(0)->text(), "FN32");

    f.chooseBand("222 M");
    f.grid->setFocus();
    QTest::keyClicks(f.grid, "FN3");
    EXPECT_FALSE(f.newMark->isVisible());
    QTest::keyClicks(f.grid, "1");
    EXPECT_TRUE(f.newMark->isVisible()); // FN31 not yet on 222
    f.grid->setText("fn32");
    EXPECT_FALSE(f.newMark->isVisible());
    // Bearing and distance from 40 N 76 W.
    f.grid->setText("FN31");
    EXPECT_EQ(f.bearing->text(), "56");
    EXPECT_EQ(f.distance->text(), "126");
    f.grid->setText("F");
    EXPECT_TRUE(f.bearing->text().isEmpty());
}

TEST(GridMap, ViewSwitchCellsScrollHoverAndColours)
{
    Panels p({qso("K1A", "144 M", "FN31"), qso("K1B", "144 M", "FN31"), qso("K1C", "50 M", "FN31")});
    MainView &f = *p.f;
    QTest::mouseClick(f.viewSwitch, Qt::LeftButton);
    EXPECT_EQ(f.viewSwitch->text(), "View Bands");
    EXPECT_TRUE(f.gridView->isVisible());
    EXPECT_FALSE(f.bandView->isVisible());
    EXPECT_EQ(f.square(82)->text(), "FN20");
    EXPECT_EQ(f.square(0)->text(), "EN77");

    const int fn31 = 82 - 11 + 1; // one row north, one column east
    ASSERT_EQ(f.square(fn31)->text(), "FN31");
    const QColor worked = bgrColor(quint32(f.contest.station().workedColor));
    EXPECT_EQ(ink(f.square(fn31)), worked);
    EXPECT_EQ(ink(f.square(82)), bgrColor(quint32(f.contest.station().remainingColor)));

    QTest::mouseMove(f.square(fn31));
    EXPECT_TRUE(f.hint->text().startsWith("FN31  Total = 3   50 = 1   144 = 2   222 = 0\r\n"));
    QTest::mouseClick(f.square(fn31), Qt::LeftButton);
    EXPECT_EQ(f.grid->text(), "FN31");

    // Two scrolls north and two south: the map as it was, colours and all.
    const QStringList before = captions(f);
    QTest::mouseClick(f.north, Qt::LeftButton);
    QTest::mouseClick(f.north, Qt::LeftButton);
    EXPECT_EQ(f.square(82)->text(), "FN22");
    QTest::mouseClick(f.south, Qt::LeftButton);
    QTest::mouseClick(f.south, Qt::LeftButton);
    EXPECT_EQ(captions(f), before);
    EXPECT_EQ(ink(f.square(fn31)), worked);

    // The colour window changes the worked colour and saves it.
    p.dialogs.colors.push_back(QColor(0, 128, 0));
    whenModal("Form6", [](QWidget *c) {
        EXPECT_EQ(c->windowTitle(), " Modify Multiplier Color Selections");
        QTest::mouseClick(buttonOf(*c, "Command3"), Qt::LeftButton);
        QTest::mouseClick(buttonOf(*c, "Command6"), Qt::LeftButton);
    });
    f.menu("mnuColors")->trigger();
    EXPECT_EQ(ink(f.square(fn31)), QColor(0, 128, 0));
    Station saved;
    Preferences::load(saved, p.work.path());
    EXPECT_EQ(saved.workedColor, 0x008000);
    EXPECT_EQ(saved.view, "View Bands");
}
