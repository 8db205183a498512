// Each destination format, checked by decoding the output back and, where
// installed, with ffprobe, ogginfo and mutagen.
#include "controls/audio/AudioTestSupport.h"
#include "controls/audio/AudioConverterCodecs.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QJsonDocument>
#include <QJsonObject>
#include <deque>
#include <memory>
#include <set>

using namespace audiotest;

namespace {

// Samples a decoded output should hold: the source's count at the output
// rate, within two of the codec's frames (encoder delay and padding).
void ExpectLength(const Decoded& d, double seconds, int sampleRate)
{
    const double expected = seconds * sampleRate;
    const double slack = 2.0 * std::max(d.maxFrame, 64) + 64;
    EXPECT_NEAR(double(d.samples), expected, slack) << d.codec.toStdString();
}

void ExpectProbe(const QString& path, const QString& codec, int rate, int channels)
{
    if (!HaveTool("ffprobe")) return;
    EXPECT_EQ(ProbeStream(path, "codec_name"), codec);
    EXPECT_EQ(ProbeStream(path, "sample_rate"), QString::number(rate));
    EXPECT_EQ(ProbeStream(path, "channels"), QString::number(channels));
}

const QString kTitle = QString::fromUtf8("Ærøskøbing – 東京の夜 ♫");
const QString kArtist = QString::fromUtf8("Björk & Sigur Rós");
const QString kAlbum = QString::fromUtf8("Ünïcödé Album");
const QString kComment = QString::fromUtf8("Comment: “quoted” — ok");
const QString kGenre = "Rock";
const QString kYear = "1999";
const QString kTrack = "7";

void SetTestTags(cAudioConverter& c)
{
    c.SetTagAlbum(kAlbum);
    c.SetTagArtist(kArtist);
    c.SetTagComment(kComment);
    c.SetTagGenre(kGenre);
    c.SetTagTitle(kTitle);
    c.SetTagTrack(kTrack);
    c.SetTagYear(kYear);
}

void ExpectTestTags(cAudioConverter& reader, const QString& path)
{
    EXPECT_EQ(reader.ReadTags(path), 0);
    EXPECT_EQ(reader.TagTitle(), kTitle);
    EXPECT_EQ(reader.TagArtist(), kArtist);
    EXPECT_EQ(reader.TagAlbum(), kAlbum);
    EXPECT_EQ(reader.TagComment(), kComment);
    EXPECT_EQ(reader.TagGenre(), kGenre);
    EXPECT_EQ(reader.TagYear(), kYear);
    EXPECT_TRUE(reader.TagTrack().startsWith(kTrack)) << reader.TagTrack().toStdString();
}

// ---------------------------------------------------------------------------

struct WavCase {
    int srcRate, srcChannels, srcBits;
    WAVFormatSettings wav;
    int outRate, outChannels;
    const char* codec;
};

class WavOutput : public ConverterTest, public ::testing::WithParamInterface<WavCase> {};

TEST_P(WavOutput, DecodesBackInTheRecordsFormat)
{
    const WavCase& c = GetParam();
    conv.SetSourceFile(Wav("in.wav", c.srcRate, c.srcChannels, c.srcBits, 1.5));
    conv.SetDestinationFile(Path("out.wav"));
    conv.SetDestinationFormat(kDestFormatWAV);
    conv.SetWAVFormat(c.wav);
    const ConvertEvents ev = RunConvert(conv);
    ASSERT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();

    const Decoded d = Decode(Path("out.wav"));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.container, "wav");
    EXPECT_EQ(d.codec, c.codec);
    EXPECT_EQ(d.sampleRate, c.outRate);
    EXPECT_EQ(d.channels, c.outChannels);
    ExpectLength(d, 1.5, c.outRate);
    EXPECT_GT(d.rms, 0.2); // the sine made it through (amplitude 0.5)
    ExpectProbe(Path("out.wav"), c.codec, c.outRate, c.outChannels);
}

INSTANTIATE_TEST_SUITE_P(
    Records, WavOutput,
    ::testing::Values(WavCase{44100, 2, 16, {44100, 2, 16}, 44100, 2, "pcm_s16le"},
                      WavCase{44100, 2, 16, {22050, 1, 8}, 22050, 1, "pcm_u8"},
                      WavCase{48000, 2, 24, {44100, 2, 16}, 44100, 2, "pcm_s16le"}, // 24-bit source
                      WavCase{22050, 1, 8, {44100, 2, 16}, 44100, 2, "pcm_s16le"},  // 8-bit source
                      WavCase{8000, 1, 16, {11025, 1, 16}, 11025, 1, "pcm_s16le"},
                      WavCase{96000, 2, 24, {0, 0, 24}, 96000, 2, "pcm_s24le"})); // zero: as the source

TEST_F(ConverterTest, WavSettingsTheEncoderCannotTakeAreNamed)
{
    conv.SetSourceFile(Wav("in.wav", 44100, 2, 16, 1));
    conv.SetDestinationFile(Path("out.wav"));
    conv.SetWAVFormat({44100, 2, 12});
    ConvertEvents ev = RunConvert(conv);
    ASSERT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kConvertErrSettingsRefused);
    EXPECT_TRUE(ev.errorText.contains("12 bits")) << ev.errorText.toStdString();
    EXPECT_FALSE(QFile::exists(Path("out.wav")));
}

// ---------------------------------------------------------------------------
// WAV through each codec of the ACM list

struct AcmCase {
    const char* codec;
    const char* format;
    int rate, channels;
    const char* ffmpegCodec;
};

class AcmOutput : public ConverterTest, public ::testing::WithParamInterface<AcmCase> {};

