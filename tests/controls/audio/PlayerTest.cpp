// The real player: files play through ALSA into a file or a pipe the test
// reads, and what arrives there is compared with the source.
#include "controls/audio/AudioTestSupport.h"
#include "controls/audio/PlayerTestSupport.h"
#include "controls/widgets/AudioGraph.h"
#include "support/TestDoubles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <optional>

using namespace playertest;

namespace {

class RealPlayer : public ::testing::Test {
protected:
    void SetUp() override { QFile::remove(PlayedFile()); }
    void TearDown() override
    {
        if (sink) sink->AllowAll();
    }

    QString Path(const QString& name) const { return dir.filePath(name); }
    std::int32_t DeviceIndex(const QString& name)
    {
        for (std::int32_t i = 0; i < player.DeviceCount(); ++i)
            if (player.DeviceName(i) == name) return i;
        ADD_FAILURE() << "no device " << name.toStdString();
        return -2;
    }
    // Plays on "paced": the pipe lets through `allowed` bytes until told otherwise.
    std::int32_t PlayPaced(const QString& path, qint64 allowed)
    {
        sink = std::make_unique<PacedSink>();
        sink->Allow(allowed);
        return player.PlayFile(path, DeviceIndex("paced"));
    }
    bool WaitReceived(qint64 bytes)
    {
        return QTest::qWaitFor([&] { return sink->Received() >= bytes; }, 60000);
    }

    QTemporaryDir dir;
    std::unique_ptr<PacedSink> sink; // outlives the player
    cPlayer player;
    PlayerEvents ev{player};
};

// The frames of `out` are src[0, k) followed by src[from, end) for some k:
// returns k, or -1 when they are not.
qint64 SplicedAt(const QByteArray& out, const QByteArray& src, qint64 from)
{
    qint64 k = 0;
    while (k < out.size() && k < src.size() && out[k] == src[k]) ++k;
    k -= k % 4; // whole frames
    const qint64 rest = out.size() - k;
    if (rest != src.size() - from) return -1;
    return std::memcmp(out.constData() + k, src.constData() + from, size_t(rest)) == 0 ? k : -1;
}

TEST_F(RealPlayer, ASinePlaysToTheEndOnceAndSoundsAsTheSource)
{
    audiotest::WriteWav(Path("sine.wav"), 44100, 2, 16, 2.0);
    ASSERT_EQ(player.PlayFile(Path("sine.wav"), -1), 0);
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_NEAR(player.Length(), 2.0, 0.001);
    ASSERT_TRUE(ev.WaitFinished());
    EXPECT_EQ(ev.finished, 1);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(ev.Last(kPlayerEventStarted), (std::vector<std::int32_t>{kPlayerEventStarted, 44100, 2}));
    EXPECT_EQ(ev.Last(kPlayerEventPosition), (std::vector<std::int32_t>{kPlayerEventPosition, 2, 0}));
    EXPECT_FALSE(ev.Has(kPlayerEventBrokenOff));
    const QByteArray played = ReadAll(PlayedFile());
    const QByteArray source = WavData(Path("sine.wav"));
    EXPECT_EQ(played.size(), source.size());
    EXPECT_TRUE(played == source);
}

// Coded sources reach the device as FFmpeg's own command line decodes them.
TEST_F(RealPlayer, CodedSourcesPlayAsFfmpegDecodesThem)
{
    if (!audiotest::HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    struct Case {
        const char *name, *codec, *rawFormat;
        int sampleBytes;
    } cases[] = {{"mp3", "libmp3lame", "f32le", 4},
                 {"ogg", "libvorbis", "f32le", 4},
                 {"wma", "wmav2", "f32le", 4},
                 {"wav", "adpcm_ms", "s16le", 2}};
    audiotest::WriteWav(Path("sine.wav"), 44100, 2, 16, 3.0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codec);
        const QString coded = Path(QString("coded-%1.%2").arg(c.codec, c.name));
        const QString reference = Path(QString("%1.raw").arg(c.codec));
        ASSERT_EQ(audiotest::RunTool("ffmpeg", {"-v", "error", "-y", "-i", Path("sine.wav"), "-c:a", c.codec, coded})
                      .exitCode,
                  0);
        ASSERT_EQ(audiotest::RunTool("ffmpeg", {"-v", "error", "-y", "-i", coded, "-f", c.rawFormat, reference})
                      .exitCode,
                  0);
        QFile::remove(PlayedFile());
        const int before = ev.finished;
        ASSERT_EQ(player.PlayFile(coded, -1), 0);
        ASSERT_TRUE(ev.WaitFinished(before + 1));
        EXPECT_EQ(ev.finished, before + 1);
        const QByteArray played = ReadAll(PlayedFile());
        const QByteArray expected = ReadAll(reference);
        EXPECT_EQ(played.size(), expected.size());
        const qsizetype n = std::min(played.size(), expected.size()) / c.sampleBytes;
        double worst = 0;
        for (qsizetype i = 0; i < n; ++i) {
            double a = 0, b = 0;
            if (c.sampleBytes == 4) {
                float fa, fb;
                std::memcpy(&fa, played.constData() + i * 4, 4);
                std::memcpy(&fb, expected.constData() + i * 4, 4);
                a = fa;
                b = fb;
            } else {
                std::int16_t sa, sb;
                std::memcpy(&sa, played.constData() + i * 2, 2);
                std::memcpy(&sb, expected.constData() + i * 2, 2);
                a = sa / 32768.0;
                b = sb / 32768.0;
            }
            worst = std::max(worst, std::abs(a - b));
        }
        EXPECT_LT(worst, 1e-6);
        EXPECT_GT(n, 44100 * 2 * 2); // most of the three seconds
    }
}

// A range of a coded source plays what FFmpeg decodes at its place in the
// whole file: no silence or fade-in where an MP3 frame's data lies in the
// frames before the range, and a WMA range not a decoder's delay early.
TEST_F(RealPlayer, ARangeOfACodedSourcePlaysTheWholeDecodesSamplesThere)
{
    if (!audiotest::HaveTool("ffmpeg") || !audiotest::HaveTool("lame")) GTEST_SKIP() << "ffmpeg or lame is missing";
    struct Case {
        const char* name;
        const char* tool;
        QStringList options;
        int slack; // samples the range may start off by: WMA times its packets in milliseconds
    } cases[] = {{"lame.mp3", "lame", {"-b", "128"}, 0}, {"a.wma", "ffmpeg", {"-c:a", "wmav2", "-b:a", "128k"}, 44}};
    audiotest::WriteWav(Path("noise.wav"), 44100, 2, 16, 3.0, audiotest::Signal{0, {0.3, 0.5, 0.2}});
    constexpr qint64 first = 44100, end = 2 * 44100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString coded = Path(c.name);
        ASSERT_TRUE(audiotest::EncodeWith(c.tool, c.options, Path("noise.wav"), coded));
        ASSERT_EQ(audiotest::RunTool("ffmpeg", {"-v", "error", "-y", "-i", coded, "-f", "f32le", Path("whole.raw")})
                      .exitCode,
                  0);
        const QByteArray whole = ReadAll(Path("whole.raw"));
        QFile::remove(PlayedFile());
        const int before = ev.finished;
        ASSERT_EQ(player.PlayRange(coded, -1, first, end), 0);
        ASSERT_TRUE(ev.WaitFinished(before + 1));
        const QByteArray played = ReadAll(PlayedFile());
        EXPECT_EQ(played.size(), (end - first) * 8);
        // Where in the whole file the played samples are, within the slack.
        std::optional<qint64> found;
        const qint64 compared = std::min<qint64>(played.size(), 4096 * 8);
        for (qint64 shift = -c.slack; shift <= c.slack && !found; ++shift)
            if (whole.mid((first + shift) * 8, compared) == played.left(compared)) found = shift;
        ASSERT_TRUE(found) << "the range does not start at its place in the whole file";
        EXPECT_TRUE(played == whole.mid((first + *found) * 8, played.size()));
    }
}

