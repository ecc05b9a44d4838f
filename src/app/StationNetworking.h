#pragma once
// The main window's station network: started three seconds after the
// program, it follows the contest's band, mode and log path, shows the
// network window from the "Network" menu, and hands the main window the
// lines it shows (the also-operating warning, a received message).
#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <memory>

class ClockSetter;
class ComputerBrowser;
class Contest;
class NetHost;
class NetworkStatusWindow;
class QAction;
class QWidget;
class StationNetwork;

class StationNetworking : public QObject {
    Q_OBJECT
public:
    StationNetworking(QWidget *window, Contest &contest, QAction *networkMenu);
    ~StationNetworking() override;

    // Tests give every window made afterwards this host, clock and bus for
    // the computer list (nullptr: the system's).
    static void usePlatform(NetHost *host, ClockSetter *clock, const QDBusConnection *browserBus = nullptr);
    // The port every PC of the station listens on; "NetworkPort" in the
    // settings store, 1001 by default.
    static quint16 port();

    // The network start: the log path names the server, the functions are
    // enabled and the network window is loaded, hidden.
    void start();
    void showWindow();
    StationNetwork &network() { return *m_network; }

signals:
    // For the main window's message line (empty: clear it).
    void messageLineWanted(const QString &text);
    // For the main window's second line: a received message.
    void hintLineWanted(const QString &text);

private:
    void bandOrModeChosen();
    NetworkStatusWindow *window();

    QWidget *m_window;
    Contest &m_contest;
    std::unique_ptr<NetHost> m_ownHost;
    std::unique_ptr<ClockSetter> m_ownClock;
    StationNetwork *m_network = nullptr;
    ComputerBrowser *m_browser = nullptr;
    QPointer<NetworkStatusWindow> m_statusWindow;
};
