// The tree: keyed nodes and their collections, placement, selection,
// expansion, bold captions, in-place editing with AfterLabelEdit, events.
#include "controls/widgets/WindowWidgets.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class TreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        images = std::make_unique<cImageList>();
        for (int i = 0; i < 50; ++i) {
            QPixmap pm(16, 16);
            pm.fill(QColor::fromHsv(i * 7, 200, 200));
            images->Add(QIcon(pm));
        }
        tree = std::make_unique<cTreeView>();
        tree->resize(300, 400);
        tree->SetImageList(images.get());
    }

    // The shape of the main window's tree: two roots, lists and drives.
    void buildListsTree()
    {
        items = tree->Nodes()->Add(nullptr, 0, "##MAINITEMS/lists/", "Items Lists", 17, 17);
        for (const char* name : {"One", "Two", "Three"})
            items->Child()->Add(items, 4, QString("/lists/%1.flst").arg(name), name, 42, 43);
        cds = tree->Nodes()->Add(nullptr, 2, "##MAINCDSAudio CDs", "Audio CDs", 71, 71);
        cds->Child()->Add(cds, 4, "##CDD: /dev/sr0", "D:", 25, 25);
    }

    QStringList childTexts(cTreeNode* node) const
    {
        QStringList out;
        for (int i = 1; i <= node->Child()->Count(); ++i) out << node->Child()->Item(i)->Text();
        return out;
    }

    void showTree()
    {
        tree->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tree.get()));
    }

    QPoint nodeCenter(cTreeNode* node) const
    {
        QTreeWidget* w = tree->Widget();
        for (QTreeWidgetItemIterator it(w); *it; ++it)
            if ((*it)->text(0) == node->Text()) return w->visualItemRect(*it).center();
        return {};
    }

    // Starts editing the node, types `text` and confirms with Enter.
    void editCaption(cTreeNode* node, const QString& text)
    {
        node->StartEdit();
        QCoreApplication::processEvents();
        auto* editor = tree->Widget()->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    void onLabelEdit(std::function<void(cTreeNode*, QString*, bool*)> handler)
    {
        QObject::connect(tree.get(), &cTreeView::AfterLabelEdit, tree.get(), std::move(handler));
    }

    std::unique_ptr<cImageList> images;
    std::unique_ptr<cTreeView> tree;
    cTreeNode* items = nullptr;
    cTreeNode* cds = nullptr;
};

TEST_F(TreeTest, NodesAreReachedByPositionKeyAndThroughTheirParents)
{
    buildListsTree();
    EXPECT_EQ(tree->Nodes()->Count(), 6);
    EXPECT_EQ(tree->Nodes()->Item(1), items);
    EXPECT_EQ(tree->Nodes()->Item(2)->Text(), "One"); // the first list, as added
    EXPECT_EQ(tree->Nodes()->Item("##CDD: /dev/sr0")->Text(), "D:");
    EXPECT_EQ(tree->Nodes()->Item("missing"), nullptr);
    EXPECT_EQ(tree->Nodes()->Item(7), nullptr);

    EXPECT_EQ(items->Child()->Count(), 3);
    EXPECT_EQ(items->Child()->Item(1)->Key(), "/lists/One.flst");
    EXPECT_EQ(items->Child()->Item(items->Child()->Count())->Text(), "Three");
    EXPECT_EQ(items->Child()->Item("##CDD: /dev/sr0"), nullptr); // not a child of this root
    EXPECT_EQ(cds->Child()->Item(1)->Parent(), cds);
    EXPECT_EQ(tree->Widget()->topLevelItemCount(), 2);

    EXPECT_EQ(tree->Nodes()->Add(nullptr, 0, "/lists/One.flst", "again"), nullptr); // keys are unique
    cTreeNode* two = items->Child()->Item(2);
    two->SetKey("/lists/One.flst");
    EXPECT_EQ(two->Key(), "/lists/Two.flst");
}

struct PlacementCase {
    int relationship;
    QStringList expected;
};

class TreePlacementTest : public TreeTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(TreePlacementTest, NewNodesStandWhereTheRelationshipSays)
{
    cTreeNode* parent = tree->Nodes()->Add(nullptr, 0, "p", "p");
    parent->Child()->Add(parent, 4, "a", "a");
    cTreeNode* b = parent->Child()->Add(parent, 4, "b", "b");
    parent->Child()->Add(parent, 4, "c", "c");

