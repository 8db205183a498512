#include "tags/cMP3ID3v1.h"

#include "tags/ID3Genres.h"
#include "tags/TagError.h"
#include "tags/TagFile.h"

namespace {

constexpr std::int64_t kBlockSize = 128;

// The block's text fields, in order: offset and width.
struct Field {
    int offset;
    int width;
};
constexpr Field kTitle{3, 30}, kArtist{33, 30}, kAlbum{63, 30}, kYear{93, 4}, kComment{97, 28};

QString source() { return TagErrorSource("cMP3ID3v1"); }

// Texts are one byte a character, in ISO-8859-1; a character outside it is
// written as "?".
QByteArray fieldBytes(const QString& text, int width)
{
    QByteArray bytes(width, ' ');
    for (int i = 0; i < width && i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        bytes[i] = c <= 0xFF ? char(c) : '?';
    }
    return bytes;
}

QString fieldText(const QByteArray& block, const Field& f) { return QString::fromLatin1(block.mid(f.offset, f.width)); }

} // namespace

QString cMP3ID3v1::GenreName(std::uint8_t Genre) const { return ID3GenreName(Genre); }

void cMP3ID3v1::SetMP3File(const QString& path)
{
    m_sMP3File = path;
    ReadTag();
}

void cMP3ID3v1::Update() { WriteTag(); }

QString cMP3ID3v1::CleanTagText(const QString& text)
{
    QString out = text;
    out.remove(QChar(0));
    qsizetype first = 0, last = out.size();
    while (first < last && out.at(first) == ' ') ++first;
    while (last > first && out.at(last - 1) == ' ') --last;
    return out.mid(first, last - first);
}

void cMP3ID3v1::ReadTag()
{
    m_bHasID3v1Tag = false;
    m_sTitle.clear();
    m_sArtist.clear();
    m_sAlbum.clear();
    m_sYear.clear();
    m_sComment.clear();
    m_bytGenre = kNoGenre;
    m_bytTrack = 0;

    TagFile file(source());
    file.OpenRead(m_sMP3File);
    const std::int64_t size = file.Size();
    if (size <= kBlockSize) return;
    const QByteArray block = file.ReadAt(size - kBlockSize, kBlockSize);
    if (!block.startsWith("TAG")) return;
    m_bHasID3v1Tag = true;
    m_sTitle = CleanTagText(fieldText(block, kTitle));
    m_sArtist = CleanTagText(fieldText(block, kArtist));
    m_sAlbum = CleanTagText(fieldText(block, kAlbum));
    m_sYear = CleanTagText(fieldText(block, kYear));
    m_sComment = CleanTagText(fieldText(block, kComment));
    m_bytTrack = std::uint8_t(block[126]);
    m_bytGenre = std::uint8_t(block[127]);
    file.Close();
}

void cMP3ID3v1::WriteTag()
{
    TagFile file(source());
    file.OpenReadWrite(m_sMP3File, true);
    const std::int64_t size = file.Size();
    if (size <= kBlockSize) RaiseNotMP3(m_sMP3File, source());

    QByteArray fields = fieldBytes(m_sTitle, kTitle.width) + fieldBytes(m_sArtist, kArtist.width) +
                        fieldBytes(m_sAlbum, kAlbum.width) + fieldBytes(m_sYear, kYear.width) +
                        fieldBytes(m_sComment, kComment.width);
    fields.append('\0').append(char(m_bytTrack)).append(char(m_bytGenre));

    if (file.ReadAt(size - kBlockSize, 3) == "TAG") {
        file.WriteAt(size - kBlockSize + 3, fields);
    } else {
        try {
            file.WriteAt(size, "TAG" + fields);
        } catch (const TagError&) {
            // Whatever part of the block got written goes again.
            try {
                file.Truncate(size);
            } catch (const TagError&) {
            }
            throw;
        }
    }
    file.Close();
}
