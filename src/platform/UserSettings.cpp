#include "platform/UserSettings.h"

#include "platform/Registry.h"
#include "platform/TextCodec.h"

namespace platform {

using namespace reg;

namespace {
QString sectionKey(const QString& appName, const QString& section)
{
    return "Software\\VB and VBA Program Settings\\" + appName + "\\" + section;
}
} // namespace

QString GetSetting(const QString& appName, const QString& section, const QString& key, const QString& defaultValue)
{
    HKEY hkey = 0;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, sectionKey(appName, section), KEY_READ, &hkey) != ERROR_SUCCESS)
        return defaultValue;
    std::uint32_t type = 0, size = 0;
    QByteArray data;
    long rc = RegQueryValueEx(hkey, key, &type, &data, &size);
    if (rc == ERROR_MORE_DATA) {
        data.resize(int(size));
        rc = RegQueryValueEx(hkey, key, &type, &data, &size);
    }
    RegCloseKey(hkey);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return defaultValue;
    QByteArray text = data.left(int(size));
    if (text.endsWith('\0')) text.chop(1);
    return DecodeText(text);
}

bool SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value)
{
    HKEY hkey = 0;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, sectionKey(appName, section), KEY_WRITE, &hkey) != ERROR_SUCCESS)
        return false;
    QByteArray data = EncodeText(value);
    data.append('\0');
    const long rc = RegSetValueEx(hkey, key, REG_SZ, data);
    RegCloseKey(hkey);
    return rc == ERROR_SUCCESS;
}

} // namespace platform
