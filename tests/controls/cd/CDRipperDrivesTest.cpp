// The CD ripper control as a reader of drives and discs, on generated disc images.
#include "controls/cd/CDRipperTestSupport.h"

#include <QDir>
#include <QFileInfo>

using namespace audiotest;
using support::CdImage;
using support::WriteCdImage;
using support::WriteTestDisc;

namespace {

class DrivesTest : public RipperTest {
protected:
    cAudioCDRipper cd;
};

TEST_F(DrivesTest, ImagesAreDrivesWithStableLettersAndNames)
{
    const CdImage a = WriteTestDisc(dir.path(), "a");
    const CdImage b = WriteTestDisc(dir.path(), "b");
    SetCDDriveImages(QStringList{a.cue, b.cue});
    ASSERT_EQ(cd.GetDriveCount(), 2);
    EXPECT_EQ(cd.GetDriveName(0), "D: " + a.cue);
    EXPECT_EQ(cd.GetDriveName(1), "E: " + b.cue);
    cAudioCDRipper other; // every control of the program names a drive alike
    EXPECT_EQ(other.GetDriveName(1), cd.GetDriveName(1));
    EXPECT_EQ(cd.GetDriveName(2), "");
    EXPECT_EQ(cd.LastError(), kRipErrNoDrive);
}

TEST_F(DrivesTest, TheEnvironmentAddsImagesAfterTheMachinesDrives)
{
    const CdImage a = WriteTestDisc(dir.path(), "a");
    qputenv("TARVELLO_CD_IMAGES", (a.cue + ":" + dir.filePath("missing.cue")).toLocal8Bit());
    SetCDDriveImages(std::nullopt);
    const std::int32_t n = cd.GetDriveCount();
    qunsetenv("TARVELLO_CD_IMAGES");
    ASSERT_GE(n, 2);
    for (std::int32_t i = 0; i < n; ++i) EXPECT_EQ(cd.GetDriveName(i).left(3), QString(QChar('D' + i)) + ": ");
    EXPECT_TRUE(cd.GetDriveName(n - 2).endsWith(" " + a.cue));
    EXPECT_TRUE(cd.GetDriveName(n - 1).endsWith(" " + dir.filePath("missing.cue")));
    ASSERT_TRUE(cd.SelectDrive(n - 2));
    EXPECT_EQ(cd.GetTrackCount(), 4);
    ASSERT_TRUE(cd.SelectDrive(n - 1)); // an image not there yet is an empty drive
    EXPECT_FALSE(cd.IsAudioCD());
}

TEST_F(DrivesTest, NoDriveAtAll)
{
    SetCDDriveImages(QStringList{});
    EXPECT_EQ(cd.GetDriveCount(), 0);
    EXPECT_EQ(cd.GetDriveName(0), "");
    EXPECT_FALSE(cd.SelectDrive(0));
    EXPECT_EQ(cd.LastError(), kRipErrNoDrive);
    EXPECT_FALSE(cd.IsAudioCD());
    EXPECT_EQ(cd.GetTrackCount(), 0);
    EXPECT_EQ(cd.OpenTray(), kRipErrNoDrive);
    cd.SetDestinationFile(Path("out.wav"));
    const JobEvents ev = RunRip(cd);
    EXPECT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kRipErrNoDrive);
    EXPECT_FALSE(QFile::exists(Path("out.wav")));
}

TEST_F(DrivesTest, TracksOfAMixedDisc)
{
    UseTestDisc();
    ASSERT_TRUE(cd.SelectDrive(0));
    EXPECT_EQ(cd.SelectedDrive(), 0);
    EXPECT_TRUE(cd.IsAudioCD());
    ASSERT_EQ(cd.GetTrackCount(), 4); // three audio tracks and the data track after them
    const std::int32_t types[] = {kTrackTypeAudio, kTrackTypeAudio, kTrackTypeAudio, kTrackTypeData};
    const std::int32_t seconds[] = {3, 4, 2, 2};
    for (int t = 1; t <= 4; ++t) {
        EXPECT_EQ(cd.GetTrackType(t), types[t - 1]) << t;
        EXPECT_EQ(cd.GetTrackLength(t), seconds[t - 1]) << t;
    }
    EXPECT_EQ(cd.LastError(), 0);
    EXPECT_EQ(cd.GetTrackType(5), 0);
    EXPECT_EQ(cd.LastError(), kRipErrNoTrack);
    EXPECT_EQ(cd.GetTrackLength(0), 0);
    EXPECT_EQ(cd.LastError(), kRipErrNoTrack);
}

