// The columns of the main list, the job grids and the info grid.
#include "controls/widgets/WindowWidgets.h"
#include "controls/widgets/ImageList.h"
#include "conversion/JobWindow.h"
#include "mainwindow/GridSetup.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList shownHeaders(cGrid& grid)
{
    QStringList headers;
    for (int c = 1; c <= grid.Columns(); ++c)
        if (grid.ColumnVisible(c)) headers << grid.ColumnHeader(c);
    return headers;
}

QStringList keys(cGrid& grid)
{
    QStringList out;
    for (int c = 1; c <= grid.Columns(); ++c) out << grid.ColumnKey(c);
    return out;
}

const QStringList kKeys = {"Inc",           "Type",          "Item Name",       "Size",          "Time",
                           "Created",       "Range",         "COL_FILE",        "COL_RANGE_ALL", "COL_RANGE_START_TIME",
                           "COL_RANGE_LENGTH_TIME", "COL_BYTES_SIZE", "COL_TAG_ALBUM", "COL_TAG_ARTIST",
                           "COL_TAG_COMMENT", "COL_TAG_GEN", "COL_TAG_YEAR",  "COL_TAG_TITLE",   "COL_TAG_TRACK",
                           "COL_TAG_TYPED"};

TEST(GridSetup, MainListShowsFourOfTwentyColumns)
{
    cImageList images;
    cGrid grid;
    SetupFileGrid(&grid, &images);
    EXPECT_EQ(keys(grid), kKeys);
    EXPECT_EQ(shownHeaders(grid), QStringList({"Inc", "Type", "Item Name", "Range"}));
    EXPECT_EQ(grid.ColumnHeader("Time"), "Time-Length");
    EXPECT_EQ(grid.ColumnWidth("Item Name"), 200);
    EXPECT_EQ(grid.RowHeight(), 24);
    EXPECT_EQ(grid.ImageList(), &images);
    EXPECT_TRUE(grid.GridLines());
    EXPECT_TRUE(grid.HotTrack());
    EXPECT_EQ(grid.SetupColor(), std::int32_t(0x80000008));
}

TEST(GridSetup, JobGridShowsSevenColumnsInTheSameOrder)
{
    cImageList images;
    cGrid grid;
    SetupJobGrid(&grid, &images);
    EXPECT_EQ(keys(grid), kKeys);
    EXPECT_EQ(shownHeaders(grid),
              QStringList({"", "Type", "Item Name", "Size", "Time-Length", "Created", "Range"}));
    EXPECT_EQ(grid.ColumnWidth("Inc"), 20);
    EXPECT_EQ(grid.ColumnWidth("Item Name"), 160);
    EXPECT_EQ(grid.ImageList(), &images);
}

TEST(GridSetup, InfoGridHasNameAndValue)
{
    cGrid grid;
    SetupInfoGrid(&grid);
    EXPECT_EQ(keys(grid), QStringList({"Name", "Value"}));
    EXPECT_EQ(grid.ColumnWidth("Name"), 70);
    EXPECT_EQ(grid.ColumnWidth("Value"), 130);
    EXPECT_EQ(grid.RowHeight(), 20);
    EXPECT_EQ(grid.ImageList(), nullptr);
}

} // namespace
