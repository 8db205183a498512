// The rip of one track: paranoia reads the sectors on the control's thread and
// the conversion control's encoder writes the file.
#include "controls/cd/AudioCDEngine.h"

#include <memory>

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

namespace audiocd {

using audioconv::Fail;
using audioconv::Outcome;
using audioconv::Result;

namespace {

constexpr int kFramesPerSector = kCDBytesPerSector / 4;
constexpr int kReadRetries = 20;

// paranoia reports through a plain function; each rip thread counts its own skips.
thread_local int t_skips = 0;
void OnParanoiaEvent(long, paranoia_cb_mode_t mode)
{
    if (mode == PARANOIA_CB_SKIP) ++t_skips;
}

// The sectors to rip: `count` from `first` on the disc, `offset` from the track's start.
struct Span {
    std::int32_t first = 0, count = 0, offset = 0;
};

Status FindSpan(const RipRequest& r, const Toc& toc, Span* span)
{
    if (!toc.disc) return Fail(kRipErrNoDisc, "There is no disc in drive " + r.drive.name.left(2) + ".");
    const TocTrack* track = toc.Track(r.track);
    if (!track) return Fail(kRipErrNoTrack, QString("The disc has no track %1.").arg(r.track));
    if (!track->audio) return Fail(kRipErrNoTrack, QString("Track %1 is a data track, not audio.").arg(r.track));
    if (track->sectors <= 0) return Fail(kRipErrNoTrack, QString("Track %1 holds no audio.").arg(r.track));
    std::int32_t start = 0;
    std::int32_t end = track->sectors;
    if (r.ranged) {
        start = std::max(r.rangeStart, 0) * kCDSectorsPerSecond;
        if (start >= track->sectors)
            return Fail(kConvertErrRange, QString("The range starts at %1 s, after the end of track %2 (%3).")
                                              .arg(r.rangeStart)
                                              .arg(r.track)
                                              .arg(TimeText(track->sectors)));
        if (r.rangeLength > 0) end = std::min(end, start + r.rangeLength * kCDSectorsPerSecond);
    }
    *span = {track->firstSector + start, end - start, start};
    return {};
}

// paranoia on an open disc.
class ParanoiaReader {
public:
    ParanoiaReader() = default;
    ParanoiaReader(const ParanoiaReader&) = delete;
    ParanoiaReader& operator=(const ParanoiaReader&) = delete;
    ~ParanoiaReader()
    {
        if (m_paranoia) cdio_paranoia_free(m_paranoia);
        if (m_drive) cdio_cddap_close_no_free_cdio(m_drive);
    }

    Status Open(CdIo_t* cdio, const DriveSource& drive)
    {
        m_drive = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
        if (!m_drive || cdio_cddap_open(m_drive) != 0 || !(m_paranoia = cdio_paranoia_init(m_drive)))
            return Fail(kRipErrDiscUnreadable, "The audio of the disc in drive " + drive.name.left(2) +
                                                   " cannot be read.");
        // Every check paranoia has; after its retries a sector is reported as skipped.
        cdio_paranoia_modeset(m_paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
        return {};
    }

    // Reads the span sector by sector into the encoder.
    Status Read(const RipRequest& r, const Span& span, const std::atomic<bool>& abort,
                audioconv::ProgressReporter& progress, audioconv::FileEncoder& encoder, bool* aborted)
    {
        cdio_paranoia_seek(m_paranoia, span.first, SEEK_SET);
        t_skips = 0;
        for (std::int32_t i = 0; i < span.count; ++i) {
            if (abort.load(std::memory_order_relaxed)) {
                *aborted = true;
                return {};
            }
            const std::int16_t* samples = cdio_paranoia_read_limited(m_paranoia, OnParanoiaEvent, kReadRetries);
            if (!samples || t_skips > 0)
                return Fail(kRipErrRead, QString("Track %1 cannot be read at %2: the disc is damaged or dirty there.")
                                             .arg(r.track)
                                             .arg(TimeText(span.offset + i)));
            const Status s = encoder.WriteInterleaved16(samples, kFramesPerSector);
            if (!s.ok()) return s;
            progress.At(i + 1);
        }
        return {};
    }

private:
    cdrom_drive_t* m_drive = nullptr;
    cdrom_paranoia_t* m_paranoia = nullptr;
};

struct CdioCloser {
    void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};

} // namespace

Result RunRip(const RipRequest& request, const std::atomic<bool>& abort, const std::function<void(int)>& progress)
{
    CdIo_t* opened = nullptr;
    Toc toc;
    Status s = OpenDisc(request.drive, &opened, &toc);
    const std::unique_ptr<CdIo_t, CdioCloser> cdio(opened);
    Span span;
    if (s.ok()) s = FindSpan(request, toc, &span);
    ParanoiaReader reader;
    if (s.ok()) s = reader.Open(cdio.get(), request.drive);
    if (s.ok()) s = audioconv::CheckFormat(request.format);
    if (s.ok()) s = audioconv::CheckDestination(request.destination);
    audioconv::FileEncoder encoder;
    const audioconv::SourceFacts facts{44100, 2, 16, std::int64_t(span.count) * 1000 / kCDSectorsPerSecond};
    if (s.ok()) s = encoder.Prepare(request, facts);
    if (s.ok()) s = encoder.Start(request.destination, request);
    if (!s.ok()) return {Outcome::Failed, s};

    audioconv::ProgressReporter reporter(progress, span.count);
    bool aborted = false;
    s = reader.Read(request, span, abort, reporter, encoder, &aborted);
    if (aborted) return {Outcome::Aborted, {}};
    if (s.ok()) s = encoder.Finish();
    if (!s.ok()) return {Outcome::Failed, s};
    reporter.Complete();
    return {};
}

} // namespace audiocd
