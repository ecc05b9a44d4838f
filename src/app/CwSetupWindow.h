#pragma once
// The CW setup window: the function-key messages, the keying output and its
// port, speed and word space, the timing method, the repeat delay and the
// display option. Its fields edit the CW engine's settings as they are
// typed; "Done" keeps them in CW.txt and the settings store. It also tests
// the keying and opens code practice.
#include "app/PortSetupDialog.h"
#include <array>

class CwKeyer;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CwSetupWindow : public PortSetupDialog {
    Q_OBJECT
public:
    // cwFile: where "Done" writes the settings.
    CwSetupWindow(CwKeyer &keyer, const QString &cwFile, QWidget *parent = nullptr);

    // Shows the engine's settings in the fields (after they were loaded).
    void showSettings();

    void test();
    void keepAndHide();
    void openCodePractice();

signals:
    // "Done" with a keying output chosen: the CW Strings window is wanted
    // (minimized).
    void stringsWindowWanted();
    // "WinKey" was chosen or its button pressed: the keyer's window is wanted.
    void winKeyWindowWanted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The messages of F1..F9, F10 and F11.
    std::array<QLineEdit *, 11> messageFields{};
    QLineEdit *portField = nullptr;
    QComboBox *portDevice = nullptr;          // the device the port number stands for
    QLabel *portDeviceLabel = nullptr;
    QLineEdit *wpmField = nullptr;
    QLineEdit *wordSpaceField = nullptr;
    QLineEdit *printerAddressField = nullptr;
    QRadioButton *rtsOption = nullptr, *dtrOption = nullptr, *printerOption = nullptr,
                 *noneOption = nullptr, *winKeyOption = nullptr;
    QPushButton *configureWinKeyButton = nullptr;
    QRadioButton *timerOption = nullptr, *loopOption = nullptr, *sleepOption = nullptr;
    QLabel *loopCountLabel = nullptr;
    QLineEdit *loopCountField = nullptr;
    QPushButton *loopFasterButton = nullptr, *loopSlowerButton = nullptr;
    QCheckBox *displayTextBox = nullptr;
    QLineEdit *loopDelayField = nullptr;
    QPushButton *fasterButton = nullptr, *slowerButton = nullptr;
    QPushButton *lessSpaceButton = nullptr, *moreSpaceButton = nullptr;
    QLabel *sendingLabel = nullptr;
    QPushButton *testButton = nullptr, *codePracticeButton = nullptr, *doneButton = nullptr;


    void buildControls();
    void connectControls();
    void chooseOutput(int output);
    void chooseMethod();
    void leaveNumberField(QLineEdit *field);
    void leaveWordSpace();
    void stepWordSpace(int by);
    void adjustLoopCount(double factor);
    void showPortDevice();
    void mapPortDevice(int index);

    CwKeyer &m_keyer;
    QString m_cwFile;
    bool m_filling = false;
};
