#pragma once
// The tag classes' file access: one open MP3 file, read and written at byte
// offsets. Every failure raises a TagError with the owner's source; the file
// is closed when the object goes.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

class TagFile {
public:
    explicit TagFile(QString errorSource) : m_source(std::move(errorSource)) {}
    ~TagFile();
    TagFile(const TagFile&) = delete;
    TagFile& operator=(const TagFile&) = delete;

    // Only regular files open; a folder, device or pipe of that name is refused.
    void OpenRead(const QString& path);
    void OpenReadWrite(const QString& path, bool createMissing);
    std::int64_t Size() const;
    // Exactly count bytes from pos on.
    QByteArray ReadAt(std::int64_t pos, std::int64_t count) const;
    void WriteAt(std::int64_t pos, const QByteArray& bytes);
    void Truncate(std::int64_t size);
    void Close();

    // A stretch of this file's bytes.
    struct Range {
        std::int64_t start = 0;
        std::int64_t end = 0; // one past the last byte
    };
    // Builds the file's new content in a temporary file in the same folder,
    // `head` followed by the given ranges of the present content, and renames
    // it over the file only when it is complete. On failure the file is as it
    // was and the temporary file is gone. The object then holds the old
    // content, no longer under the path; close it.
    void ReplaceContent(const QByteArray& head, const std::vector<Range>& ranges);

    const QString& Source() const { return m_source; }

private:
    void open(const QString& path, int flags);
    [[noreturn]] void fail(int systemError) const;

    QString m_source;
    QString m_path;
    int m_fd = -1;
};
