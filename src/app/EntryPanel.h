#pragma once
// The entry of one contact: the call, report and grid fields with their key
// rules, the post-contest date and time, the message line and the line of
// possible dupes, the "New" grid mark, and logging on Enter through the
// contest. After a refused dupe the call field holds the keys typed for three
// seconds and then replays them in order.
#include "keying/KeyingHooks.h"

#include <QKeyEvent>
#include <QWidget>
#include <vector>

class Contest;
class DupeKeyHold;
class MessageLines;
class PostContestFields;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class WaitingContact;
struct QsoRecord;

class EntryPanel : public QWidget, public EntryAccess {
    Q_OBJECT
public:
    explicit EntryPanel(Contest &contest, QWidget *parent = nullptr);

    void focusCall();
    // Empties the fields and the message lines, the caret back in the call.
    void clearEntry() override;
    // The message line, on its normal or its dupe background.
    void showMessage(const QString &text);
    void showMessage(const QString &text, quint32 bgr);
    // The line of possible dupes doubles as the grid map's summary line.
    void showHint(const QString &text);
    // On a background of its own (white when the own call was spotted).
    void showHintOnBackground(const QString &text, quint32 bgr);
    void clearHint();
    // A grid chosen elsewhere (a grid-map cell) goes into the grid field.
    void chooseGrid(const QString &grid);
    // The last contact's call and grid, ready to be logged again.
    void recall(const QsoRecord &last);
    void setPostContest(bool on);
    // The report fields take two digits in phone, three in CW.
    void showMode();
    // The "New" mark and the bearing for the grid as typed.
    void refreshGridMark();
    // Logs what the fields hold (Enter in any field).
    void logEntry();

    // What the CW messages read and write: the call, the report sent, the
    // mode, the message line; a message may log the contact.
    QString callText() const override;
    QString reportText() const override;
    void logContact() override { logEntry(); }
    // Esc: abandons a contact that waits for the log, or clears the entry.
    void cancel() override;
    QString mode() const override;
    void showStatus(const QString &text) override { showMessage(text); }
    void setStatusBackground(quint32 bgr) override;
    // A contact waits for the log, which another PC holds locked.
    bool hasWaitingContact() const;

signals:
    // The caret came into the call field from another field or control.
    void callFieldEntered();
    void gridTyped(const QString &grid);
    // The previous-contact scan listed the station's earlier contacts.
    void previousContactsListed(const std::vector<int> &records);
    // A logging attempt ended (logged, refused or incomplete).
    void loggingAttempted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void resetHintLine();
    bool callKey(QKeyEvent *e);
    bool receivedReportKey(QKeyEvent *e, int forwardedKey = 0);
    bool gridKey(QKeyEvent *e, int forwardedKey = 0);
    bool sentReportKey(QKeyEvent *e);
    void callFocusIn();
    void receivedReportFocusIn();
    void gridFocusIn();
    void sentReportFocusIn();
    void showPartialDupes(int key);
    void scanPreviousContacts();
    bool checkComplete();
    void refuseDupe(const QsoRecord &match);
    void reportNetworkError();
    void clearFields();
    void waitForLog(const QsoRecord &rec);
    void waitingContactFailed();

    Contest &m_contest;
    QLineEdit *m_call = nullptr;
    QLineEdit *m_receivedReport = nullptr;
    QLineEdit *m_grid = nullptr;
    QLineEdit *m_sentReport = nullptr;
    PostContestFields *m_postContest = nullptr;
    MessageLines *m_lines = nullptr;
    QLabel *m_newGridMark = nullptr;
    QPushButton *m_clear = nullptr;

    DupeKeyHold *m_dupeHold = nullptr;
    WaitingContact *m_waiting = nullptr;
    bool m_waitingFailureTold = false;
};
