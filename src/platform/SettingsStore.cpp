#include "platform/SettingsStore.h"

#include <QSettings>

namespace {
QSettings &store()
{
    // One store for all of the maker's programs, so that they share what the
    // user entered once (the call, the address of the entry).
    static QSettings s(QSettings::NativeFormat, QSettings::UserScope,
                       QStringLiteral("Tarnwick_Software"), QStringLiteral("Tarnwick_Software"));
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
