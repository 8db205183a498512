#pragma once
// File times: when a file was created. Production reads the file system;
// tests may install fixed times.
#include <QDateTime>
#include <QString>
#include <memory>

namespace platform {

class FileTimeService {
public:
    virtual ~FileTimeService() = default;
    // The creation time of a regular file that can be opened for reading;
    // an invalid QDateTime when there is none to read.
    virtual QDateTime CreationTime(const QString& path) = 0;
};

void SetFileTimeService(std::unique_ptr<FileTimeService> service); // nullptr: the file system
// Any thread: the readers of a list ask from one thread per core.
FileTimeService& FileTimes();

} // namespace platform
