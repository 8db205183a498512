#pragma once
// Typed access to the values of one registry key: point it at a key with
// hkey, KeyRoot and Subkey, then read and write values by name.
#include "platform/Registry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>

class RegistryRoutines {
public:
    platform::reg::HKEY hkey = 0;
    QString KeyRoot;
    QString Subkey;

    bool KeyExists() const;
    // The platform's result code as decimal text, "0" on success.
    QString CreateKey(const QVariant& KeyName = QVariant()) const;
    std::int32_t DeleteKey(const QString& KeyName) const;
    std::int32_t DeleteValue(const QString& ValueName) const;
    QStringList EnumRegistryKeys(platform::reg::HKEY root, const QString& KeyName) const;
    QStringList EnumRegistryValues(platform::reg::HKEY root, const QString& KeyName) const;
    // Empty (an invalid QVariant), a QString, an int or a QByteArray.
    QVariant GetRegistryValue(const QString& ValueName, const QVariant& DefaultValue = QVariant()) const;
    bool SetRegistryValue(const QString& ValueName, const QVariant& value, std::int32_t DType) const;
    QVariant ReadRemoteRegistryValue(const QString& sRemoteComputer, platform::reg::HKEY root,
                                     const QString& ValueName, const QString& KeyPath = QString()) const;
    bool WriteRemoteRegistryValue(const QString& sRemoteComputer, platform::reg::HKEY root,
                                  const QString& ValueName, const QVariant& value, std::int32_t DType,
                                  const QString& KeyPath = QString()) const;
    static QString TrimNull(QString& item);

private:
    QString keyPath() const { return KeyRoot + "\\" + Subkey; }
};
