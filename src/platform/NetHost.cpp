#include "platform/NetHost.h"

#include <QHostInfo>

QString SystemNetHost::localName() const
{
    const QString named = qEnvironmentVariable("HALVERN_HOST_NAME").trimmed();
    return named.isEmpty() ? QHostInfo::localHostName() : named;
}

QString SystemNetHost::addressOf(const QString &host) const
{
    const QStringList pairs = qEnvironmentVariable("HALVERN_HOST_ADDRESSES").split(u',', Qt::SkipEmptyParts);
    for (const QString &pair : pairs) {
        const QString name = pair.section(u'=', 0, 0).trimmed();
        if (name.compare(host, Qt::CaseInsensitive) == 0)
            return pair.section(u'=', 1).trimmed();
    }
    return host;
}
