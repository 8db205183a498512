// The preview player of the main window, on the fake player: playing the
// selected row, pause and resume, the restart on another row, the slider,
// the graphs, the end of a play with continuous play, and every way of
// stopping; the info panel and the length label following the row the user
// selected or hears, and the one font of the grid's rows.
#include "MainWindowFixture.h"

#include "controls/widgets/AudioGraph.h"
#include "controls/widgets/Slider.h"
#include "lists/ItemRows.h"
#include "mainwindow/GridSetup.h"
#include "platform/MessageBox.h"
#include "recording/frmAudioEditor.h"
#include "support/FakeAudioConverter.h"
#include "support/FakeAudioEditor.h"
#include "support/FakePlayer.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

class MainPlayer : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        SetPlayerFactory([] { return std::make_unique<FakePlayer>(); });
        SetAudioConverterFactory([this] {
            auto reader = std::make_unique<FakeAudioConverter>();
            FakeAudioConverter::File tenSeconds;
            tenSeconds.lengthMs = 10000;
            for (const QString& path : readable) reader->AddFile(path, tenSeconds);
            return reader;
        });
        g_bGoToNextItem = false;
        g_lDevices = -1;
        g_sOutputDevice.clear();
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        SetPlayerFactory({});
        SetAudioConverterFactory({});
        g_bGoToNextItem = false;
        g_sOutputDevice.clear();
        g_bSelectTheLastItem = false;
    }

    QString Media(int n) const { return ProgramFolder() + QString("/media/r%1.wav").arg(n); }

    // A list "Songs" of rows r1 .. rN, marked as given, its files on disk;
    // the main window loaded with it open and row 1 selected.
    void LoadList(const QList<int>& marks)
    {
        QDir().mkpath(ProgramFolder() + "/media");
        QDir().mkpath(ProgramFolder() + "/Main");
        QByteArray list;
        for (int i = 1; i <= marks.size(); ++i) {
            QFile file(Media(i));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("audio");
            readable << Media(i);
            list += QString("<ITEM><Inc>%1</Inc><Type>Audio</Type><Item Name>r%2</Item Name><COL_FILE>%3</COL_FILE>"
                            "<COL_RANGE_ALL>1</COL_RANGE_ALL></ITEM>\r\n")
                        .arg(marks[i - 1])
                        .arg(i)
                        .arg(Media(i))
                        .toUtf8();
        }
        QFile listFile(ProgramFolder() + "/Main/Songs.flst");
        ASSERT_TRUE(listFile.open(QIODevice::WriteOnly));
        listFile.write(list);
        listFile.close();
        if (main) {
            // Loaded already: the list is opened again from its file.
            main->cTreeView1_NodeClick(main->cTreeView1->SelectedItem());
            WaitForOpenList();
        } else {
            main = LoadMain();
        }
        ASSERT_EQ(main->cGrid1->Rows(), marks.size());
        player = FakePlayer::Last();
        ASSERT_NE(player, nullptr);
        for (int i = 1; i <= marks.size(); ++i) player->AddFile(Media(i), {10.0 + i, 44100, 1411, 2});
    }

    void Select(int row) { main->cGrid1->SetSelectedRow(row); }
    void Click(const QString& key)
    {
        cToolbar* bar = main->tlbrPlayButtons;
        bar->ButtonWidget(bar->ButtonIndex(key))->click();
    }
    // Plays the row with the Play button and lets the player's first events arrive.
    void PlayRow(int row)
    {
        Select(row);
        Click("Play");
        ProcessEvents();
    }
    QStringList Plays() const { return player->calls.filter("PlayFile "); }
    QString PlayOf(int row) const { return QString("PlayFile %1 -1").arg(Media(row)); }
    bool Bold(int row) const { return main->cGrid1->RowFont(row, 3).bold(); }
    QString MainPanel() const { return main->StatusPanelText("Main"); }
    int MainIcon() const { return main->cStatusBar1->PanelIcon("Main"); }
    cTreeNode* ListNode() const { return main->cTreeView1->SelectedItem(); }
    // Ends the play as if heard to its end, and lets every event that follows arrive.
    void FinishPlay()
    {
        player->FinishPlay();
        ProcessEvents();
    }
    bool IsReset() const
    {
        return MainPanel() == "Ready." && MainIcon() == 47 && main->cSlider1->Value() == 0 &&
               main->lblCurrentPositionSec->text() == "0:00:00" && !main->tmSlider->isActive() &&
               !main->tmrAudioData->isActive();
    }

    // A file r<n>.wav in the media folder that the reader and the player know,
    // ten seconds and n long respectively.
    QString NewMedia(int n)
    {
        QFile file(Media(n));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("audio");
        readable << Media(n);
        player->AddFile(Media(n), {10.0 + n, 44100, 1411, 2});
        return Media(n);
    }
    // A click on the row's name, as the user selects a row.
    void ClickRow(int row)
    {
        main->show();
        QTableView* view = main->cGrid1->View();
        const int column = main->cGrid1->ColumnIndex(kColItemName);
        const QPoint at = view->visualRect(view->model()->index(row - 1, column - 1)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        ASSERT_EQ(main->cGrid1->SelectedRow(), row);
    }
    void RunKey(const QString& key) { main->m_cMenu_Click(main->m_cMenu->IndexForKey(key)); }
    // The row the info panel describes, as "name #number" ("nothing" when empty).
    QString InfoPanelRow() const
    {
        if (main->cGridInfo->Rows() == 0) return "nothing";
        return main->cGridInfo->CellText(1, 2).toString() + " #" + main->cGridInfo->CellText(9, 2).toString();
    }
    QString SelectedRowText() const
    {
        const int row = main->cGrid1->SelectedRow();
        return main->cGrid1->CellText(row, kColItemName).toString() + " #" + QString::number(row);
    }
    // The length label as it reads for the player's file of that row (r<n> is 10 + n seconds long).
    QString LengthOf(int row) const
    {
        const QString name = main->cGrid1->CellText(row, kColItemName).toString();
        return cPlayer::FormatTime(10 + name.mid(1).section('.', 0, 0).toInt());
    }
    // Every font the grid's cells are drawn in: a cell's own, else the grid's.
    QSet<QString> DrawnFonts(int boldRow = 0) const
    {
        QSet<QString> fonts;
        for (int row = 1; row <= main->cGrid1->Rows(); ++row) {
            if (row == boldRow) continue;
            for (int col = 1; col <= main->cGrid1->Columns(); ++col) fonts << Described(main->cGrid1->RowFont(row, col));
        }
        return fonts;
    }
    static QString Described(const QFont& font)
    {
        return QString("%1 %2pt%3").arg(font.family()).arg(font.pointSize()).arg(font.bold() ? " bold" : "");
    }

    QStringList readable;
    CfrmMain* main = nullptr;
    FakePlayer* player = nullptr;
};

