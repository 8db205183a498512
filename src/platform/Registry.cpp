#include "platform/Registry.h"

#include "platform/AppInfo.h"
#include "platform/SaveFile.h"
#include "platform/TextCodec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <sys/stat.h>

namespace platform::reg {

// ---------------------------------------------------------------- key tree

namespace {
int compareNames(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive); }
} // namespace

RegKey* RegKey::child(const QString& n) const
{
    auto it = std::lower_bound(children.begin(), children.end(), n,
                               [](const auto& c, const QString& v) { return compareNames(c->name, v) < 0; });
    return (it != children.end() && compareNames((*it)->name, n) == 0) ? it->get() : nullptr;
}

RegKey* RegKey::addChild(const QString& n)
{
    if (RegKey* existing = child(n)) return existing;
    auto it = std::lower_bound(children.begin(), children.end(), n,
                               [](const auto& c, const QString& v) { return compareNames(c->name, v) < 0; });
    auto k = std::make_unique<RegKey>();
    k->name = n;
    return children.insert(it, std::move(k))->get();
}

bool RegKey::removeChild(const QString& n)
{
    auto it = std::find_if(children.begin(), children.end(),
                           [&](const auto& c) { return compareNames(c->name, n) == 0; });
    if (it == children.end()) return false;
    children.erase(it);
    return true;
}

RegValue* RegKey::value(const QString& n)
{
    auto it = std::find_if(values.begin(), values.end(), [&](const RegValue& v) { return compareNames(v.name, n) == 0; });
    return it == values.end() ? nullptr : &*it;
}

std::unique_ptr<RegKey> RegKey::clone() const
{
    auto k = std::make_unique<RegKey>();
    k->name = name;
    k->values = values;
    for (const auto& c : children) k->children.push_back(c->clone());
    return k;
}

// ---------------------------------------------------------------- file format

