// The audio CD image writer puts its BIN and cue sheet in place together: a
// writer killed at any step of that leaves the old pair or the new one, never
// a new BIN beside an old cue, and nothing of its own behind.
#include "controls/burn/BurnerTestSupport.h"
#include "controls/cd/AudioCD.h"
#include "platform/SaveFile.h"

#include <csignal>

using namespace burntest;

namespace {

class ImagePair : public BurnerTest {
protected:
    std::int32_t BurnOnto(const QString& wav)
    {
        cAudioBurner burner;
        EXPECT_TRUE(burner.AddFile(wav));
        burner.SetDecodeSources(true);
        return burner.Burn("D", kBurnSpeedMax);
    }
    QByteArray Pair() { return ReadFile(Path("out.bin")) + "|" + ReadFile(Path("out.cue")); }
};

TEST_F(ImagePair, AKillAtEveryStepOfPuttingTheImageInPlaceLeavesOnePair)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    const QString oldWav = Wav("old.wav", 4.0, 440), newWav = Wav("new.wav", 6.0, 880);
    ASSERT_EQ(BurnOnto(newWav), 0);
    const QByteArray newPair = Pair();
    ASSERT_EQ(BurnOnto(oldWav), 0);
    const QByteArray oldPair = Pair();
    ASSERT_NE(ReadFile(Path("out.cue")), newPair.mid(newPair.indexOf('|') + 1)) << "the cue sheets differ";

    // Steps: 0 both files written, 1 the put decided, 2 the BIN in place,
    // 3 the cue in place, 4 all done.
    QList<bool> newAfter;
    for (int step = 0; step <= 4; ++step) {
        ASSERT_EQ(BurnOnto(oldWav), 0);
        EXPECT_EXIT(
            {
                platform::SetPutStepHook([step](int at) {
                    if (at == step) std::raise(SIGKILL);
                });
                BurnOnto(newWav);
                std::_Exit(0);
            },
            ::testing::KilledBySignal(SIGKILL), "")
            << "step " << step;
        // What the next write into the folder does first.
        platform::TidyFolder(dir.path());
        const QByteArray pair = Pair();
        EXPECT_TRUE(pair == oldPair || pair == newPair) << "step " << step;
        newAfter << (pair == newPair);
        EXPECT_TRUE(LeftoverTempFiles(dir.path()).isEmpty())
            << "step " << step << ": " << LeftoverTempFiles(dir.path()).join(' ').toStdString();
    }
    EXPECT_EQ(newAfter, QList<bool>({false, true, true, true, true}));
}

TEST_F(ImagePair, AReaderOfTheImageNeverSeesANewBinBesideAnOldCue)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    const QString oldWav = Wav("old.wav", 4.0, 440), newWav = Wav("new.wav", 6.0, 880);
    ASSERT_EQ(BurnOnto(newWav), 0);
    const QByteArray newPair = Pair();
    ASSERT_EQ(BurnOnto(oldWav), 0);
    // Killed with the new BIN in place and the old cue sheet still there.
    EXPECT_EXIT(
        {
            platform::SetPutStepHook([](int at) {
                if (at == 2) std::raise(SIGKILL);
            });
            BurnOnto(newWav);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    SetCDDriveImages(QStringList{Path("out.cue")});
    cAudioCDRipper reader;
    ASSERT_TRUE(reader.SelectDrive(0));
    EXPECT_EQ(reader.GetTrackCount(), 1);
    EXPECT_EQ(reader.GetTrackLength(1), 6);
    EXPECT_EQ(Pair(), newPair);
    SetCDDriveImages(std::nullopt);
}

} // namespace
