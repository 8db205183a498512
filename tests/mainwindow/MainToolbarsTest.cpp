// The toolbars' buttons and hosts, the status panels, and every button and
// panel reaching the dispatcher.
#include "MainWindowFixture.h"

#include "controls/widgets/AudioGraph.h"
#include "platform/MessageBox.h"

#include <QAction>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QToolButton>

namespace {

class MainToolbars : public MainWindowFixture {
protected:
    // "key|caption|tip|icon|style" of every button, separators as "-".
    static QStringList Buttons(cToolbar* bar)
    {
        QStringList buttons;
        for (int i = 0; i < bar->ButtonCount(); ++i) {
            if (!bar->ButtonWidget(i)) {
                buttons << "-";
                continue;
            }
            buttons << QString("%1|%2|%3|%4").arg(bar->ButtonKey(i), bar->ButtonCaption(i), bar->ButtonToolTip(i),
                                                  QString::number(IconOf(bar, bar->ButtonWidget(i)->icon())));
        }
        return buttons;
    }
    // A button's icon is the image list's own icon, shared: known by its cache key.
    static int IconOf(cToolbar* bar, const QIcon& icon)
    {
        for (int i = 0; i < bar->ImageList()->Count(); ++i)
            if (!bar->ImageList()->Icon(i).isNull() && bar->ImageList()->Icon(i).cacheKey() == icon.cacheKey()) return i;
        return -1;
    }
    static int ButtonIcon(cToolbar* bar, int index) { return IconOf(bar, bar->ButtonWidget(index)->icon()); }
    static void Click(cToolbar* bar, const QString& key) { bar->ButtonWidget(bar->ButtonIndex(key))->click(); }
};

TEST_F(MainToolbars, ToolsToolbarAndItsHostPerEdition)
{
    const struct {
        const char* edition;
        std::function<void()> flags;
        QStringList keys;
        int hostWidth;
    } cases[] = {
        {"this edition", [] {}, {"Audio Converter", "ACM Converter", "-", "Audio Analyser", "Audio Recorder"},
         1575 + 4 * 1000 + 100},
        {"no tools", [] { SetAllToolFlags(0); }, {}, 1575},
        {"joiner only", [] { SetAllToolFlags(0); lAppIncJoin = 1; }, {"-", "Audio Joiner"}, 1575 + 2000},
        {"all tools", [] { SetAllToolFlags(1); },
         {"Audio Converter", "ACM Converter", "-", "Audio Joiner", "Audio Splitter", "-", "Audio Analyser",
          "Audio Recorder", "-", "Audio CD Ripper", "Audio CD Maker", "Audio CD Duplicator", "-", "MP3 CD Maker",
          "WMA CD Maker", "Text To Speech"},
         1575 + 14 * 1000 + 2 * 100},
    };
    for (const auto& c : cases) {
        SetEditionModes();
        c.flags();
        CfrmMain* main = LoadMain();
        QStringList keys;
        for (int i = 0; i < main->tlbrRecorder->ButtonCount(); ++i)
            keys << (main->tlbrRecorder->ButtonWidget(i) ? main->tlbrRecorder->ButtonKey(i) : "-");
        EXPECT_EQ(keys, c.keys) << c.edition;
        EXPECT_EQ(main->Panes().cToolbarHostRecorder.Width, c.hostWidth) << c.edition;
        EXPECT_EQ(main->cToolbarHostRecorder->Captured(), main->tlbrRecorder);
        support::UnloadAllForms();
    }
}

// With every tool on, a window 1000 pixels wide or narrower cannot show all
// the tools' buttons (how many fit depends on the font): the bar ends at its
// frame's edge, and the buttons past it are in the bar's overflow menu, each
// acting from there as its button does.
TEST_F(MainToolbars, EveryToolsButtonStaysReachableInANarrowWindow)
{
    modal->hook = [](QWidget* shown) { shown->close(); };
    SetAllToolFlags(1);
    CfrmMain* main = LoadMain();
    main->Show();
    cToolbar* bar = main->tlbrRecorder;
    QWidget* frame = main->cToolbarHostRecorder->parentWidget();
    QToolButton* more = bar->OverflowButton();
    ASSERT_NE(more, nullptr);
    // Shown whole, inside the frame that clips the bar.
    auto wholeInFrame = [frame](QWidget* w) {
        return w->isVisible() && frame->rect().contains(QRect(w->mapTo(frame, QPoint(0, 0)), w->size()));
    };
    QStringList everyCaption;
    for (int i = 0; i < bar->ButtonCount(); ++i)
        if (bar->ButtonWidget(i)) everyCaption << bar->ButtonCaption(i);
    // The captions shown whole on the bar, then those in the overflow menu.
    auto reachable = [&](QMap<QString, QAction*>* menuItems) {
        QStringList captions;
        for (int i = 0; i < bar->ButtonCount(); ++i)
            if (QToolButton* button = bar->ButtonWidget(i); button && wholeInFrame(button)) captions << bar->ButtonCaption(i);
        if (!more->isVisible()) return captions;
        EXPECT_TRUE(wholeInFrame(more) && more->isEnabled()) << "the overflow arrow shows at the bar's end";
        for (QAction* action : more->menu() ? more->menu()->actions() : QList<QAction*>()) {
            if (action->isSeparator()) continue;
            captions << action->text();
            menuItems->insert(action->text(), action);
        }
        return captions;
    };
    for (int width : {1000, 800, 640}) {
        main->resize(width, 700);
        ProcessEvents();
        QMap<QString, QAction*> menuItems;
        EXPECT_EQ(reachable(&menuItems), everyCaption) << width;
        if (width != 640) continue;
        ASSERT_TRUE(menuItems.contains("TTS")) << "at 640 pixels the last buttons are in the menu";
        dispatched.clear();
        menuItems["TTS"]->trigger();
        ProcessEvents();
        EXPECT_EQ(dispatched.value(0), "Text To Speech");
    }

    // A window wide enough shows every button on the bar.
    main->resize(1600, 700);
    ProcessEvents();
    for (int i = 0; i < bar->ButtonCount(); ++i) {
        if (QToolButton* button = bar->ButtonWidget(i)) {
            EXPECT_TRUE(wholeInFrame(button)) << bar->ButtonCaption(i).toStdString();
        }
    }
    EXPECT_FALSE(more->isVisible());
}

TEST_F(MainToolbars, ToolsButtonsCarryTheirCaptionsAndIcons)
{
    SetAllToolFlags(1);
    CfrmMain* main = LoadMain();
    cToolbar* bar = main->tlbrRecorder;
    const struct {
        const char* key;
        const char* caption;
        int icon;
    } rows[] = {{"Audio Converter", "Convert", 19}, {"ACM Converter", "Convert", 21}, {"Audio Joiner", "Join", 23},
                {"Audio Splitter", "Splitter", 22}, {"Audio Analyser", "Analyser", 20}, {"Audio Recorder", "Recorder", 24},
                {"Audio CD Ripper", "CD Ripper", 25}, {"Audio CD Maker", "CD Burner", 27},
                {"Audio CD Duplicator", "CD Duplicator", 29}, {"MP3 CD Maker", "Burn MP3", 26},
                {"WMA CD Maker", "Burn WMA", 26}, {"Text To Speech", "TTS", 28}};
    for (const auto& r : rows) {
        const int i = bar->ButtonIndex(r.key);
        ASSERT_GE(i, 0) << r.key;
        EXPECT_EQ(bar->ButtonCaption(i), r.caption);
        EXPECT_EQ(bar->ButtonToolTip(i), r.key);
        EXPECT_EQ(ButtonIcon(bar, i), r.icon) << r.key;
    }
}

TEST_F(MainToolbars, MainToolbarPerEditionAndMainTool)
{
    const QStringList tail = {"Tools|Tools|Tools|19", "-", "Options|Options|Options|9", "-", "Mode|Mode|Modes|45",
                              "Help|Help|Help|12"};
    const QString add = "Add|  Add File(s)  |Add Files(s) to The Items List|2";
    const QString itemsList = "Items List|Items List|Items List|39";
    const struct {
        const char* edition;
        std::function<void()> flags;
        QStringList buttons;
    } cases[] = {
        {"this edition", [] {}, QStringList{add, "-", itemsList, "-", "Audio Converter|Convert|Audio Converter|7"} + tail},
        {"no items lists", [] { lAppIncItemsLists = 0; },
         QStringList{itemsList, "-", "Audio Converter|Convert|Audio Converter|7"} + tail},
        {"no main tool", [] { g_sAppMainTool = "lAppIncNothing"; }, QStringList{add, "-", itemsList, "-"} + tail},
        {"recorder edition", [] { g_sAppMainTool = "lAppIncMicRec"; },
         QStringList{add, "-", itemsList, "-", "Audio Recorder|Recorder|Audio Recorder|70"} + tail},
        {"speech edition", [] { g_sAppMainTool = "lAppIncTTS"; },
         QStringList{add, "-", itemsList, "-", "Text To Speech|TTS|Text To Speech|82"} + tail},
    };
    for (const auto& c : cases) {
        SetEditionModes();
        c.flags();
        CfrmMain* main = LoadMain();
        EXPECT_EQ(Buttons(main->tlbrTop), c.buttons) << c.edition;
        EXPECT_EQ(main->cToolbarHost1->Captured(), main->tlbrTop);
        EXPECT_EQ(main->Panes().cToolbarHost1.Height, 740);
        support::UnloadAllForms();
    }
}

TEST_F(MainToolbars, ListsItemsAndPlayerToolbars)
{
    CfrmMain* main = LoadMain();
    EXPECT_EQ(Buttons(main->tlbrProjects),
              QStringList({"New Items List||New Items List|48", "Rename Items List||Rename Items List|49",
                           "Remove Items List||Remove Items List|50", "-",
                           "Items List Properties||Items List Properties|51"}));
    EXPECT_EQ(main->tlbrProjectsHost->Captured(), main->tlbrProjects);
    const QStringList items = {"MarkUnmark All||Mark/Unmark All|74", "-", "Move Up||Move Item Up|0",
                               "Move Down||Move Item Down|1", "-", "Move To First||Move Item To First|80",
                               "Move To Last||Move Item To Last|81", "-", "Rename Item||Edit Item|32", "-",
                               "Save As||Save Item As|5", "-", "Remove Item||Remove Item|3",
                               "Clear the List||Remove All|27"};
    EXPECT_EQ(Buttons(main->tlbrList), QStringList({"Add Files||Add File(s)|2", "-"}) + items);
    EXPECT_TRUE(main->tlbrList->Wrappable());
    ASSERT_EQ(main->rbrList->BandCount(), 1);
    EXPECT_EQ(main->rbrList->BandKey(0), "Toolbar1");
    EXPECT_EQ(main->rbrList->BandChild(0), main->tlbrList);
    EXPECT_EQ(main->rbrList->parentWidget(), main->picList);
    EXPECT_EQ(main->rbrList->ImageSource(), 1);
    EXPECT_EQ(Buttons(main->tlbrPlayButtons), QStringList({"Play||Play|0", "Pause||Pause|1", "Stop||Stop|2"}));
    EXPECT_EQ(main->tlbrPlayButtons->ImageList(), main->imgPlayer);
    EXPECT_TRUE(main->tlbrPlayButtons->ButtonWidget(1)->isCheckable());
    EXPECT_EQ(main->cToolbarHostPlayer->Captured(), main->tlbrPlayButtons);
    EXPECT_EQ(main->Panes().cToolbarHostPlayer.Height, 500);
    support::UnloadAllForms();

    // Without items lists the items toolbar starts with Mark/Unmark; the CD tools add FreeDB.
    lAppIncItemsLists = 0;
    lAppIncCDRipper = 1;
    main = LoadMain();
    EXPECT_EQ(Buttons(main->tlbrList),
              items + QStringList({"-", "FreeDB||Get FreeDB Information About CD|22"}));
}

TEST_F(MainToolbars, NoSkinPictureWritesNoToolbarBitmap)
{
    CfrmMain* main = LoadMain();
    EXPECT_FALSE(QFile::exists(ProgramFolder() + "/tbbg.bmp"));
    EXPECT_TRUE(main->cToolbarHost1->BackgroundPictureFile().isEmpty());
}

TEST_F(MainToolbars, ASkinToolbarPictureIsWrittenAndDrawnBehindBothHosts)
{
    QDir(ProgramFolder()).mkpath("View");
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(ProgramFolder() + "/View/bar.png"));
    g_sAppToolbarPicture = "bar.png";
    CfrmMain* main = LoadMain();
    const QString bitmap = ProgramFolder() + "/tbbg.bmp";
    EXPECT_TRUE(QFile::exists(bitmap));
    EXPECT_EQ(QImage(bitmap).size(), QSize(40, 20));
    EXPECT_EQ(main->cToolbarHost1->BackgroundPictureFile(), bitmap);
    EXPECT_EQ(main->tlbrProjectsHost->BackgroundPictureFile(), bitmap);
}

