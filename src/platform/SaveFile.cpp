#include "platform/SaveFile.h"

#include "platform/FileIdentity.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const QString kPartPrefix = ".tarvello-";
const QString kPartSuffix = ".part";
// A put of several files decided: which part goes to which name.
const QString kPutSuffix = ".put";
const QByteArray kPutMagic = "tarvello put 1";

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

std::function<void(int)>& PutStepHook()
{
    static std::function<void(int)> hook;
    return hook;
}

void PutStep(int step)
{
    if (PutStepHook()) PutStepHook()(step);
}

// An open file, closed when it goes (however the function that holds it ends).
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0) ::close(fd);
    }
};

QString RandomPartName(const QString& folder, const QString& suffix)
{
    return folder + "/" + kPartPrefix +
           QString("%1").arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0')) + suffix;
}

bool SameInode(int fd, const QString& path)
{
    struct stat a {};
    struct stat b {};
    return ::fstat(fd, &a) == 0 && ::lstat(Native(path).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

// Opens a leftover and takes its lock: -1 when a running program holds it
// (or it is gone). The lock is the caller's until it closes the descriptor.
int OpenAbandoned(const QString& path)
{
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || !SameInode(fd, path)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int SyncFolder(const QString& folder)
{
    const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int err = FlushToDisk(fd);
    ::close(fd);
    return err;
}

QString FolderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// The file that `path` leads to through any links; empty when they go round
// in a circle.
QString FileBehindLinks(const QString& path)
{
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink(); ++hops) {
        if (hops == 40) return {};
        info.setFile(info.symLinkTarget());
    }
    return info.absoluteFilePath();
}

// The record names the files within their folder.
QByteArray PutRecord(const QList<std::pair<QString, QString>>& partsAndTargets)
{
    QByteArray record;
    QDataStream out(&record, QIODevice::WriteOnly);
    out << kPutMagic << qint32(partsAndTargets.size());
    for (const auto& [part, target] : partsAndTargets)
        out << QFileInfo(part).fileName() << QFileInfo(target).fileName();
    return record;
}

QList<std::pair<QString, QString>> ReadPutRecord(int fd, const QString& folder)
{
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) return {};
    QDataStream in(&file);
    QByteArray magic;
    qint32 count = 0;
    in >> magic >> count;
    QList<std::pair<QString, QString>> puts;
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString part, target;
        in >> part >> target;
        if (part.contains('/') || target.contains('/')) return {};
        puts.append({folder + "/" + part, folder + "/" + target});
    }
    if (magic != kPutMagic || in.status() != QDataStream::Ok) return {};
    return puts;
}

// Renames each part over its target, in order; a part already gone was put
// in place before. `step` counts the renames done.
int RenameAll(const QList<std::pair<QString, QString>>& partsAndTargets, int step = -1)
{
    for (const auto& [part, target] : partsAndTargets) {
        if (::rename(Native(part).constData(), Native(target).constData()) != 0 && errno != ENOENT) return errno;
        if (step >= 0) PutStep(++step);
    }
    return 0;
}

// Calls `take` with the name of each entry of the folder. Read straight from
// the folder: it is done before every output, and a folder may hold many
// thousands of files.
void ForEachName(const QString& folder, const std::function<void(const QByteArray&)>& take)
{
    DIR* d = ::opendir(Native(folder).constData());
    if (!d) return;
    while (const dirent* entry = ::readdir(d)) take(QByteArray(entry->d_name));
    ::closedir(d);
}

