#include "controls/audio/HeaderInput.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

namespace audiodec {

namespace {
// The buffer FFmpeg's own file input uses.
constexpr int kBufferBytes = 32 * 1024;
} // namespace

void ReadOnlyWhatIsAsked(const QFile& file)
{
    if (file.handle() >= 0) ::posix_fadvise(file.handle(), 0, 0, POSIX_FADV_RANDOM);
}

HeaderInput::~HeaderInput() { Close(nullptr); }

int HeaderInput::Open(AVFormatContext** fmt, const QString& path, const AVInputFormat* format,
                      std::vector<ByteRange> blanks, bool seekable)
{
    Close(fmt);
    m_blanks = std::move(blanks);
    m_pos = 0;
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) return AVERROR(errno);
    struct stat st {};
    m_size = ::fstat(m_fd, &st) == 0 ? st.st_size : 0;
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_RANDOM);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    m_io = buffer ? avio_alloc_context(buffer, kBufferBytes, 0, this, &HeaderInput::Read, nullptr,
                                            seekable ? &HeaderInput::Seek : nullptr)
                  : nullptr;
    *fmt = m_io ? avformat_alloc_context() : nullptr;
    if (!*fmt) {
        if (!m_io) av_free(buffer);
        Close(nullptr);
        return AVERROR(ENOMEM);
    }
    (*fmt)->pb = m_io;
    (*fmt)->flags |= AVFMT_FLAG_CUSTOM_IO;
    // On failure FFmpeg frees the context but leaves the input to us.
    const int r = avformat_open_input(fmt, nullptr, format, nullptr);
    if (r < 0) Close(fmt);
    return r;
}

void HeaderInput::Close(AVFormatContext** fmt)
{
    if (fmt) avformat_close_input(fmt);
    if (m_io) {
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

int HeaderInput::Read(void* opaque, unsigned char* buf, int size)
{
    auto* self = static_cast<HeaderInput*>(opaque);
    const std::int64_t pos = self->m_pos;
    if (pos >= self->m_size) return AVERROR_EOF;
    std::int64_t count = std::min<std::int64_t>(size, self->m_size - pos);
    for (const ByteRange& blank : self->m_blanks) {
        if (blank.from <= pos && pos < blank.to) {
            count = std::min(count, blank.to - pos);
            std::memset(buf, 0, size_t(count));
            self->m_pos += count;
            return int(count);
        }
        if (pos < blank.from) count = std::min(count, blank.from - pos);
    }
    for (;;) {
        const ssize_t n = ::pread(self->m_fd, buf, size_t(count), off_t(pos));
        if (n > 0) {
            self->m_pos += n;
            return int(n);
        }
        if (n == 0) return AVERROR_EOF;
        if (errno != EINTR) return AVERROR(errno);
    }
}

std::int64_t HeaderInput::Seek(void* opaque, std::int64_t offset, int whence)
{
    auto* self = static_cast<HeaderInput*>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return self->m_size;
    case SEEK_SET: break;
    case SEEK_CUR: offset += self->m_pos; break;
    case SEEK_END: offset += self->m_size; break;
    default: return AVERROR(EINVAL);
    }
    if (offset < 0) return AVERROR(EINVAL);
    self->m_pos = offset;
    return offset;
}

} // namespace audiodec
