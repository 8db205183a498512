// The main window's toolbars and status bar: every button and
// panel hands its key to the dispatcher, or opens the popup of a menu.
#include "mainwindow/frmMain.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "mainwindow/EditionGate.h"
#include "platform/AppInfo.h"
#include "platform/VbCompat.h"

#include <QLabel>
#include <QMap>
#include <QPixmap>

namespace {

struct ButtonDef {
    const char* key; // nullptr: a separator
    const char* caption;
    const char* toolTip;
    int icon;
    int style;
    EditionGate gate;
    int hostWidening; // tools toolbar: twips its host grows by
};

constexpr int kPlain = cToolbar::StylePlain;
constexpr int kCheck = cToolbar::StyleCheck;
constexpr int kDropDown = cToolbar::StyleDropDown;

ButtonDef Separator(EditionGate gate = {}, int widening = 0) { return {nullptr, "", "", -1, cToolbar::StyleSeparator, gate, widening}; }

const std::vector<ButtonDef>& ToolsButtons()
{
    static const std::vector<ButtonDef> buttons = {
        {"Audio Converter", "Convert", "Audio Converter", 19, kPlain, {&lAppIncConverter}, 1000},
        {"ACM Converter", "Convert", "ACM Converter", 21, kPlain, {&lAppIncACMConverter}, 1000},
        Separator({&lAppIncJoin, &lAppIncSplit}, 1000),
        {"Audio Joiner", "Join", "Audio Joiner", 23, kPlain, {&lAppIncJoin}, 1000},
        {"Audio Splitter", "Splitter", "Audio Splitter", 22, kPlain, {&lAppIncSplit}, 1000},
        Separator({&lAppIncMicRec, &lAppIncEditor}, 100),
        {"Audio Analyser", "Analyser", "Audio Analyser", 20, kPlain, {&lAppIncEditor}, 1000},
        {"Audio Recorder", "Recorder", "Audio Recorder", 24, kPlain, {&lAppIncMicRec}, 1000},
        Separator({&lAppIncCDRipper, &lAppIncAudioBurner}, 1000),
        {"Audio CD Ripper", "CD Ripper", "Audio CD Ripper", 25, kPlain, {&lAppIncCDRipper}, 1000},
        {"Audio CD Maker", "CD Burner", "Audio CD Maker", 27, kPlain, {&lAppIncAudioBurner}, 1000},
        {"Audio CD Duplicator", "CD Duplicator", "Audio CD Duplicator", 29, kPlain, {&lAppIncCDDuplicator}, 1000},
        Separator({&lAppIncMP3Burner, &lAppIncWMABurner}, 100),
        {"MP3 CD Maker", "Burn MP3", "MP3 CD Maker", 26, kPlain, {&lAppIncMP3Burner}, 1000},
        {"WMA CD Maker", "Burn WMA", "WMA CD Maker", 26, kPlain, {&lAppIncWMABurner}, 1000},
        {"Text To Speech", "TTS", "Text To Speech", 28, kPlain, {&lAppIncTTS}, 1000},
    };
    return buttons;
}

// The edition's main tool: the flag's name that g_sAppMainTool gives, and its button.
struct MainToolDef {
    const char* flagName;
    ButtonDef button;
};

const std::vector<MainToolDef>& MainTools()
{
    static const std::vector<MainToolDef> tools = {
        {"lAppIncConverter", {"Audio Converter", "Convert", "Audio Converter", 7, kPlain, {}, 0}},
        {"lAppIncJoin", {"Audio Joiner", "Join", "Audio Joiner", 64, kPlain, {}, 0}},
        {"lAppIncSplit", {"Audio Splitter", "Splitter", "Audio Splitter", 63, kPlain, {}, 0}},
        {"lAppIncEditor", {"Audio Analyser", "Editor", "Audio Analyser", 62, kPlain, {}, 0}},
        {"lAppIncMicRec", {"Audio Recorder", "Recorder", "Audio Recorder", 70, kPlain, {}, 0}},
        {"lAppIncAudioBurner", {"Audio CD Maker", "Burn", "Audio CD Maker", 73, kPlain, {}, 0}},
        {"lAppIncCDRipper", {"Audio CD Ripper", "CD Ripper", "Audio CD Ripper", 25, kPlain, {}, 0}},
        {"lAppIncACMConverter", {"ACM Converter", "Converter", "ACM Converter", 61, kPlain, {}, 0}},
        {"lAppIncMP3Burner", {"MP3 CD Maker", "Burn MP3", "MP3 CD Maker", 72, kPlain, {}, 0}},
        {"lAppIncWMABurner", {"WMA CD Maker", "Burn WMA", "WMA CD Maker", 72, kPlain, {}, 0}},
        {"lAppIncTTS", {"Text To Speech", "TTS", "Text To Speech", 82, kPlain, {}, 0}},
    };
    return tools;
}

std::vector<ButtonDef> TopButtons()
{
    std::vector<ButtonDef> buttons = {
        {"Add", "  Add File(s)  ", "Add Files(s) to The Items List", 2, kPlain, {&lAppIncItemsLists}, 0},
        Separator({&lAppIncItemsLists}),
        {"Items List", "Items List", "Items List", 39, kDropDown, {}, 0},
        Separator(),
    };
    for (const MainToolDef& tool : MainTools()) {
        if (g_sAppMainTool != tool.flagName) continue;
        buttons.push_back(tool.button);
        break;
    }
    const ButtonDef tail[] = {
        {"Tools", "Tools", "Tools", 19, kDropDown, {}, 0},
        Separator(),
        {"Options", "Options", "Options", 9, kDropDown, {}, 0},
        Separator(),
        {"Mode", "Mode", "Modes", 45, kDropDown, {}, 0},
        {"Help", "Help", "Help", 12, kDropDown, {}, 0},
    };
    for (const ButtonDef& button : tail) buttons.push_back(button);
    return buttons;
}

const std::vector<ButtonDef>& ProjectsButtons()
{
    static const std::vector<ButtonDef> buttons = {
        {"New Items List", "", "New Items List", 48, kPlain, {}, 0},
        {"Rename Items List", "", "Rename Items List", 49, kPlain, {}, 0},
        {"Remove Items List", "", "Remove Items List", 50, kPlain, {}, 0},
        Separator(),
        {"Items List Properties", "", "Items List Properties", 51, kPlain, {}, 0},
    };
    return buttons;
}

const std::vector<ButtonDef>& ListButtons()
{
    static const std::vector<ButtonDef> buttons = {
        {"Add Files", "", "Add File(s)", 2, kPlain, {&lAppIncItemsLists}, 0},
        Separator({&lAppIncItemsLists}),
        {"MarkUnmark All", "", "Mark/Unmark All", 74, kPlain, {}, 0},
        Separator(),
        {"Move Up", "", "Move Item Up", 0, kPlain, {}, 0},
        {"Move Down", "", "Move Item Down", 1, kPlain, {}, 0},
        Separator(),
        {"Move To First", "", "Move Item To First", 80, kPlain, {}, 0},
        {"Move To Last", "", "Move Item To Last", 81, kPlain, {}, 0},
        Separator(),
        {"Rename Item", "", "Edit Item", 32, kPlain, {}, 0},
        Separator(),
        {"Save As", "", "Save Item As", 5, kPlain, {}, 0},
        Separator(),
        {"Remove Item", "", "Remove Item", 3, kPlain, {}, 0},
        {"Clear the List", "", "Remove All", 27, kPlain, {}, 0},
        Separator({&lAppIncCDRipper}),
        {"FreeDB", "", "Get FreeDB Information About CD", 22, kPlain, {&lAppIncCDRipper}, 0},
    };
    return buttons;
}

const std::vector<ButtonDef>& PlayerButtons()
{
    static const std::vector<ButtonDef> buttons = {
        {"Play", "", "Play", 0, kPlain, {}, 0},
        {"Pause", "", "Pause", 1, kCheck, {}, 0},
        {"Stop", "", "Stop", 2, kPlain, {}, 0},
    };
    return buttons;
}

// Adds the buttons whose gate holds; returns the twips the host grows by.
int AddButtons(cToolbar* bar, const std::vector<ButtonDef>& buttons)
{
    int widening = 0;
    for (const ButtonDef& b : buttons) {
        if (!b.gate.Holds()) continue;
        bar->AddButton(b.toolTip, b.icon, QString(), 0, b.caption, b.style, b.key ? b.key : QString());
        widening += b.hostWidening;
    }
    return widening;
}

// The creation settings of the main, lists and items toolbars.
void CreateMenuToolbar(cToolbar* bar, cImageList* images)
{
    bar->SetDrawStyle(2);
    bar->SetButtonTextPosition(0);
    bar->SetListStyle(true);
    bar->SetImageList(images);
    bar->CreateToolbar(16, false, true, true);
}

const QStringList kRecorderToolKeys = {"Audio Converter", "Audio Joiner",   "Audio Splitter",      "Audio Recorder",
                                       "Audio Analyser",  "Audio CD Maker", "Audio CD Ripper",     "Audio CD Duplicator",
                                       "MP3 CD Maker",    "WMA CD Maker",   "ACM Converter",       "Text To Speech"};

// The item whose menu each drop-down button of the main toolbar opens.
QString PopupItemFor(const QString& buttonKey)
{
    static const QMap<QString, QString> items = {
        {"Items List", "Save As"}, {"Tools", "Notes"}, {"Options", "ID3 Tags"}, {"Mode", "Transparent"}, {"Help", "About"}};
    return items.value(buttonKey);
}

} // namespace

