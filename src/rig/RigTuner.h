#pragma once
// Tunes the rig: the mode the band plan gives for the frequency goes out
// first, then, after the rig's settle time, the frequency. Polling is held
// for the whole change and started again on every way out of it. Each wait
// runs on timers, so the window goes on while the rig is told: a wait for
// the output to drain looks at the port's queue until it is empty, never
// longer than two seconds. A change asked for while one is running waits
// for it; only the newest such request is kept.
#include "rig/RigCommands.h"
#include "spots/BandPlan.h"

#include <QElapsedTimer>
#include <QObject>
#include <functional>

class RigPoller;

namespace Rig {

struct TuneStep {
    enum class Kind { Drain, Wait, Send, WriteFile };
    Kind kind;
    int ms = 0;       // Wait
    QByteArray bytes; // Send, WriteFile
    bool operator==(const TuneStep &) const = default;

    static TuneStep drain() { return {Kind::Drain, 0, {}}; }
    static TuneStep wait(int ms) { return {Kind::Wait, ms, {}}; }
    static TuneStep send(const QByteArray &b) { return {Kind::Send, 0, b}; }
    static TuneStep writeFile(const QByteArray &b) { return {Kind::WriteFile, 0, b}; }
};

struct TunePlan {
    QList<TuneStep> steps;
    QString mode;       // the mode chosen (given, or from the band plan)
    QString refused;    // the frequency cannot be sent: nothing is
    QString modeRefused;// the mode cannot be sent; the frequency still is
};

constexpr int ModeLeadMs = 99;

// The steps that set the rig to hz, the mode first: given, or from the
// plan's Extra-class rows when empty.
TunePlan frequencyPlan(const CommandSetup &setup, const BandPlan &plan, qint64 hz, const QString &mode = {});
// The steps that set the mode alone (empty mode: from the plan for hz).
TunePlan modePlan(const CommandSetup &setup, const BandPlan &plan, qint64 hz, const QString &mode);

} // namespace Rig

class RigTuner : public QObject {
    Q_OBJECT
public:
    static constexpr int DrainLimitMs = 2000;

    explicit RigTuner(RigPoller &poller, QObject *parent = nullptr);

    void setBandPlan(const BandPlan &plan) { m_plan = plan; }
    const BandPlan &bandPlan() const { return m_plan; }

    // Tunes to hz (mode from the band plan). Nothing happens unless the rig
    // is being polled; false then.
    bool changeFrequency(qint64 hz);
    // Sets the mode alone (empty: from the band plan for hz).
    bool changeMode(qint64 hz, const QString &mode);
    // A command typed by the operator, sent as it is.
    bool sendRaw(const QByteArray &bytes);
    bool isBusy() const { return m_busy; }

signals:
    // A command could not be sent: the title says which kind.
    void failed(const QString &title, const QString &why);
    // A change has gone out (or was given up) and polling runs again.
    void finished();

private:
    Rig::CommandSetup setup() const;
    bool request(std::function<Rig::TunePlan()> build);
    void start(const Rig::TunePlan &plan);
    void nextStep();
    void drainCheck();
    void fail(const QString &why);
    void finish();

    RigPoller &m_poller;
    BandPlan m_plan;
    QList<Rig::TuneStep> m_steps;
    QElapsedTimer m_drainClock;
    bool m_busy = false;
    QString m_title; // of the change running: which error title a failure gets
    std::function<Rig::TunePlan()> m_pendingBuild;
};
