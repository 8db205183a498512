// The Audio Analyser window on the fake editor control beside a main-window
// double: its set-up, the figures it shows, the toolbar, saving and adding a
// selection, the control's errors, and closing.
#include "AudioEditorFixture.h"

#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/mdlCommDialog.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace edtest;
using Ending = FakeAudioEditor::Ending;

namespace {

const QString kSource = "/music/take.wav";

FakeAudioEditor::Script Ends(Ending ending, std::vector<std::int32_t> progress = {40, 100})
{
    FakeAudioEditor::Script s;
    s.progress = std::move(progress);
    s.ending = ending;
    s.errorText = "The selection cannot be saved: the disk is full.";
    return s;
}

TEST_F(EditorWindowTest, SetsUpItsToolbarFramesAndColours)
{
    g_lColor = 0x123456;
    g_lTextColor = 0x00FF00;
    CfrmAudioEditor* e = g_frmAudioEditor.get();
    EXPECT_EQ(e->windowTitle(), "Audio Editor");
    EXPECT_EQ(e->lblTitle->text(), "Audio Analyzer");
    EXPECT_EQ(e->fraInfo->title(), "File Information");
    EXPECT_EQ(e->fraPosition->title(), "Selection Position");
    EXPECT_EQ(e->cmdAddSelection->text(), "Add Selection");
    EXPECT_EQ(e->cmdAbort->text(), "Abort");
    EXPECT_EQ(e->cmdExit->text(), "Exit");
    EXPECT_TRUE(e->txtWavFile->isHidden());
    EXPECT_EQ(e->cAudioEditor1->ForeColor(), 0x00FF00);
    EXPECT_EQ(e->cAudioEditor1->BarColor(), 0x123456);
    EXPECT_EQ(e->cAudioEditor1->BackColor(), 0x123456);
    EXPECT_EQ(e->prgCurrnet->Color(), 0x123456);

    struct Button {
        QString key, caption, tip;
        int image;
    };
    const std::vector<Button> expected = {{"Play", "Play", "Play", 55},           {"Pause", "Pause", "Pause", 67},
                                          {"Stop", "Stop", "Stop", 40},           {"", "", "", -1},
                                          {"Zoom", "Zoom", "Zoom", 68},           {"Restore", "Restore", "Restore", 62},
                                          {"", "", "", -1},                       {"Save Selection", "Save As", "Save Selection As...", 5},
                                          {"", "", "", -1},                       {"Abort", "Abort", "Abort Operation", 27}};
    ASSERT_EQ(e->tlbrList->ButtonCount(), int(expected.size()));
    for (int i = 0; i < int(expected.size()); ++i) {
        EXPECT_EQ(e->tlbrList->ButtonKey(i), expected[i].key) << i;
        if (expected[i].key.isEmpty()) continue;
        EXPECT_EQ(e->tlbrList->ButtonCaption(i), expected[i].caption) << i;
        EXPECT_EQ(e->tlbrList->ButtonToolTip(i), expected[i].tip) << i;
        EXPECT_TRUE(e->tlbrList->ButtonEnabled(i)) << i;
    }
    EXPECT_EQ(e->rbrList->BandCount(), 1);
    EXPECT_EQ(e->rbrList->BandKey(0), "Toolbar1");
}

TEST_F(EditorWindowTest, ShowsTheFactsOfALoadedFile)
{
    Open(kSource, Seconds(65));
    EXPECT_EQ(w->lblInfoSamples->text(), "44100");
    EXPECT_EQ(w->lblInfoBits->text(), "16");
    EXPECT_EQ(w->lblInfoChannels->text(), "2");
    EXPECT_EQ(w->lblNumOfSamples->text(), "2866500");
    EXPECT_EQ(w->lblLength->text(), "0:01:05");
    EXPECT_EQ(w->lblSamplesStart->text(), "0");
    EXPECT_EQ(w->lblSamplesEnd->text(), "2866500");
    EXPECT_EQ(w->lblTimeStart->text(), "0 ms [0:00:00]");
    EXPECT_EQ(w->lblTimeEnd->text(), "65000 ms [0:01:05]");
    EXPECT_EQ(w->lblSelectedTime->text(), "65000 ms [0:01:05]");
}

TEST_F(EditorWindowTest, WritesTimesWithTheSecondsRoundedHalfToEven)
{
    const std::vector<std::pair<std::int32_t, QString>> cases = {
        {0, "0 ms [0:00:00]"},       {750, "750 ms [0:00:01]"},     {1500, "1500 ms [0:00:02]"},
        {2500, "2500 ms [0:00:02]"}, {3499, "3499 ms [0:00:03]"},   {3500, "3500 ms [0:00:04]"},
        {4000, "4000 ms [0:00:04]"}, {3661500, "3661500 ms [1:01:02]"}};
    for (const auto& [ms, text] : cases) EXPECT_EQ(CfrmAudioEditor::TimeText(ms), text) << ms;
}

TEST_F(EditorWindowTest, ShowsTheSelectionTheControlReports)
{
    Open(kSource, Seconds(65));
    Fake()->Select(66150, 176400); // 1500 ms to 4000 ms
    EXPECT_EQ(w->lblSamplesStart->text(), "66150");
    EXPECT_EQ(w->lblSamplesEnd->text(), "176400");
    EXPECT_EQ(w->lblTimeStart->text(), "1500 ms [0:00:02]");
    EXPECT_EQ(w->lblTimeEnd->text(), "4000 ms [0:00:04]");
    EXPECT_EQ(w->lblSelectedTime->text(), "2500 ms [0:00:02]");
}

TEST_F(EditorWindowTest, PlaysPausesResumesAndStops)
{
    Open(kSource, Seconds(10));
    FakeAudioEditor* fake = Fake();
    Click("Play");
    EXPECT_FALSE(w->tlbrList->ButtonEnabled("Play"));
    Click("Pause");
    Click("Pause");
    EXPECT_EQ(fake->calls.mid(fake->calls.indexOf("Play")),
              QStringList({"Play", "IsPaused", "Pause", "IsPaused", "Resume"}));
    fake->FinishPlay();
    EXPECT_TRUE(WaitFor([this] { return w->tlbrList->ButtonEnabled("Play"); })) << "PlayDone enables Play";

    Click("Play");
    Click("Stop");
    EXPECT_EQ(fake->calls.last(), "StopPlay");
    EXPECT_TRUE(w->tlbrList->ButtonEnabled("Play"));
    Click("Zoom");
    Click("Restore");
    EXPECT_EQ(fake->calls.mid(fake->calls.size() - 2), QStringList({"Zoom", "RestoreZoom"}));
}

TEST_F(EditorWindowTest, APlayTheControlRefusesKeepsPlayAndSaysWhy)
{
    Open(kSource, Seconds(10));
    Fake()->FailNextPlay(kEditorErrPlay, "No sound output device could be opened.");
    msgBox->Expect("No sound output device could be opened.");
    Click("Play");
    EXPECT_TRUE(w->tlbrList->ButtonEnabled("Play"));
    EXPECT_TRUE(WaitFor([this] { return msgBox->script.empty(); }));
}

TEST_F(EditorWindowTest, SavesTheReportedSelectionFromTheToolbar)
{
    Open(kSource, Seconds(65));
    Fake()->Select(66150, 176400);
    Fake()->QueueScript(Ends(Ending::Hang, {40}));
    dialogs->ExpectSave(Saved("part.wav"));
    Click("Save Selection");

    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_EQ(g_OFN.lpstrTitle, "Save Selection As");
    EXPECT_EQ(g_OFN.lpstrDefExt, "wav");
    EXPECT_EQ(g_OFN.lpstrFilter, QString("Wav Audio Files (*.wav)") + QChar(0) + "*.wav" + QChar(0));
    ASSERT_EQ(Fake()->saves.size(), 1u);
    const FakeAudioEditor::SaveCall& save = Fake()->saves.front();
    EXPECT_EQ(save.source, kSource);
    EXPECT_EQ(save.destination, Saved("part.wav"));
    EXPECT_EQ(save.startMs, 1500);
    EXPECT_EQ(save.lengthMs, 2500);
    EXPECT_FALSE(w->cmdAddSelection->isEnabled());
    EXPECT_FALSE(w->tlbrList->ButtonEnabled("Save Selection"));
    EXPECT_TRUE(WaitFor([this] { return w->prgCurrnet->Value() == 40; }));

    Fake()->Finish(Ending::Done);
    EXPECT_TRUE(WaitFor([this] { return w->cmdAddSelection->isEnabled(); }));
    EXPECT_TRUE(w->tlbrList->ButtonEnabled("Save Selection"));
    EXPECT_TRUE(QFile::exists(Saved("part.wav")));
    EXPECT_EQ(main.cGrid1->Rows(), 0) << "a save alone adds nothing";
    EXPECT_TRUE(w->IsLoaded());
}

TEST_F(EditorWindowTest, AnUntouchedSelectionIsTheWholeFileToItsLastSample)
{
    Open(kSource, Seconds(10.5));
    EXPECT_EQ(w->lblTimeEnd->text(), "10500 ms [0:00:10]");
    dialogs->ExpectSave(Saved("all.wav"));
    Click("Save Selection");
    ASSERT_EQ(Fake()->saves.size(), 1u);
    EXPECT_EQ(Fake()->saves.front().startMs, 0);
    EXPECT_EQ(Fake()->saves.front().lengthMs, 10500);
}

TEST_F(EditorWindowTest, CancellingTheSaveDialogChangesNothing)
{
    Open(kSource, Seconds(10));
    const QStringList before = Fake()->calls;
    dialogs->ExpectSave("");
    Click("Save Selection");
    EXPECT_EQ(Fake()->calls, before);
    EXPECT_TRUE(w->cmdAddSelection->isEnabled());
    EXPECT_TRUE(w->tlbrList->ButtonEnabled("Save Selection"));

    dialogs->ExpectSave("");
    w->cmdAddSelection->click();
    ProcessEvents();
    EXPECT_TRUE(w->IsLoaded()) << "a cancelled Add Selection keeps the window";
    EXPECT_EQ(Fake()->calls, before);
    EXPECT_EQ(main.cGrid1->Rows(), 0);
}

TEST_F(EditorWindowTest, ASaveErrorIsShownAndBothSaveButtonsComeBack)
{
    Open(kSource, Seconds(10));
    Fake()->QueueScript(Ends(Ending::Error));
    dialogs->ExpectSave(Saved("full.wav"));
    msgBox->Expect("The selection cannot be saved: the disk is full.");
    Click("Save Selection");
    EXPECT_TRUE(WaitFor([this] { return msgBox->script.empty(); }));
    EXPECT_TRUE(w->cmdAddSelection->isEnabled());
    EXPECT_TRUE(w->tlbrList->ButtonEnabled("Save Selection")) << "the user may save again elsewhere";
    EXPECT_FALSE(QFile::exists(Saved("full.wav")));
}

TEST_F(EditorWindowTest, AddSelectionAddsTheSavedFileOnceItIsWritten)
{
    Open(kSource, Seconds(10));
    Fake()->Select(44100, 176400); // 1 s to 4 s
    Fake()->QueueScript(Ends(Ending::Hang));
    dialogs->ExpectSave(Saved("three.wav"));
    w->cmdAddSelection->click();
    ProcessEvents();
    EXPECT_EQ(main.cGrid1->Rows(), 0) << "nothing is added before the file is written";
    EXPECT_TRUE(w->IsLoaded());

    Fake()->Finish(Ending::Done);
    ASSERT_TRUE(WaitFor([this] { return !w || !w->IsLoaded(); })) << "the window closes after adding";
    ASSERT_EQ(main.cGrid1->Rows(), 1);
    EXPECT_EQ(main.cGrid1->CellText(1, kColFile).toString(), Saved("three.wav"));
    EXPECT_EQ(main.cGrid1->CellText(1, kColItemName).toString(), "three.wav");
    EXPECT_EQ(main.cGrid1->CellText(1, kColTime).toString(), "00:00:03");
    EXPECT_TRUE(main.calls.contains("SaveGridToFile")) << "the new row is written to the list file";
    EXPECT_TRUE(main.calls.contains("DisplayGridInfoStatusBar"));
}

TEST_F(EditorWindowTest, AFailedOrAbortedAddAddsNothingAndKeepsTheWindow)
{
    Open(kSource, Seconds(10));
    Fake()->QueueScript(Ends(Ending::Error));
    dialogs->ExpectSave(Saved("a.wav"));
    msgBox->Expect("the disk is full");
    w->cmdAddSelection->click();
    EXPECT_TRUE(WaitFor([this] { return msgBox->script.empty() && w->cmdAddSelection->isEnabled(); }));

    Fake()->QueueScript(Ends(Ending::Hang, {20}));
    dialogs->ExpectSave(Saved("b.wav"));
    w->cmdAddSelection->click();
    Click("Abort"); // the toolbar's Abort stops the save
    EXPECT_TRUE(WaitFor([this] { return w->cmdAddSelection->isEnabled(); }));
    EXPECT_TRUE(Fake()->calls.contains("Abort"));
    EXPECT_TRUE(w->tlbrList->ButtonEnabled("Save Selection"));
    ProcessEvents();
    EXPECT_TRUE(w->IsLoaded());
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_FALSE(main.calls.contains("SaveGridToFile"));
}

TEST_F(EditorWindowTest, AnEmptySavedFileIsNotAdded)
{
    Open(kSource, Seconds(10));
    Fake()->writeOutputs = false;
    Fake()->QueueScript(Ends(Ending::Done));
    QFile tiny(Saved("tiny.wav"));
    ASSERT_TRUE(tiny.open(QIODevice::WriteOnly));
    tiny.write(QByteArray(44, 'x'));
    tiny.close();
    dialogs->ExpectSave(Saved("tiny.wav"));
    msgBox->Expect("The file:" + Saved("tiny.wav") + " is empty.");
    w->cmdAddSelection->click();
    EXPECT_TRUE(WaitFor([this] { return msgBox->script.empty(); }));
    EXPECT_TRUE(w->IsLoaded());
    EXPECT_EQ(main.cGrid1->Rows(), 0);
}

TEST_F(EditorWindowTest, ExitAbortsFirstTheCloseBoxOnlyReleases)
{
    Open(kSource, Seconds(10));
    QPointer<FakeAudioEditor> fake = Fake();
    w->cmdExit->click();
    ASSERT_TRUE(fake);
    const QStringList calls = fake->calls;
    EXPECT_EQ(calls.mid(calls.size() - 2), QStringList({"Abort", "Terminate"}));
    EXPECT_FALSE(g_frmAudioEditor.IsLoaded());
    ProcessEvents();

    Open(kSource, Seconds(10));
    fake = Fake();
    const qsizetype before = fake->calls.size();
    w->close();
    ASSERT_TRUE(fake);
    EXPECT_EQ(fake->calls.mid(before), QStringList({"Terminate"}));
    EXPECT_FALSE(g_frmAudioEditor.IsLoaded());
}

TEST_F(EditorWindowTest, ClosingDuringASaveLeavesNoFile)
{
    Open(kSource, Seconds(10));
    Fake()->QueueScript(Ends(Ending::Hang, {30}));
    dialogs->ExpectSave(Saved("cut.wav"));
    w->cmdAddSelection->click();
    w->close();
    ProcessEvents();
    EXPECT_FALSE(g_frmAudioEditor.IsLoaded());
    EXPECT_FALSE(QFile::exists(Saved("cut.wav")));
    EXPECT_EQ(main.cGrid1->Rows(), 0);
}

} // namespace

namespace {

TEST_F(EditorWindowTest, AddSelectionIsRefusedBeforeSavingWhenACDsListIsOpen)
{
    Open(kSource, Seconds(10));
    cTreeNode* cd = main.cTreeView1->Nodes()->Add(nullptr, 0, "##CDD: /dev/sr0", "D:");
    cd->SetSelected(true);
    const QStringList before = Fake()->calls;
    msgBox->Expect("Adding new items to the Audio CD List is not possible.");
    w->cmdAddSelection->click();
    EXPECT_TRUE(msgBox->script.empty());
    EXPECT_TRUE(dialogs->saveRequests.empty()) << "no file is saved that could not be added";
    EXPECT_EQ(Fake()->calls, before);
    EXPECT_TRUE(w->IsLoaded());
}

} // namespace
