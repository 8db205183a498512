// The main window's "Audio CD Ripper" command: what it refuses, and what it
// hands to the CD Ripper window (every track with its mark, totals, the
// sub-folder, the drive fixed), with CD polling paused while the window is open.
#include "RipperFixture.h"

#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

using namespace riptest;
using Fake = FakeAudioCDRipper;

TEST_F(RipperCommandTest, AnItemsListIsRefusedAndTheFirstDriveOpened)
{
    Drives({Fake::AudioCD(0, {60, 70}), Fake::AudioCD(1, {10})});
    Main()->g_nodMainCDs->SetExpanded(false);
    const QString refusal = "Select the the Audio CD device to rip from." + QString(40, ' ');
    msgBox->Expect(refusal);
    RunRipper();
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, refusal);
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbInformation);
    EXPECT_TRUE(modal->shown.isEmpty());
    EXPECT_TRUE(Main()->g_nodMainCDs->Expanded());
    EXPECT_EQ(Main()->cTreeView1->SelectedItem(), DriveNode(1));
    EXPECT_EQ(Main()->cGrid1->Rows(), 2);
}

TEST_F(RipperCommandTest, ARootIsRefusedAndItsFirstChildOpened)
{
    Drives({Fake::AudioCD(0, {60, 70})});
    const QString refusal = "Select the Items List of the CD." + QString(40, ' ');
    cTreeNode* cds = Main()->g_nodMainCDs;
    cds->SetSelected(true);
    Main()->cTreeView1_NodeClick(cds);
    msgBox->Expect(refusal);
    RunRipper();
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, refusal);
    EXPECT_EQ(Main()->cTreeView1->SelectedItem(), DriveNode(1));
    EXPECT_EQ(Main()->cGrid1->Rows(), 2);
    EXPECT_TRUE(modal->shown.isEmpty());
}

TEST_F(RipperCommandTest, NothingMarkedOrNoDiscIsRefused)
{
    Drives({Fake::AudioCD(0, {60}), Fake::EmptyDrive(1)});
    const QString refusal = "Mark the items to rip." + QString(29, ' ');
    OpenDrive(1);
    Main()->cGrid1->SetCellIconIndex(1, kColInc, kIconUnmarked);
    msgBox->Expect(refusal);
    RunRipper();
    msgBox->Expect("There is no CD in the drive.");
    OpenDrive(2);
    msgBox->Expect(refusal);
    RunRipper();
    ASSERT_EQ(msgBox->shown.size(), 3u);
    EXPECT_EQ(msgBox->shown[0].text, refusal);
    EXPECT_EQ(msgBox->shown[2].text, refusal);
    EXPECT_TRUE(modal->shown.isEmpty());
}

TEST_F(RipperCommandTest, TheWindowGetsEveryTrackWithItsMarkAndTheNodesDrive)
{
    Drives({Fake::AudioCD(0, {30}), Fake::AudioCD(1, {60, 70, 80}, 1)});
    OpenDrive(2);
    Main()->cGrid1->SetCellIconIndex(2, kColInc, kIconUnmarked);
    bool checked = false;
    RunRipper([&](CfrmCDRipper* w) {
        EXPECT_EQ(w->lblFilesToConvert->text(), "2 items to convert.");
        EXPECT_EQ(w->g_ltmrItemSecsTotal, 60 + 80);
        EXPECT_EQ(w->cStatusBar1->PanelText("Total Size"), "Total Time: 0:02:20");
        EXPECT_EQ(w->cStatusBar1->PanelText("Total Time"), "Total Size: " + Main()->GetTotalSize(true));
        EXPECT_EQ(w->txtUndeForlder->text(), "E-");
        ASSERT_EQ(w->cGrid1->Rows(), 4);
        const int marks[] = {kIconMarked, kIconUnmarked, kIconMarked, kIconUnmarked};
        for (int row = 1; row <= 4; ++row) {
            EXPECT_EQ(w->cGrid1->CellIconIndex(row, kColInc), marks[row - 1]) << row;
            for (int column = 2; column <= Main()->cGrid1->Columns(); ++column)
                EXPECT_EQ(w->cGrid1->CellText(row, column), Main()->cGrid1->CellText(row, column))
                    << "row " << row << " column " << column;
        }
        EXPECT_EQ(w->cboDevices->currentIndex(), 1);
        EXPECT_FALSE(w->cboDevices->isEnabled());
        EXPECT_FALSE(w->cmdOpenCD->isEnabled());
        EXPECT_EQ(w->lblCDStatus->text(), "OK: 4 CDA tracks");
        EXPECT_FALSE(Main()->tmrCDs->isActive()) << "CD polling pauses while the ripper is open";
        EXPECT_EQ(Main()->cursor().shape(), Qt::ArrowCursor);
        checked = true;
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(modal->shown, QStringList{"g_frmCDRipper"});
    EXPECT_FALSE(g_frmCDRipper.IsLoaded());
    EXPECT_TRUE(Main()->tmrCDs->isActive()) << "polling goes on for the CD on show";
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(RipperCommandTest, TheRipRunsFromTheCommandOnTheMarkedTracks)
{
    Drives({Fake::AudioCD(0, {60, 70, 80})});
    OpenDrive(1);
    Main()->cGrid1->SetCellIconIndex(1, kColInc, kIconUnmarked);
    std::vector<Fake::RipCall> rips;
    RunRipper([&](CfrmCDRipper* w) {
        w->txtToPath->setEditText(Out());
        Run();
        rips = Fake()->rips;
    });
    ASSERT_EQ(rips.size(), 2u);
    EXPECT_EQ(rips[0].trackNumber, 2);
    EXPECT_EQ(rips[1].trackNumber, 3);
    EXPECT_EQ(rips[0].driveIndex, 0);
}

} // namespace
