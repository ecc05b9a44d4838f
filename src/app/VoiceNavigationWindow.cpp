#include "app/VoiceNavigationWindow.h"

#include "app/Controls.h"
#include "keying/VoiceNavigation.h"
#include "log/Contest.h"
#include "log/Folders.h"

#include <QDir>
#include <QVBoxLayout>

using namespace Controls;

VoiceNavigationWindow::VoiceNavigationWindow(Contest &contest, PromptSpeaker &speaker, QWidget *parent)
    : QDialog(parent), m_contest(contest), m_speaker(speaker)
{
    setObjectName(QStringLiteral("BlindFrm"));
    setWindowTitle(QStringLiteral("Voice Navigation Settings"));
    auto *choice = frame(this, "Frame1", QStringLiteral("Choose your preferred option:"));
    m_options[0] = option(choice, "Option1", QStringLiteral("Off"));
    m_options[1] = option(choice, "Option2", QStringLiteral("Call Only"));
    m_options[2] = option(choice, "Option3", QStringLiteral("All Data Fields"));
    auto *choices = new QVBoxLayout(choice);
    for (int level = 0; level < 3; ++level) {
        choices->addWidget(m_options[level]);
        connect(m_options[level], &QRadioButton::toggled, this, [this, level](bool on) {
            if (on && !m_filling)
                chooseLevel(level);
        });
    }
    m_hint = label(this, "Label1");
    m_hint->setWordWrap(true);
    auto *done = button(this, "cmdDone", QStringLiteral("Done"));
    connect(done, &QPushButton::clicked, this, &VoiceNavigationWindow::keepAndHide);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(choice);
    layout->addWidget(m_hint);
    layout->addWidget(done);
    showLevel();
}

void VoiceNavigationWindow::showLevel()
{
    m_hint->setText(QStringLiteral("Put the audio wave files in this program's working directory: ") +
                    QDir::toNativeSeparators(Folders::workDir()));
    m_filling = true;
    m_options[qBound(0, m_contest.station().navigationLevel, 2)]->setChecked(true);
    m_filling = false;
}

void VoiceNavigationWindow::chooseLevel(int level)
{
    if (level == 0) {
        m_speaker.speak(QStringLiteral("NavDis"));
        return;
    }
    m_speaker.speak(QStringLiteral("NavEn"));
    if (level == 1) {
        m_speaker.waitUntilSpoken();
        m_speaker.speak(QStringLiteral("Call"));
    }
}

void VoiceNavigationWindow::keepAndHide()
{
    for (int level = 0; level < 3; ++level)
        if (m_options[level]->isChecked())
            m_contest.station().navigationLevel = level;
    QDir::setCurrent(Folders::workDir());
    m_contest.savePreferences();
    hide();
}
