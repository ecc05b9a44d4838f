#include "platform/WavePlayer.h"

#include "platform/AudioPlayer.h"
#include "platform/WholeFile.h"

#include <QFile>
#include <QtEndian>

namespace {
WavePlayer::Factory &factory()
{
    static WavePlayer::Factory f;
    return f;
}
} // namespace

std::unique_ptr<WavePlayer> WavePlayer::create(Output output)
{
    if (factory())
        return factory()(output);
    return std::make_unique<AudioPlayer>(output);
}

void WavePlayer::setFactory(Factory f) { factory() = std::move(f); }

std::optional<qint64> waveDurationMs(const QString &path)
{
    // Only a regular file is opened: a pipe or device named as a message
    // must not block the window.
    if (path.trimmed().isEmpty() || !WholeFile::isReadable(path, WholeFile::NoLimit))
        return std::nullopt;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = f.read(12);
    if (head.size() != 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return std::nullopt;
    quint32 byteRate = 0;
    // Chunks follow one another, each padded to an even length.
    qint64 pos = 12;
    for (int chunks = 0; chunks < 64; ++chunks) {
        if (!f.seek(pos))
            return std::nullopt;
        const QByteArray h = f.read(8);
        if (h.size() != 8)
            return std::nullopt;
        const quint32 size = qFromLittleEndian<quint32>(h.constData() + 4);
        if (h.startsWith("fmt ")) {
            const QByteArray fmt = f.read(16);
            if (fmt.size() != 16)
                return std::nullopt;
            byteRate = qFromLittleEndian<quint32>(fmt.constData() + 8);
        } else if (h.startsWith("data")) {
            if (byteRate == 0)
                return std::nullopt;
            // A writer that never came back to fill in the size leaves it at
            // the largest value: the rest of the file is the data then.
            const qint64 bytes = std::min<qint64>(size, f.size() - pos - 8);
            return bytes * 1000 / byteRate;
        }
        pos += 8 + qint64(size) + (size & 1);
    }
    return std::nullopt;
}
