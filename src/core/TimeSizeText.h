#pragma once
// Times and byte counts written as text, and time texts read back.
#include <QString>
#include <QTime>
#include <cstdint>

// H:MM:SS, the hours unpadded (0 gives 0:00:00, 100 hours 100:00:00); a negative count counts as 0.
QString FormatSeconds(std::int32_t lSeconds);
// Seconds of an H:MM:SS text (a time of day such as 1:02 PM counts too);
// 0 for fewer than three fields or a field that is not a number.
std::int32_t TimeToSeconds(const QString& sTime);
// Short size text for totals: "0", a bare number below 1000 bytes, else
// " KB", " MB", " GB", " TB"; empty for a negative count.
QString FormatBytesShort(double curBytes);
// Size text for one file: "999 bytes", "1.00 KB" ... " YB".
QString FormatFileSize(double dblBytes);

// A time of day in the user's time format, with seconds.
QString TimeOfDayText(const QTime& time);
