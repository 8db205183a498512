#include "controls/audio/Player.h"

#include "controls/audio/AlsaDevice.h"
#include "controls/audio/AudioDecoder.h"
#include "controls/audio/AudioBlocks.h"
#include "controls/audio/PlayerPlayback.h"
#include "platform/MessageBox.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <cmath>

struct cPlayer::Devices {
    bool listed = false;
    std::vector<alsa::DeviceInfo> list;
};

namespace {

// Frames of the blocks the graphs get: enough for a fine spectrum, and about
// the 100 ms between two graph updates.
constexpr int kGraphFrames = 4096;

std::int32_t FileFault(const audiodec::Problem& p)
{
    return p.fault == audiodec::Fault::Missing || p.fault == audiodec::Fault::NoFileName ? kPlayerErrFileMissing
                                                                                          : kPlayerErrNotAudio;
}

QString FileFaultText(std::int32_t code, const QString& path)
{
    return code == kPlayerErrFileMissing
               ? "The file to play does not exist: " + path
               : "The file cannot be played: it holds no audio that can be read: " + path;
}

} // namespace

std::int32_t PlayerErrorOf(alsa::OpenFault fault)
{
    switch (fault) {
    case alsa::OpenFault::None: return 0;
    case alsa::OpenFault::NoDevice: return kPlayerErrNoDevice;
    case alsa::OpenFault::Busy: return kPlayerErrDeviceBusy;
    case alsa::OpenFault::FormatRefused: return kPlayerErrDeviceFormat;
    case alsa::OpenFault::Failed: return kPlayerErrDevice;
    }
    return kPlayerErrDevice;
}

cPlayer::cPlayer(QObject* parent) : QObject(parent), m_devices(std::make_unique<Devices>())
{
    // Failures reach the user through our own texts; keep FFmpeg's log quiet.
    av_log_set_level(AV_LOG_FATAL);
}

cPlayer::~cPlayer() = default;

void cPlayer::forget() { SetFacts(0, 0, 0, 0); }

void cPlayer::SetFacts(double length, std::int32_t sampleRate, std::int32_t bitrate, std::int32_t channels)
{
    m_length = length;
    m_sampleRate = sampleRate;
    m_bitrate = bitrate;
    m_channels = channels;
}

void cPlayer::SetPlayState(bool playing, bool paused)
{
    m_playing = playing;
    m_paused = playing && paused;
}

void cPlayer::SetLastError(std::int32_t code, const QString& text)
{
    m_lastError = code;
    m_lastErrorText = text;
}

std::int32_t cPlayer::fail(std::int32_t code, const QString& text)
{
    SetLastError(code, text);
    return code;
}

void cPlayer::Post(std::function<void()> event) { m_events.Post(std::move(event)); }

std::int32_t cPlayer::OpenFile(const QString& path)
{
    forget();
    audiodec::Source source;
    const audiodec::Problem p = source.Open(path);
    if (!p.ok()) return fail(FileFault(p), FileFaultText(FileFault(p), path));
    const audiodec::Facts f = source.GetFacts();
    SetFacts(double(f.lengthMs) / 1000.0, f.sampleRate, std::int32_t(std::llround(double(f.bitRate) / 1000.0)),
             f.channels);
    return 0;
}

QString cPlayer::FormatTime(std::int64_t seconds)
{
    const std::int64_t s = std::max<std::int64_t>(seconds, 0);
    return QString("%1:%2:%3")
        .arg(s / 3600)
        .arg((s / 60) % 60, 2, 10, QChar('0'))
        .arg(s % 60, 2, 10, QChar('0'));
}

// ---------------------------------------------------------------------------
// Devices

std::int32_t cPlayer::DeviceCount()
{
    if (!m_devices->listed) RefreshDevices();
    return std::int32_t(m_devices->list.size());
}

QString cPlayer::DeviceName(std::int32_t index)
{
    return index >= 0 && index < DeviceCount() ? m_devices->list[size_t(index)].name : QString();
}

QString cPlayer::DeviceDescription(std::int32_t index)
{
    return index >= 0 && index < DeviceCount() ? m_devices->list[size_t(index)].description : QString();
}

void cPlayer::RefreshDevices()
{
    m_devices->list = alsa::ListDevices(alsa::Direction::Playback);
    m_devices->listed = true;
}

QString cPlayer::deviceFor(std::int32_t index) { return index == -1 ? QString("default") : DeviceName(index); }

// ---------------------------------------------------------------------------
// Playing

std::int32_t cPlayer::PlayFile(const QString& path, std::int32_t device) { return PlayRange(path, device, 0, -1); }

