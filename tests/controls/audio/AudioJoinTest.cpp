// The join control: what a joined file holds, how a join runs and ends, and
// the entries that end it with an error.
#include "controls/audio/AudioTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QtTest/QTest>
#include <cmath>
#include <csignal>
#include <sys/resource.h>

using namespace audiotest;

namespace {

class JoinTest : public ConverterTest {
protected:
    // An MP3 of a 44.1 kHz stereo sine, made by the conversion control.
    QString Mp3(const QString& name, double seconds)
    {
        EXPECT_TRUE(WriteMp3(Path(name), seconds));
        return Path(name);
    }
    void Add(const QString& path, std::int32_t start = -1, std::int32_t length = -1)
    {
        join.AddFile(path, start, length);
    }
    void To(const QString& name, std::int32_t format)
    {
        join.SetDestinationFile(Path(name));
        join.SetDestinationFormat(format);
    }

    cAudioJoin join;
};

// Interleaved samples [from, to) seconds of decoded PCM.
std::vector<float> Seconds(const Decoded& d, double from, double to)
{
    const auto at = [&](double s) { return d.pcm.begin() + std::ptrdiff_t(std::llround(s * d.sampleRate)) * d.channels; };
    return std::vector<float>(at(from), at(to));
}

std::vector<float> Concatenated(std::initializer_list<std::vector<float>> parts)
{
    std::vector<float> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// ---------------------------------------------------------------------------
// Mixed sources: mono 22.05 kHz, stereo 44.1 kHz and an MP3.

struct MixedCase {
    const char* name;
    std::int32_t format;
    WAVFormatSettings wav;
    bool stereoFirst;
    int rate, channels; // of the joined file
    const char* codec;
};

class MixedJoin : public JoinTest, public ::testing::WithParamInterface<MixedCase> {};

TEST_P(MixedJoin, HasTheSummedLengthInTheFirstEntrysFormatWhereTheSettingsKeepIt)
{
    const MixedCase& c = GetParam();
    const QString mono = Wav("mono.wav", 22050, 1, 16, 1.5, Signal{300, {0.4}});
    const QString stereo = Wav("stereo.wav", 44100, 2, 16, 2.0, Signal{500, {0.4}});
    const QString mp3 = Mp3("third.mp3", 1.0);
    for (const QString& f : c.stereoFirst ? QStringList{stereo, mono, mp3} : QStringList{mono, stereo, mp3}) Add(f);
    const QString out = c.format == kDestFormatOGG ? "joined.ogg" : "joined.wav";
    To(out, c.format);
    join.SetOGGFormat({0, 0, 40});
    join.SetWAVFormat(c.wav);

    const JoinEvents ev = RunJoin(join);
    ASSERT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();
    const Decoded d = Decode(Path(out));
    EXPECT_EQ(d.codec, c.codec);
    EXPECT_EQ(d.sampleRate, c.rate);
    EXPECT_EQ(d.channels, c.channels);
    EXPECT_NEAR(double(d.samples) / c.rate, 4.5, 0.002);
    EXPECT_GT(d.rms, 0.2);
    if (HaveTool("ffprobe")) {
        EXPECT_NEAR(ProbeDuration(Path(out)), 4.5, 0.01);
        EXPECT_EQ(ProbeStream(Path(out), "sample_rate"), QString::number(c.rate));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, MixedJoin,
    ::testing::Values(MixedCase{"OggAsTheFirstEntry", kDestFormatOGG, {}, false, 22050, 1, "vorbis"},
                      MixedCase{"OggAsTheFirstStereoEntry", kDestFormatOGG, {}, true, 44100, 2, "vorbis"},
                      MixedCase{"WavAsTheFirstEntry", kDestFormatWAV, {0, 0, 16}, false, 22050, 1, "pcm_s16le"},
                      MixedCase{"WavAsSet", kDestFormatWAV, {48000, 2, 16}, false, 48000, 2, "pcm_s16le"}),
    [](const ::testing::TestParamInfo<MixedCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Exact joins and ranges

TEST_F(JoinTest, WavPiecesJoinSampleForSampleWithProgressPerFileAndOneDone)
{
    const QString a = Wav("a.wav", 44100, 2, 16, 1.3, Signal{440, {0.5}});
    const QString b = Wav("b.wav", 44100, 2, 16, 0.7, Signal{0, {0.3}});
    const QString c = Wav("c.wav", 44100, 2, 16, 2.1, Signal{1000, {0.6, 0.2}});
    for (const QString& f : {a, b, c}) Add(f);
    To("joined.wav", kDestFormatWAV);
    join.SetWAVFormat({0, 0, 16});

    const JoinEvents ev = RunJoin(join);
    EXPECT_EQ(ev.started, 0);
    EXPECT_FALSE(ev.eventBeforeReturn);
    ASSERT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();
    EXPECT_FALSE(join.IsJoining());

    const Decoded out = Decode(Path("joined.wav"), true);
    EXPECT_EQ(out.codec, "pcm_s16le");
    EXPECT_EQ(out.pcm, Concatenated({Decode(a, true).pcm, Decode(b, true).pcm, Decode(c, true).pcm}));

    // Files in order, percents rising within each, every file ending at 100.
    ASSERT_FALSE(ev.progress.empty());
    std::vector<std::int32_t> ends;
    for (size_t i = 0; i < ev.progress.size(); ++i) {
        const auto [file, percent] = ev.progress[i];
        EXPECT_GE(percent, 1);
        if (i > 0 && ev.progress[i - 1].first == file) {
            EXPECT_GT(percent, ev.progress[i - 1].second);
        } else if (i > 0) {
            EXPECT_EQ(ev.progress[i - 1].first, file - 1);
        }
        if (percent == 100) ends.push_back(file);
    }
    EXPECT_EQ(ev.progress.front().first, 1);
    EXPECT_EQ(ends, (std::vector<std::int32_t>{1, 2, 3}));
}

TEST_F(JoinTest, RangedEntriesJoinOnlyTheirRange)
{
    // Seconds of distinct loudness show where each range comes from.
    const QString whole = Wav("whole.wav", 44100, 2, 16, 1, Signal{440, {0.5}});
    const QString steps = Wav("steps.wav", 44100, 2, 16, 5, Signal{440, {0.1, 0.2, 0.3, 0.4, 0.5}});
    Add(whole);
    Add(steps, 1, 2);  // seconds 1 and 2
    Add(steps, 3, -1); // from second 3 to the end
    Add(steps, -1, 1); // the first second
    To("joined.wav", kDestFormatWAV);
    join.SetWAVFormat({0, 0, 16});

    ASSERT_EQ(RunJoin(join).endings, QStringList{"Done"});
    const Decoded out = Decode(Path("joined.wav"), true);
    const Decoded s = Decode(steps, true);
    EXPECT_EQ(out.pcm, Concatenated({Decode(whole, true).pcm, Seconds(s, 1, 3), Seconds(s, 3, 5), Seconds(s, 0, 1)}));
}

TEST_F(JoinTest, ARangeThroughAnEncodedSourceHasItsLength)
{
    const QString mp3 = Mp3("long.mp3", 4);
    Add(mp3, 1, 2);
    Add(Wav("b.wav", 44100, 2, 16, 1));
    To("joined.ogg", kDestFormatOGG);
    join.SetOGGFormat({0, 0, 40});
    ASSERT_EQ(RunJoin(join).endings, QStringList{"Done"});
    EXPECT_NEAR(double(Decode(Path("joined.ogg")).samples) / 44100, 3.0, 0.03);
}

// A joined MP3 carries LAME's information frame: ffmpeg decodes it to exactly
// the samples of its entries, an MP3 entry and a range among them.
TEST_F(JoinTest, AJoinedMp3DecodesToExactlyItsEntriesSamples)
{
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    Add(Wav("a.wav", 44100, 2, 16, 1.3, Signal{440, {0.5}}));
    Add(Mp3("b.mp3", 0.7));
    Add(Wav("c.wav", 44100, 2, 16, 3.0, Signal{1000, {0.6}}), 1, 1);
    To("joined.mp3", kDestFormatMP3);
    MP3FormatSettings cbr;
    cbr.Bitrate = 128; // no VBR tag asked for
    join.SetMP3Format(cbr);
    ASSERT_EQ(RunJoin(join).endings, QStringList{"Done"});
    EXPECT_EQ(FfmpegDecodedSamples(Path("joined.mp3")), 57330 + 30870 + 44100);
}

TEST_F(JoinTest, TheJoinedFileCarriesTheTags)
{
    Add(Wav("a.wav", 44100, 2, 16, 0.5));
    Add(Wav("b.wav", 44100, 2, 16, 0.5));
    To("joined.ogg", kDestFormatOGG);
    join.SetTagTitle("Joined");
    join.SetTagArtist("Ärtist");
    join.SetTagYear("2024");
    ASSERT_EQ(RunJoin(join).endings, QStringList{"Done"});
    const Decoded d = Decode(Path("joined.ogg"));
    EXPECT_EQ(d.tags.value("title"), "Joined");
    EXPECT_EQ(d.tags.value("artist"), "Ärtist");
    EXPECT_EQ(d.tags.value("date"), "2024");
}

// ---------------------------------------------------------------------------
// Running and ending

TEST_F(JoinTest, ASecondJoinFromInsideDoneRunsAndAJoinWhileJoiningIsRefusedQuietly)
{
    Add(Wav("a.wav", 44100, 2, 16, 1));
    Add(Wav("b.wav", 44100, 2, 16, 1));
    To("first.wav", kDestFormatWAV);
    QStringList endings;
    std::int32_t refused = -1;
    QObject context;
    QObject::connect(&join, &cAudioJoin::Error, &context, [&](std::int32_t, const QString& t) { endings << t; });
    QObject::connect(&join, &cAudioJoin::Done, &context, [&] {
        endings << "Done";
        if (endings.size() > 1) return;
        join.RemoveFile(1);
        join.SetDestinationFile(Path("second.wav"));
        join.Join();
    });
    EXPECT_EQ(join.Join(), 0);
    refused = join.Join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return endings.size() >= 2; }, 120000));
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(refused, kConvertErrBusy);
    EXPECT_EQ(endings, (QStringList{"Done", "Done"}));
    EXPECT_EQ(Decode(Path("first.wav")).samples, 2 * 44100);
    EXPECT_EQ(Decode(Path("second.wav")).samples, 44100);
}

class AbortJoin : public JoinTest {
protected:
    void SetUp() override
    {
        // Long enough that the join still runs when the window sees its first progress.
        const QString piece = Wav("piece.wav", 44100, 2, 16, 20, Signal{0, {0.5}});
        for (int i = 0; i < 3; ++i) Add(piece);
        To("joined.ogg", kDestFormatOGG);
        join.SetOGGFormat({0, 0, 100});
    }
};

TEST_F(AbortJoin, AbortLeavesNoFileAndKeepsAnExistingOne)
{
    const JoinEvents ev = RunJoin(join, [&](std::int32_t, std::int32_t) { join.Abort(); });
    EXPECT_EQ(ev.endings, QStringList{"Aborted"});
    EXPECT_FALSE(QFile::exists(Path("joined.ogg")));

    WriteFile(Path("joined.ogg"), "the user's file");
    const JoinEvents again = RunJoin(join, [&](std::int32_t, std::int32_t) { join.Abort(); });
    EXPECT_EQ(again.endings, QStringList{"Aborted"});
    EXPECT_EQ(ReadFile(Path("joined.ogg")), "the user's file");
}

TEST_F(AbortJoin, AfterAbortAndResetOnlyAbortedArrives)
{
    int progressAfterReset = 0;
    bool reset = false;
    const JoinEvents ev = RunJoin(join, [&](std::int32_t, std::int32_t) {
        if (reset) ++progressAfterReset;
        join.Abort();
        join.Reset();
        reset = true;
    });
    EXPECT_EQ(ev.endings, QStringList{"Aborted"});
    EXPECT_EQ(progressAfterReset, 0);
    EXPECT_FALSE(QFile::exists(Path("joined.ogg")));
}

TEST_F(AbortJoin, AbortWhenIdleDoesNothing)
{
    join.Abort();
    join.Reset();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    while (join.GetFileCount() > 0) join.RemoveFile(1);
    Add(Wav("short.wav", 44100, 2, 16, 0.5));
    EXPECT_EQ(RunJoin(join).endings, QStringList{"Done"});
}

TEST_F(AbortJoin, TerminateDropsEveryEventAndTheControlServesAgain)
{
    int events = 0;
    QObject context;
    QObject::connect(&join, &cAudioJoin::Progress, &context, [&] { ++events; });
    QObject::connect(&join, &cAudioJoin::Done, &context, [&] { ++events; });
    QObject::connect(&join, &cAudioJoin::Aborted, &context, [&] { ++events; });
    QObject::connect(&join, &cAudioJoin::Error, &context, [&] { ++events; });
    join.Join();
    join.Terminate();
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(join.IsJoining());
    EXPECT_FALSE(QFile::exists(Path("joined.ogg")));
    EXPECT_EQ(join.GetFileCount(), 3);

    QObject::disconnect(&join, nullptr, &context, nullptr);
    while (join.GetFileCount() > 1) join.RemoveFile(1);
    join.SetOGGFormat({0, 0, 0});
    EXPECT_EQ(RunJoin(join).endings, QStringList{"Done"});
}

TEST_F(AbortJoin, DestroyingARunningControlIsSafe)
{
    auto j = std::make_unique<cAudioJoin>();
    j->AddFile(Path("piece.wav"), -1, -1);
    j->SetDestinationFile(Path("gone.ogg"));
    j->SetDestinationFormat(kDestFormatOGG);
    j->Join();
    j.reset();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_FALSE(QFile::exists(Path("gone.ogg")));
}

// ---------------------------------------------------------------------------
// Entries that end a join with an error

struct BadEntry {
    const char* name;
    std::function<QString(const QString& folder)> make; // the bad entry's path
    std::int32_t start, length;
    std::int32_t code;
    bool foundBeforeReading; // the error comes before any progress
};

class JoinErrors : public JoinTest, public ::testing::WithParamInterface<BadEntry> {};

TEST_P(JoinErrors, EndWithOneErrorNamingTheFileAndNoOutput)
{
    const BadEntry& c = GetParam();
    const QString bad = c.make(dir.path());
    Add(Wav("a.wav", 44100, 2, 16, 1));
    Add(bad, c.start, c.length);
    Add(Wav("c.wav", 44100, 2, 16, 1));
    To("joined.ogg", kDestFormatOGG);

    const JoinEvents ev = RunJoin(join);
    ASSERT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, c.code) << ev.errorText.toStdString();
    EXPECT_TRUE(ev.errorText.contains(bad)) << ev.errorText.toStdString();
    if (c.foundBeforeReading) {
        EXPECT_TRUE(ev.progress.empty());
    }
    EXPECT_FALSE(QFile::exists(Path("joined.ogg")));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, JoinErrors,
    ::testing::Values(
        BadEntry{"Missing", [](const QString& f) { return f + "/missing.wav"; }, -1, -1, kConvertErrSourceMissing,
                 true},
        BadEntry{"NotAudio",
                 [](const QString& f) {
                     WriteFile(f + "/text.wav", "no audio in here, just words");
                     return f + "/text.wav";
                 },
                 -1, -1, kConvertErrSourceNotAudio, true},
        BadEntry{"RangePastTheEnd",
                 [](const QString& f) {
                     WriteWav(f + "/short.wav", 44100, 2, 16, 2);
                     return f + "/short.wav";
                 },
                 5, 1, kConvertErrRange, true},
        BadEntry{"BreaksOffMidFile",
                 [](const QString& f) {
                     WriteWavDeclaring(f + "/cut.wav", 2, kTenSecondsOfWav);
                     return f + "/cut.wav";
                 },
                 -1, -1, kConvertErrDecode, false}),
    [](const ::testing::TestParamInfo<BadEntry>& info) { return info.param.name; });

TEST_F(JoinTest, ADestinationThatIsOneOfTheEntriesIsRefused)
{
    const QString a = Wav("a.wav", 44100, 2, 16, 1);
    Add(Wav("b.wav", 44100, 2, 16, 1));
    Add(a);
    const QByteArray before = ReadFile(a);
    To("a.wav", kDestFormatWAV);
    const JoinEvents ev = RunJoin(join);
    ASSERT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kConvertErrDestinationIsSource);
    EXPECT_EQ(ReadFile(a), before);
}

