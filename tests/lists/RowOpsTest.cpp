// Row operations: marks, moves, removal through the timer, copying into a
// job grid, the playing row's font and the double click.
#include "ListsTestSupport.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "conversion/JobWindow.h"
#include "core/TextFiles.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"

#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

using namespace liststest;

// A list "L" of six files r1.wav ... r6.wav, all marked, open in the grid.
class RowOps : public ListsTest {
protected:
    void SetUp() override
    {
        ListsTest::SetUp();
        QList<Item> items;
        for (int i = 1; i <= 6; ++i) items << FileItem(QString("r%1.wav").arg(i));
        WriteList("L", items);
        Main();
        ASSERT_EQ(Rows(), 6);
    }
    cGrid* Grid() { return Main()->cGrid1; }
    QStringList Names() { return Column("Item Name"); }
    // The "Inc" fields of the list file, record by record.
    QStringList SavedMarks()
    {
        QStringList marks;
        const QString text = QString::fromUtf8(ReadBytes(ListPath("L")));
        for (const QString& record : text.split("<ITEM>").mid(1)) marks << record.section("<Inc>", 1).section("</Inc>", 0, 0);
        return marks;
    }
    void SelectRows(const QList<int>& rows)
    {
        QTableView* view = Grid()->View();
        view->selectionModel()->clearSelection();
        for (int row : rows)
            view->selectionModel()->select(view->model()->index(row - 1, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // Runs a removal as the commands start it: the mode, then the timer.
    void RemoveThroughTimer(const QString& mode)
    {
        Main()->m_sRemoveMode = mode;
        Main()->tmrRemove->start();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !Main()->tmrRemove->isActive(); }));
    }
};

TEST_F(RowOps, AClickInTheMarkColumnTogglesTheMarkAndSavesIt)
{
    Grid()->SetSelectedRow(2);
    Grid()->SetSelectedCol(1);
    Main()->cGrid1_MouseUp(1, 0, 300, 5);
    EXPECT_EQ(Icon(2, "Inc"), 0);
    EXPECT_EQ(SavedMarks(), QStringList({"1", "0", "1", "1", "1", "1"}));
    Main()->cGrid1_MouseUp(1, 0, 300.5f, 5);
    EXPECT_EQ(Icon(2, "Inc"), 0);
    Main()->cGrid1_MouseUp(1, 0, 10, 5);
    EXPECT_EQ(Icon(2, "Inc"), 1);

    Grid()->SetSelectedCol(3);
    Main()->cGrid1_MouseUp(1, 0, 10, 5);
    EXPECT_EQ(Icon(2, "Inc"), 1);
}

TEST_F(RowOps, AClickNearTheMarksLoadsTheRowIntoThePlayer)
{
    Wav("r4.wav", 3);
    Grid()->SetSelectedRow(4);
    Grid()->SetSelectedCol(3);
    Main()->cGrid1_MouseUp(1, 0, 100, 5);
    EXPECT_EQ(Main()->lbTotalLengthSec->text(), "0:00:03");
    EXPECT_EQ(Main()->lblCurrentPositionSec->text(), "0:00:00");
}

TEST_F(RowOps, ARightClickOpensTheItemsMenuOnlyOnAListWithRows)
{
    Main()->cGrid1_MouseUp(2, 0, 400, 5);
    ASSERT_NE(Main()->m_cMenu->LastPopup(), nullptr);
    QStringList captions;
    for (QAction* action : Main()->m_cMenu->LastPopup()->actions()) captions << action->text();
    EXPECT_TRUE(captions.contains("Mark/Unmark All"));
    Main()->m_cMenu->LastPopup()->close();
    EXPECT_EQ(Icon(1, "Inc"), 1);
}

TEST_F(RowOps, ADataTrackIsNeverMarkedByTheMouse)
{
    Grid()->SetCellIconIndex(3, "Type", 4);
    Grid()->SetSelectedRow(3);
    Grid()->SetSelectedCol(1);
    Main()->cGrid1_MouseUp(1, 0, 5, 5);
    EXPECT_EQ(Icon(3, "Inc"), 1);
}

