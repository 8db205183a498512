#pragma once
// The ID3 version 1 tag of one MP3 file: the block of 128 bytes at the end of
// the file. Setting MP3File reads the block into the properties; Update writes
// them back over the block, or appends a new block. Failures raise TagError.
#include <QString>
#include <cstdint>

class cMP3ID3v1 {
public:
    QString MP3File() const { return m_sMP3File; }
    // Stores the path and reads its block; a file that cannot be read raises,
    // leaving the properties empty (genre 255, track 0).
    void SetMP3File(const QString& path);
    // Writes the properties into the file last given. Raises when the file
    // cannot be opened, is too short to be an MP3 file (128 bytes or less),
    // or when any write fails; a failed append leaves the file as it was.
    void Update();
    // Whether the last read found a block; Update does not change it.
    bool HasID3v1Tag() const { return m_bHasID3v1Tag; }

    // Texts hold what was set; they are cut to their field widths (30, 30,
    // 30, 4, 28) and padded with spaces only when written.
    QString Title() const { return m_sTitle; }
    void SetTitle(const QString& value) { m_sTitle = value; }
    QString Artist() const { return m_sArtist; }
    void SetArtist(const QString& value) { m_sArtist = value; }
    QString Album() const { return m_sAlbum; }
    void SetAlbum(const QString& value) { m_sAlbum = value; }
    QString Year() const { return m_sYear; }
    void SetYear(const QString& value) { m_sYear = value; }
    std::uint8_t Track() const { return m_bytTrack; }
    void SetTrack(std::uint8_t value) { m_bytTrack = value; }
    QString Comment() const { return m_sComment; }
    void SetComment(const QString& value) { m_sComment = value; }
    // 255: no genre.
    std::uint8_t Genre() const { return m_bytGenre; }
    void SetGenre(std::uint8_t value) { m_bytGenre = value; }
    // The name of a genre number; empty for a number without one.
    QString GenreName(std::uint8_t Genre) const;

private:
    void ReadTag();
    static QString CleanTagText(const QString& text);
    void WriteTag();

    QString m_sMP3File;
    bool m_bHasID3v1Tag = false;
    QString m_sTitle;
    QString m_sArtist;
    QString m_sAlbum;
    QString m_sYear;
    QString m_sComment;
    std::uint8_t m_bytGenre = 0;
    std::uint8_t m_bytTrack = 0;
};
