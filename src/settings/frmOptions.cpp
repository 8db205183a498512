#include "settings/frmOptions.h"

#include "core/Edition.h"
#include "mainwindow/frmMain.h"

DefaultInstance<CfrmOptions> frmOptions;

CfrmOptions::CfrmOptions() : Form("frmOptions") {}

void CfrmOptions::Form_Load()
{
    setWindowTitle("Options");
}

void CfrmOptions::Form_Unload(int& Cancel)
{
    // Closing only hides the dialog; it unloads when the program exits.
    if (!g_bExitApp) {
        Cancel = 1;
        Hide();
    }
}
