#pragma once
// Reading audio files on FFmpeg, shared by the conversion control and the
// player: a source file with its audio stream and decoder, and a resampler
// that turns PCM into the rate, channels and sample format its user wants. Neither is tied to a thread; each user runs them on its own.
#include "controls/audio/HeaderInput.h"

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

struct AVCodecContext;
struct AVCodecParameters;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwrContext;

namespace audiodec {

// What went wrong, in kinds each control turns into its own error codes.
enum class Fault { None, NoFileName, Missing, Unreadable, OutOfMemory, Refused, Broken, Declined };
struct Problem {
    Fault fault = Fault::None;
    QString text;
    bool ok() const { return fault == Fault::None; }
};

// FFmpeg's text for one of its error codes.
QString AvErrorText(int err);

struct Facts {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    std::int64_t lengthMs = 0;
    std::int64_t bitRate = 0; // bits per second; 0 when unknown
};

// How much of a file Open reads. Full: FFmpeg's stream analysis, which
// reads and decodes the start of the stream (and, without an exact length,
// estimates one). HeaderWhenExact: only the container's header, where it
// states the codec, rate, channels, length, bit rate and tags exactly as the
// analysis would find them (PCM and ADPCM WAV, Vorbis in Ogg, WMA), the
// headers of a plain MP3 (see OpenMp3Headers) and of a plain Ogg Vorbis file
// with its last page (see OpenOggHeaders); the full analysis otherwise. It
// reads no more of the file than that (see HeaderInput). Enough for a file's
// facts; decoding needs Full.
enum class Analysis { Full, HeaderWhenExact };

// How a seek places the decoding. Exact: the frames that follow hold, sample
// for sample, what a decode of the whole file from its start holds there,
// whatever it takes. Fast: the frames lie at their places (to the
// millisecond where the container counts in milliseconds), but where only a
// decode from the start gives the very same samples (a decoder that draws
// noise from a sequence running from the first frame) the seek does not go
// back there; for playing.
enum class Seek { Exact, Fast };

// A source file: its container, its audio stream and that stream's decoder.
class Source {
public:
    Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    ~Source();

    Problem Open(const QString& path, Analysis analysis = Analysis::Full);
    Problem OpenDecoder();
    Facts GetFacts() const;
    // Whether Open read headers only, without the stream analysis.
    bool FromHeaders() const { return m_fromHeaders; }
    // The first non-empty tag of these keys, container before stream.
    QString Tag(std::initializer_list<const char*> keys) const;
    int SampleRate() const;
    // The audio stream as the container describes it, and the container's short name ("wav").
    const AVCodecParameters* Parameters() const;
    QString ContainerName() const;
    // The sample format the decoder gives (known once OpenDecoder succeeded).
    AVSampleFormat DecodedFormat() const;
    // Length in samples as the container states it; -1 when it does not.
    std::int64_t DurationSamples() const;
    // Moves the decoding to the sample: the frames Receive gives next start
    // at or before it.
    void SeekToSample(std::int64_t sample, Seek seek = Seek::Exact);
    // Next decoded frame: 0, AVERROR_EOF at the end, or another error.
    int Receive(AVFrame* frame);
    // Where the frame Receive gave last starts, in samples of the decode of
    // the whole file from its start.
    std::int64_t Position() const { return m_framePosition; }
    // After the end: why the reading stopped short of what the source
    // declares, or nothing when it did not.
    std::optional<QString> BreakOff() const;

private:
    // A plain MP3's facts from its headers as the full analysis finds them:
    // the rate and channels of its first frame; the length from the frame
    // count of a Xing, Info or VBRI frame, else estimated from the stream's
    // size and its steady bit rate. False (nothing open) for any other file,
    // or for a variable bit rate that no such frame sums up.
    bool OpenMp3Headers(const QString& path);
    // Opens m_fmt: for the headers only, reading no more than FFmpeg asks for.
    // The blank ranges read as zeros (see HeaderInput).
    int OpenInput(const QString& path, const AVInputFormat* format, Analysis analysis,
                  std::vector<ByteRange> blanks = {}, bool seekable = true);
    // A plain Ogg Vorbis file's facts from its headers, its first audio page
    // and its last page, as the full analysis finds them; false (nothing
    // open) for any other file, or for a stream that does not start at 0.
    bool OpenOggHeaders(const QString& path);
    void CloseInput();
    // A decoder for the stream, opened.
    int NewDecoder(AVCodecContext** dec) const;

