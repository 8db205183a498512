#include "core/Edition.h"

#include "core/mdlMain.h"
#include "platform/AppInfo.h"

#include <QComboBox>

QString g_sAppCompany;
QString g_sAppSite;
QString g_sAppName;
QString g_sAppVersion;
QString g_sAppFullVersion;
QString g_sAppSiteRoot;
QString g_sAppSupportPage;
QString g_sAppDescription;
QString g_sAppColor;
QString g_sAppBackPicture;
QString g_sAppToolbarPicture;
QString g_sAppTitlePicture;
QString g_sAppMainTool;

std::int32_t lAppIncConverter;
std::int32_t lAppIncJoin;
std::int32_t lAppIncSplit;
std::int32_t lAppIncMicRec;
std::int32_t lAppIncEditor;
std::int32_t lAppIncAudioBurner;
std::int32_t lAppIncCDRipper;
std::int32_t lAppIncMP3TagsEditor;
std::int32_t lAppIncMP3Burner;
std::int32_t lAppIncWMABurner;
std::int32_t lAppIncACMConverter;
std::int32_t lAppIncItemsLists;
std::int32_t lAppIncListsTree;
std::int32_t lAppIncTTS;
std::int32_t lAppIncCDDuplicator;

std::int32_t g_lDestWAV;
std::int32_t g_lDestACM;
std::int32_t g_lDestMP3;
std::int32_t g_lDestWMA;
std::int32_t g_lDestOGG;
std::int32_t g_lDestAPE;

const char* const kDestinationFormatTexts[6] = {
    "WAV - Waveform Audio Format (*.wav)",     "ACM - Waveform ACM Codecs (*.wav)",
    "MP3 - MPEG-1 Audio Layer 3 (*.mp3)",      "WMA - Windows Media Audio files (*.wma)",
    "OGG - Ogg Media Format (*.ogg)",          "APE - Monkey 's Audio (*.ape)",
};

void SetEditionModes()
{
    g_sAppCompany = "Brenmark";
    g_sAppSite = "https://tarvello.example.org";
    g_sAppName = "Tarvello";
    g_sAppVersion = "1.2";
    g_sAppFullVersion = "1.2.0";
    g_sAppSiteRoot = g_sAppSite + "/";
    g_sAppSupportPage = g_sAppSiteRoot + "support.html";
    g_sAppDescription = "Convert WAV audio files to OGG audio files.";
    g_sAppColor = "16777215";
    g_sAppBackPicture = "";
    g_sAppToolbarPicture = "";
    g_sAppTitlePicture = "";
    g_sAppMainTool = "lAppIncConverter";

    lAppIncConverter = 1;
    lAppIncJoin = 0;
    lAppIncSplit = 0;
    lAppIncMicRec = 1;
    lAppIncEditor = 1;
    lAppIncAudioBurner = 0;
    lAppIncCDRipper = 0;
    lAppIncMP3TagsEditor = 0;
    lAppIncMP3Burner = 0;
    lAppIncWMABurner = 0;
    lAppIncACMConverter = 1;
    lAppIncItemsLists = 1;
    lAppIncListsTree = 0;
    lAppIncTTS = 0;
    lAppIncCDDuplicator = 0;

    platform::SetAppTitle(g_sAppName + " " + g_sAppVersion);
    EditionHook();
}

void InitDestinationFormats()
{
    g_lDestWAV = 1;
    g_lDestACM = 1;
    g_lDestMP3 = 1;
    g_lDestWMA = 1;
    g_lDestOGG = 1;
    g_lDestAPE = 0;
}

void FillDestinationFormats(QComboBox* combo)
{
    InitDestinationFormats();
    if (!combo) return;
    combo->clear();
    const std::int32_t flags[6] = {g_lDestWAV, g_lDestACM, g_lDestMP3, g_lDestWMA, g_lDestOGG, g_lDestAPE};
    for (int i = 0; i < 6; ++i)
        if (flags[i] == 1) combo->addItem(QString::fromLatin1(kDestinationFormatTexts[i]));
    combo->setCurrentIndex(-1);
}

std::uint8_t GetDestinationFormatIndex(const QString& listText)
{
    const QString prefix = listText.left(3).toUpper();
    const char* const codes[6] = {"WAV", "ACM", "MP3", "WMA", "OGG", "APE"};
    for (int i = 0; i < 6; ++i)
        if (prefix == QLatin1String(codes[i])) return std::uint8_t(i);
    return 0;
}

QString GetSupportedFormatsFilter()
{
    const char* const parts[] = {
        "All supported audio files (*.acm;*.wav;*.mp3;*.ogg;*.wav;*.wma;)",
        "*.acm;*.wav;*.mp3;*.ogg;*.wav;*.wma;",
        "Windows legacy audio components (*.acm;*.wav)",
        "*.acm;*.wav",
        "MPEG-1 Audio Layer 3 (MP3) (*.mp3)",
        "*.mp3",
        "Ogg Media format (*.ogg)",
        "*.ogg",
        "Waveform audio format (*.wav)",
        "*.wav",
        "Windows Media Audio files (*.wma)",
        "*.wma",
    };
    QString filter;
    for (const char* p : parts) {
        filter += QString::fromLatin1(p);
        filter += QChar(0);
    }
    return filter;
}
