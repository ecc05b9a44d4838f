#include "platform/TerminationWatch.h"

#include "platform/KeyLineSafety.h"

#include <QSocketNotifier>
#include <fcntl.h>
#include <unistd.h>

TerminationWatch::TerminationWatch(QObject *parent) : QObject(parent)
{
    if (::pipe2(m_fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_fds[0] = m_fds[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_fds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        while (::read(m_fds[0], &byte, 1) == 1)
            emit requested(int(byte));
        // The next ask is handed over again.
        KeyLineSafety::forwardTermination(m_fds[1]);
    });
    KeyLineSafety::installSignalHandlers();
    KeyLineSafety::forwardTermination(m_fds[1]);
}

TerminationWatch::~TerminationWatch()
{
    KeyLineSafety::forwardTermination(-1);
    if (m_fds[0] >= 0) {
        ::close(m_fds[0]);
        ::close(m_fds[1]);
    }
}
