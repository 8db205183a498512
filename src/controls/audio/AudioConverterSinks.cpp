// The destination formats FFmpeg writes (WAV, WAV through a codec, WMA),
// and the choice of sink for a request.
#include "controls/audio/AudioConverterCodecs.h"
#include "controls/audio/AudioConverterEngine.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

namespace audioconv {
namespace {

// One FFmpeg encoder in one container.
struct EncoderSetup {
    const char* muxer = nullptr;
    const char* encoder = nullptr;
    int sampleRate = 0;
    int channels = 0;
    std::int64_t bitRate = 0; // bit/s; 0: the encoder's own
    const char* yearKey = "date";
    QString what; // for messages: "WAV 44100 Hz, 16 Bit, Stereo"
};

class FfmpegSink : public AudioSink {
public:
    explicit FfmpegSink(EncoderSetup setup) : m_setup(std::move(setup)) {}
    ~FfmpegSink() override
    {
        avcodec_free_context(&m_enc);
        if (m_fmt) {
            if (m_fmt->pb) av_freep(&m_fmt->pb->buffer);
            avio_context_free(&m_fmt->pb);
            avformat_free_context(m_fmt);
        }
        av_packet_free(&m_pkt);
        av_channel_layout_uninit(&m_input.layout);
    }

    // Opens the encoder, before any file exists, so refused settings come first.
    Status Prepare();
    const SinkInput& Input() const override { return m_input; }
    Status Open(OutputFile& file, const Tags& tags) override;
    Status Write(AVFrame* frame) override;
    Status Finish() override;

private:
    Status WritePackets();
    Status Refused(int err) const
    {
        return Fail(kConvertErrSettingsRefused,
                    QString("The encoder refused the settings %1: %2").arg(m_setup.what, AvErrorText(err)));
    }