TEST_F(MainPlayer, PlayingTheSelectedRow)
{
    LoadList({1, 1, 1});
    PlayRow(2);
    EXPECT_EQ(Plays(), QStringList({PlayOf(2)}));
    EXPECT_TRUE(player->IsPlaying());
    EXPECT_EQ(MainPanel(), "Playing");
    EXPECT_EQ(MainIcon(), 38);
    EXPECT_TRUE(Bold(2));
    EXPECT_FALSE(Bold(1));
    ASSERT_NE(ListNode(), nullptr);
    EXPECT_TRUE(ListNode()->Bold());
    EXPECT_EQ(main->m_nodPlaying, ListNode());
    EXPECT_EQ(main->cSlider1->Max(), 12);
    EXPECT_EQ(main->lbTotalLengthSec->text(), "0:00:12");
    EXPECT_TRUE(main->tmSlider->isActive());
    EXPECT_TRUE(main->tmrAudioData->isActive());
}

TEST_F(MainPlayer, TheDeviceChosenInTheOptionsPlays)
{
    LoadList({1});
    g_sOutputDevice = "null";
    PlayRow(1);
    EXPECT_EQ(Plays(), QStringList({QString("PlayFile %1 1").arg(Media(1))}));
}

// The device is found by its name in the list as it is when the play starts;
// one that has gone plays on "default", never on another device.
TEST_F(MainPlayer, AChosenDeviceThatIsGonePlaysOnDefault)
{
    LoadList({1});
    g_sOutputDevice = "plughw:CARD=Gone,DEV=0";
    g_lDevices = 1;
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) { logged << text; });
    PlayRow(1);
    qInstallMessageHandler(previous);
    EXPECT_EQ(Plays(), QStringList({QString("PlayFile %1 -1").arg(Media(1))}));
    EXPECT_EQ(logged, QStringList{"The sound output device \"plughw:CARD=Gone,DEV=0\" is not there: playing on "
                                  "\"default\"."});
}

