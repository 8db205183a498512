// The "MP3 CD Maker" and "WMA CD Maker" commands of the real main window on
// fakes: the checks before the window opens and what they hand over.
#include "DataBurnerFixture.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace databurntest;

namespace {

class DataBurnerCommand : public DataBurnerBase {
protected:
    void SetUp() override
    {
        DataBurnerBase::SetUp();
        main = frmMain.get();
        WaitForOpenList();
        ASSERT_NE(main, nullptr);
        ASSERT_NE(main->cTreeView1->SelectedItem(), nullptr);
        main->cGrid1->Clear();
    }
    void AddItem(const QString& name, bool marked, const QString& time, const QString& bytes)
    {
        convtest::AddListItem(main->cGrid1, ProgramFolder(), name, marked, time, bytes);
    }
    void Launch(const QString& key) { main->m_cMenu_Click(main->m_cMenu->IndexForKey(key)); }

    CfrmMain* main = nullptr;
};

TEST_F(DataBurnerCommand, BothCommandsOpenTheMakerWithTheMarkedRowsAndTheirFormat)
{
    AddItem("a.wav", true, "00:01:00", "1000");
    AddItem("b.wav", false, "00:02:00", "5000");
    AddItem("c.wav", true, "00:00:45", "3000");
    const struct {
        const char* command;
        const char* format;
    } cases[] = {{"MP3 CD Maker", "MP3 - MPEG-1 Audio Layer 3 (*.mp3)"},
                 {"WMA CD Maker", "WMA - Windows Media Audio files (*.wma)"}};
    for (const auto& c : cases) {
        ASSERT_NE(main->m_cMenu->IndexForKey(c.command), 0) << c.command;
        bool shown = false;
        modal->hook = [&](QWidget* window) {
            auto* w = qobject_cast<CfrmDataBurner3*>(window);
            ASSERT_NE(w, nullptr);
            shown = true;
            EXPECT_EQ(w->lblTitle->text(), c.command);
            EXPECT_EQ(w->windowTitle(), c.command);
            EXPECT_EQ(w->cboTargetFormat->currentText(), c.format);
            EXPECT_EQ(w->lblFilesToConvert->text(), "2 items to burn.");
            EXPECT_EQ(w->g_ltmrItemSecsTotal, 105);
            EXPECT_EQ(w->cStatusBar1->PanelText("Total Size"), "Total Time: 0:01:45");
            EXPECT_EQ(w->cStatusBar1->PanelText("Total Time"), "Total Size: " + main->GetTotalSize(true));
            EXPECT_EQ(w->txtCDName->text(), "New-Items-List-1");
            ASSERT_EQ(w->cGrid1->Rows(), 2);
            EXPECT_EQ(w->cGrid1->CellText(2, kColItemName).toString(), "c.wav");
            EXPECT_FALSE(main->tmrCDs->isActive());
            w->cmdExit_Click();
        };
        Launch(c.command);
        EXPECT_TRUE(shown) << c.command;
        EXPECT_FALSE(g_frmDataBurner3.IsLoaded());
    }
}

TEST_F(DataBurnerCommand, NothingMarkedOrARootSelectedIsSaid)
{
    AddItem("a.wav", false, "00:01:00", "1000");
    msgBox->Expect("Mark the items to burn." + QString(29, ' '));
    Launch("MP3 CD Maker");
    EXPECT_TRUE(modal->shown.isEmpty());
}

TEST_F(DataBurnerCommand, WmaWithoutAnEncoderSaysSoAndOpensNothing)
{
    prepareFake = [](FakeAudioConverter& fake) { fake.wmaCodecs.clear(); };
    AddItem("a.wav", true, "00:01:00", "1000");
    msgBox->Expect("WMA files cannot be made on this system");
    Launch("WMA CD Maker");
    EXPECT_TRUE(modal->shown.isEmpty());
    EXPECT_FALSE(g_frmDataBurner3.IsLoaded());
}

} // namespace
