#include "core/Paths.h"
#include "core/ProgramEnd.h"
#include "core/mdlMain.h"
#include "mainwindow/frmMain.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_terminateSocket[2] = {-1, -1};
bool g_terminateAsked = false;
bool g_mainLoopRunning = false;

void TerminateRequested(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_terminateSocket[1], &byte, 1);
    errno = savedErrno;
}

void CloseMainWindow()
{
    EndProgramOnRequest([] {
        if (CfrmMain* main = frmMain.Peek()) main->tmrUnload_Timer();
        else EndProgram();
    });
}

// The desktop ends a session with SIGTERM, a terminal with SIGHUP, a user
// with SIGINT: the program then closes as from its Exit command without the
// question, whatever window is open, keeping its lists and settings, instead
// of dying on the spot.
void CloseOnTerminate(QApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_terminateSocket) != 0) return;
    auto* notifier = new QSocketNotifier(g_terminateSocket[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_terminateSocket[0], &byte, 1);
        g_terminateAsked = true;
        // Start-up runs events of its own (the splash): the main window closes once it is up.
        if (g_mainLoopRunning) CloseMainWindow();
    });
    struct sigaction action {};
    action.sa_handler = TerminateRequested;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The program ends when the main window unloads, not when its last window hides.
    app.setQuitOnLastWindowClosed(false);
    CloseOnTerminate(app);
    // An installed program keeps each user's lists and settings in a folder of his own.
    SetUpProgramFolder(QCoreApplication::applicationDirPath());
    if (const std::optional<int> ended = StartAsTheRunningProgram([] { return g_terminateAsked; })) return *ended;
    Main();
    if (!frmMain.IsLoaded()) return 0;
    g_mainLoopRunning = true;
    if (g_terminateAsked) CloseMainWindow();
    RunLaterStartsCommandLines();
    return RunProgramLoop();
}
