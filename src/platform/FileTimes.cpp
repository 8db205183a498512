#include "platform/FileTimes.h"
#include "platform/ServiceSlot.h"

#include <QFile>
#include <QFileInfo>

namespace platform {

namespace {

class FileSystemTimes : public FileTimeService {
public:
    QDateTime CreationTime(const QString& path) override
    {
        QFileInfo info(path);
        if (!info.isFile()) return {};
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {};
        QDateTime born = info.birthTime();
        // File systems that keep no birth time: the last change of the contents
        // is the earliest time there is.
        return born.isValid() ? born : info.lastModified();
    }
};

using Slot = ServiceSlot<FileTimeService, FileSystemTimes>;

} // namespace

void SetFileTimeService(std::unique_ptr<FileTimeService> service) { Slot::Install(std::move(service)); }

FileTimeService& FileTimes() { return Slot::Get(); }

} // namespace platform
