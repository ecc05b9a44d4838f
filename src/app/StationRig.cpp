#include "app/StationRig.h"

#include "app/FrequencyTestWindow.h"
#include "app/MainMenus.h"
#include "app/PrivilegesWindow.h"
#include "app/RigControlWindow.h"
#include "app/RigTuneWindow.h"
#include "app/SpectrumMapWindow.h"
#include "app/StationSpots.h"
#include "log/Contest.h"
#include "log/Folders.h"
#include "platform/Dialogs.h"
#include "platform/SerialRigLink.h"
#include "platform/TcpRigLink.h"
#include "rig/RigModels.h"
#include "rig/RigPoller.h"
#include "rig/RigTuner.h"
#include "spots/SpotStore.h"

#include <QAction>
#include <cmath>
#include <QDir>
#include <QWidget>

namespace {
std::unique_ptr<RigLink> makeLink(PortArbiter &ports, const RigSettings &s, const Rig::Model &m)
{
    if (m.family == Rig::Family::Rigctld)
        return std::make_unique<TcpRigLink>(s.rigctldHost, quint16(s.rigctldPort));
    SerialLineSettings line;
    line.portNumber = s.port;
    line.baud = s.baud.trimmed().toInt();
    line.parity = s.parity.toLatin1();
    line.dataBits = s.dataBits.digitValue();
    line.stopBits = s.stopBits.digitValue();
    line.power = s.power.toLatin1();
    // The Ten-Tec rigs pace the link with RTS/CTS.
    line.hardwareHandshake = m.family == Rig::Family::TenTecPanel || m.family == Rig::Family::Orion;
    return std::make_unique<SerialRigLink>(line, &ports);
}
} // namespace

StationRig::StationRig(QWidget *window, Contest &contest, PortArbiter &ports, const MainMenus &menus)
    : QObject(window), m_window(window), m_contest(contest)
{
    setObjectName(QStringLiteral("stationRig"));
    m_poller = new RigPoller(
        [&ports](const RigSettings &s, const Rig::Model &m) { return makeLink(ports, s, m); }, this);
    m_rigWindow = new RigControlWindow(*m_poller, QDir(Folders::workDir()).filePath(QStringLiteral("RigCntrl.txt")),
                                       window);
    connect(m_poller, &RigPoller::replyRead, this, &StationRig::followReply);
    connect(m_poller, &RigPoller::linkLost, this, &StationRig::tellLost);
    connect(m_rigWindow, &RigControlWindow::rigChosen, this, [this](const QString &rig) {
        m_contest.station().rig = rig;
        m_contest.savePreferences();
    });
    m_tuner = new RigTuner(*m_poller, this);
    connect(m_tuner, &RigTuner::failed, this, &StationRig::tellFailure);
    connect(m_rigWindow, &RigControlWindow::frequencyTestWanted, this, &StationRig::showFrequencyTest);
    const std::pair<QAction *, void (StationRig::*)()> items[] = {{menus.rigInterface, &StationRig::showWindow},
                                                                 {menus.spectrumMap, &StationRig::showSpectrumMap},
                                                                 {menus.privileges, &StationRig::showPrivileges}};
    for (const auto &[item, show] : items) {
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, show);
    }
}

StationRig::~StationRig()
{
    // A Yaesu rig is told that the computer lets go of it.
    const Rig::Model &m = Rig::model(m_poller->settings().rigType);
    if (m_poller->isPolling() && m_poller->link() && m.name.startsWith(QLatin1String("Yaesu")) &&
        m.family != Rig::Family::Ftdx9000)
        m_poller->link()->write(QByteArray("\x00\x00\x00\x00\x80", 5));
    m_poller->stop();
    delete m_rigWindow;
}

void StationRig::start()
{
    QString why;
    if (!BandPlan::install(&why))
        qWarning("The band plan could not be put into the working folder: %s", qPrintable(why));
    m_tuner->setBandPlan(BandPlan::read(BandPlan::path()));
    m_rigWindow->loadSettings();
    const QString rig = m_contest.station().rig;
    m_rigWindow->selectRig(Rig::isKnown(rig) ? rig : QStringLiteral("None"));
    if (m_rigWindow->settings().rigType != QLatin1String("None"))
        m_rigWindow->test();
}

