#include "platform/SaveFile.h"

#include "platform/FileIdentity.h"

#include <QFileInfo>
#include <QSaveFile>

namespace platform {

bool IsReplaceableFile(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

bool SaveFileWhole(const QString& path, const QByteArray& bytes, FileStamp* written)
{
    if (path.isEmpty() || !IsReplaceableFile(path)) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    // Renaming it into place keeps what the stamp looks at.
    const FileStamp stamp = StampOfOpenFile(file.handle(), bytes);
    if (!file.commit()) return false;
    if (written) *written = stamp;
    return true;
}

} // namespace platform
