#pragma once
// Inside the player: one play of one file on one opened device, run on its
// own thread. The owner asks it to pause, resume, seek and stop from its own
// thread; the play reports through the two callbacks, which it calls on its
// thread (the owner posts them on).
#include "controls/audio/AlsaDevice.h"
#include "controls/audio/AudioDecoder.h"
#include "controls/audio/AudioBlocks.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace player {

// How a play ended by itself.
enum class Ending { Heard, FileBroken, DeviceFailed };

struct Callbacks {
    std::function<void(std::int32_t code, std::int32_t value1, std::int32_t value2)> event; // PlayerEvent codes
    std::function<void(Ending ending)> ended; // not called after Stop
};

// The part of the file a play covers: source samples [first, end); an end
// below 0 plays to the end of the file.
struct Range {
    std::int64_t first = 0;
    std::int64_t end = -1;
};

// The sample format a device is asked for, to carry the decoded samples unchanged.
alsa::SampleFormat DeviceFormatFor(AVSampleFormat decoded);
// The FFmpeg sample format of a device's interleaved samples.
AVSampleFormat AvFormatFor(alsa::SampleFormat format);

class Playback {
public:
    Playback(std::unique_ptr<audiodec::Source> source, std::unique_ptr<alsa::Pcm> pcm, Callbacks callbacks,
             Range range = {});
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;
    ~Playback();

    void Start();
    // Ends the play at once and waits for its thread; no ended callback follows.
    void Stop();
    void SetPaused(bool paused);
    void SeekTo(double seconds);
    // Seconds of the file heard so far.
    double Position() const { return m_position.load(); }
    // ALSA's text of the device's last failure.
    QString DeviceError() const { return m_pcm->ErrorText(); }
    // The last frames heard (fewer at the start), as the graphs take them.
    AudioBlock Heard(int frames) const;

private:
    void Run();
    // Looks at the owner's requests, holding here while paused; true when a
    // stop or a seek waits (m_stopping, m_seekTo).
    bool Interrupted();
    void HoldWhilePaused(std::unique_lock<std::mutex>& lock);
    void DoSeek(double seconds);
    void StartAtSample(std::int64_t sample);
    bool Output();
    void Written(const uint8_t* data, int frames);
    void PublishPosition();
    bool StillSounding();
    void Nap();

    std::unique_ptr<audiodec::Source> m_source;
    std::unique_ptr<alsa::Pcm> m_pcm;
    Callbacks m_callbacks;
    const Range m_range;
    const alsa::Format m_format; // what the device takes
    std::unique_ptr<audiodec::Resampler> m_resampler;
    std::unique_ptr<audiodec::ResampleBuffer> m_converted;
    std::thread m_thread;

    // Requests from the owner.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_paused = false;
    bool m_seekPending = false;
    double m_seekTarget = 0;
    std::atomic<bool> m_anyRequest{false};
    std::atomic<bool> m_seekRequested{false};

    // The play's thread: requests taken, and the timeline.
    bool m_stopping = false;
    std::optional<double> m_seekTo;
    bool m_deviceFailed = false;
    double m_segmentStart = 0;        // seconds of the file where the frames since the last seek begin
    std::int64_t m_segmentFrames = 0; // device frames written since then
    std::int64_t m_skipUntil = 0;     // source sample where output resumes after a seek
    bool m_rangeEnded = false;        // the frames up to the range's end are out
    std::int32_t m_lastSecond = -1;
    bool m_started = false;
    std::atomic<double> m_position{0};

    // What was written, for the graphs: a ring of device frames.
    mutable std::mutex m_ringMutex;
    std::vector<uint8_t> m_ring;
    std::int64_t m_ringFrames = 0; // capacity in frames
    std::int64_t m_written = 0;    // frames written since the device opened
    std::int64_t m_heard = 0;      // of those, heard by now
};

} // namespace player
