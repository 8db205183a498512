// The Audio Splitter window and its split job, on the fake conversion control.
#include "SplitJoinFixture.h"

#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "platform/MessageBox.h"
#include "core/LinkLabel.h"
#include "settings/StoredControls.h"
#include "settings/mdlOptions.h"
#include "settings/frmOptions.h"
#include "support/MainWindowDouble.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace sjtest;
using Ending = FakeAudioConverter::Ending;

namespace {

const QString kTooSmall = "Source file length is to small.       ";

class Splitter : public SplitJoinTest {
protected:
    void SetUp() override
    {
        SplitJoinTest::SetUp();
        song = Source("song.wav");
    }
    // The ranges the parts were given: "start+length".
    QStringList Ranges() const
    {
        QStringList ranges;
        for (const auto& c : SplitFake()->converts)
            ranges << QString("%1+%2").arg(c.rangeStart).arg(c.rangeLength) + (c.ranged ? "" : " whole");
        return ranges;
    }
    QStringList Outputs() const
    {
        QStringList names;
        for (const auto& c : SplitFake()->converts) names << c.destination;
        return names;
    }
    void ByParts(const QString& count)
    {
        splitter->ptnSplitByParts->click();
        splitter->txtSplitParts->setText(count);
    }
    void BySeconds(const QString& seconds)
    {
        splitter->ptnSplitBySecs->click();
        splitter->txtSplitSecs->setText(seconds);
    }
    QString song;
};

TEST_F(Splitter, OpensOnItsSettingsWithSixPartsAndTheDefaultFormat)
{
    g_sTargetFormat = frmOptions->cboTargetFormat->currentText();
    CfrmSplitter* w = g_frmSplitter.get();
    EXPECT_EQ(w->windowTitle(), "Audio Splitter");
    EXPECT_EQ(w->lblTitle->text(), "Audio Splitter");
    EXPECT_EQ(w->cmdConvert->text(), "Split");
    EXPECT_EQ(w->cTabControl1->TabCaption(1), "Settings        ");
    EXPECT_EQ(w->cTabControl1->TabKey(1), "Settings");
    EXPECT_FALSE(w->TabSettings->isHidden());
    EXPECT_TRUE(w->TabEvents->isHidden());
    EXPECT_TRUE(w->ptnSplitByParts->isChecked());
    EXPECT_EQ(w->ptnSplitByParts->text(), "Split to" + QString(25, ' ') + "parts");
    EXPECT_EQ(w->ptnSplitBySecs->text(), "Split each" + QString(20, ' ') + "seconds");
    EXPECT_EQ(w->txtSplitParts->text(), "6");
    EXPECT_TRUE(w->txtSplitParts->isEnabled());
    EXPECT_EQ(w->txtSplitSecs->text(), "10");
    EXPECT_FALSE(w->txtSplitSecs->isEnabled());
    EXPECT_FALSE(w->txtUndeForlder->isEnabled());
    EXPECT_EQ(w->cboTargetFormat->currentText(), frmOptions->cboTargetFormat->currentText());
    EXPECT_FALSE(w->lblSetAsDefaultFormat->isEnabled());
    EXPECT_TRUE(w->cboFileName->isHidden()) << "the parts are named by the splitter";
    EXPECT_TRUE(w->lblTimeLeft->isHidden());
    EXPECT_FALSE(w->chkOverWrite->isHidden());
    EXPECT_EQ(w->chkPlaySound->text(), "Play a sound");
    EXPECT_EQ(w->chkNoticeApp->text(), "Execute external program");
}

TEST_F(Splitter, TheModeEnablesItsOwnBoxAndKeepsBothTexts)
{
    CfrmSplitter* w = g_frmSplitter.get();
    w->txtSplitParts->setText("3");
    w->ptnSplitBySecs->click();
    EXPECT_FALSE(w->txtSplitParts->isEnabled());
    EXPECT_TRUE(w->txtSplitSecs->isEnabled());
    w->ptnSplitByParts->click();
    EXPECT_TRUE(w->txtSplitParts->isEnabled());
    EXPECT_FALSE(w->txtSplitSecs->isEnabled());
    EXPECT_EQ(w->txtSplitParts->text(), "3");
    EXPECT_EQ(w->txtSplitSecs->text(), "10");
}

TEST_F(Splitter, TheNumberBoxesRefuseOnlyCharactersNamesCannotHold)
{
    CfrmSplitter* w = g_frmSplitter.get();
    w->txtSplitParts->clear();
    QTest::keyClicks(w->txtSplitParts, "1a2/?");
    EXPECT_EQ(w->txtSplitParts->text(), "1a2");
    w->ptnSplitBySecs->click();
    w->txtSplitSecs->clear();
    QTest::keyClicks(w->txtSplitSecs, "4|.5");
    EXPECT_EQ(w->txtSplitSecs->text(), "4.5");
}

// ---------------------------------------------------------------- the split

struct SplitCase {
    const char* name;
    std::int32_t lengthMs;
    bool byParts;
    const char* value;
    std::vector<const char*> ranges; // empty: refused with "to small"
    int totalMax;
};
void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitArithmetic : public Splitter, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitArithmetic, CutsWholeSecondPartsUpToTheEndOfTheSource)
{
    const SplitCase& c = GetParam();
    OpenSplitter(song, c.lengthMs);
    splitter->prgTotal->SetMax(12345);
    if (c.byParts)
        ByParts(c.value);
    else
        BySeconds(c.value);
    // The total bar stays within its maximum whatever the parts report.
    int highest = 0;
    QObject::connect(SplitFake(), &cAudioConverter::Progress, splitter,
                     [&] { highest = std::max(highest, splitter->prgTotal->Value()); });
    if (c.ranges.empty()) msgBox->Expect(kTooSmall);
    Run();
    QStringList expected;
    for (const char* r : c.ranges) expected << r;
    EXPECT_EQ(Ranges(), expected);
    if (c.ranges.empty()) {
        ASSERT_EQ(msgBox->shown.size(), 1u);
        EXPECT_EQ(msgBox->shown[0].flags, platform::vbInformation);
        EXPECT_EQ(splitter->prgTotal->Max(), 12345) << "the bar is not set";
        EXPECT_EQ(splitter->lblCurrentTrack->text(), "Ready.");
        return;
    }
    EXPECT_EQ(splitter->prgTotal->Max(), c.totalMax);
    EXPECT_LE(highest, c.totalMax);
    EXPECT_EQ(highest, c.totalMax) << "the last part fills the bar";
    EXPECT_EQ(splitter->lblCurrentTrack->text(), "Done.");
    EXPECT_TRUE(msgBox->shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitArithmetic,
    ::testing::Values(
        SplitCase{"SixtySecondsInSixParts", 60000, true, "6", {"0+10", "10+10", "20+10", "30+10", "40+10", "50+10"}, 600},
        SplitCase{"SixtyOneSecondsInSixPartsMakeSeven", 61000, true, "6",
                  {"0+10", "10+10", "20+10", "30+10", "40+10", "50+10", "60+1"}, 700},
        SplitCase{"SevenAndAHalfRoundsToEight", 45000, true, "6", {"0+8", "8+8", "16+8", "24+8", "32+8", "40+5"}, 600},
        SplitCase{"SixAndAHalfRoundsToSix", 39000, true, "6",
                  {"0+6", "6+6", "12+6", "18+6", "24+6", "30+6", "36+3"}, 700},
        SplitCase{"NineSecondsInTwoSecondParts", 9000, true, "6", {"0+2", "2+2", "4+2", "6+2", "8+1"}, 500},
        SplitCase{"ThreeSecondsInSixPartsIsTooShort", 3000, true, "6", {}, 0},
        SplitCase{"OnePart", 60000, true, "1", {"0+60"}, 100},
        SplitCase{"TenSecondParts", 60000, false, "10", {"0+10", "10+10", "20+10", "30+10", "40+10", "50+10"}, 600},
        SplitCase{"TenSecondPartsOfSixtyFive", 65000, false, "10",
                  {"0+10", "10+10", "20+10", "30+10", "40+10", "50+10", "60+5"}, 700},
        SplitCase{"TenAndAHalfRoundsToTen", 60000, false, "10.5",
                  {"0+10", "10+10", "20+10", "30+10", "40+10", "50+10"}, 600},
        SplitCase{"FiftyNineOfSixty", 60000, false, "59", {"0+59", "59+1"}, 200},
        SplitCase{"SevenTenthsMakeOneSecondParts", 3000, false, "0.7", {"0+1", "1+1", "2+1"}, 300},
        SplitCase{"JustOverHalfASecondMakesOneSecondParts", 2000, false, "0.51", {"0+1", "1+1"}, 200},
        SplitCase{"ThePartAsLongAsTheSourceIsTooShort", 60000, false, "60", {}, 0},
        SplitCase{"AFractionOfASecondOver", 60500, false, "30", {"0+30", "30+30", "60+1"}, 300}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

struct RefusedValue {
    const char* name;
    bool byParts;
    const char* value;
    const char* message;
};
void PrintTo(const RefusedValue& c, std::ostream* os) { *os << c.name; }

class RefusedValues : public Splitter, public ::testing::WithParamInterface<RefusedValue> {};

TEST_P(RefusedValues, SayWhyBeforeAnythingIsDone)
{
    const RefusedValue& c = GetParam();
    OpenSplitter(song, 60000);
    if (c.byParts)
        ByParts(c.value);
    else
        BySeconds(c.value);
    msgBox->Expect(c.message);
    Run();
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, c.message);
    EXPECT_TRUE(SplitFake()->calls.isEmpty()) << "no source opened, no format set";
    EXPECT_TRUE(splitter->txtLog->toPlainText().isEmpty());
    EXPECT_TRUE(splitter->cmdConvert->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedValues,
    ::testing::Values(RefusedValue{"NoParts", true, "0", "The number of parts must be more than 0."},
                      RefusedValue{"NegativeParts", true, "-2", "The number of parts must be more than 0."},
                      RefusedValue{"EmptyParts", true, " ", "Type the number of parts to split into."},
                      RefusedValue{"LettersForParts", true, "abc", "The number of parts is not a number: abc"},
                      RefusedValue{"EmptySeconds", false, "", "Type the length of the parts in seconds."},
                      RefusedValue{"LettersForSeconds", false, "abc", "The length of the parts is not a number: abc"},
                      RefusedValue{"HalfASecond", false, "0.5", "The parts must be at least 1 second long."},
                      RefusedValue{"NoSeconds", false, "0", "The parts must be at least 1 second long."},
                      RefusedValue{"UnderHalfASecond", false, "0.2", "The parts must be at least 1 second long."},
                      RefusedValue{"NegativeSeconds", false, "-3", "The parts must be at least 1 second long."}),
    [](const ::testing::TestParamInfo<RefusedValue>& info) { return info.param.name; });

TEST_F(Splitter, ByPartsLogsEachPartAndEndsDoneWithTheEndActions)
{
    support::MainWindowDouble main;
    main.noticeArguments = {"notify"};
    OpenSplitter(song, 60000);
    SetCheckValue(splitter->chkOpenDestFolder, 1);
    SetCheckValue(splitter->chkNoticeApp, 1);
    Run();
    QStringList expected{"Preparing to split: song.wav..", "Destination format: OGG"};
    for (int i = 0; i < 6; ++i) expected << "Start to split: song.wav..." << "Done.";
    EXPECT_EQ(LogLines(), expected);
    QStringList names;
    for (int i = 1; i <= 6; ++i) names << Out() + QString("Part_%1_song.OGG").arg(i);
    EXPECT_EQ(Outputs(), names);
    for (const auto& c : SplitFake()->converts) {
        EXPECT_EQ(c.source, song);
        EXPECT_EQ(c.format, kDestFormatOGG);
    }
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Done.");
    EXPECT_EQ(sound->played.size(), 1);
    EXPECT_EQ(shell->opened, QStringList{Out()});
    EXPECT_EQ(shell->started, QStringList{"notify"});
    EXPECT_EQ(main.noticeFiles, QStringList{names.last()}) << "the program hears of the last part";
    EXPECT_EQ(splitter->windowTitle(), g_sAppName + " " + g_sAppVersion);
}

struct NameCase {
    const char* source;
    const char* format;
    const char* part1;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.source << " " << c.format; }

class PartNames : public Splitter, public ::testing::WithParamInterface<NameCase> {};

TEST_P(PartNames, TakeTheFormatsLettersForTheLastThreeOfTheName)
{
    OpenSplitter(Source(GetParam().source), 20000);
    splitter->cboTargetFormat->setCurrentIndex(splitter->cboTargetFormat->findText(GetParam().format,
                                                                                     Qt::MatchStartsWith));
    ByParts("1");
    Run();
    EXPECT_EQ(Outputs(), QStringList{Out() + GetParam().part1});
}

INSTANTIATE_TEST_SUITE_P(Cases, PartNames,
                         ::testing::Values(NameCase{"song.wav", "OGG", "Part_1_song.OGG"},
                                           NameCase{"song.wav", "MP3", "Part_1_song.MP3"},
                                           NameCase{"song.wav", "ACM", "Part_1_song.ACM"},
                                           NameCase{"song.flac", "OGG", "Part_1_song.fOGG"}));

TEST_F(Splitter, PartsGoIntoTheSubFolderWhichTheEndActionOpens)
{
    OpenSplitter(song, 20000);
    SetCheckValue(splitter->chkCreateSubFolder, 1);
    splitter->txtUndeForlder->setText("Parts");
    SetCheckValue(splitter->chkOpenDestFolder, 1);
    ByParts("2");
    Run();
    EXPECT_TRUE(QDir(Out() + "Parts").exists());
    EXPECT_EQ(Outputs(), (QStringList{Out() + "Parts/Part_1_song.OGG", Out() + "Parts/Part_2_song.OGG"}));
    EXPECT_EQ(shell->opened, QStringList{Out() + "Parts/"});
}

struct OverwriteCase {
    const char* name;
    int answer;
    int parts;           // written
    const char* ending;  // label and balloon
    bool abortedLogLine; // "Aborted." in the log
};
void PrintTo(const OverwriteCase& c, std::ostream* os) { *os << c.name; }

class OverwriteQuestion : public Splitter, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteQuestion, YesWritesTheRestNoAndCancelEndTheSplit)
{
    const OverwriteCase& c = GetParam();
    support::MainWindowDouble main;
    OpenSplitter(song, 60000);
    SetCheckValue(splitter->chkOpenDestFolder, 1);
    const QString third = Out() + "Part_3_song.OGG";
    Touch(third);
    msgBox->Expect("The file: '" + third + kOverwrite, c.answer);
    Run();
    EXPECT_EQ(int(SplitFake()->converts.size()), c.parts);
    EXPECT_EQ(splitter->lblCurrentTrack->text(), c.ending);
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, c.ending);
    const QStringList log = LogLines();
    EXPECT_TRUE(log.contains("File already exists."));
    EXPECT_EQ(log.contains("Overwrite it..."), c.answer == platform::vbYes);
    EXPECT_EQ(log.last() == "Aborted.", c.abortedLogLine);
    const bool done = c.answer == platform::vbYes;
    EXPECT_EQ(shell->opened.size(), done ? 1 : 0) << "end actions only after a complete split";
    EXPECT_EQ(sound->played.size(), done ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, OverwriteQuestion,
                         ::testing::Values(OverwriteCase{"Yes", platform::vbYes, 6, "Done.", false},
                                           OverwriteCase{"No", platform::vbNo, 2, "Aborted.", false},
                                           OverwriteCase{"Cancel", platform::vbCancel, 2, "Aborted.", true}),
                         [](const ::testing::TestParamInfo<OverwriteCase>& info) { return info.param.name; });

TEST_F(Splitter, APartsErrorIsLoggedTheRestAreWrittenAndNoCountdownStarts)
{
    support::MainWindowDouble main;
    OpenSplitter(song, 60000);
    SetCheckValue(splitter->chkTurnOffComputer, 1);
    SetCheckValue(splitter->chkOpenDestFolder, 1);
    SplitFake()->QueueScript({});
    FakeAudioConverter::Script error;
    error.ending = Ending::Error;
    SplitFake()->QueueScript(error);
    Run();
    EXPECT_EQ(SplitFake()->converts.size(), 6u);
    EXPECT_EQ(LogLines().count("Error: Scripted error(2)"), 1);
    EXPECT_EQ(LogLines().at(5), "Error: Scripted error(2)");
    EXPECT_TRUE(splitter->g_bConvertError);
    EXPECT_EQ(splitter->lblCurrentTrack->text(), "Done, with errors: 1 of 6 parts failed.");
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Done, with errors: 1 of 6 parts failed.");
    EXPECT_EQ(shell->opened, QStringList{Out()});
    EXPECT_TRUE(modal->shown.isEmpty()) << "no shutdown countdown after an error";
}

TEST_F(Splitter, AbortAsksOnlyWhileSplittingAndKeepsThePartsMade)
{
    support::MainWindowDouble main;
    OpenSplitter(song, 60000);
    SetCheckValue(splitter->chkOpenDestFolder, 1);
    splitter->cmdAbort_Click();
    EXPECT_TRUE(msgBox->shown.empty()) << "nothing runs: no question";

    for (int i = 0; i < 3; ++i) SplitFake()->QueueScript({});
    FakeAudioConverter::Script hang;
    hang.progress = {40};
    hang.ending = Ending::Hang;
    SplitFake()->QueueScript(hang);
    msgBox->Expect("Abort operation?" + QString(38, ' '), platform::vbNo);
    splitter->cmdConvert_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return SplitFake()->converts.size() == 4u; }));
    splitter->cmdAbort_Click();
    EXPECT_FALSE(splitter->cmdConvert->isEnabled()) << "No leaves the split running";
    EXPECT_FALSE(splitter->cmdExit->isEnabled());
    EXPECT_FALSE(splitter->Unload()) << "the window stays open while splitting";
    msgBox->Expect("Abort operation?", platform::vbYes);
    splitter->cmdAbort_Click();
    WaitUntilIdle();
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Aborted.");
    EXPECT_EQ(LogLines().last(), "Aborted.");
    EXPECT_EQ(splitter->lblCurrentTrack->text(), "Aborted.");
    EXPECT_TRUE(shell->opened.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(Out() + "Part_3_song.OGG"));
    EXPECT_FALSE(QFileInfo::exists(Out() + "Part_4_song.OGG"));
    EXPECT_TRUE(splitter->Unload()) << "Exit works again";
}

