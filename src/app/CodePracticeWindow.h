#pragma once
// "On the Air Code Practice": random groups, pasted or typed text sent one
// character at a time through the CW engine, so the keying output, speed
// and timing of the CW setup apply. What was handed to the engine shows in
// "Text Sent"; Stop ends after the character being keyed.
#include <QDialog>

class CwKeyer;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class CodePracticeWindow : public QDialog {
    Q_OBJECT
public:
    explicit CodePracticeWindow(CwKeyer &keyer, QWidget *parent = nullptr);

    void generate();
    void send();
    void stop();
    bool isSending() const { return m_sending; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    QPlainTextEdit *textToSend = nullptr;
    QPlainTextEdit *textSent = nullptr;
    QLineEdit *groupCountField = nullptr;
    QLineEdit *groupSizeField = nullptr;
    QRadioButton *lettersOnlyOption = nullptr, *allOption = nullptr;
    QLineEdit *typingField = nullptr;
    QLabel *speedLabel = nullptr;
    QPushButton *generateButton = nullptr, *pasteButton = nullptr, *sendButton = nullptr,
                *stopButton = nullptr, *fasterButton = nullptr, *slowerButton = nullptr,
                *clearSentButton = nullptr, *clearTextButton = nullptr;


    void typed(const QString &text, bool backspace);
    void appendSent(const QString &text);

    CwKeyer &m_keyer;
    QString m_sendText;
    bool m_sending = false;
};
