#pragma once
// Inside the CD library: the drive list, the table of contents of a disc, the
// cheap watch on each drive that tells when its disc changed, the tray, and
// the rip of one track.
#include "controls/cd/AudioCD.h"
#include "controls/audio/AudioConverterEngine.h"
#include "controls/cd/OpticalDrives.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

typedef struct _CdIo CdIo_t;

namespace audiocd {

using audioconv::Status;

struct DriveSource {
    QString name; // "D: /dev/sr0 VENDOR MODEL"
    QString path; // the device, or the cue file of an image
    bool image = false;
};

// The drive list, in letter order; the same for every control of the program.
std::vector<DriveSource> Drives();
// The drive with this index; false outside the list.
bool DriveAt(std::int32_t index, DriveSource* drive);
// The drive with this letter ("D:", any case); false when there is none.
bool DriveWithLetter(const QString& letter, DriveSource* drive);

struct TocTrack {
    int number = 0;
    bool audio = false;
    std::int32_t firstSector = 0; // logical sector number
    std::int32_t sectors = 0;
};

struct Toc {
    bool disc = false; // false: the drive is empty
    std::vector<TocTrack> tracks;
    std::int32_t leadout = 0;
    bool HasAudio() const;
    // The track with this number; nullptr when the disc has none.
    const TocTrack* Track(int number) const;
};

// The disc in a drive as it is now. The table of contents is read again only
// when the disc changed since the last look at that drive from anywhere in
// the program; an empty drive is not an error.
Status CurrentToc(const DriveSource& drive, Toc* toc);
// Forgets what is known of the drive's disc (after its tray moved).
void ForgetDisc(const DriveSource& drive);

// Opens the disc in a drive for reading, with its table of contents.
Status OpenDisc(const DriveSource& drive, CdIo_t** cdio, Toc* toc);

Status MoveTray(const DriveSource& drive, bool open);

// "1:05"
QString TimeText(std::int32_t sectors);

// Everything one rip needs, copied from the control when it starts.
struct RipRequest : OutputSettings {
    DriveSource drive;
    int track = 1;
};

// Reads the track with paranoia and encodes it; `progress` gets whole
// percents, each once, in order.
audioconv::Result RunRip(const RipRequest& request, const std::atomic<bool>& abort,
                         const std::function<void(int)>& progress);

} // namespace audiocd
