#include "controls/audio/AudioDecoder.h"

#include "controls/audio/HeaderInput.h"
#include "controls/audio/Mp3Header.h"
#include "controls/audio/OggTail.h"
#include "controls/audio/PlainWav.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace audiodec {

namespace {

Problem Fail(Fault fault, const QString& text) { return {fault, text}; }

// FFmpeg reads names as URLs; the file: prefix keeps a path a path.
QByteArray FileUrl(const QString& path) { return "file:" + QFile::encodeName(path); }

// The exact length a RIFF WAV header declares: the data chunk's size. Sizes 0
// and 0xFFFFFFFF stand for "unknown" (streamed or unfinished files).
struct DeclaredWavData {
    std::int64_t size = 0;     // bytes declared; 0 unknown
    std::int64_t held = 0;     // bytes of them the file holds
    std::int64_t byteRate = 0; // bytes per second, from the fmt chunk
};

quint32 LE32(const char* p)
{
    return quint32(quint8(p[0])) | quint32(quint8(p[1])) << 8 | quint32(quint8(p[2])) << 16 |
           quint32(quint8(p[3])) << 24;
}

DeclaredWavData ReadDeclaredWavData(const QString& path)
{
    DeclaredWavData d;
    QFile f(path);
    char head[12];
    if (!f.open(QIODevice::ReadOnly) || f.read(head, 12) != 12 || memcmp(head, "RIFF", 4) != 0 ||
        memcmp(head + 8, "WAVE", 4) != 0)
        return d;
    const std::int64_t fileSize = f.size();
    std::int64_t at = 12;
    for (int chunks = 0; chunks < 64 && at + 8 <= fileSize; ++chunks) {
        char chunk[20]; // id, size, and the fmt chunk's first 12 bytes
        if (!f.seek(at) || f.read(chunk, 8) != 8) break;
        const quint32 size = LE32(chunk + 4);
        if (memcmp(chunk, "fmt ", 4) == 0 && size >= 16 && f.read(chunk + 8, 12) == 12) d.byteRate = LE32(chunk + 16);
        if (memcmp(chunk, "data", 4) == 0) {
            if (size == 0 || size == 0xFFFFFFFFu) break;
            d.size = size;
            d.held = std::min<std::int64_t>(size, fileSize - (at + 8));
            break;
        }
        at += 8 + std::int64_t(size) + (size & 1);
    }
    return d;
}

// Whether the header just read states everything the stream analysis would
// find: one audio stream of a codec and container whose header gives its
// rate, channels and exact length (checked against the analysis by tests).
bool HeaderStatesAll(const AVFormatContext* fmt)
{
    if (fmt->nb_streams != 1) return false;
    const AVStream* stream = fmt->streams[0];
    const AVCodecParameters* par = stream->codecpar;
    if (par->codec_type != AVMEDIA_TYPE_AUDIO || par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0 ||
        stream->duration == AV_NOPTS_VALUE)
        return false;
    const QByteArray container = fmt->iformat->name;
    const AVCodecID id = par->codec_id;
    if (container == "wav") return (id >= AV_CODEC_ID_PCM_S16LE && id < AV_CODEC_ID_AMR_NB) || id == AV_CODEC_ID_GSM_MS;
    if (container == "ogg") return id == AV_CODEC_ID_VORBIS;
    if (container == "asf") return id == AV_CODEC_ID_WMAV1 || id == AV_CODEC_ID_WMAV2;
    return false;
}

// The demuxer FFmpeg's probe is sure to pick for the file, by its first
// bytes: its WAV demuxer for a RIFF WAVE file (ACT aside), its Ogg demuxer
// for an Ogg page; nothing when only the probe can tell.
const AVInputFormat* SureContainer(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    ReadOnlyWhatIsAsked(file);
    const QByteArray head = file.read(512);
    if (head.size() >= 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE" && !LooksLikeAct(head))
        return av_find_input_format("wav");
    if (head.size() >= 6 && head.startsWith("OggS") && head[4] == 0 && quint8(head[5]) <= 7)
        return av_find_input_format("ogg");
    return nullptr;
}

QString SecondsText(std::int64_t bytes, std::int64_t byteRate)
{
    return QString::number(double(bytes) / double(byteRate), 'g', 4) + " s";
}

} // namespace

QString AvErrorText(int err)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return QString::fromUtf8(buf);
}

// ---------------------------------------------------------------------------
// Source

