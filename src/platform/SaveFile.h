#pragma once
// Writing a whole file safely: the bytes go to a temporary file beside it,
// which then replaces the old file, so a failed write leaves the old file as
// it was. Only regular files are replaced (a link to one is followed); a
// folder, device or pipe of that name is refused.
#include <QByteArray>
#include <QString>

namespace platform {

struct FileStamp;

bool IsReplaceableFile(const QString& path);
// `written`, when given, receives the stamp of the file as written.
bool SaveFileWhole(const QString& path, const QByteArray& bytes, FileStamp* written = nullptr);

} // namespace platform
