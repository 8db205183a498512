// The dispatcher's branches: window modes, options pages, outside programs,
// and the list and item commands with their guards.
#include "MainWindowFixture.h"

#include "core/Edition.h"
#include "core/frmAbout.h"
#include "core/frmFileCopy.h"
#include "core/frmNotes.h"
#include "core/mdlCommDialog.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <QTableView>
#include <QTimer>

namespace {

class MainCommands : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        main = LoadMain();
    }
    void RunKey(const QString& key) { main->m_cMenu_Click(main->m_cMenu->IndexForKey(key)); }
    bool OnTop() const { return main->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
    // Rows named "1", "2", ... with their marks.
    void FillRows(const QList<int>& marks)
    {
        for (int i = 0; i < marks.size(); ++i) {
            const int row = i + 1;
            main->cGrid1->CellDetails(row, kColInc, QVariant(), kIconCellFormat, marks[i]);
            main->cGrid1->CellDetails(row, kColType, QVariant(), kIconCellFormat, 3);
            main->cGrid1->CellDetails(row, kColItemName, QString::number(row));
            main->cGrid1->CellDetails(row, kColFile, ProgramFolder() + "/" + QString::number(row) + ".wav");
        }
    }
    QStringList Names() const
    {
        QStringList names;
        for (int row = 1; row <= main->cGrid1->Rows(); ++row)
            names << main->cGrid1->CellText(row, kColItemName).toString();
        return names;
    }
    QList<int> Marks() const
    {
        QList<int> marks;
        for (int row = 1; row <= main->cGrid1->Rows(); ++row) marks << main->cGrid1->CellIconIndex(row, kColInc);
        return marks;
    }
    // A node of an audio CD drive, selected.
    void SelectCDNode()
    {
        cTreeNode* node = main->cTreeView1->Nodes()->Add(nullptr, 0, "##CDD: /dev/sr0", "D:");
        ASSERT_NE(node, nullptr);
        node->SetSelected(true);
    }
    void SelectItemsListsRoot() { main->g_nodMainItems->SetSelected(true); }
    // A row in the info panel that a refresh replaces.
    void MarkInfoPanel()
    {
        main->cGridInfo->Clear();
        main->cGridInfo->CellDetails(1, 1, "marked");
    }
    bool InfoPanelMarked() const
    {
        return main->cGridInfo->Rows() == 1 && main->cGridInfo->CellText(1, 1).toString() == "marked";
    }
    // The open list's file.
    QByteArray ListFileBytes() const
    {
        QFile f(main->cTreeView1->SelectedItem()->Key());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    CfrmMain* main = nullptr;
};

TEST_F(MainCommands, NoItemDoesNothing)
{
    main->m_cMenu_Click(0);
    EXPECT_TRUE(dispatched.isEmpty());
}

TEST_F(MainCommands, OnTopTogglesWithItsCheckMark)
{
    RunKey("On Top");
    EXPECT_TRUE(OnTop());
    EXPECT_TRUE(Checked("On Top"));
    RunKey("On Top");
    EXPECT_FALSE(OnTop());
    EXPECT_FALSE(Checked("On Top"));
}

TEST_F(MainCommands, TransparentTogglesWithItsCheckMark)
{
    RunKey("Transparent");
    EXPECT_NEAR(main->windowOpacity(), 90 / 255.0, 0.01);
    EXPECT_TRUE(Checked("Transparent"));
    RunKey("Transparent");
    EXPECT_DOUBLE_EQ(main->windowOpacity(), 1.0);
    EXPECT_FALSE(Checked("Transparent"));
}

TEST_F(MainCommands, CommandsThatDropOnTopClearItsCheck)
{
    FillRows({1});
    main->cGrid1->SetSelectedRow(1);
    modal->hook = [](QWidget* w) { w->close(); };
    const struct {
        const char* key;
        std::function<void()> answer;
    } cases[] = {
        {"Notes", {}},         {"About", {}},       {"General", {}},
        {"Master Volume", {}}, {"Open Default Player", {}}, {"Rename Item", {}},
        {"Add Files", [this] { dialogs->ExpectOpen({}); }},
    };
    for (const auto& c : cases) {
        RunKey("On Top");
        ASSERT_TRUE(OnTop()) << c.key;
        if (c.answer) c.answer();
        RunKey(c.key);
        EXPECT_FALSE(OnTop()) << c.key;
        EXPECT_FALSE(Checked("On Top")) << c.key;
        // The next "On Top" puts the window on top again.
        RunKey("On Top");
        EXPECT_TRUE(OnTop()) << c.key;
        EXPECT_TRUE(Checked("On Top")) << c.key;
        RunKey("On Top");
    }
    EXPECT_TRUE(g_frmNotes->isVisible());
    EXPECT_TRUE(modal->shown.contains("frmAbout"));
    EXPECT_TRUE(dialogs->AllAnswered());
}

TEST_F(MainCommands, OptionsPagesOpenOnTheirNode)
{
    for (const char* page : {"General", "Events", "View", "ID3 Tags", "Advanced"}) {
        main->SetOnTop(true);
        QString selected;
        bool visible = false;
        modal->hook = [&](QWidget* w) {
            auto* options = static_cast<CfrmOptions*>(w);
            selected = options->cTreeView1->SelectedItem()->Key();
            visible = (QString(page) == "General" ? options->froGeneral
                       : QString(page) == "Events" ? options->froEvents
                       : QString(page) == "View"   ? options->froView
                       : QString(page) == "ID3 Tags" ? options->froTags
                                                     : options->froAdvanced)
                          ->isVisibleTo(options);
            options->cmdCancel_Click();
        };
        RunKey(page);
        EXPECT_EQ(selected, page);
        EXPECT_TRUE(visible) << page;
        EXPECT_FALSE(OnTop()) << page;
    }
}

TEST_F(MainCommands, TheInfoPanelIsRefreshedAfterCommandsThatEnd)
{
    FillRows({1});
    main->cGrid1->SetSelectedRow(1);
    main->Show();
    const struct {
        const char* key;
        bool refreshed;
    } cases[] = {
        {"On Top", true},    {"On Top", true},   {"Transparent", true}, {"Transparent", true},
        {"GoSysTray", false}, {"RC Open", true}, {"Add Directories", true},
    };
    for (const auto& c : cases) {
        MarkInfoPanel();
        RunKey(c.key);
        EXPECT_EQ(InfoPanelMarked(), !c.refreshed) << c.key;
    }
    EXPECT_FALSE(OnTop());
    EXPECT_TRUE(main->isVisible());
    // An exit the user cancels refreshes like any command.
    g_bDisplayMSGWhenExit = true;
    msgBox->Expect("Are you sure you want to exit", platform::vbNo);
    MarkInfoPanel();
    RunKey("Exit");
    EXPECT_TRUE(frmMain.IsLoaded());
    EXPECT_FALSE(InfoPanelMarked());
}

TEST_F(MainCommands, TheDefaultPlayerOpensTheRowsFileAsOneArgument)
{
    FillRows({1});
    main->cGrid1->SetSelectedRow(1);
    const QString file = ProgramFolder() + "/my songs/a \"b\" & c.wav";
    main->cGrid1->SetCellText(1, kColFile, file);
    main->SetOnTop(true);
    RunKey("Open Default Player");
    EXPECT_EQ(shell->opened, QStringList{file});
    EXPECT_FALSE(OnTop());
}

TEST_F(MainCommands, OutsidePrograms)
{
    RunKey("Master Volume");
    EXPECT_EQ(shell->started, QStringList({"pavucontrol"}));
    RunKey("Support");
    RunKey("HelpTopic");
    EXPECT_EQ(shell->opened, QStringList({g_sAppSupportPage, ProgramFolder() + "/Help.html"}));
    // With no row there is no file for the system's player.
    RunKey("Open Default Player");
    EXPECT_EQ(shell->opened.size(), 2);
    FillRows({1});
    main->cGrid1->SetSelectedRow(1);
    RunKey("Open Default Player");
    EXPECT_EQ(shell->opened.last(), ProgramFolder() + "/1.wav");
}

TEST_F(MainCommands, MasterVolumeStartsTheFirstMixerInstalled)
{
    const struct {
        const char* name;
        QStringList missing;
        bool starts;
        QString started; // empty: a message says no volume control could be started
    } cases[] = {
        {"all installed", {}, true, "pavucontrol"},
        {"console mixer only", {"pavucontrol"}, true, "x-terminal-emulator -e alsamixer"},
        {"console mixer, plain terminal", {"pavucontrol", "x-terminal-emulator"}, true, "xterm -e alsamixer"},
        {"console mixer, no terminal", {"pavucontrol", "x-terminal-emulator", "xterm"}, true, ""},
        {"no mixer", {"pavucontrol", "alsamixer"}, true, ""},
        {"the mixer does not start", {}, false, ""},
    };
    for (const auto& c : cases) {
        shell->started.clear();
        msgBox->shown.clear();
        shell->missingPrograms = c.missing;
        shell->result = c.starts;
        if (c.started.isEmpty()) msgBox->Expect("No volume control could be started.");
        RunKey("Master Volume");
        if (c.starts) {
            EXPECT_EQ(shell->started, c.started.isEmpty() ? QStringList() : QStringList{c.started}) << c.name;
        }
        EXPECT_EQ(msgBox->shown.size(), c.started.isEmpty() ? 1u : 0u) << c.name;
    }
}

TEST_F(MainCommands, HelpTopicsOpensTheProgramsHelpPage)
{
    RunKey("HelpTopic");
    EXPECT_EQ(shell->opened, QStringList{ProgramFolder() + "/Help.html"});
    // An opener that cannot show it says so.
    shell->result = false;
    msgBox->Expect("Could not open " + ProgramFolder() + "/Help.html");
    RunKey("HelpTopic");
}

TEST_F(MainCommands, TheHelpPageLiesBesideTheProgramAndCoversItsTexts)
{
    QFile laidOut(QCoreApplication::applicationDirPath() + "/Help.html");
    ASSERT_TRUE(laidOut.open(QIODevice::ReadOnly)) << "the build lays the help page out beside the program";
    const QString page = QString::fromUtf8(laidOut.readAll());
    const QStringList texts = {
        // windows and items lists
        "Audio Converter", "Items List", ".flst", "Add Files", "Options",
        // file-name macros
        "[123]", "[file_name]", "[source_extension]", "[dest_extension]", "[convert_extension]", "[time]", "[date]",
        "[item_name]",
        // tag placeholders
        "[DATE]", "[TIME]", "[TRACK_NUM]", "[PROG_NAME]", "[PROG_VERSION]", "[SOURCE_NAME]", "[ITEM_NAME]", "[RANGE]",
        "[YEAR]",
        // the end-of-job program's placeholders
        "[FILE_RECORDED]", "[FILE_SIZE]", "[FILE_TIME_LENGTH]", "[FILE_CREATED]"};
    for (const QString& text : texts) EXPECT_TRUE(page.contains(text)) << text.toStdString();
}

// This edition has no lists tree: the help page names the commands that come
// with the tree only where it speaks of the editions that have it.
TEST_F(MainCommands, TheHelpPageKeepsTheListsTreeCommandsToTheEditionsWithTheTree)
{
    ASSERT_EQ(lAppIncListsTree, 0);
    QFile laidOut(QCoreApplication::applicationDirPath() + "/Help.html");
    ASSERT_TRUE(laidOut.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(laidOut.readAll());
    const qsizetype from = page.indexOf("id=\"tree-editions\"");
    ASSERT_GE(from, 0) << "a part on the editions with the tree";
    const qsizetype to = page.indexOf("<h2", from);
    const QString elsewhere = page.left(from) + page.mid(to);
    for (const char* command : {"New Items List", "Rename Items List", "Remove Items List", "Open Destination Folder"}) {
        EXPECT_TRUE(page.mid(from, to - from).contains(command)) << command;
        // "New Items List 1" is the name of the first list, not the command.
        EXPECT_FALSE(elsewhere.contains(QRegularExpression(QString(command) + "(?! \\d)"))) << command;
    }
    EXPECT_FALSE(page.contains("Lists menu"));
}

TEST_F(MainCommands, MinimizeAndKeysWithoutAnAction)
{
    main->Show();
    RunKey("Add Directories");
    EXPECT_EQ(dispatched, QStringList({"Add Directories"}));
    EXPECT_FALSE(main->isMinimized());
    RunKey("Minimize");
    EXPECT_TRUE(main->isMinimized());
    EXPECT_FALSE(main->IsInTray());
}

TEST_F(MainCommands, RefusalsOnACDNode)
{
    SelectCDNode();
    const struct {
        const char* key;
        QString message;
    } rows[] = {
        {"Add Files", "Adding new items to the Audio CD List is not possible." + QString(20, ' ')},
        {"Save As", "Nothing to save." + QString(20, ' ')},
        {"Remove Item", "Cannot remove items from Audio CD." + QString(20, ' ')},
        {"Clear the List", "Cannot remove items from Audio CD." + QString(20, ' ')},
    };
    for (const auto& r : rows) {
        msgBox->Expect(r.message);
        RunKey(r.key);
        ASSERT_FALSE(msgBox->shown.empty());
        EXPECT_EQ(msgBox->shown.back().text, r.message);
        EXPECT_EQ(msgBox->shown.back().flags, platform::vbInformation);
    }
    EXPECT_FALSE(main->tmrRemove->isActive());
    EXPECT_TRUE(dialogs->openRequests.empty());
    // New and Remove Items List do nothing on a drive.
    const int lists = main->g_nodMainItems->Child()->Count();
    RunKey("New Items List");
    RunKey("Remove Items List");
    EXPECT_EQ(main->g_nodMainItems->Child()->Count(), lists);
}

TEST_F(MainCommands, FreeDBWantsACDDrive)
{
    // Only the CD tools have the command.
    support::UnloadAllForms();
    lAppIncCDRipper = 1;
    main = LoadMain();
    main->SetOnTop(true);
    RunKey("FreeDB");
    EXPECT_FALSE(OnTop()) << "an empty list ends it silently, after dropping on-top";
    FillRows({1});
    msgBox->Expect("Select the CD drive");
    RunKey("FreeDB");
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, "Select the CD drive to get the information about." + QString(18, ' '));
}

TEST_F(MainCommands, RootNodeGuards)
{
    SelectItemsListsRoot();
    const int lists = main->g_nodMainItems->Child()->Count();
    for (const char* key :
         {"Add Files", "New Items List", "Rename Items List", "Items List Properties", "Remove Items List"})
        RunKey(key);
    EXPECT_TRUE(msgBox->shown.empty());
    EXPECT_TRUE(dialogs->openRequests.empty());
    EXPECT_EQ(main->g_nodMainItems->Child()->Count(), lists);
}

TEST_F(MainCommands, NoSelectedNode)
{
    main->cTreeView1->Nodes()->Clear();
    ASSERT_EQ(main->cTreeView1->SelectedItem(), nullptr);
    // The first test of "Add Files" cannot be made: its refusal is shown.
    msgBox->Expect("Adding new items");
    RunKey("Add Files");
    EXPECT_EQ(msgBox->shown.size(), 1u);
    RunKey("New Items List");
    EXPECT_TRUE(dialogs->openRequests.empty());
}

TEST_F(MainCommands, NewItemsListOnAList)
{
    const int lists = main->g_nodMainItems->Child()->Count();
    RunKey("New Items List");
    EXPECT_EQ(main->g_nodMainItems->Child()->Count(), lists + 1);
    EXPECT_EQ(main->cTreeView1->SelectedItem()->Text(), "New Items List " + QString::number(lists + 1));
    EXPECT_TRUE(main->cTreeView1->LabelEdit());
}

TEST_F(MainCommands, EmptyListCommandsDoNothing)
{
    const QByteArray listFile = ListFileBytes();
    for (const char* key : {"Save As", "Rename Item", "Remove Item", "Clear the List", "Move Up", "Move Down",
                            "Move To First", "Move To Last"}) {
        MarkInfoPanel();
        RunKey(key);
        EXPECT_TRUE(InfoPanelMarked()) << key << ": no refresh";
    }
    EXPECT_FALSE(main->tmrRemove->isActive());
    EXPECT_TRUE(dialogs->saveRequests.empty());
    EXPECT_TRUE(msgBox->shown.empty());
    EXPECT_TRUE(modal->shown.isEmpty());
    EXPECT_EQ(ListFileBytes(), listFile);
}

TEST_F(MainCommands, MarkUnmarkAllOnAnEmptyListStillSavesAndRefreshes)
{
    ASSERT_EQ(ListFileBytes(), QByteArray());
    MarkInfoPanel();
    RunKey("MarkUnmark All");
    EXPECT_EQ(ListFileBytes(), QByteArray("\r\n"));
    EXPECT_FALSE(InfoPanelMarked());
}

TEST_F(MainCommands, NewItemsListTakesTheFirstFreeNumber)
{
    QFile third(main->ListsFolder() + "New Items List 3.flst");
    ASSERT_TRUE(third.open(QIODevice::WriteOnly));
    third.close();
    RunKey("New Items List");
    EXPECT_EQ(main->cTreeView1->SelectedItem()->Text(), "New Items List 2");
    EXPECT_TRUE(QFile::exists(main->ListsFolder() + "New Items List 2.flst"));
}

TEST_F(MainCommands, Moves)
{
    const struct {
        const char* key;
        int rows, selected;
        QStringList names;
        int selectedAfter;
    } cases[] = {
        {"Move Up", 3, 2, {"2", "1", "3"}, 1},
        {"Move Up", 3, 1, {"1", "2", "3"}, 1},
        {"Move Down", 3, 2, {"1", "3", "2"}, 3},
        {"Move Down", 3, 3, {"1", "2", "3"}, 3},
        {"Move To First", 8, 5, {"5", "2", "3", "4", "1", "6", "7", "8"}, 1},
        {"Move To First", 3, 1, {"1", "2", "3"}, 1},
        {"Move To Last", 4, 2, {"1", "4", "3", "2"}, 4},
        {"Move To Last", 4, 4, {"1", "2", "3", "4"}, 4},
    };
    for (const auto& c : cases) {
        main->cGrid1->Clear();
        FillRows(QList<int>(c.rows, 1));
        main->cGrid1->SetSelectedRow(c.selected);
        RunKey(c.key);
        EXPECT_EQ(Names(), c.names) << c.key << " " << c.selected;
        EXPECT_EQ(main->cGrid1->SelectedRow(), c.selectedAfter) << c.key << " " << c.selected;
    }
}

TEST_F(MainCommands, MarkUnmarkAll)
{
    FillRows({0, 1, 0});
    RunKey("MarkUnmark All");
    EXPECT_EQ(Marks(), QList<int>({0, 0, 0}));
    RunKey("MarkUnmark All");
    EXPECT_EQ(Marks(), QList<int>({1, 1, 1}));
}

TEST_F(MainCommands, RemovalsRunFromTheTimer)
{
    FillRows({1, 1});
    for (const char* key : {"Remove Item", "Remove"}) {
        RunKey(key);
        EXPECT_EQ(main->m_sRemoveMode, "Item") << key;
        EXPECT_TRUE(main->tmrRemove->isActive()) << key;
        main->tmrRemove->stop();
        main->m_sRemoveMode.clear();
    }
    RunKey("Clear the List");
    EXPECT_EQ(main->m_sRemoveMode, "All");
    EXPECT_TRUE(main->tmrRemove->isActive());
    main->tmrRemove->stop();
}

TEST_F(MainCommands, SaveAsOffersTheTypeOfTheRowsFile)
{
    const struct {
        const char* file;
        QString extension;
    } cases[] = {
        {"/music.d/song.ogg", "ogg"},
        {"/music.d/no dot", ""},
    };
    for (const auto& c : cases) {
        main->cGrid1->Clear();
        FillRows({1});
        main->cGrid1->SetSelectedRow(1);
        main->cGrid1->SetCellText(1, kColItemName, "My Song");
        main->cGrid1->SetCellText(1, kColFile, ProgramFolder() + c.file);
        dialogs->saveRequests.clear();
        dialogs->ExpectSave("");
        RunKey("Save As");
        ASSERT_EQ(dialogs->saveRequests.size(), 1u);
        EXPECT_EQ(dialogs->saveRequests[0].title, "Save As");
        EXPECT_EQ(dialogs->saveRequests[0].fileName, "My Song");
        EXPECT_EQ(dialogs->saveRequests[0].defaultSuffix, c.extension);
        EXPECT_EQ(g_OFN.lpstrFilter,
                  "Audio Files (*." + c.extension + ")" + QChar(0) + "*." + c.extension + QChar(0));
        EXPECT_FALSE(g_frmFileCopy.IsLoaded()) << "cancelled: nothing is copied";
    }
}

TEST_F(MainCommands, SaveAsRefusesTheItemsOwnFile)
{
    FillRows({1});
    main->cGrid1->SetSelectedRow(1);
    const QString source = ProgramFolder() + "/1.wav";
    QFile f(source);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RIFF-data");
    f.close();
    for (const QString& target : {source, ProgramFolder() + "/./1.wav"}) {
        dialogs->ExpectSave(target);
        msgBox->Expect("The item cannot be saved over its own file");
        MarkInfoPanel();
        RunKey("Save As");
        EXPECT_TRUE(InfoPanelMarked());
        EXPECT_FALSE(g_frmFileCopy.IsLoaded());
    }
    EXPECT_EQ(msgBox->shown.size(), 2u);
    EXPECT_TRUE(modal->shown.isEmpty());
    QFile kept(source);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("RIFF-data"));
}

