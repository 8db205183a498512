// The real audio editor control on generated wave files: its peak cache
// against the samples, mouse selections saved sample for sample, zooming,
// playback of a selection into the file ALSA device, and its errors.
#include "controls/audio/AudioTestSupport.h"
#include "controls/audio/PlayerTestSupport.h"
#include "controls/audio/RecordingTestSupport.h"
#include "controls/audio/AudioEditorPeaks.h"

#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <climits>

using namespace playertest;
using namespace recordingtest;

namespace {

// Samples decoded here on their own, to check the control's reading.
std::vector<std::int32_t> Samples(const QByteArray& data, int bits)
{
    const int bytes = bits / 8;
    std::vector<std::int32_t> out;
    for (qsizetype i = 0; i + bytes <= data.size(); i += bytes) {
        const auto* p = reinterpret_cast<const unsigned char*>(data.constData() + i);
        std::int64_t v = 0;
        for (int b = bytes - 1; b >= 0; --b) v = v << 8 | p[b];
        if (bits == 8) v -= 128;
        else if (v >= (std::int64_t(1) << (bits - 1))) v -= std::int64_t(1) << bits;
        out.push_back(std::int32_t(v));
    }
    return out;
}

// Each column's peaks against the samples of the frames it covers, the
// columns covering the view in order.
void ExpectPeaksMatch(const editorpeaks::Peaks& peaks, const std::vector<std::int32_t>& samples, int channels)
{
    const editorpeaks::View& v = peaks.view;
    ASSERT_EQ(peaks.min.size(), size_t(v.columns * channels));
    std::int64_t expectedFirst = v.first;
    for (int col = 0; col < v.columns; ++col) {
        const auto [first, end] = editorpeaks::ColumnFrames(v, col);
        if (v.Frames() >= v.columns) {
            ASSERT_EQ(first, expectedFirst) << col;
        }
        ASSERT_LT(first, end) << col;
        expectedFirst = end;
        for (int c = 0; c < channels; ++c) {
            std::int32_t lo = INT32_MAX, hi = INT32_MIN;
            for (std::int64_t f = first; f < end; ++f) {
                lo = std::min(lo, samples[size_t(f * channels + c)]);
                hi = std::max(hi, samples[size_t(f * channels + c)]);
            }
            ASSERT_EQ(peaks.min[size_t(col * channels + c)], lo) << "column " << col << " channel " << c;
            ASSERT_EQ(peaks.max[size_t(col * channels + c)], hi) << "column " << col << " channel " << c;
        }
    }
    EXPECT_EQ(expectedFirst, v.end);
}

audiotest::Signal Noise()
{
    audiotest::Signal s;
    s.frequency = 0;
    return s;
}

struct Format {
    int rate, channels, bits;
};

TEST(EditorPeaks, MatchTheSamplesAtEveryWidthAndDepth)
{
    QTemporaryDir dir;
    for (const Format f : {Format{8000, 1, 8}, Format{8000, 2, 16}, Format{11025, 2, 24}, Format{8000, 1, 32}}) {
        SCOPED_TRACE(f.bits);
        const QString path = dir.filePath(QString("peaks%1.wav").arg(f.bits));
        audiotest::WriteWav(path, f.rate, f.channels, f.bits, 1.3, Noise());
        const std::vector<std::int32_t> samples = Samples(WavData(path), f.bits);
        wavefile::Reader reader;
        ASSERT_TRUE(reader.Open(path).ok());
        const std::int64_t frames = reader.GetFacts().frames;
        ASSERT_EQ(size_t(frames * f.channels), samples.size());
        const std::atomic<bool> abort{false};
        // Whole file, a part, fewer frames than columns, one frame per column.
        for (const editorpeaks::View view : {editorpeaks::View{0, frames, 700}, editorpeaks::View{1234, 5678, 333},
                                             editorpeaks::View{100, 140, 300}, editorpeaks::View{10, 310, 300}}) {
            editorpeaks::Peaks peaks;
            ASSERT_TRUE(editorpeaks::Build(reader, view, abort, &peaks));
            ExpectPeaksMatch(peaks, samples, f.channels);
        }
    }
}

TEST(EditorPeaks, ALongFileIsSharedAmongThreadsWithTheSameResult)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.wav");
    audiotest::WriteWav(path, 44100, 1, 16, 60, Noise());
    const std::vector<std::int32_t> samples = Samples(WavData(path), 16);
    wavefile::Reader reader;
    ASSERT_TRUE(reader.Open(path).ok());
    const std::atomic<bool> abort{false};
    editorpeaks::Peaks peaks;
    ASSERT_TRUE(editorpeaks::Build(reader, {0, reader.GetFacts().frames, 997}, abort, &peaks));
    ExpectPeaksMatch(peaks, samples, 1);

