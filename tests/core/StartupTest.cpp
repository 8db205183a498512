#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/RegistryRoutines.h"
#include "core/frmSplash.h"
#include "core/mdlMain.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace {

const char* kMissingKeyMessage = "This program cannot run, please reinstall the software or connect to the sofrware "
                                 "aurhor.\r\n\r\nThe main reistry key doesn't existed.";

class Startup : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        Form::LoadHistory().clear();
        cSysTray::SetAvailableOverride(1);
    }
    void TearDown() override
    {
        cSysTray::SetAvailableOverride(-1);
        platform::SetCommandLine({});
        ProgramFixture::TearDown();
    }
    QString TrayCaption() { return frmMain->m_cMenu->Caption(frmMain->m_cMenu->IndexForKey("RC Open")); }
};

TEST_F(Startup, MissingProgramKeyShowsOnlyTheMessage)
{
    for (const char* args : {"", "-st"}) {
        platform::SetCommandLine(QString(args).split(' ', Qt::SkipEmptyParts));
        msgBox->Expect(kMissingKeyMessage, platform::vbOK);
        Main();
        ASSERT_EQ(msgBox->shown.size(), 1u);
        EXPECT_EQ(msgBox->shown[0].text, kMissingKeyMessage);
        EXPECT_EQ(msgBox->shown[0].title, "Tarvello");
        EXPECT_EQ(msgBox->shown[0].flags, platform::vbInformation);
        EXPECT_TRUE(Form::Forms().empty());
        EXPECT_TRUE(Form::LoadHistory().isEmpty());
        msgBox->shown.clear();
    }
}

// A registry folder of its own (portable use) that holds no machine hive
// starts from the hive installed in the program folder; one that holds a hive
// keeps it, even without the program's key.
TEST_F(Startup, APortableRegistryFolderStartsFromTheInstalledHive)
{
    const QString installed = QString(TARVELLO_SOURCE_DIR) + "/data/registry/HKEY_LOCAL_MACHINE.reg";
    ASSERT_TRUE(QDir(ProgramFolder()).mkpath("registry"));
    ASSERT_TRUE(QFile::copy(installed, ProgramFolder() + "/registry/HKEY_LOCAL_MACHINE.reg"));
    QFile::setPermissions(ProgramFolder() + "/registry/HKEY_LOCAL_MACHINE.reg", QFile::ReadOwner);
    for (const QString& folder : {RegistryFolder(), RegistryFolder() + "/new/portable"}) {
        qputenv("TARVELLO_REGISTRY_DIR", folder.toLocal8Bit());
        platform::reg::ResetCache();
        Main();
        EXPECT_TRUE(msgBox->shown.empty()) << folder.toStdString();
        ASSERT_TRUE(frmMain.IsLoaded()) << folder.toStdString();
        support::UnloadAllForms();
        QFile hive(folder + "/HKEY_LOCAL_MACHINE.reg");
        ASSERT_TRUE(hive.open(QIODevice::ReadOnly));
        const QByteArray text = hive.readAll();
        EXPECT_TRUE(text.contains("\"cboTargetFormat\"=\"OGG - Ogg Media Format (*.ogg)\"")) << folder.toStdString();
        EXPECT_TRUE(hive.permissions() & QFile::WriteOwner) << "the settings can be saved";
    }

    const QByteArray own = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n\"kept\"=\"1\"\r\n";
    const QString folder = RegistryFolder() + "/own";
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile hive(folder + "/HKEY_LOCAL_MACHINE.reg");
    ASSERT_TRUE(hive.open(QIODevice::WriteOnly));
    hive.write(own);
    hive.close();
    qputenv("TARVELLO_REGISTRY_DIR", folder.toLocal8Bit());
    platform::reg::ResetCache();
    msgBox->Expect(kMissingKeyMessage, platform::vbOK);
    Main();
    EXPECT_EQ(msgBox->shown.size(), 1u);
    EXPECT_FALSE(frmMain.IsLoaded());
    ASSERT_TRUE(hive.open(QIODevice::ReadOnly));
    EXPECT_EQ(hive.readAll(), own);
}

