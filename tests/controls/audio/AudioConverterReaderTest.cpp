// The control as a file reader, its time text and its codec lists.
#include "controls/audio/AudioTestSupport.h"

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/OggTail.h"
#include "controls/audio/PlainWav.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/codec_par.h>
}

using namespace audiotest;

namespace {

struct FactsCase {
    int rate, channels, bits;
    double seconds;
};

class SourceFacts : public ConverterTest, public ::testing::WithParamInterface<FactsCase> {};

TEST_P(SourceFacts, DescribeTheOpenedFile)
{
    const FactsCase& c = GetParam();
    ASSERT_EQ(conv.OpenSourceFile(Wav("a.wav", c.rate, c.channels, c.bits, c.seconds)), 0);
    EXPECT_EQ(conv.SourceSampleRate(), c.rate);
    EXPECT_EQ(conv.SourceChannels(), c.channels);
    EXPECT_EQ(conv.SourceBitsPerSample(), c.bits);
    EXPECT_EQ(conv.SourceLength(), int(c.seconds * 1000));
    conv.CloseSourceFile();
}

INSTANTIATE_TEST_SUITE_P(Wavs, SourceFacts,
                         ::testing::Values(FactsCase{44100, 2, 16, 2.5}, FactsCase{22050, 1, 8, 1.5},
                                           FactsCase{48000, 2, 24, 1}, FactsCase{8000, 1, 16, 3}));

TEST_F(ConverterTest, OpenWithoutCloseReplacesTheFile)
{
    ASSERT_EQ(conv.OpenSourceFile(Wav("a.wav", 44100, 2, 16, 2)), 0);
    ASSERT_EQ(conv.OpenSourceFile(Wav("b.wav", 22050, 1, 8, 1)), 0);
    EXPECT_EQ(conv.SourceSampleRate(), 22050);
    EXPECT_EQ(conv.SourceChannels(), 1);
    EXPECT_EQ(conv.SourceLength(), 1000);
}

TEST_F(ConverterTest, AFailedOpenKeepsTheEarlierFacts)
{
    EXPECT_EQ(conv.SourceSampleRate(), 44100); // before any file
    EXPECT_EQ(conv.SourceChannels(), 2);
    EXPECT_EQ(conv.SourceBitsPerSample(), 16);
    ASSERT_EQ(conv.OpenSourceFile(Wav("a.wav", 22050, 1, 8, 1)), 0);
    QFile text(Path("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not audio\n");
    text.close();
    EXPECT_EQ(conv.OpenSourceFile(Path("notes.txt")), kConvertErrSourceNotAudio);
    EXPECT_EQ(conv.OpenSourceFile(Path("missing.mp3")), kConvertErrSourceMissing);
    EXPECT_EQ(conv.SourceSampleRate(), 22050);
    EXPECT_EQ(conv.SourceChannels(), 1);
}

TEST_F(ConverterTest, TerminatedControlOpensTheNextFile)
{
    ASSERT_EQ(conv.OpenSourceFile(Wav("a.wav", 44100, 2, 16, 1)), 0);
    conv.CloseSourceFile();
    conv.Terminate();
    ASSERT_EQ(conv.OpenSourceFile(Wav("b.wav", 8000, 1, 16, 2)), 0);
    EXPECT_EQ(conv.SourceSampleRate(), 8000);
    EXPECT_EQ(conv.SourceLength(), 2000);
}

TEST_F(ConverterTest, EncodedFilesReportTheirFormatAndLength)
{
    conv.SetSourceFile(Wav("a.wav", 22050, 1, 16, 3));
    conv.SetDestinationFile(Path("a.ogg"));
    conv.SetDestinationFormat(kDestFormatOGG);
    conv.SetOGGFormat({0, 0, 30});
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    ASSERT_EQ(conv.OpenSourceFile(Path("a.ogg")), 0);
    EXPECT_EQ(conv.SourceSampleRate(), 22050);
    EXPECT_EQ(conv.SourceChannels(), 1);
    EXPECT_EQ(conv.SourceBitsPerSample(), 16);
    EXPECT_NEAR(conv.SourceLength(), 3000, 50);
}

TEST_F(ConverterTest, ReadTagsOfAFileWithoutTagsGivesEmptyTexts)
{
    conv.SetTagTitle("left over");
    conv.SetTagYear("2001");
    EXPECT_EQ(conv.ReadTags(Wav("a.wav", 44100, 2, 16, 1)), 0);
    for (const QString& t : {conv.TagAlbum(), conv.TagArtist(), conv.TagComment(), conv.TagGenre(), conv.TagTitle(),
                             conv.TagTrack(), conv.TagYear()})
        EXPECT_TRUE(t.isEmpty()) << t.toStdString();
    EXPECT_EQ(conv.ReadTags(Path("missing.wav")), kConvertErrSourceMissing);
}

TEST(FormatTime, GivesHoursMinutesSeconds)
{
    cAudioConverter c;
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "00:00:00"},     {2, "00:00:02"},     {59, "00:00:59"},     {3725, "01:02:05"},
        {86399, "23:59:59"}, {86400, "23:59:59"}, {500000, "23:59:59"}, {-5, "00:00:00"}};
    for (const auto& [seconds, text] : cases) EXPECT_EQ(c.FormatTime(seconds).toString("HH:mm:ss"), text) << seconds;
}

// ---------------------------------------------------------------------------
// Codec lists

const QStringList kAllAcmCodecs = {"PCM",      "CCITT A-Law", "CCITT u-Law", "Microsoft ADPCM", "IMA ADPCM",
                                   "GSM 6.10", "G.726 ADPCM", "G.723.1",     "MPEG Layer-3"};

QStringList Codecs(cAudioConverter& c, int tag, int rate, int channels, int bits, int flags)
{
    QStringList names;
    QObject context;
    QObject::connect(&c, &cAudioConverter::ACMFormatTagFound, &context, [&](const QString& n) { names << n; });
    c.EnumACMFormatTags(tag, rate, channels, bits, flags);
    return names; // complete when the call returns
}