// ---- building ----

void CfrmMain::BuildStatusBar()
{
    cStatusBar1->SetImageList(imgMenu);
    cStatusBar1->AddPanel(0, "", "", 47, 120, false, false, 0, "Main");
    cStatusBar1->AddPanel(0, "", "", -1, 180, false, false, 0, "Items List Properties");
    cStatusBar1->AddPanel(0, GetNotesToStatus(), "Notes", 8, 250, false, false, 0, "Notes");
    cStatusBar1->AddPanel(0, "Master Volume", "", 79, 64, false, false, 0, "Master Volume");
    cStatusBar1->SetPanelText("Main", "Ready.");
}

void CfrmMain::BuildToolsToolbar()
{
    tlbrRecorder->SetDrawStyle(2);
    // Captions under the icons: each button fits the 1000 twips its host grows by.
    tlbrRecorder->SetButtonTextPosition(1);
    tlbrRecorder->SetImageList(imgGeneral.value(0));
    tlbrRecorder->CreateToolbar(26, false, true, true);
    m_panes.cToolbarHostRecorder.Width += AddButtons(tlbrRecorder, ToolsButtons());
}

void CfrmMain::BuildMainToolbars()
{
    cToolbarHostRecorder->Capture(tlbrRecorder);
    m_panes.cToolbarHostRecorder.Height = 760;
    FitToolsBar();

    CreateMenuToolbar(tlbrTop, imgMenu);
    AddButtons(tlbrTop, TopButtons());
    tlbrTop->SetButtonTextVisible(0, true);
    SetHostBackgroundPicture(cToolbarHost1);
    cToolbarHost1->Capture(tlbrTop);
    m_panes.cToolbarHost1.Height = 740;

    CreateMenuToolbar(tlbrProjects, imgMenu);
    AddButtons(tlbrProjects, ProjectsButtons());
    tlbrProjects->SetButtonTextVisible(0, true);
    SetHostBackgroundPicture(tlbrProjectsHost);
    tlbrProjectsHost->Capture(tlbrProjects);

    CreateMenuToolbar(tlbrList, imgMenu);
    AddButtons(tlbrList, ListButtons());
    tlbrList->SetWrappable(true);
    tlbrList->SetButtonTextVisible(0, true);

    rbrList->SetImageSource(1);
    rbrList->CreateRebar(picList);
    rbrList->AddBandByHwnd(tlbrList->hWnd(), "", false, false, "Toolbar1");
    rbrList->SetBandChildMinWidth(0, 0);
    m_panes.picList.Height = platform::PixelsToTwips(tlbrList->sizeHint().height());

    tlbrPlayButtons->SetDrawStyle(2);
    tlbrPlayButtons->SetButtonTextPosition(0);
    tlbrPlayButtons->SetImageList(imgPlayer);
    tlbrPlayButtons->CreateToolbar(24, false, false, true);
    AddButtons(tlbrPlayButtons, PlayerButtons());
    cToolbarHostPlayer->Capture(tlbrPlayButtons);
    m_panes.cToolbarHostPlayer.Height = 500;
    FitPlayerBar();
    ApplyPanes();
}

