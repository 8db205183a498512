#pragma once
// The grid icon of a track type.
#include <QString>
#include <cstdint>

// "Audio" gives 3, "Data" 4, any other text 0 (exact, case-sensitive).
std::int32_t GetTrackTypeCode(const QString& sType);
