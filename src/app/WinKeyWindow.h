#pragma once
// The WinKey setup window: the keyer's port, speed, weight, lead-in, tail
// and ratio, its pin configuration and keyer mode, Open and Close with the
// keyer's answer and version, Stop, two test sends and a field whose typing
// is sent at once. Leaving a field checks it and sends it to the open
// keyer; "Done" keeps the settings in WK.txt.
#include <QDialog>
#include <functional>

class CwKeyer;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class WinKeyer;

class WinKeyWindow : public QDialog {
    Q_OBJECT
public:
    // ownCall: the station's call for "Test"; wkFile: where "Done" writes.
    WinKeyWindow(WinKeyer &keyer, CwKeyer &cw, std::function<QString()> ownCall, const QString &wkFile,
                 QWidget *parent = nullptr);

    // Shows the keyer's settings in the fields and options.
    void showSettings();

    void openKeyer();
    void stop();
    void test();
    void bufferTest();
    void keepAndHide();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Closing the window (not "Done") closes the keyer.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void leaveField(QLineEdit *field);
    void chooseOptions();
    // Appends text to the CW buffer and, when it was empty, feeds the keyer.
    void sendText(const QString &text);
    void focusDone();

    QLineEdit *wpmField = nullptr, *weightField = nullptr, *leadInField = nullptr, *tailField = nullptr,
              *ratioField = nullptr, *portField = nullptr, *typingField = nullptr;
    QRadioButton *key5Out3OffOption = nullptr, *key5Off3OutOption = nullptr, *toneOption = nullptr,
                 *pttOption = nullptr;
    QRadioButton *iambicBOption = nullptr, *iambicAOption = nullptr, *ultimaticOption = nullptr,
                 *bugOption = nullptr;
    QLabel *stateLabel = nullptr, *versionLabel = nullptr;
    QPushButton *openButton = nullptr, *closeButton = nullptr, *stopButton = nullptr, *testButton = nullptr,
                *bufferTestButton = nullptr, *defaultsTestButton = nullptr, *doneButton = nullptr;

    WinKeyer &m_keyer;
    CwKeyer &m_cw;
    std::function<QString()> m_ownCall;
    QString m_wkFile;
    bool m_filling = false;
};
