// PCM into an encoded file: the resampling into the encoder's format, the
// cutting into its frame size, and the file around it.
#include "controls/AudioConverterEngine.h"

#include <algorithm>
#include <vector>

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

namespace audioconv {

// The shape of PCM handed to the feeder.
struct PcmShape {
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
    int sampleRate = 0;
    const AVChannelLayout* layout = nullptr;
};

// Resamples into the sink's format and cuts into its frame size; a sink with
// its own buffer gets the samples resampled straight into it.
class FrameFeeder {
public:
    explicit FrameFeeder(AudioSink& sink) : m_sink(sink), m_in(sink.Input()) {}
    FrameFeeder(const FrameFeeder&) = delete;
    FrameFeeder& operator=(const FrameFeeder&) = delete;
    ~FrameFeeder()
    {
        swr_free(&m_swr);
        if (m_fifo) av_audio_fifo_free(m_fifo);
        av_frame_free(&m_out);
        if (m_buf) av_freep(&m_buf[0]);
        av_freep(&m_buf);
        av_channel_layout_uninit(&m_srcLayout);
    }

    Status Init();
    // Feeds `count` samples from `offset` on: one plane, or one per channel.
    Status Push(const PcmShape& shape, const uint8_t* const* planes, int offset, int count);
    // Flushes the resampler and sends the last, possibly short, frame.
    Status Finish();

private:
    Status SetUpResampler(const PcmShape& shape);
    Status Convert(const uint8_t** in, int count);
    Status SendFull();
    Status SendFrame(int count);

    AudioSink& m_sink;
    const SinkInput& m_in;
    int m_capacity = 0;
    SwrContext* m_swr = nullptr;
    AVChannelLayout m_srcLayout{};
    int m_srcRate = 0;
    int m_srcFormat = AV_SAMPLE_FMT_NONE;
    AVAudioFifo* m_fifo = nullptr;
    AVFrame* m_out = nullptr;
    std::int64_t m_pts = 0;
    uint8_t** m_buf = nullptr;
    int m_bufSamples = 0;
    std::vector<const uint8_t*> m_inPtrs;
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

Status FrameFeeder::SetUpResampler(const PcmShape& shape)
{
    AVChannelLayout layout{};
    if (shape.layout->order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&layout, shape.layout->nb_channels);
    else
        av_channel_layout_copy(&layout, shape.layout);
    const bool same = m_swr && m_srcRate == shape.sampleRate && m_srcFormat == shape.format &&
                      av_channel_layout_compare(&m_srcLayout, &layout) == 0;
    if (same) {
        av_channel_layout_uninit(&layout);
        return {};
    }
    if (m_swr) {
        // The source changed format mid-stream: keep what the old set-up still holds.
        Status s = Convert(nullptr, 0);
        if (!s.ok()) return s;
        swr_free(&m_swr);
    }
    av_channel_layout_uninit(&m_srcLayout);
    m_srcLayout = layout;
    m_srcRate = shape.sampleRate;
    m_srcFormat = shape.format;
    if (swr_alloc_set_opts2(&m_swr, const_cast<AVChannelLayout*>(&m_in.layout), m_in.format, m_in.sampleRate,
                            &m_srcLayout, AVSampleFormat(m_srcFormat), m_srcRate, 0, nullptr) < 0 ||
        swr_init(m_swr) < 0)
        return Fail(kConvertErrSettingsRefused, QString("Cannot convert %1 Hz, %2 channels to %3 Hz, %4 channels.")
                                                    .arg(m_srcRate)
                                                    .arg(m_srcLayout.nb_channels)
                                                    .arg(m_in.sampleRate)
                                                    .arg(m_in.layout.nb_channels));
    return {};
}

Status FrameFeeder::Convert(const uint8_t** in, int count)
{
    const int room = swr_get_out_samples(m_swr, count);
    if (room <= 0) return {};
    if (m_in.ownBuffer) {
        const int got = swr_convert(m_swr, m_sink.Buffer(room), room, in, count);
        if (got < 0) return Fail(kConvertErrDecode, "Resampling failed: " + AvErrorText(got));
        return got > 0 ? m_sink.Wrote(got) : Status{};
    }
    if (room > m_bufSamples) {
        if (m_buf) av_freep(&m_buf[0]);
        av_freep(&m_buf);
        if (av_samples_alloc_array_and_samples(&m_buf, nullptr, m_in.layout.nb_channels, room, m_in.format, 0) < 0)
            return Fail(kConvertErrSettingsRefused, "Out of memory.");
        m_bufSamples = room;
    }
    const int got = swr_convert(m_swr, m_buf, room, in, count);
    if (got < 0) return Fail(kConvertErrDecode, "Resampling failed: " + AvErrorText(got));
    if (got > 0 && av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(m_buf), got) < got)
        return Fail(kConvertErrSettingsRefused, "Out of memory.");
    return {};
}

Status FrameFeeder::Push(const PcmShape& shape, const uint8_t* const* planes, int offset, int count)
{
    Status s = SetUpResampler(shape);
    if (!s.ok()) return s;
    const int bytes = av_get_bytes_per_sample(shape.format);
    const int channels = shape.layout->nb_channels;
    if (av_sample_fmt_is_planar(shape.format)) {
        m_inPtrs.resize(size_t(channels));
        for (int c = 0; c < channels; ++c) m_inPtrs[size_t(c)] = planes[c] + offset * bytes;
    } else {
        m_inPtrs.assign(1, planes[0] + offset * bytes * channels);
    }
    s = Convert(m_inPtrs.data(), count);
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
    if (m_swr) {
        Status s = Convert(nullptr, 0);
        if (!s.ok()) return s;
    }
    Status s = SendFull();
    if (!s.ok() || !m_fifo) return s;
    return av_audio_fifo_size(m_fifo) > 0 ? SendFrame(av_audio_fifo_size(m_fifo)) : Status{};
}

// ---------------------------------------------------------------------------
// FileEncoder

FileEncoder::FileEncoder() = default;

FileEncoder::~FileEncoder() = default;

Status FileEncoder::Reported(const Status& s) const { return !s.ok() && m_out.Failed() ? m_out.WriteError() : s; }

Status FileEncoder::Prepare(const Request& request, const SourceFacts& source)
{
    m_source = source;
    Status s = MakeSink(request, source, &m_sink);
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
