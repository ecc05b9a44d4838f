// The entry fields of the main window: key filters, focus moves, the dupe
// hints and the logging of a contact.
#include "app/ClickableLabel.h"
#include "app/Colors.h"
#include "app/Form1.h"
#include "keying/VoiceNavigation.h"
#include "log/Bands.h"
#include "log/ContactList.h"
#include "log/Dupes.h"
#include "log/GridMap.h"
#include "log/Logging.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

namespace {

// The character code an entry handler sees for a key: 13 Enter, 9 Tab,
// 8 Backspace, the typed character, or 0 for keys that type nothing.
int keyCode(const QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Backspace: return 8;
    default: break;
    }
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return 0;
    const QString t = e->text();
    if (t.size() != 1 || !t.at(0).isPrint())
        return 0;
    return t.at(0).unicode();
}

bool isQuote(int k) { return k == '"' || k == '\''; }

// Puts one character into a field as if typed.
void typeInto(QLineEdit *field, QChar c) { field->insert(QString(c)); }

} // namespace

void Form1::setDialog(const QString &text, quint32 bgr)
{
    lblDialog->setText(text);
    setBackground(lblDialog, bgrColor(bgr));
}

void Form1::resetDupeLabel()
{
    lblDupe->clear();
    setBackground(lblDupe, QColor());
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::RightButton && ListView1->topLevelItemCount() > 0) {
            if (QTreeWidgetItem *it = ListView1->itemAt(me->position().toPoint())) {
                ListView1->setCurrentItem(it);
                it->setSelected(true);
            }
            if (selectedRecord() > 0)
                QTimer::singleShot(0, this, &Form1::cmdEdit_Click);
            return true;
        }
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        if (watched == gridLists[i]->viewport() && event->type() == QEvent::MouseButtonRelease &&
            station.contestType == 5 && station.isRover()) {
            // The long two-grid keys of a CQ rover fit with a smaller font.
            QFont f = gridLists[i]->font();
            if (f.pointSize() > 6) {
                f.setPointSize(f.pointSize() - 1);
                gridLists[i]->setFont(f);
            }
            return false;
        }
    }

    auto *field = qobject_cast<QLineEdit *>(watched);
    if (!field)
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // The window coming back to the front is no move between fields.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        if (field == txtCall)
            callFocusIn();
        else if (field == txtRSTR)
            rstrFocusIn();
        else if (field == txtSec)
            secFocusIn();
        else if (field == txtRSTS)
            rstsFocusIn();
        else if (field == txtPostConTime || field == txtPostConDate)
            postConFocusIn(field);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    auto *e = static_cast<QKeyEvent *>(event);
    if (field == txtCall)
        return callKey(e);
    if (field == txtRSTR)
        return rstrKey(e);
    if (field == txtSec)
        return secKey(e);
    if (field == txtRSTS)
        return rstsKey(e);
    return postConKey(field, e);
}

// ---------------------------------------------------------------- call field

bool Form1::callKey(QKeyEvent *e)
{
    int k = keyCode(e);
    // After a refused dupe, keys wait (in order) until the hold is over.
    if (!m_replaying && (dupeFlag || !m_heldKeys.empty())) {
        const qint64 wait = dupeHoldRemainingMs(dupeTime, Clock::localNow());
        m_heldKeys.push_back({e->key(), e->modifiers(), e->text()});
        if (wait > 0) {
            m_holdTimer->start(static_cast<int>(wait));
            return true;
        }
        releaseHeldKeys();
        return true;
    }
    if (k == 0 || k == 9)
        return false;
    if (txtCall->text().isEmpty())
        lblDialog->setText(QString());
    if (isQuote(k))
        return true;
    const QString before = txtCall->text();
    if (k >= '0' && k <= '9' && forwardsDigitToReport(before, txtCall->cursorPosition(), QChar(k))) {
        txtRSTR->setFocus();
        rstrKey(nullptr, k);
        return true;
    }
    if (before.size() < 3 && loggedOn)
        lblDialog->setText(QStringLiteral(" "));
    if (k == 13) {
        LogQso();
        return true;
    }
    if (k == ' ') {
        txtRSTR->setFocus();
        return true;
    }
    const QChar c = Capital(QChar(k));
    PartialDupes(c.unicode());
    if (c.unicode() != k) {
        typeInto(txtCall, c);
        return true;
    }
    return false;
}

