// The single-file conversion window: on the fake control how it starts, what
// it hands over and how each ending reaches its caller; on the real control
// a WAV into OGG and an MP3 into WAV.
#include "ConverterFixture.h"

#include "controls/audio/AudioTestSupport.h"
#include "controls/widgets/ProgressBars.h"
#include "conversion/frmAudioEditorProc.h"
#include "core/Edition.h"
#include "core/NamingProcedures.h"
#include "core/TimeSizeText.h"
#include "settings/mdlOptions.h"
#include "support/MainWindowDouble.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace convtest;
using Ending = FakeAudioConverter::Ending;

namespace {

const QString kOgg = "OGG - Ogg Media Format (*.ogg)";

class AudioEditorProc : public JobWindowTest {
protected:
    // What one conversion through the window left behind.
    struct Outcome {
        AudioEditorProcEnding ending = AudioEditorProcEnding::NotEnded;
        QStringList calls;
        std::vector<FakeAudioConverter::ConvertCall> converts;
        QString label;
        std::int32_t bar = 0;
        bool convertTo = true; // g_bConvertTo once the conversion ended
    };
    using During = std::function<void(CfrmAudioEditorProc*, FakeAudioConverter*)>;

    QString In() const { return Source("in.wav"); }
    QString Dest() const { return Out() + "out.wav"; }

    // Converts In() into Dest() through the window; `during` acts on the
    // shown window once the conversion has started.
    Outcome Convert(const QString& target = QString(), const During& during = {})
    {
        Outcome o;
        modal->hook = [&](QWidget* window) {
            QPointer<CfrmAudioEditorProc> w = qobject_cast<CfrmAudioEditorProc*>(window);
            ASSERT_TRUE(w);
            auto* fake = dynamic_cast<FakeAudioConverter*>(w->cAudioConverter1.get());
            ASSERT_NE(fake, nullptr);
            ASSERT_TRUE(QTest::qWaitFor([&] { return fake->calls.contains("Convert"); }, 5000));
            if (during) during(w, fake);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !w->IsLoaded(); }, 5000)) << "the window closes";
            o.calls = fake->calls;
            o.converts = fake->converts;
            o.label = w->lblCurrentTrack->text();
            o.bar = w->prgCurrnet->Value();
            o.convertTo = w->g_bConvertTo;
        };
        o.ending = ConvertWithAudioEditorProc(In(), Dest(), target);
        return o;
    }
    static FakeAudioConverter::Script Hang(std::vector<std::int32_t> progress = {})
    {
        FakeAudioConverter::Script s;
        s.progress = std::move(progress);
        s.ending = Ending::Hang;
        return s;
    }
    // Scripts the next conversion of the window's control.
    void Script(const FakeAudioConverter::Script& script)
    {
        prepareFake = [script](FakeAudioConverter& fake) { fake.QueueScript(script); };
    }
    void SetDefaultTags(const QString& text)
    {
        for (QString* tag : {&g_sTagAlbum, &g_sTagArtist, &g_sTagComment, &g_sTagGenre, &g_sTagSong, &g_sTagTrack,
                             &g_sTagYear})
            *tag = text;
    }
};

TEST_F(AudioEditorProc, StartsOnItsOwnOnceShownAndClosesWhenDone)
{
    support::MainWindowDouble main;
    CfrmAudioEditorProc* w = g_frmAudioEditorProc.get();
    EXPECT_EQ(w->windowTitle(), "Preparing Audio Analyzer");
    EXPECT_EQ(w->lblCurrentTrack->text(), "Preparing...");
    EXPECT_EQ(w->cmdAbort->text(), "Abort");
    auto* fake = dynamic_cast<FakeAudioConverter*>(w->cAudioConverter1.get());
    w->ConvertFile(In(), Dest());
    EXPECT_TRUE(w->Timer1->isActive());
    EXPECT_FALSE(fake->calls.contains("Convert")) << "nothing starts before the window shows";
    w->Unload();
    ProcessEvents();
    EXPECT_TRUE(main.g_bAbortedAudioEditor) << "closed before it started: aborted";
    main.g_bAbortedAudioEditor = false;

    const Outcome o = Convert();
    EXPECT_EQ(o.ending, AudioEditorProcEnding::Done);
    EXPECT_EQ(o.label, "Done.");
    EXPECT_EQ(o.bar, 100);
    EXPECT_TRUE(QFile::exists(Dest()));
    EXPECT_FALSE(main.g_bAbortedAudioEditor);
    EXPECT_FALSE(g_frmAudioEditorProc.IsLoaded());
}

