#pragma once
// The main window's layout in twips, computed apart from any widget: the
// panes' places from the window's size, the view settings and the edition's
// tree flag, and the tree widths that the pane splitter's drops give.
#include <cstdint>

// A place in its container, in twips.
struct TwipsRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// Every pane the layout places or reads, with its shown state. A width or
// height that would come out negative is refused and the pane keeps its old
// value, as the widgets themselves would refuse it.
struct MainPanes {
    TwipsRect picTitle, cToolbarHost1, picTitleProject, cTreeView1, froTreeControl, picResizer, picTitleList,
        cGrid1, picEmptyMsg, picList, froControl, cGridInfo, picPlayer;
    // In the player pane: the slider (placed by the layout) and the player bar's host.
    TwipsRect cSlider1, cToolbarHostPlayer;
    // In froControl: the tools toolbar's host, widened for each button it holds.
    TwipsRect cToolbarHostRecorder;
    // Read only: heights the controls give themselves.
    int tlbrListHeight = 0;
    int cStatusBar1Height = 0;

    bool treeVisible = true;
    bool titleVisible = true;
    bool playerVisible = true;
    bool graphsVisible = true;
};

// What the layout reads besides the window's size.
struct MainView {
    std::int32_t lAppIncListsTree = 0;
    bool bDisplayTitle = true;
    bool bDisplayPlayer = true;
    bool bDisplayAudioGraph = true;
};

inline constexpr int kTreeDesignWidth = 2535;
inline constexpr int kResizerDesignWidth = 100;
inline constexpr int kMainTitleHeight = 375;
inline constexpr int kPlayerPaneWidth = 3495;
inline constexpr int kPlayerPaneHeight = 1215;
// The narrowest tree and the narrowest items grid a splitter drop leaves.
inline constexpr int kTreeMinWidth = 1000;
inline constexpr int kGridMinWidth = 1500;

// The panes as the window is designed, before the first layout.
MainPanes DesignPanes();

// Lays the panes out for a window of W x H twips (outer size).
void LayOutPanes(MainPanes& panes, int W, int H, const MainView& view);

// The tree's width after the splitter is dropped at X (twips, in the drop
// target's coordinates) on the grid side, kept between the tree's minimum and
// the width that leaves the grid its minimum in a window W twips wide.
int TreeWidthAfterGridDrop(const MainPanes& panes, double X, int W);