namespace {

const char* kHeader = "REGEDIT4";

QString quote(const QString& s)
{
    QString out = "\"";
    for (QChar c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

bool isPlainString(const QByteArray& data)
{
    if (data.isEmpty() || data.back() != '\0') return false;
    QByteArray body = data.left(data.size() - 1);
    for (char c : body)
        if (static_cast<unsigned char>(c) < 0x20) return false;
    auto decoder = QStringDecoder(QStringDecoder::Utf8);
    QString s = decoder(body);
    return !decoder.hasError() && s.toUtf8() == body;
}

QString hexBytes(const QByteArray& data)
{
    QStringList parts;
    parts.reserve(data.size());
    for (char c : data) parts << QString::asprintf("%02x", static_cast<unsigned char>(c));
    return parts.join(',');
}

QString encodeValue(const RegValue& v)
{
    QString name = v.name.isEmpty() ? QStringLiteral("@") : quote(v.name);
    QString data;
    if (v.type == REG_SZ && isPlainString(v.data))
        data = quote(QString::fromUtf8(v.data.left(v.data.size() - 1)));
    else if (v.type == REG_DWORD && v.data.size() == 4)
        data = QString::asprintf("dword:%08x", qFromLittleEndian<quint32>(v.data.constData()));
    else if (v.type == REG_BINARY)
        data = "hex:" + hexBytes(v.data);
    else
        data = QString::asprintf("hex(%x):", v.type) + hexBytes(v.data);
    return name + "=" + data;
}

void serializeKey(const RegKey& key, const QString& path, bool isRoot, QByteArray& out)
{
    if (!isRoot || !key.values.empty()) {
        out += ("[" + path + "]\r\n").toUtf8();
        for (const auto& v : key.values) out += (encodeValue(v) + "\r\n").toUtf8();
        out += "\r\n";
    }
    for (const auto& c : key.children) serializeKey(*c, path + "\\" + c->name, false, out);
}

// Reads a quoted string starting at s[pos] == '"'; returns false when unterminated.
bool readQuoted(const QString& s, int& pos, QString* out)
{
    out->clear();
    for (++pos; pos < s.size(); ++pos) {
        QChar c = s[pos];
        if (c == '\\' && pos + 1 < s.size()) {
            out->append(s[++pos]);
        } else if (c == '"') {
            ++pos;
            return true;
        } else {
            out->append(c);
        }
    }
    return false;
}

bool parseHexList(const QString& text, QByteArray* out)
{
    out->clear();
    QString t = text.trimmed();
    if (t.isEmpty()) return true;
    for (const QString& part : t.split(',')) {
        bool ok = false;
        int b = part.trimmed().toInt(&ok, 16);
        if (!ok || b < 0 || b > 255) return false;
        out->append(char(b));
    }
    return true;
}

bool parseData(const QString& text, RegValue* v)
{
    if (text.startsWith('"')) {
        int pos = 0;
        QString s;
        if (!readQuoted(text, pos, &s) || !text.mid(pos).trimmed().isEmpty()) return false;
        v->type = REG_SZ;
        v->data = s.toUtf8();
        v->data.append('\0');
        return true;
    }
    if (text.startsWith("dword:", Qt::CaseInsensitive)) {
        bool ok = false;
        quint32 n = text.mid(6).trimmed().toUInt(&ok, 16);
        if (!ok) return false;
        v->type = REG_DWORD;
        v->data.resize(4);
        qToLittleEndian(n, v->data.data());
        return true;
    }
    if (text.startsWith("hex:", Qt::CaseInsensitive)) {
        v->type = REG_BINARY;
        return parseHexList(text.mid(4), &v->data);
    }
    if (text.startsWith("hex(", Qt::CaseInsensitive)) {
        int close = text.indexOf("):");
        if (close < 0) return false;
        bool ok = false;
        v->type = text.mid(4, close - 4).toUInt(&ok, 16);
        return ok && parseHexList(text.mid(close + 2), &v->data);
    }
    return false;
}

QString decodeFileText(const QByteArray& bytes) { return DecodeText(bytes); }

} // namespace

std::unique_ptr<RegKey> ParseHive(const QByteArray& text, const QString& rootName, QStringList* errors)
{
    auto root = std::make_unique<RegKey>();
    root->name = rootName;
    QStringList lines = decodeFileText(text).split('\n');
    RegKey* current = nullptr;
    bool headerSeen = false;
    auto fail = [&](int lineNo, const QString& what) {
        if (errors) errors->append(QString("line %1: %2").arg(lineNo).arg(what));
    };

    for (int i = 0; i < lines.size(); ++i) {
        int lineNo = i + 1;
        QString line = lines[i];
        if (line.endsWith('\r')) line.chop(1);
        // Continuation lines of long hex data end with a backslash.
        while (line.endsWith('\\') && !line.trimmed().startsWith('[') && i + 1 < lines.size()) {
            QString next = lines[++i];
            if (next.endsWith('\r')) next.chop(1);
            line = line.left(line.size() - 1) + next.trimmed();
        }
        QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(';')) continue;
        if (!headerSeen) {
            headerSeen = true;
            if (trimmed == kHeader || trimmed == "Windows Registry Editor Version 5.00") continue;
            fail(lineNo, "missing REGEDIT4 header");
        }
        if (trimmed.startsWith('[')) {
            current = nullptr;
            if (!trimmed.endsWith(']')) {
                fail(lineNo, "unterminated key name");
                continue;
            }
            QStringList parts = trimmed.mid(1, trimmed.size() - 2).split('\\', Qt::SkipEmptyParts);
            if (parts.isEmpty() || compareNames(parts.first(), rootName) != 0) {
                fail(lineNo, "key outside " + rootName);
                continue;
            }
            current = root.get();
            for (int p = 1; p < parts.size(); ++p) current = current->addChild(parts[p]);
            continue;
        }
        if (!current) {
            fail(lineNo, "value outside a key");
            continue;
        }
        RegValue v;
        int pos = 0;
        if (trimmed.startsWith('@')) {
            pos = 1;
        } else if (!trimmed.startsWith('"') || !readQuoted(trimmed, pos, &v.name)) {
            fail(lineNo, "bad value name");
            continue;
        }
        if (pos >= trimmed.size() || trimmed[pos] != '=' || !parseData(trimmed.mid(pos + 1).trimmed(), &v)) {
            fail(lineNo, "bad value data");
            continue;
        }
        if (RegValue* existing = current->value(v.name)) {
            existing->type = v.type;
            existing->data = v.data;
        } else {
            current->values.push_back(v);
        }
    }
    return root;
}

QByteArray SerializeHive(const RegKey& root, const QString& rootName)
{
    QByteArray out = QByteArray(kHeader) + "\r\n\r\n";
    serializeKey(root, rootName, true, out);
    return out;
}

// ---------------------------------------------------------------- hives on disk

namespace {

struct FileStamp {
    bool exists = false;
    qint64 size = 0, mtimeNs = 0, inode = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {true, qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, qint64(st.st_ino)};
}

struct Hive {
    HKEY root;
    QString rootName;
    QString path;
    std::unique_ptr<RegKey> tree;
    FileStamp stamp;
    bool loaded = false;
    bool damaged = false;
    bool damageReported = false;
    bool unreadable = false; // the file exists but could not be read
};

struct OpenKey {
    HKEY root;
    QStringList path;
    std::uint32_t access;
};

struct State {
    std::map<HKEY, Hive> hives;
    std::map<HKEY, OpenKey> handles;
    HKEY nextHandle = 0x1000;
};

State& state()
{
    static State s;
    return s;
}

QString rootNameOf(HKEY root)
{
    switch (root) {
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    default: return {};
    }
}

Hive* hiveFor(HKEY root)
{
    QString name = rootNameOf(root);
    if (name.isEmpty()) return nullptr;
    auto& hives = state().hives;
    auto it = hives.find(root);
    QString path = HiveFilePath(root);
    if (it == hives.end() || it->second.path != path) {
        Hive h;
        h.root = root;
        h.rootName = name;
        h.path = path;
        it = hives.insert_or_assign(root, std::move(h)).first;
    }
    return &it->second;
}

void loadHive(Hive& h, bool force)
{
    FileStamp now = stampOf(h.path);
    if (h.loaded && !force && now == h.stamp) return;
    QStringList errors;
    QByteArray bytes;
    h.unreadable = false;
    if (now.exists) {
        QFile f(h.path);
        if (f.open(QIODevice::ReadOnly)) {
            bytes = f.readAll();
        } else {
            h.unreadable = true;
            errors << "cannot be read: " + f.errorString();
        }
    }
    h.tree = ParseHive(bytes, h.rootName, &errors);
    h.stamp = now;
    h.loaded = true;
    h.damaged = !errors.isEmpty();
    if (h.damaged && !h.damageReported) {
        h.damageReported = true;
        std::fprintf(stderr, "Tarvello: settings file %s is damaged; reading what can be read (%s)\n",
                     qPrintable(h.path), qPrintable(errors.join("; ")));
    }
}

// Keeps a copy of a damaged hive file before the first rewrite, so nothing is
// lost silently; false when no copy could be made (the file must then stay).
bool backUpDamaged(Hive& h)
{
    if (!h.damaged || !QFile::exists(h.path)) return true;
    QString copy = h.path + ".damaged-" + QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
    if (!QFile::copy(h.path, copy)) {
        std::fprintf(stderr, "Tarvello: the damaged settings file %s could not be copied; it is left as it is\n",
                     qPrintable(h.path));
        return false;
    }
    std::fprintf(stderr, "Tarvello: the damaged settings file was kept as %s\n", qPrintable(copy));
    h.damaged = false;
    return true;
}

RegKey* findKey(RegKey* from, const QStringList& path)
{
    RegKey* k = from;
    for (const QString& p : path) {
        if (!k) return nullptr;
        k = k->child(p);
    }
    return k;
}

QStringList splitPath(const QString& subKey) { return subKey.split('\\', Qt::SkipEmptyParts); }

// Whether the hive file can hold a key or value name so that it reads back
// the same: it is written on one line, as UTF-8.
bool isStorableName(const QString& name)
{
    return !name.contains('\n') && !name.contains('\r') && QString::fromUtf8(name.toUtf8()) == name;
}

// Resolves a handle (a predefined root or an opened key) to its hive and path.
long resolve(HKEY handle, Hive** hive, QStringList* path, std::uint32_t* access)
{
    auto& handles = state().handles;
    if (auto it = handles.find(handle); it != handles.end()) {
        *hive = hiveFor(it->second.root);
        *path = it->second.path;
        *access = it->second.access;
    } else {
        *hive = hiveFor(handle);
        path->clear();
        *access = KEY_ALL_ACCESS;
    }
    return *hive ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

// Runs a change on a freshly read hive under the lock file and writes the
// hive back when the change says it changed something.
long mutate(Hive& h, const std::function<long(RegKey& root, bool* changed)>& change)
{
    QDir().mkpath(QFileInfo(h.path).absolutePath());
    QLockFile lock(h.path + ".lock");
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(10000)) return ERROR_ACCESS_DENIED;
    loadHive(h, true);
    // A file that exists but cannot be read is never replaced by what little we know of it.
    if (h.unreadable) return ERROR_ACCESS_DENIED;
    bool changed = false;
    auto working = h.tree->clone();
    long rc = change(*working, &changed);
    if (rc != ERROR_SUCCESS || !changed) return rc;
    if (!backUpDamaged(h)) return ERROR_ACCESS_DENIED;
    platform::WholeFileWriter out(h.path);
    if (!out.Open()) return ERROR_ACCESS_DENIED;
    if (!out.Write(SerializeHive(*working, h.rootName)) || !out.Commit()) return ERROR_WRITE_FAULT;
    h.tree = std::move(working);
    h.stamp = stampOf(h.path);
    return ERROR_SUCCESS;
}

HKEY newHandle(HKEY root, const QStringList& path, std::uint32_t access)
{
    HKEY id = state().nextHandle++;
    state().handles[id] = {root, path, access};
    return id;
}

// Looks up the key of an open handle for reading; the hive is refreshed first.
long keyForRead(HKEY handle, RegKey** key, std::uint32_t needed)
{
    Hive* h = nullptr;
    QStringList path;
    std::uint32_t access = 0;
    if (long rc = resolve(handle, &h, &path, &access)) return rc;
    if ((access & needed) != needed) return ERROR_ACCESS_DENIED;
    loadHive(*h, false);
    *key = findKey(h->tree.get(), path);
    return *key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

long copyOut(const QByteArray& value, QByteArray* data, std::uint32_t* cbData)
{
    std::uint32_t capacity = data ? std::uint32_t(data->size()) : 0;
    if (cbData) *cbData = std::uint32_t(value.size());
    if (!data) return ERROR_SUCCESS;
    if (std::uint32_t(value.size()) > capacity) return ERROR_MORE_DATA;
    std::copy(value.begin(), value.end(), data->begin());
    return ERROR_SUCCESS;
}

} // namespace

QString HiveFilePath(HKEY root)
{
    QString fileName = rootNameOf(root) + ".reg";
    QString dir = qEnvironmentVariable("TARVELLO_REGISTRY_DIR");
    if (!dir.isEmpty()) return QDir(dir).filePath(fileName);
    if (root == HKEY_LOCAL_MACHINE) return QDir(AppPath()).filePath("registry/" + fileName);
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + "/.config";
    return QDir(config).filePath("Tarvello/" + fileName);
}

bool SeedPortableMachineHive()
{
    const QString dir = qEnvironmentVariable("TARVELLO_REGISTRY_DIR");
    if (dir.isEmpty()) return false;
    const QString target = HiveFilePath(HKEY_LOCAL_MACHINE);
    const QString installed = QDir(AppPath()).filePath("registry/" + QFileInfo(target).fileName());
    if (QFileInfo(target).exists() || !QFileInfo(installed).isFile()) return false;
    // QFile::copy never overwrites: a hive another copy of the program has
    // just made stays as it is.
    if (!QDir().mkpath(dir) || !QFile::copy(installed, target)) return false;
    QFile::setPermissions(target, QFile::permissions(target) | QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

void ResetCache()
{
    state().hives.clear();
}

long RegOpenKeyEx(HKEY root, const QString& subKey, std::uint32_t access, HKEY* result)
{
    Hive* h = nullptr;
    QStringList path;
    std::uint32_t parentAccess = 0;
    if (long rc = resolve(root, &h, &path, &parentAccess)) return rc;
    loadHive(*h, false);
    path += splitPath(subKey);
    if (!findKey(h->tree.get(), path)) return ERROR_FILE_NOT_FOUND;
    if (result) *result = newHandle(h->root, path, access);
    return ERROR_SUCCESS;
}

long RegCreateKeyEx(HKEY root, const QString& subKey, std::uint32_t access, HKEY* result)
{
    Hive* h = nullptr;
    QStringList path;
    std::uint32_t parentAccess = 0;
    if (long rc = resolve(root, &h, &path, &parentAccess)) return rc;
    path += splitPath(subKey);
    if (!std::all_of(path.begin(), path.end(), isStorableName)) return ERROR_INVALID_PARAMETER;
    loadHive(*h, false);
    if (!findKey(h->tree.get(), path)) {
        long rc = mutate(*h, [&](RegKey& tree, bool* changed) {
            RegKey* k = &tree;
            for (const QString& p : path) {
                if (!k->child(p)) *changed = true;
                k = k->addChild(p);
            }
            return ERROR_SUCCESS;
        });
        if (rc) return rc;
    }
    if (result) *result = newHandle(h->root, path, access);
    return ERROR_SUCCESS;
}

long RegDeleteKey(HKEY root, const QString& subKey)
{
    Hive* h = nullptr;
    QStringList path;
    std::uint32_t access = 0;
    if (long rc = resolve(root, &h, &path, &access)) return rc;
    path += splitPath(subKey);
    if (path.isEmpty()) return ERROR_ACCESS_DENIED;
    return mutate(*h, [&](RegKey& tree, bool* changed) {
        RegKey* key = findKey(&tree, path);
        if (!key) return ERROR_FILE_NOT_FOUND;
        if (!key->children.empty()) return ERROR_ACCESS_DENIED;
        findKey(&tree, path.mid(0, path.size() - 1))->removeChild(path.last());
        *changed = true;
        return ERROR_SUCCESS;
    });
}

long RegDeleteValue(HKEY key, const QString& valueName)
{
    Hive* h = nullptr;
    QStringList path;
    std::uint32_t access = 0;
    if (long rc = resolve(key, &h, &path, &access)) return rc;
    if (!(access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    return mutate(*h, [&](RegKey& tree, bool* changed) {
        RegKey* k = findKey(&tree, path);
        if (!k) return ERROR_KEY_DELETED;
        auto it = std::find_if(k->values.begin(), k->values.end(),
                               [&](const RegValue& v) { return compareNames(v.name, valueName) == 0; });
        if (it == k->values.end()) return ERROR_FILE_NOT_FOUND;
        k->values.erase(it);
        *changed = true;
        return ERROR_SUCCESS;
    });
}

long RegQueryValueEx(HKEY key, const QString& valueName, std::uint32_t* type, QByteArray* data, std::uint32_t* cbData)
{
    RegKey* k = nullptr;
    if (long rc = keyForRead(key, &k, KEY_QUERY_VALUE)) return rc;
    RegValue* v = k->value(valueName);
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (type) *type = v->type;
    return copyOut(v->data, data, cbData);
}

long RegSetValueEx(HKEY key, const QString& valueName, std::uint32_t type, const QByteArray& data)
{
    Hive* h = nullptr;
    QStringList path;
    std::uint32_t access = 0;
    if (long rc = resolve(key, &h, &path, &access)) return rc;
    if (!(access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (!isStorableName(valueName)) return ERROR_INVALID_PARAMETER;
    return mutate(*h, [&](RegKey& tree, bool* changed) {
        RegKey* k = findKey(&tree, path);
        if (!k) return ERROR_KEY_DELETED;
        if (RegValue* v = k->value(valueName)) {
            if (v->type == type && v->data == data) return ERROR_SUCCESS;
            v->type = type;
            v->data = data;
        } else {
            k->values.push_back({valueName, type, data});
        }
        *changed = true;
        return ERROR_SUCCESS;
    });
}

long RegEnumKeyEx(HKEY key, std::uint32_t index, QString* name)
{
    RegKey* k = nullptr;
    if (long rc = keyForRead(key, &k, KEY_ENUMERATE_SUB_KEYS)) return rc;
    if (index >= k->children.size()) return ERROR_NO_MORE_ITEMS;
    if (name) *name = k->children[index]->name;
    return ERROR_SUCCESS;
}

long RegEnumValue(HKEY key, std::uint32_t index, QString* name, std::uint32_t* type, QByteArray* data,
                  std::uint32_t* cbData)
{
    RegKey* k = nullptr;
    if (long rc = keyForRead(key, &k, KEY_QUERY_VALUE)) return rc;
    if (index >= k->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegValue& v = k->values[index];
    if (name) *name = v.name;
    if (type) *type = v.type;
    return copyOut(v.data, data, cbData);
}

long RegCloseKey(HKEY key)
{
    if (rootNameOf(key).size()) return ERROR_SUCCESS;
    return state().handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

long RegConnectRegistry(const QString&, HKEY, HKEY* result)
{
    if (result) *result = 0;
    return ERROR_BAD_NETPATH;
}

QString ExpandEnvironmentStrings(const QString& text)
{
    QString out;
    int pos = 0;
    while (pos < text.size()) {
        int start = text.indexOf('%', pos);
        int end = start < 0 ? -1 : text.indexOf('%', start + 1);
        if (start < 0 || end < 0) {
            out += text.mid(pos);
            break;
        }
        QString name = text.mid(start + 1, end - start - 1);
        out += text.mid(pos, start - pos);
        if (!name.isEmpty() && qEnvironmentVariableIsSet(name.toLocal8Bit().constData())) {
            out += qEnvironmentVariable(name.toLocal8Bit().constData());
            pos = end + 1;
        } else {
            out += '%' + name;
            pos = end;
        }
    }
    return out;
}

} // namespace platform::reg
