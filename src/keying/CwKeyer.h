#pragma once
// The CW engine: the buffer of text still to be sent, keyed one character at
// a time on the CW key line with software timing, or handed to an external
// keyer. It sends the function-key messages with their wildcards, repeats
// the F1 message (a CQ loop), changes speed, and between characters lets
// pending events run through one seam, which is how Esc, typing and new
// messages act on a transmission in progress. The key is up whenever it
// returns. The setup window edits its settings; the main window gives it
// the entry and reads its busy flag.
#include "keying/CwSettings.h"
#include "keying/KeyingHooks.h"

#include <QObject>
#include <QString>
#include <functional>

class EntryAccess;
class ExternalKeyer;
class KeyLine;
class PortArbiter;
class QTimer;

class CwKeyer : public QObject {
    Q_OBJECT
public:
    // Function-key codes as the messages are addressed: F1..F9 112..120,
    // F11 122, F10 124 (121 and 123 send nothing).
    static constexpr int F1 = 112;
    static constexpr int F9 = 120;
    static constexpr int F11 = 122;
    static constexpr int F10 = 124;

    // ports must outlive the engine: it closes the CW key line when it goes.
    explicit CwKeyer(PortArbiter &ports, QObject *parent = nullptr);
    ~CwKeyer() override;

    // Read at every character and element, so that a change applies from
    // the next element on.
    CwSettings settings;

    // CW.txt and the timing method of the settings store, as at start-up;
    // what the file lacks keeps its value.
    void loadSettings(const QString &cwFile);
    // What "Done" keeps: CW.txt and the timing method. False with *error
    // when the file cannot be written (the timing is kept all the same).
    bool saveSettings(const QString &cwFile, QString *error = nullptr) const;

    void setEntry(EntryAccess *entry) { m_entry = entry; }
    void setExternalKeyer(ExternalKeyer *keyer) { m_external = keyer; }
    ExternalKeyer *externalKeyer() const { return m_external; }

    // The text still to be sent. Emptying it stops a transmission after the
    // character being keyed.
    const QString &buffer() const { return m_buffer; }
    void append(const QString &text) { m_buffer += text; }
    void clearBuffer() { m_buffer.clear(); }
    // Hands the buffer to an external keyer whatever the keying output (the
    // keyer's own test buttons).
    void handTo(ExternalKeyer &keyer) { keyer.transmit(m_buffer); }
    // Drops the last character not yet sent; false when there is none.
    bool dropLast();
    // Set while the buffer is being keyed here: the main window then
    // suspends its log change check and refuses to close.
    bool isBusy() const { return m_busy; }

    // Sends everything in the buffer. Called while a transmission runs, it
    // returns at once: the running one picks the new text up.
    void sendBuffer();
    // Sends the message of a function key (codes above), replacing whatever
    // was still to be sent.
    void sendMessage(int keyCode);

    // Closes and reopens the serial port of the port field (0: closed). A
    // failure is reported to the operator. True when the port is usable.
    bool setupPort();
    // The printer port's address changed: it is opened anew when next used.
    void printerAddressChanged();

    // One word per minute faster or slower, written back as the speed text.
    void speedUp();
    void speedDown();

    // The CQ loop: armed by F1 with a loop delay above 0.
    bool repeatPending() const { return m_repeatPending; }
    void stopRepeat();
    QTimer *repeatTimer() const { return m_repeatTimer; }
    // Takes the loop delay from the settings: 0 <= seconds < 60, anything
    // else becomes "0" (no repeat).
    void applyLoopDelay();

    bool keyboardMode() const { return m_keyboardMode; }
    void setKeyboardMode(bool on) { m_keyboardMode = on; }

    // The one point where pending events run between characters. A send
    // started from inside it only adds to the buffer, and it does not nest.
    void letEventsRun();
    // Tests put their own events here; the default runs the event loop's
    // pending events once.
    void setEventPump(std::function<void()> pump) { m_pump = std::move(pump); }

    static const QString KeyboardModeText;

signals:
    void busyChanged(bool busy);
    // The unsent text after each character, and the line left at the end,
    // when "Display CW text" is on.
    void displayText(const QString &text);
    // Why keying stopped or was refused.
    void statusText(const QString &text);
    // A port failed and the operator was told; the setup window shows itself.
    void portSetupFailed();
    void speedChanged(const QString &wpm);

private:
    enum class Failure { None, SerialPort, PrinterPort, Line, Speed };

    // Keys one character; false when keying has to stop (no speed, a port
    // that failed).
    bool transmit(QChar ch);
    KeyLine *lineFor(int output);
    void setBusy(bool busy);
    void report(Failure failure);
    QString callText() const;

    PortArbiter &m_ports;
    EntryAccess *m_entry = nullptr;
    ExternalKeyer *m_external = nullptr;
    QString m_buffer;
    bool m_busy = false;
    bool m_running = false;
    bool m_yielding = false;
    bool m_repeatPending = false;
    bool m_keyboardMode = false;
    Failure m_failure = Failure::None;
    QString m_failureDetail;
    QTimer *m_repeatTimer = nullptr;
    std::function<void()> m_pump;
};
