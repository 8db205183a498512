// The fake player that window tests use, and the factory.
#include "controls/audio/PlayerTestSupport.h"
#include "controls/widgets/AudioGraph.h"
#include "support/FakePlayer.h"

#include <gtest/gtest.h>

using namespace playertest;

namespace {

class FakePlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPlayerFactory([] { return std::make_unique<FakePlayer>(); });
    }
    void TearDown() override { SetPlayerFactory({}); }
};

TEST_F(FakePlayerTest, TheFactoryHandsOutTheFake)
{
    std::unique_ptr<cPlayer> p = CreatePlayer();
    EXPECT_EQ(FakePlayer::Last(), p.get());
    SetPlayerFactory({});
    std::unique_ptr<cPlayer> real = CreatePlayer();
    EXPECT_EQ(dynamic_cast<FakePlayer*>(real.get()), nullptr);
}

TEST_F(FakePlayerTest, PlaysAsScriptedWithQueuedEvents)
{
    auto owned = CreatePlayer();
    FakePlayer& fake = *FakePlayer::Last();
    PlayerEvents ev(fake);
    fake.AddFile("/a.wav", {0.4, 22050, 353, 1});
    fake.FailNextPlay(kPlayerErrDeviceBusy);

    EXPECT_EQ(fake.PlayFile("/a.wav", -1), kPlayerErrDeviceBusy);
    EXPECT_FALSE(fake.IsPlaying());
    fake.ReportError(kPlayerErrDeviceBusy);

    EXPECT_EQ(fake.PlayFile("/a.wav", -1), 0);
    EXPECT_TRUE(fake.IsPlaying());
    EXPECT_DOUBLE_EQ(fake.Length(), 0.4);
    fake.MoveTo(0.3);
    EXPECT_DOUBLE_EQ(fake.Position(), 0.3);
    EXPECT_TRUE(FindAudioBlock(fake.AudioData()));
    fake.FinishPlay();
    EXPECT_TRUE(fake.IsPlaying()); // until the event arrives
    EXPECT_EQ(ev.finished, 0);
    ASSERT_TRUE(ev.WaitFinished());
    EXPECT_FALSE(fake.IsPlaying());
    EXPECT_EQ(ev.finished, 1);
    EXPECT_TRUE(ev.Has(kPlayerEventStarted));
    EXPECT_EQ(ev.Last(kPlayerEventPosition), (std::vector<std::int32_t>{kPlayerEventPosition, 0, 0}));
    EXPECT_EQ(fake.AudioData(), 0);
    EXPECT_EQ(fake.calls, (QStringList{"PlayFile /a.wav -1", "ReportError 4", "PlayFile /a.wav -1", "AudioData",
                                       "AudioData"}));
}

TEST_F(FakePlayerTest, StopEndsWithPlayFinishedUnlessANewPlayComesFirst)
{
    auto owned = CreatePlayer();
    FakePlayer& fake = *FakePlayer::Last();
    PlayerEvents ev(fake);
    fake.PlayFile("/a.wav", -1);
    fake.Pause();
    EXPECT_TRUE(fake.IsPaused());
    DeliverPostedEvents();
    EXPECT_TRUE(ev.Has(kPlayerEventPaused));
    fake.Resume();
    DeliverPostedEvents();
    EXPECT_TRUE(ev.Has(kPlayerEventResumed));
    fake.Seek(7);
    EXPECT_DOUBLE_EQ(fake.Position(), 7);
    fake.Stop();
    EXPECT_FALSE(fake.IsPlaying());
    ASSERT_TRUE(ev.WaitFinished());
    EXPECT_EQ(ev.finished, 1);

    fake.PlayFile("/a.wav", -1);
    fake.Stop();
    fake.PlayFile("/b.wav", -1);
    DeliverPostedEvents();
    EXPECT_EQ(ev.finished, 1);
    EXPECT_TRUE(fake.IsPlaying());
    fake.BreakOff(kPlayerErrDevice);
    ASSERT_TRUE(ev.WaitFinished(2));
    EXPECT_EQ(ev.Last(kPlayerEventBrokenOff), (std::vector<std::int32_t>{kPlayerEventBrokenOff, kPlayerErrDevice, 0}));
}

} // namespace
