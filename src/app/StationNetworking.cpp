#include "app/StationNetworking.h"

#include "app/NetworkStatusWindow.h"
#include "log/Contest.h"
#include "net/StationNetwork.h"
#include "platform/ClockSetter.h"
#include "platform/ComputerBrowser.h"
#include "platform/NetHost.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QWidget>

namespace {
NetHost *g_host = nullptr;
ClockSetter *g_clock = nullptr;
const QDBusConnection *g_browserBus = nullptr;

// The server named by the log path; a try-out of several copies on one
// machine names it in the environment.
QString serverOf(const Contest &contest)
{
    const QString named = qEnvironmentVariable("HALVERN_SERVER_NAME").trimmed();
    return named.isEmpty() ? contest.serverName() : named;
}
} // namespace

void StationNetworking::usePlatform(NetHost *host, ClockSetter *clock, const QDBusConnection *browserBus)
{
    g_host = host;
    g_clock = clock;
    g_browserBus = browserBus;
}

quint16 StationNetworking::port()
{
    bool ok = false;
    const uint p = SettingsStore::get(QStringLiteral("NetworkPort")).trimmed().toUInt(&ok);
    return ok && p <= 65535 ? static_cast<quint16>(p) : StationNetwork::DefaultPort;
}

StationNetworking::StationNetworking(QWidget *window, Contest &contest, QAction *networkMenu)
    : QObject(window), m_window(window), m_contest(contest)
{
    setObjectName(QStringLiteral("stationNetworking"));
    NetHost *host = g_host;
    if (!host) {
        m_ownHost = std::make_unique<SystemNetHost>();
        host = m_ownHost.get();
    }
    ClockSetter *clock = g_clock;
    if (!clock) {
        m_ownClock = std::make_unique<SystemClockSetter>();
        clock = m_ownClock.get();
    }
    const quint16 p = port();
    m_network = new StationNetwork(*host, *clock, p, p, this);
    m_browser = new ComputerBrowser(g_browserBus ? *g_browserBus : QDBusConnection::systemBus(), this);
    networkMenu->setEnabled(true);
    connect(networkMenu, &QAction::triggered, this, &StationNetworking::showWindow);
    connect(&contest, &Contest::bandOrModeChanged, this, &StationNetworking::bandOrModeChosen);
    connect(&contest, &Contest::stationChanged, this, [this] {
        if (!m_network->isEnabled())
            return;
        m_network->setServerName(serverOf(m_contest));
        m_network->connectToServer();
    });
    connect(m_network, &StationNetwork::messageArrived, this, [this](const NetRecords::Message &m, bool) {
        emit hintLineWanted(QStringLiteral("To: ") + m.to + QStringLiteral(" From: ") + m.from + u'\n' + m.text);
    });
}

StationNetworking::~StationNetworking()
{
    delete m_statusWindow;
    delete m_network;
}

void StationNetworking::start()
{
    const Station &s = m_contest.station();
    m_network->setServerName(serverOf(m_contest));
    window();
    m_network->setOwnStatus(s.currentBand, s.currentMode);
    m_network->enable();
    if (m_network->listeningPort() != 0)
        m_browser->announce(m_network->stationName(), m_network->listeningPort());
}

NetworkStatusWindow *StationNetworking::window()
{
    if (!m_statusWindow) {
        m_statusWindow = new NetworkStatusWindow(*m_network, m_window);
        m_statusWindow->setComputerBrowser(m_browser);
    }
    return m_statusWindow;
}

void StationNetworking::showWindow()
{
    NetworkStatusWindow *w = window();
    w->bringUp();
    w->show();
    w->raise();
    w->activateWindow();
}

void StationNetworking::bandOrModeChosen()
{
    const Station &s = m_contest.station();
    emit messageLineWanted(QString());
    const QString warning = m_network->alsoOperatingWarning(s.currentBand);
    if (!warning.isEmpty())
        emit messageLineWanted(warning);
    m_network->setOwnStatus(s.currentBand, s.currentMode);
}
