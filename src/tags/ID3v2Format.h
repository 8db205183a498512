#pragma once
// The byte layout of ID3 version 2 tags (2.2, 2.3 and 2.4): finding and
// checking a tag header, walking its frames, the text encodings of frame
// data, and the bytes of a written tag.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

class TagFile;

namespace id3v2 {

// A frame as it stands in a tag; in a 2.2 or 2.3 tag whose header says
// unsynchronised, the data with that undone.
struct RawFrame {
    QString id; // three characters in a 2.2 tag, four in later ones
    QByteArray data;
    std::uint16_t flags = 0;
};

// A tag found in a file.
struct FoundTag {
    std::int64_t start = -1; // offset of the "I" of "ID3"; -1: none found
    std::int64_t end = 0;    // one past its last byte: header, frames, padding, footer
    std::uint8_t version = 0;
    std::uint8_t flags = 0;
    std::vector<RawFrame> frames; // in file order, up to padding or the first frame that does not fit; any id
    // Its size runs past the end of the file: `end` is the file's end, and
    // the frames are those that lie whole within the file.
    bool cut = false;
    bool found() const { return start >= 0; }
};

// Scans the file for the first tag header that holds: "ID3" and a version of
// 2 to 4; a tag whose size runs past the end of the file is found cut short.
// The size is read in the standard (sync-safe) form, or as a plain 32-bit
// count of the whole tag when one of its bytes has the top bit set or the
// standard reading does not end on the frames and their padding. The scan
// goes in windows of 4096 bytes and gives up at the first window that holds
// an MPEG audio frame start (FF FB) but no tag.
FoundTag FindTag(const TagFile& file);

// Whether the file holds MPEG audio: a whole Layer III frame behind its tag
// (from its start when it has none), followed by another frame, the ID3v1
// block or the end of the file. Behind a cut tag there is none.
bool HoldsMpegAudio(const TagFile& file);

// Version-2.2 frame id to its later id; empty when it has none.
QString MapV22FrameId(const QString& id);
// The data of a 2.2 frame in its later form (a picture's format becomes a MIME type).
QByteArray ConvertV22Data(const QString& id, const QByteArray& data);

// The part of a frame's data that carries its content, with its format flags
// undone (a compressed frame inflated); nothing for encrypted frames and
// compressed ones that do not inflate.
std::optional<QByteArray> FrameContent(const RawFrame& frame, std::uint8_t version, std::uint8_t tagFlags);
// The description of a comment frame's content ("iTunSMPB"); empty for the
// user's own comment.
QString CommentDescription(const QByteArray& content);
// A frame's content as text: the text of text frames (several values joined
// by "/"), the text of comments and lyrics, the address of links, the play
// count in decimal; empty for other frames.
QString FrameValue(const QString& id, const QByteArray& content);

// Frame data for a value set by the program, in the layout its id asks for.
QByteArray RenderFrame(const QString& id, const QString& value, std::uint8_t version);
// A play count from its decimal text; nothing when the text is not a count.
std::optional<std::uint64_t> ParseCounter(const QString& text);

// Whether an id goes into a written tag: four capital letters or digits, and
// no "ID3" that a later scan could take for a tag header.
bool IsWritableFrameId(const QString& id);
// Frame header (10 bytes) for the version: its size sync-safe in 2.4, plain in 2.3.
// Nothing when the size does not fit.
std::optional<QByteArray> FrameHeader(const QString& id, std::int64_t size, std::uint16_t flags,
                                      std::uint8_t version);
// Tag header (10 bytes) with the sync-safe size of what follows it; nothing
// when the size does not fit.
std::optional<QByteArray> TagHeader(std::uint8_t version, std::int64_t sizeAfterHeader);

// Flag bits.
inline constexpr std::uint8_t kTagUnsync = 0x80;
inline constexpr std::uint8_t kTagExtended = 0x40;
inline constexpr std::uint8_t kTagFooter = 0x10;
inline constexpr std::uint16_t kFrame24Unsync = 0x0002;

} // namespace id3v2
