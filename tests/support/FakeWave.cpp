#include "support/FakeWave.h"

#include "controls/audio/WaveFile.h"

#include <QMetaObject>
#include <algorithm>
#include <cmath>

namespace {
FakeWave*& LastFake()
{
    static FakeWave* last = nullptr;
    return last;
}
} // namespace

FakeWave::FakeWave() { LastFake() = this; }

FakeWave::~FakeWave()
{
    if (LastFake() == this) LastFake() = nullptr;
}

FakeWave* FakeWave::Last() { return LastFake(); }

std::int32_t FakeWave::takeFailure(Failures& failures)
{
    if (failures.empty()) return 0;
    const auto [code, text] = failures.front();
    failures.pop_front();
    SetLastError(code, text);
    return code;
}

std::int32_t FakeWave::GetDeviceCount(std::int32_t kind)
{
    calls << QString("GetDeviceCount %1").arg(kind);
    return std::int32_t((kind == kWaveOutputDevices ? outputs : inputs).size());
}

std::int32_t FakeWave::GetDeviceCaps(std::int32_t index, WaveDeviceCaps& caps, std::int32_t kind)
{
    calls << QString("GetDeviceCaps %1 %2").arg(index).arg(kind);
    const std::vector<Device>& list = kind == kWaveOutputDevices ? outputs : inputs;
    caps = {};
    if (index < 0 || index >= std::int32_t(list.size())) return kWaveErrNoDevice;
    caps.sName = list[size_t(index)].name;
    caps.sDescription = list[size_t(index)].description;
    caps.lKind = kind;
    caps.lChannels = list[size_t(index)].channels;
    return 0;
}

void FakeWave::SetMeterEnabled(bool enabled)
{
    calls << QString("MeterEnabled %1").arg(enabled ? 1 : 0);
    cWave::SetMeterEnabled(enabled);
}

std::int32_t FakeWave::RecordStart(std::int32_t device, const QString& path, const WAVEFORMATEX& format,
                                   std::int16_t bufferHint)
{
    calls << QString("RecordStart %1 %2 %3").arg(device).arg(path).arg(bufferHint);
    lastFormat = format;
    lastPath = path;
    if (const std::int32_t code = takeFailure(m_recordStartFailures)) return code;
    if (m_recording) {
        SetLastError(kWaveErrBusy, "A recording is already running; stop it first.");
        return kWaveErrBusy;
    }
    m_recording = true;
    m_recordPaused = m_ended = false;
    return 0;
}

void FakeWave::writeRecording() const
{
    const wavefile::Format format{lastFormat.nChannels, int(lastFormat.nSamplesPerSec), lastFormat.wBitsPerSample};
    const std::int64_t frames = std::llround(recordedSeconds * format.sampleRate);
    const QByteArray silence(qsizetype(frames * format.BlockAlign()), format.bitsPerSample == 8 ? char(0x80) : '\0');
    wavefile::Writer out;
    if (out.Create(lastPath, format).ok() && out.Append(silence.constData(), silence.size())) out.Commit();
}

std::int32_t FakeWave::StopRecord()
{
    calls << "StopRecord";
    if (m_recording) {
        m_recording = m_recordPaused = false;
        std::int32_t code = takeFailure(m_stopRecordFailures);
        if (code == 0 && writeRecordings) writeRecording();
        m_events.Post([this] { emit RecordDone(); });
        return code;
    }
    if (m_ended) {
        m_ended = false;
        return m_endResult;
    }
    SetLastError(kWaveErrNotRecording, "No recording is running.");
    return kWaveErrNotRecording;
}

void FakeWave::EndRecording(std::int32_t code, const QString& text)
{
    if (!m_recording) return;
    m_recording = m_recordPaused = false;
    m_ended = true;
    m_endResult = code;
    if (code != 0) SetLastError(code, text);
    else if (writeRecordings) writeRecording();
    m_events.Post([this] { emit RecordDone(); });
}

void FakeWave::PauseRecord()
{
    calls << "PauseRecord";
    if (m_recording) m_recordPaused = true;
}

void FakeWave::ResumeRecord()
{
    calls << "ResumeRecord";
    m_recordPaused = false;
}

bool FakeWave::IsRecordPaused() const
{
    record("IsRecordPaused");
    return m_recording && m_recordPaused;
}

std::int32_t FakeWave::GetFileInfo(const QString& path, WaveFileInfo& info)
{
    calls << "GetFileInfo " + path;
    const auto it = files.constFind(path);
    info = it != files.constEnd() ? *it : WaveFileInfo{};
    return it != files.constEnd() ? 0 : kWaveErrFileMissing;
}

std::int32_t FakeWave::Play(const QString& path, std::int16_t device, std::int16_t bufferHint)
{
    calls << QString("Play %1 %2 %3").arg(path).arg(device).arg(bufferHint);
    if (const std::int32_t code = takeFailure(m_playFailures)) return code;
    m_playEvents.Drop();
    m_playing = true;
    m_position = 0;
    m_length = files.value(path).SecondsLength;
    return 0;
}

void FakeWave::FinishPlay()
{
    if (!m_playing) return;
    m_playEvents.Post([this] {
        m_playing = false;
        emit PlayDone();
    });
}

std::int32_t FakeWave::StopPlay()
{
    calls << "StopPlay";
    if (const std::int32_t code = takeFailure(m_stopPlayFailures)) return code;
    if (m_playing) {
        m_playEvents.Drop();
        m_playing = false;
        m_playEvents.Post([this] { emit PlayDone(); });
    }
    return 0;
}

void FakeWave::PausePlay() { calls << "PausePlay"; }
void FakeWave::ResumePlay() { calls << "ResumePlay"; }

bool FakeWave::IsPlaying() const
{
    record("IsPlaying");
    return m_playing;
}

void FakeWave::MoveTo(double seconds, double length)
{
    m_position = seconds;
    m_length = length;
}

std::int32_t FakeWave::GetPlayPosition() const
{
    record("GetPlayPosition");
    if (!m_playing || m_length <= 0) return 0;
    return std::int32_t(std::lround(std::clamp(m_position / m_length, 0.0, 1.0) * kWavePlayPositionScale));
}

std::int32_t FakeWave::GetPlaySeconds() const
{
    record("GetPlaySeconds");
    return m_playing ? std::int32_t(m_position) : 0;
}

void FakeWave::SendLevel(std::int16_t level)
{
    m_events.Post([this, level] {
        if (MeterEnabled()) emit Level(level);
    });
}

QString FakeWave::GetErrorText(std::int32_t code) const
{
    record(QString("GetErrorText %1").arg(code));
    return cWave::GetErrorText(code);
}

void FakeWave::Terminate()
{
    calls << "Terminate";
    m_playEvents.Drop();
    m_playing = m_recording = m_recordPaused = m_ended = false;
}
