// The CD database lookup window on the fake control, beside a main-window
// double that shows a CD of a few tracks: the set-up of the lookup, what each
// event writes into the main list and the CD node, and how the window ends.
#include "ripping/frmFreeDB.h"

#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"
#include "support/FakeFreeDB.h"
#include "support/MainWindowDouble.h"
#include "support/ProgramFixture.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

using Fake = FakeFreeDB;
using Events = std::vector<Fake::Event>;

const QString kNoConnection = "There is no internet connection.\r\n\r\n"
                              "Getting the information about the Audio CD (using the 'FreeDB') has failed.";

class FreeDBWindow : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        Fake::NextSetup() = {};
        SetFreeDBFactory([] { return std::make_unique<Fake>(); });
        SetupItemsGrid(main.cGrid1, main.imgGrid, ItemsGridKind::Main);
        node = main.cTreeView1->Nodes()->Add(nullptr, 0, "##CDE: /dev/sr1 VENDOR MODEL", "E:");
        node->SetSelected(true);
        main.lblListName->setText("E:");
    }
    void TearDown() override
    {
        ProgramFixture::TearDown();
        SetFreeDBFactory({});
        Fake::NextSetup() = {};
    }

    // The CD's rows as the main window lists them, with the default tags.
    void Rows(int count)
    {
        for (int n = 1; n <= count; ++n) {
            cGrid* g = main.cGrid1;
            g->CellDetails(n, kColItemName, QString("Track%1.cda").arg(n, 2, 10, QChar('0')));
            g->CellDetails(n, kColFile, QString("E:/Track%1.cda").arg(n, 2, 10, QChar('0')));
            g->CellDetails(n, kColTagArtist, "default artist");
            g->CellDetails(n, kColTagAlbum, "default album");
            g->CellDetails(n, kColTagTitle, "title tag " + QString::number(n));
        }
    }
    QString Cell(int row, const char* column) const { return main.cGrid1->CellText(row, column).toString(); }

    // Loads the window (or takes the loaded one) and starts a lookup that plays `events`.
    CfrmFreeDB* Start(const Events& events = {})
    {
        if (g_frmFreeDB.IsLoaded())
            static_cast<Fake*>(g_frmFreeDB->cFreeDB1.get())->lookups.push_back(events);
        else
            Fake::NextSetup().lookups = {events};
        w = g_frmFreeDB.get();
        EXPECT_TRUE(w->GetFreeDB());
        return w;
    }
    Fake* Control() const { return static_cast<Fake*>(w->cFreeDB1.get()); }
    // Lets the lookup's queued events arrive (a window that unloads is gone afterwards).
    static void Play() { ProcessEvents(); }
    bool Loaded() const { return g_frmFreeDB.IsLoaded(); }

    support::MainWindowDouble main;
    cTreeNode* node = nullptr;
    QPointer<CfrmFreeDB> w;
};

// Tracks 1..count by the artist, titled "Song n".
Events Tracks(int count, const QString& artist = "The Band")
{
    Events events;
    for (int n = 1; n <= count; ++n) events.push_back(Fake::Track(artist, n, "Song " + QString::number(n)));
    return events;
}

Events Entry(const QString& artist, const QString& album, int tracks, bool done = true)
{
    Events events{Fake::State("Querying")};
    if (!artist.isEmpty()) events.push_back(Fake::Artist(artist));
    if (!album.isEmpty()) events.push_back(Fake::Album(album));
    for (const Fake::Event& e : Tracks(tracks, artist)) events.push_back(e);
    if (done) events.push_back(Fake::Done());
    return events;
}

