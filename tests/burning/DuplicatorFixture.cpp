#include "DuplicatorFixture.h"

#include "controls/cd/OpticalDrives.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/Clock.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "support/JobWindowTesting.h"

#include <QDir>
#include <QLocale>
#include <QPushButton>
#include <QTest>

namespace duptest {

void DuplicatorWindowTest::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    lAppIncCDDuplicator = 1;
    SeedRegistry();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    now = QDateTime(QDate(2026, 12, 10), QTime(23, 30, 5));
    platform::SetNowSource([this] { return now; });
    SetAudioCDRipperFactory([] { return std::make_unique<FakeAudioCDRipper>(); });
    SetAudioBurnerFactory([] { return std::make_unique<FakeAudioBurner>(); });
    // As at start-up: the settings dialogs are loaded before any tool window.
    frmOptions.get();
    g_frmAudioProp.get();
    g_bPlaySound = false;
    g_bNoticeApp = false;
    g_bOpenDestFolder = false;
    g_bTurnOffComputer = false;
}

void DuplicatorWindowTest::TearDown()
{
    ProgramFixture::TearDown();
    SetAudioCDRipperFactory({});
    SetAudioBurnerFactory({});
    FakeAudioCDRipper::DefaultDrives().clear();
    FakeAudioBurner::DefaultDrives().clear();
    platform::SetNowSource(nullptr);
    QLocale::setDefault(QLocale::c());
    SetEditionModes();
}

void DuplicatorWindowTest::Sources(const std::vector<FakeAudioCDRipper::Drive>& drives)
{
    FakeAudioCDRipper::DefaultDrives() = drives;
}

void DuplicatorWindowTest::Writers(const std::vector<FakeAudioBurner::Drive>& drives)
{
    FakeAudioBurner::DefaultDrives() = drives;
}

CfrmAudioCDDuplicator* DuplicatorWindowTest::Open()
{
    w = g_frmAudioCDDuplicator.get();
    return w;
}

FakeAudioCDRipper* DuplicatorWindowTest::Ripper() const
{
    return dynamic_cast<FakeAudioCDRipper*>(w->cAudioCDRipper1.get());
}

FakeAudioBurner* DuplicatorWindowTest::Burner() const { return dynamic_cast<FakeAudioBurner*>(w->cAudioBurner1.get()); }

void DuplicatorWindowTest::Run()
{
    w->cmdConvert_Click();
    EXPECT_TRUE(QTest::qWaitFor([this] { return Closed() || w->cmdExit->isEnabled(); }, 10000));
    ProcessEvents();
}

QStringList DuplicatorWindowTest::LogLines() const { return support::JobLogLines(w, now); }

QString DuplicatorWindowTest::Temp() const { return platform::AppPath() + "/duptmp/"; }

QStringList DuplicatorWindowTest::TempFiles() const
{
    return QDir(Temp()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void DuplicatorImageTest::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    lAppIncCDDuplicator = 1;
    SetAudioCDRipperFactory({});
    SetAudioBurnerFactory({});
    cSysTray::SetAvailableOverride(1);
    SeedRegistry();
    const QString folder = QDir::cleanPath(ProgramFolder() + "/..");
    source = support::WriteCdImage(folder, "source", {{4.2, 440}, {5, 660}, {4.6, 990}});
    copyCue = folder + "/copy.cue";
    SetCDDriveImages(QStringList{source.cue});
    optical::SetImageWriters(optical::ImageWriters{copyCue, QString()});
    frmOptions.get();
    g_frmAudioProp.get();
    g_bPlaySound = false;
    g_bTurnOffComputer = false;
    g_bOpenDestFolder = false;
    g_bNoticeApp = false;
    main = frmMain.get();
    WaitForOpenList();
}

void DuplicatorImageTest::TearDown()
{
    ProgramFixture::TearDown();
    SetCDDriveImages(std::nullopt);
    optical::SetImageWriters(std::nullopt);
    cSysTray::SetAvailableOverride(-1);
    SetEditionModes();
}

} // namespace duptest
