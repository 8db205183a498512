#pragma once
// Writing a whole file safely: the bytes go to a part file (below) beside
// it, which then replaces the old file, so a failed write leaves the old file
// as it was, and a kill at any moment leaves at most a part that the next
// write into the folder removes. Only regular files are replaced (a link to
// one is followed); a folder, device or pipe of that name is refused.
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <functional>
#include <utility>

namespace platform {

struct FileStamp;

bool IsReplaceableFile(const QString& path);
// `written`, when given, receives the stamp of the file as written.
bool SaveFileWhole(const QString& path, const QByteArray& bytes, FileStamp* written = nullptr);

// A whole file written in steps. A link to the file is followed: the file it
// leads to is replaced, the link stays. The new file keeps the permissions of
// the old one. Until Commit has put it in place nothing of the old file
// changes; a writer that goes uncommitted drops its part.
class WholeFileWriter {
public:
    explicit WholeFileWriter(const QString& path);
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    bool Open();
    bool Write(const QByteArray& bytes);
    // The bytes written so far.
    qint64 Size() const;
    // The part file's descriptor while it is open.
    int Handle() const { return m_fd; }
    // Hands the part to the disk and puts it in place of the file.
    bool Commit();
    // Why the last step failed.
    QString ErrorString() const { return m_error; }

private:
    bool Fail(const QString& error);
    bool Fail(int systemError);
    void Drop();

    QString m_path;
    QString m_target; // the file behind any links
    QString m_part;
    int m_fd = -1;
    QFile m_file;
    QString m_error;
};

// ---- Temporary files of writes that are put in place when complete ----
//
// A write in progress is a hidden file ".tarvello-XXXXXXXX.part" (8 hex
// digits) in the folder of its final name, open and locked by its writer
// until it is put in place or dropped. One that no running program holds was
// left by a writer that never finished: it goes the next time a part is made
// there.

// Creates a new part file in `folder`, open with `flags` (O_WRONLY or O_RDWR
// and the like) and `mode`, locked for as long as it stays open; the folder
// is tidied first (TidyFolder). The file descriptor, or minus the system's
// error code.
int CreatePartFile(const QString& folder, int flags, int mode, QString* partPath);
// Puts flushed part files in place of their final names, all in one folder,
// all together: a crash leaves the old files, or (once the next TidyFolder
// there has finished the put) all the new ones; never some of each. The
// parts stay open (and locked) by the caller until it returns; afterwards
// they are no longer the caller's: what was not put in place goes with the
// next tidying. 0, or the system's error code.
int PutInPlaceTogether(const QList<std::pair<QString, QString>>& partsAndTargets);
// For tests: called at each step of PutInPlaceTogether, with 0 on entry, 1
// once the put is decided, 1 + n after the n-th file is in place and
// 2 + the number of files when it is all done.
void SetPutStepHook(std::function<void(int step)> hook);
// Finishes what writers that no longer run left in the folder: puts that
// were decided go through whole, parts of puts that were not are removed.
void TidyFolder(const QString& folder);
// Hands what the system holds of an open file to the disk; 0 or the system's error code.
int FlushToDisk(int fd);

} // namespace platform