TEST_F(RealPlayer, AfterASeekTheSamplesResumeThere)
{
    constexpr int rate = 8000;
    const QByteArray source = WritePatternWav(Path("pattern.wav"), rate, 20, 20);
    struct Case {
        int seconds;
    } cases[] = {{12}, {0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        const int before = ev.finished;
        ASSERT_EQ(PlayPaced(Path("pattern.wav"), 3 * rate * 4), 0);
        ASSERT_TRUE(WaitReceived(3 * rate * 4)); // the play now waits on the pipe, three seconds in
        player.Seek(c.seconds);
        EXPECT_EQ(player.Position(), c.seconds);
        sink->AllowAll();
        ASSERT_TRUE(ev.WaitFinished(before + 1));
        EXPECT_TRUE(QTest::qWaitFor([&] { return sink->Closed(); }, 60000));
        const qint64 k = SplicedAt(sink->Data(), source, qint64(c.seconds) * rate * 4);
        EXPECT_GE(k, 3 * rate * 4);
        EXPECT_LT(k, 10 * rate * 4);
        sink.reset();
    }
}

TEST_F(RealPlayer, ASeekPastTheEndEndsThePlay)
{
    const QByteArray source = WritePatternWav(Path("pattern.wav"), 8000, 20, 20);
    ASSERT_EQ(PlayPaced(Path("pattern.wav"), 8000 * 4), 0);
    ASSERT_TRUE(WaitReceived(8000 * 4));
    player.Seek(100);
    sink->AllowAll();
    ASSERT_TRUE(ev.WaitFinished());
    EXPECT_EQ(ev.finished, 1);
    const QByteArray out = sink->Data();
    EXPECT_LT(out.size(), source.size() / 2);
    EXPECT_TRUE(out == source.left(out.size()));
}

TEST_F(RealPlayer, PauseHoldsAndResumeGoesOnSeamlesslyOnATenMinuteSource)
{
    constexpr int rate = 8000;
    const QByteArray source = WritePatternWav(Path("long.wav"), rate, 600, 600);
    ASSERT_EQ(PlayPaced(Path("long.wav"), 2 * rate * 4), 0);
    ASSERT_TRUE(WaitReceived(2 * rate * 4));
    player.Pause();
    EXPECT_TRUE(player.IsPaused());
    EXPECT_TRUE(player.IsPlaying());
    sink->AllowAll();
    ASSERT_TRUE(ev.WaitFor(kPlayerEventPaused));
    const double pausedAt = player.Position();
    EXPECT_GE(pausedAt, 2.0);
    EXPECT_LT(pausedAt, 30.0);
    DeliverPostedEvents();
    EXPECT_EQ(player.Position(), pausedAt);
    EXPECT_EQ(ev.finished, 0);

    // The graphs get the frames heard last.
    const std::shared_ptr<const AudioBlock> block = FindAudioBlock(player.AudioData());
    ASSERT_TRUE(block);
    EXPECT_EQ(block->channels, 2);
    EXPECT_EQ(block->sampleRate, rate);
    ASSERT_EQ(block->Frames(), 4096);
    const qint64 heard = qint64(std::llround(pausedAt * rate));
    for (int i = 0; i < block->Frames(); i += 512) {
        std::int16_t left;
        std::memcpy(&left, source.constData() + (heard - 4096 + i) * 4, 2);
        EXPECT_EQ(block->samples[size_t(2 * i)], left / 32768.0f) << i;
    }

    player.Resume();
    EXPECT_FALSE(player.IsPaused());
    ASSERT_TRUE(ev.WaitFinished());
    EXPECT_EQ(ev.finished, 1);
    EXPECT_TRUE(ev.Has(kPlayerEventResumed));
    EXPECT_TRUE(QTest::qWaitFor([&] { return sink->Closed(); }, 60000));
    const QByteArray out = sink->Data();
    EXPECT_EQ(out.size(), source.size());
    EXPECT_TRUE(out == source);
}

TEST_F(RealPlayer, StopEndsAPlayMidwayOnATenMinuteSource)
{
    const QByteArray pattern = WritePatternWav(Path("long.wav"), 44100, 600, 5);
    const qint64 full = qint64(600) * 44100 * 4;
    ASSERT_EQ(player.PlayFile(Path("long.wav"), -1), 0);
    player.Stop();
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.Position(), 0.0);
    ASSERT_TRUE(ev.WaitFinished());
    EXPECT_EQ(ev.finished, 1);
    const QByteArray out = ReadAll(PlayedFile());
    EXPECT_LT(out.size(), full / 2);
    EXPECT_TRUE(out.left(pattern.size()) == pattern.left(out.size()));
    EXPECT_EQ(out.mid(pattern.size()).count('\0'), std::max<qsizetype>(0, out.size() - pattern.size()));

    // The control plays on afterwards.
    audiotest::WriteWav(Path("sine.wav"), 44100, 2, 16, 0.5);
    ASSERT_EQ(player.PlayFile(Path("sine.wav"), -1), 0);
    ASSERT_TRUE(ev.WaitFinished(2));
    EXPECT_EQ(ev.finished, 2);
}

