#include "core/RegistryRoutines.h"

#include "platform/TextCodec.h"
#include "platform/VbCompat.h"

#include <QtEndian>
#include <cmath>
#include <optional>

using namespace platform::reg;

namespace {

QString bytesToText(const QByteArray& b) { return platform::DecodeText(b); }

// Reads a value of an open key and converts it by its type; `result` stays
// unchanged when the value is missing, empty or of an unhandled type.
void readValue(HKEY key, const QString& name, QVariant& result)
{
    std::uint32_t type = 0;
    std::uint32_t size = 1024;
    QByteArray buffer(1024, '\0');
    long rc = RegQueryValueEx(key, name, &type, &buffer, &size);
    if (rc == ERROR_MORE_DATA) {
        buffer.resize(size);
        rc = RegQueryValueEx(key, name, &type, &buffer, &size);
    }
    if (rc != ERROR_SUCCESS) return;
    const int n = int(size);
    switch (type) {
    case REG_SZ:
        if (n != 0) result = bytesToText(buffer.left(n - 1));
        break;
    case REG_EXPAND_SZ:
        if (n != 0) {
            QString text = ExpandEnvironmentStrings(bytesToText(buffer.left(n - 1)));
            RegistryRoutines::TrimNull(text);
            result = text;
        }
        break;
    case REG_BINARY: result = buffer.left(n); break;
    case REG_DWORD: {
        QByteArray four = buffer.left(std::min(n, 4));
        four.append(QByteArray(4 - four.size(), '\0'));
        result = qFromLittleEndian<qint32>(four.constData());
        break;
    }
    case REG_MULTI_SZ:
        if (n >= 2) {
            QString text = bytesToText(buffer.left(n - 2));
            if (!text.section(QChar(0), 0, 0).isEmpty()) result = text;
        }
        break;
    default: break;
    }
}

std::optional<QString> toText(const QVariant& v)
{
    if (!v.isValid() || v.isNull()) return QString();
    switch (v.typeId()) {
    case QMetaType::QString: return v.toString();
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float: return platform::RealToText(v.toDouble());
    case QMetaType::QByteArray: return bytesToText(v.toByteArray());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::Char: return v.toString();
    default: return std::nullopt;
    }
}

std::optional<qint32> toLong(const QVariant& v)
{
    if (!v.isValid() || v.isNull()) return 0;
    double d = 0;
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? -1 : 0;
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        d = v.toString().trimmed().toDouble(&ok);
        if (!ok) return std::nullopt;
    } else if (v.canConvert<double>() && v.typeId() != QMetaType::QByteArray) {
        bool ok = false;
        d = v.toDouble(&ok);
        if (!ok) return std::nullopt;
    } else {
        return std::nullopt;
    }
    d = std::nearbyint(d);
    if (d > 2147483647.0 || d < -2147483648.0) return std::nullopt;
    return qint32(d);
}

// Converts and writes one value to an open key; nullopt when the value does
// not convert to the type asked for, or the type is not one the class writes.
std::optional<long> writeValue(HKEY key, const QString& name, const QVariant& value, std::int32_t dtype)
{
    QByteArray data;
    switch (dtype) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ: {
        auto text = toText(value);
        if (!text) return std::nullopt;
        data = platform::EncodeText(*text);
        data.append('\0');
        if (dtype == REG_MULTI_SZ) data.append('\0');
        break;
    }
    case REG_BINARY:
        if (value.typeId() == QMetaType::QByteArray)
            data = value.toByteArray();
        else if (value.typeId() == QMetaType::QString)
            data = platform::EncodeText(value.toString());
        else
            return std::nullopt;
        break;
    case REG_DWORD: {
        auto n = toLong(value);
        if (!n) return std::nullopt;
        data.resize(4);
        qToLittleEndian(*n, data.data());
        break;
    }
    default: return std::nullopt;
    }
    return RegSetValueEx(key, name, std::uint32_t(dtype), data);
}

} // namespace