TEST_F(AudioEditorProc, PlainWavTakesTheWavSettingsAndNoTags)
{
    SetDefaultTags("[PROG_NAME]");
    g_WAVSettings.lSamples = 22050;
    g_WAVSettings.lChannels = 0;
    g_WAVSettings.lBitrate = 8;
    const Outcome o = Convert();
    ASSERT_EQ(o.converts.size(), 1u);
    const FakeAudioConverter::ConvertCall& c = o.converts[0];
    EXPECT_EQ(c.format, kDestFormatWAV);
    EXPECT_EQ(c.wav.SampleRate, 22050);
    EXPECT_EQ(c.wav.Channels, 1);
    EXPECT_EQ(c.wav.BitsPerSample, 8);
    EXPECT_EQ(c.source, In());
    EXPECT_EQ(c.destination, Dest());
    for (const QString& tag : {c.album, c.artist, c.comment, c.genre, c.title, c.track, c.year})
        EXPECT_TRUE(tag.isEmpty()) << tag.toStdString();
    EXPECT_EQ(o.calls, (QStringList{"SetWAVFormat", "Convert", "Terminate"}));
    EXPECT_FALSE(o.convertTo);
}

TEST_F(AudioEditorProc, ATargetInLowerCaseIsFoundAndGetsTheShortPlaceholders)
{
    g_sTagTrack = "[TRACK_NUM]";
    g_sTagArtist = "[PROG_NAME] [PROG_VERSION]";
    g_sTagAlbum = "[YEAR]";
    g_sTagSong = "[DATE] [TIME]";
    g_sTagComment = "[ITEM_NAME] [SOURCE_NAME] [RANGE] [prog_name] [track_num]";
    g_sTagGenre = "Speech";
    g_sTagYear = "";
    const Outcome o = Convert("ogg - my own text");
    ASSERT_EQ(o.converts.size(), 1u);
    const FakeAudioConverter::ConvertCall& c = o.converts[0];
    EXPECT_EQ(c.format, kDestFormatOGG);
    EXPECT_EQ(o.calls.first(), "SetOGGFormat");
    EXPECT_EQ(c.track, "1");
    EXPECT_EQ(c.artist, g_sAppName + " " + g_sAppVersion);
    EXPECT_EQ(c.album, "2026");
    EXPECT_EQ(c.title, ShortDateText(now.date()) + " " + TimeOfDayText(now.time()));
    EXPECT_EQ(c.comment, "[ITEM_NAME] [SOURCE_NAME] [RANGE] [prog_name] [track_num]");
    EXPECT_EQ(c.genre, "Speech");
    EXPECT_FALSE(o.convertTo) << "every ending goes back to WAV";

    // The next caller that asks for nothing gets WAV again.
    const Outcome next = Convert();
    ASSERT_EQ(next.converts.size(), 1u);
    EXPECT_EQ(next.converts[0].format, kDestFormatWAV);
    EXPECT_TRUE(next.converts[0].title.isEmpty());
}

TEST_F(AudioEditorProc, ATargetOfNoKnownFormatLeavesTheControlsOwn)
{
    const Outcome o = Convert("XYZ - not a format");
    ASSERT_EQ(o.converts.size(), 1u);
    EXPECT_EQ(o.calls.filter("Format").size(), 0);
    EXPECT_EQ(o.converts[0].format, kDestFormatWAV);
    EXPECT_EQ(o.ending, AudioEditorProcEnding::Done);
}

