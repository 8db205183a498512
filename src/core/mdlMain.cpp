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
#include <QFileInfo>

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

// Keyed on the folder the settings hive lives in; it goes with the
// application object, which lets the lock and the socket go too.
platform::SingleInstance& TheRunningProgram()
{
    static platform::SingleInstance* instance = new platform::SingleInstance(
        QFileInfo(platform::reg::HiveFilePath(platform::reg::HKEY_LOCAL_MACHINE)).absolutePath(),
        QCoreApplication::instance());
    return *instance;
}

} // namespace

bool StartAsTheRunningProgram()
{
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty()) arguments.removeFirst();
    return TheRunningProgram().Claim(arguments);
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