TEST_F(FreeDBWindow, TheWindowAsItLoads)
{
    const std::int32_t color = g_lColor;
    g_lColor = 0x336699;
    w = g_frmFreeDB.get();
    g_lColor = color;
    EXPECT_EQ(w->windowTitle(), "FreeDB");
    EXPECT_EQ(w->lblTitle->text(), "FreeDB");
    EXPECT_EQ(w->lblArtist->text(), "Album Name");
    EXPECT_EQ(w->lblAlbumName->text(), "Album Name");
    EXPECT_EQ(w->lblCurrentTrack->text(), "Ready.");
    EXPECT_EQ(w->cmdAbort->text(), "Abort");
    EXPECT_EQ(w->prgCurrnet->Color(), 0x336699);
    EXPECT_FALSE(w->windowIcon().isNull());
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(Control()->calls.isEmpty());
}

TEST_F(FreeDBWindow, GetFreeDBSetsTheLookupUpForTheSelectedDriveAndStartsIt)
{
    Rows(2);
    Start({Fake::State("Reading the disc")});
    EXPECT_FALSE(w->isVisible()) << "the caller shows it";
    EXPECT_EQ(Control()->calls,
              (QStringList{"IsConnected", "SetDrive E:", "Timeout 20", "ServerHost gnudb.gnudb.org", "ServerPort 8880",
                           "UserName clsCDDB", "ClientHost localhost", "ClientName clsCDDB", "ClientVersion v0.5",
                           "StartQuery"}));
    EXPECT_EQ(w->lblCurrentTrack->text(), "Connecting to gnudb.gnudb.org...");
    // The events come later, on the window thread.
    ASSERT_TRUE(QTest::qWaitFor([this] { return w->lblCurrentTrack->text() != "Connecting to gnudb.gnudb.org..."; }, 5000));
    EXPECT_EQ(w->lblCurrentTrack->text(), "FreeDB State:Reading the disc");
}

TEST_F(FreeDBWindow, WithoutAConnectionItSaysSoAndUnloads)
{
    Rows(2);
    Fake::NextSetup().connected = false;
    w = g_frmFreeDB.get();
    QString status;
    msgBox->ExpectWhile("There is no internet connection.", platform::vbOK, [&] { status = w->lblCurrentTrack->text(); });
    EXPECT_FALSE(w->GetFreeDB());
    EXPECT_EQ(status, "No internet connection!");
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, kNoConnection);
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbInformation);
    EXPECT_EQ(Control()->calls, (QStringList{"IsConnected", "Abort", "Terminate"}));
    EXPECT_FALSE(Loaded());
    ProcessEvents();
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(Cell(1, kColItemName), "Track01.cda");
}

TEST_F(FreeDBWindow, ATrackNamesItsRowAndWritesItsTitleAndTrackTags)
{
    Rows(5);
    Start(Entry("The Band", "First Light", 0, false));
    w->cFreeDB1_StateChanged("Querying");
    EXPECT_EQ(w->lblCurrentTrack->text(), "FreeDB State:Querying");
    Play();
    EXPECT_EQ(w->lblAlbumName->text(), "First Light");
    EXPECT_EQ(w->lblArtist->text(), "The Band");
    Control()->Raise(Fake::Track("Guest", 3, "Intro"));
    EXPECT_EQ(Cell(3, kColItemName), "Intro.cda");
    EXPECT_EQ(Cell(3, kColTagArtist), "Guest");
    EXPECT_EQ(Cell(3, kColTagAlbum), "First Light");
    EXPECT_EQ(Cell(3, kColTagTitle), "Intro");
    EXPECT_EQ(Cell(3, kColTagTrack), "3");
    for (int row : {1, 2, 4, 5}) {
        EXPECT_EQ(Cell(row, kColItemName), QString("Track0%1.cda").arg(row)) << row;
        EXPECT_EQ(Cell(row, kColTagTitle), QString("title tag %1").arg(row)) << row;
    }
    EXPECT_TRUE(Loaded());
    EXPECT_EQ(node->Text(), "E:");
}

