#pragma once
// A contact entered while another PC holds the log locked: it keeps the time
// of its Enter and is offered to the log again every quarter second, while
// the operator goes on typing, until it is logged, refused as a dupe, taken
// back or abandoned.
#include "log/QsoRecord.h"

#include <QObject>
#include <optional>

class Contest;
class QTimer;

class WaitingContact : public QObject {
    Q_OBJECT
public:
    WaitingContact(Contest &contest, QObject *parent);

    void start(const QsoRecord &rec);
    bool isWaiting() const { return m_record.has_value(); }
    const QsoRecord &record() const { return *m_record; }
    // Stops trying; the contact is no longer waiting.
    void drop();

signals:
    void logged();
    void refused(const QsoRecord &match);
    // The log could not be written (not merely busy); the tries go on until
    // the contact is dropped.
    void failed();

private:
    void retry();

    Contest &m_contest;
    QTimer *m_timer;
    std::optional<QsoRecord> m_record;
};
