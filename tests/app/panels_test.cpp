// The contact list, the edit window, the score panel and the grid map as the
// operator uses them.
#include "app/ClickableLabel.h"
#include "app/Colors.h"
#include "app/Form1.h"
#include "app/Form6.h"
#include "app/frmEditCon.h"
#include "log/Bands.h"
#include "platform/Clock.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

std::vector<QsoRecord> contacts(int n, const QString &band = QStringLiteral("144 M"))
{
    std::vector<QsoRecord> v;
    for (int i = 1; i <= n; ++i)
        v.push_back(qso(QStringLiteral("K%1AA").arg(i), band, QStringLiteral("FN%1").arg(10 + i % 90),
                        QStringLiteral("FN20"), QStringLiteral("CW"), QStringLiteral("2026/06/13"),
                        QStringLiteral("%1:%2:00").arg(10 + i / 60, 2, 10, QChar(u'0')).arg(i % 60, 2, 10, QChar(u'0'))));
    return v;
}

struct Panels : AppFixture {
    Form1 *f = nullptr;
    explicit Panels(const std::vector<QsoRecord> &records)
    {
        log->add(records);
        EXPECT_TRUE(start());
        f = form.get();
    }
    QStringList column(int c) const
    {
        QStringList out;
        for (int i = 0; i < f->ListView1->topLevelItemCount(); ++i)
            out.append(f->ListView1->topLevelItem(i)->text(c));
        return out;
    }
    void clickRow(int row)
    {
        QTreeWidgetItem *it = f->ListView1->topLevelItem(row);
        const QPoint at(8, f->ListView1->visualItemRect(it).center().y());
        QTest::mouseClick(f->ListView1->viewport(), Qt::LeftButton, {}, at);
    }
};

} // namespace

TEST(ContactList, ShowsTheLastTwentyNewestFirstOrAll)
{
    {
        Panels p(contacts(19));
        EXPECT_EQ(p.column(0).size(), 19);
        EXPECT_EQ(p.column(0).first(), QStringLiteral("19"));
        EXPECT_EQ(p.column(0).last(), QStringLiteral("1"));
    }
    Panels p(contacts(25));
    EXPECT_EQ(p.column(0).size(), 20);
    EXPECT_EQ(p.column(0).first(), QStringLiteral("25"));
    EXPECT_EQ(p.column(0).last(), QStringLiteral("6"));
    QTest::mouseClick(p.f->cmdList, Qt::LeftButton);
    EXPECT_EQ(p.f->cmdList->text(), QStringLiteral("All"));
    EXPECT_EQ(p.column(0).size(), 25);
}

TEST(ContactList, CurrentBandWithLastTwenty)
{
    auto records = contacts(22);
    for (int i : {3, 10, 21})
        records[i].uband = QStringLiteral("432 M");
    Panels p(records);
    p.f->mnuBand_Click(Bands::indexOf(QStringLiteral("432 M")));
    QTest::mouseClick(p.f->Command3, Qt::LeftButton);
    EXPECT_EQ(p.f->Command3->text(), QStringLiteral("Current Band"));
    EXPECT_EQ(p.column(0), QStringList({QStringLiteral("22"), QStringLiteral("11"), QStringLiteral("4")}));
    EXPECT_EQ(p.column(6).first(), QStringLiteral("432"));
}

TEST(ContactList, ClipboardCopyOfAnEmptyListIsTheHeaderLine)
{
    Panels p({});
    p.f->mnuCopyListtoClipboard->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("Rec#\tCall\tRec\tGrid R\tSnt\tDate / Time\tBnd\tGrid S\tMode\r\n"));
}

TEST(ContactList, SelectingARowShowsEditAndDeleteAndStopsTheRefresh)
{
    Panels p(contacts(3));
    ASSERT_TRUE(p.f->Timer3->isActive());
    p.clickRow(1);
    EXPECT_TRUE(p.f->cmdEdit->isVisible());
    EXPECT_TRUE(p.f->cmdDelete->isVisible());
    EXPECT_FALSE(p.f->Timer3->isActive());
    // Back in the call field the buttons go and the refresh runs again.
    p.f->txtCall->setFocus();
    EXPECT_FALSE(p.f->cmdEdit->isVisible());
    EXPECT_TRUE(p.f->Timer3->isActive());
}

