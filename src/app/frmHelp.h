#pragma once
// The help window: the program's help text, which can be saved to a file.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class frmHelp : public QDialog {
    Q_OBJECT
public:
    explicit frmHelp(QWidget *parent = nullptr);
    static QString text();
    QPlainTextEdit *txtHelp = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;
    void cmdSave_Click();
};
