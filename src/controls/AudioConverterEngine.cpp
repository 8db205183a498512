#include "controls/AudioConverterEngine.h"

#include "platform/FileIdentity.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace audioconv {

bool Tags::IsEmpty() const
{
    return album.isEmpty() && artist.isEmpty() && comment.isEmpty() && genre.isEmpty() && title.isEmpty() &&
           track.isEmpty() && year.isEmpty();
}

QString AvErrorText(int err)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return QString::fromUtf8(buf);
}

namespace {

// FFmpeg reads names as URLs; the file: prefix keeps a path a path.
QByteArray FileUrl(const QString& path) { return "file:" + QFile::encodeName(path); }

QString FolderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// ---------------------------------------------------------------------------
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

QString SecondsText(std::int64_t bytes, std::int64_t byteRate)
{
    return QString::number(double(bytes) / double(byteRate), 'g', 4) + " s";
}

// ---------------------------------------------------------------------------
// The source: its container, its audio stream and that stream's decoder.

class InputAudio {
public:
    InputAudio() = default;
    InputAudio(const InputAudio&) = delete;
    InputAudio& operator=(const InputAudio&) = delete;
    ~InputAudio()
    {
        avcodec_free_context(&m_dec);
        avformat_close_input(&m_fmt);
        av_packet_free(&m_pkt);
    }