TEST_F(MainPlayer, TheInfoPanelShowsThePlayersFactsOfTheSelectedRow)
{
    LoadList({1, 1});
    player->AddFile(Media(2), {11, 22050, 64, 1});
    Select(2);
    main->GetFileInfoToGridInfo();
    EXPECT_EQ(main->cGridInfo->CellText(6, 2).toString(), "22050");
    EXPECT_EQ(main->cGridInfo->CellText(7, 2).toString(), "64");
    EXPECT_EQ(main->cGridInfo->CellText(8, 2).toString(), "MONO");
    EXPECT_FALSE(player->IsPlaying());
}

TEST_F(MainPlayer, AnEmptyListPlaysNothing)
{
    main = LoadMain();
    player = FakePlayer::Last();
    ASSERT_EQ(main->cGrid1->Rows(), 0);
    Click("Play");
    EXPECT_TRUE(Plays().isEmpty());
    EXPECT_TRUE(msgBox->shown.empty());
    EXPECT_EQ(MainPanel(), "Ready.");
}

TEST_F(MainPlayer, ASlidersMaxIsTheRoundedLengthAndAtLeastOne)
{
    LoadList({1});
    const struct {
        double length;
        int max;
        const char* total;
    } cases[] = {{0.4, 1, "0:00:00"}, {0.5, 1, "0:00:00"}, {0.6, 1, "0:00:01"},
                 {2.5, 2, "0:00:02"}, {3.5, 4, "0:00:04"}, {3725, 3725, "1:02:05"}};
    for (const auto& c : cases) {
        player->AddFile(Media(1), {c.length, 44100, 1411, 2});
        PlayRow(1);
        EXPECT_EQ(main->cSlider1->Max(), c.max) << c.length;
        EXPECT_EQ(main->lbTotalLengthSec->text(), c.total) << c.length;
        Click("Stop");
        ProcessEvents();
    }
}

TEST_F(MainPlayer, PlayWhilePausedResumesTheSamePlay)
{
    LoadList({1, 1});
    PlayRow(1);
    Click("Pause");
    EXPECT_TRUE(player->IsPaused());
    EXPECT_TRUE(main->tlbrPlayButtons->ButtonChecked("Pause"));
    Select(2);
    Click("Play");
    EXPECT_FALSE(player->IsPaused());
    EXPECT_TRUE(player->IsPlaying());
    EXPECT_FALSE(main->tlbrPlayButtons->ButtonChecked("Pause"));
    EXPECT_EQ(Plays(), QStringList({PlayOf(1)}));
    EXPECT_EQ(player->calls.filter("Resume").size(), 1);
}

TEST_F(MainPlayer, PauseButtonPausesAndResumes)
{
    LoadList({1});
    PlayRow(1);
    Click("Pause");
    EXPECT_TRUE(player->IsPaused());
    Click("Pause");
    EXPECT_FALSE(player->IsPaused());
    EXPECT_TRUE(player->IsPlaying());
    EXPECT_FALSE(main->tlbrPlayButtons->ButtonChecked("Pause"));
}

