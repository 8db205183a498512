// The tree of lists: building it from the lists folder, node keys, renaming,
// creating, removing and clearing lists, and the splitter dropped on it.
#include "ListsTestSupport.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/TextFiles.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"
#include "settings/mdlOptions.h"

#include <QDir>
#include <QFrame>
#include <QLabel>

namespace {

using namespace liststest;

class Tree : public ListsTest {
protected:
    QStringList ListTexts()
    {
        QStringList texts;
        cTreeNode* root = Main()->g_nodMainItems;
        for (int i = 1; root && i <= root->Child()->Count(); ++i) texts << root->Child()->Item(i)->Text();
        return texts;
    }
    // Ends an in-place edit of the node with the text; true when the text was taken.
    bool Rename(const QString& text, const QString& newText)
    {
        QString edited = newText;
        bool cancel = false;
        Main()->cTreeView1_AfterLabelEdit(ListNode(text), edited, cancel);
        return !cancel;
    }
};

TEST_F(Tree, AnEmptyListsFolderGetsItsFirstList)
{
    Main();
    EXPECT_EQ(ReadBytes(ListPath("New Items List 1")), QByteArray());
    cTreeNode* root = Main()->g_nodMainItems;
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Key(), "##MAINITEMS" + ListsDir());
    EXPECT_EQ(root->Text(), "Items Lists");
    ASSERT_EQ(root->Child()->Count(), 1);
    cTreeNode* list = root->Child()->Item(1);
    EXPECT_EQ(list->Key(), ListPath("New Items List 1"));
    EXPECT_EQ(list->Text(), "New Items List 1");
    EXPECT_EQ(list->Image(), 42);
    EXPECT_EQ(list->SelectedImage(), 43);
    EXPECT_EQ(Main()->cTreeView1->SelectedItem(), list);
    EXPECT_EQ(Main()->lblListName->text(), "New Items List 1");
    EXPECT_FALSE(Main()->picEmptyMsg->isHidden());
}

TEST_F(Tree, AMissingListsFolderIsCreated)
{
    g_sToPath = ProgramFolder() + "/lists/deep";
    Main();
    EXPECT_EQ(Main()->ListsFolder(), ProgramFolder() + "/lists/deep/");
    EXPECT_TRUE(QFile::exists(ProgramFolder() + "/lists/deep/New Items List 1.flst"));
}

TEST_F(Tree, AFolderOfOtherFilesGetsNoListFromTheTreeButOneAtStartUp)
{
    WriteBytes(ListsDir() + "notes.txt", "x");
    Main();
    // The tree found no list, so start-up made one and opened it for naming.
    EXPECT_TRUE(Main()->cTreeView1->LabelEdit());
    EXPECT_EQ(ListTexts(), QStringList({"New Items List 1"}));
    EXPECT_EQ(Main()->lblListName->text(), "New Items List 1");
}

TEST_F(Tree, ListsAreTheFilesNamingTheExtensionInTheirName)
{
    for (const char* name : {"b.flst", "A.flst", "x.flst.bak", "Y.FLST", ".hidden.flst", "other.txt"})
        WriteBytes(ListsDir() + name, "");
    QDir().mkpath(ListsDir() + "folder.flst");
    EXPECT_EQ(ListTexts(), QStringList({"A", "b", "x.flst"}));
    EXPECT_EQ(ListNode("x.flst")->Key(), ListsDir() + "x.flst.bak");
    EXPECT_FALSE(QFile::exists(ListPath("New Items List 1")));
}

TEST_F(Tree, NodeKeysTellRootsDrivesAndLists)
{
    struct Case {
        QString key;
        bool main, cd;
        QString drive;
    } cases[] = {
        {"##MAINITEMS/home/me/Main/", true, false, ""},
        {"##MAINCDSAudio CDs", true, false, ""},
        {"##CDD: /dev/sr0 VENDOR MODEL", false, true, "D:"},
        {"##CDE:", false, true, "E:"},
        {"/home/me/Main/##CD.flst", false, false, ""},
        {"##main", false, false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CfrmMain::IsMainNode(c.key), c.main) << c.key.toStdString();
        EXPECT_EQ(CfrmMain::IsCDNode(c.key), c.cd) << c.key.toStdString();
        if (c.cd) {
            EXPECT_EQ(CfrmMain::GetCDNameNode(c.key), c.drive);
        }
    }
}

TEST_F(Tree, RenamingAListRenamesItsFile)
{
    WriteList("Old", {FileItem("a.wav")});
    const QByteArray bytes = ReadBytes(ListPath("Old"));
    EXPECT_TRUE(Rename("Old", "Né w"));
    EXPECT_FALSE(QFile::exists(ListPath("Old")));
    EXPECT_EQ(ReadBytes(ListPath("Né w")), bytes);
    cTreeNode* node = Main()->cTreeView1->SelectedItem();
    EXPECT_EQ(node->Key(), ListPath("Né w"));
    EXPECT_EQ(Main()->lblListName->text(), "Né w");
    EXPECT_EQ(Rows(), 1);
    // Later saves go to the new file.
    Main()->SetAllMarked(false);
    EXPECT_TRUE(ReadBytes(ListPath("Né w")).contains("<Inc>0</Inc>"));
}

