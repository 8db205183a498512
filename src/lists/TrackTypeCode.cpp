#include "lists/TrackTypeCode.h"

std::int32_t GetTrackTypeCode(const QString& sType)
{
    if (sType == QLatin1String("Audio")) return 3;
    if (sType == QLatin1String("Data")) return 4;
    return 0;
}
