#pragma once
// Inside the conversion control: one conversion (decode, resample, encode,
// write) run on the control's thread, the reading of file facts and tags, and
// the pieces the per-format encoders share.
#include "controls/AudioConverter.h"
#include "controls/AudioDecoder.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

struct AVFrame;

namespace audioconv {

struct Status {
    std::int32_t code = 0;
    QString text;
    bool ok() const { return code == 0; }
};
inline Status Fail(std::int32_t code, const QString& text) { return {code, text}; }
using audiodec::AvErrorText;
// The conversion's error for a fault of the shared decoding.
Status FromProblem(const audiodec::Problem& p);

struct Tags {
    QString album, artist, comment, genre, title, track, year;
    bool IsEmpty() const;
};

// Everything one conversion needs, copied from the control when it starts.
struct Request {
    QString source, destination;
    std::int32_t format = kDestFormatWAV;
    WAVFormatSettings wav;
    ACMFormatSettings acm;
    MP3FormatSettings mp3;
    WMAFormatSettings wma;
    OGGFormatSettings ogg;
    bool ranged = false;
    std::int32_t rangeStart = 0, rangeLength = 0; // seconds
    Tags tags;
};

enum class Outcome { Done, Aborted, Failed };
struct Result {
    Outcome outcome = Outcome::Done;
    Status error;
};

// Runs one conversion; `progress` gets whole percents, each once, in order.
Result RunConversion(const Request& request, const std::atomic<bool>& abort, const std::function<void(int)>& progress);

using SourceFacts = audiodec::Facts;
Status ReadSourceFacts(const QString& path, SourceFacts* facts);
Status ReadSourceTags(const QString& path, Tags* tags);

// The output under construction: a hidden temporary file beside the
// destination, renamed over it by Commit; dropped otherwise.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    Status Create(const QString& destination);
    bool Write(const void* data, std::size_t size);
    // lseek semantics; -1 on failure.
    std::int64_t Seek(std::int64_t offset, int whence);
    std::int64_t Size() const;
    bool Failed() const { return m_errno != 0; }
    // The error of the first failed write or seek, as the user should read it.
    Status WriteError() const;
    Status Commit();
    void Discard();

private:
    Status ErrnoStatus(int err) const;
    int m_fd = -1;
    int m_errno = 0;
    QString m_tempPath, m_destination;
};

// What an encoder wants its samples in.
struct SinkInput {
    int sampleRate = 0;
    AVChannelLayout layout{};
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
    int frameSize = 0;          // 0: any number of samples per frame
    bool shortLastFrame = true; // the last frame may be shorter than frameSize
    bool ownBuffer = false;     // samples go straight into the encoder's buffer (Buffer, Wrote)
};

// One destination format: gets frames in its SinkInput and writes the file.
class AudioSink {
public:
    virtual ~AudioSink() = default;
    virtual const SinkInput& Input() const = 0;
    virtual Status Open(OutputFile& file, const Tags& tags) = 0;
    virtual Status Write(AVFrame* frame) = 0;
    // Sinks with ownBuffer: room for `count` samples in the encoder's own
    // buffer, one pointer per plane of the input layout; Wrote encodes the
    // first `count` samples written there.
    virtual uint8_t** Buffer(int count) { return nullptr; }
    virtual Status Wrote(int count) { return {}; }
    virtual Status Finish() = 0;
};

// The sink for the request's format, set up for a source of these facts.
Status MakeSink(const Request& request, const SourceFacts& source, std::unique_ptr<AudioSink>* sink);
// MP3 through LAME (a file of its own: frames, ID3v2.3 and ID3v1 tags).
Status MakeMp3Sink(const MP3FormatSettings& settings, const SourceFacts& source, std::unique_ptr<AudioSink>* sink);
// OGG through libvorbis and libogg (a file of its own: Vorbis comments).
Status MakeOggSink(const OGGFormatSettings& settings, const SourceFacts& source, std::unique_ptr<AudioSink>* sink);

class FrameFeeder;

// Encodes PCM into one destination file in a request's format and settings.
// The conversion feeds it decoded frames; any other producer of PCM (a CD
// track being read) drives it the same way: Prepare, Start, Write as often
// as needed, Finish. Dropped before Finish, it leaves no file behind. Every
// step returns the error as the user should read it.
class FileEncoder {
public:
    FileEncoder();
    FileEncoder(const FileEncoder&) = delete;
    FileEncoder& operator=(const FileEncoder&) = delete;
    ~FileEncoder();

    // Sets the encoder up for PCM of the source's rate and channels; refused
    // settings fail here, before any file exists.
    Status Prepare(const Request& request, const SourceFacts& source);
    // Creates the output, a hidden file beside `destination`, and writes its header and tags.
    Status Start(const QString& destination, const Tags& tags);
    // Encodes `count` samples of `frame` from `offset` on; the frame may
    // have any sample format, rate and layout.
    Status Write(const AVFrame* frame, int offset, int count);
    // Encodes `count` interleaved 16-bit samples of the rate and channels given to Prepare.
    Status WriteInterleaved16(const std::int16_t* samples, int count);
    // Encodes what is still buffered and puts the file in place under the destination name.
    Status Finish();

private:
    Status Reported(const Status& s) const;

    SourceFacts m_source;
    std::unique_ptr<AudioSink> m_sink;
    std::unique_ptr<FrameFeeder> m_feeder;
    OutputFile m_out;
};

} // namespace audioconv
