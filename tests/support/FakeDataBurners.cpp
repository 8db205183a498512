#include "support/FakeDataBurners.h"

using support::DataBurnEnding;

namespace {
FakeAudioDataBurner*& LastDataBurner()
{
    static FakeAudioDataBurner* last = nullptr;
    return last;
}

FakeBurner*& LastBurner()
{
    static FakeBurner* last = nullptr;
    return last;
}

QString Bool(bool b) { return b ? "true" : "false"; }
const QString kAborted = "The burn was aborted.";
} // namespace

// ---------------------------------------------------------------------------
// FakeAudioDataBurner

FakeAudioDataBurner::Drive FakeAudioDataBurner::Writer(int index)
{
    Drive d;
    d.name = QString("%1: /dev/sr%2 FAKE WRITER").arg(QChar('D' + index)).arg(index);
    return d;
}

std::vector<FakeAudioDataBurner::Drive>& FakeAudioDataBurner::DefaultDrives()
{
    static std::vector<Drive> drives;
    return drives;
}

FakeAudioDataBurner::FakeAudioDataBurner() : drives(DefaultDrives()) { LastDataBurner() = this; }

FakeAudioDataBurner::~FakeAudioDataBurner()
{
    if (LastDataBurner() == this) LastDataBurner() = nullptr;
}

FakeAudioDataBurner* FakeAudioDataBurner::Last() { return LastDataBurner(); }

const FakeAudioDataBurner::Drive* FakeAudioDataBurner::DriveOf(const QString& letter) const
{
    for (const Drive& d : drives)
        if (!letter.isEmpty() && d.name.startsWith(letter.at(0).toUpper())) return &d;
    return nullptr;
}

std::int32_t FakeAudioDataBurner::GetDriveCount()
{
    calls << "GetDriveCount";
    return std::int32_t(drives.size());
}

QString FakeAudioDataBurner::GetDriveName(std::int32_t drive)
{
    calls << QString("GetDriveName %1").arg(drive);
    return drive >= 1 && drive <= std::int32_t(drives.size()) ? drives[size_t(drive - 1)].name : QString();
}

std::int32_t FakeAudioDataBurner::GetSpeedCount(const QString& letter)
{
    calls << "GetSpeedCount " + letter;
    const Drive* d = DriveOf(letter);
    m_speeds = d ? d->speeds : std::vector<std::int32_t>{};
    return std::int32_t(m_speeds.size());
}

std::int32_t FakeAudioDataBurner::GetSpeed(std::int32_t index)
{
    calls << QString("GetSpeed %1").arg(index);
    return index >= 1 && index <= std::int32_t(m_speeds.size()) ? m_speeds[size_t(index - 1)] : 0;
}

bool FakeAudioDataBurner::IsDriveReady(const QString& letter)
{
    calls << "IsDriveReady " + letter;
    const Drive* d = DriveOf(letter);
    return d && d->ready;
}

bool FakeAudioDataBurner::IsDiscEmpty(const QString& letter)
{
    calls << "IsDiscEmpty " + letter;
    const Drive* d = DriveOf(letter);
    return d && d->empty;
}

std::int32_t FakeAudioDataBurner::OpenTray(const QString& letter)
{
    calls << "OpenTray " + letter;
    const Drive* d = DriveOf(letter);
    return d ? d->trayError : kBurnErrNoDrive;
}

std::int32_t FakeAudioDataBurner::CloseTray(const QString& letter)
{
    calls << "CloseTray " + letter;
    const Drive* d = DriveOf(letter);
    return d ? d->trayError : kBurnErrNoDrive;
}

bool FakeAudioDataBurner::AddFile(const QString& path)
{
    calls << "AddFile " + path;
    if (refusedFiles.contains(path)) return false;
    m_files << path;
    return true;
}

void FakeAudioDataBurner::SetVolumeLabel(const QString& label)
{
    calls << "SetVolumeLabel " + label;
    cAudioDataBurner::SetVolumeLabel(label);
}

