#include "core/FileCopyClass.h"

#include "core/FileSystem.h"
#include "platform/SaveFile.h"
#include "platform/VbCompat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
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
    QSaveFile dest(Destination);
    if (!dest.open(QIODevice::WriteOnly)) {
        ErrorDescription = "The file " + Destination + " cannot be written: " + dest.errorString();
        return;
    }
    const qint64 length = source.size();
    // A failure drops the temporary file: the destination stays as it was.
    auto readFailed = [&] {
        dest.cancelWriting();
        ErrorDescription = "The file " + SourceFile + " cannot be read: " + source.errorString();
    };
    auto writeFailed = [&] {
        dest.cancelWriting();
        ErrorDescription = "The file " + Destination + " cannot be written: " + dest.errorString();
    };
    auto write = [&](const QByteArray& block) { return dest.write(block) == block.size(); };

    if (length < chunk) {
        const QByteArray all = source.read(length);
        if (all.size() != length) return readFailed();
        if (!write(all)) return writeFailed();
    } else {
        QByteArray pending;
        while (source.pos() < length) {
            const QByteArray block = source.read(chunk);
            if (block.size() != chunk) return readFailed();
            pending += block;
            if (pending.size() >= 2 * chunk) {
                if (!write(pending)) return writeFailed();
                pending.clear();
            }
            PercentREady = std::int16_t(platform::CLng(100.0 * double(dest.pos()) / double(length)));
            QCoreApplication::processEvents();
            if (length - source.pos() < chunk) chunk = length - source.pos();
        }
        if (!write(pending)) return writeFailed();
    }
    source.close();
    if (!dest.commit()) return writeFailed();
    Sucessfull = true;
    SecondsTaken = platform::CLng(clock.elapsed() / 1000.0);
}
