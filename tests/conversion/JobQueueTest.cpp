// The job queue of the Audio Converter window, on the fake conversion control.
#include "ConverterFixture.h"

#include "controls/audio/AudioTestSupport.h"
#include "core/TextFiles.h"

#include "controls/widgets/WindowWidgets.h"
#include "controls/widgets/ProgressBars.h"
#include "core/Edition.h"
#include "platform/MessageBox.h"
#include "controls/widgets/TabControl.h"
#include "settings/frmAudioProp.h"
#include "settings/mdlOptions.h"
#include "settings/StoredControls.h"
#include "support/MainWindowDouble.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstring>

using namespace convtest;
using Ending = FakeAudioConverter::Ending;

namespace {

const QString kOgg = "OGG - Ogg Media Format (*.ogg)";
const QString kOverwrite = "' already exists.\r\n\r\nOverwrite it?";

class JobQueue : public ConverterTest {
protected:
    void SetUp() override
    {
        ConverterTest::SetUp();
        Open();
        w->cboTargetFormat->setCurrentText(kOgg);
        // Only the sound is ticked by the seeded settings; tick the folder too.
        SetCheckValue(w->chkOpenDestFolder, 1);
    }
    FakeAudioConverter::Script Hang(std::vector<std::int32_t> progress = {})
    {
        FakeAudioConverter::Script s;
        s.progress = std::move(progress);
        s.ending = Ending::Hang;
        return s;
    }
};

TEST_F(JobQueue, ThreeRowsConvertOneAfterAnotherAndEndDone)
{
    AddRows({{Source("a.wav"), "", "00:01:00", "1", "", "", "All", "Album", "Artist", "Note", "Rock", "[ITEM_NAME]",
              "[TRACK_NUM]", "2026"},
             {Source("b.wav")},
             {Source("c.wav")}});
    Run();
    ASSERT_EQ(Fake()->converts.size(), 3u);
    const QStringList names = {"a.ogg", "b.ogg", "c.ogg"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Fake()->converts[size_t(i)].source, Source(names[i].left(1) + ".wav"));
        EXPECT_EQ(Fake()->converts[size_t(i)].destination, Out() + names[i]);
        EXPECT_EQ(Fake()->converts[size_t(i)].format, kDestFormatOGG);
    }
    const auto& first = Fake()->converts[0];
    EXPECT_EQ(first.album, "Album");
    EXPECT_EQ(first.artist, "Artist");
    EXPECT_EQ(first.comment, "Note");
    EXPECT_EQ(first.genre, "Rock");
    EXPECT_EQ(first.title, "a.wav");
    EXPECT_EQ(first.track, "1");
    EXPECT_EQ(first.year, "2026");
    EXPECT_EQ(Fake()->calls.mid(0, 2), (QStringList{"SetOGGFormat", "Convert"}));

    EXPECT_EQ(LogLines(), (QStringList{"Preparing to convert: 3 tracks.", "Destination format: OGG",
                                       "Start to convert: a.wav...", "Done.", "Start to convert: b.wav...", "Done.",
                                       "Start to convert: c.wav...", "Done."}));
    EXPECT_EQ(w->lblCurrentTrack->text(), "Done.");
    EXPECT_EQ(w->windowTitle(), "Done.");
    EXPECT_EQ(w->lblFilesToConvert->text(), "Files: 3/3");
    EXPECT_EQ(w->prgTotal->Max(), 300);
    EXPECT_EQ(w->prgTotal->Value(), 300);
    EXPECT_EQ(w->prgCurrnet->Value(), 100);
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_TRUE(w->cmdExit->isEnabled());
    EXPECT_EQ(w->cGrid1->SelectedRow(), 3);
    // The end-of-job actions: the sound, then the destination folder.
    EXPECT_EQ(sound->played, QStringList{g_sPlayAtEnd});
    EXPECT_EQ(shell->opened, QStringList{Out()});
    EXPECT_TRUE(modal->shown.isEmpty());
    // The log page is in front; the destination is the newest history entry.
    EXPECT_TRUE(w->TabLog->isVisibleTo(w));
    EXPECT_FALSE(w->TabSettings->isVisibleTo(w));
    EXPECT_EQ(w->txtToPath->itemText(0), Out());
}