void StationRig::showWindow()
{
    m_rigWindow->show();
    m_rigWindow->raise();
    m_rigWindow->activateWindow();
}

void StationRig::followReply()
{
    const RigSettings &s = m_poller->settings();
    const Rig::RigState &state = m_poller->state();
    if (s.useFrequency)
        m_contest.followRigFrequency(state.frequency);
    if (s.modeBy != RigSettings::ModeBy::DontUse)
        m_contest.followRigMode(state.mode);
}

void StationRig::tellLost(const QString &why)
{
    beep();
    msgBox(m_window,
           QStringLiteral("The rig does not answer any more (%1). Logging goes on; the band and mode follow the rig "
                          "again as soon as it answers.")
               .arg(why),
           QStringLiteral("Rig Interface"), Dialogs::Icon::Warning);
}

RigControlWindow &StationRig::window() { return *m_rigWindow; }

void StationRig::tuneToSpot(const QString &call, double frequencyKHz)
{
    // A list row whose frequency is not a number tunes nothing. Clusters
    // give spots to 0.1 kHz: the rig goes to that, not to the last digits
    // of a frequency the store keeps in a float.
    if (std::isfinite(frequencyKHz) && frequencyKHz > 0 && frequencyKHz < 1e9)
        m_tuner->changeFrequency(std::llround(frequencyKHz * 10) * 100);
    emit callChosen(call);
}

void StationRig::tellFailure(const QString &title, const QString &why)
{
    // A scan that cannot tune stops rather than asking again at every step.
    if (m_tuneWindow)
        m_tuneWindow->stopScan();
    if (m_telling)
        return;
    m_telling = true;
    beep();
    msgBox(m_window, why, title, Dialogs::Icon::Critical);
    m_telling = false;
}

void StationRig::showTuneWindow()
{
    RigTuneWindow w(*m_tuner, m_window);
    m_tuneWindow = &w;
    w.exec();
}

void StationRig::showFrequencyTest()
{
    FrequencyTestWindow w(*m_tuner, m_rigWindow);
    w.exec();
}

void StationRig::showSpectrumMap()
{
    SpectrumMapWindow w(m_contest.station().utcOffsetHours, m_window);
    m_spectrumMap = &w;
    w.setSpots(m_spots);
    connect(&w, &SpectrumMapWindow::spotChosen, this, &StationRig::tuneToSpot);
    connect(&w, &SpectrumMapWindow::spotDismissed, this, [this](int spot, const QString &call) {
        if (spot >= 0 && spot < m_spots.size())
            m_spots[spot].frequencyKHz = 0;
        emit spotDismissed(spot, call);
    });
    w.exec();
}

void StationRig::setSpots(const QList<MapSpot> &spots)
{
    m_spots = spots;
    if (m_spectrumMap)
        m_spectrumMap->setSpots(spots);
}

void StationRig::showPrivileges()
{
    PrivilegesWindow w(BandPlan::read(BandPlan::path()), m_window);
    w.exec();
}

void StationRig::showModalWindow(MainKeyFilter::Window w)
{
    if (w == MainKeyFilter::Window::RigTune)
        showTuneWindow();
    else if (w == MainKeyFilter::Window::SpectrumMap)
        showSpectrumMap();
    else if (w == MainKeyFilter::Window::BandPlan)
        showPrivileges();
}

void StationRig::followSpots(StationSpots &spots)
{
    connect(&spots, &StationSpots::spotChosen, this, &StationRig::tuneToSpot);
    connect(this, &StationRig::spotDismissed, &spots, [&spots](int slot) { spots.removeSpot(slot); });
    auto copy = [this, &spots] {
        QList<MapSpot> list;
        for (int slot = 0; slot < SpotStore::Size; ++slot) {
            const Spot &s = spots.store().at(slot);
            list << MapSpot{s.call, double(s.mhz) * 1000, s.arrived, s.prefix};
        }
        setSpots(list);
    };
    connect(&spots, &StationSpots::spotsChanged, this, copy);
    copy();
}
