#include "controls/audio/AlsaDevice.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace alsa {

namespace {

void Quiet(const char*, int, const char*, int, const char*, ...) {}

// ALSA prints its own failures to stderr; ours reach the user as texts.
void SilenceAlsa()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(Quiet); });
}

snd_pcm_format_t AlsaFormat(SampleFormat f)
{
    switch (f) {
    case SampleFormat::U8: return SND_PCM_FORMAT_U8;
    case SampleFormat::S16: return SND_PCM_FORMAT_S16_LE;
    case SampleFormat::S32: return SND_PCM_FORMAT_S32_LE;
    case SampleFormat::Float: return SND_PCM_FORMAT_FLOAT_LE;
    }
    return SND_PCM_FORMAT_S16_LE;
}

QString TakeHint(void* hint, const char* id)
{
    char* value = snd_device_name_get_hint(hint, id);
    QString text = value ? QString::fromUtf8(value) : QString();
    free(value);
    return text;
}

OpenFault FaultOfOpen(int err)
{
    switch (-err) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return OpenFault::NoDevice;
    case EBUSY:
    case EAGAIN: return OpenFault::Busy;
    default: return OpenFault::Failed;
    }
}

constexpr unsigned kBufferMicroseconds = 200000;
constexpr unsigned kPeriodMicroseconds = 50000;

} // namespace

namespace {

struct Hint {
    QString name;
    QString description; // ALSA's, possibly several lines
};

// Every device ALSA hints at for the direction, in ALSA's order.
std::vector<Hint> Hints(Direction direction)
{
    SilenceAlsa();
    std::vector<Hint> found;
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0 || !hints) return found;
    const QString other = direction == Direction::Playback ? "Input" : "Output";
    for (void** h = hints; *h; ++h) {
        const QString name = TakeHint(*h, "NAME");
        if (name.isEmpty() || TakeHint(*h, "IOID") == other) continue;
        found.push_back({name, TakeHint(*h, "DESC")});
    }
    snd_device_name_free_hint(hints);
    return found;
}

bool IsCardDevice(const QString& name) { return name.contains("CARD=") && name.contains("DEV="); }

} // namespace

std::vector<DeviceInfo> ListDevices(Direction direction)
{
    std::vector<DeviceInfo> defaults, cards, own;
    for (const Hint& hint : Hints(direction)) {
        const QString description = hint.description.section('\n', 0, 0).trimmed();
        if (hint.name == "default") {
            defaults.push_back({hint.name, description});
        } else if (IsCardDevice(hint.name)) {
            // ALSA hints at each device of a card through several plugins (hw,
            // plughw, front, dmix...) under one description: one entry, through
            // plughw, which takes whatever format is asked of it.
            const QString key = description.isEmpty() ? hint.name : description;
            auto same = std::find_if(cards.begin(), cards.end(),
                                     [&](const DeviceInfo& d) { return DisplayName(d) == key; });
            if (same == cards.end()) cards.push_back({hint.name, description});
            else if (hint.name.startsWith("plughw:")) same->name = hint.name;
        } else if (hint.description.isEmpty()) {
            own.push_back({hint.name, {}});
        }
    }
    defaults.insert(defaults.end(), cards.begin(), cards.end());
    defaults.insert(defaults.end(), own.begin(), own.end());
    return defaults;
}

QString DisplayName(const DeviceInfo& device)
{
    if (device.name == "default" || device.description.isEmpty()) return device.name;
    return device.description;
}

QString DeviceAtOldPosition(Direction direction, int position)
{
    std::vector<QString> names;
    for (const Hint& hint : Hints(direction)) {
        // The old capture list left out "null".
        if (direction == Direction::Capture && hint.name == "null") continue;
        if (hint.name == "default") names.insert(names.begin(), hint.name);
        else names.push_back(hint.name);
    }
    return position >= 0 && position < int(names.size()) ? names[size_t(position)] : QString();
}

