#include "controls/audio/WaveFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wavefile {

namespace {

constexpr int kHeaderBytes = 44;
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint32_t LE(const std::uint8_t* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

void PutLE(std::uint8_t* p, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

Problem Fail(audiodec::Fault fault, const QString& text) { return {fault, text}; }

bool ReadAt(int fd, std::int64_t at, void* out, std::int64_t bytes)
{
    auto p = static_cast<char*>(out);
    while (bytes > 0) {
        const ssize_t n = ::pread(fd, p, size_t(bytes), off_t(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        at += n;
        bytes -= n;
    }
    return true;
}

// The fmt chunk's body: plain PCM, or the extensible form with PCM inside.
Problem ParseFormat(const std::uint8_t* body, std::uint32_t size, Format* format, const QString& path)
{
    std::uint32_t tag = LE(body, 2);
    if (tag == kFormatExtensible && size >= 40) tag = LE(body + 24, 2); // the sub-format's first two bytes
    format->channels = int(LE(body + 2, 2));
    format->sampleRate = int(LE(body + 4, 4));
    format->bitsPerSample = int(LE(body + 14, 2));
    const int blockAlign = int(LE(body + 12, 2));
    if (tag != kFormatPcm)
        return Fail(audiodec::Fault::Refused, "The file is not an uncompressed (PCM) wave file: " + path);
    const int bits = format->bitsPerSample;
    if ((bits != 8 && bits != 16 && bits != 24 && bits != 32) || format->channels < 1 || format->channels > 8 ||
        format->sampleRate <= 0 || blockAlign != format->BlockAlign())
        return Fail(audiodec::Fault::Refused,
                    QString("The wave file's format cannot be read (%1 channels, %2 Hz, %3 bits): %4")
                        .arg(format->channels)
                        .arg(format->sampleRate)
                        .arg(bits)
                        .arg(path));
    return {};
}

} // namespace

std::int64_t MaxDataBytes(const Format& format)
{
    const std::int64_t room = 0xFFFFFFFFLL - (kHeaderBytes - 8) - 1; // one byte kept for the pad of an odd size
    return format.BlockAlign() > 0 ? room / format.BlockAlign() * format.BlockAlign() : 0;
}

std::int64_t Facts::LengthMs() const
{
    return format.sampleRate > 0 ? frames * 1000 / format.sampleRate : 0;
}

std::int32_t SampleValue(const std::uint8_t* p, int bytesPerSample)
{
    switch (bytesPerSample) {
    case 1: return std::int32_t(p[0]) - 128;
    case 2: return std::int16_t(LE(p, 2));
    case 3: return std::int32_t(LE(p, 3) << 8) >> 8;
    default: return std::int32_t(LE(p, 4));
    }
}

Problem ReadFacts(const QString& path, Facts* facts)
{
    Reader reader;
    const Problem p = reader.Open(path);
    if (p.ok()) *facts = reader.GetFacts();
    return p;
}

// ---------------------------------------------------------------------------
// Reader

Reader::~Reader()
{
    if (m_fd >= 0) ::close(m_fd);
}

Problem Reader::Open(const QString& path)
{
    if (path.isEmpty()) return Fail(audiodec::Fault::NoFileName, "No wave file was given.");
    if (!QFileInfo::exists(path)) return Fail(audiodec::Fault::Missing, "The file does not exist: " + path);
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))
        return Fail(audiodec::Fault::Unreadable, "The file cannot be read: " + path);
    const std::int64_t fileSize = st.st_size;
    std::uint8_t head[12];
    if (!ReadAt(m_fd, 0, head, 12) || memcmp(head, "RIFF", 4) != 0 || memcmp(head + 8, "WAVE", 4) != 0)
        return Fail(audiodec::Fault::Unreadable, "The file is not a wave file: " + path);
    bool haveFormat = false;
    for (std::int64_t at = 12; at + 8 <= fileSize;) {
        std::uint8_t chunk[8];
        if (!ReadAt(m_fd, at, chunk, 8)) break;
        const std::uint32_t size = LE(chunk + 4, 4);
        if (memcmp(chunk, "fmt ", 4) == 0) {
            std::uint8_t body[40] = {};
            if (size < 16 || !ReadAt(m_fd, at + 8, body, std::min<std::uint32_t>(size, 40))) break;
            const Problem p = ParseFormat(body, size, &m_facts.format, path);
            if (!p.ok()) return p;
            haveFormat = true;
        } else if (memcmp(chunk, "data", 4) == 0 && haveFormat) {
            const std::int64_t held = fileSize - (at + 8);
            const std::int64_t bytes = size == 0 || size == 0xFFFFFFFFu ? held : std::min<std::int64_t>(size, held);
            m_facts.dataOffset = at + 8;
            m_facts.frames = bytes / m_facts.format.BlockAlign();
            return {};
        }
        at += 8 + std::int64_t(size) + (size & 1);
    }
    return Fail(audiodec::Fault::Unreadable, "The wave file holds no sound data: " + path);
}

std::int64_t Reader::Read(std::int64_t first, std::int64_t count, void* out) const
{
    const std::int64_t available = std::max<std::int64_t>(0, std::min(count, m_facts.frames - first));
    const int frameBytes = m_facts.format.BlockAlign();
    if (available == 0) return 0;
    return ReadAt(m_fd, m_facts.dataOffset + first * frameBytes, out, available * frameBytes) ? available : -1;
}

// ---------------------------------------------------------------------------
// Writer

Status Writer::Create(const QString& destination, const Format& format)
{
    m_dataBytes = 0;
    const Status s = m_file.Create(destination);
    if (!s.ok()) return s;
    std::uint8_t h[kHeaderBytes] = {};
    memcpy(h, "RIFF", 4);
    PutLE(h + 4, kHeaderBytes - 8, 4);
    memcpy(h + 8, "WAVEfmt ", 8);
    PutLE(h + 16, 16, 4);
    PutLE(h + 20, kFormatPcm, 2);
    PutLE(h + 22, std::uint32_t(format.channels), 2);
    PutLE(h + 24, std::uint32_t(format.sampleRate), 4);
    PutLE(h + 28, std::uint32_t(format.ByteRate()), 4);
    PutLE(h + 32, std::uint32_t(format.BlockAlign()), 2);
    PutLE(h + 34, std::uint32_t(format.bitsPerSample), 2);
    memcpy(h + 36, "data", 4);
    return m_file.Write(h, sizeof h) ? Status{} : m_file.WriteError();
}

bool Writer::Append(const void* data, std::int64_t bytes)
{
    if (!m_file.Write(data, size_t(bytes))) return false;
    m_dataBytes += bytes;
    return true;
}

bool Writer::PatchSizes()
{
    const std::int64_t pad = m_dataBytes & 1;
    std::uint8_t riff[4], data[4];
    PutLE(riff, std::uint32_t(kHeaderBytes - 8 + m_dataBytes + pad), 4);
    PutLE(data, std::uint32_t(m_dataBytes), 4);
    return m_file.Seek(4, SEEK_SET) == 4 && m_file.Write(riff, 4) && m_file.Seek(40, SEEK_SET) == 40 &&
           m_file.Write(data, 4) && m_file.Seek(0, SEEK_END) >= 0;
}

Status Writer::Commit()
{
    const std::uint8_t pad = 0;
    if (m_dataBytes & 1) m_file.Write(&pad, 1); // RIFF chunks end on an even byte
    if (!PatchSizes()) return m_file.WriteError();
    return m_file.Commit();
}

} // namespace wavefile