TEST_F(AudioEditorProc, ProgressOfZeroLeavesTheBar)
{
    Script(Hang({0, 35, 0}));
    const Outcome o = Convert({}, [](CfrmAudioEditorProc* w, FakeAudioConverter* fake) {
        QCoreApplication::processEvents();
        EXPECT_EQ(w->prgCurrnet->Value(), 35);
        fake->Finish(Ending::Done);
    });
    EXPECT_EQ(o.bar, 35);
    EXPECT_EQ(o.ending, AudioEditorProcEnding::Done);
}

TEST_F(AudioEditorProc, AbortEndsAbortedWithTheMainWindowsFlag)
{
    support::MainWindowDouble main;
    Script(Hang({20}));
    const Outcome o = Convert(kOgg, [](CfrmAudioEditorProc* w, FakeAudioConverter*) {
        QTest::mouseClick(w->cmdAbort, Qt::LeftButton);
    });
    EXPECT_EQ(o.ending, AudioEditorProcEnding::Aborted);
    EXPECT_EQ(o.label, "Aborted.");
    EXPECT_TRUE(main.g_bAbortedAudioEditor);
    EXPECT_TRUE(msgBox->shown.empty()) << "no question";
    EXPECT_FALSE(o.convertTo);
    EXPECT_FALSE(QFile::exists(Dest()));
}

TEST_F(AudioEditorProc, AnErrorStaysOnShowUntilTheUserClosesAndIsNoAbort)
{
    support::MainWindowDouble main;
    FakeAudioConverter::Script error;
    error.ending = Ending::Error;
    error.errorCode = 7;
    error.errorText = "The encoder refused the settings";
    Script(error);
    const Outcome o = Convert(kOgg, [](CfrmAudioEditorProc* w, FakeAudioConverter*) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->Ending() == AudioEditorProcEnding::Failed; }, 5000));
        ProcessEvents();
        EXPECT_TRUE(w->IsLoaded());
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->lblCurrentTrack->text(), "The encoder refused the settings(7)");
        EXPECT_FALSE(w->g_bConvertTo);
        EXPECT_EQ(w->cmdAbort->text(), "Close");
        QTest::mouseClick(w->cmdAbort, Qt::LeftButton);
    });
    EXPECT_EQ(o.ending, AudioEditorProcEnding::Failed);
    EXPECT_FALSE(main.g_bAbortedAudioEditor);
}

TEST_F(AudioEditorProc, ClosingMidRunAbortsAndRemovesWhatWasWritten)
{
    support::MainWindowDouble main;
    Script(Hang({50}));
    const Outcome o = Convert({}, [this](CfrmAudioEditorProc* w, FakeAudioConverter*) {
        // A control that writes straight under the destination name.
        Touch(Dest());
        w->close();
    });
    EXPECT_EQ(o.ending, AudioEditorProcEnding::Aborted);
    EXPECT_TRUE(main.g_bAbortedAudioEditor);
    EXPECT_TRUE(o.calls.contains("Terminate"));
    EXPECT_FALSE(QFile::exists(Dest()));
}

TEST_F(AudioEditorProc, ClosingMidRunKeepsAFileThatWasThereBefore)
{
    Touch(Dest());
    Script(Hang());
    const Outcome o = Convert({}, [](CfrmAudioEditorProc* w, FakeAudioConverter*) { w->close(); });
    EXPECT_EQ(o.ending, AudioEditorProcEnding::Aborted);
    QFile kept(Dest());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "old");
}

// ---------------------------------------------------------------- the real control

class AudioEditorProcReal : public AudioEditorProc {
protected:
    void SetUp() override
    {
        AudioEditorProc::SetUp();
        SetAudioConverterFactory({});
        QDir().mkpath(ProgramFolder() + "/src");
    }
    // Converts through the window, which closes by itself when done.
    AudioEditorProcEnding ConvertReal(const QString& source, const QString& dest, const QString& target)
    {
        modal->hook = [](QWidget* window) {
            QPointer<QWidget> w(window);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !w || !w->isVisible(); }, 60000));
        };
        return ConvertWithAudioEditorProc(source, dest, target);
    }
};