QStringList Formats(cAudioConverter& c, const QString& codec)
{
    QStringList formats;
    QObject context;
    QObject::connect(&c, &cAudioConverter::ACMFormatFound, &context, [&](const QString& f) { formats << f; });
    c.EnumACMFormats(codec);
    return formats;
}

TEST(AcmLists, EveryCodecForPcmSources)
{
    cAudioConverter c;
    EXPECT_EQ(Codecs(c, 1, 44100, 2, 16, 0), kAllAcmCodecs);
    EXPECT_TRUE(Codecs(c, 2, 44100, 2, 16, 0).isEmpty()) << "only PCM sources are described";
}

TEST(AcmLists, SuggestFlagKeepsTheCodecsThatTakeTheSource)
{
    cAudioConverter c;
    // The telephone codecs take 8 kHz mono only.
    QStringList notTelephone = kAllAcmCodecs;
    for (const char* codec : {"GSM 6.10", "G.726 ADPCM", "G.723.1"}) notTelephone.removeAll(codec);
    EXPECT_EQ(Codecs(c, 1, 44100, 2, 16, kACMFormatEnumSuggest), notTelephone);
    EXPECT_EQ(Codecs(c, 1, 8000, 1, 16, kACMFormatEnumSuggest), kAllAcmCodecs);
    EXPECT_EQ(Codecs(c, 1, 48000, 2, 24, kACMFormatEnumSuggest), (QStringList{"PCM", "MPEG Layer-3"}));
    EXPECT_TRUE(Codecs(c, 1, 7000, 2, 16, kACMFormatEnumSuggest).isEmpty());
}

TEST(AcmLists, FormatsOfACodec)
{
    cAudioConverter c;
    const QStringList pcm = Formats(c, "PCM");
    EXPECT_EQ(pcm.value(0), "44.100 kHz, 16 Bit, Stereo");
    EXPECT_TRUE(pcm.contains("8.000 kHz, 8 Bit, Mono"));
    EXPECT_TRUE(pcm.contains("48.000 kHz, 16 Bit, Mono"));
    EXPECT_EQ(Formats(c, "GSM 6.10"), QStringList{"8.000 kHz, 13 kbit/s, Mono"});
    EXPECT_EQ(Formats(c, "G.726 ADPCM"), (QStringList{"8.000 kHz, 40 kbit/s, Mono", "8.000 kHz, 32 kbit/s, Mono",
                                                      "8.000 kHz, 24 kbit/s, Mono", "8.000 kHz, 16 kbit/s, Mono"}));
    EXPECT_EQ(Formats(c, "G.723.1"), QStringList{"8.000 kHz, 6.3 kbit/s, Mono"});
    EXPECT_TRUE(Formats(c, "MPEG Layer-3").contains("22.050 kHz, 64 kbit/s, Mono"));
    EXPECT_TRUE(Formats(c, "").isEmpty());
    EXPECT_TRUE(Formats(c, "pcm").isEmpty()) << "names are matched exactly";
    for (const QString& codec : kAllAcmCodecs) EXPECT_FALSE(Formats(c, codec).isEmpty()) << codec.toStdString();
}

TEST(WmaLists, CodecsAndFormats)
{
    cAudioConverter c;
    ASSERT_EQ(c.WMACodecCount(), 2);
    EXPECT_EQ(c.WMACodecName(0), "Windows Media Audio V1");
    EXPECT_EQ(c.WMACodecName(1), "Windows Media Audio V2");
    for (int codec = 0; codec < 2; ++codec) {
        ASSERT_GT(c.WMAFormatCount(codec), 10);
        EXPECT_EQ(c.WMAFormatName(codec, 0), "192 kbit/s, 44.100 kHz, Stereo");
        for (int f = 0; f < c.WMAFormatCount(codec); ++f)
            EXPECT_TRUE(c.WMAFormatName(codec, f).contains(" kbit/s, ")) << c.WMAFormatName(codec, f).toStdString();
    }
    EXPECT_EQ(c.WMACodecName(2), "");
    EXPECT_EQ(c.WMAFormatCount(-1), 0);
    EXPECT_EQ(c.WMAFormatName(0, 1000), "");
}

} // namespace

