// The command dispatcher: every menu item, toolbar button, status panel and
// tray item ends here with its key. A branch that ends early (a refusal) skips
// the refresh of the information grid that follows every other command.
#include "mainwindow/frmMain.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/Paths.h"
#include "core/WindowProcedures.h"
#include "core/frmAbout.h"
#include "core/frmFileCopy.h"
#include "core/frmNotes.h"
#include "core/mdlCommDialog.h"
#include "controls/audio/Player.h"
#include "lists/ItemRows.h"
#include "lists/ListFolders.h"
#include "platform/AppInfo.h"
#include "platform/FileIdentity.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "mainwindow/AudioAnalyserCommand.h"
#include "recording/frmMicRecorder.h"
#include "recording/frmWaveTTS.h"
#include "ripping/frmFreeDB.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "tags/frmMP3TagsEditor.h"

#include <QLabel>
#include <QTimer>

namespace {

// The program's help page beside the program.
constexpr const char* kHelpFile = "/Help.html";

const QStringList kToolKeys = {"Audio Converter", "ACM Converter",  "Audio Joiner",
                               "Audio Splitter",  "Audio CD Ripper", "Audio CD Maker",
                               "MP3 CD Maker",    "WMA CD Maker",    "Audio CD Duplicator"};

const QStringList kListKeys = {"Add Files",      "New Items List",  "Rename Items List", "Remove Items List",
                               "Items List Properties", "Open Destination Folder", "Save As", "Rename Item",
                               "MarkUnmark All", "Remove Item",     "Clear the List",    "Move Up",
                               "Move Down",      "Move To First",   "Move To Last",      "FreeDB"};

const QStringList kOptionsPages = {"General", "Events", "View", "ID3 Tags", "Advanced"};

void Refuse(const QString& text, int blanks) { platform::MsgBox(text + QString(blanks, ' '), platform::vbInformation); }

} // namespace

void CfrmMain::m_cMenu_Click(int ItemNumber)
{
    if (cPlayer1 && cPlayer1->IsPlaying()) StopPlayer();
    if (ItemNumber == 0 || WaitForListLoad(ItemNumber)) return;
    const QString key = m_cMenu->ItemKey(ItemNumber);
    emit CommandDispatched(key);
    if (!RunCommand(key, ItemNumber)) return;
    GetFileInfoToGridInfo();
}

void CfrmMain::RunKey(const QString& key) { m_cMenu_Click(m_cMenu->IndexForKey(key)); }

bool CfrmMain::RunCommand(const QString& key, int ItemNumber)
{
    if (kToolKeys.contains(key)) return LaunchTool(key);
    // The File menu's Remove removes the selected items, as the items menu's does.
    if (key == "Remove") return RunListCommand("Remove Item");
    if (kListKeys.contains(key)) return RunListCommand(key);
    return RunWindowCommand(key, ItemNumber);
}

bool CfrmMain::SelectedNodeIs(bool (*test)(const QString&)) const
{
    cTreeNode* node = cTreeView1 ? cTreeView1->SelectedItem() : nullptr;
    return !node || test(node->Key());
}

bool CfrmMain::GridIsEmpty() const { return !cGrid1 || cGrid1->Rows() == 0; }