    const std::atomic<bool> aborted{true};
    EXPECT_FALSE(editorpeaks::Build(reader, {0, reader.GetFacts().frames, 997}, aborted, &peaks));
}

class RealEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.resize(800, 200);
        editor.show();
    }
    void TearDown() override { EXPECT_TRUE(audiotest::LeftoverTempFiles(dir.path()).isEmpty()); }
    QString Path(const QString& name) const { return dir.filePath(name); }

    QString Wav(const QString& name, int rate, int channels, int bits, double seconds)
    {
        audiotest::WriteWav(Path(name), rate, channels, bits, seconds, Noise());
        return Path(name);
    }
    // Loads the file and waits for its facts, its selection and its waveform.
    void Load(const QString& path)
    {
        const size_t loaded = ev.loaded.size(), selections = ev.selections.size();
        const int ready = ev.waveformReady;
        ASSERT_EQ(editor.LoadFile(path), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return ev.loaded.size() > loaded && ev.selections.size() > selections && ev.waveformReady > ready;
        }));
    }
    // A drag of the left button across the waveform.
    void Drag(int x0, int x1)
    {
        auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons) {
            QMouseEvent e(type, QPointF(x, 100), QPointF(x, 100), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(&editor, &e);
        };
        send(QEvent::MouseButtonPress, x0, Qt::LeftButton);
        send(QEvent::MouseMove, (x0 + x1) / 2, Qt::LeftButton);
        send(QEvent::MouseMove, x1, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, x1, Qt::NoButton);
    }
    // Saves the last reported selection as the window does: its times.
    audiotest::JobEvents SaveReported(const QString& source, const QString& dest,
                                      const std::function<void(std::int32_t)>& onProgress = {})
    {
        const EditorEvents::Selection s = ev.selections.back();
        editor.SetSourceFile(source);
        editor.SetDestinationFile(dest);
        editor.SetSelectionStart(s.t0);
        editor.SetSelectionLength(s.t1 - s.t0);
        return Save(onProgress);
    }
    audiotest::JobEvents Save(const std::function<void(std::int32_t)>& onProgress = {})
    {
        return audiotest::RunJob(editor, &cAudioEditor::SaveSelection, &cAudioEditor::Progress, &cAudioEditor::Done,
                                 &cAudioEditor::Aborted, &cAudioEditor::Error, onProgress);
    }

    QTemporaryDir dir;
    cAudioEditor editor;
    EditorEvents ev{editor};
};

TEST_F(RealEditor, OpensEightSixteenAndTwentyFourBitMonoAndStereo)
{
    for (const Format f : {Format{8000, 1, 8}, Format{22050, 2, 8}, Format{44100, 1, 16}, Format{44100, 2, 16},
                           Format{48000, 1, 24}, Format{48000, 2, 24}}) {
        SCOPED_TRACE(QString("%1 Hz %2 ch %3 bits").arg(f.rate).arg(f.channels).arg(f.bits).toStdString());
        const QString path = Wav(QString("open-%1-%2.wav").arg(f.channels).arg(f.bits), f.rate, f.channels, f.bits, 2.75);
        Load(path);
        const std::int32_t samples = std::int32_t(std::llround(2.75 * f.rate));
        EXPECT_EQ(ev.loaded.back(), (std::vector<std::int32_t>{f.rate, f.bits, f.channels, 2, samples}));
        // The whole-file selection ends at the last sample, not at whole seconds.
        const EditorEvents::Selection s = ev.selections.back();
        EXPECT_EQ(s.s0, 0);
        EXPECT_EQ(s.s1, samples);
        EXPECT_EQ(s.t0, 0);
        EXPECT_EQ(s.t1, 2750);
        const auto shown = editor.ShownPeaks();
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->view, (editorpeaks::View{0, samples, 800}));
        ExpectPeaksMatch(*shown, Samples(WavData(path), f.bits), f.channels);
        EXPECT_TRUE(ev.errors.empty());
    }
}