void Form1::PartialDupes(int key)
{
    setBackground(lblDialog, bgrColor(UiColors::DialogNormal));
    resetDupeLabel();
    const QString before = txtCall->text();
    QString hint;
    if (partialDupesOn && key >= 46 && key <= 90) {
        dupeIndex.sync(store.mirror());
        const PartialDupeResult r = dupeIndex.onKey(before, QChar(key), station.ownGrid, station.currentBand);
        hint = r.hint;
        lblDupe->setText(hint);
        if (!hint.isEmpty())
            setBackground(lblDupe, bgrColor(UiColors::DialogNormal));
    }
    if (before.size() >= 3 && !hint.isEmpty())
        lblDialog->setText(DupeTexts::PossibleDuplicate);
    else if (loggedOn)
        lblDialog->setText(QStringLiteral(" "));
    const QString typed = before + QChar(key);
    if (typed.size() == 3 && key >= 46 && key <= 90) {
        if (callShapeWarning(typed)) {
            beep();
            lblDialog->setText(DupeTexts::NotNumeric);
        } else {
            lblDialog->setText(QStringLiteral(" "));
        }
    }
}

void Form1::releaseHeldKeys()
{
    const qint64 wait = dupeHoldRemainingMs(dupeTime, Clock::localNow());
    if (wait > 0) {
        m_holdTimer->start(static_cast<int>(wait));
        return;
    }
    dupeFlag = false;
    m_holdTimer->stop();
    std::vector<HeldKey> keys;
    keys.swap(m_heldKeys);
    m_replaying = true;
    for (const HeldKey &h : keys) {
        QKeyEvent press(QEvent::KeyPress, h.key, h.modifiers, h.text);
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : txtCall;
        QCoreApplication::sendEvent(target, &press);
    }
    m_replaying = false;
}

void Form1::callFocusIn()
{
    cmdEdit->setVisible(false);
    cmdDelete->setVisible(false);
    if (txtCall->text().isEmpty()) {
        txtRSTR->clear();
        txtRSTS->clear();
    }
    if (!Timer3->isActive())
        Timer3->start();
    if (store.mirror().logChanged)
        WorkList();
    if (station.navigationLevel != 0)
        VoiceNavigation::announce(QStringLiteral("Call"));
    const int rows = ListView1->topLevelItemCount();
    if (txtCall->text().isEmpty() && rows < 18 && rows < store.recordCount())
        FillContactList();
}

// ---------------------------------------------------------------- reports

void Form1::rstrFocusIn()
{
    if (!station.recordsRst())
        txtSec->setFocus();
    if (!txtCall->text().isEmpty()) {
        runDupcheck2();
        if (station.recordsRst()) {
            const QString rst = defaultReport(station.currentMode);
            if (txtRSTR->text().isEmpty()) {
                txtRSTR->setText(rst);
                txtRSTR->selectAll();
            }
            if (txtRSTS->text().isEmpty()) {
                txtRSTS->setText(rst);
                txtRSTS->selectAll();
            }
        }
    }
    if (station.navigationLevel == 2)
        VoiceNavigation::announce(QStringLiteral("RstRcvd"));
}

void Form1::runDupcheck2()
{
    const bool listPrevious = station.listPrevious == 1;
    const PreviousScan scan = dupcheck2(store.mirror(), txtCall->text(), txtSec->text(), station.ownGrid,
                                        station.currentBand, listPrevious);
    if (listPrevious) {
        ListView1->clear();
        for (int rec : scan.listed)
            ListView1->addTopLevelItem(new QTreeWidgetItem(contactListColumns(store.mirror(), rec)));
    }
    if (!scan.gridToFill.isEmpty() && txtSec->text().isEmpty()) {
        txtSec->setText(scan.gridToFill);
        txtSec->selectAll();
    }
    if (scan.warnRecord > 0) {
        setDialog(duplicateUnlessRoverText(store.mirror(), scan.warnRecord), UiColors::DialogDupe);
        setBackground(lblDupe, QColor());
        beep();
    }
}

