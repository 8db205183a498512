#pragma once
// The main window's grids: the items grid, with the columns of the items row
// (lists/ItemRows.h), and the information grid.
class cGrid;
class cImageList;

// The main window's items grid: rows 24 pixels high, icons from `images`
// (the main window's imgGrid); shows the mark, type, name and range.
void SetupFileGrid(cGrid* grid, cImageList* images);
// The information grid: "Name" and "Value", rows 20 pixels high.
void SetupInfoGrid(cGrid* grid);
