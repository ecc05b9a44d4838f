#include "log/BackupWriter.h"

#include "log/LogFollower.h"
#include "log/QsoRecord.h"
#include "platform/AtomicFile.h"
#include "platform/SeqFile.h"

#include <QTimer>
#include <algorithm>

BackupWriter::BackupWriter(const LogMirror &mirror, std::function<int()> generation,
                           LogFollower &follower, QObject *parent)
    : QObject(parent), m_mirror(mirror), m_generation(std::move(generation)), m_follower(follower)
{
}

void BackupWriter::start(const QString &path)
{
    if (m_running)
        return;
    m_running = true;
    m_path = path;
    m_text.clear();
    m_next = 1;
    m_startedGeneration = m_generation();
    slice();
}

void BackupWriter::slice()
{
    if (m_generation() != m_startedGeneration) {
        m_text.clear();
        m_next = 1;
        m_startedGeneration = m_generation();
    }
    const int last = std::min(m_mirror.recordCount(), m_next + SliceRecords - 1);
    SeqWriter w;
    for (int n = m_next; n <= last; ++n)
        w.textLine(m_mirror.at(n).values());
    m_text += w.data();
    m_next = last + 1;
    if (m_next <= m_mirror.recordCount()) {
        QTimer::singleShot(0, this, &BackupWriter::slice);
        return;
    }
    m_follower.write(m_path, std::exchange(m_text, QByteArray()), [this](bool ok, const QString &why) {
        m_running = false;
        emit finished(ok, why);
    });
}
