// The Audio CD Maker on the fake writer: loading, the figures the opener
// writes, the burn and its events, refused files, errors, Abort, the end of
// the job and closing.
#include "CDBurnerFixture.h"

#include "controls/cd/CDRipperTestSupport.h"
#include "support/FakeAudioConverter.h"
#include "lists/ItemRows.h"

#include "controls/cd/OpticalDrives.h"
#include "controls/widgets/ProgressBar.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/StatusBar.h"
#include "controls/widgets/TabControl.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "platform/MessageBox.h"
#include "platform/UserSettings.h"
#include "settings/StoredControls.h"
#include "settings/mdlOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace cdburntest;
using Ending = FakeAudioBurner::Ending;

namespace {

const QStringList kTwoFiles{"/music/a.wav", "/music/b.mp3"};

FakeAudioBurner::Script Ends(Ending ending)
{
    FakeAudioBurner::Script s;
    s.ending = ending;
    return s;
}

// Runs `action` once the writer starts writing, inside the burn call.
void WhileWriting(CfrmCDBurner* w, std::function<void()> action)
{
    auto fired = std::make_shared<bool>(false);
    QObject::connect(w->cAudioBurner1.get(), &cAudioBurner::WritingTrack, w, [fired, action] {
        if (*fired) return;
        *fired = true;
        QTimer::singleShot(0, action);
    });
}

TEST_F(CDBurnerWindowTest, LoadingListsTheWritersSpeedsAndDiscFacts)
{
    FakeAudioBurner::Drive second = FakeAudioBurner::Writer(1);
    second.mediaState = "The disc is not blank.";
    second.speeds = {};
    Writers({FakeAudioBurner::Writer(0), second});
    platform::SaveSetting(g_sAppName, "General", "chkOpenCDdrive", "1");
    g_bPlaySound = true;
    g_bTurnOffComputer = false;
    Open();
    EXPECT_EQ(w->windowTitle(), "Audio CD Burner");
    EXPECT_EQ(w->cmdConvert->text(), "Burn");
    EXPECT_EQ(w->cTabControl1->TabKey(1), "Settings");
    ASSERT_EQ(w->cboDrv->count(), 2);
    EXPECT_EQ(w->cboDrv->currentText(), "D: /dev/sr0 FAKE WRITER");
    EXPECT_EQ(w->cboSpeed->count(), 3);
    EXPECT_EQ(w->cboSpeed->itemText(1), "700 KB/s (3x)");
    EXPECT_EQ(w->cboSpeed->currentText(), "Max.");
    EXPECT_EQ(w->lblDiskCapacity->text(), QString::number(qRound(737280000 / 153535.0 / 60)) + " Min");
    EXPECT_EQ(w->lblState->text(), "OK - Ready to be burn.");
    EXPECT_EQ(CheckValue(w->chkOpenCDdrive), 1);
    EXPECT_EQ(CheckValue(w->chkPlaySound), 1);
    EXPECT_EQ(CheckValue(w->chkTurnOffComputer), 0);
    EXPECT_FALSE(w->txtToPath->isVisibleTo(w)) << "no destination folder";

    w->cboDrv->setCurrentIndex(1);
    EXPECT_EQ(w->cboSpeed->count(), 1);
    EXPECT_EQ(w->lblState->text(), "The disc is not blank.");
    EXPECT_TRUE(w->lblState->font().bold());
    EXPECT_TRUE(Fake()->calls.contains("GetSpeedCount E"));
}

struct TotalsCase {
    int items, seconds;
    QString count, panel, dataSize;
    int bar;
    bool tooBig;
};

TEST_F(CDBurnerWindowTest, TheOpenersFiguresRoundMinutesHalfToEvenAndWarnAboveEightyMinutes)
{
    const QString tooBig = "Data is to big (more then 80 min). Please remove some tracks.";
    const TotalsCase cases[] = {
        {3, 90, "3 items to burn (2 minutes).", "2 Min / 80 Min.", "Data Size: 3 files, 2 Min / 80 Min.", 2, false},
        {2, 150, "2 items to burn (2 minutes).", "2 Min / 80 Min.", "Data Size: 2 files, 2 Min / 80 Min.", 2, false},
        {20, 4800, "20 items to burn (80 minutes).", "80 Min / 80 Min.", "Data Size: 20 files, 80 Min / 80 Min.", 80,
         false},
        {20, 4801, "20 items to burn (80 minutes).", "80 Min / 80 Min.", tooBig, 80, true},
    };
    for (const TotalsCase& c : cases) {
        SCOPED_TRACE(c.seconds);
        Open();
        ShowBurnTotals(w, c.items, c.seconds);
        EXPECT_EQ(w->lblFilesToConvert->text(), c.count);
        EXPECT_EQ(w->cStatusBar1->PanelText("Total Size"), c.panel);
        EXPECT_EQ(w->lblDataSize->text(), c.dataSize);
        EXPECT_EQ(w->lblDataSize->font().bold(), c.tooBig);
        EXPECT_EQ(w->prgSize->Max(), 83);
        EXPECT_EQ(w->prgSize->Value(), c.bar);
        EXPECT_EQ(w->prgSize->BarColor() == 255, c.tooBig);
        w->Unload();
    }
}

// The disc state line is no "OK - Ready to be burn." for tracks that do not
// fit on the disc in the writer (737,280,000 bytes: 4,802 seconds).
TEST_F(CDBurnerWindowTest, TheDiscStateSaysWhenTheTracksDoNotFit)
{
    Open();
    ShowBurnTotals(w, 25, 4900);
    EXPECT_EQ(w->lblState->text(), "The selected tracks do not fit on the disc: 82 Min / 80 Min.");
    EXPECT_TRUE(w->lblState->font().bold());
    w->cboDrv->setCurrentIndex(-1);
    w->cboDrv->setCurrentIndex(0);
    EXPECT_EQ(w->lblState->text(), "The selected tracks do not fit on the disc: 82 Min / 80 Min.")
        << "a drive picked again keeps the tracks in view";
    ShowBurnTotals(w, 20, 4801);
    EXPECT_EQ(w->lblState->text(), "OK - Ready to be burn.");
    EXPECT_FALSE(w->lblState->font().bold());
}

TEST_F(CDBurnerWindowTest, ABurnHandsEveryFileToTheWriterAndFollowsItsEvents)
{
    Open(kTwoFiles);
    w->cboSpeed->setCurrentIndex(0);
    w->cmdConvert_Click();
    EXPECT_TRUE(w->cmdConvert->isEnabled());
    EXPECT_FALSE(w->BurnCallRunning());
    EXPECT_EQ(LogLines(), (QStringList{"Preparing to burn: 2 tracks.", "List the files to burn...",
                                       "Caching track...", "Caching track...", "Writing track...", "Closing track...",
                                       "Writing track...", "Closing track...", "Closing session...", "Finished."}));
    EXPECT_EQ(w->lblCurrentTrack->text(), "Finished.");
    EXPECT_EQ(w->lblFilesToConvert->text(), "Files: 2/2");
    EXPECT_EQ(w->prgTotal->Max(), 2);
    EXPECT_EQ(w->prgTotal->Value(), 2);
    EXPECT_EQ(w->prgCurrnet->Value(), 100);
    EXPECT_EQ(w->cTabControl1->TabKey(w->cTabControl1->SelectedTab()), "Log");
    ASSERT_EQ(Fake()->burns.size(), 1u);
    EXPECT_EQ(Fake()->burns[0].files, kTwoFiles);
    EXPECT_EQ(Fake()->burns[0].speed, 352);
    EXPECT_TRUE(Fake()->burns[0].decode);
    EXPECT_EQ(Fake()->calls.last(), "ClearFiles");

    // The same items again: after a blank line, counted afresh.
    Fake()->drives[0].speeds = {};
    w->cmdConvert_Click();
    const QStringList lines = LogLines();
    EXPECT_EQ(lines.count("Preparing to burn: 2 tracks."), 2);
    EXPECT_EQ(lines.at(10), "");
    ASSERT_EQ(Fake()->burns.size(), 2u);
    EXPECT_EQ(Fake()->burns[1].files, kTwoFiles);
}

TEST_F(CDBurnerWindowTest, RefusedFilesAreNamedAndLeftOut)
{
    Open(kTwoFiles);
    Fake()->refusedFiles = {"/music/a.wav"};
    w->cmdConvert_Click();
    EXPECT_TRUE(LogLines().contains("Cannot add a.wav"));
    ASSERT_EQ(Fake()->burns.size(), 1u);
    EXPECT_EQ(Fake()->burns[0].files, QStringList{"/music/b.mp3"});
    EXPECT_EQ(w->lblFilesToConvert->text(), "Files: 1/2");
}

TEST_F(CDBurnerWindowTest, WhenEveryFileIsRefusedNothingIsBurned)
{
    Open(kTwoFiles);
    Fake()->refusedFiles = kTwoFiles;
    msgBox->Expect("Nothing to burn.");
    w->cmdConvert_Click();
    EXPECT_EQ(LogLines(), (QStringList{"Preparing to burn: 2 tracks.", "List the files to burn...", "Cannot add a.wav",
                                       "Cannot add b.mp3"}));
    EXPECT_TRUE(Fake()->burns.empty());
    EXPECT_TRUE(w->cmdConvert->isEnabled());
}

TEST_F(CDBurnerWindowTest, WithoutAWriterABurnSaysSoAndTheWindowStaysUsable)
{
    Writers({});
    Open(kTwoFiles);
    EXPECT_EQ(w->cboDrv->count(), 0);
    EXPECT_EQ(w->cboSpeed->count(), 0);
    EXPECT_EQ(w->lblState->text(), "");
    msgBox->Expect("No CD writer was found");
    w->cmdConvert_Click();
    EXPECT_TRUE(w->cmdConvert->isEnabled());
    EXPECT_TRUE(Fake()->burns.empty());
    msgBox->Expect("No CD writer was found");
    w->cmdOpenCD_Click();
    w->cmdExit_Click();
    EXPECT_FALSE(g_frmCDBurner.IsLoaded());
}

struct FailureCase {
    const char* name;
    Ending ending;
    QString line;
};

TEST_F(CDBurnerWindowTest, AFailedBurnIsLoggedWithoutEndActions)
{
    const FailureCase cases[] = {{"error event", Ending::Error, "Error:Scripted error(45)"},
                                 {"no event", Ending::FailSilently, "Error:The burn did not finish.(45)"}};
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        Open(kTwoFiles);
        for (QCheckBox* box : {w->chkPlaySound, w->chkOpenDestFolder, w->chkNoticeApp, w->chkTurnOffComputer,
                               w->chkOpenCDdrive})
            SetCheckValue(box, 1);
        Fake()->QueueScript(Ends(c.ending));
        w->cmdConvert_Click();
        EXPECT_EQ(LogLines().last(), c.line);
        EXPECT_EQ(w->lblCurrentTrack->text(), c.line);
        EXPECT_TRUE(w->cmdConvert->isEnabled());
        EXPECT_TRUE(sound->played.isEmpty());
        EXPECT_TRUE(shell->opened.isEmpty());
        EXPECT_TRUE(modal->shown.isEmpty());
        EXPECT_FALSE(Fake()->calls.contains("OpenTray D"));
        EXPECT_EQ(Fake()->calls.last(), "ClearFiles");
        w->cmdExit_Click();
        EXPECT_FALSE(g_frmCDBurner.IsLoaded());
    }
}

