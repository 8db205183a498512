// The Audio Joiner window and its join job, on the fake join control.
#include "SplitJoinFixture.h"

#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/LinkLabel.h"
#include "core/NamingProcedures.h"
#include "platform/MessageBox.h"
#include "settings/StoredControls.h"
#include "support/MainWindowDouble.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace sjtest;
using Ending = FakeAudioJoin::Ending;

namespace {

class Joiner : public SplitJoinTest {
protected:
    CfrmJoiner* OpenTwo() { return OpenJoiner({{.file = Source("a.wav")}, {.file = Source("b.wav")}}); }
    // The joined file's name with the default template for OGG at the fixed clock.
    QString DefaultName() const
    {
        return "Joined_File-" + ShortDateText(now.date()).replace('/', '-') + "-14-05-09.ogg";
    }
    FakeAudioJoin::Script Hang(std::vector<JoinProgressStep> progress = {})
    {
        FakeAudioJoin::Script s;
        s.progress = std::move(progress);
        s.ending = Ending::Hang;
        return s;
    }
    QStringList AddFileCalls() const { return JoinFake()->calls.filter(QRegularExpression("^(AddFile|RemoveFile)")); }
};

TEST_F(Joiner, OpensWithItsOwnTabNameTemplateAndEventBoxes)
{
    CfrmJoiner* w = g_frmJoiner.get();
    EXPECT_EQ(w->windowTitle(), "Audio Joiner");
    EXPECT_EQ(w->cmdConvert->text(), "Join");
    EXPECT_EQ(w->cTabControl1->TabCaption(1), "Joiner Options        ");
    EXPECT_EQ(w->txtJoinedFileName->text(), "Joined_File-[date]-[time].[dest_extension]");
    EXPECT_FALSE(w->txtJoinedFileName->isHidden());
    EXPECT_FALSE(w->Label21->isHidden());
    EXPECT_FALSE(w->lblParameters->isHidden());
    EXPECT_TRUE(w->cboFileName->isHidden());
    EXPECT_TRUE(w->chkOverWrite->isHidden()) << "an existing file is always asked about";
    EXPECT_TRUE(w->lblTimeLeft->isHidden());
    EXPECT_EQ(w->chkPlaySound->text(), "Play sound");
    EXPECT_EQ(w->chkNoticeApp->text(), "Notice application ");
    EXPECT_TRUE(w->lblFilesToConvert->font().bold());
    EXPECT_FALSE(w->txtUndeForlder->isEnabled());
}

TEST_F(Joiner, HandsEveryRowOverWholeOrByItsRangeAndStartsOneJoin)
{
    support::MainWindowDouble main;
    OpenJoiner({{.file = Source("a.wav")},
                {.file = Source("b.wav"), .rangeAll = "0", .start = "65", .length = "30", .range = "00:01:05 - 00:01:35"},
                {.file = Source("c.wav"), .rangeAll = "0", .start = "10.5", .length = "2.5"}});
    SetCheckValue(joiner->chkOpenDestFolder, 1);
    Run();
    EXPECT_EQ(AddFileCalls(), (QStringList{"AddFile " + Source("a.wav") + " -1 -1", "AddFile " + Source("b.wav") + " 65 30",
                                           "AddFile " + Source("c.wav") + " 10 2"}));
    ASSERT_EQ(JoinFake()->joins.size(), 1u);
    EXPECT_EQ(JoinFake()->joins[0].destination, Out() + DefaultName());
    EXPECT_EQ(JoinFake()->joins[0].format, kDestFormatOGG);
    EXPECT_EQ(LogLines(), (QStringList{"Preparing to join: 3 tracks.", "Destination format: OGG", "Add a.wav...",
                                       "Add b.wav...", "Add c.wav...", "Done."}));
    EXPECT_EQ(joiner->lblCurrentTrack->text(), "Done.");
    EXPECT_EQ(joiner->lblFilesToConvert->text(), "Files: 3/3");
    EXPECT_EQ(joiner->prgTotal->Max(), 300);
    EXPECT_EQ(joiner->prgTotal->Value(), 300);
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Done.");
    EXPECT_EQ(shell->opened, QStringList{Out()});
    EXPECT_EQ(sound->played.size(), 1);
}

TEST_F(Joiner, ASecondJoinEmptiesTheListFirst)
{
    OpenTwo();
    Run();
    JoinFake()->calls.clear();
    now = now.addSecs(1); // a name of its own
    Run();
    EXPECT_EQ(AddFileCalls(), (QStringList{"RemoveFile 1", "RemoveFile 1", "AddFile " + Source("a.wav") + " -1 -1",
                                           "AddFile " + Source("b.wav") + " -1 -1"}));
}

TEST_F(Joiner, CountsBeyondSixteenBitsEmptyTheWholeList)
{
    OpenTwo();
    for (int i = 0; i < 40000; ++i) joiner->cAudioJoin1->AddFile(Source("x.wav"), -1, -1);
    Run();
    EXPECT_EQ(JoinFake()->calls.count("RemoveFile 1"), 40000);
    ASSERT_EQ(JoinFake()->joins.size(), 1u);
    EXPECT_EQ(JoinFake()->joins[0].files.size(), 2u);
}

struct NameCase {
    const char* pattern;
    const char* format;
    const char* name;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.pattern; }

class JoinedNames : public Joiner, public ::testing::WithParamInterface<NameCase> {};

TEST_P(JoinedNames, ExpandOnlyTheirFourMacros)
{
    OpenTwo();
    joiner->cboTargetFormat->setCurrentIndex(joiner->cboTargetFormat->findText(GetParam().format, Qt::MatchStartsWith));
    joiner->txtJoinedFileName->setText(GetParam().pattern);
    Run();
    ASSERT_EQ(JoinFake()->joins.size(), 1u);
    EXPECT_EQ(JoinFake()->joins[0].destination, Out() + GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JoinedNames,
    ::testing::Values(NameCase{"Mix_[123].[dest_extension]", "MP3", "Mix_[123].mp3"},
                      NameCase{"Part.[source_extension].[dest_extension]", "OGG", "Part.ogg.ogg"},
                      NameCase{"Part.[source_extension]", "OGG", "Part.[source_extension]"},
                      NameCase{"[file_name] [item_name] [convert_extension].wav", "WAV",
                               "[file_name] [item_name] [convert_extension].wav"},
                      // A date's slashes never make folders; those typed in the template do.
                      NameCase{"mix/[date]_[time].ogg", "OGG", "mix/12-8-26_14-05-09.ogg"}));

TEST_F(Joiner, AnEmptyNameTemplateIsRefused)
{
    OpenTwo();
    joiner->txtJoinedFileName->setText("  ");
    msgBox->Expect("Type the name of the joined file.");
    Run();
    EXPECT_TRUE(JoinFake()->calls.isEmpty());
    EXPECT_TRUE(joiner->txtLog->toPlainText().isEmpty());
}

struct OverwriteCase {
    const char* name;
    int answer;
};
void PrintTo(const OverwriteCase& c, std::ostream* os) { *os << c.name; }

class JoinOverwrite : public Joiner, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(JoinOverwrite, AnExistingFileIsAlwaysAskedAbout)
{
    OpenTwo();
    const QString path = Out() + DefaultName();
    Touch(path);
    msgBox->Expect("The file: '" + path + kOverwrite, GetParam().answer);
    Run();
    const bool yes = GetParam().answer == platform::vbYes;
    EXPECT_EQ(JoinFake()->joins.size(), yes ? 1u : 0u);
    if (yes) {
        EXPECT_EQ(LogLines().mid(2, 2), (QStringList{"File already exists.", "Overwrite it..."}));
    } else {
        EXPECT_EQ(LogLines().last(), "File already exists.");
        EXPECT_TRUE(joiner->cmdConvert->isEnabled());
        EXPECT_TRUE(joiner->cmdExit->isEnabled());
        EXPECT_EQ(joiner->lblCurrentTrack->text(), "Ready.");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, JoinOverwrite,
                         ::testing::Values(OverwriteCase{"Yes", platform::vbYes}, OverwriteCase{"No", platform::vbNo},
                                           OverwriteCase{"Cancel", platform::vbCancel}),
                         [](const ::testing::TestParamInfo<OverwriteCase>& info) { return info.param.name; });

TEST_F(Joiner, ProgressAnnouncesEachFileOnceAndEveryJoinFromItsFirstFile)
{
    OpenTwo();
    JoinFake()->QueueScript({{{0, 1}, {50, 1}, {100, 1}, {0, 2}, {30, 2}, {100, 2}}}); // {percent, file}
    Run();
    EXPECT_EQ(LogLines().filter("Add "), (QStringList{"Add a.wav...", "Add b.wav..."}));
    // The next join in the same window starts with file 1 again, which is announced.
    JoinFake()->QueueScript({{{100, 1}, {100, 2}}});
    now = now.addSecs(1);
    Run();
    EXPECT_EQ(LogLines().filter("Add a.wav...").size(), 2);
    EXPECT_EQ(LogLines().filter("Add b.wav...").size(), 2);
}

TEST_F(Joiner, AProgressOfNothingChangesNothing)
{
    OpenTwo();
    JoinFake()->QueueScript(Hang({{0, 2}}));
    joiner->cmdConvert_Click();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(joiner->prgCurrnet->Value(), 0);
    EXPECT_EQ(joiner->lblFilesToConvert->text(), "Files: 0/15");
    EXPECT_TRUE(LogLines().filter("Add ").isEmpty());
    EXPECT_EQ(joiner->lblCurrentTrack->text(), "Processing...");
    JoinFake()->Finish(Ending::Done);
    WaitUntilIdle();
}

TEST_F(Joiner, AbortAsksOnlyWhileJoiningAndStopsWithoutTheEndActions)
{
    support::MainWindowDouble main;
    OpenTwo();
    SetCheckValue(joiner->chkOpenDestFolder, 1);
    joiner->cmdAbort_Click();
    EXPECT_TRUE(msgBox->shown.empty());

    JoinFake()->QueueScript(Hang({{40, 1}}));
    joiner->cmdConvert_Click();
    msgBox->Expect("Abort operation?" + QString(38, ' '), platform::vbNo);
    joiner->cmdAbort_Click();
    EXPECT_FALSE(joiner->cmdConvert->isEnabled()) << "No leaves the join running";
    EXPECT_FALSE(joiner->Unload()) << "the window stays open while joining";
    msgBox->Expect("Abort operation?", platform::vbYes);
    joiner->cmdAbort_Click();
    WaitUntilIdle();
    EXPECT_EQ(JoinFake()->calls.filter(QRegularExpression("^(Abort|Reset)$")), (QStringList{"Abort", "Reset"}));
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Aborted.");
    EXPECT_EQ(LogLines().last(), "Aborted.");
    EXPECT_EQ(joiner->lblCurrentTrack->text(), "Aborted.");
    EXPECT_TRUE(shell->opened.isEmpty());
    EXPECT_TRUE(sound->played.isEmpty());
    EXPECT_TRUE(joiner->Unload());
    EXPECT_FALSE(g_frmJoiner.IsLoaded());
}

TEST_F(Joiner, AnErrorEndsTheJoinAndNoEndingAfterItRunsTheEndActions)
{
    support::MainWindowDouble main;
    OpenTwo();
    SetCheckValue(joiner->chkOpenDestFolder, 1);
    SetCheckValue(joiner->chkTurnOffComputer, 1);
    FakeAudioJoin::Script error;
    error.progress = {{100, 1}};
    error.ending = Ending::Error;
    JoinFake()->QueueScript(error);
    const std::size_t balloons = main.cSysTray1->Balloons().size();
    Run();
    EXPECT_EQ(LogLines().last(), "Error: Scripted error(2)");
    EXPECT_EQ(joiner->lblCurrentTrack->text(), "Error: Scripted error(2)");
    EXPECT_TRUE(joiner->cmdConvert->isEnabled());
    EXPECT_TRUE(joiner->cmdExit->isEnabled());
    EXPECT_TRUE(joiner->g_bConvertError);
    // A Done that came after the Error changes nothing.
    emit JoinFake()->Done();
    EXPECT_EQ(LogLines().last(), "Error: Scripted error(2)");
    EXPECT_EQ(main.cSysTray1->Balloons().size(), balloons);
    EXPECT_TRUE(shell->opened.isEmpty());
    EXPECT_TRUE(sound->played.isEmpty());
    EXPECT_TRUE(modal->shown.isEmpty());
}

TEST_F(Joiner, DoneRunsTheEndActionsInOrderThenLogsAndFillsTheBars)
{
    support::MainWindowDouble main;
    main.noticeArguments = {"notify"};
    OpenTwo();
    for (QCheckBox* box : {joiner->chkPlaySound, joiner->chkOpenDestFolder, joiner->chkNoticeApp,
                           joiner->chkTurnOffComputer})
        SetCheckValue(box, 1);
    QStringList seenAtCountdown;
    modal->hook = [&](QWidget* window) {
        seenAtCountdown = LogLines();
        EXPECT_EQ(sound->played.size(), 1);
        EXPECT_EQ(shell->opened, QStringList{Out()});
        EXPECT_EQ(shell->started, QStringList{"notify"});
        window->close();
    };
    Run();
    EXPECT_EQ(modal->shown, QStringList{"g_frmTurnOff"});
    EXPECT_EQ(main.noticeFiles, QStringList{Out() + DefaultName()}) << "the program hears of the joined file";
    EXPECT_FALSE(seenAtCountdown.contains("Done.")) << "the log line follows the countdown";
    EXPECT_EQ(LogLines().last(), "Done.");
    EXPECT_EQ(joiner->prgCurrnet->Value(), 100);
    EXPECT_EQ(joiner->prgTotal->Value(), 200);
}

TEST_F(Joiner, TheSubFolderIsMadeAndTheJoinedFileWrittenIntoIt)
{
    OpenTwo();
    SetCheckValue(joiner->chkCreateSubFolder, 1);
    joiner->txtUndeForlder->setText("Joined");
    Run();
    EXPECT_TRUE(QDir(Out() + "Joined").exists());
    ASSERT_EQ(JoinFake()->joins.size(), 1u);
    EXPECT_EQ(JoinFake()->joins[0].destination, Out() + "Joined/" + DefaultName());
}

TEST_F(Joiner, TheJoinedFileCarriesTheFirstRowsTags)
{
    OpenJoiner({{.file = Source("a.wav"),
                 .album = "Album [YEAR]",
                 .artist = "[PROG_NAME]",
                 .comment = "[ITEM_NAME]",
                 .genre = "Pop",
                 .title = "[TRACK_NUM]",
                 .track = "3",
                 .year = "1999"},
                {.file = Source("b.wav"), .album = "Other"}});
    Run();
    ASSERT_EQ(JoinFake()->joins.size(), 1u);
    const auto& j = JoinFake()->joins[0];
    EXPECT_EQ(j.album, "Album 2026");
    EXPECT_EQ(j.artist, g_sAppName);
    EXPECT_EQ(j.comment, "[ITEM_NAME]");
    EXPECT_EQ(j.genre, "Pop");
    EXPECT_EQ(j.title, "1");
    EXPECT_EQ(j.track, "3");
    EXPECT_EQ(j.year, "1999");
}

} // namespace
