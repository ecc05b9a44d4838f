#pragma once
// The main window's rig control: the poller, the rig interface window behind
// Options > Rig Interface, and the hand-on of each reply, so that the logging
// band follows the rig's frequency and the logging mode its mode. A rig that
// stops answering is told once; polling goes on and picks it up again.
#include <QObject>
#include <QPointer>

class Contest;
class PortArbiter;
class QAction;
class QWidget;
class RigControlWindow;
class RigPoller;

class StationRig : public QObject {
    Q_OBJECT
public:
    StationRig(QWidget *window, Contest &contest, PortArbiter &ports, QAction *rigMenu);
    ~StationRig() override;

    // At start-up: reads "RigCntrl.txt" and starts polling when the
    // preferences name a rig.
    void start();
    void showWindow();
    RigPoller &poller() { return *m_poller; }
    RigControlWindow &window();

private:
    void followReply();
    void tellLost(const QString &why);

    QWidget *m_window;
    Contest &m_contest;
    RigPoller *m_poller = nullptr;
    QPointer<RigControlWindow> m_rigWindow;
};
