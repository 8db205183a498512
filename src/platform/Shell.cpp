#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

namespace platform {

namespace {

QUrl targetUrl(const QString& target, const QString& workingFolder)
{
    static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]+:");
    QString t = target.trimmed();
    if (t.startsWith("www.", Qt::CaseInsensitive)) return QUrl("http://" + t);
    if (scheme.match(t).hasMatch()) return QUrl(t);
    return QUrl::fromLocalFile(QDir(workingFolder).absoluteFilePath(t));
}

class DesktopShell : public ShellService {
public:
    bool OpenDocument(const QString& target, const QString& workingFolder) override
    {
        if (target.trimmed().isEmpty()) return false;
        return QDesktopServices::openUrl(targetUrl(target, workingFolder));
    }

    bool StartProcess(const QString& program, const QStringList& arguments, const QString& workingFolder) override
    {
        return QProcess::startDetached(program, arguments, workingFolder);
    }
};

} // namespace

bool ShellService::StartProgram(const QString& commandLine, const QString& workingFolder)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty()) return false;
    const QString program = words.takeFirst();
    return StartProcess(program, words, workingFolder);
}

namespace {

std::unique_ptr<ShellService>& current()
{
    static std::unique_ptr<ShellService> s;
    return s;
}

} // namespace

void SetShellService(std::unique_ptr<ShellService> service) { current() = std::move(service); }

ShellService& Shell()
{
    if (!current()) current() = std::make_unique<DesktopShell>();
    return *current();
}

QString TargetToUrl(const QString& target, const QString& workingFolder)
{
    return targetUrl(target, workingFolder).toString();
}

} // namespace platform
