#include "mainwindow/GridSetup.h"

#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"

QFont ItemRowFont(bool bold)
{
    QFont font;
    font.setFamily("Tahoma");
    font.setPointSize(8);
    font.setBold(bold);
    return font;
}

void SetupFileGrid(cGrid* grid, cImageList* images)
{
    SetupItemsGrid(grid, images, ItemsGridKind::Main);
    if (grid) grid->setFont(ItemRowFont(false));
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
