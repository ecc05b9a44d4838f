#pragma once
// The logging window's keys, seen before the focused field sees them:
// function keys send the CW messages (or play the voice messages in phone
// mode), Esc stops what is being sent or clears the entry, Up and Down
// change the CW speed, F12 turns keyboard CW on and off, and Ctrl+letter
// opens the other windows. Keys it does not take reach the field unchanged.
#include <QList>
#include <QObject>
#include <QPointer>

class CwKeyer;
class EntryAccess;
class VoiceKeys;
class QWidget;

class MainKeyFilter : public QObject {
    Q_OBJECT
public:
    // The windows the Ctrl shortcuts open.
    enum class Window { CwStrings, CwSetup, VoiceKeyer, DxSpotting, Rig, Network, SpectrumMap, BandPlan, RigTune };
    Q_ENUM(Window)

    MainKeyFilter(CwKeyer &keyer, EntryAccess &entry, QObject *parent = nullptr);
    ~MainKeyFilter() override;

    // Sees the keys of this window and of every widget in it first. A window
    // that passes its keys on (the CW Strings window) is watched too.
    void watch(QWidget *window);
    void setVoiceKeys(VoiceKeys *voice) { m_voice = voice; }

    // The key as pressed (Qt key and modifiers) and the character it types;
    // true when the key was taken and must not reach the field.
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);
    bool character(int key, const QString &text);

    // The object name of a window, and whether it is shown modally (and
    // unloaded when it closes).
    static QString objectName(Window w);
    static bool isModal(Window w);

    static const QString KeyboardOnText;

signals:
    void windowRequested(MainKeyFilter::Window window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isPhone() const;
    bool takesShortcut(int key, Qt::KeyboardModifiers modifiers) const;

    CwKeyer &m_keyer;
    EntryAccess &m_entry;
    VoiceKeys *m_voice = nullptr;
    QList<QPointer<QWidget>> m_windows;
    int m_lastKeyerStatus = 0;
};
