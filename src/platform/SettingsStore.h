#pragma once
// The per-user settings store: small values that prefill fields (the user's
// call, the entry's address lines), kept under the maker's name.
#include <QString>

namespace SettingsStore {
QString get(const QString &key, const QString &defaultValue = QString());
void set(const QString &key, const QString &value);
} // namespace SettingsStore
