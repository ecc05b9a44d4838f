// Logging contacts through the main window with the keyboard alone.
#include "app/ClickableLabel.h"
#include "app/Colors.h"
#include "app/Form1.h"
#include "log/Bands.h"
#include "platform/Clock.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Entry : AppFixture {
    Form1 *f = nullptr;
    explicit Entry(std::vector<QsoRecord> earlier = {})
    {
        if (!earlier.empty())
            log->add(earlier);
        EXPECT_TRUE(start());
        f = form.get();
        f->mnuBand_Click(Bands::indexOf(QStringLiteral("144 M")));
        f->mnuCW_Click();
        f->txtCall->setFocus();
    }
    void type(const QString &keys) { typeKeys(f->txtCall, keys); }
    QWidget *focused() const { return QApplication::focusWidget(); }
    std::vector<QsoRecord> logged()
    {
        LogStore s;
        s.open(log->path);
        s.reload();
        return s.mirror().records();
    }
};

} 
TEST(Entry, ADigitAfterACompleteCallStartsTheReport)
{
    struct Case {
        QString keys;
        QString call;
        QString rstr;
        bool inReport;
    };
    const Case cases[] = {
        {QStringLiteral("w1aw5"), QStringLiteral("W1AW"), QStringLiteral("5"), true},
        {QStringLiteral("W1AW/R5"), QStringLiteral("W1AW/R5"), QString(), false},
        {QStringLiteral("W15"), QStringLiteral("W15"), QString(), false},
        {QStringLiteral("KA15"), QStringLiteral("KA15"), QString(), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.keys.toStdString());
        Entry e;
        e.type(c.keys);
        EXPECT_EQ(e.f->txtCall->text(), c.call);
        EXPECT_EQ(e.f->txtRSTR->text(), c.rstr);
        EXPECT_EQ(e.focused() == e.f->txtRSTR, c.inReport);
        if (c.inReport) {
            EXPECT_EQ(e.f->txtRSTR->cursorPosition(), 1);
        }
    }
        Entry e;
    // With the caret inside the call the digit stays in the call.
    e.type(QStringLiteral("W1AW"));
    QTest::keyClick(e.f->txtCall, Qt::Key_Home);
    e.type(QStringLiteral("5"));
    EXPECT_EQ(e.f->txtCall->text(), QStringLiteral("5W1AW"));
    EXPECT_EQ(e.focused(), e.f->txtCall);
}

TEST(Entry, ALetterAfterTheReportStartsTheGridAndEnterLogs)
{
    Entry e;
    e.type(QStringLiteral("w1aw"));
    QTest::keyClick(e.focused(), Qt::Key_Space);
    EXPECT_EQ(e.focused(), e.f->txtRSTR);
        EXPECT_EQ(e.f->txtRSTR->text(), QStringLiteral("599"));
    EXPECT_EQ(e.f->txtRSTS->text(), QStringLiteral("599"));
    // Default reports are offered selected, so typing replaces them; a
    // letter after the report starts the grid.
    e.type(QStringLiteral("59f"));
    EXPECT_EQ(e.f->txtRSTR->text(), QStringLiteral("59"));
    EXPECT_EQ(e.f->txtSec->text(), QStringLiteral("F"));
    EXPECT_EQ(e.f->txtSec->cursorPosition(), 1);
    EXPECT_EQ(e.focused(), e.f->txtSec);
    e.type(QStringLiteral("n20xa\n"));
    const auto rows = e.logged();
    ASSERT_EQ(rows.size(), 1u);
    const QsoRecord &r = rows[0];
    EXPECT_EQ(r.calls, QStringLiteral("W1AW"));
    EXPECT_EQ(r.rstr, QStringLiteral("59"));
    EXPECT_EQ(r.gridr, QStringLiteral("FN20xa"));
    EXPECT_EQ(r.rsts, QStringLiteral("599"));
    EXPECT_EQ(r.grids, QStringLiteral("FN20"));
    EXPECT_EQ(r.flddate, QStringLiteral("2026/06/13"));
    EXPECT_EQ(r.fldtime, QStringLiteral("18:30:00"));
    EXPECT_EQ(r.uband, QStringLiteral("144 M"));
    EXPECT_EQ(r.umode, QStringLiteral("CW"));
        EXPECT_TRUE(e.f->txtCall->text().isEmpty());
    EXPECT_TRUE(e.f->txtSec->text().isEmpty());
    EXPECT_EQ(e.focused(), e.f->txtCall);
    EXPECT_EQ(e.f->store.recordCount(), 1);
    EXPECT_EQ(e.f->lblTotCon->text(), QStringLiteral("1"));
    EXPECT_EQ(e.f->bandCountLabels[1]->text(), QStringLiteral("1 / 1"));
}