TEST_P(AcmOutput, DecodesBackAsThatCodec)
{
    const AcmCase& c = GetParam();
    QStringList formats;
    QObject::connect(&conv, &cAudioConverter::ACMFormatFound, [&](const QString& f) { formats << f; });
    conv.EnumACMFormats(c.codec);
    ASSERT_TRUE(formats.contains(c.format)) << formats.join(" | ").toStdString();

    conv.SetSourceFile(Wav("in.wav", 44100, 2, 16, 1.5));
    conv.SetDestinationFile(Path("out.wav"));
    conv.SetDestinationFormat(kDestFormatACM);
    conv.SetACMFormat(c.codec, c.format);
    const ConvertEvents ev = RunConvert(conv);
    ASSERT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();

    const Decoded d = Decode(Path("out.wav"));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.container, "wav");
    EXPECT_EQ(d.codec, c.ffmpegCodec);
    EXPECT_EQ(d.sampleRate, c.rate);
    EXPECT_EQ(d.channels, c.channels);
    ExpectLength(d, 1.5, c.rate);
    EXPECT_GT(d.rms, 0.1);
    ExpectProbe(Path("out.wav"), c.ffmpegCodec, c.rate, c.channels);
}

INSTANTIATE_TEST_SUITE_P(EachCodec, AcmOutput,
                         ::testing::Values(AcmCase{"PCM", "44.100 kHz, 16 Bit, Stereo", 44100, 2, "pcm_s16le"},
                                           AcmCase{"PCM", "11.025 kHz, 8 Bit, Mono", 11025, 1, "pcm_u8"},
                                           AcmCase{"CCITT A-Law", "22.050 kHz, 8 Bit, Stereo", 22050, 2, "pcm_alaw"},
                                           AcmCase{"CCITT u-Law", "8.000 kHz, 8 Bit, Mono", 8000, 1, "pcm_mulaw"},
                                           AcmCase{"Microsoft ADPCM", "44.100 kHz, 4 Bit, Stereo", 44100, 2,
                                                   "adpcm_ms"},
                                           AcmCase{"IMA ADPCM", "22.050 kHz, 4 Bit, Mono", 22050, 1, "adpcm_ima_wav"},
                                           AcmCase{"GSM 6.10", "8.000 kHz, 13 kbit/s, Mono", 8000, 1, "gsm_ms"},
                                           AcmCase{"G.726 ADPCM", "8.000 kHz, 32 kbit/s, Mono", 8000, 1,
                                                   "adpcm_g726"},
                                           AcmCase{"G.723.1", "8.000 kHz, 6.3 kbit/s, Mono", 8000, 1, "g723_1"},
                                           AcmCase{"MPEG Layer-3", "44.100 kHz, 128 kbit/s, Stereo", 44100, 2, "mp3"}));

// Every codec and format the control lists writes a WAV that decodes back in
// that format, whatever the source's rate and channels.
TEST_F(ConverterTest, EveryListedAcmFormatEncodes)
{
    QStringList codecs;
    QObject::connect(&conv, &cAudioConverter::ACMFormatTagFound, [&](const QString& c) { codecs << c; });
    conv.EnumACMFormatTags(1, 44100, 2, 16, 0);
    for (const char* expected : {"PCM", "CCITT A-Law", "CCITT u-Law", "Microsoft ADPCM", "IMA ADPCM", "GSM 6.10",
                                 "G.726 ADPCM", "G.723.1", "MPEG Layer-3"})
        EXPECT_TRUE(codecs.contains(expected)) << expected;

    const QString source = Wav("in.wav", 44100, 2, 16, 0.3);
    conv.SetSourceFile(source);
    conv.SetDestinationFormat(kDestFormatACM);
    int converted = 0;
    for (const QString& codec : codecs) {
        QStringList formats;
        QObject context;
        QObject::connect(&conv, &cAudioConverter::ACMFormatFound, &context, [&](const QString& f) { formats << f; });
        conv.EnumACMFormats(codec);
        EXPECT_FALSE(formats.isEmpty()) << codec.toStdString();
        for (const QString& format : formats) {
            const std::string what = (codec + " " + format).toStdString();
            const QString out = Path(QString("out%1.wav").arg(++converted));
            conv.SetDestinationFile(out);
            conv.SetACMFormat(codec, format);
            const ConvertEvents ev = RunConvert(conv);
            ASSERT_EQ(ev.endings, QStringList{"Done"}) << what << ": " << ev.errorText.toStdString();
            const Decoded d = Decode(out);
            ASSERT_TRUE(d.ok) << what;
            EXPECT_EQ(d.container, "wav") << what;
            const QStringList parts = format.split(", ");
            EXPECT_EQ(audioconv::SampleRateText(d.sampleRate), parts.value(0)) << what;
            EXPECT_EQ(audioconv::ChannelsText(d.channels), parts.value(2)) << what;
            // MP3 in WAV cannot mark the encoder's delay and padding: they decode as about a frame more.
            const int frames = codec == "MPEG Layer-3" ? 3 : 2;
            EXPECT_NEAR(double(d.samples), 0.3 * d.sampleRate, frames * std::max(d.maxFrame, 64) + 64) << what;
            QFile::remove(out);
        }
    }
    EXPECT_GT(converted, 40);
}

// A WAV file holding MP3 has no place for LAME's information frame that a
// decoder reads (its frames are decoded as they come): ffmpeg gives back the
// source's samples with the encoder's delay in front and padding up to a
// whole frame at the end.
TEST_F(ConverterTest, AcmMp3InWavDecodesAsWholeFramesHoldingTheSource)
{
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    constexpr std::int64_t kTrackSamples = 322224;
    conv.SetSourceFile(Wav("in.wav", 44100, 2, 16, double(kTrackSamples) / 44100));
    conv.SetDestinationFile(Path("out.wav"));
    conv.SetDestinationFormat(kDestFormatACM);
    conv.SetACMFormat("MPEG Layer-3", "44.100 kHz, 128 kbit/s, Stereo");
    const ConvertEvents ev = RunConvert(conv);
    ASSERT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();
    const std::int64_t samples = FfmpegDecodedSamples(Path("out.wav"));
    EXPECT_EQ(samples % 1152, 0);
    EXPECT_GT(samples, kTrackSamples);
    EXPECT_LE(samples, kTrackSamples + 1105 + 1152);
}

