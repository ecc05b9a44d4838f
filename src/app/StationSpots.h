#pragma once
// The main window's DX spotting: the spot store, the spot area under the
// contact list (list or band map of the current band), the spotting window
// behind Options > DX Spotting > Configure, Ctrl+D and a click on the spot
// area's label, and the warning when the own call is spotted. Other windows
// read the store and follow its changes here; choosing a spot (right click
// on a band map label, a row of the list) is handed on as spotChosen.
#include <QObject>
#include <QPointer>

class Contest;
class PortArbiter;
class QAction;
class QWidget;
class SpotAreaPanel;
class SpotStore;
class SpottingWindow;

class StationSpots : public QObject {
    Q_OBJECT
public:
    StationSpots(QWidget *window, Contest &contest, PortArbiter &ports, QAction *configureMenu);
    ~StationSpots() override;

    SpotAreaPanel *panel() const { return m_panel; }
    // The last 50 spots, for every window that draws them.
    const SpotStore &store() const { return *m_store; }
    // Takes a spot off every map (a left click on its label).
    void removeSpot(int slot);
    // Hands on the spot of a slot as chosen (a right click on its label).
    void chooseSpot(int slot);
    // The spotting window; made, and its saved source opened, when first shown.
    void showWindow();
    SpottingWindow *window() const;

signals:
    // The store changed: a spot arrived or was removed.
    void spotsChanged();
    // The operator chose a spot to work.
    void spotChosen(const QString &call, double frequencyKHz);
    // For the main window's message line and the line of possible dupes.
    void messageLineWanted(const QString &text, quint32 bgr);
    void hintLineWanted(const QString &text, quint32 bgr);
    // The line of possible dupes without a colour of its own (a label hovered).
    void hintWanted(const QString &text);

private:
    void redraw();
    void ownCallSpotted(const QString &record);
    QString settingsFile() const;

    QWidget *m_window;
    Contest &m_contest;
    PortArbiter &m_ports;
    SpotStore *m_store = nullptr;
    SpotAreaPanel *m_panel = nullptr;
    QPointer<SpottingWindow> m_spotting;
};
