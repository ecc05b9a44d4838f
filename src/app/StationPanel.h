#pragma once
// The top line of the main window: local and UTC clocks, the own call and
// grid, the band and mode in use, and the operating-time clock with its
// log-on button. It shows what the contest holds; clicks go out as signals.
#include <QWidget>

class ClickableLabel;
class Contest;
class QLabel;
class QPushButton;

class StationPanel : public QWidget {
    Q_OBJECT
public:
    explicit StationPanel(Contest &contest, QWidget *parent = nullptr);

    // One tick of the clocks (and of the operating time while logged on).
    void showClocks();
    void showStation();
    void showBand();
    void showMode();
    void showOperatingTime(const QString &text);
    void showLoggedOn(bool on);

signals:
    void modeClicked();
    void logOnClicked();

private:
    Contest &m_contest;
    QLabel *m_localTime = nullptr;
    QLabel *m_amPm = nullptr;
    QLabel *m_utcTime = nullptr;
    QLabel *m_operatingTime = nullptr;
    QLabel *m_ownCall = nullptr;
    QLabel *m_ownGrid = nullptr;
    QLabel *m_band = nullptr;
    ClickableLabel *m_mode = nullptr;
    QPushButton *m_logOn = nullptr;
};