TEST_F(CDBurnerWindowTest, AFinishedBurnRunsTheTickedEndActionsInOrder)
{
    const QString folder = ProgramFolder() + "/image";
    QDir().mkpath(folder);
    optical::SetDiscImages(QStringList{});
    optical::SetImageWriters(optical::ImageWriters{folder + "/out.cue", {}}); // drive D:
    main.noticeArguments = {"notify", "burned"};
    Open(kTwoFiles);
    for (QCheckBox* box :
         {w->chkPlaySound, w->chkOpenDestFolder, w->chkNoticeApp, w->chkTurnOffComputer, w->chkOpenCDdrive})
        SetCheckValue(box, 1);
    modal->hook = [](QWidget* window) { window->close(); };
    w->cmdConvert_Click();
    EXPECT_EQ(sound->played, QStringList{g_sPlayAtEnd});
    EXPECT_EQ(shell->opened, QStringList{folder});
    EXPECT_EQ(shell->started, QStringList{"notify burned"});
    EXPECT_EQ(main.noticeFiles, QStringList{kTwoFiles.last()}) << "the program hears of the disc's last track";
    EXPECT_TRUE(Fake()->calls.contains("OpenTray D"));
    EXPECT_EQ(modal->shown, QStringList{"g_frmTurnOff"});
    EXPECT_TRUE(main.cSysTray1->Balloons().empty()) << "no balloon at the end";
    EXPECT_EQ(w->windowTitle(), "Audio CD Burner");
}

