// The Audio CD Duplicator on the fake ripper and writer: its set-up, the
// source check, track list and polling, the writers with their speeds and
// disc facts, and the copy: rip, burn, the end actions, errors, aborts in
// each phase and the temporary folder.
#include "DuplicatorFixture.h"

#include "controls/widgets/WindowWidgets.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/TabControl.h"
#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "settings/StoredControls.h"
#include "settings/mdlOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

using namespace duptest;
using Rip = FakeAudioCDRipper;
using Writer = FakeAudioBurner;

QColor TextColor(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

QString Cell(cGrid* grid, int row, const char* key) { return grid->CellText(row, key).toString(); }

const QString kDone = "Done." + QString(19, ' ');
const QString kAbortQuestion = "Abort operation?" + QString(38, ' ');
const QString kInsertPrompt = "Insert an empty media to drive E then click on 'OK'.\r\n\r\n"
                              "Click on cancel in order to cancel the burn proccess.";

class DuplicatorTest : public DuplicatorWindowTest {
protected:
    // A source of `tracks` tracks in D: and a blank CD in the writer E:.
    CfrmAudioCDDuplicator* OpenWith(int tracks)
    {
        Sources({Rip::AudioCD(0, std::vector<std::int32_t>(size_t(tracks), 60))});
        Writers({Writer::Writer(1)});
        return Open();
    }
    // Runs `action` once the writer has begun writing, inside its Burn call.
    void WhileWriting(std::function<void()> action)
    {
        QObject::connect(Burner(), &cAudioBurner::WritingTrack, Burner(), [action] { QTimer::singleShot(0, action); },
                         Qt::SingleShotConnection);
    }
    // What the window's controls and log hold when the "Done." message shows,
    // before the window closes.
    struct Seen {
        std::vector<Rip::RipCall> rips;
        std::vector<Writer::BurnCall> burns;
        QStringList ripperCalls, burnerCalls, log, temp;
    };
    void ExpectDone(Seen& seen)
    {
        msgBox->ExpectWhile(kDone, platform::vbOK, [this, &seen] {
            seen = {Ripper()->rips, Burner()->burns, Ripper()->calls, Burner()->calls, LogLines(), TempFiles()};
        });
    }
    QStringList RipFiles(int count) const
    {
        QStringList files;
        for (int i = 1; i <= count; ++i) files << Temp() + QString::number(i) + ".wav";
        return files;
    }
};

TEST_F(DuplicatorTest, TheWindowListsTheSourceDiscsTracksAndOffersDuplicate)
{
    Sources({Rip::AudioCD(0, std::vector<std::int32_t>(12, 60)), Rip::AudioCD(1, {60})});
    Writers({Writer::Writer(2)});
    Open();
    EXPECT_EQ(w->windowTitle(), "Audio CD Duplicator");
    EXPECT_EQ(w->lblTitle->text(), "Audio CD Duplicator");
    EXPECT_EQ(w->cTabControl1->TabCaption(1), "Duplicator Options    ");
    EXPECT_EQ(w->cmdConvert->text(), "Duplicate");
    EXPECT_EQ(w->Label1->text(), "Source Audio CD:");
    EXPECT_EQ(w->Label2->text(), "Destination Audio CD:");
    EXPECT_EQ(w->chkOpenCDdrive->text(), "Eject the CD door");
    EXPECT_EQ(CheckValue(w->chkOpenCDdrive), 1);
    EXPECT_EQ(CheckValue(w->chkOnTheFly), 0);
    EXPECT_FALSE(w->DoOnFly());
    for (QWidget* hidden : std::initializer_list<QWidget*>{w->chkOnTheFly, w->lblState, w->cGrid1, w->txtToPath,
                                                           w->lblTimeLeft, w->cboFileName, w->chkOverWrite})
        EXPECT_TRUE(w->isHidden() || hidden->isHidden()) << hidden->objectName().toStdString();
    EXPECT_EQ(w->txtToPath->currentText(), Temp());

    ASSERT_EQ(w->cboDevices->count(), 2);
    EXPECT_EQ(w->cboDevices->currentIndex(), 0);
    ASSERT_EQ(w->cGrid1->Rows(), 12);
    EXPECT_EQ(Cell(w->cGrid1, 1, kColItemName), "Track01.cda");
    EXPECT_EQ(Cell(w->cGrid1, 12, kColItemName), "Track12.cda");
    EXPECT_EQ(Cell(w->cGrid1, 12, kColFile), "D:/Track12.cda");
    for (const char* empty : {kColInc, kColTime, kColRangeAll, kColTagTitle})
        EXPECT_EQ(Cell(w->cGrid1, 3, empty), "") << empty;
    EXPECT_EQ(w->cGrid1->SelectedRow(), 1);
    EXPECT_EQ(w->lblCDStatus->text(), "OK: 12 CDA tracks");
    EXPECT_EQ(TextColor(w->lblCDStatus), QColor(Qt::black));
    EXPECT_EQ(w->lblFilesToConvert->text(), "OK: 12 CDA tracks");
    EXPECT_TRUE(w->cmdConvert->isEnabled());
    EXPECT_TRUE(w->tmrState->isActive());
    EXPECT_EQ(w->tmrState->interval(), 3000);
}

TEST_F(DuplicatorTest, ASourceWithoutAnAudioCDLeavesDuplicateDisabled)
{
    struct Case {
        const char* label;
        Rip::Drive drive;
        QString status;
    };
    Rip::Drive closed = Rip::AudioCD(0, {60});
    closed.opens = false;
    const Case cases[] = {
        {"cannot be opened", closed, "Cannot select 'D:/' as an Audio CD."},
        {"no disc", Rip::EmptyDrive(0), "'D:/' is not an Audio CD."},
        {"data disc", Rip::DataCD(0), "'D:/' is not an Audio CD."},
    };
    for (const Case& c : cases) {
        support::UnloadAllForms();
        Sources({c.drive});
        Writers({Writer::Writer(1)});
        Open();
        EXPECT_EQ(w->lblCDStatus->text(), c.status) << c.label;
        EXPECT_EQ(TextColor(w->lblCDStatus), QColor(Qt::red)) << c.label;
        EXPECT_EQ(w->lblFilesToConvert->text(), c.status) << c.label;
        EXPECT_EQ(w->cGrid1->Rows(), 0) << c.label;
        EXPECT_FALSE(w->cmdConvert->isEnabled()) << c.label;
        // Abort while nothing runs asks nothing (an unexpected prompt fails the test).
        w->cmdAbort_Click();
    }
    EXPECT_TRUE(msgBox->shown.empty());
}

// A drive whose disc goes between the check and the listing.
class VanishingDiscRipper : public FakeAudioCDRipper {
public:
    bool SelectDrive(std::int32_t drive) override { return ++selects < 2 && FakeAudioCDRipper::SelectDrive(drive); }
    int selects = 0;
};

TEST_F(DuplicatorTest, AListingThatFailsPartWayLeavesDuplicateDisabled)
{
    SetAudioCDRipperFactory([] { return std::make_unique<VanishingDiscRipper>(); });
    OpenWith(3);
    EXPECT_EQ(w->cGrid1->Rows(), 0);
    EXPECT_EQ(w->lblCDStatus->text(), "Insert an Audio CD to the CD drive.");
    EXPECT_FALSE(w->cmdConvert->isEnabled());
}

TEST_F(DuplicatorTest, NoDriveAtAllKeepsReadyAndDisabled)
{
    Sources({});
    Writers({});
    Open();
    EXPECT_EQ(w->cboDevices->count(), 0);
    EXPECT_EQ(w->lblCDStatus->text(), "Ready.");
    EXPECT_FALSE(w->cmdConvert->isEnabled());
    EXPECT_EQ(w->cboDrv->count(), 0);
    EXPECT_EQ(w->lblDiskSize->text(), "Disk Size");
    // The poll says why there is nothing to copy.
    w->tmrState_Timer();
    EXPECT_EQ(w->lblCDStatus->text(), "No CD drive was found.");
    EXPECT_FALSE(w->cmdConvert->isEnabled());
}

TEST_F(DuplicatorTest, WithoutAWriterDuplicateSaysWhyAndRipsNothing)
{
    Sources({Rip::AudioCD(0, {60})});
    Writers({});
    Open();
    ASSERT_TRUE(w->cmdConvert->isEnabled());
    msgBox->Expect("No CD writer was found");
    w->cmdConvert_Click();
    EXPECT_TRUE(Ripper()->rips.empty());
    EXPECT_TRUE(w->cmdExit->isEnabled());
}

TEST_F(DuplicatorTest, ThePollFollowsTheDiscInTheSourceDrive)
{
    OpenWith(3);
    Rip::Drive& drive = Ripper()->drives[0];
    drive.disc = false;
    w->tmrState_Timer();
    EXPECT_EQ(w->cGrid1->Rows(), 0);
    EXPECT_EQ(w->lblCDStatus->text(), "'D:/' is not an Audio CD.");
    EXPECT_FALSE(w->cmdConvert->isEnabled());

    drive.disc = true;
    drive.tracks.assign(100, {kTrackTypeAudio, 60});
    w->tmrState_Timer();
    ASSERT_EQ(w->cGrid1->Rows(), 100);
    EXPECT_EQ(Cell(w->cGrid1, 100, kColItemName), "Track100.cda");
    EXPECT_TRUE(w->cmdConvert->isEnabled());

    // The timer itself runs the check.
    drive.disc = false;
    EXPECT_TRUE(QTest::qWaitFor([this] { return w->cGrid1->Rows() == 0; }, 5000));
}

TEST_F(DuplicatorTest, TheWritersSpeedsAndDiscFactsAreShown)
{
    Writer::Drive first = Writer::Writer(1);
    first.diskCapacity = std::int32_t(80.5 * 60 * 153535);
    Writer::Drive second = Writer::Writer(2);
    second.speeds = {};
    second.diskCapacity = std::int32_t(81.5 * 60 * 153535);
    second.mediaState = "The disc in the drive is not blank.";
    Writer::Drive third = Writer::Writer(3);
    third.diskCapacity = 737280000; // 80.03
    Sources({Rip::AudioCD(0, {60})});
    Writers({first, second, third});
    Open();
    ASSERT_EQ(w->cboDrv->count(), 3);
    ASSERT_EQ(w->cboSpeed->count(), 3);
    EXPECT_EQ(w->cboSpeed->itemText(0), "352 KB/s (2x)");
    EXPECT_EQ(w->cboSpeed->itemData(0).toInt(), 352);
    EXPECT_EQ(w->cboSpeed->itemText(1), "700 KB/s (3x)");
    EXPECT_EQ(w->cboSpeed->itemText(2), "Max.");
    EXPECT_EQ(w->cboSpeed->currentIndex(), 2);
    EXPECT_EQ(w->cboSpeed->currentData().toInt(), 65535);
    EXPECT_EQ(w->lblDiskSize->text(), "737280000");
    EXPECT_EQ(w->lblDiskCapacity->text(), "80 Min");
    EXPECT_EQ(w->lblState->text(), "OK - Ready to be burn.");
    EXPECT_EQ(TextColor(w->lblState), QColor(0, 128, 0));
    EXPECT_FALSE(w->lblState->font().bold());

    w->cboDrv->setCurrentIndex(1);
    ASSERT_EQ(w->cboSpeed->count(), 1);
    EXPECT_EQ(w->cboSpeed->itemText(0), "Max.");
    EXPECT_EQ(w->lblDiskCapacity->text(), "82 Min");
    EXPECT_EQ(w->lblState->text(), "The disc in the drive is not blank.");
    EXPECT_EQ(TextColor(w->lblState), QColor(Qt::red));
    EXPECT_TRUE(w->lblState->font().bold());

    w->cboDrv->setCurrentIndex(2);
    EXPECT_EQ(w->lblDiskCapacity->text(), "80 Min");
}

TEST_F(DuplicatorTest, TheTrayButtonsMoveTheirDrivesAndSayWhenATrayDoesNotMove)
{
    OpenWith(1);
    w->cmdOpenCD->click();
    w->cmdCloseCD->click();
    w->cmdOpenDestCD->click();
    w->cmdClose->click();
    EXPECT_TRUE(Ripper()->calls.contains("OpenTray"));
    EXPECT_TRUE(Ripper()->calls.contains("CloseTray"));
    EXPECT_TRUE(Burner()->calls.contains("OpenTray E"));
    EXPECT_TRUE(Burner()->calls.contains("CloseTray E"));
    EXPECT_TRUE(msgBox->shown.empty());

    Burner()->drives[0].trayError = kBurnErrTray;
    msgBox->Expect("The tray of the CD writer E: did not close.");
    w->cmdClose->click();
}

TEST_F(DuplicatorTest, ACopyRipsEveryTrackBurnsThemAndCloses)
{
    OpenWith(3);
    Seen seen;
    ExpectDone(seen);
    Run();
    ASSERT_TRUE(Closed());

    // The rips: every track into the temporary folder as PCM WAV 44100 16 stereo.
    ASSERT_EQ(seen.rips.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const Rip::RipCall& r = seen.rips[size_t(i)];
        EXPECT_EQ(r.trackNumber, i + 1);
        EXPECT_EQ(r.driveIndex, 0);
        EXPECT_EQ(r.destination, RipFiles(3)[i]);
        EXPECT_EQ(r.format, kDestFormatWAV);
        EXPECT_EQ(r.wav.SampleRate, 44100);
        EXPECT_EQ(r.wav.Channels, 2);
        EXPECT_EQ(r.wav.BitsPerSample, 16);
        EXPECT_TRUE(r.title.isEmpty());
    }
    // The burn: the rip files in order, at the chosen speed, as they are.
    ASSERT_EQ(seen.burns.size(), 1u);
    EXPECT_EQ(seen.burns[0].letter, "E");
    EXPECT_EQ(seen.burns[0].speed, 65535);
    EXPECT_EQ(seen.burns[0].files, RipFiles(3));
    EXPECT_FALSE(seen.burns[0].decode);

    const QStringList expected{"Preparing to copy: 3 tracks.",
                               "Destination format: PCM WAV 44100 16 Stereo.",
                               "Start to rip: Track01.cda...",
                               "Done.",
                               "Start to rip: Track02.cda...",
                               "Done.",
                               "Start to rip: Track03.cda...",
                               "Done.",
                               "Caching track...",
                               "Caching track...",
                               "Caching track...",
                               "Writing track...",
                               "Closing track...",
                               "Writing track...",
                               "Closing track...",
                               "Writing track...",
                               "Closing track...",
                               "Closing session, please wait...",
                               "Finished."};
    EXPECT_EQ(seen.log, expected);
    // The end actions eject the source; then the target is ejected and the temporary folder emptied.
    EXPECT_EQ(seen.ripperCalls.count("OpenTray"), 1);
    const qsizetype burnAt = seen.burnerCalls.indexOf("Burn E 65535");
    ASSERT_GE(burnAt, 0);
    EXPECT_EQ(seen.burnerCalls.mid(burnAt + 1), (QStringList{"ClearFiles", "Terminate", "OpenTray E"}));
    EXPECT_TRUE(seen.temp.isEmpty());
    ASSERT_FALSE(main.cSysTray1->Balloons().empty());
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Done.");
    EXPECT_FALSE(QDir(Temp()).exists()) << "the temporary folder goes with the window";
}

TEST_F(DuplicatorTest, ProgressShowsTheTrackAndTheWhole)
{
    OpenWith(4);
    Rip::Script half;
    half.progress = {0, 50};
    half.ending = Rip::Ending::Hang;
    Ripper()->QueueScript({});
    Ripper()->QueueScript(half);
    w->cmdConvert_Click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return w->windowTitle() == "Converting... [ 50% / 37.5% ]"; }, 5000))
        << w->windowTitle().toStdString();
    EXPECT_EQ(w->lblFilesToConvert->text(), "Files: 2/4");
    EXPECT_EQ(w->prgCurrnet->Value(), 50);
    EXPECT_FALSE(w->tmrState->isActive()) << "no polling while a copy runs";
    EXPECT_FALSE(w->cboDevices->isEnabled());
    EXPECT_FALSE(w->cmdExit->isEnabled());
    EXPECT_FALSE(w->Unload()) << "no closing while a copy runs";
    EXPECT_TRUE(msgBox->shown.empty());
    msgBox->Expect(kAbortQuestion, platform::vbYes);
    w->cmdAbort_Click();
    EXPECT_TRUE(QTest::qWaitFor([this] { return w->cmdExit->isEnabled(); }, 5000));
}

