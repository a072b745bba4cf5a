#pragma once
// The 15-colour palette that the settings file, the colour dialog and the frame
// index into for the plot background, the curves and the grid.
#include <QColor>
#include <array>
#include <cstdint>

using ColourIndex = std::uint8_t;

struct PaletteEntry {
    const char* name;
    std::uint8_t red, green, blue;
};

// Position in this table is the colour index; the colour dialog's combo boxes list
// the same names in the same order.
inline constexpr std::array<PaletteEntry, 15> kColorTable{{
    {"Red", 255, 0, 0},
    {"Green", 0, 255, 0},
    {"Blue", 0, 0, 255},
    {"Yellow", 255, 255, 0},
    {"Magenta", 255, 0, 255},
    {"Cyan", 0, 255, 255},
    {"Dark Red", 128, 0, 0},
    {"Dark Green", 0, 128, 0},
    {"Dark Blue", 0, 0, 128},
    {"Dark Yellow", 128, 128, 0},
    {"Dark Magenta", 128, 0, 128},
    {"Dark Cyan", 0, 128, 128},
    {"White", 255, 255, 255},
    {"Black", 0, 0, 0},
    {"Grey", 200, 200, 200},
}};

// A colour as a packed 0x00BBGGRR value (red in the low byte).
using ColorRef = std::uint32_t;

// The palette colour of an index; only the low byte is looked at. An index above
// 14 (an unset combo box stores 255) is returned unchanged and so reads as a
// packed colour of its own: 255 gives pure red.
ColorRef colorRefFromIndex(int index);

inline QColor qColorFromRef(ColorRef c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
