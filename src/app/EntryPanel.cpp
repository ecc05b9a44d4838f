#include "app/EntryPanel.h"

#include "app/Colors.h"
#include "app/Controls.h"
#include "app/DupeKeyHold.h"
#include "app/EntryFieldRow.h"
#include "app/EntryKeys.h"
#include "app/EntryValidator.h"
#include "app/MessageLines.h"
#include "app/PostContestFields.h"
#include "app/WaitingContact.h"
#include "keying/VoiceNavigation.h"
#include "log/Contest.h"
#include "log/GridMap.h"
#include "log/Score.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

EntryPanel::EntryPanel(Contest &contest, QWidget *parent) : QWidget(parent), m_contest(contest)
{
    setObjectName(QStringLiteral("entryPanel"));
    const EntryFieldRow row = EntryFieldRow::build(this);
    m_call = row.call;
    m_receivedReport = row.receivedReport;
    m_grid = row.grid;
    m_sentReport = row.sentReport;
    m_newGridMark = row.newGridMark;
    m_clear = row.clear;
    m_postContest = row.postContest;
    for (QLineEdit *e : {m_call, m_receivedReport, m_grid, m_sentReport})
        e->installEventFilter(this);
    connect(m_postContest, &PostContestFields::enterPressed, this, &EntryPanel::logEntry);
    connect(m_postContest, &PostContestFields::spacePressed, this, [this] { focusNextChild(); });

    m_lines = new MessageLines(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row.layout);
    layout->addWidget(m_lines);

    m_dupeHold = new DupeKeyHold(m_call);
    m_waiting = new WaitingContact(contest, this);
    connect(m_waiting, &WaitingContact::failed, this, &EntryPanel::waitingContactFailed);
    connect(m_waiting, &WaitingContact::logged, this, [this] {
        showMessage(QStringLiteral(" "), UiColors::DialogNormal);
        emit loggingAttempted();
    });
    connect(m_waiting, &WaitingContact::refused, this, [this](const QsoRecord &match) {
        showMessage(dupeText(match), UiColors::DialogDupe);
        beep();
        emit loggingAttempted();
    });
    connect(m_grid, &QLineEdit::textChanged, this, &EntryPanel::refreshGridMark);
    connect(m_call, &QLineEdit::textChanged, this,
            [this](const QString &t) { m_contest.setCallInProgress(!t.isEmpty()); });
    connect(m_clear, &QPushButton::clicked, this, &EntryPanel::clearEntry);
    connect(m_lines, &MessageLines::hintsSwitched, this, [this] { m_call->setFocus(); });
}

// ---------------------------------------------------------------- outside requests

void EntryPanel::focusCall() { m_call->setFocus(); }

void EntryPanel::showMessage(const QString &text) { m_lines->setMessage(text); }

void EntryPanel::showMessage(const QString &text, quint32 bgr)
{
    m_lines->setMessage(text, bgr);
}

void EntryPanel::showHint(const QString &text) { m_lines->setHint(text); }

void EntryPanel::showHintOnBackground(const QString &text, quint32 bgr)
{
    m_lines->setHint(text);
    m_lines->setHintBackground(bgr);
}

void EntryPanel::clearHint() { m_lines->clearHintText(); }

void EntryPanel::resetHintLine()
{
    m_lines->resetHint();
}

void EntryPanel::chooseGrid(const QString &grid)
{
    m_grid->setText(grid);
    refreshGridMark();
}

void EntryPanel::takeSpotCall(const QString &call)
{
    m_call->setFocus();
    m_call->setText(filterEntryText(EntryField::Call, call));
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(m_call, &tab);
    // Behind another window (the spectrum map) no focus event comes: the
    // field that has the caret now is entered all the same.
    if (!window()->isActiveWindow())
        fieldEntered(window()->focusWidget());
}

void EntryPanel::recall(const QsoRecord &last)
{
    m_call->setFocus();
    m_call->setText(last.calls);
    m_grid->setText(last.gridr);
    m_grid->selectAll();
    // On to the report field, whose focus handling offers the reports.
    focusNextChild();
}

void EntryPanel::setPostContest(bool on) { m_postContest->setOn(on); }

void EntryPanel::showMode()
{
    const int digits = m_contest.station().currentMode == Modes::Phone ? 2 : 3;
    m_receivedReport->setMaxLength(digits);
    m_sentReport->setMaxLength(digits);
}

