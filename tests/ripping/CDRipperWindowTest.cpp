// The CD Ripper window on the fake CD ripper: its set-up, the drive list and
// the disc check, the eject button, and the rip job's own steps (marked rows
// only, track numbers, ranges, the drive, names from CD titles, the eject at
// the end, closing).
#include "RipperFixture.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/TextFiles.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "settings/StoredControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using namespace riptest;
using Fake = FakeAudioCDRipper;
using Ending = FakeAudioCDRipper::Ending;

QColor StatusColor(const CfrmCDRipper* w) { return w->lblCDStatus->palette().color(QPalette::WindowText); }

TEST_F(RipperWindowTest, TheWindowIsTheFamilysWithTheRippersOwnParts)
{
    Drives({Fake::AudioCD(0, {60})});
    Open();
    EXPECT_EQ(w->windowTitle(), "Audio CD Ripper");
    EXPECT_EQ(w->lblTitle->text(), "Audio CD Ripper");
    EXPECT_EQ(w->cmdConvert->text(), "Rip");
    EXPECT_EQ(w->cTabControl1->TabCaption(1), "Ripper Options    ");
    EXPECT_EQ(w->cTabControl1->TabKey(1), "Settings");
    EXPECT_EQ(w->chkNoticeApp->text(), "Execute external program");
    EXPECT_EQ(w->Label1->text(), "Audio CD:");
    EXPECT_EQ(w->cmdOpenCD->text(), "Open");
    EXPECT_EQ(w->chkOpenCDdrive->text(), "Eject the CD door");
    EXPECT_TRUE(w->chkOpenCDdrive->font().bold());
    EXPECT_EQ(w->cGrid1->ImageList(), main.imgGrid) << "the job grid shows the grid's icons";
    EXPECT_FALSE(w->cGrid1->isVisible());
}

TEST_F(RipperWindowTest, TheStatusSaysWhatTheFirstDriveHolds)
{
    struct Case {
        const char* label;
        Fake::Drive drive;
        QString status;
    };
    Fake::Drive closed = Fake::AudioCD(0, {60});
    closed.opens = false;
    std::vector<std::int32_t> twelve(12, 30);
    const Case cases[] = {
        {"cannot be opened", closed, "Cannot select 'D:/' as an Audio CD."},
        {"no disc", Fake::EmptyDrive(0), "'D:/' is not an Audio CD."},
        {"data disc", Fake::DataCD(0), "'D:/' is not an Audio CD."},
        {"twelve tracks", Fake::AudioCD(0, twelve), "OK: 12 CDA tracks"},
    };
    for (const Case& c : cases) {
        support::UnloadAllForms();
        Drives({c.drive, Fake::AudioCD(1, {10})});
        Open();
        ASSERT_EQ(w->cboDevices->count(), 2) << c.label;
        EXPECT_EQ(w->cboDevices->itemText(0), c.drive.name) << c.label;
        EXPECT_EQ(w->cboDevices->currentIndex(), 0) << c.label;
        EXPECT_EQ(w->lblCDStatus->text(), c.status) << c.label;
        const bool ok = c.status.startsWith("OK");
        EXPECT_EQ(StatusColor(w), ok ? QColor(Qt::black) : QColor(Qt::red)) << c.label;
        EXPECT_TRUE(w->cmdConvert->isEnabled()) << "a red status leaves Rip enabled";
        EXPECT_TRUE(Fake()->calls.contains("SelectDrive 0")) << c.label;
    }
    // The drive's own words stand in the status's tip.
    support::UnloadAllForms();
    Drives({Fake::EmptyDrive(0)});
    Open();
    EXPECT_EQ(w->lblCDStatus->toolTip(), "There is no disc in drive D:.");
}

TEST_F(RipperWindowTest, ChoosingAnotherDriveChecksItsDisc)
{
    Drives({Fake::AudioCD(0, {60}), Fake::EmptyDrive(1)});
    Open();
    EXPECT_EQ(w->lblCDStatus->text(), "OK: 1 CDA tracks");
    w->cboDevices->setCurrentIndex(1);
    EXPECT_EQ(w->lblCDStatus->text(), "'E:/' is not an Audio CD.");
    EXPECT_EQ(StatusColor(w), QColor(Qt::red));
}

TEST_F(RipperWindowTest, WithoutADriveTheListStaysEmpty)
{
    Drives({});
    Open();
    EXPECT_EQ(w->cboDevices->count(), 0);
    EXPECT_EQ(w->lblCDStatus->text(), "Ready.");
    for (const QString& call : Fake()->calls) EXPECT_FALSE(call.startsWith("SelectDrive")) << call.toStdString();
}

