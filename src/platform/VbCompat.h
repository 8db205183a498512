#pragma once
// Number conventions the program's stored data relies on.
#include <QString>
#include <cstdint>

namespace platform {

inline constexpr int vbTrue = -1;
inline constexpr int vbFalse = 0;
inline int BoolToInt(bool b) { return b ? vbTrue : vbFalse; }

// Whole-number conversion of a real: round half to even.
std::int32_t CLng(double value);
// Text of a real: up to 15 significant digits, no trailing zeros ("37.5").
QString RealToText(double value);
// Pixels of a length in twips (15 twips per pixel), rounded half to even.
int TwipsToPixels(double twips);
int PixelsToTwips(int pixels);

} // namespace platform
