#include "controls/speech/SpeechPlayback.h"

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/PlayerPlayback.h"

#include <algorithm>
#include <chrono>

namespace speech {

namespace {
// Device frames written at a time; between two writes the play looks for Stop.
constexpr int kChunkFrames = 1024;
constexpr auto kNap = std::chrono::milliseconds(10);
} // namespace

// Hands the engine's samples and words to the play's thread.
class Playback::Collector : public Sink {
public:
    explicit Collector(Playback& p) : m_p(p) {}
    bool Samples(const std::int16_t* samples, int count) override
    {
        {
            std::lock_guard lock(m_p.m_mutex);
            m_p.m_blocks.emplace_back(samples, samples + count);
        }
        m_p.m_wake.notify_all();
        return !m_p.m_stopSynth.load();
    }
    void WordStarts(const Word& word) override
    {
        std::lock_guard lock(m_p.m_mutex);
        m_p.m_words.push_back(word);
    }

private:
    Playback& m_p;
};

Playback::Playback(const QString& text, const Settings& settings, std::unique_ptr<alsa::Pcm> pcm,
                   PlaybackCallbacks callbacks)
    : m_text(text), m_settings(settings), m_pcm(std::move(pcm)), m_callbacks(std::move(callbacks))
{
}

Playback::~Playback() { Stop(); }

void Playback::Start()
{
    m_synthThread = std::thread([this] { Synthesize(); });
    m_playThread = std::thread([this] { Play(); });
}

void Playback::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_stopSynth = true;
    }
    m_wake.notify_all();
    if (m_synthThread.joinable()) m_synthThread.join();
    if (m_playThread.joinable()) m_playThread.join();
}

void Playback::Synthesize()
{
    Collector collector(*this);
    const Result result = Engine::Instance().Synthesize(m_text, m_settings, collector);
    {
        std::lock_guard lock(m_mutex);
        m_synthResult = result;
        m_synthEnded = true;
    }
    m_wake.notify_all();
}

bool Playback::NextBlock(std::vector<std::int16_t>* block)
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stop || m_synthEnded || !m_blocks.empty(); });
    if (m_stop || m_blocks.empty()) return false;
    *block = std::move(m_blocks.front());
    m_blocks.pop_front();
    return true;
}

// Raises the words whose start the device has played by now (or all).
void Playback::ReportHeardWords(bool all)
{
    const alsa::Format& f = m_pcm->GetFormat();
    const std::int64_t heardFrames = m_written - std::min(m_pcm->Delay(), m_written);
    const std::int64_t heard = heardFrames * Engine::kSampleRate / f.sampleRate;
    std::vector<Word> due;
    {
        std::lock_guard lock(m_mutex);
        while (m_wordsReported < m_words.size() && (all || m_words[m_wordsReported].sample <= heard))
            due.push_back(m_words[m_wordsReported++]);
    }
    for (const Word& w : due) m_callbacks.word(w.position, w.length);
}

bool Playback::Output(const std::uint8_t* frames, int count)
{
    const int frameBytes = m_pcm->GetFormat().FrameBytes();
    for (int done = 0; done < count && !Stopping();) {
        const int n = std::min(kChunkFrames, count - done);
        if (!m_pcm->Write(frames + std::int64_t(done) * frameBytes, n)) return false;
        m_written += n;
        done += n;
        ReportHeardWords(false);
    }
    return true;
}

void Playback::Nap()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, kNap, [this] { return m_stop.load(); });
}

void Playback::Play()
{
    const alsa::Format& f = m_pcm->GetFormat();
    AVChannelLayout deviceLayout{};
    av_channel_layout_default(&deviceLayout, f.channels);
    audiodec::Resampler resampler(f.sampleRate, deviceLayout, player::AvFormatFor(f.sample));
    audiodec::ResampleBuffer converted(deviceLayout, player::AvFormatFor(f.sample));
    av_channel_layout_uninit(&deviceLayout);
    const AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    const audiodec::PcmShape shape{AV_SAMPLE_FMT_S16, Engine::kSampleRate, &mono};

    bool deviceOk = true;
    std::vector<std::int16_t> block;
    auto write = [&] {
        deviceOk = Output(converted.Data() ? converted.Data()[0] : nullptr, converted.Count());
        converted.Clear();
    };
    while (deviceOk && NextBlock(&block)) {
        const auto* plane = reinterpret_cast<const std::uint8_t*>(block.data());
        if (resampler.Convert(shape, &plane, 0, int(block.size()), converted).ok()) write();
    }
    if (deviceOk && !Stopping() && resampler.Flush(converted).ok()) write();
    // The last frames are heard before the speech counts as ended.
    if (deviceOk) m_pcm->Start();
    while (deviceOk && !Stopping() && m_pcm->Running() && m_pcm->Delay() > 0) {
        ReportHeardWords(false);
        Nap();
    }
    if (!deviceOk) m_stopSynth = true;
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_synthEnded || m_stop; });
    }
    if (Stopping()) {
        m_pcm->Drop();
        m_pcm->Close();
        return;
    }
    if (deviceOk) ReportHeardWords(true);
    const QString deviceError = m_pcm->ErrorText();
    m_pcm->Close();
    if (!deviceOk) m_callbacks.ended(Ending::DeviceFailed, deviceError);
    else if (m_synthResult.outcome == Outcome::Failed) m_callbacks.ended(Ending::EngineFailed, m_synthResult.error);
    else m_callbacks.ended(Ending::Spoken, {});
}

} // namespace speech
