#include "platform/FileIdentity.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace platform {

namespace {

QByteArray DigestOf(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1); }

bool SameStat(const struct stat& st, const FileStamp& stamp)
{
    return stamp.exists && quint64(st.st_dev) == stamp.device && quint64(st.st_ino) == stamp.inode &&
           qint64(st.st_size) == stamp.size &&
           qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec == stamp.modifiedNs;
}

} // namespace

bool IsSameFile(const QString& a, const QString& b)
{
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

FileStamp StampOfOpenFile(int fd, const QByteArray& bytes)
{
    FileStamp stamp;
    stamp.known = true;
    stamp.digest = DigestOf(bytes);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) return stamp;
    stamp.exists = true;
    stamp.device = quint64(st.st_dev);
    stamp.inode = quint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
}

bool ReadFileStamped(const QString& path, QByteArray* bytes, FileStamp* stamp)
{
    bytes->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const bool missing = !file.exists();
        *stamp = missing ? StampOfOpenFile(-1, {}) : FileStamp{};
        return missing;
    }
    *bytes = file.readAll();
    if (file.error() != QFile::NoError) {
        *stamp = {};
        return false;
    }
    *stamp = StampOfOpenFile(file.handle(), *bytes);
    return true;
}

bool ChangedSince(const QString& path, const FileStamp& stamp)
{
    if (!stamp.known) return false;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return false;
    if (SameStat(st, stamp)) return false;
    // Written again, or touched: the content tells.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return true;
    const QByteArray bytes = file.readAll();
    return file.error() != QFile::NoError || DigestOf(bytes) != stamp.digest;
}

} // namespace platform