TEST_F(FreeDBWindow, TitlesGoIntoTheListAsTheyArrived)
{
    Rows(2);
    Start(Entry("AC/DC", "Live: Zürich?", 0, false));
    Play();
    Control()->Raise(Fake::Track("AC/DC", 1, "Either/Or *live*"));
    Control()->Raise(Fake::Track("AC/DC", 2, "Ça ira"));
    EXPECT_EQ(Cell(1, kColItemName), "Either/Or *live*.cda");
    EXPECT_EQ(Cell(2, kColItemName), "Ça ira.cda");
    EXPECT_EQ(node->Text(), "AC/DC - Live: Zürich?");
}

TEST_F(FreeDBWindow, AnUntitledTrackKeepsItsRowName)
{
    Rows(3);
    Start(Entry("The Band", "First Light", 0, false));
    Play();
    Control()->Raise(Fake::Track("The Band", 1, ""));
    Control()->Raise(Fake::Track("The Band", 2, "  "));
    EXPECT_EQ(Cell(1, kColItemName), "Track01.cda");
    EXPECT_EQ(Cell(2, kColItemName), "Track02.cda");
    EXPECT_EQ(Cell(1, kColTagArtist), "The Band");
    EXPECT_EQ(Cell(2, kColTagAlbum), "First Light");
    EXPECT_EQ(Cell(1, kColTagTitle), "title tag 1");
    EXPECT_EQ(Cell(2, kColTagTrack), "2");
}

TEST_F(FreeDBWindow, TheLastRowNamesTheNodeAndClosesTheWindow)
{
    Rows(12);
    Start(Entry("The Band", "First Light", 12));
    Play();
    EXPECT_EQ(Cell(12, kColItemName), "Song 12.cda");
    EXPECT_EQ(node->Text(), "The Band - First Light");
    EXPECT_TRUE(main.calls.contains("cTreeView1_AfterLabelEdit The Band - First Light"));
    EXPECT_EQ(main.lblListName->text(), "The Band - First Light");
    EXPECT_FALSE(Loaded());
    ProcessEvents();
    EXPECT_TRUE(w.isNull());
}

TEST_F(FreeDBWindow, FewerTracksThanRowsLeaveTheNodeAndHideTheWindowAtTheEnd)
{
    Rows(12);
    Fake::NextSetup().lookups = {Entry("The Band", "First Light", 10)};
    w = g_frmFreeDB.get();
    w->Show();
    ASSERT_TRUE(w->GetFreeDB());
    Play();
    EXPECT_EQ(Cell(10, kColItemName), "Song 10.cda");
    EXPECT_EQ(Cell(11, kColItemName), "Track11.cda");
    EXPECT_EQ(node->Text(), "E:");
    EXPECT_EQ(main.lblListName->text(), "E:");
    EXPECT_TRUE(Loaded()) << "QueryDone only hides it";
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(Control()->calls.filter("Terminate").size(), 0);
}

TEST_F(FreeDBWindow, TracksBeyondTheRowsWriteNothing)
{
    Rows(3);
    Start(Entry("The Band", "First Light", 5));
    Play();
    EXPECT_EQ(Cell(3, kColItemName), "Song 3.cda");
    EXPECT_EQ(main.cGrid1->Rows(), 3);
    EXPECT_EQ(node->Text(), "The Band - First Light");
    EXPECT_FALSE(Loaded());
}

