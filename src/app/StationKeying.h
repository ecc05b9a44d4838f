#pragma once
// The main window's CW: the keying ports, the CW engine with the messages of
// "CW.txt", the key filter that gives the function keys, Esc, the arrows, F12
// and the Ctrl shortcuts their meaning, and the CW setup and CW Strings
// windows; the WinKey keyer with its window and "WK.txt", which takes the CW
// when it is the keying output. While CW is keyed the contest skips its log
// change check.
#include "keying/MainKeyFilter.h"

#include <QObject>
#include <QPointer>
#include <memory>

class Contest;
class CwKeyer;
class CwSetupWindow;
class CwStringsWindow;
class EntryAccess;
class PortArbiter;
class QAction;
class QWidget;
class WinKeyer;
class WinKeyWindow;

class StationKeying : public QObject {
    Q_OBJECT
public:
    // window: the logging window whose keys are seen first; entry: what the
    // messages read and the status line they write.
    StationKeying(QWidget *window, EntryAccess &entry, Contest &contest, QAction *cwSetupMenu);
    ~StationKeying() override;

    // Reads "CW.txt" of the working folder and opens the keying port.
    void loadSettings();
    bool isKeying() const;
    // Nothing more is keyed after the character being sent.
    void stop();
    CwKeyer &keyer() { return *m_keyer; }
    // The owner of the serial ports, which the rig's port goes through too.
    PortArbiter &ports() { return *m_ports; }

    void showSetup();
    void showStrings();
    void showWinKey();

signals:
    // A Ctrl shortcut asked for a window of another subsystem.
    void otherWindowWanted(MainKeyFilter::Window window);

private:
    QString cwFile() const;
    QString wkFile() const;

    QWidget *m_window;
    std::unique_ptr<PortArbiter> m_ports;
    CwKeyer *m_keyer = nullptr;
    MainKeyFilter *m_filter = nullptr;
    WinKeyer *m_winKeyer = nullptr;
    Contest &m_contest;
    // Windows of the logging window, which may delete them first.
    QPointer<CwSetupWindow> m_setup;
    QPointer<CwStringsWindow> m_strings;
    QPointer<WinKeyWindow> m_winKeyWindow;
};
