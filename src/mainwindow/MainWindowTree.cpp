// The tree of items lists and CD drives: building it, renaming, creating,
// removing and clearing lists, and the splitter dropped on it.
#include "mainwindow/frmMain.h"

#include "controls/widgets/WindowWidgets.h"
#include "controls/audio/Player.h"
#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/Paths.h"
#include "core/TextFiles.h"
#include "lists/ItemsListFile.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

namespace {

// The plain files of a folder (no folders, no hidden files), by name.
QStringList plainFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

} // namespace

bool CfrmMain::IsListKey(const QString& key) { return !key.isEmpty() && !IsMainNode(key) && !IsCDNode(key); }

void CfrmMain::setTree()
{
    cTreeNodes* nodes = cTreeView1->Nodes();
    nodes->Clear();
    const QString folder = ListsFolder();
    if (plainFiles(folder).isEmpty()) {
        CreateFolderPath(folder);
        CreateEmptyListFile(folder + GetNewListFileName(folder));
    }
    cTreeView1->SetImageList(imgMenu);

    if (lAppIncItemsLists == 1) {
        g_nodMainItems = nodes->Add(nullptr, 0, "##MAINITEMS" + folder, "Items Lists", 17, 17);
        for (const QString& name : plainFiles(folder))
            if (name.contains(".flst"))
                g_nodMainItems->Child()->Add(g_nodMainItems, 4, folder + name, RemoveExtension(name), 42, 43);
        if (g_nodMainItems->Child()->Count() == 0) {
            cTreeView1->SetLabelEdit(true);
        } else {
            g_nodMainItems->SetFilled(true);
            g_nodMainItems->SetExpanded(true);
        }
    }

    if (lAppIncCDRipper == 1) {
        g_nodMainCDs = nodes->Add(nullptr, 2, "##MAINCDSAudio CDs", "Audio CDs", 71, 71);
        AddCDDriveNodes();
        g_nodMainCDs->SetExpanded(true);
    }
}

void CfrmMain::cTreeView1_AfterLabelEdit(cTreeNode* node, QString& NewString, bool& Cancel)
{
    if (!node) return;
    if (cTreeNode* selected = cTreeView1->SelectedItem()) selected->SetSelected(false);
    const QString key = node->Key();
    if (IsCDNode(key)) return;
    // A root names no file: its caption stays.
    if (IsMainNode(key)) {
        Cancel = true;
        return;
    }
    // Empty, unusable and hidden names (a leading "." would hide the list) are edited again.
    if (NewString.isEmpty() || !IsValidFileName(NewString) || NewString.startsWith('.')) {
        node->StartEdit();
        Cancel = true;
        return;
    }
    if (NewString == node->Text()) return;

    const QString newPath = GetFolderOfPath(key) + NewString + ".flst";
    if (QFileInfo::exists(newPath)) {
        platform::MsgBox("The Items List '" + NewString + "' already exists. Please select a different name.",
                         platform::vbInformation);
        node->StartEdit();
        Cancel = true;
        return;
    }
    if (!MoveListFile(node, newPath)) {
        Cancel = true;
        return;
    }
    // The node shows its new name before it opens, so the label above the grid does too.
    node->SetText(NewString);
    cTreeView1_NodeClick(node);
}

bool CfrmMain::MoveListFile(cTreeNode* node, const QString& newPath)
{
    if (!node) return false;
    const QString key = node->Key();
    // The list that is opening is being read from its file.
    if (IsListLoading() && key == m_sOpenListKey) {
        platform::MsgBox("The Items List '" + node->Text() + "' is still opening. Rename it once it has opened.",
                         platform::vbInformation);
        return false;
    }
    if (!QFile::rename(key, newPath)) {
        const bool missing = !QFileInfo::exists(key);
        platform::MsgBox(QString(missing ? "File not found" : "Path/File access error") + " (" +
                             QString::number(missing ? 53 : 75) + ")." + QString(28, ' '),
                         platform::vbInformation);
        return false;
    }
    if (m_sOpenListKey == key) m_sOpenListKey = newPath;
    node->SetKey(newPath);
    return true;
}