bool Form1::rstrKey(QKeyEvent *e, int forwardedKey)
{
    int k = forwardedKey ? forwardedKey : keyCode(e);
    if (k == 0 || k == 9)
        return false;
    if (k > '9') {
        // A letter after the report starts the grid.
        secKey(nullptr, k);
        k = ' ';
    }
    if (k == 13) {
        LogQso();
        return true;
    }
    if (k == ' ') {
        txtSec->setFocus();
        return true;
    }
    const QChar c = number(QChar(k));
    if (c.isNull())
        return true;
    if (forwardedKey) {
        txtRSTR->setText(QString(c));
        txtRSTR->setCursorPosition(1);
        return true;
    }
    return false;
}

bool Form1::rstsKey(QKeyEvent *e)
{
    const int k = keyCode(e);
    if (k == 0 || k == 9)
        return false;
    if (k == 13) {
        LogQso();
        return true;
    }
    if (k == ' ') {
        focusNextChild();
        return true;
    }
    return number(QChar(k)).isNull();
}

void Form1::rstsFocusIn()
{
    if (!station.recordsRst())
        QTimer::singleShot(0, this, [this] {
            if (txtRSTS->hasFocus())
                focusNextChild();
        });
    if (station.navigationLevel == 2)
        VoiceNavigation::announce(QStringLiteral("RstSnt"));
}

// ---------------------------------------------------------------- grid

bool Form1::secKey(QKeyEvent *e, int forwardedKey)
{
    int k = forwardedKey ? forwardedKey : keyCode(e);
    if (k == 0 || k == 9)
        return false;
    if (isQuote(k))
        return true;
    if (k == 13) {
        LogQso();
        return true;
    }
    if (k == ' ') {
        txtRSTS->setFocus();
        return true;
    }
    QChar c(k);
    // A key typed over a selection lands where the selection starts.
    const int caret = forwardedKey ? 0
                      : txtSec->hasSelectedText() ? txtSec->selectionStart()
                                                  : txtSec->cursorPosition();
    if (caret < 4)
        c = Capital(c);
    if (forwardedKey) {
        txtSec->setText(QString(c));
        txtSec->setCursorPosition(1);
        return true;
    }
    if (c.unicode() != k) {
        typeInto(txtSec, c);
        return true;
    }
    return false;
}

void Form1::secFocusIn()
{
    if (station.navigationLevel == 2)
        VoiceNavigation::announce(QStringLiteral("Grid"));
}

// ---------------------------------------------------------------- post-contest

void Form1::postConFocusIn(QLineEdit *field)
{
    if (field == txtPostConDate && field->text().isEmpty())
        field->setText(Clock::localNow().date().toString(QStringLiteral("yyyy/MM/dd")));
    QTimer::singleShot(0, field, [field] { field->selectAll(); });
}

bool Form1::postConKey(QLineEdit *field, QKeyEvent *e)
{
    const int k = keyCode(e);
    if (k == 0 || k == 9 || k == 8)
        return false;
    if (k == ' ') {
        focusNextChild();
        return true;
    }
    if (k == 13) {
        LogQso();
        return true;
    }
    const int lo = field == txtPostConTime ? 48 : 47;
    const int hi = field == txtPostConTime ? 58 : 57;
    return k < lo || k > hi;
}

// ---------------------------------------------------------------- logging

void Form1::frmcmp()
{
    incompleteFlag = false;
    if (txtSec->text().isEmpty()) {
        beep();
        lblDialog->setText(EntryTexts::NeedGrid);
        incompleteFlag = true;
        txtSec->setFocus();
    }
    if (txtCall->text().size() < 3) {
        beep();
        lblDialog->setText(EntryTexts::NeedCall);
        incompleteFlag = true;
        txtCall->setFocus();
    }
}

