#pragma once
// The edition table: program-wide values filled once at start-up, and the
// destination formats the edition offers.
#include <QString>
#include <cstdint>

class QComboBox;

extern QString g_sAppCompany;
extern QString g_sAppSite;
extern QString g_sAppName;
extern QString g_sAppVersion;
extern QString g_sAppFullVersion;
extern QString g_sAppSiteRoot;
extern QString g_sAppSupportPage;
extern QString g_sAppDescription;
extern QString g_sAppColor;
extern QString g_sAppBackPicture;
extern QString g_sAppToolbarPicture;
extern QString g_sAppTitlePicture;
extern QString g_sAppMainTool;

extern std::int32_t lAppIncConverter;
extern std::int32_t lAppIncJoin;
extern std::int32_t lAppIncSplit;
extern std::int32_t lAppIncMicRec;
extern std::int32_t lAppIncEditor;
extern std::int32_t lAppIncAudioBurner;
extern std::int32_t lAppIncCDRipper;
extern std::int32_t lAppIncMP3TagsEditor;
extern std::int32_t lAppIncMP3Burner;
extern std::int32_t lAppIncWMABurner;
extern std::int32_t lAppIncACMConverter;
extern std::int32_t lAppIncItemsLists;
extern std::int32_t lAppIncListsTree;
extern std::int32_t lAppIncTTS;
extern std::int32_t lAppIncCDDuplicator;

// Destination formats offered (1 = offered, any other value = not offered).
extern std::int32_t g_lDestWAV;
extern std::int32_t g_lDestACM;
extern std::int32_t g_lDestMP3;
extern std::int32_t g_lDestWMA;
extern std::int32_t g_lDestOGG;
extern std::int32_t g_lDestAPE;

// The list texts of the destination formats, by index (WAV 0 ... APE 5).
extern const char* const kDestinationFormatTexts[6];

void SetEditionModes();
void InitDestinationFormats();
void FillDestinationFormats(QComboBox* combo);
std::uint8_t GetDestinationFormatIndex(const QString& listText);
QString GetSupportedFormatsFilter();
