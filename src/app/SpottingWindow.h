#pragma once
// " DX Spotting Setup": the spot source and its settings, the text received
// from it, the box for text to send, and the main window's spot display
// (list or band map, DX Only). Made when first opened, which opens the saved
// source at once; Done keeps the settings in "PackSpot.txt" and hides the
// window, and the source stays open until the program ends.
#include "spots/SpotSettings.h"

#include <QDialog>
#include <array>
#include <functional>

class PortArbiter;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class SpotSession;
class SpotStore;

class SpottingWindow : public QDialog {
    Q_OBJECT
public:
    SpottingWindow(const QString &settingsFile, SpotStore &store, PortArbiter *ports, QWidget *parent = nullptr);
    ~SpottingWindow() override;

    // The own call (for the packet engine) and the last logged call (Spot Last).
    std::function<QString()> ownCall, lastCall;

    // Reads the settings file and opens the saved source.
    void load();
    SpotSession &session() { return *m_session; }
    const SpotSettings &settings() const { return m_settings; }

signals:
    // Done: the main window's spot display as chosen, the preferences to be kept.
    void displayChosen(bool list);
    void preferencesWanted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void buildControls();
    void showSettings();
    void readControls();
    void chooseSource(int row);
    void showSourceControls();
    void showReceived();
    void spotLast();
    void done();
    void escape();

    QString m_file;
    SpotSettings m_settings;
    SpotSession *m_session = nullptr;

    QListWidget *m_sources = nullptr;
    QPlainTextEdit *m_received = nullptr;
    QLineEdit *m_sendBox = nullptr;
    QLabel *m_sendPrompt = nullptr, *m_listening = nullptr;
    QGroupBox *m_tncFrame = nullptr, *m_telnetFrame = nullptr, *m_agwFrame = nullptr;
    std::array<QRadioButton *, 10> m_ports{};
    std::array<QRadioButton *, 6> m_bauds{};
    std::array<QRadioButton *, 4> m_handshakes{};
    QComboBox *m_parity = nullptr, *m_dataBits = nullptr, *m_stopBits = nullptr, *m_power = nullptr;
    QLineEdit *m_commandChar = nullptr, *m_telnetHost = nullptr, *m_telnetPort = nullptr;
    QLineEdit *m_agwHost = nullptr, *m_agwPort = nullptr;
    QCheckBox *m_convertToHex = nullptr, *m_dxOnly = nullptr;
    QRadioButton *m_listOption = nullptr, *m_bandOption = nullptr;
};
