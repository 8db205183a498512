#include "settings/mdlOptions.h"

#include "controls/audio/Player.h"

#include <QDebug>

std::int32_t g_lDevices = 0;
QString g_sOutputDevice;
QString g_sTargetFormat;
QString g_sToPath;
bool g_bSelectTheLastItem = false;
bool g_bAutoFreeDB = false;
QString g_sFileName;
bool g_bSaveLogWhenExit = false;
bool g_bDisplayMSGWhenExit = false;
bool g_bDisplayMSGWhenErase = false;
bool g_bGoToNextItem = false;
bool g_bDisplayPlayer = false;
bool g_bClearOnExit = false;
bool g_bDisplayAudioGraph = false;
bool g_bMenuXPStyle = false;
bool g_bDisplayGridHotTrack = false;
bool g_bDisplayTitle = false;
bool g_bDisplayGridLine = false;
std::int32_t g_lColor = 0;
std::int32_t g_lTextColor = 0;
bool g_bDisplayLiveUpdateWindow = false;
bool g_bAutoUpdate = false;
bool g_bOpenDestFolder = false;
bool g_bTurnOffComputer = false;
bool g_bPlaySound = false;
QString g_sPlayAtEnd;
bool g_bNoticeApp = false;
QString g_sAppNotice;
bool g_bCopyID3FromSource = false;
QString g_sTagArtist;
QString g_sTagSong;
QString g_sTagAlbum;
QString g_sTagTrack;
QString g_sTagGenre;
QString g_sTagYear;
QString g_sTagComment;

WAVSettingsRecord g_WAVSettings;
ACMSettingsRecord g_ACMSettings;
MP3SettingsRecord g_MP3Settings;
WMASettingsRecord g_WMASettings;
OGGSettingsRecord g_OGGSettings;
APESettingsRecord g_APESettings;

const QStringList& BuiltInFileNameFormats()
{
    static const QStringList formats = {
        "[file_name].[dest_extension]",       "[file_name].[source_extension].[dest_extension]",
        "[file_name]_[123].[dest_extension]", "[file_name]_[123].[source_extension].[dest_extension]",
        "[123].[dest_extension]",             "[123].[source_extension].[dest_extension]",
    };
    return formats;
}

std::int32_t OutputDevicePosition(cPlayer& player, const QString& name)
{
    if (name.isEmpty() || name == "default") return -1;
    // Devices come and go (a USB headset, a sound server): the list as it is now.
    player.RefreshDevices();
    for (std::int32_t i = 0; i < player.DeviceCount(); ++i)
        if (player.DeviceName(i) == name) return i;
    qWarning().noquote() << DeviceGoneLogLine(name);
    return -1;
}

QString DeviceGoneLogLine(const QString& name)
{
    return QString("The sound output device \"%1\" is not there: playing on \"default\".").arg(name);
}
