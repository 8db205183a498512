#include "platform/AppInfo.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {

namespace {
struct Info {
    QString appPath;
    bool appPathSet = false;
    QString command;
    bool commandSet = false;
    QString title;
};
Info& info()
{
    static Info i;
    return i;
}
} // namespace

QString AppPath()
{
    if (info().appPathSet) return info().appPath;
    return QCoreApplication::applicationDirPath();
}

QString AppExeName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString Command()
{
    if (info().commandSet) return info().command;
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty()) args.removeFirst();
    return args.join(' ');
}

QString AppTitle() { return info().title; }
void SetAppTitle(const QString& title) { info().title = title; }

void SetAppPath(const QString& folder)
{
    QString f = folder;
    while (f.size() > 1 && f.endsWith('/')) f.chop(1);
    info().appPath = f;
    info().appPathSet = true;
}

void SetCommandLine(const QStringList& argumentsAfterProgram)
{
    info().command = argumentsAfterProgram.join(' ');
    info().commandSet = true;
}

} // namespace platform
