#include "app/StationVoice.h"

#include "app/PhoneWindow.h"
#include "app/StationKeying.h"
#include "app/VoiceNavigationWindow.h"
#include "keying/VoiceKeyer.h"
#include "keying/VoiceNavigation.h"
#include "log/Folders.h"
#include "platform/WavePlayer.h"

#include <QAction>
#include <QDir>
#include <QWidget>

StationVoice::StationVoice(QWidget *window, Contest &contest, StationKeying &keying, QAction *phoneMenu,
                           QAction *navigationMenu)
    : QObject(window), m_window(window), m_contest(contest), m_keying(keying),
      m_keyerPlayer(WavePlayer::create(WavePlayer::Output::Radio)),
      m_promptPlayer(WavePlayer::create(WavePlayer::Output::Operator))
{
    setObjectName(QStringLiteral("stationVoice"));
    m_keyer = std::make_unique<VoiceKeyer>(keying.ports(), *m_keyerPlayer);
    m_speaker = std::make_unique<PromptSpeaker>(*m_promptPlayer, QStringList{Folders::workDir()});
    VoiceNavigation::setSpeaker(m_speaker.get());
    keying.setVoiceKeys(m_keyer.get());
    // The window comes up for a correction (once it exists it does so itself).
    connect(m_keyer.get(), &VoiceKeyer::portSetupFailed, this, [this] {
        if (!m_phoneWindow)
            phoneWindow()->showModallyForCorrection();
    });
    connect(&keying, &StationKeying::otherWindowWanted, this, [this](MainKeyFilter::Window w) {
        if (w == MainKeyFilter::Window::VoiceKeyer)
            showPhoneWindow();
    });
    phoneMenu->setEnabled(true);
    connect(phoneMenu, &QAction::triggered, this, &StationVoice::showPhoneWindow);
    navigationMenu->setEnabled(true);
    connect(navigationMenu, &QAction::triggered, this, &StationVoice::showNavigationWindow);
}

StationVoice::~StationVoice()
{
    delete m_phoneWindow;
    delete m_navigationWindow;
    VoiceNavigation::setSpeaker(nullptr);
    m_keying.setVoiceKeys(nullptr);
    m_speaker.reset();
    m_keyer.reset();
}

QString StationVoice::waveFile() const { return QDir(Folders::workDir()).filePath(QStringLiteral("wave2.txt")); }

void StationVoice::loadSettings()
{
    m_keyer->loadSettings(waveFile());
    if (m_phoneWindow)
        m_phoneWindow->showSettings();
}

void StationVoice::release() { m_keyer->release(); }

PhoneWindow *StationVoice::phoneWindow()
{
    // Built on first use: listing the sound outputs asks the audio server.
    if (!m_phoneWindow)
        m_phoneWindow = new PhoneWindow(*m_keyer, waveFile(), m_window);
    return m_phoneWindow;
}

void StationVoice::showPhoneWindow()
{
    phoneWindow()->showNormal();
    m_phoneWindow->raise();
}

void StationVoice::showNavigationWindow()
{
    if (!m_navigationWindow)
        m_navigationWindow = new VoiceNavigationWindow(m_contest, *m_speaker, m_window);
    m_navigationWindow->showLevel();
    m_navigationWindow->show();
    m_navigationWindow->raise();
}
