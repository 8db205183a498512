#include "core/Paths.h"

#include "controls/widgets/PlainText.h"
#include "platform/AppInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QToolTip>
#include <QWidget>
#include <cerrno>
#include <sys/stat.h>

const char* const kIllegalNameTip = "Illegal name.\r\n\r\nThe chars:   /\\:?*<>\"|   are not legal.";

namespace {

const char16_t kUnsafeChars[] = u"!/\\;:, $+&[](){}?*|<>\u05D6\uF893\u20AC@\u00A8~\u00B4`=%\u00BD#\u00A3'\"\u05D9";
const char16_t kIllegalNameChars[] = u"/\\:?*<>\"|";

QString textAfterLast(const QString& text, QChar separator)
{
    const qsizetype i = text.lastIndexOf(separator);
    return i < 0 ? QString() : text.mid(i + 1);
}

} // namespace

QString GetFileName(const QString& sPath)
{
    const qsizetype i = sPath.lastIndexOf('/');
    return i < 0 ? sPath : sPath.mid(i + 1);
}

QString GetFilePath(const QString& sPath)
{
    QStringList parts = sPath.split('/');
    if (parts.size() < 2) return {};
    parts.removeLast();
    return parts.join('/') + '/';
}

QString GetFolderOfPath(const QString& sPath)
{
    const qsizetype i = sPath.lastIndexOf('/');
    return i < 0 ? QString() : sPath.left(i + 1);
}

QString GetExtension(const QString& sName) { return textAfterLast(sName, '.').left(12); }

QString GetLastExtension(const QString& sName) { return textAfterLast(sName, '.'); }

QString RemoveExtension(const QString& sName)
{
    const qsizetype i = sName.lastIndexOf('.');
    return i < 0 ? QString() : sName.left(i);
}

QString MakeSafeName(const QString& sText)
{
    QString safe = sText;
    for (const char16_t* c = kUnsafeChars; *c; ++c) safe.replace(QChar(*c), QChar('-'));
    return safe;
}

bool IsValidFileName(const QString& sName)
{
    for (const char16_t* c = kIllegalNameChars; *c; ++c)
        if (sName.contains(QChar(*c))) return false;
    return true;
}

void CheckFileNameKey(QWidget* txtBox, int& KeyAscii)
{
    if (KeyAscii <= 0 || KeyAscii > 0xFFFF || IsValidFileName(QString(QChar(char16_t(KeyAscii))))) return;
    if (txtBox) {
        QString tip = QString::fromUtf8(kIllegalNameTip);
        tip.replace("\r\n", "\n");
        QToolTip::showText(txtBox->mapToGlobal(QPoint(txtBox->width() / 2, txtBox->height())),
                           widgets::PlainToolTip(tip), txtBox, QRect(), 5000);
    }
    KeyAscii = 0;
}

namespace {

class FileNameKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() != 1) return false;
        int key = text[0].unicode();
        CheckFileNameKey(qobject_cast<QWidget*>(watched), key);
        return key == 0;
    }
};

} // namespace

void FilterFileNameKeys(QWidget* txtBox)
{
    if (txtBox) txtBox->installEventFilter(new FileNameKeyFilter(txtBox));
}

bool IsFolder(const QString& sPath) { return !sPath.isEmpty() && QFileInfo(sPath).isDir(); }

std::int32_t CreateFolderPath(const QString& sPath)
{
    QString path = sPath;
    if (path.endsWith('/')) path.chop(1);
    QString prefix;
    for (const QString& part : path.split('/')) {
        prefix += part + '/';
        if (QFileInfo(prefix).isDir()) continue;
        if (::mkdir(QFile::encodeName(prefix).constData(), 0777) != 0) {
            return (errno == ENOENT || errno == ENOTDIR) ? kErrPathNotFound : kErrPathFileAccess;
        }
    }
    return 0;
}

namespace {

// Set when start-up moved the program folder away from the executable.
QString& movedExecutable()
{
    static QString file;
    return file;
}

bool& installedProgram()
{
    static bool installed = false;
    return installed;
}

// Files the program owns and a user never edits: always the installed ones.
bool IsProgramOwnFile(const QString& relativePath) { return relativePath == "Help.html"; }

bool SameContents(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    return fa.size() == fb.size() && fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly) &&
           fa.readAll() == fb.readAll();
}

} // namespace

QString UserDataFolder() { return platform::AppPath() + "/"; }

QString PerUserDataFolder()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data)) data = QDir::homePath() + "/.local/share";
    return QDir::cleanPath(data + "/tarvello");
}

QString InstalledDataFolder(const QString& executableFolder)
{
    const QString shared = QDir::cleanPath(executableFolder + "/../share/tarvello");
    if (!QFileInfo::exists(executableFolder + "/registry") && QFileInfo(shared).isDir()) return shared;
    return QDir::cleanPath(executableFolder);
}

bool SeedDataFolder(const QString& installed, const QString& target)
{
    if (!QDir().mkpath(target)) return false;
    const QDir from(installed), to(target);
    QDirIterator it(installed, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString relative = from.relativeFilePath(entry.filePath());
        const QString copy = to.filePath(relative);
        if (entry.isDir()) {
            to.mkpath(relative);
            continue;
        }
        if (QFileInfo::exists(copy)) {
            if (!IsProgramOwnFile(relative) || SameContents(entry.filePath(), copy)) continue;
            QFile::remove(copy);
        }
        // QFile::copy never overwrites: a file another copy of the program
        // has just made stays as it is.
        if (QFile::copy(entry.filePath(), copy))
            QFile::setPermissions(copy, QFile::permissions(copy) | QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}

void SetUpProgramFolder(const QString& executableFolder)
{
    QString folder = InstalledDataFolder(executableFolder);
    // Installed files are everyone's: an installed program never writes
    // them, even when it could (run by root).
    installedProgram() = folder != QDir::cleanPath(executableFolder);
    if (installedProgram() || !QFileInfo(folder).isWritable()) {
        const QString own = PerUserDataFolder();
        if (SeedDataFolder(folder, own)) folder = own;
    }
    movedExecutable() =
        folder != QDir::cleanPath(executableFolder) ? QCoreApplication::applicationFilePath() : QString();
    platform::SetAppPath(folder);
}

bool IsInstalledProgram() { return installedProgram(); }

QString DefaultDestination(const QString& portableDefault)
{
    if (!IsInstalledProgram()) return portableDefault;
    QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (music.isEmpty() || !QFileInfo(music).isDir()) music = QDir::homePath();
    return QDir::cleanPath(music) + "/";
}

QString ProgramExecutable()
{
    if (!movedExecutable().isEmpty()) return movedExecutable();
    return platform::AppPath() + "/" + platform::AppExeName();
}
