// The control as a file reader, its time text and its codec lists.
#include "AudioTestSupport.h"

#include "controls/AudioDecoder.h"

#include <QFile>

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

        audiodec::Source header;
        ASSERT_TRUE(header.Open(path, audiodec::Analysis::HeaderWhenExact).ok()) << c.name;
        const audiodec::Facts f = header.GetFacts();
        EXPECT_EQ(f.sampleRate, full.facts.sampleRate) << c.name;
        EXPECT_EQ(f.channels, full.facts.channels) << c.name;
        EXPECT_EQ(f.bitsPerSample, full.facts.bitsPerSample) << c.name;
        EXPECT_EQ(f.lengthMs, full.facts.lengthMs) << c.name;
        EXPECT_EQ(f.bitRate, full.facts.bitRate) << c.name;

        ASSERT_EQ(conv.OpenSourceFile(path), 0) << c.name;
        EXPECT_EQ(conv.SourceSampleRate(), full.facts.sampleRate) << c.name;
        EXPECT_EQ(conv.SourceChannels(), full.facts.channels) << c.name;
        EXPECT_EQ(conv.SourceBitsPerSample(), full.facts.bitsPerSample) << c.name;
        EXPECT_EQ(conv.SourceLength(), full.facts.lengthMs) << c.name;
        EXPECT_EQ(conv.ReadTags(path), 0) << c.name;
        const QStringList read = {conv.TagAlbum(), conv.TagArtist(), conv.TagComment(), conv.TagGenre(),
                                  conv.TagTitle(), conv.TagTrack(),  conv.TagYear()};
        const QStringList expected = {full.tags.album, full.tags.artist, full.tags.comment, full.tags.genre,
                                      full.tags.title, full.tags.track,  full.tags.year};
        EXPECT_EQ(read, expected) << c.name;
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
