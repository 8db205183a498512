#pragma once
// The program-wide settings: read from the registry when the options dialog
// and the audio format dialog load, read by every window.
#include <QString>
#include <QStringList>
#include <cstdint>

class cPlayer;

// General
extern std::int32_t g_lDevices;
// The output device chosen in the options, by its ALSA name; empty: "default".
extern QString g_sOutputDevice;
// The position of the named output device in the player's list as it stands
// now; -1 ("default") for no name or "default", and for a device that is gone,
// which the log notes: never another device.
std::int32_t OutputDevicePosition(cPlayer& player, const QString& name);
// The log's line for a chosen device that is not there.
QString DeviceGoneLogLine(const QString& name);
extern QString g_sTargetFormat;
extern QString g_sToPath;
extern bool g_bSelectTheLastItem;
extern bool g_bAutoFreeDB;
extern QString g_sFileName;
extern bool g_bSaveLogWhenExit;
extern bool g_bDisplayMSGWhenExit;
extern bool g_bDisplayMSGWhenErase;
extern bool g_bGoToNextItem;
extern bool g_bDisplayPlayer;
extern bool g_bClearOnExit;
extern bool g_bDisplayAudioGraph;
extern bool g_bMenuXPStyle;
extern bool g_bDisplayGridHotTrack;
extern bool g_bDisplayTitle;
extern bool g_bDisplayGridLine;
extern std::int32_t g_lColor;
extern std::int32_t g_lTextColor;
extern bool g_bDisplayLiveUpdateWindow;
extern bool g_bAutoUpdate;
// Events
extern bool g_bOpenDestFolder;
extern bool g_bTurnOffComputer;
extern bool g_bPlaySound;
extern QString g_sPlayAtEnd;
extern bool g_bNoticeApp;
extern QString g_sAppNotice;
// ID3 Tags
extern bool g_bCopyID3FromSource;
extern QString g_sTagArtist;
extern QString g_sTagSong;
extern QString g_sTagAlbum;
extern QString g_sTagTrack;
extern QString g_sTagGenre;
extern QString g_sTagYear;
extern QString g_sTagComment;

// The file-name patterns offered when FileNameFormats.txt is absent.
const QStringList& BuiltInFileNameFormats();

// The encoder settings of each destination format. Booleans hold -1 / 0.
struct WAVSettingsRecord {
    std::int32_t lBitrate = 0;  // bits per sample
    std::int32_t lSamples = 0;  // sample rate in Hz
    std::int32_t lChannels = 0; // 0 mono, 1 stereo
};

struct ACMSettingsRecord {
    QString sTags;    // codec name
    QString sFormats; // format description as the codec gives it
};

struct MP3SettingsRecord {
    std::int16_t bABR = 0;
    std::int32_t lABRBitrate = 0; // kbit/s
    std::int32_t lBitrate = 0;    // kbit/s
    std::int16_t bCopyright = 0;
    std::int16_t bErrorProtect = 0;
    std::int32_t lMode = 0; // 0..5 as in the mode list
    std::int16_t bOriginal = 0;
    std::int32_t lSamplerate = 0; // Hz
    std::int32_t lQuality = 0;    // 0..9
    std::int16_t bStrictISO = 0;
    std::int16_t bVBRForceMinBitrate = 0;
    std::int32_t lMinBitrate = 0; // position in the bitrate list
    std::int32_t lMaxBitrate = 0; // position in the bitrate list
    std::int32_t lVBRQuality = 0; // 0..9
    std::int16_t bVBRTag = 0;
    std::int16_t bTagsFromSource = 0;
};

struct WMASettingsRecord {
    std::int32_t lCodecs = 0; // the conversion control's codec number
    std::int32_t lFormat = 0; // format number within the codec
    std::int16_t bTagsFromSource = 0;
};

struct OGGSettingsRecord {
    std::int16_t bQualityMode = 0;
    std::int32_t lQuality = 0; // 0..100
    std::int16_t bBitrateMode = 0;
    std::int32_t lBitNom = 0; // kbit/s
    std::int16_t bTagsFromSource = 0;
};

struct APESettingsRecord {
    std::int32_t lLevel = 0; // 0 Fast .. 4 Slow
    std::int16_t bTagsFromSource = 0;
};

extern WAVSettingsRecord g_WAVSettings;
extern ACMSettingsRecord g_ACMSettings;
extern MP3SettingsRecord g_MP3Settings;
extern WMASettingsRecord g_WMASettings;
extern OGGSettingsRecord g_OGGSettings;
extern APESettingsRecord g_APESettings;
