#pragma once
// The "Network Status Display": which station is on which band and mode, the
// connection status, the operators' messages, the PCs found on the local
// network, and the switches for the network functions and the clock sync.
// It shows the station network and forwards the operator's actions to it.
#include <QWidget>
#include <array>

class ComputerBrowser;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class StationNetwork;
namespace NetRecords {
struct Message;
}

class NetworkStatusWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr quint32 FreeCell = 0x80FF80;     // light green
    static constexpr quint32 OccupiedCell = 0x0000FF; // red

    explicit NetworkStatusWindow(StationNetwork &network, QWidget *parent = nullptr);

    // Where "List Network PCs" finds the computers of the local network.
    void setComputerBrowser(ComputerBrowser *browser);

    // The window as it comes up: the switch as the network stands, the
    // status published, the PC list emptied.
    void bringUp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showGrid();
    void appendLog(const QString &text);
    void sendTyped();
    void messageArrived(const NetRecords::Message &m, bool addressedHere);
    void listNetworkPcs();
    static QString helpText(const QString &serverName);

    StationNetwork &m_network;
    ComputerBrowser *m_browser = nullptr;
    std::array<std::array<QLabel *, 3>, 14> m_cells{};
    QLabel *m_status = nullptr;
    QLabel *m_server = nullptr;
    QLineEdit *m_stationName = nullptr;
    QLineEdit *m_recipient = nullptr;
    QLineEdit *m_messageField = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QListWidget *m_computers = nullptr;
    QCheckBox *m_enabled = nullptr;
};
