#pragma once
// Inside the disc writer controls: the writers and what their discs hold
// (libburn), the audio CD burn (tracks measured and written disc-at-once, or
// written as a BIN/CUE image), and the data disc burn (an ISO 9660 file
// system from libisofs, or a UDF bridge image from genisoimage, written as
// one track). Everything here may run on a
// control's own thread; the burns report through the event interfaces below.
#include "controls/audio/AudioConverterEngine.h"
#include "controls/burn/DiscWriter.h"
#include "controls/cd/OpticalDrives.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace burnengine {

using audioconv::Fail;
using audioconv::Status;

// libburn and libisofs, started once for the program; false (with the
// reason) when they cannot be used.
bool StartLibraries(QString* why = nullptr);

// What a control writes; it decides which drives and discs it takes.
enum class Use { AudioCD, DataCD, DataDisc };

// The drives a control of this use lists: the machine's drives that write
// such discs, in letter order, then its image writer.
std::vector<optical::Drive> Writers(Use use);
// The writer whose letter is the first character of `letter`.
Status WriterByLetter(Use use, const QString& letter, optical::Drive* drive);
Status NoWriter(const QString& letter);

// What a writer holds, read in one look at the drive.
struct DiscFacts {
    bool loaded = false;    // a disc is in the drive (an image writer: its folder can be written)
    bool writable = false;  // a blank disc of the kind the use writes
    QString state;          // "" when writable; otherwise why not, for the user
    std::vector<std::int32_t> speeds; // KB/s, slowest first
    std::int64_t sizeBytes = 0, freeBytes = 0; // 2048 bytes a sector; kUnknownBytes: not known
};
inline constexpr std::int64_t kUnknownBytes = -1;
// The free space of the file system that holds the folder (an image
// writer's), read from the folder itself; kUnknownBytes when it cannot be read.
std::int64_t FolderFreeBytes(const QString& folder);
// Whether `bytes` go onto the writer's disc: refused when they do not fit; a
// room not known lets the write go ahead and a full disk report itself.
Status CheckRoom(const DiscFacts& facts, std::int64_t bytes);
// A machine drive is looked at once for the questions asked of it within
// two seconds; ForgetDiscFacts makes the next question look again.
DiscFacts ReadDiscFacts(const optical::Drive& drive, Use use);
void ForgetDiscFacts();

// Opens or closes a drive's tray; an image writer has none.
Status MoveTray(const optical::Drive& drive, bool open);

// What the writer controls answer about their writers: by position (from 0;
// false outside the list), and by letter (a letter no writer has gives facts
// of no disc whose state says so; a tray move gives kBurnErrNoDrive).
bool WriterAt(Use use, std::int32_t index, optical::Drive* drive);
DiscFacts FactsByLetter(Use use, const QString& letter);
std::int32_t MoveTrayByLetter(Use use, const QString& letter, bool open);

// ---- Audio CDs

inline constexpr std::int64_t kAudioSectorBytes = 2352;
inline constexpr std::int64_t kShortestTrackSectors = 4 * 75;
inline constexpr std::int64_t kImageCDSectors = 80 * 60 * 75; // the image writer's disc
inline constexpr int kMostTracks = 99;

// True when FFmpeg reads audio from the file.
Status CheckAudioSource(const QString& path);

struct AudioBurnRequest {
    optical::Drive drive;
    std::int32_t speed = kBurnSpeedMax;
    QStringList files;
    bool decode = false;
};

// The events of an audio burn, called on the burn's thread in the order of
// cAudioBurner's events. Tracks count from 1.
class AudioBurnEvents {
public:
    virtual ~AudioBurnEvents() = default;
    virtual void CachingTrack(int track) = 0;
    virtual void WritingTrack(int track) = 0;
    virtual void TrackProgress(int track, int percent, int discPercent) = 0;
    virtual void ClosingTrack(int track) = 0;
    virtual void ClosingSession() = 0;
};

// Burns the files as an audio CD; an error or kBurnErrAborted when `abort` was set.
Status BurnAudioCD(const AudioBurnRequest& request, const std::atomic<bool>& abort, AudioBurnEvents& events);

// ---- Data discs

// True when the file or folder can be read.
Status CheckDataFile(const QString& path);
// Adds a file or folder that can be read and whose name is not on the disc yet.
Status AddDataFile(QStringList* files, const QString& path);

struct DataBurnRequest {
    optical::Drive drive;
    Use use = Use::DataCD;
    std::int32_t speed = kBurnSpeedMax;
    QStringList files; // files and folders, at the root of the disc
    QString volume, publisher, application;
    bool joliet = true;
    bool udf = false; // a UDF bridge disc (genisoimage) instead of libisofs' ISO 9660
    bool closeDisc = true;
};

class DataBurnEvents {
public:
    virtual ~DataBurnEvents() = default;
    virtual void AddingFile(const QString& path) = 0;
    virtual void FilesToBurn(int files, int folders) = 0;
    virtual void StartBurning() = 0;
    virtual void Progress(int percent) = 0;
    virtual void Finalizing() = 0;
};

// The size in bytes of the UDF bridge image of the request's files.
Status UdfImageSize(const DataBurnRequest& request, const std::atomic<bool>& abort, std::int64_t* bytes);
// Makes the UDF bridge image of the request's files (ISO 9660 + Rock Ridge,
// Joliet when asked, UDF 1.02) in the file `image`, saying its percents
// done to `progress` as it writes.
Status MakeUdfImage(const DataBurnRequest& request, const QString& image, const std::atomic<bool>& abort,
                    const std::function<void(int)>& progress = {});

// Builds the file system and writes it; an error or kBurnErrAborted when `abort` was set.
Status BurnDataDisc(const DataBurnRequest& request, const std::atomic<bool>& abort, DataBurnEvents& events);

} // namespace burnengine