Source::~Source()
{
    avcodec_free_context(&m_dec);
    CloseInput();
    av_packet_free(&m_pkt);
    av_frame_free(&m_held);
}

int Source::OpenInput(const QString& path, const AVInputFormat* format, Analysis analysis,
                      std::vector<ByteRange> blanks, bool seekable)
{
    if (analysis == Analysis::Full) return avformat_open_input(&m_fmt, FileUrl(path).constData(), format, nullptr);
    if (!m_headerInput) m_headerInput = std::make_unique<HeaderInput>();
    return m_headerInput->Open(&m_fmt, path, format, std::move(blanks), seekable);
}

void Source::CloseInput()
{
    if (m_headerInput) m_headerInput->Close(&m_fmt);
    else avformat_close_input(&m_fmt);
}

Problem Source::Open(const QString& path, Analysis analysis)
{
    if (path.isEmpty()) return Fail(Fault::NoFileName, "No source file was given.");
    const QFileInfo info(path);
    if (!info.exists()) return Fail(Fault::Missing, "The source file does not exist: " + path);
    if (!info.isFile()) return Fail(Fault::Unreadable, "The source is not a file: " + path);
    if (analysis == Analysis::HeaderWhenExact && OpenMp3Headers(path)) return {};
    // The probe tries every format FFmpeg knows: facts skip it where they can.
    const AVInputFormat* format = analysis == Analysis::HeaderWhenExact ? SureContainer(path) : nullptr;
    if (format && QByteArray(format->name) == "ogg" && OpenOggHeaders(path)) return {};
    int r = OpenInput(path, format, analysis);
    if (r == AVERROR(EACCES))
        return Fail(Fault::Unreadable, "The source file cannot be read (permission denied): " + path);
    const bool headerEnough = r >= 0 && analysis == Analysis::HeaderWhenExact && HeaderStatesAll(m_fmt);
    m_fromHeaders = headerEnough;
    if (r < 0 || (!headerEnough && avformat_find_stream_info(m_fmt, nullptr) < 0))
        return Fail(Fault::Unreadable, "The source file is not audio that can be read: " + path);
    r = av_find_best_stream(m_fmt, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (r < 0 || m_fmt->streams[r]->codecpar->sample_rate <= 0 ||
        m_fmt->streams[r]->codecpar->ch_layout.nb_channels <= 0)
        return Fail(Fault::Unreadable, "The source file holds no audio: " + path);
    m_stream = m_fmt->streams[r];
    m_path = path;
    return {};
}

bool Source::OpenMp3Headers(const QString& path)
{
    // A plain MP3 is what FFmpeg's probe would find; its MP3 demuxer then
    // reads the tags and the Xing, Info or VBRI frame as the analysis does.
    std::optional<Mp3Start> start = PlainMp3Start(path);
    // The pictures are not read: FFmpeg skips them as of no known type.
    if (!start || OpenInput(path, av_find_input_format("mp3"), Analysis::HeaderWhenExact, std::move(start->pictures)) < 0)
        return false;
    // The demuxer stops at the first audio frame after the tags.
    const std::int64_t dataOffset = avio_tell(m_fmt->pb);
    const Mp3Run run = ReadMp3Run(path, dataOffset);
    AVStream* stream = nullptr; // the audio stream, beside an attached picture's
    for (unsigned i = 0; i < m_fmt->nb_streams && !stream; ++i)
        if (m_fmt->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) stream = m_fmt->streams[i];
    AVCodecParameters* par = stream ? stream->codecpar : nullptr;
    // Without a bit rate from the Xing frame the analysis averages the frames'.
    if (!par || !run.first || (par->bit_rate <= 0 && !run.steadyBitRate)) {
        CloseInput();
        return false;
    }
    par->sample_rate = run.first->sampleRate;
    av_channel_layout_uninit(&par->ch_layout);
    av_channel_layout_default(&par->ch_layout, run.first->channels);
    if (par->bit_rate <= 0) par->bit_rate = run.first->bitRate;
    // No frame count: the analysis's estimate from the bytes after the tags.
    const std::int64_t fileSize = avio_size(m_fmt->pb);
    if (stream->duration == AV_NOPTS_VALUE && fileSize > dataOffset)
        stream->duration = av_rescale(fileSize - dataOffset, 8LL * stream->time_base.den,
                                      par->bit_rate * std::int64_t(stream->time_base.num));
    m_stream = stream;
    m_path = path;
    m_fromHeaders = true;
    return true;
}

bool Source::OpenOggHeaders(const QString& path)
{
    // Its demuxer would read the last 64 KB, page by page, for the length,
    // where the last page alone tells it: read as a stream, the file gives
    // the headers and the first audio page, which sets where it starts.
    const std::optional<std::int64_t> lastGranule = OggLastGranule(path);
    if (!lastGranule ||
        OpenInput(path, av_find_input_format("ogg"), Analysis::HeaderWhenExact, {}, /*seekable=*/false) < 0)
        return false;
    AVPacket* packet = av_packet_alloc();
    const bool read = packet && av_read_frame(m_fmt, packet) >= 0;
    av_packet_free(&packet);
    AVStream* stream = m_fmt->nb_streams == 1 ? m_fmt->streams[0] : nullptr;
    const AVCodecParameters* par = stream ? stream->codecpar : nullptr;
    if (!read || !par || par->codec_id != AV_CODEC_ID_VORBIS || par->sample_rate <= 0 ||
        par->ch_layout.nb_channels <= 0 || stream->start_time != 0 || stream->time_base.num != 1 ||
        stream->time_base.den != par->sample_rate) {
        CloseInput();
        return false;
    }
    stream->duration = *lastGranule;
    m_stream = stream;
    m_path = path;
    m_fromHeaders = true;
    return true;
}

Problem Source::OpenDecoder()
{
    const DeclaredWavData declared = ReadDeclaredWavData(m_path);
    m_declaredBytes = declared.size;
    m_heldBytes = declared.held;
    m_byteRate = declared.byteRate;
    if (!avcodec_find_decoder(m_stream->codecpar->codec_id))
        return Fail(Fault::Unreadable, QString("No decoder for the source's audio (%1).")
                                           .arg(avcodec_get_name(m_stream->codecpar->codec_id)));
    m_pkt = av_packet_alloc();
    m_held = av_frame_alloc();
    if (!m_pkt || !m_held) return Fail(Fault::OutOfMemory, "Out of memory opening the source.");
    const int r = NewDecoder(&m_dec);
    if (r == AVERROR(ENOMEM)) return Fail(Fault::OutOfMemory, "Out of memory opening the source.");
    if (r < 0) return Fail(Fault::Unreadable, "The source's audio cannot be decoded: " + AvErrorText(r));
    return {};
}

int Source::NewDecoder(AVCodecContext** dec) const
{
    AVCodecContext* fresh = avcodec_alloc_context3(avcodec_find_decoder(m_stream->codecpar->codec_id));
    if (!fresh) return AVERROR(ENOMEM);
    int r = avcodec_parameters_to_context(fresh, m_stream->codecpar);
    fresh->pkt_timebase = m_stream->time_base;
    if (r >= 0) r = avcodec_open2(fresh, fresh->codec, nullptr);
    if (r < 0) {
        avcodec_free_context(&fresh);
        return r;
    }
    *dec = fresh;
    return 0;
}

Facts Source::GetFacts() const
{
    const AVCodecParameters* par = m_stream->codecpar;
    Facts f;
    f.sampleRate = par->sample_rate;
    f.channels = par->ch_layout.nb_channels;
    f.bitsPerSample = par->bits_per_raw_sample > 0     ? par->bits_per_raw_sample
                      : par->bits_per_coded_sample > 0 ? par->bits_per_coded_sample
                                                       : 16; // coded formats decode to 16 bits or more
    if (m_stream->duration != AV_NOPTS_VALUE)
        f.lengthMs = av_rescale_q(m_stream->duration, m_stream->time_base, AVRational{1, 1000});
    else if (m_fmt->duration != AV_NOPTS_VALUE)
        f.lengthMs = av_rescale(m_fmt->duration, 1000, AV_TIME_BASE);
    f.bitRate = std::max<std::int64_t>(par->bit_rate > 0 ? par->bit_rate : m_fmt->bit_rate, 0);
    return f;
}

QString Source::Tag(std::initializer_list<const char*> keys) const
{
    for (const char* key : keys)
        for (AVDictionary* dict : {m_fmt->metadata, m_stream->metadata})
            if (const AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0); e && *e->value)
                return QString::fromUtf8(e->value);
    return {};
}

