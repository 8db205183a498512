#pragma once
// The facts and tags of a plain WAV file read straight from its chunks,
// without FFmpeg: PCM (8, 16, 24 or 32 bits) or float (32 or 64 bits)
// samples, a "fmt " and a "data" chunk held whole, nothing but "fact",
// "JUNK", "PAD " and "LIST" "INFO" chunks besides. Only for files FFmpeg
// reads with its WAV demuxer, where its facts and tags are worked out the
// same way (rate, channels, bits, the length from the data chunk's size, the
// bit rate from the header, each INFO entry under FFmpeg's name for it); for
// any other file nothing, and the caller asks FFmpeg.
#include "controls/audio/AudioDecoder.h"

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace audiodec {

struct PlainWav {
    Facts facts;
    // The INFO entries as FFmpeg names them ("title" for INAM, "date" for
    // ICRD, ...; an entry it has no name for under its own four letters),
    // each name once.
    std::vector<std::pair<QByteArray, QByteArray>> metadata;
    // As Source::Tag: the first non-empty entry of these keys, in any case.
    QString Tag(std::initializer_list<const char*> keys) const;
};

std::optional<PlainWav> ReadPlainWav(const QString& path);
std::optional<Facts> PlainWavFacts(const QString& path);

// Whether FFmpeg's probe gives a file that starts with these bytes (512 at
// least) to its ACT demuxer, though it is a RIFF WAVE file.
bool LooksLikeAct(const QByteArray& head);

} // namespace audiodec
