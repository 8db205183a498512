#include "controls/audio/Mp3Header.h"

#include "controls/audio/HeaderInput.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace audiodec {

namespace {

// Consecutive frames FFmpeg's probe needs at the start of the stream to rank
// MP3 above the file's extension.
constexpr int kProbeFrames = 7;
// What is read past the tag to see those frames, and to judge the bit rate.
constexpr qint64 kFramesBytes = 16 * 1024;

std::uint32_t BE32(const unsigned char* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}

// The size of the ID3v2 tag that starts the file, footer included; 0 without one.
std::int64_t Id3v2Size(const unsigned char* p, qint64 n)
{
    if (n < 10 || p[0] != 'I' || p[1] != 'D' || p[2] != '3' || p[3] == 0xFF || p[4] == 0xFF) return 0;
    if ((p[6] | p[7] | p[8] | p[9]) & 0x80) return 0;
    const std::int64_t body = std::int64_t(p[6]) << 21 | std::int64_t(p[7]) << 14 | std::int64_t(p[8]) << 7 | p[9];
    return 10 + body + ((p[5] & 0x10) ? 10 : 0);
}

// The bodies of the APIC frames of the ID3v2 tag that starts the file, as
// far as its frames can be walked: a version 3 or 4 tag without
// unsynchronisation or extended header, each picture stored as it is (no
// compression, encryption, grouping or frame unsynchronisation).
std::vector<ByteRange> PictureBodies(QFile& file, const unsigned char* h, std::int64_t tagSize)
{
    std::vector<ByteRange> pictures;
    const int version = h[3];
    if ((version != 3 && version != 4) || (h[5] & 0xC0)) return pictures;
    const std::int64_t end = 10 + (std::int64_t(h[6]) << 21 | std::int64_t(h[7]) << 14 | std::int64_t(h[8]) << 7 | h[9]);
    if (end > tagSize) return pictures;
    for (std::int64_t at = 10; at + 10 <= end;) {
        unsigned char f[10];
        if (!file.seek(at) || file.read(reinterpret_cast<char*>(f), 10) != 10) break;
        for (int i = 0; i < 4; ++i)
            if (!((f[i] >= 'A' && f[i] <= 'Z') || (f[i] >= '0' && f[i] <= '9'))) return pictures; // padding or damage
        if (version == 4 && ((f[4] | f[5] | f[6] | f[7]) & 0x80)) break;
        const std::int64_t size = version == 4 ? std::int64_t(f[4]) << 21 | std::int64_t(f[5]) << 14 |
                                                     std::int64_t(f[6]) << 7 | f[7]
                                               : std::int64_t(BE32(f + 4));
        if (at + 10 + size > end) break;
        if (memcmp(f, "APIC", 4) == 0 && f[9] == 0 && size > 0) pictures.push_back({at + 10, at + 10 + size});
        at += 10 + size;
    }
    return pictures;
}

// Whether `bytes` opens with `count` consecutive frames.
bool OpensWithFrames(const QByteArray& bytes, int count)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    std::int64_t at = 0;
    for (int i = 0; i < count; ++i) {
        if (at + 4 > bytes.size()) return false;
        const std::optional<Mp3Frame> frame = DecodeMp3Header(BE32(p + at));
        if (!frame) return false;
        at += frame->size;
    }
    return true;
}

} // namespace

std::optional<Mp3Frame> DecodeMp3Header(std::uint32_t h)
{
    static const int kBitRates[2][16] = {
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}, // MPEG-1
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};    // MPEG-2 and 2.5
    static const int kRates[3] = {44100, 48000, 32000};
    if ((h & 0xFFE00000u) != 0xFFE00000u) return std::nullopt;
    const int version = int(h >> 19) & 3; // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5, 1 reserved
    const int layer = int(h >> 17) & 3;   // 1 is Layer III
    const int rateIndex = int(h >> 12) & 15;
    const int sampleIndex = int(h >> 10) & 3;
    if (version == 1 || layer != 1 || rateIndex == 0 || rateIndex == 15 || sampleIndex == 3) return std::nullopt;
    const bool lsf = version != 3;
    Mp3Frame f;
    f.header = h;
    f.sampleRate = kRates[sampleIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    f.channels = ((h >> 6) & 3) == 3 ? 1 : 2;
    f.bitRate = kBitRates[lsf ? 1 : 0][rateIndex] * 1000;
    f.size = (lsf ? 72 : 144) * f.bitRate / f.sampleRate + int((h >> 9) & 1);
    return f;
}

std::int64_t Mp3DecoderPreroll(int sampleRate, int channels)
{
    const bool lsf = sampleRate < 32000;
    const int samplesPerFrame = lsf ? 576 : 1152;
    const int reservoir = lsf ? 255 : 511;
    const int smallestFrame = (lsf ? 72 * 8000 : 144 * 32000) / std::max(sampleRate, 1);
    const int sideInfo = lsf ? (channels == 1 ? 9 : 17) : (channels == 1 ? 17 : 32);
    // What a frame holds besides its header, CRC and side information.
    const int data = std::max(1, smallestFrame - 4 - 2 - sideInfo);
    // The frames that hold the reservoir, then one for the overlap with the frame before.
    const int frames = (reservoir + data - 1) / data + 2;
    return std::int64_t(frames) * samplesPerFrame;
}

std::optional<Mp3Start> PlainMp3Start(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    ReadOnlyWhatIsAsked(file);
    QByteArray head = file.read(kFramesBytes);
    const std::int64_t tag = Id3v2Size(reinterpret_cast<const unsigned char*>(head.constData()), head.size());
    if (tag > 0) {
        if (!file.seek(tag)) return std::nullopt;
        head = file.read(kFramesBytes);
    }
    if (!OpensWithFrames(head, kProbeFrames)) return std::nullopt;
    Mp3Start start{tag, {}};
    if (tag > 0) {
        unsigned char h[10];
        if (file.seek(0) && file.read(reinterpret_cast<char*>(h), 10) == 10) start.pictures = PictureBodies(file, h, tag);
    }
    return start;
}

Mp3Run ReadMp3Run(const QString& path, std::int64_t offset)
{
    Mp3Run run;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset)) return run;
    ReadOnlyWhatIsAsked(file);
    const QByteArray bytes = file.read(kFramesBytes);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    // What follows the frames (an ID3v1 tag at the end, say) ends the run.
    for (std::int64_t at = 0; at + 4 <= bytes.size();) {
        const std::optional<Mp3Frame> frame = DecodeMp3Header(BE32(p + at));
        if (!frame) break;
        if (!run.first) {
            run.first = frame;
            run.steadyBitRate = true;
        }
        run.steadyBitRate = run.steadyBitRate && frame->bitRate == run.first->bitRate;
        at += frame->size;
    }
    return run;
}

} // namespace audiodec