    cTreeNode* added = tree->Nodes()->Add(b, GetParam().relationship, "new", "new");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(childTexts(parent), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Relationships, TreePlacementTest,
                         ::testing::Values(PlacementCase{0, {"new", "a", "b", "c"}},
                                           PlacementCase{1, {"a", "b", "c", "new"}},
                                           PlacementCase{2, {"a", "b", "new", "c"}},
                                           PlacementCase{3, {"a", "new", "b", "c"}},
                                           PlacementCase{4, {"a", "b", "c"}}));

TEST_F(TreeTest, ChildRelationshipAddsUnderTheRelative)
{
    cTreeNode* parent = tree->Nodes()->Add(nullptr, 0, "p", "p");
    cTreeNode* a = parent->Child()->Add(parent, 4, "a", "a");
    tree->Nodes()->Add(a, 4, "a1", "a1");
    EXPECT_EQ(childTexts(a), QStringList{"a1"});
}

TEST_F(TreeTest, SelectionExpansionBoldAndIcons)
{
    buildListsTree();
    cTreeNode* two = items->Child()->Item(2);
    EXPECT_EQ(tree->SelectedItem(), nullptr);

    two->SetSelected(true);
    EXPECT_EQ(tree->SelectedItem(), two);
    EXPECT_TRUE(two->Selected());
    EXPECT_EQ(two->Child()->Count(), 0);
    // The current node shows its selected image, the others their image.
    EXPECT_EQ(tree->Widget()->currentItem()->icon(0).cacheKey(), images->Icon(43).cacheKey());

    two->SetSelected(false); // the highlight goes, the node stays the selected item
    EXPECT_FALSE(two->Selected());
    EXPECT_EQ(tree->SelectedItem(), two);

    cds->SetExpanded(true);
    EXPECT_TRUE(cds->Expanded());
    two->SetBold(true);
    EXPECT_TRUE(two->Bold());
    EXPECT_FALSE(items->Child()->Item(1)->Bold());
    items->SetFilled(true);
    EXPECT_TRUE(items->Filled());
}

TEST_F(TreeTest, DeleteAndClearRemoveNodesWithTheirChildren)
{
    buildListsTree();
    QPointer<cTreeNode> drive = cds->Child()->Item(1);
    QPointer<cTreeNode> cdRoot = cds;
    cds->Delete();
    EXPECT_TRUE(cdRoot.isNull());
    EXPECT_TRUE(drive.isNull());
    EXPECT_EQ(tree->Nodes()->Count(), 4);

    items->Child()->Item(2)->Delete();
    EXPECT_EQ(childTexts(items), (QStringList{"One", "Three"}));

    tree->Nodes()->Clear();
    EXPECT_EQ(tree->Nodes()->Count(), 0);
    EXPECT_EQ(tree->Widget()->topLevelItemCount(), 0);
    EXPECT_NE(tree->Nodes()->Add(nullptr, 0, "##MAINITEMS/lists/", "Items Lists"), nullptr); // keys free again
}

TEST_F(TreeTest, ClickingANodeRaisesNodeClick)
{
    buildListsTree();
    items->SetExpanded(true);
    showTree();
    QSignalSpy clicks(tree.get(), &cTreeView::NodeClick);
    cTreeNode* two = items->Child()->Item(2);

    QTest::mouseClick(tree->Widget()->viewport(), Qt::LeftButton, {}, nodeCenter(two));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).value<cTreeNode*>(), two);
    EXPECT_EQ(tree->SelectedItem(), two);
}

TEST_F(TreeTest, KeyReleaseRaisesKeyUpWithTheKeyCode)
{
    showTree();
    QSignalSpy keys(tree.get(), &cTreeView::KeyUp);
    QKeyEvent down(QEvent::KeyRelease, Qt::Key_Down, Qt::ShiftModifier);
    QApplication::sendEvent(tree->Widget(), &down);
    QKeyEvent letter(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(tree->Widget(), &letter);
    ASSERT_EQ(keys.count(), 2);
    EXPECT_EQ(keys.at(0).at(0).toInt(), 0x28);
    EXPECT_EQ(keys.at(0).at(1).toInt(), 1);
    EXPECT_EQ(keys.at(1).at(0).toInt(), 'A');
}

struct EditCase {
    const char* name;
    std::function<void(cTreeNode*, QString*, bool*)> handler;
    QString typed;
    QString expected;
};

class TreeEditTest : public TreeTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(TreeEditTest, AfterLabelEditDecidesTheCaption)
{
    const EditCase& c = GetParam();
    buildListsTree();
    items->SetExpanded(true);
    tree->SetLabelEdit(true);
    showTree();
    cTreeNode* two = items->Child()->Item(2);
    QString seenText;
    onLabelEdit([&](cTreeNode* node, QString* text, bool* cancel) {
        EXPECT_EQ(node, two);
        seenText = *text;
        c.handler(node, text, cancel);
    });

    editCaption(two, c.typed);
    EXPECT_EQ(seenText, c.typed) << c.name;
    EXPECT_EQ(two->Text(), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, TreeEditTest,
    ::testing::Values(
        EditCase{"accepted", [](cTreeNode*, QString*, bool*) {}, "Renamed", "Renamed"},
        EditCase{"cancelled", [](cTreeNode*, QString*, bool* cancel) { *cancel = true; }, "Bad?", "Two"},
        EditCase{"changed", [](cTreeNode*, QString* text, bool*) { *text = text->trimmed(); }, "  Spaced ", "Spaced"}));

TEST_F(TreeTest, AHandlerCanRestartEditingAndTheEditorComesBack)
{
    buildListsTree();
    items->SetExpanded(true);
    showTree();
    cTreeNode* one = items->Child()->Item(1);
    int events = 0;
    onLabelEdit([&](cTreeNode* node, QString* text, bool* cancel) {
        ++events;
        if (text->isEmpty()) {
            node->StartEdit();
            *cancel = true;
        }
    });

    editCaption(one, "");
    EXPECT_EQ(one->Text(), "One");
    editCaption(one, "Fine"); // the restarted editor, typed into again
    EXPECT_EQ(one->Text(), "Fine");
    EXPECT_EQ(events, 2);
}

TEST_F(TreeTest, EscapeLeavesTheCaptionWithoutAnEvent)
{
    buildListsTree();
    showTree();
    int edits = 0;
    onLabelEdit([&](cTreeNode*, QString*, bool*) { ++edits; });
    items->StartEdit();
    auto* editor = tree->Widget()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("Other");
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(edits, 0);
    EXPECT_EQ(items->Text(), "Items Lists");
}

} // namespace
