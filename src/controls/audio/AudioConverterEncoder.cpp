// PCM into an encoded file: the resampling into the encoder's format, the
// cutting into its frame size, and the file around it.
#include "controls/audio/AudioConverterEngine.h"

#include <algorithm>

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/frame.h>
}

namespace audioconv {

using audiodec::PcmShape;

// Resamples into the sink's format and cuts into its frame size; a sink with
// its own buffer gets the samples resampled straight into it.
class FrameFeeder : private audiodec::ResampleTarget {
public:
    explicit FrameFeeder(AudioSink& sink)
        : m_sink(sink), m_in(sink.Input()), m_resampler(m_in.sampleRate, m_in.layout, m_in.format)
    {
    }
    FrameFeeder(const FrameFeeder&) = delete;
    FrameFeeder& operator=(const FrameFeeder&) = delete;
    ~FrameFeeder() override
    {
        if (m_fifo) av_audio_fifo_free(m_fifo);
        av_frame_free(&m_out);
        if (m_buf) av_freep(&m_buf[0]);
        av_freep(&m_buf);
    }

    Status Init();
    // Feeds `count` samples from `offset` on: one plane, or one per channel.
    Status Push(const PcmShape& shape, const uint8_t* const* planes, int offset, int count);
    // Flushes the resampler and sends the last, possibly short, frame.
    Status Finish();

private:
    uint8_t** Room(int count) override;
    bool Took(int count) override;
    Status Resampled(const audiodec::Problem& p) const;
    Status SendFull();
    Status SendFrame(int count);

    AudioSink& m_sink;
    const SinkInput& m_in;
    audiodec::Resampler m_resampler;
    Status m_taken; // what the sink or the FIFO said to the last output
    int m_capacity = 0;
    AVAudioFifo* m_fifo = nullptr;
    AVFrame* m_out = nullptr;
    std::int64_t m_pts = 0;
    uint8_t** m_buf = nullptr;
    int m_bufSamples = 0;
};

Status FrameFeeder::Init()
{
    if (m_in.ownBuffer) return {};
    m_capacity = m_in.frameSize > 0 ? m_in.frameSize : 4096;
    m_fifo = av_audio_fifo_alloc(m_in.format, m_in.layout.nb_channels, m_capacity * 2);
    m_out = av_frame_alloc();
    if (!m_fifo || !m_out) return Fail(kConvertErrSettingsRefused, "Out of memory.");
    m_out->format = m_in.format;
    m_out->sample_rate = m_in.sampleRate;
    av_channel_layout_copy(&m_out->ch_layout, &m_in.layout);
    m_out->nb_samples = m_capacity;
    if (av_frame_get_buffer(m_out, 0) < 0) return Fail(kConvertErrSettingsRefused, "Out of memory.");
    return {};
}

uint8_t** FrameFeeder::Room(int count)
{
    if (m_in.ownBuffer) return m_sink.Buffer(count);
    if (count > m_bufSamples) {
        if (m_buf) av_freep(&m_buf[0]);
        av_freep(&m_buf);
        if (av_samples_alloc_array_and_samples(&m_buf, nullptr, m_in.layout.nb_channels, count, m_in.format, 0) < 0)
            return nullptr;
        m_bufSamples = count;
    }
    return m_buf;
}

bool FrameFeeder::Took(int count)
{
    if (m_in.ownBuffer) m_taken = m_sink.Wrote(count);
    else if (av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(m_buf), count) < count)
        m_taken = Fail(kConvertErrSettingsRefused, "Out of memory.");
    return m_taken.ok();
}

Status FrameFeeder::Resampled(const audiodec::Problem& p) const
{
    return p.fault == audiodec::Fault::Declined ? m_taken : FromProblem(p);
}

Status FrameFeeder::Push(const PcmShape& shape, const uint8_t* const* planes, int offset, int count)
{
    const Status s = Resampled(m_resampler.Convert(shape, planes, offset, count, *this));
    return s.ok() ? SendFull() : s;
}

Status FrameFeeder::SendFull()
{
    while (m_fifo && av_audio_fifo_size(m_fifo) >= m_capacity) {
        Status s = SendFrame(m_capacity);
        if (!s.ok()) return s;
    }
    return {};
}

Status FrameFeeder::SendFrame(int count)
{
    m_out->nb_samples = m_capacity;
    if (av_frame_make_writable(m_out) < 0) return Fail(kConvertErrSettingsRefused, "Out of memory.");
    const int got = av_audio_fifo_read(m_fifo, reinterpret_cast<void**>(m_out->extended_data), count);
    int samples = std::max(got, 0);
    if (samples < m_capacity && !m_in.shortLastFrame && m_in.frameSize > 0) {
        // The encoder takes whole frames only: pad the last one with silence.
        av_samples_set_silence(m_out->extended_data, samples, m_capacity - samples, m_in.layout.nb_channels,
                               m_in.format);
        samples = m_capacity;
    }
    m_out->nb_samples = samples;
    m_out->pts = m_pts;
    m_pts += samples;
    return m_sink.Write(m_out);
}

Status FrameFeeder::Finish()
{
    Status s = Resampled(m_resampler.Flush(*this));
    if (s.ok()) s = SendFull();
    if (!s.ok() || !m_fifo) return s;
    return av_audio_fifo_size(m_fifo) > 0 ? SendFrame(av_audio_fifo_size(m_fifo)) : Status{};
}

// ---------------------------------------------------------------------------
// FileEncoder

FileEncoder::FileEncoder() = default;

FileEncoder::~FileEncoder() = default;

Status FileEncoder::Reported(const Status& s) const { return !s.ok() && m_out.Failed() ? m_out.WriteError() : s; }

Status FileEncoder::Prepare(const EncoderSettings& settings, const SourceFacts& source)
{
    m_source = source;
    Status s = MakeSink(settings, source, &m_sink);
    if (!s.ok()) return s;
    m_feeder = std::make_unique<FrameFeeder>(*m_sink);
    return m_feeder->Init();
}

Status FileEncoder::Start(const QString& destination, const Tags& tags)
{
    Status s = m_out.Create(destination);
    if (s.ok()) s = m_sink->Open(m_out, tags);
    return Reported(s);
}

Status FileEncoder::Write(const AVFrame* frame, int offset, int count)
{
    const PcmShape shape{AVSampleFormat(frame->format), frame->sample_rate, &frame->ch_layout};
    return Reported(m_feeder->Push(shape, frame->extended_data, offset, count));
}

Status FileEncoder::WriteInterleaved16(const std::int16_t* samples, int count)
{
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, m_source.channels);
    const PcmShape shape{AV_SAMPLE_FMT_S16, m_source.sampleRate, &layout};
    const auto* plane = reinterpret_cast<const uint8_t*>(samples);
    return Reported(m_feeder->Push(shape, &plane, 0, count));
}

Status FileEncoder::Finish()
{
    Status s = m_feeder->Finish();
    if (s.ok()) s = m_sink->Finish();
    if (s.ok()) s = m_out.Commit();
    return Reported(s);
}

} // namespace audioconv
