#pragma once
// The end of an Ogg file read without FFmpeg: its last page, which holds the
// stream's length as its granule position.
#include <QString>
#include <cstdint>
#include <optional>

namespace audiodec {

// The granule position of the file's last page: a whole, sound page (its
// checksum right) ending the file, of the stream the file starts with, with
// a position set. Nothing for any other file.
std::optional<std::int64_t> OggLastGranule(const QString& path);

} // namespace audiodec
