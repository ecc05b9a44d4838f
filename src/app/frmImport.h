#pragma once
// Appending another log or a text backup to the shared log: the operator
// names the file, chooses whether contacts the log already holds are left
// out, and appends.
#include <QDialog>
#include <functional>

class LogStore;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmImport : public QDialog {
    Q_OBJECT
public:
    explicit frmImport(LogStore &store, QWidget *parent = nullptr);

    // Reloads the main window's copy of the log after records went in.
    std::function<void()> reload;

    QLabel *Label1 = nullptr; // path caption
    QLabel *Label2 = nullptr; // warnings
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command3 = nullptr; // Browse
    QPushButton *Command2 = nullptr; // Append
    QPushButton *Command1 = nullptr; // Done
    QCheckBox *Check1 = nullptr;     // eliminate duplicates

    void Command3_Click();
    void Command2_Click();

private:
    void Check1_Click(bool checked);

    LogStore &m_store;
};
