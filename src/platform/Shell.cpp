#include "platform/Shell.h"
#include "platform/ServiceSlot.h"

#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
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

// Runs the desktop's opener and reports when it gives up. The opener may wait
// for the program it starts, which outlives it and this program: it gets no
// pipes of ours, and its process object is let go, never killed, at exit. An
// opener that ends with an error long after it started has shown the target
// already (its program was closed badly): that is no failure to open.
bool runOpener(const QString& opener, const QUrl& url, std::function<void()> failedLater)
{
    constexpr qint64 kGivesUpWithinMs = 10000;
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({url.toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer running;
    running.start();
    QObject::connect(process, &QProcess::finished, process,
                     [process, running, failedLater](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         const bool failed = code != 0 || status != QProcess::NormalExit;
                         if (failed && running.elapsed() < kGivesUpWithinMs && failedLater) failedLater();
                     });
    process->start();
    if (process->waitForStarted()) return true;
    delete process;
    return false;
}

class DesktopShell : public ShellService {
public:
    bool OpenDocument(const QString& target, const QString& workingFolder, std::function<void()> failedLater) override
    {
        if (target.trimmed().isEmpty()) return false;
        const QUrl url = targetUrl(target, workingFolder);
        if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) return false;
        const QString opener = FindProgram("xdg-open");
        if (!opener.isEmpty()) return runOpener(opener, url, std::move(failedLater));
        return QDesktopServices::openUrl(url);
    }

    bool StartProcess(const QString& program, const QStringList& arguments, const QString& workingFolder) override
    {
        return QProcess::startDetached(program, arguments, workingFolder);
    }

    QString FindProgram(const QString& name) override { return QStandardPaths::findExecutable(name); }
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

using Slot = ServiceSlot<ShellService, DesktopShell>;

} // namespace

void SetShellService(std::unique_ptr<ShellService> service) { Slot::Install(std::move(service)); }

ShellService& Shell() { return Slot::Get(); }

QString TargetToUrl(const QString& target, const QString& workingFolder)
{
    return targetUrl(target, workingFolder).toString();
}

} // namespace platform
