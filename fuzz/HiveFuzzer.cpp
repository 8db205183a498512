// Fuzzes the settings hive text: any bytes must parse without a fault, and
// whatever tree they give must be written and read back unchanged, with no
// errors, and write the same text a second time.
#include "platform/Registry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using platform::reg::RegKey;

const QString kRoot = QStringLiteral("HKEY_CURRENT_USER");

[[noreturn]] void fail(const QString& what, const QByteArray& first, const QByteArray& second)
{
    std::fprintf(stderr, "hive round trip: %s\n--- first text ---\n%s\n--- second text ---\n%s\n", qPrintable(what),
                 first.toPercentEncoding(" \r\n\"[]\\=:,@;").constData(),
                 second.toPercentEncoding(" \r\n\"[]\\=:,@;").constData());
    std::abort();
}

// Empty when equal, else where the trees first differ.
QString difference(const RegKey& a, const RegKey& b, const QString& path)
{
    if (a.name != b.name) return path + ": key name " + a.name + " / " + b.name;
    if (a.values.size() != b.values.size()) return path + ": value count";
    for (size_t i = 0; i < a.values.size(); ++i) {
        const auto& x = a.values[i];
        const auto& y = b.values[i];
        if (x.name != y.name) return path + ": value name " + x.name + " / " + y.name;
        if (x.type != y.type) return path + "\\" + x.name + ": type " + QString::number(x.type) + " / " + QString::number(y.type);
        if (x.data != y.data) return path + "\\" + x.name + ": data " + x.data.toHex(' ') + " / " + y.data.toHex(' ');
    }
    if (a.children.size() != b.children.size()) return path + ": sub-key count";
    for (size_t i = 0; i < a.children.size(); ++i) {
        QString d = difference(*a.children[i], *b.children[i], path + "\\" + a.children[i]->name);
        if (!d.isEmpty()) return d;
    }
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList errors;
    auto tree = platform::reg::ParseHive(input, kRoot, &errors);
    if (!tree) std::abort();

    const QByteArray text = platform::reg::SerializeHive(*tree, kRoot);
    QStringList again;
    auto reread = platform::reg::ParseHive(text, kRoot, &again);
    if (!again.isEmpty()) fail("errors reading written text: " + again.join("; "), text, text);
    const QString d = difference(*tree, *reread, kRoot);
    if (!d.isEmpty()) fail(d, text, platform::reg::SerializeHive(*reread, kRoot));
    const QByteArray text2 = platform::reg::SerializeHive(*reread, kRoot);
    if (text2 != text) fail("written text changed", text, text2);
    return 0;
}
