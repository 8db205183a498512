// The fake conversion control that window tests use, and the factory.
#include "controls/audio/AudioTestSupport.h"
#include "support/FakeAudioConverter.h"

#include <QCoreApplication>
#include <QFile>

using namespace audiotest;

namespace {

class FakeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetAudioConverterFactory([] { return std::make_unique<FakeAudioConverter>(); });
    }
    void TearDown() override { SetAudioConverterFactory({}); }
    QTemporaryDir dir;
};

TEST_F(FakeTest, TheFactoryHandsOutTheFake)
{
    std::unique_ptr<cAudioConverter> c = CreateAudioConverter();
    EXPECT_EQ(FakeAudioConverter::Last(), c.get());
    SetAudioConverterFactory({});
    std::unique_ptr<cAudioConverter> real = CreateAudioConverter();
    EXPECT_EQ(dynamic_cast<FakeAudioConverter*>(real.get()), nullptr);
}

TEST_F(FakeTest, ScriptedEndingsArriveQueuedInOrder)
{
    auto owned = CreateAudioConverter();
    FakeAudioConverter& fake = *FakeAudioConverter::Last();
    fake.QueueScript({{10, 60}, FakeAudioConverter::Ending::Error, 7, "Refused"});
    fake.QueueScript({{50}, FakeAudioConverter::Ending::Done});
    fake.SetDestinationFile(dir.filePath("out.mp3"));

    ConvertEvents ev = RunConvert(fake);
    EXPECT_FALSE(ev.eventBeforeReturn);
    EXPECT_EQ(ev.progress, (std::vector<std::int32_t>{10, 60}));
    EXPECT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, 7);
    EXPECT_EQ(ev.errorText, "Refused");
    EXPECT_FALSE(QFile::exists(dir.filePath("out.mp3")));

    ev = RunConvert(fake);
    EXPECT_EQ(ev.endings, QStringList{"Done"});
    EXPECT_TRUE(QFile::exists(dir.filePath("out.mp3")));
    ev = RunConvert(fake); // no script left: done at 100 %
    EXPECT_EQ(ev.progress, std::vector<std::int32_t>{100});
    EXPECT_EQ(ev.endings, QStringList{"Done"});
}

TEST_F(FakeTest, AHangingConversionEndsByAbort)
{
    FakeAudioConverter fake;
    fake.QueueScript({{20}, FakeAudioConverter::Ending::Hang});
    const ConvertEvents ev = RunConvert(fake, [&](std::int32_t) { fake.Abort(); });
    EXPECT_EQ(ev.endings, QStringList{"Aborted"});
    EXPECT_EQ(fake.calls, (QStringList{"Convert", "Abort"}));
}

TEST_F(FakeTest, RecordsWhatEachConvertWasGiven)
{
    FakeAudioConverter fake;
    fake.SetDestinationFormat(kDestFormatOGG);
    fake.SetOGGFormat({2, 128, 0});
    fake.SetTagTitle("Song");
    fake.SetSourceFile("/music/a.wav");
    fake.SetRangeStart(10);
    fake.SetRangeLength(5);
    fake.SetDestinationFile(dir.filePath("a.ogg"));
    RunConvert(fake);
    fake.SetSourceFile("/music/b.wav");
    fake.SetDestinationFile(dir.filePath("b.ogg"));
    RunConvert(fake);

    ASSERT_EQ(fake.converts.size(), 2u);
    const auto& a = fake.converts[0];
    EXPECT_EQ(a.source, "/music/a.wav");
    EXPECT_EQ(a.format, kDestFormatOGG);
    EXPECT_EQ(a.ogg.Mode, 2);
    EXPECT_EQ(a.ogg.NominalBitrate, 128);
    EXPECT_EQ(a.title, "Song");
    EXPECT_TRUE(a.ranged);
    EXPECT_EQ(a.rangeStart, 10);
    EXPECT_EQ(a.rangeLength, 5);
    EXPECT_FALSE(fake.converts[1].ranged) << "a new source forgets the range";
    EXPECT_EQ(fake.calls, (QStringList{"SetOGGFormat", "Convert", "Convert"}));
}

TEST_F(FakeTest, ServesFileFactsTagsAndCodecLists)
{
    FakeAudioConverter fake;
    FakeAudioConverter::File f;
    f.sampleRate = 22050;
    f.channels = 1;
    f.lengthMs = 2500;
    f.title = "T";
    fake.AddFile("/a.mp3", f);
    EXPECT_EQ(fake.OpenSourceFile("/a.mp3"), 0);
    EXPECT_EQ(fake.SourceSampleRate(), 22050);
    EXPECT_EQ(fake.SourceLength(), 2500);
    EXPECT_NE(fake.OpenSourceFile("/b.mp3"), 0);
    EXPECT_EQ(fake.ReadTags("/a.mp3"), 0);
    EXPECT_EQ(fake.TagTitle(), "T");

    QStringList names;
    QObject::connect(&fake, &cAudioConverter::ACMFormatTagFound, [&](const QString& n) { names << n; });
    fake.EnumACMFormatTags(1, 44100, 2, 16, 0);
    EXPECT_EQ(names, (QStringList{"PCM", "GSM 6.10"}));
    names.clear();
    fake.EnumACMFormatTags(1, 44100, 2, 16, kACMFormatEnumSuggest);
    EXPECT_EQ(names, QStringList{"PCM"});
    fake.acmCodecs.clear(); // no codec installed
    names.clear();
    fake.EnumACMFormatTags(1, 44100, 2, 16, 0);
    EXPECT_TRUE(names.isEmpty());
    EXPECT_EQ(fake.WMACodecCount(), 1);
    EXPECT_EQ(fake.WMAFormatName(0, 1), "64 kbit/s, 44.100 kHz, Mono");
    EXPECT_TRUE(fake.calls.contains("EnumACMFormatTags 1 44100 2 16 1048576"));
}

} // namespace
