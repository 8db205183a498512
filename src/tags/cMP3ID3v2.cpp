#include "tags/cMP3ID3v2.h"

#include "tags/ID3Genres.h"
#include "tags/ID3v2Format.h"
#include "tags/TagError.h"
#include "tags/TagFile.h"

#include <QHash>

#include <algorithm>

namespace {

constexpr std::int64_t kHeaderSize = 10;
constexpr std::int64_t kRoomUnit = 2048;

QString source() { return TagErrorSource("cMP3ID3v2"); }

bool isFrameIdChar(QChar c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// "(number)name", or the name alone when there is no genre number.
QString genreText(std::uint8_t genre, const QString& name)
{
    return genre == kNoGenre ? name : "(" + QString::number(genre) + ")" + name;
}

} // namespace

QString cMP3ID3v2::GenreName(std::uint8_t Genre) const { return ID3GenreName(Genre); }

// ---------------------------------------------------------------------------
// The frame store

std::vector<cMP3ID3v2::FrameEntries>& cMP3ID3v2::store()
{
    if (!m_frames) RaiseTagError(kTagErrNoFile, source());
    return *m_frames;
}

const std::vector<cMP3ID3v2::FrameEntries>& cMP3ID3v2::store() const
{
    if (!m_frames) RaiseTagError(kTagErrNoFile, source());
    return *m_frames;
}

cMP3ID3v2::FrameEntries* cMP3ID3v2::find(const QString& id)
{
    return const_cast<FrameEntries*>(std::as_const(*this).find(id));
}

namespace {
// Ids match without regard to case, but a foreign frame only by its own id.
template <class Frame> bool matches(const Frame& f, const QString& id)
{
    return f.foreign ? f.id == id : f.id.compare(id, Qt::CaseInsensitive) == 0;
}
} // namespace

const cMP3ID3v2::FrameEntries* cMP3ID3v2::find(const QString& id) const
{
    if (!m_frames) return nullptr;
    for (const FrameEntries& f : *m_frames)
        if (matches(f, id)) return &f;
    return nullptr;
}

void cMP3ID3v2::addEntry(const QString& id, Entry entry, bool foreign)
{
    for (FrameEntries& f : store()) {
        if (f.foreign == foreign && matches(f, id)) {
            f.entries.append(std::move(entry));
            return;
        }
    }
    store().push_back({id, {std::move(entry)}, foreign});
}

void cMP3ID3v2::eraseFrame(const QString& id)
{
    auto& frames = store();
    frames.erase(std::remove_if(frames.begin(), frames.end(), [&](const FrameEntries& f) { return matches(f, id); }),
                 frames.end());
}

void cMP3ID3v2::eraseUserComments()
{
    auto& frames = store();
    for (FrameEntries& f : frames)
        if (!f.foreign && matches(f, "COMM"))
            f.entries.removeIf([](const Entry& e) { return !e.otherComment; });
    frames.erase(std::remove_if(frames.begin(), frames.end(), [](const FrameEntries& f) { return f.entries.isEmpty(); }),
                 frames.end());
}

std::int32_t cMP3ID3v2::FrameCount() const { return std::int32_t(store().size()); }

QString cMP3ID3v2::Frame(std::int32_t Index) const
{
    const auto& frames = store();
    if (Index < 1 || size_t(Index) > frames.size()) RaiseTagError(kTagErrOutOfRange, source());
    return frames[size_t(Index) - 1].id;
}

void cMP3ID3v2::RemoveFrame(const QString& Frame)
{
    store();
    if (!find(Frame)) RaiseTagError(kTagErrInvalidCall, source());
    eraseFrame(Frame);
}

void cMP3ID3v2::RemoveFrame(std::int32_t Position) { RemoveFrame(Frame(Position)); }

std::int32_t cMP3ID3v2::TagsInFrame(const QString& Frame) const
{
    const FrameEntries* f = find(Frame);
    return f ? std::int32_t(f->entries.size()) : 0;
}

void cMP3ID3v2::AddTag(const QString& sFrame, const QString& sTag)
{
    store();
    if (sFrame.compare("PCNT", Qt::CaseInsensitive) == 0 && !id3v2::ParseCounter(sTag))
        RaiseTagError(kTagErrTypeMismatch, source());
    addEntry(sFrame, Entry{sTag, {}, 0, false});
}

void cMP3ID3v2::RemoveTag(const QString& sFrame, std::int32_t tagIndex)
{
    store();
    FrameEntries* f = find(sFrame);
    if (!f || tagIndex < 1 || tagIndex > f->entries.size()) RaiseTagError(kTagErrInvalidCall, source());
    f->entries.removeAt(tagIndex - 1);
    if (f->entries.isEmpty()) eraseFrame(sFrame);
}

// ---------------------------------------------------------------------------
// Properties

QString cMP3ID3v2::frameIdOf(TextProperty p) const
{
    switch (p) {
    case kArtistURL: return "WOAR";
    case kBuyURL: return "WCOM";
    case kAudioURL: return "WOAF";
    case kCopyright: return "TCOP";
    case kComposer: return "TCOM";
    case kOriginalArtist: return "TOPE";
    case kLinkTo: return "WXXX";
    case kPlayCounter: return "PCNT";
    case kEncodedBy: return "TENC";
    case kTitle: return "TIT2";
    case kArtist: return "TPE1";
    case kAlbum: return "TALB";
    case kYear: return m_bytVersion == 4 ? "TDRC" : "TYER";
    case kComment: return "COMM";
    case kLyrics: return "USLT";
    case kTrack: return "TRCK";
    default: return "TCON";
    }
}

void cMP3ID3v2::applyFrame(const QString& id, const Entry& entry, Fields& fields)
{
    const QString& value = entry.value;
    static const QHash<QString, TextProperty> plain = {
        {"PCNT", kPlayCounter}, {"TRCK", kTrack},     {"TENC", kEncodedBy}, {"WXXX", kLinkTo},
        {"TCOP", kCopyright},   {"TOPE", kOriginalArtist}, {"TCOM", kComposer}, {"TYER", kYear},
        {"TDRC", kYear},        {"TIT2", kTitle},     {"TPE1", kArtist},    {"TALB", kAlbum},
        {"WOAF", kAudioURL},    {"WOAR", kArtistURL}, {"WCOM", kBuyURL},    {"USLT", kLyrics}};
    const QString key = id.toUpper();
    if (const auto it = plain.find(key); it != plain.end()) {
        fields.text[*it] = value;
    } else if (key == "COMM") {
        if (entry.otherComment) return;
        QString& comment = fields.text[kComment];
        comment = comment.isEmpty() ? value : comment + QChar(0) + "\r\n" + value;
    } else if (key == "TCON") {
        // "(n)" with n from 0 to 255 gives the number, and the text after it
        // (or the number's name) the name; a bare number of a 2.4 tag too.
        const qsizetype open = value.indexOf('('), close = value.indexOf(')');
        const QString number = open >= 0 && close > open ? value.mid(open + 1, close - open - 1)
                               : open < 0                ? value
                                                         : QString();
        const bool digits = !number.isEmpty() &&
                            std::all_of(number.begin(), number.end(), [](QChar c) { return c >= '0' && c <= '9'; });
        bool isNumber = false;
        const uint n = digits ? number.toUInt(&isNumber) : 0;
        if (isNumber && n <= 255) {
            fields.genre = std::uint8_t(n);
            const QString rest = open >= 0 ? value.mid(close + 1) : QString();
            fields.text[kOtherGenreName] = rest.isEmpty() ? ID3GenreName(fields.genre) : rest;
        } else {
            fields.text[kOtherGenreName] = value;
        }
    }
}

cMP3ID3v2::Fields cMP3ID3v2::fieldsOfFrame(const QString& id) const
{
    Fields fields;
    fields.genre = kNoGenre;
    if (const FrameEntries* f = find(id))
        for (const Entry& e : f->entries) applyFrame(f->id, e, fields);
    return fields;
}

void cMP3ID3v2::setText(TextProperty p, const QString& value)
{
    if (p == kOtherGenreName) {
        SetOtherGenreName(value);
        return;
    }
    m_fields.text[p] = value;
    store();
    if (p == kPlayCounter && !id3v2::ParseCounter(value)) RaiseTagError(kTagErrTypeMismatch, source());
    const QString id = frameIdOf(p);
    if (find(id) && fieldsOfFrame(id).text[p] == value) return;
    if (p == kComment) eraseUserComments();
    else eraseFrame(id);
    if (p == kYear) eraseFrame(id == "TDRC" ? "TYER" : "TDRC");
    addEntry(id, Entry{value, {}, 0, false});
}

void cMP3ID3v2::SetGenre(std::uint8_t value)
{
    m_fields.genre = value;
    setGenreFrame();
}

void cMP3ID3v2::SetOtherGenreName(const QString& value)
{
    m_fields.text[kOtherGenreName] = value;
    setGenreFrame();
}

void cMP3ID3v2::setGenreFrame()
{
    store();
    if (find("TCON")) {
        const Fields now = fieldsOfFrame("TCON");
        if (now.genre == m_fields.genre && now.text[kOtherGenreName] == m_fields.text[kOtherGenreName]) return;
    }
    eraseFrame("TCON");
    addEntry("TCON", Entry{genreText(m_fields.genre, m_fields.text[kOtherGenreName]), {}, 0, false});
}

// ---------------------------------------------------------------------------
// Reading

void cMP3ID3v2::SetMP3File(const QString& path)
{
    m_sMP3File = path;
    ReadTag();
}

void cMP3ID3v2::StoreFrame(const QString& id, Entry entry, bool foreign)
{
    if (!foreign) applyFrame(id, entry, m_fields);
    addEntry(id, std::move(entry), foreign);
}

void cMP3ID3v2::ReadTag()
{
    m_frames.emplace();
    m_lTagPos = 0;
    m_bytVersion = 0;
    m_fields = Fields{};
    m_fields.genre = kNoGenre;

    TagFile file(source());
    file.OpenRead(m_sMP3File);
    const id3v2::FoundTag tag = id3v2::FindTag(file);
    file.Close();
    if (!tag.found()) return;
    m_lTagPos = tag.start + 4;
    m_bytVersion = tag.version;
    for (const id3v2::RawFrame& frame : tag.frames) {
        const std::optional<QByteArray> content = id3v2::FrameContent(frame, tag.version, tag.flags);
        Entry entry{QString(), frame.data, frame.flags, true};
        QString id = frame.id;
        if (tag.version == 2) {
            // Frames of 2.2 go over to their 2.3 form; one without a 2.3 id keeps its own and is not written.
            if (const QString later = id3v2::MapV22FrameId(id); !later.isEmpty()) {
                entry.raw = id3v2::ConvertV22Data(id, frame.data);
                id = later;
            }
        } else if (tag.version == 4 && (tag.flags & id3v2::kTagUnsync)) {
            // The data stays unsynchronised; the frame says so once the tag no longer does.
            entry.flags |= id3v2::kFrame24Unsync;
        }
        const std::optional<QByteArray> data = tag.version == 2 ? std::optional(entry.raw) : content;
        if (data) entry.value = id3v2::FrameValue(id, *data);
        if (id == "COMM") entry.otherComment = !data || !id3v2::CommentDescription(*data).isEmpty();
        const bool foreign = tag.version > 2 && !std::all_of(id.begin(), id.end(), isFrameIdChar);
        StoreFrame(id, std::move(entry), foreign);
    }
    // The year comes from the version's own year frame when the tag has one.
    const QString yearId = frameIdOf(kYear);
    const QString otherYearId = yearId == "TDRC" ? "TYER" : "TDRC";
    if (find(yearId)) m_fields.text[kYear] = fieldsOfFrame(yearId).text[kYear];
    else if (find(otherYearId)) m_fields.text[kYear] = fieldsOfFrame(otherYearId).text[kYear];
}

// ---------------------------------------------------------------------------
// Writing

QByteArray cMP3ID3v2::BuildFrames(std::uint8_t version) const
{
    QByteArray out;
    for (const FrameEntries& frame : store()) {
        const QString id = frame.foreign ? frame.id : frame.id.toUpper();
        if (frame.foreign) {
            if (id.contains("ID3")) continue; // a later scan could take it for a tag header
        } else if (!id3v2::IsWritableFrameId(id)) {
            // Left out: a 2.2 frame without a later form, and an id holding "ID3".
            const bool allRead = std::all_of(frame.entries.begin(), frame.entries.end(),
                                             [](const Entry& e) { return e.fromFile; });
            if (allRead || id.contains("ID3")) continue;
            RaiseTagError(kTagErrInvalidCall, source());
        }
        for (const Entry& e : frame.entries) {
            const QByteArray data = e.fromFile ? e.raw : id3v2::RenderFrame(id, e.value, version);
            const auto header = id3v2::FrameHeader(id, data.size(), e.fromFile ? e.flags : 0, version);
            if (!header) RaiseTagError(kTagErrOverflow, source());
            out += *header + data;
        }
    }
    return out;
}

void cMP3ID3v2::Update() { WriteTag(); }

void cMP3ID3v2::WriteTag()
{
    const std::uint8_t version = m_bytVersion == 4 ? 4 : 3;
    const QByteArray frames = BuildFrames(version);
    // Header, frames and at least four zero bytes.
    const std::int64_t length = kHeaderSize + frames.size() + 4;

    TagFile file(source());
    file.OpenReadWrite(m_sMP3File, false);
    const std::int64_t fileSize = file.Size();
    if (fileSize == 0) RaiseNotMP3(m_sMP3File, source());
    const id3v2::FoundTag old = id3v2::FindTag(file);
    // A new tag in front of a cut one would leave it behind, hiding its
    // frames from every reader; where its audio would start is unknown.
    if (old.cut) RaiseNotMP3(m_sMP3File, source());

    auto tagBytes = [&](std::int64_t total) {
        const auto header = id3v2::TagHeader(version, total - kHeaderSize);
        if (!header) RaiseTagError(kTagErrOverflow, source());
        return *header + frames + QByteArray(qsizetype(total - kHeaderSize - frames.size()), '\0');
    };
    if (old.found() && old.start == 0 && length < old.end) {
        file.WriteAt(0, tagBytes(old.end));
    } else {
        const std::int64_t room = (length / kRoomUnit + 1) * kRoomUnit;
        std::vector<TagFile::Range> keep;
        if (old.found()) keep = {{0, old.start}, {old.end, fileSize}};
        else keep = {{0, fileSize}};
        file.ReplaceContent(tagBytes(room), keep);
    }
    file.Close();
}
