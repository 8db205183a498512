#include "controls/cd/CddbEntry.h"

#include "platform/TextCodec.h"

#include <map>

namespace cddbquery {

namespace {

constexpr std::int32_t kFramesPerSecond = 75;

int DigitSum(std::int32_t n)
{
    int sum = 0;
    for (; n > 0; n /= 10) sum += n % 10;
    return sum;
}

// One line's text; control characters (a NUL, an escape) become spaces.
QString LineText(const QByteArray& bytes)
{
    QString text = platform::DecodeText(bytes);
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control) c = QChar(' ');
    return text;
}

// "Artist / Title" split at the first " / "; false when the text holds none.
bool SplitAtSlash(const QString& text, QString* artist, QString* title)
{
    const qsizetype at = text.indexOf(" / ");
    if (at < 0) return false;
    *artist = text.left(at).trimmed();
    *title = text.mid(at + 3).trimmed();
    return true;
}

bool NamesVariousArtists(const QString& artist)
{
    const QString a = artist.simplified();
    return a.compare("Various", Qt::CaseInsensitive) == 0 || a.compare("Various Artists", Qt::CaseInsensitive) == 0;
}

// The track index of a "TTITLEn" key; -1 for any other key.
int TrackIndex(const QByteArray& key)
{
    if (!key.startsWith("TTITLE") || key.size() == 6 || key.size() > 9) return -1;
    int index = 0;
    for (char c : key.mid(6)) {
        if (c < '0' || c > '9') return -1;
        index = index * 10 + (c - '0');
    }
    return index;
}

} // namespace

std::uint32_t DiscId(const DiscFrames& disc)
{
    if (disc.tracks.empty()) return 0;
    int digits = 0;
    for (std::int32_t frames : disc.tracks) digits += DigitSum(frames / kFramesPerSecond);
    const std::int32_t seconds = disc.leadout / kFramesPerSecond - disc.tracks.front() / kFramesPerSecond;
    return std::uint32_t(digits % 255) << 24 | std::uint32_t(seconds & 0xffff) << 8 |
           std::uint32_t(disc.tracks.size() & 0xff);
}

QByteArray QueryCommand(const DiscFrames& disc)
{
    QByteArray line = "cddb query " + QByteArray::number(DiscId(disc), 16).rightJustified(8, '0') + ' ' +
                      QByteArray::number(qsizetype(disc.tracks.size()));
    for (std::int32_t frames : disc.tracks) line += ' ' + QByteArray::number(frames);
    return line + ' ' + QByteArray::number(disc.leadout / kFramesPerSecond);
}

Entry ParseEntry(const QList<QByteArray>& lines, int trackCount)
{
    // Repeated keys continue the value; each line is decoded on its own.
    QString discTitle;
    std::map<int, QString> trackTitles;
    for (const QByteArray& line : lines) {
        if (line.startsWith('#')) continue;
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) continue;
        const QByteArray key = line.left(equals).trimmed();
        const QString value = LineText(line.mid(equals + 1));
        if (key == "DTITLE") {
            discTitle += value;
        } else if (const int index = TrackIndex(key); index >= 0 && index < trackCount) {
            trackTitles[index] += value;
        }
    }

    Entry entry;
    // Without " / " the whole text is the album.
    if (!SplitAtSlash(discTitle, &entry.artist, &entry.album)) entry.album = discTitle.trimmed();
    const bool various = NamesVariousArtists(entry.artist);
    for (int i = 0; i < trackCount; ++i) {
        const QString text = trackTitles[i].trimmed();
        Entry::Track track{i + 1, entry.artist, text};
        if (various) SplitAtSlash(text, &track.artist, &track.title);
        entry.tracks.push_back(track);
    }
    return entry;
}

} // namespace cddbquery