TEST_F(AudioEditorProcReal, AWavBecomesATaggedOgg)
{
    audiotest::WriteWav(In(), 44100, 2, 16, 1.5);
    g_sTagSong = "Spoken [YEAR]";
    g_sTagTrack = "[TRACK_NUM]";
    const QString ogg = Out() + "spoken.ogg";
    ASSERT_EQ(ConvertReal(In(), ogg, kOgg), AudioEditorProcEnding::Done);
    const audiotest::Decoded d = audiotest::Decode(ogg);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.codec, "vorbis");
    EXPECT_EQ(d.sampleRate, 44100);
    EXPECT_EQ(d.channels, 2);
    EXPECT_NEAR(double(d.samples), 1.5 * 44100, d.maxFrame);
    EXPECT_EQ(d.tags.value("title"), "Spoken 2026");
    EXPECT_EQ(d.tags.value("tracknumber", d.tags.value("track")), "1");
    if (audiotest::HaveTool("ffprobe")) {
        EXPECT_EQ(audiotest::ProbeFile(ogg).codec, "vorbis");
    }
    EXPECT_TRUE(audiotest::LeftoverTempFiles(Out()).isEmpty());
}

TEST_F(AudioEditorProcReal, AnMp3BecomesAWavOfTheWavSettings)
{
    // The MP3 is made by the control itself.
    audiotest::WriteWav(Source("tone.wav"), 44100, 2, 16, 2.0);
    cAudioConverter maker;
    maker.SetSourceFile(Source("tone.wav"));
    maker.SetDestinationFile(Source("tone.mp3"));
    maker.SetDestinationFormat(kDestFormatMP3);
    MP3FormatSettings mp3;
    mp3.Bitrate = 128;
    maker.SetMP3Format(mp3);
    ASSERT_EQ(audiotest::RunConvert(maker).endings, QStringList{"Done"});

    g_WAVSettings.lSamples = 22050;
    g_WAVSettings.lChannels = 0;
    g_WAVSettings.lBitrate = 16;
    const QString wav = Out() + "tmpeditor.wav";
    ASSERT_EQ(ConvertReal(Source("tone.mp3"), wav, QString()), AudioEditorProcEnding::Done);
    const audiotest::Decoded d = audiotest::Decode(wav);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.container, "wav");
    EXPECT_EQ(d.codec, "pcm_s16le");
    EXPECT_EQ(d.sampleRate, 22050);
    EXPECT_EQ(d.channels, 1);
    EXPECT_NEAR(double(d.samples), 2.0 * 22050, 1152);
    if (audiotest::HaveTool("ffprobe")) {
        const audiotest::Probe probe = audiotest::ProbeFile(wav);
        EXPECT_EQ(probe.codec, "pcm_s16le");
        EXPECT_NEAR(probe.duration, 2.0, 1152.0 / 22050);
    }
}

TEST_F(AudioEditorProcReal, ClosingDuringTheConversionLeavesNoFile)
{
    support::MainWindowDouble main;
    audiotest::WriteWav(In(), 44100, 2, 16, 60.0);
    const QString ogg = Out() + "long.ogg";
    modal->hook = [](QWidget* window) {
        auto* w = qobject_cast<CfrmAudioEditorProc*>(window);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return w->prgCurrnet->Value() > 0; }, 60000));
        w->close();
    };
    EXPECT_EQ(ConvertWithAudioEditorProc(In(), ogg, kOgg), AudioEditorProcEnding::Aborted);
    EXPECT_TRUE(main.g_bAbortedAudioEditor);
    EXPECT_FALSE(QFile::exists(ogg));
    EXPECT_TRUE(audiotest::LeftoverTempFiles(Out()).isEmpty());
}

} // namespace