void Form1::networkError()
{
    beep();
    msgBox(this, QStringLiteral("Network Error, please try again."), QStringLiteral("Network Error!"));
    // A fresh connection for the operator's next Enter.
    store.reconnect();
}

void Form1::onDupe(const QsoRecord &match)
{
    setDialog(dupeText(match), UiColors::DialogDupe);
    resetDupeLabel();
    beep();
    VoiceNavigation::announce(QStringLiteral("Dupe"));
    if (station.navigationLevel != 0) {
        // The prompt is heard before anything else is typed.
        QDeadlineTimer limit(10000);
        while (VoiceNavigation::isPlaying() && !limit.hasExpired())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
    dupeFlag = true;
    dupeTime = Clock::localNow();
    txtCall->setFocus();
    txtRSTS->clear();
    txtCall->clear();
    txtRSTR->clear();
    txtSec->clear();
}

void Form1::LogQso()
{
    frmcmp();
    if (!store.isOpen())
        store.reconnect();
    if (incompleteFlag) {
        // The check still runs: it offers the station's grid and refuses a dupe.
        const LogAttempt a =
            dupcheck(store, txtCall->text(), txtSec->text(), station.ownGrid, station.currentBand);
        if (a.outcome == LogAttempt::Failed) {
            networkError();
            return;
        }
        if (!a.gridFromLog.isEmpty() && txtSec->text().isEmpty()) {
            txtSec->setText(a.gridFromLog);
            txtSec->selectAll();
        }
        if (a.outcome == LogAttempt::Dupe)
            onDupe(a.match);
        afterLogging();
        return;
    }
    QsoRecord rec = liveContact(txtCall->text(), txtRSTR->text(), txtSec->text(), txtRSTS->text(),
                                station.ownGrid, station.currentBand, station.currentMode,
                                station.utcOffsetHours);
    if (!station.recordsRst()) {
        rec.rstr.clear();
        rec.rsts.clear();
    }
    if (txtPostConDate->isVisible() || mnuPostContest->isChecked()) {
        const auto date = postContestDate(txtPostConDate->text());
        if (!date) {
            lblDialog->setText(EntryTexts::InvalidDate);
            beep();
            return;
        }
        const auto time = postContestTime(txtPostConTime->text());
        if (!time) {
            lblDialog->setText(EntryTexts::InvalidTime);
            beep();
            return;
        }
        rec.flddate = *date;
        rec.fldtime = *time;
    }
    const int band = Bands::indexOf(rec.uband);
    const int gridsBefore = band >= 0 ? tally.gridCount(band) : 0;
    const LogAttempt a = logContact(store, rec);
    if (a.outcome == LogAttempt::Failed) {
        networkError();
        return;
    }
    if (a.outcome == LogAttempt::Dupe) {
        onDupe(a.match);
        afterLogging();
        return;
    }
    // Logged: the mirror already holds the contact.
    tally.addLogged(rec, station.contestType, station.isRover());
    dupeIndex.sync(store.mirror());
    FillContactList();
    setDialog(QStringLiteral(" "), UiColors::DialogNormal);
    if (band >= 0 && tally.gridCount(band) > gridsBefore) {
        const QString key = tally.workedGrids(band).last();
        if (band < Bands::PanelCount)
            gridLists[band]->addItem(key);
        if (Bands::same(rec.uband, station.currentBand))
            MarkWorkedGrids();
    }
    txtRSTS->clear();
    txtCall->clear();
    txtRSTR->clear();
    txtSec->clear();
    txtCall->setFocus();
    setDialog(QString(), UiColors::DialogNormal);
    resetDupeLabel();
    afterLogging();
}

void Form1::afterLogging()
{
    resetDupeLabel();
    Labeldisplay();
    TimeStats();
}

void Form1::cmdClear_Click()
{
    txtRSTS->clear();
    txtCall->clear();
    txtRSTR->clear();
    txtSec->clear();
    resetDupeLabel();
    setDialog(QStringLiteral(" "), UiColors::DialogNormal);
    txtCall->setFocus();
}

void Form1::clearEntry() { cmdClear_Click(); }