bool RegistryRoutines::KeyExists() const
{
    HKEY key = 0;
    if (RegOpenKeyEx(hkey, keyPath(), KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

QString RegistryRoutines::CreateKey(const QVariant& KeyName) const
{
    QString name = KeyName.isValid() ? toText(KeyName).value_or(QString()) : Subkey;
    HKEY key = 0;
    long rc = RegCreateKeyEx(hkey, KeyRoot + "\\" + name, KEY_ALL_ACCESS, &key);
    if (rc == ERROR_SUCCESS) RegCloseKey(key);
    return QString::number(rc);
}

std::int32_t RegistryRoutines::DeleteKey(const QString& KeyName) const
{
    return std::int32_t(RegDeleteKey(hkey, KeyRoot + "\\" + KeyName));
}

std::int32_t RegistryRoutines::DeleteValue(const QString& ValueName) const
{
    HKEY key = 0;
    long rc = RegOpenKeyEx(hkey, keyPath(), KEY_ALL_ACCESS, &key);
    if (rc != ERROR_SUCCESS) return std::int32_t(rc);
    rc = RegDeleteValue(key, ValueName);
    RegCloseKey(key);
    return std::int32_t(rc);
}

QStringList RegistryRoutines::EnumRegistryKeys(HKEY root, const QString& KeyName) const
{
    QStringList names;
    HKEY key = root;
    if (!KeyName.isEmpty() && RegOpenKeyEx(root, KeyName, KEY_READ, &key) != ERROR_SUCCESS) return names;
    QString name;
    for (std::uint32_t i = 0; RegEnumKeyEx(key, i, &name) == ERROR_SUCCESS; ++i) names << TrimNull(name);
    if (key != root) RegCloseKey(key);
    return names;
}

QStringList RegistryRoutines::EnumRegistryValues(HKEY root, const QString& KeyName) const
{
    QStringList names;
    HKEY key = root;
    if (!KeyName.isEmpty() && RegOpenKeyEx(root, KeyName, KEY_READ, &key) != ERROR_SUCCESS) return names;
    QByteArray data(4096, '\0');
    for (std::uint32_t i = 0;; ++i) {
        QString name;
        std::uint32_t type = 0, size = 0;
        long rc = RegEnumValue(key, i, &name, &type, &data, &size);
        if (rc == ERROR_MORE_DATA) {
            data.resize(size);
            rc = RegEnumValue(key, i, &name, &type, &data, &size);
        }
        if (rc != ERROR_SUCCESS) break;
        names << TrimNull(name);
    }
    if (key != root) RegCloseKey(key);
    return names;
}

QVariant RegistryRoutines::GetRegistryValue(const QString& ValueName, const QVariant& DefaultValue) const
{
    QVariant result = DefaultValue;
    HKEY key = 0;
    if (RegOpenKeyEx(hkey, keyPath(), KEY_READ, &key) != ERROR_SUCCESS) return result;
    readValue(key, ValueName, result);
    RegCloseKey(key);
    return result;
}

bool RegistryRoutines::SetRegistryValue(const QString& ValueName, const QVariant& value, std::int32_t DType) const
{
    HKEY key = 0;
    if (RegOpenKeyEx(hkey, keyPath(), KEY_WRITE, &key) != ERROR_SUCCESS) return false;
    auto rc = writeValue(key, ValueName, value, DType);
    RegCloseKey(key);
    return rc && *rc == ERROR_SUCCESS;
}

QVariant RegistryRoutines::ReadRemoteRegistryValue(const QString& sRemoteComputer, HKEY root,
                                                   const QString& ValueName, const QString& KeyPath) const
{
    HKEY remote = 0;
    if (RegConnectRegistry(sRemoteComputer, root, &remote) != ERROR_SUCCESS) return QStringLiteral("Error!");
    QVariant result;
    HKEY key = 0;
    if (RegOpenKeyEx(remote, KeyPath.isEmpty() ? keyPath() : KeyPath, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        readValue(key, ValueName, result);
        RegCloseKey(key);
    }
    RegCloseKey(remote);
    return result;
}

bool RegistryRoutines::WriteRemoteRegistryValue(const QString& sRemoteComputer, HKEY root, const QString& ValueName,
                                                const QVariant& value, std::int32_t DType,
                                                const QString& KeyPath) const
{
    HKEY remote = 0;
    if (RegConnectRegistry(sRemoteComputer, root, &remote) != ERROR_SUCCESS) return false;
    bool ok = false;
    HKEY key = 0;
    if (RegOpenKeyEx(remote, KeyPath.isEmpty() ? keyPath() : KeyPath, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        auto rc = writeValue(key, ValueName, value, DType);
        ok = rc && *rc == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    RegCloseKey(remote);
    return ok;
}

QString RegistryRoutines::TrimNull(QString& item)
{
    int pos = item.indexOf(QChar(0));
    if (pos >= 0 && pos < 32767) item.truncate(pos); // the position is kept in a 16-bit count
    return item;
}