TEST_F(MainToolbars, StatusPanels)
{
    CfrmMain* main = LoadMain();
    cStatusBar* bar = main->cStatusBar1;
    ASSERT_EQ(bar->PanelCount(), 4);
    const struct {
        const char* key;
        QString text;
        QString tip;
        int icon;
    } panels[] = {{"Main", "Ready.", "", 47},
                  {"Items List Properties", bar->PanelText(2), "", -1},
                  {"Notes", "Notes [ Empty ]", "Notes", 8},
                  {"Master Volume", "Master Volume", "", 79}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bar->PanelKey(i + 1), panels[i].key);
        EXPECT_EQ(bar->PanelText(i + 1), panels[i].text) << panels[i].key;
        EXPECT_EQ(bar->PanelToolTip(i + 1), panels[i].tip) << panels[i].key;
        EXPECT_EQ(bar->PanelIcon(i + 1), panels[i].icon) << panels[i].key;
    }
    main->SetStatusPanelText("Notes", "Notes [ x ]");
    EXPECT_EQ(bar->PanelText("Notes"), "Notes [ x ]");
    EXPECT_EQ(main->StatusPanelText("Notes"), "Notes [ x ]");
}

// Answers every message with OK and cancels every dialog: the commands behind
// the buttons may refuse or ask, as their own tests show.
struct AnswerAll : platform::MessageBoxService {
    int Show(const QString&, int, const QString&) override { return platform::vbOK; }
};
struct CancelAll : platform::DialogService {
    QStringList OpenFiles(const platform::FileDialogRequest&) override { return {}; }
    QString SaveFile(const platform::FileDialogRequest&) override { return {}; }
    std::optional<QColor> PickColor(platform::ColorRequest&) override { return std::nullopt; }
    QString PickFolder(const platform::FolderRequest&) override { return {}; }
};