TEST_F(RowOps, MarkUnmarkAllFlipsEveryMarkAndSaves)
{
    Grid()->SetCellIconIndex(4, "Inc", 0);
    EXPECT_TRUE(Main()->IsAnyMarked());
    EXPECT_EQ(Main()->GetMarkedCount(), 5);
    Main()->SetAllMarked(!Main()->IsAnyMarked());
    EXPECT_EQ(SavedMarks(), QStringList(6, "0"));
    EXPECT_FALSE(Main()->IsAnyMarked());
    Main()->SetAllMarked(!Main()->IsAnyMarked());
    EXPECT_EQ(SavedMarks(), QStringList(6, "1"));
    EXPECT_EQ(Main()->GetMarkedCount(), 6);
}

TEST_F(RowOps, ReplaceRowExchangesTwoRowsAndFollowsTheMovedOne)
{
    struct Case {
        int selected, move;
        QStringList order;
    } cases[] = {
        {5, 1 - 5, {"r5", "r2", "r3", "r4", "r1", "r6"}},
        {1, 0, {"r1", "r2", "r3", "r4", "r5", "r6"}},
        {2, -1, {"r2", "r1", "r3", "r4", "r5", "r6"}},
        {2, 6 - 2, {"r1", "r6", "r3", "r4", "r5", "r2"}},
    };
    for (const Case& c : cases) {
        Main()->cTreeView1_NodeClick(ListNode("L"));
        Grid()->SetCellIconIndex(c.selected, "Inc", 0);
        Grid()->SetCellIconIndex(c.selected, "Type", 4);
        Grid()->SetSelectedRow(c.selected);
        Main()->ReplaceRow(c.move);
        QStringList order;
        for (const QString& name : Names()) order << name.chopped(4);
        EXPECT_EQ(order, c.order) << c.selected << " " << c.move;
        const int target = c.selected + c.move;
        EXPECT_EQ(Grid()->SelectedRow(), target);
        EXPECT_EQ(Icon(target, "Inc"), 0);
        EXPECT_EQ(Icon(target, "Type"), 4) << "the type goes with its row";
        if (target != c.selected) {
            EXPECT_EQ(Icon(c.selected, "Type"), 3);
        }
        EXPECT_EQ(Cell(target, "COL_FILE"), MediaDir() + order[target - 1] + ".wav");
    }
}

TEST_F(RowOps, RemovingTakesTheSelectedRowsOut)
{
    SelectRows({2, 3, 5});
    RemoveThroughTimer("Item");
    EXPECT_EQ(Names(), QStringList({"r1.wav", "r4.wav", "r6.wav"}));
    EXPECT_EQ(ReadBytes(ListPath("L")).count("<ITEM>"), 3);
    EXPECT_TRUE(Main()->StatusPanelText("Items List Properties").startsWith("3 Items, "));
}

TEST_F(RowOps, RemovingAsksWhenTheSettingSaysSo)
{
    g_bDisplayMSGWhenErase = true;
    Grid()->SetSelectedRow(2);
    msgBox->Expect(QString("This operation will erase the r2.wav under the 'L'.") + kCrLf + kCrLf + "Continue?",
                   platform::vbNo);
    RemoveThroughTimer("Item");
    EXPECT_EQ(Rows(), 6);
    EXPECT_EQ(msgBox->shown.back().flags, platform::vbYesNo | platform::vbInformation);
}

TEST_F(RowOps, RemovingEveryRowLeavesAnEmptyListAndTheNotice)
{
    SelectRows({1, 2, 3, 4, 5, 6});
    RemoveThroughTimer("Item");
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(ReadBytes(ListPath("L")), QByteArray("\r\n"));
    EXPECT_FALSE(Main()->picEmptyMsg->isHidden());
}

TEST_F(RowOps, RowsThatRemainAreKeptWithoutACurrentRow)
{
    Grid()->SetSelectedRow(0);
    SelectRows({2});
    ASSERT_EQ(Grid()->SelectedRow(), 0);
    RemoveThroughTimer("Item");
    EXPECT_EQ(Names(), QStringList({"r1.wav", "r3.wav", "r4.wav", "r5.wav", "r6.wav"}));
    EXPECT_EQ(ReadBytes(ListPath("L")).count("<ITEM>"), 5);
}