int Source::SampleRate() const { return m_stream->codecpar->sample_rate; }

const AVCodecParameters* Source::Parameters() const { return m_stream->codecpar; }

QString Source::ContainerName() const { return QString::fromUtf8(m_fmt->iformat->name); }

AVSampleFormat Source::DecodedFormat() const { return m_dec ? m_dec->sample_fmt : AV_SAMPLE_FMT_NONE; }

std::int64_t Source::DurationSamples() const
{
    const std::int64_t ms = GetFacts().lengthMs;
    return ms > 0 ? av_rescale(ms, SampleRate(), 1000) : -1;
}

// ---------------------------------------------------------------------------
// Seeking

namespace {

// Samples a transform codec's frames share with the frames before them, at
// most: Vorbis blocks are up to 8192 samples long, AAC and WMA frames shorter.
constexpr std::int64_t kTransformPreroll = 8192;

// Codecs whose blocks in a WAV file decode each on its own.
bool IndependentBlocks(AVCodecID id)
{
    return (id >= AV_CODEC_ID_PCM_S16LE && id < AV_CODEC_ID_ADPCM_IMA_QT) || id == AV_CODEC_ID_ADPCM_IMA_WAV ||
           id == AV_CODEC_ID_ADPCM_MS;
}

// Where FFmpeg's timestamps after a seek are exact in samples and its
// decoder, after a preroll, gives sample for sample what it gives decoding
// from the start. Not so elsewhere: AAC and WMA decoders fill bands with
// noise from a sequence that runs from the first frame on, ASF times its
// packets in milliseconds, and the others are not known to.
bool SeeksExactly(const QByteArray& container, AVCodecID codec)
{
    return (container == "mp3" && codec == AV_CODEC_ID_MP3) || (container == "ogg" && codec == AV_CODEC_ID_VORBIS) ||
           (container == "flac" && codec == AV_CODEC_ID_FLAC);
}

} // namespace

