// The fake CD ripper that window tests use: scripted drives, rip endings and
// the record of calls.
#include "controls/cd/CDRipperTestSupport.h"
#include "support/FakeAudioCDRipper.h"

#include <QFile>

using namespace audiotest;

namespace {

using Fake = FakeAudioCDRipper;

class FakeRipperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fake::DefaultDrives() = {Fake::EmptyDrive(0), Fake::AudioCD(1, {200, 61}, 1), Fake::DataCD(2)};
        SetAudioCDRipperFactory([] { return std::make_unique<Fake>(); });
        control = CreateAudioCDRipper();
        fake = Fake::Last();
    }
    void TearDown() override
    {
        SetAudioCDRipperFactory({});
        Fake::DefaultDrives().clear();
    }
    QTemporaryDir dir;
    std::unique_ptr<cAudioCDRipper> control;
    Fake* fake = nullptr;
};

TEST_F(FakeRipperTest, TheFactoryHandsOutAFakeWithTheDefaultDrives)
{
    ASSERT_EQ(fake, control.get());
    ASSERT_EQ(control->GetDriveCount(), 3);
    EXPECT_EQ(control->GetDriveName(0), "D: /dev/sr0 FAKE DRIVE");
    EXPECT_EQ(control->GetDriveName(2).left(2), "F:");
}

TEST_F(FakeRipperTest, DrivesAnswerAsScripted)
{
    ASSERT_TRUE(control->SelectDrive(0)); // empty
    EXPECT_FALSE(control->IsAudioCD());
    EXPECT_EQ(control->LastError(), kRipErrNoDisc);
    EXPECT_EQ(control->GetTrackCount(), 0);

    ASSERT_TRUE(control->SelectDrive(1)); // two audio tracks and a data track
    EXPECT_TRUE(control->IsAudioCD());
    EXPECT_EQ(control->GetTrackCount(), 3);
    EXPECT_EQ(control->GetTrackType(3), kTrackTypeData);
    EXPECT_EQ(control->GetTrackLength(1), 200);
    EXPECT_EQ(control->GetTrackLength(4), 0);
    EXPECT_EQ(control->LastError(), kRipErrNoTrack);

    ASSERT_TRUE(control->SelectDrive(2)); // data
    EXPECT_FALSE(control->IsAudioCD());
    EXPECT_EQ(control->GetTrackCount(), 0);

    fake->drives[1].opens = false;
    EXPECT_FALSE(control->SelectDrive(1));
    EXPECT_FALSE(control->SelectDrive(3));
    fake->drives[0] = Fake::AudioCD(0, {30}); // a disc arrives
    ASSERT_TRUE(control->SelectDrive(0));
    EXPECT_EQ(control->GetTrackCount(), 1);

    EXPECT_EQ(fake->calls.mid(0, 4), QStringList({"SelectDrive 0", "IsAudioCD", "GetTrackCount", "SelectDrive 1"}));
}

TEST_F(FakeRipperTest, TrayFailuresAreScripted)
{
    control->SelectDrive(1);
    EXPECT_EQ(control->OpenTray(), 0);
    fake->drives[1].trayError = kRipErrTray;
    EXPECT_EQ(control->CloseTray(), kRipErrTray);
    EXPECT_TRUE(control->LastErrorText().startsWith("The tray of drive E:"));
    EXPECT_EQ(fake->calls.mid(1), QStringList({"OpenTray", "CloseTray"}));
}

TEST_F(FakeRipperTest, RipsEndAsScriptedAndRecordWhatTheyWereGiven)
{
    control->SetDriveIndex(1);
    control->SetDestinationFormat(kDestFormatOGG);
    control->SetOGGFormat({0, 0, 40});
    control->SetTrackNumber(2);
    control->SetRangeStart(5);
    control->SetRangeLength(10);
    control->SetTagTitle("T");
    control->SetDestinationFile(dir.filePath("a.ogg"));
    JobEvents ev = RunRip(*control);
    EXPECT_EQ(ev.endings, QStringList{"Done"});
    EXPECT_EQ(ev.progress, std::vector<std::int32_t>{100});
    EXPECT_TRUE(QFile::exists(dir.filePath("a.ogg")));

    fake->QueueScript({{30, 60}, Fake::Ending::Error, kRipErrRead, "Track 1 cannot be read at 0:12"});
    control->SetTrackNumber(1); // forgets the range
    ev = RunRip(*control);
    EXPECT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorText, "Track 1 cannot be read at 0:12");

    ASSERT_EQ(fake->rips.size(), 2u);
    EXPECT_EQ(fake->rips[0].driveIndex, 1);
    EXPECT_EQ(fake->rips[0].trackNumber, 2);
    EXPECT_TRUE(fake->rips[0].ranged);
    EXPECT_EQ(fake->rips[0].rangeLength, 10);
    EXPECT_EQ(fake->rips[0].ogg.Quality, 40);
    EXPECT_EQ(fake->rips[0].title, "T");
    EXPECT_EQ(fake->rips[1].trackNumber, 1);
    EXPECT_FALSE(fake->rips[1].ranged);
    EXPECT_EQ(fake->calls, QStringList({"SetOGGFormat", "Rip", "Rip"}));
}

TEST_F(FakeRipperTest, AHangingRipEndsByAbortOrFinish)
{
    fake->QueueScript({{10}, Fake::Ending::Hang});
    JobEvents ev = RunRip(*control, [this](std::int32_t) { control->Abort(); });
    EXPECT_EQ(ev.endings, QStringList{"Aborted"});

    fake->QueueScript({{10}, Fake::Ending::Hang});
    control->SetDestinationFile(dir.filePath("b.wav"));
    ev = RunRip(*control, [this](std::int32_t) { fake->Finish(Fake::Ending::Done); });
    EXPECT_EQ(ev.endings, QStringList{"Done"});
    EXPECT_FALSE(control->IsRipping());
}

TEST_F(FakeRipperTest, TerminateDropsTheScriptedEnding)
{
    int events = 0;
    QObject::connect(control.get(), &cAudioCDRipper::Done, [&] { ++events; });
    control->Rip();
    EXPECT_TRUE(control->IsRipping());
    control->Terminate();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(control->IsRipping());
}

TEST_F(FakeRipperTest, RaiseErrorReportsAnErrorOfTheControl)
{
    std::int32_t code = 0;
    QString text;
    QObject::connect(control.get(), &cAudioCDRipper::Error, [&](std::int32_t c, const QString& t) {
        code = c;
        text = t;
    });
    fake->RaiseError(5, "Drive not ready");
    EXPECT_EQ(code, 5);
    EXPECT_EQ(text, "Drive not ready");
}

} // namespace