TEST_F(MainToolbars, EveryButtonAndPanelReachesTheDispatcherWithItsKey)
{
    platform::SetMessageBoxService(std::make_unique<AnswerAll>());
    platform::SetDialogService(std::make_unique<CancelAll>());
    msgBox = nullptr;
    dialogs = nullptr;
    modal->hook = [](QWidget* shown) { shown->close(); };
    SetAllToolFlags(1);
    CfrmMain* main = LoadMain();
    // The key each button hands over: its own, but "Add" as "Add Files".
    auto expectedKey = [](const QString& key) { return key == "Add" ? QString("Add Files") : key; };
    const QStringList dropDowns = {"Items List", "Tools", "Options", "Mode", "Help"};
    for (cToolbar* bar : {main->tlbrTop, main->tlbrProjects, main->tlbrList, main->tlbrRecorder}) {
        for (int i = 0; i < bar->ButtonCount(); ++i) {
            const QString key = bar->ButtonKey(i);
            if (!bar->ButtonWidget(i) || dropDowns.contains(key)) continue;
            // A button that opened a list lets the next one wait for it.
            WaitForOpenList();
            dispatched.clear();
            bar->ButtonWidget(i)->click();
            ProcessEvents();
            ASSERT_FALSE(dispatched.isEmpty()) << key.toStdString();
            EXPECT_EQ(dispatched.first(), expectedKey(key));
        }
    }

    dispatched.clear();
    for (int panel = 1; panel <= 4; ++panel) emit main->cStatusBar1->PanelClick(panel);
    // "Main" names no command: the dispatcher gets no item.
    EXPECT_EQ(dispatched, QStringList({"Items List Properties", "Notes", "Master Volume"}));
    EXPECT_EQ(shell->started, QStringList({"pavucontrol"}));
}