    EncoderSetup m_setup;
    SinkInput m_input;
    AVCodecContext* m_enc = nullptr;
    AVFormatContext* m_fmt = nullptr;
    AVStream* m_stream = nullptr;
    AVPacket* m_pkt = nullptr;
};

Status FfmpegSink::Prepare()
{
    const AVCodec* codec = avcodec_find_encoder_by_name(m_setup.encoder);
    const AVOutputFormat* muxer = av_guess_format(m_setup.muxer, nullptr, nullptr);
    if (!codec || !muxer)
        return Fail(kConvertErrFormatUnavailable,
                    QString("The encoder for %1 is not available on this system.").arg(m_setup.what));
    m_enc = avcodec_alloc_context3(codec);
    m_pkt = av_packet_alloc();
    if (!m_enc || !m_pkt) return Fail(kConvertErrSettingsRefused, "Out of memory.");
    m_enc->sample_rate = m_setup.sampleRate;
    av_channel_layout_default(&m_enc->ch_layout, m_setup.channels);
    m_enc->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    m_enc->time_base = AVRational{1, m_setup.sampleRate};
    m_enc->bit_rate = m_setup.bitRate;
    if (muxer->flags & AVFMT_GLOBALHEADER) m_enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int r = avcodec_open2(m_enc, codec, nullptr);
    if (r < 0) return Refused(r);

    m_input.sampleRate = m_enc->sample_rate;
    av_channel_layout_copy(&m_input.layout, &m_enc->ch_layout);
    m_input.format = m_enc->sample_fmt;
    const bool anySize = codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
    m_input.frameSize = anySize ? 0 : m_enc->frame_size;
    m_input.shortLastFrame = anySize || (codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
    return {};
}

int WriteToFile(void* opaque, uint8_t* buf, int size)
{
    auto* file = static_cast<OutputFile*>(opaque);
    return file->Write(buf, size_t(size)) ? size : AVERROR(EIO);
}

int64_t SeekInFile(void* opaque, int64_t offset, int whence)
{
    auto* file = static_cast<OutputFile*>(opaque);
    if (whence & AVSEEK_SIZE) return file->Size();
    return file->Seek(offset, whence & ~AVSEEK_FORCE);
}

void SetTag(AVDictionary** dict, const char* key, const QString& value)
{
    if (!value.isEmpty()) av_dict_set(dict, key, value.toUtf8().constData(), 0);
}

Status FfmpegSink::Open(OutputFile& file, const Tags& tags)
{
    const int r = avformat_alloc_output_context2(&m_fmt, nullptr, m_setup.muxer, nullptr);
    if (r < 0) return Refused(r);
    constexpr int kBufferSize = 1 << 16;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    m_fmt->pb = buffer ? avio_alloc_context(buffer, kBufferSize, 1, &file, nullptr, WriteToFile, SeekInFile) : nullptr;
    if (!m_fmt->pb) {
        av_free(buffer);
        return Fail(kConvertErrSettingsRefused, "Out of memory.");
    }
    m_fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
    m_stream = avformat_new_stream(m_fmt, nullptr);
    if (!m_stream) return Fail(kConvertErrSettingsRefused, "Out of memory.");
    avcodec_parameters_from_context(m_stream->codecpar, m_enc);
    m_stream->time_base = m_enc->time_base;

    AVDictionary** dict = &m_fmt->metadata;
    SetTag(dict, "title", tags.title);
    SetTag(dict, "artist", tags.artist);
    SetTag(dict, "album", tags.album);
    SetTag(dict, "comment", tags.comment);
    SetTag(dict, "genre", tags.genre);
    SetTag(dict, "track", tags.track);
    SetTag(dict, m_setup.yearKey, tags.year);

    const int h = avformat_write_header(m_fmt, nullptr);
    return h < 0 ? Fail(kConvertErrDestinationWrite, "Cannot write the file header: " + AvErrorText(h)) : Status{};
}

Status FfmpegSink::WritePackets()
{
    for (;;) {
        int r = avcodec_receive_packet(m_enc, m_pkt);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return {};
        if (r < 0) return Refused(r);
        av_packet_rescale_ts(m_pkt, m_enc->time_base, m_stream->time_base);
        m_pkt->stream_index = m_stream->index;
        r = av_interleaved_write_frame(m_fmt, m_pkt);
        if (r < 0) return Fail(kConvertErrDestinationWrite, "Cannot write the destination file: " + AvErrorText(r));
    }
}

Status FfmpegSink::Write(AVFrame* frame)
{
    const int r = avcodec_send_frame(m_enc, frame);
    return r < 0 ? Refused(r) : WritePackets();
}

Status FfmpegSink::Finish()
{
    avcodec_send_frame(m_enc, nullptr);
    Status s = WritePackets();
    if (!s.ok()) return s;
    const int r = av_write_trailer(m_fmt);
    avio_flush(m_fmt->pb);
    if (r < 0 || m_fmt->pb->error < 0)
        return Fail(kConvertErrDestinationWrite,
                    "Cannot finish the destination file: " + AvErrorText(r < 0 ? r : m_fmt->pb->error));
    return {};
}

Status MakeFfmpegSink(EncoderSetup setup, std::unique_ptr<AudioSink>* sink)
{
    auto s = std::make_unique<FfmpegSink>(std::move(setup));
    Status st = s->Prepare();
    if (st.ok()) *sink = std::move(s);
    return st;
}

Status Refuse(const QString& text) { return Fail(kConvertErrSettingsRefused, text); }

const char* PcmEncoder(int bits)
{
    switch (bits) {
    case 8: return "pcm_u8";
    case 16: return "pcm_s16le";
    case 24: return "pcm_s24le";
    case 32: return "pcm_s32le";
    default: return nullptr;
    }
}

Status MakeWavSink(const WAVFormatSettings& wav, const SourceFacts& src, std::unique_ptr<AudioSink>* sink)
{
    const int rate = wav.SampleRate == 0 ? src.sampleRate : wav.SampleRate;
    const int channels = wav.Channels == 0 ? std::min(src.channels, 2) : wav.Channels;
    const int bits = wav.BitsPerSample == 0 ? 16 : wav.BitsPerSample;
    if (rate < 1000 || rate > 384000) return Refuse(QString("WAV sample rate %1 Hz is not supported.").arg(rate));
    if (channels < 1 || channels > 2) return Refuse(QString("WAV channel count %1 is not supported.").arg(channels));
    const char* encoder = PcmEncoder(bits);
    if (!encoder) return Refuse(QString("WAV with %1 bits per sample is not supported.").arg(bits));
    return MakeFfmpegSink({"wav", encoder, rate, channels, 0, "date",
                           QString("WAV %1 Hz, %2 Bit, %3").arg(rate).arg(bits).arg(ChannelsText(channels))},
                          sink);
}

Status MakeAcmSink(const ACMFormatSettings& acm, std::unique_ptr<AudioSink>* sink)
{
    if (acm.FormatTagName.isEmpty()) return Refuse("No ACM codec was chosen.");
    const Codec* codec = FindCodec(AcmCodecs(), acm.FormatTagName);
    if (!codec) return Fail(kConvertErrFormatUnavailable, "The ACM codec is not available: " + acm.FormatTagName);
    const CodecFormat* f = FindFormat(*codec, acm.FormatName);
    if (!f) return Refuse(QString("The ACM codec %1 has no format \"%2\".").arg(codec->name, acm.FormatName));
    return MakeFfmpegSink({"wav", f->encoder, f->sampleRate, f->channels, f->bitRate, "date",
                           codec->name + " " + f->text},
                          sink);
}

Status MakeWmaSink(const WMAFormatSettings& wma, std::unique_ptr<AudioSink>* sink)
{
    const auto& codecs = WmaCodecs();
    if (wma.CodecIndex < 0 || wma.CodecIndex >= int(codecs.size()))
        return Refuse(QString("There is no WMA codec number %1.").arg(wma.CodecIndex));
    const Codec& codec = codecs[size_t(wma.CodecIndex)];
    if (wma.FormatIndex < 0 || wma.FormatIndex >= int(codec.formats.size()))
        return Refuse(QString("The WMA codec %1 has no format number %2.").arg(codec.name).arg(wma.FormatIndex));
    const CodecFormat& f = codec.formats[size_t(wma.FormatIndex)];
    return MakeFfmpegSink({"asf", f.encoder, f.sampleRate, f.channels, f.bitRate, "WM/Year",
                           codec.name + " " + f.text},
                          sink);
}

} // namespace

Status MakeSink(const EncoderSettings& settings, const SourceFacts& source, std::unique_ptr<AudioSink>* sink)
{
    switch (settings.format) {
    case kDestFormatWAV: return MakeWavSink(settings.wav, source, sink);
    case kDestFormatACM: return MakeAcmSink(settings.acm, sink);
    case kDestFormatMP3: return MakeMp3Sink(settings.mp3, source, sink);
    case kDestFormatWMA: return MakeWmaSink(settings.wma, sink);
    case kDestFormatOGG: return MakeOggSink(settings.ogg, source, sink);
    default: return Fail(kConvertErrFormatUnavailable, QString("Unknown destination format %1.").arg(settings.format));
    }
}

} // namespace audioconv