TEST_F(JobQueue, NoRowsEndsDoneAtOnce)
{
    Run();
    EXPECT_EQ(LogLines(), (QStringList{"Preparing to convert: 0 tracks.", "Destination format: OGG"}));
    EXPECT_TRUE(Fake()->converts.empty());
    EXPECT_EQ(w->lblCurrentTrack->text(), "Done.");
    EXPECT_EQ(sound->played.size(), 1);
    EXPECT_EQ(shell->opened.size(), 1);
}

TEST_F(JobQueue, EveryAnswerNoSkipsEveryRowAndStillEndsDone)
{
    AddFileRows(2);
    Touch(Out() + "a.ogg");
    Touch(Out() + "b.ogg");
    msgBox->Expect("The file: '" + Out() + "a.ogg" + kOverwrite, platform::vbNo);
    msgBox->Expect("The file: '" + Out() + "b.ogg" + kOverwrite, platform::vbNo);
    Run();
    EXPECT_TRUE(Fake()->converts.empty());
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbYesNoCancel | platform::vbInformation);
    EXPECT_EQ(LogLines().mid(2), (QStringList{"Start to convert: a.wav...", "File already exists.",
                                              "Start to convert: b.wav...", "File already exists."}));
    EXPECT_EQ(w->lblCurrentTrack->text(), "Done.");
    EXPECT_EQ(sound->played.size(), 1);
}

TEST_F(JobQueue, YesOverwritesAndTheOverwriteBoxSkipsTheQuestion)
{
    AddFileRows(2);
    Touch(Out() + "a.ogg");
    msgBox->Expect("a.ogg", platform::vbYes);
    Run();
    EXPECT_EQ(LogLines().mid(2, 4), (QStringList{"Start to convert: a.wav...", "File already exists.",
                                                 "Overwrite it...", "Done."}));
    EXPECT_EQ(Fake()->converts.size(), 2u);

    SetCheckValue(w->chkOverWrite, 1);
    Run(); // both outputs exist now: no question
    EXPECT_EQ(Fake()->converts.size(), 4u);
}

TEST_F(JobQueue, CancelOnTheFirstRowCancelsTheRun)
{
    AddFileRows(2);
    Touch(Out() + "a.ogg");
    msgBox->Expect("a.ogg", platform::vbCancel);
    Run();
    EXPECT_TRUE(Fake()->converts.empty());
    EXPECT_EQ(LogLines().mid(2), (QStringList{"Start to convert: a.wav...", "File already exists.", "Aborted."}));
    EXPECT_EQ(w->lblCurrentTrack->text(), "Aborted.");
    EXPECT_EQ(w->windowTitle(), "Aborted.");
    EXPECT_TRUE(w->cmdConvert->isEnabled());
    EXPECT_TRUE(w->Timer1->isActive()) << "the clock runs on until its next estimate";
    EXPECT_TRUE(sound->played.isEmpty());
    EXPECT_TRUE(shell->opened.isEmpty());
    w->Timer1->stop();
}

TEST_F(JobQueue, AnErrorOnTheLastRowEndsDoneWithErrorsWithoutTheShutdown)
{
    support::MainWindowDouble main;
    main.noticeArguments = {"notify", g_sAppName};
    SetCheckValue(w->chkNoticeApp, 1);
    SetCheckValue(w->chkTurnOffComputer, 1);
    AddFileRows(2);
    Fake()->QueueScript({});
    FakeAudioConverter::Script error;
    error.ending = Ending::Error;
    error.errorCode = 4;
    error.errorText = "The disk is full";
    Fake()->QueueScript(error);
    Run();
    EXPECT_EQ(LogLines().mid(2), (QStringList{"Start to convert: a.wav...", "Done.", "Start to convert: b.wav...",
                                              "Error: The disk is full(4)"}));
    EXPECT_TRUE(w->g_bConvertError);
    EXPECT_EQ(w->lblCurrentTrack->text(), "Done, with errors: 1 of 2 items failed.");
    EXPECT_EQ(w->windowTitle(), "Done, with errors: 1 of 2 items failed.");
    EXPECT_EQ(sound->played.size(), 1);
    EXPECT_EQ(shell->opened, QStringList{Out()});
    EXPECT_EQ(shell->started, QStringList{"notify " + g_sAppName});
    EXPECT_EQ(main.noticeFiles, QStringList{Out() + "a.ogg"}) << "the program hears of the last file made";
    EXPECT_TRUE(modal->shown.isEmpty()) << "no shutdown countdown after an error";
    const auto& balloons = main.cSysTray1->Balloons();
    ASSERT_FALSE(balloons.empty());
    EXPECT_EQ(balloons.back().text, "Done, with errors: 1 of 2 items failed.");
    EXPECT_EQ(balloons.back().title, g_sAppName + " " + g_sAppVersion);
    EXPECT_EQ(balloons.back().icon, 1);
    EXPECT_EQ(balloons.back().timeout, 30);
}

