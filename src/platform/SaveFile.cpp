#include "platform/SaveFile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace platform {

bool IsReplaceableFile(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

bool SaveFileWhole(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty() || !IsReplaceableFile(path)) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace platform
