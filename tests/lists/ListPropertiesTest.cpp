// The items list properties dialog: where it opens from, what it shows, and
// renaming the list it was opened for.
#include "ListsTestSupport.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/StatusBar.h"
#include "controls/widgets/Toolbar.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/LinkLabel.h"
#include "lists/frmDirProperties.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>

namespace {

using namespace liststest;

// Lists "A" (two files) and "B" (one), "A" open.
class ListProperties : public ListsTest {
protected:
    void SetUp() override
    {
        ListsTest::SetUp();
        WriteList("A", {FileItem("a1.wav"), FileItem("a2.wav")});
        WriteList("B", {FileItem("b1.wav")});
        Open("A");
        ASSERT_EQ(Rows(), 2);
    }
    void RunKey(const QString& key) { Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey(key)); }
    // The dialog when it is open.
    CfrmDirProperties* Dialog() { return g_frmDirProperties.Peek(); }
    // Opens the dialog on the open list, types the name over the old one and presses OK.
    void RenameTo(const QString& name)
    {
        RunKey("Items List Properties");
        ASSERT_NE(Dialog(), nullptr);
        Dialog()->txtFolderName->setText(name);
        Dialog()->cmdOk_Click();
    }
    QStringList ListFiles() const { return QDir(ListsDir()).entryList(QDir::Files | QDir::Hidden); }
    const QString kEmpty = "Empty Item Name." + QString(42, ' ');
    const QString kIllegal = "Illegal Item Name." + QString(42, ' ');
    const QString kInUse = "Folder name already exists, please select a different name.";
};

TEST_F(ListProperties, OpensFromTheMenuTheToolbarTheStatusPanelAndTheListName)
{
    Main()->Show();
    const std::pair<const char*, std::function<void()>> sources[] = {
        {"menu", [this] { RunKey("Items List Properties"); }},
        {"rename command", [this] { RunKey("Rename Items List"); }},
        {"toolbar",
         [this] { Main()->tlbrProjects_ButtonClick(Main()->tlbrProjects->ButtonIndex("Items List Properties")); }},
        {"status panel",
         [this] {
             int panel = Main()->cStatusBar1->PanelIndex("Items List Properties");
             Main()->cStatusBar1_PanelClick(panel);
         }},
        {"list name", [this] { QTest::mouseClick(Main()->lblListName, Qt::LeftButton); }},
    };
    for (const auto& [source, open] : sources) {
        open();
        CfrmDirProperties* dlg = Dialog();
        ASSERT_NE(dlg, nullptr) << source;
        EXPECT_TRUE(dlg->isVisible()) << source;
        EXPECT_EQ(dlg->windowTitle(), "Items List Properties");
        EXPECT_EQ(dlg->txtFolderName->text(), "A") << source;
        EXPECT_TRUE(dlg->txtFolderName->isEnabled()) << source;
        EXPECT_EQ(dlg->txtPath->text(), ListPath("A")) << source;
        EXPECT_EQ(dlg->lblContain->text(), Main()->StatusPanelText("Items List Properties")) << source;
        EXPECT_TRUE(dlg->lblContain->text().startsWith("2 Items, ")) << source;
        dlg->cmdCancel_Click();
        ProcessEvents();
        EXPECT_EQ(Dialog(), nullptr) << source;
    }
}

TEST_F(ListProperties, NotOnARoot)
{
    Main()->g_nodMainItems->SetSelected(true);
    RunKey("Items List Properties");
    RunKey("Rename Items List");
    Main()->lblListName_Click();
    EXPECT_EQ(Dialog(), nullptr);
}

TEST_F(ListProperties, AListNamedItemsListsShowsNoDialog)
{
    WriteList("Items Lists", {});
    Main()->setTree();
    Open("Items Lists");
    RunKey("Rename Items List");
    EXPECT_EQ(Dialog(), nullptr);
    RunKey("Items List Properties");
    EXPECT_EQ(Dialog(), nullptr);
}