TEST_F(DuplicatorTest, ATrackThatFailsIsLeftOffTheCopyWhichEndsWithAnError)
{
    OpenWith(3);
    SetCheckValue(w->chkTurnOffComputer, 1);
    Rip::Script error;
    error.ending = Rip::Ending::Error;
    error.errorText = "Track 2 cannot be read at 00:00:12.";
    Ripper()->QueueScript({});
    Ripper()->QueueScript(error);
    msgBox->Expect("Done, with errors: 1 of 3 tracks failed.");
    Run();
    ASSERT_FALSE(Closed()) << "the window stays with its log";
    EXPECT_EQ(Ripper()->rips.size(), 3u) << "the tracks after it are ripped";
    EXPECT_TRUE(LogLines().contains("Error: Track 2 cannot be read at 00:00:12.(" + QString::number(kRipErrRead) + ")"));
    ASSERT_EQ(Burner()->burns.size(), 1u);
    EXPECT_EQ(Burner()->burns[0].files, (QStringList{Temp() + "1.wav", Temp() + "3.wav"}));
    EXPECT_TRUE(modal->shown.isEmpty()) << "no shutdown countdown after a failed track";
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Done, with errors: 1 of 3 tracks failed.");
    EXPECT_EQ(w->lblCurrentTrack->text(), "Done, with errors: 1 of 3 tracks failed.");
    EXPECT_TRUE(w->cmdExit->isEnabled());
    EXPECT_TRUE(w->tmrState->isActive());
}