TEST_F(MainPlayer, PlayOnAnotherRowStopsAtOnceAndPlaysItLater)
{
    g_bGoToNextItem = true;
    LoadList({1, 1, 1});
    PlayRow(1);
    Select(3);
    Click("Play");
    EXPECT_FALSE(player->IsPlaying());
    EXPECT_TRUE(main->tmrPlayer->isActive());
    EXPECT_EQ(player->calls.filter("Stop").size(), 1);
    // The stopped play's end resets the display and plays no next row.
    ProcessEvents();
    EXPECT_TRUE(IsReset());
    EXPECT_FALSE(Bold(1));
    EXPECT_EQ(Plays(), QStringList({PlayOf(1)}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Plays().size() == 2; }, 2000));
    EXPECT_EQ(Plays().last(), PlayOf(3));
    EXPECT_FALSE(main->tmrPlayer->isActive());
    EXPECT_TRUE(Bold(3));
    EXPECT_EQ(MainPanel(), "Playing");
    ProcessEvents();
    EXPECT_EQ(Plays().size(), 2);
}

TEST_F(MainPlayer, ARowWhoseFileIsGoneIsNamedAndTheListReloaded)
{
    LoadList({1, 1, 1});
    ASSERT_TRUE(QFile::remove(Media(2)));
    Select(2);
    msgBox->Expect(Media(2) + " is not existed.");
    Click("Play");
    WaitForOpenList();
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, Media(2) + " is not existed.");
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbInformation);
    EXPECT_TRUE(Plays().isEmpty());
    // Reloaded: the row whose file is gone is no longer shown.
    EXPECT_EQ(main->cGrid1->Rows(), 2);
    EXPECT_EQ(MainPanel(), "Ready.");
}

TEST_F(MainPlayer, APlayerThatCannotPlayReportsAndChangesNothing)
{
    LoadList({1});
    player->FailNextPlay(kPlayerErrDeviceBusy);
    PlayRow(1);
    EXPECT_EQ(player->calls.filter("ReportError").join(","), "ReportError 4");
    EXPECT_EQ(MainPanel(), "Ready.");
    EXPECT_FALSE(Bold(1));
    EXPECT_FALSE(ListNode()->Bold());
    EXPECT_FALSE(main->tmSlider->isActive());
    EXPECT_FALSE(main->tmrAudioData->isActive());
}

TEST_F(MainPlayer, TheEndResetsTheDisplayAndWithoutContinuousPlayStops)
{
    LoadList({1, 1, 1});
    PlayRow(1);
    main->cSlider1->SetValue(5);
    main->lblCurrentPositionSec->setText("0:00:05");
    FinishPlay();
    EXPECT_TRUE(IsReset());
    EXPECT_FALSE(Bold(1));
    EXPECT_FALSE(ListNode()->Bold());
    EXPECT_TRUE(main->cTreeView1->Enabled());
    EXPECT_EQ(Plays().size(), 1);
    EXPECT_EQ(main->cGrid1->SelectedRow(), 1);
}

TEST_F(MainPlayer, ContinuousPlayGoesDownToTheNextMarkedRowOnly)
{
    g_bGoToNextItem = true;
    LoadList({1, 0, 0, 1, 0});
    PlayRow(2);
    FinishPlay();
    EXPECT_EQ(main->cGrid1->SelectedRow(), 4);
    EXPECT_EQ(Plays(), QStringList({PlayOf(2), PlayOf(4)}));
    EXPECT_TRUE(Bold(4));
    EXPECT_EQ(MainPanel(), "Playing");
    // Row 1 is marked, but above: nothing more plays.
    FinishPlay();
    EXPECT_EQ(Plays().size(), 2);
    EXPECT_EQ(main->cGrid1->SelectedRow(), 4);
    EXPECT_TRUE(IsReset());
}

