#pragma once
// The contact edit window: the nine values of one contact, checked field by
// field, with its own dupe test against the rest of the log before the
// change is written.
#include "log/QsoRecord.h"

#include <QDialog>
#include <QSet>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class frmEditCon : public QDialog {
    Q_OBJECT
public:
    // mirror: the log as loaded; editIndex: the record being edited.
    frmEditCon(const LogMirror &mirror, int editIndex, QWidget *parent = nullptr);

    // Writes the change (the update of the log); false when it failed.
    std::function<bool(const QsoRecord &newValues)> save;
    // "Delete Dupe": the main window deletes the contact being edited.
    std::function<void()> deleteDupe;

    QLineEdit *txtEditCall = nullptr, *txtEditNum = nullptr, *txtEditPre = nullptr,
              *txtEditCk = nullptr, *txtEditSec = nullptr, *txtEditDate = nullptr,
              *txtEditTime = nullptr, *txtEditBnd = nullptr, *txtEditMode = nullptr;
    QLabel *Label1 = nullptr; // "Dupe!"
    QLabel *Label2 = nullptr; // date/time "Invalid!"
    QLabel *Label3 = nullptr; // band "Invalid!"
    QLabel *Label5 = nullptr; // mode "Invalid!"
    QPushButton *cmdDone = nullptr;
    QPushButton *cmdDeleteDupe = nullptr;

    void cmdDone_Click();
    // The values as they stand in the fields.
    QsoRecord edited() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool checkLeave(QLineEdit *field);
    const LogMirror &m_mirror;
    int m_index;
    QsoRecord m_stored;
    QSet<QLineEdit *> m_pendingChecks;
};
