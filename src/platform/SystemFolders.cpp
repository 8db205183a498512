#include "platform/SystemFolders.h"

#include <QFileInfo>

namespace platform {

namespace {
QString existingFolder(const QString& path) { return QFileInfo(path).isDir() ? path : QString(); }
} // namespace

QString WindowsFolder() { return existingFolder("/usr"); }
QString SystemFolder() { return existingFolder("/usr/lib"); }

} // namespace platform
