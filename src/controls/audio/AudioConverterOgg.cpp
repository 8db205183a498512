// OGG through libvorbis and libogg: the samples are resampled straight into
// the encoder's analysis buffer, the tags become Vorbis comments.
#include "controls/audio/AudioConverterEngine.h"

#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <cstring>
#include <ogg/ogg.h>
#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>

extern "C" {
#include <libavutil/frame.h>
}

namespace audioconv {
namespace {

constexpr int kMaxChannels = 8;

// Vorbis has its own channel order (front left, centre, front right, ...).
// Per channel count: the channel of FFmpeg's default layout that each Vorbis
// channel takes.
constexpr int kVorbisChannelSource[kMaxChannels][kMaxChannels] = {
    {0},
    {0, 1},
    {0, 2, 1},
    {0, 1, 2, 3},
    {0, 2, 1, 3, 4},
    {0, 2, 1, 4, 5, 3},
    {0, 2, 1, 5, 6, 4, 3},
    {0, 2, 1, 6, 7, 4, 5, 3},
};

Status Refuse(const QString& text) { return Fail(kConvertErrSettingsRefused, text); }

QString VorbisErrorText(int err)
{
    switch (err) {
    case OV_EIMPL: return "Vorbis has no mode for them";
    case OV_EINVAL: return "they are out of range";
    default: return QString("Vorbis error %1").arg(err);
    }
}

void AddComment(vorbis_comment* comments, const char* name, const QString& value)
{
    if (!value.isEmpty()) vorbis_comment_add_tag(comments, name, value.toUtf8().constData());
}

class VorbisSink : public AudioSink {
public:
    VorbisSink() { vorbis_info_init(&m_info); }
    ~VorbisSink() override
    {
        if (m_streaming) ogg_stream_clear(&m_stream);
        if (m_analysing) {
            vorbis_block_clear(&m_block);
            vorbis_dsp_clear(&m_dsp);
        }
        vorbis_info_clear(&m_info);
        av_channel_layout_uninit(&m_input.layout);
    }

    Status Prepare(const OGGFormatSettings& settings, const SourceFacts& source);
    const SinkInput& Input() const override { return m_input; }
    Status Open(OutputFile& file, const Tags& tags) override;
    Status Write(AVFrame* frame) override;
    uint8_t** Buffer(int count) override;
    Status Wrote(int count) override;
    Status Finish() override;

private:
    int SetUp(const OGGFormatSettings& s, int rate, int channels);
    Status EncodeBlocks();
    // Writes the pages that are full, or with `flush` every page.
    Status WritePages(bool flush);