void Source::SeekToSample(std::int64_t sample, Seek seek)
{
    m_holding = false;
    const SeekPlan plan = PlanFor(seek);
    if (plan == SeekPlan::WavBlocks && SeekWavBlock(sample)) return;
    if (plan == SeekPlan::Timestamps && SeekByTimestamp(sample)) return;
    Rewind();
}

Source::SeekPlan Source::PlanFor(Seek seek) const
{
    AVCodecParameters* par = m_stream->codecpar;
    const QByteArray container = m_fmt->iformat->name;
    // FFmpeg's own seek in ADPCM WAV files misplaces the timestamps.
    if (container == "wav" && IndependentBlocks(par->codec_id) && par->block_align > 0 &&
        av_get_audio_frame_duration2(par, par->block_align) > 0)
        return SeekPlan::WavBlocks;
    if (seek == Seek::Fast || SeeksExactly(container, par->codec_id)) return SeekPlan::Timestamps;
    return SeekPlan::FromStart;
}

bool Source::SeekWavBlock(std::int64_t sample)
{
    AVCodecParameters* par = m_stream->codecpar;
    const std::int64_t perBlock = av_get_audio_frame_duration2(par, par->block_align);
    if (!KnowsStart() || m_firstPacketPos < 0) return false;
    const std::int64_t block = sample / perBlock;
    if (av_seek_frame(m_fmt, m_stream->index, m_firstPacketPos + block * par->block_align, AVSEEK_FLAG_BYTE) < 0)
        return false;
    Restart();
    m_nextPosition = block * perBlock;
    return true;
}

bool Source::SeekByTimestamp(std::int64_t sample)
{
    const std::int64_t preroll = PrerollSamples();
    // Near the start the decoding starts there.
    if (sample <= preroll || !KnowsStart() || m_firstFramePts == AV_NOPTS_VALUE) return false;
    const AVRational perSample{1, SampleRate()};
    std::int64_t want = sample - preroll;
    while (want > 0) {
        const std::int64_t ts = m_firstFramePts + av_rescale_q(want, perSample, m_stream->time_base);
        if (av_seek_frame(m_fmt, m_stream->index, ts, AVSEEK_FLAG_BACKWARD) < 0) return false;
        Restart();
        const int r = Decode(m_held);
        if (r == AVERROR_EOF) { // past the last frame: nothing follows
            m_nextPosition = sample;
            return true;
        }
        if (r < 0 || m_held->best_effort_timestamp == AV_NOPTS_VALUE) return false;
        m_holding = true;
        const std::int64_t landed =
            av_rescale_q(m_held->best_effort_timestamp - m_firstFramePts, m_stream->time_base, perSample);
        if (landed < 0) return false;
        if (landed <= want) {
            m_nextPosition = landed;
            return true;
        }
        // It landed after the place asked for (a key frame, a page): ask for one further back.
        want -= landed - want + preroll;
    }
    return false;
}

