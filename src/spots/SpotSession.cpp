#include "spots/SpotSession.h"

#include "platform/Dialogs.h"
#include "platform/SerialRigLink.h"
#include "spots/SpotStore.h"

namespace {
const QString Caption = QStringLiteral("DX Spotting Setup");
}

SpotSession::SpotSession(SpotSettings &settings, SpotStore &store, PortArbiter *ports, QWidget *dialogParent,
                         QObject *parent)
    : QObject(parent), m_settings(settings), m_store(store), m_ports(ports), m_dialogParent(dialogParent)
{
    m_timer.setInterval(TickMs);
    connect(&m_timer, &QTimer::timeout, this, &SpotSession::tick);
    m_feed.setDxOnly(settings.dxOnly);
    m_feed.onSpot = [this](const QString &call, const QString &frequency, const QString &record) {
        m_store.add(call, frequency, record);
    };

    connect(&m_telnet, &QTcpSocket::readyRead, this, [this] {
        m_feed.feed(m_telnetFilter.filter(m_telnet.readAll()));
        emit textChanged();
    });
    connect(&m_telnet, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        m_telnet.abort();
        note(u'\n' + socketErrorMessage(socketErrorNumber(e)) + u'\n');
    });

    connect(&m_agw, &AgwClient::registered, this,
            [this] { note(QStringLiteral("** Successfully connected to AGW Packet Engine **\n")); });
    connect(&m_agw, &AgwClient::failed, this, [this](const QString &why) {
        const bool wasListening = m_listening;
        m_agw.close();
        m_timer.stop();
        setListening(false);
        if (!wasListening)
            return;
        msgBox(m_dialogParent,
               QStringLiteral("This option requires the AGW Packet Engine software (or another packet engine "
                              "that offers its TCP interface, such as Direwolf). The engine must be running "
                              "and configured for your sound card or TNC as its documentation describes. "
                              "Start it, then click Open in this program.\n\n(") +
                   why + u')',
               QStringLiteral("Unable to connect to the AGW Packet Engine."));
    });
}

SpotSession::~SpotSession()
{
    shutDown();
}

void SpotSession::setDxOnly(bool on)
{
    m_settings.dxOnly = on;
    m_feed.setDxOnly(on);
}

void SpotSession::note(const QString &text)
{
    m_feed.append(text);
    emit textChanged();
}

void SpotSession::setListening(bool on)
{
    if (m_listening == on)
        return;
    m_listening = on;
    emit listeningChanged(on);
}

void SpotSession::open()
{
    m_feed.replace(QStringLiteral("** Attempting to Open Port **\n"));
    m_feed.restartLines();
    m_tnc.reset();
    emit textChanged();
    if (m_settings.source != SpotSettings::Source::None)
        setListening(true);
    switch (m_settings.source) {
    case SpotSettings::Source::Tnc: openTnc(); break;
    case SpotSettings::Source::Agw: openAgw(); break;
    case SpotSettings::Source::Telnet: openTelnet(); break;
    case SpotSettings::Source::None: break;
    }
}

void SpotSession::openTnc()
{
    SerialLineSettings line;
    line.portNumber = m_settings.port;
    line.baud = m_settings.baud.toInt();
    line.parity = char(m_settings.parity.toLatin1());
    line.dataBits = m_settings.dataBits.digitValue();
    line.stopBits = m_settings.stopBits.digitValue();
    line.hardwareHandshake = m_settings.handshake >= 3;
    line.softwareHandshake = m_settings.handshake == 2 || m_settings.handshake == 4;
    line.power = char(m_settings.power.toLatin1());
    line.role = PortRole::Tnc;
    auto link = std::make_unique<SerialRigLink>(line, m_ports);
    QString why;
    if (!link->open(&why)) {
        setListening(false);
        msgBox(m_dialogParent,
               QStringLiteral("The comm port that you selected for DX Spotting is either in use, invalid or the "
                              "settings that you have selected are invalid.  Please select another combination "
                              "or choose None for your DX Spot selection."),
               QStringLiteral("Invalid Comm Settings."));
        return;
    }
    connect(link.get(), &RigLink::lost, this, [this](const QString &lostWhy) {
        note(QStringLiteral("\n** ") + lostWhy + QStringLiteral(" **\n"));
    });
    m_tnc = std::move(link);
    m_timer.start();
    note(QStringLiteral("** TNC Serial Port Open **\n\n"));
}

