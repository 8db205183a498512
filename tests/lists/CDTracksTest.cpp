// Audio CDs in the main window, on the fake CD ripper: the drives' nodes, a
// CD's tracks as rows, what an empty, unreadable or data disc shows, the poll
// of the drives, "-addaudiocd" and the ripper control's errors.
#include "ListsTestSupport.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/TimeSizeText.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"
#include "support/FakeAudioCDRipper.h"
#include "support/FakeFreeDB.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace {

using namespace liststest;
using Fake = FakeAudioCDRipper;

const QString kInsert = "Insert an Audio CD to the CD drive.";

class CDTracks : public ListsTest {
protected:
    void SetUp() override
    {
        ListsTest::SetUp();
        lAppIncCDRipper = 1;
        SetAudioCDRipperFactory([] { return std::make_unique<Fake>(); });
        SetFreeDBFactory([] { return std::make_unique<FakeFreeDB>(); });
    }
    void TearDown() override
    {
        ListsTest::TearDown();
        SetAudioCDRipperFactory({});
        SetFreeDBFactory({});
        Fake::DefaultDrives().clear();
        g_bAutoFreeDB = false;
        platform::SetCommandLine({});
    }
    static void Drives(const std::vector<Fake::Drive>& drives) { Fake::DefaultDrives() = drives; }
    Fake& Ripper() { return *static_cast<Fake*>(Main()->cAudioCDRipper1); }
    cTreeNode* DriveNode(int i) { return Main()->g_nodMainCDs->Child()->Item(i); }
    void OpenDrive(int i) { Main()->cTreeView1_NodeClick(DriveNode(i)); }
    bool NoticeShown() { return !Main()->picEmptyMsg->isHidden(); }
    QString Notice() { return Main()->lblAddorDrag->text(); }
    QString SelectedKey() { return Main()->cTreeView1->SelectedItem()->Key(); }
};

TEST_F(CDTracks, TheTreeHasANodePerDriveUnderAudioCDs)
{
    Drives({Fake::AudioCD(0, {60}), Fake::EmptyDrive(1)});
    cTreeNode* root = Main()->g_nodMainCDs;
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Key(), "##MAINCDSAudio CDs");
    EXPECT_EQ(root->Text(), "Audio CDs");
    EXPECT_EQ(root->Image(), 71);
    EXPECT_TRUE(root->Expanded());
    ASSERT_EQ(root->Child()->Count(), 2);
    EXPECT_EQ(DriveNode(1)->Key(), "##CD" + Fake::AudioCD(0, {}).name);
    EXPECT_EQ(DriveNode(1)->Text(), "D:");
    EXPECT_EQ(DriveNode(2)->Text(), "E:");
    EXPECT_EQ(DriveNode(2)->Image(), 25);
    EXPECT_EQ(DriveNode(2)->SelectedImage(), 25);
    EXPECT_TRUE(CfrmMain::IsCDNode(DriveNode(2)->Key()));
    EXPECT_EQ(CfrmMain::GetCDNameNode(DriveNode(2)->Key()), "E:");
    // The start opens the first list, never a CD, and the drives stay unpolled.
    EXPECT_FALSE(CfrmMain::IsCDNode(SelectedKey()));
    EXPECT_FALSE(Main()->tmrCDs->isActive());
}

TEST_F(CDTracks, AnEditionWithoutTheCDToolsHasNoDrives)
{
    lAppIncCDRipper = 0;
    Drives({Fake::AudioCD(0, {60})});
    EXPECT_EQ(Main()->g_nodMainCDs, nullptr);
    Main()->tmrCDs_Timer();
    EXPECT_FALSE(Ripper().calls.contains("SelectDrive 0"));
}

