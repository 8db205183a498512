// The main window's life: load, the saved size, the command-line switches,
// the exit, the tray state and the status panels.
#include "mainwindow/frmMain.h"

#include "controls/cd/AudioCD.h"
#include "controls/audio/AudioConverter.h"
#include "controls/widgets/AudioGraph.h"
#include "controls/audio/Player.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/ProgramEnd.h"
#include "core/Skin.h"
#include "core/TextFiles.h"
#include "core/WindowProcedures.h"
#include "core/frmNotes.h"
#include "core/mdlMain.h"
#include "platform/AppInfo.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"
#include "settings/mdlOptions.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

DefaultInstance<CfrmMain> frmMain;

namespace {

constexpr int kDefaultWidth = 13140;
constexpr int kDefaultHeight = 7440;
constexpr int kReplacementWidth = 13740;
constexpr int kReplacementHeight = 7440;

// A stored size: its text as a whole number of twips; 0 when it is not a number.
int StoredTwips(const QVariant& value)
{
    bool ok = false;
    const double number = value.toString().toDouble(&ok);
    return ok ? platform::CLng(number) : 0;
}

} // namespace

CfrmMain::CfrmMain() : Form("frmMain")
{
    MakeStandalone();
    SetMainWindow(this);
    resize(platform::TwipsToPixels(kDefaultWidth), platform::TwipsToPixels(kDefaultHeight));
    CreateWindowControls();
    CreateListControls();
    ConnectWindowControls();
}

void CfrmMain::Form_Load()
{
    g_bExitApp = false;
    m_reg.hkey = platform::reg::HKEY_LOCAL_MACHINE;
    m_reg.KeyRoot = "SOFTWARE\\" + g_sAppCompany + "\\" + g_sAppName;

    SetTitleBackColor(g_lColor);
    SetTitleTextColor(g_lTextColor);
    if (prgStatus) prgStatus->SetColor(g_lColor);

    cSysTray1->AddIcon();
    cSysTray1->SetToolTip(g_sAppName + " " + g_sAppVersion);
    cSysTray1->SetIconFile(platform::AppPath() + "/SysIcon/systrayicon.ico");

    SetFormIcon32(this, "AAA", true);

    BuildStatusBar();
    BuildMenus();
    SetAppView();
    BuildToolsToolbar();
    BuildMainToolbars();

    setWindowTitle(g_sAppName + " " + g_sAppVersion);
    lblTitle->setText(g_sAppName + " " + g_sAppVersion);

    // The grids, the tree and the first list.
    InitItemsLists();

    m_reg.Subkey = "General";
    RestoreWindowSize();

    // The switches act once the window is up, from the event loop.
    QTimer::singleShot(0, this, [this] {
        if (IsLoaded()) ApplyCommandLineSwitches(platform::Command());
    });
}

void CfrmMain::RestoreWindowSize()
{
    const int w = StoredTwips(m_reg.GetRegistryValue("lWidth", kDefaultWidth));
    const int h = StoredTwips(m_reg.GetRegistryValue("lHeight", kDefaultHeight));
    resize(platform::TwipsToPixels(w < 3000 ? kReplacementWidth : w),
           platform::TwipsToPixels(h < 1000 ? kReplacementHeight : h));
    // A hidden window gets its resize event only when shown: lay it out now.
    Form_Resize();
}

void CfrmMain::ApplyCommandLineSwitches(const QString& text)
{
    const QString s = text.toLower();
    if (s == "-addfiles")
        RunKey("Add Files");
    else if (s == "-addaudiocd")
        // Once the first list has opened: a click on a node waits for that.
        RunAfterListLoad([this] { OpenFirstAudioCD(); });
}

void CfrmMain::RunCommandLineOfLaterStart(const QString& text)
{
    if (!IsLoaded()) return;
    if (m_bInTray || isMinimized() || !isVisible()) RestoreFromTray();
    raise();
    activateWindow();
    if (text == "-st") m_cMenu_Click(m_cMenu->IndexForKey("GoSysTray"));
    else ApplyCommandLineSwitches(text);
}

void CfrmMain::Form_Unload(int& Cancel)
{
    g_bExitApp = true;
    if (g_bDisplayMSGWhenExit) {
        const QString question = "Are you sure you want to exit '" + g_sAppName + " " + g_sAppVersion + "' ?";
        if (platform::MsgBox(question, platform::vbYesNo | platform::vbInformation) == platform::vbNo) {
            Cancel = 1;
            g_bExitApp = false;
            return;
        }
    }
    SetOnTop(false);
    StopCommand();
    // A list that has not opened whole is left as its file stands.
    const bool listCut = StopListLoad();
    cTreeNode* node = cTreeView1 ? cTreeView1->SelectedItem() : nullptr;
    if (g_bClearOnExit && !listCut && !(node && IsCDNode(node->Key()))) DoClearTheList();
    for (Form* f : Form::Forms())
        if (f != this) f->Unload();
    KillFile(platform::AppPath() + "/tmpeditor.wav");
    KillFile(platform::AppPath() + "/tmptts.wav");
    TerminateControls();
    m_reg.Subkey = "General";
    SaveWindowSize();
    cSysTray1->RemoveIcon();
    EndProgram();
}

