#include "core/TimeSizeText.h"

#include "platform/VbCompat.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

// Rounds half away from zero at the given decimals, judging halves on the
// value's 15 significant digits (so 1.005 rounds up as written).
double roundHalfAway(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = QString::number(value * scale, 'g', 15).toDouble();
    return std::round(scaled) / scale;
}

// The user's decimal separator, no digit grouping.
QString numberText(double value, int decimals)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

// Two decimals below 10, one below 100, none from there on (rounded half away from zero).
QString shortValueText(double v, bool wholeHalfToEven)
{
    if (v < 10) return numberText(roundHalfAway(v, 2), 2);
    if (v < 100) return numberText(roundHalfAway(v, 1), 1);
    return numberText(wholeHalfToEven ? std::nearbyint(v) : roundHalfAway(v, 0), 0);
}

// A text that reads as a time of day ("1:2:3", "12:30", "1:02:03 PM") in HH:mm:ss form; else unchanged.
QString asTimeOfDay(const QString& text)
{
    static const QRegularExpression timeOfDay(
        R"(^\s*(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?\s*(AM|PM)?\s*$)", QRegularExpression::CaseInsensitiveOption);
    const auto m = timeOfDay.match(text);
    if (!m.hasMatch()) return text;
    int h = m.captured(1).toInt();
    const int min = m.captured(2).toInt();
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    const QString half = m.captured(4).toUpper();
    if (!half.isEmpty()) {
        if (h < 1 || h > 12) return text;
        h = (h % 12) + (half == "PM" ? 12 : 0);
    }
    if (h > 23 || min > 59 || s > 59) return text;
    return QTime(h, min, s).toString("HH:mm:ss");
}

} // namespace

QString FormatSeconds(std::int32_t lSeconds)
{
    const std::int32_t s = std::max<std::int32_t>(lSeconds, 0);
    const std::int32_t hours = s / 3600;
    const std::int32_t minutes = s / 60 - 60 * hours;
    return QString("%1:%2:%3").arg(hours).arg(minutes, 2, 10, QChar('0')).arg(s % 60, 2, 10, QChar('0'));
}

namespace {

// Hours, minutes and seconds of a text of digits and two colons ("01:02:03",
// "125:00:00"); false for any other text.
bool plainTimeFields(const QString& text, std::int64_t fields[3])
{
    int field = 0;
    bool digits = false;
    fields[0] = fields[1] = fields[2] = 0;
    for (const QChar c : text) {
        if (c == ':' && digits && field < 2) {
            ++field;
            digits = false;
        } else if (c >= '0' && c <= '9' && fields[field] < 100000000) {
            fields[field] = fields[field] * 10 + (c.unicode() - '0');
            digits = true;
        } else {
            return false;
        }
    }
    return field == 2 && digits;
}

} // namespace

std::int32_t TimeToSeconds(const QString& sTime)
{
    // The common case, the list's own "Time" cells, without the general reading below.
    std::int64_t plain[3];
    if (plainTimeFields(sTime, plain)) return platform::CLng(double(plain[0] * 3600 + plain[1] * 60 + plain[2]));
    const QStringList fields = asTimeOfDay(sTime).split(':');
    if (fields.size() < 3) return 0;
    double total = 0;
    const double weights[3] = {3600, 60, 1};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const double v = fields[i].trimmed().toDouble(&ok);
        if (!ok) return 0;
        total += v * weights[i];
    }
    return platform::CLng(total);
}

QString FormatBytesShort(double curBytes)
{
    if (curBytes < 0) return {};
    if (curBytes == 0) return "0";
    int unit = 0;
    double v = curBytes;
    while (v >= 1000) {
        v /= 1024;
        ++unit;
    }
    const QString number = shortValueText(v, false);
    static const char* const suffixes[] = {"", " KB", " MB", " GB", " TB"};
    if (unit <= 4) return number + suffixes[unit];
    return number + " x10^" + QString::number(3 * unit) + " bytes";
}

QString FormatFileSize(double dblBytes)
{
    if (dblBytes <= 999) return numberText(roundHalfAway(dblBytes, 0), 0) + " bytes";
    static const char* const suffixes[] = {"", " KB", " MB", " GB", " TB", " PB", " EB", " ZB", " YB"};
    int unit = 1;
    while (unit < 8 && dblBytes > 999 * std::pow(1024.0, unit)) ++unit;
    return shortValueText(dblBytes / std::pow(1024.0, unit), true) + suffixes[unit];
}

QString TimeOfDayText(const QTime& time)
{
    static const QRegularExpression zone(R"(\s*\bt+\b)");
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(zone);
    return QLocale().toString(time, format.trimmed());
}
