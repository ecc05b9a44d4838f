#pragma once
// Trying the rig's commands by hand: a raw command, sent as typed or as
// "XX XX XX" hex bytes, and a frequency in MHz that the rig is tuned to as a
// spot click would.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class RigTuner;

class FrequencyTestWindow : public QDialog {
    Q_OBJECT
public:
    explicit FrequencyTestWindow(RigTuner &tuner, QWidget *parent = nullptr);

    void sendCommand();
    void sendFrequency();

private:
    RigTuner &m_tuner;
    QLineEdit *commandField = nullptr, *frequencyField = nullptr;
    QCheckBox *hexBox = nullptr;
};
