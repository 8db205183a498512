// The grid: rows added by writing row Rows + 1, keyed and hidden columns,
// icons, selection, bulk changes with Redraw off, sorting and its events.
#include "controls/widgets/WindowWidgets.h"

#include <QApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QThreadPool>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

namespace {

QIcon squareIcon(Qt::GlobalColor color)
{
    QPixmap pm(16, 16);
    pm.fill(color);
    return QIcon(pm);
}

// Drags the data over the widget and drops it at (10, 20).
void dropOn(QWidget* widget, QMimeData* data)
{
    QDragEnterEvent enter(QPoint(10, 20), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    QDropEvent drop(QPointF(10, 20), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
}

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        images = std::make_unique<cImageList>();
        for (Qt::GlobalColor c : {Qt::white, Qt::black, Qt::red, Qt::green, Qt::blue}) images->Add(squareIcon(c));
        grid = std::make_unique<cGrid>();
        grid->SetRowHeight(24);
        grid->SetImageList(images.get());
        grid->AddColumn("Inc", "", 0, -1, 20);
        grid->AddColumn("Type", "Type", 0, -1, 40);
        grid->AddColumn("Item Name", "Item Name", 0, -1, 160);
        grid->AddColumn("COL_FILE", "COL_FILE", 0, -1, -1, false);
        grid->AddColumn("COL_BYTES_SIZE", "COL_BYTES_SIZE", 0, -1, -1, false);
        grid->resize(500, 300);
    }

    // Appends a row the way the windows do: one cell after another.
    void addRow(const QString& name, const QVariant& size = QVariant(), int mark = 1)
    {
        const int row = grid->Rows() + 1;
        grid->CellDetails(row, grid->ColumnIndex("Inc"), QVariant(), 0x40020, mark);
        grid->CellDetails(row, grid->ColumnIndex("Type"), "", 0x40020, 3);
        grid->CellDetails(row, grid->ColumnIndex("Item Name"), name);
        grid->CellDetails(row, grid->ColumnIndex("COL_FILE"), "/music/" + name + ".wav");
        if (size.isValid()) grid->CellDetails(row, grid->ColumnIndex("COL_BYTES_SIZE"), size);
    }

    QStringList names() const
    {
        QStringList out;
        for (int r = 1; r <= grid->Rows(); ++r) out << grid->CellText(r, "Item Name").toString();
        return out;
    }

    QPoint cellCenter(int row, int column) const
    {
        QTableView* view = grid->View();
        return view->visualRect(view->model()->index(row - 1, column - 1)).center();
    }

    void showGrid()
    {
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    }

    std::unique_ptr<cImageList> images;
    std::unique_ptr<cGrid> grid;
};

TEST_F(GridTest, WritingRowAfterTheLastAppendsAnEmptyRowAndOtherRowsAreRefused)
{
    grid->CellDetails(1, "Item Name", "first");
    grid->CellDetails(3, "Item Name", "gap"); // Rows + 2: refused
    grid->CellDetails(2, "Item Name", "second");
    grid->CellDetails(0, "Item Name", "zero");
    grid->CellDetails(3, "No Such Column", "refused");

    EXPECT_EQ(grid->Rows(), 2);
    EXPECT_EQ(names(), (QStringList{"first", "second"}));
    EXPECT_FALSE(grid->CellText(2, "COL_FILE").isValid());
    EXPECT_EQ(grid->CellIconIndex(2, "Inc"), -1);
    EXPECT_EQ(grid->View()->model()->rowCount(), 2);
}

TEST_F(GridTest, CellValuesReadBackAsWritten)
{
    const QDateTime created(QDate(2023, 4, 5), QTime(6, 7, 8));
    const std::vector<QVariant> values = {QVariant("text"), QVariant(1234567), QVariant(created), QVariant(37.5)};
    for (const QVariant& value : values) {
        grid->CellDetails(grid->Rows() + 1, "COL_BYTES_SIZE", value);
        const QVariant back = grid->Cell(grid->Rows(), "COL_BYTES_SIZE").Text();
        EXPECT_EQ(back.typeId(), value.typeId());
        EXPECT_EQ(back, value);
    }
    EXPECT_EQ(grid->View()->model()->index(3, 4).data().toString(), "37.5");
}

TEST_F(GridTest, ColumnsAreFoundByKeyOrNumberAndHiddenOnesHoldData)
{
    addRow("song");
    EXPECT_EQ(grid->Columns(), 5);
    EXPECT_EQ(grid->ColumnIndex("COL_FILE"), 4);
    EXPECT_EQ(grid->ColumnIndex("Nothing"), 0);
    EXPECT_EQ(grid->ColumnKey(3), "Item Name");
    EXPECT_EQ(grid->CellText(1, 4).toString(), "/music/song.wav");
    EXPECT_EQ(grid->CellText(1, "COL_FILE").toString(), "/music/song.wav");
    EXPECT_FALSE(grid->ColumnVisible("COL_FILE"));
    EXPECT_TRUE(grid->View()->isColumnHidden(3));
    EXPECT_FALSE(grid->View()->isColumnHidden(2));
    EXPECT_EQ(grid->View()->columnWidth(2), 160);
    EXPECT_EQ(grid->ColumnHeader(2), "Type");

    grid->AddColumn("Type", "again"); // keys are unique
    EXPECT_EQ(grid->Columns(), 5);
}

TEST_F(GridTest, CellIconsComeFromTheImageList)
{
    addRow("song", QVariant(), 1);
    EXPECT_EQ(grid->Cell(1, "Inc").IconIndex(), 1);
    EXPECT_EQ(grid->CellTextFormat(1, "Inc"), 0x40020);

    grid->Cell(1, "Inc").SetIconIndex(0);
    EXPECT_EQ(grid->CellIconIndex(1, "Inc"), 0);
    const QIcon shown = qvariant_cast<QIcon>(grid->View()->model()->index(0, 0).data(Qt::DecorationRole));
    EXPECT_EQ(shown.cacheKey(), images->Icon(0).cacheKey());
    EXPECT_FALSE(grid->View()->model()->index(0, 2).data(Qt::DecorationRole).isValid());
}

TEST_F(GridTest, ALargeGridClearsAndFillsAgain)
{
    // Many rows are let go on another thread; the grid is empty at once.
    showGrid();
    grid->SetRedraw(false);
    for (int i = 0; i < 30000; ++i) addRow(QString("song %1").arg(i), qint64(i));
    grid->SetRedraw(true);
    ASSERT_EQ(grid->Rows(), 30000);
    grid->Clear();
    EXPECT_EQ(grid->Rows(), 0);
    EXPECT_EQ(grid->View()->model()->rowCount(), 0);
    addRow("after", qint64(7), 2);
    EXPECT_EQ(names(), QStringList{"after"});
    EXPECT_EQ(grid->CellText(1, "COL_BYTES_SIZE").toLongLong(), 7);
    EXPECT_EQ(grid->CellIconIndex(1, "Inc"), 2);
    QThreadPool::globalInstance()->waitForDone();
}

TEST_F(GridTest, CellIconsAndFormatsKeepTheirRange)
{
    addRow("song");
    grid->CellDetails(1, grid->ColumnIndex("Item Name"), "x", 0x7FFFFFFF, 32767);
    EXPECT_EQ(grid->CellTextFormat(1, "Item Name"), 0x7FFFFFFF);
    EXPECT_EQ(grid->CellIconIndex(1, "Item Name"), 32767);
    grid->SetCellIconIndex(1, "Item Name", -1);
    EXPECT_EQ(grid->CellIconIndex(1, "Item Name"), -1);
}

TEST_F(GridTest, RemoveRowMovesTheRowsBelowUp)
{
    for (const char* name : {"a", "b", "c", "d"}) addRow(name);
    grid->SetSelectedRow(3);

    grid->RemoveRow(2);
    EXPECT_EQ(names(), (QStringList{"a", "c", "d"}));
    EXPECT_EQ(grid->SelectedRow(), 2); // "c" stays current
    EXPECT_TRUE(grid->Cell(2, 1).Selected());

    grid->RemoveRow(9);
    grid->RemoveRow(0);
    EXPECT_EQ(grid->Rows(), 3);
    EXPECT_EQ(grid->View()->model()->rowCount(), 3);
}

TEST_F(GridTest, ClearRemovesRowsAndKeepsColumns)
{
    addRow("a");
    addRow("b");
    grid->SetSelectedRow(2);
    grid->Clear();
    EXPECT_EQ(grid->Rows(), 0);
    EXPECT_EQ(grid->Columns(), 5);
    EXPECT_LT(grid->SelectedRow(), 1);
    addRow("c");
    EXPECT_EQ(names(), QStringList{"c"});
}

TEST_F(GridTest, SelectedRowSelectsOneRowAndTheUserCanSelectMore)
{
    for (const char* name : {"a", "b", "c", "d"}) addRow(name);
    showGrid();
    QSignalSpy changes(grid.get(), &cGrid::SelectionChange);

    grid->SetSelectedRow(2);
    EXPECT_EQ(grid->SelectedRow(), 2);
    EXPECT_TRUE(grid->Cell(2, "Inc").Selected());
    EXPECT_FALSE(grid->Cell(1, "Inc").Selected());
    EXPECT_TRUE(grid->View()->selectionModel()->isRowSelected(1, QModelIndex()));
    EXPECT_EQ(changes.count(), 0); // only the user's moves are reported

    QTest::mouseClick(grid->View()->viewport(), Qt::LeftButton, {}, cellCenter(4, 3));
    EXPECT_EQ(grid->SelectedRow(), 4);
    EXPECT_EQ(grid->SelectedCol(), 3);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 4);

