#include "rig/RigTuner.h"

#include "platform/AtomicFile.h"
#include "platform/RigLink.h"
#include "rig/RigPoller.h"

#include <QDir>
#include <QTimer>

namespace Rig {
namespace {
using Kind = TuneStep::Kind;

// Mode first: drain, a short lead, the command, drain.
void addMode(TunePlan &p, const CommandSetup &setup, const BandPlan &plan, qint64 hz, const QString &mode)
{
    p.mode = mode.isEmpty() ? plan.rigModeFor(hz) : mode;
    if (p.mode.isEmpty())
        return;
    const Command c = modeCommand(setup, p.mode);
    p.modeRefused = c.refused;
    if (c.bytes.isEmpty())
        return;
    p.steps << TuneStep::drain() << TuneStep::wait(ModeLeadMs) << TuneStep::send(c.bytes) << TuneStep::drain();
}
} // namespace

TunePlan frequencyPlan(const CommandSetup &setup, const BandPlan &plan, qint64 hz, const QString &mode)
{
    TunePlan p;
    const Command f = frequencyCommand(setup, hz);
    if (!f.refused.isEmpty()) {
        p.refused = f.refused;
        return p;
    }
    addMode(p, setup, plan, hz, mode);
    if (f.bytes.isEmpty())
        return p;
    p.steps << TuneStep::drain();
    if (f.settleMs > 0)
        p.steps << TuneStep::wait(f.settleMs);
    p.steps << (f.toFile ? TuneStep::writeFile(f.bytes) : TuneStep::send(f.bytes));
    if (!f.toFile)
        p.steps << TuneStep::drain();
    return p;
}

TunePlan modePlan(const CommandSetup &setup, const BandPlan &plan, qint64 hz, const QString &mode)
{
    TunePlan p;
    addMode(p, setup, plan, hz, mode);
    return p;
}

} // namespace Rig

using namespace Rig;

RigTuner::RigTuner(RigPoller &poller, QObject *parent) : QObject(parent), m_poller(poller) {}

CommandSetup RigTuner::setup() const
{
    const RigSettings &s = m_poller.settings();
    return {&model(s.rigType), s.freqQuery, s.modeQuery, m_poller.state().vfo, m_poller.state().mode};
}

bool RigTuner::request(std::function<TunePlan()> build)
{
    if (!m_poller.isPolling())
        return false;
    if (m_busy)
        m_pendingBuild = std::move(build);
    else
        start(build());
    return true;
}

bool RigTuner::changeFrequency(qint64 hz)
{
    return request([this, hz] {
        m_title = QStringLiteral("Error Changing Frequency");
        return frequencyPlan(setup(), m_plan, hz);
    });
}

bool RigTuner::changeMode(qint64 hz, const QString &mode)
{
    return request([this, hz, mode] {
        m_title = QStringLiteral("Error Changing Mode");
        return modePlan(setup(), m_plan, hz, mode);
    });
}

bool RigTuner::sendRaw(const QByteArray &bytes)
{
    return request([this, bytes] {
        m_title = QStringLiteral("Error Changing Frequency");
        TunePlan p;
        if (!bytes.isEmpty())
            p.steps << TuneStep::drain() << TuneStep::send(bytes) << TuneStep::drain();
        return p;
    });
}

void RigTuner::start(const TunePlan &plan)
{
    m_busy = true;
    m_steps = plan.steps;
    m_poller.pause();
    // What the rig sent before the command is of no use any more.
    if (RigLink *link = m_poller.link(); link && link->isReady())
        link->readAll();
    QTimer::singleShot(0, this, &RigTuner::nextStep);
    if (!plan.refused.isEmpty()) {
        m_steps.clear();
        emit failed(m_title, plan.refused);
    } else if (!plan.modeRefused.isEmpty()) {
        emit failed(QStringLiteral("Error Changing Mode"), plan.modeRefused);
    }
}

void RigTuner::nextStep()
{
    if (!m_busy)
        return;
    if (m_steps.isEmpty() || !m_poller.isPaused()) // done, or polling was stopped meanwhile
        return finish();
    const TuneStep step = m_steps.takeFirst();
    RigLink *link = m_poller.link();
    switch (step.kind) {
    case Kind::Drain:
        m_drainClock.start();
        return drainCheck();
    case Kind::Wait: QTimer::singleShot(step.ms, this, &RigTuner::nextStep); return;
    case Kind::Send:
        if (!link || !link->isReady())
            return fail(QStringLiteral("The rig's port is not open; nothing was sent."));
        link->write(step.bytes);
        break;
    case Kind::WriteFile: {
        QString why;
        const QString file = QDir(m_poller.settings().pegasusFolder).filePath(QStringLiteral("PEGASUS.IN"));
        if (!writeFileAtomically(file, step.bytes, &why))
            return fail(QStringLiteral("\"%1\" could not be written: %2").arg(file, why));
        break;
    }
    }
    QTimer::singleShot(0, this, &RigTuner::nextStep);
}

void RigTuner::drainCheck()
{
    RigLink *link = m_poller.link();
    if (!link || link->bytesToWrite() <= 0 || m_drainClock.elapsed() >= DrainLimitMs)
        QTimer::singleShot(0, this, &RigTuner::nextStep);
    else
        QTimer::singleShot(5, this, &RigTuner::drainCheck);
}

void RigTuner::fail(const QString &why)
{
    const QString title = m_title;
    finish();
    emit failed(title, why);
}

void RigTuner::finish()
{
    m_busy = false;
    m_steps.clear();
    m_poller.resume();
    emit finished();
    if (m_pendingBuild)
        start(std::exchange(m_pendingBuild, nullptr)());
}
