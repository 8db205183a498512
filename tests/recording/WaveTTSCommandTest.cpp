// The main window's "Text To Speech" command from end to end, on the real
// speech and conversion controls: a sentence rendered into the open items
// list and saved in every destination format, checked with ffprobe and sox
// and decoded back.
#include "WaveTTSFixture.h"

#include "controls/audio/AudioTestSupport.h"
#include "controls/audio/PlayerTestSupport.h"
#include "controls/widgets/Grid.h"
#include "controls/speech/TextToSpeech.h"
#include "controls/widgets/ImageList.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/TreeView.h"
#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <functional>

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

    // Runs the command; `inWindow` acts on the shown window, which is closed
    // afterwards unless it closed itself.
    void RunCommand(const std::function<void(CfrmWaveTTS*)>& inWindow)
    {
        bool shown = false;
        HookModals([&](QWidget* window) {
            QPointer<CfrmWaveTTS> w = qobject_cast<CfrmWaveTTS*>(window);
            ASSERT_TRUE(w);
            shown = true;
            inWindow(w);
            if (w && w->IsLoaded()) w->Unload();
        });
        const int item = main->m_cMenu->IndexForKey("Text To Speech");
        ASSERT_NE(item, 0) << "the command is offered";
        main->m_cMenu_Click(item);
        WaitForOpenList();
        EXPECT_TRUE(shown);
    }
    static void Choose(CfrmWaveTTS* w, const QString& letters)
    {
        w->cboTargetFormat->setCurrentIndex(w->cboTargetFormat->findText(letters, Qt::MatchStartsWith));
    }

    CfrmMain* main = nullptr;
};

const QString kSentence = "The quick brown fox jumps over the lazy dog.";

// sox's RMS amplitude of a file (full scale 1.0); -1 when sox cannot tell.
double SoxRms(const QString& path)
{
    const audiotest::ToolRun r = audiotest::RunTool("sox", {path, "-n", "stat"});
    const QRegularExpressionMatch m = QRegularExpression("RMS\\s+amplitude:\\s+([0-9.]+)").match(r.out);
    return r.ok && m.hasMatch() ? m.captured(1).toDouble() : -1;
}

TEST_F(WaveTTSCommand, AddsASpokenSentenceToTheOpenList)
{
    ASSERT_NE(main->cTreeView1->SelectedItem(), nullptr);
    const int rowsBefore = main->cGrid1->Rows();
    RunCommand([&](CfrmWaveTTS* w) {
        w->txtSpeak->setPlainText(kSentence);
        Choose(w, "WAV");
        QPointer<CfrmWaveTTS> window(w);
        QTest::mouseClick(w->cmdAdd, Qt::LeftButton);
        EXPECT_TRUE(!window || !window->IsLoaded()) << "the window closes once the file is in the list";
    });

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

TEST_F(WaveTTSCommand, SayItSpeaksOnTheDeviceAndFollowsTheWords)
{
    // ALSA's "default" of the test program writes into a file (the fixture moved the configuration folder).
    playertest::UseAlsaConfigFolder({});
    QFile::remove(playertest::PlayedFile());
    const QString text = "Grüße aus Köln.";
    QStringList selected;
    RunCommand([&](CfrmWaveTTS* w) {
        w->txtSpeak->setPlainText(text);
        QObject::connect(w->cWaveTTS1.get(), &cWaveTTS::WordBoundary, w,
                         [&] { selected << w->txtSpeak->textCursor().selectedText(); });
        bool done = false;
        QObject::connect(w->cWaveTTS1.get(), &cWaveTTS::SpeakDone, w, [&] { done = true; });
        QTest::mouseClick(w->cmdSay, Qt::LeftButton);
        EXPECT_TRUE(w->cWaveTTS1->IsBusy());
        ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 60000));
        EXPECT_EQ(w->txtSpeak->textCursor().selectedText(), text) << "the whole text at the end";
    });
    EXPECT_TRUE(msgBox->shown.empty());
    EXPECT_EQ(selected, (QStringList{"Grüße", "aus", "Köln"}));
    // "default" took the speech as raw 22,050 Hz 16-bit mono frames.
    const qint64 bytes = QFileInfo(playertest::PlayedFile()).size();
    EXPECT_GT(bytes / 2.0 / 22050, 0.5);
    EXPECT_LT(bytes / 2.0 / 22050, 10.0);
    if (audiotest::HaveTool("sox")) {
        const audiotest::ToolRun r = audiotest::RunTool(
            "sox", {"-t", "raw", "-r", "22050", "-e", "signed", "-b", "16", "-c", "1", playertest::PlayedFile(), "-n",
                    "stat"});
        const QRegularExpressionMatch m = QRegularExpression("RMS\\s+amplitude:\\s+([0-9.]+)").match(r.out);
        ASSERT_TRUE(m.hasMatch());
        EXPECT_GT(m.captured(1).toDouble(), 0.01) << "speech, not silence";
    }
}

