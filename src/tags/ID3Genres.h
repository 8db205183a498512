#pragma once
// The genre table of the ID3 tags: genre number to display name. Both tag
// classes answer their GenreName from it.
#include <QString>
#include <cstdint>

// Genre number that stands for no genre.
inline constexpr std::uint8_t kNoGenre = 255;

// The name of a genre number; empty for a number without one (123, 148 to 255).
QString ID3GenreName(std::uint8_t genre);
// The genre number a typed genre text stands for: the number whose name
// equals the text, else the first number whose name contains it (both
// case-sensitive); 255 for an empty text or one that no name contains.
std::uint8_t ID3GenreFromText(const QString& text);
