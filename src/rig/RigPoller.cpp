#include "rig/RigPoller.h"

#include "platform/RigLink.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QTimer>

using namespace Rig;

RigPoller::RigPoller(LinkFactory factory, QObject *parent)
    : QObject(parent), m_factory(std::move(factory)), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("tmrGetData"));
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &RigPoller::tick);
}

RigPoller::~RigPoller() { stop(); }

bool RigPoller::isPolling() const { return m_timer->isActive() || m_paused; }

void RigPoller::pause()
{
    if (!m_timer->isActive())
        return;
    m_timer->stop();
    m_paused = true;
}

void RigPoller::resume()
{
    if (!std::exchange(m_paused, false))
        return;
    m_timer->start(m_settings.tickMs());
}

void RigPoller::useSettings(const RigSettings &settings)
{
    m_settings = settings;
    m_model = &model(settings.rigType);
}

bool RigPoller::start(const RigSettings &settings, QString *error)
{
    stop();
    useSettings(settings);
    m_state.mode.clear();
    if (m_model->family == Family::None)
        return false;
    m_framer = std::make_unique<ReplyFramer>(*m_model);
    if (m_model->family != Family::Pegasus) {
        m_link = m_factory(m_settings, *m_model);
        if (!m_link || !m_link->open(error)) {
            m_link.reset();
            return false;
        }
        connect(m_link.get(), &RigLink::lost, this, &RigPoller::onLost, Qt::QueuedConnection);
        m_linkUp = true;
        greetRig();
    }
    tick();
    m_timer->start(m_settings.tickMs());
    return true;
}

// What some rigs need once the port is open before they answer queries.
void RigPoller::greetRig()
{
    if (m_model->name.startsWith(QLatin1String("Yaesu")) && m_model->family != Family::Ftdx9000)
        m_link->write(QByteArray(5, '\0'));
    else if (m_model->family == Family::Orion)
        m_link->write("X\r");
}

void RigPoller::stop()
{
    m_timer->stop();
    m_paused = false;
    if (m_link) {
        m_link->disconnect(this);
        m_link->close();
        m_link.reset();
    }
    m_linkUp = false;
    m_lostTold = false;
    m_awaitingReply = false;
    m_lateBytes.clear();
    if (m_framer)
        m_framer->clear();
}

void RigPoller::tick()
{
    if (!m_awaitingReply)
        sendPhase();
    else
        readPhase();
}

void RigPoller::sendPhase()
{
    m_awaitingReply = true;
    if (m_link && !m_linkUp) {
        // The device went away: try it again, quietly, once a poll.
        QString why;
        if (!m_link->open(&why))
            return;
        m_linkUp = true;
        m_framer->clear();
        greetRig();
    }
    if (!m_link || !m_link->isReady() || m_link->bytesToWrite() > 0)
        return;
    const QByteArray late = m_link->readAll();
    m_lateBytes += late;
    m_framer->beforeQuery(late);
    const Query q = pollQuery({m_model, m_settings.freqQuery, m_settings.modeQuery, m_settings.convertToHex},
                              m_modeTurn);
    if (!q.problem.isEmpty())
        emit queryNotSent(q.problem);
    if (!q.bytes.isEmpty())
        m_link->write(q.bytes);
}

void RigPoller::readPhase()
{
    m_awaitingReply = false;
    QByteArray raw;
    bool received = false;
    if (m_model->family == Family::Pegasus) {
        const auto file = WholeFile::read(QDir(m_settings.pegasusFolder).filePath(QStringLiteral("PEGASUS.OUT")),
                                          WholeFile::SettingsLimit);
        if (file.ok())
            parsePegasusFile(file.data, m_state);
        raw = file.data;
        received = true;
    } else if (m_link && m_linkUp) {
        const QByteArray now = m_link->readAll();
        raw = std::exchange(m_lateBytes, {}) + now;
        received = !raw.isEmpty();
        m_framer->append(now);
        const QuerySetup setup{m_model, m_settings.freqQuery, m_settings.modeQuery, m_settings.convertToHex};
        for (const QByteArray &frame : m_framer->takeFrames())
            parseReply(setup, frame, m_state);
        m_framer->endRead();
    }
    if (!received)
        return;
    if (m_lostTold) {
        m_lostTold = false;
        emit linkRestored();
    }
    if (m_settings.modeBy == RigSettings::ModeBy::Frequency)
        if (auto mode = modeFromFrequency(m_state.frequency))
            m_state.mode = *mode;
    emit replyRead(raw, m_state);
}

void RigPoller::onLost(const QString &why)
{
    if (!m_linkUp)
        return;
    m_linkUp = false;
    if (m_link)
        m_link->close();
    if (!m_lostTold) {
        m_lostTold = true;
        emit linkLost(why);
    }
}
