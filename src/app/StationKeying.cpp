#include "app/StationKeying.h"

#include "app/CwSetupWindow.h"
#include "app/CwStringsWindow.h"
#include "keying/CwKeyer.h"
#include "keying/KeyingHooks.h"
#include "keying/MainKeyFilter.h"
#include "log/Contest.h"
#include "log/Folders.h"
#include "platform/PortArbiter.h"

#include <QAction>
#include <QDir>
#include <QWidget>

StationKeying::StationKeying(QWidget *window, EntryAccess &entry, Contest &contest, QAction *cwSetupMenu)
    : QObject(window), m_window(window), m_ports(std::make_unique<PortArbiter>())
{
    setObjectName(QStringLiteral("stationKeying"));
    m_keyer = new CwKeyer(*m_ports, this);
    m_keyer->setEntry(&entry);
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
    delete m_filter;
    delete m_keyer;
}

QString StationKeying::cwFile() const { return QDir(Folders::workDir()).filePath(QStringLiteral("CW.txt")); }

void StationKeying::loadSettings()
{
    m_keyer->loadSettings(cwFile());
    if (m_setup)
        m_setup->showSettings();
}

void StationKeying::setVoiceKeys(VoiceKeys *voice) { m_filter->setVoiceKeys(voice); }

bool StationKeying::isKeying() const { return m_keyer->isBusy(); }

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
