#include "app/DupeKeyHold.h"

#include "log/Logging.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

DupeKeyHold::DupeKeyHold(QWidget *fallback) : QObject(fallback), m_fallback(fallback)
{
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("holdTimer"));
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &DupeKeyHold::release);
}

void DupeKeyHold::start()
{
    m_active = true;
    m_start = Clock::localNow();
}

void DupeKeyHold::hold(const QKeyEvent *e)
{
    m_keys.push_back({e->key(), e->modifiers(), e->text()});
    release();
}

void DupeKeyHold::release()
{
    const qint64 wait = dupeHoldRemainingMs(m_start, Clock::localNow());
    if (wait > 0) {
        m_timer->start(static_cast<int>(wait));
        return;
    }
    m_active = false;
    m_timer->stop();
    std::vector<Key> keys;
    keys.swap(m_keys);
    m_replaying = true;
    for (const Key &k : keys) {
        QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.text);
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : m_fallback;
        QCoreApplication::sendEvent(target, &press);
    }
    m_replaying = false;
}