std::int32_t cPlayer::PlayRange(const QString& path, std::int32_t device, std::int64_t first, std::int64_t end)
{
    m_playback.reset();
    NewGeneration();
    SetPlayState(false, false);

    auto source = std::make_unique<audiodec::Source>();
    audiodec::Problem p = source->Open(path);
    if (p.ok()) p = source->OpenDecoder();
    if (!p.ok()) {
        forget();
        return fail(FileFault(p), FileFaultText(FileFault(p), path));
    }
    const audiodec::Facts f = source->GetFacts();
    SetFacts(double(f.lengthMs) / 1000.0, f.sampleRate, std::int32_t(std::llround(double(f.bitRate) / 1000.0)),
             f.channels);

    const QString name = deviceFor(device);
    if (name.isEmpty())
        return fail(kPlayerErrNoDevice, QString("There is no sound output device number %1.").arg(device));
    auto pcm = std::make_unique<alsa::Pcm>();
    const alsa::Format wanted{f.sampleRate, f.channels, player::DeviceFormatFor(source->DecodedFormat())};
    const alsa::OpenFault fault = pcm->Open(name, alsa::Direction::Playback, wanted);
    if (fault != alsa::OpenFault::None)
        return fail(PlayerErrorOf(fault),
                    alsa::OpenFaultText(fault, name, alsa::Direction::Playback,
                                        QString("cannot play this file (%1 Hz, %2 channels)").arg(f.sampleRate).arg(f.channels),
                                        pcm->ErrorText()));

    // The play's thread reports through events posted to this thread; those
    // of a play that Stop or a new play has replaced are dropped.
    const unsigned generation = m_events.Generation();
    player::Callbacks callbacks;
    callbacks.event = [this, generation](std::int32_t code, std::int32_t a, std::int32_t b) {
        m_events.PostFor(generation, [this, code, a, b] { emit PlayerEvent(code, a, b); });
    };
    callbacks.ended = [this, generation](player::Ending ending) {
        m_events.PostFor(generation, [this, ending] { playbackEnded(int(ending)); });
    };
    m_playback = std::make_unique<player::Playback>(std::move(source), std::move(pcm), std::move(callbacks),
                                                    player::Range{std::max<std::int64_t>(first, 0), end});
    m_playback->Start();
    SetPlayState(true, false);
    SetLastError(0, {});
    return 0;
}

void cPlayer::playbackEnded(int ending)
{
    const QString deviceError = m_playback ? m_playback->DeviceError() : QString();
    m_playback.reset();
    SetPlayState(false, false);
    switch (player::Ending(ending)) {
    case player::Ending::Heard: break;
    case player::Ending::FileBroken:
        SetLastError(kPlayerErrNotAudio, "The file broke off while playing; it is damaged or cut short.");
        emit PlayerEvent(kPlayerEventBrokenOff, kPlayerErrNotAudio, 0);
        break;
    case player::Ending::DeviceFailed:
        SetLastError(kPlayerErrDevice, "The sound output device failed while playing: " + deviceError);
        emit PlayerEvent(kPlayerEventBrokenOff, kPlayerErrDevice, 0);
        break;
    }
    emit PlayFinished();
}

void cPlayer::Pause()
{
    if (!m_playback || m_paused) return;
    SetPlayState(true, true);
    m_playback->SetPaused(true);
}

void cPlayer::Resume()
{
    if (!m_playback || !m_paused) return;
    SetPlayState(true, false);
    m_playback->SetPaused(false);
}

void cPlayer::Stop()
{
    if (!m_playback) return;
    m_playback.reset();
    NewGeneration();
    SetPlayState(false, false);
    Post([this] { emit PlayFinished(); });
}

void cPlayer::Seek(std::int32_t seconds)
{
    if (m_playback) m_playback->SeekTo(std::max(seconds, 0));
}

double cPlayer::Position() const { return m_playback ? m_playback->Position() : 0.0; }

std::int32_t cPlayer::AudioData() { return m_playback ? PublishAudioBlock(m_playback->Heard(kGraphFrames)) : 0; }

void cPlayer::Terminate()
{
    m_playback.reset();
    NewGeneration();
    SetPlayState(false, false);
    forget();
}

// ---------------------------------------------------------------------------
// Errors

QString cPlayer::ErrorText(std::int32_t code) const
{
    if (code == m_lastError && !m_lastErrorText.isEmpty()) return m_lastErrorText;
    switch (code) {
    case kPlayerErrFileMissing: return "The file to play does not exist.";
    case kPlayerErrNotAudio: return "The file cannot be played: it holds no audio that can be read.";
    case kPlayerErrNoDevice: return "No sound output device is available.";
    case kPlayerErrDeviceBusy: return "The sound output device is busy: another program is using it.";
    case kPlayerErrDeviceFormat: return "The sound output device cannot play this file's format.";
    case kPlayerErrDevice: return "The sound output device failed.";
    default: return QString("Unknown player error (%1).").arg(code);
    }
}

void cPlayer::ReportError(std::int32_t code) { platform::MsgBox(ErrorText(code), platform::vbExclamation); }

// ---------------------------------------------------------------------------

namespace {
std::function<std::unique_ptr<cPlayer>()>& Factory()
{
    static std::function<std::unique_ptr<cPlayer>()> factory;
    return factory;
}
} // namespace

std::unique_ptr<cPlayer> CreatePlayer() { return Factory() ? Factory()() : std::make_unique<cPlayer>(); }

void SetPlayerFactory(std::function<std::unique_ptr<cPlayer>()> factory) { Factory() = std::move(factory); }