TEST_F(JoinTest, ADiskFullHalfWayLeavesTheExistingFileAndNamesNoEntry)
{
    // A file size limit makes writes fail as on a full disk, here in the second entry.
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) Add(Wav(name, 44100, 2, 16, 1));
    To("joined.wav", kDestFormatWAV);
    WriteFile(Path("joined.wav"), "the user's file");
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 250 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const JoinEvents ev = RunJoin(join);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kConvertErrDiskFull) << ev.errorText.toStdString();
    for (const char* entry : {"a.wav", "b.wav", "c.wav"}) EXPECT_FALSE(ev.errorText.contains(entry)) << entry;
    EXPECT_NE(std::find(ev.progress.begin(), ev.progress.end(), std::make_pair(1, 100)), ev.progress.end())
        << "the first entry was joined";
    EXPECT_EQ(ReadFile(Path("joined.wav")), "the user's file");
}

TEST_F(JoinTest, AnEmptyListEndsWithAnError)
{
    To("joined.wav", kDestFormatWAV);
    const JoinEvents ev = RunJoin(join);
    ASSERT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kJoinErrNoFiles);
    EXPECT_FALSE(QFile::exists(Path("joined.wav")));
}

// ---------------------------------------------------------------------------
// The list

TEST(JoinList, EntriesAreNumberedFromOneWithoutA16BitLimit)
{
    cAudioJoin join;
    join.AddFile("/a.wav", -1, -1);
    join.AddFile("/b.wav", 65, 30);
    std::int32_t start = 0, length = 0;
    EXPECT_EQ(join.GetFileName(2, &start, &length), "/b.wav");
    EXPECT_EQ(start, 65);
    EXPECT_EQ(length, 30);
    EXPECT_EQ(join.GetFileName(1, &start, &length), "/a.wav");
    EXPECT_EQ(start, -1);
    EXPECT_EQ(length, -1);
    EXPECT_EQ(join.GetFileName(3, &start, &length), "");
    EXPECT_EQ(join.GetFileName(0), "");
    join.RemoveFile(0);
    join.RemoveFile(3);
    EXPECT_EQ(join.GetFileCount(), 2);

    constexpr std::int32_t kMany = 40000;
    for (std::int32_t i = 2; i < kMany; ++i) join.AddFile(QString("/f%1.wav").arg(i), -1, -1);
    EXPECT_EQ(join.GetFileCount(), kMany);
    EXPECT_EQ(join.GetFileName(kMany), QString("/f%1.wav").arg(kMany - 1));
    for (std::int32_t i = 0; i < kMany; ++i) join.RemoveFile(1);
    EXPECT_EQ(join.GetFileCount(), 0);
}

} // namespace