    Status Open(const QString& path);
    Status OpenDecoder();
    SourceFacts Facts() const;
    QString Tag(std::initializer_list<const char*> keys) const;
    int SampleRate() const { return m_stream->codecpar->sample_rate; }
    // Length in samples as the container states it; -1 when it does not.
    std::int64_t DurationSamples() const;
    void SeekToSample(std::int64_t sample);
    // The sample position of a decoded frame; -1 when it carries no time.
    std::int64_t FramePosition(const AVFrame* frame) const;
    // Next decoded frame: 0, AVERROR_EOF at the end, or another error.
    int Receive(AVFrame* frame);
    // After the end: why the reading stopped short of what the source
    // declares, or nothing when it did not.
    std::optional<QString> BreakOff() const;

private:
    AVFormatContext* m_fmt = nullptr;
    AVCodecContext* m_dec = nullptr;
    AVPacket* m_pkt = nullptr;
    AVStream* m_stream = nullptr;
    bool m_draining = false;
    QString m_path;
    int m_readError = 0; // the error that stopped the reading before its end
    DeclaredWavData m_declared;
};

Status InputAudio::Open(const QString& path)
{
    if (path.isEmpty()) return Fail(kConvertErrNoFileName, "No source file was given.");
    const QFileInfo info(path);
    if (!info.exists()) return Fail(kConvertErrSourceMissing, "The source file does not exist: " + path);
    if (!info.isFile()) return Fail(kConvertErrSourceNotAudio, "The source is not a file: " + path);
    int r = avformat_open_input(&m_fmt, FileUrl(path).constData(), nullptr, nullptr);
    if (r == AVERROR(EACCES))
        return Fail(kConvertErrSourceNotAudio, "The source file cannot be read (permission denied): " + path);
    if (r < 0 || avformat_find_stream_info(m_fmt, nullptr) < 0)
        return Fail(kConvertErrSourceNotAudio, "The source file is not audio that can be read: " + path);
    r = av_find_best_stream(m_fmt, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (r < 0 || m_fmt->streams[r]->codecpar->sample_rate <= 0 ||
        m_fmt->streams[r]->codecpar->ch_layout.nb_channels <= 0)
        return Fail(kConvertErrSourceNotAudio, "The source file holds no audio: " + path);
    m_stream = m_fmt->streams[r];
    m_path = path;
    m_declared = ReadDeclaredWavData(path);
    return {};
}

Status InputAudio::OpenDecoder()
{
    const AVCodec* codec = avcodec_find_decoder(m_stream->codecpar->codec_id);
    if (!codec)
        return Fail(
            kConvertErrSourceNotAudio,
            QString("No decoder for the source's audio (%1).").arg(avcodec_get_name(m_stream->codecpar->codec_id)));
    m_dec = avcodec_alloc_context3(codec);
    m_pkt = av_packet_alloc();
    if (!m_dec || !m_pkt) return Fail(kConvertErrSourceNotAudio, "Out of memory opening the source.");
    avcodec_parameters_to_context(m_dec, m_stream->codecpar);
    m_dec->pkt_timebase = m_stream->time_base;
    const int r = avcodec_open2(m_dec, codec, nullptr);
    if (r < 0) return Fail(kConvertErrSourceNotAudio, "The source's audio cannot be decoded: " + AvErrorText(r));
    return {};
}

SourceFacts InputAudio::Facts() const
{
    const AVCodecParameters* par = m_stream->codecpar;
    SourceFacts f;
    f.sampleRate = par->sample_rate;
    f.channels = par->ch_layout.nb_channels;
    f.bitsPerSample = par->bits_per_raw_sample > 0     ? par->bits_per_raw_sample
                      : par->bits_per_coded_sample > 0 ? par->bits_per_coded_sample
                                                       : 16; // coded formats decode to 16 bits or more
    if (m_stream->duration != AV_NOPTS_VALUE)
        f.lengthMs = av_rescale_q(m_stream->duration, m_stream->time_base, AVRational{1, 1000});
    else if (m_fmt->duration != AV_NOPTS_VALUE)
        f.lengthMs = av_rescale(m_fmt->duration, 1000, AV_TIME_BASE);
    return f;
}

QString InputAudio::Tag(std::initializer_list<const char*> keys) const
{
    for (const char* key : keys)
        for (AVDictionary* dict : {m_fmt->metadata, m_stream->metadata})
            if (const AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0); e && *e->value)
                return QString::fromUtf8(e->value);
    return {};
}

std::int64_t InputAudio::DurationSamples() const
{
    const std::int64_t ms = Facts().lengthMs;
    return ms > 0 ? av_rescale(ms, SampleRate(), 1000) : -1;
}

void InputAudio::SeekToSample(std::int64_t sample)
{
    std::int64_t ts = av_rescale_q(sample, AVRational{1, SampleRate()}, m_stream->time_base);
    if (m_stream->start_time != AV_NOPTS_VALUE) ts += m_stream->start_time;
    if (av_seek_frame(m_fmt, m_stream->index, ts, AVSEEK_FLAG_BACKWARD) >= 0) avcodec_flush_buffers(m_dec);
}

std::int64_t InputAudio::FramePosition(const AVFrame* frame) const
{
    std::int64_t ts = frame->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE) return -1;
    if (m_stream->start_time != AV_NOPTS_VALUE) ts -= m_stream->start_time;
    return av_rescale_q(ts, m_stream->time_base, AVRational{1, SampleRate()});
}

