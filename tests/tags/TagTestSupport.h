#pragma once
// Helpers for the tag classes' tests: MP3 audio made by LAME, tags built byte
// by byte, files in a temporary folder, and a way to make writes fail.
#include "tags/TagError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <gtest/gtest.h>

namespace tagtest {

// MPEG audio frames (44.1 kHz stereo, 128 kbit/s) of a short tone, no tags.
QByteArray Mp3Audio();
QByteArray Sha256(const QByteArray& bytes);

// Frames and tags as a writer lays them out.
QByteArray V22Frame(const char* id, const QByteArray& data);
QByteArray V23Frame(const char* id, const QByteArray& data, std::uint16_t flags = 0);
QByteArray V24Frame(const char* id, const QByteArray& data, std::uint16_t flags = 0);
// A text frame's data: encoding byte 0 and the ISO-8859-1 text.
QByteArray Latin1Text(const QByteArray& text);
// A tag with the standard header: sync-safe size of what follows the header,
// the frames padded with zeros to `total` bytes (0: no padding).
QByteArray Tag(std::uint8_t version, const QByteArray& frames, std::int64_t total = 0, std::uint8_t flags = 0);
// A tag whose size value is a plain 32-bit count of the whole tag.
QByteArray PlainSizeTag(std::uint8_t version, const QByteArray& frames, std::int64_t total);
QByteArray SyncSafe(std::uint32_t v);
QByteArray Plain32(std::uint32_t v);

// The number of the TagError that f raises (0: none), checking its source
// names the class when one is given.
template <class F> std::int32_t ErrorOf(F&& f, const char* className = nullptr)
{
    try {
        f();
    } catch (const TagError& e) {
        if (className) {
            EXPECT_TRUE(e.Source.endsWith(QString(".") + className)) << e.Source.toStdString();
        }
        return e.Number;
    }
    return 0;
}

// Makes every write beyond `bytes` of a file fail, as on a full disk, while
// it lives.
class WriteLimit {
public:
    explicit WriteLimit(std::int64_t bytes);
    ~WriteLimit();

private:
    std::uint64_t m_soft = 0;
};

// A temporary folder per test.
class TagTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes) const;
    static QByteArray Read(const QString& path);
    // Files other than those the test made (temporary files left behind).
    QStringList Leftovers() const;

    QTemporaryDir dir;
};

} // namespace tagtest
