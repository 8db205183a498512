// Ranges of every kind of source the program reads: a range converted on its
// own holds exactly the samples that the conversion of the whole file holds at
// that place, and the ranges one after another give the whole file back. The
// sources are made by the field's own tools from one generated WAV.
#include "controls/audio/AudioTestSupport.h"
#include "controls/audio/WaveFile.h"

#include <algorithm>
#include <optional>
#include <sstream>

using namespace audiotest;

namespace {

struct SourceKind {
    const char* name;
    const char* tool; // "ffmpeg", "lame" or "oggenc"; empty for the generated WAV itself
    QStringList options; // the tool's, besides its input and output
    const char* extension;
    // Samples at each end of a range that the resampler may make differently
    // from the whole file's conversion, where the source's rate is not the
    // output's: its filter reaches 16 source samples to each side.
    int resamplerEdge = 0;
};
void PrintTo(const SourceKind& k, std::ostream* os) { *os << k.name; }

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr double kSeconds = 4.4;

// The interleaved samples of a 32-bit WAV the converter wrote.
std::vector<std::int32_t> WavSamples(const QString& path)
{
    wavefile::Reader reader;
    if (!reader.Open(path).ok() || reader.GetFacts().format.bitsPerSample != 32) return {};
    std::vector<std::int32_t> samples(size_t(reader.GetFacts().frames) * size_t(reader.GetFacts().format.channels));
    if (reader.Read(0, reader.GetFacts().frames, samples.data()) != reader.GetFacts().frames) return {};
    return samples;
}

// What tells a range from the whole file's samples at its place, or nothing
// when they are the same (but within `edge` samples of its ends).
std::optional<std::string> Difference(const std::vector<std::int32_t>& part, const std::vector<std::int32_t>& whole,
                                      size_t at, size_t length, size_t edge)
{
    std::ostringstream why;
    if (part.size() != length)
        why << "holds " << part.size() / kChannels << " samples, not " << length / kChannels << "; ";
    size_t leadingZeros = 0;
    while (leadingZeros < part.size() && part[leadingZeros] == 0) ++leadingZeros;
    size_t first = SIZE_MAX, count = 0;
    for (size_t i = edge; i + edge < std::min(part.size(), length) / kChannels; ++i)
        if (!std::equal(&part[i * kChannels], &part[(i + 1) * kChannels], &whole[at + i * kChannels])) {
            first = std::min(first, i);
            ++count;
        }
    if (count > 0)
        why << count << " samples differ from sample " << first << " on; " << leadingZeros / kChannels
            << " silent samples at its start";
    if (why.str().empty()) return std::nullopt;
    return why.str();
}

class RangedReads : public ConverterTest, public ::testing::WithParamInterface<SourceKind> {
protected:
    // The source converted to a 32-bit WAV at 44.1 kHz, whole or `length` seconds from `start`.
    std::vector<std::int32_t> Convert(const QString& source, std::optional<int> start = {}, int length = 0)
    {
        conv.SetSourceFile(source);
        if (start) {
            conv.SetRangeStart(*start);
            conv.SetRangeLength(length);
        }
        const QString out = Path(start ? QString("part%1.wav").arg(*start) : "whole.wav");
        conv.SetDestinationFile(out);
        conv.SetDestinationFormat(kDestFormatWAV);
        conv.SetWAVFormat({kRate, kChannels, 32});
        const ConvertEvents ev = RunConvert(conv);
        EXPECT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();
        return WavSamples(out);
    }
    // FFmpeg's own decode of the file in the same format; empty when ffmpeg is missing.
    std::vector<std::int32_t> FfmpegDecode(const QString& source)
    {
        const QString raw = Path("ffmpeg.raw");
        const ToolRun run = RunTool("ffmpeg", {"-v", "error", "-y", "-i", source, "-f", "s32le", "-ac",
                                               QString::number(kChannels), "-ar", QString::number(kRate), raw});
        if (!run.ok || run.exitCode != 0) return {};
        const QByteArray bytes = ReadFile(raw);
        std::vector<std::int32_t> samples(size_t(bytes.size()) / sizeof(std::int32_t));
        memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(std::int32_t));
        return samples;
    }
};

