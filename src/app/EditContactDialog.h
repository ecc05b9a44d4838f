#pragma once
// The contact edit window: the nine values of one contact, checked field by
// field, with its own dupe test against the rest of the log before the
// change is written. Saving and deleting are the main window's, through the
// two functions it sets.
#include "log/QsoRecord.h"

#include <QDialog>
#include <QSet>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class EditContactDialog : public QDialog {
    Q_OBJECT
public:
    // mirror: the log as loaded; editIndex: the record being edited.
    EditContactDialog(const LogMirror &mirror, int editIndex, QWidget *parent = nullptr);

    // Writes the change (the update of the log); false when it failed.
    std::function<bool(const QsoRecord &newValues)> save;
    // "Delete Dupe": the main window deletes the contact being edited.
    std::function<void()> deleteDupe;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Done: checks the fields and the dupe test, then saves and closes.
    void saveEdit();
    // The values as they will be written to the log.
    QsoRecord editedContact() const;
    // Checks the value of a date, time, band or mode field; a bad one is
    // reported and gets the focus back. False when it was bad.
    bool checkField(QLineEdit *field);

    const LogMirror &m_mirror;
    int m_index;
    QsoRecord m_stored;
    QSet<QLineEdit *> m_pendingChecks;

    QLineEdit *callField = nullptr;
    QLineEdit *sentReportField = nullptr;
    QLineEdit *ownGridField = nullptr;
    QLineEdit *receivedReportField = nullptr;
    QLineEdit *receivedGridField = nullptr;
    QLineEdit *dateField = nullptr;
    QLineEdit *timeField = nullptr;
    QLineEdit *bandField = nullptr;
    QLineEdit *modeField = nullptr;
    QLabel *dupeMark = nullptr;       // "Dupe!"
    QLabel *dateTimeMark = nullptr;   // "Invalid!" beside the date
    QLabel *bandMark = nullptr;       // "Invalid!" beside the band
    QLabel *modeMark = nullptr;       // "Invalid!" beside the mode
    QPushButton *doneButton = nullptr;
    QPushButton *deleteDupeButton = nullptr;
};
