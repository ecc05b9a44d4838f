#include "platform/SerialPorts.h"

#include "platform/SettingsStore.h"

#include <QDir>
#include <QSerialPortInfo>

namespace {
QString key(int portNumber) { return QStringLiteral("SerialPort%1").arg(portNumber); }
} // namespace

namespace SerialPorts {

QString devicePath(int portNumber)
{
    const QString mapped = SettingsStore::get(key(portNumber)).trimmed();
    if (!mapped.isEmpty())
        return mapped;
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
}

void mapPort(int portNumber, const QString &device)
{
    SettingsStore::set(key(portNumber), device.trimmed());
}

QStringList existingDevices()
{
    QStringList out;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &fi : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        out.append(fi.absoluteFilePath());
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        if (!out.contains(info.systemLocation()))
            out.append(info.systemLocation());
    return out;
}

} // namespace SerialPorts