TEST_F(DuplicatorTest, AbortDuringTheRipBurnsNothingAndKeepsTheWindow)
{
    OpenWith(3);
    Rip::Script hang;
    hang.ending = Rip::Ending::Hang;
    Ripper()->QueueScript({});
    Ripper()->QueueScript(hang);
    w->cmdConvert_Click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Ripper()->rips.size() == 2; }, 5000));
    msgBox->Expect(kAbortQuestion, platform::vbNo);
    w->cmdAbort_Click();
    EXPECT_FALSE(Ripper()->calls.contains("Abort")) << "No does nothing";
    msgBox->Expect(kAbortQuestion, platform::vbYes);
    w->cmdAbort_Click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return w->cmdExit->isEnabled(); }, 5000));
    EXPECT_EQ(LogLines().last(), "Aborted.");
    EXPECT_EQ(w->windowTitle(), "Aborted.");
    EXPECT_EQ(w->lblCurrentTrack->text(), "Aborted.");
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Aborted.");
    EXPECT_TRUE(Burner()->burns.empty());
    EXPECT_TRUE(w->tmrState->isActive()) << "polling goes on after an abort";
    EXPECT_EQ(TempFiles(), QStringList{"1.wav"}) << "kept until the window closes";
    EXPECT_TRUE(w->cmdConvert->isEnabled());

    // A second copy starts from track 1 again.
    Seen seen;
    ExpectDone(seen);
    Run();
    ASSERT_TRUE(Closed());
    ASSERT_EQ(seen.rips.size(), 5u);
    EXPECT_EQ(seen.rips[2].trackNumber, 1);
    ASSERT_EQ(seen.burns.size(), 1u);
    EXPECT_EQ(seen.burns[0].files, RipFiles(3));
    EXPECT_FALSE(QDir(Temp()).exists());
}

