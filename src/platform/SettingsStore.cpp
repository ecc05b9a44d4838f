#include "platform/SettingsStore.h"

#include <QSettings>

namespace {
QSettings &store()
{
    static QSettings s(QSettings::NativeFormat, QSettings::UserScope,
                       QStringLiteral("Tarnwick_Software"), QStringLiteral("Halvern"));
    return s;
}
} // namespace

namespace SettingsStore {

QString get(const QString &key, const QString &defaultValue)
{
    return store().value(QStringLiteral("Settings/") + key, defaultValue).toString();
}

void set(const QString &key, const QString &value)
{
    store().setValue(QStringLiteral("Settings/") + key, value);
    store().sync();
}

} // namespace SettingsStore