void SpotSession::openAgw()
{
    const QString call = ownCall ? ownCall().trimmed() : QString();
    if (call.isEmpty()) {
        setListening(false);
        msgBox(m_dialogParent, QStringLiteral("Please enter your call sign on the setup form to transmit!"),
               QStringLiteral("Call Sign Required!"));
        return;
    }
    m_agw.open(m_settings.agwHost, quint16(m_settings.agwPort), call);
    m_timer.start();
}

void SpotSession::openTelnet()
{
    m_telnet.abort();
    m_telnetFilter.clear();
    const QString host = m_settings.telnetHost.trimmed();
    const int port = m_settings.telnetPort;
    if (port < 1 || port > 65535) {
        note(socketErrorMessage(10043) + u'\n');
        return;
    }
    m_telnet.connectToHost(host, quint16(port));
    note(QStringLiteral("Attempting connection to: %1:%2\n\n").arg(host).arg(port));
    m_timer.start();
}

void SpotSession::tick()
{
    if (m_settings.source == SpotSettings::Source::Tnc && m_tnc) {
        const QByteArray bytes = m_tnc->readAll();
        if (!bytes.isEmpty()) {
            m_feed.feed(bytes);
            emit textChanged();
        }
    } else if (m_settings.source == SpotSettings::Source::Agw) {
        // Every frame that arrived since the last tick.
        const QList<AgwFrame> frames = m_agw.takeFrames();
        for (const AgwFrame &f : frames) {
            if (f.kind == 'C') {
                m_connectedCall = f.from;
                note(QStringLiteral("\n** Connected to ") + f.from + QStringLiteral(" **\n\n"));
                emit captionChanged(Caption + QStringLiteral(" - Connected to ") + f.from);
            } else if (f.kind == 'd') {
                note(QStringLiteral("\n** Disconnected from ") + f.from + QStringLiteral(" **\n\n"));
                m_connectedCall.clear();
                emit captionChanged(Caption);
            } else if (f.kind == 'D' || f.kind == 'U' || f.kind == 'I' || f.kind == 'S') {
                m_feed.feed(f.data);
                emit textChanged();
            }
        }
    }
    if (++m_ticks >= RedrawTicks) {
        m_ticks = 0;
        emit redrawDue();
    }
}

void SpotSession::send(const QString &text)
{
    if (!m_listening)
        open();
    switch (m_settings.source) {
    case SpotSettings::Source::Tnc:
        if (m_tnc && m_tnc->isReady())
            m_tnc->write(text.toLatin1() + '\r');
        break;
    case SpotSettings::Source::Telnet:
        if (m_telnet.state() == QAbstractSocket::ConnectedState)
            m_telnet.write(text.toLatin1() + "\r\n");
        else
            note(QStringLiteral("\n\n**  Connection not yet established.  Please wait a moment and try again."));
        break;
    case SpotSettings::Source::Agw:
        if (m_timer.isActive())
            agwCommand(text);
        break;
    case SpotSettings::Source::None: break;
    }
}

void SpotSession::agwCommand(const QString &text)
{
    if (text.startsWith(u':')) {
        const QString command = text.mid(1, 1).toUpper();
        const QString argument = text.mid(2).trimmed();
        if (command == QLatin1String("D") && !m_connectedCall.isEmpty()) {
            m_agw.disconnectFrom(m_connectedCall);
        } else if (command == QLatin1String("C")) {
            if (argument.isEmpty())
                msgBox(m_dialogParent, QStringLiteral("You must enter a call sign to connect to such as :C Tarnwick"),
                       QStringLiteral("Call sign Required"));
            else
                m_agw.connectTo(argument.toUpper());
        }
        return;
    }
    if (!m_connectedCall.isEmpty())
        m_agw.sendTo(m_connectedCall, text.toLatin1() + '\r');
}