TEST_F(ListProperties, EachOpeningStartsAfreshOnItsList)
{
    RunKey("Items List Properties");
    CfrmDirProperties* first = Dialog();
    ASSERT_NE(first, nullptr);
    first->txtFolderName->setText("typed but not applied");
    Open("B");
    RunKey("Items List Properties");
    ProcessEvents();
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(Dialog()->txtFolderName->text(), "B");
    EXPECT_EQ(Dialog()->Node(), ListNode("B"));
    EXPECT_EQ(ListFiles(), QStringList({"A.flst", "B.flst"}));
}

TEST_F(ListProperties, RenamingMovesTheFileAndLaterSavesFollowIt)
{
    const QByteArray bytes = ReadBytes(ListPath("A"));
    RenameTo("  Party Mix  ");
    ProcessEvents();
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_FALSE(QFile::exists(ListPath("A")));
    EXPECT_EQ(ReadBytes(ListPath("Party Mix")), bytes);
    cTreeNode* node = Main()->cTreeView1->SelectedItem();
    EXPECT_EQ(node->Text(), "Party Mix");
    EXPECT_EQ(node->Key(), ListPath("Party Mix"));
    EXPECT_EQ(Main()->lblListName->text(), "Party Mix");
    // The list is not opened again: the grid keeps its rows and their state.
    EXPECT_EQ(Rows(), 2);
    Main()->SetAllMarked(false);
    EXPECT_TRUE(ReadBytes(ListPath("Party Mix")).contains("<Inc>0</Inc>"));
    EXPECT_EQ(ListFiles(), QStringList({"B.flst", "Party Mix.flst"}));
}

TEST_F(ListProperties, RefusedNamesKeepTheDialogOpenAndTheFile)
{
    const struct {
        const char* typed;
        QString message;
        bool tip;
    } cases[] = {
        {"", kEmpty, false},
        {"     ", kEmpty, false},
        {"a/b", kIllegal, true}, // pasted: typing drops the "/"
        {"what?", kIllegal, true},
        {".hidden", kIllegal, true},
        {"B", kInUse, false},
        {" B ", kInUse, false},
    };
    for (const auto& c : cases) {
        RunKey("Items List Properties");
        CfrmDirProperties* dlg = Dialog();
        ASSERT_NE(dlg, nullptr);
        HideToolTip();
        msgBox->Expect(c.message);
        dlg->txtFolderName->setText(c.typed);
        dlg->cmdOk_Click();
        ASSERT_FALSE(msgBox->shown.empty()) << c.typed;
        EXPECT_EQ(msgBox->shown.back().text, c.message) << c.typed;
        EXPECT_EQ(msgBox->shown.back().flags, platform::vbInformation) << c.typed;
        EXPECT_EQ(!QToolTip::text().isEmpty(), c.tip) << c.typed;
        EXPECT_EQ(Dialog(), dlg) << c.typed;
        EXPECT_TRUE(dlg->isVisible()) << c.typed;
        dlg->cmdCancel_Click();
        ProcessEvents();
    }
    EXPECT_EQ(ListFiles(), QStringList({"A.flst", "B.flst"}));
    EXPECT_EQ(ListNode("A")->Key(), ListPath("A"));
    EXPECT_EQ(Main()->lblListName->text(), "A");
}

TEST_F(ListProperties, TypedIllegalCharactersAreDropped)
{
    Main()->Show();
    RunKey("Items List Properties");
    CfrmDirProperties* dlg = Dialog();
    ASSERT_NE(dlg, nullptr);
    dlg->txtFolderName->clear();
    QTest::keyClicks(dlg->txtFolderName, "a/b:c?");
    EXPECT_EQ(dlg->txtFolderName->text(), "abc");
    EXPECT_FALSE(QToolTip::text().isEmpty());
    HideToolTip();
}

