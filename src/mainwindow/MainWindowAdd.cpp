// Adding files to the open list: the open dialog, and files dropped on the
// grid or on the notice that covers an empty list.
#include "mainwindow/frmMain.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/WindowProcedures.h"
#include "core/mdlCommDialog.h"
#include "lists/frmStat.h"

#include <QFileInfo>

void CfrmMain::AddFiles()
{
    // Rows go to the open list only: never while it loads or takes files already.
    if (IsListBusy() || !IsListKey(m_sOpenListKey)) return;
    SetOnTop(false);
    g_OFN.lpstrFilter = GetSupportedFormatsFilter();
    g_OFN.lpstrTitle = "Add audio files";
    const FileDialogResult picked = ShowOpen(this, true);
    if (picked.bCancelled) return;

    const QString folder = picked.sFolder.endsWith('/') ? picked.sFolder : picked.sFolder + '/';
    QStringList paths;
    for (int i = 1; i <= picked.iFileCount && i < picked.asFiles.size(); ++i) paths << folder + picked.asFiles[i];
    AddPathsToList(paths);
}

void CfrmMain::cGrid1_OLEDragDrop(const QStringList& Data, int Effect, int Button, int Shift, float X, float Y)
{
    if (IsListLoading()) {
        RunAfterListLoad([this, Data, Effect, Button, Shift, X, Y] { cGrid1_OLEDragDrop(Data, Effect, Button, Shift, X, Y); });
        return;
    }
    cTreeNode* node = cTreeView1->SelectedItem();
    if (!node || IsCDNode(node->Key()) || IsMainNode(node->Key())) return;
    if (IsListBusy() || !IsListKey(m_sOpenListKey)) return;
    QStringList paths;
    for (const QString& path : Data) {
        const QFileInfo info(path);
        if (info.exists() && info.size() > 0) paths << path;
    }
    AddPathsToList(paths);
}

void CfrmMain::AddPathsToList(const QStringList& paths)
{
    g_frmStat->AddFilesToList(paths, cGrid1, this, false);
    if (CfrmStat* stat = g_frmStat.Peek()) stat->Unload();
    SaveGridToFile();
    DisplayGridInfoStatusBar();
}
