#include "platform/ColorNumbers.h"

#include <QApplication>
#include <QPalette>

namespace platform {

namespace {

QColor systemColor(int index)
{
    const QPalette pal = QApplication::palette();
    switch (index) {
    case 0x05: return pal.color(QPalette::Base);            // window background
    case 0x08: return pal.color(QPalette::Text);            // window text
    case 0x0D: return pal.color(QPalette::Highlight);
    case 0x0E: return pal.color(QPalette::HighlightedText);
    case 0x0F: return pal.color(QPalette::Button);          // button face
    case 0x10: return pal.color(QPalette::Dark);            // button shadow
    case 0x11: return pal.color(QPalette::PlaceholderText); // grey text
    case 0x12: return pal.color(QPalette::ButtonText);
    case 0x14: return pal.color(QPalette::Light);           // button highlight
    default: return pal.color(QPalette::Window);
    }
}

} // namespace

QColor ColorFromNumber(std::int32_t color)
{
    const auto bits = static_cast<std::uint32_t>(color);
    if (bits & 0x80000000u) return systemColor(int(bits & 0xFF));
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

std::int32_t NumberFromColor(const QColor& color)
{
    return std::int32_t(std::uint32_t(color.red()) | (std::uint32_t(color.green()) << 8) |
                        (std::uint32_t(color.blue()) << 16));
}

} // namespace platform
