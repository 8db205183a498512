#include "core/FileSystem.h"

#include "platform/AppInfo.h"
#include "platform/DateValue.h"
#include "platform/FileTimes.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/SystemFolders.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

QString GetWindowsDir() { return platform::WindowsFolder(); }

QString GetSystemDir() { return platform::SystemFolder(); }

bool KillFile(const QString& sFileName)
{
    if (sFileName.isEmpty() || QFileInfo(sFileName).isDir()) return false;
    return QFile::remove(sFileName);
}

bool FileExists(const QString& sFileName)
{
    if (sFileName.isEmpty()) return false;
    const QFileInfo info(sFileName);
    return info.isFile() && !info.fileName().startsWith('.');
}

QDateTime GetFileCreatedDate(const QString& sFileName)
{
    const QDateTime created = platform::FileTimes().CreationTime(sFileName);
    return created.isValid() ? platform::ToDateValue(created) : platform::kZeroDate;
}

namespace {

// Why a target did not open: an existing file or a web page fails to open
// without the desktop's opener, which a bare system may lack.
QString WhyNotOpened(const QString& sTarget)
{
    const QUrl url(platform::TargetToUrl(sTarget, platform::AppPath()));
    const bool missing = url.isLocalFile() && !QFileInfo::exists(url.toLocalFile());
    if (!missing && platform::Shell().FindProgram("xdg-open").isEmpty())
        return "No desktop opener is installed: opening files and web pages needs xdg-open (package xdg-utils).";
    return "There is no such file or folder, or no program on this desktop opens it.";
}

} // namespace

void OpenDocument(QWidget* owner, const QString& sTarget)
{
    const auto report = [sTarget] {
        platform::MsgBox("Could not open " + sTarget + "\r\n\r\n" + WhyNotOpened(sTarget), platform::vbExclamation);
    };
    if (!platform::Shell().OpenDocument(sTarget, platform::AppPath(), report)) report();
}