TEST_F(MainPlayer, ContinuousPlayEndsAfterTheLastRow)
{
    g_bGoToNextItem = true;
    LoadList({1, 1, 1});
    PlayRow(3);
    FinishPlay();
    EXPECT_EQ(Plays().size(), 1);
    EXPECT_TRUE(IsReset());
}

TEST_F(MainPlayer, APlayThatBreaksOffGoesOnLikeAnEnd)
{
    g_bGoToNextItem = true;
    LoadList({1, 1});
    PlayRow(1);
    player->BreakOff(kPlayerErrNotAudio);
    ProcessEvents();
    EXPECT_EQ(Plays(), QStringList({PlayOf(1), PlayOf(2)}));
}

// Stopping is never an end that moves on: whichever way a play is stopped,
// with continuous play on, the display is reset and no next row plays.
TEST_F(MainPlayer, NoStopStartsTheNextRow)
{
    g_bGoToNextItem = true;
    const struct {
        const char* way;
        std::function<void(CfrmMain*)> stop;
    } ways[] = {
        {"Stop button", [this](CfrmMain*) { Click("Stop"); }},
        {"tools toolbar", [](CfrmMain* m) { m->tlbrRecorder_ButtonClick(m->tlbrRecorder->ButtonIndex("Stop")); }},
        {"other windows", [](CfrmMain*) { MainWindow()->StopCommand(); }},
        {"a command", [](CfrmMain* m) { m->m_cMenu_Click(m->m_cMenu->IndexForKey("On Top")); }},
        {"opening the list again", [](CfrmMain* m) { m->cTreeView1_NodeClick(m->cTreeView1->SelectedItem()); }},
    };
    LoadList({1, 1, 1});
    for (const auto& w : ways) {
        player->calls.clear();
        PlayRow(1);
        w.stop(main);
        ProcessEvents();
        WaitForOpenList();
        EXPECT_FALSE(player->IsPlaying()) << w.way;
        EXPECT_EQ(Plays().size(), 1) << w.way;
        EXPECT_TRUE(IsReset()) << w.way;
        EXPECT_FALSE(Bold(1)) << w.way;
        EXPECT_FALSE(ListNode()->Bold()) << w.way;
        // The next play that ends by itself moves on again.
        player->calls.clear();
        PlayRow(1);
        FinishPlay();
        EXPECT_EQ(Plays(), QStringList({PlayOf(1), PlayOf(2)})) << w.way;
        Click("Stop");
        ProcessEvents();
    }
}

TEST_F(MainPlayer, StopWhilePausedResumesThenStops)
{
    LoadList({1});
    PlayRow(1);
    Click("Pause");
    Click("Stop");
    const QStringList tail = player->calls.mid(player->calls.indexOf("Pause"));
    EXPECT_EQ(tail, QStringList({"Pause", "Resume", "Stop"}));
    EXPECT_FALSE(main->tlbrPlayButtons->ButtonChecked("Pause"));
    EXPECT_EQ(main->m_nodPlaying, nullptr);
    ProcessEvents();
    EXPECT_TRUE(IsReset());
}

TEST_F(MainPlayer, ExitWhilePausedResumesStopsAndReleasesThePlayer)
{
    LoadList({1});
    PlayRow(1);
    Click("Pause");
    main->Unload();
    const QStringList tail = player->calls.mid(player->calls.indexOf("Pause"));
    ASSERT_GE(tail.size(), 4);
    EXPECT_EQ(tail.mid(0, 3), QStringList({"Pause", "Resume", "Stop"}));
    EXPECT_EQ(tail.last(), "Terminate");
}

TEST_F(MainPlayer, TheSliderAndThePositionFollowThePlay)
{
    LoadList({1});
    PlayRow(1);
    player->MoveTo(6.5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main->cSlider1->Value() == 6; }, 2000));
    EXPECT_EQ(main->lblCurrentPositionSec->text(), "0:00:06");
}