// How a run that went through all its rows ends, by what became of each item:
// 'd' done, 'e' failed, 's' skipped (No at the overwrite question).
struct EndingCase {
    const char* name;
    const char* items;
    QString text; // status label, caption and balloon
    bool folderAndProgram;
    bool countdown;
};
void PrintTo(const EndingCase& c, std::ostream* os) { *os << c.name; }

class JobEndings : public JobQueue, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(JobEndings, SayHowManyItemsFailedAndRunTheActionsThatFit)
{
    const EndingCase& c = GetParam();
    support::MainWindowDouble main;
    main.noticeArguments = {"notify"};
    SetCheckValue(w->chkNoticeApp, 1);
    SetCheckValue(w->chkTurnOffComputer, 1);
    modal->hook = [](QWidget* window) { window->close(); };
    const int rows = int(strlen(c.items));
    AddFileRows(rows);
    int failed = 0;
    for (int i = 0; i < rows; ++i) {
        const QString output = Out() + QChar('a' + i) + ".ogg";
        FakeAudioConverter::Script script;
        switch (c.items[i]) {
        case 's':
            Touch(output);
            msgBox->Expect(output, platform::vbNo);
            continue;
        case 'e':
            script.ending = Ending::Error;
            ++failed;
            break;
        }
        Fake()->QueueScript(script);
    }
    Run();
    EXPECT_EQ(w->lblCurrentTrack->text(), c.text);
    EXPECT_EQ(w->windowTitle(), c.text);
    ASSERT_FALSE(main.cSysTray1->Balloons().empty());
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, c.text);
    EXPECT_EQ(LogLines().count("Error: Scripted error(2)"), failed) << "each item's error stays in the log";
    EXPECT_EQ(sound->played.size(), 1);
    EXPECT_EQ(shell->opened, c.folderAndProgram ? QStringList{Out()} : QStringList{});
    EXPECT_EQ(shell->started, c.folderAndProgram ? QStringList{"notify"} : QStringList{});
    EXPECT_EQ(modal->shown, c.countdown ? QStringList{"g_frmTurnOff"} : QStringList{});
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor) << "the pointer is back to normal";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JobEndings,
    ::testing::Values(EndingCase{"AllDone", "dd", "Done.", true, true},
                      EndingCase{"OneOfThreeFailed", "ded", "Done, with errors: 1 of 3 items failed.", true, false},
                      EndingCase{"AllFailed", "ee", "Done, with errors: 2 of 2 items failed.", false, false},
                      EndingCase{"FailedAndSkipped", "se", "Done, with errors: 1 of 2 items failed.", false, false},
                      EndingCase{"AllSkipped", "ss", "Done.", true, true}),
    [](const ::testing::TestParamInfo<EndingCase>& info) { return info.param.name; });

TEST_F(JobQueue, TheSourceItselfIsRefusedBeforeAnyOverwriteQuestion)
{
    support::MainWindowDouble main;
    w->cboTargetFormat->setCurrentText("WAV - Waveform Audio Format (*.wav)");
    Touch(Out() + "a.wav"); // the source sits in the destination folder
    Touch(Out() + "b.wav");
    Touch(Source("b.wav"));
    AddRows({{Out() + "a.wav"}, {Source("b.wav")}});
    msgBox->Expect("The file: '" + Out() + "b.wav" + kOverwrite, platform::vbYes);
    Run();
    EXPECT_EQ(msgBox->shown.size(), 1u) << "no question about the source itself";
    EXPECT_EQ(LogLines().mid(2), (QStringList{"Start to convert: a.wav...",
                                              "Error: The destination is the source file itself; choose another "
                                              "name or folder: " + Out() + "a.wav(8)",
                                              "Start to convert: b.wav...", "File already exists.", "Overwrite it...",
                                              "Done."}));
    EXPECT_EQ(w->lblCurrentTrack->text(), "Done, with errors: 1 of 2 items failed.");
    QFile source(Out() + "a.wav");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    EXPECT_EQ(source.readAll(), "old");
}

