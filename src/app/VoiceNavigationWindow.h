#pragma once
// "Voice Navigation Settings": the level of the spoken prompts (Off, the
// call field only, every entry field). Choosing a level speaks it; "Done"
// keeps it with the preferences.
#include <QDialog>

class Contest;
class PromptSpeaker;
class QLabel;
class QRadioButton;

class VoiceNavigationWindow : public QDialog {
    Q_OBJECT
public:
    VoiceNavigationWindow(Contest &contest, PromptSpeaker &speaker, QWidget *parent = nullptr);

    // Shows the folder hint and selects the current level.
    void showLevel();
    void keepAndHide();

private:
    void chooseLevel(int level);

    Contest &m_contest;
    PromptSpeaker &m_speaker;
    QLabel *m_hint = nullptr;
    QRadioButton *m_options[3] = {};
    bool m_filling = false;
};