TEST_F(DrivesTest, ATrackOf200SecondsHolds35280000Bytes)
{
    const CdImage image = WriteCdImage(dir.path(), "long", {{200, 440}, {1.5, 550}});
    SetCDDriveImages(QStringList{image.cue});
    ASSERT_TRUE(cd.SelectDrive(0));
    EXPECT_EQ(cd.GetTrackLength(1), 200);
    EXPECT_EQ(std::int64_t(cd.GetTrackLength(1)) * kCDBytesPerSecond, 35280000);
    EXPECT_EQ(image.TrackBytes(1).size(), 35280000);
    EXPECT_EQ(cd.GetTrackLength(2), 2); // 112.5 sectors: whole seconds, rounded
}

TEST_F(DrivesTest, ADataDiscIsNoAudioCD)
{
    const CdImage image = WriteCdImage(dir.path(), "data", {{4, 0, true}});
    SetCDDriveImages(QStringList{image.cue});
    ASSERT_TRUE(cd.SelectDrive(0));
    EXPECT_FALSE(cd.IsAudioCD());
    EXPECT_EQ(cd.GetTrackCount(), 0);
    EXPECT_EQ(cd.LastError(), 0);
}

TEST_F(DrivesTest, DiscsArriveAndLeaveBetweenSelects)
{
    const QString cue = Path("disc.cue");
    SetCDDriveImages(QStringList{cue});
    ASSERT_TRUE(cd.SelectDrive(0)); // an empty drive opens
    EXPECT_FALSE(cd.IsAudioCD());
    EXPECT_EQ(cd.LastError(), kRipErrNoDisc);
    EXPECT_EQ(cd.GetTrackCount(), 0);
    EXPECT_EQ(cd.LastError(), kRipErrNoDisc);

    WriteTestDisc(dir.path());
    EXPECT_EQ(cd.GetTrackCount(), 0); // what SelectDrive saw holds until the next SelectDrive
    ASSERT_TRUE(cd.SelectDrive(0));
    EXPECT_EQ(cd.GetTrackCount(), 4);

    WriteCdImage(dir.path(), "disc", {{5, 300}}); // another disc
    ASSERT_TRUE(cd.SelectDrive(0));
    EXPECT_EQ(cd.GetTrackCount(), 1);
    EXPECT_EQ(cd.GetTrackLength(1), 5);

    QFile::remove(cue);
    ASSERT_TRUE(cd.SelectDrive(0));
    EXPECT_FALSE(cd.IsAudioCD());
    EXPECT_EQ(cd.LastError(), kRipErrNoDisc);
}

TEST_F(DrivesTest, AnImageThatCannotBeReadDoesNotOpen)
{
    QFile f(Path("bad.cue"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is not a cue sheet\n");
    f.close();
    SetCDDriveImages(QStringList{Path("bad.cue")});
    EXPECT_FALSE(cd.SelectDrive(0));
    EXPECT_EQ(cd.LastError(), kRipErrDiscUnreadable);
    EXPECT_TRUE(cd.LastErrorText().contains("bad.cue"));
    EXPECT_FALSE(cd.IsAudioCD());
}

TEST_F(DrivesTest, TrayOfAnImageDriveMovesWithoutError)
{
    UseTestDisc();
    ASSERT_TRUE(cd.SelectDrive(0));
    EXPECT_EQ(cd.OpenTray(), 0);
    EXPECT_EQ(cd.CloseTray(), 0);
    EXPECT_EQ(cd.LastError(), 0);
    ASSERT_TRUE(cd.SelectDrive(0));
    EXPECT_EQ(cd.GetTrackCount(), 4);
}

TEST_F(DrivesTest, TerminateKeepsTheControlUsable)
{
    UseTestDisc();
    ASSERT_TRUE(cd.SelectDrive(0));
    cd.Terminate();
    EXPECT_EQ(cd.OpenTray(), 0);
    ASSERT_TRUE(cd.SelectDrive(0));
    EXPECT_EQ(cd.GetTrackCount(), 4);
}

TEST_F(DrivesTest, FactoryGivesTheRealControlUnlessReplaced)
{
    EXPECT_NE(CreateAudioCDRipper(), nullptr);
    bool made = false;
    SetAudioCDRipperFactory([&made] {
        made = true;
        return std::make_unique<cAudioCDRipper>();
    });
    CreateAudioCDRipper();
    SetAudioCDRipperFactory({});
    EXPECT_TRUE(made);
}

} // namespace
