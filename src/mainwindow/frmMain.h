#pragma once
#include "core/Form.h"
#include "core/MainWindowServices.h"
#include "core/RegistryRoutines.h"
#include "lists/ItemsListFile.h"
#include "mainwindow/MainLayout.h"

#include <QMap>
#include <QPointer>

#include <functional>

class cFormMenu;
class cSysTray;
class QFrame;
class QLabel;
// Window life, menus, toolbars, layout
class cAudioGraph;
class cReBar;
class cSlider;
class cStatusBar;
class cToolbar;
class cToolbarHost;
// Items lists
class ListLoad;
struct ListTotals;
class XP_ProgressBar;
class cAudioCDRipper;
class cFreeDB;
class cAudioConverter;
class cGrid;
class cImageList;
class cPlayer;
class cTreeNode;
class cTreeView;
class QTimer;

// The main window: items lists, tools and the command dispatcher.
class CfrmMain : public Form, public MainWindowServices {
    Q_OBJECT
public:
    CfrmMain();

    QWidget* Widget() override { return this; }
    bool Unload() override { return Form::Unload(); }

    // The command dispatcher: every menu item, button, panel and tray item ends here.
    void m_cMenu_Click(int ItemNumber) override;
    void cSysTray1_TrayClick(int code);

    bool IsInTray() const { return m_bInTray; }
    // The command line of a later start on the same settings: the window
    // comes to the front (out of the tray too) and runs it.
    void RunCommandLineOfLaterStart(const QString& text);

    // The title strip across the top.
    QFrame* picTitle = nullptr;
    QLabel* lblTitle = nullptr;

    // What the options dialog changes on the main window.
    void ListsFolderChanged() override;
    void ApplyViewOptions() override;
    void SetTitleBackColor(std::int32_t color) override;
    void SetTitleTextColor(std::int32_t color) override;
    // Lays the window out again from the view settings.
    void Form_Resize() override;

    // ---- Notes digest and status panels ----
    // "Notes [ <the notes on one line, cut to 35 characters> ]", or "Notes [ Empty ]".
    QString GetNotesToStatus() override;
    // The status bar's panel texts by key ("Main", "Items List Properties", "Notes", ...).
    void SetStatusPanelText(const QString& key, const QString& text) override;
    QString StatusPanelText(const QString& key) const override;
    // ---- end of notes digest and status panels ----

    // ==== Window life, menus, dispatcher, toolbars, status bar, tray, layout ====
    // The panes around the lists (the layout places them; sizes in twips).
    QFrame* picTitleProject = nullptr;     // caption bar over the tree
    QLabel* lblProjects = nullptr;         // "Items Lists"
    QFrame* froTreeControl = nullptr;      // under the tree: the lists toolbar
    QFrame* picResizer = nullptr;          // the splitter bar between tree and grid
    QFrame* picTitleList = nullptr;        // caption bar over the grid, holding lblListName
    QFrame* picList = nullptr;             // under the grid: the rebar with the items toolbar
    QFrame* froControl = nullptr;          // under picList: the tools toolbar
    QFrame* picPlayer = nullptr;           // the player pane under the info grid
    cSlider* cSlider1 = nullptr;
    QFrame* picPlayTime = nullptr;
    QLabel* lblCurrentPositionSec = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lbTotalLengthSec = nullptr;
    cAudioGraph* cAudioGraphAmp = nullptr;
    cAudioGraph* cAudioGraphFreq = nullptr;
    QLabel* picToolBarJPGPicHolder = nullptr; // hidden holder of the skin's toolbar picture
    cStatusBar* cStatusBar1 = nullptr;
    // Toolbars and their hosts.
    cToolbar* tlbrTop = nullptr;
    cToolbar* tlbrProjects = nullptr;
    cToolbar* tlbrList = nullptr;
    cToolbar* tlbrPlayButtons = nullptr;
    cToolbar* tlbrRecorder = nullptr;
    cToolbarHost* cToolbarHost1 = nullptr;
    cToolbarHost* tlbrProjectsHost = nullptr;
    cToolbarHost* cToolbarHostRecorder = nullptr;
    cToolbarHost* cToolbarHostPlayer = nullptr;
    cReBar* rbrList = nullptr;
    cImageList* imgPlayer = nullptr;        // 24 x 24: Play, Pause, Stop
    QList<cImageList*> imgGeneral;          // element 0: the tools toolbar's icons
    QTimer* tmrUnload = nullptr;            // 100 ms: exit without the question

