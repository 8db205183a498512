#include "controls/audio/HeaderInput.h"

#include <QFile>

#include <cerrno>

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

int HeaderInput::Open(AVFormatContext** fmt, const QString& path, const AVInputFormat* format)
{
    Close(fmt);
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) return AVERROR(errno);
    struct stat st {};
    m_size = ::fstat(m_fd, &st) == 0 ? st.st_size : -1;
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_RANDOM);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    m_io = buffer ? avio_alloc_context(buffer, kBufferBytes, 0, this, &HeaderInput::Read, nullptr, &HeaderInput::Seek)
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
    for (;;) {
        const ssize_t n = ::read(self->m_fd, buf, size_t(size));
        if (n > 0) return int(n);
        if (n == 0) return AVERROR_EOF;
        if (errno != EINTR) return AVERROR(errno);
    }
}

std::int64_t HeaderInput::Seek(void* opaque, std::int64_t offset, int whence)
{
    auto* self = static_cast<HeaderInput*>(opaque);
    if (whence & AVSEEK_SIZE) return self->m_size >= 0 ? self->m_size : AVERROR(ENOSYS);
    const off_t at = ::lseek(self->m_fd, off_t(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : at;
}

} // namespace audiodec
