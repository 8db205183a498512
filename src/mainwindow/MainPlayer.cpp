// The preview player of the main window: plays the selected row, shows its
// progress on the slider and the time labels, feeds the two level graphs,
// marks the playing row and list in bold, and goes on with the next marked
// row when a play has ended and continuous play is on.
#include "mainwindow/frmMain.h"

#include "controls/widgets/AudioGraph.h"
#include "controls/audio/Player.h"
#include "controls/widgets/Slider.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/FileSystem.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"
#include "settings/mdlOptions.h"

#include <QLabel>
#include <QTimer>

namespace {

constexpr int kPlayingIcon = 38;
constexpr int kReadyIcon = 47;

QTimer* PlayerTimer(int interval, QObject* parent)
{
    auto* timer = new QTimer(parent);
    timer->setInterval(interval);
    return timer;
}

} // namespace

void CfrmMain::ConnectPlayer()
{
    tmrPlayer = PlayerTimer(200, this);
    tmSlider = PlayerTimer(200, this);
    tmrAudioData = PlayerTimer(100, this);
    connect(tmrPlayer, &QTimer::timeout, this, &CfrmMain::tmrPlayer_Timer);
    connect(tmSlider, &QTimer::timeout, this, &CfrmMain::tmSlider_Timer);
    connect(tmrAudioData, &QTimer::timeout, this, &CfrmMain::tmrAudioData_Timer);
    connect(cPlayer1, &cPlayer::PlayFinished, this, &CfrmMain::cPlayer1_PlayFinished);
    connect(cSlider1, &cSlider::ScrollStart, this, &CfrmMain::cSlider1_ScrollStart);
    connect(cSlider1, &cSlider::ScrollEnd, this, &CfrmMain::cSlider1_ScrollEnd);
    connect(tlbrPlayButtons, &cToolbar::ButtonClick, this, &CfrmMain::tlbrPlayButtons_ButtonClick);
}

// ---- the player bar ----

void CfrmMain::tlbrPlayButtons_ButtonClick(int lButtonIndex)
{
    const QString key = tlbrPlayButtons->ButtonKey(lButtonIndex);
    if (key == "Play") {
        StartPlay();
    } else if (key == "Pause") {
        if (!cPlayer1->IsPlaying()) tlbrPlayButtons->SetButtonChecked("Pause", false);
        else if (tlbrPlayButtons->ButtonChecked("Pause")) cPlayer1->Pause();
        else cPlayer1->Resume();
    } else if (key == "Stop") {
        StopCommand();
    }
}

void CfrmMain::StopCommand()
{
    if (cPlayer1->IsPaused()) cPlayer1->Resume();
    if (cPlayer1->IsPlaying()) StopPlay();
}

// ---- playing ----

void CfrmMain::StartPlay()
{
    if (cGrid1->Rows() < 1) return;
    if (cPlayer1->IsPaused()) {
        cPlayer1->Resume();
        tlbrPlayButtons->SetButtonChecked("Pause", false);
        return;
    }
    // Another row while one plays: stop now, play the selected row 200 ms later.
    if (cPlayer1->IsPlaying() && !tmrPlayer->isActive()) {
        StopPlayer();
        tmrPlayer->start();
        return;
    }
    const QString path = cGrid1->CellText(cGrid1->SelectedRow(), kColFile).toString();
    if (!FileExists(path)) {
        platform::MsgBox(path + " is not existed.", platform::vbInformation);
        cTreeView1_NodeClick(cTreeView1->SelectedItem());
        return;
    }
    g_lDevices = OutputDevicePosition(*cPlayer1, g_sOutputDevice);
    const std::int32_t result = cPlayer1->PlayFile(path, g_lDevices);
    if (result != 0) {
        cPlayer1->ReportError(result);
        return;
    }
    m_bPlayStopped = false;
    SetStatusPanelText("Main", "Playing");
    cStatusBar1->SetPanelIcon("Main", kPlayingIcon);
    const std::int32_t length = platform::CLng(cPlayer1->Length());
    cSlider1->SetMax(length < 1 ? 1 : length);
    m_nodPlaying = cTreeView1->SelectedItem();
    if (m_nodPlaying) m_nodPlaying->SetBold(true);
    lbTotalLengthSec->setText(cPlayer1->FormatTime(length));
    tmSlider->start();
    tmrAudioData->start();
    SetRowBold(cGrid1->SelectedRow(), true);
}

void CfrmMain::StopPlay()
{
    tlbrPlayButtons->SetButtonEnabled("Play", true);
    tlbrPlayButtons->SetButtonChecked("Pause", false);
    if (!cPlayer1->IsPlaying()) return;
    tmrAudioData->stop();
    StopPlayer();
    cAudioGraphFreq->Clear();
    cAudioGraphAmp->Clear();
    if (m_nodPlaying) m_nodPlaying->SetBold(false);
    m_nodPlaying.clear();
    tmSlider->stop();
}

// The player raises PlayFinished after a stop as well; only a play that
// ended by itself moves on to the next row.
void CfrmMain::StopPlayer()
{
    m_bPlayStopped = true;
    cPlayer1->Stop();
}

void CfrmMain::tmrPlayer_Timer()
{
    tmrPlayer->stop();
    StartPlay();
}

void CfrmMain::cPlayer1_PlayFinished()
{
    tmrAudioData->stop();
    tmSlider->stop();
    cSlider1->SetValue(0);
    cAudioGraphFreq->Clear();
    cAudioGraphAmp->Clear();
    lblCurrentPositionSec->setText("0:00:00");
    StopCommand();
    SetStatusPanelText("Main", "Ready.");
    cStatusBar1->SetPanelIcon("Main", kReadyIcon);
    SetRowUnBold();
    cTreeView1->SetEnabled(true);
    if (!m_nodPlaying) return;
    m_nodPlaying->SetBold(false);
    if (g_bGoToNextItem && !tmrPlayer->isActive() && !m_bPlayStopped) PlayNextMarkedRow();
}

// The first marked row below the selected one; rows above it are never played again.
void CfrmMain::PlayNextMarkedRow()
{
    const int rows = cGrid1->Rows();
    for (int row = cGrid1->SelectedRow() + 1; row <= rows; ++row) {
        if (cGrid1->CellIconIndex(row, kColInc) != kIconMarked) continue;
        cGrid1->SetSelectedRow(row);
        StartPlay();
        GetFileInfoToGridInfo();
        return;
    }
}

// ---- position and graphs ----

void CfrmMain::tmSlider_Timer()
{
    cSlider1->SetValue(platform::CLng(cPlayer1->Position()));
    lblCurrentPositionSec->setText(cPlayer1->FormatTime(platform::CLng(cPlayer1->Position())));
}

void CfrmMain::tmrAudioData_Timer()
{
    if (!cPlayer1->IsPlaying()) return;
    for (cAudioGraph* graph : {cAudioGraphAmp, cAudioGraphFreq}) {
        graph->SetData(cPlayer1->AudioData());
        graph->Draw();
    }
}

void CfrmMain::cSlider1_ScrollStart()
{
    if (cPlayer1->IsPlaying()) tmSlider->stop();
}

void CfrmMain::cSlider1_ScrollEnd()
{
    if (!cPlayer1->IsPlaying()) return;
    cPlayer1->Seek(platform::CLng(cSlider1->Value()));
    tmSlider->start();
}
