#pragma once
// Generated BIN/CUE disc images: the CD drives of the tests. The BIN holds
// raw 2352-byte sectors: audio as 16-bit little-endian stereo at 44.1 kHz
// (a different tone per track), data tracks as MODE1/2352 sectors.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace support {

struct CdImageTrack {
    double seconds = 2;     // rounded to whole sectors (1/75 s)
    double frequency = 440; // left channel; the right one sounds a fifth higher
    bool data = false;      // a MODE1/2352 data track
};

struct CdImage {
    struct Track {
        int number = 0;
        bool audio = true;
        std::int64_t firstSector = 0;
        std::int64_t sectors = 0;
    };
    QString cue, bin;
    std::vector<Track> tracks;

    // Bytes of a track as the BIN holds them (audio: its PCM), from a sector
    // of the track on; a count below 0 runs to the end of the track.
    QByteArray TrackBytes(int number, std::int64_t fromSector = 0, std::int64_t count = -1) const;
    // Cuts the BIN off inside the disc: this sector and all after it cannot be read.
    void TruncateAt(std::int64_t sector) const;
};

// Writes name.bin and name.cue into the folder.
CdImage WriteCdImage(const QString& folder, const QString& name, const std::vector<CdImageTrack>& tracks);

// The tests' disc: three audio tracks of 3, 4 and 2 seconds at 440, 660 and
// 990 Hz, then a data track of 2 seconds.
CdImage WriteTestDisc(const QString& folder, const QString& name = "disc");

} // namespace support