    vorbis_info m_info;
    vorbis_dsp_state m_dsp{};
    vorbis_block m_block{};
    ogg_stream_state m_stream{};
    bool m_analysing = false;
    bool m_streaming = false;
    std::int64_t m_pageStart = 0; // granule position at the end of the last page written
    SinkInput m_input;
    OutputFile* m_file = nullptr;
    std::array<uint8_t*, kMaxChannels> m_planes{};
};

int VorbisSink::SetUp(const OGGFormatSettings& s, int rate, int channels)
{
    if (s.Mode == 2) {
        // An average bitrate without hard limits, as oggenc -b.
        int r = vorbis_encode_setup_managed(&m_info, channels, rate, -1, long(s.NominalBitrate) * 1000, -1);
        if (r == 0) r = vorbis_encode_ctl(&m_info, OV_ECTL_RATEMANAGE2_SET, nullptr);
        return r;
    }
    // Quality 0-100 is oggenc's -q 0 to 10.
    return vorbis_encode_setup_vbr(&m_info, channels, rate, float(std::clamp(s.Quality, 0, 100)) / 100.0f);
}

Status VorbisSink::Prepare(const OGGFormatSettings& s, const SourceFacts& source)
{
    const int rate = source.sampleRate;
    const int channels = std::min(source.channels, kMaxChannels);
    if (s.Mode == 2 && s.NominalBitrate <= 0)
        return Refuse(QString("OGG nominal bitrate %1 kbit/s is not supported.").arg(s.NominalBitrate));
    int r = SetUp(s, rate, channels);
    if (r == 0) r = vorbis_encode_setup_init(&m_info);
    if (r != 0) {
        const QString what = s.Mode == 2 ? QString("%1 kbit/s").arg(s.NominalBitrate)
                                         : QString("quality %1").arg(std::clamp(s.Quality, 0, 100));
        return Refuse(QString("The encoder refused the settings OGG (%1 at %2 Hz, %3 channels): %4")
                          .arg(what)
                          .arg(rate)
                          .arg(channels)
                          .arg(VorbisErrorText(r)));
    }
    if (vorbis_analysis_init(&m_dsp, &m_info) != 0) return Refuse("The OGG encoder cannot be started.");
    vorbis_block_init(&m_dsp, &m_block);
    m_analysing = true;

    m_input.sampleRate = rate;
    av_channel_layout_default(&m_input.layout, channels);
    m_input.format = AV_SAMPLE_FMT_FLTP;
    m_input.ownBuffer = true;
    return {};
}

Status VorbisSink::WritePages(bool flush)
{
    ogg_page page;
    while ((flush ? ogg_stream_flush(&m_stream, &page) : ogg_stream_pageout(&m_stream, &page)) != 0) {
        if (!m_file->Write(page.header, size_t(page.header_len)) || !m_file->Write(page.body, size_t(page.body_len)))
            return m_file->WriteError();
        m_pageStart = std::max<std::int64_t>(m_pageStart, ogg_page_granulepos(&page));
    }
    return {};
}

Status VorbisSink::Open(OutputFile& file, const Tags& tags)
{
    m_file = &file;
    vorbis_comment comments;
    vorbis_comment_init(&comments);
    // The names and order that files of earlier versions carry.
    AddComment(&comments, "title", tags.title);
    AddComment(&comments, "artist", tags.artist);
    AddComment(&comments, "album", tags.album);
    AddComment(&comments, "DESCRIPTION", tags.comment);
    AddComment(&comments, "genre", tags.genre);
    AddComment(&comments, "TRACKNUMBER", tags.track);
    AddComment(&comments, "date", tags.year);
    ogg_packet id, comment, codebooks;
    const int r = vorbis_analysis_headerout(&m_dsp, &comments, &id, &comment, &codebooks);
    vorbis_comment_clear(&comments);
    if (r != 0) return Refuse("The OGG encoder cannot write its headers: " + VorbisErrorText(r));

    ogg_stream_init(&m_stream, int(QRandomGenerator::global()->generate() & 0x7FFFFFFF));
    m_streaming = true;
    // The first page holds the identification header alone; the audio starts on a page of its own.
    ogg_stream_packetin(&m_stream, &id);
    Status s = WritePages(true);
    if (!s.ok()) return s;
    ogg_stream_packetin(&m_stream, &comment);
    ogg_stream_packetin(&m_stream, &codebooks);
    return WritePages(true);
}

uint8_t** VorbisSink::Buffer(int count)
{
    float** buffer = vorbis_analysis_buffer(&m_dsp, count);
    const int channels = m_info.channels;
    for (int v = 0; v < channels; ++v)
        m_planes[size_t(kVorbisChannelSource[channels - 1][v])] = reinterpret_cast<uint8_t*>(buffer[v]);
    return m_planes.data();
}

Status VorbisSink::Write(AVFrame* frame)
{
    const int count = frame->nb_samples;
    uint8_t** planes = Buffer(count);
    for (int c = 0; c < m_info.channels; ++c)
        std::memcpy(planes[c], frame->extended_data[c], size_t(count) * sizeof(float));
    return Wrote(count);
}

Status VorbisSink::Wrote(int count)
{
    vorbis_analysis_wrote(&m_dsp, count);
    return EncodeBlocks();
}

Status VorbisSink::EncodeBlocks()
{
    while (vorbis_analysis_blockout(&m_dsp, &m_block) == 1) {
        vorbis_analysis(&m_block, nullptr);
        vorbis_bitrate_addblock(&m_block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&m_dsp, &packet) == 1) {
            ogg_stream_packetin(&m_stream, &packet);
            // A page ends once it spans a second (or fills up). In all but the
            // shortest files the first audio page then is not the last one,
            // which readers such as FFmpeg's need to find the exact start.
            Status s = WritePages(packet.granulepos - m_pageStart >= m_info.rate);
            if (!s.ok()) return s;
        }
    }
    return {};
}

Status VorbisSink::Finish()
{
    // The last packet carries the exact length as its granule position.
    vorbis_analysis_wrote(&m_dsp, 0);
    Status s = EncodeBlocks();
    return s.ok() ? WritePages(true) : s;
}

} // namespace

Status MakeOggSink(const OGGFormatSettings& settings, const SourceFacts& source, std::unique_ptr<AudioSink>* sink)
{
    auto s = std::make_unique<VorbisSink>();
    Status st = s->Prepare(settings, source);
    if (st.ok()) *sink = std::move(s);
    return st;
}

} // namespace audioconv
