#include "controls/audio/PlainWav.h"

#include "controls/audio/HeaderInput.h"

#include <QFile>

#include <cstring>

extern "C" {
#include <libavutil/mathematics.h>
}

namespace audiodec {

namespace {

quint32 LE16(const char* p) { return quint32(quint8(p[0])) | quint32(quint8(p[1])) << 8; }
quint32 LE32(const char* p) { return LE16(p) | LE16(p + 2) << 16; }

// FFmpeg's WAV demuxer looks for S/PDIF bursts in the data: it takes them
// for the codec inside only when the first burst's sync word starts in the
// first 32 KB (checked against FFmpeg by tests).
constexpr qint64 kSpdifProbeBytes = 32 * 1024;
// The start of a file, read at once: the header chunks of most WAV files and
// the data that the probe for S/PDIF bursts reads after them; of a file
// whose name does not say WAV, only what tells whether it is one.
constexpr qint64 kHeadBytes = 4096 + kSpdifProbeBytes;
constexpr qint64 kFirstBytes = 4096;

struct Format {
    quint32 tag = 0, channels = 0, rate = 0, byteRate = 0, blockAlign = 0, bits = 0;
};

// Whether FFmpeg takes these samples as they are, with the bits given.
bool IsPlainSamples(const Format& f)
{
    const bool pcm = f.tag == 1 && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    const bool flt = f.tag == 3 && (f.bits == 32 || f.bits == 64);
    return (pcm || flt) && f.channels > 0 && f.channels <= 32 && f.rate > 0 && f.rate <= quint32(INT32_MAX) && f.byteRate > 0 &&
           f.blockAlign == f.channels * f.bits / 8;
}

// FFmpeg's names for the INFO entries.
QByteArray InfoName(const QByteArray& id)
{
    static const std::pair<const char*, const char*> kNames[] = {
        {"IART", "artist"}, {"ICMT", "comment"}, {"ICOP", "copyright"}, {"ICRD", "date"},
        {"IGNR", "genre"},  {"ILNG", "language"}, {"INAM", "title"},    {"IPRD", "album"},
        {"IPRT", "track"},  {"ITRK", "track"},   {"ISFT", "encoder"},  {"ISMP", "timecode"},
        {"ITCH", "encoded_by"}};
    for (const auto& [native, name] : kNames)
        if (id.compare(native, Qt::CaseInsensitive) == 0) return name;
    return id;
}

// Adds the entries of a LIST chunk's body of type INFO to `metadata`; false
// for any other list, and for entries FFmpeg might read otherwise (damaged
// sizes, odd ids, two entries under one name).
bool ReadInfoList(const QByteArray& body, std::vector<std::pair<QByteArray, QByteArray>>* metadata)
{
    if (body.size() < 4 || !body.startsWith("INFO")) return false;
    for (qsizetype at = 4; at + 8 <= body.size();) {
        const QByteArray id = body.mid(at, 4);
        for (char c : id)
            if (c < 0x20 || c > 0x7E) return false;
        const qint64 size = LE32(body.constData() + at + 4);
        const qint64 padded = size + (size & 1);
        if (at + 8 + padded > body.size()) return false;
        QByteArray value = body.mid(at + 8, padded);
        value.truncate(value.indexOf('\0') < 0 ? value.size() : value.indexOf('\0'));
        const QByteArray name = InfoName(id);
        for (const auto& entry : *metadata)
            if (entry.first.compare(name, Qt::CaseInsensitive) == 0) return false;
        metadata->emplace_back(name, value);
        at += 8 + padded;
    }
    return true;
}

} // namespace

QString PlainWav::Tag(std::initializer_list<const char*> keys) const
{
    for (const char* key : keys)
        for (const auto& [name, value] : metadata)
            if (name.compare(key, Qt::CaseInsensitive) == 0 && !value.isEmpty()) return QString::fromUtf8(value);
    return {};
}

std::optional<Facts> PlainWavFacts(const QString& path)
{
    const std::optional<PlainWav> wav = ReadPlainWav(path);
    return wav ? std::optional<Facts>(wav->facts) : std::nullopt;
}

bool LooksLikeAct(const QByteArray& head)
{
    if (head.size() < 512 || LE32(head.constData() + 16) != 16 || quint8(head[256]) != 0x84) return false;
    for (int i = 44; i < 512; ++i)
        if (head[i] && i != 256 && (i < 257 || i >= 264)) return false;
    return true;
}

std::optional<PlainWav> ReadPlainWav(const QString& path)
{
    PlainWav wav;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    ReadOnlyWhatIsAsked(file);
    const qint64 size = file.size();
    const bool namedWav = path.endsWith(".wav", Qt::CaseInsensitive);
    QByteArray head = file.read(std::min(size, namedWav ? kHeadBytes : kFirstBytes));
    if (head.size() < 12 || memcmp(head.constData(), "RIFF", 4) != 0 || memcmp(head.constData() + 8, "WAVE", 4) != 0 ||
        LooksLikeAct(head))
        return std::nullopt;
    if (head.size() < std::min(size, kHeadBytes)) head += file.read(std::min(size, kHeadBytes) - head.size());
    // The bytes at `at`, from the start read or from the file.
    auto bytesAt = [&](qint64 at, qint64 count) -> QByteArray {
        if (at + count <= head.size()) return head.mid(at, count);
        return file.seek(at) ? file.read(count) : QByteArray();
    };

    std::optional<Format> format;
    qint64 dataAt = -1, dataSize = 0;
    qint64 at = 12;
    while (at < size) {
        const QByteArray chunk = bytesAt(at, 8);
        if (chunk.size() != 8) return std::nullopt;
        const quint32 chunkSize = LE32(chunk.constData() + 4);
        const qint64 end = at + 8 + chunkSize;
        if (end > size) return std::nullopt;
        const QByteArray id = chunk.left(4);
        if (id == "fmt ") {
            if (format || (chunkSize != 16 && chunkSize != 18)) return std::nullopt;
            const QByteArray f = bytesAt(at + 8, 16);
            if (f.size() != 16) return std::nullopt;
            const char* p = f.constData();
            format = Format{LE16(p), LE16(p + 2), LE32(p + 4), LE32(p + 8), LE16(p + 12), LE16(p + 14)};
        } else if (id == "data") {
            if (dataAt >= 0 || chunkSize == 0 || chunkSize == 0xFFFFFFFFu) return std::nullopt;
            dataAt = at + 8;
            dataSize = chunkSize;
        } else if (id == "LIST") {
            if (!ReadInfoList(bytesAt(at + 8, chunkSize), &wav.metadata)) return std::nullopt;
        } else if (id != "fact" && id != "JUNK" && id != "PAD ") {
            // Other tags, cue lists, other streams: FFmpeg reads them.
            return std::nullopt;
        }
        at = end + (chunkSize & 1);
    }
    if (!format || dataAt < 0 || !IsPlainSamples(*format)) return std::nullopt;
    // PCM may carry an S/PDIF burst that FFmpeg reads as the codec inside:
    // a file holding the burst's sync words anywhere near the start is left to it.
    if (format->tag == 1) {
        const QByteArray probe = bytesAt(dataAt, std::min(kSpdifProbeBytes, size - dataAt));
        if (probe.contains(QByteArrayView("\x72\xF8\x1F\x4E", 4))) return std::nullopt;
    }

    Facts& facts = wav.facts;
    facts.sampleRate = int(format->rate);
    facts.channels = int(format->channels);
    facts.bitsPerSample = int(format->bits);
    const std::int64_t samples = dataSize * 8 / (std::int64_t(format->channels) * format->bits);
    facts.lengthMs = av_rescale_q(samples, AVRational{1, int(format->rate)}, AVRational{1, 1000});
    facts.bitRate = std::int64_t(format->byteRate) * 8;
    return wav;
}

} // namespace audiodec