std::int64_t Source::PrerollSamples() const
{
    const AVCodecParameters* par = m_stream->codecpar;
    std::int64_t samples = std::max<std::int64_t>(par->seek_preroll, kTransformPreroll);
    if (par->codec_id == AV_CODEC_ID_MP3)
        samples = std::max(samples, Mp3DecoderPreroll(par->sample_rate, par->ch_layout.nb_channels));
    return samples;
}

void Source::Rewind()
{
    m_holding = false;
    m_nextPosition = 0;
    if (!m_readAny) return; // nothing read yet: the decoding starts at the start
    av_seek_frame(m_fmt, m_stream->index, m_firstPacketTs != AV_NOPTS_VALUE ? m_firstPacketTs : 0,
                  AVSEEK_FLAG_BACKWARD);
    // A flushed decoder keeps the state of its noise sequences.
    AVCodecContext* fresh = nullptr;
    if (NewDecoder(&fresh) >= 0) {
        avcodec_free_context(&m_dec);
        m_dec = fresh;
    }
    Restart();
    m_atFirstFrame = true;
}

bool Source::KnowsStart()
{
    if (!m_startKnown) {
        Rewind();
        const int r = Decode(m_held);
        av_frame_unref(m_held);
        if (r < 0) return false;
    }
    return true;
}

void Source::Restart()
{
    avcodec_flush_buffers(m_dec);
    m_draining = false;
    m_readError = 0;
    m_atFirstFrame = false;
}

// ---------------------------------------------------------------------------
// Reading

int Source::Receive(AVFrame* frame)
{
    int r = 0;
    if (m_holding) {
        av_frame_unref(frame);
        av_frame_move_ref(frame, m_held);
        m_holding = false;
    } else {
        r = Decode(frame);
    }
    if (r == 0) {
        m_framePosition = m_nextPosition;
        m_nextPosition += frame->nb_samples;
    }
    return r;
}

int Source::Decode(AVFrame* frame)
{
    for (;;) {
        int r = avcodec_receive_frame(m_dec, frame);
        if (r == 0 && m_atFirstFrame) {
            m_atFirstFrame = false;
            m_firstFramePts = frame->best_effort_timestamp;
            m_startKnown = true;
        }
        if (r != AVERROR(EAGAIN)) return r;
        if (m_draining) return AVERROR_EOF;
        r = av_read_frame(m_fmt, m_pkt);
        if (r < 0) {
            // Decode what was read; an error other than the end breaks the source off.
            if (r != AVERROR_EOF) m_readError = r;
            avcodec_send_packet(m_dec, nullptr);
            m_draining = true;
            continue;
        }
        if (m_pkt->stream_index == m_stream->index) {
            if (!m_readAny) {
                m_readAny = true;
                m_firstPacketTs = m_pkt->dts != AV_NOPTS_VALUE ? m_pkt->dts : m_pkt->pts;
                m_firstPacketPos = m_pkt->pos;
            }
            r = avcodec_send_packet(m_dec, m_pkt);
            // A damaged packet is skipped, as players do.
            if (r < 0 && r != AVERROR_INVALIDDATA && r != AVERROR(EAGAIN)) {
                av_packet_unref(m_pkt);
                return r;
            }
        }
        av_packet_unref(m_pkt);
    }
}

std::optional<QString> Source::BreakOff() const
{
    const QString start = "The source file breaks off mid-file: ";
    if (m_readError != 0) return start + "reading failed (" + AvErrorText(m_readError) + "): " + m_path;
    if (m_heldBytes >= m_declaredBytes) return std::nullopt;
    if (m_byteRate <= 0) return start + "it is shorter than its header declares: " + m_path;
    return start + "its header declares " + SecondsText(m_declaredBytes, m_byteRate) + ", it holds " +
           SecondsText(m_heldBytes, m_byteRate) + ": " + m_path;
}

// ---------------------------------------------------------------------------
// ResampleBuffer

ResampleBuffer::ResampleBuffer(const AVChannelLayout& layout, AVSampleFormat format)
    : m_channels(layout.nb_channels), m_format(format)
{
}

ResampleBuffer::~ResampleBuffer()
{
    if (m_buf) av_freep(&m_buf[0]);
    av_freep(&m_buf);
}