TEST_F(CDTracks, AMixedCDListsEveryTrackWithDataTracksUnmarked)
{
    std::vector<std::int32_t> seconds;
    for (int i = 1; i <= 10; ++i) seconds.push_back(60 + i);
    Drives({Fake::EmptyDrive(0), Fake::AudioCD(1, seconds, 1)});
    g_sTagAlbum = "Album [YEAR]";
    g_sTagSong = "[ITEM_NAME]";
    OpenDrive(2);
    EXPECT_EQ(SelectedKey(), DriveNode(2)->Key());
    EXPECT_EQ(Main()->lblListName->text(), "E:");
    ASSERT_EQ(Rows(), 11);
    EXPECT_FALSE(NoticeShown());
    for (int row = 1; row <= 11; ++row) {
        const bool audio = row <= 10;
        const QString name = QString("Track%1.cda").arg(row, 2, 10, QChar('0'));
        EXPECT_EQ(Icon(row, kColInc), audio ? kIconMarked : kIconUnmarked) << row;
        EXPECT_EQ(Icon(row, kColType), audio ? 3 : 4) << row;
        EXPECT_EQ(Cell(row, kColItemName), name);
        EXPECT_EQ(Cell(row, kColFile), "E:/" + name);
        EXPECT_EQ(Cell(row, kColRange), "All");
        EXPECT_EQ(Cell(row, kColRangeAll), "1");
        EXPECT_EQ(Cell(row, kColRangeStart), "");
        EXPECT_FALSE(Cell(row, kColCreated).isEmpty());
        EXPECT_EQ(Cell(row, kColTagAlbum), "Album [YEAR]") << "tag texts are copied as they stand";
        EXPECT_EQ(Cell(row, kColTagTitle), "[ITEM_NAME]");
    }
    EXPECT_EQ(Cell(1, kColTime), "00:01:01");
    EXPECT_EQ(Cell(11, kColTime), "00:01:00");
    EXPECT_EQ(Main()->cGrid1->SelectedRow(), 1);
    EXPECT_EQ(Main()->StatusPanelText("Main"), "Ready.");
    EXPECT_TRUE(Main()->tmrCDs->isActive()) << "the drives are polled while a CD is on show";
    EXPECT_TRUE(Ripper().calls.contains("SelectDrive 1"));
    EXPECT_TRUE(msgBox->shown.empty());
}

// The Move commands carry a track's type with it: a data track moved to the
// top still shows the data icon, and is still refused by the mouse and the editor.
TEST_F(CDTracks, MovingATrackCarriesItsTypeIcon)
{
    Drives({Fake::AudioCD(0, {61, 62, 63}, 1)});
    OpenDrive(1);
    ASSERT_EQ(Rows(), 4);
    ASSERT_EQ(Icon(4, kColType), 4);
    auto runKey = [this](const char* key) { Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey(key)); };
    Main()->cGrid1->SetSelectedRow(4);
    runKey("Move To First");
    EXPECT_EQ(Cell(1, kColItemName), "Track04.cda");
    EXPECT_EQ(Icon(1, kColType), 4);
    EXPECT_EQ(Icon(1, kColInc), kIconUnmarked);
    EXPECT_EQ(Cell(4, kColItemName), "Track01.cda");
    EXPECT_EQ(Icon(4, kColType), 3);
    runKey("Move Down");
    EXPECT_EQ(Icon(2, kColType), 4);
    EXPECT_EQ(Icon(1, kColType), 3);

    Main()->cGrid1->SetSelectedCol(1);
    Main()->cGrid1_MouseUp(1, 0, 5, 5);
    EXPECT_EQ(Icon(2, kColInc), kIconUnmarked) << "a data track is never marked by the mouse";
    msgBox->Expect("Cannot edit a data track." + QString(36, ' '));
    Main()->cGrid1_DblClick(2, 3);
    EXPECT_EQ(msgBox->shown.size(), 1u);
}

