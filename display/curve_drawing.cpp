#include <algorithm>

#include "display/cdtview.h"
#include "display/color_palette.h"
#include "display/curve_raster.h"

QRect CDTView::DrawChannelCurve(int channel, int segment, int colorIndex, QImage& target)
{
    CurveSegment seg;
    if (target.isNull() || !curveSegment(*this, channel, segment, seg))
        return {};
    // Only the plot keeps curve pixels: the full paint covers everything around it,
    // and a segment drawn straight into the shown picture must not stick out either.
    const PixelClip clip{m_rcPlot.left, m_rcPlot.top, m_rcPlot.right, m_rcPlot.bottom};
    PixelCanvas canvas(target);
    const QRgb color = ColorFromIndex(colorIndex).rgb();
    drawSegment(canvas, seg, color, m_bMarkPoints == 1, clip);
    const long long left = std::max<long long>(std::min(seg.xa, seg.xb) - 1, clip.left);
    const long long right = std::min<long long>(std::max(seg.xa, seg.xb) + 1, clip.right);
    const long long top = std::max<long long>(std::min(seg.ya, seg.yb) - 1, clip.top);
    const long long bottom = std::min<long long>(std::max(seg.ya, seg.yb) + 1, clip.bottom);
    if (left > right || top > bottom)
        return {};
    return QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom)));
}