// The window's Stop: a paused play is resumed first, then stopped.
TEST_F(RealPlayer, StopAfterResumingAPausedPlay)
{
    WritePatternWav(Path("long.wav"), 8000, 600, 600);
    ASSERT_EQ(PlayPaced(Path("long.wav"), 8000 * 4), 0);
    ASSERT_TRUE(WaitReceived(8000 * 4));
    player.Pause();
    sink->AllowAll();
    ASSERT_TRUE(ev.WaitFor(kPlayerEventPaused));
    player.Resume();
    player.Stop();
    EXPECT_FALSE(player.IsPaused());
    EXPECT_FALSE(player.IsPlaying());
    ASSERT_TRUE(ev.WaitFinished());
    EXPECT_EQ(ev.finished, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sink->Closed(); }, 60000));
    EXPECT_LT(sink->Data().size(), 600 * 8000 * 4 / 2);
}

// The end of a stopped play must not end the play that replaced it.
TEST_F(RealPlayer, APlayStartedRightAfterStopGetsItsOwnEnd)
{
    WritePatternWav(Path("long.wav"), 44100, 600, 1);
    audiotest::WriteWav(Path("sine.wav"), 44100, 2, 16, 0.5);
    ASSERT_EQ(player.PlayFile(Path("long.wav"), -1), 0);
    player.Stop();
    ASSERT_EQ(player.PlayFile(Path("sine.wav"), -1), 0);
    EXPECT_TRUE(player.IsPlaying());
    ASSERT_TRUE(ev.WaitFinished());
    EXPECT_EQ(ev.finished, 1);
    EXPECT_TRUE(ReadAll(PlayedFile()) == WavData(Path("sine.wav")));
}