TEST_F(ConverterTest, AcmChoiceTheListDoesNotHoldIsRefused)
{
    conv.SetSourceFile(Wav("in.wav", 44100, 2, 16, 1));
    conv.SetDestinationFile(Path("out.wav"));
    conv.SetDestinationFormat(kDestFormatACM);
    const std::pair<QString, QString> choices[] = {{"", ""}, {"GSM 6.10", "44.100 kHz, 16 Bit, Stereo"}};
    for (const auto& [codec, format] : choices) {
        conv.SetACMFormat(codec, format);
        const ConvertEvents ev = RunConvert(conv);
        ASSERT_EQ(ev.endings, QStringList{"Error"});
        EXPECT_EQ(ev.errorCode, kConvertErrSettingsRefused) << ev.errorText.toStdString();
    }
    conv.SetACMFormat("Speex Turbo", "8.000 kHz, Mono");
    const ConvertEvents ev = RunConvert(conv);
    EXPECT_EQ(ev.errorCode, kConvertErrFormatUnavailable);
    EXPECT_FALSE(QFile::exists(Path("out.wav")));
}

// ---------------------------------------------------------------------------
// MP3 through LAME

// The frames of an MP3 file, read from their headers.
struct Mp3Frame {
    int version; // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    bool crc;
    int kbps;
    int rate;
    int mode; // 0 stereo, 1 joint, 2 dual, 3 mono
    bool copyright, original;
};

struct Mp3File {
    std::vector<Mp3Frame> frames;
    bool xing = false, info = false, id3v2 = false, id3v1 = false;
    QByteArray id3v1Block;
};

