#pragma once
// The WinKey keyer on a serial port: it opens the keyer (echo test, then the
// host open that the keyer answers with its version), sends it the keying
// settings, and feeds it the text to send one character at a time, waiting
// while the keyer reports its buffer nearly full. Waits run pending events,
// so that Esc, typing and new messages act on a feed in progress. A keyer
// that stops answering for five seconds while the feed waits is taken for
// gone: the feed ends and the keyer counts as closed. Closing, and the
// program ending or dying of a catchable signal, sends the host close.
#include "keying/KeyingHooks.h"
#include "keying/WinKeySettings.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <optional>

class PortArbiter;

class WinKeyer : public QObject, public ExternalKeyer {
    Q_OBJECT
public:
    // How long the keyer's answers to the echo test and the host open are
    // waited for, and how long a waiting feed goes without any status.
    static constexpr int AnswerMs = 1000;
    static constexpr int SilenceMs = 5000;
    // A waiting feed asks for the status this often.
    static constexpr int StatusRequestMs = 1000;

    explicit WinKeyer(PortArbiter &ports, QObject *parent = nullptr);
    ~WinKeyer() override;

    WinKeySettings settings;

    // Opens the keyer on the settings' port and answers with the result code
    // (WinKey::OpenResult). A failure is reported to the operator; unless the
    // keyer was open already the settings are applied.
    int open();
    void close();
    bool isOpen() const override { return m_version != 0; }
    // The version byte the keyer reported; 0 while closed.
    int version() const { return m_version; }
    bool isFeeding() const { return m_feeding; }

    void transmit(QString &text) override;
    int status() override;
    void clearBuffer() override;
    void backspace() override;

    // The field checks (a field out of range goes back to its default and
    // nothing is sent for it), each sending its command while open.
    void applyWpm();
    void applyWeight();
    void applyLeadTail();
    void applyRatio();
    void applyPinsAndMode();
    // All of them, in that order.
    void applySettings();
    // The CW speed changed: a speed from 5 to 99 goes to the open keyer.
    void followCwSpeed(const QString &wpm);

signals:
    // The result to show as the keyer's state ("WK Success!", "Closed").
    void stateText(const QString &text);
    // Opened with this version, or closed (0).
    void versionChanged(int version);
    // The keyer stopped answering and was closed.
    void lost();

private:
    int connectKeyer();
    void readAvailable();
    std::optional<quint8> awaitAnswer();
    // Waits while the keyer's buffer is nearly full; false when the feed
    // has to end (text gone, keyer closed or silent, this object deleted).
    bool waitForRoom(const QString &text);
    // Lets events run for ms; false when this object was deleted meanwhile.
    bool pause(int ms);
    void send(const QByteArray &bytes);
    // Closes the port (with the host close when open) and gives it back.
    void shut();
    void loseKeyer();

    PortArbiter &m_ports;
    QSerialPort m_port;
    bool m_held = false;
    int m_version = 0;
    int m_level = 0;
    qint64 m_lastStatusNs = 0;
    QByteArray m_answers;
    bool m_feeding = false;
    bool m_opening = false;
    int m_safetySlot = -1;
};