TEST_F(RealEditor, ASavedSelectionHoldsExactlyTheReportedSamples)
{
    const QString path = Wav("source.wav", 44100, 2, 16, 3);
    Load(path);
    Drag(150, 423);
    const EditorEvents::Selection s = ev.selections.back();
    EXPECT_GT(s.s1 - s.s0, 44100);
    EXPECT_EQ(s.t0, std::int32_t(std::llround(s.s0 * 1000.0 / 44100)));
    const audiotest::JobEvents job = SaveReported(path, Path("part.wav"));
    ASSERT_EQ(job.endings, QStringList{"Done"}) << job.errorText.toStdString();
    EXPECT_FALSE(job.eventBeforeReturn);
    EXPECT_EQ(job.progress.back(), 100);
    EXPECT_TRUE(WavData(Path("part.wav")) == WavData(path).mid(qsizetype(s.s0) * 4, qsizetype(s.s1 - s.s0) * 4));
    EXPECT_EQ(audiotest::ProbeStream(Path("part.wav"), "codec_name"), "pcm_s16le");
    EXPECT_EQ(audiotest::ProbeStream(Path("part.wav"), "sample_rate"), "44100");
}

TEST_F(RealEditor, SavingTheUntouchedSelectionWritesTheWholeFile)
{
    const QString path = Wav("whole.wav", 8000, 1, 24, 1.2345);
    Load(path);
    const audiotest::JobEvents job = SaveReported(path, Path("copy.wav"));
    ASSERT_EQ(job.endings, QStringList{"Done"}) << job.errorText.toStdString();
    EXPECT_TRUE(WavData(Path("copy.wav")) == WavData(path));
    EXPECT_EQ(audiotest::ProbeStream(Path("copy.wav"), "codec_name"), "pcm_s24le");
}

TEST_F(RealEditor, ADragPastTheEdgeEndsAtTheLastSample)
{
    const QString path = Wav("edge.wav", 8000, 1, 8, 1.0001);
    Load(path);
    Drag(400, 5000);
    EXPECT_EQ(ev.selections.back().s1, 8001);
    Drag(400, -50);
    EXPECT_EQ(ev.selections.back().s0, 0);
    EXPECT_EQ(ev.selections.back().s1, 4001); // the middle of 8001 samples, rounded
    // A click alone leaves an empty selection at that point.
    Drag(200, 200);
    EXPECT_EQ(ev.selections.back().s0, ev.selections.back().s1);
}

TEST_F(RealEditor, TimesOtherThanTheReportedOnesAreTurnedIntoSamples)
{
    const QString path = Wav("times.wav", 8000, 2, 16, 2);
    Load(path);
    editor.SetSourceFile(path);
    editor.SetDestinationFile(Path("times-part.wav"));
    editor.SetSelectionStart(1000);
    editor.SetSelectionLength(500);
    ASSERT_EQ(Save().endings, QStringList{"Done"});
    EXPECT_TRUE(WavData(Path("times-part.wav")) == WavData(path).mid(8000 * 4, 4000 * 4));
    // A range past the end is cut at the end of the file.
    editor.SetDestinationFile(Path("times-end.wav"));
    editor.SetSelectionLength(5000);
    ASSERT_EQ(Save().endings, QStringList{"Done"});
    EXPECT_TRUE(WavData(Path("times-end.wav")) == WavData(path).mid(8000 * 4));
}

TEST_F(RealEditor, ZoomShowsTheSelectionAndRestoreTheWholeFile)
{
    const QString path = Wav("zoom.wav", 11025, 2, 16, 4);
    Load(path);
    const std::vector<std::int32_t> samples = Samples(WavData(path), 16);
    Drag(100, 300);
    const EditorEvents::Selection s = ev.selections.back();
    const int ready = ev.waveformReady;
    editor.Zoom();
    EXPECT_EQ(editor.CurrentView(), (editorpeaks::View{s.s0, s.s1, 800}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ev.waveformReady > ready; }));
    ASSERT_TRUE(editor.ShownPeaks());
    ExpectPeaksMatch(*editor.ShownPeaks(), samples, 2);

    // In the zoomed view the mouse selects within the selection.
    Drag(0, 800);
    EXPECT_EQ(ev.selections.back().s0, s.s0);
    EXPECT_EQ(ev.selections.back().s1, s.s1);

    editor.RestoreZoom(); // this view was built before: shown at once
    EXPECT_EQ(editor.CurrentView(), (editorpeaks::View{0, 44100, 800}));
    ASSERT_TRUE(editor.ShownPeaks());
    ExpectPeaksMatch(*editor.ShownPeaks(), samples, 2);

    // A new width builds the view anew.
    editor.resize(500, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor.ShownPeaks() != nullptr; }));
    EXPECT_EQ(editor.ShownPeaks()->view.columns, 500);
}

