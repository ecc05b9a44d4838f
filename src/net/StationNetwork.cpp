#include "net/StationNetwork.h"

#include "platform/Clock.h"
#include "platform/ClockSetter.h"
#include "platform/NetHost.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using NetRecords::StationEntry;

namespace {

bool dead(const QTcpSocket *s, bool failed)
{
    if (!s || failed)
        return true;
    const auto st = s->state();
    return st == QAbstractSocket::UnconnectedState || st == QAbstractSocket::ClosingState;
}

} // namespace

StationNetwork::StationNetwork(NetHost &host, ClockSetter &clock, quint16 listenPort, quint16 serverPort,
                               QObject *parent)
    : QObject(parent), m_host(host), m_clock(clock), m_listenPort(listenPort), m_serverPort(serverPort)
{
    m_listener = new QTcpServer(this);
    connect(m_listener, &QTcpServer::newConnection, this, &StationNetwork::accept);
    m_client = new QTcpSocket(this);
    connect(m_client, &QTcpSocket::readyRead, this, &StationNetwork::receiveFromServer);
    connect(m_client, &QTcpSocket::connected, this, [this] {
        m_reconnectTimer->stop();
        publishStatus();
    });
    connect(m_client, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        m_clientFailed = true;
        emit statusShown(clientState());
    });
    connect(m_client, &QTcpSocket::disconnected, this, &StationNetwork::clientLost);

    m_statusTimer = new QTimer(this);
    m_statusTimer->setObjectName(QStringLiteral("Timer1"));
    m_statusTimer->setInterval(60000);
    connect(m_statusTimer, &QTimer::timeout, this, &StationNetwork::publishStatus);
    m_reconnectTimer = new QTimer(this);
    m_reconnectTimer->setObjectName(QStringLiteral("Timer2"));
    m_reconnectTimer->setInterval(15000);
    connect(m_reconnectTimer, &QTimer::timeout, this, &StationNetwork::connectToServer);

    m_stationName = NetRecords::stationName(m_host.localName());
}

StationNetwork::~StationNetwork()
{
    m_reconnectTimer->stop();
    for (Connection &c : m_connections)
        if (c.socket)
            c.socket->abort();
    m_client->abort();
}

QString StationNetwork::stateName(QAbstractSocket::SocketState state, bool error)
{
    if (error)
        return QStringLiteral("Error");
    switch (state) {
    case QAbstractSocket::UnconnectedState: return QStringLiteral("Closed");
    case QAbstractSocket::HostLookupState: return QStringLiteral("Resolving host");
    case QAbstractSocket::ConnectingState: return QStringLiteral("Connecting...");
    case QAbstractSocket::ConnectedState: return QStringLiteral("Connected");
    case QAbstractSocket::BoundState: return QStringLiteral("Open");
    case QAbstractSocket::ListeningState: return QStringLiteral("Listening");
    case QAbstractSocket::ClosingState: return QStringLiteral("Peer is closing");
    }
    return QStringLiteral("Error");
}

// ---------------------------------------------------------------- the station

QString StationNetwork::hostName() const { return m_host.localName(); }

void StationNetwork::setServerName(const QString &name)
{
    m_serverName = name.trimmed();
    if (m_serverName.isEmpty())
        m_serverName = m_host.localName();
    emit serverNameShown(m_serverName);
}

bool StationNetwork::isServer() const
{
    return m_serverName.isEmpty() || m_host.localName().compare(m_serverName, Qt::CaseInsensitive) == 0;
}

void StationNetwork::setStationName(const QString &typed)
{
    const QString name = NetRecords::stationName(typed);
    if (name == m_stationName)
        return;
    m_grid.clearStation(m_stationName);
    m_stationName = name;
    publishStatus();
}

void StationNetwork::setOwnStatus(const QString &band, const QString &mode)
{
    m_band = band;
    m_mode = mode;
    publishStatus();
}

