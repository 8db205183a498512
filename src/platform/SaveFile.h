#pragma once
// Writing a whole file safely: the bytes go to a temporary file beside it,
// which then replaces the old file, so a failed write leaves the old file as
// it was. Only regular files are replaced (a link to one is followed); a
// folder, device or pipe of that name is refused.
#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <utility>

namespace platform {

struct FileStamp;

bool IsReplaceableFile(const QString& path);
// `written`, when given, receives the stamp of the file as written. What an
// earlier save of the file left behind goes first (RemoveSaveLeftovers).
bool SaveFileWhole(const QString& path, const QByteArray& bytes, FileStamp* written = nullptr);
// Removes the temporary files that saves of `path` broken off by a crash
// left beside it: the file's name, a dot and six letters. Call it only where
// no other program saves the same file at the same time.
void RemoveSaveLeftovers(const QString& path);

// ---- Temporary files of writes that are put in place when complete ----
//
// A write in progress is a hidden file ".tarvello-XXXXXXXX.part" (8 hex
// digits) in the folder of its final name, open and locked by its writer until it is put
// in place or dropped. One that no running program holds was left by a
// writer that never finished: it goes the next time a part is made there.

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