QString OpenFaultText(OpenFault fault, const QString& device, Direction direction, const QString& refusal,
                      const QString& alsaError)
{
    const bool output = direction == Direction::Playback;
    const QString start = QString("The sound %1 device \"%2\" ").arg(output ? "output" : "input", device);
    switch (fault) {
    case OpenFault::None: return {};
    case OpenFault::NoDevice:
        return start + QString("cannot be found (%1). %2 until a sound card or a sound server is set up.")
                           .arg(alsaError, output ? "No sound can be played" : "Nothing can be recorded");
    case OpenFault::Busy:
        return start + "is busy: another program is using it. Close that program or choose another device.";
    case OpenFault::FormatRefused: return start + refusal + ": " + alsaError + ".";
    case OpenFault::Failed: return start + "cannot be opened: " + alsaError + ".";
    }
    return {};
}

int MaxChannels(const QString& device, Direction direction)
{
    SilenceAlsa();
    snd_pcm_t* pcm = nullptr;
    const snd_pcm_stream_t stream = direction == Direction::Playback ? SND_PCM_STREAM_PLAYBACK : SND_PCM_STREAM_CAPTURE;
    if (snd_pcm_open(&pcm, device.toUtf8().constData(), stream, SND_PCM_NONBLOCK) < 0) return 0;
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    unsigned channels = 0;
    if (snd_pcm_hw_params_any(pcm, hw) < 0 || snd_pcm_hw_params_get_channels_max(hw, &channels) < 0) channels = 0;
    snd_pcm_close(pcm);
    return int(std::min(channels, 1024u));
}

int BytesPerSample(SampleFormat format)
{
    switch (format) {
    case SampleFormat::U8: return 1;
    case SampleFormat::S16: return 2;
    case SampleFormat::S32:
    case SampleFormat::Float: return 4;
    }
    return 2;
}

std::vector<SampleFormat> FormatPreference(SampleFormat wanted)
{
    using F = SampleFormat;
    switch (wanted) {
    case F::U8: return {F::U8, F::S16, F::S32, F::Float};
    case F::S16: return {F::S16, F::S32, F::Float, F::U8};
    case F::S32: return {F::S32, F::Float, F::S16, F::U8};
    case F::Float: return {F::Float, F::S32, F::S16, F::U8};
    }
    return {F::S16};
}

