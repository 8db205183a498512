// The "Audio Converter" command: the checks before it opens, and the marked
// rows, totals and sub-folder name it hands to the converter window.
#include "ConverterFixture.h"
#include "support/FakeAudioConverter.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "conversion/frmACMConverter.h"
#include "conversion/frmConverter.h"
#include "core/mdlMain.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "platform/ModalRunner.h"
#include "support/ProgramFixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace {

class HandOver : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        // The lists read their files' facts through the control: it knows a.wav.
        const QString known = ProgramFolder() + "/a.wav";
        QFile file(known);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("RIFF");
        file.close();
        SetAudioConverterFactory([known] {
            auto fake = std::make_unique<FakeAudioConverter>();
            FakeAudioConverter::File facts;
            facts.lengthMs = 60000;
            fake->AddFile(known, facts);
            return fake;
        });
        cSysTray::SetAvailableOverride(1);
        SeedRegistry();
        Main();
        WaitForOpenList();
        main = frmMain.Peek();
        ASSERT_NE(main, nullptr);
        ASSERT_NE(main->cTreeView1->SelectedItem(), nullptr);
        main->cGrid1->Clear();
    }
    void TearDown() override
    {
        cSysTray::SetAvailableOverride(-1);
        ProgramFixture::TearDown();
        SetAudioConverterFactory({});
    }
    void AddItem(const QString& name, bool marked, const QString& time, const QString& bytes,
                 const QString& rangeLength = QString())
    {
        convtest::AddListItem(main->cGrid1, ProgramFolder(), name, marked, time, bytes, rangeLength);
    }
    void Launch(const QString& key = "Audio Converter") { main->m_cMenu_Click(main->m_cMenu->IndexForKey(key)); }

    CfrmMain* main = nullptr;
};

TEST_F(HandOver, TheMarkedRowsReachTheConverterWithTheirTotals)
{
    AddItem("a.wav", true, "00:01:00", "1000");
    AddItem("b.wav", false, "00:02:00", "5000");
    AddItem("c.wav", true, "01:00:00", "3000", "45");
    main->tmrCDs->start();
    bool checked = false;
    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmConverter*>(window);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->lblFilesToConvert->text(), "2 items to convert.");
        EXPECT_EQ(w->g_ltmrItemSecsTotal, 105);
        EXPECT_EQ(w->cStatusBar1->PanelText("Total Size"), "Total Time: 0:01:45");
        EXPECT_EQ(w->cStatusBar1->PanelText("Total Time"), "Total Size: " + main->GetTotalSize(true));
        EXPECT_EQ(w->txtUndeForlder->text(), "New-Items-List-1");
        ASSERT_EQ(w->cGrid1->Rows(), 2);
        const int sourceRows[2] = {1, 3};
        for (int row = 1; row <= 2; ++row) {
            EXPECT_EQ(w->cGrid1->CellIconIndex(row, kColInc), -1);
            for (int column = 2; column <= main->cGrid1->Columns(); ++column)
                EXPECT_EQ(w->cGrid1->CellText(row, column), main->cGrid1->CellText(sourceRows[row - 1], column))
                    << "row " << row << " column " << column;
        }
        EXPECT_FALSE(main->tmrCDs->isActive()) << "CD polling pauses while the tool is open";
        EXPECT_EQ(main->cursor().shape(), Qt::ArrowCursor);
        checked = true;
        w->cmdExit_Click();
    };
    Launch();
    EXPECT_TRUE(checked);
    EXPECT_EQ(modal->shown, QStringList{"g_frmConverter"});
    EXPECT_FALSE(g_frmConverter.IsLoaded());
    EXPECT_FALSE(main->tmrCDs->isActive()) << "an items list keeps polling off";
    EXPECT_TRUE(msgBox->shown.empty());
}

// The program's exit can run while a tool window is shown modally (from the
// tray, or as a signal asks it), inside the window's event loop; a converter
// with a job running stays open, and closes only later, after the job. The
// command that opened it then comes back to a main window that is unloaded
// but still there, which goes only afterwards.
TEST_F(HandOver, AConverterClosingAfterTheExitComesBackToTheUnloadedMainWindow)
{
    AddItem("a.wav", true, "00:01:00", "1000");
    platform::SetModalRunner(nullptr); // a real nested event loop
    const auto later = [](std::function<void()> step) { QTimer::singleShot(0, QCoreApplication::instance(), std::move(step)); };
    later([this, later] {
        CfrmConverter* converter = g_frmConverter.Peek();
        ASSERT_NE(converter, nullptr);
        FakeAudioConverter::Last()->QueueScript({{}, FakeAudioConverter::Ending::Hang});
        converter->cmdConvert_Click();
        EXPECT_TRUE(main->Unload());
        EXPECT_TRUE(g_frmConverter.IsLoaded()) << "a converter with a job running stays open";
        later([later] {
            FakeAudioConverter::Last()->Finish(FakeAudioConverter::Ending::Aborted);
            later([] { EXPECT_TRUE(g_frmConverter->Unload()); });
        });
    });
    QPointer<CfrmMain> window(main);
    Launch();
    EXPECT_FALSE(g_frmConverter.IsLoaded());
    ASSERT_TRUE(window) << "destroyed while its command ran";
    EXPECT_TRUE(window->IsUnloaded());
    ProcessEvents();
    EXPECT_FALSE(window);
    main = nullptr;
}