QString StationNetwork::alsoOperatingWarning(const QString &band) const
{
    return m_grid.alsoOperatingWarning(band, m_stationName);
}

StationEntry StationNetwork::ownEntry() const { return {m_stationName, m_band, m_mode, QString()}; }

quint16 StationNetwork::listeningPort() const { return m_listener->serverPort(); }

bool StationNetwork::isConnectedToServer() const
{
    return m_client->state() == QAbstractSocket::ConnectedState;
}

bool StationNetwork::isConnected(int number) const
{
    const Connection &c = m_connections.at(static_cast<size_t>(number - 1));
    return c.socket && !c.failed && c.socket->state() == QAbstractSocket::ConnectedState;
}

QString StationNetwork::listenerState() const
{
    if (m_listener->isListening())
        return stateName(QAbstractSocket::ListeningState);
    return m_listenFailure.isEmpty() ? stateName(QAbstractSocket::UnconnectedState) : m_listenFailure;
}

QString StationNetwork::clientState() const { return stateName(m_client->state(), m_clientFailed); }

// ---------------------------------------------------------------- on and off

void StationNetwork::enable()
{
    m_enabled = true;
    m_statusTimer->start();
    m_reconnectTimer->start();
    emit statusShown(QStringLiteral("Initializing"));
    startListening();
    connectToServer();
    publishStatus();
}

void StationNetwork::disable()
{
    m_enabled = false;
    m_statusTimer->stop();
    m_reconnectTimer->stop();
    for (Connection &c : m_connections)
        if (c.socket) {
            c.socket->abort();
            c.socket->deleteLater();
        }
    m_connections.clear();
    m_listener->close();
    m_client->abort();
    m_clientFramer.clear();
    m_table.fill(StationEntry{});
    m_grid.clear();
    emit gridChanged();
    emit statusShown(QStringLiteral("Closed"));
}

void StationNetwork::startListening()
{
    m_listener->close();
    m_listenFailure.clear();
    if (m_listener->listen(QHostAddress::Any, m_listenPort))
        return;
    const QString port = QString::number(m_listenPort);
    switch (m_listener->serverError()) {
    case QAbstractSocket::SocketAccessError:
        m_listenFailure = QStringLiteral("Port %1 needs permission: other PCs cannot connect to this one. "
                                         "See \"Station network\" in the README to allow it.")
                              .arg(port);
        break;
    case QAbstractSocket::AddressInUseError:
        m_listenFailure = QStringLiteral("Port %1 is in use by another program: other PCs cannot connect "
                                         "to this one.")
                              .arg(port);
        break;
    default:
        m_listenFailure = QStringLiteral("Port %1 cannot be opened (%2).").arg(port, m_listener->errorString());
    }
    emit logAppended(m_listenFailure + QStringLiteral("\n\n"));
    emit statusShown(m_listenFailure);
}

// ---------------------------------------------------------------- connections

void StationNetwork::accept()
{
    while (QTcpSocket *s = m_listener->nextPendingConnection()) {
        if (m_connections.size() >= static_cast<size_t>(MaxConnections)) {
            s->abort();
            s->deleteLater();
            continue;
        }
        m_connections.push_back(Connection{s, {}, false});
        m_everAccepted = true;
        const int number = connectionCount();
        s->setParent(this);
        connect(s, &QTcpSocket::readyRead, this, [this, number] { receiveFromClient(number); });
        connect(s, &QTcpSocket::errorOccurred, this, [this, s, number](QAbstractSocket::SocketError) {
            if (number <= connectionCount() && m_connections[number - 1].socket == s)
                m_connections[number - 1].failed = true;
        });
        connect(s, &QTcpSocket::disconnected, this, &StationNetwork::publishStatus, Qt::QueuedConnection);
        emit statusShown(stateName(s->state()) + QStringLiteral("Connection # ") + QString::number(number));
        publishStatus();
    }
}

