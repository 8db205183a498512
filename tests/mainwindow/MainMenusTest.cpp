// The menu tree per edition, the menu bar, and menu picks reaching the dispatcher.
#include "MainWindowFixture.h"

#include <QAction>
#include <QMenuBar>

namespace {

class MainMenus : public MainWindowFixture {
protected:
    // "caption|key" of each item of a menu, in order.
    QStringList Items(const QString& menuKey)
    {
        cFormMenu* menu = frmMain->m_cMenu;
        QStringList items;
        for (int i : menu->Children(menu->IndexForKey(menuKey))) items << menu->Caption(i) + "|" + menu->ItemKey(i);
        return items;
    }
};

const QString kSep = "-|mnuFile(4)";

TEST_F(MainMenus, ToolsMenuPerEdition)
{
    const struct {
        const char* edition;
        std::function<void()> flags;
        QStringList items;
    } cases[] = {
        {"this edition", [] {},
         {kSep, "Audio Converter|Audio Converter", "ACM Converter|ACM Converter", kSep,
          "Audio Analyser|Audio Analyser", "Audio Recorder|Audio Recorder", kSep, kSep,
          "Master Volume|Master Volume", kSep, "Notes|Notes"}},
        {"all flags off", [] { SetAllToolFlags(0); }, {kSep, kSep, "Master Volume|Master Volume", kSep, "Notes|Notes"}},
        {"all flags on", [] { SetAllToolFlags(1); },
         {kSep, "Audio Converter|Audio Converter", "ACM Converter|ACM Converter", kSep, "Audio Joiner|Audio Joiner",
          "Audio Splitter|Audio Splitter", kSep, "Audio Analyser|Audio Analyser", "Audio Recorder|Audio Recorder",
          kSep, "Audio CD Duplicator|Audio CD Duplicator", "Audio CD Maker|Audio CD Maker",
          "Audio CD Ripper|Audio CD Ripper", kSep, "MP3 CD Maker|MP3 CD Maker", "WMA CD Maker|WMA CD Maker", kSep,
          "MP3 Tags Editor|MP3 Tags Editor", kSep, "Text To Speech|Text To Speech", kSep,
          "Master Volume|Master Volume", kSep, "Notes|Notes"}},
        // The duplicator's group has no separator of its own.
        {"duplicator only", [] { SetAllToolFlags(0); lAppIncCDDuplicator = 1; },
         {"Audio CD Duplicator|Audio CD Duplicator", kSep, kSep, "Master Volume|Master Volume", kSep, "Notes|Notes"}},
    };
    for (const auto& c : cases) {
        SetEditionModes();
        c.flags();
        LoadMain();
        EXPECT_EQ(Items("Tools"), c.items) << c.edition;
        support::UnloadAllForms();
    }
}

TEST_F(MainMenus, ItemsMenuPerEdition)
{
    const QStringList common = {"Mark/Unmark All|MarkUnmark All", "-|st1", "Move Up|Move Up", "Move Down|Move Down",
                                "-|st1", "Move To First|Move To First", "Move To Last|Move To Last", "-|st1",
                                "Edit|Rename Item", "Save As...|Save As", "-|st1"};
    LoadMain();
    const QStringList withEditor = common + QStringList({"Audio Analyser|Audio Analyser", "-|st1",
                                                         "Remove Item|Remove Item", "-|ClearLine",
                                                         "Remove All|Clear the List"});
    EXPECT_EQ(Items("mnuFilesList"), withEditor);
    support::UnloadAllForms();

    SetAllToolFlags(0);
    lAppIncCDRipper = 1;
    LoadMain();
    const QStringList withRipper = common + QStringList({"Remove Item|Remove Item", "-|ClearLine",
                                                         "Remove All|Clear the List", "-|st1", "FreeDB|FreeDB"});
    EXPECT_EQ(Items("mnuFilesList"), withRipper);
}

TEST_F(MainMenus, FixedMenusWithTheirCaptions)
{
    CfrmMain* main = LoadMain();
    EXPECT_EQ(Items("mnuFileTop"), QStringList({"Remove|Remove", kSep, "Exit|Exit"}));
    EXPECT_TRUE(Items("mnuEditTop").isEmpty());
    EXPECT_TRUE(Items("mnuOptionsTop").isEmpty());
    EXPECT_EQ(Items("Mode"), QStringList({"Transparent|Transparent", "On Top|On Top", kSep, "Minimize|Minimize",
                                          "Go to SysTray|GoSysTray", kSep, "Exit|Exit"}));
    EXPECT_EQ(Items("Options"),
              QStringList({"General" + QString(21, ' ') + "|General", "-|Options Line1", "Events|Events", "View|View",
                           "-|Options Line2", "ID3 Tags|ID3 Tags", "-|Options Line2", "Advanced|Advanced"}));
    EXPECT_EQ(Items("Help"), QStringList({"Help Topics" + QString(5, ' ') + "|HelpTopic", "Support|Support", kSep,
                                          "About|About"}));
    EXPECT_EQ(Items("mnuSysTry"), QStringList({"Exit" + QString(22, ' ') + "|RC Exit", "-|st1", "Hide|RC Open"}));
    EXPECT_EQ(Items("Player"), QStringList({"System Player|Open Default Player"}));
    EXPECT_EQ(Items("mnuProjects"),
              QStringList({"New Items List|New Items List", "Rename Items List|Rename Items List",
                           "Remove Items List|Remove Items List", "-|st4",
                           "Items List Properties|Items List Properties",
                           "Open Destination Folder|Open Destination Folder"}));
    EXPECT_EQ(Items("mnuAdd"), QStringList({"Add Files|Add Files", "-|st1", "Add Directories|Add Directories"}));

    cFormMenu* menu = main->m_cMenu;
    EXPECT_EQ(menu->IconIndex(menu->IndexForKey("Audio Converter")), 60);
    EXPECT_EQ(menu->IconIndex(menu->IndexForKey("GoSysTray")), 77);
    EXPECT_EQ(menu->IconIndex(menu->IndexForKey("RC Exit")), 27);
    EXPECT_EQ(menu->IconIndex(menu->IndexForKey("RC Open")), -1);
    EXPECT_TRUE(menu->Active());
}

TEST_F(MainMenus, TheMenuBarShowsOnlyTheVisibleTopMenus)
{
    CfrmMain* main = LoadMain();
    cFormMenu* menu = main->m_cMenu;
    QStringList tops;
    for (int i : menu->Children(0))
        if (menu->Visible(i)) tops << menu->Caption(i);
    EXPECT_EQ(tops, QStringList({"File", "Edit", "Tools", "Options", "Mode"}));

    ASSERT_NE(menu->MenuBar(), nullptr);
    QStringList bar;
    for (QAction* a : menu->MenuBar()->actions()) bar << a->text();
    EXPECT_EQ(bar, tops);
    EXPECT_EQ(menu->MenuBar()->parentWidget(), main);
    EXPECT_GT(menu->MenuBarHeight(), 0);
}

TEST_F(MainMenus, EveryMenuItemReachesTheDispatcherWithItsKey)
{
    CfrmMain* main = LoadMain();
    cFormMenu* menu = main->m_cMenu;
    // The picks are recorded here instead of run.
    QObject::disconnect(menu, &cFormMenu::Click, main, nullptr);
    QList<int> picked;
    QObject::connect(menu, &cFormMenu::Click, [&](int index) { picked << index; });

    for (int top : menu->Children(0)) {
        QMenu popup;
        menu->FillMenu(&popup, top);
        QList<int> expected;
        for (int i : menu->Children(top))
            if (menu->Caption(i) != "-") expected << i;
        for (QAction* a : popup.actions())
            if (!a->isSeparator()) a->trigger();
        picked.clear();
        ProcessEvents();
        EXPECT_EQ(picked, expected) << menu->ItemKey(top).toStdString();
    }
}

TEST_F(MainMenus, APickRunsTheCommandOfItsKey)
{
    CfrmMain* main = LoadMain();
    QMenu popup;
    main->m_cMenu->FillMenu(&popup, main->m_cMenu->IndexForKey("Mode"));
    for (QAction* a : popup.actions())
        if (a->text() == "On Top") a->trigger();
    ProcessEvents();
    EXPECT_EQ(dispatched, QStringList({"On Top"}));
    EXPECT_TRUE(Checked("On Top"));
    EXPECT_TRUE(main->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(MainMenus, PopupsOpenTheMenuThatHoldsTheItem)
{
    CfrmMain* main = LoadMain();
    cFormMenu* menu = main->m_cMenu;
    menu->ShowPopupMenu(10, 10, 0, 0, 0, 0, -1, menu->IndexForKey("MarkUnmark All"));
    ASSERT_NE(menu->LastPopup(), nullptr);
    EXPECT_EQ(menu->LastPopup()->actions().first()->text(), "Mark/Unmark All");
    menu->ShowPopupAtCursor(10, 10, menu->IndexForKey("RC Open"), -1);
    QStringList texts;
    for (QAction* a : menu->LastPopup()->actions())
        if (!a->isSeparator()) texts << a->text();
    EXPECT_EQ(texts, QStringList({"Exit" + QString(22, ' '), "Hide"}));
    menu->LastPopup()->close();
}

TEST_F(MainMenus, XPStyleFollowsTheSettingAtEachLayout)
{
    CfrmMain* main = LoadMain();
    for (bool style : {true, false}) {
        g_bMenuXPStyle = style;
        main->Form_Resize();
        EXPECT_EQ(main->m_cMenu->XPStyle(), style);
    }
}

} // namespace
