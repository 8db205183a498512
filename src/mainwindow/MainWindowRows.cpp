// Row operations on the open list: marks, moves, removal, copying into a job
// grid, the playing row's font, the double click, sorting.
#include "mainwindow/frmMain.h"

#include "lists/TrackTypeCode.h"
#include "controls/widgets/WindowWidgets.h"
#include "controls/audio/Player.h"
#include "controls/widgets/PopupMenu.h"
#include "core/FileSystem.h"
#include "core/TextFiles.h"
#include "lists/ItemRows.h"
#include "lists/frmItem.h"
#include "mainwindow/GridSetup.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"
#include "settings/mdlOptions.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace {

constexpr int kDataTrackIcon = 4;

} // namespace

void CfrmMain::cGrid1_MouseUp(int Button, int Shift, float x, float y)
{
    if (Button == 2 && cGrid1->Rows() >= 1) {
        if (!m_cMenu) return;
        const int wx = platform::CLng(cGrid1->x() + double(x)), wy = platform::CLng(cGrid1->y() + double(y));
        const QPoint screen = mapToGlobal(QPoint(wx, wy));
        m_cMenu->ShowPopupMenu(screen.x(), screen.y(), platform::CLng(x), platform::CLng(y), 0, 0, -1,
                               m_cMenu->IndexForKey("MarkUnmark All"));
        return;
    }
    if (x > 300) return;
    LoadSelectedToPlayer();
    const int row = cGrid1->SelectedRow();
    if (row < 1 || cGrid1->CellIconIndex(row, kColType) == GetTrackTypeCode("Data")) return;
    if (cGrid1->SelectedCol() != 1) return;
    cGrid1->SetCellIconIndex(row, kColInc, cGrid1->CellIconIndex(row, kColInc) == kIconMarked ? kIconUnmarked
                                                                                                : kIconMarked);
    SaveGridToFile();
}

void CfrmMain::cGrid1_DblClick(int row, int col)
{
    // The dialog shows the selected row: with none there is nothing to edit.
    if (row < 1 || row > cGrid1->Rows() || cGrid1->SelectedRow() < 1) return;
    if (cGrid1->CellIconIndex(row, kColType) == kDataTrackIcon) {
        platform::MsgBox("Cannot edit a data track." + QString(36, ' '), platform::vbInformation);
        return;
    }
    setCursor(Qt::WaitCursor);
    CfrmItem* item = g_frmItem.get();
    unsetCursor();
    item->ShowModal();
}

void CfrmMain::cGrid1_SelectionChange(int row, int col) { GetFileInfoToGridInfo(); }

void CfrmMain::cGrid1_RedrawRequest(int reason)
{
    // A list that is opening shows its rows once all are written.
    if (!IsListLoading()) cGrid1->SetRedraw(true);
}

bool CfrmMain::IsAnyMarked()
{
    for (int row = 1; row <= cGrid1->Rows(); ++row)
        if (cGrid1->CellIconIndex(row, kColInc) == kIconMarked) return true;
    return false;
}

void CfrmMain::SetAllMarked(bool bMark)
{
    const int icon = bMark ? kIconMarked : kIconUnmarked;
    cGrid1->SetRedraw(false);
    for (int row = 1; row <= cGrid1->Rows(); ++row) cGrid1->SetCellIconIndex(row, kColInc, icon);
    cGrid1->SetRedraw(true);
    SaveGridToFile();
}

std::int32_t CfrmMain::GetMarkedCount()
{
    std::int32_t count = 0;
    for (int row = 1; row <= cGrid1->Rows(); ++row)
        if (cGrid1->CellIconIndex(row, kColInc) == kIconMarked) ++count;
    return count;
}

std::int32_t CfrmMain::ReplaceRow(std::int32_t lMove)
{
    const int from = cGrid1->SelectedRow(), to = from + lMove;
    if (from < 1 || from > cGrid1->Rows() || to < 1 || to > cGrid1->Rows()) return 0;
    cGrid1->SetRedraw(false);
    for (int col = 2; col <= cGrid1->Columns(); ++col) {
        const QVariant kept = cGrid1->CellText(to, col);
        cGrid1->SetCellText(to, col, cGrid1->CellText(from, col));
        cGrid1->SetCellText(from, col, kept);
    }
    // The mark and the type (audio or data track) go with their row.
    for (const char* column : {kColInc, kColType}) {
        const int kept = cGrid1->CellIconIndex(to, column);
        cGrid1->SetCellIconIndex(to, column, cGrid1->CellIconIndex(from, column));
        cGrid1->SetCellIconIndex(from, column, kept);
    }
    cGrid1->SetSelectedRow(to);
    cGrid1->SetRedraw(true);
    return 0;
}