TEST(ContactList, DeletingOneOfTwoSameTimeContactsOnOtherDatesLeavesTheOther)
{
    Panels p({qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00"),
              qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/14", "18:00:00")});
    p.clickRow(1); // record 1, the 13 June contact (list is newest first)
    ASSERT_EQ(p.f->selectedRecord(), 1);
    p.dialogs.answers.push_back(Dialogs::Answer::Yes);
    QTest::mouseClick(p.f->cmdDelete, Qt::LeftButton);
    EXPECT_EQ(p.dialogs.last().title, QStringLiteral("Are you sure?"));
    EXPECT_EQ(p.dialogs.last().text, QStringLiteral("Are you sure?"));
    ASSERT_EQ(p.f->store.recordCount(), 1);
    EXPECT_EQ(p.f->store.mirror().at(1).flddate, QStringLiteral("2026/06/14"));
    EXPECT_TRUE(p.f->Timer3->isActive());
}

TEST(EditWindow, ARightButtonPressOpensItAndItSavesTheChange)
{
    Panels p({qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00"),
              qso("K2XX", "24 G", "FN30", "FN20", "CW", "2026/06/13", "19:00:00")});
    bool opened = false;
    whenModal(QStringLiteral("frmEditCon"), [&](QWidget *w) {
        auto *e = static_cast<frmEditCon *>(w);
        opened = true;
        EXPECT_EQ(e->windowTitle(), QStringLiteral("Edit Contact Entry"));
        EXPECT_EQ(e->txtEditCall->text(), QStringLiteral("K2XX"));
        EXPECT_EQ(e->txtEditBnd->text(), QStringLiteral("24 G"));
        e->txtEditSec->setText(QStringLiteral("FN42"));
        QTest::mouseClick(e->cmdDone, Qt::LeftButton);
    });
    const QRect r = p.f->ListView1->visualItemRect(p.f->ListView1->topLevelItem(0));
    QTest::mousePress(p.f->ListView1->viewport(), Qt::RightButton, {}, QPoint(8, r.center().y()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.f->store.mirror().at(2).gridr == QLatin1String("FN42"); }, 5000));
    EXPECT_EQ(p.f->store.mirror().at(2).uband, QStringLiteral("24 G"));
    EXPECT_TRUE(p.f->Timer3->isActive());
}

TEST(EditWindow, ChecksDateTimeBandAndMode)
{
    LogMirror m;
    m.append(qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00"), 1);
    m.append(qso("K2XX", "144 M", "FN30", "FN20", "CW", "2026/06/13", "19:00:00"), 2);
    ScriptedDialogs dialogs;
    frmEditCon e(m, 2);
    int saves = 0;
    e.save = [&](const QsoRecord &) {
        ++saves;
        return true;
    };
    e.show();
    struct Case {
        QLineEdit *field;
        QString value;
        QString title;
        QString text;
    };
    const Case cases[] = {
        {e.txtEditDate, QStringLiteral("2026/13/40"), QStringLiteral("Invalid Date Format!"),
         QStringLiteral("You have entered an invalid date format!")},
        {e.txtEditTime, QStringLiteral("25:61"), QStringLiteral("Invalid Time Format!"),
         QStringLiteral("You have entered an invalid time format!")},
    };
    for (const Case &c : cases) {
        const QString old = c.field->text();
        c.field->setText(c.value);
        dialogs.clear();
        e.cmdDone_Click();
        EXPECT_EQ(dialogs.last().title, c.title);
        EXPECT_EQ(dialogs.last().text, c.text);
        EXPECT_GT(dialogs.beeps, 0);
        EXPECT_TRUE(e.isVisible());
        c.field->setText(old);
    }
    // A band or mode that is none of ours is put back with "Invalid!".
    e.txtEditBnd->setText(QStringLiteral("145 M"));
    e.cmdDone_Click();
    EXPECT_TRUE(e.Label3->isVisibleTo(&e));
    EXPECT_EQ(e.txtEditBnd->text(), QStringLiteral("144 M"));
    e.txtEditMode->setText(QStringLiteral("SSB"));
    e.cmdDone_Click();
    EXPECT_TRUE(e.Label5->isVisibleTo(&e));
    EXPECT_EQ(e.txtEditMode->text(), QStringLiteral("CW"));
    EXPECT_EQ(saves, 0);

    // Typed keys: letters upper-cased, quotes and blanks kept out of the call.
    e.txtEditCall->setFocus();
    e.txtEditCall->clear();
    QTest::keyClicks(e.txtEditCall, QStringLiteral("w1 'aw\""));
    EXPECT_EQ(e.txtEditCall->text(), QStringLiteral("W1AW"));
    e.txtEditSec->setText(QStringLiteral("FN31"));
    // Leaving a field with a bad value: the message, and the focus comes back.
    ASSERT_TRUE(QTest::qWaitFor(
        [&e] {
            QApplication::setActiveWindow(&e);
            return QApplication::activeWindow() == &e;
        },
        5000));
    struct Leave {
        QLineEdit *field;
        QString typed;
        QString title;      // message shown, or empty
        QString restored;   // text afterwards
    };
    const Leave leaves[] = {
        {e.txtEditTime, QStringLiteral("2575"), QStringLiteral("Invalid Time Format!"), QStringLiteral("2575")},
        {e.txtEditBnd, QStringLiteral("145 M"), QString(), QStringLiteral("144 M")},
        {e.txtEditMode, QStringLiteral("SSB"), QString(), QStringLiteral("CW")},
    };
    for (const Leave &l : leaves) {
        dialogs.clear();
        l.field->setFocus();
        l.field->clear();
        QTest::keyClicks(l.field, l.typed);
        QTest::keyClick(l.field, Qt::Key_Tab);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.beeps > 0 && QApplication::focusWidget() == l.field; },
                                    5000))
            << l.typed.toStdString();
        EXPECT_EQ(l.field->text(), l.restored);
        if (!l.title.isEmpty()) {
            EXPECT_EQ(dialogs.last().title, l.title);
        }
        // Made good again, so that leaving it lets the next case go on.
        l.field->setText(l.field == e.txtEditTime ? QStringLiteral("19:00:00") : l.restored);
    }

    // An exact twin of record 1: refused with "Dupe!" and "Delete Dupe".
    e.cmdDone_Click();
    EXPECT_TRUE(e.Label1->isVisibleTo(&e));
    EXPECT_TRUE(e.cmdDeleteDupe->isVisibleTo(&e));
    EXPECT_EQ(saves, 0);
    // Another letter case is no twin for this window's own test; the date
    // and time go into the log in its own form.
    QsoRecord saved;
    e.save = [&](const QsoRecord &r) {
        ++saves;
        saved = r;
        return true;
    };
    e.txtEditSec->setText(QStringLiteral("Fn31"));
    e.txtEditDate->setText(QStringLiteral("6/9/2026"));
    e.txtEditTime->setText(QStringLiteral("9:30"));
    QTest::mouseClick(e.cmdDone, Qt::LeftButton);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(saved.flddate, QStringLiteral("2026/06/09"));
    EXPECT_EQ(saved.fldtime, QStringLiteral("09:30"));
}

