#include "tags/ID3v2Format.h"

#include "controls/audio/Mp3Header.h"
#include "tags/TagFile.h"

#include <QHash>
#include <QUrl>

#include <algorithm>

#include <zlib.h>

namespace id3v2 {

namespace {

constexpr std::int64_t kHeaderSize = 10;
constexpr std::int64_t kScanWindow = 4096;
constexpr std::int64_t kScanStep = 4093; // windows overlap by three bytes, so no "ID3" is cut
constexpr std::uint32_t kSyncSafeMax = 0x0FFFFFFF;

std::uint8_t byteAt(const QByteArray& b, qsizetype i) { return std::uint8_t(b[i]); }

std::uint32_t plain32(const QByteArray& b, qsizetype i)
{
    return std::uint32_t(byteAt(b, i)) << 24 | std::uint32_t(byteAt(b, i + 1)) << 16 |
           std::uint32_t(byteAt(b, i + 2)) << 8 | byteAt(b, i + 3);
}

std::uint32_t syncSafe32(const QByteArray& b, qsizetype i)
{
    return std::uint32_t(byteAt(b, i) & 0x7F) << 21 | std::uint32_t(byteAt(b, i + 1) & 0x7F) << 14 |
           std::uint32_t(byteAt(b, i + 2) & 0x7F) << 7 | (byteAt(b, i + 3) & 0x7F);
}

bool isSyncSafe(const QByteArray& b, qsizetype i)
{
    return ((byteAt(b, i) | byteAt(b, i + 1) | byteAt(b, i + 2) | byteAt(b, i + 3)) & 0x80) == 0;
}

QByteArray plainBytes(std::uint32_t v)
{
    return QByteArray{} + char(v >> 24) + char(v >> 16) + char(v >> 8) + char(v);
}

QByteArray syncSafeBytes(std::uint32_t v)
{
    return QByteArray{} + char((v >> 21) & 0x7F) + char((v >> 14) & 0x7F) + char((v >> 7) & 0x7F) + char(v & 0x7F);
}

// Undoes unsynchronisation: every FF 00 becomes FF.
QByteArray resync(const QByteArray& in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        out += in[i];
        if (byteAt(in, i) == 0xFF && i + 1 < in.size() && in[i + 1] == 0) ++i;
    }
    return out;
}

bool allZero(const QByteArray& b, qsizetype from)
{
    return std::all_of(b.begin() + from, b.end(), [](char c) { return c == 0; });
}

bool isIdChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// An MPEG audio frame start: eleven set bits, then a valid version and layer.
bool hasAudioSync(const QByteArray& b, qsizetype from, qsizetype to)
{
    for (qsizetype i = std::max<qsizetype>(from, 0); i + 1 < to; ++i) {
        const std::uint8_t next = byteAt(b, i + 1);
        if (byteAt(b, i) == 0xFF && (next & 0xE0) == 0xE0 && ((next >> 3) & 3) != 1 && ((next >> 1) & 3) != 0)
            return true;
    }
    return false;
}

// How a walk through the frames ended.
enum class WalkEnd { Exact, Padding, DirtyPadding, Broken };

struct Walk {
    WalkEnd end = WalkEnd::Exact;
    std::vector<RawFrame> frames;
};

Walk walkFrames(const QByteArray& area, std::uint8_t version, bool syncSafeSizes)
{
    Walk walk;
    const qsizetype idLength = version == 2 ? 3 : 4;
    const qsizetype headerLength = version == 2 ? 6 : 10;
    qsizetype pos = 0;
    while (pos < area.size()) {
        if (area[pos] == 0) {
            walk.end = allZero(area, pos) ? WalkEnd::Padding : WalkEnd::DirtyPadding;
            return walk;
        }
        if (area.size() - pos < headerLength) {
            walk.end = WalkEnd::Broken;
            return walk;
        }
        // A frame whose id is not made of capitals and digits is walked over
        // by its size like any other, as long as it stays inside the tag.
        const QByteArray id = area.mid(pos, idLength);
        if (syncSafeSizes && !isSyncSafe(area, pos + 4)) {
            walk.end = WalkEnd::Broken;
            return walk;
        }
        std::int64_t size = 0;
        std::uint16_t flags = 0;
        if (version == 2) {
            size = std::int64_t(byteAt(area, pos + 3)) << 16 | byteAt(area, pos + 4) << 8 | byteAt(area, pos + 5);
        } else {
            size = syncSafeSizes ? syncSafe32(area, pos + 4) : plain32(area, pos + 4);
            flags = std::uint16_t(byteAt(area, pos + 8) << 8 | byteAt(area, pos + 9));
        }
        if (size > area.size() - pos - headerLength) {
            walk.end = WalkEnd::Broken;
            return walk;
        }
        walk.frames.push_back({QString::fromLatin1(id), area.mid(pos + headerLength, qsizetype(size)), flags});
        pos += headerLength + qsizetype(size);
    }
    walk.end = WalkEnd::Exact;
    return walk;
}

// Frame sizes in 2.4 tags are sync-safe; some writers put plain ones there.
Walk bestWalk(const QByteArray& area, std::uint8_t version)
{
    if (version != 4) return walkFrames(area, version, false);
    Walk syncSafe = walkFrames(area, version, true);
    if (syncSafe.end != WalkEnd::Broken) return syncSafe;
    Walk plain = walkFrames(area, version, false);
    return plain.end != WalkEnd::Broken ? plain : syncSafe;
}

// The frames of a tag's bytes: behind the header and any extended header,
// before any footer, unsynchronisation undone in 2.2 and 2.3 tags.
Walk walkTag(const QByteArray& tag, std::uint8_t version, std::uint8_t flags)
{
    const qsizetype footer = version == 4 && (flags & kTagFooter) ? 10 : 0;
    QByteArray area = tag.mid(kHeaderSize, tag.size() - kHeaderSize - footer);
    if (version < 4 && (flags & kTagUnsync)) area = resync(area);
    if (version == 2 && (flags & 0x40)) return {WalkEnd::Broken, {}}; // compressed: no known scheme
    if (version > 2 && (flags & kTagExtended)) {
        if (area.size() < 4) return {WalkEnd::Broken, {}};
        const std::int64_t skip = version == 3 ? std::int64_t(plain32(area, 0)) + 4 : syncSafe32(area, 0);
        if (skip < 4 || skip > area.size()) return {WalkEnd::Broken, {}};
        area = area.mid(qsizetype(skip));
    }
    return bestWalk(area, version);
}

bool lands(const Walk& w) { return w.end == WalkEnd::Exact || w.end == WalkEnd::Padding; }

// The tag whose header stands at `start`, when the header holds.
std::optional<FoundTag> tagAt(const TagFile& file, std::int64_t start, std::int64_t fileSize)
{
    if (start + kHeaderSize > fileSize) return {};
    const QByteArray header = file.ReadAt(start, kHeaderSize);
    const std::uint8_t version = byteAt(header, 3);
    const std::uint8_t flags = byteAt(header, 5);
    if (version < 2 || version > 4 || byteAt(header, 4) == 0xFF) return {};

    const bool syncSafe = isSyncSafe(header, 6);
    const std::int64_t footer = version == 4 && (flags & kTagFooter) ? 10 : 0;
    const std::int64_t standardEnd = start + kHeaderSize + syncSafe32(header, 6) + footer;
    const std::int64_t plainEnd = start + plain32(header, 6);
    auto inFile = [&](std::int64_t end) { return end >= start + kHeaderSize && end <= fileSize; };
    const bool standardFits = syncSafe && inFile(standardEnd);
    const bool plainFits = inFile(plainEnd);
    if (!standardFits && !plainFits) {
        // Cut short by the end of the file: it has no footer there, and
        // everything from its header on belongs to it.
        const std::uint8_t inFileFlags = flags & ~kTagFooter;
        const QByteArray bytes = file.ReadAt(start, std::min(fileSize - start, kHeaderSize + kSyncSafeMax));
        FoundTag cut{start, fileSize, version, inFileFlags, walkTag(bytes, version, inFileFlags).frames};
        cut.cut = true;
        return cut;
    }

    const QByteArray bytes =
        file.ReadAt(start, std::max(standardFits ? standardEnd : 0, plainFits ? plainEnd : 0) - start);
    auto tagTo = [&](std::int64_t end, Walk walk) {
        return FoundTag{start, end, version, flags, std::move(walk.frames)};
    };
    if (!syncSafe) return tagTo(plainEnd, walkTag(bytes.left(plainEnd - start), version, flags));

    Walk standard;
    if (standardFits) {
        standard = walkTag(bytes.left(standardEnd - start), version, flags);
        if (lands(standard)) return tagTo(standardEnd, std::move(standard));
    }
    // A plain size counts the whole tag; it is believed only where no audio
    // lies between the two readings' ends.
    if (plainFits) {
        Walk plain = walkTag(bytes.left(plainEnd - start), version, flags);
        const std::int64_t from = std::min(standardEnd, plainEnd) - start;
        if (plain.end != WalkEnd::Broken && !hasAudioSync(bytes, from, plainEnd - start))
            return tagTo(plainEnd, std::move(plain));
    }
    if (standardFits) return tagTo(standardEnd, std::move(standard));
    return {};
}

// Text encodings of frame data.
enum Encoding : std::uint8_t { Latin1 = 0, Utf16 = 1, Utf16BE = 2, Utf8 = 3 };

qsizetype unitSize(std::uint8_t enc) { return enc == Utf16 || enc == Utf16BE ? 2 : 1; }

// The strings of encoded data, split at their terminators.
QList<QByteArray> segments(const QByteArray& data, std::uint8_t enc)
{
    QList<QByteArray> out;
    const qsizetype unit = unitSize(enc);
    qsizetype begin = 0;
    for (qsizetype i = 0; i + unit <= data.size(); i += unit) {
        if (data[i] == 0 && (unit == 1 || data[i + 1] == 0)) {
            out << data.mid(begin, i - begin);
            begin = i + unit;
        }
    }
    out << data.mid(begin);
    return out;
}

QString decodeString(const QByteArray& bytes, std::uint8_t enc)
{
    switch (enc) {
    case Utf16:
    case Utf16BE: {
        bool bigEndian = enc == Utf16BE;
        qsizetype from = 0;
        if (bytes.size() >= 2 && byteAt(bytes, 0) == 0xFF && byteAt(bytes, 1) == 0xFE) {
            bigEndian = false;
            from = 2;
        } else if (bytes.size() >= 2 && byteAt(bytes, 0) == 0xFE && byteAt(bytes, 1) == 0xFF) {
            bigEndian = true;
            from = 2;
        }
        QString s;
        for (qsizetype i = from; i + 1 < bytes.size(); i += 2)
            s += QChar(bigEndian ? char16_t(byteAt(bytes, i) << 8 | byteAt(bytes, i + 1))
                                 : char16_t(byteAt(bytes, i + 1) << 8 | byteAt(bytes, i)));
        return s;
    }
    case Utf8: return QString::fromUtf8(bytes);
    default: return QString::fromLatin1(bytes);
    }
}

QByteArray encodeString(const QString& text, std::uint8_t enc)
{
    switch (enc) {
    case Utf16: {
        // Every string between terminators gets its own byte-order mark, so
        // that a character FEFF or FFFE after a terminator stays a character.
        QByteArray out("\xFF\xFE", 2);
        for (QChar c : text) {
            out.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
            if (c.unicode() == 0) out.append("\xFF\xFE", 2);
        }
        return out;
    }
    case Utf8: return text.toUtf8();
    default: {
        QByteArray out;
        for (QChar c : text) out += c.unicode() <= 0xFF ? char(c.unicode()) : '?';
        return out;
    }
    }
}

QByteArray terminator(std::uint8_t enc) { return QByteArray(unitSize(enc), '\0'); }

// ISO-8859-1 when every character fits, else UTF-16 with a byte-order mark
// (2.3) or UTF-8 (2.4); a text with a stray surrogate half stays UTF-16.
std::uint8_t encodingFor(const QString& text, std::uint8_t version)
{
    const bool latin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    return latin1 ? Latin1 : version == 4 && text.isValidUtf16() ? Utf8 : Utf16;
}

// The decoded strings of a run of encoded data; trailing empty ones dropped.
QStringList strings(const QByteArray& data, std::uint8_t enc)
{
    QStringList out;
    for (const QByteArray& s : segments(data, enc)) out << decodeString(s, enc);
    while (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
    return out;
}

// Data behind a terminated description: the description's end, or the end of data.
qsizetype afterFirstString(const QByteArray& data, qsizetype from, std::uint8_t enc)
{
    const qsizetype unit = unitSize(enc);
    for (qsizetype i = from; i + unit <= data.size(); i += unit)
        if (data[i] == 0 && (unit == 1 || data[i + 1] == 0)) return i + unit;
    return data.size();
}

// Data compressed with zlib; nothing when it is not a whole zlib stream or
// would grow beyond what a frame can hold.
std::optional<QByteArray> inflated(const QByteArray& data)
{
    constexpr qsizetype kLimit = 16 * 1024 * 1024;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    QByteArray out;
    int status = Z_OK;
    char buffer[16384];
    while (status == Z_OK && out.size() <= kLimit) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - z.avail_out));
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END) return {};
    return out;
}

