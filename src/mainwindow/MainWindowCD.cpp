// Audio CDs in the main window: one tree node per CD drive, the tracks of the
// disc in a drive as rows of the grid, the poll of the drives while a CD is
// on show, and the messages of the CD ripper control.
#include "mainwindow/frmMain.h"

#include "lists/TrackTypeCode.h"
#include "controls/cd/AudioCD.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/FileSystem.h"
#include "core/TextFiles.h"
#include "core/TimeSizeText.h"
#include "lists/ItemRows.h"
#include "platform/Clock.h"
#include "platform/DateValue.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"
#include "settings/mdlOptions.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace {

constexpr char kInsertAudioCD[] = "Insert an Audio CD to the CD drive.";
// Bytes of one second of CD audio: 1,411,200 bits.
constexpr double kBytesPerSecond = 1411200.0 / 8;

// "Track01.cda", "Track12.cda", "Track100.cda".
QString TrackName(std::int32_t track) { return QString("Track%1.cda").arg(track, 2, 10, QChar('0')); }

} // namespace

void CfrmMain::CreateCDControls()
{
    cAudioCDRipper1 = CreateAudioCDRipper().release();
    cAudioCDRipper1->setParent(this);
    connect(cAudioCDRipper1, &cAudioCDRipper::Error, this, &CfrmMain::cAudioCDRipper1_Error);
    cFreeDB1 = CreateFreeDB().release();
    cFreeDB1->setParent(this);
    connect(tmrCDs, &QTimer::timeout, this, &CfrmMain::tmrCDs_Timer);
}

void CfrmMain::AddCDDriveNodes()
{
    const std::int32_t count = cAudioCDRipper1->GetDriveCount();
    for (std::int32_t i = 0; i < count; ++i) {
        const QString name = cAudioCDRipper1->GetDriveName(i);
        if (name.isEmpty()) break;
        g_nodMainCDs->Child()->Add(g_nodMainCDs, 4, "##CD" + name, name.left(2), 25, 25);
    }
}

std::int32_t CfrmMain::GetCDDriveIndex()
{
    cTreeNode* node = cTreeView1->SelectedItem();
    const QString drive = node ? GetCDNameNode(node->Key()) : QString();
    std::int32_t index = 0;
    const std::int32_t count = cAudioCDRipper1->GetDriveCount();
    for (std::int32_t i = 0; i < count; ++i)
        if (cAudioCDRipper1->GetDriveName(i).left(2) == drive) index = i;
    return index;
}

void CfrmMain::LoadCDTracks(const QString& sDrive)
{
    setCursor(Qt::WaitCursor);
    const std::int32_t idx = GetCDDriveIndex();
    cGrid1->Clear();
    cGrid1->SetRedraw(false);
    if (!ReadCDTracks(sDrive, idx)) {
        // The load stops here; rows read so far stay behind the notice.
        unsetCursor();
        prgStatus->SetVisible(false);
        cGrid1->SetRedraw(true);
        ShowInsertCDNotice();
        DisplayGridInfoStatusBar();
        ReportCDDriveError(sDrive);
        return;
    }
    const bool loaded = cGrid1->Rows() > 0;
    if (loaded) {
        picEmptyMsg->hide();
        cGrid1->SetRedraw(true);
        cGrid1->SetSelectedRow(g_bSelectTheLastItem ? cGrid1->Rows() : 1);
        SetStatusPanelText("Main", "Ready.");
    } else {
        ShowInsertCDNotice();
    }
    DisplayGridInfoStatusBar();
    prgStatus->SetVisible(false);
    unsetCursor();
    // The automatic CD database lookup of the CD on show, once it is listed.
    if (loaded && g_bAutoFreeDB) RunKey("FreeDB");
}

bool CfrmMain::ReadCDTracks(const QString& sDrive, std::int32_t idx)
{
    cAudioCDRipper& cd = *cAudioCDRipper1;
    if (!cd.SelectDrive(idx)) return false;
    if (!cd.IsAudioCD()) {
        // No disc, or a disc the drive cannot read: a failure. A data CD: no rows.
        return cd.LastError() == 0;
    }
    const std::int32_t tracks = cd.GetTrackCount();
    if (cd.LastError() != 0) return false;
    prgStatus->SetVisible(true);
    prgStatus->SetMax(tracks);
    for (std::int32_t n = 1; n <= tracks; ++n) {
        prgStatus->SetValue(n);
        if (!WriteTrackRow(n, sDrive)) return false;
    }
    cGrid1->SetRedraw(true);
    return true;
}

