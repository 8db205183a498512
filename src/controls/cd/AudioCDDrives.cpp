#include "controls/cd/AudioCDEngine.h"
#include "controls/cd/OpticalDrives.h"
#include "platform/SaveFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <map>
#include <mutex>
#include <optional>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cdio/cdio.h>
#include <cdio/logging.h>

namespace audiocd {

using audioconv::Fail;

namespace {

std::mutex& Lock()
{
    static std::mutex mutex;
    return mutex;
}

// ---------------------------------------------------------------------------
// The watch on each drive, shared by every control of the program.

struct ImageStamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    bool operator==(const ImageStamp& o) const
    {
        return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size &&
               mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec;
    }
};

ImageStamp StampOf(const QString& path)
{
    struct stat st {};
    ImageStamp s;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return s;
    s = {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    return s;
}

struct Watched {
    bool known = false;
    Toc toc;
    ImageStamp stamp;    // images
    int driveStatus = 0; // devices: the last CDROM_DRIVE_STATUS
};

std::map<QString, Watched>& WatchList() // guarded by Lock()
{
    static std::map<QString, Watched> watched;
    return watched;
}

constexpr std::int32_t kSessionGap = 11400; // sectors between the sessions of a disc

Toc ReadToc(CdIo_t* cdio)
{
    Toc toc;
    toc.disc = true;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK) return toc; // a disc without tracks
    toc.leadout = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    lsn_t lastSession = 0;
    const bool multiSession = cdio_get_last_session(cdio, &lastSession) == DRIVER_OP_SUCCESS && lastSession > 0;
    for (int t = first; t < first + count; ++t) {
        TocTrack track;
        track.number = t;
        track.audio = cdio_get_track_format(cdio, track_t(t)) == TRACK_FORMAT_AUDIO;
        track.firstSector = cdio_get_track_lsn(cdio, track_t(t));
        const lsn_t next = t + 1 < first + count ? cdio_get_track_lsn(cdio, track_t(t + 1)) : toc.leadout;
        std::int32_t end = next;
        // The audio session of a CD with a data session ends before the gap between them.
        if (multiSession && track.audio && track.firstSector < lastSession)
            end = std::min<std::int32_t>(end, lastSession - kSessionGap);
        track.sectors = std::max<std::int32_t>(0, end - track.firstSector);
        toc.tracks.push_back(track);
    }
    return toc;
}

CdIo_t* OpenCdio(const DriveSource& drive)
{
    optical::QuietLibcdio();
    // A writer killed while putting a new BIN and cue sheet in place may have
    // left one of each: finish its put first, so the image is read whole.
    if (drive.image) platform::TidyFolder(QFileInfo(drive.path).absolutePath());
    return cdio_open(QFile::encodeName(drive.path).constData(), drive.image ? DRIVER_BINCUE : DRIVER_DEVICE);
}

Status Unreadable(const DriveSource& drive)
{
    return Fail(kRipErrDiscUnreadable,
                drive.image ? "The disc image cannot be read: " + drive.path
                            : "The disc in drive " + drive.name.left(2) + " cannot be read.");
}

Status ReadTocOf(const DriveSource& drive, Toc* toc)
{
    CdIo_t* cdio = OpenCdio(drive);
    if (!cdio) return Unreadable(drive);
    *toc = ReadToc(cdio);
    cdio_destroy(cdio);
    return {};
}

// An image drive: the table of contents again when the cue file changed.
Status RefreshImage(const DriveSource& drive, Watched& w)
{
    const ImageStamp stamp = StampOf(drive.path);
    if (w.known && stamp == w.stamp) return {};
    w.known = false;
    w.stamp = stamp;
    w.toc = Toc{};
    if (!stamp.exists) {
        w.known = true; // an empty drive
        return {};
    }
    Status s = ReadTocOf(drive, &w.toc);
    w.known = s.ok();
    return s;
}

// A device: the drive's status and media-changed flag, two requests that
// never touch the disc; the table of contents only when they say it changed.
Status RefreshDevice(const DriveSource& drive, Watched& w)
{
    const int fd = ::open(QFile::encodeName(drive.path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail(kRipErrNoDrive, QString("The drive %1 cannot be opened: %2")
                                        .arg(drive.name.left(2), QString::fromLocal8Bit(strerror(errno))));
    const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    const int changed = status == CDS_DISC_OK ? ::ioctl(fd, CDROM_MEDIA_CHANGED, CDSL_CURRENT) : 1;
    ::close(fd);

    if (status == CDS_NO_DISC || status == CDS_TRAY_OPEN || status == CDS_DRIVE_NOT_READY) {
        w.known = true;
        w.driveStatus = status;
        w.toc = Toc{};
        return {};
    }
    // A drive that cannot tell its status or the change is read every time.
    if (w.known && status == CDS_DISC_OK && w.driveStatus == CDS_DISC_OK && changed == 0) return {};
    w.known = false;
    w.driveStatus = status;
    w.toc = Toc{};
    CdIo_t* cdio = OpenCdio(drive);
    if (!cdio) {
        if (status == CDS_DISC_OK) return Unreadable(drive);
        w.known = true; // a drive without a status that opens no disc is taken as empty
        return {};
    }
    w.toc = ReadToc(cdio);
    cdio_destroy(cdio);
    w.known = true;
    return {};
}

} // namespace

bool Toc::HasAudio() const
{
    return std::any_of(tracks.begin(), tracks.end(), [](const TocTrack& t) { return t.audio; });
}

const TocTrack* Toc::Track(int number) const
{
    for (const TocTrack& t : tracks)
        if (t.number == number) return &t;
    return nullptr;
}

namespace {
bool ReadsDiscs(const optical::Drive& d)
{
    return d.kind == optical::DriveKind::Device || d.kind == optical::DriveKind::DiscImage;
}
DriveSource SourceOf(const optical::Drive& d) { return {d.name, d.path, d.kind == optical::DriveKind::DiscImage}; }
} // namespace

std::vector<DriveSource> Drives()
{
    std::vector<DriveSource> drives;
    for (const optical::Drive& d : optical::Drives())
        if (ReadsDiscs(d)) drives.push_back(SourceOf(d));
    return drives;
}

bool DriveAt(std::int32_t index, DriveSource* drive)
{
    const std::vector<DriveSource> drives = Drives();
    if (index < 0 || index >= std::int32_t(drives.size())) return false;
    *drive = drives[size_t(index)];
    return true;
}

bool DriveWithLetter(const QString& letter, DriveSource* drive)
{
    optical::Drive d;
    if (!optical::DriveByLetter(letter, &d) || !ReadsDiscs(d)) return false;
    *drive = SourceOf(d);
    return true;
}

Status CurrentToc(const DriveSource& drive, Toc* toc)
{
    std::lock_guard<std::mutex> lock(Lock());
    Watched& w = WatchList()[drive.path];
    const Status s = drive.image ? RefreshImage(drive, w) : RefreshDevice(drive, w);
    *toc = w.toc;
    return s;
}

void ForgetDisc(const DriveSource& drive)
{
    std::lock_guard<std::mutex> lock(Lock());
    WatchList().erase(drive.path);
}

Status OpenDisc(const DriveSource& drive, CdIo_t** cdio, Toc* toc)
{
    *cdio = nullptr;
    if (drive.image && !QFileInfo::exists(drive.path))
        return Fail(kRipErrNoDisc, "There is no disc in drive " + drive.name.left(2) + ".");
    *cdio = OpenCdio(drive);
    if (!*cdio) {
        if (drive.image) return Unreadable(drive);
        return Fail(kRipErrNoDisc, "There is no disc in drive " + drive.name.left(2) + ", or it cannot be read.");
    }
    *toc = ReadToc(*cdio);
    return {};
}

Status MoveTray(const DriveSource& drive, bool open)
{
    if (drive.image) return {}; // an image has no tray
    const QString problem = optical::MoveTray(drive.path, open);
    ForgetDisc(drive);
    if (problem.isEmpty()) return {};
    return Fail(kRipErrTray, QString("The tray of drive %1 did not %2: %3")
                                 .arg(drive.name.left(2), open ? "open" : "close", problem));
}

QString TimeText(std::int32_t sectors)
{
    const std::int32_t seconds = std::max(sectors, 0) / kCDSectorsPerSecond;
    return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

} // namespace audiocd

// ---------------------------------------------------------------------------

void SetCDDriveImages(std::optional<QStringList> cueFiles)
{
    optical::SetDiscImages(std::move(cueFiles));
    std::lock_guard<std::mutex> lock(audiocd::Lock());
    audiocd::WatchList().clear();
}
