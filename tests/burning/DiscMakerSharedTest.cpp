// The writer and speed lists, disc facts and disc root of the disc windows.
#include "burning/DiscMakerShared.h"
#include "controls/cd/OpticalDrives.h"
#include "support/FakeAudioBurner.h"
#include "support/ProgramFixture.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

using namespace discmaker;

class DiscMakerSharedTest : public support::ProgramFixture {
protected:
    void TearDown() override
    {
        optical::SetImageWriters(std::nullopt);
        optical::SetDiscImages(std::nullopt);
        support::ProgramFixture::TearDown();
    }
    FakeAudioBurner writer;
    QComboBox drives, speeds;
    QLabel size, capacity, state;
};

TEST_F(DiscMakerSharedTest, SpeedsAreListedWithTheirCDSpeedAndMaxIsSelected)
{
    writer.drives = {FakeAudioBurner::Writer(0)};
    writer.drives[0].speeds = {175, 352, 700};
    FillSpeedList(&speeds, writer, "D");
    ASSERT_EQ(speeds.count(), 4);
    const QStringList texts{"175 KB/s (0x)", "352 KB/s (2x)", "700 KB/s (3x)", "Max."};
    const QList<int> data{175, 352, 700, 65535};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(speeds.itemText(i), texts[i]);
        EXPECT_EQ(speeds.itemData(i).toInt(), data[i]);
    }
    EXPECT_EQ(speeds.currentIndex(), 3);
    EXPECT_EQ(SelectedSpeed(&speeds), 65535);
    speeds.setCurrentIndex(1);
    EXPECT_EQ(SelectedSpeed(&speeds), 352);

    writer.drives[0].speeds.clear();
    FillSpeedList(&speeds, writer, "D");
    ASSERT_EQ(speeds.count(), 1);
    EXPECT_EQ(speeds.itemText(0), "Max.");
    EXPECT_EQ(SelectedSpeed(&speeds), 65535);
}

TEST_F(DiscMakerSharedTest, DriveListTakesTheNamesAsTheyAreAndSelectsTheFirst)
{
    writer.drives = {FakeAudioBurner::Writer(0), FakeAudioBurner::Writer(1)};
    int selections = 0;
    QObject::connect(&drives, &QComboBox::currentIndexChanged, [&](int) { ++selections; });
    FillDriveList(&drives, writer);
    ASSERT_EQ(drives.count(), 2);
    EXPECT_EQ(drives.itemText(1), writer.drives[1].name);
    EXPECT_EQ(drives.currentIndex(), 0);
    EXPECT_EQ(selections, 1);
    EXPECT_EQ(SelectedDriveLetter(&drives), writer.drives[0].name.left(1));
    EXPECT_EQ(SelectedDriveRoot(&drives), writer.drives[0].name.left(2));
    EXPECT_FALSE(RefuseWithoutWriter(&drives));
}

TEST_F(DiscMakerSharedTest, WithoutWritersNothingIsSelectedAndABurnIsRefusedWithAReason)
{
    writer.drives.clear();
    FillDriveList(&drives, writer);
    EXPECT_EQ(drives.count(), 0);
    EXPECT_EQ(SelectedDriveLetter(&drives), "");
    msgBox->Expect("No CD writer was found");
    EXPECT_TRUE(RefuseWithoutWriter(&drives));
    EXPECT_EQ(msgBox->shown.size(), 1u);
}

TEST_F(DiscMakerSharedTest, CapacityMinutesRoundHalvesToEven)
{
    const struct {
        double minutes;
        int shown;
    } cases[] = {{74.5, 74}, {75.5, 76}, {80.03, 80}, {80.5, 80}, {81.5, 82}, {0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(DiscCapacityMinutes(std::int32_t(c.minutes * 60 * 153535)), c.shown) << c.minutes;
}

TEST_F(DiscMakerSharedTest, DiscFactsShowSizeMinutesAndStateInItsColour)
{
    writer.drives = {FakeAudioBurner::Writer(0)};
    writer.drives[0].diskSize = 1234;
    writer.drives[0].diskCapacity = std::int32_t(74.5 * 60 * 153535);
    ShowDiscFacts(writer, "D", {&size, &capacity, &state});
    EXPECT_EQ(size.text(), "1234");
    EXPECT_EQ(capacity.text(), "74 Min");
    EXPECT_EQ(state.text(), "OK - Ready to be burn.");
    EXPECT_EQ(state.palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_FALSE(state.font().bold());

    writer.drives[0].mediaState = "The disc is not blank.";
    ShowDiscFacts(writer, "D", {&size, &capacity, &state});
    EXPECT_EQ(state.text(), "The disc is not blank.");
    EXPECT_EQ(state.palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(state.font().bold());
}

TEST_F(DiscMakerSharedTest, TheRootOfAnImageWriterIsTheFolderOfItsImage)
{
    const QString folder = ProgramFolder() + "/images";
    QDir().mkpath(folder);
    optical::SetDiscImages(QStringList{});
    optical::SetImageWriters(optical::ImageWriters{folder + "/disc.cue", {}});
    const std::vector<optical::Drive> all = optical::Drives();
    ASSERT_EQ(all.size(), 1u);
    const QString letter = all[0].name.left(1);
    EXPECT_EQ(DiscRootFolder(letter), folder);
    OpenDiscRoot(nullptr, letter);
    EXPECT_EQ(shell->opened, QStringList{folder});

    EXPECT_EQ(DiscRootFolder("Q"), "");
    msgBox->Expect("There is no folder to open for Q:");
    OpenDiscRoot(nullptr, "Q");
    EXPECT_EQ(shell->opened.size(), 1);
}

} // namespace