int InputAudio::Receive(AVFrame* frame)
{
    for (;;) {
        int r = avcodec_receive_frame(m_dec, frame);
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

std::optional<QString> InputAudio::BreakOff() const
{
    const QString start = "The source file breaks off mid-file: ";
    if (m_readError != 0) return start + "reading failed (" + AvErrorText(m_readError) + "): " + m_path;
    if (m_declared.held >= m_declared.size) return std::nullopt;
    if (m_declared.byteRate <= 0) return start + "it is shorter than its header declares: " + m_path;
    return start + "its header declares " + SecondsText(m_declared.size, m_declared.byteRate) + ", it holds " +
           SecondsText(m_declared.held, m_declared.byteRate) + ": " + m_path;
}

// ---------------------------------------------------------------------------

Status CheckDestination(const Request& r)
{
    if (r.destination.isEmpty()) return Fail(kConvertErrNoFileName, "No destination file was given.");
    const QFileInfo dest(r.destination);
    if (!QFileInfo(dest.absolutePath()).isDir())
        return Fail(kConvertErrDestinationFolder, "The destination folder does not exist: " + dest.absolutePath());
    if (platform::IsSameFile(r.source, r.destination))
        return Fail(kConvertErrDestinationIsSource,
                    "The destination is the source file itself; choose another name or folder: " + r.destination);
    if (dest.isDir()) return Fail(kConvertErrDestinationWrite, "The destination is a folder: " + r.destination);
    return {};
}

// The part of the source to convert, in source samples: [start, end).
struct Span {
    std::int64_t start = 0;
    std::int64_t end = LLONG_MAX;
    std::int64_t expected = -1; // samples expected, for progress; -1 unknown
};

Status FindSpan(const Request& r, const InputAudio& in, Span* span)
{
    const std::int64_t rate = in.SampleRate();
    const std::int64_t length = in.DurationSamples();
    if (r.ranged) {
        span->start = std::int64_t(std::max(r.rangeStart, 0)) * rate;
        if (r.rangeLength > 0) span->end = span->start + std::int64_t(r.rangeLength) * rate;
        if (length >= 0 && span->start >= length)
            return Fail(kConvertErrRange, QString("The range starts at %1 s, after the end of the source (%2 s).")
                                              .arg(r.rangeStart)
                                              .arg(double(length) / double(rate), 0, 'f', 1));
    }
    if (length >= 0) span->expected = std::min(span->end, length) - span->start;
    return {};
}

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

struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

// Decodes the span and feeds it to the encoder. Aborted is reported as true.
Status Transcode(InputAudio& in, FileEncoder& encoder, const Span& span, bool ranged, const std::atomic<bool>& abort,
                 ProgressReporter& progress, bool* aborted, std::int64_t* delivered)
{
    std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
    if (span.start > 0) in.SeekToSample(span.start);
    std::int64_t next = 0;
    for (;;) {
        if (abort.load(std::memory_order_relaxed)) {
            *aborted = true;
            return {};
        }
        const int r = in.Receive(frame.get());
        if (r == AVERROR_EOF) {
            if (const auto broken = in.BreakOff()) return Fail(kConvertErrDecode, *broken);
            break;
        }
        if (r < 0) return Fail(kConvertErrDecode, "The source file is damaged or cut short: " + AvErrorText(r));
        std::int64_t pos = ranged ? in.FramePosition(frame.get()) : -1;
        if (pos < 0) pos = next;
        const int n = frame->nb_samples;
        next = pos + n;
        if (pos >= span.end) break;
        const std::int64_t offset = std::max<std::int64_t>(0, span.start - pos);
        const std::int64_t keep = std::min<std::int64_t>(next, span.end) - pos - offset;
        if (keep > 0) {
            const Status s = encoder.Write(frame.get(), int(offset), int(keep));
            if (!s.ok()) return s;
            *delivered += keep;
        }
        progress.At(next - span.start);
        av_frame_unref(frame.get());
    }
    return {};
}

Result Failed(const Status& s) { return {Outcome::Failed, s}; }

} // namespace

// ---------------------------------------------------------------------------

Result RunConversion(const Request& request, const std::atomic<bool>& abort, const std::function<void(int)>& progress)
{
    if (request.format == kDestFormatAPE)
        return Failed(Fail(kConvertErrFormatUnavailable, "APE encoding is not available on this system"));
    if (request.format < kDestFormatWAV || request.format > kDestFormatAPE)
        return Failed(
            Fail(kConvertErrFormatUnavailable, QString("Unknown destination format %1.").arg(request.format)));

    InputAudio in;
    Status s = in.Open(request.source);
    if (s.ok()) s = CheckDestination(request);
    if (s.ok()) s = in.OpenDecoder();
    FileEncoder encoder;
    if (s.ok()) s = encoder.Prepare(request, in.Facts());
    Span span;
    if (s.ok()) s = FindSpan(request, in, &span);
    if (s.ok()) s = encoder.Start(request.destination, request.tags);
    if (!s.ok()) return Failed(s);

    ProgressReporter reporter(progress, span.expected);
    bool aborted = false;
    std::int64_t delivered = 0;
    s = Transcode(in, encoder, span, request.ranged, abort, reporter, &aborted, &delivered);
    if (aborted) return {Outcome::Aborted, {}};
    if (s.ok() && delivered == 0 && span.start > 0)
        s = Fail(kConvertErrRange,
                 QString("The range starts at %1 s, after the end of the source.").arg(request.rangeStart));
    if (s.ok()) s = encoder.Finish();
    if (!s.ok()) return Failed(s);
    reporter.Complete();
    return {};
}

Status ReadSourceFacts(const QString& path, SourceFacts* facts)
{
    InputAudio in;
    Status s = in.Open(path);
    if (s.ok()) *facts = in.Facts();
    return s;
}

Status ReadSourceTags(const QString& path, Tags* tags)
{
    *tags = {};
    InputAudio in;
    Status s = in.Open(path);
    if (!s.ok()) return s;
    tags->album = in.Tag({"album", "WM/AlbumTitle"});
    tags->artist = in.Tag({"artist", "author", "album_artist"});
    tags->comment = in.Tag({"comment", "description"});
    tags->genre = in.Tag({"genre"});
    tags->title = in.Tag({"title"});
    tags->track = in.Tag({"track", "tracknumber", "WM/TrackNumber"});
    tags->year = in.Tag({"date", "year", "WM/Year", "TYER", "TDRC"});
    return {};
}

// ---------------------------------------------------------------------------
// OutputFile

OutputFile::~OutputFile() { Discard(); }

Status OutputFile::Create(const QString& destination)
{
    m_destination = destination;
    const QString folder = FolderOf(destination);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name =
            folder + QString("/.tarvello-%1.part").arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
        const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_fd = fd;
            m_tempPath = name;
            return {};
        }
        if (errno != EEXIST) return ErrnoStatus(errno);
    }
    return ErrnoStatus(EEXIST);
}