uint8_t** ResampleBuffer::Room(int count)
{
    if (m_count + count > m_capacity) {
        uint8_t** bigger = nullptr;
        if (av_samples_alloc_array_and_samples(&bigger, nullptr, m_channels, m_count + count, m_format, 0) < 0)
            return nullptr;
        if (m_count > 0) av_samples_copy(bigger, m_buf, 0, 0, m_count, m_channels, m_format);
        if (m_buf) av_freep(&m_buf[0]);
        av_freep(&m_buf);
        m_buf = bigger;
        m_capacity = m_count + count;
    }
    const int bytes = av_get_bytes_per_sample(m_format);
    const bool planar = av_sample_fmt_is_planar(m_format);
    m_room.resize(planar ? size_t(m_channels) : 1);
    for (size_t c = 0; c < m_room.size(); ++c) m_room[c] = m_buf[c] + m_count * bytes * (planar ? 1 : m_channels);
    return m_room.data();
}

bool ResampleBuffer::Took(int count)
{
    m_count += count;
    return true;
}

// ---------------------------------------------------------------------------
// Resampler

Resampler::Resampler(int sampleRate, const AVChannelLayout& layout, AVSampleFormat format)
    : m_outRate(sampleRate), m_outFormat(format)
{
    av_channel_layout_copy(&m_outLayout, &layout);
}

Resampler::~Resampler()
{
    swr_free(&m_swr);
    av_channel_layout_uninit(&m_srcLayout);
    av_channel_layout_uninit(&m_outLayout);
}

void Resampler::Reset() { swr_free(&m_swr); }

Problem Resampler::SetUp(const PcmShape& shape, ResampleTarget& out)
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
        // The input changed format mid-stream: keep what the old set-up still holds.
        Problem p = Run(nullptr, 0, out);
        if (!p.ok()) {
            av_channel_layout_uninit(&layout);
            return p;
        }
        swr_free(&m_swr);
    }
    av_channel_layout_uninit(&m_srcLayout);
    m_srcLayout = layout;
    m_srcRate = shape.sampleRate;
    m_srcFormat = shape.format;
    if (swr_alloc_set_opts2(&m_swr, &m_outLayout, m_outFormat, m_outRate, &m_srcLayout, AVSampleFormat(m_srcFormat),
                            m_srcRate, 0, nullptr) < 0 ||
        swr_init(m_swr) < 0) {
        swr_free(&m_swr);
        return Fail(Fault::Refused, QString("Cannot convert %1 Hz, %2 channels to %3 Hz, %4 channels.")
                                        .arg(m_srcRate)
                                        .arg(m_srcLayout.nb_channels)
                                        .arg(m_outRate)
                                        .arg(m_outLayout.nb_channels));
    }
    return {};
}

Problem Resampler::Run(const uint8_t** in, int count, ResampleTarget& out)
{
    const int room = swr_get_out_samples(m_swr, count);
    if (room <= 0) return {};
    uint8_t** buffer = out.Room(room);
    if (!buffer) return Fail(Fault::OutOfMemory, "Out of memory.");
    const int got = swr_convert(m_swr, buffer, room, in, count);
    if (got < 0) return Fail(Fault::Broken, "Resampling failed: " + AvErrorText(got));
    if (got > 0 && !out.Took(got)) return Fail(Fault::Declined, {});
    return {};
}

Problem Resampler::Convert(const PcmShape& shape, const uint8_t* const* planes, int offset, int count,
                           ResampleTarget& out)
{
    Problem p = SetUp(shape, out);
    if (!p.ok()) return p;
    const int bytes = av_get_bytes_per_sample(shape.format);
    const int channels = shape.layout->nb_channels;
    if (av_sample_fmt_is_planar(shape.format)) {
        m_inPtrs.resize(size_t(channels));
        for (int c = 0; c < channels; ++c) m_inPtrs[size_t(c)] = planes[c] + offset * bytes;
    } else {
        m_inPtrs.assign(1, planes[0] + offset * bytes * channels);
    }
    return Run(m_inPtrs.data(), count, out);
}

Problem Resampler::Convert(const AVFrame* frame, int offset, int count, ResampleTarget& out)
{
    const PcmShape shape{AVSampleFormat(frame->format), frame->sample_rate, &frame->ch_layout};
    return Convert(shape, frame->extended_data, offset, count, out);
}

Problem Resampler::Flush(ResampleTarget& out) { return m_swr ? Run(nullptr, 0, out) : Problem{}; }

} // namespace audiodec