TEST(Entry, DefaultReportsByModeAndTypedReportsKept)
{
    Entry e;
    e.f->mnuPhone_Click();
    e.type(QStringLiteral("K2XX "));
    EXPECT_EQ(e.f->txtRSTR->text(), QStringLiteral("59"));
    EXPECT_EQ(e.f->txtRSTS->text(), QStringLiteral("59"));
    e.f->cmdClear_Click();
    e.f->mnuCW_Click();
    e.f->txtCall->setFocus();
    e.type(QStringLiteral("K2XX"));
    e.f->txtRSTS->setText(QStringLiteral("57"));
    QTest::keyClick(e.f->txtCall, Qt::Key_Tab);
    EXPECT_EQ(e.f->txtRSTR->text(), QStringLiteral("599"));
    EXPECT_EQ(e.f->txtRSTS->text(), QStringLiteral("57"));
}

TEST(Entry, IncompleteEntriesAreNotLogged)
{
    struct Case {
        QString call;
        QString grid;
        QString message;
        bool focusCall;
    };
    const Case cases[] = {
        {QStringLiteral("K1"), QStringLiteral("FN31"), QStringLiteral("Need Call Sign!"), true},
        {QStringLiteral("K1ABC"), QString(), QStringLiteral("Need Grid!"), false},
        {QString(), QString(), QStringLiteral("Need Call Sign!"), true},
    };
    for (const Case &c : cases) {
        Entry e;
        e.f->txtCall->setText(c.call);
        e.f->txtSec->setText(c.grid);
        QTest::keyClick(e.f->txtCall, Qt::Key_Return);
        EXPECT_EQ(e.f->lblDialog->text(), c.message);
        EXPECT_EQ(e.focused(), c.focusCall ? static_cast<QWidget *>(e.f->txtCall)
                                           : static_cast<QWidget *>(e.f->txtSec));
        EXPECT_EQ(e.f->txtCall->text(), c.call);
        EXPECT_GT(e.dialogs.beeps, 0);
        EXPECT_TRUE(e.logged().empty());
    }
}

TEST(Entry, WithReportsOffTabGoesToTheGridAndEmptyReportsAreStored)
{
    Entry e;
    e.f->mnuRstDontRecord->trigger();
    e.f->txtCall->setFocus();
    e.type(QStringLiteral("W1AW\t"));
    EXPECT_EQ(e.focused(), e.f->txtSec);
    e.type(QStringLiteral("FN31\n"));
    const auto rows = e.logged();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].rstr.isEmpty());
    EXPECT_TRUE(rows[0].rsts.isEmpty());
}

TEST(Entry, PostContestModeTakesTheTypedDateAndTime)
{
    Entry e;
    e.f->mnuPostContest->trigger();
    ASSERT_TRUE(e.f->txtPostConTime->isVisible());
    e.f->txtPostConTime->setFocus();
    e.type(QStringLiteral("18a05"));
    EXPECT_EQ(e.f->txtPostConTime->text(), QStringLiteral("1805"));
    e.f->txtPostConDate->setFocus();
    EXPECT_EQ(e.f->txtPostConDate->text(), QStringLiteral("2026/06/13")); // today is offered
    e.f->txtPostConDate->setText(QStringLiteral("6/12/2026"));
    e.f->txtCall->setFocus();
    e.type(QStringLiteral("W1AW FN31\n"));
    auto rows = e.logged();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].fldtime, QStringLiteral("18:05"));
    EXPECT_EQ(rows[0].flddate, QStringLiteral("2026/06/12"));
    EXPECT_EQ(e.f->txtPostConTime->text(), QStringLiteral("1805"));

    e.f->txtPostConTime->setText(QStringLiteral("2575"));
    e.type(QStringLiteral("K2XX FN30\n"));
    EXPECT_EQ(e.f->lblDialog->text(), QStringLiteral("Invalid time format!"));
    e.f->txtPostConTime->setText(QStringLiteral("905"));
    e.f->txtPostConDate->setText(QStringLiteral("2026/02/30"));
    QTest::keyClick(e.f->txtCall, Qt::Key_Return);
    EXPECT_EQ(e.f->lblDialog->text(), QStringLiteral("Invalid date format!"));
    EXPECT_EQ(e.logged().size(), 1u);
    EXPECT_EQ(e.f->txtCall->text(), QStringLiteral("K2XX"));
}

TEST(Entry, CallShapeWarningAndPartialDupeHint)
{
    Entry e({qso("K1ABC", "144 M", "FN31"), qso("K1ABD", "144 M", "FN31"),
             qso("K1ABE", "50 M", "FN31"), qso("K1ABF", "144 M", "FN31", "FN21")});
    e.type(QStringLiteral("KAB"));
    EXPECT_EQ(e.f->lblDialog->text(), QStringLiteral("The second or third character is not numeric!"));
    EXPECT_GT(e.dialogs.beeps, 0);
    for (const QString &call : {QStringLiteral("K1A"), QStringLiteral("KA1")}) {
        e.f->cmdClear_Click();
        e.type(call);
        EXPECT_NE(e.f->lblDialog->text(), QStringLiteral("The second or third character is not numeric!"));
    }
    e.f->cmdClear_Click();
    // Only calls worked on this band from this own grid are hinted.
    e.type(QStringLiteral("k1a"));
        EXPECT_EQ(e.f->lblDupe->text(), QStringLiteral(" K1ABC K1ABD"));
    e.type(QStringLiteral("b"));
    EXPECT_EQ(e.f->lblDialog->text(), QStringLiteral("Possible Duplicate!"));
    e.type(QStringLiteral("c"));
    EXPECT_EQ(e.f->lblDupe->text(), QStringLiteral(" K1ABC"));
        // Switched off, no hint.
    QTest::mouseClick(e.f->cmdDup, Qt::LeftButton);
    EXPECT_EQ(e.f->cmdDup->text(), QStringLiteral("Off"));
    e.f->cmdClear_Click();
    e.type(QStringLiteral("K1A"));
    EXPECT_TRUE(e.f->lblDupe->text().isEmpty());
}