// The skin's toolbar picture, when there is one, is written beside the
// program and drawn behind the host.
void CfrmMain::SetHostBackgroundPicture(cToolbarHost* host)
{
    const QPixmap picture = picToolBarJPGPicHolder->pixmap();
    if (picture.height() < 1) return;
    const QString file = platform::AppPath() + "/tbbg.bmp";
    picture.save(file, "BMP");
    host->SetBackgroundPictureFile(file);
}

// ---- events ----

void CfrmMain::tlbrRecorder_ButtonClick(int lButtonIndex)
{
    const QString key = tlbrRecorder->ButtonKey(lButtonIndex);
    if (kRecorderToolKeys.contains(key)) {
        RunKey(key);
        return;
    }
    // The lists stop the preview through this toolbar with the number of a
    // "Stop" button, which this toolbar does not hold: the Stop command.
    if (key == "Stop" || lButtonIndex == tlbrRecorder->ButtonIndex("Stop")) StopCommand();
}

void CfrmMain::tlbrTop_ButtonClick(int lButtonIndex)
{
    const QString key = tlbrTop->ButtonKey(lButtonIndex);
    // The Mode menu holds the window's modes themselves: opening it leaves them as they are.
    if (key != "Mode" && IsOnTop()) SetOnTop(false);
    for (const MainToolDef& tool : MainTools()) {
        if (key != tool.button.key) continue;
        RunKey(key);
        return;
    }
    if (key == "Add") RunKey("Add Files");
    else ShowTopPopup(lButtonIndex);
}