TEST_F(DuplicatorTest, AbortDuringTheBurnEndsAbortedAndKeepsTheRippedFiles)
{
    OpenWith(2);
    Writer::Script hang;
    hang.ending = Writer::Ending::Hang;
    Burner()->QueueScript(hang);
    bool exitRefused = false, duplicateRefused = false;
    WhileWriting([&] {
        w->cmdExit_Click();
        exitRefused = g_frmAudioCDDuplicator.IsLoaded();
        w->cmdConvert_Click();
        duplicateRefused = Ripper()->rips.size() == 2;
        msgBox->Expect(kAbortQuestion, platform::vbYes);
        w->cmdAbort_Click();
    });
    Run();
    ASSERT_FALSE(Closed());
    EXPECT_TRUE(exitRefused);
    EXPECT_TRUE(duplicateRefused);
    EXPECT_EQ(LogLines().last(), "Aborted.");
    EXPECT_EQ(w->lblCurrentTrack->text(), "Aborted.");
    EXPECT_TRUE(Burner()->calls.contains("Abort"));
    EXPECT_FALSE(Burner()->calls.contains("OpenTray E")) << "the target stays in";
    EXPECT_FALSE(Ripper()->calls.contains("OpenTray")) << "no end actions";
    EXPECT_EQ(TempFiles(), (QStringList{"1.wav", "2.wav"}));
    EXPECT_TRUE(w->tmrState->isActive());
    EXPECT_TRUE(w->cmdConvert->isEnabled());

    w->cmdExit_Click();
    EXPECT_TRUE(Closed());
    EXPECT_FALSE(QDir(Temp()).exists()) << "closing removes the temporary folder";
}

