#pragma once
// The live channel between the PCs of one station. The PC that holds the log
// is the server: it accepts the others' connections, keeps the table of who
// is on which band and mode and hands the whole table to every client after
// each change. The others connect to it and try again every 15 s after a
// loss. Operators' messages and clock settings travel the same way, the
// server passing them on. Windows only show what it holds and forward the
// operator's actions.
#include "net/NetRecords.h"
#include "net/StatusGrid.h"

#include <QAbstractSocket>
#include <QObject>
#include <QPointer>
#include <array>
#include <vector>

class ClockSetter;
class NetHost;
class QTcpServer;
class QTcpSocket;
class QTimer;

class StationNetwork : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 1001;
    static constexpr int MaxConnections = 195;

    // listenPort: where this PC accepts the others (0: any free port);
    // serverPort: where it reaches the server.
    StationNetwork(NetHost &host, ClockSetter &clock, quint16 listenPort, quint16 serverPort,
                   QObject *parent = nullptr);
    ~StationNetwork() override;

    // The PC that holds the log; empty means this one (its host name).
    void setServerName(const QString &name);
    QString serverName() const { return m_serverName; }
    bool isServer() const;
    QString hostName() const;
    QString stationName() const { return m_stationName; }
    // Takes the typed name by the naming rule and tells the others.
    void setStationName(const QString &typed);
    // This PC's band and mode; placed in the grid and published.
    void setOwnStatus(const QString &band, const QString &mode);
    // The warning for this PC choosing the band, from the grid as it stands.
    QString alsoOperatingWarning(const QString &band) const;

    bool isEnabled() const { return m_enabled; }
    void enable();
    void disable();

    // Publishes this PC's status and, on the server, the whole table.
    void publishStatus();
    void connectToServer();
    void sendMessage(const QString &to, const QString &text);
    void syncClocks();

    const StatusGrid &grid() const { return m_grid; }
    const NetRecords::StationEntry &entry(int index) const { return m_table.at(index); }
    int maxIndex() const { return m_maxIndex; }
    int connectionCount() const { return static_cast<int>(m_connections.size()); }
    bool isConnectedToServer() const;
    quint16 listeningPort() const;
    QTimer *statusTimer() const { return m_statusTimer; }
    QTimer *reconnectTimer() const { return m_reconnectTimer; }

    static QString stateName(QAbstractSocket::SocketState state, bool error = false);

signals:
    void statusShown(const QString &text);
    void serverNameShown(const QString &name);
    void gridChanged();
    // A paragraph for the message log.
    void logAppended(const QString &text);
    // A message arrived; addressedHere when it names this PC or nobody.
    void messageArrived(const NetRecords::Message &message, bool addressedHere);

private:
    struct Connection {
        QPointer<QTcpSocket> socket;
        NetRecords::Framer framer;
        bool failed = false;
    };

    void startListening();
    void accept();
    void receiveFromClient(int number);
    void receiveFromServer();
    void takeStatus(int index, const NetRecords::StationEntry &e);
    void showMessage(const NetRecords::Message &m);
    void applyClock(const NetRecords::ClockSetting &c, const QString &from);
    void appendLog(const QString &to, const QString &from, const QString &text);
    void pruneDeadStations();
    void cleanUpDeadConnections();
    void clientLost();
    bool isConnected(int number) const;
    void sendToClients(const QByteArray &record, int except = 0);
    static void send(QTcpSocket *socket, const QByteArray &record);
    NetRecords::StationEntry ownEntry() const;
    QString listenerState() const;
    QString clientState() const;

    NetHost &m_host;
    ClockSetter &m_clock;
    quint16 m_listenPort;
    quint16 m_serverPort;
    QTcpServer *m_listener = nullptr;
    QTcpSocket *m_client = nullptr;
    NetRecords::Framer m_clientFramer;
    bool m_clientFailed = false;
    std::vector<Connection> m_connections;
    bool m_everAccepted = false;
    QString m_listenFailure;
    std::array<NetRecords::StationEntry, NetRecords::MaxIndex + 1> m_table{};
    int m_maxIndex = 0;
    StatusGrid m_grid;
    QString m_serverName;
    QString m_stationName;
    QString m_band;
    QString m_mode;
    bool m_enabled = false;
    QTimer *m_statusTimer = nullptr;
    QTimer *m_reconnectTimer = nullptr;
};