Mp3File ReadMp3(const QString& path)
{
    static const int kBitrates[2][15] = {{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
                                         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
    static const int kRates[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    QFile f(path);
    Mp3File m;
    if (!f.open(QIODevice::ReadOnly)) return m;
    const QByteArray b = f.readAll();
    qsizetype pos = 0;
    if (b.startsWith("ID3")) {
        m.id3v2 = true;
        pos = 10 + ((b[6] & 0x7F) << 21 | (b[7] & 0x7F) << 14 | (b[8] & 0x7F) << 7 | (b[9] & 0x7F));
    }
    qsizetype end = b.size();
    if (end >= 128 && b.mid(end - 128, 3) == "TAG") {
        m.id3v1 = true;
        m.id3v1Block = b.mid(end - 128);
        end -= 128;
    }
    while (pos + 4 <= end) {
        const auto h = [&](int i) { return quint8(b[pos + i]); };
        if (h(0) != 0xFF || (h(1) & 0xE0) != 0xE0) break;
        Mp3Frame fr;
        fr.version = (h(1) >> 3) & 3;
        fr.crc = !(h(1) & 1);
        fr.kbps = kBitrates[fr.version == 3 ? 0 : 1][(h(2) >> 4) & 15];
        fr.rate = kRates[fr.version][(h(2) >> 2) & 3];
        const int padding = (h(2) >> 1) & 1;
        fr.mode = h(3) >> 6;
        fr.copyright = h(3) & 8;
        fr.original = h(3) & 4;
        if (fr.kbps == 0 || fr.rate == 0) break;
        const int length = (fr.version == 3 ? 144 : 72) * fr.kbps * 1000 / fr.rate + padding;
        const QByteArray body = b.mid(pos, length);
        if (m.frames.empty() && body.contains("Xing"))
            m.xing = true;
        else if (m.frames.empty() && body.contains("Info"))
            m.info = true;
        else
            m.frames.push_back(fr);
        pos += length;
    }
    return m;
}

MP3FormatSettings Mp3Cbr(int kbps)
{
    MP3FormatSettings s;
    s.Bitrate = kbps;
    s.Quality = 5;
    s.SampleRate = 44100;
    s.Mode = 1;
    return s;
}

class Mp3Test : public ConverterTest {
protected:
    Mp3File Convert(const MP3FormatSettings& s, const Signal& signal = Signal{}, double seconds = 2)
    {
        conv.SetSourceFile(Wav("in.wav", 44100, 2, 16, seconds, signal));
        conv.SetDestinationFile(Path("out.mp3"));
        conv.SetDestinationFormat(kDestFormatMP3);
        conv.SetMP3Format(s);
        const ConvertEvents ev = RunConvert(conv);
        EXPECT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();
        return ReadMp3(Path("out.mp3"));
    }
    std::set<int> Bitrates(const Mp3File& m)
    {
        std::set<int> s;
        for (const Mp3Frame& f : m.frames) s.insert(f.kbps);
        return s;
    }
};

TEST_F(Mp3Test, CbrDecodesBackWithTheFrameHeaderBitsSet)
{
    MP3FormatSettings s = Mp3Cbr(128);
    s.Copyright = -1;
    s.Original = -1;
    s.ErrorProtection = -1;
    const Mp3File m = Convert(s);
    ASSERT_FALSE(m.frames.empty());
    EXPECT_EQ(Bitrates(m), std::set<int>{128});
    for (const Mp3Frame& f : m.frames) {
        EXPECT_TRUE(f.copyright && f.original && f.crc);
        EXPECT_EQ(f.rate, 44100);
        EXPECT_EQ(f.version, 3);
    }
    EXPECT_TRUE(m.info) << "CBR too starts with LAME's Info frame";

    const Decoded d = Decode(Path("out.mp3"));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.codec, "mp3");
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.sampleRate, 44100);
    ExpectLength(d, 2, 44100);
    ExpectProbe(Path("out.mp3"), "mp3", 44100, 2);
}

// The information frame carries the encoder's delay and padding: ffmpeg
// decodes every kind of MP3 to exactly the samples of its source (a CD
// track of 7.307 s, which is no whole number of MP3 frames).
TEST_F(Mp3Test, EveryKindDecodesToExactlyTheSourceSamples)
{
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    struct Case {
        const char* what;
        MP3FormatSettings s;
        int rate, channels;
        bool tags;
        int cbrKbps = 0; // every audio frame at this bitrate; 0: VBR or ABR
    };
    // From 64 kbit/s a 44.1 kHz stereo CBR frame holds the information frame
    // (LowBitratesNeitherAbortNorLoseSamples has the bitrates below).
    MP3FormatSettings cbr = Mp3Cbr(128), crc = Mp3Cbr(192), vbr = Mp3Cbr(128), abr = Mp3Cbr(128), lowest = Mp3Cbr(64),
                      mpeg2 = Mp3Cbr(56);
    crc.ErrorProtection = -1;
    crc.StrictISO = -1;
    vbr.VBRMethod = 4;
    vbr.WriteVBRTag = -1;
    vbr.VBRQuality = 2;
    vbr.VBRMinBitrateIndex = 3;
    vbr.VBRMaxBitrateIndex = 15;
    abr.VBRMethod = 3;
    abr.ABRBitrate = 96;
    abr.VBRMinBitrateIndex = 0;
    abr.VBRMaxBitrateIndex = 18;
    mpeg2.SampleRate = 22050;
    mpeg2.Mode = 3;
    // The tagged cases come last: the control keeps tags from one conversion to the next.
    const Case cases[] = {{"CBR, no VBR tag asked for", cbr, 44100, 2, false, 128},
                          {"CBR with CRC and ISO encoding", crc, 44100, 2, false, 192},
                          {"VBR", vbr, 44100, 2, false},
                          {"MPEG-2 mono at 56 kbit/s", mpeg2, 22050, 1, false, 56},
                          {"CBR at 64 kbit/s", lowest, 44100, 2, false, 64},
                          {"CBR with tags", cbr, 44100, 2, true, 128},
                          {"ABR with tags", abr, 44100, 2, true}};
    constexpr std::int64_t kTrackSamples = 322224; // 7.307 s at 44.1 kHz
    for (const Case& c : cases) {
        const std::int64_t samples = kTrackSamples * c.rate / 44100;
        conv.SetSourceFile(Wav("in.wav", c.rate, c.channels, 16, double(samples) / c.rate));
        conv.SetDestinationFile(Path("out.mp3"));
        conv.SetDestinationFormat(kDestFormatMP3);
        conv.SetMP3Format(c.s);
        if (c.tags) SetTestTags(conv);
        const ConvertEvents ev = RunConvert(conv);
        ASSERT_EQ(ev.endings, QStringList{"Done"}) << c.what << ": " << ev.errorText.toStdString();
        const Mp3File m = ReadMp3(Path("out.mp3"));
        EXPECT_TRUE(m.xing || m.info) << c.what;
        if (c.cbrKbps != 0) {
            EXPECT_EQ(Bitrates(m), std::set<int>{c.cbrKbps}) << c.what;
        }
        EXPECT_EQ(FfmpegDecodedSamples(Path("out.mp3")), samples) << c.what;
        QFile::remove(Path("out.mp3"));
    }
}

// The low end of what the MP3 window offers, every conversion in a child
// process of its own, so that an encoder that aborts fails one case and not
// the test program. The sources are two moving tones under noise, made by
// ffmpeg. An output that starts with the information frame decodes to
// exactly the source's samples; one without it (a CBR frame too small to
// hold it) decodes to whole frames around them.
struct LowRateCase {
    int rate;       // of the source and the output
    double seconds; // of the source
    QStringList settings;
    bool gapless; // the information frame is written
};

// The lowest CBR bitrate (kbit/s) whose frame holds the information frame.
int LowestGaplessCbr(int rate, int channels)
{
    struct Row {
        int rate, mono, stereo;
    };
    static const Row rows[] = {{8000, 24, 24},  {11025, 32, 32}, {12000, 32, 32}, {16000, 40, 40}, {22050, 56, 56},
                               {24000, 64, 64}, {32000, 40, 48}, {44100, 56, 64}, {48000, 64, 64}};
    for (const Row& r : rows)
        if (r.rate == rate) return channels == 1 ? r.mono : r.stereo;
    return 0;
}

// The lowest maximum bitrate with which ABR stays ABR; with a lower maximum
// it is CBR at its average bitrate.
int LowestAbrMaximum(int rate) { return rate >= 32000 ? 64 : 16; }

std::vector<LowRateCase> LowRateCases()
{
    std::vector<LowRateCase> cases;
    const auto add = [&](int rate, double seconds, int mode, int quality, const QStringList& more, bool gapless) {
        const QStringList common{QString("SampleRate=%1").arg(rate), QString("Mode=%1").arg(mode),
                                 QString("Quality=%1").arg(quality)};
        cases.push_back({rate, seconds, common + more, gapless});
    };
    const auto cbr = [&](int rate, double seconds, int mode, int quality, int kbps) {
        add(rate, seconds, mode, quality, {QString("Bitrate=%1").arg(kbps)},
            kbps >= LowestGaplessCbr(rate, mode == 3 ? 1 : 2));
    };
    const auto abr = [&](int rate, int mode, int kbps, int maxIndex) {
        const int maxKbps = kMP3BitrateList[maxIndex];
        add(rate, 7.307, mode, 5,
            {"VBRMethod=3", QString("ABRBitrate=%1").arg(kbps), "VBRMinBitrateIndex=0",
             QString("VBRMaxBitrateIndex=%1").arg(maxIndex)},
            maxKbps >= LowestAbrMaximum(rate) || std::min(kbps, maxKbps) >= LowestGaplessCbr(rate, mode == 3 ? 1 : 2));
    };
    // Stereo, joint, mono and forced joint stereo at 44.1 kHz across the bitrates
    // whose frames cannot hold the information frame, and the first that can.
    for (int mode : {0, 1, 3, 5})
        for (int kbps : {8, 16, 24, 32, 40, 48, 56, 64}) cbr(44100, 7.307, mode, 5, kbps);
    for (int mode : {0, 1, 5})
        for (int kbps : {8, 32, 48}) cbr(44100, 1.3, mode, 5, kbps);
    for (int mode : {0, 1}) cbr(44100, 19.9, mode, 5, 32);
    cbr(44100, 7.307, 1, 2, 32);
    cbr(44100, 7.307, 2, 9, 32);
    for (int kbps : {32, 64}) cbr(48000, 7.307, 1, 5, kbps);
    for (int kbps : {32, 48}) cbr(32000, 7.307, 0, 5, kbps);
    cbr(22050, 7.307, 1, 5, 8);
    for (int kbps : {32, 56}) cbr(22050, 7.307, 3, 5, kbps);
    for (int kbps : {8, 24}) cbr(8000, 7.307, 1, 5, kbps);
    // ABR whose largest bitrate is small (list positions 0, 3 and 4: 8, 32 and
    // 40 kbit/s), and VBR up to 32 kbit/s.
    for (int mode : {0, 1, 3}) abr(44100, mode, 96, 3);
    abr(44100, 1, 96, 4);
    abr(32000, 3, 96, 4);
    abr(22050, 1, 24, 3);
    abr(11025, 1, 8, 0);
    add(44100, 7.307, 1, 5, {"VBRMethod=4", "VBRQuality=0", "VBRMinBitrateIndex=0", "VBRMaxBitrateIndex=3"}, true);
    return cases;
}

QString CaseName(const LowRateCase& c)
{
    return QString("%1 Hz, %2 s, %3").arg(c.rate).arg(c.seconds).arg(c.settings.join(' '));
}

// A program run; ok when it ended by itself with exit code 0.
struct ProgramRun {
    ProgramRun(const QString& program, const QStringList& args) : program(program), args(args) {}
    QString program;
    QStringList args;
    bool ok = false;
    QString failure; // how it ended otherwise, and what it wrote to stderr
};

// Runs the programs to their ends, four at a time.
void RunFourAtATime(std::vector<ProgramRun>& runs)
{
    std::deque<std::pair<ProgramRun*, std::unique_ptr<QProcess>>> running;
    auto next = runs.begin();
    while (next != runs.end() || !running.empty()) {
        for (; next != runs.end() && running.size() < 4; ++next) {
            running.emplace_back(&*next, std::make_unique<QProcess>());
            running.back().second->start(next->program, next->args);
        }
        auto [run, p] = std::move(running.front());
        running.pop_front();
        const bool ended = p->waitForFinished(120000);
        run->ok = ended && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
        if (!ended)
            run->failure = "did not end";
        else if (!run->ok)
            run->failure = QString(p->exitStatus() == QProcess::NormalExit ? "exit code %1" : "crashed (%1)")
                               .arg(p->exitCode()) +
                           "\n" + QString::fromLocal8Bit(p->readAllStandardError());
    }
}

// One ffmpeg decoding each file to one 16-bit channel in the file's name and
// ".raw", whose size then tells the samples.
ProgramRun DecodeToRaw(const QStringList& paths)
{
    QStringList args{"-nostdin", "-v", "error", "-y"};
    for (const QString& path : paths) args << "-i" << path;
    for (int i = 0; i < paths.size(); ++i)
        args << "-map" << QString("%1:a:0").arg(i) << "-ac" << "1" << "-c:a" << "pcm_s16le" << "-f" << "s16le"
             << paths[i] + ".raw";
    return {"ffmpeg", args};
}

std::int64_t RawSamples(const QString& raw) { return QFileInfo::exists(raw) ? QFileInfo(raw).size() / 2 : -1; }

TEST_F(Mp3Test, LowBitratesNeitherAbortNorLoseSamples)
{
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    const std::vector<LowRateCase> cases = LowRateCases();
    const auto sourceOf = [&](const LowRateCase& c) { return Path(QString("in-%1-%2.wav").arg(c.rate).arg(c.seconds)); };
    std::vector<ProgramRun> sources;
    QStringList sourcePaths;
    for (const LowRateCase& c : cases) {
        if (sourcePaths.contains(sourceOf(c))) continue;
        sourcePaths << sourceOf(c);
        const QString tones = QString("aevalsrc=0.4*sin(2*PI*(300+200*t)*t)+0.2*(2*random(0)-1)|"
                                      "0.4*sin(2*PI*(700-50*t)*t)+0.2*(2*random(1)-1):s=%1:d=%2")
                                  .arg(c.rate)
                                  .arg(c.seconds);
        sources.push_back({"ffmpeg", {"-nostdin", "-v", "error", "-f", "lavfi", "-i", tones, "-c:a", "pcm_s16le",
                                      sourceOf(c)}});
    }
    RunFourAtATime(sources);
    for (const ProgramRun& made : sources) ASSERT_TRUE(made.ok) << made.failure.toStdString();
    std::vector<ProgramRun> conversions;
    for (size_t i = 0; i < cases.size(); ++i)
        conversions.emplace_back(MP3_CONVERT_CHILD, QStringList{sourceOf(cases[i]), Path(QString("out%1.mp3").arg(i))} +
                                                        cases[i].settings);
    RunFourAtATime(conversions);
    // The sources and every output there is, decoded by four ffmpeg processes.
    QStringList toDecode = sourcePaths;
    for (const ProgramRun& run : conversions)
        if (run.ok) toDecode << run.args[1];
    std::vector<ProgramRun> decodes;
    const qsizetype share = (toDecode.size() + 3) / 4;
    for (qsizetype i = 0; i < toDecode.size(); i += share) decodes.push_back(DecodeToRaw(toDecode.mid(i, share)));
    RunFourAtATime(decodes);
    for (const ProgramRun& decode : decodes) EXPECT_TRUE(decode.ok) << decode.failure.toStdString();

    for (size_t i = 0; i < cases.size(); ++i) {
        const LowRateCase& c = cases[i];
        const std::string name = CaseName(c).toStdString();
        if (!conversions[i].ok) {
            ADD_FAILURE() << name << ": the conversion " << conversions[i].failure.toStdString();
            continue;
        }
        const QString out = conversions[i].args[1];
        const Mp3File m = ReadMp3(out);
        EXPECT_FALSE(m.frames.empty()) << name;
        const bool gapless = m.xing || m.info;
        EXPECT_EQ(gapless, c.gapless) << name;
        const std::int64_t samples = RawSamples(sourceOf(c) + ".raw");
        const std::int64_t decoded = RawSamples(out + ".raw");
        ASSERT_GT(samples, 0);
        if (gapless) {
            EXPECT_EQ(decoded, samples) << name;
        } else {
            const int frameSamples = c.rate >= 32000 ? 1152 : 576;
            EXPECT_EQ(decoded % frameSamples, 0) << name;
            EXPECT_GE(decoded, samples) << name;
            EXPECT_LE(decoded, samples + 3 * frameSamples) << name;
        }
    }
}

TEST_F(Mp3Test, HeaderBitsStayClearWhenNotAsked)
{
    const Mp3File m = Convert(Mp3Cbr(128));
    ASSERT_FALSE(m.frames.empty());
    for (const Mp3Frame& f : m.frames) EXPECT_FALSE(f.copyright || f.original || f.crc);
}

struct ModeCase {
    int mode;
    int headerMode; // what the frames carry
    int channels;   // decoded
};

class Mp3Mode : public Mp3Test, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(Mp3Mode, FramesCarryTheChannelMode)
{
    MP3FormatSettings s = Mp3Cbr(128);
    s.Mode = GetParam().mode;
    const Mp3File m = Convert(s);
    ASSERT_FALSE(m.frames.empty());
    for (const Mp3Frame& f : m.frames) EXPECT_EQ(f.mode, GetParam().headerMode);
    EXPECT_EQ(Decode(Path("out.mp3")).channels, GetParam().channels);
}

INSTANTIATE_TEST_SUITE_P(Modes, Mp3Mode,
                         ::testing::Values(ModeCase{0, 0, 2}, ModeCase{1, 1, 2}, ModeCase{2, 2, 2}, ModeCase{3, 3, 1},
                                           ModeCase{5, 1, 2}));

TEST_F(Mp3Test, VbrKeepsWithinItsBitratesAndWritesTheXingFrame)
{
    MP3FormatSettings s = Mp3Cbr(128);
    s.VBRMethod = 4;
    s.WriteVBRTag = -1;
    s.VBRQuality = 2;
    s.VBRMinBitrateIndex = 3;  // 32 kbit/s
    s.VBRMaxBitrateIndex = 15; // 192 kbit/s
    // Noise, then silence: a VBR encoder spends very different bitrates on them.
    const Mp3File m = Convert(s, Signal{0, {0.6, 0.0}}, 2);
    EXPECT_TRUE(m.xing);
    const std::set<int> rates = Bitrates(m);
    EXPECT_GT(rates.size(), 1u);
    EXPECT_GE(*rates.begin(), 32);
    EXPECT_LE(*rates.rbegin(), 192);
    // The Xing frame lets the decoder drop the encoder's delay and padding.
    const Decoded d = Decode(Path("out.mp3"));
    EXPECT_NEAR(double(d.samples), 2 * 44100, 1152);
}

TEST_F(Mp3Test, ForcedMinimumBitrateHoldsEvenForSilence)
{
    MP3FormatSettings s = Mp3Cbr(128);
    s.VBRMethod = 4;
    s.VBRMinBitrateIndex = 9;  // 96 kbit/s
    s.VBRMaxBitrateIndex = 15; // 192 kbit/s
    const Signal halfSilent{0, {0.6, 0.0}};
    EXPECT_LT(*Bitrates(Convert(s, halfSilent)).begin(), 96) << "silence goes below the minimum unless forced";
    s.VBRForceMinBitrate = -1;
    EXPECT_GE(*Bitrates(Convert(s, halfSilent)).begin(), 96);
}

TEST_F(Mp3Test, AbrAveragesItsBitrate)
{
    MP3FormatSettings s = Mp3Cbr(128);
    s.VBRMethod = 3;
    s.ABRBitrate = 96;
    s.VBRMinBitrateIndex = 0;
    s.VBRMaxBitrateIndex = 18;
    const Mp3File m = Convert(s, Signal{0, {0.5}}, 3);
    ASSERT_FALSE(m.frames.empty());
    double sum = 0;
    for (const Mp3Frame& f : m.frames) sum += f.kbps;
    EXPECT_NEAR(sum / double(m.frames.size()), 96, 24);
}

TEST_F(Mp3Test, LowerSampleRateGivesMpeg2Frames)
{
    MP3FormatSettings s = Mp3Cbr(64);
    s.SampleRate = 22050;
    s.WriteVBRTag = -1; // lets the decoder drop the encoder's delay
    const Mp3File m = Convert(s);
    ASSERT_FALSE(m.frames.empty());
    EXPECT_EQ(m.frames.front().version, 2);
    EXPECT_EQ(m.frames.front().rate, 22050);
    const Decoded d = Decode(Path("out.mp3"));
    EXPECT_EQ(d.sampleRate, 22050);
    ExpectLength(d, 2, 22050);
}

TEST_F(Mp3Test, RefusedSettingsAreNamed)
{
    struct Bad {
        MP3FormatSettings s;
        const char* mentions;
    };
    MP3FormatSettings rate = Mp3Cbr(128), order = Mp3Cbr(128), quality = Mp3Cbr(128);
    rate.SampleRate = 96000;
    order.VBRMethod = 4;
    order.VBRMinBitrateIndex = 15;
    order.VBRMaxBitrateIndex = 3;
    quality.Quality = 12;
    for (const Bad& bad : {Bad{rate, "96000 Hz"}, Bad{order, "minimum"}, Bad{quality, "quality 12"}}) {
        conv.SetSourceFile(Wav("in.wav", 44100, 2, 16, 1));
        conv.SetDestinationFile(Path("out.mp3"));
        conv.SetDestinationFormat(kDestFormatMP3);
        conv.SetMP3Format(bad.s);
        const ConvertEvents ev = RunConvert(conv);
        ASSERT_EQ(ev.endings, QStringList{"Error"});
        EXPECT_EQ(ev.errorCode, kConvertErrSettingsRefused);
        EXPECT_TRUE(ev.errorText.contains(bad.mentions)) << ev.errorText.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path("out.mp3")));
}

