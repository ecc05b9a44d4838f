#pragma once
// The tune window: a frequency to go to, buttons that step it up or down,
// a button per band and per mode, and a scan that steps the frequency on
// every tick of its timer between two edges, wrapping to the lower edge.
// Any key pressed in the window stops the scan. Frequencies are whole hertz;
// the box shows MHz.
#include <QDialog>
#include <array>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class RigTuner;

class RigTuneWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int ScanTickMs = 299;

    RigTuneWindow(RigTuner &tuner, QWidget *parent = nullptr);

    // Go: tunes to the box's frequency (nothing unless it is a number).
    void go();
    void step(int index);
    void chooseBand(int index);
    // One tick of the scan timer.
    void scanTick();
    void stopScan();
    QTimer *scanTimer() const { return m_scanTimer; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void frequencyEdited();
    void scanToggled(bool on);
    void setMode(const QString &mode);
    std::optional<qint64> frequency() const;
    qint64 scanStep() const;

    RigTuner &m_tuner;
    QLineEdit *frequencyField = nullptr, *fromField = nullptr, *toField = nullptr;
    std::array<QPushButton *, 10> stepButtons{};
    QPushButton *goButton = nullptr, *doneButton = nullptr;
    QCheckBox *scanBox = nullptr;
    std::array<QRadioButton *, 5> stepOptions{};
    QTimer *m_scanTimer = nullptr;
};
