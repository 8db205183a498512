#include "controls/audio/PlayerPlayback.h"

#include "controls/audio/Player.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace player {

namespace {

// Frames written to the device at a time; between two writes the play looks
// at the owner's requests.
constexpr int kChunkFrames = 2048;
// What the ring for the graphs keeps beyond the device's own delay.
constexpr int kRingSeconds = 2;
constexpr auto kNap = std::chrono::milliseconds(10);

float SampleValue(const uint8_t* p, alsa::SampleFormat f)
{
    switch (f) {
    case alsa::SampleFormat::U8: return (float(*p) - 128.0f) / 128.0f;
    case alsa::SampleFormat::S16: {
        std::int16_t v;
        std::memcpy(&v, p, sizeof v);
        return float(v) / 32768.0f;
    }
    case alsa::SampleFormat::S32: {
        std::int32_t v;
        std::memcpy(&v, p, sizeof v);
        return float(double(v) / 2147483648.0);
    }
    case alsa::SampleFormat::Float: {
        float v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    }
    return 0;
}

struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

} // namespace

AVSampleFormat AvFormatFor(alsa::SampleFormat f)
{
    switch (f) {
    case alsa::SampleFormat::U8: return AV_SAMPLE_FMT_U8;
    case alsa::SampleFormat::S16: return AV_SAMPLE_FMT_S16;
    case alsa::SampleFormat::S32: return AV_SAMPLE_FMT_S32;
    case alsa::SampleFormat::Float: return AV_SAMPLE_FMT_FLT;
    }
    return AV_SAMPLE_FMT_S16;
}

alsa::SampleFormat DeviceFormatFor(AVSampleFormat decoded)
{
    switch (av_get_packed_sample_fmt(decoded)) {
    case AV_SAMPLE_FMT_U8: return alsa::SampleFormat::U8;
    case AV_SAMPLE_FMT_S16: return alsa::SampleFormat::S16;
    case AV_SAMPLE_FMT_S32: return alsa::SampleFormat::S32;
    default: return alsa::SampleFormat::Float;
    }
}

Playback::Playback(std::unique_ptr<audiodec::Source> source, std::unique_ptr<alsa::Pcm> pcm, Callbacks callbacks,
                   Range range)
    : m_source(std::move(source)), m_pcm(std::move(pcm)), m_callbacks(std::move(callbacks)), m_range(range),
      m_format(m_pcm->GetFormat())
{
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, m_format.channels);
    m_resampler = std::make_unique<audiodec::Resampler>(m_format.sampleRate, layout, AvFormatFor(m_format.sample));
    m_converted = std::make_unique<audiodec::ResampleBuffer>(layout, AvFormatFor(m_format.sample));
    av_channel_layout_uninit(&layout);
    m_ringFrames = std::int64_t(m_format.sampleRate) * kRingSeconds + kChunkFrames * 4;
    m_ring.resize(size_t(m_ringFrames * m_format.FrameBytes()));
}

Playback::~Playback() { Stop(); }

void Playback::Start()
{
    m_thread = std::thread([this] { Run(); });
}

void Playback::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_anyRequest = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void Playback::SetPaused(bool paused)
{
    {
        std::lock_guard lock(m_mutex);
        m_paused = paused;
        m_anyRequest = true;
    }
    m_wake.notify_all();
}

void Playback::SeekTo(double seconds)
{
    {
        std::lock_guard lock(m_mutex);
        m_seekPending = true;
        m_seekTarget = std::max(0.0, seconds);
        m_anyRequest = true;
        m_seekRequested = true;
        m_position = m_seekTarget;
    }
    m_wake.notify_all();
}

AudioBlock Playback::Heard(int frames) const
{
    AudioBlock block;
    block.sampleRate = m_format.sampleRate;
    block.channels = m_format.channels;
    std::lock_guard lock(m_ringMutex);
    const std::int64_t end = m_heard;
    const std::int64_t begin = std::max({end - frames, m_written - m_ringFrames, std::int64_t(0)});
    if (end <= begin) return block;
    const int bytes = alsa::BytesPerSample(m_format.sample);
    block.samples.reserve(size_t((end - begin) * block.channels));
    for (std::int64_t i = begin; i < end; ++i) {
        const uint8_t* frame = m_ring.data() + (i % m_ringFrames) * m_format.FrameBytes();
        for (int c = 0; c < block.channels; ++c) block.samples.push_back(SampleValue(frame + c * bytes, m_format.sample));
    }
    return block;
}

// ---------------------------------------------------------------------------
// The play's thread

bool Playback::Interrupted()
{
    if (m_stopping || m_seekTo) return true;
    if (!m_anyRequest.load(std::memory_order_relaxed)) return false;
    std::unique_lock lock(m_mutex);
    if (m_paused && !m_stop && !m_seekPending) HoldWhilePaused(lock);
    m_stopping = m_stop;
    if (m_seekPending && !m_stopping) {
        m_seekTo = m_seekTarget;
        m_seekPending = false;
        m_seekRequested = false;
    }
    m_anyRequest = m_stop || m_paused || m_seekPending;
    return m_stopping || m_seekTo;
}

// Holds the device until the owner resumes, seeks or stops. A device that
// cannot hold is emptied instead, and the play goes on from where it was
// heard.
void Playback::HoldWhilePaused(std::unique_lock<std::mutex>& lock)
{
    lock.unlock();
    PublishPosition();
    const bool held = m_pcm->Pause(true);
    const double pausedAt = m_position.load();
    if (!held) m_pcm->Drop();
    m_callbacks.event(kPlayerEventPaused, std::int32_t(pausedAt), 0);
    lock.lock();
    m_wake.wait(lock, [this] { return !m_paused || m_stop || m_seekPending; });
    if (held) m_pcm->Pause(false);
    else if (!m_seekPending) {
        m_seekPending = true;
        m_seekRequested = true;
        m_seekTarget = pausedAt;
    }
    if (!m_paused && !m_stop) m_callbacks.event(kPlayerEventResumed, std::int32_t(pausedAt), 0);
}

