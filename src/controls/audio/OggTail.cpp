#include "controls/audio/OggTail.h"

#include "controls/audio/HeaderInput.h"

#include <QFile>

#include <cstring>

extern "C" {
#include <libavutil/crc.h>
}

namespace audiodec {

namespace {

// What is read of the end: the last page of an encoder's file, most often.
constexpr qint64 kTailBytes = 16 * 1024;
constexpr int kPageHeader = 27;

quint32 LE32(const unsigned char* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// Whether the page at `page` (of `size` bytes) has the checksum it states.
bool ChecksumRight(const unsigned char* page, qsizetype size)
{
    QByteArray copy(reinterpret_cast<const char*>(page), size);
    std::memset(copy.data() + 22, 0, 4);
    const quint32 crc = av_crc(av_crc_get_table(AV_CRC_32_IEEE), 0, reinterpret_cast<const uint8_t*>(copy.constData()),
                               size_t(copy.size()));
    // FFmpeg's table gives the stored bytes read big-endian.
    return crc == (quint32(page[22]) << 24 | quint32(page[23]) << 16 | quint32(page[24]) << 8 | quint32(page[25]));
}

} // namespace

std::optional<std::int64_t> OggLastGranule(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    ReadOnlyWhatIsAsked(file);
    const QByteArray first = file.read(kPageHeader);
    const qint64 size = file.size();
    if (first.size() != kPageHeader || !first.startsWith("OggS") || size < 2 * kPageHeader) return std::nullopt;
    const quint32 serial = LE32(reinterpret_cast<const unsigned char*>(first.constData()) + 14);
    const qint64 from = std::max<qint64>(kPageHeader, size - kTailBytes);
    if (!file.seek(from)) return std::nullopt;
    const QByteArray tail = file.read(size - from);
    if (tail.size() != size - from) return std::nullopt;
    const auto* t = reinterpret_cast<const unsigned char*>(tail.constData());
    const qsizetype n = tail.size();
    // The last page starting in the tail that ends where the file does.
    for (qsizetype at = tail.lastIndexOf("OggS"); at >= 0; at = at > 0 ? tail.lastIndexOf("OggS", at - 1) : -1) {
        if (at + kPageHeader > n || t[at + 4] != 0) continue;
        const int segments = t[at + 26];
        if (at + kPageHeader + segments > n) continue;
        qsizetype body = 0;
        for (int i = 0; i < segments; ++i) body += t[at + kPageHeader + i];
        const qsizetype pageSize = kPageHeader + segments + body;
        if (at + pageSize != n) continue;
        if (LE32(t + at + 14) != serial || !ChecksumRight(t + at, pageSize)) return std::nullopt;
        std::int64_t granule = 0;
        std::memcpy(&granule, t + at + 6, 8); // little-endian, as the machine
        if (granule == -1 || granule == 0) return std::nullopt;
        return granule;
    }
    return std::nullopt;
}

} // namespace audiodec