TEST_F(Mp3Test, TagsAreId3v23WithAnId3v1Block)
{
    SetTestTags(conv);
    MP3FormatSettings s = Mp3Cbr(128);
    s.WriteVBRTag = -1;
    const Mp3File m = Convert(s);
    EXPECT_TRUE(m.id3v2);
    EXPECT_TRUE(m.info) << "the Info frame follows the tag";
    ASSERT_TRUE(m.id3v1);
    EXPECT_EQ(m.id3v1Block.mid(33, 30).left(9), QByteArray("Bj\xF6rk & S")); // Latin-1
    EXPECT_EQ(quint8(m.id3v1Block[126]), 7);                                 // track
    EXPECT_EQ(quint8(m.id3v1Block[127]), 17);                                // Rock

    cAudioConverter reader;
    ExpectTestTags(reader, Path("out.mp3"));
    EXPECT_NEAR(double(Decode(Path("out.mp3")).samples), 2 * 44100, 1152);

    const QString python = MutagenPython();
    if (python.isEmpty()) GTEST_SKIP() << "mutagen is not installed";
    const char* script = R"(
import sys, json
from mutagen.id3 import ID3
t = ID3(sys.argv[1], translate=False)
print(json.dumps({"version": t.version[1], "TIT2": str(t["TIT2"]), "TPE1": str(t["TPE1"]),
  "TALB": str(t["TALB"]), "TYER": str(t["TYER"]), "TRCK": str(t["TRCK"]), "TCON": str(t["TCON"]),
  "COMM": str(t.getall("COMM")[0])}))
)";
    const ToolRun r = RunTool(python, {"-c", script, Path("out.mp3")});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o["version"].toInt(), 3);
    EXPECT_EQ(o["TIT2"].toString(), kTitle);
    EXPECT_EQ(o["TPE1"].toString(), kArtist);
    EXPECT_EQ(o["TALB"].toString(), kAlbum);
    EXPECT_EQ(o["TYER"].toString(), kYear);
    EXPECT_EQ(o["TRCK"].toString(), kTrack);
    EXPECT_EQ(o["TCON"].toString(), kGenre);
    EXPECT_EQ(o["COMM"].toString(), kComment);
}

