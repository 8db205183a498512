// The data disc maker on fakes: engines, drives and speeds, the queue into
// the temporary folder, "Burn CD?", both engines' burns and their events,
// abort, and the temporary folder's cleaning.
#include "DataBurnerFixture.h"

#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/LinkLabel.h"
#include "lists/ItemRows.h"
#include "platform/UserSettings.h"
#include "settings/StoredControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

using namespace databurntest;

namespace {

QStringList ComboTexts(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}

QList<int> ComboData(const QComboBox* box)
{
    QList<int> data;
    for (int i = 0; i < box->count(); ++i) data << box->itemData(i).toInt();
    return data;
}

void StoreEngine(const QString& value) { platform::SaveSetting(g_sAppName, "BurnerEngine", "cmbEngine", value); }

TEST_F(DataBurnerTest, TheFirstOpeningListsTheFirstEnginesDrivesAndSpeeds)
{
    FakeAudioDataBurner::DefaultDrives().push_back(FakeAudioDataBurner::Writer(1));
    FakeAudioDataBurner::DefaultDrives().back().speeds.clear();
    Open();
    EXPECT_EQ(w->cmbEngine->currentText(), "IMAPI V1 - CDs only.");
    for (QWidget* hidden : std::initializer_list<QWidget*>{w->lblFileSys, w->chkJOLIET, w->chkISO, w->chkUDF})
        EXPECT_TRUE(hidden->isHidden());
    EXPECT_EQ(ComboTexts(w->cboDrv), (QStringList{"D: /dev/sr0 FAKE WRITER", "E: /dev/sr1 FAKE WRITER"}));
    EXPECT_EQ(w->cboDrv->currentIndex(), 0);
    EXPECT_EQ(ComboTexts(w->cboSpeed), (QStringList{"352 KB/s (2x)", "700 KB/s (3x)", "Max."}));
    EXPECT_EQ(ComboData(w->cboSpeed), (QList<int>{352, 700, 65535}));
    EXPECT_EQ(w->cboSpeed->currentText(), "Max.");
    EXPECT_EQ(w->cboFileName->currentIndex(), 0) << "the first pattern, not a saved default";
    EXPECT_EQ(w->cmdConvert->text(), "Burn");

    w->cboDrv->setCurrentIndex(1); // a drive that reports no speeds
    EXPECT_EQ(ComboTexts(w->cboSpeed), QStringList{"Max."});
}

TEST_F(DataBurnerTest, TheStoredEngineIsUsedAndAnyOtherValueSelectsTheFirst)
{
    const struct {
        const char* stored;
        int engine;
    } cases[] = {{"1", 1}, {"0", 0}, {"7", 0}, {"-1", 0}, {"abc", 0}};
    for (const auto& c : cases) {
        StoreEngine(c.stored);
        Open();
        EXPECT_EQ(w->cmbEngine->currentIndex(), c.engine) << c.stored;
        if (c.engine == 1) {
            EXPECT_EQ(ComboTexts(w->cboDrv), QStringList{"D: - /dev/sr0 FAKE WRITER"});
            EXPECT_FALSE(w->chkUDF->isHidden());
        } else {
            EXPECT_EQ(ComboTexts(w->cboDrv), QStringList{"D: /dev/sr0 FAKE WRITER"}) << c.stored;
        }
        w->cmdExit_Click();
        EXPECT_FALSE(g_frmDataBurner3.IsLoaded());
        EXPECT_EQ(platform::GetSetting(g_sAppName, "BurnerEngine", "cmbEngine"), QString::number(c.engine));
    }
}

TEST_F(DataBurnerTest, TheSecondEngineWithoutItsLibrariesFallsBackToTheFirst)
{
    FakeBurner::DefaultInstalled() = false;
    Open();
    msgBox->Expect("libburn and libisofs");
    w->cmbEngine->setCurrentIndex(1);
    EXPECT_EQ(w->cmbEngine->currentIndex(), 0);
    EXPECT_TRUE(w->chkUDF->isHidden());
    EXPECT_EQ(ComboTexts(w->cboDrv), QStringList{"D: /dev/sr0 FAKE WRITER"});
    EXPECT_EQ(w->cboSpeed->count(), 3);
    // Switching to the second engine and back refills the first engine's lists.
    FakeBurner::DefaultInstalled() = true;
    Second()->installed = true;
    w->cmbEngine->setCurrentIndex(1);
    EXPECT_EQ(ComboTexts(w->cboDrv), QStringList{"D: - /dev/sr0 FAKE WRITER"});
    w->cboSpeed->clear();
    w->cboDrv->setCurrentIndex(0);
    EXPECT_EQ(w->cboSpeed->count(), 0) << "the second engine's drives leave the speeds alone";
    w->cmbEngine->setCurrentIndex(0);
    EXPECT_EQ(w->cboSpeed->count(), 3);
}

TEST_F(DataBurnerTest, TheTrayLinksUseTheFirstEngineWhicheverIsSelected)
{
    Open();
    w->cmbEngine->setCurrentIndex(1);
    First()->calls.clear();
    w->lblOpenCDDoor_Click();
    w->lblCloseCDDoor_Click();
    EXPECT_EQ(First()->calls, (QStringList{"OpenTray D", "CloseTray D"}));
    First()->drives[0].trayError = kBurnErrTray;
    msgBox->Expect("did not open");
    w->lblOpenCDDoor_Click();
}

TEST_F(DataBurnerTest, CopyOnlyDisablesTheFormatControls)
{
    Open();
    SetCheckValue(w->chkDoNotConvertSource, 1);
    EXPECT_FALSE(w->cboTargetFormat->isEnabled());
    EXPECT_FALSE(w->cmdEditTargetFormat->isEnabled());
    EXPECT_FALSE(w->lblCDFormat->isEnabled());
    EXPECT_EQ(w->lblCDFormat->text(), "CD / DVD Format:");
    SetCheckValue(w->chkDoNotConvertSource, 0);
    EXPECT_TRUE(w->cboTargetFormat->isEnabled());
    EXPECT_TRUE(w->cmdEditTargetFormat->isEnabled());
    EXPECT_TRUE(w->lblCDFormat->isEnabled());
}

TEST_F(DataBurnerTest, TheSecondEngineLeavesTheSpeedListAsItIs)
{
    Open();
    w->cmbEngine->setCurrentIndex(1);
    EXPECT_FALSE(w->chkUDF->isHidden());
    EXPECT_FALSE(w->Label3->isHidden());
    EXPECT_FALSE(w->cboSpeed->isHidden());
    EXPECT_EQ(ComboTexts(w->cboSpeed), (QStringList{"352 KB/s (2x)", "700 KB/s (3x)", "Max."}));
    w->cmbEngine->setCurrentIndex(0);
    EXPECT_FALSE(w->cboSpeed->isHidden());
}

TEST_F(DataBurnerTest, TheEventsPageListsItsBoxesInTheWindowsOwnOrder)
{
    Open();
    const std::vector<QCheckBox*> order{w->chkOpenCDdrive,     w->chkOpenDestFolder, w->chkNoticeApp,
                                        w->chkTurnOffComputer, w->chkPlaySound,      w->chkEraseTempfiles};
    w->TabEvents->resize(400, 400);
    w->TabEvents->layout()->activate();
    for (size_t i = 1; i < order.size(); ++i) {
        EXPECT_LT(order[i - 1]->mapTo(w->TabEvents, QPoint()).y(), order[i]->mapTo(w->TabEvents, QPoint()).y())
            << order[i]->text().toStdString() << " stands under " << order[i - 1]->text().toStdString();
        EXPECT_EQ(order[i - 1]->nextInFocusChain(), order[i]) << order[i]->text().toStdString();
    }
}

TEST_F(DataBurnerTest, WhileARowConvertsTheStatusShowsItsStartLine)
{
    Open(2);
    QStringList shown;
    QObject::connect(w->cAudioConverter1.get(), &cAudioConverter::Progress, w,
                     [&] { shown << w->lblCurrentTrack->text(); });
    Burn(platform::vbCancel);
    shown.removeDuplicates();
    EXPECT_EQ(shown, (QStringList{"Start to convert: a.wav...", "Start to convert: b.wav..."}));
}

TEST_F(DataBurnerTest, ErasingAndClosingEmptyTheTemporaryFolder)
{
    Open();
    msgBox->Expect("Done.");
    w->lblErasetempfilesnow_Click(); // no folder yet
    QDir().mkpath(Temp());
    Touch(Temp() + "left.mp3");
    SetCheckValue(w->chkEraseTempfiles, 0);
    w->cmdExit_Click();
    EXPECT_TRUE(TempFiles().isEmpty());
}

TEST_F(DataBurnerTest, ThreeRowsAreConvertedAndBurnedWithTheFirstEngine)
{
    Open(3);
    w->cboTargetFormat->setCurrentText("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
    w->txtCDName->setText("My-List");
    w->cboSpeed->setCurrentIndex(0);
    SetCheckValue(w->chkPlaySound, 0);
    SetCheckValue(w->chkOpenDestFolder, 0);
    SetCheckValue(w->chkNoticeApp, 0);
    SetCheckValue(w->chkTurnOffComputer, 0);
    Burn();

    ASSERT_EQ(First()->burns.size(), 1u);
    const auto& burn = First()->burns[0];
    EXPECT_EQ(burn.files, (QStringList{Temp() + "a.mp3", Temp() + "b.mp3", Temp() + "c.mp3"}));
    EXPECT_EQ(burn.speed, 352);
    EXPECT_EQ(burn.letter, "D");
    const QStringList calls = First()->calls.mid(First()->calls.indexOf("AddFile " + Temp() + "a.mp3"));
    EXPECT_EQ(calls.mid(0, 9),
              (QStringList{"AddFile " + Temp() + "a.mp3", "AddFile " + Temp() + "b.mp3", "AddFile " + Temp() + "c.mp3",
                           "SetVolumeLabel My-List", "SetFileSystem CDFS", "SetPublisherName " + g_sAppName,
                           "SetApplicationName " + g_sAppName, "SetBurnFlag false", "Burn D 352"}));
    // The end: the temporary files erased, the disc ejected, "Done.".
    EXPECT_TRUE(First()->calls.contains("OpenTray D"));
    EXPECT_TRUE(TempFiles().isEmpty());
    const QStringList log = LogLines();
    EXPECT_EQ(log.mid(0, 3), (QStringList{"Preparing to burn: 3 tracks.", "Destination format: MP3",
                                          "Start to convert: a.wav..."}));
    EXPECT_EQ(log.mid(log.indexOf("Add files to burn.")),
              (QStringList{"Add files to burn.", "Start the burning process...", "Closing session...", "Finished",
                           "Erase temp files...", "Done."}));
    EXPECT_EQ(w->lblCurrentTrack->text(), "Done.");
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Done.");
    EXPECT_TRUE(w->cmdConvert->isEnabled());
    EXPECT_TRUE(w->cmdExit->isEnabled());
    EXPECT_TRUE(w->cmdAbort->isEnabled());
    EXPECT_EQ(w->prgCurrnet->Value(), 100);
}

TEST_F(DataBurnerTest, CancelAtBurnCdLeavesTheOutputsAndTheNextBurnStartsAfresh)
{
    Open(2);
    Burn(platform::vbCancel);
    EXPECT_TRUE(First()->burns.empty());
    EXPECT_EQ(TempFiles(), (QStringList{"a.mp3", "b.mp3"}));
    EXPECT_FALSE(LogLines().contains("Done."));
    Touch(Temp() + "stale.mp3");
    Burn(platform::vbCancel);
    EXPECT_EQ(TempFiles(), (QStringList{"a.mp3", "b.mp3"})) << "a new job empties the folder first";
    const QStringList log = LogLines();
    EXPECT_EQ(log.count(""), 1) << "an empty line before the second job";
}

TEST_F(DataBurnerTest, ADriveThatIsNotReadyOrNotEmptyStopsTheJobBeforeAnything)
{
    for (const bool ready : {false, true}) {
        FakeAudioDataBurner::DefaultDrives()[0].ready = ready;
        FakeAudioDataBurner::DefaultDrives()[0].empty = false;
        Open(1);
        msgBox->Expect("Please insert an empty media into drive: D:");
        w->cmdConvert_Click();
        EXPECT_EQ(LogLines(), (QStringList{"Preparing to burn: 1 tracks.",
                                           QString("The CD drive 'D:' is not ") + (ready ? "empty." : "ready."),
                                           "Aborted."}));
        EXPECT_FALSE(QDir(Temp()).exists());
        EXPECT_TRUE(w->cmdConvert->isEnabled());
        w->cmdExit_Click();
    }
}

TEST_F(DataBurnerTest, TheSecondEngineIsNotAskedAboutTheDisc)
{
    FakeAudioDataBurner::DefaultDrives()[0].ready = false;
    StoreEngine("1");
    Open(1);
    Burn(platform::vbCancel);
    EXPECT_FALSE(First()->calls.contains("IsDriveReady D"));
    EXPECT_EQ(TempFiles(), QStringList{"a.mp3"});
}

TEST_F(DataBurnerTest, NoWriterAtAllIsSaidBeforeTheJob)
{
    FakeAudioDataBurner::DefaultDrives().clear();
    Open(1);
    msgBox->Expect("No CD writer was found");
    w->cmdConvert_Click();
    EXPECT_EQ(LogLines().last(), "Aborted.");
}

TEST_F(DataBurnerTest, CopyOnlyCopiesTheSourcesUnderTheirOwnExtension)
{
    Open(2);
    SetCheckValue(w->chkDoNotConvertSource, 1);
    Burn();
    ASSERT_EQ(First()->burns.size(), 1u);
    EXPECT_EQ(First()->burns[0].files, (QStringList{Temp() + "a.wav", Temp() + "b.wav"}));
    EXPECT_TRUE(FakeAudioConverter::Last()->converts.empty());
    EXPECT_EQ(w->lblFilesToConvert->text(), "Files: 2/2");
}

TEST_F(DataBurnerTest, CopyOnlyCopiesAreTheSourcesBytes)
{
    Open(1);
    SetCheckValue(w->chkDoNotConvertSource, 1);
    Burn(platform::vbCancel);
    QFile copy(Temp() + "a.wav");
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("SOURCE a"));
}

TEST_F(DataBurnerTest, EqualOutputNamesAskBeforeOverwriting)
{
    // Copy-only: No keeps the first copy, Cancel stops copying and goes to the burn question.
    const struct {
        bool copyOnly;
        int answer;
        const char* question;
        int burned;
    } cases[] = {{true, platform::vbNo, "is already existed in the list to be burn. \r\n\r\nOverwtie it?", 1},
                 {true, platform::vbCancel, "is already existed in the list to be burn.", 1},
                 {false, platform::vbNo, "already exists.\r\n\r\nOverwrite it?", 1},
                 {false, platform::vbYes, "already exists.", 1}};
    for (const auto& c : cases) {
        Open(3);
        w->cboFileName->setEditable(true);
        w->cboFileName->setEditText("same.[dest_extension]");
        SetCheckValue(w->chkDoNotConvertSource, c.copyOnly ? 1 : 0);
        msgBox->Expect(c.question, c.answer);
        if (c.answer != platform::vbCancel) msgBox->Expect(c.question, c.answer);
        Burn();
        ASSERT_EQ(First()->burns.size(), 1u) << c.question;
        EXPECT_EQ(First()->burns[0].files.size(), c.burned);
        w->cmdExit_Click();
    }
}

TEST_F(DataBurnerTest, CancelAtTheConversionsOverwriteQuestionAbortsWithoutBurning)
{
    Open(2);
    w->cboFileName->setEditable(true);
    w->cboFileName->setEditText("same.[dest_extension]");
    msgBox->Expect("already exists.", platform::vbCancel);
    w->cmdConvert_Click();
    WaitUntilIdle();
    EXPECT_EQ(LogLines().last(), "Aborted.");
    EXPECT_EQ(w->lblCurrentTrack->text(), "Aborted.");
    EXPECT_EQ(w->windowTitle(), "Aborted.");
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Aborted.");
    EXPECT_EQ(TempFiles(), QStringList{"same.mp3"});
    EXPECT_TRUE(First()->burns.empty());
}

TEST_F(DataBurnerTest, AbortStopsTheCopyingBetweenFilesAndEmptiesTheFolder)
{
    Open(3);
    SetCheckValue(w->chkDoNotConvertSource, 1);
    msgBox->Expect("Abort operation?", platform::vbYes);
    QTimer::singleShot(0, w, [this] { w->cmdAbort_Click(); });
    w->cmdConvert_Click();
    WaitUntilIdle();
    EXPECT_EQ(LogLines().last(), "Aborted.");
    EXPECT_TRUE(TempFiles().isEmpty());
    EXPECT_TRUE(First()->burns.empty());
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Aborted.");
}

TEST_F(DataBurnerTest, AFailedRowIsLoggedAndTheBurnTakesOnlyWhatWasWritten)
{
    prepareFake = [](FakeAudioConverter& fake) {
        FakeAudioConverter::Script failing;
        failing.ending = FakeAudioConverter::Ending::Error;
        fake.QueueScript({});
        fake.QueueScript(failing);
    };
    Open(3);
    SetCheckValue(w->chkTurnOffComputer, 1);
    Burn();
    EXPECT_TRUE(LogLines().contains(QString("Error: Scripted error(%1)").arg(kConvertErrSourceNotAudio)));
    ASSERT_EQ(First()->burns.size(), 1u);
    EXPECT_EQ(First()->burns[0].files, (QStringList{Temp() + "a.mp3", Temp() + "c.mp3"}));
    EXPECT_EQ(LogLines().last(), "Done.");
    EXPECT_TRUE(power->requests.empty());
    EXPECT_FALSE(modal->shown.contains("g_frmTurnOff")) << "no shutdown after a job with an error";
}

// Copies that succeed count as made: one copy that fails does not keep the
// end-of-job actions of a burn that succeeded from running.
TEST_F(DataBurnerTest, ACopyThatFailedLeavesTheEndActionsOfASuccessfulBurn)
{
    Open(3);
    QFile::remove(Source("b.wav")); // its copy fails
    SetCheckValue(w->chkDoNotConvertSource, 1);
    SetCheckValue(w->chkOpenDestFolder, 1);
    SetCheckValue(w->chkNoticeApp, 1);
    main.noticeArguments = QStringList{"notify-program", "burned"};
    msgBox->Expect("Burn CD?", platform::vbOK);
    msgBox->Expect("There is no folder to open for D:"); // the fake writer's drive has no folder
    w->cmdConvert_Click();
    WaitForBurn();
    ASSERT_EQ(First()->burns.size(), 1u);
    EXPECT_EQ(First()->burns[0].files, (QStringList{Temp() + "a.wav", Temp() + "c.wav"}));
    EXPECT_TRUE(LogLines().filter("could not be copied").size() == 1) << LogLines().join("|").toStdString();
    EXPECT_TRUE(msgBox->script.empty()) << "the destination folder was not opened";
    EXPECT_EQ(shell->started, QStringList{"notify-program burned"});
    EXPECT_EQ(main.noticeFiles, QStringList{Temp() + "c.wav"}) << "the program hears of the disc's last file";
    EXPECT_EQ(LogLines().last(), "Done.");
}

TEST_F(DataBurnerTest, AJobThatWroteNothingHasNothingToBurn)
{
    prepareFake = [](FakeAudioConverter& fake) {
        FakeAudioConverter::Script failing;
        failing.ending = FakeAudioConverter::Ending::Error;
        fake.QueueScript(failing);
    };
    Open(1);
    msgBox->Expect("Burn CD?", platform::vbOK);
    msgBox->Expect("There is no file to burn");
    w->cmdConvert_Click();
    WaitForBurn();
    EXPECT_TRUE(First()->burns.empty());
    EXPECT_FALSE(First()->calls.contains("Burn D 65535"));
    EXPECT_TRUE(w->cmdConvert->isEnabled());
}

TEST_F(DataBurnerTest, TagsCarryTheRowNumberAndEveryRowSetsItsOwnRange)
{
    Open();
    convtest::Row ranged;
    ranged.file = Source("r.wav");
    ranged.rangeAll = "0";
    ranged.start = "5";
    ranged.length = "7";
    ranged.track = "[TRACK_NUM]";
    convtest::Row whole;
    whole.file = Source("w.wav");
    whole.track = "[TRACK_NUM]/[PROG_NAME]";
    AddRows({ranged, whole});
    Burn(platform::vbCancel);
    const auto& converts = FakeAudioConverter::Last()->converts;
    ASSERT_EQ(converts.size(), 2u);
    EXPECT_EQ(converts[0].track, "1");
    EXPECT_TRUE(converts[0].ranged);
    EXPECT_EQ(converts[0].rangeStart, 5);
    EXPECT_EQ(converts[0].rangeLength, 7);
    EXPECT_EQ(converts[1].track, "2/" + g_sAppName);
    EXPECT_FALSE(converts[1].ranged);
}

TEST_F(DataBurnerTest, OutputNamesStayInTheTemporaryFolder)
{
    Open();
    convtest::Row row;
    row.file = Source("x.wav");
    row.itemName = "../../escape";
    AddRows({row});
    w->cboFileName->setEditable(true);
    w->cboFileName->setEditText("../[item_name].[dest_extension]");
    Burn(platform::vbCancel);
    EXPECT_EQ(TempFiles(), QStringList{"..-..-..-escape.mp3"});
    EXPECT_EQ(FakeAudioConverter::Last()->converts.at(0).destination, Temp() + "..-..-..-escape.mp3");
}

TEST_F(DataBurnerTest, AFileTheFirstEngineRefusesIsReportedAndTheBurnGoesOn)
{
    Open(2);
    First()->refusedFiles << Temp() + "a.mp3";
    msgBox->Expect("Burn CD?", platform::vbOK);
    msgBox->Expect("Couldn't add the file " + Temp() + "a.mp3");
    w->cmdConvert_Click();
    WaitForBurn();
    EXPECT_EQ(msgBox->shown.back().title, "Error");
    EXPECT_TRUE(LogLines().contains("Couldn't add the file a.mp3"));
    ASSERT_EQ(First()->burns.size(), 1u);
    EXPECT_EQ(First()->burns[0].files, QStringList{Temp() + "b.mp3"});
}

TEST_F(DataBurnerTest, TheSecondEngineBurnsWithTheTickedFileSystems)
{
    StoreEngine("1");
    Open(2);
    SetCheckValue(w->chkISO, 0);
    SetCheckValue(w->chkJOLIET, 0);
    SetCheckValue(w->chkUDF, 1);
    w->txtCDName->setText("Disc");
    Burn();
    ASSERT_EQ(Second()->burns.size(), 1u);
    const auto& burn = Second()->burns[0];
    EXPECT_EQ(burn.device, 0);
    EXPECT_FALSE(burn.iso);
    EXPECT_FALSE(burn.joliet);
    EXPECT_TRUE(burn.udf);
    EXPECT_EQ(burn.volumeName, "Disc");
    const QStringList calls = Second()->calls;
    const int clear = calls.indexOf("ClearFiles");
    ASSERT_GE(clear, 0);
    EXPECT_EQ(calls.mid(clear, 6), (QStringList{"ClearFiles", "SetUseISO false", "SetUseJoliet false",
                                                "SetUseUDF false", "SetUseUDF true", "SetVolumeName Disc"}));
    const QStringList log = LogLines();
    const QStringList burnLog = log.mid(log.indexOf("BurnerInitializing..."));
    ASSERT_GE(burnLog.size(), 11) << log.join("|").toStdString();
    EXPECT_EQ(burnLog[1], "Adding:a.mp3");
    EXPECT_EQ(burnLog[2], "Adding:b.mp3");
    EXPECT_EQ(burnLog[3], "2 files to burn.");
    EXPECT_EQ(burnLog[4], "0 dirs to burn.");
    EXPECT_EQ(burnLog.mid(5), (QStringList{"StartBurning...", "BurnerFinalization - Please wait...",
                                           "BurnerDoneBurn.", "BurnerCompleted.", "BurnerEnd.", "Erase temp files...",
                                           "Done."}));
    EXPECT_TRUE(w->lblOpenCDDoor->isEnabled());
    EXPECT_TRUE(w->cmdAbort->isEnabled());
}

TEST_F(DataBurnerTest, AVolumeNameJolietCutsIsSaidInTheLog)
{
    StoreEngine("1");
    Open(1);
    SetCheckValue(w->chkJOLIET, 1);
    w->txtCDName->setText("My_Items_List_Of_Songs");
    Burn();
    EXPECT_TRUE(LogLines().contains("The volume name \"My_Items_List_Of_Songs\" is longer than the 16 characters "
                                    "Joliet holds: Joliet readers see \"My_Items_List_Of\"."))
        << LogLines().join("|").toStdString();
    EXPECT_EQ(LogLines().last(), "Done.");
}

TEST_F(DataBurnerTest, BurnErrorsOfBothEnginesRunNoEndActions)
{
    for (const int engine : {0, 1}) {
        StoreEngine(QString::number(engine));
        Open(1);
        support::DataBurnScript failing;
        failing.ending = support::DataBurnEnding::Error;
        if (engine == 0)
            First()->QueueScript(failing);
        else
            Second()->QueueScript(failing);
        First()->calls.clear();
        Burn();
        const QString text = engine == 0 ? "Scripted error" : "Scripted error (Scripted detail)";
        EXPECT_EQ(LogLines().last(), text);
        EXPECT_EQ(w->lblCurrentTrack->text(), text);
        EXPECT_TRUE(w->cmdConvert->isEnabled());
        EXPECT_TRUE(w->cmdExit->isEnabled());
        EXPECT_TRUE(w->lblOpenCDDoor->isEnabled());
        EXPECT_FALSE(First()->calls.contains("OpenTray D")) << "no eject after a failed burn";
        EXPECT_EQ(TempFiles(), QStringList{"a.mp3"});
        w->cmdExit_Click();
    }
}

TEST_F(DataBurnerTest, AbortDuringABurnStopsTheBurn)
{
    for (const int engine : {0, 1}) {
        StoreEngine(QString::number(engine));
        Open(1);
        support::DataBurnScript hanging;
        hanging.ending = support::DataBurnEnding::Hang;
        if (engine == 0)
            First()->QueueScript(hanging);
        else
            Second()->QueueScript(hanging);
        msgBox->Expect("Burn CD?", platform::vbOK);
        w->cmdConvert_Click();
        for (int i = 0; i < 1000 && !w->IsBurning(); ++i) QCoreApplication::processEvents();
        ASSERT_TRUE(w->IsBurning());
        EXPECT_FALSE(w->cmdExit->isEnabled());
        EXPECT_FALSE(w->Unload()) << "no closing while a burn runs";
        msgBox->Expect("Abort operation?", platform::vbYes);
        w->cmdAbort_Click();
        WaitForBurn();
        EXPECT_FALSE(w->IsBurning());
        EXPECT_TRUE(w->cmdConvert->isEnabled());
        EXPECT_TRUE(LogLines().last().contains("The burn was aborted.")) << LogLines().last().toStdString();
        EXPECT_NE(w->lblCurrentTrack->text(), "Done.");
        EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Aborted.");
        w->cmdExit_Click();
    }
}

TEST_F(DataBurnerTest, EachEngineEventShowsItsText)
{
    Open();
    // Progress: both bars and the label, no log line.
    w->cAudioDataBurner1_Progress(37);
    EXPECT_EQ(w->lblCurrentTrack->text(), "37%");
    EXPECT_EQ(w->prgTotal->Value(), 37);
    EXPECT_EQ(w->prgCurrnet->Value(), 37);
    w->cBurner1_BurnerProgress(64);
    EXPECT_EQ(w->lblCurrentTrack->text(), "64%");
    EXPECT_EQ(w->prgTotal->Value(), 64);
    EXPECT_TRUE(LogLines().isEmpty());
    // The file count: one entry of two lines, the label left alone.
    w->cBurner1_FilesToBurn(12, 0);
    EXPECT_EQ(LogLines(), (QStringList{"12 files to burn.", "0 dirs to burn."}));
    EXPECT_EQ(w->lblCurrentTrack->text(), "64%");

    const struct {
        std::function<void()> event;
        const char* logLine;
        const char* label;
    } cases[] = {
        {[this] { w->cAudioDataBurner1_BurnStarted(); }, "Start the burning process...", "Start the burning process..."},
        {[this] { w->cAudioDataBurner1_ClosingSession(); }, "Closing session...", "Closing session..."},
        {[this] { w->cBurner1_BurnerInitializing(); }, "BurnerInitializing...", "BurnerInitializing..."},
        {[this] { w->cBurner1_AddingFile("/x/y/song.mp3"); }, "Adding:song.mp3", "Adding:song.mp3"},
        {[this] { w->cBurner1_StartBurning(); }, "StartBurning...", "StartBurning..."},
        {[this] { w->cBurner1_BurnerFinalization(); }, "BurnerFinalization - Please wait...", "BurnerFinalization"},
        {[this] { w->cBurner1_BurnerDoneBurn(); }, "BurnerDoneBurn.", "BurnerDoneBurn."},
        {[this] { w->cBurner1_BurnerCompleted(); }, "BurnerCompleted.", "BurnerCompleted."},
        {[this] { w->cBurner1_BurnerCanceled(); }, "BurnerCanceled...", "BurnerCanceled..."},
    };
    for (const auto& c : cases) {
        c.event();
        EXPECT_EQ(LogLines().last(), c.logLine);
        EXPECT_EQ(w->lblCurrentTrack->text(), c.label);
    }
}

// A writer whose Burn call neither starts a burn nor raises an event.
class SilentBurner : public FakeAudioDataBurner {
public:
    void Burn(const QString& letter, std::int32_t speed) override
    {
        calls << QString("Burn %1 %2").arg(letter).arg(speed);
    }
};

TEST_F(DataBurnerTest, ABurnCallThatStartsNothingGivesTheWindowBack)
{
    SetAudioDataBurnerFactory([] { return std::make_unique<SilentBurner>(); });
    Open(1);
    Burn();
    EXPECT_TRUE(w->cmdConvert->isEnabled());
    EXPECT_TRUE(w->cmdExit->isEnabled());
    EXPECT_EQ(LogLines().last(), "The burn did not start.");
}

} // namespace
