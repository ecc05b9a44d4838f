#include "support/Waves.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QtEndian>
#include <cmath>

bool writeWave(const QString &path, int ms, int toneHz, int sampleRate)
{
    const qint64 samples = qint64(sampleRate) * ms / 1000;
    QByteArray data(samples * 2, '\0');
    for (qint64 i = 0; toneHz && i < samples; ++i) {
        const auto v = qint16(std::lround(12000 * std::sin(2 * M_PI * toneHz * double(i) / sampleRate)));
        qToLittleEndian<qint16>(v, data.data() + 2 * i);
    }
    QByteArray head(44, '\0');
    char *h = head.data();
    memcpy(h, "RIFF", 4);
    qToLittleEndian<quint32>(quint32(36 + data.size()), h + 4);
    memcpy(h + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, h + 16);
    qToLittleEndian<quint16>(1, h + 20); // PCM
    qToLittleEndian<quint16>(1, h + 22); // mono
    qToLittleEndian<quint32>(quint32(sampleRate), h + 24);
    qToLittleEndian<quint32>(quint32(sampleRate * 2), h + 28);
    qToLittleEndian<quint16>(2, h + 32);
    qToLittleEndian<quint16>(16, h + 34);
    memcpy(h + 36, "data", 4);
    qToLittleEndian<quint32>(quint32(data.size()), h + 40);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(head + data) == head.size() + data.size();
}

void FakeWavePlayer::play(const QString &path)
{
    playing = false;
    played << path;
    playing = true;
    if (log)
        *log << QStringLiteral("play ") + QFileInfo(path).fileName();
    const int generation = ++m_generation;
    if (endAfterMs >= 0)
        QTimer::singleShot(endAfterMs, this, [this, generation] {
            if (generation == m_generation)
                reachEnd();
        });
    emit started();
}

void FakeWavePlayer::stop()
{
    if (!playing)
        return;
    if (log)
        *log << QStringLiteral("stop");
    end(QString());
}

void FakeWavePlayer::end(const QString &why)
{
    if (!playing)
        return;
    playing = false;
    emit ended(why);
}

void useSilentPlayers()
{
    WavePlayer::setFactory([](WavePlayer::Output) {
        auto player = std::make_unique<FakeWavePlayer>();
        player->endAfterMs = 0;
        return player;
    });
}