TEST_F(JobQueue, AnEmptyOrRelativeDestinationIsRefusedBeforeAnyItem)
{
    struct Case {
        QString destination, message;
    };
    const Case cases[] = {
        {"", "Choose the destination folder first."},
        {"   ", "Choose the destination folder first."},
        {"music/", "The destination must be a full folder path, beginning with \"/\": music/"},
    };
    AddFileRows(1);
    const QString history = ReadTextFile(PathHistoryFile());
    for (const Case& c : cases) {
        w->txtToPath->setEditText(c.destination);
        msgBox->Expect(c.message);
        w->cmdConvert_Click();
        ASSERT_FALSE(msgBox->shown.empty());
        EXPECT_EQ(msgBox->shown.back().text, c.message);
        EXPECT_EQ(msgBox->shown.back().flags, platform::vbInformation);
        EXPECT_TRUE(w->cmdConvert->isEnabled());
        EXPECT_TRUE(Fake()->converts.empty()) << c.destination.toStdString();
        EXPECT_TRUE(w->txtLog->toPlainText().isEmpty());
        EXPECT_EQ(ReadTextFile(PathHistoryFile()), history);
        EXPECT_EQ(w->txtToPath->currentText(), c.destination);
    }
    EXPECT_FALSE(QFile::exists(QDir::currentPath() + "/a.ogg"));
}

TEST_F(JobQueue, TheJobsSettingsAreLockedWhileItRuns)
{
    SetCheckValue(w->chkCreateSubFolder, 1);
    w->txtUndeForlder->setText("sub");
    AddFileRows(3);
    FakeAudioConverter::Script error;
    error.ending = Ending::Error;
    Fake()->QueueScript(error);
    Fake()->QueueScript(Hang());
    const std::pair<const char*, QWidget*> settings[] = {
        {"format", w->cboTargetFormat},        {"format edit", w->cmdEditTargetFormat},
        {"destination", w->txtToPath},         {"browse", w->cmdSelectPath},
        {"file name pattern", w->cboFileName}, {"sub-folder box", w->chkCreateSubFolder},
        {"sub-folder name", w->txtUndeForlder}, {"overwrite box", w->chkOverWrite}};
    auto enabled = [&] {
        QStringList names;
        for (const auto& [name, widget] : settings)
            if (widget->isEnabled()) names << name;
        return names;
    };
    ASSERT_EQ(enabled().size(), 8);
    w->cmdConvert_Click();
    for (int i = 0; i < 100 && Fake()->converts.size() < 2; ++i) ProcessEvents();
    ASSERT_EQ(Fake()->converts.size(), 2u) << "the second item runs after the first failed";
    EXPECT_EQ(enabled(), QStringList{});
    // A user trying to pick another format mid-run changes nothing.
    const QString format = w->cboTargetFormat->currentText();
    QTest::keyClick(w->cboTargetFormat, Qt::Key_Down);
    EXPECT_EQ(w->cboTargetFormat->currentText(), format);
    Fake()->Finish(Ending::Done);
    WaitUntilIdle();
    ASSERT_EQ(Fake()->converts.size(), 3u);
    EXPECT_EQ(Fake()->converts[2].destination, Out() + "sub/c.ogg");
    EXPECT_EQ(enabled().size(), 8);

    // An aborted run unlocks them too; the name box follows its tick box.
    SetCheckValue(w->chkCreateSubFolder, 0);
    Fake()->QueueScript(Hang({30}));
    w->cmdConvert_Click();
    EXPECT_TRUE(enabled().isEmpty());
    msgBox->Expect("Abort operation?", platform::vbYes);
    w->cmdAbort_Click();
    WaitUntilIdle();
    EXPECT_EQ(enabled().size(), 7);
    EXPECT_FALSE(w->txtUndeForlder->isEnabled());
}