    // Always on top and transparency, with their menu check marks.
    void SetOnTop(bool bVal);
    void SetTransparent(bool bVal);
    // The skin of the edition: back colour and pictures.
    void SetAppView();
    // The pane splitter dropped on the grid side (X in twips, in the target's coordinates).
    void cGrid1_DragDrop(QObject* Source, float X, float Y);
    void cToolbarHostRecorder_DragDrop(QObject* Source, float X, float Y);
    // The panes as the last layout left them.
    const MainPanes& Panes() const { return m_panes; }

    // Toolbar, status bar and tray events.
    void tlbrRecorder_ButtonClick(int lButtonIndex);
    void tlbrTop_ButtonClick(int lButtonIndex);
    void tlbrTop_ButtonDropDown(int lButtonIndex);
    void tlbrProjects_ButtonClick(int lButtonIndex);
    void tlbrList_ButtonClick(int lButtonIndex);
    void tlbrPlayButtons_ButtonClick(int lButtonIndex);
    void cStatusBar1_PanelClick(int& index);

    // The preview player: play the selected row (or resume, or restart on
    // another row); stop (re-enables Play, clears Pause).
    void StartPlay();
    void StopPlay();
    // The Stop command of every stop path: resumes a paused play, then stops a running one.
    void StopCommand() override;
    // End of a play: resets the display and, with continuous play on, plays
    // the next marked row below after a play that ended by itself.
    void cPlayer1_PlayFinished();
    void cSlider1_ScrollStart();
    void cSlider1_ScrollEnd();
    void tmrPlayer_Timer();
    void tmSlider_Timer();
    void tmrAudioData_Timer();
    QTimer* tmrPlayer = nullptr;    // 200 ms: plays the selected row after a running play was stopped
    QTimer* tmSlider = nullptr;     // 200 ms: the slider and the position label follow the play
    QTimer* tmrAudioData = nullptr; // 100 ms: feeds both graphs
    // The node of the list that plays (bold while it plays).
    QPointer<cTreeNode> m_nodPlaying;


    // Forced exit, without the question.
    void tmrUnload_Timer();

    // Raised by the dispatcher with each command's key, before its branch runs.
    Q_SIGNAL void CommandDispatched(const QString& key);
    // ==== end of window life ====

    // ==== Items lists: grid, tree, list files, adding files, row operations, totals ====
    // The controls, besides those other windows address (MainWindowServices).
    cGrid* cGridInfo = nullptr;           // facts of the selected row
    XP_ProgressBar* prgStatus = nullptr;  // shown while a list loads
    QLabel* lblAddorDrag = nullptr;       // the two labels of picEmptyMsg
    QLabel* lblEmptylist = nullptr;
    cPlayer* cPlayer1 = nullptr;
    cAudioConverter* cAudioConverter1 = nullptr; // reads the facts of a list's files
    QTimer* tmrRemove = nullptr;          // 50 ms, one shot: runs the removal m_sRemoveMode names
    QString m_sRemoveMode;                // "Item" or "All"
    QPointer<cTreeNode> g_nodMainItems;   // the Items Lists root
    QPointer<cTreeNode> g_nodMainCDs;     // the Audio CDs root

    // Start-up: grids, tree, then the first list (or a new one when there is none).
    void InitItemsLists();
    // The lists folder (g_sToPath), ending in "/".
    QString ListsFolder() const;

    // Rebuilds the tree from the lists folder and the CD drives; selects nothing.
    void setTree();
    // Opens a node: a list's rows, a CD's tracks; a root empties the grid.
    // A list opens while the window goes on working: its files are read on
    // other threads and the rows written as they come, the progress bar and
    // the tree's lock showing it; the rows are shown when it has opened.
    void cTreeView1_NodeClick(cTreeNode* node) override;
    // True from the click on a list until all its rows are written.
    bool IsListLoading() const override { return m_listLoad != nullptr; }
    // Runs the step now, or once the list that is opening has opened.
    void RunAfterListLoad(std::function<void()> step);
    // Renames a list's file after its node was edited in place; Cancel keeps the old text.
    void cTreeView1_AfterLabelEdit(cTreeNode* node, QString& NewString, bool& Cancel) override;
    // The pane splitter dropped on the tree (X, Y in twips).
    void cTreeView1_DragDrop(QObject* Source, float X, float Y);
    // Creates an empty list, opens it and starts editing its name (callers check the node first).
    void NewItemsList();
    // Deletes the selected list's file and node, after asking when it holds items.
    void RemoveItemsList();
    bool CheckListSelected();
    // Empties the open list, asking first unless bNoAsk.
    void ClearTheList(bool bNoAsk);
    void DoClearTheList();
    bool MoveListFile(cTreeNode* node, const QString& newPath) override;
    // The list properties dialog for the node; a click on the list's name opens it for the open list.
    void ShowItemsListProperties(cTreeNode* node);
    void lblListName_Click();

