#pragma once
// "Phone Wave Selections": the wave files of F1 to F9, the push-to-talk port
// and line, the printer port address, the CQ loop delay and the sound output
// the messages go to. The fields edit the voice keyer's settings as they are
// typed; "Done" keeps them in wave2.txt. "Test" plays F1.
#include "app/PortSetupDialog.h"
#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class VoiceKeyer;

class PhoneWindow : public PortSetupDialog {
    Q_OBJECT
public:
    // waveFile: where "Done" writes the settings.
    PhoneWindow(VoiceKeyer &keyer, const QString &waveFile, QWidget *parent = nullptr);

    // Shows the keyer's settings in the fields (after they were loaded).
    void showSettings();
    void test();
    void keepAndHide();
    // The port could not be opened: the window comes up for a correction.

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void browse(int slot);
    void choosePttLine();

    VoiceKeyer &m_keyer;
    QString m_waveFile;
    std::array<QLineEdit *, 9> m_fileFields{};
    QLineEdit *m_portField = nullptr;
    QRadioButton *m_rts = nullptr, *m_dtr = nullptr, *m_parallel = nullptr;
    QLineEdit *m_printerAddress = nullptr;
    QLineEdit *m_loopDelay = nullptr;
    QComboBox *m_outputDevice = nullptr;
    QPushButton *m_test = nullptr, *m_stop = nullptr, *m_done = nullptr;
    bool m_filling = false;
};
