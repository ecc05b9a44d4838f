#include "platform/RecordingKeyLine.h"

#include "platform/Clock.h"
#include "platform/KeyLineSafety.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

const char *const RecordingKeyLine::EnvironmentVariable = "HALVERN_KEYLINE_RECORD";

namespace {
// Names of the recorded lines, indexed by the argument the signal handler
// gets: it may not touch a QString.
const char *const releaseNames[] = {"KEY", "PTT"};

// Formats "<ns> <name> <state>\n" without allocating; returns the length.
int formatEdge(char *buf, qint64 ns, const char *name, bool down)
{
    char digits[24];
    int n = 0;
    unsigned long long v = ns < 0 ? 0 : static_cast<unsigned long long>(ns);
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    int len = 0;
    while (n)
        buf[len++] = digits[--n];
    buf[len++] = ' ';
    for (const char *p = name; *p && len < 60; ++p)
        buf[len++] = *p;
    buf[len++] = ' ';
    buf[len++] = down ? '1' : '0';
    buf[len++] = '\n';
    return len;
}

// Writes the closing "up" of a line that was down when the program was
// killed.
void releaseRecording(int fd, int arg)
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    char buf[96];
    const int len = formatEdge(buf, qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec,
                               releaseNames[arg == 1 ? 1 : 0], false);
    [[maybe_unused]] ssize_t w = ::write(fd, buf, size_t(len));
}
} // namespace

RecordingKeyLine::RecordingKeyLine(const QString &name, const QString &filePath)
    : m_name(name), m_nameBytes(name.toLatin1()), m_path(filePath)
{
    if (!m_path.isEmpty()) {
        m_fd = ::open(m_path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (m_fd < 0)
            m_error = QString::fromLocal8Bit(std::strerror(errno));
    }
    m_edges.reserve(4096);
}

RecordingKeyLine::~RecordingKeyLine()
{
    setKey(false);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool RecordingKeyLine::setKey(bool down)
{
    if (down == m_down)
        return true;
    const KeyEdge edge{Clock::monotonicNs(), down};
    m_down = down;
    if (m_fd >= 0) {
        char buf[96];
        const int len = formatEdge(buf, edge.ns, m_nameBytes.constData(), down);
        if (::write(m_fd, buf, size_t(len)) != len)
            m_error = QString::fromLocal8Bit(std::strerror(errno));
        if (down)
            m_safetySlot = KeyLineSafety::enlist(m_fd, releaseRecording, m_name == QLatin1String("PTT"));
        else {
            KeyLineSafety::discharge(m_safetySlot);
            m_safetySlot = -1;
        }
    } else {
        m_edges.push_back(edge);
    }
    if (onEdge)
        onEdge(edge);
    return true;
}

QString RecordingKeyLine::device() const
{
    return m_path.isEmpty() ? QStringLiteral("recording") : m_path;
}

QString RecordingKeyLine::fileFromEnvironment()
{
    return QString::fromLocal8Bit(qgetenv(EnvironmentVariable));
}
