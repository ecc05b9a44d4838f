#pragma once
// The main window's rig control: the poller, the rig interface window behind
// Options > Rig Interface, and the hand-on of each reply, so that the logging
// band follows the rig's frequency and the logging mode its mode. A rig that
// stops answering is told once; polling goes on and picks it up again.
// It also tunes the rig: to a spot the operator chooses, from the tune
// window, and from the frequency test; and it opens the spectrum map and
// the licence-class privileges, both read from the band plan.
#include "keying/MainKeyFilter.h"
#include "spots/SpectrumRows.h"

#include <QObject>
#include <QPointer>

class Contest;
class PortArbiter;
class QAction;
class QWidget;
class RigControlWindow;
class RigPoller;
class RigTuneWindow;
class RigTuner;
class SpectrumMapWindow;
class StationSpots;
struct MainMenus;

class StationRig : public QObject {
    Q_OBJECT
public:
    StationRig(QWidget *window, Contest &contest, PortArbiter &ports, const MainMenus &menus);
    ~StationRig() override;

    // At start-up: puts the band plan in place, reads "RigCntrl.txt" and
    // starts polling when the preferences name a rig.
    void start();
    void showWindow();
    RigPoller &poller() { return *m_poller; }
    RigTuner &tuner() { return *m_tuner; }
    RigControlWindow &window();

    // The modal windows; each is made when opened and goes when closed.
    void showTuneWindow();
    void showSpectrumMap();
    void showPrivileges();
    void showFrequencyTest();
    // Ctrl+B, Ctrl+F, Ctrl+G of the logging window.
    void showModalWindow(MainKeyFilter::Window w);
    // The spots the spectrum map draws, oldest first.
    void setSpots(const QList<MapSpot> &spots);
    // The spot store's spots on the spectrum map; a spot chosen anywhere
    // tunes, one taken off the spectrum map goes off every map.
    void followSpots(StationSpots &spots);

public slots:
    // A spot chosen on a map or in the spot list: the rig goes there when it
    // is being polled, and the call goes to the entry either way.
    void tuneToSpot(const QString &call, double frequencyKHz);

signals:
    // The call of a chosen spot, for the entry's call field.
    void callChosen(const QString &call);
    // A spot taken off the spectrum map (left click), by its index in the
    // list handed to setSpots.
    void spotDismissed(int spot, const QString &call);

private:
    void followReply();
    void tellLost(const QString &why);
    void tellFailure(const QString &title, const QString &why);

    QWidget *m_window;
    Contest &m_contest;
    RigPoller *m_poller = nullptr;
    RigTuner *m_tuner = nullptr;
    QPointer<RigControlWindow> m_rigWindow;
    QPointer<RigTuneWindow> m_tuneWindow;
    QPointer<SpectrumMapWindow> m_spectrumMap;
    QList<MapSpot> m_spots;
    bool m_telling = false; // a failure is being shown
};
