// The main window's members that keep the items lists.
#include "mainwindow/frmMain.h"

void CfrmMain::CreateListControls() {}
