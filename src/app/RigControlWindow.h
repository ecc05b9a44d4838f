#pragma once
// The rig interface window: the rig model, its serial line and power, the
// poll rate, the queries and how the reply is used (band from the frequency,
// mode from the rig or from the frequency). Test starts polling, End Test
// stops it, Done starts it and keeps the settings in "RigCntrl.txt". While
// polling it shows the rig's frequency, mode and the raw reply.
#include "rig/RigProtocol.h"
#include "rig/RigSettings.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class RigPoller;

class RigControlWindow : public QDialog {
    Q_OBJECT
public:
    RigControlWindow(RigPoller &poller, const QString &settingsFile, QWidget *parent = nullptr);

    // Reads "RigCntrl.txt" into the controls (the rig list's defaults are
    // not applied); a missing file leaves the controls as they are.
    void loadSettings();
    // The settings as the controls show them.
    RigSettings settings() const;
    // Selects a rig by name without its defaults (the preferences' rig).
    void selectRig(const QString &name);

    // Test: starts polling. False when the port could not be opened (the
    // operator was told).
    bool test();
    void endTest();
    void done();

signals:
    // Done was pressed with this rig chosen (the preferences keep it).
    void rigChosen(const QString &rigType);
    // Change Frequency while polling: the frequency test window is wanted.
    void frequencyTestWanted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget *rigList = nullptr;
    QLineEdit *freqQueryField = nullptr;
    QLineEdit *modeQueryField = nullptr;
    QCheckBox *convertToHexBox = nullptr;
    QCheckBox *useFrequencyBox = nullptr;
    QCheckBox *showHexBox = nullptr;
    std::array<QRadioButton *, 10> portOptions{};
    std::array<QRadioButton *, 9> baudOptions{};
    QRadioButton *parityOdd = nullptr, *parityNone = nullptr, *parityEven = nullptr;
    QRadioButton *data7 = nullptr, *data8 = nullptr, *stop1 = nullptr, *stop2 = nullptr;
    QRadioButton *powerNone = nullptr, *powerRts = nullptr, *powerDtr = nullptr;
    QRadioButton *pollFast = nullptr, *pollMedium = nullptr, *pollSlow = nullptr, *pollReallySlow = nullptr;
    QRadioButton *modeByRig = nullptr, *modeByFrequency = nullptr, *modeNotUsed = nullptr;
    QLineEdit *rigctldHostField = nullptr, *rigctldPortField = nullptr, *pegasusFolderField = nullptr;
    QPushButton *testButton = nullptr, *endTestButton = nullptr, *doneButton = nullptr;
    QPushButton *changeFrequencyButton = nullptr, *copyButton = nullptr;
    QLabel *frequencyLabel = nullptr, *modeLabel = nullptr, *unprocessedLabel = nullptr;
    QLabel *pollingLabel = nullptr, *icomNote = nullptr;

    void buildControls();
    void rigClicked();
    void applyDefaults(const Rig::Model &m);
    void showSettings(const RigSettings &s);
    void showReply(const QByteArray &raw, const Rig::RigState &state);
    void showTypeFields();
    void changeFrequencyClicked();

    RigPoller &m_poller;
    QString m_file;
};
