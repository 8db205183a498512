#include "controls/audio/WaveRecorder.h"

#include "controls/audio/AlsaDevice.h"
#include "controls/ControlThread.h"
#include "controls/audio/Player.h"
#include "controls/audio/WaveFile.h"
#include "controls/audio/WaveRecording.h"
#include "platform/SaveFile.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <vector>

struct cWave::Devices {
    std::vector<alsa::DeviceInfo> input, output;
    bool inputListed = false;
};

// The device and file codes are the player's, whose texts Play passes on.
static_assert(kWaveErrFileMissing == kPlayerErrFileMissing && kWaveErrNotAudio == kPlayerErrNotAudio &&
              kWaveErrNoDevice == kPlayerErrNoDevice && kWaveErrDeviceBusy == kPlayerErrDeviceBusy &&
              kWaveErrDeviceFormat == kPlayerErrDeviceFormat && kWaveErrDevice == kPlayerErrDevice);

namespace {

constexpr int kMinRate = 1000;
constexpr int kMaxRate = 192000;

alsa::Direction DirectionOf(std::int32_t kind)
{
    return kind == kWaveOutputDevices ? alsa::Direction::Playback : alsa::Direction::Capture;
}

QString FormatText(const WAVEFORMATEX& f)
{
    return QString("format %1, %2 channels, %3 Hz, %4 bits").arg(f.wFormatTag).arg(f.nChannels).arg(f.nSamplesPerSec).arg(f.wBitsPerSample);
}

} // namespace

cWave::cWave() : m_devices(std::make_unique<Devices>()), m_thread(std::make_unique<ControlThread>(this)) {}

cWave::~cWave()
{
    // The recording's thread is stopped before the members it reports to go.
    m_thread->Stop();
}

void cWave::SetLastError(std::int32_t code, const QString& text)
{
    m_lastError = code;
    m_lastErrorText = text;
}

std::int32_t cWave::fail(std::int32_t code, const QString& text)
{
    SetLastError(code, text);
    return code;
}

cPlayer& cWave::player()
{
    if (!m_player) {
        m_player = std::make_unique<cPlayer>();
        connect(m_player.get(), &cPlayer::PlayFinished, this, &cWave::PlayDone);
    }
    return *m_player;
}

// ---------------------------------------------------------------------------
// Devices

std::int32_t cWave::GetDeviceCount(std::int32_t kind)
{
    std::vector<alsa::DeviceInfo>& list = kind == kWaveOutputDevices ? m_devices->output : m_devices->input;
    list = alsa::ListDevices(DirectionOf(kind));
    if (kind != kWaveOutputDevices) m_devices->inputListed = true;
    return std::int32_t(list.size());
}

std::int32_t cWave::GetDeviceCaps(std::int32_t index, WaveDeviceCaps& caps, std::int32_t kind)
{
    const std::vector<alsa::DeviceInfo>& list = kind == kWaveOutputDevices ? m_devices->output : m_devices->input;
    caps = {};
    if (index < 0 || index >= std::int32_t(list.size()))
        return fail(kWaveErrNoDevice, QString("There is no sound device number %1.").arg(index));
    caps.sName = list[size_t(index)].name;
    caps.sDescription = list[size_t(index)].description;
    caps.lKind = kind == kWaveOutputDevices ? kWaveOutputDevices : kWaveInputDevices;
    caps.lChannels = std::min(alsa::MaxChannels(caps.sName, DirectionOf(kind)), 2);
    return 0;
}

QString cWave::inputName(std::int32_t index)
{
    if (index == -1) return "default";
    if (!m_devices->inputListed) GetDeviceCount(kWaveInputDevices);
    return index >= 0 && index < std::int32_t(m_devices->input.size()) ? m_devices->input[size_t(index)].name
                                                                       : QString();
}

std::int32_t cWave::outputIndexFor(std::int32_t inputIndex)
{
    const QString name = inputName(inputIndex);
    for (std::int32_t i = 0; i < player().DeviceCount(); ++i)
        if (player().DeviceName(i) == name) return i;
    return -1;
}