TEST_F(JobQueue, AHistoryThatCannotBeWrittenKeepsTheChosenDestination)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<audiotest::LockedFolder>()> arrange;
    };
    const Case cases[] = {
        {"history is a folder",
         [this] {
             QFile::remove(PathHistoryFile());
             QDir().mkpath(PathHistoryFile());
             return nullptr;
         }},
        {"program folder not writable",
         [this] {
             QDir().rmdir(PathHistoryFile());
             WriteTextFile("/an/older/destination/", PathHistoryFile());
             return std::make_unique<audiotest::LockedFolder>(ProgramFolder());
         }},
    };
    AddFileRows(1);
    SetCheckValue(w->chkOverWrite, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto locked = c.arrange();
        if (locked && !locked->Locked()) continue; // no way to lock a folder here
        w->txtToPath->setEditText(Out());
        Run();
        ASSERT_FALSE(Fake()->converts.empty());
        EXPECT_EQ(Fake()->converts.back().destination, Out() + "a.ogg");
        EXPECT_EQ(w->txtToPath->currentText(), Out());
        EXPECT_EQ(w->lblCurrentTrack->text(), "Done.");

        dialogs->ExpectFolder(Out() + "picked");
        w->cmdSelectPath_Click();
        EXPECT_EQ(w->txtToPath->currentText(), Out() + "picked/");
    }
}

TEST_F(JobQueue, AnErrorGoesOnWithTheNextRowAndAFaultlessRunOffersTheShutdown)
{
    SetCheckValue(w->chkTurnOffComputer, 1);
    AddFileRows(2);
    FakeAudioConverter::Script error;
    error.ending = Ending::Error;
    Fake()->QueueScript(error);
    modal->hook = [](QWidget* window) { window->close(); };
    Fake()->writeOutputs = false;
    Run();
    EXPECT_EQ(Fake()->converts.size(), 2u);
    EXPECT_TRUE(modal->shown.isEmpty());

    Run(); // the error flag starts clear: this run offers the countdown
    EXPECT_FALSE(w->g_bConvertError);
    EXPECT_EQ(modal->shown, QStringList{"g_frmTurnOff"});
    EXPECT_TRUE(power->requests.empty());
}

TEST_F(JobQueue, ProgressBarsCaptionAndItemSeconds)
{
    AddRows({{Source("a.wav"), "", "00:01:40"}, {Source("b.wav"), "", "00:02:00"}, {Source("c.wav")}});
    Fake()->QueueScript({});
    Fake()->QueueScript(Hang());
    w->cmdConvert_Click();
    for (int i = 0; i < 100 && Fake()->converts.size() < 2; ++i) ProcessEvents();
    ASSERT_EQ(Fake()->converts.size(), 2u);
    EXPECT_EQ(w->g_ltmrUpToItemSecs, 100);
    EXPECT_EQ(w->g_ltmrItemSecs, 120);
    w->setWindowTitle("before");
    w->cAudioConverter1_Progress(0);
    EXPECT_EQ(w->windowTitle(), "before");
    EXPECT_EQ(w->cursor().shape(), Qt::WaitCursor) << "a 0 percent report changes nothing";
    w->cAudioConverter1_Progress(40);
    EXPECT_EQ(w->prgCurrnet->Value(), 40);
    EXPECT_EQ(w->prgTotal->Value(), 140);
    EXPECT_EQ(w->prgTotal->Max(), 300);
    EXPECT_EQ(w->windowTitle(), "Converting... [ 40% / 46.6666666666667% ]");
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(w->g_ltmrCurItemSecs, 48);
    w->cAudioConverter1_Progress(25);
    EXPECT_EQ(w->g_ltmrCurItemSecs, 30);
    EXPECT_EQ(w->windowTitle(), "Converting... [ 25% / 41.6666666666667% ]");
    Fake()->Finish(Ending::Done);
    WaitUntilIdle();
}