    QTest::mouseClick(grid->View()->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(1, 1));
    const std::vector<bool> selected = {grid->CellSelected(1, 1), grid->CellSelected(2, 1), grid->CellSelected(3, 1),
                                        grid->CellSelected(4, 1)};
    EXPECT_EQ(selected, (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(grid->SelectedCol(), 1);
}

TEST_F(GridTest, AShownGridIsGoneOnlyAfterItsViewStoppedForwardingEvents)
{
    addRow("a");
    showGrid();
    // The view's last events reach the grid while its destructor runs; the grid
    // must still be a whole cGrid then.
    bool gridWholeWhenViewWent = false;
    cGrid* shown = grid.get();
    QObject::connect(grid->View(), &QObject::destroyed,
                     [&] { gridWholeWhenViewWent = qobject_cast<cGrid*>(shown) != nullptr; });
    grid.reset();
    EXPECT_TRUE(gridWholeWhenViewWent);
}

TEST_F(GridTest, RemovingTheSelectedRowsUnderRedrawOffLeavesTheOthers)
{
    for (const char* name : {"a", "b", "c", "d", "e"}) addRow(name);
    showGrid();
    QTest::mouseClick(grid->View()->viewport(), Qt::LeftButton, {}, cellCenter(2, 3));
    QTest::mouseClick(grid->View()->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(4, 3));

    // The windows' removal: visit the rows top down, removing the selected ones.
    grid->SetRedraw(false);
    const int n = grid->Rows();
    int removed = 0;
    for (int i = 1; i <= n; ++i) {
        if (grid->Cell(i - removed, 1).Selected()) {
            grid->RemoveRow(i - removed);
            ++removed;
        }
    }
    ASSERT_GE(grid->SelectedRow(), 1);
    grid->SetSelectedRow(grid->SelectedRow());
    grid->SetRedraw(true);

    EXPECT_EQ(names(), (QStringList{"a", "c", "e"}));
    EXPECT_EQ(grid->View()->model()->rowCount(), 3);
    EXPECT_EQ(grid->SelectedRow(), 3);
    EXPECT_TRUE(grid->View()->selectionModel()->isRowSelected(2, QModelIndex()));
}

TEST_F(GridTest, RedrawOffHoldsChangesBackFromTheViewUntilItIsOn)
{
    addRow("before");
    grid->SetRedraw(false);
    for (int i = 0; i < 100; ++i) addRow(QString("row %1").arg(i));
    grid->SetSelectedRow(50);
    grid->Cell(1, "Item Name").SetText("changed");

    EXPECT_EQ(grid->Rows(), 101);
    EXPECT_EQ(grid->SelectedRow(), 50);
    EXPECT_EQ(grid->View()->model()->rowCount(), 1);
    // The view still paints what it shows (a grid uncovered meanwhile is not left blank).
    EXPECT_TRUE(grid->View()->updatesEnabled());

    grid->SetRedraw(true);
    EXPECT_EQ(grid->View()->model()->rowCount(), 101);
    EXPECT_EQ(grid->View()->model()->index(0, 2).data().toString(), "changed");
    EXPECT_TRUE(grid->View()->selectionModel()->isRowSelected(49, QModelIndex()));
    EXPECT_TRUE(grid->View()->isColumnHidden(3));
}

TEST_F(GridTest, ActingOnTheGridWithRedrawOffAsksForARedraw)
{
    addRow("a");
    addRow("b");
    showGrid();
    grid->SetRedraw(false);
    QSignalSpy requests(grid.get(), &cGrid::RedrawRequest);

    QTest::mouseClick(grid->View()->viewport(), Qt::LeftButton, {}, cellCenter(2, 3));
    EXPECT_GE(requests.count(), 1);
    EXPECT_NE(grid->SelectedRow(), 2); // held back while nobody turns drawing on

    QObject::connect(grid.get(), &cGrid::RedrawRequest, grid.get(), [this] { grid->SetRedraw(true); });
    QTest::mouseClick(grid->View()->viewport(), Qt::LeftButton, {}, cellCenter(2, 3));
    EXPECT_TRUE(grid->Redraw());
    EXPECT_EQ(grid->SelectedRow(), 2);
}

struct SortCase {
    const char* name;
    int column;
    int type;
    int order;
    QStringList expected;
};

class GridSortTest : public GridTest, public ::testing::WithParamInterface<SortCase> {};

TEST_P(GridSortTest, SortsByTheSortObjectAndTheSelectionFollowsItsRow)
{
    const SortCase& c = GetParam();
    addRow("beta", 100);
    addRow("Alpha", 9);
    addRow("gamma", 1000);
    addRow("alpha2", 20);
    grid->SetSelectedRow(1); // "beta"

    // As the windows sort: clear the settings, take the column's entry, set it up.
    cGridSortObject& sort = grid->SortObject();
    sort.Clear();
    int entry = sort.IndexOf(c.column);
    if (entry < 1) entry = sort.Count() + 1;
    sort.SetSortColumn(entry, c.column);
    sort.SetSortOrder(entry, c.order);
    grid->SetColumnSortOrder(c.column, sort.SortOrder(entry));
    grid->SetColumnSortType(c.column, c.type);
    sort.SetSortType(entry, grid->ColumnSortType(c.column));
    grid->Sort();

    EXPECT_EQ(names(), c.expected) << c.name;
    EXPECT_EQ(grid->CellText(grid->SelectedRow(), "Item Name").toString(), "beta") << c.name;
    EXPECT_TRUE(grid->CellSelected(grid->SelectedRow(), 1)) << c.name;
    EXPECT_EQ(grid->ColumnSortOrder(c.column), c.order) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Orders, GridSortTest,
    ::testing::Values(
        SortCase{"text", 3, cGrid::SortText, cGrid::SortAscending, {"Alpha", "alpha2", "beta", "gamma"}},
        SortCase{"text down", 3, cGrid::SortText, cGrid::SortDescending, {"gamma", "beta", "alpha2", "Alpha"}},
        SortCase{"numbers", 5, cGrid::SortNumber, cGrid::SortAscending, {"Alpha", "alpha2", "beta", "gamma"}},
        SortCase{"numbers as text", 5, cGrid::SortText, cGrid::SortAscending, {"beta", "gamma", "alpha2", "Alpha"}}));

TEST_F(GridTest, RowFontIsKeptPerCell)
{
    addRow("a");
    addRow("b");
    QFont bold("Tahoma", 8);
    bold.setBold(true);
    for (int c = 1; c <= grid->Columns(); ++c) grid->SetRowFont(2, c, bold);

    EXPECT_TRUE(grid->RowFont(2, 3).bold());
    EXPECT_FALSE(grid->RowFont(1, 3).bold());
    EXPECT_TRUE(qvariant_cast<QFont>(grid->View()->model()->index(1, 2).data(Qt::FontRole)).bold());
}

TEST_F(GridTest, AppearanceSettingsReachTheView)
{
    grid->SetGridLines(true);
    grid->SetHotTrack(true);
    grid->SetSetupSwitchC(true);
    grid->SetSetupColor(std::int32_t(0x80000008));
    EXPECT_EQ(grid->RowHeight(), 24);
    EXPECT_EQ(grid->View()->verticalHeader()->defaultSectionSize(), 24);
    EXPECT_TRUE(grid->View()->showGrid());
    EXPECT_TRUE(grid->HotTrack());
    EXPECT_TRUE(grid->View()->hasMouseTracking());
    EXPECT_TRUE(grid->SetupSwitchC());
    EXPECT_EQ(grid->SetupColor(), std::int32_t(0x80000008));
}

TEST_F(GridTest, MouseEventsReportRowColumnButtonAndPlace)
{
    addRow("a");
    addRow("b");
    showGrid();
    QSignalSpy doubles(grid.get(), &cGrid::DblClick);
    QSignalSpy ups(grid.get(), &cGrid::MouseUp);
    QSignalSpy headers(grid.get(), &cGrid::ColumnClick);

    const QPoint at = cellCenter(2, 3);
    QTest::mouseClick(grid->View()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->View()->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(doubles.count(), 1);
    EXPECT_EQ(doubles.at(0).at(0).toInt(), 2);
    EXPECT_EQ(doubles.at(0).at(1).toInt(), 3);

    ups.clear();
    QTest::mouseClick(grid->View()->viewport(), Qt::RightButton, Qt::ShiftModifier, at);
    ASSERT_EQ(ups.count(), 1);
    const QPoint inGrid = grid->View()->viewport()->mapTo(grid.get(), at);
    EXPECT_EQ(ups.at(0).at(0).toInt(), 2);
    EXPECT_EQ(ups.at(0).at(1).toInt(), 1);
    EXPECT_FLOAT_EQ(ups.at(0).at(2).toFloat(), float(inGrid.x()));
    EXPECT_FLOAT_EQ(ups.at(0).at(3).toFloat(), float(inGrid.y()));

    QHeaderView* header = grid->View()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    ASSERT_EQ(headers.count(), 1);
    EXPECT_EQ(headers.at(0).at(0).toInt(), 3);
}

TEST_F(GridTest, DropsReportFilesAndControlDrags)
{
    showGrid();
    QSignalSpy files(grid.get(), &cGrid::OLEDragDrop);
    QSignalSpy controls(grid.get(), &cGrid::DragDrop);
    QWidget* viewport = grid->View()->viewport();

    QMimeData shellData;
    shellData.setUrls({QUrl::fromLocalFile("/music/a.wav"), QUrl::fromLocalFile("/music/b.wav")});
    dropOn(viewport, &shellData);
    ASSERT_EQ(files.count(), 1);
    EXPECT_EQ(files.at(0).at(0).toStringList(), (QStringList{"/music/a.wav", "/music/b.wav"}));

    QMimeData controlData;
    controlData.setData(widgets::kControlDragMimeType, "picResizer");
    dropOn(viewport, &controlData);
    ASSERT_EQ(controls.count(), 1);
    const QPoint inGrid = viewport->mapTo(grid.get(), QPoint(10, 20));
    EXPECT_FLOAT_EQ(controls.at(0).at(1).toFloat(), float(inGrid.x() * 15));
    EXPECT_FLOAT_EQ(controls.at(0).at(2).toFloat(), float(inGrid.y() * 15));
}

} // namespace

namespace {

// The shown columns fill the grid: free width goes to texts that would be cut,
// then to the last shown column; a column is never narrower than set.
TEST_F(GridTest, FreeWidthGoesToCutTextsThenToTheLastShownColumn)
{
    const QString longName = "A rather long item name that no 160 pixel column can hold.wav";
    enum Expect { LastTakesTheRest, NameWidenedLastTakesTheRest, NameTakesAllAsSet, AsSetWithScrolling };
    const struct {
        const char* name;
        int gridWidth;
        QString itemName;
        bool rangeShown;
        Expect expect;
    } cases[] = {
        {"short name, wide grid", 700, "a.wav", true, LastTakesTheRest},
        {"long name, wide grid", 900, longName, true, NameWidenedLastTakesTheRest},
        {"long name, little room", 420, longName, true, NameTakesAllAsSet},
        {"long name, narrow grid", 250, longName, true, AsSetWithScrolling},
        {"last column hidden", 700, "a.wav", false, LastTakesTheRest},
    };
    grid->AddColumn("Range", "Range", 0, -1, 120);
    showGrid();
    QTableView* view = grid->View();
    const int item = grid->ColumnIndex("Item Name") - 1, range = grid->ColumnIndex("Range") - 1;
    for (const auto& c : cases) {
        grid->Clear();
        addRow(c.itemName);
        grid->SetColumnVisible("Range", c.rangeShown);
        grid->resize(c.gridWidth, 300);
        QCoreApplication::processEvents();
        const int last = c.rangeShown ? range : item;
        const int lastSet = c.rangeShown ? 120 : 160;
        int total = 0;
        for (int i = 0; i < grid->Columns(); ++i)
            if (!view->isColumnHidden(i)) total += view->columnWidth(i);
        const int textWidth = view->fontMetrics().horizontalAdvance(c.itemName);
        EXPECT_GE(view->columnWidth(0), 20) << c.name;
        EXPECT_GE(view->columnWidth(1), 40) << c.name;
        EXPECT_EQ(grid->ColumnWidth("Item Name"), 160) << c.name << ": the set width stays";
        switch (c.expect) {
        case LastTakesTheRest:
            EXPECT_EQ(total, view->viewport()->width()) << c.name;
            if (c.rangeShown) {
                EXPECT_EQ(view->columnWidth(item), 160) << c.name;
            }
            EXPECT_GT(view->columnWidth(last), lastSet) << c.name;
            break;
        case NameWidenedLastTakesTheRest:
            EXPECT_EQ(total, view->viewport()->width()) << c.name;
            EXPECT_GT(view->columnWidth(item), textWidth) << c.name << ": the name is not cut";
            EXPECT_GT(view->columnWidth(range), 120) << c.name;
            break;
        case NameTakesAllAsSet:
            EXPECT_EQ(total, view->viewport()->width()) << c.name;
            EXPECT_GT(view->columnWidth(item), 160) << c.name;
            EXPECT_EQ(view->columnWidth(range), 120) << c.name;
            break;
        case AsSetWithScrolling:
            EXPECT_EQ(view->columnWidth(item), 160) << c.name;
            EXPECT_EQ(view->columnWidth(range), 120) << c.name;
            EXPECT_GT(total, view->viewport()->width()) << c.name;
            break;
        }
    }
}

} // namespace