TEST_F(FreeDBWindow, WhatDidNotArriveIsLeftOutOfTagsAndNodeText)
{
    struct Case {
        const char* artist;
        const char* album;
        const char* artistTag;
        const char* albumTag;
        const char* nodeText;
    };
    const Case cases[] = {
        {"The Band", "", "The Band", "", "The Band"},
        {"", "First Light", "", "First Light", "First Light"},
        {"", "", "", "", "E:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.artist) + "|" + c.album);
        main.cGrid1->Clear();
        main.calls.clear();
        node->SetText("E:");
        Rows(2);
        Start(Entry(c.artist, c.album, 2));
        Play();
        ProcessEvents();
        for (int row = 1; row <= 2; ++row) {
            EXPECT_EQ(Cell(row, kColTagArtist), c.artistTag);
            EXPECT_EQ(Cell(row, kColTagAlbum), c.albumTag);
        }
        EXPECT_EQ(node->Text(), c.nodeText);
        EXPECT_EQ(main.lblListName->text(), c.nodeText);
        EXPECT_EQ(main.calls.filter("cTreeView1_AfterLabelEdit").size(), QString(c.nodeText) == "E:" ? 0 : 1);
        EXPECT_FALSE(Loaded()) << "the last row still closes the window";
    }
}

TEST_F(FreeDBWindow, AnEmptyListTakesNothing)
{
    Start(Entry("The Band", "First Light", 0, false));
    Play();
    Control()->Raise(Fake::Track("The Band", 1, "Dawn"));
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_EQ(node->Text(), "E:");
    EXPECT_TRUE(Loaded());
}

TEST_F(FreeDBWindow, NoEntryClosesTheWindowAfterTheWarningOtherErrorsLeaveItOpen)
{
    Rows(2);
    Start({Fake::Fail(kFreeDBErrAnswer, "The answer cannot be read.")});
    msgBox->Expect("The answer cannot be read.");
    Play();
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, "The answer cannot be read.");
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbExclamation);
    EXPECT_EQ(w->lblCurrentTrack->text(), "The answer cannot be read.(5)");
    EXPECT_TRUE(Loaded());

    // The user closes it with Abort: the lookup ends, then the control is released.
    w->cmdAbort->click();
    EXPECT_EQ(Control()->calls.mid(Control()->calls.size() - 2), (QStringList{"Abort", "Terminate"}));
    EXPECT_FALSE(Loaded());
    ProcessEvents();

    Start({Fake::Fail(kFreeDBErrNoMatch, "The CD database holds no entry for this CD.")});
    QString status;
    msgBox->ExpectWhile("no entry", platform::vbOK, [&] { status = w->lblCurrentTrack->text(); });
    Play();
    EXPECT_EQ(status, "The CD database holds no entry for this CD.(2)");
    EXPECT_FALSE(Loaded());
    EXPECT_EQ(Cell(1, kColItemName), "Track01.cda");
}

TEST_F(FreeDBWindow, AbortStopsTheLookupAndClosing)
{
    Rows(2);
    Start(Entry("The Band", "First Light", 0, false));
    w->cmdAbort_Click();
    EXPECT_EQ(Control()->calls.mid(Control()->calls.size() - 2), (QStringList{"Abort", "Terminate"}));
    EXPECT_FALSE(Loaded());
    ProcessEvents();
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(node->Text(), "E:");
}

TEST_F(FreeDBWindow, AHiddenWindowRunsTheWholeSetUpAgainAndForgetsTheLastEntry)
{
    Rows(3);
    Start(Entry("The Band", "First Light", 2));
    Play();
    ASSERT_TRUE(Loaded());
    EXPECT_EQ(Cell(2, kColTagAlbum), "First Light");
    CfrmFreeDB* first = w;
    const qsizetype before = Control()->calls.size();

    // Another disc whose entry names no album.
    Start({Fake::Track("Other", 1, "Only"), Fake::Done()});
    EXPECT_EQ(w, first);
    EXPECT_EQ(Control()->calls.mid(before).first(), "IsConnected");
    EXPECT_EQ(Control()->calls.last(), "StartQuery");
    EXPECT_EQ(w->lblArtist->text(), "Album Name");
    EXPECT_EQ(w->lblAlbumName->text(), "Album Name");
    Play();
    EXPECT_EQ(Cell(1, kColItemName), "Only.cda");
    EXPECT_EQ(Cell(1, kColTagArtist), "Other");
    EXPECT_EQ(Cell(1, kColTagAlbum), "");
}

} // namespace
