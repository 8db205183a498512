#include "tags/TagFile.h"

#include "platform/SaveFile.h"
#include "tags/TagError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kCopyBlock = 256 * 1024;

QByteArray nativePath(const QString& path) { return QFile::encodeName(path); }

// Writes all of bytes at pos; the system's error code, or 0.
int writeAll(int fd, std::int64_t pos, const char* data, std::int64_t size)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(size), off_t(pos));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;
        data += n;
        pos += n;
        size -= n;
    }
    return 0;
}

// Reads all of count bytes at pos; the system's error code, -1 at the end of
// the file, or 0.
int readAll(int fd, std::int64_t pos, char* data, std::int64_t count)
{
    while (count > 0) {
        const ssize_t n = ::pread(fd, data, size_t(count), off_t(pos));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return -1;
        data += n;
        pos += n;
        count -= n;
    }
    return 0;
}

// A new, empty file beside `target` that nobody else uses.
int createTempBeside(const QString& target, QString* tempPath)
{
    return platform::CreatePartFile(QFileInfo(target).absolutePath(), O_RDWR, 0600, tempPath);
}

} // namespace

TagFile::~TagFile()
{
    if (m_fd >= 0) ::close(m_fd);
}

void TagFile::fail(int systemError) const { RaiseFileError(systemError, m_source); }

void TagFile::open(const QString& path, int flags)
{
    if (m_fd >= 0) Close();
    const int fd = ::open(nativePath(path).constData(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) fail(path.isEmpty() ? ENOENT : errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fail(EISDIR);
    }
    m_fd = fd;
    m_path = path;
}

void TagFile::OpenRead(const QString& path) { open(path, O_RDONLY); }

void TagFile::OpenReadWrite(const QString& path, bool createMissing)
{
    open(path, O_RDWR | (createMissing ? O_CREAT : 0));
}

std::int64_t TagFile::Size() const
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) fail(errno);
    return std::int64_t(st.st_size);
}

QByteArray TagFile::ReadAt(std::int64_t pos, std::int64_t count) const
{
    QByteArray bytes(qsizetype(count), Qt::Uninitialized);
    const int r = readAll(m_fd, pos, bytes.data(), count);
    if (r < 0) RaiseTagError(62, m_source);
    if (r > 0) fail(r);
    return bytes;
}

void TagFile::WriteAt(std::int64_t pos, const QByteArray& bytes)
{
    if (const int r = writeAll(m_fd, pos, bytes.constData(), bytes.size())) fail(r);
}

void TagFile::Truncate(std::int64_t size)
{
    if (::ftruncate(m_fd, off_t(size)) != 0) fail(errno);
}

void TagFile::Close()
{
    const int fd = m_fd;
    m_fd = -1;
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) fail(errno);
}

void TagFile::ReplaceContent(const QByteArray& head, const std::vector<Range>& ranges)
{
    // A link is followed: its target gets the new content.
    QString target = QFileInfo(m_path).canonicalFilePath();
    if (target.isEmpty()) target = m_path;
    QString tempPath;
    const int temp = createTempBeside(target, &tempPath);
    if (temp < 0) fail(-temp);

    int err = 0;
    struct stat st {};
    if (::fstat(m_fd, &st) == 0) {
        // The new file keeps the old one's permissions and, where allowed, its owner.
        if (::fchown(temp, st.st_uid, st.st_gid) != 0) {}
        if (::fchmod(temp, st.st_mode & 07777) != 0) err = errno;
    } else {
        err = errno;
    }
    std::int64_t out = 0;
    if (!err) {
        err = writeAll(temp, 0, head.constData(), head.size());
        out = head.size();
    }
    QByteArray block(qsizetype(kCopyBlock), Qt::Uninitialized);
    for (const Range& range : ranges) {
        for (std::int64_t pos = range.start; !err && pos < range.end; pos += kCopyBlock) {
            const std::int64_t n = std::min(kCopyBlock, range.end - pos);
            const int r = readAll(m_fd, pos, block.data(), n);
            err = r < 0 ? EIO : r;
            if (!err) err = writeAll(temp, out, block.constData(), n);
            out += n;
        }
    }
    if (!err) err = platform::FlushToDisk(temp);
    // Renamed while still open: its lock keeps other programs' tidying off it.
    if (!err && ::rename(nativePath(tempPath).constData(), nativePath(target).constData()) != 0) err = errno;
    if (err) ::unlink(nativePath(tempPath).constData());
    ::close(temp);
    if (err) fail(err);
}