TEST_F(RealEditor, PlaysTheSelectionIntoTheSoundDevice)
{
    QFile::remove(PlayedFile());
    const QString path = Wav("play.wav", 22050, 2, 16, 2);
    Load(path);
    Drag(120, 500);
    const EditorEvents::Selection s = ev.selections.back();
    EXPECT_FALSE(editor.IsPaused());
    ASSERT_EQ(editor.Play(), 0);
    EXPECT_EQ(editor.Play(), kEditorErrPlaying);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ev.playDone == 1; }, 60000));
    EXPECT_EQ(editor.CursorSample(), -1);
    EXPECT_TRUE(ReadAll(PlayedFile()) == WavData(path).mid(qsizetype(s.s0) * 4, qsizetype(s.s1 - s.s0) * 4));

    // An empty selection plays from its point to the end of the file.
    QFile::remove(PlayedFile());
    Drag(700, 700);
    ASSERT_EQ(editor.Play(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ev.playDone == 2; }, 60000));
    EXPECT_TRUE(ReadAll(PlayedFile()) == WavData(path).mid(qsizetype(ev.selections.back().s0) * 4));
    EXPECT_TRUE(ev.errors.empty());
}

TEST_F(RealEditor, ThePlayCursorFollowsThePlay)
{
    const QString path = Wav("cursor.wav", 44100, 2, 16, 4);
    Load(path);
    // The editor plays on "default"; for this test "default" is a pipe read at the test's pace.
    QTemporaryDir config;
    QDir().mkpath(config.filePath("alsa"));
    audiotest::WriteFile(config.filePath("alsa/asoundrc"),
                         QString("pcm.!default { type file slave.pcm \"null\" file \"%1\" format \"raw\" }\n")
                             .arg(PacedPipe())
                             .toUtf8());
    UseAlsaConfigFolder(config.path());
    {
        PacedSink sink;
        sink.Allow(44100 * 4);
        ASSERT_EQ(editor.Play(), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sink.Received() >= 44100 * 4; }, 60000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return editor.CursorSample() > 0; }, 60000));
        EXPECT_LT(editor.CursorSample(), 2 * 44100); // what the pipe and the device hold is not heard yet
        editor.Pause();
        EXPECT_TRUE(editor.IsPaused());
        editor.Resume();
        EXPECT_FALSE(editor.IsPaused());
        sink.AllowAll(); // a write the pipe holds up would hold up the stop
        editor.StopPlay();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ev.playDone == 1; }, 60000));
    }
    UseAlsaConfigFolder({});
}

TEST_F(RealEditor, WithoutASoundDevicePlaySaysWhy)
{
    Load(Wav("silent.wav", 8000, 1, 16, 0.5));
    QTemporaryDir empty;
    UseAlsaConfigFolder(empty.path());
    EXPECT_EQ(editor.Play(), kEditorErrPlay);
    UseAlsaConfigFolder({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ev.errors.empty(); }));
    EXPECT_EQ(ev.errors.back(), kEditorErrPlay);
    EXPECT_TRUE(ev.errorTexts.back().contains("cannot be found")) << ev.errorTexts.back().toStdString();
}

TEST_F(RealEditor, FilesItCannotShowAreReportedByError)
{
    audiotest::WriteFile(Path("text.wav"), "only some text, no sound in here at all");
    struct Case {
        QString path;
        std::int32_t code;
        const char* text;
    } cases[] = {{Path("missing.wav"), kEditorErrFileMissing, "does not exist"},
                 {Path("text.wav"), kEditorErrNotWave, "not a wave file"},
                 {"", kEditorErrFileMissing, "No wave file"}};
    for (const Case& c : cases) {
        EXPECT_EQ(editor.LoadFile(c.path), c.code);
        ASSERT_TRUE(QTest::qWaitFor([&] { return ev.errors.size() == size_t(&c - cases + 1); }));
        EXPECT_EQ(ev.errors.back(), c.code);
        EXPECT_TRUE(ev.errorTexts.back().contains(c.text)) << ev.errorTexts.back().toStdString();
    }
    EXPECT_EQ(editor.Play(), kEditorErrNoFile);
    EXPECT_TRUE(ev.loaded.empty());
    EXPECT_FALSE(editor.ShownPeaks());
}