TEST_F(MainPlayer, DraggingTheSliderSeeksOnlyWhilePlaying)
{
    LoadList({1});
    QSlider* track = main->cSlider1->Track();
    // Stopped: the knob moves, nothing else happens.
    emit track->sliderPressed();
    main->cSlider1->SetValue(4);
    emit track->sliderReleased();
    EXPECT_TRUE(player->calls.filter("Seek").isEmpty());
    EXPECT_FALSE(main->tmSlider->isActive());

    PlayRow(1);
    emit track->sliderPressed();
    EXPECT_FALSE(main->tmSlider->isActive());
    main->cSlider1->SetValue(7);
    emit track->sliderReleased();
    EXPECT_EQ(player->calls.filter("Seek"), QStringList({"Seek 7"}));
    EXPECT_TRUE(main->tmSlider->isActive());
}

TEST_F(MainPlayer, BothGraphsAreFedWhilePlayingAndClearedAtTheEnd)
{
    LoadList({1});
    const QImage emptyAmp = main->cAudioGraphAmp->grab().toImage();
    const QImage emptyFreq = main->cAudioGraphFreq->grab().toImage();
    PlayRow(1);
    // Each graph gets a block of its own: the fake's 1 kHz sine.
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->calls.filter("AudioData").size() >= 4; }, 2000));
    EXPECT_NE(main->cAudioGraphAmp->grab().toImage(), emptyAmp);
    EXPECT_NE(main->cAudioGraphFreq->grab().toImage(), emptyFreq);
    FinishPlay();
    EXPECT_EQ(main->cAudioGraphAmp->grab().toImage(), emptyAmp);
    EXPECT_EQ(main->cAudioGraphFreq->grab().toImage(), emptyFreq);
    EXPECT_EQ(player->calls.filter("AudioData").size() % 2, 0);
}

TEST_F(MainPlayer, TheGraphsKeepTheirPlacesInThePane)
{
    LoadList({1});
    main->show();
    // The frequency graph is readable beside the buttons; the amplitude graph
    // keeps its designed place, below the pane's edge.
    QWidget* freq = main->cAudioGraphFreq;
    EXPECT_TRUE(freq->isVisible());
    EXPECT_TRUE(main->picPlayer->rect().contains(freq->geometry()));
    EXPECT_FALSE(freq->geometry().intersects(main->cToolbarHostPlayer->geometry()));
    EXPECT_GE(freq->height(), 20);
    EXPECT_GE(freq->width(), 100);
    EXPECT_GE(main->cAudioGraphAmp->y(), main->picPlayer->height());
}

// Rows loaded from the list, rows set back from bold after a play and rows
// added later are all drawn in the rows' font.
TEST_F(MainPlayer, EveryRowOfTheGridIsDrawnInTheRowsFont)
{
    const QString rowFont = Described(ItemRowFont(false));
    LoadList({1, 1});
    EXPECT_EQ(DrawnFonts(), QSet<QString>{rowFont}) << "rows loaded from the list";
    PlayRow(2);
    EXPECT_EQ(Described(main->cGrid1->RowFont(2, 3)), Described(ItemRowFont(true)));
    EXPECT_EQ(DrawnFonts(2), QSet<QString>{rowFont}) << "the rows that do not play";
    FinishPlay();
    EXPECT_EQ(DrawnFonts(), QSet<QString>{rowFont}) << "after a play";
    dialogs->ExpectOpen({NewMedia(3), NewMedia(4)});
    RunKey("Add Files");
    ASSERT_EQ(main->cGrid1->Rows(), 4);
    EXPECT_EQ(DrawnFonts(), QSet<QString>{rowFont}) << "rows added to the loaded list";
}

