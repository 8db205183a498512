#include "controls/cd/AudioCD.h"

#include "controls/cd/AudioCDEngine.h"
#include "controls/ControlThread.h"

// The disc of the selected drive as SelectDrive found it.
struct cAudioCDRipper::Disc {
    audiocd::DriveSource drive;
    audiocd::Toc toc;
};

cAudioCDRipper::cAudioCDRipper() : m_thread(std::make_unique<ControlThread>(this)) {}

cAudioCDRipper::~cAudioCDRipper() = default;

void cAudioCDRipper::SetLastError(std::int32_t code, const QString& text)
{
    m_lastError = code;
    m_lastErrorText = text;
}

// ---- Drives and discs

std::int32_t cAudioCDRipper::GetDriveCount()
{
    SetLastError(0, {});
    return std::int32_t(audiocd::Drives().size());
}

namespace {
QString NoDriveText(std::int32_t drive) { return QString("There is no CD drive number %1.").arg(drive); }
} // namespace

QString cAudioCDRipper::GetDriveName(std::int32_t drive)
{
    audiocd::DriveSource source;
    if (!audiocd::DriveAt(drive, &source)) {
        SetLastError(kRipErrNoDrive, NoDriveText(drive));
        return {};
    }
    SetLastError(0, {});
    return source.name;
}

bool cAudioCDRipper::SelectDrive(std::int32_t drive)
{
    m_selected = drive;
    m_disc.reset();
    auto disc = std::make_unique<Disc>();
    if (!audiocd::DriveAt(drive, &disc->drive)) {
        SetLastError(kRipErrNoDrive, NoDriveText(drive));
        return false;
    }
    const audioconv::Status s = audiocd::CurrentToc(disc->drive, &disc->toc);
    if (!s.ok()) {
        SetLastError(s.code, s.text);
        return false;
    }
    m_disc = std::move(disc);
    SetLastError(0, {});
    return true;
}

// The selected drive's disc; nullptr (with the error set) when there is none.
const cAudioCDRipper::Disc* cAudioCDRipper::SelectedDisc()
{
    if (!m_disc) {
        SetLastError(kRipErrNoDrive, "No CD drive is selected.");
        return nullptr;
    }
    if (!m_disc->toc.disc) {
        SetLastError(kRipErrNoDisc, "There is no disc in drive " + m_disc->drive.name.left(2) + ".");
        return nullptr;
    }
    SetLastError(0, {});
    return m_disc.get();
}

bool cAudioCDRipper::IsAudioCD()
{
    const Disc* disc = SelectedDisc();
    return disc && disc->toc.HasAudio();
}

std::int32_t cAudioCDRipper::GetTrackCount()
{
    const Disc* disc = SelectedDisc();
    return disc && disc->toc.HasAudio() ? std::int32_t(disc->toc.tracks.size()) : 0;
}

// A track of the selected drive's disc; nullptr (with the error set) when there is none.
const audiocd::TocTrack* cAudioCDRipper::SelectedTrack(std::int32_t track)
{
    const Disc* disc = SelectedDisc();
    const audiocd::TocTrack* t = disc ? disc->toc.Track(track) : nullptr;
    if (disc && !t) SetLastError(kRipErrNoTrack, QString("The disc has no track %1.").arg(track));
    return t;
}

std::int32_t cAudioCDRipper::GetTrackType(std::int32_t track)
{
    const audiocd::TocTrack* t = SelectedTrack(track);
    return !t ? 0 : t->audio ? kTrackTypeAudio : kTrackTypeData;
}

std::int32_t cAudioCDRipper::GetTrackLength(std::int32_t track)
{
    const audiocd::TocTrack* t = SelectedTrack(track);
    return t ? (t->sectors + kCDSectorsPerSecond / 2) / kCDSectorsPerSecond : 0;
}

std::int32_t cAudioCDRipper::MoveTray(bool open)
{
    const std::int32_t drive = m_selected >= 0 ? m_selected : m_driveIndex;
    audiocd::DriveSource source;
    if (!audiocd::DriveAt(drive, &source)) {
        SetLastError(kRipErrNoDrive, NoDriveText(drive));
        return kRipErrNoDrive;
    }
    const audioconv::Status s = audiocd::MoveTray(source, open);
    SetLastError(s.code, s.text);
    // What was read of the disc no longer holds.
    if (s.ok() && !source.image && m_disc && m_selected == drive) m_disc->toc = audiocd::Toc{};
    return s.code;
}

std::int32_t cAudioCDRipper::OpenTray() { return MoveTray(true); }
std::int32_t cAudioCDRipper::CloseTray() { return MoveTray(false); }

// ---- Ripping

void cAudioCDRipper::SetTrackNumber(std::int32_t track)
{
    m_trackNumber = track;
    ClearRange();
}

void cAudioCDRipper::Rip()
{
    if (m_thread->Busy()) {
        m_thread->PostAlways([this] { emit Error(kConvertErrBusy, "A rip is already running on this control."); });
        return;
    }
    audiocd::RipRequest request;
    const bool driveFound = audiocd::DriveAt(m_driveIndex, &request.drive);
    request.track = m_trackNumber;
    static_cast<OutputSettings&>(request) = Output();
    const QString noDrive = NoDriveText(m_driveIndex);

    m_thread->Start([this, request, driveFound, noDrive](const std::atomic<bool>& abort,
                                                         const ControlThread::Post& post) -> std::function<void()> {
        const audioconv::Result result =
            driveFound ? audiocd::RunRip(request, abort, [this, &post](int p) { post([this, p] { emit Progress(p); }); })
                       : audioconv::Result{audioconv::Outcome::Failed, audioconv::Fail(kRipErrNoDrive, noDrive)};
        return [this, result] {
            switch (result.outcome) {
            case audioconv::Outcome::Done: emit Done(); break;
            case audioconv::Outcome::Aborted: emit Aborted(); break;
            case audioconv::Outcome::Failed: emit Error(result.error.code, result.error.text); break;
            }
        };
    });
}

void cAudioCDRipper::Abort() { m_thread->Abort(); }

void cAudioCDRipper::Terminate()
{
    m_thread->Stop();
    m_disc.reset();
}

bool cAudioCDRipper::IsRipping() const { return m_thread->Busy(); }

// ---------------------------------------------------------------------------

namespace {
std::function<std::unique_ptr<cAudioCDRipper>()>& Factory()
{
    static std::function<std::unique_ptr<cAudioCDRipper>()> factory;
    return factory;
}
} // namespace

std::unique_ptr<cAudioCDRipper> CreateAudioCDRipper()
{
    return Factory() ? Factory()() : std::make_unique<cAudioCDRipper>();
}

void SetAudioCDRipperFactory(std::function<std::unique_ptr<cAudioCDRipper>()> factory)
{
    Factory() = std::move(factory);
}