// ---------------------------------------------------------------------------
// Recording

std::int32_t cWave::RecordStart(std::int32_t device, const QString& path, const WAVEFORMATEX& format,
                                std::int16_t)
{
    if (m_thread->Busy()) return fail(kWaveErrBusy, "A recording is already running; stop it first.");
    if (format.wFormatTag != 1 || (format.nChannels != 1 && format.nChannels != 2) ||
        (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) || format.nSamplesPerSec < kMinRate ||
        format.nSamplesPerSec > kMaxRate)
        return fail(kWaveErrFormat, QString("This recording format cannot be recorded (%1). Record PCM with 1 or 2 "
                                            "channels, 8 or 16 bits, %2 to %3 Hz.")
                                        .arg(FormatText(format))
                                        .arg(kMinRate)
                                        .arg(kMaxRate));
    if (path.isEmpty()) return fail(kWaveErrNoFileName, "No file to record into was given.");
    if (QFileInfo::exists(path) && !platform::IsReplaceableFile(path))
        return fail(kWaveErrFile, "The recording cannot replace " + path + ": it is not a file.");

    const QString name = inputName(device);
    if (name.isEmpty()) return fail(kWaveErrNoDevice, QString("There is no sound input device number %1.").arg(device));
    const wavefile::Format fileFormat{format.nChannels, int(format.nSamplesPerSec), format.wBitsPerSample};
    auto pcm = std::make_shared<alsa::Pcm>();
    const alsa::Format wanted{fileFormat.sampleRate, fileFormat.channels, waverec::DeviceFormatFor(fileFormat)};
    const alsa::OpenFault fault = pcm->Open(name, alsa::Direction::Capture, wanted);
    if (fault != alsa::OpenFault::None)
        return fail(PlayerErrorOf(fault), alsa::OpenFaultText(fault, name, alsa::Direction::Capture,
                                                              "cannot record " + FormatText(format), pcm->ErrorText()));
    auto file = std::make_shared<wavefile::Writer>();
    if (const wavefile::Status s = file->Create(path, fileFormat); !s.ok()) return fail(kWaveErrFile, s.text);

    m_resultPending = false;
    m_recording = std::make_shared<waverec::Recording>();
    waverec::Job job{m_recording, pcm, file, fileFormat, path,
                     [this](std::int16_t level) {
                         if (m_meterEnabled) emit Level(level);
                     },
                     [this] { recordingEnded(); }};
    m_thread->Start(waverec::RecordJob(std::move(job)));
    SetLastError(0, {});
    return 0;
}

// The recording ended by itself (device or file failure, or a full file).
void cWave::recordingEnded()
{
    m_resultPending = true;
    emit RecordDone();
}

std::int32_t cWave::takeRecordResult()
{
    const wavefile::Status result = m_recording ? m_recording->result : wavefile::Status{};
    m_recording.reset();
    m_resultPending = false;
    return result.ok() ? (SetLastError(0, {}), 0) : fail(result.code, result.text);
}

std::int32_t cWave::StopRecord()
{
    if (m_thread->Busy()) {
        m_thread->Stop();
        const std::int32_t code = takeRecordResult();
        m_thread->PostAlways([this] { emit RecordDone(); });
        return code;
    }
    if (m_resultPending) return takeRecordResult();
    return fail(kWaveErrNotRecording, "No recording is running.");
}

void cWave::PauseRecord()
{
    if (m_recording && m_thread->Busy()) m_recording->paused = true;
}

void cWave::ResumeRecord()
{
    if (m_recording) m_recording->paused = false;
}

bool cWave::IsRecordPaused() const { return m_recording && m_thread->Busy() && m_recording->paused.load(); }

// ---------------------------------------------------------------------------
// Playing