QString latin1UpToNul(const QByteArray& data)
{
    const qsizetype nul = data.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? data : data.left(nul));
}

QByteArray urlBytes(const QString& url)
{
    QByteArray out;
    for (QChar c : url) out += c.unicode() <= 0xFF ? QByteArray(1, char(c.unicode())) : QUrl::toPercentEncoding(c);
    return out;
}

QByteArray counterBytes(std::uint64_t count)
{
    QByteArray out;
    for (; count > 0; count >>= 8) out.prepend(char(count & 0xFF));
    while (out.size() < 4) out.prepend('\0');
    return out;
}

} // namespace

FoundTag FindTag(const TagFile& file)
{
    const std::int64_t size = file.Size();
    for (std::int64_t start = 0; start < size; start += kScanStep) {
        const QByteArray window = file.ReadAt(start, std::min(kScanWindow, size - start));
        for (qsizetype i = window.indexOf("ID3"); i >= 0; i = window.indexOf("ID3", i + 1))
            if (auto tag = tagAt(file, start + i, size)) return std::move(*tag);
        if (window.contains("\xFF\xFB")) break;
        if (start + kScanWindow >= size) break;
    }
    return {};
}

bool HoldsMpegAudio(const TagFile& file)
{
    // Audio follows its tag at once, or after some junk or a second tag.
    constexpr std::int64_t kSearch = 1024 * 1024;
    constexpr std::int64_t kNextFrame = 4096; // read beyond the search: the frame that follows the last one tried
    constexpr std::int64_t kV1Block = 128;
    const FoundTag tag = FindTag(file);
    const std::int64_t from = tag.found() ? tag.end : 0;
    const std::int64_t size = file.Size();
    const QByteArray bytes = file.ReadAt(from, std::min(size - from, kSearch + kNextFrame));
    auto frameAt = [&](qsizetype i) {
        return i + 4 <= bytes.size() ? audiodec::DecodeMp3Header(plain32(bytes, i)) : std::nullopt;
    };
    for (qsizetype i = 0; i < std::min<qsizetype>(bytes.size(), kSearch); ++i) {
        const auto frame = frameAt(i);
        if (!frame) continue;
        const std::int64_t end = from + i + frame->size;
        if (end == size || (end == size - kV1Block && bytes.mid(end - from, 3) == "TAG") || frameAt(end - from))
            return true;
    }
    return false;
}