TEST_F(RealPlayer, ADeviceThatCannotBeOpenedGivesAClearError)
{
    audiotest::WriteWav(Path("sine.wav"), 44100, 2, 16, 0.5);
    auto* boxes = new support::ScriptedMessageBox;
    platform::SetMessageBoxService(std::unique_ptr<platform::MessageBoxService>(boxes));
    struct Case {
        std::int32_t device;
        QString text;
    } cases[] = {{DeviceIndex("missingcard"), "The sound output device \"missingcard\" cannot be found"},
                 {player.DeviceCount() + 3, "There is no sound output device number"}};
    for (const Case& c : cases) {
        EXPECT_EQ(player.PlayFile(Path("sine.wav"), c.device), kPlayerErrNoDevice);
        EXPECT_FALSE(player.IsPlaying());
        EXPECT_TRUE(player.ErrorText(kPlayerErrNoDevice).contains(c.text)) << player.ErrorText(kPlayerErrNoDevice).toStdString();
        boxes->Expect(c.text);
        player.ReportError(kPlayerErrNoDevice);
    }
    DeliverPostedEvents();
    EXPECT_EQ(ev.finished, 0);
    EXPECT_TRUE(boxes->script.empty());
    platform::SetMessageBoxService(nullptr);
}

// A WAV whose header declares more than it holds: what it holds is heard,
// then the play ends as broken off.
TEST_F(RealPlayer, AFileThatBreaksOffPlaysWhatItHoldsAndSaysSo)
{
    audiotest::WriteWav(Path("cut.wav"), 44100, 2, 16, 2.0);
    QFile cut(Path("cut.wav"));
    ASSERT_TRUE(cut.resize(44 + 44100 * 4));
    ASSERT_EQ(player.PlayFile(Path("cut.wav"), -1), 0);
    ASSERT_TRUE(ev.WaitFinished());
    EXPECT_EQ(ev.finished, 1);
    EXPECT_EQ(ev.Last(kPlayerEventBrokenOff), (std::vector<std::int32_t>{kPlayerEventBrokenOff, kPlayerErrNotAudio, 0}));
    EXPECT_EQ(ReadAll(PlayedFile()).size(), 44100 * 4);
    EXPECT_TRUE(player.ErrorText(kPlayerErrNotAudio).contains("broke off"));
}

TEST_F(RealPlayer, MissingAndUnreadableFilesAreRefused)
{
    QFile text(Path("text.wav"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("just some text, not audio at all");
    text.close();
    EXPECT_EQ(player.PlayFile(Path("missing.wav"), -1), kPlayerErrFileMissing);
    EXPECT_EQ(player.ErrorText(kPlayerErrFileMissing), "The file to play does not exist: " + Path("missing.wav"));
    EXPECT_EQ(player.PlayFile(Path("text.wav"), -1), kPlayerErrNotAudio);
    EXPECT_TRUE(player.ErrorText(kPlayerErrNotAudio).endsWith(Path("text.wav")));
    EXPECT_EQ(player.ErrorText(kPlayerErrDeviceBusy),
              "The sound output device is busy: another program is using it.");
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.AudioData(), 0);
}

// A machine without sound: ALSA knows only "null" and no "default".
TEST(PlayerWithoutSound, StaysUsableAndSaysWhyItCannotPlay)
{
    QTemporaryDir empty, dir;
    UseAlsaConfigFolder(empty.path());
    {
        cPlayer player;
        for (std::int32_t i = 0; i < player.DeviceCount(); ++i) EXPECT_NE(player.DeviceName(i), "default");
        audiotest::WriteWav(dir.filePath("sine.wav"), 44100, 2, 16, 0.5);
        EXPECT_EQ(player.PlayFile(dir.filePath("sine.wav"), -1), kPlayerErrNoDevice);
        EXPECT_TRUE(player.ErrorText(kPlayerErrNoDevice).startsWith("The sound output device \"default\" cannot be found"))
            << player.ErrorText(kPlayerErrNoDevice).toStdString();
        EXPECT_FALSE(player.IsPlaying());
        EXPECT_EQ(player.OpenFile(dir.filePath("sine.wav")), 0); // still reads files
    }
    UseAlsaConfigFolder({});
}

} // namespace
