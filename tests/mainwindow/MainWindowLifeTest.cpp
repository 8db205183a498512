// Start-up, the saved size, the command-line switches, the exit and the tray.
#include "MainWindowFixture.h"

#include "core/RegistryRoutines.h"
#include "core/mdlMain.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <optional>

namespace {

class MainWindowLife : public MainWindowFixture {
protected:
    RegistryRoutines General()
    {
        RegistryRoutines reg;
        reg.hkey = platform::reg::HKEY_LOCAL_MACHINE;
        reg.KeyRoot = "SOFTWARE\\Brenmark\\Tarvello";
        reg.Subkey = "General";
        return reg;
    }
    void StoreSize(const std::optional<QString>& width, const std::optional<QString>& height)
    {
        RegistryRoutines reg = General();
        // No value: the size is missing from the settings altogether.
        if (width) {
            ASSERT_TRUE(reg.SetRegistryValue("lWidth", *width, platform::reg::REG_SZ));
        } else {
            reg.DeleteValue("lWidth");
        }
        if (height) {
            ASSERT_TRUE(reg.SetRegistryValue("lHeight", *height, platform::reg::REG_SZ));
        } else {
            reg.DeleteValue("lHeight");
        }
    }
    QString Stored(const QString& name) { return General().GetRegistryValue(name).toString(); }
    static QSize PixelsOf(int w, int h) { return {platform::TwipsToPixels(w), platform::TwipsToPixels(h)}; }
    void TouchTemporaryFiles()
    {
        for (const char* name : {"/tmpeditor.wav", "/tmptts.wav"}) {
            QFile f(ProgramFolder() + name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }
    bool TemporaryFilesExist() const
    {
        return QFile::exists(ProgramFolder() + "/tmpeditor.wav") || QFile::exists(ProgramFolder() + "/tmptts.wav");
    }
    void RunKey(const QString& key) { frmMain->m_cMenu_Click(frmMain->m_cMenu->IndexForKey(key)); }

    const QString kExitQuestion = "Are you sure you want to exit 'Tarvello 1.2' ?";
};

TEST_F(MainWindowLife, LoadBuildsCaptionsTrayAndStatus)
{
    CfrmMain* main = LoadMain();
    EXPECT_EQ(main->windowTitle(), "Tarvello 1.2");
    EXPECT_EQ(main->lblTitle->text(), "Tarvello 1.2");
    EXPECT_TRUE(main->cSysTray1->IconShown());
    EXPECT_EQ(main->cSysTray1->ToolTip(), "Tarvello 1.2");
    EXPECT_EQ(main->cSysTray1->IconFile(), ProgramFolder() + "/SysIcon/systrayicon.ico");
    EXPECT_EQ(main->cStatusBar1->PanelText("Main"), "Ready.");
    EXPECT_EQ(Caption("RC Open"), "Hide");
    EXPECT_FALSE(main->tmrUnload->isActive());
    EXPECT_EQ(main->tmrUnload->interval(), 100);
    EXPECT_FALSE(main->windowIcon().isNull());
}

TEST_F(MainWindowLife, SavedSizeAndItsThresholds)
{
    const struct {
        std::optional<QString> width, height;
        int w, h;
    } cases[] = {
        {std::nullopt, std::nullopt, 13140, 7440},
        {"2999", "999", 13740, 7440},
        {"3000", "1000", 3000, 1000},
        {"15000", "9000", 15000, 9000},
        {"", "abc", 13740, 7440},
        {" 12000 ", "8000", 12000, 8000},
    };
    for (const auto& c : cases) {
        SeedRegistry();
        StoreSize(c.width, c.height);
        CfrmMain* main = LoadMain();
        EXPECT_EQ(main->size(), PixelsOf(c.w, c.h)) << c.width.value_or("-").toStdString();
        support::UnloadAllForms();
    }
}

TEST_F(MainWindowLife, ExitAnsweredNoKeepsEverything)
{
    TouchTemporaryFiles();
    StoreSize(std::nullopt, std::nullopt);
    CfrmMain* main = LoadMain();
    g_bDisplayMSGWhenExit = true;
    msgBox->Expect(kExitQuestion, platform::vbNo);
    RunKey("Exit");
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, kExitQuestion);
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbYesNo | platform::vbInformation);
    EXPECT_EQ(msgBox->shown[0].title, "Tarvello 1.2");
    EXPECT_TRUE(frmMain.IsLoaded());
    EXPECT_TRUE(frmOptions.IsLoaded());
    EXPECT_FALSE(g_bExitApp);
    EXPECT_TRUE(TemporaryFilesExist());
    EXPECT_TRUE(Stored("lWidth").isEmpty());
    EXPECT_TRUE(main->cSysTray1->IconShown());
    EXPECT_EQ(dispatched, QStringList({"Exit"}));
}

// The other windows find the main window through MainWindow() from its
// creation until its unload, and through no other way.
TEST_F(MainWindowLife, StandsAsTheMainWindowUntilItUnloads)
{
    EXPECT_EQ(MainWindow(), nullptr);
    CfrmMain* main = LoadMain();
    ASSERT_EQ(MainWindow(), main);
    EXPECT_EQ(MainWindow()->Widget(), main);
    g_bDisplayMSGWhenExit = true;
    msgBox->Expect(kExitQuestion, platform::vbNo);
    EXPECT_FALSE(MainWindow()->Unload());
    EXPECT_EQ(MainWindow(), main) << "the user stayed";
    g_bDisplayMSGWhenExit = false;
    EXPECT_TRUE(MainWindow()->Unload());
    EXPECT_FALSE(frmMain.IsLoaded());
    EXPECT_EQ(MainWindow(), nullptr);
    g_bExitApp = false;
}

TEST_F(MainWindowLife, ExitAnsweredYesClosesEverythingAndSavesTheSize)
{
    TouchTemporaryFiles();
    StoreSize("12000", "8010");
    CfrmMain* main = LoadMain();
    cSysTray* tray = main->cSysTray1;
    g_bDisplayMSGWhenExit = true;
    msgBox->Expect(kExitQuestion, platform::vbYes);
    RunKey("RC Exit");
    EXPECT_FALSE(frmMain.IsLoaded());
    EXPECT_FALSE(frmOptions.IsLoaded());
    EXPECT_TRUE(g_bExitApp);
    EXPECT_FALSE(TemporaryFilesExist());
    EXPECT_EQ(Stored("lWidth"), "12000");
    EXPECT_EQ(Stored("lHeight"), "8010");
    EXPECT_FALSE(tray->IconShown());
    g_bExitApp = false;
}

TEST_F(MainWindowLife, TheSizeWrittenAtExitIsTheSizeOfTheNextStart)
{
    CfrmMain* main = LoadMain();
    main->resize(PixelsOf(14010, 8505));
    main->Unload();
    ProcessEvents();
    EXPECT_EQ(Stored("lWidth"), "14010");
    EXPECT_EQ(Stored("lHeight"), "8505");
    EXPECT_EQ(LoadMain()->size(), PixelsOf(14010, 8505));
}

TEST_F(MainWindowLife, ForcedExitAsksNothing)
{
    CfrmMain* main = LoadMain();
    g_bDisplayMSGWhenExit = true;
    main->tmrUnload->start();
    main->tmrUnload_Timer();
    EXPECT_FALSE(frmMain.IsLoaded());
    EXPECT_FALSE(g_bDisplayMSGWhenExit);
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(MainWindowLife, CommandLineSwitches)
{
    const struct {
        QStringList args;
        bool addsFiles;
    } cases[] = {
        {{"-addfiles"}, true},  {{"-AddFiles"}, true},    {{"-addfiles", "x"}, false},
        {{" -addfiles"}, false}, {{"-addaudiocd"}, false}, {{}, false},
    };
    for (const auto& c : cases) {
        SeedRegistry();
        platform::SetCommandLine(c.args);
        if (c.addsFiles) dialogs->ExpectOpen({});
        CfrmMain* main = LoadMain();
        const QString openList = main->cTreeView1->SelectedItem()->Key();
        // The switches act once the window is up.
        EXPECT_TRUE(dispatched.isEmpty());
        ProcessEvents();
        const std::string label = c.args.join(' ').toStdString();
        EXPECT_EQ(dispatched, c.addsFiles ? QStringList{"Add Files"} : QStringList{}) << label;
        EXPECT_EQ(dialogs->openRequests.size(), c.addsFiles ? 1u : 0u) << label;
        // "-addaudiocd" rescans the drives and keeps the open list.
        ASSERT_NE(main->cTreeView1->SelectedItem(), nullptr);
        EXPECT_EQ(main->cTreeView1->SelectedItem()->Key(), openList) << label;
        support::UnloadAllForms();
        dispatched.clear();
        dialogs->openRequests.clear();
    }
}

class MainTray : public MainWindowLife {};

// The command line of a later start on the same settings: the window comes
// back (from the tray, or minimised) and runs it.
TEST_F(MainTray, ALaterStartsCommandLineBringsTheWindowBackAndRunsIt)
{
    const struct {
        const char* start;
        std::function<void(CfrmMain*)> prepare;
    } cases[] = {
        {"in the tray", [this](CfrmMain*) { RunKey("GoSysTray"); }},
        {"minimised", [](CfrmMain* m) { m->showMinimized(); }},
        {"shown", [](CfrmMain*) {}},
    };
    for (const auto& c : cases) {
        CfrmMain* main = LoadMain();
        main->Show();
        ProcessEvents();
        c.prepare(main);
        dispatched.clear();
        dialogs->ExpectOpen({});
        main->RunCommandLineOfLaterStart("-addfiles");
        EXPECT_FALSE(main->IsInTray()) << c.start;
        EXPECT_TRUE(main->isVisible()) << c.start;
        EXPECT_FALSE(main->isMinimized()) << c.start;
        EXPECT_EQ(Caption("RC Open"), "Hide") << c.start;
        EXPECT_EQ(dispatched, QStringList{"Add Files"}) << c.start;
        EXPECT_EQ(dialogs->openRequests.size(), 1u) << c.start;
        // "-st" sends it to the tray.
        main->RunCommandLineOfLaterStart("-st");
        EXPECT_TRUE(main->IsInTray()) << c.start;
        EXPECT_FALSE(main->isVisible()) << c.start;
        support::UnloadAllForms();
        dialogs->openRequests.clear();
    }
}

TEST_F(MainTray, LeftClickStateMachine)
{
    const struct {
        const char* start;
        std::function<void(CfrmMain*)> prepare;
        bool inTray, visible, minimized;
        const char* caption;
    } cases[] = {
        {"normal", [](CfrmMain* m) { m->showNormal(); }, true, false, true, "Show"},
        {"minimised, not in the tray", [](CfrmMain* m) { m->showMinimized(); }, true, false, true, "Show"},
        {"in the tray",
         [](CfrmMain* m) {
             m->showNormal();
             m->cSysTray1_TrayClick(1);
         },
         false, true, false, "Hide"},
        {"maximised", [](CfrmMain* m) { m->showMaximized(); }, false, true, false, "Hide"},
    };
    for (const auto& c : cases) {
        CfrmMain* main = LoadMain();
        c.prepare(main);
        main->cSysTray1_TrayClick(1);
        EXPECT_EQ(main->IsInTray(), c.inTray) << c.start;
        EXPECT_EQ(main->isVisible(), c.visible) << c.start;
        EXPECT_EQ(main->isMinimized(), c.minimized) << c.start;
        EXPECT_EQ(Caption("RC Open"), c.caption) << c.start;
        support::UnloadAllForms();
    }
}

TEST_F(MainTray, GoSysTrayThenRCOpen)
{
    CfrmMain* main = LoadMain();
    main->Show();
    RunKey("GoSysTray");
    EXPECT_TRUE(main->IsInTray());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(Caption("RC Open"), "Show");
    RunKey("RC Open");
    EXPECT_FALSE(main->IsInTray());
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(main->isMinimized());
    EXPECT_EQ(Caption("RC Open"), "Hide");
    EXPECT_EQ(dispatched, QStringList({"GoSysTray", "RC Open"}));
}

TEST_F(MainTray, StartInTheTrayThenTheFirstLeftClickRestores)
{
    platform::SetCommandLine({"-st"});
    Main();
    CfrmMain* main = frmMain.get();
    ASSERT_TRUE(main->IsInTray());
    EXPECT_EQ(Caption("RC Open"), "Show");
    main->cSysTray1_TrayClick(1);
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(main->isMinimized());
    EXPECT_FALSE(main->IsInTray());
    EXPECT_EQ(Caption("RC Open"), "Hide");
}

TEST_F(MainTray, WithoutATrayTheWindowOnlyMinimises)
{
    cSysTray::SetAvailableOverride(0);
    CfrmMain* main = LoadMain();
    main->Show();
    RunKey("GoSysTray");
    EXPECT_TRUE(main->IsInTray());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->isMinimized());
    EXPECT_EQ(Caption("RC Open"), "Show");
    // Restored from the task bar, it is no longer in the tray.
    main->showNormal();
    EXPECT_FALSE(main->IsInTray());
    EXPECT_EQ(Caption("RC Open"), "Hide");
}

TEST_F(MainTray, RightClickOpensTheTrayMenu)
{
    CfrmMain* main = LoadMain();
    main->cSysTray1_TrayClick(2);
    QMenu* popup = main->m_cMenu->LastPopup();
    ASSERT_NE(popup, nullptr);
    QStringList texts;
    for (QAction* a : popup->actions())
        if (!a->isSeparator()) texts << a->text();
    EXPECT_EQ(texts, QStringList({"Exit" + QString(22, ' '), "Hide"}));
    popup->close();
    // Other codes do nothing.
    main->cSysTray1_TrayClick(3);
    EXPECT_FALSE(main->IsInTray());
}

} // namespace