    // How a seek reaches its sample in this file.
    enum class SeekPlan {
        WavBlocks,  // to the byte of its block, in a WAV file of blocks that decode on their own
        Timestamps, // by the timestamps, a preroll before it, where they are exact
        FromStart,  // decoding from the start
    };
    SeekPlan PlanFor(Seek seek) const;
    bool SeekWavBlock(std::int64_t sample);
    bool SeekByTimestamp(std::int64_t sample);
    // Samples decoded and dropped before a seek's sample, for the decoder to
    // give there what it gives decoding from the start.
    std::int64_t PrerollSamples() const;
    // Back to the first packet, with a new decoder (a flushed one keeps some state).
    void Rewind();
    // Reads the file's first frame once, for where its first packet lies and
    // what timestamp its first sample has; false when it has none.
    bool KnowsStart();
    // After a move: what the decoder and the reading held is gone.
    void Restart();
    // Next decoded frame, without its position (Receive).
    int Decode(AVFrame* frame);

    std::unique_ptr<HeaderInput> m_headerInput; // m_fmt's input when it reads headers only
    AVFormatContext* m_fmt = nullptr;
    AVCodecContext* m_dec = nullptr;
    AVPacket* m_pkt = nullptr;
    AVStream* m_stream = nullptr;
    bool m_draining = false;
    bool m_fromHeaders = false;
    QString m_path;
    int m_readError = 0; // the error that stopped the reading before its end
    AVFrame* m_held = nullptr; // a frame a seek decoded, which Receive gives next
    bool m_holding = false;
    std::int64_t m_nextPosition = 0, m_framePosition = 0;
    bool m_readAny = false;     // a packet was read: the first one's timestamp and byte are known
    bool m_atFirstFrame = true; // the next frame decoded is the file's first
    bool m_startKnown = false;  // the first frame was decoded: its timestamp is known
    std::int64_t m_firstPacketTs = 0, m_firstPacketPos = -1, m_firstFramePts = 0;
    std::int64_t m_declaredBytes = 0, m_heldBytes = 0, m_byteRate = 0; // of a WAV's data chunk
};

// The shape of PCM handed to a Resampler.
struct PcmShape {
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
    int sampleRate = 0;
    const AVChannelLayout* layout = nullptr;
};

// Where a Resampler puts what it makes.
class ResampleTarget {
public:
    virtual ~ResampleTarget() = default;
    // Room for `count` samples, one pointer per plane of the output format.
    virtual uint8_t** Room(int count) = 0;
    // `count` samples were written into the room; false stops the
    // conversion with Fault::Declined (the target knows why).
    virtual bool Took(int count) = 0;
};

// A target that collects the output in a buffer of its own.
class ResampleBuffer : public ResampleTarget {
public:
    ResampleBuffer(const AVChannelLayout& layout, AVSampleFormat format);
    ResampleBuffer(const ResampleBuffer&) = delete;
    ResampleBuffer& operator=(const ResampleBuffer&) = delete;
    ~ResampleBuffer() override;

    uint8_t** Room(int count) override;
    bool Took(int count) override;
    // One pointer per plane (one for packed formats), and the samples held.
    uint8_t** Data() const { return m_buf; }
    int Count() const { return m_count; }
    void Clear() { m_count = 0; }

private:
    int m_channels;
    AVSampleFormat m_format;
    uint8_t** m_buf = nullptr;
    int m_capacity = 0;
    int m_count = 0;
    std::vector<uint8_t*> m_room;
};

// Converts PCM into one output format. The input format may change between
// calls; what the old set-up still held comes out first.
class Resampler {
public:
    Resampler(int sampleRate, const AVChannelLayout& layout, AVSampleFormat format);
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;
    ~Resampler();

    // Converts `count` samples from `offset` on: one plane, or one per channel.
    Problem Convert(const PcmShape& shape, const uint8_t* const* planes, int offset, int count, ResampleTarget& out);
    Problem Convert(const AVFrame* frame, int offset, int count, ResampleTarget& out);
    // At the end of the input: what the resampler still holds.
    Problem Flush(ResampleTarget& out);
    // Forgets what the resampler holds (after a seek).
    void Reset();

private:
    Problem SetUp(const PcmShape& shape, ResampleTarget& out);
    Problem Run(const uint8_t** in, int count, ResampleTarget& out);

    int m_outRate;
    AVChannelLayout m_outLayout{};
    AVSampleFormat m_outFormat;
    SwrContext* m_swr = nullptr;
    AVChannelLayout m_srcLayout{};
    int m_srcRate = 0;
    int m_srcFormat = AV_SAMPLE_FMT_NONE;
    std::vector<const uint8_t*> m_inPtrs;
};

} // namespace audiodec
