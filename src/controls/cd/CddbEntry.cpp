#include "controls/cd/CddbEntry.h"

#include "platform/TextCodec.h"

#include <algorithm>
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

// A value's bytes with the entry format's escapes \n, \t and \\ undone.
QByteArray Unescaped(const QByteArray& value)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char next = i + 1 < value.size() ? value[i + 1] : '\0';
        if (value[i] == '\\' && (next == 'n' || next == 't' || next == '\\')) {
            out += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

// A value's text; control characters (a line break, a NUL, an escape) become spaces.
QString ValueText(const QByteArray& value, bool utf8)
{
    const QByteArray bytes = Unescaped(value);
    QString text = utf8 ? QString::fromUtf8(bytes) : platform::DecodeWindows1252(bytes);
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
    // The bytes of each key's value, its continued lines joined: a line
    // limit may cut a character in two.
    std::map<QByteArray, QByteArray> values;
    for (QByteArray line : lines) {
        if (line.startsWith("\xef\xbb\xbf")) line.remove(0, 3); // a byte-order mark
        if (line.startsWith('#')) continue;
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) continue;
        values[line.left(equals).trimmed()] += line.mid(equals + 1);
    }
    // One encoding for the whole entry.
    const bool utf8 = std::all_of(values.begin(), values.end(), [](const auto& v) { return v.second.isValidUtf8(); });

    QString discTitle;
    std::map<int, QString> trackTitles;
    for (const auto& [key, value] : values) {
        if (key == "DTITLE") discTitle = ValueText(value, utf8);
        else if (const int index = TrackIndex(key); index >= 0 && index < trackCount)
            trackTitles[index] += ValueText(value, utf8);
    }

    Entry entry;
    // Without " / " the artist is the same as the title.
    if (!SplitAtSlash(discTitle, &entry.artist, &entry.album)) entry.artist = entry.album = discTitle.trimmed();
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