void CfrmMain::tmrRemove_Timer()
{
    // While a list loads or files are added the removal waits for the next tick.
    if (IsListBusy()) return;
    tmrRemove->stop();
    if (m_sRemoveMode == "All") ClearTheList(false);
    else if (m_sRemoveMode == "Item") RemoveSelectedItems();
}

void CfrmMain::RemoveSelectedItems()
{
    if (cPlayer1->IsPlaying()) {
        StopPreviewForList();
        SetRowUnBold();
    }
    if (g_bDisplayMSGWhenErase) {
        cTreeNode* node = cTreeView1->SelectedItem();
        const QString question = "This operation will erase the " +
                                 cGrid1->CellText(cGrid1->SelectedRow(), kColItemName).toString() + " under the '" +
                                 (node ? node->Text() : QString()) + "'." + kCrLf + kCrLf + "Continue?";
        if (platform::MsgBox(question, platform::vbYesNo | platform::vbInformation) != platform::vbYes) return;
    }
    cGrid1->SetRedraw(false);
    const int count = cGrid1->Rows();
    int removed = 0;
    for (int i = 1; i <= count; ++i) {
        if (!cGrid1->CellSelected(i - removed, 1)) continue;
        cGrid1->RemoveRow(i - removed);
        RowRemoved(m_keptTexts, i - removed);
        ++removed;
    }
    // Only a grid that is really empty is cleared: the remaining rows stay,
    // whether or not a row is current.
    if (cGrid1->Rows() == 0) cGrid1->Clear();
    else if (cGrid1->SelectedRow() >= 1) cGrid1->SetSelectedRow(cGrid1->SelectedRow());
    SaveGridToFile();
    DisplayGridInfoStatusBar();
    GetFileInfoToGridInfo();
    cGrid1->SetRedraw(true);
    picEmptyMsg->setVisible(cGrid1->Rows() == 0);
}

std::int32_t CfrmMain::CopyMarkedRows(cGrid* source, cGrid* destination, bool bMarkedOnly)
{
    if (!source || !destination || source->Rows() == 0) return 0;
    destination->SetRedraw(false);
    const int incColumn = destination->ColumnIndex(kColInc);
    int row = destination->Rows();
    for (int i = 1; i <= source->Rows(); ++i) {
        const int mark = source->CellIconIndex(i, kColInc);
        if (bMarkedOnly && mark != kIconMarked) continue;
        ++row;
        if (!bMarkedOnly) destination->CellDetails(row, incColumn, QVariant(), kIconCellFormat, mark);
        for (int col = 2; col <= source->Columns(); ++col) destination->CellDetails(row, col, source->CellText(i, col));
    }
    if (destination->Rows() > 0) destination->SetSelectedRow(1);
    destination->SetRedraw(true);
    return 0;
}

void CfrmMain::SetRowBold(std::int32_t lRow, bool bBold)
{
    const QFont font = ItemRowFont(bBold);
    for (int col = 1; col <= cGrid1->Columns(); ++col) cGrid1->SetRowFont(lRow, col, font);
}

void CfrmMain::SetRowUnBold()
{
    const QFont font = ItemRowFont(false);
    cGrid1->SetRedraw(false);
    for (int row = 1; row <= cGrid1->Rows(); ++row)
        for (int col = 1; col <= cGrid1->Columns(); ++col) cGrid1->SetRowFont(row, col, font);
    cGrid1->SetRedraw(true);
}

void CfrmMain::LoadSelectedToPlayer()
{
    if (cGrid1->Rows() < 1) return;
    const QString path = cGrid1->CellText(cGrid1->SelectedRow(), kColFile).toString();
    if (path.isEmpty() || cPlayer1->IsPlaying() || !FileExists(path)) return;
    if (cPlayer1->OpenFile(path) != 0) return;
    if (lbTotalLengthSec) lbTotalLengthSec->setText(cPlayer1->FormatTime(platform::CLng(cPlayer1->Length())));
    if (lblCurrentPositionSec) lblCurrentPositionSec->setText("0:00:00");
}

void CfrmMain::SortGridByColumn(std::int32_t column)
{
    cGridSortObject& sort = cGrid1->SortObject();
    sort.Clear();
    int entry = sort.IndexOf(column);
    if (entry < 1) entry = sort.Count() + 1;
    sort.SetSortColumn(entry, column);
    sort.SetSortOrder(entry, cGrid::SortAscending);
    cGrid1->SetColumnSortOrder(column, sort.SortOrder(entry));
    sort.SetSortType(entry, cGrid1->ColumnSortType(column));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cGrid1->Sort();
    QApplication::restoreOverrideCursor();
}
