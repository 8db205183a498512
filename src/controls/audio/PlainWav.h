#pragma once
// The facts of a plain WAV file read straight from its chunks, without
// FFmpeg: PCM (8, 16, 24 or 32 bits) or float (32 or 64 bits) samples, a
// "fmt " and a "data" chunk held whole, nothing but "fact", "JUNK" or "PAD "
// chunks besides, and so no tags. Only for files FFmpeg reads with its WAV
// demuxer, where its facts are worked out the same way (rate, channels, bits,
// the length from the data chunk's size, the bit rate from the header); for
// any other file nothing, and the caller asks FFmpeg.
#include "controls/audio/AudioDecoder.h"

#include <QString>
#include <optional>

namespace audiodec {

std::optional<Facts> PlainWavFacts(const QString& path);

// Whether FFmpeg's probe gives a file that starts with these bytes (512 at
// least) to its ACT demuxer, though it is a RIFF WAVE file.
bool LooksLikeAct(const QByteArray& head);

} // namespace audiodec
