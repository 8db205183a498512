#include "lists/OpenListAdding.h"

#include "controls/widgets/Grid.h"
#include "controls/widgets/ImageList.h"
#include "controls/widgets/TreeView.h"
#include "core/MainWindowServices.h"
#include "lists/frmStat.h"
#include "platform/MessageBox.h"

bool OpenListTakesNewFiles(const QString& what)
{
    MainWindowServices* main = MainWindow();
    cTreeNode* node = main && main->cTreeView1 ? main->cTreeView1->SelectedItem() : nullptr;
    if (node && MainWindowServices::IsCDNode(node->Key())) {
        platform::MsgBox("Adding new items to the Audio CD List is not possible.", platform::vbInformation);
        return false;
    }
    if (!node || MainWindowServices::IsMainNode(node->Key()) || !main->cGrid1) {
        platform::MsgBox("Select the Items List to add the " + what + " to.", platform::vbInformation);
        return false;
    }
    return true;
}

bool AddFileToOpenList(const QString& path, QWidget* owner)
{
    MainWindowServices* main = MainWindow();
    if (!main || !main->cGrid1) return false;
    const std::int32_t before = main->cGrid1->Rows();
    g_frmStat->AddFilesToList({path}, main->cGrid1, owner, false);
    if (CfrmStat* stat = g_frmStat.Peek()) stat->Unload();
    // The adding let events run: the main window may have gone meanwhile.
    main = MainWindow();
    if (!main || !main->cGrid1 || main->cGrid1->Rows() == before) return false;
    main->SaveGridToFile();
    main->DisplayGridInfoStatusBar();
    return true;
}
