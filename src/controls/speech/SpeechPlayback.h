#pragma once
// Inside the speech control: one spoken text on one opened device. The
// engine synthesizes on one thread of the speech while another plays what is
// ready, so the sound starts at once and the engine is free again long before
// the speech is heard to its end. The speech reports through the callbacks,
// called on its own threads (the owner posts them on): each word when it is
// heard, then how the speech ended.
#include "controls/audio/AlsaDevice.h"
#include "controls/speech/SpeechEngine.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace speech {

enum class Ending { Spoken, EngineFailed, DeviceFailed };

struct PlaybackCallbacks {
    std::function<void(std::int32_t position, std::int32_t length)> word;
    std::function<void(Ending ending, const QString& error)> ended; // not called after Stop
};

class Playback {
public:
    Playback(const QString& text, const Settings& settings, std::unique_ptr<alsa::Pcm> pcm,
             PlaybackCallbacks callbacks);
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;
    ~Playback();

    void Start();
    // Ends the speech at once and waits for its threads; no ended callback follows.
    void Stop();

private:
    class Collector;
    void Synthesize();
    void Play();
    // The next block of the engine's samples; false when there is none left.
    bool NextBlock(std::vector<std::int16_t>* block);
    bool Output(const std::uint8_t* frames, int count);
    void ReportHeardWords(bool all);
    bool Stopping() const { return m_stop.load(); }
    void Nap();

    const QString m_text;
    const Settings m_settings;
    std::unique_ptr<alsa::Pcm> m_pcm;
    PlaybackCallbacks m_callbacks;
    std::thread m_synthThread, m_playThread;

    // Between the two threads; the owner's Stop.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::vector<std::int16_t>> m_blocks;
    std::vector<Word> m_words;
    bool m_synthEnded = false;
    Result m_synthResult;
    std::atomic<bool> m_stop{false};      // the owner stops the speech
    std::atomic<bool> m_stopSynth{false}; // the engine is no longer needed

    // The play's thread.
    std::int64_t m_written = 0; // device frames
    size_t m_wordsReported = 0;
};

} // namespace speech