// The reader opens no more of a file than its facts need: for each kind of
// file its facts and tags are those of FFmpeg's full stream analysis.
namespace {

struct ReadCase {
    const char* name;
    QStringList ffmpegArgs; // output options, the source being a 1.3 s 44.1 kHz stereo WAV
    QByteArray cutTo;       // "": whole; else the file is cut to that many bytes or made "streamed"
};

struct FullFacts {
    audiodec::Facts facts;
    AudioTags tags;
};

// The facts and tags as the full analysis gives them (the tag keys are the reader's).
FullFacts ReadFully(const QString& path)
{
    FullFacts f;
    audiodec::Source source;
    if (!source.Open(path, audiodec::Analysis::Full).ok()) return f;
    f.facts = source.GetFacts();
    f.tags.album = source.Tag({"album", "WM/AlbumTitle"});
    f.tags.artist = source.Tag({"artist", "author", "album_artist"});
    f.tags.comment = source.Tag({"comment", "description"});
    f.tags.genre = source.Tag({"genre"});
    f.tags.title = source.Tag({"title"});
    f.tags.track = source.Tag({"track", "tracknumber", "WM/TrackNumber"});
    f.tags.year = source.Tag({"date", "year", "WM/Year", "TYER", "TDRC"});
    return f;
}

// The seven tags the converter read, and those of the full analysis, in one order.
QStringList TagsRead(const cAudioConverter& conv)
{
    return {conv.TagAlbum(), conv.TagArtist(), conv.TagComment(), conv.TagGenre(),
            conv.TagTitle(), conv.TagTrack(),  conv.TagYear()};
}
QStringList TagsOf(const FullFacts& full)
{
    return {full.tags.album, full.tags.artist, full.tags.comment, full.tags.genre,
            full.tags.title, full.tags.track,  full.tags.year};
}

// The header reading of `path` gives exactly the facts the full analysis gave.
void ExpectHeaderFactsAsFull(const QString& path, const FullFacts& full, const char* name)
{
    audiodec::Source header;
    ASSERT_TRUE(header.Open(path, audiodec::Analysis::HeaderWhenExact).ok()) << name;
    const audiodec::Facts f = header.GetFacts();
    EXPECT_EQ(f.sampleRate, full.facts.sampleRate) << name;
    EXPECT_EQ(f.channels, full.facts.channels) << name;
    EXPECT_EQ(f.bitsPerSample, full.facts.bitsPerSample) << name;
    EXPECT_EQ(f.lengthMs, full.facts.lengthMs) << name;
    EXPECT_EQ(f.bitRate, full.facts.bitRate) << name;
}

void PutLE32(QByteArray& bytes, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

TEST_F(ConverterTest, FactsAndTagsAreThoseOfTheFullAnalysis)
{
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    const QStringList tags = {"-metadata", "title=Title", "-metadata", "artist=Artist", "-metadata", "album=Album",
                              "-metadata", "date=1999",   "-metadata", "track=3",       "-metadata", "genre=Jazz",
                              "-metadata", "comment=Note"};
    const ReadCase cases[] = {
        {"s16.wav", tags, ""},
        {"u8.wav", {"-ac", "1", "-c:a", "pcm_u8"}, ""},
        {"s24.wav", {"-c:a", "pcm_s24le"}, ""},
        {"s32.wav", {"-c:a", "pcm_s32le", "-ac", "1"}, ""},
        {"f32.wav", {"-c:a", "pcm_f32le"}, ""},
        {"six.wav", {"-ac", "6", "-ar", "48000"}, ""},
        {"ext20.wav", {"-ac", "3", "-c:a", "pcm_s24le", "-bits_per_raw_sample", "20"}, ""},
        {"ima.wav", {"-c:a", "adpcm_ima_wav"}, ""},
        {"ms.wav", {"-c:a", "adpcm_ms", "-ac", "1"}, ""},
        {"alaw.wav", {"-c:a", "pcm_alaw", "-ac", "1"}, ""},
        {"gsm.wav", {"-c:a", "libgsm_ms", "-ar", "8000", "-ac", "1"}, ""},
        {"mp3inwav.wav", {"-c:a", "libmp3lame"}, ""},
        {"rf64.wav", {"-rf64", "always"}, ""},
        {"cut.wav", {}, "40000"},
        {"streamed.wav", {}, "streamed"},
        {"xing.mp3", QStringList{"-b:a", "128k"} + tags, ""},
        {"noxing.mp3", {"-b:a", "128k", "-write_xing", "0"}, ""},
        {"vbr.mp3", {"-q:a", "4", "-ac", "1"}, ""},
        {"vbrnoxing.mp3", {"-q:a", "4", "-ac", "1", "-write_xing", "0"}, ""},
        {"id3v23.mp3", QStringList{"-ar", "22050", "-id3v2_version", "3"} + tags, ""},
        {"vorbis.ogg", QStringList{"-c:a", "libvorbis"} + tags, ""},
        {"vorbis22.ogg", {"-c:a", "libvorbis", "-ar", "22050", "-ac", "1"}, ""},
        {"flac.ogg", {"-c:a", "flac"}, ""},
        {"wma2.wma", QStringList{"-c:a", "wmav2"} + tags, ""},
        {"wma1.wma", {"-c:a", "wmav1", "-ac", "1", "-ar", "22050", "-b:a", "32k"}, ""},
        {"a.flac", tags, ""},
        {"a.m4a", {"-c:a", "aac"}, ""},
    };
    const QString source = Wav("source.wav", 44100, 2, 16, 1.3);
    for (const ReadCase& c : cases) {
        const QString path = Path(c.name);
        const ToolRun run = RunTool("ffmpeg", QStringList{"-v", "error", "-y", "-i", source} + c.ffmpegArgs + QStringList{path});
        ASSERT_TRUE(run.ok && run.exitCode == 0) << c.name << run.out.toStdString();
        if (!c.cutTo.isEmpty()) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            QByteArray bytes = f.readAll();
            if (c.cutTo == "streamed") {
                PutLE32(bytes, 4, 0xFFFFFFFF);
                PutLE32(bytes, bytes.indexOf("data") + 4, 0xFFFFFFFF);
            } else {
                bytes.truncate(c.cutTo.toInt());
            }
            f.resize(0);
            f.write(bytes);
        }
        const FullFacts full = ReadFully(path);
        ASSERT_GT(full.facts.sampleRate, 0) << c.name;
        ExpectHeaderFactsAsFull(path, full, c.name);

        ASSERT_EQ(conv.OpenSourceFile(path), 0) << c.name;
        EXPECT_EQ(conv.SourceSampleRate(), full.facts.sampleRate) << c.name;
        EXPECT_EQ(conv.SourceChannels(), full.facts.channels) << c.name;
        EXPECT_EQ(conv.SourceBitsPerSample(), full.facts.bitsPerSample) << c.name;
        EXPECT_EQ(conv.SourceLength(), full.facts.lengthMs) << c.name;
        EXPECT_EQ(conv.ReadTags(path), 0) << c.name;
        EXPECT_EQ(TagsRead(conv), TagsOf(full)) << c.name;
        conv.CloseSourceFile();
        // Another file's tags are read from that file.
        cAudioConverter other;
        EXPECT_EQ(other.ReadTags(path), 0) << c.name;
        EXPECT_EQ(other.TagTitle(), full.tags.title) << c.name;
    }
    // The tagged files did carry their tags through.
    EXPECT_EQ(ReadFully(Path("s16.wav")).tags.artist, "Artist");
    EXPECT_EQ(ReadFully(Path("vorbis.ogg")).tags.year, "1999");
    EXPECT_EQ(ReadFully(Path("wma2.wma")).tags.album, "Album");
}

TEST_F(ConverterTest, ReadTagsOfAnotherFileThanTheOpenOneReadsThatFile)
{
    // The tags kept with the open file belong to that file only.
    ASSERT_EQ(conv.OpenSourceFile(Wav("a.wav", 8000, 1, 16, 1)), 0);
    EXPECT_EQ(conv.ReadTags(Path("missing.wav")), kConvertErrSourceMissing);
    EXPECT_TRUE(conv.TagTitle().isEmpty());
}

// Plain WAV files are read from their chunks alone: where that gives facts,
// they are FFmpeg's; anything FFmpeg might read otherwise is left to it.
namespace {

QByteArray LE(quint32 v, int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i) b += char((v >> (8 * i)) & 0xFF);
    return b;
}

QByteArray Chunk(const QByteArray& id, const QByteArray& body, bool pad = true)
{
    QByteArray c = id + LE(quint32(body.size()), 4) + body;
    if (pad && body.size() % 2) c += '\0';
    return c;
}

QByteArray FmtBody(quint32 tag, quint32 channels, quint32 rate, quint32 bits, int size = 16)
{
    QByteArray b = LE(tag, 2) + LE(channels, 2) + LE(rate, 4) + LE(rate * channels * bits / 8, 4) +
                   LE(channels * bits / 8, 2) + LE(bits, 2);
    if (size >= 18) b += LE(0, 2);
    return b;
}

// Some noise-like sample bytes.
QByteArray Samples(int bytes, quint32 seed = 1)
{
    QByteArray b(bytes, '\0');
    for (int i = 0; i < bytes; ++i) {
        seed = seed * 1103515245u + 12345u;
        b[i] = char(seed >> 16);
    }
    return b;
}

QByteArray Riff(const QByteArray& chunks) { return "RIFF" + LE(quint32(chunks.size() + 4), 4) + "WAVE" + chunks; }

} // namespace