void EntryPanel::refreshGridMark()
{
    const Station &s = m_contest.station();
    const QString grid = m_grid->text();
    m_newGridMark->setVisible(
        showsNewMark(m_contest.tally(), s.currentBand, grid, s.contestType, s.isRover(), s.ownGrid));
    emit gridTyped(grid);
}

void EntryPanel::clearEntry()
{
    clearFields();
    resetHintLine();
    showMessage(QStringLiteral(" "), UiColors::DialogNormal);
    m_call->setFocus();
}

void EntryPanel::clearFields()
{
    m_sentReport->clear();
    m_call->clear();
    m_receivedReport->clear();
    m_grid->clear();
}

// ---------------------------------------------------------------- key routing

void EntryPanel::fieldEntered(QWidget *field)
{
    if (field == m_call)
        callFocusIn();
    else if (field == m_receivedReport)
        receivedReportFocusIn();
    else if (field == m_grid)
        gridFocusIn();
    else if (field == m_sentReport)
        sentReportFocusIn();
}

bool EntryPanel::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (!field)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // The window coming back to the front is no move between fields.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        fieldEntered(field);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *e = static_cast<QKeyEvent *>(event);
    if (field == m_call)
        return callKey(e);
    if (field == m_receivedReport)
        return receivedReportKey(e);
    if (field == m_grid)
        return gridKey(e);
    return sentReportKey(e);
}

// ---------------------------------------------------------------- call field

bool EntryPanel::callKey(QKeyEvent *e)
{
    const int k = keyCode(e);
    if (m_dupeHold->holds()) {
        m_dupeHold->hold(e);
        return true;
    }
    if (k == 0 || k == 9)
        return false;
    if (m_call->text().isEmpty())
        m_lines->setMessage(QString());
    if (isQuote(k))
        return true;
    const QString before = m_call->text();
    if (k >= '0' && k <= '9' && forwardsDigitToReport(before, m_call->cursorPosition(), QChar(k))) {
        m_receivedReport->setFocus();
        receivedReportKey(nullptr, k);
        return true;
    }
    if (before.size() < 3 && m_contest.loggedOn())
        m_lines->setMessage(QStringLiteral(" "));
    if (k == 13) {
        logEntry();
        return true;
    }
    if (k == ' ') {
        m_receivedReport->setFocus();
        return true;
    }
    const QChar c = capitalKey(QChar(k));
    showPartialDupes(c.unicode());
    if (c.unicode() != k) {
        typeInto(m_call, c);
        return true;
    }
    return false;
}

void EntryPanel::showPartialDupes(int key)
{
    m_lines->setMessageBackground(UiColors::DialogNormal);
    resetHintLine();
    const QString before = m_call->text();
    QString hint;
    if (m_lines->hintsOn() && key >= 46 && key <= 90) {
        hint = m_contest.partialDupeHint(before, QChar(key)).hint;
        m_lines->setHint(hint, !hint.isEmpty());
    }
    if (before.size() >= 3 && !hint.isEmpty())
        m_lines->setMessage(DupeTexts::PossibleDuplicate);
    else if (m_contest.loggedOn())
        m_lines->setMessage(QStringLiteral(" "));
    const QString typed = before + QChar(key);
    if (typed.size() == 3 && key >= 46 && key <= 90) {
        if (callShapeWarning(typed)) {
            beep();
            m_lines->setMessage(DupeTexts::NotNumeric);
        } else {
            m_lines->setMessage(QStringLiteral(" "));
        }
    }
}

void EntryPanel::callFocusIn()
{
    if (m_call->text().isEmpty()) {
        m_receivedReport->clear();
        m_sentReport->clear();
    }
    emit callFieldEntered();
    if (m_contest.station().navigationLevel != 0)
        VoiceNavigation::announce(QStringLiteral("Call"));
}

// ---------------------------------------------------------------- reports

