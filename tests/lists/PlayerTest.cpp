// The preview player's reading members.
#include "ListsTestSupport.h"

#include "controls/audio/Player.h"

#include <QTemporaryDir>

namespace {

TEST(PlayerReader, ReadsTheFactsOfAnAudioFile)
{
    QTemporaryDir dir;
    struct Case {
        int rate, channels;
        double seconds;
    } cases[] = {{8000, 1, 1.5}, {44100, 2, 3.0}};
    cPlayer player;
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString("%1.wav").arg(c.rate));
        liststest::WriteWav(path, c.seconds, c.rate, c.channels);
        ASSERT_EQ(player.OpenFile(path), 0);
        EXPECT_EQ(player.SampleRate(), c.rate);
        EXPECT_EQ(player.Channels(), c.channels);
        EXPECT_NEAR(player.Length(), c.seconds, 0.01);
        EXPECT_EQ(player.Bitrate(), qRound(c.rate * c.channels * 16 / 1000.0));
    }
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_FALSE(player.IsPaused());
}

TEST(PlayerReader, AFileThatIsNoAudioReadsAsNothing)
{
    QTemporaryDir dir;
    const QString text = dir.filePath("text.wav");
    liststest::WriteBytes(text, "just some text, not audio at all");
    cPlayer player;
    liststest::WriteWav(dir.filePath("ok.wav"), 1);
    ASSERT_EQ(player.OpenFile(dir.filePath("ok.wav")), 0);
    EXPECT_EQ(player.OpenFile(dir.filePath("missing.wav")), kPlayerErrFileMissing);
    EXPECT_EQ(player.SampleRate(), 0);
    EXPECT_EQ(player.OpenFile(text), kPlayerErrNotAudio);
    EXPECT_EQ(player.Channels(), 0);
    EXPECT_EQ(player.Length(), 0.0);
}

TEST(PlayerReader, TimesAreWrittenHoursMinutesSeconds)
{
    cPlayer player;
    EXPECT_EQ(player.FormatTime(0), "0:00:00");
    EXPECT_EQ(player.FormatTime(3725), "1:02:05");
    EXPECT_EQ(player.FormatTime(100 * 3600), "100:00:00");
}

} // namespace