OpenFault Pcm::Open(const QString& device, Direction direction, const Format& wanted)
{
    SilenceAlsa();
    Close();
    const snd_pcm_stream_t stream = direction == Direction::Playback ? SND_PCM_STREAM_PLAYBACK : SND_PCM_STREAM_CAPTURE;
    // A busy device answers at once instead of making the caller wait for it;
    // reads and writes block as usual.
    int r = snd_pcm_open(&m_pcm, device.toUtf8().constData(), stream, SND_PCM_NONBLOCK);
    if (r < 0) {
        m_pcm = nullptr;
        m_error = QString::fromUtf8(snd_strerror(r));
        return FaultOfOpen(r);
    }
    snd_pcm_nonblock(m_pcm, 0);
    auto refuse = [this](int err, const QString& what) {
        m_error = what + (err < 0 ? ": " + QString::fromUtf8(snd_strerror(err)) : QString());
        Close();
        return OpenFault::FormatRefused;
    };

    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    snd_pcm_hw_params_any(m_pcm, hw);
    r = snd_pcm_hw_params_set_access(m_pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
    if (r < 0) return refuse(r, "The device takes no interleaved samples");
    bool formatSet = false;
    for (SampleFormat f : FormatPreference(wanted.sample)) {
        if (snd_pcm_hw_params_set_format(m_pcm, hw, AlsaFormat(f)) == 0) {
            m_format.sample = f;
            formatSet = true;
            break;
        }
    }
    if (!formatSet) return refuse(0, "The device takes none of the sample formats offered");
    unsigned channels = unsigned(wanted.channels);
    unsigned rate = unsigned(wanted.sampleRate);
    unsigned bufferTime = kBufferMicroseconds;
    unsigned periodTime = kPeriodMicroseconds;
    if ((r = snd_pcm_hw_params_set_channels_near(m_pcm, hw, &channels)) < 0)
        return refuse(r, "The device refuses the channel count");
    if ((r = snd_pcm_hw_params_set_rate_near(m_pcm, hw, &rate, nullptr)) < 0)
        return refuse(r, "The device refuses the sample rate");
    snd_pcm_hw_params_set_buffer_time_near(m_pcm, hw, &bufferTime, nullptr);
    snd_pcm_hw_params_set_period_time_near(m_pcm, hw, &periodTime, nullptr);
    if ((r = snd_pcm_hw_params(m_pcm, hw)) < 0) return refuse(r, "The device refuses the format");
    m_format.channels = int(channels);
    m_format.sampleRate = int(rate);
    m_canPause = snd_pcm_hw_params_can_pause(hw) == 1;

    snd_pcm_uframes_t period = 0;
    snd_pcm_hw_params_get_period_size(hw, &period, nullptr);
    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    snd_pcm_sw_params_current(m_pcm, sw);
    // Playback starts with the first period instead of a full buffer.
    if (direction == Direction::Playback && period > 0) snd_pcm_sw_params_set_start_threshold(m_pcm, sw, period);
    snd_pcm_sw_params(m_pcm, sw);
    if ((r = snd_pcm_prepare(m_pcm)) < 0) return refuse(r, "The device cannot be made ready");
    m_error.clear();
    return OpenFault::None;
}

void Pcm::Close()
{
    if (m_pcm) snd_pcm_close(m_pcm);
    m_pcm = nullptr;
}

bool Pcm::Write(const void* frames, int count)
{
    auto p = static_cast<const char*>(frames);
    const int frameBytes = m_format.FrameBytes();
    while (count > 0 && m_pcm) {
        snd_pcm_sframes_t n = snd_pcm_writei(m_pcm, p, snd_pcm_uframes_t(count));
        if (n < 0) n = snd_pcm_recover(m_pcm, int(n), 1);
        if (n < 0) {
            m_error = QString::fromUtf8(snd_strerror(int(n)));
            return false;
        }
        p += n * frameBytes;
        count -= int(n);
    }
    return m_pcm != nullptr;
}

int Pcm::Read(void* frames, int count)
{
    if (!m_pcm) return -1;
    snd_pcm_sframes_t n = snd_pcm_readi(m_pcm, frames, snd_pcm_uframes_t(count));
    if (n < 0) n = snd_pcm_recover(m_pcm, int(n), 1);
    if (n < 0) {
        m_error = QString::fromUtf8(snd_strerror(int(n)));
        return -1;
    }
    return int(n);
}

std::int64_t Pcm::Delay()
{
    snd_pcm_sframes_t frames = 0;
    if (!m_pcm || snd_pcm_delay(m_pcm, &frames) < 0) return 0;
    return frames > 0 ? frames : 0;
}

bool Pcm::Pause(bool hold)
{
    if (!m_pcm) return true;
    const snd_pcm_state_t state = snd_pcm_state(m_pcm);
    if (hold ? state != SND_PCM_STATE_RUNNING : state != SND_PCM_STATE_PAUSED) return true; // nothing to hold or free
    return m_canPause && snd_pcm_pause(m_pcm, hold ? 1 : 0) == 0;
}

void Pcm::Drop()
{
    if (!m_pcm) return;
    snd_pcm_drop(m_pcm);
    snd_pcm_prepare(m_pcm);
}

void Pcm::Start()
{
    if (m_pcm && snd_pcm_state(m_pcm) == SND_PCM_STATE_PREPARED && Delay() > 0) snd_pcm_start(m_pcm);
}

bool Pcm::Running()
{
    if (!m_pcm) return false;
    const snd_pcm_state_t state = snd_pcm_state(m_pcm);
    return state == SND_PCM_STATE_RUNNING || state == SND_PCM_STATE_DRAINING;
}

} // namespace alsa