TEST_F(JobQueue, TimeLeftEstimateAndItsSecondRun)
{
    AddRows({{Source("a.wav"), "", "00:01:40"}, {Source("b.wav"), "", "00:01:40"}});
    w->g_ltmrItemSecsTotal = 200;
    Fake()->writeOutputs = false;
    Fake()->QueueScript(Hang());
    w->cmdConvert_Click();
    EXPECT_EQ(w->g_ltmrSces, 1);
    EXPECT_TRUE(w->Timer1->isActive());
    w->Timer1_Timer(); // nothing done yet: no estimate, the label stays
    EXPECT_EQ(w->lblTimeLeft->text(), "Time Left: 00:00:00");
    w->cAudioConverter1_Progress(25); // 25 of 200 seconds after 2 ticks
    w->Timer1_Timer();                // 3 / 25 * 175 = 21
    EXPECT_EQ(w->g_ltmrSces, 3);
    EXPECT_EQ(w->lblTimeLeft->text(), "Time Left: 00:00:21");
    Fake()->QueueScript(Hang());
    Fake()->Finish(Ending::Done);
    for (int i = 0; i < 100 && Fake()->converts.size() < 2; ++i) ProcessEvents();
    EXPECT_EQ(w->g_ltmrUpToItemSecs, 100);
    w->cAudioConverter1_Progress(50); // 150 of 200 after 4 ticks
    w->Timer1_Timer();                // 4 / 150 * 50 = 1.33
    EXPECT_EQ(w->lblTimeLeft->text(), "Time Left: 00:00:01");
    Fake()->Finish(Ending::Done);
    WaitUntilIdle();
    EXPECT_FALSE(w->Timer1->isActive());

    // The second run counts only its own finished seconds.
    Fake()->QueueScript(Hang());
    w->cmdConvert_Click();
    EXPECT_EQ(w->g_ltmrUpToItemSecs, 0);
    EXPECT_EQ(w->g_ltmrSces, 1);
    w->cAudioConverter1_Progress(10); // 10 of 200 after 2 ticks
    w->Timer1_Timer();                // 2 / 10 * 190 = 38
    EXPECT_EQ(w->lblTimeLeft->text(), "Time Left: 00:00:38");
    Fake()->Finish(Ending::Done);
    WaitUntilIdle();
}

TEST_F(JobQueue, TimeLeftAfterTheRunShowsOnceThenResets)
{
    w->g_ltmrItemSecsTotal = 7200;
    w->g_ltmrSces = 1;
    w->g_ltmrCurItemSecs = 1;
    w->Timer1->start();
    w->Timer1_Timer(); // 2 / 1 * 7199, but the run is over
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_EQ(w->lblTimeLeft->text(), "Time Left: 00:00:00");
    // A long estimate keeps two-digit hours and more.
    w->cmdConvert->setEnabled(false);
    w->g_ltmrSces = 99;
    w->Timer1_Timer(); // 100 / 1 * 7199
    EXPECT_EQ(w->lblTimeLeft->text(), "Time Left: 199:58:20");
    w->g_ltmrItemSecsTotal = 3;
    w->g_ltmrSces = 0;
    w->Timer1_Timer(); // 1 / 1 * 2
    EXPECT_EQ(w->lblTimeLeft->text(), "Time Left: 00:00:02");
    w->cmdConvert->setEnabled(true);
}

TEST_F(JobQueue, AbortAnsweredNoThenYes)
{
    w->cmdAbort_Click(); // idle: no question
    EXPECT_TRUE(msgBox->shown.empty());
    support::MainWindowDouble main;
    AddFileRows(3);
    Fake()->QueueScript(Hang({30}));
    w->cmdConvert_Click();
    ProcessEvents();
    const QString question = "Abort operation?" + QString(38, ' ');
    msgBox->Expect(question, platform::vbNo);
    w->cmdAbort_Click();
    EXPECT_FALSE(w->cmdConvert->isEnabled());
    EXPECT_TRUE(w->Timer1->isActive());
    EXPECT_EQ(msgBox->shown.back().text, question);
    EXPECT_EQ(msgBox->shown.back().flags, platform::vbYesNo | platform::vbInformation);

    msgBox->Expect(question, platform::vbYes);
    w->cmdAbort_Click();
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Aborted.");
    WaitUntilIdle();
    EXPECT_TRUE(Fake()->calls.contains("Abort"));
    EXPECT_EQ(Fake()->converts.size(), 1u) << "the remaining rows are not converted";
    EXPECT_EQ(LogLines().last(), "Aborted.");
    EXPECT_EQ(w->lblCurrentTrack->text(), "Aborted.");
    EXPECT_EQ(w->windowTitle(), "Aborted.");
    EXPECT_TRUE(w->cmdExit->isEnabled());
    EXPECT_TRUE(sound->played.isEmpty());
}

