#pragma once
// The genre table of the ID3 tags: genre number to display name. Both tag
// classes answer their GenreName from it.
#include <QString>
#include <cstdint>

// Genre number that stands for no genre.
inline constexpr std::uint8_t kNoGenre = 255;

// The name of a genre number; empty for a number without one (123, 148 to 255).
QString ID3GenreName(std::uint8_t genre);
