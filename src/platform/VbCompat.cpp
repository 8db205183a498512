#include "platform/VbCompat.h"

#include <cmath>
#include <limits>

namespace platform {

std::int32_t CLng(double value)
{
    double r = std::nearbyint(value); // the default rounding mode rounds half to even
    if (std::isnan(r)) return 0;
    if (r > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (r < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(r);
}

QString RealToText(double value)
{
    if (value == 0) return "0";
    QString s = QString::number(value, 'g', 15);
    if (s.contains('e')) {
        // Keep plain notation where it fits in 15 significant digits.
        QString fixed = QString::number(value, 'f', 15);
        if (fixed.contains('.')) {
            while (fixed.endsWith('0')) fixed.chop(1);
            if (fixed.endsWith('.')) fixed.chop(1);
        }
        if (std::abs(value) >= 1e-5 && std::abs(value) < 1e15) return fixed;
        s = s.toUpper();
    }
    return s;
}

int TwipsToPixels(double twips) { return CLng(twips / 15.0); }
int PixelsToTwips(int pixels) { return pixels * 15; }

} // namespace platform
