#pragma once
// An open spot source and what it says: a TNC on a numbered serial port, a
// packet engine over its AGW TCP interface, or a DX cluster by Telnet. Open
// and close, the 333 ms tick that reads the TNC and the engine's frames,
// text typed to the source (":C call" and ":D" connect and disconnect
// through the engine), and the text received, cut into lines by one
// splitter for every source, whose spot lines go to the spot store.
#include "spots/AgwClient.h"
#include "spots/SpotFeed.h"
#include "spots/SpotSettings.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>

class PortArbiter;
class QWidget;
class RigLink;
class SpotStore;
struct SerialLineSettings;

class SpotSession : public QObject {
    Q_OBJECT
public:
    static constexpr int TickMs = 333;
    // Ticks between two redraws of the band map's age colours (2 minutes).
    static constexpr int RedrawTicks = 360;

    // dialogParent: the window the messages belong to (may be null).
    SpotSession(SpotSettings &settings, SpotStore &store, PortArbiter *ports, QWidget *dialogParent,
                QObject *parent = nullptr);
    ~SpotSession() override;

    // The own call, asked when the engine is opened.
    std::function<QString()> ownCall;

    void open();
    void close();
    // The Enter key in the send box: the text goes to the source.
    void send(const QString &text);
    // Esc or Ctrl+C: "DX Only" off, the source opened, a TNC put into its
    // command mode.
    void commandMode();
    // The operator's shutdown: a connected station is disconnected.
    void shutDown();

    bool isListening() const { return m_listening; }
    QString connectedCall() const { return m_connectedCall; }
    const SpotFeed &feed() const { return m_feed; }
    void setDxOnly(bool on);
    AgwClient &agw() { return m_agw; }
    QTimer &timer() { return m_timer; }
    // Runs one tick now (the timer's work).
    void tick();

    // Qt's socket error as the number a Winsock control gives it, and the
    // message shown for such a number.
    static int socketErrorNumber(QAbstractSocket::SocketError e);
    static QString socketErrorMessage(int number);

signals:
    void textChanged();
    void listeningChanged(bool listening);
    void captionChanged(const QString &caption);
    void dxOnlyChanged(bool on);
    // About every two minutes while a source is open: redraw the age colours.
    void redrawDue();

private:
    void openTnc();
    void openAgw();
    void openTelnet();
    void agwCommand(const QString &text);
    void note(const QString &text);
    void setListening(bool on);
    void dropConnectedCall();

    SpotSettings &m_settings;
    SpotStore &m_store;
    PortArbiter *m_ports;
    QWidget *m_dialogParent;
    SpotFeed m_feed;
    QTimer m_timer;
    std::unique_ptr<RigLink> m_tnc;
    QTcpSocket m_telnet;
    TelnetFilter m_telnetFilter;
    AgwClient m_agw;
    QString m_connectedCall;
    bool m_listening = false;
    int m_ticks = 0;
};