    // Rewrites the open list's file from the grid.
    void SaveGridToFile() override;

    // Adding files: the open dialog, and files dropped on the grid or its notice.
    void AddFiles();
    void cGrid1_OLEDragDrop(const QStringList& Data, int Effect, int Button, int Shift, float X, float Y);
    // True while files are being added; the tree then stays on the list they go to.
    bool IsAddingFiles() const { return m_bAddingFiles; }
    void SetAddingFiles(bool adding) override;

    // Rows.
    void cGrid1_MouseUp(int Button, int Shift, float x, float y);
    void cGrid1_DblClick(int row, int col);
    bool IsAnyMarked();
    void SetAllMarked(bool bMark);
    std::int32_t GetMarkedCount();
    // Exchanges the selected row with the row lMove away and selects that one; does not save.
    std::int32_t ReplaceRow(std::int32_t lMove);
    // Appends the source's marked rows (or every row, with its mark) to a job grid.
    static std::int32_t CopyMarkedRows(cGrid* source, cGrid* destination, bool bMarkedOnly);
    void SetRowBold(std::int32_t lRow, bool bBold);
    void SetRowUnBold();
    void SortGridByColumn(std::int32_t column);

    // Totals, the status summary and the info panel.
    QString GetTotalTime(bool bMarkedOnly = false);
    QString GetTotalSize(bool bMarkedOnly = false);
    void DisplayGridInfoStatusBar() override;
    void GetFileInfoToGridInfo() override;
    void cGridInfo_DblClick(int row, int col);
    // Opens a folder in the file manager, offering to create it when missing.
    void OpenDestFolder(QString sDir) override;

    // Audio CDs: the drives' nodes and a CD's tracks as rows (MainWindowCD.cpp).
    cAudioCDRipper* cAudioCDRipper1 = nullptr; // reads drives and tracks
    cFreeDB* cFreeDB1 = nullptr;               // shut down with the other controls at exit
    // Fills the grid with the tracks of the CD in the drive ("D:") of the selected node.
    void LoadCDTracks(const QString& sDrive);
    // The ripper's drive of the selected CD node (0 when none matches).
    std::int32_t GetCDDriveIndex();
    // The poll of the drives every 5 s while a CD node is open: reloads the
    // CD on show when its disc came or went, and resets the texts of empty drives.
    void tmrCDs_Timer();
    // Opens the node of the first drive holding a disc with tracks ("-addaudiocd");
    // false when there is none.
    bool OpenFirstAudioCD();
    void cAudioCDRipper1_Error(std::int32_t lErrorCode, const QString& sErrorText);
    // ==== end of items lists ====

    // ==== Job tools: hand-over, naming and placeholder procedures ====
    // The checks before a tool opens on the list: a list (not a root) selected,
    // rows in it, a row marked (else `markMessage`). False when the command
    // ends here; an empty list turns into "Add Files".
    bool ListToolMayOpen(const QString& markMessage);
    // Shows a tool window modally (`show`) with CD polling paused; polling goes
    // on afterwards while a CD is on show.
    void ShowWithCDPollPaused(const std::function<void()>& show);
    // The end-of-job program's command line, its placeholders filled in from the file the job made.
    QString GetNoticAppParameters(const QString& madeFile) override;
    // The same line split into the program and its arguments, each filled in on its own.
    QStringList GetNoticAppArguments(const QString& madeFile) override;
    // ==== end of job tools ====

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_Terminate() override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    void GoToTray();
    void RestoreFromTray();
    void SetTrayCaption(const QString& caption);

    bool m_bInTray = false;

    // ==== private: window life, menus, toolbars, layout ====
    void resizeEvent(QResizeEvent* event) override;
    void CreateWindowControls();
    void ConnectWindowControls();
    void CreatePlayerPane();
    void BuildStatusBar();
    void BuildToolsToolbar();
    void BuildMainToolbars();
    void SetHostBackgroundPicture(cToolbarHost* host);
    void RestoreWindowSize();
    void ApplyCommandLineSwitches(const QString& text);
    void SaveWindowSize();
    void TerminateControls();
    // Places the widgets where m_panes says.
    void ApplyPanes();
    void ReadTreeWidth();
    void FitToolsBar();
    void FitPlayerBar();
    // The player's timers and events.
    void ConnectPlayer();
    // Stops the play through the player alone (the dispatcher's way); no
    // next row follows the PlayFinished that comes of it.
    void StopPlayer();
    void PlayNextMarkedRow();
    bool m_bPlayStopped = false;
    void ShowTopPopup(int lButtonIndex);