TEST_F(RipperWindowTest, TheEjectChoiceIsTickedAtEveryOpening)
{
    Drives({Fake::AudioCD(0, {60})});
    Open();
    EXPECT_EQ(CheckValue(w->chkOpenCDdrive), 1);
    SetCheckValue(w->chkOpenCDdrive, 0);
    w->cmdExit_Click();
    ProcessEvents();
    Open();
    EXPECT_EQ(CheckValue(w->chkOpenCDdrive), 1);
}

TEST_F(RipperWindowTest, OpenEjectsTheDiscAndSaysWhenTheTrayDidNotMove)
{
    Drives({Fake::AudioCD(0, {60})});
    Open();
    w->cmdOpenCD_Click();
    EXPECT_EQ(Fake()->calls.count("OpenTray"), 1);
    EXPECT_TRUE(msgBox->shown.empty());

    Fake()->drives[0].trayError = kRipErrTray;
    msgBox->Expect("The tray of the CD drive D: did not open.");
    w->cmdOpenCD_Click();
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, QString("The tray of the CD drive D: did not open.") + kCrLf + kCrLf +
                                         "The tray of drive D: did not move. (" + QString::number(kRipErrTray) +
                                         ")");
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbExclamation);
}

TEST_F(RipperWindowTest, OnlyMarkedRowsAreRippedEachAsItsTrackFromTheChosenDrive)
{
    Drives({Fake::AudioCD(0, {60, 70, 80, 90}), Fake::AudioCD(1, {60, 70, 80, 90})});
    Open({{60, false}, {70, false}, {80, true}, {90, false, true}});
    w->cboDevices->setCurrentIndex(1);
    Pattern("[123] [item_name].[dest_extension]");
    w->cboTargetFormat->setCurrentText("OGG - Ogg Media Format (*.ogg)");
    Run();
    ASSERT_EQ(Fake()->rips.size(), 1u);
    EXPECT_EQ(Fake()->rips[0].trackNumber, 3) << "the row number is the track";
    EXPECT_EQ(Fake()->rips[0].driveIndex, 1);
    EXPECT_EQ(Fake()->rips[0].format, kDestFormatOGG);
    EXPECT_EQ(Fake()->rips[0].destination, Out() + "3 Track03.cda.ogg");
    EXPECT_FALSE(Fake()->rips[0].ranged);
    EXPECT_EQ(w->lblFilesToConvert->text(), "Files: 3/4");
    EXPECT_EQ(LogLines(), (QStringList{"Preparing to rip: 4 tracks.", "Destination format: OGG",
                                       "Start to rip: Track03.cda...", "Done."}));
    EXPECT_EQ(w->lblCurrentTrack->text(), "Done.");
    EXPECT_TRUE(QFileInfo::exists(Out() + "3 Track03.cda.ogg"));
}

TEST_F(RipperWindowTest, ARangeIsRippedAsARangeAndTheWholeTrackAfterItWhole)
{
    Drives({Fake::AudioCD(0, {60, 70, 80})});
    Open({{60, true, false, "10", "20"}, {70}, {80, true, false, "5", "15"}});
    w->g_ltmrItemSecsTotal = 20 + 70 + 15;
    Run();
    ASSERT_EQ(Fake()->rips.size(), 3u);
    EXPECT_TRUE(Fake()->rips[0].ranged);
    EXPECT_EQ(Fake()->rips[0].rangeStart, 10);
    EXPECT_EQ(Fake()->rips[0].rangeLength, 20);
    EXPECT_FALSE(Fake()->rips[1].ranged) << "a whole track after a ranged one is ripped whole";
    EXPECT_EQ(Fake()->rips[1].trackNumber, 2);
    EXPECT_TRUE(Fake()->rips[2].ranged);
    EXPECT_EQ(Fake()->rips[2].rangeStart, 5);
    EXPECT_EQ(Fake()->rips[2].rangeLength, 15);
    EXPECT_EQ(w->g_ltmrUpToItemSecs, 20 + 70 + 15) << "a range counts its length, a whole track its Time";
}

TEST_F(RipperWindowTest, TagTextsGetTheShortPlaceholders)
{
    Drives({Fake::AudioCD(0, {60, 70})});
    Open({{60, false}, {70, true, false, "", "", "", "[TRACK_NUM] of [PROG_NAME] [ITEM_NAME] [RANGE]"}});
    Run();
    ASSERT_EQ(Fake()->rips.size(), 1u);
    EXPECT_EQ(Fake()->rips[0].title, "2 of Tarvello [ITEM_NAME] [RANGE]");
}