// After "Remove Item" the panel and the length describe the row left
// selected, or nothing when no row is left.
TEST_F(MainPlayer, TheInfoPanelAndTheLengthFollowRemoveItem)
{
    const struct {
        int clicked;
        int rowsLeft;
    } cases[] = {{2, 2}, {3, 2}, {1, 0}};
    for (const auto& c : cases) {
        readable.clear();
        LoadList(QList<int>(c.rowsLeft == 0 ? 1 : 3, 1));
        ClickRow(c.clicked);
        const QString removed = SelectedRowText().section(' ', 0, 0);
        ASSERT_EQ(InfoPanelRow(), SelectedRowText());
        msgBox->Expect("This operation will erase the " + removed + " ", platform::vbYes);
        RunKey("Remove Item");
        ASSERT_TRUE(QTest::qWaitFor([this] { return !main->tmrRemove->isActive(); }));
        ASSERT_EQ(main->cGrid1->Rows(), c.rowsLeft) << c.clicked;
        if (c.rowsLeft == 0) {
            EXPECT_EQ(InfoPanelRow(), "nothing");
            continue;
        }
        EXPECT_FALSE(InfoPanelRow().startsWith(removed + " ")) << c.clicked;
        EXPECT_EQ(InfoPanelRow(), SelectedRowText()) << c.clicked;
        EXPECT_EQ(main->lbTotalLengthSec->text(), LengthOf(main->cGrid1->SelectedRow())) << c.clicked;
    }
}

TEST_F(MainPlayer, TheInfoPanelShowsTheRowThatContinuousPlayMovedOnTo)
{
    g_bGoToNextItem = true;
    LoadList({1, 0, 1});
    ClickRow(1);
    Click("Play");
    ProcessEvents();
    FinishPlay();
    ASSERT_EQ(Plays(), QStringList({PlayOf(1), PlayOf(3)}));
    EXPECT_EQ(InfoPanelRow(), "r3 #3");
    EXPECT_EQ(main->lbTotalLengthSec->text(), "0:00:13");
}

// A row added by the user, through the open dialog or the Audio Analyser's
// "Add Selection", leaves the panel and the length on the row then selected
// (the new one when the options say to select the last item).
TEST_F(MainPlayer, TheLengthFollowsTheRowSelectedAfterAdding)
{
    lAppIncEditor = 1;
    SetAudioEditorFactory([this](QWidget* parent) {
        auto* editor = new FakeAudioEditor(parent);
        for (const QString& path : readable) editor->AddFile(path, {});
        return editor;
    });
    const struct {
        const char* way;
        std::function<void(const QString&)> add;
    } ways[] = {
        {"Add Files",
         [this](const QString& added) {
             dialogs->ExpectOpen({added});
             RunKey("Add Files");
         }},
        {"Add Selection",
         [this](const QString& added) {
             QFile::remove(added);
             modal->hook = [this, added](QWidget* window) {
                 auto* editor = qobject_cast<CfrmAudioEditor*>(window);
                 ASSERT_NE(editor, nullptr);
                 FakeAudioEditor::Last()->Select(0, 44100);
                 dialogs->ExpectSave(added);
                 editor->cmdAddSelection->click();
                 ASSERT_TRUE(QTest::qWaitFor([editor] { return !editor->isVisible(); }));
             };
             RunKey("Audio Analyser");
         }},
    };
    for (bool selectLast : {true, false}) {
        for (const auto& w : ways) {
            readable.clear();
            LoadList({1, 1});
            g_bSelectTheLastItem = selectLast;
            ClickRow(2);
            ASSERT_EQ(main->lbTotalLengthSec->text(), "0:00:12");
            w.add(NewMedia(3));
            ASSERT_EQ(main->cGrid1->Rows(), 3) << w.way;
            const int selected = selectLast ? 3 : 1;
            EXPECT_EQ(main->cGrid1->SelectedRow(), selected) << w.way << " " << selectLast;
            EXPECT_EQ(InfoPanelRow(), SelectedRowText()) << w.way << " " << selectLast;
            EXPECT_EQ(main->lbTotalLengthSec->text(), LengthOf(selected)) << w.way << " " << selectLast;
            g_bSelectTheLastItem = false;
        }
    }
    SetAudioEditorFactory({});
}

} // namespace