void FakeAudioDataBurner::SetFileSystem(const QString& name)
{
    calls << "SetFileSystem " + name;
    cAudioDataBurner::SetFileSystem(name);
}

void FakeAudioDataBurner::SetPublisherName(const QString& name)
{
    calls << "SetPublisherName " + name;
    cAudioDataBurner::SetPublisherName(name);
}

void FakeAudioDataBurner::SetApplicationName(const QString& name)
{
    calls << "SetApplicationName " + name;
    cAudioDataBurner::SetApplicationName(name);
}

void FakeAudioDataBurner::SetBurnFlag(bool open)
{
    calls << "SetBurnFlag " + Bool(open);
    cAudioDataBurner::SetBurnFlag(open);
}

void FakeAudioDataBurner::Burn(const QString& letter, std::int32_t speed)
{
    calls << QString("Burn %1 %2").arg(letter).arg(speed);
    if (m_burning) return;
    burns.push_back({letter, speed, m_files, VolumeLabel(), FileSystem(), PublisherName(), ApplicationName(), BurnFlag()});
    m_files.clear(); // the burn takes the list
    m_script = support::DataBurnScript{};
    if (!m_scripts.empty()) {
        m_script = m_scripts.front();
        m_scripts.pop_front();
    }
    m_burning = true;
    m_abortRequested = false;
    m_events.Post([this] { emit BurnStarted(); });
    if (!DriveOf(letter)) {
        m_events.Post([this, letter] { End(DataBurnEnding::Error, kBurnErrNoDrive, "There is no writer " + letter + ":."); });
        return;
    }
    for (std::int32_t p : m_script.progress) m_events.Post([this, p] { emit Progress(std::int16_t(p)); });
    if (m_script.ending == DataBurnEnding::Hang) return;
    m_events.Post([this] { Finish(m_script.ending); });
}

void FakeAudioDataBurner::Finish(DataBurnEnding ending)
{
    if (!m_burning) return;
    if (m_abortRequested) {
        End(DataBurnEnding::Error, kBurnErrAborted, kAborted);
        return;
    }
    if (ending == DataBurnEnding::Done) emit ClosingSession();
    End(ending, m_script.errorCode, m_script.errorText);
}

void FakeAudioDataBurner::End(DataBurnEnding ending, std::int32_t code, const QString& text)
{
    m_events.Drop();
    m_burning = false;
    if (ending == DataBurnEnding::Done) emit Finished();
    else emit Error(code, text);
}

void FakeAudioDataBurner::Abort()
{
    calls << "Abort";
    if (!m_burning) return;
    m_abortRequested = true;
    m_events.Post([this] { Finish(DataBurnEnding::Error); });
}

void FakeAudioDataBurner::Terminate()
{
    calls << "Terminate";
    m_events.Drop();
    m_burning = false;
    m_files.clear();
    m_speeds.clear();
}

// ---------------------------------------------------------------------------
// FakeBurner

FakeBurner::Device FakeBurner::Writer(int index)
{
    return {QString("%1:").arg(QChar('D' + index)), QString("/dev/sr%1 FAKE WRITER").arg(index)};
}

std::vector<FakeBurner::Device>& FakeBurner::DefaultDevices()
{
    static std::vector<Device> devices;
    return devices;
}

bool& FakeBurner::DefaultInstalled()
{
    static bool installed = true;
    return installed;
}

FakeBurner::FakeBurner() : devices(DefaultDevices()), installed(DefaultInstalled()) { LastBurner() = this; }

FakeBurner::~FakeBurner()
{
    if (LastBurner() == this) LastBurner() = nullptr;
}

FakeBurner* FakeBurner::Last() { return LastBurner(); }

bool FakeBurner::IsEngineInstalled()
{
    calls << "IsEngineInstalled";
    return installed;
}

std::int32_t FakeBurner::DeviceCount()
{
    calls << "DeviceCount";
    return std::int32_t(devices.size());
}

