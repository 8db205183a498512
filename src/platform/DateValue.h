#pragma once
// The program's date type: a calendar date and time of day to whole seconds,
// in local time. The zero date stands for a time that could not be read.
#include <QDate>
#include <QDateTime>
#include <QTime>

namespace platform {

inline const QDateTime kZeroDate{QDate(1899, 12, 30), QTime(0, 0, 0)};

// The date and time cut to whole seconds, in local time.
inline QDateTime ToDateValue(const QDateTime& t)
{
    QDateTime local = t.toLocalTime();
    return local.addMSecs(-local.time().msec());
}

} // namespace platform
