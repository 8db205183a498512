#include "controls/audio/AudioConverterEngine.h"

#include "controls/audio/PlainWav.h"
#include "platform/FileIdentity.h"
#include "platform/SaveFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace audioconv {

Status FromProblem(const audiodec::Problem& p)
{
    switch (p.fault) {
    case audiodec::Fault::None: return {};
    case audiodec::Fault::NoFileName: return Fail(kConvertErrNoFileName, p.text);
    case audiodec::Fault::Missing: return Fail(kConvertErrSourceMissing, p.text);
    case audiodec::Fault::Unreadable: return Fail(kConvertErrSourceNotAudio, p.text);
    case audiodec::Fault::OutOfMemory:
    case audiodec::Fault::Refused:
    case audiodec::Fault::Declined: return Fail(kConvertErrSettingsRefused, p.text);
    case audiodec::Fault::Broken: return Fail(kConvertErrDecode, p.text);
    }
    return Fail(kConvertErrDecode, p.text);
}

namespace {

QString FolderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// The source as the conversion reads it.
class InputAudio : public audiodec::Source {
public:
    Status Open(const QString& path, audiodec::Analysis analysis = audiodec::Analysis::Full)
    {
        return FromProblem(audiodec::Source::Open(path, analysis));
    }
    Status OpenDecoder() { return FromProblem(audiodec::Source::OpenDecoder()); }
    SourceFacts Facts() const { return GetFacts(); }
};

// ---------------------------------------------------------------------------

// The part of the source to convert, in source samples: [start, end).
struct Span {
    std::int64_t start = 0;
    std::int64_t end = LLONG_MAX;
    std::int64_t expected = -1; // samples expected, for progress; -1 unknown
};

Status FindSpan(const SourceRange& r, const InputAudio& in, Span* span)
{
    const std::int64_t rate = in.SampleRate();
    const std::int64_t length = in.DurationSamples();
    if (r.ranged) {
        span->start = std::int64_t(std::max(r.start, 0)) * rate;
        if (r.length > 0) span->end = span->start + std::int64_t(r.length) * rate;
        if (length >= 0 && span->start >= length)
            return Fail(kConvertErrRange, QString("The range starts at %1 s, after the end of the source (%2 s).")
                                              .arg(r.start)
                                              .arg(double(length) / double(rate), 0, 'f', 1));
    }
    if (length >= 0) span->expected = std::min(span->end, length) - span->start;
    return {};
}

struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

// Decodes the span and feeds it to the encoder. Aborted is reported as true.
Status Transcode(InputAudio& in, FileEncoder& encoder, const Span& span, const std::atomic<bool>& abort,
                 ProgressReporter& progress, bool* aborted, std::int64_t* delivered)
{
    std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
    if (span.start > 0) in.SeekToSample(span.start);
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
        const std::int64_t pos = in.Position();
        const std::int64_t next = pos + frame->nb_samples;
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
// SourceReader

struct SourceReader::Impl {
    InputAudio in;
    SourceRange range;
    Span span;
};

SourceReader::SourceReader() : m(std::make_unique<Impl>()) {}

SourceReader::~SourceReader() = default;

Status SourceReader::Open(const QString& path) { return m->in.Open(path); }

SourceFacts SourceReader::Facts() const { return m->in.Facts(); }

Status SourceReader::OpenDecoder() { return m->in.OpenDecoder(); }

Status SourceReader::SetRange(const SourceRange& range)
{
    m->range = range;
    m->span = {};
    return FindSpan(range, m->in, &m->span);
}

Status SourceReader::EncodeInto(FileEncoder& encoder, const std::atomic<bool>& abort,
                                const std::function<void(int)>& progress, bool* aborted)
{
    ProgressReporter reporter(progress, m->span.expected);
    std::int64_t delivered = 0;
    *aborted = false;
    Status s = Transcode(m->in, encoder, m->span, abort, reporter, aborted, &delivered);
    if (s.ok() && !*aborted && delivered == 0 && m->span.start > 0)
        s = Fail(kConvertErrRange,
                 QString("The range starts at %1 s, after the end of the source.").arg(m->range.start));
    return s;
}

// ---------------------------------------------------------------------------

Result RunConversion(const Request& request, const std::atomic<bool>& abort, const std::function<void(int)>& progress)
{
    SourceReader reader;
    FileEncoder encoder;
    Status s = CheckFormat(request.format);
    if (s.ok()) s = reader.Open(request.source);
    if (s.ok()) s = CheckDestination(request.destination);
    if (s.ok()) s = CheckNotSource(request.source, request.destination);
    if (s.ok()) s = reader.OpenDecoder();
    if (s.ok()) s = encoder.Prepare(request, reader.Facts());
    if (s.ok()) s = reader.SetRange({request.ranged, request.rangeStart, request.rangeLength});
    if (s.ok()) s = encoder.Start(request.destination, request);
    if (!s.ok()) return Failed(s);

    bool aborted = false;
    s = reader.EncodeInto(encoder, abort, progress, &aborted);
    if (aborted) return {Outcome::Aborted, {}};
    if (s.ok()) s = encoder.Finish();
    if (!s.ok()) return Failed(s);
    if (progress) progress(100);
    return {};
}

Status CheckFormat(std::int32_t format)
{
    if (format == kDestFormatAPE)
        return Fail(kConvertErrFormatUnavailable, "APE encoding is not available on this system");
    if (format < kDestFormatWAV || format > kDestFormatAPE)
        return Fail(kConvertErrFormatUnavailable, QString("Unknown destination format %1.").arg(format));
    return {};
}

Status CheckDestination(const QString& destination)
{
    if (destination.isEmpty()) return Fail(kConvertErrNoFileName, "No destination file was given.");
    const QFileInfo dest(destination);
    if (!QFileInfo(dest.absolutePath()).isDir())
        return Fail(kConvertErrDestinationFolder, "The destination folder does not exist: " + dest.absolutePath());
    if (dest.isDir()) return Fail(kConvertErrDestinationWrite, "The destination is a folder: " + destination);
    return {};
}

Status CheckNotSource(const QString& source, const QString& destination)
{
    if (platform::IsSameFile(source, destination))
        return Fail(kConvertErrDestinationIsSource,
                    "The destination is the source file itself; choose another name or folder: " + destination);
    return {};
}

namespace {

// The tags of a file read by FFmpeg (InputAudio) or from its chunks (PlainWav).
template <class Reader>
Tags TagsOf(const Reader& in)
{
    Tags tags;
    tags.album = in.Tag({"album", "WM/AlbumTitle"});
    tags.artist = in.Tag({"artist", "author", "album_artist"});
    tags.comment = in.Tag({"comment", "description"});
    tags.genre = in.Tag({"genre"});
    tags.title = in.Tag({"title"});
    tags.track = in.Tag({"track", "tracknumber", "WM/TrackNumber"});
    tags.year = in.Tag({"date", "year", "WM/Year", "TYER", "TDRC"});
    return tags;
}

} // namespace

Status ReadSourceFacts(const QString& path, SourceFacts* facts, Tags* tags)
{
    if (const std::optional<audiodec::PlainWav> wav = audiodec::ReadPlainWav(path)) {
        *facts = wav->facts;
        if (tags) *tags = TagsOf(*wav);
        return {};
    }
    InputAudio in;
    Status s = in.Open(path, audiodec::Analysis::HeaderWhenExact);
    if (!s.ok()) return s;
    *facts = in.Facts();
    if (tags) *tags = TagsOf(in);
    return s;
}

Status ReadSourceTags(const QString& path, Tags* tags)
{
    *tags = {};
    if (const std::optional<audiodec::PlainWav> wav = audiodec::ReadPlainWav(path)) {
        *tags = TagsOf(*wav);
        return {};
    }
    InputAudio in;
    Status s = in.Open(path, audiodec::Analysis::HeaderWhenExact);
    if (s.ok()) *tags = TagsOf(in);
    return s;
}

// ---------------------------------------------------------------------------
// OutputFile

OutputFile::~OutputFile() { Discard(); }

Status OutputFile::Create(const QString& destination)
{
    m_destination = destination;
    const int fd = platform::CreatePartFile(FolderOf(destination), O_WRONLY, 0666, &m_tempPath);
    if (fd < 0) return ErrnoStatus(-fd);
    m_fd = fd;
    return {};
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

Status OutputFile::Flush()
{
    if (m_errno) return WriteError();
    if (const int err = platform::FlushToDisk(m_fd)) {
        m_errno = err;
        return WriteError();
    }
    return {};
}

Status OutputFile::Commit()
{
    // Flushed to the disk before it takes the destination's name, and kept
    // open (its lock held) until it has.
    Status s = Flush();
    if (!s.ok()) return s;
    if (::rename(QFile::encodeName(m_tempPath).constData(), QFile::encodeName(m_destination).constData()) != 0) {
        m_errno = errno;
        return WriteError();
    }
    m_tempPath.clear();
    Close();
    return {};
}

Status OutputFile::CommitTogether(OutputFile& first, OutputFile& second)
{
    for (OutputFile* file : {&first, &second}) {
        const Status s = file->Flush();
        if (!s.ok()) return s;
    }
    const int err = platform::PutInPlaceTogether(
        {{first.m_tempPath, first.m_destination}, {second.m_tempPath, second.m_destination}});
    // Whatever became of them, the parts are no longer the files' to drop.
    for (OutputFile* file : {&first, &second}) {
        file->m_tempPath.clear();
        file->Close();
    }
    if (err) {
        first.m_errno = err;
        return first.WriteError();
    }
    return {};
}

void OutputFile::Close()
{
    const int fd = std::exchange(m_fd, -1);
    if (fd >= 0 && ::close(fd) != 0 && !m_errno && errno != EINTR) m_errno = errno;
}

void OutputFile::Discard()
{
    if (!m_tempPath.isEmpty()) ::unlink(QFile::encodeName(m_tempPath).constData());
    m_tempPath.clear();
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

} // namespace audioconv
