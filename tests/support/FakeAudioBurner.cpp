#include "support/FakeAudioBurner.h"

namespace {
FakeAudioBurner*& LastFake()
{
    static FakeAudioBurner* last = nullptr;
    return last;
}
} // namespace

FakeAudioBurner::Drive FakeAudioBurner::Writer(int index)
{
    Drive d;
    d.name = QString("%1: /dev/sr%2 FAKE WRITER").arg(QChar('D' + index)).arg(index);
    return d;
}

std::vector<FakeAudioBurner::Drive>& FakeAudioBurner::DefaultDrives()
{
    static std::vector<Drive> drives;
    return drives;
}

FakeAudioBurner::FakeAudioBurner() : drives(DefaultDrives()) { LastFake() = this; }

FakeAudioBurner::~FakeAudioBurner()
{
    if (LastFake() == this) LastFake() = nullptr;
}

FakeAudioBurner* FakeAudioBurner::Last() { return LastFake(); }

const FakeAudioBurner::Drive* FakeAudioBurner::DriveOf(const QString& letter) const
{
    for (const Drive& d : drives)
        if (!letter.isEmpty() && d.name.startsWith(letter.at(0).toUpper())) return &d;
    return nullptr;
}

// ---- Writers

std::int32_t FakeAudioBurner::GetDriveCount()
{
    calls << "GetDriveCount";
    return std::int32_t(drives.size());
}

QString FakeAudioBurner::GetDriveName(std::int32_t drive)
{
    calls << QString("GetDriveName %1").arg(drive);
    return drive >= 1 && drive <= std::int32_t(drives.size()) ? drives[size_t(drive - 1)].name : QString();
}

std::int32_t FakeAudioBurner::GetSpeedCount(const QString& letter)
{
    calls << "GetSpeedCount " + letter;
    const Drive* d = DriveOf(letter);
    m_speeds = d ? d->speeds : std::vector<std::int32_t>{};
    return std::int32_t(m_speeds.size());
}

QString FakeAudioBurner::GetSpeed(std::int32_t index)
{
    calls << QString("GetSpeed %1").arg(index);
    return index >= 1 && index <= std::int32_t(m_speeds.size()) ? QString::number(m_speeds[size_t(index - 1)])
                                                                  : QString();
}

std::int32_t FakeAudioBurner::GetDiskSize(const QString& letter)
{
    calls << "GetDiskSize " + letter;
    const Drive* d = DriveOf(letter);
    return d ? d->diskSize : 0;
}

std::int32_t FakeAudioBurner::GetDiskCapacity(const QString& letter)
{
    calls << "GetDiskCapacity " + letter;
    const Drive* d = DriveOf(letter);
    return d ? d->diskCapacity : 0;
}

QString FakeAudioBurner::GetMediaState(const QString& letter)
{
    calls << "GetMediaState " + letter;
    const Drive* d = DriveOf(letter);
    return d ? d->mediaState : "There is no writer " + letter.left(1) + ":.";
}

std::int32_t FakeAudioBurner::OpenTray(const QString& letter)
{
    calls << "OpenTray " + letter;
    const Drive* d = DriveOf(letter);
    return d ? d->trayError : kBurnErrNoDrive;
}

std::int32_t FakeAudioBurner::CloseTray(const QString& letter)
{
    calls << "CloseTray " + letter;
    const Drive* d = DriveOf(letter);
    return d ? d->trayError : kBurnErrNoDrive;
}

// ---- Files

bool FakeAudioBurner::AddFile(const QString& path)
{
    calls << "AddFile " + path;
    if (refusedFiles.contains(path)) return false;
    m_files << path;
    return true;
}

std::int16_t FakeAudioBurner::GetFileCount()
{
    calls << "GetFileCount";
    return std::int16_t(m_files.size());
}

void FakeAudioBurner::ClearFiles()
{
    calls << "ClearFiles";
    m_files.clear();
}

void FakeAudioBurner::SetDecodeSources(bool decode)
{
    calls << QString("SetDecodeSources %1").arg(decode ? "true" : "false");
    cAudioBurner::SetDecodeSources(decode);
}

// ---- Burning

std::int32_t FakeAudioBurner::Burn(const QString& letter, std::int32_t speed)
{
    calls << QString("Burn %1 %2").arg(letter).arg(speed);
    if (m_loop) return kBurnErrBusy;
    burns.push_back({letter, speed, m_files, DecodeSources()});
    m_script = Script{};
    if (!m_scripts.empty()) {
        m_script = m_scripts.front();
        m_scripts.pop_front();
    }
    if (m_script.ending == Ending::FailSilently) return m_script.errorCode;
    if (!DriveOf(letter)) {
        emit Error(kBurnErrNoDrive, "There is no writer " + letter.left(1) + ":.");
        return kBurnErrNoDrive;
    }
    if (m_files.isEmpty()) {
        emit Error(kBurnErrNoFiles, "There are no files to burn.");
        return kBurnErrNoFiles;
    }

    const int tracks = int(m_files.size());
    for (int t = 1; t <= tracks; ++t) m_events.Post([this] { emit CachingTrack(); });
    for (int t = 1; t <= tracks; ++t) {
        m_events.Post([this] { emit WritingTrack(); });
        if (m_script.ending == Ending::Hang) break;
        for (std::int16_t p : m_script.percents) {
            const auto disc = std::int16_t(((t - 1) * 100 + p) / tracks);
            m_events.Post([this, p, t, disc] {
                emit TrackProgress(p, std::int16_t(t));
                emit Progress(p, disc);
            });
        }
        m_events.Post([this, t] { emit ClosingTrack(std::int16_t(t)); });
    }
    if (m_script.ending == Ending::Finished) m_events.Post([this] { Finish(Ending::Finished); });
    if (m_script.ending == Ending::Error) m_events.Post([this] { Finish(Ending::Error); });

    QEventLoop loop;
    m_loop = &loop;
    m_result = 0;
    loop.exec();
    m_loop = nullptr;
    return m_result;
}

void FakeAudioBurner::Finish(Ending ending)
{
    if (!m_loop) return;
    m_events.Drop();
    if (ending == Ending::Error) {
        emit Error(m_script.errorCode, m_script.errorText);
        End(m_script.errorCode);
        return;
    }
    emit ClosingSession();
    emit Finished();
    End(0);
}

void FakeAudioBurner::End(std::int32_t result)
{
    m_result = result;
    if (m_loop) m_loop->quit();
}

void FakeAudioBurner::Abort()
{
    calls << "Abort";
    if (!m_loop) return;
    m_events.Drop();
    End(kBurnErrAborted);
}

void FakeAudioBurner::Terminate()
{
    calls << "Terminate";
    if (m_loop) {
        m_events.Drop();
        End(kBurnErrAborted);
    }
    m_files.clear();
    m_speeds.clear();
}
