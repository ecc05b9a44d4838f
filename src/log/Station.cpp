#include "log/Station.h"

#include "platform/AtomicFile.h"
#include "platform/SeqFile.h"

#include <QDir>
#include <QFile>
#include <cmath>

namespace Preferences {

QByteArray serialize(const Station &s)
{
    SeqWriter w;
    w.text(s.ownCall).endLine();
    w.text(s.ownGrid).endLine();
    w.number(s.utcOffsetHours).endLine();
    w.text(s.currentMode).endLine();
    w.text(s.currentBand).endLine();
    w.number(s.accumulatedOnSeconds).endLine();
    w.number(s.contestType).endLine();
    w.number(s.recordRst).endLine();
    w.number(s.formSizePercent).endLine();
    w.number(s.roverFlag).endLine();
    w.number(s.longitude).endLine();
    w.number(s.latitude).endLine();
    w.text(s.view).endLine();
    w.number(static_cast<qint64>(s.workedColor)).endLine();
    w.number(static_cast<qint64>(s.remainingColor)).endLine();
    w.text(s.logPath).endLine();
    w.number(s.refreshRateMs).endLine();
    w.number(s.navigationLevel).endLine();
    w.text(s.rig).endLine();
    w.number(s.taskbar).endLine();
    w.number(s.listPrevious).endLine();
    return w.data();
}

namespace {

void readText(SeqReader &r, QString &out)
{
    if (auto v = r.nextText())
        out = *v;
}

template <typename T> void readNumber(SeqReader &r, T &out, double lo, double hi)
{
    if (auto v = r.nextNumber()) {
        if (*v >= lo && *v <= hi)
            out = static_cast<T>(*v);
    }
}

template <typename T> void readInteger(SeqReader &r, T &out, double lo, double hi)
{
    if (auto v = r.nextNumber()) {
        if (*v >= lo && *v <= hi && std::floor(*v) == *v)
            out = static_cast<T>(*v);
    }
}

} // namespace

void parse(const QByteArray &data, Station &s)
{
    SeqReader r(data);
    readText(r, s.ownCall);
    readText(r, s.ownGrid);
    readNumber(r, s.utcOffsetHours, -1e6, 1e6);
    readText(r, s.currentMode);
    readText(r, s.currentBand);
    readNumber(r, s.accumulatedOnSeconds, 0, 1e9);
    readInteger(r, s.contestType, 1, 5);
    readInteger(r, s.recordRst, 0, 255);
    readInteger(r, s.formSizePercent, 30, 100);
    readInteger(r, s.roverFlag, 0, 255);
    readNumber(r, s.longitude, -360, 360);
    readNumber(r, s.latitude, -90, 90);
    readText(r, s.view);
    readInteger(r, s.workedColor, 0, 0xFFFFFF);
    readInteger(r, s.remainingColor, 0, 0xFFFFFF);
    readText(r, s.logPath);
    readNumber(r, s.refreshRateMs, 6000, 60000);
    readInteger(r, s.navigationLevel, 0, 2);
    readText(r, s.rig);
    readInteger(r, s.taskbar, 0, 1);
    readInteger(r, s.listPrevious, 0, 1);
}

bool save(const Station &s, const QString &folder, QString *error)
{
    const QByteArray data = serialize(s);
    return writeFileAtomically(QDir(folder).filePath(FileName), data, error);
}

void load(Station &s, const QString &folder)
{
    QFile f(QDir(folder).filePath(FileName));
    if (!f.open(QIODevice::ReadOnly))
        return;
    parse(f.readAll(), s);
}

} // namespace Preferences

QString safeCallSign(const QString &call)
{
    QString out;
    for (const QChar c : call) {
        if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z'))
            out.append(c);
        else
            break;
    }
    return out.isEmpty() ? QStringLiteral("YourCall") : out;
}