TEST_F(CDTracks, TheInfoPanelGivesAnAudioTrackTheSoundOfACD)
{
    Drives({Fake::AudioCD(0, {61, 62}, 1)});
    OpenDrive(1);
    ASSERT_EQ(Rows(), 3);
    const auto sound = [&](int row) {
        Main()->cGrid1->SetSelectedRow(row);
        Main()->GetFileInfoToGridInfo();
        QStringList facts;
        for (int n : {5, 6, 7, 8}) facts << Main()->cGridInfo->CellText(n, 2).toString();
        return facts;
    };
    EXPECT_EQ(sound(1), QStringList({"CDA", "44100", "1411", "STEREO"}));
    EXPECT_EQ(sound(2), QStringList({"CDA", "44100", "1411", "STEREO"}));
    EXPECT_EQ(sound(3), QStringList({"CDA", "0", "0", "STEREO"})) << "a data track has no sound";
}

TEST_F(CDTracks, ATrackOf200SecondsHas35280000Bytes)
{
    Drives({Fake::AudioCD(0, {200, 3600 * 25})});
    g_bSelectTheLastItem = true;
    OpenDrive(1);
    ASSERT_EQ(Rows(), 2);
    EXPECT_DOUBLE_EQ(Main()->cGrid1->CellText(1, kColBytesSize).toDouble(), 35280000.0);
    EXPECT_EQ(Cell(1, kColSize), FormatFileSize(35280000.0));
    EXPECT_EQ(Cell(1, kColTime), "00:03:20");
    EXPECT_EQ(Cell(2, kColTime), "25:00:00") << "a length of a day or more keeps its hours";
    EXPECT_EQ(Main()->cGrid1->SelectedRow(), 2) << "the last track, as the setting says";
    EXPECT_EQ(Main()->GetTotalTime(), QString::number(200 + 3600 * 25));
}

TEST_F(CDTracks, WhatADriveWithoutAnAudioCDShows)
{
    struct Case {
        const char* label;
        Fake::Drive drive;
        QString message; // empty: no message
    };
    Fake::Drive broken = Fake::AudioCD(0, {60});
    broken.opens = false;
    const Case cases[] = {
        {"no disc", Fake::EmptyDrive(0), "There is no CD in the drive."},
        {"data CD", Fake::DataCD(0), ""},
        {"drive that cannot be opened", broken, "The CD drive D: cannot be read."},
    };
    for (const Case& c : cases) {
        support::UnloadAllForms();
        msgBox->shown.clear();
        Drives({c.drive});
        // A list was on show: its rows go.
        WriteList("Songs", {FileItem("a.wav")});
        Open("Songs");
        ASSERT_EQ(Rows(), 1);
        if (!c.message.isEmpty()) msgBox->Expect(c.message);
        OpenDrive(1);
        EXPECT_EQ(Rows(), 0) << c.label;
        EXPECT_TRUE(NoticeShown()) << c.label;
        EXPECT_EQ(Notice(), kInsert) << c.label;
        EXPECT_FALSE(Main()->prgStatus->Visible()) << c.label;
        EXPECT_EQ(Main()->cursor().shape(), Qt::ArrowCursor) << c.label;
        ASSERT_EQ(msgBox->shown.size(), c.message.isEmpty() ? 0u : 1u) << c.label;
        if (c.message.isEmpty()) continue;
        EXPECT_TRUE(msgBox->shown[0].text.startsWith(c.message)) << c.label;
    }
    // The drive's own words and code follow the message.
    EXPECT_TRUE(msgBox->shown[0].text.endsWith("(" + QString::number(kRipErrNoDrive) + ")"));
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbExclamation);
}

TEST_F(CDTracks, TheNoDiscMessageComesWithTheInformationIcon)
{
    Drives({Fake::EmptyDrive(0)});
    msgBox->Expect("There is no CD in the drive.");
    OpenDrive(1);
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, "There is no CD in the drive.");
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbInformation);
}

// The disc leaves the drive while its third track is read.
class DiscLeavingRipper : public Fake {
public:
    std::int32_t GetTrackLength(std::int32_t track) override
    {
        if (track == 3) drives[0] = Fake::EmptyDrive(0);
        return Fake::GetTrackLength(track);
    }
};

