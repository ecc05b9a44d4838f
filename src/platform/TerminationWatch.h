#pragma once
// Ctrl+C, kill and a closed terminal (SIGINT, SIGTERM, SIGHUP) as an event:
// the signal handler only writes a byte to a pipe, and the event loop reads
// it and emits requested(), so that the program ends the way Exit ends it,
// releasing every key line on the way. Until the loop has taken one ask, a
// second one ends the program at once (with the lines released).
#include <QObject>

class QSocketNotifier;

class TerminationWatch : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatch(QObject *parent = nullptr);
    ~TerminationWatch() override;
    bool isListening() const { return m_fds[0] >= 0; }

signals:
    void requested(int signalNumber);

private:
    int m_fds[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
};
