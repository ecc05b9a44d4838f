#pragma once
// Contest logs for the benchmarks: 3,000 grids over all seventeen bands,
// written once per size into a folder that outlives the run
// (HALVERN_BENCH_DIR, or /var/tmp/halvern-bench) so that a log of a million
// contacts is built only once, and copied for each benchmark that changes it.
#include "log/Bands.h"
#include "log/LogStore.h"
#include "platform/LogEngine.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <fstream>
#include <random>
#include <string>

namespace BenchLog {

inline const QDateTime ContestStart(QDate(2026, 6, 13), QTime(18, 0), Qt::UTC);
constexpr qint64 ContestSeconds = 33 * 3600;

inline QString randomCall(std::mt19937 &rng)
{
    static const char *prefixes[] = {"W", "K", "N", "AA", "KB", "WA", "KD", "VE", "N0", "AB"};
    std::uniform_int_distribution<int> prefix(0, 9), digit(0, 9), length(1, 3), letter(0, 25);
    QString call = QString::fromLatin1(prefixes[prefix(rng)]);
    if (!call.back().isDigit())
        call += QChar('0' + digit(rng));
    const int n = length(rng);
    for (int i = 0; i < n; ++i)
        call += QChar('A' + letter(rng));
    return call;
}

// 3,000 grids: thirty fields across North America, a hundred squares each.
inline const QStringList &gridPool()
{
    static const QStringList grids = [] {
        QStringList g;
        for (char f1 = 'C'; f1 <= 'H'; ++f1)
            for (char f2 = 'L'; f2 <= 'P'; ++f2)
                for (int sq = 0; sq < 100; ++sq)
                    g.append(QString(QChar(f1)) + QChar(f2) + QString::asprintf("%02d", sq));
        return g;
    }();
    return grids;
}

// Contact i of a log of count contacts spread over the contest's 33 hours.
class Generator {
public:
    explicit Generator(int count) : m_count(count), m_rng(20260613u + static_cast<unsigned>(count)) {}
    QsoRecord next()
    {
        static std::discrete_distribution<int> band(
            {30, 30, 10, 15, 4, 4, 1, 1, 1, 1, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5});
        static const QStringList ownGrids{"FN20", "FN20", "FN20", "FN21", "FN31", "FN30"};
        std::uniform_int_distribution<int> grid(0, static_cast<int>(gridPool().size()) - 1);
        std::uniform_int_distribution<int> own(0, static_cast<int>(ownGrids.size()) - 1);
        std::bernoulli_distribution cw(0.4);
        const QDateTime t = ContestStart.addSecs(qint64(m_i++) * ContestSeconds / m_count);
        const bool isCw = cw(m_rng);
        QsoRecord r;
        r.calls = randomCall(m_rng);
        r.rstr = isCw ? QStringLiteral("599") : QStringLiteral("59");
        r.gridr = gridPool()[grid(m_rng)];
        r.rsts = r.rstr;
        r.grids = ownGrids[own(m_rng)];
        r.flddate = t.toString(QStringLiteral("yyyy/MM/dd"));
        r.fldtime = t.toString(QStringLiteral("HH:mm:ss"));
        r.uband = Bands::label(band(m_rng));
        r.umode = isCw ? QStringLiteral("CW") : QStringLiteral("PH");
        return r;
    }

private:
    int m_count;
    qint64 m_i = 0;
    std::mt19937 m_rng;
};

inline QString folder()
{
    const QString dir = qEnvironmentVariable("HALVERN_BENCH_DIR", QStringLiteral("/var/tmp/halvern-bench"));
    QDir().mkpath(dir);
    return dir;
}

// The log of count contacts, built at its first use.
inline QString logFile(int count)
{
    const QString path = QDir(folder()).filePath(QStringLiteral("Halvern-%1.MDB").arg(count));
    if (QFileInfo::exists(path))
        return path;
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    QString error;
    if (!LogEngine::createEmpty(building, &error))
        qFatal("cannot create %s: %s", qPrintable(building), qPrintable(error));
    {
        LogStore store;
        if (!store.open(building, &error))
            qFatal("cannot open %s: %s", qPrintable(building), qPrintable(error));
        store.engine().exec(QStringLiteral("PRAGMA synchronous=OFF"));
        store.engine().beginWrite();
        Generator g(count);
        for (int i = 0; i < count; ++i)
            if (!store.insert(g.next(), &error))
                qFatal("insert failed: %s", qPrintable(error));
        if (!store.engine().commit(&error))
            qFatal("commit failed: %s", qPrintable(error));
    }
    QFile::rename(building, path);
    return path;
}

// A copy of the log of count contacts that a benchmark may change.
inline QString workingCopy(int count, const QString &name)
{
    const QString src = logFile(count);
    const QString dst = QDir(folder()).filePath(name + QStringLiteral("-%1.MDB").arg(count));
    QFile::remove(dst);
    QFile::remove(dst + QStringLiteral("-journal"));
    if (!QFile::copy(src, dst))
        qFatal("cannot copy %s", qPrintable(src));
    QFile::setPermissions(dst, QFile::ReadOwner | QFile::WriteOwner);
    return dst;
}

// The process's resident memory now and at its peak, in bytes.
inline qint64 statusBytes(const char *key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string k = std::string(key) + ":";
    while (std::getline(in, line))
        if (line.rfind(k, 0) == 0)
            return std::stoll(line.substr(k.size())) * 1024;
    return 0;
}

} // namespace BenchLog
