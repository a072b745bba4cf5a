#include "display/zoom_math.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "display/frame_state.h"
#include "display/mode_rules.h"
#include "display/plot_scale.h"
#include "display/point_time.h"
#include "document/cdtdoc.h"
#include "platform/printf_number.h"
#include "platform/truncation.h"

namespace zoom {

namespace {

using modes::Mode;

QString valueText(Mode mode, float value, const QString& unit)
{
    const bool whole = mode == Mode::StoreTr || mode == Mode::Epa || mode == Mode::RtPowerS;
    QString text = cnum::fixed(value, whole ? 0 : 1) + unit;
    // A reading that shows as zero is below the range; raw samples are shown as they are.
    if (mode != Mode::StoreTr && mode != Mode::Epa && cnum::readsAsZero(text))
        text = QStringLiteral("LO");
    if (mode == Mode::RtFreq) {
        if (value >= 400.0f)
            text = QStringLiteral("OL");
        else if (value <= 40.0f)
            text = QStringLiteral("LO");
    }
    return text;
}

} // namespace

void clampToPlot(const PlotRect& rc, int& x, int& y)
{
    x = std::max(rc.left, std::min(x, std::max(rc.left, rc.right)));
    y = std::max(rc.top, std::min(y, std::max(rc.top, rc.bottom)));
}

void rebaseZoom(ViewState& view)
{
    for (float(*ticks)[11] : {view.g_fTicks1, view.g_fTicks2}) {
        for (int k = 0; k <= 10; ++k) {
            ticks[2][k] = ticks[0][k];
            ticks[0][k] = ticks[1][k];
        }
    }
    const long long end = std::min<long long>(view.m_nLastPoint, view.plotCacheCapacity());
    double* xs = view.m_pPlotPixels.data();
    for (long long p = std::max(0, view.m_nFirstPoint - 1); p < end; ++p) {
        for (int ch = 0; ch < 2; ++ch) {
            double& base = xs[cacheIndex(p, ch, 0)];
            xs[cacheIndex(p, ch, 2)] = base;
            base = xs[cacheIndex(p, ch, 1)];
        }
    }
}

bool releaseZoom(ViewState& view, int x, int y, bool dragInProgress)
{
    if (!dragInProgress || view.g_bZoomBlocked || std::abs(x - view.g_dBoxLeft) <= 3.0)
        return false;
    view.g_dBoxRight = x;
    view.g_dBoxBottom = y;
    if (view.g_nZoomLevel == 1)
        rebaseZoom(view);
    if (view.g_dBoxRight < view.g_dBoxLeft)
        std::swap(view.g_dBoxLeft, view.g_dBoxRight);
    if (view.g_dBoxBottom < view.g_dBoxTop)
        std::swap(view.g_dBoxTop, view.g_dBoxBottom);

    const PlotRect& rc = view.m_rcPlot;
    const double w = rc.width(), h = rc.height();
    bool accept = w > 0 && h > 0;
    if (accept) {
        // One division of the zoomed CH1 axis must span at least 0.1.
        const double t0 = view.g_fTicks1[0][0];
        const double span = double(view.g_fTicks1[0][10]) - t0;
        const auto value = [&](double py) { return t0 + span * (rc.bottom - py) / h; };
        const double boxHeight = view.g_dBoxBottom - view.g_dBoxTop;
        const float division = static_cast<float>(value(view.g_dBoxBottom - 0.1 * boxHeight)
                                                  - value(view.g_dBoxBottom));
        accept = division >= 0.1f;
    }
    if (accept) {
        // At least two points must stay inside the plot.
        const int f = view.m_nFirstPoint;
        const bool spaced =
            f >= 1 && view.m_nLastPoint - f + 1 >= 2 && view.plotCacheCapacity() > f;
        const double dx = spaced ? view.m_pPlotPixels[cacheIndex(f, 0, 0)]
                                       - view.m_pPlotPixels[cacheIndex(f - 1, 0, 0)]
                                 : 0.0;
        accept = dx * w / (view.g_dBoxRight - view.g_dBoxLeft) < w;
    }
    if (!accept) {
        view.m_bZoomPending = 0;
        return false;
    }
    view.g_nZoomLevel = 1;
    view.m_nVOffset1[1] = 0;
    view.m_nVOffset2[1] = 0;
    view.m_bZoomPending = 1;
    view.g_bFullView = 0;
    view.g_bZoomScrollSet = 0;
    view.g_bZoomBlocked = 1;
    return true;
}

int nearestPointIndex(const ViewState& view, int x, int previous)
{
    const int f = view.m_nFirstPoint;
    const int last = view.m_nLastPoint;
    long long i = previous;
    double x0 = 0, dx = 0;
    if (last >= 2 && windowSpacing(view, x0, dx)) {
        // Points are drawn evenly from x0, shifted by the scroll offset; the point on
        // the left of x and the next one are the candidates.
        const double q = std::floor((x - x0) / dx);
        const double left = x0 + dx * q;
        i = truncSaturated(q + f - 1 - view.m_nScrollOffset);
        if (x - left > left + dx - x)
            ++i;
    }
    if (i >= last)
        i = last - 1;
    if (i < f)
        i = f - 1;
    return clampToInt(i);
}

std::optional<QString> readoutLine(const ViewState& view, const FrameState& frame,
                                   const CDTDoc& doc, int index)
{
    // The read-out shows the mode whose values the graph draws.
    const std::optional<Mode> active = modes::activeMode(frame);
    if (!active || (!view.m_bShowCh1 && !view.m_bShowCh2))
        return std::nullopt;
    const Mode mode = *active;
    const int number = mode == Mode::StoreTr ? index - view.m_nFirstPoint + 2 : index + 1;
    const QString head = QStringLiteral("Data Point No.:") + QString::number(number)
                         + QStringLiteral("  Time:")
                         + pointIndexToTimeText(view, frame, doc, index);
    QString texts[2];
    const std::uint8_t shown[2] = {view.m_bShowCh1, view.m_bShowCh2};
    const QString* units[2] = {&view.m_strUnit1, &view.m_strUnit2};
    for (int ch = 0; ch < 2; ++ch) {
        if (mode == Mode::RtPowerS ? ch != 0 : !shown[ch])
            continue;
        const ChannelSeries series = channelSeries(doc, frame, ch);
        if (!series.has(index))
            return std::nullopt;
        texts[ch] = valueText(mode, series.at(static_cast<std::size_t>(index)), *units[ch]);
    }
    if (mode == Mode::RtPowerS)
        return head + QStringLiteral("   S(VA): ") + texts[0];
    QString line = head;
    if (shown[0])
        line += QStringLiteral("   CH1: ") + texts[0];
    if (shown[1])
        line += QStringLiteral("   CH2: ") + texts[1];
    return line;
}

bool insideDragZone(const PlotRect& rc, int clientWidth, int clientHeight, int x, int y)
{
    // The zone reaches past the plot into the margins; where the client area ends
    // before that, its edge is the limit.
    const int right = clientWidth - 20 > rc.right ? clientWidth - 20 : clientWidth;
    const int bottom = clientHeight > rc.bottom + 20 ? rc.bottom + 20 : clientHeight;
    return rc.left - 50 < x && x < right && rc.top - 3 < y && y < bottom;
}

int timeScrollPage(const ViewState& view)
{
    double x0 = 0, dx = 0;
    if (!windowSpacing(view, x0, dx))
        return 1;
    return truncSaturated(std::trunc((view.m_rcPlot.width() + 120) / dx) + 1.0);
}

int timeTrackPosition(const ViewState& view, int trackPos, int pointerX)
{
    const long long n = static_cast<long long>(view.m_nLastPoint) - view.m_nFirstPoint + 1;
    if (n <= 0x7fff)
        return trackPos;
    const PlotRect& rc = view.m_rcPlot;
    const int d = pointerX - rc.left;
    if (d < 30)
        return 0;
    if (pointerX > rc.right - 30 || rc.width() <= 60)
        return clampToInt(n);
    return truncSaturated(double(d - 30) / (rc.width() - 60) * double(n));
}

void scrollTime(ViewState& view, int code, int track)
{
    // Positions run over the window's points, 0 .. n, whatever number the first
    // point of the window has.
    const long long n = static_cast<long long>(view.m_nLastPoint) - view.m_nFirstPoint + 1;
    const long long first = view.m_nZoomFirst;
    long long offset = view.m_nScrollOffset;
    const long long p = first - offset + 1;
    const long long page = timeScrollPage(view);
    switch (code) {
    case kLineUp:
        if (p > 0)
            ++offset;
        break;
    case kLineDown:
        if (p < n)
            --offset;
        break;
    case kPageUp:
        offset = p > page ? offset + page : first + 1;
        break;
    case kPageDown:
        offset = p < n - page ? offset - page : first - n + 1;
        break;
    case kThumbTrack:
        offset = first - track + 1;
        break;
    default:
        break;
    }
    view.m_nScrollOffset = clampToInt(offset);
    view.m_siTime.nPos = clampToInt(first - view.m_nScrollOffset + 1);
}

int scrollValue(ViewState& view, int channel, int code, int track)
{
    const int level = std::clamp<int>(view.g_nZoomLevel, 0, 99);
    int& offset = channel == 0 ? view.m_nVOffset1[level] : view.m_nVOffset2[level];
    const int half = view.m_rcPlot.height() / 2;
    switch (code) {
    case kLineUp:
        if (offset > -half)
            --offset;
        break;
    case kLineDown:
        if (offset < half)
            ++offset;
        break;
    case kPageUp:
        offset = -half;
        break;
    case kPageDown:
        offset = half;
        break;
    case kThumbTrack:
        offset = track;
        break;
    default:
        break;
    }
    return offset;
}

} // namespace zoom
