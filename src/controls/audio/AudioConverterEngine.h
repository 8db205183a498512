#pragma once
// Inside the conversion control: one conversion (decode, resample, encode,
// write) run on the control's thread, the reading of file facts and tags, and
// the pieces the per-format encoders share.
#include "controls/audio/AudioConverter.h"
#include "controls/audio/AudioDecoder.h"

#include <QString>
#include <algorithm>
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

using Tags = AudioTags;

// Everything one conversion needs, copied from the control when it starts.
struct Request : OutputSettings {
    QString source;
};

enum class Outcome { Done, Aborted, Failed };
struct Result {
    Outcome outcome = Outcome::Done;
    Status error;
};

// Whole percents of a job, each reported once, in order, the last 100 only on Complete.
class ProgressReporter {
public:
    ProgressReporter(const std::function<void(int)>& report, std::int64_t expected)
        : m_report(report), m_expected(expected)
    {
    }
    void At(std::int64_t done)
    {
        if (m_expected <= 0) return;
        Report(int(std::min<std::int64_t>(99, done * 100 / m_expected)));
    }
    void Complete() { Report(100); }

private:
    void Report(int percent)
    {
        if (percent <= m_last) return;
        m_last = percent;
        if (m_report) m_report(percent);
    }
    const std::function<void(int)>& m_report;
    std::int64_t m_expected;
    int m_last = 0;
};

// The checks of an output that come before any work: a format this system
// writes, and a destination name in an existing folder.
Status CheckFormat(std::int32_t format);
Status CheckDestination(const QString& destination);
// Refuses a destination that is the source file itself.
Status CheckNotSource(const QString& source, const QString& destination);

// Runs one conversion; `progress` gets whole percents, each once, in order.
Result RunConversion(const Request& request, const std::atomic<bool>& abort, const std::function<void(int)>& progress);

using SourceFacts = audiodec::Facts;
// A file's facts, and its tags when asked for, from one opening that reads
// only as much of the file as they need.
Status ReadSourceFacts(const QString& path, SourceFacts* facts, Tags* tags = nullptr);
Status ReadSourceTags(const QString& path, Tags* tags);

// The output under construction: a hidden temporary file beside the
// destination, flushed to the disk and renamed over it by Commit; dropped
// otherwise. One that a killed writer left goes when the next output is
// made in its folder.
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
    // The hidden file being written, until Commit or Discard.
    QString TempPath() const { return m_tempPath; }
    bool Failed() const { return m_errno != 0; }
    // The error of the first failed write or seek, as the user should read it.
    Status WriteError() const;
    Status Commit();
    // Puts two outputs in place together: a crash leaves both old files or
    // both new ones (see platform::PutInPlaceTogether).
    static Status CommitTogether(OutputFile& first, OutputFile& second);
    void Discard();

private:
    Status ErrnoStatus(int err) const;
    Status Flush();
    void Close();
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

// The sink for the destination format, set up for a source of these facts.
Status MakeSink(const EncoderSettings& settings, const SourceFacts& source, std::unique_ptr<AudioSink>* sink);
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
    Status Prepare(const EncoderSettings& settings, const SourceFacts& source);
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

// Which part of a source to read: the whole file, or `length` seconds from
// `start` (a length of 0 or less runs to the end of the source).
struct SourceRange {
    bool ranged = false;
    std::int32_t start = 0, length = 0;
};

// One source read into an encoder: its container, its decoder and the part
// to read. A conversion reads its source this way, a join each of its entries.
class SourceReader {
public:
    SourceReader();
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;
    ~SourceReader();

    // Each step returns the error as the user should read it.
    Status Open(const QString& path);
    SourceFacts Facts() const;
    Status OpenDecoder();
    // A range that starts after the end of the source fails.
    Status SetRange(const SourceRange& range);
    // Decodes the part into `encoder`; `progress` gets whole percents of the
    // part from 1 to 99, each once, in order. A source that breaks off before
    // its declared end fails. An abort sets `*aborted` and returns no error.
    Status EncodeInto(FileEncoder& encoder, const std::atomic<bool>& abort, const std::function<void(int)>& progress,
                      bool* aborted);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace audioconv