TEST_F(Mp3Test, NoTagsWithoutTagTexts)
{
    const Mp3File m = Convert(Mp3Cbr(128));
    EXPECT_FALSE(m.id3v2);
    EXPECT_FALSE(m.id3v1);
}

// ---------------------------------------------------------------------------
// WMA

TEST_F(ConverterTest, WmaCodecsWriteAsfThatDecodesBack)
{
    ASSERT_EQ(conv.WMACodecCount(), 2);
    const QString source = Wav("in.wav", 96000, 2, 24, 1.5); // above what WMA takes: resampled
    const char* ffmpegCodec[] = {"wmav1", "wmav2"};
    for (int codec = 0; codec < 2; ++codec) {
        ASSERT_GT(conv.WMAFormatCount(codec), 0);
        const QString out = Path(QString("out%1.wma").arg(codec));
        conv.SetSourceFile(source);
        conv.SetDestinationFile(out);
        conv.SetDestinationFormat(kDestFormatWMA);
        conv.SetWMAFormat({codec, 2});
        EXPECT_EQ(conv.WMAFormatName(codec, 2), "128 kbit/s, 44.100 kHz, Stereo");
        const ConvertEvents ev = RunConvert(conv);
        ASSERT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();
        const Decoded d = Decode(out);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.container, "asf");
        EXPECT_EQ(d.codec, ffmpegCodec[codec]);
        EXPECT_EQ(d.sampleRate, 44100);
        EXPECT_EQ(d.channels, 2);
        ExpectLength(d, 1.5, 44100);
        EXPECT_GT(d.rms, 0.2);
        ExpectProbe(out, ffmpegCodec[codec], 44100, 2);
    }
}

