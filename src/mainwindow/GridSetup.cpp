#include "mainwindow/GridSetup.h"

#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"

void SetupFileGrid(cGrid* grid, cImageList* images) { SetupItemsGrid(grid, images, ItemsGridKind::Main); }

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
