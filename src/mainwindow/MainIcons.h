#pragma once
// The main window's own toolbar pictures: the tools toolbar's icons (19 to 29)
// and the player bar's Play, Pause and Stop (0 to 2).
class cImageList;

void FillToolImages(cImageList* images);
void FillPlayerImages(cImageList* images);