TEST_F(ConverterTest, WmaMonoFormatAndOutOfRangeNumbers)
{
    const int codec = 1;
    int mono = -1;
    for (int f = 0; f < conv.WMAFormatCount(codec) && mono < 0; ++f)
        if (conv.WMAFormatName(codec, f).endsWith("Mono")) mono = f;
    ASSERT_GE(mono, 0);
    conv.SetSourceFile(Wav("in.wav", 44100, 2, 16, 1));
    conv.SetDestinationFile(Path("out.wma"));
    conv.SetDestinationFormat(kDestFormatWMA);
    conv.SetWMAFormat({codec, mono});
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    EXPECT_EQ(Decode(Path("out.wma")).channels, 1);

    for (WMAFormatSettings bad : {WMAFormatSettings{2, 0}, WMAFormatSettings{0, 999}, WMAFormatSettings{-1, -1}}) {
        conv.SetWMAFormat(bad);
        const ConvertEvents ev = RunConvert(conv);
        ASSERT_EQ(ev.endings, QStringList{"Error"});
        EXPECT_EQ(ev.errorCode, kConvertErrSettingsRefused);
    }
}

// ---------------------------------------------------------------------------
// OGG

TEST_F(ConverterTest, OggQualityModeIsVorbisAtTheSourcesFormat)
{
    conv.SetSourceFile(Wav("in.wav", 48000, 1, 16, 2));
    conv.SetDestinationFile(Path("out.ogg"));
    conv.SetDestinationFormat(kDestFormatOGG);
    conv.SetOGGFormat({0, 0, 40});
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    const Decoded d = Decode(Path("out.ogg"));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.container, "ogg");
    EXPECT_EQ(d.codec, "vorbis");
    EXPECT_EQ(d.sampleRate, 48000);
    EXPECT_EQ(d.channels, 1);
    ExpectLength(d, 2, 48000);
    EXPECT_GT(d.rms, 0.2);
    const ToolRun info = RunTool("ogginfo", {Path("out.ogg")});
    if (info.ok) {
        EXPECT_EQ(info.exitCode, 0) << info.out.toStdString();
        EXPECT_TRUE(info.out.contains("Vorbis stream 1"));
    }
}