    // Dispatcher: runs the branch of a key; false when it ended early (no refresh).
    bool RunCommand(const QString& key, int ItemNumber);
    bool RunListCommand(const QString& key);
    bool RunWindowCommand(const QString& key, int ItemNumber);
    // The job tools' hand-over.
    bool LaunchTool(const QString& key);
    bool AddFilesCommand();
    bool NewItemsListCommand();
    bool SaveAsCommand();
    // "Remove Item", or with `all` "Clear the List": refused on a CD, then left to tmrRemove.
    bool RemoveCommand(bool all);
    bool MoveCommand(const QString& key);
    bool FreeDBCommand();
    void ShowOptionsPage(const QString& key);
    bool ExitCommand();
    // Starts the first volume control installed; false when none could be started.
    bool StartMixer();
    void RunKey(const QString& key);
    // Tests the selected node's key; with no node selected the test counts as passed.
    bool SelectedNodeIs(bool (*test)(const QString&)) const;
    bool GridIsEmpty() const;
    bool IsOnTop() const;

    RegistryRoutines m_reg;
    MainPanes m_panes = DesignPanes();
    // ==== end of private: window life ====

    // ==== private: items lists ====
    // Tells the user that the open list's file could not be written.
    void ReportListNotSaved();
    // Writes the open list's file. When another writer has changed the file
    // since the window last read or wrote it, that version is first kept
    // beside it, shown in the tree, and the user is told.
    void WriteOpenList(const QString& text);
    void KeepOtherVersionOfOpenList();
    // Creates the controls of the items lists (grid, tree, info panel...); the layout places them.
    void CreateListControls();
    void ConnectListControls();
    // True while a list loads or files are being added: the open list must stay.
    bool IsListBusy() const;
    // A list's node: neither a root nor a CD drive (only such keys are file paths).
    static bool IsListKey(const QString& key);
    // The node of the open list when it is a list's (never a root or a CD drive).
    QString m_sOpenListKey;
    // What the open list's file holds besides its rows (damaged records,
    // records whose file cannot be opened now): written back in place on save.
    KeptTexts m_keptTexts;
    // The open list's file as the window last read or wrote it.
    platform::FileStamp m_openListStamp;
    // Nothing open: an empty grid, no list to write to.
    void CloseOpenList();
    // Opens the first list of the lists folder, creating one when it holds
    // none; when none can be created the Items Lists root is selected.
    void OpenFirstList();
    bool m_bAddingFiles = false;
    void LoadListIntoGrid(cTreeNode* node);
    void ListLoaded();
    void ShowListLoaded(const ListTotals& totals);
    ListTotals TotalsOfGrid(bool bMarkedOnly);
    // The list summary in the status bar, of the grid's rows and these totals.
    void ShowListSummary(const ListTotals& totals);
    // Ends a load that is running, leaving the list file as it is; false when none ran.
    bool StopListLoad();
    // The dispatcher's command waits while a list opens; true when it was put off.
    bool WaitForListLoad(int ItemNumber);
    ListLoad* m_listLoad = nullptr;
    QList<std::function<void()>> m_afterListLoad;
    QList<int> m_waitingCommands;
    // Stops a playing preview before the list changes.
    void StopPreviewForList();
    void cGrid1_SelectionChange(int row, int col);
    void cGrid1_RedrawRequest(int reason);
    void tmrRemove_Timer();
    void RemoveSelectedItems();
    void LoadSelectedToPlayer();
    // Audio CDs.
    void CreateCDControls();
    void AddCDDriveNodes();
    // The tracks of the disc in drive idx into the grid; false when the drive
    // failed on the way (its LastError tells how).
    bool ReadCDTracks(const QString& sDrive, std::int32_t idx);
    bool WriteTrackRow(std::int32_t track, const QString& sDrive);
    void ShowInsertCDNotice();
    void ReportCDDriveError(const QString& sDrive);
    // Nothing to clear: no rows shown and no records kept out of sight.
    bool OpenListHoldsNothing() const;
    // Adds the paths through the add-files window, then saves the list.
    void AddPathsToList(const QStringList& paths);
    // ==== end of private: items lists ====

    // ==== private: job tools ====
    // The end-of-job placeholders with their values for the file a job made,
    // in the order they are replaced.
    QList<std::pair<QString, QString>> NoticeValues(const QString& madeFile);
    // ==== end of private: job tools ====
};

extern DefaultInstance<CfrmMain> frmMain;