bool OutputFile::Write(const void* data, std::size_t size)
{
    if (m_fd < 0 || m_errno) return false;
    auto p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_errno = n < 0 ? errno : ENOSPC;
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

std::int64_t OutputFile::Seek(std::int64_t offset, int whence)
{
    if (m_fd < 0) return -1;
    const off_t r = ::lseek(m_fd, off_t(offset), whence);
    if (r < 0 && !m_errno) m_errno = errno;
    return r;
}

std::int64_t OutputFile::Size() const
{
    struct stat st {};
    return m_fd >= 0 && ::fstat(m_fd, &st) == 0 ? std::int64_t(st.st_size) : -1;
}

Status OutputFile::ErrnoStatus(int err) const
{
    const QString folder = FolderOf(m_destination);
    switch (err) {
    case ENOSPC:
    case EDQUOT: return Fail(kConvertErrDiskFull, "The disk is full: " + folder);
    case EFBIG:
        return Fail(kConvertErrDiskFull, "The destination file grew larger than the disk allows: " + m_destination);
    case EACCES:
    case EPERM:
    case EROFS: return Fail(kConvertErrDestinationWrite, "The destination folder is not writable: " + folder);
    case ENOENT:
    case ENOTDIR: return Fail(kConvertErrDestinationFolder, "The destination folder does not exist: " + folder);
    default:
        return Fail(kConvertErrDestinationWrite, QString("Cannot write the destination file %1: %2")
                                                     .arg(m_destination, QString::fromLocal8Bit(strerror(err))));
    }
}

Status OutputFile::WriteError() const { return ErrnoStatus(m_errno); }

Status OutputFile::Commit()
{
    if (m_errno) return WriteError();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        m_errno = errno;
        return WriteError();
    }
    if (::rename(QFile::encodeName(m_tempPath).constData(), QFile::encodeName(m_destination).constData()) != 0) {
        m_errno = errno;
        return WriteError();
    }
    m_tempPath.clear();
    return {};
}

void OutputFile::Discard()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (!m_tempPath.isEmpty()) ::unlink(QFile::encodeName(m_tempPath).constData());
    m_tempPath.clear();
}

} // namespace audioconv
