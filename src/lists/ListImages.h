#pragma once
// The main window's image lists: the grid's icons (the mark and the item
// kinds) and the 16 x 16 icons of the menus, tree, toolbars and tabs.
class cImageList;

// 0 not marked, 1 marked, 3 audio item, 4 data track.
void FillGridImages(cImageList* images);
// The command and tree icons, at the numbers the menus and the tree use.
void FillMenuImages(cImageList* images);