TEST_F(ListProperties, AnUnchangedNameClosesWithoutTouchingTheFile)
{
    const QByteArray bytes = ReadBytes(ListPath("A"));
    RenameTo("A");
    ProcessEvents();
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_EQ(ReadBytes(ListPath("A")), bytes);
    EXPECT_EQ(ListFiles(), QStringList({"A.flst", "B.flst"}));
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(ListProperties, ACDDrivesNodeChangesOnlyItsCaption)
{
    cTreeNode* drive = Main()->cTreeView1->Nodes()->Add(nullptr, 0, "##CDD: /dev/sr0", "D:");
    ASSERT_NE(drive, nullptr);
    drive->SetSelected(true);
    Main()->ShowItemsListProperties(drive);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(Dialog()->txtPath->text(), "##CDD: /dev/sr0");
    Dialog()->txtFolderName->setText("My Disc");
    Dialog()->cmdOk_Click();
    EXPECT_EQ(drive->Text(), "My Disc");
    EXPECT_EQ(drive->Key(), "##CDD: /dev/sr0");
    EXPECT_EQ(Main()->lblListName->text(), "My Disc");
    EXPECT_EQ(ListFiles(), QStringList({"A.flst", "B.flst"}));
}

TEST_F(ListProperties, TheSummaryIsTheOneShownAtOpening)
{
    RunKey("Items List Properties");
    ASSERT_NE(Dialog(), nullptr);
    const QString atOpening = Dialog()->lblContain->text();
    Main()->SetStatusPanelText("Items List Properties", "9 Items, 9 MB, 09:09:09");
    EXPECT_EQ(Dialog()->lblContain->text(), atOpening);
}

TEST_F(ListProperties, OKWorksOnTheListItWasOpenedFor)
{
    RunKey("Items List Properties");
    CfrmDirProperties* dlg = Dialog();
    ASSERT_NE(dlg, nullptr);
    // Not modal: the user opens another list meanwhile.
    Open("B");
    dlg->txtFolderName->setText("Renamed A");
    dlg->cmdOk_Click();
    EXPECT_EQ(ListFiles(), QStringList({"B.flst", "Renamed A.flst"}));
    EXPECT_NE(ListNode("Renamed A"), nullptr);
    EXPECT_NE(ListNode("B"), nullptr);
    EXPECT_EQ(Main()->lblListName->text(), "B");
    // Saves of the open list still go to its own file.
    Main()->SetAllMarked(false);
    EXPECT_TRUE(ReadBytes(ListPath("B")).contains("<Inc>0</Inc>"));
    EXPECT_FALSE(ReadBytes(ListPath("Renamed A")).contains("<Inc>0</Inc>"));
}

TEST_F(ListProperties, AFailedMoveKeepsTheNameKeyAndFileAndSaysWhy)
{
    RunKey("Items List Properties");
    CfrmDirProperties* dlg = Dialog();
    ASSERT_NE(dlg, nullptr);
    // The file goes away behind the program's back.
    const QByteArray bytes = ReadBytes(ListPath("A"));
    ASSERT_TRUE(QFile::remove(ListPath("A")));
    msgBox->Expect("File not found (53).");
    dlg->txtFolderName->setText("C");
    dlg->cmdOk_Click();
    EXPECT_EQ(msgBox->shown.size(), 1u);
    EXPECT_TRUE(dlg->isVisible());
    cTreeNode* node = ListNode("A");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Key(), ListPath("A"));
    EXPECT_EQ(Main()->lblListName->text(), "A");
    EXPECT_FALSE(QFile::exists(ListPath("C")));
    // Saving puts the list back where it was.
    WriteBytes(ListPath("A"), bytes);
    Main()->SetAllMarked(false);
    EXPECT_TRUE(ReadBytes(ListPath("A")).contains("<Inc>0</Inc>"));
}

TEST_F(ListProperties, ARemovedListCannotBeRenamed)
{
    RunKey("Items List Properties");
    CfrmDirProperties* dlg = Dialog();
    ASSERT_NE(dlg, nullptr);
    ListNode("A")->Delete();
    msgBox->Expect("is no longer in the tree");
    dlg->txtFolderName->setText("C");
    dlg->cmdOk_Click();
    ProcessEvents();
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_EQ(ListFiles(), QStringList({"A.flst", "B.flst"}));
}

TEST_F(ListProperties, TheFolderLinkOpensTheFolderOfTheListFile)
{
    RunKey("Items List Properties");
    ASSERT_NE(Dialog(), nullptr);
    Dialog()->lblOpenDestinationDestinationFolder_Click();
    EXPECT_EQ(shell->opened, QStringList{ListsDir()});
    EXPECT_TRUE(msgBox->shown.empty());
}

} // namespace