TEST_P(RangedReads, EachSecondHoldsTheWholeFilesSamplesAtItsPlace)
{
    const SourceKind& k = GetParam();
    if (*k.tool && !HaveTool(k.tool)) GTEST_SKIP() << k.tool << " is not installed";
    // Noise of a loudness that changes each second: every band is busy, so
    // codecs use their bit reservoirs and noise substitution.
    const QString wav = Wav("generated.wav", kRate, kChannels, 16, kSeconds, Signal{0, {0.3, 0.1, 0.5, 0.2, 0.4}});
    const QString source = *k.tool ? Path(QString("source.") + k.extension) : wav;
    if (*k.tool) {
        ASSERT_TRUE(EncodeWith(k.tool, k.options, wav, source)) << "the source could not be made";
    }

    const std::vector<std::int32_t> whole = Convert(source);
    ASSERT_GT(whole.size(), size_t(3 * kRate * kChannels));
    if (k.resamplerEdge == 0) {
        const std::vector<std::int32_t> ffmpeg = FfmpegDecode(source);
        if (!ffmpeg.empty()) {
            EXPECT_TRUE(whole == ffmpeg) << "the whole file is not what ffmpeg decodes";
        }
    }
    std::vector<std::int32_t> joined;
    const size_t second = size_t(kRate) * kChannels;
    for (size_t start = 0; start < whole.size(); start += second) {
        const std::vector<std::int32_t> part = Convert(source, int(start / second), 1);
        const size_t length = std::min(second, whole.size() - start);
        const std::optional<std::string> difference = Difference(part, whole, start, length, k.resamplerEdge);
        EXPECT_FALSE(difference) << "the range from second " << start / second << " " << *difference;
        joined.insert(joined.end(), part.begin(), part.end());
    }
    if (k.resamplerEdge == 0) {
        EXPECT_TRUE(joined == whole) << "the ranges one after another are not the whole file";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, RangedReads,
    ::testing::Values(SourceKind{"Wav16", "", {}, "wav"},
                      SourceKind{"Wav24", "ffmpeg", {"-c:a", "pcm_s24le"}, "wav"},
                      SourceKind{"MuLaw", "ffmpeg", {"-c:a", "pcm_mulaw"}, "wav"},
                      SourceKind{"ImaAdpcm", "ffmpeg", {"-c:a", "adpcm_ima_wav"}, "wav"},
                      SourceKind{"MsAdpcm", "ffmpeg", {"-c:a", "adpcm_ms"}, "wav"},
                      SourceKind{"Gsm", "ffmpeg", {"-c:a", "libgsm_ms", "-ar", "8000", "-ac", "1"}, "wav", 96},
                      SourceKind{"Mp3CbrWithLameFrame", "lame", {"-b", "128"}, "mp3"},
                      SourceKind{"Mp3VbrWithLameFrame", "lame", {"-V", "2"}, "mp3"},
                      SourceKind{"Mp3CbrPlain", "lame", {"-t", "-b", "128"}, "mp3"},
                      SourceKind{"Mp3VbrPlain", "lame", {"-t", "-V", "2"}, "mp3"},
                      // Small frames: a frame's data starts many frames before it.
                      SourceKind{"Mp3At32kbits", "lame", {"--resample", "44.1", "-b", "32"}, "mp3"},
                      // MPEG-2 at 8 kbit/s: the data of a frame lies up to a second before it.
                      SourceKind{"Mp3At22kHzAnd8kbits", "lame", {"--resample", "22.05", "-b", "8"}, "mp3", 64},
                      SourceKind{"Ogg", "oggenc", {"-q", "3"}, "ogg"},
                      SourceKind{"Wma", "ffmpeg", {"-c:a", "wmav2", "-b:a", "128k"}, "wma"},
                      // Low rates code the high bands as noise.
                      SourceKind{"WmaWithNoiseCoding", "ffmpeg", {"-c:a", "wmav2", "-b:a", "32k"}, "wma"},
                      SourceKind{"Flac", "ffmpeg", {"-c:a", "flac"}, "flac"},
                      SourceKind{"AacInM4a", "ffmpeg", {"-c:a", "aac", "-b:a", "96k"}, "m4a"}),
    [](const ::testing::TestParamInfo<SourceKind>& info) { return info.param.name; });

} // namespace