TEST_F(CDBurnerWindowTest, AbortAnsweredNoLetsTheBurnFinish)
{
    Open(kTwoFiles);
    Fake()->QueueScript(Ends(Ending::Hang));
    WhileWriting(w, [this] {
        msgBox->Expect("Abort operation?", platform::vbNo);
        w->cmdAbort_Click();
        EXPECT_FALSE(w->cmdConvert->isEnabled());
        Fake()->Finish(Ending::Finished);
    });
    w->cmdConvert_Click();
    EXPECT_FALSE(Fake()->calls.contains("Abort"));
    EXPECT_EQ(w->lblCurrentTrack->text(), "Finished.");
}

TEST_F(CDBurnerWindowTest, AbortAnsweredYesStopsTheBurnAndTheWindowWaitsForTheCallToReturn)
{
    Open(kTwoFiles);
    Fake()->QueueScript(Ends(Ending::Hang));
    bool enabledAfterAbort = false;
    WhileWriting(w, [&] {
        w->close();
        EXPECT_TRUE(g_frmCDBurner.IsLoaded()) << "closing is refused while burning";
        EXPECT_TRUE(msgBox->shown.empty()) << "without a message";
        msgBox->Expect("Abort operation?" + QString(38, ' '), platform::vbYes);
        w->cmdAbort_Click();
        enabledAfterAbort = w->cmdConvert->isEnabled();
    });
    w->cmdConvert_Click();
    EXPECT_TRUE(enabledAfterAbort);
    EXPECT_TRUE(Fake()->calls.contains("Abort"));
    EXPECT_TRUE(w->cmdConvert->isEnabled());
    EXPECT_NE(LogLines().last(), "Finished.");
    EXPECT_FALSE(LogLines().contains("Aborted.")) << "no log line of its own";
    ASSERT_EQ(main.cSysTray1->Balloons().size(), 1u);
    EXPECT_EQ(main.cSysTray1->Balloons()[0].text, "Aborted.");
    EXPECT_EQ(main.cSysTray1->Balloons()[0].title, g_sAppName + " " + g_sAppVersion);
    EXPECT_EQ(Fake()->calls.last(), "ClearFiles");
}

