#include "platform/Autostart.h"

#include "platform/SaveFile.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

namespace {

QString configHome()
{
    QString dir = qEnvironmentVariable("XDG_CONFIG_HOME");
    return dir.isEmpty() ? QDir::homePath() + "/.config" : dir;
}

// An argument of an Exec value: quoted when it holds anything but plain characters.
QString quoteArgument(const QString& arg)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%");
    bool plain = !arg.isEmpty();
    for (QChar c : arg)
        if (reserved.contains(c)) plain = false;
    if (plain) return arg;
    QString quoted;
    for (QChar c : arg) {
        if (c == '%') {
            quoted += "%%"; // field codes start with %
            continue;
        }
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return '"' + quoted + '"';
}

// String values of a desktop entry escape the backslash once more.
QString escapeValue(const QString& v)
{
    QString out = v;
    out.replace('\\', "\\\\");
    return out;
}

QString unescapeValue(const QString& v)
{
    QString out;
    for (int i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size()) {
            const QChar n = v[++i];
            out += n == 's' ? QChar(' ') : n == 'n' ? QChar('\n') : n == 't' ? QChar('\t') : n;
        } else {
            out += v[i];
        }
    }
    return out;
}

} // namespace

QString AutostartEntryPath(const QString& name) { return configHome() + "/autostart/" + name + ".desktop"; }

QString AutostartExecLine(const QString& program, const QStringList& arguments)
{
    QStringList words{quoteArgument(program)};
    for (const QString& a : arguments) words << quoteArgument(a);
    return words.join(' ');
}

bool WriteAutostartEntry(const QString& name, const QString& program, const QStringList& arguments)
{
    const QString path = AutostartEntryPath(name);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    const QString text = "[Desktop Entry]\n"
                         "Type=Application\n"
                         "Name=" + escapeValue(name) + "\n"
                         "Exec=" + escapeValue(AutostartExecLine(program, arguments)) + "\n"
                         "Terminal=false\n";
    return SaveFileWhole(path, EncodeText(text));
}

bool RemoveAutostartEntry(const QString& name)
{
    const QString path = AutostartEntryPath(name);
    return !QFileInfo::exists(path) || QFile::remove(path);
}

QString AutostartEntryExec(const QString& name)
{
    QFile file(AutostartEntryPath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    bool inMainGroup = false;
    for (const QString& rawLine : DecodeText(file.readAll()).split('\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith('[')) inMainGroup = line == "[Desktop Entry]";
        else if (inMainGroup && line.startsWith("Exec="))
            return unescapeValue(line.mid(5));
    }
    return {};
}

} // namespace platform
