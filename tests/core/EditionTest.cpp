#include "core/Edition.h"
#include "platform/AppInfo.h"

#include <QComboBox>
#include <gtest/gtest.h>

namespace {

TEST(Edition, TableOfThisEdition)
{
    SetEditionModes();
    EXPECT_EQ(g_sAppName, "Tarvello");
    EXPECT_EQ(g_sAppCompany, "Brenmark");
    EXPECT_EQ(g_sAppVersion, "1.2");
    EXPECT_EQ(g_sAppFullVersion, "1.2.0");
    EXPECT_EQ(g_sAppSiteRoot, g_sAppSite + "/");
    EXPECT_FALSE(g_sAppSite.endsWith('/'));
    EXPECT_EQ(g_sAppSupportPage, g_sAppSite + "/support.html");
    EXPECT_EQ(g_sAppDescription, "Convert WAV audio files to OGG audio files.");
    EXPECT_EQ(g_sAppColor, "16777215");
    EXPECT_EQ(g_sAppMainTool, "lAppIncConverter");
    EXPECT_EQ(platform::AppTitle(), "Tarvello 1.2");
    const std::int32_t on[] = {lAppIncConverter, lAppIncMicRec, lAppIncEditor, lAppIncACMConverter, lAppIncItemsLists};
    for (auto flag : on) EXPECT_EQ(flag, 1);
    const std::int32_t off[] = {lAppIncJoin,      lAppIncSplit,     lAppIncAudioBurner, lAppIncCDRipper,
                                lAppIncMP3TagsEditor, lAppIncMP3Burner, lAppIncWMABurner,   lAppIncListsTree,
                                lAppIncTTS,       lAppIncCDDuplicator};
    for (auto flag : off) EXPECT_EQ(flag, 0);
}

TEST(Edition, FillDestinationFormatsReplacesItemsAndSelectsNothing)
{
    QComboBox combo;
    combo.addItems({"old 1", "old 2"});
    combo.setCurrentIndex(1);
    FillDestinationFormats(&combo);
    ASSERT_EQ(combo.count(), 5);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.itemText(0), "WAV - Waveform Audio Format (*.wav)");
    EXPECT_EQ(combo.itemText(1), "ACM - Waveform ACM Codecs (*.wav)");
    EXPECT_EQ(combo.itemText(2), "MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
    EXPECT_EQ(combo.itemText(3), "WMA - Windows Media Audio files (*.wma)");
    EXPECT_EQ(combo.itemText(4), "OGG - Ogg Media Format (*.ogg)");
    EXPECT_EQ(g_lDestAPE, 0);
    EXPECT_EQ(QString(kDestinationFormatTexts[5]), "APE - Monkey 's Audio (*.ape)");
}

TEST(Edition, DestinationIndexComesFromTheFirstThreeLetters)
{
    const struct {
        const char* text;
        int index;
    } cases[] = {
        {"WAV - Waveform Audio Format (*.wav)", 0}, {"ACM - Waveform ACM Codecs (*.wav)", 1},
        {"MP3 - MPEG-1 Audio Layer 3 (*.mp3)", 2},  {"WMA - Windows Media Audio files (*.wma)", 3},
        {"OGG - Ogg Media Format (*.ogg)", 4},      {"APE - Monkey 's Audio (*.ape)", 5},
        {"ogg - lower case", 4},                    {"mp3", 2},
        {"", 0},                                    {"OG", 0},
        {"FLAC - other", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(GetDestinationFormatIndex(c.text), c.index) << c.text;
}

TEST(Edition, SupportedFormatsFilterIsExact)
{
    QString expected = QString("All supported audio files (*.acm;*.wav;*.mp3;*.ogg;*.wav;*.wma;)") + QChar(0) +
                       "*.acm;*.wav;*.mp3;*.ogg;*.wav;*.wma;" + QChar(0) +
                       "Windows legacy audio components (*.acm;*.wav)" + QChar(0) + "*.acm;*.wav" + QChar(0) +
                       "MPEG-1 Audio Layer 3 (MP3) (*.mp3)" + QChar(0) + "*.mp3" + QChar(0) +
                       "Ogg Media format (*.ogg)" + QChar(0) + "*.ogg" + QChar(0) +
                       "Waveform audio format (*.wav)" + QChar(0) + "*.wav" + QChar(0) +
                       "Windows Media Audio files (*.wma)" + QChar(0) + "*.wma" + QChar(0);
    EXPECT_EQ(GetSupportedFormatsFilter(), expected);
}

} // namespace
