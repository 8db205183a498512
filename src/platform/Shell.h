#pragma once
// The desktop shell: opening a file, folder or web page with the program the
// desktop associates with it, and starting a program from a command line.
// Production opens through QDesktopServices and starts detached processes;
// tests install a recorder.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace platform {

class ShellService {
public:
    virtual ~ShellService() = default;
    // A target that is not a web address is a local path; a relative one is
    // taken from the working folder. False when it cannot be opened at all (a
    // missing file, no opener on the desktop); when the opener gives up later,
    // failedLater runs on the window thread.
    virtual bool OpenDocument(const QString& target, const QString& workingFolder,
                              std::function<void()> failedLater = {}) = 0;
    // Starts the program with its arguments; no shell runs it. True when it started.
    virtual bool StartProcess(const QString& program, const QStringList& arguments, const QString& workingFolder) = 0;
    // The full path of an installed program on the search path; empty when none.
    virtual QString FindProgram(const QString& name) = 0;
    // The command line is split into the program and its arguments (quotes
    // group words), then started as StartProcess does.
    bool StartProgram(const QString& commandLine, const QString& workingFolder);
};

void SetShellService(std::unique_ptr<ShellService> service); // nullptr: the desktop's
ShellService& Shell(); // window thread only

// The URL that opening the target asks for, as text (exposed for tests).
QString TargetToUrl(const QString& target, const QString& workingFolder);

} // namespace platform
