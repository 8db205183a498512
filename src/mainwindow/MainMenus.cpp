// The main window's menu tree: the menu bar, the popup menus of the toolbars
// and the items list, and the tray menu, each item carrying its command key.
#include "mainwindow/frmMain.h"

#include "controls/widgets/PopupMenu.h"
#include "core/Edition.h"
#include "mainwindow/EditionGate.h"
#include "settings/mdlOptions.h"

#include <QFont>

namespace {

struct MenuItemDef {
    const char* caption;
    const char* key; // nullptr: the caption is the key
    int icon;
    EditionGate condition;
    int trailingBlanks;
};

struct MenuDef {
    const char* key;
    const char* caption;
    bool popupOnly;
    std::vector<MenuItemDef> items;
};

constexpr const char* kSep = "-";

const std::vector<MenuDef>& MenuTree()
{
    static const std::vector<MenuDef> tree = {
        {"mnuFileTop", "File", false,
         {{"Remove", nullptr, 4, {}, 0}, {kSep, "mnuFile(4)", -1, {}, 0}, {"Exit", nullptr, -1, {}, 0}}},
        {"mnuEditTop", "Edit", false, {}},
        {"Tools", "Tools", false,
         {
             {kSep, "mnuFile(4)", -1, {&lAppIncConverter, &lAppIncACMConverter}, 0},
             {"Audio Converter", nullptr, 60, {&lAppIncConverter}, 0},
             {"ACM Converter", nullptr, 61, {&lAppIncACMConverter}, 0},
             {kSep, "mnuFile(4)", -1, {&lAppIncJoin, &lAppIncSplit}, 0},
             {"Audio Joiner", nullptr, 64, {&lAppIncJoin}, 0},
             {"Audio Splitter", nullptr, 63, {&lAppIncSplit}, 0},
             {kSep, "mnuFile(4)", -1, {&lAppIncEditor, &lAppIncMicRec}, 0},
             {"Audio Analyser", nullptr, 62, {&lAppIncEditor}, 0},
             {"Audio Recorder", nullptr, 70, {&lAppIncMicRec}, 0},
             {kSep, "mnuFile(4)", -1, {&lAppIncAudioBurner, &lAppIncCDRipper}, 0},
             {"Audio CD Duplicator", nullptr, 83, {&lAppIncCDDuplicator}, 0},
             {"Audio CD Maker", nullptr, 73, {&lAppIncAudioBurner}, 0},
             {"Audio CD Ripper", nullptr, 25, {&lAppIncCDRipper}, 0},
             {kSep, "mnuFile(4)", -1, {&lAppIncMP3Burner, &lAppIncWMABurner}, 0},
             {"MP3 CD Maker", nullptr, 72, {&lAppIncMP3Burner}, 0},
             {"WMA CD Maker", nullptr, 72, {&lAppIncWMABurner}, 0},
             {kSep, "mnuFile(4)", -1, {}, 0},
             {"MP3 Tags Editor", nullptr, 6, {&lAppIncMP3TagsEditor}, 0},
             {kSep, "mnuFile(4)", -1, {}, 0},
             {"Text To Speech", nullptr, 82, {&lAppIncTTS}, 0},
             {kSep, "mnuFile(4)", -1, {&lAppIncTTS}, 0},
             {"Master Volume", nullptr, 79, {}, 0},
             {kSep, "mnuFile(4)", -1, {}, 0},
             {"Notes", nullptr, 8, {}, 0},
         }},
        {"mnuOptionsTop", "Options", false, {}},
        {"Mode", "Mode", false,
         {{"Transparent", nullptr, 11, {}, 0},
          {"On Top", nullptr, 53, {}, 0},
          {kSep, "mnuFile(4)", -1, {}, 0},
          {"Minimize", nullptr, 76, {}, 0},
          {"Go to SysTray", "GoSysTray", 77, {}, 0},
          {kSep, "mnuFile(4)", -1, {}, 0},
          {"Exit", nullptr, 78, {}, 0}}},
        {"Options", "Options", true,
         {{"General", nullptr, 9, {}, 21},
          {kSep, "Options Line1", -1, {}, 0},
          {"Events", nullptr, 10, {}, 0},
          {"View", nullptr, 11, {}, 0},
          {kSep, "Options Line2", -1, {}, 0},
          {"ID3 Tags", nullptr, 18, {}, 0},
          {kSep, "Options Line2", -1, {}, 0},
          {"Advanced", nullptr, 59, {}, 0}}},
        {"Help", "Help", true,
         {{"Help Topics", "HelpTopic", 12, {}, 5},
          {"Support", nullptr, -1, {}, 0},
          {kSep, "mnuFile(4)", -1, {}, 0},
          {"About", nullptr, 22, {}, 0}}},
        {"mnuSysTry", "mnuSysTry", true,
         {{"Exit", "RC Exit", 27, {}, 22}, {kSep, "st1", -1, {}, 0}, {"Hide", "RC Open", -1, {}, 0}}},
        {"Player", "Player", true, {{"System Player", "Open Default Player", 38, {}, 0}}},
        {"mnuProjects", "mnuProjects", true,
         {{"New Items List", nullptr, 48, {}, 0},
          {"Rename Items List", nullptr, 49, {}, 0},
          {"Remove Items List", nullptr, 50, {}, 0},
          {kSep, "st4", -1, {}, 0},
          {"Items List Properties", nullptr, 51, {}, 0},
          {"Open Destination Folder", nullptr, 4, {}, 0}}},
        {"mnuFilesList", "mnuFilesList", true,
         {
             {"Mark/Unmark All", "MarkUnmark All", 74, {}, 0},
             {kSep, "st1", -1, {}, 0},
             {"Move Up", nullptr, 0, {}, 0},
             {"Move Down", nullptr, 1, {}, 0},
             {kSep, "st1", -1, {}, 0},
             {"Move To First", nullptr, 80, {}, 0},
             {"Move To Last", nullptr, 81, {}, 0},
             {kSep, "st1", -1, {}, 0},
             {"Edit", "Rename Item", 32, {}, 0},
             {"Save As...", "Save As", 5, {}, 0},
             {kSep, "st1", -1, {}, 0},
             {"Audio Analyser", nullptr, 62, {&lAppIncEditor}, 0},
             {kSep, "st1", -1, {&lAppIncEditor}, 0},
             {"Remove Item", nullptr, 3, {}, 0},
             {kSep, "ClearLine", -1, {}, 0},
             {"Remove All", "Clear the List", 27, {}, 0},
             {kSep, "st1", -1, {&lAppIncCDRipper}, 0},
             {"FreeDB", nullptr, 22, {&lAppIncCDRipper}, 0},
         }},
        {"mnuAdd", "mnuAdd", true,
         {{"Add Files", nullptr, 39, {}, 0}, {kSep, "st1", -1, {}, 0}, {"Add Directories", nullptr, 4, {}, 0}}},
    };
    return tree;
}

} // namespace

void CfrmMain::BuildMenus()
{
    QFont font("Tahoma");
    m_cMenu = new cFormMenu(this);
    m_cMenu->Attach(this);
    m_cMenu->SetXPStyle(false);
    m_cMenu->SetFont(font);
    m_cMenu->SetXPStyle(g_bMenuXPStyle);
    m_cMenu->SetImageList(imgMenu);

    for (const MenuDef& menu : MenuTree()) {
        const int top = m_cMenu->AddItem(menu.caption, "", 0, 0, -1, false, true, menu.key);
        for (const MenuItemDef& it : menu.items) {
            if (!it.condition.Holds()) continue;
            const QString caption = QString(it.caption) + QString(it.trailingBlanks, ' ');
            m_cMenu->AddItem(caption, "", 0, top, it.icon, false, true, it.key ? it.key : it.caption);
        }
        if (menu.popupOnly) m_cMenu->SetVisible(m_cMenu->IndexForKey(menu.key), false);
    }
    m_cMenu->SetActive(true);

    connect(m_cMenu, &cFormMenu::Click, this, &CfrmMain::m_cMenu_Click);
    connect(m_cMenu, &cFormMenu::MenuBarResized, this, &CfrmMain::Form_Resize);
}