TEST(Entry, PreviousContactScanOffersTheGridAndWarns)
{
    Entry e({qso("W1AW", "144 M", "FN31", "FN20", "CW", "2026/06/13", "18:22:10"),
             qso("W1AW", "432 M", "FN31", "FN20", "CW", "2026/06/13", "18:25:00")});
    e.type(QStringLiteral("w1aw "));
    EXPECT_EQ(e.f->txtSec->text(), QStringLiteral("FN31"));
    EXPECT_EQ(e.f->lblDialog->text(), QStringLiteral("Duplicate Unless Rover! W1AW FN31 06/13 18:22:10  Rec#  1"));
    // The offered grid is selected: typing replaces it, capitals as usual.
    e.type(QStringLiteral(" "));
    ASSERT_EQ(e.focused(), e.f->txtSec);
    e.type(QStringLiteral("fn32\n"));
    ASSERT_EQ(e.logged().size(), 3u);
    EXPECT_EQ(e.logged().back().gridr, QStringLiteral("FN32"));
}

TEST(Entry, ADupeIsRefusedAndKeysAreHeldForThreeSeconds)
{
    Entry e({qso("W1AW", "144 M", "FN31", "FN20", "PH", "2026/06/13", "18:22:10")});
        // Same call, band and grids in the other mode, typed in lower case.
    e.f->txtCall->setText(QStringLiteral("w1aw"));
    e.f->txtSec->setText(QStringLiteral("fn31"));
    QTest::keyClick(e.f->txtSec, Qt::Key_Return);
    EXPECT_EQ(e.f->lblDialog->text(), QStringLiteral("Dupe: W1AW FN31 ON 2026/06/13 18:22:10"));
    EXPECT_EQ(backgroundOf(e.f->lblDialog), QColor(255, 0, 0));
    EXPECT_TRUE(e.f->txtCall->text().isEmpty());
    EXPECT_TRUE(e.f->txtSec->text().isEmpty());
    EXPECT_EQ(e.logged().size(), 1u);
        // Keys typed during the hold arrive, in order, when it ends.
    e.type(QStringLiteral("K2"));
    EXPECT_TRUE(e.f->txtCall->text().isEmpty());
    EXPECT_TRUE(e.f->Timer2->isActive()); // the window keeps running
    auto *hold = e.f->findChild<QTimer *>(QStringLiteral("holdTimer"));
    ASSERT_TRUE(hold && hold->isActive());
    Clock::advance(3000);
    emit hold->timeout({});
    EXPECT_EQ(e.f->txtCall->text(), QStringLiteral("K2"));
    e.type(QStringLiteral("X"));
    EXPECT_EQ(e.f->txtCall->text(), QStringLiteral("K2X"));

        // Another received grid or another own grid is a new contact.
    e.f->cmdClear_Click();
    e.type(QStringLiteral("W1AW FN32\n"));
    e.f->station.ownGrid = QStringLiteral("FN21");
    e.type(QStringLiteral("W1AW FN31\n"));
    EXPECT_EQ(e.logged().size(), 3u);
}

TEST(Entry, AFailedInsertKeepsTheFieldsAndEnterRetries)
{
    Entry e;
    const QString path = e.log->path;
    const QString away = path + QStringLiteral(".away");
    ASSERT_TRUE(QFile::rename(path, away));
    e.type(QStringLiteral("W1AW FN31"));
    QTest::keyClick(e.focused(), Qt::Key_Return);
    EXPECT_EQ(e.dialogs.last().title, QStringLiteral("Network Error!"));
    EXPECT_EQ(e.dialogs.last().text, QStringLiteral("Network Error, please try again."));
    EXPECT_EQ(e.f->txtCall->text(), QStringLiteral("W1AW"));
    EXPECT_EQ(e.f->txtSec->text(), QStringLiteral("FN31"));
    EXPECT_EQ(e.f->store.recordCount(), 0);
    // The file comes back as a new copy (a restored share): Enter logs once.
    ASSERT_TRUE(QFile::copy(away, path));
    e.f->txtSec->setFocus();
    QTest::keyClick(e.f->txtSec, Qt::Key_Return);
    EXPECT_EQ(e.logged().size(), 1u);
    EXPECT_EQ(e.f->store.recordCount(), 1);
    EXPECT_TRUE(e.f->txtCall->text().isEmpty());
    QTest::keyClick(e.f->txtCall, Qt::Key_Return);
    EXPECT_EQ(e.logged().size(), 1u);
}