TEST_F(ConverterTest, OggQualityChangesTheSize)
{
    const QString source = Wav("in.wav", 44100, 2, 16, 2, Signal{0, {0.5}});
    qint64 sizes[2] = {};
    const int qualities[2] = {10, 90};
    for (int i = 0; i < 2; ++i) {
        conv.SetSourceFile(source);
        conv.SetDestinationFile(Path(QString("q%1.ogg").arg(i)));
        conv.SetDestinationFormat(kDestFormatOGG);
        conv.SetOGGFormat({0, 0, qualities[i]});
        ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
        sizes[i] = QFileInfo(Path(QString("q%1.ogg").arg(i))).size();
    }
    EXPECT_GT(sizes[1], sizes[0] * 2);
}

TEST_F(ConverterTest, OggNominalBitrateModeWithVorbisComments)
{
    SetTestTags(conv);
    conv.SetSourceFile(Wav("in.wav", 44100, 2, 16, 2));
    conv.SetDestinationFile(Path("out.ogg"));
    conv.SetDestinationFormat(kDestFormatOGG);
    conv.SetOGGFormat({2, 96, 0});
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    const Decoded d = Decode(Path("out.ogg"));
    EXPECT_EQ(d.codec, "vorbis");
    ExpectLength(d, 2, 44100);
    cAudioConverter reader;
    ExpectTestTags(reader, Path("out.ogg"));

    const ToolRun info = RunTool("ogginfo", {Path("out.ogg")});
    if (!info.ok) GTEST_SKIP() << "ogginfo is not installed";
    EXPECT_EQ(info.exitCode, 0) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("Nominal bitrate: 96")) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("TITLE=" + kTitle, Qt::CaseInsensitive)) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("DESCRIPTION=" + kComment, Qt::CaseInsensitive));
    EXPECT_TRUE(info.out.contains("TRACKNUMBER=" + kTrack, Qt::CaseInsensitive));
}

// ---------------------------------------------------------------------------
// Tags of the other containers, read back

class TagsOutput : public ConverterTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(TagsOutput, NonAsciiTagsReadBack)
{
    SetTestTags(conv);
    conv.SetSourceFile(Wav("in.wav", 44100, 2, 16, 1));
    conv.SetDestinationFile(Path("out.bin"));
    conv.SetDestinationFormat(GetParam());
    conv.SetWAVFormat({44100, 2, 16});
    conv.SetMP3Format(Mp3Cbr(128));
    conv.SetWMAFormat({1, 0});
    conv.SetOGGFormat({0, 0, 40});
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    cAudioConverter reader;
    ExpectTestTags(reader, Path("out.bin"));
}

INSTANTIATE_TEST_SUITE_P(Formats, TagsOutput,
                         ::testing::Values(kDestFormatWAV, kDestFormatMP3, kDestFormatWMA, kDestFormatOGG));

// ---------------------------------------------------------------------------

TEST_F(ConverterTest, ApeEndsInAClearError)
{
    QFile existing(Path("out.ape"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("mine");
    existing.close();
    conv.SetSourceFile(Wav("in.wav", 44100, 2, 16, 1));
    conv.SetDestinationFile(Path("out.ape"));
    conv.SetDestinationFormat(kDestFormatAPE);
    conv.SetAPEFormat(2);
    const ConvertEvents ev = RunConvert(conv);
    ASSERT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kConvertErrFormatUnavailable);
    EXPECT_EQ(ev.errorText, "APE encoding is not available on this system");
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "mine");
}

} // namespace