TEST_F(JobQueue, AbortAnsweredAfterTheJobEndedChangesNothing)
{
    support::MainWindowDouble main;
    AddFileRows(1);
    Fake()->QueueScript(Hang({30}));
    w->cmdConvert_Click();
    ProcessEvents();
    msgBox->ExpectWhile("Abort operation?", platform::vbYes, [this] {
        Fake()->Finish(Ending::Done);
        WaitUntilIdle();
    });
    w->cmdAbort_Click();
    EXPECT_FALSE(Fake()->calls.contains("Abort"));
    EXPECT_EQ(LogLines().last(), "Done.");
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Done.");
}

TEST_F(JobQueue, AnEmptyPatternNamesOutputsAfterTheirFiles)
{
    support::MainWindowDouble main;
    AddFileRows(1);
    w->cboFileName->clear(); // an empty FileNameFormats.txt leaves no pattern to pick
    w->cmdConvert_Click();
    WaitUntilIdle();
    ASSERT_EQ(Fake()->converts.size(), 1u);
    EXPECT_TRUE(Fake()->converts[0].destination.endsWith(".ogg")) << Fake()->converts[0].destination.toStdString();
    EXPECT_FALSE(Fake()->converts[0].destination.endsWith("/.ogg"));
}

TEST_F(JobQueue, TheWindowRefusesToCloseWhileRunning)
{
    AddFileRows(1);
    Fake()->QueueScript(Hang());
    w->cmdConvert_Click();
    EXPECT_FALSE(w->cmdExit->isEnabled());
    EXPECT_FALSE(w->Unload());
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->IsLoaded());
    EXPECT_FALSE(Fake()->calls.contains("Terminate"));
    Fake()->Finish(Ending::Done);
    WaitUntilIdle();
    FakeAudioConverter* fake = Fake();
    w->cmdExit_Click();
    EXPECT_TRUE(fake->calls.contains("Terminate"));
    EXPECT_FALSE(g_frmConverter.IsLoaded());
}

TEST_F(JobQueue, EveryItemSetsItsOwnRange)
{
    Row ranged{Source("a.wav"), "", "00:05:00", "0", "65", "30", "00:01:05 - 00:01:35"};
    AddRows({ranged, {Source("b.wav")}});
    Run();
    ASSERT_EQ(Fake()->converts.size(), 2u);
    EXPECT_TRUE(Fake()->converts[0].ranged);
    EXPECT_EQ(Fake()->converts[0].rangeStart, 65);
    EXPECT_EQ(Fake()->converts[0].rangeLength, 30);
    EXPECT_FALSE(Fake()->converts[1].ranged) << "a whole-file row after a ranged one converts whole";
}

TEST_F(JobQueue, ItemSecondsOfWholeRangedAndUnreadableRows)
{
    struct Case {
        Row row;
        std::int32_t seconds;
    };
    const Case cases[] = {
        {{Source("a.wav"), "", "01:02:03"}, 3723},
        {{Source("b.wav"), "", "00:05:00", "0", "10", "42"}, 42},
        {{Source("c.wav"), "", "not a time"}, 0},
        {{Source("d.wav"), "", "00:05:00", "0", "10", "x"}, 0},
    };
    for (const Case& c : cases) {
        w->cGrid1->Clear();
        AddRow(w->cGrid1, c.row);
        w->g_ltmrItemSecs = 99;
        Run();
        EXPECT_EQ(w->g_ltmrItemSecs, c.seconds) << c.row.time.toStdString();
    }
}

TEST_F(JobQueue, ADestinationWithoutSlashGetsOne)
{
    w->txtToPath->setEditText(Out().chopped(1));
    AddFileRows(1);
    Run();
    EXPECT_EQ(w->txtToPath->currentText(), Out());
    EXPECT_EQ(Fake()->converts.at(0).destination, Out() + "a.ogg");
}