TEST_F(ConverterTest, PlainWavFilesAreReadFromTheirChunksAsFFmpegReadsThem)
{
    const QByteArray fmt16 = Chunk("fmt ", FmtBody(1, 2, 44100, 16));
    const struct {
        const char* name;
        QByteArray bytes;
    } read[] = {
        {"s16", Riff(fmt16 + Chunk("data", Samples(44100)))},
        {"u8 mono", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 8)) + Chunk("data", Samples(12345)))},
        {"s24", Riff(Chunk("fmt ", FmtBody(1, 2, 48000, 24)) + Chunk("data", Samples(6 * 4801)))},
        {"s32 six", Riff(Chunk("fmt ", FmtBody(1, 6, 96000, 32)) + Chunk("data", Samples(24 * 999)))},
        {"float", Riff(Chunk("fmt ", FmtBody(3, 2, 22050, 32)) + Chunk("data", Samples(8 * 3333)))},
        {"double", Riff(Chunk("fmt ", FmtBody(3, 1, 11025, 64)) + Chunk("data", Samples(8 * 777)))},
        {"fmt of 18", Riff(Chunk("fmt ", FmtBody(1, 2, 44100, 16, 18)) + Chunk("data", Samples(4000)))},
        {"odd data, padded", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 8)) + Chunk("data", Samples(1001)))},
        {"odd data, unpadded", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 8)) + Chunk("data", Samples(1001), false))},
        {"part of a sample", Riff(fmt16 + Chunk("data", Samples(4003)))},
        {"tags", Riff(fmt16 + Chunk("data", Samples(4000)) + Chunk("LIST", "INFOINAM" + LE(4, 4) + QByteArray("abc\0", 4)))},
        {"S/PDIF sync past the probe",
         Riff(fmt16 + Chunk("data", QByteArray(32768, '\0') + QByteArray("\x72\xF8\x1F\x4E", 4) + Samples(8000)))},
        {"junk, fact, data first",
         Riff(Chunk("JUNK", Samples(28)) + Chunk("data", Samples(8000)) + Chunk("fact", LE(2000, 4)) + fmt16 +
              Chunk("PAD ", QByteArray(5, '\0')))},
    };
    for (const auto& c : read) {
        QFile f(Path("read.wav"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        const std::optional<audiodec::Facts> plain = audiodec::PlainWavFacts(Path("read.wav"));
        ASSERT_TRUE(plain.has_value()) << c.name;
        const FullFacts full = ReadFully(Path("read.wav"));
        EXPECT_EQ(plain->sampleRate, full.facts.sampleRate) << c.name;
        EXPECT_EQ(plain->channels, full.facts.channels) << c.name;
        EXPECT_EQ(plain->bitsPerSample, full.facts.bitsPerSample) << c.name;
        EXPECT_EQ(plain->lengthMs, full.facts.lengthMs) << c.name;
        EXPECT_EQ(plain->bitRate, full.facts.bitRate) << c.name;
    }

    QByteArray act = Riff(fmt16 + Chunk("data", QByteArray(1000, '\0')));
    act[256] = char(0x84);
    QByteArray spdif = Samples(20000);
    spdif.replace(5000, 4, QByteArray("\x72\xF8\x1F\x4E", 4));
    const struct {
        const char* name;
        QByteArray bytes;
    } leftToFFmpeg[] = {
        {"tags past their list", Riff(fmt16 + Chunk("data", Samples(4000)) + Chunk("LIST", "INFOINAM" + LE(4, 4) + "abc"))},
        {"a title twice", Riff(fmt16 + Chunk("data", Samples(4000)) + Chunk("LIST", "INFOINAM" + LE(4, 4) + QByteArray("abc\0", 4)) +
                               Chunk("LIST", "INFOINAM" + LE(2, 4) + "de"))},
        {"broadcast", Riff(Chunk("bext", QByteArray(602, '\0')) + fmt16 + Chunk("data", Samples(4000)))},
        {"extensible", Riff(Chunk("fmt ", FmtBody(0xFFFE, 2, 44100, 16) + LE(22, 2) + QByteArray(22, '\0')) +
                            Chunk("data", Samples(4000)))},
        {"adpcm", Riff(Chunk("fmt ", FmtBody(2, 1, 8000, 4)) + Chunk("data", Samples(4000)))},
        {"12 bits", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 12)) + Chunk("data", Samples(4000)))},
        {"cut short", Riff(fmt16 + Chunk("data", Samples(4000))).left(3000)},
        {"streamed", Riff(fmt16 + "data" + LE(0xFFFFFFFF, 4) + Samples(4000))},
        {"empty data", Riff(fmt16 + Chunk("data", {}))},
        {"two data", Riff(fmt16 + Chunk("data", Samples(400)) + Chunk("data", Samples(400)))},
        {"no fmt", Riff(Chunk("data", Samples(4000)))},
        {"bytes after the chunks", Riff(fmt16 + Chunk("data", Samples(4000))) + "xyz"},
        {"ACT probe", act},
        {"S/PDIF sync", Riff(fmt16 + Chunk("data", spdif))},
        {"big endian", "RIFX" + Riff(fmt16 + Chunk("data", Samples(4000))).mid(4)},
    };
    for (const auto& c : leftToFFmpeg) {
        QFile f(Path("left.wav"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        EXPECT_FALSE(audiodec::PlainWavFacts(Path("left.wav")).has_value()) << c.name;
    }
}

// An S/PDIF burst in a WAV's data is the codec inside for FFmpeg only where
// the first one starts near the start of the data: the plain reading leaves
// those files to it and reads the others as FFmpeg does.
TEST_F(ConverterTest, PlainWavReadingLeavesSpdifBurstsToFFmpeg)
{
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    const QString burst = Path("burst.spdif");
    ASSERT_EQ(RunTool("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=d=1", "-ac", "2", "-c:a", "ac3", "-f",
                                 "spdif", burst})
                  .exitCode,
              0);
    const QByteArray bursts = ReadFile(burst);
    const QByteArray fmt = Chunk("fmt ", FmtBody(1, 2, 48000, 16));
    for (int silence : {0, 20000, 32760, 32764, 32768, 40000}) {
        WriteFile(Path("spdif.wav"), Riff(fmt + Chunk("data", QByteArray(silence, '\0') + bursts)));
        audiodec::Source full;
        ASSERT_TRUE(full.Open(Path("spdif.wav"), audiodec::Analysis::Full).ok()) << silence;
        const bool pcm = full.Parameters()->codec_id == AV_CODEC_ID_PCM_S16LE;
        EXPECT_EQ(silence < 32768, !pcm) << silence; // the bursts were seen where they start early
        const std::optional<audiodec::Facts> plain = audiodec::PlainWavFacts(Path("spdif.wav"));
        EXPECT_EQ(plain.has_value(), pcm) << silence;
        if (plain) {
            EXPECT_EQ(plain->lengthMs, full.GetFacts().lengthMs) << silence;
            EXPECT_EQ(plain->bitRate, full.GetFacts().bitRate) << silence;
        }
    }
}

