#include "core/mdlMain.h"

#include "controls/widgets/PopupMenu.h"
#include "core/Edition.h"
#include "core/RegistryRoutines.h"
#include "core/frmSplash.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

bool g_bShowSplash = false;

RegistryRoutines& StartupRegistry()
{
    static RegistryRoutines reg;
    return reg;
}

namespace {

bool ProgramKeyExists()
{
    RegistryRoutines& reg = StartupRegistry();
    reg.hkey = platform::reg::HKEY_LOCAL_MACHINE;
    reg.KeyRoot = "SOFTWARE\\" + g_sAppCompany + "\\" + g_sAppName;
    reg.Subkey = "General";
    return reg.KeyExists();
}

// Exit codes of a start that does not run.
constexpr int kExitUnreachable = 1;
constexpr int kExitInterrupted = 130; // as a shell reports a command ended by Ctrl+C

QString SettingsFolder()
{
    return QFileInfo(platform::reg::HiveFilePath(platform::reg::HKEY_LOCAL_MACHINE)).absolutePath();
}

// Keyed on the folder the settings hive lives in; it goes with the
// application object, which lets the lock and the socket go too.
platform::SingleInstance& TheRunningProgram()
{
    static platform::SingleInstance* instance =
        new platform::SingleInstance(SettingsFolder(), QCoreApplication::instance());
    return *instance;
}

// On standard error and in a message box, which the user or `interrupted` closes.
void SayTheRunningProgramCannotBeReached(const std::function<bool()>& interrupted)
{
    const QString text =
        "Tarvello is already running with the settings folder\n" + QDir::toNativeSeparators(SettingsFolder()) +
        "\nbut cannot be reached, so it cannot take this start's command line. A second program on the same "
        "settings folder would lose changes to its items lists, so this start ends.\n\nUse the running program's "
        "window, or end that program and start again.";
    std::fprintf(stderr, "%s\n", qPrintable(text));
    QMessageBox box(QMessageBox::Critical, "Tarvello", text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.open();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!box.isVisible() || (interrupted && interrupted())) loop.quit();
    });
    poll.start(100);
    loop.exec();
}

} // namespace

std::optional<int> StartAsTheRunningProgram(const std::function<bool()>& interrupted)
{
    using Claimed = platform::SingleInstance::Claimed;
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty()) arguments.removeFirst();
    switch (TheRunningProgram().Claim(arguments, interrupted)) {
    case Claimed::Run: return std::nullopt;
    case Claimed::HandedOver: return 0;
    case Claimed::Interrupted: return kExitInterrupted;
    case Claimed::Unreachable: break;
    }
    SayTheRunningProgramCannotBeReached(interrupted);
    return kExitUnreachable;
}

void RunLaterStartsCommandLines()
{
    TheRunningProgram().SetReceiver([](const QStringList& arguments) {
        if (CfrmMain* main = frmMain.Peek()) main->RunCommandLineOfLaterStart(arguments.join(' '));
    });
}

void Main()
{
    SetEditionModes();

    platform::reg::SeedPortableMachineHive();
    if (!ProgramKeyExists()) {
        platform::MsgBox("This program cannot run, please reinstall the software or connect to the sofrware aurhor."
                         "\r\n\r\nThe main reistry key doesn't existed.",
                         platform::vbInformation | platform::vbOKOnly, g_sAppName);
        return;
    }

    // The widget toolkit needs no further initialisation of its controls here.

    g_bShowSplash = true;
    CfrmSplash* splash = g_frmSplash.get();
    splash->setWindowTitle(g_sAppName + " " + g_sAppVersion);
    splash->Show();
    splash->repaint();
    splash->FadeIn();

    SetLoadingStatus("Loading options...");
    frmOptions.get();
    SetLoadingStatus("Loading audio properties...");
    g_frmAudioProp.get();
    SetLoadingStatus("Loading GUI...");
    frmMain.get();

    if (g_bShowSplash) {
        if (CfrmSplash* s = g_frmSplash.Peek()) {
            s->Hide();
            s->Unload();
        }
    }

    CfrmMain* main = frmMain.get();
    main->Show();
    if (platform::Command() == "-st") main->m_cMenu_Click(main->m_cMenu->IndexForKey("GoSysTray"));
}

void SetLoadingStatus(const QString& text)
{
    if (!g_bShowSplash) return;
    if (CfrmSplash* s = g_frmSplash.Peek()) s->SetStatus(text);
}

void SetNoCrashDialog()
{
    // No system fault dialog exists here to switch off; the call is kept for its place in the exit.
}

void EditionHook() {}
