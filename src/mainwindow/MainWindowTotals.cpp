// The open list's totals, its summary in the status bar, the info panel of
// the selected row, and opening a folder.
#include "mainwindow/frmMain.h"

#include "lists/TrackTypeCode.h"
#include "controls/cd/AudioCD.h"
#include "controls/audio/Player.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/FileSystem.h"
#include "core/Paths.h"
#include "core/TextFiles.h"
#include "core/TimeSizeText.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"

#include <QFileInfo>

#include <cmath>

namespace {

bool counts(cGrid* grid, const ItemColumnNumbers& c, int row, bool markedOnly)
{
    return !markedOnly || grid->CellIconIndex(row, c.inc) == kIconMarked;
}

struct SoundFacts {
    std::int32_t sampleRate, bitrate, channels;
};

// What the info panel says of a row's sound. The player cannot open the track
// of a CD, whose sound is always CD audio.
SoundFacts SoundFactsOfRow(cGrid* grid, int row, cPlayer& player)
{
    const QString path = grid->CellText(row, kColFile).toString();
    const bool opened = player.OpenFile(path) == 0;
    const bool cdAudioTrack = GetExtension(path).compare("cda", Qt::CaseInsensitive) == 0 &&
                              grid->CellIconIndex(row, kColType) == GetTrackTypeCode("Audio");
    if (!opened && cdAudioTrack) return {kCDSampleRate, kCDBitrateKbps, kCDChannels};
    return {player.SampleRate(), player.Bitrate(), player.Channels()};
}

} // namespace

ListTotals CfrmMain::TotalsOfGrid(bool bMarkedOnly)
{
    const ItemColumnNumbers c(cGrid1);
    ListTotals totals;
    for (int row = 1; row <= cGrid1->Rows(); ++row)
        if (counts(cGrid1, c, row, bMarkedOnly)) totals.AddRow(cGrid1, c, row);
    return totals;
}

QString CfrmMain::GetTotalTime(bool bMarkedOnly)
{
    return QString::number(std::int64_t(TotalsOfGrid(bMarkedOnly).seconds));
}

QString CfrmMain::GetTotalSize(bool bMarkedOnly) { return FormatBytesShort(TotalsOfGrid(bMarkedOnly).bytes); }

void CfrmMain::DisplayGridInfoStatusBar() { ShowListSummary(cGrid1->Rows() > 0 ? TotalsOfGrid(false) : ListTotals{}); }

void CfrmMain::ShowListSummary(const ListTotals& totals)
{
    const int rows = cGrid1->Rows();
    if (rows == 0) {
        SetStatusPanelText("Items List Properties", "0 Items, 0 KB, 00:00:00");
        return;
    }
    SetStatusPanelText("Items List Properties", QString::number(rows) + " Items, " + FormatBytesShort(totals.bytes) +
                                                    ", " + TwoDigitTime(std::int64_t(totals.seconds)));
}

void CfrmMain::GetFileInfoToGridInfo()
{
    cGridInfo->Clear();
    if (cGrid1->Rows() == 0) return;
    cGridInfo->SetRedraw(false);
    const int row = cGrid1->SelectedRow();
    const QString path = cGrid1->CellText(row, kColFile).toString();
    const SoundFacts sound = SoundFactsOfRow(cGrid1, row, *cPlayer1);
    const std::pair<QString, QVariant> facts[] = {
        {"File Name", cGrid1->CellText(row, kColItemName)},
        {"Total Time", cGrid1->CellText(row, kColTime)},
        {"File Size", cGrid1->CellText(row, kColSize)},
        {"Created", cGrid1->CellText(row, kColCreated)},
        {"Format", GetExtension(path).toUpper()},
        {"Samples", sound.sampleRate},
        {"Bitrate", sound.bitrate},
        {"Channels", sound.channels == 1 ? "MONO" : "STEREO"},
        {"Item", row},
    };
    int n = 0;
    for (const auto& [name, value] : facts) {
        ++n;
        cGridInfo->CellDetails(n, 1, name);
        cGridInfo->CellDetails(n, 2, value);
    }
    cGridInfo->SetRedraw(true);
    // The player's length follows the row shown (the playing file's stays while it plays).
    LoadSelectedToPlayer();
    unsetCursor();
}

void CfrmMain::cGridInfo_DblClick(int row, int col) { cGrid1_DblClick(cGrid1->SelectedRow(), cGrid1->SelectedCol()); }

void CfrmMain::OpenDestFolder(QString sDir)
{
    if (!sDir.endsWith('/')) sDir += '/';
    if (!QFileInfo(sDir).isDir()) {
        const QString question = "The folder " + sDir + " does not exist." + QString(44, ' ') + kCrLf + kCrLf +
                                 "Would you like to create it?";
        if (platform::MsgBox(question, platform::vbYesNo | platform::vbInformation) != platform::vbYes) return;
        if (CreateFolderPath(sDir) != 0)
            platform::MsgBox("The path: " + sDir + " cannot be created.", platform::vbOKOnly);
    }
    OpenDocument(this, sDir);
}