QString MapV22FrameId(const QString& id)
{
    static const QHash<QString, QString> map = {
        {"BUF", "RBUF"}, {"CNT", "PCNT"}, {"COM", "COMM"}, {"CRA", "AENC"}, {"ETC", "ETCO"}, {"GEO", "GEOB"},
        {"IPL", "IPLS"}, {"MCI", "MCDI"}, {"MLL", "MLLT"}, {"PIC", "APIC"}, {"POP", "POPM"}, {"REV", "RVRB"},
        {"RVA", "RVAD"}, {"SLT", "SYLT"}, {"STC", "SYTC"}, {"TAL", "TALB"}, {"TBP", "TBPM"}, {"TCM", "TCOM"},
        {"TCO", "TCON"}, {"TCR", "TCOP"}, {"TDA", "TDAT"}, {"TDY", "TDLY"}, {"TEN", "TENC"}, {"TFT", "TFLT"},
        {"TIM", "TIME"}, {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"}, {"TMT", "TMED"}, {"TOA", "TOPE"},
        {"TOF", "TOFN"}, {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TOT", "TOAL"}, {"TP1", "TPE1"}, {"TP2", "TPE2"},
        {"TP3", "TPE3"}, {"TP4", "TPE4"}, {"TPA", "TPOS"}, {"TPB", "TPUB"}, {"TRC", "TSRC"}, {"TRD", "TRDA"},
        {"TRK", "TRCK"}, {"TSI", "TSIZ"}, {"TSS", "TSSE"}, {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"},
        {"TXT", "TEXT"}, {"TXX", "TXXX"}, {"TYE", "TYER"}, {"UFI", "UFID"}, {"ULT", "USLT"}, {"WAF", "WOAF"},
        {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"}, {"WPB", "WPUB"}, {"WXX", "WXXX"},
        // Written by iTunes: compilation, sort orders, grouping, movement.
        {"TCP", "TCMP"}, {"TST", "TSOT"}, {"TSA", "TSOA"}, {"TSP", "TSOP"}, {"TS2", "TSO2"}, {"TSC", "TSOC"},
        {"GP1", "GRP1"}, {"MVN", "MVNM"}, {"MVI", "MVIN"}};
    return map.value(id);
}

QByteArray ConvertV22Data(const QString& id, const QByteArray& data)
{
    if (id != "PIC" || data.size() < 4) return data;
    const QString format = QString::fromLatin1(data.mid(1, 3)).toLower();
    const QByteArray mime = "image/" + (format == "jpg" ? QByteArray("jpeg") : format.toLatin1());
    return data.left(1) + mime + '\0' + data.mid(4);
}

std::optional<QByteArray> FrameContent(const RawFrame& frame, std::uint8_t version, std::uint8_t tagFlags)
{
    QByteArray data = frame.data;
    const std::uint8_t format = frame.flags & 0xFF;
    bool compressed = false;
    if (version == 3) {
        // Behind the header: the size before compression, then the group.
        if (format & 0x40) return {}; // encrypted
        compressed = format & 0x80;
        if (compressed) data.remove(0, 4);
        if (format & 0x20) data.remove(0, 1);
    } else if (version == 4) {
        // Behind the header: the group, then the size before compression.
        if (format & 0x04) return {};
        compressed = format & 0x08;
        if (format & 0x40) data.remove(0, 1);
        if (format & 0x01) data.remove(0, 4);
        if ((format & kFrame24Unsync) || (tagFlags & kTagUnsync)) data = resync(data);
    }
    if (compressed) return inflated(data);
    return data;
}

QString CommentDescription(const QByteArray& content)
{
    if (content.size() < 4 || byteAt(content, 0) > Utf8) return {};
    const std::uint8_t enc = byteAt(content, 0);
    const qsizetype unit = unitSize(enc);
    for (qsizetype i = 4; i + unit <= content.size(); i += unit)
        if (content[i] == 0 && (unit == 1 || content[i + 1] == 0)) return decodeString(content.mid(4, i - 4), enc);
    return decodeString(content.mid(4), enc);
}

QString FrameValue(const QString& id, const QByteArray& content)
{
    if (id == "PCNT") {
        if (content.isEmpty()) return {};
        std::uint64_t count = 0;
        for (qsizetype i = 0; i < content.size(); ++i) {
            if (count >> 56) return {};
            count = count << 8 | byteAt(content, i);
        }
        return QString::number(count);
    }
    if (id.startsWith('W')) {
        if (id != "WXXX") return latin1UpToNul(content);
        if (content.isEmpty()) return {};
        return latin1UpToNul(content.mid(afterFirstString(content, 1, byteAt(content, 0))));
    }
    if (content.isEmpty()) return {};
    const std::uint8_t enc = byteAt(content, 0);
    const bool comment = id == "COMM" || id == "USLT";
    if (!id.startsWith('T') && !comment) return {};
    if (enc > Utf8) {
        // No encoding byte: taken as ISO-8859-1 text.
        QString text = QString::fromLatin1(content);
        return text.remove(QChar(0));
    }
    if (comment) {
        // Lyrics laid out without a language: the encoding, a zero byte, then the text.
        if (id == "USLT" && content.size() >= 3 && content[1] == 0 && content[2] != 0)
            return strings(content.mid(2), enc).join(QChar(0));
        if (content.size() < 4) return {};
        return strings(content.mid(afterFirstString(content, 4, enc)), enc).join(QChar(0));
    }
    const qsizetype from = id == "TXXX" ? afterFirstString(content, 1, enc) : 1;
    return strings(content.mid(from), enc).join('/');
}

std::optional<std::uint64_t> ParseCounter(const QString& text)
{
    if (text.isEmpty()) return 0;
    if (!std::all_of(text.begin(), text.end(), [](QChar c) { return c >= '0' && c <= '9'; })) return {};
    bool ok = false;
    const std::uint64_t count = text.toULongLong(&ok);
    if (!ok) return {};
    return count;
}

QByteArray RenderFrame(const QString& id, const QString& value, std::uint8_t version)
{
    if (id == "PCNT") return counterBytes(ParseCounter(value).value_or(0));
    if (id == "WXXX") return QByteArray(2, '\0') + urlBytes(value);
    if (id.startsWith('W')) return urlBytes(value);
    const std::uint8_t enc = encodingFor(value, version);
    QByteArray data(1, char(enc));
    if (id == "COMM" || id == "USLT") data += "eng" + encodeString({}, enc) + terminator(enc);
    else if (id == "TXXX") data += encodeString({}, enc) + terminator(enc);
    return data + encodeString(value, enc);
}

bool IsWritableFrameId(const QString& id)
{
    return id.size() == 4 && !id.contains("ID3") &&
           std::all_of(id.begin(), id.end(), [](QChar c) { return c.unicode() < 0x80 && isIdChar(char(c.unicode())); });
}

std::optional<QByteArray> FrameHeader(const QString& id, std::int64_t size, std::uint16_t flags,
                                      std::uint8_t version)
{
    if (size < 0 || size > (version == 4 ? std::int64_t(kSyncSafeMax) : std::int64_t(0xFFFFFFFF))) return {};
    const std::uint32_t n = std::uint32_t(size);
    return id.toLatin1() + (version == 4 ? syncSafeBytes(n) : plainBytes(n)) + char(flags >> 8) + char(flags & 0xFF);
}

std::optional<QByteArray> TagHeader(std::uint8_t version, std::int64_t sizeAfterHeader)
{
    if (sizeAfterHeader < 0 || sizeAfterHeader > kSyncSafeMax) return {};
    return QByteArray("ID3") + char(version) + '\0' + '\0' + syncSafeBytes(std::uint32_t(sizeAfterHeader));
}

} // namespace id3v2
