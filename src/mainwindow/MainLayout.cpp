#include "mainwindow/MainLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// A control refuses a negative size and keeps the one it had.
void SetWidth(TwipsRect& r, int width)
{
    if (width >= 0) r.Width = width;
}

void SetHeight(TwipsRect& r, int height)
{
    if (height >= 0) r.Height = height;
}

void LayOutTreePane(MainPanes& p, const MainView& view)
{
    if (p.treeVisible && view.lAppIncListsTree == 0) {
        p.cTreeView1.Width = 0;
        p.picResizer.Width = 0;
        p.treeVisible = false;
    } else if (!p.treeVisible && view.lAppIncListsTree == 1) {
        p.cTreeView1.Width = kTreeDesignWidth;
        p.picResizer.Width = kResizerDesignWidth;
        p.treeVisible = true;
    }
}

void LayOutVertically(MainPanes& p, int H)
{
    p.cToolbarHost1.Top = p.picTitle.Top + p.picTitle.Height + 40;
    p.picTitleProject.Top = p.cToolbarHost1.Top + p.cToolbarHost1.Height;
    p.picTitleList.Top = p.picTitleProject.Top;
    p.cGrid1.Top = p.cToolbarHost1.Top + p.cToolbarHost1.Height + p.picTitleList.Height + 20;
    p.cTreeView1.Top = p.cGrid1.Top;
    SetHeight(p.cGrid1, H - p.froControl.Height - p.tlbrListHeight - p.cToolbarHost1.Height - p.picTitle.Height -
                            p.cStatusBar1Height - p.picTitleList.Height - 600);
    SetHeight(p.cTreeView1, p.cGrid1.Height + p.froControl.Height - 60);
    p.picList.Top = p.cGrid1.Top + p.cGrid1.Height;
    p.froTreeControl.Top = p.cTreeView1.Top + p.cTreeView1.Height - 40;
    SetWidth(p.froTreeControl, p.cTreeView1.Width);
    p.froControl.Top = p.picList.Top + p.picList.Height;
}

void LayOutHorizontally(MainPanes& p, int W)
{
    p.picTitle.Left = 100;
    SetWidth(p.picTitle, W - 350);
    SetWidth(p.cToolbarHost1, p.picTitle.Width);
    p.cTreeView1.Left = p.picTitle.Left + 20;
    p.cGrid1.Left = p.cTreeView1.Left + p.cTreeView1.Width + p.picResizer.Width - 40;
    p.picResizer.Left = p.cTreeView1.Left + p.cTreeView1.Width + 20;
    SetWidth(p.picTitleProject, p.cTreeView1.Width);
    p.picTitleList.Left = p.cGrid1.Left;
    p.picList.Left = p.cGrid1.Left;
    p.froControl.Left = p.cGrid1.Left;
    p.cGridInfo.Top = p.cGrid1.Top;
    SetHeight(p.cGridInfo, p.cGrid1.Height - p.picPlayer.Height);
    SetWidth(p.cGrid1, p.cToolbarHost1.Width - p.cTreeView1.Width - p.cGridInfo.Width - 100);
    p.cGridInfo.Left = p.cGrid1.Left + p.cGrid1.Width;
    p.picPlayer.Top = p.cGridInfo.Top + p.cGridInfo.Height;
    p.picPlayer.Left = p.cGridInfo.Left;
    const int listWidth = p.cGridInfo.Width + p.cGrid1.Width;
    SetWidth(p.picList, listWidth);
    SetWidth(p.froControl, listWidth);
    SetWidth(p.picTitleList, listWidth);
    p.cSlider1.Left = 100;
    SetWidth(p.cSlider1, p.picPlayer.Width - p.cSlider1.Left - 100);
    p.picEmptyMsg.Left = p.cGrid1.Left + p.cGrid1.Width / 2 - p.picEmptyMsg.Width / 2;
}

} // namespace

MainPanes DesignPanes()
{
    MainPanes p;
    p.picTitle = {100, 120, 13390, kMainTitleHeight};
    p.cToolbarHost1 = {120, 535, 13390, 740};
    p.picTitleProject = {120, 1275, kTreeDesignWidth, 255};
    p.cTreeView1 = {120, 1550, kTreeDesignWidth, 3000};
    p.froTreeControl = {120, 4510, kTreeDesignWidth, 500};
    p.picResizer = {2675, 1200, kResizerDesignWidth, 20000};
    p.picTitleList = {2715, 1275, 7200, 255};
    p.cGrid1 = {2715, 1550, 7200, 3000};
    p.picEmptyMsg = {4500, 2400, 3615, 1215};
    p.picList = {2715, 4550, 7200, 390};
    p.froControl = {2715, 4940, 7200, 1155};
    p.cGridInfo = {9915, 1550, kPlayerPaneWidth, 1785};
    p.picPlayer = {9915, 3335, kPlayerPaneWidth, kPlayerPaneHeight};
    p.cSlider1 = {0, 80, 3285, 390};
    p.cToolbarHostPlayer = {60, 645, 1500, 480};
    p.cToolbarHostRecorder = {0, 200, 1575, 760};
    return p;
}

void LayOutPanes(MainPanes& p, int W, int H, const MainView& view)
{
    LayOutTreePane(p, view);
    p.graphsVisible = view.bDisplayAudioGraph;
    p.titleVisible = view.bDisplayTitle;
    p.picTitle.Height = view.bDisplayTitle ? kMainTitleHeight : 0;
    p.playerVisible = view.bDisplayPlayer;
    p.cGridInfo.Width = view.bDisplayPlayer ? kPlayerPaneWidth : 0;
    p.picPlayer.Width = p.cGridInfo.Width;
    LayOutVertically(p, H);
    LayOutHorizontally(p, W);
}

int TreeWidthAfterGridDrop(const MainPanes& p, double X, int W)
{
    const int dropped = int(std::lround(p.cTreeView1.Left + X + p.cTreeView1.Width - 60));
    // The grid's width is the title width less the tree, the info pane and 100.
    const int widest = (W - 350) - p.cGridInfo.Width - 100 - kGridMinWidth;
    return std::max(kTreeMinWidth, std::min(dropped, widest));
}