TEST_F(ConverterTest, WhereverPlainWavReadingGivesFactsTheyAreFFmpegsOwn)
{
    // Random headers, chunks and lengths: whenever the chunks alone give facts,
    // FFmpeg's full analysis gives the same.
    quint32 seed = 20240611;
    auto next = [&](quint32 below) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % below;
    };
    int read = 0;
    for (int round = 0; round < 300; ++round) {
        const quint32 tags[] = {1, 1, 1, 3, 2, 6, 7, 0xFFFE};
        const quint32 bitsChoice[] = {8, 16, 24, 32, 64, 12, 4};
        const quint32 rates[] = {8000, 11025, 44100, 48000, 96000, 1, 0};
        const quint32 tag = tags[next(8)];
        const quint32 channels = next(9);
        const quint32 bits = bitsChoice[next(7)];
        const quint32 rate = rates[next(7)];
        QByteArray fmtBody = FmtBody(tag, channels, rate, bits, next(4) == 0 ? 18 : 16);
        if (next(8) == 0) fmtBody[8 + next(6)] = char(next(256)); // a damaged rate, block or bits field
        QByteArray chunks;
        const QByteArray fmt = Chunk("fmt ", fmtBody);
        const QByteArray data = Chunk("data", Samples(int(next(20000)) + 1, seed), next(3) != 0);
        const QByteArray extras[] = {Chunk("JUNK", Samples(int(next(40)))), Chunk("fact", LE(next(100000), 4)),
                                     Chunk("PAD ", QByteArray(int(next(9)), '\0')), QByteArray()};
        const QByteArray extra = extras[next(4)];
        switch (next(3)) {
        case 0: chunks = fmt + data + extra; break;
        case 1: chunks = extra + fmt + data; break;
        default: chunks = data + extra + fmt; break;
        }
        QByteArray bytes = Riff(chunks);
        if (next(10) == 0) bytes.truncate(int(next(quint32(bytes.size()))));
        QFile f(Path("random.wav"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        const std::optional<audiodec::Facts> plain = audiodec::PlainWavFacts(Path("random.wav"));
        if (!plain) continue;
        ++read;
        const FullFacts full = ReadFully(Path("random.wav"));
        const QString what = QString("round %1: tag %2, %3 ch, %4 Hz, %5 bits").arg(round).arg(tag).arg(channels).arg(rate).arg(bits);
        EXPECT_EQ(plain->sampleRate, full.facts.sampleRate) << what.toStdString();
        EXPECT_EQ(plain->channels, full.facts.channels) << what.toStdString();
        EXPECT_EQ(plain->bitsPerSample, full.facts.bitsPerSample) << what.toStdString();
        EXPECT_EQ(plain->lengthMs, full.facts.lengthMs) << what.toStdString();
        EXPECT_EQ(plain->bitRate, full.facts.bitRate) << what.toStdString();
    }
    EXPECT_GT(read, 30) << "too few plain files to judge";
}

// A plain WAV's LIST INFO tags are read with its chunks, as FFmpeg names
// them; any list FFmpeg might read otherwise is left to it.
TEST_F(ConverterTest, WavInfoTagsAreReadFromTheChunksAsFFmpegReadsThem)
{
    const QByteArray fmt = Chunk("fmt ", FmtBody(1, 2, 44100, 16)), data = Chunk("data", Samples(8000));
    auto entry = [](const QByteArray& id, const QByteArray& value) { return Chunk(id, value); };
    const QByteArray all = entry("INAM", "A Title") + entry("IART", QByteArray("The Artist\0", 11)) +
                           entry("IPRD", "Album") + entry("ICRD", "2019") + entry("ITRK", "7/12") +
                           entry("IGNR", "Rock") + entry("ICMT", "Said") + entry("ISFT", "Lavf59.27.100");
    const struct {
        const char* name;
        QByteArray bytes;
        bool plain; // read from the chunks; else left to FFmpeg
    } cases[] = {
        {"every tag after the data", Riff(fmt + data + Chunk("LIST", "INFO" + all)), true},
        {"before the data", Riff(fmt + Chunk("LIST", "INFO" + all) + data), true},
        {"before the format", Riff(Chunk("LIST", "INFO" + all) + fmt + data), true},
        {"odd sizes, padded", Riff(fmt + Chunk("LIST", "INFO" + entry("INAM", "abc") + entry("IART", "de")) + data), true},
        {"lower-case ids", Riff(fmt + data + Chunk("LIST", "INFO" + entry("inam", "Low") + entry("Icrd", "1999"))), true},
        {"ids FFmpeg has no name for", Riff(fmt + data + Chunk("LIST", "INFO" + entry("YEAR", "1987") + entry("IENG", "x"))), true},
        {"an empty title", Riff(fmt + data + Chunk("LIST", "INFO" + entry("INAM", "") + entry("IART", "A"))), true},
        {"text past a zero", Riff(fmt + data + Chunk("LIST", "INFO" + entry("INAM", QByteArray("Tit\0le", 6)))), true},
        {"Latin-1 bytes", Riff(fmt + data + Chunk("LIST", "INFO" + entry("INAM", "Caf\xE9"))), true},
        {"UTF-8", Riff(fmt + data + Chunk("LIST", "INFO" + entry("INAM", "Caf\xC3\xA9 \xE2\x99\xAB"))), true},
        {"short bytes after the entries", Riff(fmt + data + Chunk("LIST", "INFO" + entry("INAM", "ab") + "xyz")), true},
        {"two lists", Riff(fmt + Chunk("LIST", "INFO" + entry("INAM", "T")) + data + Chunk("LIST", "INFO" + entry("IART", "A"))), true},
        {"two names for the track", Riff(fmt + data + Chunk("LIST", "INFO" + entry("IPRT", "1") + entry("ITRK", "2"))), false},
        {"an id beside its name", Riff(fmt + data + Chunk("LIST", "INFO" + entry("ICRD", "1") + entry("DATE", "2"))), false},
        {"an entry past the list", Riff(fmt + data + Chunk("LIST", "INFOINAM" + LE(40, 4) + "abc")), false},
        {"an id with a zero", Riff(fmt + data + Chunk("LIST", "INFO" + entry(QByteArray("IN\0M", 4), "abc"))), false},
        {"labels", Riff(fmt + data + Chunk("LIST", "adtl" + entry("labl", LE(1, 4) + "cue"))), false},
        {"lower-case list", Riff(fmt + data + Chunk("list", "INFO" + entry("INAM", "x"))), false},
    };
    for (const auto& c : cases) {
        WriteFile(Path("info.wav"), c.bytes);
        const std::optional<audiodec::PlainWav> plain = audiodec::ReadPlainWav(Path("info.wav"));
        ASSERT_EQ(plain.has_value(), c.plain) << c.name;
        const FullFacts full = ReadFully(Path("info.wav"));
        ASSERT_GT(full.facts.sampleRate, 0) << c.name;
        if (plain) {
            EXPECT_EQ(plain->facts.lengthMs, full.facts.lengthMs) << c.name;
        }
        ASSERT_EQ(conv.OpenSourceFile(Path("info.wav")), 0) << c.name;
        ASSERT_EQ(conv.ReadTags(Path("info.wav")), 0) << c.name;
        EXPECT_EQ(TagsRead(conv), TagsOf(full)) << c.name;
        conv.CloseSourceFile();
    }
    // The tags did come through.
    WriteFile(Path("info.wav"), cases[0].bytes);
    ASSERT_EQ(conv.ReadTags(Path("info.wav")), 0);
    EXPECT_EQ(QStringList({conv.TagTitle(), conv.TagArtist(), conv.TagAlbum(), conv.TagYear(), conv.TagTrack(),
                           conv.TagGenre(), conv.TagComment()}),
              QStringList({"A Title", "The Artist", "Album", "2019", "7/12", "Rock", "Said"}));
}

// MP3 files are read from their headers: on files shaped as encoders and
// taggers leave them, the lengths are the full analysis's within one frame,
// the other facts and the tags its own; only a variable bit rate that no Xing
// frame sums up, or junk before the first frame, is left to the analysis.
TEST_F(ConverterTest, Mp3FactsComeFromTheHeadersAsTheFullAnalysisFindsThem)
{
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    const QString source = Path("source.wav");
    const QString picture = Path("cover.jpg");
    ASSERT_EQ(RunTool("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=f=440:d=20", "-f", "lavfi", "-i",
                                 "anoisesrc=d=20:a=0.2", "-filter_complex", "[0][1]amix=inputs=2,volume=2", "-ar",
                                 "44100", "-ac", "2", source})
                  .exitCode,
              0);
    ASSERT_EQ(RunTool("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "mandelbrot=s=300x300", "-frames:v", "1",
                                 picture})
                  .exitCode,
              0);
    const QStringList tags = {"-metadata", "title=Title", "-metadata", "artist=Artist", "-metadata", "album=Album",
                              "-metadata", "date=1999",   "-metadata", "track=3",       "-metadata", "genre=Jazz"};
    const struct {
        const char* name;
        QStringList args; // between the WAV source and the output
        QByteArray junk;  // bytes put before the file
        bool fromHeaders;
    } cases[] = {
        {"cbr.mp3", QStringList{"-b:a", "192k"} + tags, "", true},
        {"cbr no info.mp3", QStringList{"-b:a", "160k", "-write_xing", "0"} + tags, "", true},
        {"cbr 22 kHz mono.mp3", {"-b:a", "32k", "-ar", "22050", "-ac", "1"}, "", true},
        {"vbr.mp3", QStringList{"-q:a", "2"} + tags, "", true},
        {"vbr no xing.mp3", {"-q:a", "2", "-write_xing", "0"}, "", false},
        {"picture.mp3",
         QStringList{"-i", picture, "-map", "0", "-map", "1", "-c:v", "copy", "-b:a", "192k", "-id3v2_version", "3",
                     "-metadata:s:v", "title=Album cover", "-metadata:s:v", "comment=Cover (front)"} +
             tags,
         "", true},
        {"picture v2.4.mp3",
         QStringList{"-i", picture, "-map", "0", "-map", "1", "-c:v", "copy", "-q:a", "2"} + tags, "", true},
        {"id3v1 only.mp3", {"-b:a", "128k", "-id3v2_version", "0"}, "", true},
        {"junk first.mp3", {"-b:a", "128k", "-id3v2_version", "0"}, QByteArray(3000, '\x5A'), false},
    };
    for (const auto& c : cases) {
        const QString path = Path(c.name);
        const ToolRun run =
            RunTool("ffmpeg", QStringList{"-v", "error", "-y", "-i", source} + c.args + QStringList{path});
        ASSERT_TRUE(run.ok && run.exitCode == 0) << c.name << run.out.toStdString();
        if (!c.junk.isEmpty()) WriteFile(path, c.junk + ReadFile(path));
        if (QString(c.name) == "id3v1 only.mp3" && HaveTool("id3v2")) {
            ASSERT_EQ(RunTool("id3v2", {"-1", "-t", "Title", "-a", "Artist", "-A", "Album", "-y", "1999", "-T", "3",
                                        "-g", "8", path})
                          .exitCode,
                      0);
        }
        const FullFacts full = ReadFully(path);
        ASSERT_GT(full.facts.sampleRate, 0) << c.name;
        audiodec::Source header;
        ASSERT_TRUE(header.Open(path, audiodec::Analysis::HeaderWhenExact).ok()) << c.name;
        EXPECT_EQ(header.FromHeaders(), c.fromHeaders) << c.name;
        const audiodec::Facts f = header.GetFacts();
        const std::int64_t frameMs = 1152 * 1000 / full.facts.sampleRate + 1;
        EXPECT_NEAR(double(f.lengthMs), double(full.facts.lengthMs), double(frameMs)) << c.name;
        // The analysis's own estimate for a variable rate is further off.
        if (c.fromHeaders) {
            EXPECT_NEAR(double(f.lengthMs), 20000, 100) << c.name;
        }
        EXPECT_EQ(f.sampleRate, full.facts.sampleRate) << c.name;
        EXPECT_EQ(f.channels, full.facts.channels) << c.name;
        EXPECT_EQ(f.bitsPerSample, full.facts.bitsPerSample) << c.name;
        EXPECT_EQ(f.bitRate, full.facts.bitRate) << c.name;

        ASSERT_EQ(conv.OpenSourceFile(path), 0) << c.name;
        EXPECT_EQ(conv.SourceLength(), f.lengthMs) << c.name;
        EXPECT_EQ(conv.ReadTags(path), 0) << c.name;
        const QStringList read = {conv.TagAlbum(), conv.TagArtist(), conv.TagGenre(), conv.TagTitle(),
                                  conv.TagTrack(), conv.TagYear()};
        EXPECT_EQ(read, (QStringList{full.tags.album, full.tags.artist, full.tags.genre, full.tags.title,
                                     full.tags.track, full.tags.year}))
            << c.name;
        conv.CloseSourceFile();
    }
    // The tags did come through, the picture's and the ID3v1 tag's too.
    for (const char* tagged : {"cbr.mp3", "vbr.mp3", "picture.mp3", "id3v1 only.mp3"}) {
        if (QString(tagged) == "id3v1 only.mp3" && !HaveTool("id3v2")) continue;
        ASSERT_EQ(conv.ReadTags(Path(tagged)), 0);
        EXPECT_EQ(conv.TagArtist(), "Artist") << tagged;
        EXPECT_EQ(conv.TagYear(), "1999") << tagged;
    }
}

