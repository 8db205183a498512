// The fake disc writers that window tests use: they raise the real
// controls' events in the real controls' order and record every call.
#include "controls/burn/BurnerTestSupport.h"
#include "support/FakeAudioBurner.h"
#include "support/FakeDataBurners.h"

#include <QTimer>

using namespace burntest;
using support::DataBurnEnding;
using support::DataBurnScript;

namespace {

class FakeBurnersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeAudioBurner::DefaultDrives() = {FakeAudioBurner::Writer(0), FakeAudioBurner::Writer(1)};
        FakeAudioDataBurner::DefaultDrives() = {FakeAudioDataBurner::Writer(0)};
        FakeBurner::DefaultDevices() = {FakeBurner::Writer(0)};
    }
    void TearDown() override
    {
        FakeAudioBurner::DefaultDrives().clear();
        FakeAudioDataBurner::DefaultDrives().clear();
        FakeBurner::DefaultDevices().clear();
        FakeBurner::DefaultInstalled() = true;
        SetAudioBurnerFactory({});
    }
};

TEST_F(FakeBurnersTest, TheAudioFakeComesFromTheFactoryWithItsWriters)
{
    SetAudioBurnerFactory([] { return std::make_unique<FakeAudioBurner>(); });
    std::unique_ptr<cAudioBurner> made = CreateAudioBurner();
    ASSERT_EQ(FakeAudioBurner::Last(), made.get());
    EXPECT_EQ(made->GetDriveCount(), 2);
    EXPECT_EQ(made->GetDriveName(2), "E: /dev/sr1 FAKE WRITER");
    EXPECT_EQ(made->GetSpeedCount("E"), 2);
    EXPECT_EQ(made->GetSpeed(2), "700");
    FakeAudioBurner::Last()->drives[0].mediaState = "The disc is not blank.";
    EXPECT_EQ(made->GetMediaState("D"), "The disc is not blank.");
    EXPECT_EQ(FakeAudioBurner::Last()->calls,
              (QStringList{"GetDriveCount", "GetDriveName 2", "GetSpeedCount E", "GetSpeed 2", "GetMediaState D"}));
    made.reset();
    EXPECT_EQ(FakeAudioBurner::Last(), nullptr);
}

TEST_F(FakeBurnersTest, AnAudioBurnRaisesItsEventsInsideTheCall)
{
    FakeAudioBurner b;
    EventLog log(b);
    b.AddFile("/a.wav");
    b.AddFile("/b.wav");
    b.SetDecodeSources(true);
    EXPECT_EQ(b.Burn("D", 700), 0);
    EXPECT_EQ(log.events, (QStringList{"CachingTrack", "CachingTrack", "WritingTrack", "TrackProgress 50 1",
                                       "Progress 50 25", "TrackProgress 100 1", "Progress 100 50", "ClosingTrack 1",
                                       "WritingTrack", "TrackProgress 50 2", "Progress 50 75", "TrackProgress 100 2",
                                       "Progress 100 100", "ClosingTrack 2", "ClosingSession", "Finished"}));
    ASSERT_EQ(b.burns.size(), 1u);
    EXPECT_EQ(b.burns[0].files, (QStringList{"/a.wav", "/b.wav"}));
    EXPECT_TRUE(b.burns[0].decode);
    EXPECT_EQ(b.burns[0].speed, 700);
}

TEST_F(FakeBurnersTest, AudioBurnEndingsAsScripted)
{
    FakeAudioBurner b;
    EventLog log(b);
    b.AddFile("/a.wav");
    b.QueueScript({{100}, FakeAudioBurner::Ending::Error, kBurnErrMedia, "No disc."});
    EXPECT_EQ(b.Burn("D", kBurnSpeedMax), kBurnErrMedia);
    EXPECT_EQ(log.Phases().last(), QString("Error %1 No disc.").arg(kBurnErrMedia));
    EXPECT_TRUE(log.events.filter("Finished").isEmpty());

    log.events.clear();
    b.QueueScript({{}, FakeAudioBurner::Ending::FailSilently, kBurnErrWrite, {}});
    EXPECT_EQ(b.Burn("D", kBurnSpeedMax), kBurnErrWrite);
    EXPECT_TRUE(log.events.isEmpty());

    EXPECT_EQ(b.Burn("Q", kBurnSpeedMax), kBurnErrNoDrive);
    b.ClearFiles();
    EXPECT_EQ(b.Burn("D", kBurnSpeedMax), kBurnErrNoFiles);
}

