#pragma once
// The desktop shell: opening a file, folder or web page with the program the
// desktop associates with it, and starting a program from a command line.
// Production opens through QDesktopServices and starts detached processes;
// tests install a recorder.
#include <QString>
#include <QStringList>
#include <memory>

namespace platform {

class ShellService {
public:
    virtual ~ShellService() = default;
    // A target that is not a web address is a local path; a relative one is
    // taken from the working folder. True when the desktop accepted it.
    virtual bool OpenDocument(const QString& target, const QString& workingFolder) = 0;
    // Starts the program with its arguments; no shell runs it. True when it started.
    virtual bool StartProcess(const QString& program, const QStringList& arguments, const QString& workingFolder) = 0;
    // The command line is split into the program and its arguments (quotes
    // group words), then started as StartProcess does.
    bool StartProgram(const QString& commandLine, const QString& workingFolder);
};

void SetShellService(std::unique_ptr<ShellService> service); // nullptr: the desktop's
ShellService& Shell();

// The URL that opening the target asks for, as text (exposed for tests).
QString TargetToUrl(const QString& target, const QString& workingFolder);

} // namespace platform
