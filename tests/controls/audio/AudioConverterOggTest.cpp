// OGG output against the Vorbis reference encoder (oggenc) and the comment
// readers of vorbis-tools and FFmpeg; the encoder used directly on PCM.
#include "controls/audio/AudioTestSupport.h"

#include "controls/audio/AudioConverterEngine.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

extern "C" {
#include <libavutil/frame.h>
}

using namespace audiotest;

namespace {

// Interleaved 16-bit samples decoded by vorbisfile (oggdec), per channel; -1 when it fails.
std::int64_t OggdecSamples(const QString& ogg, int channels, const QString& raw)
{
    const ToolRun r = RunTool("oggdec", {"-Q", "-R", "-o", raw, ogg});
    if (!r.ok || r.exitCode != 0) return -1;
    return QFileInfo(raw).size() / (2 * channels);
}

// Energy of the difference between two decodings relative to the first's.
double RelativeDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    double diff = 0, signal = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        diff += double(a[i] - b[i]) * double(a[i] - b[i]);
        signal += double(a[i]) * double(a[i]);
    }
    return signal > 0 ? diff / signal : 1;
}

struct OggCase {
    int rate, channels, bits;
    double seconds;
    int quality; // 0-100; oggenc takes a tenth of it
};

void PrintTo(const OggCase& c, std::ostream* os)
{
    *os << c.rate << " Hz, " << c.channels << " channels, " << c.bits << " bits, " << c.seconds << " s, quality "
        << c.quality;
}

class OggAgainstOggenc : public ConverterTest, public ::testing::WithParamInterface<OggCase> {};

// Same length to the sample as the source and as oggenc's file, read by FFmpeg
// and by vorbisfile; the same audio at the same quality, channels in place.
TEST_P(OggAgainstOggenc, SameLengthAndAudioAsTheReferenceEncoder)
{
    if (!HaveTool("oggenc") || !HaveTool("oggdec")) GTEST_SKIP() << "vorbis-tools is not installed";
    const OggCase& c = GetParam();
    const QString source = Wav("in.wav", c.rate, c.channels, c.bits, c.seconds);
    const std::int64_t frames = std::llround(c.seconds * c.rate);
    conv.SetSourceFile(source);
    conv.SetDestinationFile(Path("ours.ogg"));
    conv.SetDestinationFormat(kDestFormatOGG);
    conv.SetOGGFormat({0, 0, c.quality});
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    const ToolRun ref =
        RunTool("oggenc", {"-Q", "-q", QString::number(c.quality / 10.0), "-o", Path("ref.ogg"), source});
    ASSERT_EQ(ref.exitCode, 0) << ref.out.toStdString();

    // vorbisfile reads both to the source's length. FFmpeg reads ours so too;
    // oggenc's short files it can read short, as it misplaces the start of a
    // stream whose first audio page is also its last.
    EXPECT_EQ(OggdecSamples(Path("ours.ogg"), c.channels, Path("ours.raw")), frames);
    EXPECT_EQ(OggdecSamples(Path("ref.ogg"), c.channels, Path("ref.raw")), frames);
    const Decoded ours = Decode(Path("ours.ogg"), true);
    const Decoded theirs = Decode(Path("ref.ogg"), true);
    ASSERT_TRUE(ours.ok);
    EXPECT_EQ(ours.sampleRate, c.rate);
    EXPECT_EQ(ours.channels, c.channels);
    EXPECT_EQ(ours.samples, frames);

    EXPECT_LT(RelativeDifference(theirs.pcm, ours.pcm), 0.01);
    const double sizeRatio = double(QFileInfo(Path("ours.ogg")).size()) / double(QFileInfo(Path("ref.ogg")).size());
    EXPECT_NEAR(sizeRatio, 1.0, 0.03);
}

INSTANTIATE_TEST_SUITE_P(Sources, OggAgainstOggenc,
                         ::testing::Values(OggCase{44100, 2, 16, 3.2, 40}, OggCase{48000, 1, 16, 2.0, 40},
                                           OggCase{22050, 2, 8, 1.7, 0}, OggCase{96000, 2, 24, 1.3, 100},
                                           OggCase{44100, 6, 16, 1.5, 55}));

// One second of a generated WAV of these channels to out.ogg.
class OggTest : public ConverterTest {
protected:
    ConvertEvents ConvertToOgg(int channels, const OGGFormatSettings& ogg)
    {
        conv.SetSourceFile(Wav("in.wav", 44100, channels, 16, 1));
        conv.SetDestinationFile(Path("out.ogg"));
        conv.SetDestinationFormat(kDestFormatOGG);
        conv.SetOGGFormat(ogg);
        return RunConvert(conv);
    }
};

const QString kTitle = QString::fromUtf8("Tïtle ♫ = two");
const QString kComment = QString::fromUtf8("A comment\nover two lines");

