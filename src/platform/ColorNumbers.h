#pragma once
// Colours as the program stores them: 32-bit numbers 0x00BBGGRR (red in the
// low byte), or 0x800000nn for one of the desktop's own colours.
#include <QColor>
#include <cstdint>

namespace platform {

QColor ColorFromNumber(std::int32_t color);
std::int32_t NumberFromColor(const QColor& color);

} // namespace platform