TEST_F(JobQueue, SubFolderIsCreatedAndUsed)
{
    SetCheckValue(w->chkCreateSubFolder, 1);
    w->txtUndeForlder->setText("New-Items-List-1");
    AddFileRows(1);
    Run();
    EXPECT_TRUE(QDir(Out() + "New-Items-List-1").exists());
    EXPECT_EQ(Fake()->converts.at(0).destination, Out() + "New-Items-List-1/a.ogg");
    EXPECT_EQ(shell->opened, QStringList{Out() + "New-Items-List-1/"});
}

TEST_F(JobQueue, ASubFolderThatCannotBeCreatedIsSaidOnceAndNoItemStarts)
{
    Touch(Out() + "blocked");
    SetCheckValue(w->chkCreateSubFolder, 1);
    w->txtUndeForlder->setText("blocked");
    AddFileRows(3);
    Run();
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 3) << lines.join('|').toStdString();
    EXPECT_TRUE(lines[2].startsWith("Error: The path: " + Out() + "blocked cannot be created.(")) << lines[2].toStdString();
    EXPECT_TRUE(Fake()->converts.empty()) << "never written elsewhere";
    EXPECT_EQ(w->cTabControl1->TabKey(w->cTabControl1->SelectedTab()), "Log");
    EXPECT_TRUE(w->cmdConvert->isEnabled());
}

// The user's destination is made when the job starts, however deep; when it
// cannot be, that is said once, before any item, instead of by every item.
TEST_F(JobQueue, AMissingDestinationIsMadeWhenTheJobStarts)
{
    w->txtToPath->setEditText(Out() + "new/deeper/");
    AddFileRows(2);
    w->cmdConvert->click();
    WaitUntilIdle();
    EXPECT_TRUE(QFileInfo(Out() + "new/deeper").isDir());
    ASSERT_EQ(Fake()->converts.size(), 2u);
    EXPECT_EQ(Fake()->converts.at(1).destination, Out() + "new/deeper/b.ogg");
    EXPECT_FALSE(w->g_bConvertError);
}

TEST_F(JobQueue, ADestinationThatCannotBeMadeIsSaidOnceBeforeAnyItem)
{
    Touch(Out() + "file");
    w->txtToPath->setEditText(Out() + "file/inner/");
    AddFileRows(11);
    w->cmdConvert->click();
    WaitUntilIdle();
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 3) << lines.join('|').toStdString();
    EXPECT_EQ(lines[0], "Preparing to convert: 11 tracks.");
    EXPECT_TRUE(lines[2].startsWith("Error: The path: " + Out() + "file/inner cannot be created.(")) << lines[2].toStdString();
    EXPECT_TRUE(Fake()->converts.empty());
    EXPECT_TRUE(w->g_bConvertError);
}

// Closing the format dialog without OK leaves the format chosen in the window.
TEST_F(JobQueue, EditClosedWithExitKeepsTheChosenFormat)
{
    const int wav = w->cboTargetFormat->findText("WAV", Qt::MatchStartsWith);
    ASSERT_GE(wav, 0);
    w->cboTargetFormat->setCurrentIndex(wav);
    modal->hook = [](QWidget* window) {
        auto* dlg = qobject_cast<CfrmAudioProp*>(window);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->cTabControl1->TabKey(dlg->cTabControl1->SelectedTab()), "WAV");
        dlg->cmdExit->click();
    };
    w->cmdEditTargetFormat->click();
    EXPECT_EQ(modal->shown.size(), 1);
    EXPECT_EQ(w->cboTargetFormat->currentIndex(), wav);
    AddFileRows(1);
    Run();
    ASSERT_EQ(Fake()->converts.size(), 1u);
    EXPECT_EQ(Fake()->converts.at(0).destination, Out() + "a.wav");
}

TEST_F(JobQueue, TheLogOfASecondRunFollowsABlankLine)
{
    Run();
    Run();
    EXPECT_EQ(LogLines(), (QStringList{"Preparing to convert: 0 tracks.", "Destination format: OGG", "",
                                       "Preparing to convert: 0 tracks.", "Destination format: OGG"}));
}

} // namespace