TEST_F(RealEditor, ASaveThatCannotRunEndsInErrorAndWritesNothing)
{
    const QString path = Wav("src.wav", 8000, 1, 16, 1);
    Load(path);
    audiotest::WriteFile(Path("earlier.wav"), "earlier");
    struct Case {
        const char* what;
        QString source, dest;
        std::int32_t start, length, code;
    } cases[] = {
        {"over its source", path, path, 0, 500, kEditorErrDestinationIsSource},
        {"an empty selection", path, Path("earlier.wav"), 300, 0, kEditorErrEmptySelection},
        {"past the end", path, Path("earlier.wav"), 1500, 100, kEditorErrRange},
        {"no destination", path, "", 0, 100, kEditorErrNoFileName},
        {"no source", "", Path("earlier.wav"), 0, 100, kEditorErrNoFileName},
        {"a missing source", Path("gone.wav"), Path("earlier.wav"), 0, 100, kEditorErrFileMissing},
        {"a missing folder", path, Path("no/such/folder.wav"), 0, 100, kEditorErrWrite},
        {"a folder", path, dir.path(), 0, 100, kEditorErrWrite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        editor.SetSourceFile(c.source);
        editor.SetDestinationFile(c.dest);
        editor.SetSelectionStart(c.start);
        editor.SetSelectionLength(c.length);
        const audiotest::JobEvents job = Save();
        EXPECT_EQ(job.endings, QStringList{"Error"});
        EXPECT_EQ(job.errorCode, c.code) << job.errorText.toStdString();
        EXPECT_FALSE(job.errorText.isEmpty());
        EXPECT_EQ(audiotest::ReadFile(Path("earlier.wav")), "earlier");
    }
    EXPECT_FALSE(QFileInfo::exists(Path("no/such/folder.wav")));
}

TEST_F(RealEditor, AbortRemovesThePartialFileAndKeepsTheEarlierOne)
{
    const QString path = Path("big.wav");
    WritePatternWav(path, 44100, 60, 1);
    Load(path);
    audiotest::WriteFile(Path("out.wav"), "earlier");
    editor.SetSourceFile(path);
    editor.SetDestinationFile(Path("out.wav"));
    editor.SetSelectionStart(0);
    editor.SetSelectionLength(60000);
    int aborted = 0;
    QObject::connect(&editor, &cAudioEditor::Aborted, [&] { ++aborted; });
    editor.SaveSelection();
    editor.Abort(); // long before 10 MB are written
    ASSERT_TRUE(QTest::qWaitFor([&] { return aborted == 1; }, 60000));
    EXPECT_EQ(audiotest::ReadFile(Path("out.wav")), "earlier");
    EXPECT_TRUE(ev.errors.empty());

    // A second save while one runs is refused; the first goes on.
    int done = 0;
    QObject::connect(&editor, &cAudioEditor::Done, [&] { ++done; });
    editor.SetDestinationFile(Path("second.wav"));
    editor.SaveSelection();
    editor.SaveSelection();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done == 1; }, 60000));
    EXPECT_EQ(ev.errors, std::vector<std::int32_t>{kEditorErrBusy});
    EXPECT_EQ(WavData(Path("second.wav")).size(), 60 * 44100 * 4);
}

TEST_F(RealEditor, TerminateDuringASaveLeavesNoFileAndRaisesNothing)
{
    const QString path = Path("big.wav");
    WritePatternWav(path, 44100, 60, 1);
    Load(path);
    int endings = 0;
    QObject::connect(&editor, &cAudioEditor::Done, [&] { ++endings; });
    QObject::connect(&editor, &cAudioEditor::Aborted, [&] { ++endings; });
    editor.SetSourceFile(path);
    editor.SetDestinationFile(Path("cut.wav"));
    editor.SetSelectionStart(0);
    editor.SetSelectionLength(60000);
    editor.SaveSelection();
    editor.Terminate();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(endings, 0);
    EXPECT_FALSE(QFileInfo::exists(Path("cut.wav")));
    EXPECT_FALSE(editor.ShownPeaks());
}

TEST_F(RealEditor, DrawsWithoutAFileAndWithOne)
{
    editor.SetForeColor(0xFFFFFF);
    editor.SetBarColor(0x7F4F1F);
    editor.SetBackColor(0x3F2F1F);
    EXPECT_EQ(editor.BarColor(), 0x7F4F1F);
    QImage empty = editor.grab().toImage();
    EXPECT_EQ(empty.pixelColor(400, 100), QColor(0x1F, 0x2F, 0x3F));
    Load(Wav("draw.wav", 8000, 1, 16, 1));
    editor.SetBackColor(0);
    Drag(0, 0);
    QImage shown = editor.grab().toImage();
    int lit = 0;
    for (int x = 0; x < 800; ++x) lit += shown.pixelColor(x, 100) == QColor(Qt::white);
    EXPECT_GT(lit, 100); // noise at half scale reaches a quarter of the height above the middle
}

} // namespace
