#pragma once
// The main window's grids: the items grid, with the columns of the items row
// (lists/ItemRows.h), and the information grid.
#include <QFont>

class cGrid;
class cImageList;

// The font of the items grid's rows: Tahoma 8, bold for the playing row.
QFont ItemRowFont(bool bold);
// The main window's items grid: rows 24 pixels high, icons from `images`
// (the main window's imgGrid); shows the mark, type, name and range. Its own
// font is the rows' font, so a row written in no font of its own looks the
// same as one set back from bold.
void SetupFileGrid(cGrid* grid, cImageList* images);
// The information grid: "Name" and "Value", rows 20 pixels high.
void SetupInfoGrid(cGrid* grid);