// An Ogg Vorbis file's length comes from its last page alone, read without
// FFmpeg: on files shaped as encoders and taggers leave them the facts and
// tags are the full analysis's own; chained, multiplexed, cut or damaged
// files are left to FFmpeg.
TEST_F(ConverterTest, OggLengthComesFromTheLastPageAsTheFullAnalysisFindsIt)
{
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    const QString source = Path("source.wav");
    ASSERT_EQ(RunTool("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "anoisesrc=d=7.3:a=0.3", "-ar", "44100",
                                 "-ac", "2", source})
                  .exitCode,
              0);
    auto encode = [&](const QString& name, const QStringList& args) {
        return RunTool("ffmpeg", QStringList{"-v", "error", "-y", "-i", source} + args + QStringList{Path(name)}).exitCode == 0;
    };
    const QStringList tags = {"-metadata", "title=Title", "-metadata", "artist=Artist", "-metadata", "date=1999"};
    ASSERT_TRUE(encode("plain.ogg", QStringList{"-c:a", "libvorbis"} + tags));
    ASSERT_TRUE(encode("long comments.ogg", QStringList{"-c:a", "libvorbis", "-metadata",
                                                        "comment=" + QString(100000, QChar('c'))} + tags));
    ASSERT_TRUE(encode("mono 22 kHz.ogg", {"-c:a", "libvorbis", "-ar", "22050", "-ac", "1", "-q:a", "1"}));
    ASSERT_TRUE(encode("two streams.ogg", {"-map", "0", "-map", "0", "-c:a", "libvorbis"}));
    ASSERT_TRUE(encode("flac.ogg", {"-c:a", "flac"}));
    const QByteArray plain = ReadFile(Path("plain.ogg"));
    WriteFile(Path("chained.ogg"), plain + ReadFile(Path("mono 22 kHz.ogg")));
    WriteFile(Path("cut.ogg"), plain.left(plain.size() - 100));
    QByteArray damaged = plain;
    damaged[damaged.size() - 50] = char(damaged[damaged.size() - 50] ^ 0x55);
    WriteFile(Path("damaged.ogg"), damaged);

    const struct {
        const char* name;
        int lastPage; // 1: a length in the last page, 0: none, -1: either (which stream's page ends the file)
    } cases[] = {
        {"plain.ogg", 1},        {"long comments.ogg", 1}, {"mono 22 kHz.ogg", 1}, {"two streams.ogg", -1},
        {"flac.ogg", 1},         {"chained.ogg", 0},       {"cut.ogg", 0},         {"damaged.ogg", 0},
    };
    for (const auto& c : cases) {
        const QString path = Path(c.name);
        if (c.lastPage >= 0) {
            EXPECT_EQ(audiodec::OggLastGranule(path).has_value(), c.lastPage == 1) << c.name;
        }
        const FullFacts full = ReadFully(path);
        ASSERT_GT(full.facts.sampleRate, 0) << c.name;
        ExpectHeaderFactsAsFull(path, full, c.name);
        ASSERT_EQ(conv.OpenSourceFile(path), 0) << c.name;
        EXPECT_EQ(conv.SourceLength(), full.facts.lengthMs) << c.name;
        ASSERT_EQ(conv.ReadTags(path), 0) << c.name;
        EXPECT_EQ(QStringList({conv.TagTitle(), conv.TagArtist(), conv.TagYear(), conv.TagComment()}),
                  QStringList({full.tags.title, full.tags.artist, full.tags.year, full.tags.comment}))
            << c.name;
        conv.CloseSourceFile();
    }
    // The tags and the length did come through.
    ASSERT_EQ(conv.OpenSourceFile(Path("long comments.ogg")), 0);
    EXPECT_NEAR(conv.SourceLength(), 7300, 1);
    ASSERT_EQ(conv.ReadTags(Path("long comments.ogg")), 0);
    EXPECT_EQ(conv.TagArtist(), "Artist");
    EXPECT_EQ(conv.TagComment().size(), 100000);
}