TEST_F(DuplicatorTest, ATargetDiscThatIsNotEmptyIsEjectedUntilAnEmptyOneIsIn)
{
    OpenWith(1);
    Burner()->drives[0].mediaState = "The disc in the drive is not blank.";
    msgBox->Expect(kInsertPrompt, platform::vbOK);
    msgBox->ExpectWhile(kInsertPrompt, platform::vbOK, [this] { Burner()->drives[0].mediaState.clear(); });
    Seen seen;
    ExpectDone(seen);
    Run();
    ASSERT_TRUE(Closed());
    EXPECT_EQ(msgBox->shown.size(), 3u);
    const qsizetype burnAt = seen.burnerCalls.indexOf("Burn E 65535");
    EXPECT_EQ(seen.burnerCalls.mid(0, burnAt).count("OpenTray E"), 2) << "ejected before each prompt";
}

TEST_F(DuplicatorTest, OneDriveThatReadsAndWritesIsLetGoByTheReaderBeforeEachBurnAttempt)
{
    // The source and the writer are the same drive.
    Sources({Rip::AudioCD(0, {60, 60})});
    Writers({Writer::Writer(0)});
    Open();
    ASSERT_EQ(w->cboDevices->currentText().section(' ', 1, 1), w->cboDrv->currentText().section(' ', 1, 1));
    Burner()->drives[0].mediaState = "The disc in the drive is not blank.";
    QStringList readerCallsAtPrompt;
    msgBox->ExpectWhile("Insert an empty media to drive D", platform::vbOK, [&] {
        readerCallsAtPrompt = Ripper()->calls;
        Burner()->drives[0].mediaState.clear();
    });
    QStringList readerCallsAtBurn;
    QObject::connect(Burner(), &cAudioBurner::CachingTrack, Burner(), [&] { readerCallsAtBurn = Ripper()->calls; },
                     Qt::SingleShotConnection);
    Seen seen;
    ExpectDone(seen);
    Run();
    ASSERT_TRUE(Closed());
    ASSERT_EQ(seen.burns.size(), 1u);
    ASSERT_FALSE(readerCallsAtPrompt.isEmpty());
    EXPECT_EQ(readerCallsAtPrompt.last(), "Terminate") << "the reader let go before the writer was asked";
    ASSERT_FALSE(readerCallsAtBurn.isEmpty());
    EXPECT_EQ(readerCallsAtBurn.last(), "Terminate") << "nothing took the drive back before the burn";
    const qsizetype lastRip = readerCallsAtBurn.lastIndexOf("Rip");
    ASSERT_GE(lastRip, 0);
    EXPECT_EQ(readerCallsAtBurn.mid(lastRip).count("Terminate"), 2) << "once for each look at the writer's disc";
}