// The comments as the earlier FFmpeg-written files hold them, by name and in order.
TEST_F(OggTest, CommentsKeepTheirNamesAndOrder)
{
    if (!HaveTool("vorbiscomment")) GTEST_SKIP() << "vorbiscomment is not installed";
    conv.SetTagAlbum("Album");
    conv.SetTagArtist("Artist");
    conv.SetTagComment(kComment);
    conv.SetTagGenre("Rock");
    conv.SetTagTitle(kTitle);
    conv.SetTagTrack("7/12");
    conv.SetTagYear("1999");
    ASSERT_EQ(ConvertToOgg(2, {0, 0, 40}).endings, QStringList{"Done"});

    // -e escapes the line break of the comment as \n.
    const ToolRun list = RunTool("vorbiscomment", {"-l", "-e", Path("out.ogg")});
    ASSERT_EQ(list.exitCode, 0) << list.out.toStdString();
    EXPECT_EQ(list.out.trimmed().split('\n'),
              (QStringList{"title=" + kTitle, "artist=Artist", "album=Album", "DESCRIPTION=A comment\\nover two lines",
                           "genre=Rock", "TRACKNUMBER=7/12", "date=1999"}));

    if (!HaveTool("ffprobe")) return;
    const ToolRun probe =
        RunTool("ffprobe", {"-v", "error", "-show_entries", "stream_tags", "-of", "json", Path("out.ogg")});
    for (const QString& expected :
         {QString("\"track\": \"7/12\""), QString("\"comment\": \"A comment\\nover two lines\""),
          QString("\"date\": \"1999\""), "\"title\": \"" + kTitle + "\""})
        EXPECT_TRUE(probe.out.contains(expected)) << probe.out.toStdString();
}

TEST_F(OggTest, OnlyTheTagsThatAreSetAreWritten)
{
    if (!HaveTool("vorbiscomment")) GTEST_SKIP() << "vorbiscomment is not installed";
    conv.SetTagTrack("3");
    ASSERT_EQ(ConvertToOgg(1, {2, 64, 0}).endings, QStringList{"Done"});
    EXPECT_EQ(RunTool("vorbiscomment", {"-l", Path("out.ogg")}).out.trimmed(), "TRACKNUMBER=3");
}

// Settings Vorbis has no mode for end in an error before any file is written.
TEST_F(OggTest, BitrateVorbisCannotReachIsRefused)
{
    WriteFile(Path("out.ogg"), "the user's file");
    for (int kbps : {8, 2000}) {
        const ConvertEvents ev = ConvertToOgg(2, {2, kbps, 0});
        ASSERT_EQ(ev.endings, QStringList{"Error"});
        EXPECT_EQ(ev.errorCode, kConvertErrSettingsRefused);
        EXPECT_TRUE(ev.errorText.contains(QString("%1 kbit/s at 44100 Hz, 2 channels").arg(kbps)))
            << ev.errorText.toStdString();
    }
    EXPECT_EQ(ReadFile(Path("out.ogg")), "the user's file");
}

// ---------------------------------------------------------------------------
// The encoder on its own, fed with PCM as a CD reader delivers it.

std::vector<std::int16_t> StereoSine(int frames)
{
    std::vector<std::int16_t> pcm(size_t(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        pcm[size_t(i) * 2] = std::int16_t(12000 * std::sin(2 * M_PI * 440 * i / 44100.0));
        pcm[size_t(i) * 2 + 1] = std::int16_t(12000 * std::sin(2 * M_PI * 660 * i / 44100.0));
    }
    return pcm;
}

struct DirectCase {
    std::int32_t format;
    const char* name;
    int chunk; // samples per Write
};

class FileEncoderOnPcm : public ConverterTest, public ::testing::WithParamInterface<DirectCase> {};

TEST_P(FileEncoderOnPcm, EncodesInterleavedSamplesToTheirLength)
{
    const DirectCase& c = GetParam();
    const int frames = 44100 * 2 + 333;
    const std::vector<std::int16_t> pcm = StereoSine(frames);
    audioconv::Request request;
    request.format = c.format;
    request.ogg = {0, 0, 40};
    request.mp3.Bitrate = 128;
    request.mp3.Quality = 5;
    audioconv::Tags tags;
    tags.title = "Track 1";
    const QString out = Path(c.name);

    audioconv::FileEncoder encoder;
    ASSERT_TRUE(encoder.Prepare(request, {44100, 2, 16, 0}).ok());
    ASSERT_TRUE(encoder.Start(out, tags).ok());
    for (int done = 0; done < frames; done += c.chunk)
        ASSERT_TRUE(encoder.WriteInterleaved16(pcm.data() + size_t(done) * 2, std::min(c.chunk, frames - done)).ok());
    EXPECT_FALSE(QFileInfo::exists(out)); // in place only when finished
    ASSERT_TRUE(encoder.Finish().ok());

    const Decoded d = Decode(out);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.tags.value("title"), "Track 1");
    if (c.format == kDestFormatOGG)
        EXPECT_EQ(d.samples, frames);
    else
        EXPECT_NEAR(double(d.samples), frames, 1152 * 2); // MP3: whole frames
    EXPECT_NEAR(d.rms, 12000.0 / 32768 / std::sqrt(2.0), 0.02);
}

INSTANTIATE_TEST_SUITE_P(Formats, FileEncoderOnPcm,
                         ::testing::Values(DirectCase{kDestFormatOGG, "sector.ogg", 588},
                                           DirectCase{kDestFormatOGG, "block.ogg", 44100},
                                           DirectCase{kDestFormatMP3, "sector.mp3", 588}));

TEST_F(ConverterTest, FileEncoderLeavesNothingWhenNotFinished)
{
    audioconv::Request request;
    request.format = kDestFormatOGG;
    request.ogg = {0, 0, 40};
    {
        audioconv::FileEncoder encoder;
        ASSERT_TRUE(encoder.Prepare(request, {44100, 2, 16, 0}).ok());
        ASSERT_TRUE(encoder.Start(Path("gone.ogg"), {}).ok());
        const std::vector<std::int16_t> pcm = StereoSine(10000);
        ASSERT_TRUE(encoder.WriteInterleaved16(pcm.data(), 10000).ok());
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

} // namespace
