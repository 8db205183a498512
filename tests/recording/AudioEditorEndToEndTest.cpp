// The Audio Analyser from end to end on the real controls: an OGG row of the
// open list is converted, opened in the editor, a selection dragged with the
// mouse is played, saved and added; the saved file is checked with FFmpeg and
// ffprobe against the converted samples, and the list row and list file.
#include "conversion/frmAudioEditorProc.h"
#include "controls/widgets/AudioEditor.h"
#include "controls/audio/AudioTestSupport.h"
#include "controls/audio/PlayerTestSupport.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "recording/frmAudioEditor.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QTest>
#include <cmath>

namespace {

class AudioAnalyserEndToEnd : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        SetEditionModes();
        lAppIncEditor = 1;
        SetAudioEditorFactory({});
        SetAudioConverterFactory({});
        cSysTray::SetAvailableOverride(1);
        SeedRegistry();
        QDir().mkpath(Folder());
        frmOptions.get();
        g_frmAudioProp.get();
        // The converter writes the editor's wave in these settings.
        g_WAVSettings.lSamples = 44100;
        g_WAVSettings.lChannels = 1; // stereo
        g_WAVSettings.lBitrate = 16;
        // ALSA's "default" of the test program plays into a file (the fixture moved the configuration folder).
        playertest::UseAlsaConfigFolder({});
        QFile::remove(playertest::PlayedFile());
        main = frmMain.get();
        WaitForOpenList();
    }
    void TearDown() override
    {
        ProgramFixture::TearDown();
        cSysTray::SetAvailableOverride(-1);
        SetEditionModes();
    }
    QString Folder() const { return QDir::cleanPath(ProgramFolder() + "/../music"); }

    // A stereo OGG of `seconds`, made from a generated WAV by the conversion control.
    QString MakeOgg(const QString& name, double seconds)
    {
        const QString wav = Folder() + "/" + name + ".source.wav";
        const QString ogg = Folder() + "/" + name + ".ogg";
        audiotest::WriteWav(wav, 44100, 2, 16, seconds, audiotest::Signal{440, {0.2, 0.6, 0.4, 0.8}});
        cAudioConverter maker;
        maker.SetSourceFile(wav);
        maker.SetDestinationFile(ogg);
        maker.SetDestinationFormat(kDestFormatOGG);
        const audiotest::ConvertEvents ev = audiotest::RunConvert(maker);
        EXPECT_EQ(ev.endings, QStringList{"Done"});
        QFile::remove(wav);
        return ogg;
    }
    void Command(const QString& key) { main->m_cMenu_Click(main->m_cMenu->IndexForKey(key)); }

    // A drag of the left button across the waveform, from x0 to x1.
    static void Drag(QWidget* editor, int x0, int x1)
    {
        auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons) {
            QMouseEvent e(type, QPointF(x, 100), QPointF(x, 100),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(editor, &e);
        };
        send(QEvent::MouseButtonPress, x0, Qt::LeftButton);
        send(QEvent::MouseMove, x1, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, x1, Qt::NoButton);
    }

    CfrmMain* main = nullptr;
};

struct StreamFacts {
    QString codec;
    int sampleRate = 0, channels = 0;
    qint64 samples = -1;
};

// What ffprobe says of the first audio stream; samples from its duration in time-base units.
StreamFacts Probe(const QString& path)
{
    StreamFacts f;
    const audiotest::ToolRun run = audiotest::RunTool(
        "ffprobe", {"-v", "error", "-select_streams", "a:0", "-show_entries",
                    "stream=codec_name,sample_rate,channels,duration_ts", "-of", "default=noprint_wrappers=1", path});
    EXPECT_TRUE(run.ok && run.exitCode == 0) << run.out.toStdString();
    for (const QString& line : run.out.split('\n')) {
        const QString key = line.section('=', 0, 0), value = line.section('=', 1).trimmed();
        if (key == "codec_name") f.codec = value;
        if (key == "sample_rate") f.sampleRate = value.toInt();
        if (key == "channels") f.channels = value.toInt();
        if (key == "duration_ts") f.samples = value.toLongLong();
    }
    return f;
}