void CfrmMain::cTreeView1_DragDrop(QObject* Source, float X, float Y)
{
    const double left = platform::PixelsToTwips(cTreeView1->x());
    const double width = X < 1000 ? 1000.0 : left + X - 120;
    cTreeView1->resize(platform::TwipsToPixels(width), cTreeView1->height());
    Form_Resize();
}

void CfrmMain::NewItemsList()
{
    if (IsListBusy() || !g_nodMainItems) return;
    const QString folder = ListsFolder();
    if (!IsFolder(folder)) CreateFolderPath(folder);
    const QString name = GetNewListFileName(folder);
    if (!CreateEmptyListFile(folder + name)) return;
    cTreeNode* node = g_nodMainItems->Child()->Add(g_nodMainItems, 4, folder + name, RemoveExtension(name), 42, 43);
    if (!node) return;
    node->SetSelected(true);
    cTreeView1_NodeClick(node);
    cTreeView1->SetLabelEdit(true);
    node->StartEdit();
}

void CfrmMain::RemoveItemsList()
{
    if (IsListBusy() || !g_nodMainItems || g_nodMainItems->Child()->Count() < 2) return;
    cTreeNode* node = cTreeView1->SelectedItem();
    if (!node || !IsListKey(node->Key())) return;
    const QString key = node->Key();
    if (SplitListRecords(ReadListFile(key)).size() >= 2) {
        const QString question =
            "This operation will erase all the items under the '" + GetFileName(key) + "', are you sure?";
        if (platform::MsgBox(question, platform::vbYesNo | platform::vbInformation) != platform::vbYes) return;
    }
    if (!KillFile(key) && QFileInfo::exists(key)) return;
    if (m_sOpenListKey == key) {
        m_sOpenListKey.clear();
        m_keptTexts.clear();
    }
    node->Delete();
    cTreeNodes* lists = g_nodMainItems->Child();
    cTreeView1_NodeClick(lists->Count() > 0 ? lists->Item(lists->Count()) : cTreeView1->SelectedItem());
}

bool CfrmMain::CheckListSelected()
{
    cTreeNode* node = cTreeView1->SelectedItem();
    if (node && !IsMainNode(node->Key())) return false;
    platform::MsgBox("Select the Items List." + QString(40, ' '), platform::vbInformation);
    if (node && node->Child()->Count() > 0) cTreeView1_NodeClick(node->Child()->Item(1));
    return true;
}

bool CfrmMain::OpenListHoldsNothing() const { return cGrid1->Rows() == 0 && m_keptTexts.isEmpty(); }

void CfrmMain::ClearTheList(bool bNoAsk)
{
    // A list whose every item is out of sight (files gone) can be cleared too.
    if (OpenListHoldsNothing()) return;
    if (cPlayer1->IsPlaying()) {
        StopPreviewForList();
        SetRowUnBold();
        if (cPlayer1->IsPlaying()) return;
    }
    if (!bNoAsk) {
        cTreeNode* node = cTreeView1->SelectedItem();
        const QString question = "This operation will erase all the items under the '" +
                                 (node ? node->Text() : QString()) + "' list." + kCrLf + kCrLf + "Are you sure?";
        if (platform::MsgBox(question, platform::vbYesNo | platform::vbExclamation) != platform::vbYes) return;
    }
    DoClearTheList();
}

void CfrmMain::DoClearTheList()
{
    if (IsListBusy()) return;
    if (!m_sOpenListKey.isEmpty()) {
        m_keptTexts.clear();
        WriteOpenList(QString());
    }
    cGrid1->Clear();
    cGrid1->SetRedraw(true);
    cTreeView1_NodeClick(cTreeView1->SelectedItem());
}
