#include "app/StationKeying.h"

#include "app/CwSetupWindow.h"
#include "app/CwStringsWindow.h"
#include "app/WinKeyWindow.h"
#include "keying/CwKeyer.h"
#include "keying/KeyingHooks.h"
#include "keying/MainKeyFilter.h"
#include "keying/WinKeyProtocol.h"
#include "keying/WinKeyer.h"
#include "log/Contest.h"
#include "log/Folders.h"
#include "platform/PortArbiter.h"

#include <QAction>
#include <QDir>
#include <QWidget>

StationKeying::StationKeying(QWidget *window, EntryAccess &entry, Contest &contest, QAction *cwSetupMenu)
    : QObject(window), m_window(window), m_ports(std::make_unique<PortArbiter>()), m_contest(contest)
{
    setObjectName(QStringLiteral("stationKeying"));
    m_keyer = new CwKeyer(*m_ports, this);
    m_keyer->setEntry(&entry);
    m_winKeyer = new WinKeyer(*m_ports, this);
    m_winKeyer->setObjectName(QStringLiteral("winKeyer"));
    m_keyer->setExternalKeyer(m_winKeyer);
    // Up and Down in the logging window change the keyer's speed too.
    connect(m_keyer, &CwKeyer::speedChanged, m_winKeyer, [this](const QString &wpm) {
        if (m_keyer->settings.output == KeyingOutput::WinKey)
            m_winKeyer->followCwSpeed(wpm);
    });
    connect(m_winKeyer, &WinKeyer::lost, this,
            [&entry] { entry.showStatus(WinKey::resultText(WinKey::NotOpen)); });
    m_filter = new MainKeyFilter(*m_keyer, entry, this);
    m_filter->watch(window);
    connect(m_keyer, &CwKeyer::busyChanged, &contest, &Contest::setKeyerBusy);
    connect(m_keyer, &CwKeyer::displayText, this, [&entry](const QString &t) { entry.showStatus(t); });
    connect(m_keyer, &CwKeyer::statusText, this, [&entry](const QString &t) { entry.showStatus(t); });
    connect(m_filter, &MainKeyFilter::windowRequested, this, [this](MainKeyFilter::Window w) {
        if (w == MainKeyFilter::Window::CwSetup)
            showSetup();
        else if (w == MainKeyFilter::Window::CwStrings)
            showStrings();
        else
            emit otherWindowWanted(w);
    });
    cwSetupMenu->setEnabled(true);
    connect(cwSetupMenu, &QAction::triggered, this, &StationKeying::showSetup);
}

// The engine and its windows go before the ports they key.
StationKeying::~StationKeying()
{
    delete m_setup;
    delete m_strings;
    delete m_winKeyWindow;
    delete m_filter;
    delete m_keyer;
    delete m_winKeyer;
}

QString StationKeying::cwFile() const { return QDir(Folders::workDir()).filePath(QStringLiteral("CW.txt")); }

QString StationKeying::wkFile() const
{
    return QDir(Folders::dataFolders().product).filePath(WinKeySettings::fileName());
}

void StationKeying::loadSettings()
{
    m_keyer->loadSettings(cwFile());
    if (m_setup)
        m_setup->showSettings();
    // The CW speed wins over the keyer's stored one.
    m_winKeyer->settings.load(wkFile());
    m_winKeyer->settings.wpm = m_keyer->settings.wpm;
    if (m_winKeyWindow)
        m_winKeyWindow->showSettings();
}

bool StationKeying::isKeying() const { return m_keyer->isBusy() || m_winKeyer->isFeeding(); }

void StationKeying::stop()
{
    m_keyer->stopRepeat();
    m_keyer->clearBuffer();
}

void StationKeying::showSetup()
{
    if (!m_setup) {
        m_setup = new CwSetupWindow(*m_keyer, cwFile(), m_window);
        m_setup->showSettings();
        connect(m_setup, &CwSetupWindow::stringsWindowWanted, this, [this] {
            showStrings();
            m_strings->showMinimized();
        });
        connect(m_setup, &CwSetupWindow::winKeyWindowWanted, this, &StationKeying::showWinKey);
    }
    m_setup->showNormal();
    m_setup->raise();
}

void StationKeying::showStrings()
{
    if (!m_strings) {
        m_strings = new CwStringsWindow(*m_keyer, m_window);
        m_filter->watch(m_strings);
    }
    m_strings->showNormal();
    m_strings->raise();
}

void StationKeying::showWinKey()
{
    if (!m_winKeyWindow) {
        // The window starts at the CW speed, whatever the keyer kept.
        m_winKeyer->settings.wpm = m_keyer->settings.wpm;
        m_winKeyWindow = new WinKeyWindow(
            *m_winKeyer, *m_keyer, [this] { return m_contest.station().ownCall; }, wkFile(), m_window);
    }
    m_winKeyWindow->showNormal();
    m_winKeyWindow->raise();
}