TEST_F(CDTracks, ADiscGoneInTheMiddleOfTheLoadKeepsTheRowsReadBehindTheNotice)
{
    SetAudioCDRipperFactory([] { return std::make_unique<DiscLeavingRipper>(); });
    Drives({Fake::AudioCD(0, {60, 70, 80})});
    g_bAutoFreeDB = true;
    QStringList dispatched;
    QObject::connect(Main(), &CfrmMain::CommandDispatched, Main(), [&](const QString& key) { dispatched << key; });
    msgBox->Expect("There is no CD in the drive.");
    OpenDrive(1);
    EXPECT_EQ(Rows(), 2);
    EXPECT_TRUE(NoticeShown());
    EXPECT_EQ(Notice(), kInsert);
    EXPECT_FALSE(Main()->prgStatus->Visible());
    EXPECT_EQ(msgBox->shown.size(), 1u);
    EXPECT_TRUE(dispatched.isEmpty()) << "no lookup after a failed load";
}

TEST_F(CDTracks, TheLookupRunsAfterAListedCDAndNeverAfterAnEmptyOne)
{
    Drives({Fake::AudioCD(0, {60}), Fake::EmptyDrive(1)});
    g_bAutoFreeDB = true;
    QStringList dispatched;
    QObject::connect(Main(), &CfrmMain::CommandDispatched, Main(), [&](const QString& key) { dispatched << key; });
    modal->hook = [](QWidget* lookup) { static_cast<Form*>(lookup)->Unload(); };
    OpenDrive(1);
    EXPECT_EQ(dispatched, QStringList{"FreeDB"});
    EXPECT_EQ(modal->shown, QStringList{"g_frmFreeDB"});
    msgBox->Expect("There is no CD in the drive.");
    OpenDrive(2);
    EXPECT_EQ(dispatched, QStringList{"FreeDB"});
    g_bAutoFreeDB = false;
    OpenDrive(1);
    EXPECT_EQ(dispatched, QStringList{"FreeDB"});
}

TEST_F(CDTracks, TheDriveIndexIsTheLastDriveOfTheNodesLetter)
{
    Fake::Drive twin = Fake::AudioCD(0, {30});
    twin.name = "D: /image/other.cue";
    Drives({Fake::AudioCD(0, {60}), Fake::AudioCD(1, {60}), twin});
    Main()->cTreeView1_NodeClick(DriveNode(1));
    EXPECT_EQ(Main()->GetCDDriveIndex(), 2);
    EXPECT_EQ(Cell(1, kColTime), "00:00:30");
    DriveNode(2)->SetSelected(true);
    EXPECT_EQ(Main()->GetCDDriveIndex(), 1);
    Main()->g_nodMainItems->SetSelected(true);
    EXPECT_EQ(Main()->GetCDDriveIndex(), 0) << "no drive of that letter";
}

TEST_F(CDTracks, ThePollLoadsADiscThatArrivesAndEmptiesTheGridWhenItLeaves)
{
    Drives({Fake::EmptyDrive(0), Fake::EmptyDrive(1)});
    msgBox->Expect("There is no CD in the drive.");
    OpenDrive(1);
    ASSERT_EQ(Rows(), 0);
    EXPECT_TRUE(Main()->tmrCDs->isActive());
    Fake& fake = Ripper();

    // A disc in the drive on show is listed at the next poll.
    fake.drives[0] = Fake::AudioCD(0, {60, 70});
    Main()->tmrCDs_Timer();
    EXPECT_EQ(Rows(), 2);
    EXPECT_FALSE(NoticeShown());
    // Nothing changed: the poll reads nothing again.
    fake.calls.clear();
    Main()->tmrCDs_Timer();
    EXPECT_FALSE(fake.calls.contains("GetTrackLength 1"));
    EXPECT_EQ(Rows(), 2);

    // A title the lookup wrote stays while the disc does.
    DriveNode(1)->SetText("Some Album");
    Main()->tmrCDs_Timer();
    EXPECT_EQ(DriveNode(1)->Text(), "Some Album");

    // The disc leaves: the grid empties and the node shows the drive again.
    fake.drives[0] = Fake::EmptyDrive(0);
    msgBox->Expect("There is no CD in the drive.");
    Main()->tmrCDs_Timer();
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(NoticeShown());
    EXPECT_EQ(Notice(), kInsert);
    EXPECT_EQ(DriveNode(1)->Text(), "D:");
    EXPECT_TRUE(Main()->tmrCDs->isActive());
}