void CfrmMain::TerminateControls()
{
    if (cPlayer1) cPlayer1->Terminate();
    for (cAudioGraph* graph : {cAudioGraphAmp, cAudioGraphFreq})
        if (graph) graph->Terminate();
    if (cAudioConverter1) cAudioConverter1->Terminate();
    if (cFreeDB1) cFreeDB1->Terminate();
    if (cAudioCDRipper1) cAudioCDRipper1->Terminate();
}

void CfrmMain::SaveWindowSize()
{
    m_reg.SetRegistryValue("lHeight", QString::number(platform::PixelsToTwips(height())), platform::reg::REG_SZ);
    m_reg.SetRegistryValue("lWidth", QString::number(platform::PixelsToTwips(width())), platform::reg::REG_SZ);
}

void CfrmMain::Form_Terminate()
{
    // Unloaded: the other windows find no main window from here on.
    if (MainWindow() == this) SetMainWindow(nullptr);
    SetNoCrashDialog();
}

void CfrmMain::tmrUnload_Timer()
{
    tmrUnload->stop();
    g_bDisplayMSGWhenExit = false;
    Unload();
}

// ---- tray ----

void CfrmMain::cSysTray1_TrayClick(int code)
{
    if (code == 1) {
        if (isMinimized()) {
            if (m_bInTray) RestoreFromTray();
            else GoToTray();
        } else if (!isMaximized()) {
            GoToTray();
        }
    } else if (code == 2) {
        if (isVisible()) activateWindow();
        std::int32_t x = 0, y = 0;
        GetMousePosition(x, y);
        m_cMenu->ShowPopupAtCursor(x, y, m_cMenu->IndexForKey("RC Open"), -1);
    }
}

void CfrmMain::GoToTray()
{
    m_bInTray = true;
    SetTrayCaption("Show");
    showMinimized();
    // Without a tray to come back from, the window stays minimised on the task bar.
    if (cSysTray::IsAvailable()) hide();
}

void CfrmMain::RestoreFromTray()
{
    m_bInTray = false;
    SetTrayCaption("Hide");
    showNormal();
    activateWindow();
}

void CfrmMain::SetTrayCaption(const QString& caption)
{
    if (m_cMenu) m_cMenu->SetCaption(m_cMenu->IndexForKey("RC Open"), caption);
}

void CfrmMain::changeEvent(QEvent* event)
{
    Form::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    // Restored from the task bar while marked as in the tray: the mark goes.
    if (m_bInTray && !isMinimized() && isVisible()) {
        m_bInTray = false;
        SetTrayCaption("Hide");
    }
    Form_Resize();
}

// ---- what the options dialog changes ----

void CfrmMain::ListsFolderChanged()
{
    // Nothing of the old folder stays open: the grid shows, and saves go to,
    // a list of the new folder, made there when it holds none.
    CloseOpenList();
    setTree();
    OpenFirstList();
}

void CfrmMain::ApplyViewOptions()
{
    if (cGrid1) {
        cGrid1->SetGridLines(g_bDisplayGridLine);
        cGrid1->SetHotTrack(g_bDisplayGridHotTrack);
    }
    Form_Resize();
}

void CfrmMain::SetTitleBackColor(std::int32_t color)
{
    SetBackColor(picTitle, ColorFromNumber(color));
    for (cAudioGraph* graph : {cAudioGraphAmp, cAudioGraphFreq}) graph->SetBackgroundColor(color);
}

void CfrmMain::SetTitleTextColor(std::int32_t color)
{
    SetForeColor(lblTitle, ColorFromNumber(color));
    cAudioGraphAmp->SetAmpColor(color);
    cAudioGraphFreq->SetFreqColor(color);
}

// ---- notes digest and status panels ----

QString CfrmMain::GetNotesToStatus()
{
    if (FileExists(NotesFile())) {
        QString text = ReadTextFile(NotesFile());
        if (!text.isEmpty() && text != kCrLf) {
            text.replace(kCrLf, " ");
            if (text.size() < 37) return "Notes [ " + text + " ]";
            return "Notes [ " + text.left(35) + "..." + " ]";
        }
    }
    return "Notes [ Empty ]";
}

void CfrmMain::SetStatusPanelText(const QString& key, const QString& text) { cStatusBar1->SetPanelText(key, text); }

QString CfrmMain::StatusPanelText(const QString& key) const { return cStatusBar1->PanelText(key); }