TEST_F(Startup, EmptyProgramKeyIsEnoughAndWindowsLoadInOrder)
{
    RegistryRoutines reg;
    reg.hkey = platform::reg::HKEY_LOCAL_MACHINE;
    reg.KeyRoot = "SOFTWARE\\Brenmark\\Tarvello";
    ASSERT_EQ(reg.CreateKey(QString("General")), "0");

    Main();
    EXPECT_EQ(Form::LoadHistory(), QStringList({"g_frmSplash", "frmOptions", "g_frmAudioProp", "frmMain"}));
    EXPECT_FALSE(g_frmSplash.IsLoaded());
    ASSERT_TRUE(frmMain.IsLoaded());
    EXPECT_TRUE(frmMain->isVisible());
    EXPECT_EQ(frmMain->windowTitle(), "Tarvello 1.2");
    // The two dialogs stay loaded and hidden.
    ASSERT_EQ(Form::Forms().size(), 3u);
    for (Form* f : Form::Forms()) {
        if (f->Name() != "frmMain") {
            EXPECT_FALSE(f->isVisible()) << f->Name().toStdString();
        }
    }
}

TEST_F(Startup, OnlyTheExactSwitchStartsInTheTray)
{
    const struct {
        QStringList args;
        bool inTray;
    } cases[] = {
        {{"-st"}, true},
        {{}, false},
        {{"-ST"}, false},
        {{"-st", "-addfiles"}, false},
        {{"-addfiles"}, false},
    };
    for (const auto& c : cases) {
        SeedRegistry();
        platform::SetCommandLine(c.args);
        Main();
        ASSERT_TRUE(frmMain.IsLoaded());
        const std::string label = c.args.join(' ').toStdString();
        EXPECT_EQ(frmMain->IsInTray(), c.inTray) << label;
        EXPECT_EQ(frmMain->isMinimized(), c.inTray) << label;
        EXPECT_EQ(frmMain->isVisible(), !c.inTray) << label;
        EXPECT_EQ(TrayCaption(), c.inTray ? "Show" : "Hide") << label;
        support::UnloadAllForms();
    }
}

TEST_F(Startup, ShowFromTheTrayBringsTheWindowBack)
{
    SeedRegistry();
    platform::SetCommandLine({"-st"});
    Main();
    CfrmMain* main = frmMain.get();
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("RC Open"));
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(main->isMinimized());
    EXPECT_FALSE(main->IsInTray());
    EXPECT_EQ(TrayCaption(), "Hide");
    // A left click on the tray icon sends it back again.
    main->cSysTray1_TrayClick(1);
    EXPECT_TRUE(main->IsInTray());
    EXPECT_FALSE(main->isVisible());
}

TEST_F(Startup, WithoutATrayTheWindowStaysOnTheTaskBar)
{
    cSysTray::SetAvailableOverride(0);
    SeedRegistry();
    platform::SetCommandLine({"-st"});
    Main();
    EXPECT_TRUE(frmMain->IsInTray());
    EXPECT_TRUE(frmMain->isMinimized());
    EXPECT_TRUE(frmMain->isVisible());
}

TEST_F(Startup, DoubleClickOnTheSplashClosesItAndStartUpGoesOn)
{
    SeedRegistry();
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        CfrmSplash* splash = g_frmSplash.Peek();
        ASSERT_NE(splash, nullptr);
        // A double-click on a label is not on the background.
        QPoint onLabel = splash->lblStat->geometry().center();
        QMouseEvent labelClick(QEvent::MouseButtonDblClick, onLabel, splash->mapToGlobal(onLabel), Qt::LeftButton,
                               Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(splash, &labelClick);
        EXPECT_TRUE(g_frmSplash.IsLoaded());
        QPoint background(splash->width() - 5, splash->height() - 5);
        QMouseEvent click(QEvent::MouseButtonDblClick, background, splash->mapToGlobal(background), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(splash, &click);
        clicked = true;
    });
    Main();
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(g_frmSplash.IsLoaded());
    ASSERT_TRUE(frmMain.IsLoaded());
    EXPECT_TRUE(frmMain->isVisible());
    SetLoadingStatus("after the splash is gone");
    EXPECT_FALSE(g_frmSplash.IsLoaded());
}

TEST_F(Startup, SplashTakesTheSkinColourOrKeepsWhite)
{
    SetEditionModes();
    for (const char* colour : {"255", ""}) {
        g_sAppColor = colour;
        CfrmSplash* splash = g_frmSplash.get();
        QColor expected = QString(colour).isEmpty() ? QColor(Qt::white) : QColor(255, 0, 0);
        EXPECT_EQ(splash->palette().color(QPalette::Window), expected) << colour;
        EXPECT_EQ(splash->lblAppTitle->text(), "Tarvello 1.2");
        EXPECT_EQ(splash->lblVersion->text(), "Version 1.2.0");
        EXPECT_EQ(splash->windowOpacity(), 0.0);
        splash->FadeIn();
        EXPECT_EQ(splash->windowOpacity(), 1.0);
        splash->Unload();
        ProcessEvents();
    }
    SetEditionModes();
}

} // namespace