TEST(EditWindow, DeleteDupeAnsweredNoKeepsTheRefreshRunning)
{
    Panels p({qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:00:00"),
              qso("K2XX", "144 M", "FN30", "FN20", "CW", "2026/06/13", "19:00:00")});
    p.clickRow(0);
    ASSERT_FALSE(p.f->Timer3->isActive());
    whenModal(QStringLiteral("frmEditCon"), [](QWidget *w) {
        auto *e = static_cast<frmEditCon *>(w);
        e->txtEditCall->setText(QStringLiteral("W1AW"));
        e->txtEditSec->setText(QStringLiteral("FN31"));
        QTest::mouseClick(e->cmdDone, Qt::LeftButton);
        ASSERT_TRUE(e->cmdDeleteDupe->isVisible());
        QTest::mouseClick(e->cmdDeleteDupe, Qt::LeftButton);
    });
    p.dialogs.answers.push_back(Dialogs::Answer::No);
    QTest::mouseClick(p.f->cmdEdit, Qt::LeftButton);
    EXPECT_EQ(p.dialogs.last().title, QStringLiteral("Are you sure?"));
    EXPECT_EQ(p.f->store.recordCount(), 2);
    EXPECT_TRUE(p.f->Timer3->isActive());
    EXPECT_FALSE(p.f->cmdEdit->isVisible());
}

TEST(ScorePanel, ShowsTheScoreRatesListsAndNewMark)
{
    // June contest, fixed: 50, 222 and 2.3 GHz in three grids.
    Panels p({qso("K1A", "50 M", "FN31", "FN20", "CW", "2026/06/13", "17:00:00"),
              qso("K1B", "222 M", "FN32", "FN20", "CW", "2026/06/13", "18:25:00"),
              qso("K1C", "2.3 G", "FN33", "FN20", "CW", "2026/06/13", "18:29:00")});
    Form1 &f = *p.f;
    EXPECT_EQ(f.lblTotCon->text(), QStringLiteral("3"));
    EXPECT_EQ(f.lblTotSec->text(), QStringLiteral("7"));
    EXPECT_EQ(f.lblsectogo->text(), QStringLiteral("3"));
    EXPECT_EQ(f.lblTotScore->text(), QStringLiteral("21"));
    EXPECT_EQ(f.lblAQSO60->text(), QStringLiteral("2"));
    EXPECT_EQ(f.lblAQSO20->text(), QStringLiteral("6"));
    EXPECT_EQ(f.bandCountLabels[2]->text(), QStringLiteral("1 / 1"));
    EXPECT_EQ(f.gridLists[2]->item(0)->text(), QStringLiteral("FN32"));

    f.mnuBand_Click(Bands::indexOf(QStringLiteral("222 M")));
    f.txtSec->setFocus();
    QTest::keyClicks(f.txtSec, QStringLiteral("FN3"));
    EXPECT_FALSE(f.Label3->isVisible());
    QTest::keyClicks(f.txtSec, QStringLiteral("1"));
    EXPECT_TRUE(f.Label3->isVisible()); // FN31 not yet on 222
    f.txtSec->setText(QStringLiteral("fn32"));
    EXPECT_FALSE(f.Label3->isVisible());
    // Bearing and distance from 40 N 76 W.
    f.txtSec->setText(QStringLiteral("FN31"));
    EXPECT_EQ(f.Label23->text(), QStringLiteral("56"));
    EXPECT_EQ(f.Label24->text(), QStringLiteral("126"));
    f.txtSec->setText(QStringLiteral("F"));
    EXPECT_TRUE(f.Label23->text().isEmpty());
}

