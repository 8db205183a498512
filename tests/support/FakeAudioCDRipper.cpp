#include "support/FakeAudioCDRipper.h"

#include <QMetaObject>

namespace {
FakeAudioCDRipper*& LastFake()
{
    static FakeAudioCDRipper* last = nullptr;
    return last;
}

QString Letter(int index) { return QString(QChar('D' + index)) + ":"; }
} // namespace

FakeAudioCDRipper::Drive FakeAudioCDRipper::AudioCD(int index, const std::vector<std::int32_t>& seconds,
                                                    int dataTracks)
{
    Drive d = EmptyDrive(index);
    d.disc = true;
    for (std::int32_t s : seconds) d.tracks.push_back({kTrackTypeAudio, s});
    for (int i = 0; i < dataTracks; ++i) d.tracks.push_back({kTrackTypeData, 60});
    return d;
}

FakeAudioCDRipper::Drive FakeAudioCDRipper::EmptyDrive(int index)
{
    Drive d;
    d.name = QString("%1 /dev/sr%2 FAKE DRIVE").arg(Letter(index)).arg(index);
    d.disc = false;
    return d;
}

FakeAudioCDRipper::Drive FakeAudioCDRipper::DataCD(int index)
{
    Drive d = EmptyDrive(index);
    d.disc = true;
    d.tracks = {{kTrackTypeData, 600}};
    return d;
}

std::vector<FakeAudioCDRipper::Drive>& FakeAudioCDRipper::DefaultDrives()
{
    static std::vector<Drive> drives;
    return drives;
}

FakeAudioCDRipper::FakeAudioCDRipper() : drives(DefaultDrives()) { LastFake() = this; }

FakeAudioCDRipper::~FakeAudioCDRipper()
{
    if (LastFake() == this) LastFake() = nullptr;
}

FakeAudioCDRipper* FakeAudioCDRipper::Last() { return LastFake(); }

// ---- Drives and discs

std::int32_t FakeAudioCDRipper::GetDriveCount()
{
    calls << "GetDriveCount";
    SetLastError(0, {});
    return std::int32_t(drives.size());
}

QString FakeAudioCDRipper::GetDriveName(std::int32_t drive)
{
    calls << QString("GetDriveName %1").arg(drive);
    if (drive < 0 || drive >= std::int32_t(drives.size())) {
        SetLastError(kRipErrNoDrive, QString("There is no CD drive number %1.").arg(drive));
        return {};
    }
    SetLastError(0, {});
    return drives[size_t(drive)].name;
}

bool FakeAudioCDRipper::SelectDrive(std::int32_t drive)
{
    calls << QString("SelectDrive %1").arg(drive);
    SetSelectedDrive(drive);
    if (drive < 0 || drive >= std::int32_t(drives.size()) || !drives[size_t(drive)].opens) {
        SetLastError(kRipErrNoDrive, QString("The drive number %1 cannot be opened.").arg(drive));
        return false;
    }
    SetLastError(0, {});
    return true;
}

const FakeAudioCDRipper::Drive* FakeAudioCDRipper::SelectedDisc()
{
    const std::int32_t i = SelectedDrive();
    if (i < 0 || i >= std::int32_t(drives.size()) || !drives[size_t(i)].opens) {
        SetLastError(kRipErrNoDrive, "No CD drive is selected.");
        return nullptr;
    }
    const Drive& d = drives[size_t(i)];
    if (!d.disc) {
        SetLastError(kRipErrNoDisc, "There is no disc in drive " + d.name.left(2) + ".");
        return nullptr;
    }
    SetLastError(0, {});
    return &d;
}

bool FakeAudioCDRipper::IsAudioCD()
{
    calls << "IsAudioCD";
    const Drive* d = SelectedDisc();
    if (!d) return false;
    for (const Track& t : d->tracks)
        if (t.type == kTrackTypeAudio) return true;
    return false;
}

std::int32_t FakeAudioCDRipper::GetTrackCount()
{
    calls << "GetTrackCount";
    const Drive* d = SelectedDisc();
    if (!d) return 0;
    for (const Track& t : d->tracks)
        if (t.type == kTrackTypeAudio) return std::int32_t(d->tracks.size());
    return 0;
}

const FakeAudioCDRipper::Track* FakeAudioCDRipper::DiscTrack(std::int32_t track)
{
    const Drive* d = SelectedDisc();
    if (!d) return nullptr;
    if (track < 1 || track > std::int32_t(d->tracks.size())) {
        SetLastError(kRipErrNoTrack, QString("The disc has no track %1.").arg(track));
        return nullptr;
    }
    return &d->tracks[size_t(track - 1)];
}

std::int32_t FakeAudioCDRipper::GetTrackType(std::int32_t track)
{
    calls << QString("GetTrackType %1").arg(track);
    const Track* t = DiscTrack(track);
    return t ? t->type : 0;
}

std::int32_t FakeAudioCDRipper::GetTrackLength(std::int32_t track)
{
    calls << QString("GetTrackLength %1").arg(track);
    const Track* t = DiscTrack(track);
    return t ? t->seconds : 0;
}

std::int32_t FakeAudioCDRipper::MoveTray(const QString& call)
{
    calls << call;
    const std::int32_t i = SelectedDrive() >= 0 ? SelectedDrive() : DriveIndex();
    if (i < 0 || i >= std::int32_t(drives.size())) {
        SetLastError(kRipErrNoDrive, QString("There is no CD drive number %1.").arg(i));
        return kRipErrNoDrive;
    }
    const std::int32_t code = drives[size_t(i)].trayError;
    SetLastError(code, code ? "The tray of drive " + drives[size_t(i)].name.left(2) + " did not move." : QString());
    return code;
}

std::int32_t FakeAudioCDRipper::OpenTray() { return MoveTray("OpenTray"); }
std::int32_t FakeAudioCDRipper::CloseTray() { return MoveTray("CloseTray"); }

// ---- Ripping

void FakeAudioCDRipper::EmitEnding(Ending ending, std::int32_t code, const QString& text)
{
    switch (ending) {
    case Ending::Done: emit Done(); break;
    case Ending::Aborted: emit Aborted(); break;
    case Ending::Error: emit Error(code, text); break;
    case Ending::Hang: break;
    }
}

void FakeAudioCDRipper::Rip()
{
    calls << "Rip";
    if (IsRipping()) {
        // Not tied to the running rip: its own ending must not drop this.
        QMetaObject::invokeMethod(
            this, [this] { emit Error(kConvertErrBusy, "A rip is already running on this control."); },
            Qt::QueuedConnection);
        return;
    }
    RipCall c;
    static_cast<OutputSettings&>(c) = Output();
    c.driveIndex = DriveIndex();
    c.trackNumber = TrackNumber();
    rips.push_back(c);
    StartJob();
}

void FakeAudioCDRipper::Abort()
{
    calls << "Abort";
    AbortJob();
}

void FakeAudioCDRipper::Terminate()
{
    calls << "Terminate";
    StopJob();
}