TEST_F(CDTracks, ThePollLeavesDrivesNotOnShowAloneButResetsTheirTexts)
{
    Drives({Fake::AudioCD(0, {60}), Fake::EmptyDrive(1), Fake::AudioCD(2, {30})});
    OpenDrive(1);
    ASSERT_EQ(Rows(), 1);
    Fake& fake = Ripper();
    DriveNode(2)->SetText("Old Title");
    DriveNode(3)->SetText("Other Title");
    fake.drives[1] = Fake::AudioCD(1, {10, 20, 30});
    fake.drives[2] = Fake::EmptyDrive(2);
    // A drive that cannot be opened now is passed over.
    fake.drives[0].opens = false;
    Main()->tmrCDs_Timer();
    EXPECT_EQ(SelectedKey(), DriveNode(1)->Key());
    EXPECT_EQ(Rows(), 1) << "a disc in another drive waits until its node is opened";
    EXPECT_EQ(DriveNode(2)->Text(), "Old Title");
    EXPECT_EQ(DriveNode(3)->Text(), "F:") << "the title of a drive now empty goes";
    EXPECT_TRUE(msgBox->shown.empty());
    OpenDrive(2);
    EXPECT_EQ(Rows(), 3);
}

TEST_F(CDTracks, AddAudioCDOpensTheFirstDriveHoldingADisc)
{
    Fake::Drive broken = Fake::AudioCD(0, {60});
    broken.opens = false;
    Drives({broken, Fake::EmptyDrive(1), Fake::AudioCD(2, {60, 70}), Fake::AudioCD(3, {10})});
    platform::SetCommandLine({"-addaudiocd"});
    Main();
    EXPECT_FALSE(CfrmMain::IsCDNode(SelectedKey())) << "only once the window is up";
    ProcessEvents();
    EXPECT_EQ(SelectedKey(), DriveNode(3)->Key());
    EXPECT_EQ(Rows(), 2);
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(CDTracks, AddAudioCDWithoutADiscKeepsTheList)
{
    Drives({Fake::EmptyDrive(0), Fake::DataCD(1)});
    WriteList("Songs", {FileItem("a.wav")});
    platform::SetCommandLine({"-addaudiocd"});
    Main();
    ProcessEvents();
    EXPECT_EQ(SelectedKey(), ListPath("Songs"));
    EXPECT_EQ(Rows(), 1);
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(CDTracks, AnErrorOfTheRipperControlIsShownWithItsCode)
{
    Drives({Fake::AudioCD(0, {60})});
    msgBox->Expect("Drive not ready (5)");
    Ripper().RaiseError(5, "Drive not ready");
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, "Drive not ready (5)");
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbOKOnly);
    EXPECT_EQ(Rows(), 0);
}

TEST_F(CDTracks, ClearingACDTouchesNoFileAndListsTheTracksAgain)
{
    Drives({Fake::AudioCD(0, {60, 70})});
    OpenDrive(1);
    Main()->cGrid1->SetCellIconIndex(1, kColInc, kIconUnmarked);
    msgBox->Expect("This operation will erase all the items under the 'D:' list.", platform::vbYes);
    Main()->ClearTheList(false);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(Icon(1, kColInc), kIconMarked);
}

} // namespace
