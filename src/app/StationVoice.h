#pragma once
// The main window's voice: the voice keyer that plays the messages of F1 to
// F9 in phone mode with push-to-talk (settings in "wave2.txt", window
// "Phone Wave Selections"), and the spoken prompts of voice navigation with
// their window. The function keys reach the keyer through the CW key filter.
#include <QObject>
#include <QPointer>
#include <memory>

class Contest;
class PhoneWindow;
class PromptSpeaker;
class QAction;
class QWidget;
class StationKeying;
class VoiceKeyer;
class VoiceNavigationWindow;
class WavePlayer;

class StationVoice : public QObject {
    Q_OBJECT
public:
    StationVoice(QWidget *window, Contest &contest, StationKeying &keying, QAction *phoneMenu,
                 QAction *navigationMenu);
    // Lets go of push-to-talk before the keying ports close.
    ~StationVoice() override;

    // Reads "wave2.txt" of the working folder.
    void loadSettings();
    VoiceKeyer &keyer() { return *m_keyer; }
    // Stops the sound and lifts push-to-talk.
    void release();

    void showPhoneWindow();
    void showNavigationWindow();

private:
    QString waveFile() const;
    PhoneWindow *phoneWindow();

    QWidget *m_window;
    Contest &m_contest;
    StationKeying &m_keying;
    std::unique_ptr<WavePlayer> m_keyerPlayer;
    std::unique_ptr<WavePlayer> m_promptPlayer;
    std::unique_ptr<VoiceKeyer> m_keyer;
    std::unique_ptr<PromptSpeaker> m_speaker;
    QPointer<PhoneWindow> m_phoneWindow;
    QPointer<VoiceNavigationWindow> m_navigationWindow;
};
