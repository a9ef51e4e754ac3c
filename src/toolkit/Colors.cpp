#include "toolkit/Colors.h"

#include <array>

namespace {

constexpr std::array<TColor, 21> kClassicSystemColors = {
    0xC0C0C0,  // scroll bar
    0x808000,  // desktop background
    0x800000,  // active caption
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application workspace
    0x800000,  // highlight
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
};

}  // namespace

TColor ColorToRGB(TColor color) {
    if (color < 0) {
        const unsigned index = static_cast<unsigned>(color) & 0xFFu;
        return index < kClassicSystemColors.size() ? kClassicSystemColors[index] : clBlack;
    }
    return color & 0xFFFFFF;
}

QColor ColorToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor QColorToColor(const QColor& color) {
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}
