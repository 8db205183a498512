#pragma once
// The CD library: the CD ripper control cAudioCDRipper (CD drives, the tracks
// of the disc in a drive, ripping one track into any destination format) on
// libcdio and libcdio-paranoia. The CD database control joins it here.
//
// Drives. The control lists the machine's optical drives and the BIN/CUE
// disc images that stand in for them, each named with its letter of the
// program's drive list (OpticalDrives.h): "D: /dev/sr0 VENDOR MODEL",
// "E: /path/disc.cue". SetCDDriveImages replaces the machine's drives with
// images (tests). An image drive is empty while its cue file is missing.
//
// Reading drives (window thread). SelectDrive opens a drive and makes it the
// selected one; IsAudioCD, GetTrackCount, GetTrackType and GetTrackLength then
// describe its disc as it was when SelectDrive ran. The track list is read from
// the disc only when the disc changed since the program last looked at that
// drive (a media-changed check), so polling every few seconds costs no disc
// reads. A call that fails leaves its code and text in LastError and
// LastErrorText (0 and empty after a call that succeeded); a drive without a
// disc gives kRipErrNoDisc.
//
// Ripping. Rip returns at once; the control reads the track DriveIndex /
// TrackNumber with paranoia on its own thread and encodes it with the
// conversion control's encoders (every destination format, tags included).
// Its events arrive later as queued signals on the owning thread: zero or more
// Progress (whole percent, only when it changes), then exactly one of Done,
// Aborted or Error. A handler may call Rip again. The output is written to a
// hidden temporary file in the destination folder and renamed into place only
// when complete; an abort or an error leaves no file under the destination
// name. A sector that cannot be read after paranoia's retries ends the rip
// with kRipErrRead and a text naming the track and the time: never a gap.
//
// Getting a control. Windows call CreateAudioCDRipper(); tests install a
// factory that returns a FakeAudioCDRipper (support/FakeAudioCDRipper.h).
#include "controls/AudioConverter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// Codes of Error and LastError, beside the conversion control's codes for the
// destination and the encoder (kConvertErrDestinationFolder ... kConvertErrNoFileName).
inline constexpr std::int32_t kRipErrNoDrive = 20;       // no such drive, or it cannot be opened
inline constexpr std::int32_t kRipErrNoTrack = 21;       // no such track on the disc, or a data track
inline constexpr std::int32_t kRipErrRead = 22;          // a sector cannot be read
inline constexpr std::int32_t kRipErrTray = 23;          // the tray did not open or close
inline constexpr std::int32_t kRipErrDiscUnreadable = 24; // the disc (or image) cannot be read at all
inline constexpr std::int32_t kRipErrNoDisc = 91;        // no disc in the drive

// GetTrackType
inline constexpr std::int32_t kTrackTypeAudio = 1;
inline constexpr std::int32_t kTrackTypeData = 2;

// Audio CD facts.
inline constexpr std::int32_t kCDSectorsPerSecond = 75;
inline constexpr std::int32_t kCDBytesPerSector = 2352;
inline constexpr std::int32_t kCDBytesPerSecond = 176400;

class ControlThread;
namespace audiocd {
struct TocTrack;
}

class cAudioCDRipper : public QObject, public AudioOutput {
    Q_OBJECT
public:
    cAudioCDRipper();
    ~cAudioCDRipper() override;

    // ---- Drives and discs
    virtual std::int32_t GetDriveCount();
    // "D: /dev/sr0 VENDOR MODEL"; empty for a drive number outside the list.
    virtual QString GetDriveName(std::int32_t drive);
    // True when the drive could be opened for reading; an empty drive opens.
    virtual bool SelectDrive(std::int32_t drive);
    std::int32_t SelectedDrive() const { return m_selected; } // -1 before the first SelectDrive
    // True when the selected drive holds a disc with at least one audio track.
    virtual bool IsAudioCD();
    // Every track of the audio CD in the selected drive (data tracks of a
    // mixed disc included); 0 without an audio CD.
    virtual std::int32_t GetTrackCount();
    // kTrackTypeAudio, kTrackTypeData, or 0 for a track the disc does not have.
    virtual std::int32_t GetTrackType(std::int32_t track);
    // Whole seconds (sectors / 75, rounded); 0 for a track the disc does not have.
    virtual std::int32_t GetTrackLength(std::int32_t track);
    // Eject and close the selected drive (DriveIndex before any SelectDrive);
    // 0 when done, else an error code with LastErrorText. On an image drive
    // they succeed and change nothing.
    virtual std::int32_t OpenTray();
    virtual std::int32_t CloseTray();
    std::int32_t LastError() const { return m_lastError; }
    QString LastErrorText() const { return m_lastErrorText; }

    // ---- What Rip reads and writes: the drive and track here, the
    // destination, range, tags and encoder settings in AudioOutput. The range
    // counts from the start of the track.
    std::int32_t DriveIndex() const { return m_driveIndex; }
    void SetDriveIndex(std::int32_t drive) { m_driveIndex = drive; }
    std::int32_t TrackNumber() const { return m_trackNumber; }
    // Also forgets any range: a whole track after a ranged one is ripped whole.
    void SetTrackNumber(std::int32_t track);

    // Starts ripping and returns at once.
    virtual void Rip();
    // Stops the running rip; Aborted follows. Nothing when idle.
    virtual void Abort();
    // Shuts the control down: stops a running rip (its events are dropped).
    // The control stays usable: later calls open the drives again.
    virtual void Terminate();
    virtual bool IsRipping() const;

signals:
    void Progress(std::int32_t Percent);
    void Done();
    void Aborted();
    void Error(std::int32_t Code, const QString& Description);

protected:
    // For subclasses that answer the calls themselves (the fake).
    void SetLastError(std::int32_t code, const QString& text);
    void SetSelectedDrive(std::int32_t drive) { m_selected = drive; }

private:
    struct Disc;
    const Disc* SelectedDisc();
    const audiocd::TocTrack* SelectedTrack(std::int32_t track);
    std::int32_t MoveTray(bool open);

    std::int32_t m_selected = -1;
    std::unique_ptr<Disc> m_disc;
    std::int32_t m_lastError = 0;
    QString m_lastErrorText;

    std::int32_t m_driveIndex = 0;
    std::int32_t m_trackNumber = 1;
    std::unique_ptr<ControlThread> m_thread;
};

// Creates the control windows use: the real one, or what the installed factory makes.
std::unique_ptr<cAudioCDRipper> CreateAudioCDRipper();
// Tests: installs a factory; an empty function goes back to the real control.
void SetAudioCDRipperFactory(std::function<std::unique_ptr<cAudioCDRipper>()> factory);

// The drive list: these disc images in place of every drive (std::nullopt goes
// back to the machine's drives and TARVELLO_CD_IMAGES). For tests.
void SetCDDriveImages(std::optional<QStringList> cueFiles);
