#pragma once
// The help window: the program's help text, read-only, which the operator
// can save to a text file. It is not modal; the main window keeps one.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

private:
    static QString helpText();
    // Asks for a file name and writes the text with CR LF line ends.
    void saveToFile();

    QPlainTextEdit *textView = nullptr;
    QPushButton *saveButton = nullptr;
    QPushButton *closeButton = nullptr;
};
