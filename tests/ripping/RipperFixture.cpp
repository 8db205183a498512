#include "RipperFixture.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/TimeSizeText.h"
#include "lists/ItemRows.h"
#include "support/JobWindowTesting.h"
#include "mainwindow/frmMain.h"
#include "platform/Clock.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace riptest {

void AddTrackRow(cGrid* grid, const QString& drive, const Track& track)
{
    const int n = grid->Rows() + 1;
    const QString name = track.itemName.isEmpty() ? QString("Track%1.cda").arg(n, 2, 10, QChar('0')) : track.itemName;
    const bool ranged = !track.length.isEmpty();
    grid->CellDetails(n, kColInc, QVariant(), kIconCellFormat, track.marked ? kIconMarked : kIconUnmarked);
    grid->CellDetails(n, kColType, "", kIconCellFormat, track.data ? 4 : 3);
    grid->CellDetails(n, kColItemName, name);
    grid->CellDetails(n, kColTime, TwoDigitTime(track.seconds));
    grid->CellDetails(n, kColFile, drive + "/" + QString("Track%1.cda").arg(n, 2, 10, QChar('0')));
    grid->CellDetails(n, kColRange, ranged ? "range" : "All");
    grid->CellDetails(n, kColRangeAll, ranged ? "0" : "1");
    grid->CellDetails(n, kColRangeStart, track.start);
    grid->CellDetails(n, kColRangeLength, track.length);
    grid->CellDetails(n, kColTagTitle, track.title);
}

void RipperTestBase::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    lAppIncCDRipper = 1;
    SeedRegistry();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    now = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
    platform::SetNowSource([this] { return now; });
    SetAudioCDRipperFactory([] { return std::make_unique<FakeAudioCDRipper>(); });
    // As at start-up: the settings dialogs are loaded before any tool window.
    frmOptions.get();
    g_frmAudioProp.get();
    QDir().mkpath(Out());
}

void RipperTestBase::TearDown()
{
    ProgramFixture::TearDown();
    SetAudioCDRipperFactory({});
    FakeAudioCDRipper::DefaultDrives().clear();
    platform::SetNowSource(nullptr);
    QLocale::setDefault(QLocale::c());
    SetEditionModes();
    w = nullptr;
}

void RipperTestBase::Drives(const std::vector<FakeAudioCDRipper::Drive>& drives)
{
    FakeAudioCDRipper::DefaultDrives() = drives;
}

FakeAudioCDRipper* RipperTestBase::Fake() const { return dynamic_cast<FakeAudioCDRipper*>(w->cAudioCDRipper1.get()); }

void RipperTestBase::Run()
{
    w->cmdConvert_Click();
    WaitUntilIdle();
}

void RipperTestBase::WaitUntilIdle() { support::WaitUntilIdle(w); }

QStringList RipperTestBase::LogLines() const { return support::JobLogLines(w, now); }

void RipperTestBase::Pattern(const QString& pattern)
{
    w->cboFileName->setEditable(true);
    w->cboFileName->setEditText(pattern);
}

CfrmCDRipper* RipperWindowTest::Open(const std::vector<Track>& tracks)
{
    w = g_frmCDRipper.get();
    w->txtToPath->setEditText(Out());
    for (const Track& t : tracks) AddTrackRow(w->cGrid1, "D:", t);
    return w;
}

void RipperCommandTest::SetUp()
{
    RipperTestBase::SetUp();
    cSysTray::SetAvailableOverride(1);
    g_bAutoFreeDB = false;
    g_bSelectTheLastItem = false;
}

void RipperCommandTest::TearDown()
{
    RipperTestBase::TearDown();
    cSysTray::SetAvailableOverride(-1);
}

CfrmMain* RipperCommandTest::Main()
{
    CfrmMain* main = frmMain.get();
    WaitForOpenList();
    return main;
}

cTreeNode* RipperCommandTest::DriveNode(int i) { return Main()->g_nodMainCDs->Child()->Item(i); }

void RipperCommandTest::OpenDrive(int i) { Main()->cTreeView1_NodeClick(DriveNode(i)); }

void RipperCommandTest::RunRipper(const std::function<void(CfrmCDRipper*)>& inWindow)
{
    modal->hook = [this, inWindow](QWidget* window) {
        w = qobject_cast<CfrmCDRipper*>(window);
        ASSERT_NE(w, nullptr);
        if (inWindow) inWindow(w);
        w->cmdExit_Click();
    };
    Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey("Audio CD Ripper"));
}

void CdImageTest::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    lAppIncCDRipper = 1;
    SetAudioCDRipperFactory({});
    SetAudioConverterFactory({});
    cSysTray::SetAvailableOverride(1);
    SeedRegistry();
    image = support::WriteTestDisc(QDir::cleanPath(ProgramFolder() + "/.."), "disc");
    SetCDDriveImages(QStringList{image.cue});
    frmOptions.get();
    g_frmAudioProp.get();
    g_bTurnOffComputer = false;
    g_bOpenDestFolder = false;
    g_bNoticeApp = false;
    main = frmMain.get();
    WaitForOpenList();
}

void CdImageTest::TearDown()
{
    ProgramFixture::TearDown();
    SetCDDriveImages(std::nullopt);
    cSysTray::SetAvailableOverride(-1);
    SetEditionModes();
}

QStringList CdImageTest::RipWith(const std::function<void(CfrmCDRipper*)>& settings)
{
    QStringList log;
    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmCDRipper*>(window);
        ASSERT_NE(w, nullptr);
        settings(w);
        w->cmdConvert->click();
        EXPECT_TRUE(QTest::qWaitFor([w] { return w->cmdConvert->isEnabled(); }, 120000));
        log = w->txtLog->toPlainText().split('\n');
        w->cmdExit->click();
    };
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Audio CD Ripper"));
    return log;
}

} // namespace riptest