void StationNetwork::connectToServer()
{
    if (m_serverName.isEmpty())
        setServerName(QString());
    if (isServer() || isConnectedToServer()) {
        m_reconnectTimer->stop();
        return;
    }
    emit statusShown(clientState());
    m_client->abort();
    m_clientFramer.clear();
    m_clientFailed = false;
    m_client->connectToHost(m_host.addressOf(m_serverName), m_serverPort);
}

void StationNetwork::clientLost()
{
    m_clientFramer.clear();
    for (StationEntry &e : m_table)
        e.name.clear();
    m_grid.clear();
    emit gridChanged();
    emit statusShown(clientState());
    if (m_enabled)
        m_reconnectTimer->start();
}

void StationNetwork::pruneDeadStations()
{
    for (int k = 1; k <= connectionCount(); ++k) {
        if (isConnected(k) || m_table[k].name.isEmpty())
            continue;
        m_grid.clearStation(m_table[k].name);
        m_table[k] = StationEntry{};
    }
}

void StationNetwork::cleanUpDeadConnections()
{
    if (m_client->state() == QAbstractSocket::ClosingState || m_clientFailed) {
        m_client->abort();
        m_clientFailed = false;
        if (!isServer())
            m_grid.clear();
    }
    for (Connection &c : m_connections)
        if (c.socket && dead(c.socket, c.failed)) {
            c.socket->abort();
            c.socket->deleteLater();
            c.socket = nullptr;
        }
    // Only the highest numbers are handed back.
    while (!m_connections.empty() && !m_connections.back().socket)
        m_connections.pop_back();
}

void StationNetwork::publishStatus()
{
    if (m_serverName.isEmpty())
        setServerName(QString());
    const bool server = isServer();
    if (server)
        pruneDeadStations();
    cleanUpDeadConnections();
    if (!server) {
        m_grid.clearStation(m_stationName);
        m_grid.place(m_stationName, m_band, m_mode);
        if (isConnectedToServer())
            send(m_client, NetRecords::status(0, ownEntry()));
    }
    if (m_everAccepted || server) {
        m_table[0] = ownEntry();
        m_grid.clearStation(m_stationName);
        m_grid.place(m_stationName, m_band, m_mode);
        const int count = connectionCount();
        for (int k = 1; k <= count; ++k) {
            if (!isConnected(k)) {
                m_table[k].name.clear();
                continue;
            }
            QByteArray batch;
            for (int i = 0; i <= count; ++i)
                if (!m_table[i].name.isEmpty())
                    batch += NetRecords::status(i, m_table[i]);
            send(m_connections[k - 1].socket, batch);
        }
    }
    emit gridChanged();
    if (m_enabled)
        emit statusShown(server ? listenerState() : clientState());
}

void StationNetwork::send(QTcpSocket *socket, const QByteArray &record)
{
    if (socket && socket->state() == QAbstractSocket::ConnectedState && !record.isEmpty())
        socket->write(record);
}

void StationNetwork::sendToClients(const QByteArray &record, int except)
{
    for (int k = 1; k <= connectionCount(); ++k)
        if (k != except && isConnected(k))
            send(m_connections[k - 1].socket, record);
}

// ---------------------------------------------------------------- receiving

void StationNetwork::receiveFromClient(int number)
{
    if (number > connectionCount())
        return;
    Connection &c = m_connections[number - 1];
    if (!c.socket)
        return;
    const std::vector<QString> records = c.framer.feed(c.socket->readAll());
    if (c.framer.overflowed()) {
        c.socket->abort();
        return;
    }
    for (const QString &r : records) {
        switch (NetRecords::kindOf(r)) {
        case NetRecords::Kind::Message:
            sendToClients(r.toUtf8(), number);
            showMessage(NetRecords::parseMessage(r));
            break;
        case NetRecords::Kind::Clock: {
            const QString from = m_table[number].name.isEmpty()
                                     ? QStringLiteral("Connection # ") + QString::number(number)
                                     : m_table[number].name;
            applyClock(NetRecords::parseClock(r), from);
            sendToClients(r.toUtf8(), number);
            break;
        }
        case NetRecords::Kind::Status:
            takeStatus(number, NetRecords::parseStatus(r));
            publishStatus();
            break;
        }
    }
}

