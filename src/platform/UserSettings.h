#pragma once
// Per-user settings by application, section and key, kept in the current
// user's registry under "Software\VB and VBA Program Settings".
#include <QString>

namespace platform {

// The stored text, or `defaultValue` when the setting is missing.
QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue = QString());
// Stores the text, creating the application's section when needed; false when it could not be written.
bool SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value);

} // namespace platform
