#pragma once
// Polls the rig: every tick of the poll timer either sends the rig's query
// (when the previous output has gone out) or reads what has come back, cuts
// it into whole replies and reads them into the rig's frequency and mode.
// Nothing waits: a rig that does not answer simply leaves the values alone.
// A link that goes away is told once and reopened on the following send
// ticks, so polling resumes by itself when the device comes back.
#include "rig/RigProtocol.h"
#include "rig/RigSettings.h"

#include <QObject>
#include <functional>
#include <memory>

class QTimer;
class RigLink;

class RigPoller : public QObject {
    Q_OBJECT
public:
    // Makes the link for the settings' rig (serial port or rigctld).
    using LinkFactory = std::function<std::unique_ptr<RigLink>(const RigSettings &, const Rig::Model &)>;

    explicit RigPoller(LinkFactory factory, QObject *parent = nullptr);
    ~RigPoller() override;

    // Opens the link and starts polling with one tick at once. False and the
    // reason when the link cannot be opened (polling is then stopped).
    bool start(const RigSettings &settings, QString *error);
    // Stops polling and closes the link.
    void stop();
    // Polling, or paused by a command that is being sent.
    bool isPolling() const;
    // A command to the rig holds the poll timer; resume starts it again
    // unless polling was stopped meanwhile.
    void pause();
    void resume();
    bool isPaused() const { return m_paused; }
    // New queries and reply use while polling (the window's boxes changed).
    void useSettings(const RigSettings &settings);

    // One expiry of the poll timer.
    void tick();
    QTimer *timer() const { return m_timer; }

    const RigSettings &settings() const { return m_settings; }
    const Rig::RigState &state() const { return m_state; }
    // Forgets the mode (the way it is found changed).
    void clearMode() { m_state.mode.clear(); }
    RigLink *link() const { return m_link.get(); }
    bool linkUp() const { return m_linkUp; }

signals:
    // A read tick that received something (or read the exchange file): raw
    // is what arrived, the state what it was read into.
    void replyRead(const QByteArray &raw, const Rig::RigState &state);
    // A query that could not be sent, and why.
    void queryNotSent(const QString &why);
    // The link went away: told once, until the rig is heard again.
    void linkLost(const QString &why);
    void linkRestored();

private:
    void sendPhase();
    void readPhase();
    void onLost(const QString &why);
    void greetRig();

    LinkFactory m_factory;
    QTimer *m_timer;
    std::unique_ptr<RigLink> m_link;
    std::unique_ptr<Rig::ReplyFramer> m_framer;
    RigSettings m_settings;
    const Rig::Model *m_model = nullptr;
    Rig::RigState m_state;
    QByteArray m_lateBytes; // arrived after a read, taken in before the next query
    bool m_awaitingReply = false;
    bool m_paused = false;
    bool m_modeTurn = false;
    bool m_linkUp = false;
    bool m_lostTold = false; // told lost and nothing heard since
};
