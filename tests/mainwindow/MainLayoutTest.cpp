// The layout in twips, apart from any widget.
#include "mainwindow/MainLayout.h"

#include <gtest/gtest.h>

namespace {

// A window as it stands at start-up in this edition: tree flag 0, title and
// player shown, an items toolbar 390 twips high and a status bar of 360.
MainPanes StartPanes()
{
    MainPanes p = DesignPanes();
    p.tlbrListHeight = 390;
    p.cStatusBar1Height = 360;
    p.picList.Height = 390;
    return p;
}

const MainView kThisEdition{0, true, true, true};

TEST(MainLayout, DefaultWidthWithTheTreeHidden)
{
    MainPanes p = StartPanes();
    LayOutPanes(p, 13740, 7440, kThisEdition);
    EXPECT_EQ(p.picTitle.Left, 100);
    EXPECT_EQ(p.picTitle.Width, 13390);
    EXPECT_EQ(p.cToolbarHost1.Width, 13390);
    EXPECT_EQ(p.cGrid1.Left, 80);
    EXPECT_EQ(p.cGrid1.Width, 9795);
    EXPECT_EQ(p.cGridInfo.Left, 9875);
    EXPECT_EQ(p.cGridInfo.Width, 3495);
    EXPECT_EQ(p.picList.Width, 13290);
    EXPECT_EQ(p.froControl.Width, 13290);
    EXPECT_EQ(p.picTitleList.Width, 13290);
    EXPECT_EQ(p.picPlayer.Left, 9875);
    EXPECT_EQ(p.cSlider1.Left, 100);
    EXPECT_EQ(p.cSlider1.Width, 3295);
    EXPECT_EQ(p.picEmptyMsg.Left, 80 + 9795 / 2 - 3615 / 2);
    EXPECT_EQ(p.picEmptyMsg.Top, 2400);
}

TEST(MainLayout, VerticalPlacesFollowEachOther)
{
    MainPanes p = StartPanes();
    LayOutPanes(p, 13740, 7440, kThisEdition);
    EXPECT_EQ(p.picTitle.Top, 120);
    EXPECT_EQ(p.cToolbarHost1.Top, 120 + 375 + 40);
    EXPECT_EQ(p.picTitleList.Top, 535 + 740);
    EXPECT_EQ(p.picTitleProject.Top, 535 + 740);
    EXPECT_EQ(p.cGrid1.Top, 535 + 740 + 255 + 20);
    EXPECT_EQ(p.cTreeView1.Top, p.cGrid1.Top);
    const int gridHeight = 7440 - 1155 - 390 - 740 - 375 - 360 - 255 - 600;
    EXPECT_EQ(p.cGrid1.Height, gridHeight);
    EXPECT_EQ(p.cTreeView1.Height, gridHeight + 1155 - 60);
    EXPECT_EQ(p.picList.Top, 1550 + gridHeight);
    EXPECT_EQ(p.froControl.Top, 1550 + gridHeight + 390);
    EXPECT_EQ(p.froTreeControl.Top, p.cTreeView1.Top + p.cTreeView1.Height - 40);
    EXPECT_EQ(p.cGridInfo.Top, p.cGrid1.Top);
    EXPECT_EQ(p.cGridInfo.Height, gridHeight - 1215);
    EXPECT_EQ(p.picPlayer.Top, p.cGridInfo.Top + gridHeight - 1215);
}

TEST(MainLayout, InfoPaneOffGivesTheGridTheWidth)
{
    MainPanes p = StartPanes();
    LayOutPanes(p, 13740, 7440, {0, true, false, true});
    EXPECT_FALSE(p.playerVisible);
    EXPECT_EQ(p.cGridInfo.Width, 0);
    EXPECT_EQ(p.picPlayer.Width, 0);
    EXPECT_EQ(p.cGrid1.Width, 13390 - 0 - 100);
    for (const TwipsRect& r : {p.picList, p.froControl, p.picTitleList}) EXPECT_EQ(r.Width, p.cGrid1.Width);
}

TEST(MainLayout, TitleOffMovesEverythingUp)
{
    MainPanes shown = StartPanes();
    LayOutPanes(shown, 13740, 7440, kThisEdition);
    MainPanes hidden = StartPanes();
    LayOutPanes(hidden, 13740, 7440, {0, false, true, true});
    EXPECT_FALSE(hidden.titleVisible);
    EXPECT_EQ(hidden.picTitle.Height, 0);
    EXPECT_EQ(hidden.cToolbarHost1.Top, 120 + 40);
    EXPECT_EQ(hidden.cGrid1.Height, shown.cGrid1.Height + 375);
    EXPECT_EQ(hidden.cGrid1.Top, shown.cGrid1.Top - 375);
}

TEST(MainLayout, TheTreeFollowsTheEditionFlag)
{
    MainPanes p = StartPanes();
    LayOutPanes(p, 13740, 7440, kThisEdition);
    EXPECT_FALSE(p.treeVisible);
    EXPECT_EQ(p.cTreeView1.Width, 0);
    EXPECT_EQ(p.picResizer.Width, 0);
    EXPECT_EQ(p.picTitleProject.Width, 0);
    EXPECT_EQ(p.froTreeControl.Width, 0);

    // The flag set: the next layout shows the tree at its design width.
    LayOutPanes(p, 13740, 7440, {1, true, true, true});
    EXPECT_TRUE(p.treeVisible);
    EXPECT_EQ(p.cTreeView1.Width, 2535);
    EXPECT_EQ(p.picResizer.Width, 100);
    EXPECT_EQ(p.picResizer.Left, 2675);
    EXPECT_EQ(p.cGrid1.Left, 2715);
    EXPECT_EQ(p.picTitleProject.Width, 2535);
    EXPECT_EQ(p.froTreeControl.Width, 2535);

    // Shown, the tree keeps the width the splitter gave it.
    p.cTreeView1.Width = 3000;
    LayOutPanes(p, 13740, 7440, {1, true, true, true});
    EXPECT_EQ(p.cTreeView1.Width, 3000);
    EXPECT_EQ(p.cGrid1.Width, 13390 - 3000 - 3495 - 100);
}

TEST(MainLayout, GraphsFollowTheirSetting)
{
    MainPanes p = StartPanes();
    LayOutPanes(p, 13740, 7440, {0, true, true, false});
    EXPECT_FALSE(p.graphsVisible);
    LayOutPanes(p, 13740, 7440, kThisEdition);
    EXPECT_TRUE(p.graphsVisible);
}

TEST(MainLayout, ATooSmallWindowKeepsTheSizesThatWouldBeNegative)
{
    MainPanes p = StartPanes();
    LayOutPanes(p, 13740, 7440, kThisEdition);
    const int gridHeight = p.cGrid1.Height;
    const int infoHeight = p.cGridInfo.Height;
    LayOutPanes(p, 300, 1000, kThisEdition);
    EXPECT_EQ(p.cGrid1.Height, gridHeight);
    EXPECT_EQ(p.cGridInfo.Height, infoHeight);
    EXPECT_EQ(p.picTitle.Width, 13390);
}

TEST(MainLayout, SplitterDropOnTheGridSide)
{
    MainPanes p = StartPanes();
    LayOutPanes(p, 13740, 7440, {1, true, true, true});
    ASSERT_EQ(p.cTreeView1.Left, 120);
    ASSERT_EQ(p.cTreeView1.Width, 2535);
    const struct {
        double x;
        int width;
    } drops[] = {
        {300, 120 + 300 + 2535 - 60},
        {0, 120 + 2535 - 60},
        // Kept at the tree's minimum...
        {-2000, 1000},
        // ...and where the grid keeps its own.
        {20000, 13740 - 350 - 3495 - 100 - 1500},
    };
    for (const auto& d : drops) EXPECT_EQ(TreeWidthAfterGridDrop(p, d.x, 13740), d.width) << d.x;
}

} // namespace
