#pragma once
// The parts of the CDDB protocol that need no connection: the disc id and
// query line worked out from a table of contents, and the reading of an xmcd
// entry as a server sends it. Entries come from anywhere: any byte may stand
// in them. The lines of a value are joined before they are decoded, and the
// whole entry is read as UTF-8 when all of it is valid UTF-8 and as
// Windows-1252 otherwise.
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

namespace cddbquery {

// What an entry gives of the disc: artist and album from DTITLE, and one
// title for each track of the disc.
struct Entry {
    struct Track {
        int number = 0; // from 1
        QString artist, title;
    };
    QString artist, album;
    std::vector<Track> tracks;
};

// The start of every track and the lead-out, counted in frames (1/75 s) from
// the disc's very start, 150 frames before sector 0.
struct DiscFrames {
    std::vector<std::int32_t> tracks;
    std::int32_t leadout = 0;
};

std::uint32_t DiscId(const DiscFrames& disc);
// "cddb query 12000b04 4 150 375 675 825 13"
QByteArray QueryCommand(const DiscFrames& disc);

// The entry of a disc with `trackCount` tracks from the lines of a "cddb read"
// answer between its status line and the closing ".". A DTITLE without " / "
// gives the same text as artist and album. A track title "A / B" is split
// into artist and title only when the disc's artist names various artists;
// otherwise a track's artist is the disc's.
Entry ParseEntry(const QList<QByteArray>& lines, int trackCount);

} // namespace cddbquery