void SpotSession::commandMode()
{
    if (m_settings.dxOnly) {
        setDxOnly(false);
        emit dxOnlyChanged(false);
    }
    if (!m_listening)
        open();
    if (m_settings.source == SpotSettings::Source::Tnc && m_tnc && m_tnc->isReady()) {
        bool ok = false;
        const int byte = m_settings.commandChar.toInt(&ok, 16);
        if (ok)
            m_tnc->write(QByteArray(1, char(byte)));
    }
}

void SpotSession::dropConnectedCall()
{
    if (m_connectedCall.isEmpty())
        return;
    m_agw.disconnectFrom(m_connectedCall);
    m_connectedCall.clear();
    emit captionChanged(Caption);
}

void SpotSession::close()
{
    if (!m_listening)
        return;
    setListening(false);
    m_feed.append(QStringLiteral("\n\n** Port Closed **"));
    m_feed.replace(m_feed.text().trimmed());
    emit textChanged();
    m_tnc.reset();
    m_telnet.abort();
    if (m_settings.source == SpotSettings::Source::Agw) {
        dropConnectedCall();
        m_agw.close();
    }
    m_timer.stop();
}

void SpotSession::shutDown()
{
    dropConnectedCall();
    m_agw.close();
    m_telnet.abort();
    m_tnc.reset();
    m_timer.stop();
}

int SpotSession::socketErrorNumber(QAbstractSocket::SocketError e)
{
    using E = QAbstractSocket::SocketError;
    switch (e) {
    case E::ConnectionRefusedError: return 10061;
    case E::RemoteHostClosedError: return 10054;
    case E::HostNotFoundError: return 11001;
    case E::SocketAccessError: return 10013;
    case E::SocketResourceError: return 10055;
    case E::SocketTimeoutError: return 10060;
    case E::DatagramTooLargeError: return 10040;
    case E::NetworkError: return 10050;
    case E::AddressInUseError: return 10048;
    case E::SocketAddressNotAvailableError: return 10049;
    case E::UnsupportedSocketOperationError: return 10043;
    case E::UnfinishedSocketOperationError: return 10036;
    case E::TemporaryError: return 10035;
    case E::OperationError: return 10057;
    default: return 11003;
    }
}

QString SpotSession::socketErrorMessage(int number)
{
    static const std::pair<int, const char *> messages[] = {
        {7, "Out of memory."},
        {380, "The property value is invalid."},
        {383, "The property is read-only."},
        {394, "The property can't be read."},
        {1004, "The operation was canceled."},
        {10014, "The requested address is a broadcast address, but flag is not set."},
        {10035, "Socket is non-blocking and the specified operation will block."},
        {10036, "A blocking Winsock operation in progress."},
        {10037, "The operation is completed. No blocking operation in progress"},
        {10038, "The descriptor is not a socket."},
        {10040, "The datagram is too large to fit into the buffer and is truncated."},
        {10043, "The specified port is not supported."},
        {10048, "Address in use."},
        {10049, "Address not available from the local machine."},
        {10050, "Network subsystem failed."},
        {10051, "The network cannot be reached from this host at this time."},
        {10052, "Connection has timed out when SO_KEEPALIVE is set."},
        {10053, "Connection is aborted due to timeout or other failure."},
        {10054, "The connection is reset by remote side.!"},
        {10055, "No buffer space is available."},
        {10056, "Socket is already connected."},
        {10057, "Socket is not connected."},
        {10058, "Socket has been shut down."},
        {10060, "Socket has been shut down."},
        {10061, "Connection is forcefully rejected."},
        {10093, "WinsockInit should be called first."},
        {11001, "Authoritative answer: Host not found."},
        {11002, "Non-Authoritative answer: Host not found."},
        {11003, "Non-recoverable errors."},
        {11004, "Valid name, no data record of requested type."},
    };
    for (const auto &[n, text] : messages)
        if (n == number)
            return QStringLiteral("ERROR: ") + QLatin1String(text);
    return QStringLiteral("Error number ") + QString::number(number);
}
