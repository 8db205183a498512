#pragma once
// The ID3 version 2 tag of one MP3 file, held as a list of frames, each a
// frame id with one or more entries, and offered through named properties.
// Setting MP3File reads the tag; the properties and frame members change it
// in memory; Update writes it back. Failures raise TagError.
//
// Frames keep the bytes they were read with until a property setter or the
// frame members replace them; a setter whose frame already holds the value
// changes nothing. Update writes the tag in the version it was read in (a
// 2.2 tag, or a file without a tag, gets a 2.3 tag): over the old tag when the
// new one fits in it, otherwise by rebuilding the file through a temporary
// file in its folder, with room up to the next multiple of 2048 bytes.
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class cMP3ID3v2 {
public:
    // The frame members and the setters need a read first: before MP3File
    // was set they raise (a setter has stored its value by then).
    bool HasID3v2Tag() const { return m_lTagPos > 0; }
    // Major version of the tag read (2, 3 or 4); 0 when none was found.
    std::uint8_t ID3v2TagVersion() const { return m_bytVersion; }
    std::uint8_t TagVersion() const { return m_bytVersion; }

    // The frame list: each id once, in the order of its first entry.
    std::int32_t FrameCount() const;
    // The id at a 1-based position.
    QString Frame(std::int32_t Index) const;
    // Removes a frame and all its entries, by id (case-insensitive) or by position.
    void RemoveFrame(const QString& Frame);
    void RemoveFrame(std::int32_t Position);
    // Number of entries of a frame; 0 when it is not there.
    std::int32_t TagsInFrame(const QString& Frame) const;
    // Appends an entry to a frame; the properties keep their values.
    void AddTag(const QString& sFrame, const QString& sTag);
    // Removes entry tagIndex (1-based) of a frame; the rest move up, and a
    // frame left without entries goes.
    void RemoveTag(const QString& sFrame, std::int32_t tagIndex);

    // Properties: the value of the last frame of their id at the read, or
    // the value last set. Setting one replaces its frame with one entry.
    QString ArtistURL() const { return text(kArtistURL); }
    void SetArtistURL(const QString& value) { setText(kArtistURL, value); }
    QString BuyURL() const { return text(kBuyURL); }
    void SetBuyURL(const QString& value) { setText(kBuyURL, value); }
    QString AudioURL() const { return text(kAudioURL); }
    void SetAudioURL(const QString& value) { setText(kAudioURL, value); }
    QString Copyright() const { return text(kCopyright); }
    void SetCopyright(const QString& value) { setText(kCopyright, value); }
    QString Composer() const { return text(kComposer); }
    void SetComposer(const QString& value) { setText(kComposer, value); }
    QString OriginalArtist() const { return text(kOriginalArtist); }
    void SetOriginalArtist(const QString& value) { setText(kOriginalArtist, value); }
    // The address of the user link frame.
    QString LinkTo() const { return text(kLinkTo); }
    void SetLinkTo(const QString& value) { setText(kLinkTo, value); }
    // The play count in decimal; setting a text that is not a count raises.
    QString PlayCounter() const { return text(kPlayCounter); }
    void SetPlayCounter(const QString& value) { setText(kPlayCounter, value); }
    QString EncodedBy() const { return text(kEncodedBy); }
    void SetEncodedBy(const QString& value) { setText(kEncodedBy, value); }
    QString Title() const { return text(kTitle); }
    void SetTitle(const QString& value) { setText(kTitle, value); }
    QString Artist() const { return text(kArtist); }
    void SetArtist(const QString& value) { setText(kArtist, value); }
    QString Album() const { return text(kAlbum); }
    void SetAlbum(const QString& value) { setText(kAlbum, value); }
    // The year frame, or the recording time of a 2.4 tag.
    QString Year() const { return text(kYear); }
    void SetYear(const QString& value) { setText(kYear, value); }
    // The texts of the user's comment frames (those without a description),
    // joined by a NUL and a line break. Comments with a description (players'
    // gapless and loudness data) are kept as they are.
    QString Comment() const { return text(kComment); }
    void SetComment(const QString& value) { setText(kComment, value); }
    QString Lyrics() const { return text(kLyrics); }
    void SetLyrics(const QString& value) { setText(kLyrics, value); }
    QString Track() const { return text(kTrack); }
    void SetTrack(const QString& value) { setText(kTrack, value); }
    // The genre frame holds "(number)" and a name: Genre is the number (255:
    // none), OtherGenreName the name; a frame without a number gives its
    // whole text as the name. Setting either rewrites the frame from both.
    std::uint8_t Genre() const { return m_fields.genre; }
    void SetGenre(std::uint8_t value);
    QString OtherGenreName() const { return text(kOtherGenreName); }
    void SetOtherGenreName(const QString& value);
    // The name of a genre number; empty for a number without one.
    QString GenreName(std::uint8_t Genre) const;

    QString MP3File() const { return m_sMP3File; }
    // Stores the path and reads its tag; a file that cannot be read raises,
    // leaving the object empty (genre 255) with an empty frame list.
    void SetMP3File(const QString& path);
    // Writes the frame list into the file last given; the object does not change.
    void Update();

private:
    enum TextProperty {
        kArtistURL, kBuyURL, kAudioURL, kCopyright, kComposer, kOriginalArtist, kLinkTo, kPlayCounter,
        kEncodedBy, kTitle, kArtist, kAlbum, kYear, kComment, kLyrics, kTrack, kOtherGenreName, kTextCount
    };
    struct Fields {
        QString text[kTextCount];
        std::uint8_t genre = 0;
    };
    // One entry: its content as text, and for an entry read from the file
    // the bytes and flags it is written back with.
    struct Entry {
        QString value;
        QByteArray raw;
        std::uint16_t flags = 0;
        bool fromFile = false;
        bool otherComment = false; // a comment frame that is not the user's: described, or unreadable
    };
    struct FrameEntries {
        QString id;
        QList<Entry> entries;
        // Read under an id that is not four capitals or digits: matched only
        // by that exact id, taken into no property, written back as read.
        bool foreign = false;
    };

    QString text(TextProperty p) const { return m_fields.text[p]; }
    void setText(TextProperty p, const QString& value);
    void setGenreFrame();
    QString frameIdOf(TextProperty p) const;
    static void applyFrame(const QString& id, const Entry& entry, Fields& fields);

    std::vector<FrameEntries>& store();
    const std::vector<FrameEntries>& store() const;
    FrameEntries* find(const QString& id);
    const FrameEntries* find(const QString& id) const;
    void addEntry(const QString& id, Entry entry, bool foreign = false);
    void eraseFrame(const QString& id);
    // Removes the user's comments, keeping every other comment frame.
    void eraseUserComments();
    // The fields that a frame's entries give, alone.
    Fields fieldsOfFrame(const QString& id) const;

    void ReadTag();
    void StoreFrame(const QString& id, Entry entry, bool foreign);
    QByteArray BuildFrames(std::uint8_t version) const;
    void WriteTag();

    QString m_sMP3File;
    std::int64_t m_lTagPos = 0; // 1-based position of the version byte of the tag read; 0: none
    std::uint8_t m_bytVersion = 0;
    Fields m_fields;
    std::optional<std::vector<FrameEntries>> m_frames; // none until the first read
};
