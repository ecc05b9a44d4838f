#include "app/WaitingContact.h"

#include "log/Contest.h"

#include <QTimer>

WaitingContact::WaitingContact(Contest &contest, QObject *parent) : QObject(parent), m_contest(contest)
{
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("logRetryTimer"));
    m_timer->setInterval(250);
    connect(m_timer, &QTimer::timeout, this, &WaitingContact::retry);
}

void WaitingContact::start(const QsoRecord &rec)
{
    m_record = rec;
    m_timer->start();
}

void WaitingContact::drop()
{
    m_record.reset();
    m_timer->stop();
}

void WaitingContact::retry()
{
    if (!m_record) {
        m_timer->stop();
        return;
    }
    const LogAttempt a = m_contest.logContact(*m_record, OnBusy::Report);
    switch (a.outcome) {
    case LogAttempt::Busy: return;
    case LogAttempt::Failed: emit failed(); return;
    case LogAttempt::Dupe:
        drop();
        emit refused(a.match);
        return;
    default:
        drop();
        emit logged();
        return;
    }
}