void EntryPanel::receivedReportFocusIn()
{
    const Station &s = m_contest.station();
    if (!s.recordsRst())
        m_grid->setFocus();
    if (!m_call->text().isEmpty()) {
        scanPreviousContacts();
        if (s.recordsRst()) {
            const QString rst = defaultReport(s.currentMode);
            if (m_receivedReport->text().isEmpty()) {
                m_receivedReport->setText(rst);
                m_receivedReport->selectAll();
            }
            if (m_sentReport->text().isEmpty()) {
                m_sentReport->setText(rst);
                m_sentReport->selectAll();
            }
        }
    }
    if (s.navigationLevel == 2)
        VoiceNavigation::announce(QStringLiteral("RstRcvd"));
}

void EntryPanel::scanPreviousContacts()
{
    const PreviousScan scan = m_contest.previousContacts(m_call->text(), m_grid->text());
    if (m_contest.station().listPrevious == 1)
        emit previousContactsListed(scan.listed);
    if (!scan.gridToFill.isEmpty() && m_grid->text().isEmpty()) {
        m_grid->setText(scan.gridToFill);
        m_grid->selectAll();
    }
    if (scan.warnRecord > 0) {
        showMessage(duplicateUnlessRoverText(m_contest.mirror(), scan.warnRecord), UiColors::DialogDupe);
        m_lines->unhighlightHint();
        beep();
    }
}

bool EntryPanel::receivedReportKey(QKeyEvent *e, int forwardedKey)
{
    int k = forwardedKey ? forwardedKey : keyCode(e);
    if (k == 0 || k == 9)
        return false;
    if (k > '9') {
        // A letter after the report starts the grid.
        gridKey(nullptr, k);
        k = ' ';
    }
    if (k == 13) {
        logEntry();
        return true;
    }
    if (k == ' ') {
        m_grid->setFocus();
        return true;
    }
    const QChar c = digitKey(QChar(k));
    if (c.isNull())
        return true;
    if (forwardedKey) {
        m_receivedReport->setText(QString(c));
        m_receivedReport->setCursorPosition(1);
        return true;
    }
    return false;
}

bool EntryPanel::sentReportKey(QKeyEvent *e)
{
    const int k = keyCode(e);
    if (k == 0 || k == 9)
        return false;
    if (k == 13) {
        logEntry();
        return true;
    }
    if (k == ' ') {
        focusNextChild();
        return true;
    }
    return digitKey(QChar(k)).isNull();
}

void EntryPanel::sentReportFocusIn()
{
    if (!m_contest.station().recordsRst())
        QTimer::singleShot(0, this, [this] {
            if (m_sentReport->hasFocus())
                focusNextChild();
        });
    if (m_contest.station().navigationLevel == 2)
        VoiceNavigation::announce(QStringLiteral("RstSnt"));
}

// ---------------------------------------------------------------- grid

bool EntryPanel::gridKey(QKeyEvent *e, int forwardedKey)
{
    const int k = forwardedKey ? forwardedKey : keyCode(e);
    if (k == 0 || k == 9)
        return false;
    if (isQuote(k))
        return true;
    if (k == 13) {
        logEntry();
        return true;
    }
    if (k == ' ') {
        m_sentReport->setFocus();
        return true;
    }
    QChar c(k);
    // A key typed over a selection lands where the selection starts.
    const int caret = forwardedKey ? 0
                      : m_grid->hasSelectedText() ? m_grid->selectionStart()
                                                  : m_grid->cursorPosition();
    if (caret < 4)
        c = capitalKey(c);
    if (forwardedKey) {
        m_grid->setText(QString(c));
        m_grid->setCursorPosition(1);
        return true;
    }
    if (c.unicode() != k) {
        typeInto(m_grid, c);
        return true;
    }
    return false;
}

void EntryPanel::gridFocusIn()
{
    if (m_contest.station().navigationLevel == 2)
        VoiceNavigation::announce(QStringLiteral("Grid"));
}

// ---------------------------------------------------------------- logging

bool EntryPanel::checkComplete()
{
    bool complete = true;
    if (m_grid->text().isEmpty()) {
        beep();
        m_lines->setMessage(EntryTexts::NeedGrid);
        complete = false;
        m_grid->setFocus();
    }
    if (m_call->text().size() < 3) {
        beep();
        m_lines->setMessage(EntryTexts::NeedCall);
        complete = false;
        m_call->setFocus();
    }
    return complete;
}

void EntryPanel::reportNetworkError()
{
    beep();
    msgBox(this, QStringLiteral("Network Error, please try again."), QStringLiteral("Network Error!"));
    // A fresh connection for the operator's next Enter.
    m_contest.reconnectLog();
}

