#pragma once
// The conversion control's codec lists: the WAV codecs ("ACM") and the WMA
// codecs this build of FFmpeg writes, each with the formats it accepts.
#include <QString>
#include <vector>

namespace audioconv {

struct CodecFormat {
    const char* encoder = nullptr; // FFmpeg encoder name
    int sampleRate = 0;
    int channels = 0;
    int bits = 0; // bits per sample; 0 for codecs described by bitrate
    int bitRate = 0; // bit/s; 0 for codecs described by bits
    QString text; // "44.100 kHz, 16 Bit, Stereo"
};

struct Codec {
    QString name;
    std::vector<CodecFormat> formats;
    bool Accepts(int sampleRate, int channels) const;
};

// Both lists are worked out once (each candidate format is tried on its
// encoder) and then kept; codecs without a working format are left out.
const std::vector<Codec>& AcmCodecs();
const std::vector<Codec>& WmaCodecs();

const Codec* FindCodec(const std::vector<Codec>& codecs, const QString& name);
const CodecFormat* FindFormat(const Codec& codec, const QString& text);

// "44.100 kHz"
QString SampleRateText(int sampleRate);
QString ChannelsText(int channels);

} // namespace audioconv