TEST_F(CDBurnerWindowTest, UntilTheBurnCallReturnsASecondBurnAndClosingAreRefused)
{
    Open(kTwoFiles);
    Fake()->QueueScript(Ends(Ending::Hang));
    WhileWriting(w, [this] {
        // As after a confirmed Abort whose call has not returned yet.
        w->cmdConvert->setEnabled(true);
        msgBox->Expect("The last burn is still stopping");
        w->cmdConvert_Click();
        w->cmdExit_Click();
        EXPECT_TRUE(g_frmCDBurner.IsLoaded());
        Fake()->Finish(Ending::Finished);
    });
    w->cmdConvert_Click();
    EXPECT_EQ(Fake()->burns.size(), 1u);
    w->cmdExit_Click();
    EXPECT_FALSE(g_frmCDBurner.IsLoaded());
}

TEST_F(CDBurnerWindowTest, AbortWhileIdleDoesNothing)
{
    Open(kTwoFiles);
    w->cmdAbort_Click();
    EXPECT_TRUE(msgBox->shown.empty());
    EXPECT_FALSE(Fake()->calls.contains("Abort"));
}

TEST_F(CDBurnerWindowTest, TrayButtonsAndTheBrowseLinkActOnTheSelectedWriter)
{
    Writers({FakeAudioBurner::Writer(0), FakeAudioBurner::Writer(1)});
    Open();
    w->cboDrv->setCurrentIndex(1);
    w->cmdOpenCD_Click();
    w->cmdClose_Click();
    EXPECT_TRUE(Fake()->calls.contains("OpenTray E"));
    EXPECT_TRUE(Fake()->calls.contains("CloseTray E"));
    Fake()->drives[1].trayError = kBurnErrTray;
    msgBox->Expect("The tray of drive E: did not open.");
    w->cmdOpenCD_Click();
    // A machine drive whose disc is not mounted has no folder to show.
    msgBox->Expect("There is no folder to open for E:");
    w->lblOpenDestinationDestinationFolder_Click();
    EXPECT_TRUE(shell->opened.isEmpty());
}

TEST_F(CDBurnerWindowTest, OpenTheCDDriveIsKeptPerUserAndTheOtherBoxesFollowTheSettings)
{
    Open();
    EXPECT_EQ(CheckValue(w->chkOpenCDdrive), 0);
    SetCheckValue(w->chkOpenCDdrive, 1);
    SetCheckValue(w->chkNoticeApp, 1);
    g_bNoticeApp = false;
    w->cmdExit_Click();
    EXPECT_EQ(platform::GetSetting(g_sAppName, "General", "chkOpenCDdrive"), "1");
    Open();
    EXPECT_EQ(CheckValue(w->chkOpenCDdrive), 1);
    EXPECT_EQ(CheckValue(w->chkNoticeApp), 0);
}

// ---- Ranged items: the writer gets a WAV of just the range.