TEST(GridMap, ViewSwitchCellsScrollHoverAndColours)
{
    Panels p({qso("K1A", "144 M", "FN31"), qso("K1B", "144 M", "FN31"), qso("K1C", "50 M", "FN31")});
    Form1 &f = *p.f;
    f.mnuBand_Click(Bands::indexOf(QStringLiteral("144 M")));
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    EXPECT_EQ(f.Command2->text(), QStringLiteral("View Bands"));
    EXPECT_TRUE(f.gridView->isVisible());
    EXPECT_FALSE(f.bandView->isVisible());
    EXPECT_EQ(f.lblGrid[82]->text(), QStringLiteral("FN20"));
    EXPECT_EQ(f.lblGrid[0]->text(), QStringLiteral("EN77"));

    const int fn31 = 82 - 11 + 1; // one row north, one column east
    ASSERT_EQ(f.lblGrid[fn31]->text(), QStringLiteral("FN31"));
    const QColor worked = bgrColor(static_cast<quint32>(f.station.workedColor));
    const QColor remaining = bgrColor(static_cast<quint32>(f.station.remainingColor));
    EXPECT_EQ(f.lblGrid[fn31]->palette().color(QPalette::WindowText), worked);
    EXPECT_EQ(f.lblGrid[82]->palette().color(QPalette::WindowText), remaining);

    QTest::mouseMove(f.lblGrid[fn31]);
    EXPECT_EQ(f.lblDupe->text(), QStringLiteral("FN31  Total = 3   50 = 1   144 = 2   222 = 0\r\n432 = 0   902 = 0   "
                                                "1.3 = 0   2.3 = 0   3.5 = 0\r\n5.8 = 0   10 = 0"));
    QTest::mouseClick(f.lblGrid[fn31], Qt::LeftButton);
    EXPECT_EQ(f.txtSec->text(), QStringLiteral("FN31"));

    QStringList before;
    for (auto *c : f.lblGrid)
        before.append(c->text());
    QTest::mouseClick(f.Command7, Qt::LeftButton);
    QTest::mouseClick(f.Command7, Qt::LeftButton);
    EXPECT_NE(f.lblGrid[0]->text(), before[0]);
    QTest::mouseClick(f.Command4, Qt::LeftButton);
    QTest::mouseClick(f.Command4, Qt::LeftButton);
    QStringList after;
    for (auto *c : f.lblGrid)
        after.append(c->text());
    EXPECT_EQ(after, before);
    EXPECT_EQ(f.lblGrid[fn31]->palette().color(QPalette::WindowText), worked);

    // The colour window changes the worked colour and saves it.
    p.dialogs.colors.push_back(QColor(0, 128, 0));
    whenModal(QStringLiteral("Form6"), [](QWidget *w) {
        auto *c = static_cast<Form6 *>(w);
        EXPECT_EQ(c->windowTitle(), QStringLiteral(" Modify Multiplier Color Selections"));
        QTest::mouseClick(c->Command3, Qt::LeftButton);
        QTest::mouseClick(c->Command6, Qt::LeftButton);
    });
    f.mnuColors->trigger();
    EXPECT_EQ(f.station.workedColor, 0x008000);
    EXPECT_EQ(f.lblGrid[fn31]->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    Station saved;
    Preferences::load(saved, p.work.path());
    EXPECT_EQ(saved.workedColor, 0x008000);
    EXPECT_EQ(saved.view, QStringLiteral("View Bands"));
}

TEST(ContactList, RecallPutsTheLastContactBack)
{
    Panels p({qso("W1AW", "144 M", "FN31"), qso("K2XX", "144 M", "FN30")});
    p.f->mnuRecall->trigger();
    EXPECT_EQ(p.f->txtCall->text(), QStringLiteral("K2XX"));
    EXPECT_EQ(p.f->txtSec->text(), QStringLiteral("FN30"));
    EXPECT_EQ(QApplication::focusWidget(), p.f->txtRSTR);
    EXPECT_EQ(p.f->txtRSTR->text(), QStringLiteral("599"));
}