std::int32_t cWave::GetFileInfo(const QString& path, WaveFileInfo& info)
{
    info = {};
    wavefile::Facts facts;
    const wavefile::Problem p = wavefile::ReadFacts(path, &facts);
    if (!p.ok())
        return fail(p.fault == audiodec::Fault::Missing || p.fault == audiodec::Fault::NoFileName ? kWaveErrFileMissing
                                                                                                 : kWaveErrNotAudio,
                    p.text);
    const wavefile::Format& f = facts.format;
    info.wFormatTag = 1;
    info.nChannels = std::uint16_t(f.channels);
    info.nSamplesPerSec = std::uint32_t(f.sampleRate);
    info.nAvgBytesPerSec = std::uint32_t(f.ByteRate());
    info.nBlockAlign = std::uint16_t(f.BlockAlign());
    info.wBitsPerSample = std::uint16_t(f.bitsPerSample);
    const QFileInfo file(path);
    info.FileName = file.fileName();
    info.FilePath = file.absolutePath();
    info.SecondsLength = std::int32_t(std::min<std::int64_t>(facts.frames / f.sampleRate, INT32_MAX));
    return 0;
}

std::int32_t cWave::Play(const QString& path, std::int16_t device, std::int16_t)
{
    const std::int32_t code = player().PlayFile(path, outputIndexFor(device));
    return code == 0 ? (SetLastError(0, {}), 0) : fail(code, player().ErrorText(code));
}

std::int32_t cWave::StopPlay()
{
    if (m_player) m_player->Stop();
    return 0;
}

void cWave::PausePlay()
{
    if (m_player) m_player->Pause();
}

void cWave::ResumePlay()
{
    if (m_player) m_player->Resume();
}

bool cWave::IsPlaying() const { return m_player && m_player->IsPlaying(); }

std::int32_t cWave::GetPlayPosition() const
{
    if (!IsPlaying() || m_player->Length() <= 0) return 0;
    const double part = std::clamp(m_player->Position() / m_player->Length(), 0.0, 1.0);
    return std::int32_t(std::lround(part * kWavePlayPositionScale));
}

std::int32_t cWave::GetPlaySeconds() const { return m_player ? std::int32_t(m_player->Position()) : 0; }

QString cWave::FormatSeconds(std::int32_t seconds) const { return cPlayer::FormatTime(seconds); }

// ---------------------------------------------------------------------------

QString cWave::GetErrorText(std::int32_t code) const
{
    if (code == m_lastError && !m_lastErrorText.isEmpty()) return m_lastErrorText;
    switch (code) {
    case 0: return "No error.";
    case kWaveErrFileMissing: return "The file does not exist.";
    case kWaveErrNotAudio: return "The file holds no audio that can be played.";
    case kWaveErrNoDevice: return "No sound device is available.";
    case kWaveErrDeviceBusy: return "The sound device is busy: another program is using it.";
    case kWaveErrDeviceFormat: return "The sound device cannot take this format.";
    case kWaveErrDevice: return "The sound device failed.";
    case kWaveErrBusy: return "A recording is already running.";
    case kWaveErrFormat: return "This recording format cannot be recorded.";
    case kWaveErrNoFileName: return "No file to record into was given.";
    case kWaveErrFile: return "The recording's file cannot be written.";
    case kWaveErrNotRecording: return "No recording is running.";
    default: return QString("Unknown recorder error (%1).").arg(code);
    }
}

void cWave::Terminate()
{
    if (m_player) m_player->Terminate();
    m_thread->Stop();
    m_recording.reset();
    m_resultPending = false;
}

// ---------------------------------------------------------------------------

namespace {
std::function<std::unique_ptr<cWave>()>& Factory()
{
    static std::function<std::unique_ptr<cWave>()> factory;
    return factory;
}
} // namespace

std::unique_ptr<cWave> CreateWave() { return Factory() ? Factory()() : std::make_unique<cWave>(); }

void SetWaveFactory(std::function<std::unique_ptr<cWave>()> factory) { Factory() = std::move(factory); }