TEST_F(RowOps, ClearingThroughTheTimerAsksFirst)
{
    msgBox->Expect("Are you sure?", platform::vbYes);
    RemoveThroughTimer("All");
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(ReadBytes(ListPath("L")), QByteArray("\r\n"));
}

TEST_F(RowOps, AnyOtherRemovalModeDoesNothing)
{
    SelectRows({1});
    RemoveThroughTimer("Items");
    EXPECT_EQ(Rows(), 6);
}

TEST_F(RowOps, CopyingTheMarkedRowsIntoAJobGrid)
{
    Main()->SetAllMarked(false);
    Grid()->SetCellIconIndex(2, "Inc", 1);
    Grid()->SetCellIconIndex(5, "Inc", 1);
    cGrid job;
    SetupJobGrid(&job, Main()->imgMenu);
    CfrmMain::CopyMarkedRows(Grid(), &job, true);
    ASSERT_EQ(job.Rows(), 2);
    EXPECT_EQ(job.CellText(1, "Item Name").toString(), "r2.wav");
    EXPECT_EQ(job.CellText(2, "Item Name").toString(), "r5.wav");
    EXPECT_EQ(job.CellText(2, "COL_FILE").toString(), Cell(5, "COL_FILE"));
    EXPECT_EQ(job.CellText(2, "Created"), Grid()->CellText(5, "Created"));
    EXPECT_EQ(job.CellIconIndex(1, "Inc"), -1);
    EXPECT_EQ(job.CellIconIndex(1, "Type"), -1);
    EXPECT_EQ(job.SelectedRow(), 1);
}

TEST_F(RowOps, CopyingEveryRowWithItsMark)
{
    Grid()->SetCellIconIndex(3, "Inc", 0);
    cGrid job;
    SetupJobGrid(&job, Main()->imgGrid);
    CfrmMain::CopyMarkedRows(Grid(), &job, false);
    ASSERT_EQ(job.Rows(), 6);
    QList<int> marks;
    for (int row = 1; row <= 6; ++row) marks << job.CellIconIndex(row, "Inc");
    EXPECT_EQ(marks, QList<int>({1, 1, 0, 1, 1, 1}));
    EXPECT_EQ(job.CellTextFormat(1, "Inc"), 0x40020);
    for (int col = 2; col <= job.Columns(); ++col) EXPECT_EQ(job.CellText(6, col), Grid()->CellText(6, col)) << col;
}

TEST_F(RowOps, ThePlayingRowIsBold)
{
    Main()->SetRowBold(2, true);
    for (int col = 1; col <= Grid()->Columns(); ++col) {
        EXPECT_TRUE(Grid()->RowFont(2, col).bold()) << col;
        EXPECT_EQ(Grid()->RowFont(2, col).family(), "Tahoma");
    }
    EXPECT_FALSE(Grid()->RowFont(1, 3).bold());
    Main()->SetRowUnBold();
    EXPECT_FALSE(Grid()->RowFont(2, 3).bold());
    EXPECT_EQ(Grid()->RowFont(6, 19).pointSize(), 8);
}

TEST_F(RowOps, SortingByAColumnOrdersTheRowsWithoutSaving)
{
    Grid()->SetCellText(2, "Item Name", "a first");
    const QByteArray saved = ReadBytes(ListPath("L"));
    Main()->SortGridByColumn(Grid()->ColumnIndex("Item Name"));
    EXPECT_EQ(Names(), QStringList({"a first", "r1.wav", "r3.wav", "r4.wav", "r5.wav", "r6.wav"}));
    EXPECT_EQ(ReadBytes(ListPath("L")), saved);
}

TEST_F(RowOps, ADataTrackCannotBeEdited)
{
    Grid()->SetCellIconIndex(4, "Type", 4);
    msgBox->Expect("Cannot edit a data track." + QString(36, ' '));
    QStringList shown;
    modal->hook = [&](QWidget* w) {
        shown << w->objectName();
        w->close();
    };
    Main()->cGrid1_DblClick(4, 3);
    EXPECT_EQ(msgBox->shown.back().flags, platform::vbInformation);
    EXPECT_TRUE(shown.isEmpty());
    // An audio row opens the item dialog modally.
    Main()->cGrid1_DblClick(3, 3);
    EXPECT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(shown, QStringList{"g_frmItem"});
}

} // namespace