TEST_F(HandOver, NothingMarkedIsRefused)
{
    AddItem("a.wav", false, "00:01:00", "1000");
    const QString refusal = "Mark the items to convert." + QString(29, ' ');
    for (const char* key : {"Audio Converter", "ACM Converter"}) {
        msgBox->Expect(refusal);
        Launch(key);
    }
    ASSERT_EQ(msgBox->shown.size(), 2u);
    for (const support::Prompt& shown : msgBox->shown) {
        EXPECT_EQ(shown.text, refusal);
        EXPECT_EQ(shown.flags, platform::vbInformation);
    }
    EXPECT_TRUE(modal->shown.isEmpty());
}

TEST_F(HandOver, TheAcmConverterListsTheCodecsForTheSelectedRowsFile)
{
    AddItem("c.wav", false, "00:02:00", "5000");
    AddItem("a.wav", true, "00:01:00", "1000");
    AddItem("b.wav", false, "00:03:00", "3000");
    main->cGrid1->SetSelectedRow(2);
    bool checked = false;
    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmACMConverter*>(window);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->lblFilesToConvert->text(), "1 items to convert.");
        EXPECT_EQ(w->g_ltmrItemSecsTotal, 60);
        EXPECT_EQ(w->txtUndeForlder->text(), "New-Items-List-1");
        ASSERT_EQ(w->cGrid1->Rows(), 1);
        EXPECT_EQ(w->cGrid1->CellText(1, kColItemName).toString(), "a.wav");
        QStringList sources;
        for (int i = 0; i < w->cboBestAccordItem->count(); ++i) sources << w->cboBestAccordItem->itemText(i);
        const QString folder = ProgramFolder() + "/";
        EXPECT_EQ(sources, (QStringList{folder + "a.wav", folder + "b.wav", folder + "c.wav", "All ACM Codecs"}));
        EXPECT_EQ(w->cboBestAccordItem->currentText(), folder + "a.wav");
        // The fake suggests PCM, not GSM 6.10, for the file.
        EXPECT_EQ(w->cboTags->count(), 1);
        EXPECT_EQ(w->cboTags->currentText(), "PCM");
        EXPECT_EQ(w->cboFormats->currentIndex(), 0);
        checked = true;
        w->cmdExit_Click();
    };
    Launch("ACM Converter");
    EXPECT_TRUE(checked);
    EXPECT_EQ(modal->shown, QStringList{"g_frmACMConverter"});
    EXPECT_FALSE(g_frmACMConverter.IsLoaded());
    EXPECT_TRUE(msgBox->shown.empty());
}

// The window opens without an error about a row the user did not pick in it:
// a selected row whose file cannot be read leaves it on every codec, with
// the reason in its status line.
TEST_F(HandOver, TheAcmConverterOpensOnEveryCodecWhenTheSelectedRowCannotBeRead)
{
    const QString folder = ProgramFolder() + "/";
    const struct {
        const char* selected;
        QString source, status;
        int tags;
    } cases[] = {
        {"a.wav", folder + "a.wav", "Ready.", 1},
        {"gone.wav", "All ACM Codecs",
         "The codecs for '" + folder + "gone.wav' cannot be listed: it does not exist. All ACM codecs are listed.", 2},
    };
    for (const auto& c : cases) {
        main->cGrid1->Clear();
        AddItem("a.wav", true, "00:01:00", "1000");
        AddItem("gone.wav", true, "00:02:00", "2000");
        main->cGrid1->SetSelectedRow(QString(c.selected) == "a.wav" ? 1 : 2);
        bool shown = false;
        modal->hook = [&](QWidget* window) {
            auto* w = qobject_cast<CfrmACMConverter*>(window);
            ASSERT_NE(w, nullptr);
            shown = true;
            EXPECT_EQ(w->cboBestAccordItem->currentText(), c.source) << c.selected;
            EXPECT_EQ(w->lblCurrentTrack->text(), c.status) << c.selected;
            EXPECT_EQ(w->cboTags->count(), c.tags) << c.selected;
            EXPECT_EQ(w->cboTags->currentText(), "PCM") << c.selected;
            EXPECT_EQ(w->cboFormats->currentIndex(), 0) << c.selected;
            w->cmdExit_Click();
        };
        Launch("ACM Converter");
        EXPECT_TRUE(shown) << c.selected;
        EXPECT_TRUE(msgBox->shown.empty()) << c.selected;
    }
}

TEST_F(HandOver, AnEmptyListTurnsIntoAddFiles)
{
    dialogs->ExpectOpen({}); // the user cancels the open dialog
    Launch();
    ASSERT_EQ(dialogs->openRequests.size(), 1u);
    EXPECT_EQ(dialogs->openRequests[0].title, "Add audio files");
    EXPECT_TRUE(msgBox->shown.empty());
    EXPECT_TRUE(modal->shown.isEmpty());
}

TEST_F(HandOver, TheRootIsRefusedAndItsFirstListOpened)
{
    AddItem("a.wav", true, "00:01:00", "1000");
    main->SaveGridToFile();
    cTreeNode* root = main->g_nodMainItems;
    ASSERT_NE(root, nullptr);
    root->SetSelected(true);
    main->cTreeView1_NodeClick(root);
    ASSERT_EQ(main->cGrid1->Rows(), 0);
    const QString refusal = "Select the Items List." + QString(40, ' ');
    msgBox->Expect(refusal);
    Launch();
    WaitForOpenList();
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, refusal);
    EXPECT_TRUE(modal->shown.isEmpty());
    EXPECT_EQ(main->cGrid1->Rows(), 1) << "the first list is shown again";
    EXPECT_EQ(main->cGrid1->CellText(1, kColItemName).toString(), "a.wav");
}

} // namespace
