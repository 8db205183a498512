#pragma once
// Reading a file's facts takes a few pages at its start and end; the kernel's
// read-ahead, made for reading files through, would read megabytes of each
// (and a list reads thousands of them). Files opened here read only the
// pages asked for.
#include <QString>

#include <cstdint>
#include <vector>

struct AVFormatContext;
struct AVInputFormat;
struct AVIOContext;

class QFile;

namespace audiodec {

// Bytes `from` up to `to` of a file.
struct ByteRange {
    std::int64_t from = 0, to = 0;
};

// Tells the kernel to read no more of the open file than each read asks.
void ReadOnlyWhatIsAsked(const QFile& file);

// FFmpeg's input on such a file: opens `fmt` (as avformat_open_input, with
// the given format or the probe) reading through this object, which must
// outlive it. Close closes `fmt` and the file. The blank ranges read as
// zeros without touching the disk: parts of the file (a cover picture, say)
// that the caller knows the facts do not depend on. An input opened as not
// seekable reads from the start on, as a stream would.
class HeaderInput {
public:
    HeaderInput() = default;
    HeaderInput(const HeaderInput&) = delete;
    HeaderInput& operator=(const HeaderInput&) = delete;
    ~HeaderInput();

    // avformat_open_input's result: 0 or an FFmpeg error code.
    int Open(AVFormatContext** fmt, const QString& path, const AVInputFormat* format,
             std::vector<ByteRange> blanks = {}, bool seekable = true);
    void Close(AVFormatContext** fmt);

private:
    static int Read(void* opaque, unsigned char* buf, int size);
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);

    int m_fd = -1;
    std::int64_t m_size = 0;
    std::int64_t m_pos = 0;
    std::vector<ByteRange> m_blanks;
    AVIOContext* m_io = nullptr;
};

} // namespace audiodec