TEST_F(Splitter, AnUnreadableSourceEndsWithItsErrorAndNoLengthOfAnEarlierFile)
{
    OpenSplitter(song, 60000);
    Run();
    ASSERT_EQ(SplitFake()->converts.size(), 6u);
    // The next job's file cannot be read: nothing of the 60 s file is split again.
    splitter->g_sFileToSplit = Source("gone.wav");
    SetCheckValue(splitter->chkOpenDestFolder, 1);
    Run();
    EXPECT_EQ(SplitFake()->converts.size(), 6u);
    const QString error = "Error: The file does not exist: " + Source("gone.wav") + "(1)";
    EXPECT_EQ(LogLines().last(), error);
    EXPECT_EQ(splitter->lblCurrentTrack->text(), error);
    EXPECT_TRUE(splitter->g_bConvertError);
    EXPECT_EQ(splitter->g_lSourceLength, 0);
    EXPECT_TRUE(shell->opened.isEmpty());
    EXPECT_TRUE(splitter->cmdConvert->isEnabled());
}

TEST_F(Splitter, EveryPartGetsTheRowsTagTextsWithTheShortPlaceholders)
{
    OpenSplitter(song, 20000);
    splitter->cGrid1->Clear();
    AddRows({{.file = song,
              .album = "Album [YEAR]",
              .artist = "[PROG_NAME]",
              .comment = "of [RANGE]",
              .genre = "Tone",
              .title = "[TRACK_NUM]",
              .track = "7",
              .year = "[YEAR]"}});
    ByParts("2");
    Run();
    ASSERT_EQ(SplitFake()->converts.size(), 2u);
    for (const auto& c : SplitFake()->converts) {
        EXPECT_EQ(c.album, "Album 2026");
        EXPECT_EQ(c.artist, g_sAppName);
        EXPECT_EQ(c.comment, "of [RANGE]");
        EXPECT_EQ(c.genre, "Tone");
        EXPECT_EQ(c.title, "1");
        EXPECT_EQ(c.track, "7");
        EXPECT_EQ(c.year, "2026");
    }
}

} // namespace
