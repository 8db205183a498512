// Opening a node of the tree in the grid, and saving the open list.
#include "mainwindow/frmMain.h"

#include "controls/audio/AudioConverter.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"
#include "lists/ItemsListFile.h"
#include "lists/ListLoad.h"
#include "core/Paths.h"
#include "platform/FileIdentity.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QTimer>

#include <utility>

void CfrmMain::cTreeView1_NodeClick(cTreeNode* node)
{
    if (IsListBusy() || !node) return;
    if (IsMainNode(node->Key())) {
        cGrid1->Clear();
        m_sOpenListKey.clear();
        m_keptTexts.clear();
        return;
    }
    StopPreviewForList();
    node->SetSelected(true);
    lblListName->setText(node->Text());
    tmrCDs->stop();
    if (IsCDNode(node->Key())) {
        m_sOpenListKey.clear();
        m_keptTexts.clear();
        tmrCDs->start();
        LoadCDTracks(GetCDNameNode(node->Key()));
        GetFileInfoToGridInfo();
        return;
    }
    LoadListIntoGrid(node);
}

void CfrmMain::LoadListIntoGrid(cTreeNode* node)
{
    setCursor(Qt::WaitCursor);
    cGrid1->Clear();
    cGrid1->SetRedraw(false);
    cGrid1->SetRedraw(true);
    cGrid1->SetImageList(imgGrid);
    prgStatus->SetVisible(true);
    cGrid1->SetRedraw(false);
    // The tree stays on the list until it has opened.
    cTreeView1->SetEnabled(false);

    m_sOpenListKey = node->Key();
    m_keptTexts.clear();
    m_openListStamp = {};
    // Damaged records, and items whose file is gone (an unplugged drive, say)
    // or no longer audio, are not shown but stay in the file, in their place.
    m_listLoad = new ListLoad(m_sOpenListKey, cGrid1, g_bCopyID3FromSource, this);
    connect(m_listLoad, &ListLoad::Counted, prgStatus, [this](qsizetype parts) { prgStatus->SetMax(int(parts) - 1); });
    connect(m_listLoad, &ListLoad::RowStarting, prgStatus, [this](int rows) { prgStatus->SetValue(rows); });
    connect(m_listLoad, &ListLoad::Finished, this, &CfrmMain::ListLoaded);
    m_listLoad->Start(cAudioConverter1);
}

void CfrmMain::ListLoaded()
{
    m_keptTexts = m_listLoad->Kept();
    m_openListStamp = m_listLoad->Stamp();
    const ListTotals totals = m_listLoad->Totals();
    m_listLoad->deleteLater();
    m_listLoad = nullptr;
    cTreeView1->SetEnabled(!m_bAddingFiles);
    ShowListLoaded(totals);
    // What waited for the list, in the order it came.
    const QList<std::function<void()>> waiting = std::exchange(m_afterListLoad, {});
    for (const std::function<void()>& step : waiting)
        QMetaObject::invokeMethod(this, step, Qt::QueuedConnection);
}

bool CfrmMain::StopListLoad()
{
    m_afterListLoad.clear();
    m_waitingCommands.clear();
    if (!m_listLoad) return false;
    m_listLoad->Stop();
    m_listLoad->deleteLater();
    m_listLoad = nullptr;
    cGrid1->SetRedraw(true);
    prgStatus->SetVisible(false);
    cTreeView1->SetEnabled(!m_bAddingFiles);
    unsetCursor();
    return true;
}

void CfrmMain::RunAfterListLoad(std::function<void()> step)
{
    if (m_listLoad) m_afterListLoad.append(std::move(step));
    else step();
}

bool CfrmMain::WaitForListLoad(int ItemNumber)
{
    // The window's own commands run at once; every other one reads or writes
    // the list, or opens a window that does, and runs once it has opened.
    static const QStringList kRunAtOnce = {"Notes",  "About",       "Transparent", "On Top",  "Minimize",
                                           "GoSysTray", "RC Open",  "Exit",        "RC Exit", "Master Volume",
                                           "HelpTopic", "Support", "Live Update"};
    if (!m_listLoad || kRunAtOnce.contains(m_cMenu->ItemKey(ItemNumber))) return false;
    // A command asked for twice while the list opens runs once.
    if (!m_waitingCommands.contains(ItemNumber)) {
        m_waitingCommands << ItemNumber;
        m_afterListLoad.append([this, ItemNumber] {
            m_waitingCommands.removeOne(ItemNumber);
            m_cMenu_Click(ItemNumber);
        });
    }
    return true;
}

void CfrmMain::ShowListLoaded(const ListTotals& totals)
{
    lblAddorDrag->setText("Add or Drag and Drop audio items to here.");
    cGrid1->SetRedraw(true);
    if (cGrid1->Rows() > 0) {
        picEmptyMsg->hide();
        cGrid1->SetSelectedRow(g_bSelectTheLastItem ? cGrid1->Rows() : 1);
        SetStatusPanelText("Main", "Ready.");
    } else {
        picEmptyMsg->show();
    }
    GetFileInfoToGridInfo();
    // The load summed the rows as it wrote them.
    ShowListSummary(totals);
    prgStatus->SetVisible(false);
    unsetCursor();
}

void CfrmMain::SaveGridToFile()
{
    // Only the open list's file is ever written: a root or a CD drive names no
    // file, and a list is never written before it has opened whole.
    if (!IsListKey(m_sOpenListKey) || m_listLoad) return;
    WriteOpenList(ListTextOfGrid(cGrid1, m_keptTexts));
}

void CfrmMain::WriteOpenList(const QString& text)
{
    if (platform::ChangedSince(m_sOpenListKey, m_openListStamp)) KeepOtherVersionOfOpenList();
    if (!WriteListFile(m_sOpenListKey, text, &m_openListStamp)) ReportListNotSaved();
}

void CfrmMain::KeepOtherVersionOfOpenList()
{
    const QString aside = KeepOtherListVersion(m_sOpenListKey);
    const QString name = RemoveExtension(GetFileName(m_sOpenListKey));
    if (aside.isEmpty()) {
        platform::MsgBox("The items list '" + name + "' was changed by another program since it was opened here, " +
                             "and that version could not be kept.\r\n\r\nThis window now saves its own items over it.",
                         platform::vbExclamation);
        return;
    }
    const QString asideName = RemoveExtension(GetFileName(aside));
    if (g_nodMainItems && QFileInfo(aside).absolutePath() == QFileInfo(ListsFolder()).absolutePath())
        g_nodMainItems->Child()->Add(g_nodMainItems, 4, aside, asideName, 42, 43);
    platform::MsgBox("The items list '" + name + "' was changed by another program since it was opened here.\r\n\r\n" +
                         "That version is kept as the list '" + asideName + "'; this window now saves its own items.",
                     platform::vbInformation);
}

void CfrmMain::CloseOpenList()
{
    StopListLoad();
    cGrid1->Clear();
    m_sOpenListKey.clear();
    m_keptTexts.clear();
    lblListName->clear();
    GetFileInfoToGridInfo();
    DisplayGridInfoStatusBar();
}

void CfrmMain::ReportListNotSaved()
{
    platform::MsgBox("The items list could not be saved:\r\n" + m_sOpenListKey +
                         "\r\n\r\nCheck that its folder exists and can be written to.",
                     platform::vbExclamation);
}
