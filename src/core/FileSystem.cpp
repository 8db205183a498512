#include "core/FileSystem.h"

#include "platform/AppInfo.h"
#include "platform/DateValue.h"
#include "platform/FileTimes.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/SystemFolders.h"

#include <QFile>
#include <QFileInfo>

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

void OpenDocument(QWidget* owner, const QString& sTarget)
{
    const auto report = [sTarget] {
        platform::MsgBox("Could not open " + sTarget + "\r\n\r\nThere is no such file or folder, or no program on this "
                         "desktop opens it.",
                         platform::vbExclamation);
    };
    if (!platform::Shell().OpenDocument(sTarget, platform::AppPath(), report)) report();
}