struct SavedFormat {
    const char* letters;
    const char* codec; // how the decoded codec's name begins
};
void PrintTo(const SavedFormat& f, std::ostream* os) { *os << f.letters; }

class WaveTTSSaveAs : public WaveTTSCommand, public ::testing::WithParamInterface<SavedFormat> {};

TEST_P(WaveTTSSaveAs, SavesTheSpokenSentenceInTheDestinationFormat)
{
    const SavedFormat& f = GetParam();
    const QString path = QDir::cleanPath(ProgramFolder() + "/../spoken." + QString(f.letters).toLower());
    RunCommand([&](CfrmWaveTTS* w) {
        w->txtSpeak->setPlainText(kSentence);
        Choose(w, f.letters);
        dialogs->ExpectSave(path);
        QTest::mouseClick(w->cmdSaveAs, Qt::LeftButton);
        EXPECT_TRUE(w->IsLoaded()) << "Save As keeps the window open";
    });
    EXPECT_TRUE(msgBox->shown.empty());
    const audiotest::Decoded d = audiotest::Decode(path);
    ASSERT_TRUE(d.ok) << path.toStdString();
    EXPECT_TRUE(d.codec.startsWith(f.codec)) << d.codec.toStdString();
    EXPECT_GT(d.rms, 0.01) << "speech, not silence";
    if (audiotest::HaveTool("ffprobe")) {
        const audiotest::Probe probe = audiotest::ProbeFile(path);
        ASSERT_TRUE(probe.ok);
        EXPECT_GT(probe.duration, 0.5);
        EXPECT_LT(probe.duration, 10.0);
    }
    // sox reads the formats it knows.
    if (audiotest::HaveTool("sox") && (QString(f.letters) == "WAV" || QString(f.letters) == "OGG")) {
        EXPECT_GT(SoxRms(path), 0.01);
    }
}

INSTANTIATE_TEST_SUITE_P(, WaveTTSSaveAs,
                         ::testing::Values(SavedFormat{"WAV", "pcm_s16le"}, SavedFormat{"ACM", ""},
                                           SavedFormat{"MP3", "mp3"}, SavedFormat{"WMA", "wmav"},
                                           SavedFormat{"OGG", "vorbis"}),
                         [](const auto& info) { return std::string(info.param.letters); });

// A sentence saved as MP3 carries LAME's information frame: ffmpeg decodes
// it to exactly the samples of the speech rendered for it.
TEST_F(WaveTTSCommand, AnMp3SavedDecodesToExactlyTheSpokenSamples)
{
    if (!audiotest::HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    g_MP3Settings = {};
    g_MP3Settings.lBitrate = 64; // CBR at the speech's own rate, no VBR tag asked for
    g_MP3Settings.lQuality = 5;
    g_MP3Settings.lMode = 3;
    const QString path = QDir::cleanPath(ProgramFolder() + "/../spoken.mp3");
    RunCommand([&](CfrmWaveTTS* w) {
        w->txtSpeak->setPlainText(kSentence);
        Choose(w, "MP3");
        dialogs->ExpectSave(path);
        QTest::mouseClick(w->cmdSaveAs, Qt::LeftButton);
    });
    EXPECT_TRUE(msgBox->shown.empty());
    const QString spoken = ProgramFolder() + "/tmptts.wav";
    const std::int64_t samples = audiotest::FfmpegDecodedSamples(spoken);
    ASSERT_GT(samples, 0) << "the rendering is kept beside the program";
    EXPECT_EQ(audiotest::FfmpegDecodedSamples(path), samples);
}

} // namespace
