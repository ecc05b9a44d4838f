#pragma once
// A WinKey keyer on a pseudo-terminal pair made by socat: the logger opens
// `device`; the simulator answers the echo test and the host open (with its
// version), records every command and every character of text, and "sends"
// the text at the set speed, reporting busy and a nearly full buffer with
// status bytes as the keyer does. Characters that arrive with the buffer
// full are lost, as they would be. It can go silent: no answers, no status,
// no sending.
#include "support/PtyPair.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

class WinKeySimulator : public QObject {
    Q_OBJECT
public:
    WinKeySimulator();
    ~WinKeySimulator() override;

    bool ready() const { return m_ready; }
    QString device() const { return m_pty.dev; }

    quint8 version = 31;
    // The buffer: XOFF is reported from xoffAt characters until it is down
    // to xonAt; beyond capacity characters are lost.
    int capacity = 24, xoffAt = 16, xonAt = 4;
    // Sending time per Morse unit is 1200 / wpm ms times this (a test
    // scales it down so that long texts take little time).
    double timeScale = 1.0;
    // Goes silent right after reporting its nth XOFF (0: never).
    int silentAfterXoff = 0;
    bool silent = false;

    bool hostOpen = false;
    int wpm = 0;
    QList<QByteArray> commands; // every command but the text, in order
    QByteArray text;            // the text received, in order
    QByteArray sent;            // the text sent as Morse so far
    QByteArray buffered;        // received, not yet sent
    int lost = 0;               // characters that found the buffer full
    int xoffReports = 0;
    QByteArray statusSent;      // every status byte reported

    bool busy() const { return !buffered.isEmpty(); }
    bool sawCommand(const QByteArray &c) const { return commands.contains(c); }

private:
    void received();
    // Takes one command or character from the front of m_in; false when
    // more bytes are needed.
    bool takeOne();
    void sendOne();
    void reportStatus();
    void answer(quint8 b);
    int charMs() const;

    PtyPair m_pty;
    QSerialPort m_port;
    QTimer m_sender;
    QByteArray m_in;
    quint8 m_status = 0xC0;
    bool m_ready = false;
};