void EntryPanel::refuseDupe(const QsoRecord &match)
{
    showMessage(dupeText(match), UiColors::DialogDupe);
    resetHintLine();
    beep();
    VoiceNavigation::announce(QStringLiteral("Dupe"));
    // The prompt is heard before anything else is typed.
    if (m_contest.station().navigationLevel != 0)
        VoiceNavigation::waitUntilSpoken();
    m_dupeHold->start();
    m_call->setFocus();
    clearFields();
}

void EntryPanel::logEntry()
{
    const bool complete = checkComplete();
    if (!complete) {
        // The check still runs: it offers the station's grid and refuses a dupe.
        const LogAttempt a = m_contest.checkEntry(m_call->text(), m_grid->text(), OnBusy::Report);
        if (a.outcome == LogAttempt::Failed) {
            reportNetworkError();
            return;
        }
        if (!a.gridFromLog.isEmpty() && m_grid->text().isEmpty()) {
            m_grid->setText(a.gridFromLog);
            m_grid->selectAll();
        }
        if (a.outcome == LogAttempt::Dupe)
            refuseDupe(a.match);
        resetHintLine();
        emit loggingAttempted();
        return;
    }
    if (m_waiting->isWaiting()) {
        // One contact waits at a time.
        beep();
        showMessage(EntryTexts::waitingForLog(m_waiting->record().calls));
        return;
    }
    const Station &s = m_contest.station();
    QsoRecord rec = liveContact(m_call->text(), m_receivedReport->text(), m_grid->text(),
                                m_sentReport->text(), s.ownGrid, s.currentBand, s.currentMode,
                                s.utcOffsetHours);
    if (!s.recordsRst()) {
        rec.rstr.clear();
        rec.rsts.clear();
    }
    if (m_postContest->isOn()) {
        if (const auto problem = m_postContest->stamp(rec)) {
            m_lines->setMessage(*problem);
            beep();
            return;
        }
    }
    const LogAttempt a = m_contest.logContact(rec, OnBusy::Report);
    if (a.outcome == LogAttempt::Busy) {
        waitForLog(rec);
        return;
    }
    if (a.outcome == LogAttempt::Failed) {
        reportNetworkError();
        return;
    }
    if (a.outcome == LogAttempt::Dupe) {
        refuseDupe(a.match);
    } else {
        clearFields();
        m_call->setFocus();
        showMessage(QString(), UiColors::DialogNormal);
    }
    resetHintLine();
    emit loggingAttempted();
}

// ---------------------------------------------------------------- a busy log

void EntryPanel::waitForLog(const QsoRecord &rec)
{
    // The contact keeps the time of its Enter; the fields are free for the next.
    m_waiting->start(rec);
    m_waitingFailureTold = false;
    clearFields();
    resetHintLine();
    m_call->setFocus();
    showMessage(EntryTexts::waitingForLog(rec.calls), UiColors::DialogNormal);
}

void EntryPanel::waitingContactFailed()
{
    const QsoRecord rec = m_waiting->record();
    if (!m_waitingFailureTold) {
        m_waitingFailureTold = true;
        reportNetworkError();
    }
    if (!m_call->text().isEmpty()) {
        showMessage(EntryTexts::cannotWrite(rec.calls), UiColors::DialogDupe);
        return;
    }
    // Back into the fields, where Enter tries again.
    m_waiting->drop();
    m_call->setText(rec.calls);
    m_receivedReport->setText(rec.rstr);
    m_grid->setText(rec.gridr);
    m_sentReport->setText(rec.rsts);
}

bool EntryPanel::hasWaitingContact() const { return m_waiting->isWaiting(); }

QString EntryPanel::callText() const { return m_call->text(); }

QString EntryPanel::reportText() const { return m_sentReport->text(); }

QString EntryPanel::mode() const { return m_contest.station().currentMode; }

void EntryPanel::setStatusBackground(quint32 bgr) { m_lines->setMessageBackground(bgr); }

void EntryPanel::cancel()
{
    if (!m_waiting->isWaiting()) {
        clearEntry();
        return;
    }
    showMessage(EntryTexts::notLogged(m_waiting->record().calls), UiColors::DialogDupe);
    m_waiting->drop();
}
