#pragma once
// What the other windows call on the main window. The main window implements
// it; every other window reaches it through MainWindow() and never includes
// the main window's own class, so a test can put a small double in its place.
#include <QString>
#include <QStringList>
#include <cstdint>

class QFrame;
class QLabel;
class QTimer;
class QWidget;
class cFormMenu;
class cGrid;
class cImageList;
class cSysTray;
class cTreeNode;
class cTreeView;

// False while the program runs; True from the first step of the main window's
// unload until the program ends (or the user decides to stay).
extern bool g_bExitApp;

class MainWindowServices {
public:
    virtual ~MainWindowServices();

    // ---- Controls the other windows address directly ----
    cFormMenu* m_cMenu = nullptr;      // IndexForKey gives the index m_cMenu_Click takes
    cSysTray* cSysTray1 = nullptr;     // ShowBalloon: the tool windows' balloons
    cGrid* cGrid1 = nullptr;           // the rows of the open list or CD
    cTreeView* cTreeView1 = nullptr;   // SelectedItem: the node whose list the grid shows
    cImageList* imgGrid = nullptr;     // grid icons: 0 unmarked, 1 marked, 3 audio, 4 data track
    cImageList* imgMenu = nullptr;     // 16 x 16 icons of menus, tree, tabs and job grids
    QFrame* picEmptyMsg = nullptr;     // the notice over an empty list
    QLabel* lblListName = nullptr;     // the open list's name above the grid
    QTimer* tmrCDs = nullptr;          // CD polling: runs while a CD drive's node is open
    // Set by the audio editor's converter when the user aborts its conversion.
    bool g_bAbortedAudioEditor = false;

    // ---- The window ----
    // The main window itself: the owner of dialogs, the target of SetFormOnTop.
    virtual QWidget* Widget() = 0;
    // Closes the main window, which ends the program unless the user stays.
    virtual bool Unload() = 0;
    // Lays the window out again from the view settings.
    virtual void Form_Resize() = 0;
    // The command dispatcher.
    virtual void m_cMenu_Click(int ItemNumber) = 0;

    // ---- Status panels ("Main", "Items List Properties", "Notes", ...) ----
    virtual void SetStatusPanelText(const QString& key, const QString& text) = 0;
    virtual QString StatusPanelText(const QString& key) const = 0;
    // "Notes [ <the notes on one line, cut to 35 characters> ]", or "Notes [ Empty ]".
    virtual QString GetNotesToStatus() = 0;

    // ---- What the options dialog changes ----
    virtual void ListsFolderChanged() = 0;
    virtual void ApplyViewOptions() = 0;
    virtual void SetTitleBackColor(std::int32_t color) = 0;
    virtual void SetTitleTextColor(std::int32_t color) = 0;

    // ---- Tree nodes ----
    // Roots have keys beginning "##MAIN", CD drives "##CD", lists their file's path.
    static bool IsMainNode(const QString& key);
    static bool IsCDNode(const QString& key);
    // The drive letter and colon of a CD drive's key.
    static QString GetCDNameNode(const QString& key);
    // A node's text was edited: a list's file takes the new name (Cancel
    // keeps the old text); a CD drive's node renames no file.
    virtual void cTreeView1_AfterLabelEdit(cTreeNode* node, QString& NewString, bool& Cancel) = 0;
    // Moves the list file of the node to newPath and gives the node that key
    // (the open list is saved there from now on). On failure says why and
    // changes nothing.
    virtual bool MoveListFile(cTreeNode* node, const QString& newPath) = 0;
    // Opens a folder in the file manager, offering to create it when missing.
    virtual void OpenDestFolder(QString sDir) = 0;

    // ---- The open list ----
    // Opens a node: a list's rows, a CD's tracks (the selected node shows its list again).
    // A list opens while the window goes on working: its rows come later.
    virtual void cTreeView1_NodeClick(cTreeNode* node) = 0;
    // True from the opening of a list until all its rows are in the grid.
    virtual bool IsListLoading() const = 0;
    // Rewrites the open list's file from the grid.
    virtual void SaveGridToFile() = 0;
    // True while files are being added; the tree then stays on the list they go to.
    virtual void SetAddingFiles(bool adding) = 0;
    // The list's item count, total size and total time in the status bar.
    virtual void DisplayGridInfoStatusBar() = 0;
    // The info panel for the selected row.
    virtual void GetFileInfoToGridInfo() = 0;

    // ---- The preview player ----
    // The tools toolbar's Stop: resumes a paused play, then stops a running one.
    virtual void StopCommand() = 0;

    // ---- Job tools ----
    // The end-of-job program's command line, its placeholders filled in: the
    // program's name and version, and the path, size, length and creation time
    // of `madeFile`, the file the job made (left as written when it made none).
    virtual QString GetNoticAppParameters(const QString& madeFile) = 0;
    // The same line split into the program and its arguments, each filled in on its own.
    virtual QStringList GetNoticAppArguments(const QString& madeFile) = 0;
};

// The main window; nullptr while there is none (before start-up, after it unloaded).
MainWindowServices* MainWindow();
// The main window registers itself here; tests install a double.
void SetMainWindow(MainWindowServices* window);
