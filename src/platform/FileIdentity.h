#pragma once
// Whether two names lead to the same file on disk, and whether a file still
// holds what it held when it was last read or written here.
#include <QByteArray>
#include <QString>

namespace platform {

// True when both names lead to one existing file, however they are spelled
// (links, "./", hard links included).
bool IsSameFile(const QString& a, const QString& b);

// A file as it was read or written here.
struct FileStamp {
    bool known = false;  // read or written here at all
    bool exists = false; // there was a file to read
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    QByteArray digest; // of its content
};

// The stamp of an open file whose whole content is `bytes`.
FileStamp StampOfOpenFile(int fd, const QByteArray& bytes);
// Reads a whole file; false when it cannot be read (a missing file reads as
// empty and is stamped as missing).
bool ReadFileStamped(const QString& path, QByteArray* bytes, FileStamp* stamp);
// True when the file at `path` holds something else than it held when
// stamped: another writer has been at it. A file that is gone, or one never
// stamped, has nothing to lose.
bool ChangedSince(const QString& path, const FileStamp& stamp);

} // namespace platform