void StationNetwork::receiveFromServer()
{
    const std::vector<QString> records = m_clientFramer.feed(m_client->readAll());
    if (m_clientFramer.overflowed()) {
        m_client->abort();
        return;
    }
    for (const QString &r : records) {
        switch (NetRecords::kindOf(r)) {
        case NetRecords::Kind::Message:
            showMessage(NetRecords::parseMessage(r));
            break;
        case NetRecords::Kind::Clock:
            applyClock(NetRecords::parseClock(r), m_serverName);
            break;
        case NetRecords::Kind::Status: {
            const int index = NetRecords::indexOf(r);
            if (index < 0 || index > NetRecords::MaxIndex)
                break;
            const StationEntry e = NetRecords::parseStatus(r);
            // The server's own entry comes first in every batch: the grid is
            // drawn anew from it.
            if (index == 0 && !e.band.isEmpty())
                m_grid.clear();
            m_maxIndex = std::max(m_maxIndex, index);
            takeStatus(index, e);
            break;
        }
        }
    }
    emit gridChanged();
}

void StationNetwork::takeStatus(int index, const StationEntry &e)
{
    if (!m_table[index].name.isEmpty())
        m_grid.clearStation(m_table[index].name);
    m_grid.clearStation(e.name);
    m_table[index] = e;
    if (!e.name.isEmpty() && !e.band.isEmpty())
        m_grid.place(e.name, e.band, e.mode);
}

// ---------------------------------------------------------------- messages and clocks

void StationNetwork::appendLog(const QString &to, const QString &from, const QString &text)
{
    emit logAppended(QStringLiteral("To: ") + to + u'\n' + QStringLiteral("From: ") + from + u'\n' +
                     Clock::localNow().toString(QStringLiteral("HH:mm:ss")) + u'\n' + text + QStringLiteral("\n\n"));
}

void StationNetwork::sendMessage(const QString &to, const QString &text)
{
    const QByteArray record = NetRecords::message(m_stationName, to, text);
    if (isConnectedToServer())
        send(m_client, record);
    sendToClients(record);
    appendLog(to, m_stationName, text);
    publishStatus();
}

void StationNetwork::showMessage(const NetRecords::Message &m)
{
    appendLog(m.to, m.from, m.text);
    const bool here = m.to.isEmpty() || m.to.compare(m_host.localName(), Qt::CaseInsensitive) == 0 ||
                      m.to.compare(m_stationName, Qt::CaseInsensitive) == 0;
    emit messageArrived(m, here);
}

void StationNetwork::syncClocks()
{
    const QByteArray record = NetRecords::clock(Clock::localNow());
    if (isConnectedToServer())
        send(m_client, record);
    sendToClients(record);
    publishStatus();
}

void StationNetwork::applyClock(const NetRecords::ClockSetting &c, const QString &from)
{
    const QString shown = c.dateText + u' ' + c.timeText;
    if (!c.date.isValid() || !c.time.isValid()) {
        emit logAppended(QStringLiteral("A clock setting from %1 could not be read (%2); the clock was not set.\n\n")
                             .arg(from, shown));
        return;
    }
    QPointer<StationNetwork> self(this);
    m_clock.setLocalTime(QDateTime(c.date, c.time), [self, from, shown](const QString &why) {
        if (!self)
            return;
        if (why.isEmpty())
            emit self->logAppended(QStringLiteral("The clock was set to %1 as sent by %2.\n\n").arg(shown, from));
        else
            emit self->logAppended(
                QStringLiteral("The clock was not set to %1 as sent by %2: %3.\n\n").arg(shown, from, why));
    });
}
