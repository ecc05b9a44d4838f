#include "app/StationSpots.h"

#include "app/SpotAreaPanel.h"
#include "app/SpottingWindow.h"
#include "log/Contest.h"
#include "log/Folders.h"
#include "platform/Dialogs.h"
#include "spots/SpotSession.h"
#include "spots/SpotStore.h"

#include <QAction>
#include <QDir>

namespace {
constexpr quint32 White = 0xFFFFFF;
}

StationSpots::StationSpots(QWidget *window, Contest &contest, PortArbiter &ports, QAction *configureMenu)
    : QObject(window), m_window(window), m_contest(contest), m_ports(ports)
{
    m_store = new SpotStore(this);
    m_panel = new SpotAreaPanel(*m_store, window);
    // The display chosen when the program last ran; the source opens only
    // once the spotting window is opened.
    SpotSettings saved;
    saved.load(settingsFile());
    m_panel->showList(saved.listDisplay);

    connect(m_store, &SpotStore::spotsChanged, this, &StationSpots::redraw);
    connect(m_store, &SpotStore::spotsChanged, this, &StationSpots::spotsChanged);
    connect(m_store, &SpotStore::spotArrived, m_panel, &SpotAreaPanel::addRow);
    connect(m_store, &SpotStore::ownCallSpotted, this, &StationSpots::ownCallSpotted);
    connect(&contest, &Contest::bandChanged, this, &StationSpots::redraw);
    connect(&contest, &Contest::stationChanged, this, &StationSpots::redraw);
    connect(m_panel, &SpotAreaPanel::labelClicked, this, &StationSpots::showWindow);
    connect(m_panel, &SpotAreaPanel::spotChosen, this, &StationSpots::spotChosen);
    connect(m_panel, &SpotAreaPanel::spotHovered, this, &StationSpots::hintWanted);
    connect(configureMenu, &QAction::triggered, this, &StationSpots::showWindow);
    redraw();
}

StationSpots::~StationSpots() { delete m_spotting; }

QString StationSpots::settingsFile() const
{
    return QDir(Folders::workDir()).filePath(QStringLiteral("PackSpot.txt"));
}

void StationSpots::removeSpot(int slot) { m_store->remove(slot); }

void StationSpots::chooseSpot(int slot)
{
    if (slot < 0 || slot >= SpotStore::Size)
        return;
    const Spot &s = m_store->at(slot);
    emit spotChosen(s.call, double(s.mhz) * 1000.0);
}

SpottingWindow *StationSpots::window() const { return m_spotting.data(); }

void StationSpots::redraw()
{
    m_store->setOwnCall(m_contest.station().ownCall);
    m_panel->redraw(m_contest.station().currentBand, m_contest.station().utcOffsetHours);
}

void StationSpots::ownCallSpotted(const QString &record)
{
    beep();
    emit messageLineWanted(QStringLiteral("You've been spotted! "), White);
    emit hintLineWanted(QStringLiteral("You've been spotted!  ") + record, White);
}

void StationSpots::showWindow()
{
    if (!m_spotting) {
        m_store->setOwnCall(m_contest.station().ownCall);
        m_spotting = new SpottingWindow(settingsFile(), *m_store, &m_ports, m_window);
        m_spotting->ownCall = [this] { return m_contest.station().ownCall; };
        m_spotting->lastCall = [this] {
            const int n = m_contest.recordCount();
            return n > 0 ? m_contest.mirror().at(n).calls : QString();
        };
        connect(m_spotting, &SpottingWindow::displayChosen, this, [this](bool list) {
            m_panel->showList(list);
            redraw();
        });
        connect(m_spotting, &SpottingWindow::preferencesWanted, &m_contest, &Contest::savePreferences);
        connect(&m_spotting->session(), &SpotSession::redrawDue, this, &StationSpots::redraw);
        m_spotting->load();
    }
    m_spotting->showNormal();
    m_spotting->raise();
    m_spotting->activateWindow();
}