TEST_F(DuplicatorTest, CancellingTheEmptyDiscPromptBurnsNothing)
{
    OpenWith(2);
    Burner()->drives[0].mediaState = "There is no disc in the drive.";
    msgBox->Expect(kInsertPrompt, platform::vbCancel);
    Run();
    ASSERT_FALSE(Closed());
    EXPECT_TRUE(Burner()->burns.empty());
    EXPECT_EQ(Burner()->calls.count("OpenTray E"), 1);
    EXPECT_EQ(LogLines().last(), "Aborted.");
    EXPECT_EQ(TempFiles(), (QStringList{"1.wav", "2.wav"}));
    EXPECT_TRUE(w->cmdExit->isEnabled());
}

TEST_F(DuplicatorTest, EveryFileRefusedMeansNothingToBurn)
{
    OpenWith(2);
    Burner()->refusedFiles = RipFiles(2);
    msgBox->Expect("Nothing to burn.");
    Run();
    ASSERT_FALSE(Closed());
    const QStringList log = LogLines();
    EXPECT_TRUE(log.contains("Cannot add 1.wav"));
    EXPECT_TRUE(log.contains("Cannot add 2.wav"));
    EXPECT_TRUE(Burner()->burns.empty());
    EXPECT_TRUE(w->cmdConvert->isEnabled());
    EXPECT_TRUE(w->cboDrv->isEnabled());
    EXPECT_EQ(w->lblCurrentTrack->text(), "Nothing to burn.");
}

