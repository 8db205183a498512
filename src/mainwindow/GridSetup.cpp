#include "mainwindow/GridSetup.h"

#include "controls/WindowWidgets.h"
#include "mainwindow/frmMain.h"

namespace {

struct ItemColumn {
    const char* key;
    const char* header;
    const char* jobHeader;
    int mainWidth;
    int jobWidth;
    bool shownInMain;
    bool shownInJob;
};

// The data columns are hidden everywhere and take the grid's default width.
constexpr ItemColumn kItemColumns[] = {
    {kColInc, "Inc", "", 26, 20, true, true},
    {kColType, "Type", "Type", 40, 40, true, true},
    {kColItemName, "Item Name", "Item Name", 200, 160, true, true},
    {kColSize, "Size", "Size", 80, 80, false, true},
    {kColTime, "Time-Length", "Time-Length", 80, 80, false, true},
    {kColCreated, "Created", "Created", 140, 140, false, true},
    {kColRange, "Range", "Range", 120, 120, true, true},
    {kColFile, kColFile, kColFile, -1, -1, false, false},
    {kColRangeAll, kColRangeAll, kColRangeAll, -1, -1, false, false},
    {kColRangeStart, kColRangeStart, kColRangeStart, -1, -1, false, false},
    {kColRangeLength, kColRangeLength, kColRangeLength, -1, -1, false, false},
    {kColBytesSize, kColBytesSize, kColBytesSize, -1, -1, false, false},
    {kColTagAlbum, kColTagAlbum, kColTagAlbum, -1, -1, false, false},
    {kColTagArtist, kColTagArtist, kColTagArtist, -1, -1, false, false},
    {kColTagComment, kColTagComment, kColTagComment, -1, -1, false, false},
    {kColTagGenre, kColTagGenre, kColTagGenre, -1, -1, false, false},
    {kColTagYear, kColTagYear, kColTagYear, -1, -1, false, false},
    {kColTagTitle, kColTagTitle, kColTagTitle, -1, -1, false, false},
    {kColTagTrack, kColTagTrack, kColTagTrack, -1, -1, false, false},
};

enum class GridKind { Main, Job };

void SetupItemsGrid(cGrid* grid, cImageList* images, GridKind kind)
{
    if (!grid) return;
    const bool job = kind == GridKind::Job;
    grid->SetRowHeight(24);
    grid->SetImageList(images);
    for (const ItemColumn& c : kItemColumns)
        grid->AddColumn(c.key, job ? c.jobHeader : c.header, 0, -1, job ? c.jobWidth : c.mainWidth,
                        job ? c.shownInJob : c.shownInMain);
    grid->SetSetupSwitchA(true);
    grid->SetGridLines(true);
    grid->SetSetupSwitchB(true);
    grid->SetSetupSwitchC(true);
    grid->SetSetupSwitchD(false);
    grid->SetSetupColor(std::int32_t(0x80000008));
    grid->SetHotTrack(true);
    grid->SetSetupSwitchE(false);
}

} // namespace

void SetupFileGrid(cGrid* grid, cImageList* images) { SetupItemsGrid(grid, images, GridKind::Main); }

void SetupJobGrid(cGrid* grid, cImageList* images)
{
    if (!images && frmMain.IsLoaded()) images = frmMain->imgMenu;
    SetupItemsGrid(grid, images, GridKind::Job);
}

void SetupInfoGrid(cGrid* grid)
{
    if (!grid) return;
    grid->SetRowHeight(20);
    grid->AddColumn("Name", "Name", 0, -1, 70);
    grid->AddColumn("Value", "Value", 0, -1, 130);
    grid->SetSetupSwitchA(true);
    grid->SetGridLines(true);
    grid->SetSetupSwitchB(true);
    grid->SetSetupSwitchD(false);
}