void CfrmMain::tlbrTop_ButtonDropDown(int lButtonIndex) { ShowTopPopup(lButtonIndex); }

void CfrmMain::ShowTopPopup(int lButtonIndex)
{
    const QString item = PopupItemFor(tlbrTop->ButtonKey(lButtonIndex));
    if (item.isEmpty()) return;
    int x = 0, y = 0;
    tlbrTop->GetDropDownPosition(lButtonIndex, x, y);
    m_cMenu->ShowPopupMenu(x, y, 0, 0, 0, 0, -1, m_cMenu->IndexForKey(item));
}

void CfrmMain::tlbrProjects_ButtonClick(int lButtonIndex)
{
    SetOnTop(false);
    RunKey(tlbrProjects->ButtonKey(lButtonIndex));
}

void CfrmMain::tlbrList_ButtonClick(int lButtonIndex)
{
    SetOnTop(false);
    RunKey(tlbrList->ButtonKey(lButtonIndex));
}

void CfrmMain::cStatusBar1_PanelClick(int& index)
{
    const QString key = cStatusBar1->PanelKey(index);
    if (key.isEmpty()) return;
    RunKey(key);
}

void CfrmMain::cToolbarHostRecorder_DragDrop(QObject* Source, float X, float Y) { cGrid1_DragDrop(Source, X, Y); }
