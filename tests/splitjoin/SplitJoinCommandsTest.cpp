// The main window's "Audio Splitter" and "Audio Joiner" commands: the checks
// before a tool opens, and what each hands to its window.
#include "SplitJoinFixture.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/TimeSizeText.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace sjtest;

namespace {

class SplitJoinCommands : public MainWithSplitJoin {
protected:
    void SetUp() override
    {
        MainWithSplitJoin::SetUp();
        SetAudioConverterFactory([] { return std::make_unique<FakeAudioConverter>(); });
        SetAudioJoinFactory([] { return std::make_unique<FakeAudioJoin>(); });
        LoadMain();
        ASSERT_NE(main->cTreeView1->SelectedItem(), nullptr);
        main->cGrid1->Clear();
    }
    void TearDown() override
    {
        MainWithSplitJoin::TearDown();
        SetAudioConverterFactory({});
        SetAudioJoinFactory({});
    }
    void AddItem(const QString& name, bool marked, const QString& time, const QString& bytes)
    {
        convtest::AddListItem(main->cGrid1, ProgramFolder(), name, marked, time, bytes);
    }
    void ExpectRowCopied(cGrid* grid, int row, int from)
    {
        EXPECT_EQ(grid->CellIconIndex(row, kColInc), -1) << "no include mark";
        for (int column = 2; column <= main->cGrid1->Columns(); ++column)
            EXPECT_EQ(grid->CellText(row, column), main->cGrid1->CellText(from, column)) << "column " << column;
    }
};

TEST_F(SplitJoinCommands, TheSplitterTakesTheSelectedRowMarkedOrNot)
{
    AddItem("one.wav", true, "00:01:00", "1000");
    AddItem("two.wav", false, "00:02:00", "2000");
    AddItem("three.wav", false, "00:03:07", "3145728");
    main->cGrid1->SetSelectedRow(3);
    bool checked = false;
    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmSplitter*>(window);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->lblFilesToConvert->text(), "Split: three.wav");
        EXPECT_EQ(w->cStatusBar1->PanelText("Total Size"), "Total Time: 00:03:07");
        EXPECT_EQ(w->cStatusBar1->PanelText("Total Time"), "Total Size: " + FormatFileSize(3145728));
        EXPECT_EQ(w->txtUndeForlder->text(), "New-Items-List-1");
        EXPECT_EQ(w->g_sFileToSplit, ProgramFolder() + "/three.wav");
        ASSERT_EQ(w->cGrid1->Rows(), 1);
        ExpectRowCopied(w->cGrid1, 1, 3);
        EXPECT_FALSE(main->tmrCDs->isActive());
        EXPECT_EQ(main->cursor().shape(), Qt::ArrowCursor);
        checked = true;
        w->cmdExit_Click();
    };
    Command("Audio Splitter");
    EXPECT_TRUE(checked);
    EXPECT_EQ(modal->shown, QStringList{"g_frmSplitter"});
    EXPECT_FALSE(g_frmSplitter.IsLoaded());
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(SplitJoinCommands, TheJoinerTakesTheMarkedRowsWithTheirTotals)
{
    AddItem("one.wav", true, "00:01:00", "1000");
    AddItem("two.wav", false, "00:02:00", "2000");
    AddItem("three.wav", true, "01:00:00", "3000");
    bool checked = false;
    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmJoiner*>(window);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->lblFilesToConvert->text(), "2 items to join.");
        EXPECT_EQ(w->cStatusBar1->PanelText("Total Size"), "Total Time: 1:01:00");
        EXPECT_EQ(w->cStatusBar1->PanelText("Total Time"), "Total Size: " + main->GetTotalSize(true));
        EXPECT_EQ(w->txtUndeForlder->text(), "New-Items-List-1");
        ASSERT_EQ(w->cGrid1->Rows(), 2);
        ExpectRowCopied(w->cGrid1, 1, 1);
        ExpectRowCopied(w->cGrid1, 2, 3);
        checked = true;
        w->cmdExit_Click();
    };
    Command("Audio Joiner");
    EXPECT_TRUE(checked);
    EXPECT_EQ(modal->shown, QStringList{"g_frmJoiner"});
    EXPECT_FALSE(g_frmJoiner.IsLoaded());
}

struct Refusal {
    const char* name;
    const char* key;
    const char* marks; // one letter per row: m marked, u not
    QString message;
};
void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }

class Refusals : public SplitJoinCommands, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, SayWhyAndOpenNoWindow)
{
    const Refusal& c = GetParam();
    for (int i = 0; c.marks[i]; ++i) AddItem(QString("%1.wav").arg(i), c.marks[i] == 'm', "00:00:10", "100");
    msgBox->Expect(c.message);
    Command(c.key);
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, c.message);
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbInformation);
    EXPECT_TRUE(modal->shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refusals,
    ::testing::Values(Refusal{"NothingToSplit", "Audio Splitter", "uu", "Mark the items to split." + QString(29, ' ')},
                      Refusal{"NothingToJoin", "Audio Joiner", "uu", "Mark the items to join." + QString(29, ' ')},
                      Refusal{"OneItemIsNothingToJoin", "Audio Joiner", "mu",
                              "Nothing to join." + QString(55, ' ') + "\r\n\r\n"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST_F(SplitJoinCommands, TheSplitterWithNoRowSelectedAsksForOne)
{
    AddItem("one.wav", true, "00:01:00", "1000");
    main->cGrid1->SetSelectedRow(0);
    msgBox->Expect("Select the item to split.");
    Command("Audio Splitter");
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_TRUE(modal->shown.isEmpty());
}

TEST_F(SplitJoinCommands, OnTheRootBothAskForAListAndOnAnEmptyListAddFiles)
{
    for (const char* key : {"Audio Splitter", "Audio Joiner"}) {
        dialogs->ExpectOpen({}); // the user cancels "Add Files"
        Command(key);
        ASSERT_EQ(dialogs->openRequests.size(), 1u) << key;
        dialogs->openRequests.clear();

        main->g_nodMainItems->SetSelected(true);
        main->cTreeView1_NodeClick(main->g_nodMainItems);
        const QString refusal = "Select the Items List." + QString(40, ' ');
        msgBox->Expect(refusal);
        Command(key);
        WaitForOpenList();
        ASSERT_EQ(msgBox->shown.size(), 1u) << key;
        EXPECT_EQ(msgBox->shown[0].text, refusal);
        msgBox->shown.clear();
        EXPECT_FALSE(main->IsMainNode(main->cTreeView1->SelectedItem()->Key())) << "the first list is open again";
    }
    EXPECT_TRUE(modal->shown.isEmpty());
}

} // namespace
