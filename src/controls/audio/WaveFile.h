#pragma once
// PCM wave files read and written directly, for the controls that record and
// edit them: the facts of a file's header, reading frames from any place in
// it, and writing a new file whose header sizes can be brought up to date
// while it grows, so that a file cut short still plays up to where it stops.
#include "controls/audio/AudioConverterEngine.h"
#include "controls/audio/AudioDecoder.h"

#include <QString>
#include <cstdint>

namespace wavefile {

using audioconv::Status;
using audiodec::Problem;

// Integer PCM, interleaved; 8-bit samples unsigned, wider ones signed little-endian.
struct Format {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int BytesPerSample() const { return (bitsPerSample + 7) / 8; }
    int BlockAlign() const { return channels * BytesPerSample(); }
    std::int64_t ByteRate() const { return std::int64_t(BlockAlign()) * sampleRate; }
    bool operator==(const Format&) const = default;
};

// The largest data chunk a RIFF file can describe, in whole frames of `format`.
std::int64_t MaxDataBytes(const Format& format);

struct Facts {
    Format format;
    std::int64_t dataOffset = 0; // where the first frame starts
    // The whole frames the file holds: those its header declares, or fewer
    // when the file stops early; a size of 0 or 0xFFFFFFFF (a recording that
    // never finished) counts to the end of the file.
    std::int64_t frames = 0;
    std::int64_t LengthMs() const;
};

// Reads the header of a PCM wave file of 8, 16, 24 or 32 bits, 1 to 8 channels.
Problem ReadFacts(const QString& path, Facts* facts);

// A sample as a signed number on the file's own scale (8-bit: -128..127).
std::int32_t SampleValue(const std::uint8_t* p, int bytesPerSample);

// Reads the frames of one wave file from any thread; each Reader on one thread.
class Reader {
public:
    Reader() = default;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    ~Reader();

    Problem Open(const QString& path);
    const Facts& GetFacts() const { return m_facts; }
    // Reads `count` frames from `first` into `out`; the number read, fewer
    // at the end of the file, -1 when the reading fails.
    std::int64_t Read(std::int64_t first, std::int64_t count, void* out) const;

private:
    int m_fd = -1;
    Facts m_facts;
};

// A new wave file, written to a temporary file beside its destination and
// renamed into place by Commit; dropped otherwise, so an earlier file of that
// name stays as it was until the new one is complete.
class Writer {
public:
    Status Create(const QString& destination, const Format& format);
    // False once a write failed (WriteError tells why).
    bool Append(const void* data, std::int64_t bytes);
    std::int64_t DataBytes() const { return m_dataBytes; }
    // Writes the sizes of what the file holds so far into its header.
    bool PatchSizes();
    Status Commit();
    void Discard() { m_file.Discard(); }
    Status WriteError() const { return m_file.WriteError(); }

private:
    audioconv::OutputFile m_file;
    std::int64_t m_dataBytes = 0;
};

} // namespace wavefile