QString FakeBurner::GetDriveLetter(std::int32_t index)
{
    calls << QString("GetDriveLetter %1").arg(index);
    return index >= 0 && index < std::int32_t(devices.size()) ? devices[size_t(index)].letter : QString();
}

QString FakeBurner::GetDeviceName(std::int32_t index)
{
    calls << QString("GetDeviceName %1").arg(index);
    return index >= 0 && index < std::int32_t(devices.size()) ? devices[size_t(index)].name : QString();
}

void FakeBurner::ClearFiles()
{
    calls << "ClearFiles";
    m_files.clear();
}

bool FakeBurner::AddFile(const QString& path)
{
    calls << "AddFile " + path;
    if (refusedFiles.contains(path)) return false;
    m_files << path;
    return true;
}

void FakeBurner::SetUseISO(bool use)
{
    calls << "SetUseISO " + Bool(use);
    cBurner::SetUseISO(use);
}

void FakeBurner::SetUseJoliet(bool use)
{
    calls << "SetUseJoliet " + Bool(use);
    cBurner::SetUseJoliet(use);
}

void FakeBurner::SetUseUDF(bool use)
{
    calls << "SetUseUDF " + Bool(use);
    cBurner::SetUseUDF(use);
}

void FakeBurner::SetVolumeName(const QString& name)
{
    calls << "SetVolumeName " + name;
    cBurner::SetVolumeName(name);
}

void FakeBurner::Burn(std::int32_t deviceIndex)
{
    calls << QString("Burn %1").arg(deviceIndex);
    if (m_burning) return;
    const QStringList files = m_files;
    burns.push_back({deviceIndex, files, UseISO(), UseJoliet(), UseUDF(), VolumeName()});
    m_files.clear(); // the burn takes the list
    m_script = support::DataBurnScript{};
    if (!m_scripts.empty()) {
        m_script = m_scripts.front();
        m_scripts.pop_front();
    }
    m_burning = true;
    m_abortRequested = false;
    m_events.Post([this] { emit BurnerInitializing(); });
    if (const QString notice = JolietVolumeNotice(VolumeName(), UseJoliet()); !notice.isEmpty())
        m_events.Post([this, notice] { emit BurnerWarning(notice); });
    if (deviceIndex < 0 || deviceIndex >= std::int32_t(devices.size())) {
        m_events.Post([this, deviceIndex] {
            End(DataBurnEnding::Error, QString("There is no writer number %1.").arg(deviceIndex),
                QString("error %1").arg(kBurnErrNoDrive));
        });
        return;
    }
    for (const QString& f : files) m_events.Post([this, f] { emit AddingFile(f); });
    m_events.Post([this, n = std::int32_t(files.size())] { emit FilesToBurn(n, 0); });
    m_events.Post([this] { emit StartBurning(); });
    for (std::int32_t p : m_script.progress) m_events.Post([this, p] { emit BurnerProgress(p); });
    if (m_script.ending == DataBurnEnding::Hang) return;
    m_events.Post([this] { Finish(m_script.ending); });
}

void FakeBurner::Finish(DataBurnEnding ending)
{
    if (!m_burning) return;
    if (m_abortRequested) {
        emit BurnerCanceled();
        End(DataBurnEnding::Error, kAborted, QString("error %1").arg(kBurnErrAborted));
        return;
    }
    if (ending == DataBurnEnding::Done) emit BurnerFinalization();
    End(ending, m_script.errorText, m_script.errorDetail);
}

void FakeBurner::End(DataBurnEnding ending, const QString& message, const QString& detail)
{
    m_events.Drop();
    m_burning = false;
    if (ending != DataBurnEnding::Done) {
        emit BurnerError(message, detail);
        return;
    }
    emit BurnerDoneBurn();
    emit BurnerCompleted();
    emit BurnerEnd();
}

void FakeBurner::Abort()
{
    calls << "Abort";
    if (!m_burning) return;
    m_abortRequested = true;
    m_events.Post([this] { Finish(DataBurnEnding::Error); });
}