void Playback::DoSeek(double seconds)
{
    m_pcm->Drop();
    m_skipUntil = std::llround(seconds * m_source->SampleRate());
    if (m_skipUntil < m_range.first) {
        m_skipUntil = m_range.first;
        seconds = double(m_range.first) / m_source->SampleRate();
    }
    m_source->SeekToSample(m_skipUntil, audiodec::Seek::Fast);
    m_resampler->Reset();
    m_segmentStart = seconds;
    m_segmentFrames = 0;
    m_rangeEnded = false;
    {
        std::lock_guard lock(m_ringMutex);
        m_heard = m_written;
    }
    m_position = seconds;
}

// A play that begins inside the file starts exactly at its first sample.
void Playback::StartAtSample(std::int64_t sample)
{
    m_skipUntil = sample;
    m_source->SeekToSample(sample, audiodec::Seek::Fast);
    m_segmentStart = double(sample) / m_source->SampleRate();
    m_position = m_segmentStart;
}

void Playback::Written(const uint8_t* data, int frames)
{
    m_segmentFrames += frames;
    {
        std::lock_guard lock(m_ringMutex);
        const int frameBytes = m_format.FrameBytes();
        for (int done = 0; done < frames;) {
            const std::int64_t at = m_written % m_ringFrames;
            const int n = int(std::min<std::int64_t>(frames - done, m_ringFrames - at));
            std::memcpy(m_ring.data() + at * frameBytes, data + std::int64_t(done) * frameBytes, size_t(n) * frameBytes);
            done += n;
            m_written += n;
        }
    }
    PublishPosition();
    if (!m_started) {
        m_started = true;
        m_callbacks.event(kPlayerEventStarted, m_format.sampleRate, m_format.channels);
    }
}

void Playback::PublishPosition()
{
    const std::int64_t delay = std::min(m_pcm->Delay(), m_segmentFrames);
    {
        std::lock_guard lock(m_ringMutex);
        m_heard = m_written - delay;
    }
    if (m_seekRequested.load()) return; // the owner already shows the new place
    const double position = m_segmentStart + double(m_segmentFrames - delay) / m_format.sampleRate;
    m_position = position;
    const auto second = std::int32_t(position);
    if (second != m_lastSecond) {
        m_lastSecond = second;
        m_callbacks.event(kPlayerEventPosition, second, 0);
    }
}

// Writes what the resampler made; false when a request or the device cut it short.
bool Playback::Output()
{
    const uint8_t* data = m_converted->Data() ? m_converted->Data()[0] : nullptr;
    const int frames = m_converted->Count();
    const int frameBytes = m_format.FrameBytes();
    for (int done = 0; done < frames;) {
        if (Interrupted()) return false;
        const int n = std::min(kChunkFrames, frames - done);
        const uint8_t* chunk = data + std::int64_t(done) * frameBytes;
        if (!m_pcm->Write(chunk, n)) {
            m_deviceFailed = true;
            return false;
        }
        Written(chunk, n);
        done += n;
    }
    return true;
}

// After the last frames: true while the device still plays them.
bool Playback::StillSounding()
{
    m_pcm->Start();
    PublishPosition();
    return m_pcm->Running() && m_pcm->Delay() > 0;
}

void Playback::Nap()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, kNap, [this] { return m_anyRequest.load(); });
}

void Playback::Run()
{
    std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
    Ending ending = Ending::Heard;
    bool atEnd = false;
    if (m_range.first > 0) StartAtSample(m_range.first);
    while (!m_deviceFailed) {
        if (Interrupted()) {
            if (m_stopping) break;
            DoSeek(*m_seekTo);
            m_seekTo.reset();
            atEnd = false;
            ending = Ending::Heard;
            continue;
        }
        if (atEnd) {
            if (!StillSounding()) break;
            Nap();
            continue;
        }
        m_converted->Clear();
        const int r = m_rangeEnded ? AVERROR_EOF : m_source->Receive(frame.get());
        if (r == AVERROR_EOF) {
            if (m_resampler->Flush(*m_converted).ok() && !Output()) continue;
            atEnd = true;
            // What the file still holds is heard before it counts as broken off.
            ending = !m_rangeEnded && m_source->BreakOff() ? Ending::FileBroken : Ending::Heard;
            continue;
        }
        if (r < 0) {
            ending = Ending::FileBroken;
            break;
        }
        const std::int64_t pos = m_source->Position();
        const std::int64_t next = pos + frame->nb_samples;
        const std::int64_t count =
            m_range.end >= 0 ? std::min<std::int64_t>(frame->nb_samples, m_range.end - pos) : frame->nb_samples;
        m_rangeEnded = m_range.end >= 0 && next >= m_range.end;
        const std::int64_t offset = std::max<std::int64_t>(0, m_skipUntil - pos);
        const bool keep = offset < count;
        const audiodec::Problem p = keep ? m_resampler->Convert(frame.get(), int(offset), int(count - offset),
                                                                *m_converted)
                                         : audiodec::Problem{};
        av_frame_unref(frame.get());
        if (!p.ok()) {
            ending = Ending::FileBroken;
            break;
        }
        Output();
    }
    if (m_deviceFailed) ending = Ending::DeviceFailed;
    if (m_stopping) m_pcm->Drop();
    m_pcm->Close();
    if (!m_stopping) m_callbacks.ended(ending);
}

} // namespace player