TEST_F(RipperWindowTest, TitlesFromTheCDDatabaseNeverLeadOutOfTheDestination)
{
    Drives({Fake::AudioCD(0, {60, 70, 80})});
    // Names as a lookup may write them into the rows, and the CD's title as the sub-folder.
    Open({{60, true, false, "", "", "AC/DC: Back/../../In Black"}, {70, true, false, "", "", ".."}, {80}});
    Pattern("[item_name].[dest_extension]");
    w->cboTargetFormat->setCurrentText("WAV - Waveform Audio Format (*.wav)");
    w->txtUndeForlder->setText("..");
    SetCheckValue(w->chkCreateSubFolder, 1);
    Run();
    ASSERT_EQ(Fake()->rips.size(), 3u);
    const QString folder = Out() + "--/";
    EXPECT_EQ(Fake()->rips[0].destination, folder + "AC-DC: Back-..-..-In Black.wav");
    EXPECT_EQ(Fake()->rips[1].destination, folder + "...wav");
    for (const auto& rip : Fake()->rips) {
        const QString made = QFileInfo(rip.destination).absolutePath() + "/";
        EXPECT_EQ(QDir::cleanPath(made) + "/", folder) << rip.destination.toStdString();
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(RipperWindowTest, TheDiscIsEjectedAtTheEndWhenAsked)
{
    Drives({Fake::AudioCD(0, {60})});
    Open({{60}});
    Run();
    EXPECT_EQ(Fake()->calls.last(), "OpenTray") << "after the last rip";
    EXPECT_EQ(Fake()->calls.count("OpenTray"), 1);

    SetCheckValue(w->chkOpenCDdrive, 0);
    SetCheckValue(w->chkOverWrite, 1);
    Run();
    EXPECT_EQ(Fake()->calls.count("OpenTray"), 1);
    EXPECT_EQ(Fake()->calls.count("Rip"), 2);
}

TEST_F(RipperWindowTest, AnEjectThatFailsIsLoggedAndShownUnlessTheComputerIsTurnedOff)
{
    Drives({Fake::AudioCD(0, {60})});
    Open({{60}});
    Fake()->drives[0].trayError = kRipErrTray;
    msgBox->Expect("The tray of the CD drive D: did not open.");
    Run();
    EXPECT_EQ(LogLines().last(), "Error: The tray of the CD drive D: did not open. The tray of drive D: did not move.(" +
                                     QString::number(kRipErrTray) + ")");
    ASSERT_EQ(msgBox->shown.size(), 1u);

    // The countdown follows: the log tells it, no question holds the shutdown up.
    SetCheckValue(w->chkTurnOffComputer, 1);
    SetCheckValue(w->chkOverWrite, 1);
    modal->hook = [](QWidget* window) { window->close(); };
    Run();
    EXPECT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(modal->shown, QStringList{"g_frmTurnOff"});
    EXPECT_TRUE(LogLines().last().startsWith("Error: The tray of the CD drive D: did not open."));
}

TEST_F(RipperWindowTest, AFailedTrackIsLoggedAndTheOthersAreRipped)
{
    Drives({Fake::AudioCD(0, {60, 70})});
    Open({{60}, {70}});
    Fake::Script error;
    error.ending = Ending::Error;
    error.errorCode = kRipErrRead;
    error.errorText = "Track 1 cannot be read at 00:00:12.";
    Fake()->QueueScript(error);
    Run();
    EXPECT_EQ(Fake()->rips.size(), 2u);
    EXPECT_TRUE(LogLines().contains("Error: Track 1 cannot be read at 00:00:12.(" + QString::number(kRipErrRead) + ")"));
    EXPECT_EQ(w->lblCurrentTrack->text(), "Done, with errors: 1 of 2 items failed.");
}

TEST_F(RipperWindowTest, ClosingWaitsForTheRipAndThenReleasesTheControl)
{
    Drives({Fake::AudioCD(0, {60})});
    Open({{60}});
    Fake::Script hang;
    hang.ending = Ending::Hang;
    Fake()->QueueScript(hang);
    w->cmdConvert_Click();
    EXPECT_FALSE(w->Unload()) << "no closing while a rip runs";
    EXPECT_TRUE(g_frmCDRipper.IsLoaded());
    FakeAudioCDRipper* fake = Fake();
    fake->Finish(Ending::Done);
    WaitUntilIdle();
    EXPECT_EQ(fake->calls.count("Terminate"), 0);
    EXPECT_TRUE(w->Unload());
    EXPECT_EQ(fake->calls.count("Terminate"), 1);
}

TEST_F(RipperWindowTest, AbortStopsTheRip)
{
    Drives({Fake::AudioCD(0, {60, 70})});
    Open({{60}, {70}});
    Fake::Script hang;
    hang.ending = Ending::Hang;
    Fake()->QueueScript(hang);
    w->cmdConvert_Click();
    msgBox->Expect("Abort operation?", platform::vbYes);
    w->cmdAbort_Click();
    WaitUntilIdle();
    EXPECT_EQ(Fake()->rips.size(), 1u);
    EXPECT_EQ(w->lblCurrentTrack->text(), "Aborted.");
    EXPECT_EQ(Fake()->calls.count("OpenTray"), 0) << "no end actions after an abort";
}

} // namespace