bool CfrmMain::IsOnTop() const { return windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

// ---- list and item commands ----

bool CfrmMain::RunListCommand(const QString& key)
{
    if (key == "Add Files") return AddFilesCommand();
    if (key == "New Items List") return NewItemsListCommand();
    if (key == "Rename Items List") {
        if (SelectedNodeIs(IsMainNode) || cTreeView1->SelectedItem()->Text() == "Items Lists") return false;
        RunKey("Items List Properties");
        return true;
    }
    if (key == "Items List Properties") {
        if (SelectedNodeIs(IsMainNode)) return false;
        ShowItemsListProperties(cTreeView1->SelectedItem());
        return true;
    }
    if (key == "Remove Items List") {
        if (SelectedNodeIs(IsMainNode) || SelectedNodeIs(IsCDNode)) return false;
        RemoveItemsList();
        return true;
    }
    if (key == "Open Destination Folder") {
        cTreeNode* node = cTreeView1 ? cTreeView1->SelectedItem() : nullptr;
        OpenDestFolder(FolderOfNode(node ? node->Key() : QString()));
        return true;
    }
    if (key == "Save As") return SaveAsCommand();
    if (key == "Rename Item") {
        if (GridIsEmpty()) return false;
        SetOnTop(false);
        cGrid1_DblClick(cGrid1->SelectedRow(), cGrid1->SelectedCol());
        return true;
    }
    if (key == "MarkUnmark All") {
        SetAllMarked(!IsAnyMarked());
        return true;
    }
    if (key == "Remove Item" || key == "Clear the List") return RemoveCommand(key == "Clear the List");
    if (key == "FreeDB") return FreeDBCommand();
    return MoveCommand(key);
}

bool CfrmMain::AddFilesCommand()
{
    if (SelectedNodeIs(IsCDNode)) {
        Refuse("Adding new items to the Audio CD List is not possible.", 20);
        return false;
    }
    if (SelectedNodeIs(IsMainNode)) return false;
    AddFiles();
    activateWindow();
    setFocus();
    return true;
}

bool CfrmMain::NewItemsListCommand()
{
    if (SelectedNodeIs(IsMainNode) || SelectedNodeIs(IsCDNode)) return false;
    NewItemsList();
    return true;
}

bool CfrmMain::RemoveCommand(bool all)
{
    if (SelectedNodeIs(IsCDNode)) {
        Refuse("Cannot remove items from Audio CD.", 20);
        return false;
    }
    // Clearing also reaches the records kept out of sight while their files are gone.
    if (all ? OpenListHoldsNothing() : GridIsEmpty()) return false;
    m_sRemoveMode = all ? "All" : "Item";
    tmrRemove->start();
    return true;
}

bool CfrmMain::SaveAsCommand()
{
    if (SelectedNodeIs(IsCDNode)) {
        Refuse("Nothing to save.", 20);
        return false;
    }
    if (GridIsEmpty()) return false;
    // The copy's source is the row's own file, and the type offered is that file's.
    const int row = cGrid1->SelectedRow();
    const QString source = cGrid1->CellText(row, kColFile).toString();
    const QString ext = GetExtension(GetFileName(source));
    g_OFN.lpstrFilter = "Audio Files (*." + ext + ")" + QChar(0) + "*." + ext + QChar(0);
    g_OFN.lpstrTitle = "Save As";
    g_OFN.lpstrDefExt = ext;
    QString name = cGrid1->CellText(row, kColItemName).toString();
    const FileDialogResult result = ShowSave(this, name, true);
    if (result.bCancelled) return true;
    const QString destination = result.asFiles.value(1);
    if (destination == source || platform::IsSameFile(source, destination)) {
        platform::MsgBox("The item cannot be saved over its own file:\r\n" + source + "\r\n\r\nChoose another name.",
                         platform::vbInformation);
        return false;
    }
    CfrmFileCopy* copy = g_frmFileCopy.get();
    copy->g_sSourceFile = source;
    copy->g_sDestFile = destination;
    copy->lblFrom->setText(copy->g_sSourceFile);
    copy->lblTo->setText(copy->g_sDestFile);
    copy->tmrStart->start();
    copy->ShowModal();
    return true;
}

bool CfrmMain::MoveCommand(const QString& key)
{
    if (GridIsEmpty()) return false;
    const int s = cGrid1->SelectedRow();
    const int n = cGrid1->Rows();
    if (key == "Move Up" && s > 1) ReplaceRow(-1);
    else if (key == "Move Down" && s < n) ReplaceRow(1);
    else if (key == "Move To First" && n > 1) ReplaceRow(1 - s);
    else if (key == "Move To Last" && n > 1 && s < n) ReplaceRow(n - s);
    SaveGridToFile();
    return true;
}

bool CfrmMain::FreeDBCommand()
{
    SetOnTop(false);
    if (GridIsEmpty()) return false;
    if (!SelectedNodeIs(IsCDNode)) {
        Refuse("Select the CD drive to get the information about.", 18);
        return false;
    }
    setCursor(Qt::WaitCursor);
    CfrmFreeDB* lookup = g_frmFreeDB.get();
    if (lookup->GetFreeDB()) lookup->ShowModal();
    unsetCursor();
    return true;
}

// ---- tool, window, options and help commands ----

bool CfrmMain::RunWindowCommand(const QString& key, int ItemNumber)
{
    if (key == "Audio Recorder") {
        ShowMicRecorder(this);
        return true;
    }
    if (key == "Notes" || key == "About") {
        SetOnTop(false);
        if (key == "Notes") g_frmNotes->Show();
        else frmAbout->ShowModal();
    } else if (key == "MP3 Tags Editor") {
        // Loaded once and shown beside the main window; open already, it comes forward as it is.
        SetOnTop(false);
        setCursor(Qt::WaitCursor);
        CfrmMP3TagsEditor* editor = g_frmMP3TagsEditor.get();
        unsetCursor();
        editor->Show();
        editor->raise();
        editor->activateWindow();
    } else if (key == "Transparent") {
        const bool on = !m_cMenu->Checked(ItemNumber);
        SetTransparent(on);
        m_cMenu->SetChecked(ItemNumber, on);
    } else if (key == "On Top") {
        const bool on = !m_cMenu->Checked(ItemNumber);
        m_cMenu->SetChecked(m_cMenu->IndexForKey("On Top"), on);
        SetOnTop(on);
    } else if (key == "Minimize") {
        showMinimized();
    } else if (key == "GoSysTray") {
        GoToTray();
        return false;
    } else if (key == "Exit" || key == "RC Exit") {
        return ExitCommand();
    } else if (key == "RC Open") {
        cSysTray1_TrayClick(1);
    } else if (kOptionsPages.contains(key)) {
        ShowOptionsPage(key);
    } else if (key == "Master Volume") {
        SetOnTop(false);
        if (!StartMixer())
            platform::MsgBox("No volume control could be started.\r\n\r\n"
                             "Install pavucontrol, or alsamixer (alsa-utils) and a terminal.",
                             platform::vbExclamation);
    } else if (key == "HelpTopic") {
        OpenDocument(this, platform::AppPath() + kHelpFile);
    } else if (key == "Support") {
        OpenDocument(this, g_sAppSupportPage);
    } else if (key == "Text To Speech") {
        RunTextToSpeech(this);
    } else if (key == "Audio Analyser") {
        if (!OpenAudioAnalyser(*this)) return false;
    } else if (key == "Open Default Player") {
        SetOnTop(false);
        const QString file = cGrid1 ? cGrid1->CellText(cGrid1->SelectedRow(), kColFile).toString() : QString();
        if (!file.isEmpty()) OpenDocument(this, file);
    }
    // "Add Directories", "Burn From List", "Burn From Files" and "Live Update"
    // have no action: all of them only refresh.
    return true;
}

bool CfrmMain::StartMixer()
{
    // The desktop's mixer, else the console mixer in a terminal.
    platform::ShellService& shell = platform::Shell();
    if (!shell.FindProgram("pavucontrol").isEmpty())
        return shell.StartProcess("pavucontrol", {}, platform::AppPath());
    if (shell.FindProgram("alsamixer").isEmpty()) return false;
    for (const char* terminal : {"x-terminal-emulator", "xterm"})
        if (!shell.FindProgram(terminal).isEmpty())
            return shell.StartProcess(terminal, {"-e", "alsamixer"}, platform::AppPath());
    return false;
}

bool CfrmMain::ExitCommand()
{
    // Once unloaded, nothing more runs here.
    return !Unload();
}

void CfrmMain::ShowOptionsPage(const QString& key)
{
    SetOnTop(false);
    ::ShowOptionsPage(key);
}

void CfrmMain::SetOnTop(bool bVal)
{
    SetFormOnTop(this, bVal);
    m_cMenu->SetChecked(m_cMenu->IndexForKey("On Top"), bVal);
}

void CfrmMain::SetTransparent(bool bVal)
{
    if (bVal) SetTransparency(this, 90);
    else RemoveTransparency(this);
    m_cMenu->SetChecked(m_cMenu->IndexForKey("Transparent"), bVal);
}