// Facts skip FFmpeg's probe only where its choice is sure: a WAV file that its
// probe gives to the ACT demuxer still goes to the probe.
TEST_F(ConverterTest, FactsSkipTheProbeOnlyWhereItsChoiceIsSure)
{
    QByteArray act = Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 16)) + Chunk("data", QByteArray(4000, '\0')));
    act[256] = char(0x84);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"act.wav", act},
        {"plain.wav", Riff(Chunk("fmt ", FmtBody(1, 2, 44100, 16)) + Chunk("data", Samples(40000)) +
                           Chunk("LIST", "INFOINAM" + LE(4, 4) + "abc"))},
    };
    for (const auto& c : cases) {
        WriteFile(Path(c.name), c.bytes);
        audiodec::Source full, header;
        ASSERT_TRUE(full.Open(Path(c.name), audiodec::Analysis::Full).ok()) << c.name;
        ASSERT_TRUE(header.Open(Path(c.name), audiodec::Analysis::HeaderWhenExact).ok()) << c.name;
        EXPECT_EQ(header.ContainerName(), full.ContainerName()) << c.name;
        EXPECT_EQ(header.GetFacts().lengthMs, full.GetFacts().lengthMs) << c.name;
        EXPECT_EQ(header.Tag({"title"}), full.Tag({"title"})) << c.name;
    }
}

