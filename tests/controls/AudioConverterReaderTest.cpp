// The control as a file reader, its time text and its codec lists.
#include "AudioTestSupport.h"

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
