#pragma once
// The main window loaded as at start-up: the edition table filled, the
// settings read by the options dialog, a tray to hide in; and the keys its
// dispatcher receives.
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "support/ProgramFixture.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QTimer>
#include <functional>

class MainWindowFixture : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        SetEditionModes();
        SeedRegistry();
        cSysTray::SetAvailableOverride(1);
        frmOptions.get();
        g_bDisplayMSGWhenExit = false;
        g_bClearOnExit = false;
    }
    void TearDown() override
    {
        g_bDisplayMSGWhenExit = false;
        g_bClearOnExit = false;
        ProgramFixture::TearDown();
        cSysTray::SetAvailableOverride(-1);
        platform::SetCommandLine({});
        SetEditionModes();
    }

    // Every edition flag set to the value.
    static void SetAllToolFlags(std::int32_t value)
    {
        for (std::int32_t* flag :
             {&lAppIncConverter, &lAppIncJoin, &lAppIncSplit, &lAppIncMicRec, &lAppIncEditor, &lAppIncAudioBurner,
              &lAppIncCDRipper, &lAppIncMP3TagsEditor, &lAppIncMP3Burner, &lAppIncWMABurner, &lAppIncACMConverter,
              &lAppIncItemsLists, &lAppIncTTS, &lAppIncCDDuplicator})
            *flag = value;
    }

    // Loads the main window, with its first list opened, and records the keys
    // its dispatcher receives.
    CfrmMain* LoadMain()
    {
        CfrmMain* main = frmMain.get();
        WaitForOpenList();
        QObject::connect(main, &CfrmMain::CommandDispatched, main, [this](const QString& key) { dispatched << key; });
        return main;
    }

    QString Caption(const QString& key) const { return frmMain->m_cMenu->Caption(frmMain->m_cMenu->IndexForKey(key)); }
    bool Checked(const QString& key) const { return frmMain->m_cMenu->Checked(frmMain->m_cMenu->IndexForKey(key)); }

    QStringList dispatched;
};