class CDBurnerRangeTest : public CDBurnerWindowTest {
protected:
    void TearDown() override
    {
        SetAudioConverterFactory({});
        CDBurnerWindowTest::TearDown();
    }
    // A ranged row of `file`: `length` seconds from second `start`.
    void AddRangedRow(const QString& file, int start, int length)
    {
        const int row = w->cGrid1->Rows() + 1;
        w->cGrid1->CellDetails(row, kColFile, file);
        w->cGrid1->CellDetails(row, kColRangeAll, "0");
        w->cGrid1->CellDetails(row, kColRangeStart, QString::number(start));
        w->cGrid1->CellDetails(row, kColRangeLength, QString::number(length));
    }
    // Every converter the window makes starts with this script.
    static void ConverterScript(const FakeAudioConverter::Script& script)
    {
        SetAudioConverterFactory([script] {
            auto fake = std::make_unique<FakeAudioConverter>();
            fake->QueueScript(script);
            LastConverter() = fake.get();
            return fake;
        });
    }
    static FakeAudioConverter*& LastConverter()
    {
        static FakeAudioConverter* last = nullptr;
        return last;
    }
};

TEST_F(CDBurnerRangeTest, ARangedItemIsBurnedAsAWavOfItsRange)
{
    const QString source = ProgramFolder() + "/tone.wav";
    audiotest::WriteWav(source, 44100, 2, 16, 4.0);
    Open({"/music/whole.mp3"});
    AddRangedRow(source, 1, 2);
    QByteArray cut;
    QObject::connect(w->cAudioBurner1.get(), &cAudioBurner::CachingTrack, w, [&] {
        if (cut.isEmpty()) cut = audiotest::WavData(Fake()->burns.at(0).files.value(1));
    });
    w->cmdConvert_Click();
    ASSERT_EQ(Fake()->burns.size(), 1u);
    const QStringList files = Fake()->burns[0].files;
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0], "/music/whole.mp3");
    EXPECT_TRUE(files[1].startsWith(CfrmCDBurner::TempFolder() + "/")) << files[1].toStdString();
    const QByteArray whole = audiotest::WavData(source);
    EXPECT_EQ(cut, whole.mid(44100 * 4, 2 * 44100 * 4));
    EXPECT_TRUE(LogLines().contains("Cutting the range of tone.wav..."));
    EXPECT_EQ(LogLines().last(), "Finished.");
    EXPECT_TRUE(QDir(CfrmCDBurner::TempFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << "the cut files go after the burn";
}

TEST_F(CDBurnerRangeTest, ARangeThatCannotBeCutIsNamedAndLeftOut)
{
    FakeAudioConverter::Script error;
    error.ending = FakeAudioConverter::Ending::Error;
    ConverterScript(error);
    Open({"/music/whole.mp3"});
    AddRangedRow("/music/ranged.wav", 1, 2);
    w->cmdConvert_Click();
    const QStringList lines = LogLines();
    const int cutting = int(lines.indexOf("Cutting the range of ranged.wav..."));
    ASSERT_GE(cutting, 0);
    EXPECT_EQ(lines.mid(cutting + 1, 2), (QStringList{"Error:Scripted error(2)", "Cannot add ranged.wav"}));
    ASSERT_EQ(Fake()->burns.size(), 1u);
    EXPECT_EQ(Fake()->burns[0].files, QStringList{"/music/whole.mp3"});
}

TEST_F(CDBurnerRangeTest, AbortWhileARangeIsCutEndsTheJobBeforeTheBurn)
{
    FakeAudioConverter::Script hang;
    hang.ending = FakeAudioConverter::Ending::Hang;
    ConverterScript(hang);
    Open();
    AddRangedRow("/music/ranged.wav", 1, 2);
    QTimer::singleShot(0, [this] {
        msgBox->Expect("Abort operation?", platform::vbYes);
        w->cmdAbort_Click();
        msgBox->Expect("The last burn is still stopping");
        w->cmdConvert_Click();
        w->close();
        EXPECT_TRUE(g_frmCDBurner.IsLoaded());
    });
    w->cmdConvert_Click();
    EXPECT_TRUE(Fake()->burns.empty());
    EXPECT_TRUE(w->cmdConvert->isEnabled());
    EXPECT_FALSE(w->BurnCallRunning());
    EXPECT_FALSE(LogLines().contains("Cannot add ranged.wav"));
    ASSERT_EQ(main.cSysTray1->Balloons().size(), 1u);
    EXPECT_EQ(main.cSysTray1->Balloons()[0].text, "Aborted.");
    w->cmdExit_Click();
    EXPECT_FALSE(g_frmCDBurner.IsLoaded());
}

} // namespace