TEST_F(AudioAnalyserEndToEnd, AnOggRowIsEditedAndItsSelectionSavedAndAdded)
{
    if (!audiotest::HaveTool("ffprobe")) GTEST_SKIP() << "ffprobe is not installed";
    const QString ogg = MakeOgg("song", 4.0);
    dialogs->ExpectOpen({ogg});
    Command("Add Files");
    ASSERT_EQ(main->cGrid1->Rows(), 1);
    main->SetAllMarked(true);
    main->cGrid1->SetSelectedRow(1);
    const QString temporary = platform::AppPath() + "/tmpeditor.wav";
    const QString saved = Folder() + "/selection.wav";

    std::int32_t first = -1, end = -1;
    bool converted = false, edited = false;
    modal->hook = [&](QWidget* window) {
        if (qobject_cast<CfrmAudioEditorProc*>(window)) {
            QPointer<QWidget> proc(window);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !proc || !proc->isVisible(); }, 60000));
            converted = true;
            return;
        }
        QPointer<CfrmAudioEditor> w = qobject_cast<CfrmAudioEditor*>(window);
        ASSERT_TRUE(w);
        edited = true;
        EXPECT_EQ(w->windowTitle(), "song.ogg");
        EXPECT_EQ(w->txtWavFile->text(), temporary);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->lblNumOfSamples->text() != "0"; }, 10000));
        EXPECT_EQ(w->lblInfoSamples->text(), "44100");
        EXPECT_EQ(w->lblInfoChannels->text(), "2");
        EXPECT_EQ(w->lblInfoBits->text(), "16");
        const int width = w->cAudioEditor1->width();
        ASSERT_GT(width, 100);
        Drag(w->cAudioEditor1, width / 4, width * 3 / 4);
        first = w->lblSamplesStart->text().toInt();
        end = w->lblSamplesEnd->text().toInt();
        ASSERT_GT(first, 0);
        ASSERT_GT(end, first + 44100);

        // The selection plays on the sound output (here a file) and Play comes back at its end.
        const int play = w->tlbrList->ButtonIndex("Play");
        w->tlbrList->ButtonWidget(play)->click();
        EXPECT_FALSE(w->tlbrList->ButtonEnabled(play));
        EXPECT_TRUE(QTest::qWaitFor([&] { return w->tlbrList->ButtonEnabled(play); }, 30000)) << "PlayDone";
        EXPECT_TRUE(playertest::ReadAll(playertest::PlayedFile()) ==
                    playertest::WavData(temporary).mid(qsizetype(first) * 4, qsizetype(end - first) * 4))
            << "the selection was played, sample for sample";

        dialogs->ExpectSave(saved);
        w->cmdAddSelection->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w || !w->IsLoaded(); }, 30000)) << "closes once added";
    };
    Command("Audio Analyser");
    ASSERT_TRUE(converted);
    ASSERT_TRUE(edited);

    // The saved file holds exactly the selected frames of the converted wave.
    const StreamFacts facts = Probe(saved);
    EXPECT_EQ(facts.codec, "pcm_s16le");
    EXPECT_EQ(facts.sampleRate, 44100);
    EXPECT_EQ(facts.channels, 2);
    EXPECT_EQ(facts.samples, end - first);
    const audiotest::Decoded whole = audiotest::Decode(temporary, true);
    const audiotest::Decoded part = audiotest::Decode(saved, true);
    ASSERT_TRUE(whole.ok && part.ok);
    ASSERT_EQ(part.pcm.size(), size_t(end - first) * 2);
    EXPECT_TRUE(std::equal(part.pcm.begin(), part.pcm.end(), whole.pcm.begin() + std::ptrdiff_t(first) * 2))
        << "the selection sample for sample";

    // The list has the new row, with the selection's length, in its file too.
    ASSERT_EQ(main->cGrid1->Rows(), 2);
    EXPECT_EQ(main->cGrid1->CellText(2, kColFile).toString(), saved);
    EXPECT_EQ(main->cGrid1->CellText(2, kColTime).toString(), TwoDigitTime(std::llround(double(end - first) / 44100.0)));
    main->cTreeView1_NodeClick(main->cTreeView1->SelectedItem());
    WaitForOpenList();
    ASSERT_EQ(main->cGrid1->Rows(), 2) << "the list file holds the added row";
    EXPECT_EQ(main->cGrid1->CellText(2, kColFile).toString(), saved);
}

TEST_F(AudioAnalyserEndToEnd, AWaveRowTheEditorCannotReadIsRefusedWithTheReason)
{
    const QString bad = Folder() + "/broken.wav";
    audiotest::WriteFile(bad, QByteArray("RIFF\x10\0\0\0WAVEjunkjunkjunk", 24));
    audiotest::WriteWav(Folder() + "/good.wav", 8000, 1, 16, 1.0);
    dialogs->ExpectOpen({Folder() + "/good.wav"});
    Command("Add Files");
    ASSERT_EQ(main->cGrid1->Rows(), 1);
    // The row's file was replaced by one that is no wave.
    main->cGrid1->SetCellText(1, kColFile, bad);
    main->SetAllMarked(true);
    main->cGrid1->SetSelectedRow(1);
    msgBox->Expect("The file:" + bad + " is not a wave file the Audio Analyser can open.");
    Command("Audio Analyser");
    EXPECT_TRUE(msgBox->script.empty());
    EXPECT_TRUE(modal->shown.isEmpty());
    EXPECT_FALSE(g_frmAudioEditor.IsLoaded());
    ProcessEvents(); // the control's own report of the failure shows nothing more
}

} // namespace