TEST_F(Tree, RenamingToANameInUseIsRefused)
{
    WriteBytes(ListPath("One"), "");
    WriteBytes(ListPath("Two"), "");
    msgBox->Expect("The Items List 'Two' already exists. Please select a different name.");
    EXPECT_FALSE(Rename("One", "Two"));
    EXPECT_EQ(msgBox->shown.back().flags, platform::vbInformation);
    EXPECT_TRUE(QFile::exists(ListPath("One")));
    EXPECT_EQ(ListNode("One")->Key(), ListPath("One"));
}

TEST_F(Tree, UnusableNamesAreEditedAgainWithoutAMessage)
{
    WriteBytes(ListPath("One"), "");
    for (const char* name : {"", "a?b", "a/b", ".hidden"}) EXPECT_FALSE(Rename("One", name)) << name;
    EXPECT_TRUE(Rename("One", "One"));
    EXPECT_TRUE(msgBox->shown.empty());
    EXPECT_EQ(QDir(ListsDir()).entryList(QDir::Files | QDir::Hidden), QStringList({"One.flst"}));
}

TEST_F(Tree, TheRootsCaptionNamesNoFile)
{
    WriteBytes(ListPath("One"), "");
    QString text = "Renamed";
    bool cancel = false;
    Main()->cTreeView1_AfterLabelEdit(Main()->g_nodMainItems, text, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(QDir(ListsDir()).entryList(QDir::Files), QStringList({"One.flst"}));
}

TEST_F(Tree, NewListTakesTheFirstFreeNumberAndIsOpenedForNaming)
{
    WriteBytes(ListPath("New Items List 1"), "");
    WriteBytes(ListPath("New Items List 3"), "");
    Main()->NewItemsList();
    EXPECT_EQ(ReadBytes(ListPath("New Items List 2")), QByteArray());
    cTreeNode* node = Main()->cTreeView1->SelectedItem();
    EXPECT_EQ(node->Text(), "New Items List 2");
    EXPECT_EQ(node->Key(), ListPath("New Items List 2"));
    EXPECT_EQ(Main()->lblListName->text(), "New Items List 2");
    EXPECT_TRUE(Main()->cTreeView1->LabelEdit());
}

TEST_F(Tree, TheLastListIsNeverRemoved)
{
    WriteList("Only", {FileItem("a.wav")});
    Main()->RemoveItemsList();
    EXPECT_TRUE(QFile::exists(ListPath("Only")));
}

TEST_F(Tree, RemovingAListWithItemsAsksFirst)
{
    WriteList("A", {FileItem("a.wav")});
    WriteList("B", {});
    WriteList("C", {});
    Main();
    const QString question = "This operation will erase all the items under the 'A.flst', are you sure?";
    msgBox->Expect(question, platform::vbNo);
    Main()->RemoveItemsList();
    EXPECT_TRUE(QFile::exists(ListPath("A")));
    EXPECT_EQ(msgBox->shown.back().flags, platform::vbYesNo | platform::vbInformation);

    msgBox->Expect(question, platform::vbYes);
    Main()->RemoveItemsList();
    EXPECT_FALSE(QFile::exists(ListPath("A")));
    EXPECT_EQ(ListTexts(), QStringList({"B", "C"}));
    EXPECT_EQ(Main()->lblListName->text(), "C");
}

TEST_F(Tree, RemovingAListWithoutItemsAsksNothing)
{
    WriteList("A", {});
    WriteBytes(ListPath("B"), "");
    Main()->RemoveItemsList();
    EXPECT_EQ(ListTexts(), QStringList({"B"}));
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(Tree, ClearingAListAsksThenEmptiesItAndItsFile)
{
    WriteList("A", {FileItem("a.wav"), FileItem("b.wav")});
    const QString question = QString("This operation will erase all the items under the 'A' list.") + kCrLf + kCrLf +
                             "Are you sure?";
    msgBox->Expect(question, platform::vbNo);
    Main()->ClearTheList(false);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(msgBox->shown.back().flags, platform::vbYesNo | platform::vbExclamation);

    msgBox->Expect(question, platform::vbYes);
    Main()->ClearTheList(false);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(ReadBytes(ListPath("A")), QByteArray("\r\n"));
    EXPECT_FALSE(Main()->picEmptyMsg->isHidden());
}

TEST_F(Tree, TheSplitterDroppedOnTheTreeSetsItsWidth)
{
    lAppIncListsTree = 1; // an edition that shows the tree
    Main()->resize(1200, 800);
    cTreeView* tree = Main()->cTreeView1;
    Main()->cTreeView1_DragDrop(nullptr, 999, 0);
    EXPECT_EQ(tree->width(), platform::TwipsToPixels(1000));
    const int left = platform::PixelsToTwips(tree->x());
    Main()->cTreeView1_DragDrop(nullptr, 1000, 0);
    EXPECT_EQ(tree->width(), platform::TwipsToPixels(left + 880));
}

} // namespace