bool CfrmMain::WriteTrackRow(std::int32_t track, const QString& sDrive)
{
    cAudioCDRipper& cd = *cAudioCDRipper1;
    const std::int32_t type = cd.GetTrackType(track);
    if (cd.LastError() != 0) return false;
    const std::int32_t seconds = cd.GetTrackLength(track);
    if (cd.LastError() != 0) return false;
    const bool audio = type == kTrackTypeAudio;
    const double bytes = seconds * kBytesPerSecond;
    const QString file = sDrive + "/" + TrackName(track);
    QDateTime created = GetFileCreatedDate(file);
    if (created == platform::kZeroDate) created = platform::Now();

    cGrid* g = cGrid1;
    g->CellDetails(track, kColInc, QVariant(), kIconCellFormat, audio ? kIconMarked : kIconUnmarked);
    g->CellDetails(track, kColType, "", kIconCellFormat, GetTrackTypeCode(audio ? "Audio" : "Data"));
    g->CellDetails(track, kColItemName, TrackName(track));
    g->CellDetails(track, kColTime, TwoDigitTime(seconds));
    g->CellDetails(track, kColSize, FormatFileSize(bytes));
    g->CellDetails(track, kColFile, file);
    g->CellDetails(track, kColCreated, created);
    g->CellDetails(track, kColRange, "All");
    g->CellDetails(track, kColRangeAll, "1");
    g->CellDetails(track, kColBytesSize, bytes);
    WriteTags(g, track, DefaultTags());
    return true;
}

void CfrmMain::ShowInsertCDNotice()
{
    picEmptyMsg->show();
    lblAddorDrag->setText(kInsertAudioCD);
}

void CfrmMain::ReportCDDriveError(const QString& sDrive)
{
    const std::int32_t code = cAudioCDRipper1->LastError();
    if (code == kRipErrNoDisc) {
        platform::MsgBox("There is no CD in the drive.", platform::vbInformation);
        return;
    }
    QString message = "The CD drive " + sDrive + " cannot be read.";
    if (code != 0) message += QString(kCrLf) + kCrLf + cAudioCDRipper1->LastErrorText() + " (" + QString::number(code) + ")";
    platform::MsgBox(message, platform::vbExclamation);
}

void CfrmMain::tmrCDs_Timer()
{
    if (!g_nodMainCDs) return;
    cTreeNodes* drives = g_nodMainCDs->Child();
    for (int i = 1; i <= drives->Count(); ++i) {
        // A drive that fails now is looked at again at the next poll.
        if (!cAudioCDRipper1->SelectDrive(i - 1)) continue;
        const bool hasTracks = cAudioCDRipper1->GetTrackCount() >= 1;
        const QString name = cAudioCDRipper1->GetDriveName(i - 1);
        cTreeNode* selected = cTreeView1->SelectedItem();
        const bool onShow = selected && selected->Key() == "##CD" + name;
        cTreeNode* node = drives->Item(i);
        if (hasTracks) {
            if (onShow && cGrid1->Rows() == 0) cTreeView1_NodeClick(node);
        } else {
            if (onShow && cGrid1->Rows() > 0) cTreeView1_NodeClick(node);
            // A CD title the lookup wrote goes with the disc.
            node->SetText(name.left(2));
        }
    }
}

bool CfrmMain::OpenFirstAudioCD()
{
    if (!g_nodMainCDs) return false;
    cTreeNodes* drives = g_nodMainCDs->Child();
    for (int i = 1; i <= drives->Count(); ++i) {
        if (!cAudioCDRipper1->SelectDrive(i - 1) || cAudioCDRipper1->GetTrackCount() < 1) continue;
        cTreeView1_NodeClick(drives->Item(i));
        return true;
    }
    return false;
}

void CfrmMain::cAudioCDRipper1_Error(std::int32_t lErrorCode, const QString& sErrorText)
{
    platform::MsgBox(sErrorText + " (" + QString::number(lErrorCode) + ")", platform::vbOKOnly);
}