TEST_F(MainCommands, SaveAsCopiesTheRowsFile)
{
    FillRows({1});
    main->cGrid1->SetSelectedRow(1);
    const QString source = ProgramFolder() + "/1.wav";
    QFile f(source);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RIFF-data");
    f.close();
    const QString target = ProgramFolder() + "/copy.wav";
    dialogs->ExpectSave(target);
    modal->hook = [](QWidget* w) {
        // The copy runs from the window's own timer, then the window closes itself.
        for (int i = 0; i < 200 && w->isVisible(); ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
    };
    RunKey("Save As");
    EXPECT_TRUE(QFile::exists(target));
}

TEST_F(MainCommands, OpenDestinationFolderOpensARealFolder)
{
    // A list elsewhere: the folder that holds its file.
    const QString elsewhere = ProgramFolder() + "/other/";
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    cTreeNode* list = main->g_nodMainItems->Child()->Add(main->g_nodMainItems, 4, elsewhere + "X.flst", "X");
    ASSERT_NE(list, nullptr);
    const std::pair<cTreeNode*, QString> cases[] = {
        {list, elsewhere},
        {main->g_nodMainItems, main->ListsFolder()},
        {main->cTreeView1->Nodes()->Add(nullptr, 0, "##CDD: /dev/sr0", "D:"), main->ListsFolder()},
    };
    for (const auto& [node, folder] : cases) {
        node->SetSelected(true);
        shell->opened.clear();
        RunKey("Open Destination Folder");
        EXPECT_EQ(shell->opened, QStringList{folder}) << node->Key().toStdString();
    }
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(MainCommands, SplitterDropOnTheGridSide)
{
    lAppIncListsTree = 1;
    support::UnloadAllForms();
    main = LoadMain();
    ASSERT_TRUE(main->Panes().treeVisible);
    ASSERT_EQ(main->Panes().cTreeView1.Width, 2535);
    main->cGrid1_DragDrop(nullptr, 300, 0);
    EXPECT_EQ(main->Panes().cTreeView1.Width, 120 + 300 + 2535 - 60);
    main->cGrid1_DragDrop(nullptr, -5000, 0);
    EXPECT_EQ(main->Panes().cTreeView1.Width, 1000);
}

TEST_F(MainCommands, ViewSettingsAreAppliedByTheLayout)
{
    main->Show();
    g_bDisplayTitle = false;
    g_bDisplayPlayer = false;
    main->ApplyViewOptions();
    EXPECT_FALSE(main->picTitle->isVisible());
    EXPECT_FALSE(main->picPlayer->isVisible());
    EXPECT_FALSE(main->cGridInfo->isVisible());
    g_bDisplayTitle = true;
    g_bDisplayPlayer = true;
    main->ApplyViewOptions();
    EXPECT_TRUE(main->picTitle->isVisible());
    EXPECT_TRUE(main->picPlayer->isVisible());
}

TEST_F(MainCommands, TheItemsGridAndTheInfoPanelFillTheirWidth)
{
    main->Show();
    FillRows({1});
    const QString longName = "A long item name that the info panel's value column would cut.wav";
    main->cGrid1->CellDetails(1, kColItemName, longName);
    main->cGrid1->SetSelectedRow(1);
    main->GetFileInfoToGridInfo();
    QCoreApplication::processEvents();
    for (cGrid* grid : {main->cGrid1, main->cGridInfo}) {
        QTableView* view = grid->View();
        int total = 0, lastShown = -1;
        for (int i = 0; i < grid->Columns(); ++i)
            if (!view->isColumnHidden(i)) total += view->columnWidth(lastShown = i);
        EXPECT_EQ(total, view->viewport()->width()) << grid->objectName().toStdString();
        EXPECT_GT(view->columnWidth(lastShown), grid->ColumnWidth(lastShown + 1)) << grid->objectName().toStdString();
    }
}

} // namespace
