#pragma once
// The settings registry: a store of keys and typed values with the operations
// and result codes of the desktop platform's registry API. Each hive is one
// REGEDIT4-style text file, rewritten whole (temporary file + rename) under a
// lock file, so a crash or a second running copy never leaves a damaged hive.
//
// HKEY_LOCAL_MACHINE lives in <program folder>/registry/HKEY_LOCAL_MACHINE.reg,
// HKEY_CURRENT_USER in $XDG_CONFIG_HOME/Tarvello/HKEY_CURRENT_USER.reg;
// TARVELLO_REGISTRY_DIR, when set, holds both.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform::reg {

using HKEY = std::uint32_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;

// Value types
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;

// Access rights
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr std::uint32_t KEY_READ = 0x20019;
inline constexpr std::uint32_t KEY_WRITE = 0x20006;
inline constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;

// Result codes
inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_ACCESS_DENIED = 5;
inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_BAD_NETPATH = 53;
inline constexpr long ERROR_INVALID_PARAMETER = 87;
inline constexpr long ERROR_MORE_DATA = 234;
inline constexpr long ERROR_NO_MORE_ITEMS = 259;
inline constexpr long ERROR_KEY_DELETED = 1018;
inline constexpr long ERROR_WRITE_FAULT = 29;

long RegOpenKeyEx(HKEY root, const QString& subKey, std::uint32_t access, HKEY* result);
// Creates every missing key on the path; opens the key when it exists already.
// Key and value names the hive file cannot hold (a line break in them) are
// refused with ERROR_INVALID_PARAMETER, here and in RegSetValueEx.
long RegCreateKeyEx(HKEY root, const QString& subKey, std::uint32_t access, HKEY* result);
// Deletes a key that has no sub-keys.
long RegDeleteKey(HKEY root, const QString& subKey);
long RegDeleteValue(HKEY key, const QString& valueName);
// Reads a value into `data`, whose size on entry is the buffer's capacity.
// `cbData` receives the value's size; when it exceeds the capacity the result
// is ERROR_MORE_DATA and nothing is copied.
long RegQueryValueEx(HKEY key, const QString& valueName, std::uint32_t* type, QByteArray* data,
                     std::uint32_t* cbData);
long RegSetValueEx(HKEY key, const QString& valueName, std::uint32_t type, const QByteArray& data);
long RegEnumKeyEx(HKEY key, std::uint32_t index, QString* name);
long RegEnumValue(HKEY key, std::uint32_t index, QString* name, std::uint32_t* type,
                  QByteArray* data, std::uint32_t* cbData);
long RegCloseKey(HKEY key);
// There is no remote registry here: the connection always fails.
long RegConnectRegistry(const QString& machine, HKEY root, HKEY* result);

// Replaces %NAME% references with the environment's values; unknown names stay.
QString ExpandEnvironmentStrings(const QString& text);

// Where each hive's file lives.
QString HiveFilePath(HKEY root);
// Portable use: when TARVELLO_REGISTRY_DIR names a folder that holds no
// machine hive yet, the program folder's installed hive is copied there (the
// folder is made when missing), so it starts from the values of a new
// install. An existing hive is never replaced. True when a copy was made.
bool SeedPortableMachineHive();
// Drops cached hive contents, so the next access reads the files again.
void ResetCache();

// ---- The hive file format (exposed for tests) ----
struct RegValue {
    QString name;
    std::uint32_t type = REG_SZ;
    QByteArray data;
};

struct RegKey {
    QString name;
    std::vector<std::unique_ptr<RegKey>> children; // sorted by name, case-insensitively
    std::vector<RegValue> values;                  // in the order they were first set

    RegKey* child(const QString& n) const;
    RegKey* addChild(const QString& n);
    bool removeChild(const QString& n);
    RegValue* value(const QString& n);
    std::unique_ptr<RegKey> clone() const;
};

// Parses REGEDIT4 text; what cannot be parsed is listed in `errors` and skipped.
std::unique_ptr<RegKey> ParseHive(const QByteArray& text, const QString& rootName, QStringList* errors);
QByteArray SerializeHive(const RegKey& root, const QString& rootName);

} // namespace platform::reg
