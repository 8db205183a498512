#include "settings/frmAudioProp.h"

#include "mainwindow/frmMain.h"

DefaultInstance<CfrmAudioProp> g_frmAudioProp;

CfrmAudioProp::CfrmAudioProp() : Form("g_frmAudioProp") {}

void CfrmAudioProp::Form_Load()
{
    setWindowTitle("Audio Format Properties");
}

void CfrmAudioProp::Form_Unload(int& Cancel)
{
    if (!g_bExitApp) {
        Cancel = 1;
        Hide();
    }
}