TEST_F(MainToolbars, DropDownButtonsOpenTheirMenus)
{
    CfrmMain* main = LoadMain();
    const struct {
        const char* button;
        const char* firstItem;
    } rows[] = {{"Items List", "Mark/Unmark All"}, {"Tools", "Audio Converter"}, {"Options", "General"},
                {"Mode", "Transparent"}, {"Help", "Help Topics"}};
    for (const auto& r : rows) {
        for (bool arrow : {false, true}) {
            const int index = main->tlbrTop->ButtonIndex(r.button);
            if (arrow) main->tlbrTop_ButtonDropDown(index);
            else main->tlbrTop_ButtonClick(index);
            QMenu* popup = main->m_cMenu->LastPopup();
            ASSERT_NE(popup, nullptr);
            QString first;
            for (QAction* a : popup->actions())
                if (!a->isSeparator() && first.isEmpty()) first = a->text().trimmed();
            EXPECT_EQ(first, r.firstItem) << r.button;
            popup->close();
        }
    }
    EXPECT_TRUE(dispatched.isEmpty());
}

TEST_F(MainToolbars, CommandButtonsFirstDropAlwaysOnTop)
{
    CfrmMain* main = LoadMain();
    for (cToolbar* bar : {main->tlbrTop, main->tlbrProjects, main->tlbrList}) {
        main->SetOnTop(true);
        ASSERT_TRUE(Checked("On Top"));
        // The body of a drop-down button is a click too.
        if (bar == main->tlbrTop) Click(bar, "Help");
        else if (bar == main->tlbrProjects) Click(bar, "Items List Properties");
        else Click(bar, "Move Up");
        EXPECT_FALSE(main->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_FALSE(Checked("On Top"));
    }
    main->m_cMenu->LastPopup()->close();
    // The tools toolbar leaves it as it is.
    main->SetOnTop(true);
    bool onTopMeanwhile = false;
    modal->hook = [&](QWidget* shown) {
        onTopMeanwhile = main->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        shown->close();
    };
    Click(main->tlbrRecorder, "Audio Recorder");
    EXPECT_TRUE(onTopMeanwhile);
    EXPECT_TRUE(main->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

// The Mode button's menu, as the user opens it: each item's check mark, and a pick.
class ModeMenu : public MainToolbars {
protected:
    QAction* Item(const QString& text)
    {
        Click(main->tlbrTop, "Mode");
        QMenu* popup = main->m_cMenu->LastPopup();
        for (QAction* a : popup ? popup->actions() : QList<QAction*>())
            if (a->text().trimmed() == text) return a;
        ADD_FAILURE() << "no item " << text.toStdString();
        return nullptr;
    }
    bool Shown(const QString& text)
    {
        QAction* item = Item(text);
        const bool checked = item && item->isChecked();
        main->m_cMenu->LastPopup()->close();
        return checked;
    }
    void Pick(const QString& text)
    {
        if (QAction* item = Item(text)) item->trigger();
        ProcessEvents();
        main->m_cMenu->LastPopup()->close();
    }
    bool OnTop() const { return main->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
    bool Transparent() const { return main->windowOpacity() < 1.0; }

    void SetUp() override
    {
        MainToolbars::SetUp();
        main = LoadMain();
    }
    CfrmMain* main = nullptr;
};

TEST_F(ModeMenu, ItsChecksFollowTheWindowAndItsItemsKeepEachOther)
{
    const struct {
        const char* pick;
        bool onTop, transparent;
    } steps[] = {
        {"On Top", true, false},     {"Transparent", true, true}, {"Transparent", true, false},
        {"On Top", false, false},    {"Transparent", false, true}, {"On Top", true, true},
        {"On Top", false, true},
    };
    for (const auto& step : steps) {
        Pick(step.pick);
        EXPECT_EQ(OnTop(), step.onTop) << "after " << step.pick;
        EXPECT_EQ(Transparent(), step.transparent) << "after " << step.pick;
        EXPECT_EQ(Shown("On Top"), step.onTop) << "after " << step.pick;
        EXPECT_EQ(Shown("Transparent"), step.transparent) << "after " << step.pick;
    }
}

TEST_F(MainToolbars, PauseWhileNothingPlaysComesUpAgain)
{
    CfrmMain* main = LoadMain();
    Click(main->tlbrPlayButtons, "Pause");
    EXPECT_FALSE(main->tlbrPlayButtons->ButtonChecked("Pause"));
    main->tlbrPlayButtons->SetButtonChecked("Pause", true);
    main->tlbrPlayButtons->SetButtonEnabled("Play", false);
    // Stop, from the player bar and from the tools toolbar's route, goes
    // through the one Stop command.
    Click(main->tlbrPlayButtons, "Stop");
    main->tlbrRecorder_ButtonClick(main->tlbrRecorder->ButtonIndex("Stop"));
    EXPECT_TRUE(dispatched.isEmpty());
}

TEST_F(MainToolbars, StopPlayReenablesPlayAndClearsPause)
{
    CfrmMain* main = LoadMain();
    main->tlbrPlayButtons->SetButtonChecked("Pause", true);
    main->tlbrPlayButtons->SetButtonEnabled("Play", false);
    main->StopPlay();
    EXPECT_FALSE(main->tlbrPlayButtons->ButtonChecked("Pause"));
    EXPECT_TRUE(main->tlbrPlayButtons->ButtonEnabled("Play"));
}

} // namespace