TEST_F(FakeBurnersTest, AHangingAudioBurnWaitsForAbortOrFinish)
{
    FakeAudioBurner b;
    EventLog log(b);
    b.AddFile("/a.wav");
    b.QueueScript({{}, FakeAudioBurner::Ending::Hang, 0, {}});
    QObject::connect(&b, &cAudioBurner::WritingTrack, &b, [&] {
        EXPECT_TRUE(b.IsBurning());
        EXPECT_EQ(b.Burn("D", kBurnSpeedMax), kBurnErrBusy);
        QTimer::singleShot(0, &b, [&] { b.Abort(); });
    });
    EXPECT_EQ(b.Burn("D", kBurnSpeedMax), kBurnErrAborted);
    EXPECT_EQ(log.events, (QStringList{"CachingTrack", "WritingTrack"}));
    EXPECT_FALSE(b.IsBurning());

    log.events.clear();
    b.QueueScript({{}, FakeAudioBurner::Ending::Hang, 0, {}});
    QObject::disconnect(&b, &cAudioBurner::WritingTrack, nullptr, nullptr);
    QObject::connect(&b, &cAudioBurner::WritingTrack, &b,
                     [&] { QTimer::singleShot(0, &b, [&] { b.Finish(FakeAudioBurner::Ending::Finished); }); });
    EXPECT_EQ(b.Burn("D", kBurnSpeedMax), 0);
    EXPECT_EQ(log.Phases().last(), "Finished");
}

TEST_F(FakeBurnersTest, TheFirstDataFakeRecordsPropertiesInOrderAndQueuesItsEvents)
{
    FakeAudioDataBurner b;
    EventLog log(b);
    b.AddFile("/t/a.mp3");
    b.SetVolumeLabel("Mix");
    b.SetFileSystem("CDFS");
    b.SetPublisherName("Tarvello");
    b.SetApplicationName("Tarvello");
    b.SetBurnFlag(false);
    b.Burn("D", 65535);
    EXPECT_TRUE(log.events.isEmpty());
    WaitForDataBurn(log, "Finished");
    EXPECT_EQ(log.events, (QStringList{"BurnStarted", "Progress 50", "Progress 100", "ClosingSession", "Finished"}));
    EXPECT_EQ(b.calls, (QStringList{"AddFile /t/a.mp3", "SetVolumeLabel Mix", "SetFileSystem CDFS",
                                    "SetPublisherName Tarvello", "SetApplicationName Tarvello", "SetBurnFlag false",
                                    "Burn D 65535"}));
    ASSERT_EQ(b.burns.size(), 1u);
    EXPECT_EQ(b.burns[0].files, QStringList{"/t/a.mp3"});
    EXPECT_EQ(b.burns[0].volumeLabel, "Mix");

    log.events.clear();
    b.QueueScript({{10}, DataBurnEnding::Hang, 0, {}, {}});
    b.Burn("D", 352);
    b.Abort();
    WaitForDataBurn(log, "Finished");
    EXPECT_EQ(log.events, (QStringList{"BurnStarted", "Progress 10",
                                       QString("Error %1 The burn was aborted.").arg(kBurnErrAborted)}));
}

TEST_F(FakeBurnersTest, TheSecondDataFakeRaisesTheEnginesEvents)
{
    FakeBurner b;
    EventLog log(b);
    EXPECT_TRUE(b.IsEngineInstalled());
    b.ClearFiles();
    b.SetUseISO(false);
    b.SetUseJoliet(false);
    b.SetUseUDF(true);
    b.SetUseJoliet(true);
    b.SetVolumeName("Seventeen letters");
    b.AddFile("/t/a.wma");
    b.Burn(0);
    WaitForDataBurn(log, "BurnerEnd");
    EXPECT_EQ(log.events, (QStringList{"BurnerInitializing",
                                       "BurnerWarning " + JolietVolumeNotice("Seventeen letters", true),
                                       "AddingFile /t/a.wma", "FilesToBurn 1 0", "StartBurning", "BurnerProgress 50",
                                       "BurnerProgress 100", "BurnerFinalization", "BurnerDoneBurn", "BurnerCompleted",
                                       "BurnerEnd"}));
    ASSERT_EQ(b.burns.size(), 1u);
    EXPECT_FALSE(b.burns[0].iso);
    EXPECT_TRUE(b.burns[0].joliet);
    EXPECT_TRUE(b.burns[0].udf);
    b.SetVolumeName("Short");

    log.events.clear();
    b.QueueScript({{}, DataBurnEnding::Error, 0, "Write failed", "drive says no"});
    b.AddFile("/t/a.wma");
    b.Burn(0);
    WaitForDataBurn(log, "BurnerEnd");
    EXPECT_EQ(log.events.last(), "BurnerError Write failed (drive says no)");

    log.events.clear();
    b.SetUseUDF(false);
    b.QueueScript({{}, DataBurnEnding::Hang, 0, {}, {}});
    b.Burn(0);
    b.Abort();
    WaitForDataBurn(log, "BurnerEnd");
    EXPECT_EQ(log.events, (QStringList{"BurnerInitializing", "FilesToBurn 0 0", "StartBurning", "BurnerCanceled",
                                       QString("BurnerError The burn was aborted. (error %1)").arg(kBurnErrAborted)}));

    FakeBurner::DefaultInstalled() = false;
    FakeBurner missing;
    EXPECT_FALSE(missing.IsEngineInstalled());
}

} // namespace
