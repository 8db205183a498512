#include "core/FileCopyClass.h"

#include "core/FileSystem.h"
#include "platform/SaveFile.h"
#include "platform/VbCompat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <filesystem>

namespace {

const std::int32_t kDefaultChunk = 32000;

bool sameFile(const QString& a, const QString& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(std::filesystem::path(QFile::encodeName(a).toStdString()),
                                       std::filesystem::path(QFile::encodeName(b).toStdString()), ec);
}

} // namespace

void FileCopyClass::Copy(const QString& SourceFile, const QString& Destination)
{
    Sucessfull = false;
    ErrorDescription.clear();
    qint64 chunk = CacheSize != 0 ? CacheSize : kDefaultChunk;

    if (!FileExists(SourceFile)) {
        ErrorDescription = "The file " + SourceFile + " cannot be found.";
        return;
    }
    if (sameFile(SourceFile, Destination)) {
        ErrorDescription = "A file cannot be copied onto itself.";
        return;
    }
    // Only a regular file is ever replaced: never a folder, a device or a pipe.
    if (!platform::IsReplaceableFile(Destination)) {
        ErrorDescription = "The file " + Destination + " cannot be written: it is not a regular file.";
        return;
    }
    QElapsedTimer clock;
    clock.start();

    QFile source(SourceFile);
    if (!source.open(QIODevice::ReadOnly)) {
        ErrorDescription = "The file " + SourceFile + " cannot be read: " + source.errorString();
        return;
    }
    platform::WholeFileWriter dest(Destination);
    if (!dest.Open()) {
        ErrorDescription = "The file " + Destination + " cannot be written: " + dest.ErrorString();
        return;
    }
    const qint64 length = source.size();
    // A failure drops the part file (when `dest` goes): the destination stays as it was.
    auto readFailed = [&] {
        ErrorDescription = "The file " + SourceFile + " cannot be read: " + source.errorString();
    };
    auto writeFailed = [&] {
        ErrorDescription = "The file " + Destination + " cannot be written: " + dest.ErrorString();
    };

    if (length < chunk) {
        const QByteArray all = source.read(length);
        if (all.size() != length) return readFailed();
        if (!dest.Write(all)) return writeFailed();
    } else {
        QByteArray pending;
        while (source.pos() < length) {
            const QByteArray block = source.read(chunk);
            if (block.size() != chunk) return readFailed();
            pending += block;
            if (pending.size() >= 2 * chunk) {
                if (!dest.Write(pending)) return writeFailed();
                pending.clear();
            }
            PercentREady = std::int16_t(platform::CLng(100.0 * double(dest.Size()) / double(length)));
            QCoreApplication::processEvents();
            if (length - source.pos() < chunk) chunk = length - source.pos();
        }
        if (!dest.Write(pending)) return writeFailed();
    }
    source.close();
    if (!dest.Commit()) return writeFailed();
    Sucessfull = true;
    SecondsTaken = platform::CLng(clock.elapsed() / 1000.0);
}