TEST_F(DuplicatorTest, AnEmptyRipGetsNoRowAndAMissingOneIsRefusedByTheWriter)
{
    OpenWith(3);
    Ripper()->writeOutputs = false;
    QDir().mkpath(Temp());
    QFile one(Temp() + "1.wav");
    ASSERT_TRUE(one.open(QIODevice::WriteOnly));
    one.write("FAKE AUDIO");
    one.close();
    QFile two(Temp() + "2.wav");
    ASSERT_TRUE(two.open(QIODevice::WriteOnly));
    two.close();
    Burner()->refusedFiles = QStringList{Temp() + "3.wav"};
    Seen seen;
    ExpectDone(seen);
    Run();
    ASSERT_TRUE(Closed());
    ASSERT_EQ(seen.burns.size(), 1u);
    EXPECT_EQ(seen.burns[0].files, QStringList{Temp() + "1.wav"});
    EXPECT_TRUE(seen.log.contains("Cannot add 3.wav"));
    EXPECT_TRUE(seen.burnerCalls.contains("AddFile " + Temp() + "3.wav"));
    EXPECT_FALSE(seen.burnerCalls.contains("AddFile " + Temp() + "2.wav"));
}

TEST_F(DuplicatorTest, AWriterErrorKeepsTheWindowTheFilesAndTheTarget)
{
    struct Case {
        const char* label;
        Writer::Ending ending;
        QString logLine;
    };
    const Case cases[] = {
        {"error event", Writer::Ending::Error, "Error:Scripted error(" + QString::number(kBurnErrWrite) + ")"},
        {"no event", Writer::Ending::FailSilently,
         "Error: The disc was not written.(" + QString::number(kBurnErrWrite) + ")"},
    };
    for (const Case& c : cases) {
        support::UnloadAllForms();
        OpenWith(2);
        SetCheckValue(w->chkPlaySound, 1);
        Writer::Script failing;
        failing.ending = c.ending;
        Burner()->QueueScript(failing);
        Run();
        ASSERT_FALSE(Closed()) << c.label;
        EXPECT_EQ(LogLines().last(), c.logLine) << c.label;
        EXPECT_EQ(w->lblCurrentTrack->text(), c.logLine) << c.label;
        EXPECT_FALSE(Burner()->calls.contains("OpenTray E")) << c.label;
        EXPECT_FALSE(Ripper()->calls.contains("OpenTray")) << c.label << ": no end actions";
        EXPECT_TRUE(sound->played.isEmpty()) << c.label;
        EXPECT_EQ(TempFiles(), (QStringList{"1.wav", "2.wav"})) << c.label;
        EXPECT_TRUE(w->cmdExit->isEnabled()) << c.label;
        EXPECT_TRUE(w->tmrState->isActive()) << c.label;
        EXPECT_EQ(Cell(w->cGrid1, 1, kColFile), "D:/Track01.cda") << c.label << ": the source's tracks again";
    }
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(DuplicatorTest, TheEndActionsFollowAFinishedBurn)
{
    main.noticeArguments = QStringList{"/usr/bin/notify-send", "Copied"};
    OpenWith(1);
    SetCheckValue(w->chkPlaySound, 1);
    SetCheckValue(w->chkNoticeApp, 1);
    SetCheckValue(w->chkOpenDestFolder, 1);
    SetCheckValue(w->chkTurnOffComputer, 1);
    modal->hook = [](QWidget* window) { window->close(); };
    msgBox->Expect(kDone);
    Run();
    ASSERT_TRUE(Closed());
    EXPECT_EQ(sound->played, QStringList{g_sPlayAtEnd});
    ASSERT_EQ(shell->started.size(), 1);
    EXPECT_EQ(shell->started[0], "/usr/bin/notify-send Copied");
    EXPECT_EQ(main.noticeFiles, QStringList{Temp() + "1.wav"}) << "the program hears of the disc's last track";
    EXPECT_TRUE(shell->opened.isEmpty()) << "the destination folder box has no effect here";
    EXPECT_EQ(modal->shown, QStringList{"g_frmTurnOff"});
}

TEST_F(DuplicatorTest, ClosingReleasesTheControlsAndEmptiesTheTemporaryFolder)
{
    OpenWith(1);
    QDir().mkpath(Temp());
    QFile left(Temp() + "7.wav");
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.close();
    Ripper()->drives[0].disc = false;
    w->tmrState_Timer();
    w->cmdExit->click();
    ASSERT_TRUE(Closed()) << "closes whatever the drives hold";
    ASSERT_FALSE(w.isNull()) << "deleted later";
    EXPECT_EQ(Ripper()->calls.last(), "Terminate");
    EXPECT_EQ(Burner()->calls.mid(Burner()->calls.size() - 2), (QStringList{"ClearFiles", "Terminate"}));
    EXPECT_FALSE(QDir(Temp()).exists());
    EXPECT_FALSE(w->tmrState->isActive());
}

} // namespace
