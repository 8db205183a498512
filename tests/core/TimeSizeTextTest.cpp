#include "core/TimeSizeText.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(TimeSizeText, FormatSeconds)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0:00:00"},         {1, "0:00:01"},          {59, "0:00:59"},       {60, "0:01:00"},
        {3723, "1:02:03"},      {86399, "23:59:59"},     {86400, "24:00:00"},   {360000, "100:00:00"},
        {-5, "0:00:00"},        {2147483647, "596523:14:07"},
    };
    for (auto [seconds, text] : cases) EXPECT_EQ(FormatSeconds(seconds), text) << seconds;
}

TEST(TimeSizeText, TimeToSeconds)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        {"", 0},
        {"0:00:00", 0},
        {"1:02:03", 3723},
        {"01:02:03", 3723},
        {"25:00:00", 90000},
        {"100:00:00", 360000},
        {"23:59:59", 86399},
        {"12:30", 45000},        // a time of day: 12:30:00
        {"1:02:03 PM", 46923},   // 13:02:03
        {"12:00:00 AM", 0},
        {"1:02", 3720},          // 01:02:00
        {"5", 0},                // fewer than three fields
        {"1:xx:03", 0},          // a field that is not a number
        {"0:00:02.5", 2},        // rounded half to even
        {"0:00:03.5", 4},
        {"1:2:3:4", 3723},       // only the first three fields count
        {"0:90:00", 5400},       // not a time of day: taken as it stands
        {" 01:02:03 ", 3723},    // blanks around
        {"1:2:", 0},             // an empty field
        {":1:2", 0},
        {"99999999999:00:00", std::numeric_limits<std::int32_t>::max()}, // beyond 32 bits
    };
    for (auto [text, seconds] : cases) EXPECT_EQ(TimeToSeconds(text), seconds) << text;
}

TEST(TimeSizeText, FormatSecondsReadsBack)
{
    for (std::int32_t s : {0, 1, 3599, 3600, 86399, 86400, 90000, 360000}) EXPECT_EQ(TimeToSeconds(FormatSeconds(s)), s);
}

TEST(TimeSizeText, FormatBytesShort)
{
    const std::pair<double, const char*> cases[] = {
        {-1, ""},
        {0, "0"},
        {1, "1.00"},
        {9.994, "9.99"},
        {9.995, "10.00"},       // two decimals: the unit's value decided them, rounding half away from zero
        {99.95, "100.0"},
        {999, "999"},
        {998.5, "999"},         // half away from zero
        {1000, "0.98 KB"},
        {1023, "1.00 KB"},
        {1024, "1.00 KB"},
        {10240, "10.0 KB"},
        {102400, "100 KB"},
        {1023487, "999 KB"},
        {1023590, "1000 KB"},   // 999.6 rounds to 1000 and keeps its unit
        {1048576, "1.00 MB"},
        {1073741824.0, "1.00 GB"},
        {1099511627776.0, "1.00 TB"},
        {1125899906842624.0, "1.00 x10^15 bytes"},
        {3.0 * 1125899906842624.0 * 1024, "3.00 x10^18 bytes"},
    };
    for (auto [bytes, text] : cases) EXPECT_EQ(FormatBytesShort(bytes), text) << bytes;
}

TEST(TimeSizeText, FormatFileSize)
{
    const double KB = 1024, MB = KB * 1024, GB = MB * 1024, TB = GB * 1024, PB = TB * 1024, EB = PB * 1024,
                 ZB = EB * 1024, YB = ZB * 1024;
    const std::pair<double, const char*> cases[] = {
        {-5, "-5 bytes"},
        {0, "0 bytes"},
        {998.5, "999 bytes"},
        {999, "999 bytes"},
        {1000, "0.98 KB"},
        {1023, "1.00 KB"},
        {1536, "1.50 KB"},
        {10 * KB, "10.0 KB"},
        {100.5 * KB, "100 KB"},  // whole numbers round half to even
        {101.5 * KB, "102 KB"},
        {999 * KB, "999 KB"},
        {999 * KB + 1, "0.98 MB"},
        {5 * MB, "5.00 MB"},
        {2 * GB, "2.00 GB"},
        {3 * TB, "3.00 TB"},
        {4 * PB, "4.00 PB"},
        {5 * EB, "5.00 EB"},
        {6 * ZB, "6.00 ZB"},
        {1000 * ZB, "0.98 YB"},
        {2000 * YB, "2000 YB"},
    };
    for (auto [bytes, text] : cases) EXPECT_EQ(FormatFileSize(bytes), text) << bytes;
}

TEST(TimeSizeText, DecimalSeparatorFollowsTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatBytesShort(1536), "1,50 KB");
    EXPECT_EQ(FormatFileSize(1536), "1,50 KB");
    EXPECT_EQ(FormatBytesShort(1023590), "1000 KB") << "no digit grouping";
    QLocale::setDefault(QLocale::c());
}

TEST(TimeSizeText, TimeOfDayTextHasSeconds)
{
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(TimeOfDayText(QTime(9, 5, 7)), "09:05:07");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(TimeOfDayText(QTime(21, 5, 7)).contains("9:05:07")) << TimeOfDayText(QTime(21, 5, 7)).toStdString();
    QLocale::setDefault(QLocale::c());
}

} // namespace
