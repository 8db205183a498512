// The main window's "Text To Speech" command from end to end, on the real
// speech and conversion controls: a sentence rendered into the open items
// list, checked with ffprobe and decoded back.
#include "WaveTTSFixture.h"

#include "controls/AudioTestSupport.h"
#include "controls/Grid.h"
#include "controls/ImageList.h"
#include "controls/PopupMenu.h"
#include "controls/TreeView.h"
#include "controls/WindowWidgets.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace ttstest;

namespace {

class WaveTTSCommand : public WaveTTSTestBase {
protected:
    void SetUp() override
    {
        WaveTTSTestBase::SetUp();
        SetWaveTTSFactory({});
        cSysTray::SetAvailableOverride(1);
        main = frmMain.get();
        WaitForOpenList();
    }
    void TearDown() override
    {
        WaveTTSTestBase::TearDown();
        cSysTray::SetAvailableOverride(-1);
        main = nullptr;
    }

    CfrmMain* main = nullptr;
};

TEST_F(WaveTTSCommand, AddsASpokenSentenceToTheOpenList)
{
    ASSERT_NE(main->cTreeView1->SelectedItem(), nullptr);
    const int rowsBefore = main->cGrid1->Rows();
    bool shown = false;
    HookModals([&](QWidget* window) {
        QPointer<CfrmWaveTTS> w = qobject_cast<CfrmWaveTTS*>(window);
        ASSERT_TRUE(w);
        shown = true;
        w->txtSpeak->setPlainText("The quick brown fox jumps over the lazy dog.");
        w->cboTargetFormat->setCurrentIndex(w->cboTargetFormat->findText("WAV", Qt::MatchStartsWith));
        QTest::mouseClick(w->cmdAdd, Qt::LeftButton);
        EXPECT_TRUE(!w || !w->IsLoaded()) << "the window closes once the file is in the list";
        if (w && w->IsLoaded()) w->Unload();
    });
    const int item = main->m_cMenu->IndexForKey("Text To Speech");
    ASSERT_NE(item, 0) << "the command is offered";
    main->m_cMenu_Click(item);
    WaitForOpenList();
    ASSERT_TRUE(shown);

    const QString name = "TTS_14-05-09_12-8-26.wav";
    const QString path = ProgramFolder() + "/" + name;
    if (audiotest::HaveTool("ffprobe")) {
        const audiotest::Probe probe = audiotest::ProbeFile(path);
        ASSERT_TRUE(probe.ok);
        EXPECT_EQ(probe.codec, "pcm_s16le");
        EXPECT_GT(probe.duration, 0.5);
        EXPECT_LT(probe.duration, 10.0);
    }
    const audiotest::Decoded d = audiotest::Decode(path);
    ASSERT_TRUE(d.ok);
    EXPECT_GT(d.rms, 0.01) << "speech, not silence";

    ASSERT_EQ(main->cGrid1->Rows(), rowsBefore + 1);
    const int row = main->cGrid1->Rows();
    EXPECT_EQ(main->cGrid1->CellText(row, kColFile).toString(), path);
    EXPECT_EQ(main->cGrid1->CellText(row, kColItemName).toString(), name);
}

} // namespace
