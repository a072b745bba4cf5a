#include "display/color_palette.h"

#include "display/cdtview.h"

ColorRef colorRefFromIndex(int index)
{
    const unsigned low = static_cast<unsigned>(index) & 0xFFu;
    if (low >= kColorTable.size())
        return static_cast<ColorRef>(index);
    const PaletteEntry& e = kColorTable[low];
    return ColorRef(e.red) | (ColorRef(e.green) << 8) | (ColorRef(e.blue) << 16);
}

QColor CDTView::ColorFromIndex(int index)
{
    return qColorFromRef(colorRefFromIndex(index));
}
