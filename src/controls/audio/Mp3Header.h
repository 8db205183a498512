#pragma once
// The start of a plain MPEG Layer III file read without FFmpeg's probe: an
// optional ID3v2 tag, then at once a run of frames (the run FFmpeg's probe
// takes for MP3 ahead of any other format). For any other
// file nothing, and the caller leaves the file to FFmpeg's full analysis.
#include "controls/audio/HeaderInput.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace audiodec {

// One Layer III frame header.
struct Mp3Frame {
    int sampleRate = 0;
    int channels = 0;
    int bitRate = 0;   // bits per second
    int size = 0;      // bytes, header included
    std::uint32_t header = 0;
};

// The frame that a 32-bit big-endian header describes, when it is a valid
// Layer III header with a bit rate (not free format).
std::optional<Mp3Frame> DecodeMp3Header(std::uint32_t header);

// The samples a decoder must decode before a place in a Layer III stream of
// this rate and channel count to give there what it gives decoding from the
// file's start: a frame's data may begin up to 511 bytes (255 below 32 kHz)
// back, in the frames before it, which at the lowest bit rate hold little each.
std::int64_t Mp3DecoderPreroll(int sampleRate, int channels);

struct Mp3Start {
    std::int64_t firstFrame = 0; // offset of the first frame, just after the ID3v2 tag
    // The bodies of the tag's pictures (APIC frames), where the tag is plain
    // enough to find them: nothing of the facts or the text tags lies there.
    std::vector<ByteRange> pictures;
};

std::optional<Mp3Start> PlainMp3Start(const QString& path);

// The frames from `offset` on, as far as the next 16 KB of the file shows them.
struct Mp3Run {
    std::optional<Mp3Frame> first; // nothing when `offset` holds no frame
    bool steadyBitRate = false;    // every frame seen has the first one's bit rate
};
Mp3Run ReadMp3Run(const QString& path, std::int64_t offset);

} // namespace audiodec