// A name this program's writes make: ".tarvello-", 8 hex digits as
// RandomPartName writes them, `suffix`.
bool IsOwnName(const QByteArray& name, const QString& suffix)
{
    const QByteArray prefix = kPartPrefix.toLatin1(), end = suffix.toLatin1();
    if (name.size() != prefix.size() + 8 + end.size() || !name.startsWith(prefix) || !name.endsWith(end)) return false;
    for (char c : name.mid(prefix.size(), 8))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

bool IsOwnLeftover(const QString& name)
{
    const QByteArray native = Native(name);
    return IsOwnName(native, kPartSuffix) || IsOwnName(native, kPutSuffix);
}

// The names in the folder that this program's writes use, records and parts apart.
void FindLeftovers(const QString& folder, QStringList* records, QStringList* parts)
{
    ForEachName(folder, [&](const QByteArray& name) {
        if (IsOwnName(name, kPutSuffix)) records->append(QFile::decodeName(name));
        else if (IsOwnName(name, kPartSuffix)) parts->append(QFile::decodeName(name));
    });
}

// A record is followed only when each of its renames takes a part of ours
// (or one already gone) to a plain name of the same folder: one made by
// anyone else could otherwise rename the user's files over each other.
bool IsOwnPut(const QList<std::pair<QString, QString>>& puts)
{
    if (puts.isEmpty()) return false;
    for (const auto& [part, target] : puts) {
        const QString partName = QFileInfo(part).fileName(), targetName = QFileInfo(target).fileName();
        if (!IsOwnName(Native(partName), kPartSuffix) || targetName.isEmpty() || targetName == "." ||
            targetName == ".." || targetName.contains(QChar(0)) || IsOwnLeftover(targetName))
            return false;
        struct stat st {};
        if (::lstat(Native(part).constData(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
    }
    return true;
}

} // namespace

bool IsReplaceableFile(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

bool SaveFileWhole(const QString& path, const QByteArray& bytes, FileStamp* written)
{
    WholeFileWriter file(path);
    if (!file.Open() || !file.Write(bytes)) return false;
    // Renaming it into place keeps what the stamp looks at.
    const FileStamp stamp = written ? StampOfOpenFile(file.Handle(), bytes) : FileStamp{};
    if (!file.Commit()) return false;
    if (written) *written = stamp;
    return true;
}

WholeFileWriter::WholeFileWriter(const QString& path) : m_path(path) {}

WholeFileWriter::~WholeFileWriter() { Drop(); }

bool WholeFileWriter::Open()
{
    Drop();
    if (m_path.isEmpty()) return Fail(ENOENT);
    m_target = FileBehindLinks(m_path);
    if (m_target.isEmpty()) return Fail(ELOOP);
    struct stat old {};
    const bool exists = ::stat(Native(m_target).constData(), &old) == 0;
    if (!exists && errno != ENOENT) return Fail(errno);
    if (exists && !S_ISREG(old.st_mode)) return Fail(QStringLiteral("It is not a regular file"));
    // Nobody else may read the new text before it has the old file's permissions.
    const int fd = CreatePartFile(FolderOf(m_target), O_WRONLY, exists ? 0600 : 0666, &m_part);
    if (fd < 0) return Fail(-fd);
    m_fd = fd;
    if (exists && ::fchmod(fd, old.st_mode & 0777) != 0) return Fail(errno);
    if (!m_file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return Fail(m_file.errorString());
    return true;
}

bool WholeFileWriter::Write(const QByteArray& bytes)
{
    if (m_fd < 0) return Fail(EBADF);
    return m_file.write(bytes) == bytes.size() || Fail(m_file.errorString());
}

qint64 WholeFileWriter::Size() const { return m_fd >= 0 ? m_file.pos() : 0; }

bool WholeFileWriter::Commit()
{
    if (m_fd < 0) return Fail(EBADF);
    if (const int err = FlushToDisk(m_fd)) return Fail(err);
    if (const int err = PutInPlaceTogether({{m_part, m_target}})) return Fail(err);
    // In place: no longer a part to drop. Its lock goes with the descriptor.
    m_part.clear();
    Drop();
    return true;
}

bool WholeFileWriter::Fail(const QString& error)
{
    m_error = error;
    Drop();
    return false;
}

bool WholeFileWriter::Fail(int systemError) { return Fail(qt_error_string(systemError)); }

void WholeFileWriter::Drop()
{
    m_file.close();
    if (!m_part.isEmpty()) ::unlink(Native(m_part).constData());
    m_part.clear();
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

int CreatePartFile(const QString& folder, int flags, int mode, QString* partPath)
{
    TidyFolder(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = RandomPartName(folder, kPartSuffix);
        const int fd = ::open(Native(name).constData(), flags | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -errno;
        }
        // Another program's tidying may have taken it between its making and its lock.
        if (::flock(fd, LOCK_EX) == 0 && SameInode(fd, name)) {
            *partPath = name;
            return fd;
        }
        ::close(fd);
    }
    return -EEXIST;
}

int PutInPlaceTogether(const QList<std::pair<QString, QString>>& partsAndTargets)
{
    PutStep(0);
    if (partsAndTargets.isEmpty()) return 0;
    if (partsAndTargets.size() == 1) {
        const auto& [part, target] = partsAndTargets.front();
        return ::rename(Native(part).constData(), Native(target).constData()) == 0 ? 0 : errno;
    }
    // The put is decided once its record stands under its own name: from
    // then on a crash is finished by the next tidying of the folder. The
    // record stays open (locked) until the put is done.
    const QString folder = FolderOf(partsAndTargets.front().first);
    QString recordPart;
    const Descriptor record{CreatePartFile(folder, O_RDWR, 0600, &recordPart)};
    if (record.fd < 0) return -record.fd;
    const QByteArray bytes = PutRecord(partsAndTargets);
    int err = ::write(record.fd, bytes.constData(), size_t(bytes.size())) == bytes.size() ? 0 : (errno ? errno : EIO);
    if (!err) err = FlushToDisk(record.fd);
    const QString recordPath = recordPart.chopped(kPartSuffix.size()) + kPutSuffix;
    if (!err && ::rename(Native(recordPart).constData(), Native(recordPath).constData()) != 0) err = errno;
    if (err) {
        ::unlink(Native(recordPart).constData());
        return err;
    }
    SyncFolder(folder);
    PutStep(1);
    err = RenameAll(partsAndTargets, 1);
    if (err) return err;
    SyncFolder(folder);
    ::unlink(Native(recordPath).constData());
    PutStep(int(partsAndTargets.size()) + 2);
    return 0;
}

void TidyFolder(const QString& folder)
{
    const QString dir = QDir::cleanPath(folder);
    QStringList records, parts;
    FindLeftovers(dir, &records, &parts);
    // Decided puts first: their parts go in place, not away. A record that is
    // not ours stays, and so do the files it names.
    QSet<QString> untouchable;
    for (const QString& name : records) {
        const QString record = dir + "/" + name;
        const int fd = OpenAbandoned(record);
        if (fd < 0) continue;
        const QList<std::pair<QString, QString>> puts = ReadPutRecord(fd, dir);
        if (!IsOwnPut(puts)) {
            for (const auto& [part, target] : puts) untouchable << part;
        } else if (RenameAll(puts) == 0) {
            ::unlink(Native(record).constData());
        }
        ::close(fd);
    }
    for (const QString& name : parts) {
        const QString part = dir + "/" + name;
        if (untouchable.contains(part)) continue;
        const int fd = OpenAbandoned(part);
        if (fd < 0) continue;
        ::unlink(Native(part).constData());
        ::close(fd);
    }
}

void SetPutStepHook(std::function<void(int step)> hook) { PutStepHook() = std::move(hook); }

int FlushToDisk(int fd)
{
    if (::fsync(fd) == 0) return 0;
    // Pipes and the like cannot be flushed and need not be.
    return errno == EINVAL || errno == EROFS ? 0 : errno;
}

} // namespace platform
