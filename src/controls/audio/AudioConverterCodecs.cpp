#include "controls/audio/AudioConverterCodecs.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

namespace audioconv {
namespace {

// What each codec accepts. A codec offers every combination of its
// encoders (one per bit depth), rates, channel counts and bitrates that its
// encoder then opens with.
struct CodecLimits {
    const char* name;
    std::vector<std::pair<const char*, int>> encoders; // encoder, bits per sample (0: coded)
    std::vector<int> rates;
    std::vector<int> channels;
    std::vector<int> bitRates;    // bit/s; empty: not chosen by bitrate
    int maxBitRateBelow32k = 0; // MPEG-2 rates take lower bitrates only; 0: no limit
};

const std::vector<int> kPcmRates = {44100, 48000, 32000, 22050, 16000, 11025, 8000};
const std::vector<int> kAdpcmRates = {44100, 22050, 11025, 8000};

const std::vector<CodecLimits>& AcmLimits()
{
    static const std::vector<CodecLimits> limits = {
        {"PCM", {{"pcm_s16le", 16}, {"pcm_u8", 8}}, kPcmRates, {2, 1}, {}},
        {"CCITT A-Law", {{"pcm_alaw", 8}}, kAdpcmRates, {2, 1}, {}},
        {"CCITT u-Law", {{"pcm_mulaw", 8}}, kAdpcmRates, {2, 1}, {}},
        {"Microsoft ADPCM", {{"adpcm_ms", 4}}, kAdpcmRates, {2, 1}, {}},
        {"IMA ADPCM", {{"adpcm_ima_wav", 4}}, kAdpcmRates, {2, 1}, {}},
        {"GSM 6.10", {{"libgsm_ms", 0}}, {8000}, {1}, {13000}},
        {"G.726 ADPCM", {{"g726", 0}}, {8000}, {1}, {40000, 32000, 24000, 16000}},
        {"G.723.1", {{"g723_1", 0}}, {8000}, {1}, {6300}},
        {"MPEG Layer-3", {{"libmp3lame", 0}}, kPcmRates, {2, 1}, {192000, 128000, 64000, 32000}, 64000},
    };
    return limits;
}

struct WmaCandidate {
    int kbps, rate, channels;
};

// "13 kbit/s", "6.3 kbit/s"
QString BitRateText(int bitRate) { return QString::number(bitRate / 1000.0) + " kbit/s"; }

const std::vector<WmaCandidate> kWmaCandidates = {
    {192, 44100, 2}, {160, 44100, 2}, {128, 44100, 2}, {96, 44100, 2}, {80, 44100, 2}, {64, 44100, 2},
    {48, 44100, 2},  {192, 48000, 2}, {128, 48000, 2}, {64, 32000, 2}, {48, 32000, 2}, {48, 22050, 2},
    {32, 22050, 2},  {64, 44100, 1},  {48, 44100, 1},  {32, 44100, 1}, {32, 22050, 1}, {24, 22050, 1},
};

QString FormatText(const CodecFormat& f)
{
    const QString middle = f.bits > 0 ? QString("%1 Bit").arg(f.bits) : BitRateText(f.bitRate);
    return SampleRateText(f.sampleRate) + ", " + middle + ", " + ChannelsText(f.channels);
}

QString WmaFormatText(const CodecFormat& f)
{
    return BitRateText(f.bitRate) + ", " + SampleRateText(f.sampleRate) + ", " + ChannelsText(f.channels);
}

// Whether the encoder opens with these settings.
bool EncoderOpens(const CodecFormat& f)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(f.encoder);
    if (!codec) return false;
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (!ctx) return false;
    ctx->sample_rate = f.sampleRate;
    av_channel_layout_default(&ctx->ch_layout, f.channels);
    ctx->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    ctx->bit_rate = f.bitRate;
    const bool opens = avcodec_open2(ctx, codec, nullptr) >= 0;
    avcodec_free_context(&ctx);
    return opens;
}

void AddIfUsable(Codec& codec, CodecFormat f, QString (*textOf)(const CodecFormat&))
{
    f.text = textOf(f);
    if (EncoderOpens(f)) codec.formats.push_back(std::move(f));
}

std::vector<Codec> BuildAcmCodecs()
{
    std::vector<Codec> codecs;
    for (const CodecLimits& lim : AcmLimits()) {
        Codec codec{lim.name, {}};
        for (int rate : lim.rates)
            for (const auto& [encoder, bits] : lim.encoders)
                for (int ch : lim.channels) {
                    if (lim.bitRates.empty()) {
                        AddIfUsable(codec, {encoder, rate, ch, bits, 0, {}}, FormatText);
                        continue;
                    }
                    for (int bitRate : lim.bitRates)
                        if (rate >= 32000 || lim.maxBitRateBelow32k == 0 || bitRate <= lim.maxBitRateBelow32k)
                            AddIfUsable(codec, {encoder, rate, ch, 0, bitRate, {}}, FormatText);
                }
        if (!codec.formats.empty()) codecs.push_back(std::move(codec));
    }
    return codecs;
}

std::vector<Codec> BuildWmaCodecs()
{
    const std::pair<const char*, const char*> kinds[] = {{"Windows Media Audio V1", "wmav1"},
                                                         {"Windows Media Audio V2", "wmav2"}};
    std::vector<Codec> codecs;
    for (const auto& [name, encoder] : kinds) {
        Codec codec{name, {}};
        for (const WmaCandidate& c : kWmaCandidates)
            AddIfUsable(codec, {encoder, c.rate, c.channels, 0, c.kbps * 1000, {}}, WmaFormatText);
        if (!codec.formats.empty()) codecs.push_back(std::move(codec));
    }
    return codecs;
}

} // namespace

bool Codec::Accepts(int sampleRate, int channels) const
{
    for (const CodecFormat& f : formats)
        if (f.sampleRate == sampleRate && f.channels == channels) return true;
    return false;
}

const std::vector<Codec>& AcmCodecs()
{
    static const std::vector<Codec> codecs = BuildAcmCodecs();
    return codecs;
}

const std::vector<Codec>& WmaCodecs()
{
    static const std::vector<Codec> codecs = BuildWmaCodecs();
    return codecs;
}

const Codec* FindCodec(const std::vector<Codec>& codecs, const QString& name)
{
    for (const Codec& c : codecs)
        if (c.name == name) return &c;
    return nullptr;
}

const CodecFormat* FindFormat(const Codec& codec, const QString& text)
{
    for (const CodecFormat& f : codec.formats)
        if (f.text == text) return &f;
    return nullptr;
}

QString SampleRateText(int sampleRate)
{
    return QString("%1.%2 kHz").arg(sampleRate / 1000).arg(sampleRate % 1000, 3, 10, QChar('0'));
}

QString ChannelsText(int channels)
{
    return channels == 1 ? "Mono" : channels == 2 ? "Stereo" : QString("%1 Channels").arg(channels);
}

} // namespace audioconv