// A file's facts take a few pages at its start and end: the reader asks the
// kernel for those alone, not for the megabytes its read-ahead would add.
namespace {

// Writes the file out and drops its pages from the page cache.
bool DropPages(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const bool dropped = fd >= 0 && ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    if (fd >= 0) ::close(fd);
    return dropped;
}

// The file's pages in the page cache (as fincore counts them); -1 when unknown.
long CachedPages(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    long cached = -1;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        const size_t length = size_t(st.st_size), page = size_t(::sysconf(_SC_PAGESIZE));
        void* map = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
        std::vector<unsigned char> resident((length + page - 1) / page);
        if (map != MAP_FAILED && ::mincore(map, length, resident.data()) == 0)
            cached = long(std::count_if(resident.begin(), resident.end(), [](unsigned char r) { return r & 1; }));
        if (map != MAP_FAILED) ::munmap(map, length);
    }
    ::close(fd);
    return cached;
}

} // namespace

TEST_F(ConverterTest, FactsReadOnlyTheFewPagesTheyNeed)
{
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    const QString source = Path("source.wav"), picture = Path("cover.jpg");
    ASSERT_EQ(RunTool("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "anoisesrc=d=90:a=0.3", "-ar", "44100", "-ac",
                                 "2", source})
                  .exitCode,
              0);
    ASSERT_EQ(RunTool("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "mandelbrot=s=600x600", "-frames:v", "1",
                                 "-q:v", "3", picture})
                  .exitCode,
              0);
    const struct {
        const char* name;
        QStringList args; // between the WAV source and the output; none: the source itself
        long pages;       // at most
    } cases[] = {
        // The header, and the samples FFmpeg looks at for S/PDIF bursts.
        {"source.wav", {}, 10},
        // The header pages, the first audio page and the last page.
        {"long.ogg", {"-c:a", "libvorbis", "-metadata", "title=Title"}, 16},
        // The tags but for the cover (90 KB), the first frames, the ID3v1 tag.
        {"long.mp3",
         {"-i", picture, "-map", "0", "-map", "1", "-c:v", "copy", "-b:a", "192k", "-id3v2_version", "3", "-metadata",
          "title=Title"},
         16},
        {"long 2.4.mp3", {"-i", picture, "-map", "0", "-map", "1", "-c:v", "copy", "-b:a", "192k"}, 16},
    };
    for (const auto& c : cases) {
        const QString path = Path(c.name);
        if (!c.args.isEmpty()) {
            ASSERT_EQ(RunTool("ffmpeg", QStringList{"-v", "error", "-y", "-i", source} + c.args + QStringList{path})
                          .exitCode,
                      0)
                << c.name;
        }
        ASSERT_TRUE(DropPages(path)) << c.name;
        if (CachedPages(path) != 0) GTEST_SKIP() << "the page cache keeps the test files";
        ASSERT_EQ(conv.OpenSourceFile(path), 0) << c.name;
        EXPECT_NEAR(conv.SourceLength(), 90000, 50) << c.name;
        conv.CloseSourceFile();
        EXPECT_LE(CachedPages(path), c.pages) << c.name << ": " << QFileInfo(path).size() << " bytes";
    }
}
