// Opening a node of the tree in the grid, and saving the open list.
#include "mainwindow/frmMain.h"

#include "burning/TrackTypeCode.h"
#include "controls/AudioConverter.h"
#include "controls/WindowWidgets.h"
#include "controls/ProgressBars.h"
#include "core/FileSystem.h"
#include "lists/ItemRows.h"
#include "lists/ItemsListFile.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"
#include "settings/mdlOptions.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace {

// Row `row` from a readable record of the list file, whose audio file the
// reader has just opened.
void WriteListRow(cGrid* grid, cAudioConverter& reader, int row, const QString& record, const QString& path)
{
    auto field = [&](const char* key) { return GetTagValue(key, record); };
    grid->CellDetails(row, kColInc, QVariant(), kIconCellFormat, field(kColInc).trimmed().toInt());
    grid->CellDetails(row, kColType, "", kIconCellFormat, GetTrackTypeCode(field(kColType)));
    grid->CellDetails(row, kColItemName, field(kColItemName));
    grid->CellDetails(row, kColFile, field(kColFile));
    WriteFileFacts(grid, row, path, reader);
    if (field(kColRangeAll) == "0") {
        const QString start = field(kColRangeStart), length = field(kColRangeLength);
        const double startSeconds = start.trimmed().toDouble();
        grid->CellDetails(row, kColRangeAll, "0");
        grid->CellDetails(row, kColRangeStart, start);
        grid->CellDetails(row, kColRangeLength, length);
        grid->CellDetails(row, kColRange,
                          RangeText(platform::CLng(startSeconds),
                                    platform::CLng(startSeconds + length.trimmed().toDouble())));
    } else {
        grid->CellDetails(row, kColRangeAll, "1");
        grid->CellDetails(row, kColRange, "All");
    }
    WriteTags(grid, row,
              g_bCopyID3FromSource ? TagsOfFile(reader, path)
                                   : ItemTags{field(kColTagAlbum), field(kColTagArtist), field(kColTagComment),
                                              field(kColTagGenre), field(kColTagYear), field(kColTagTitle),
                                              field(kColTagTrack)});
}

} // namespace

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

    m_sOpenListKey = node->Key();
    m_keptTexts.clear();
    const ListRecords records = SortListRecords(ReadListFile(m_sOpenListKey));
    prgStatus->SetMax(int(records.parts) - 1);
    int n = 0;
    // Damaged records, and items whose file is gone (an unplugged drive, say)
    // or no longer audio, are not shown but stay in the file, in their place.
    m_keptTexts = TakeRows(records, [&](const QString& record) {
        const QString path = GetTagValue(kColFile, record);
        if (path.isEmpty() || !FileExists(path) || cAudioConverter1->OpenSourceFile(path) != 0) return false;
        prgStatus->SetValue(++n);
        WriteListRow(cGrid1, *cAudioConverter1, n, record, path);
        cAudioConverter1->CloseSourceFile();
        return true;
    });
    ShowListLoaded();
}

void CfrmMain::ShowListLoaded()
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
    DisplayGridInfoStatusBar();
    prgStatus->SetVisible(false);
    unsetCursor();
}

void CfrmMain::SaveGridToFile()
{
    // Only the open list's file is ever written: a root or a CD drive names no file.
    if (!IsListKey(m_sOpenListKey)) return;
    if (!WriteListFile(m_sOpenListKey, ListTextOfGrid(cGrid1, m_keptTexts))) ReportListNotSaved();
}

void CfrmMain::CloseOpenList()
{
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
