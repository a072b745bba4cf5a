#include <QScrollBar>
#include <cmath>

#include "display/frame_state.h"
#include "display/cdtview.h"
#include "display/mode_rules.h"
#include "display/plot_scale.h"
#include "document/cdtdoc.h"
#include "platform/truncation.h"

namespace {

QRect toQRect(const PlotRect& r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

// Range, page and position of a scroll bar from its scroll information: with a page
// of p the last position is max - p + 1.
void applyScrollInfo(QScrollBar* bar, const ScrollInfo& si)
{
    if (!bar)
        return;
    const int page = std::max(1, static_cast<int>(si.nPage));
    bar->setRange(si.nMin, std::max(si.nMin, si.nMax - page + 1));
    bar->setPageStep(page);
    bar->setValue(si.nPos);
}

} // namespace

void CDTView::PreparePlotPoints()
{
    if (!m_pDocument || !m_pFrame)
        return;
    preparePlotPoints(*this, *m_pDocument, *m_pFrame);
}

void CDTView::RefreshRealTimeGraph()
{
    PreparePlotPoints();
    if (m_bDragging)
        return;
    const QRect redraw = toQRect(m_rcRedraw);
    if (m_bRescaleRedraw) {
        m_bRescaleRedraw = 0;
        update(redraw);
        return;
    }
    const int n = m_nRtCount;
    if (n < 3 || !m_pFrame) {
        update(redraw);
        return;
    }
    const FrameState& frame = *m_pFrame;
    const int f = m_nFirstPoint;

    if (g_bFullView == 0) {
        // Keep the newest point in view while a zoomed run goes on.
        if (isRunning(frame) && modes::realTimeMode(frame) && f >= 1 && plotCacheCapacity() > f) {
            const int ch = m_bShowCh2 ? 1 : 0;
            const int slot = std::clamp<int>(g_nZoomLevel, 0, 2);
            const double x0 = m_pPlotPixels[cacheIndex(f - 1, ch, slot)];
            const double dx = m_pPlotPixels[cacheIndex(f, ch, slot)] - x0;
            const double end = x0 + dx * (double(m_nLastPoint) - f + m_nScrollOffset - 1);
            if (end >= m_rcPlot.right) {
                if (!m_bVScrolled)
                    --m_nScrollOffset;
                m_bVScrolled = 0;
                m_siTime.nPos =
                    clampToInt(static_cast<long long>(m_nZoomFirst) - m_nScrollOffset + 1);
                if (m_wndTimeScroll) {
                    m_wndTimeScroll->setValue(m_siTime.nPos);
                    applyScrollInfo(m_wndTimeScroll, m_siTime);
                }
            }
        }
        update(redraw);
        return;
    }

    // A segment that crosses the top or bottom edge needs the whole graph: the grid
    // and the margins around the plot are part of the picture there.
    const std::uint8_t shown[2] = {m_bShowCh1, m_bShowCh2};
    if (plotCacheCapacity() >= n) {
        for (int ch = 0; ch < 2; ++ch) {
            if (!shown[ch])
                continue;
            const double yn = m_pPlotPixels2[cacheIndex(n - 1, ch, 0)];
            const double yp = m_pPlotPixels2[cacheIndex(n - 2, ch, 0)];
            if (!std::isfinite(yn) || !std::isfinite(yp))
                continue;
            const long long yNew = static_cast<long long>(std::clamp(yn, -1e12, 1e12));
            const long long yPrev = static_cast<long long>(std::clamp(yp, -1e12, 1e12));
            const long long top = m_rcPlot.top, bottom = m_rcPlot.bottom;
            const bool crossesTop = (yPrev > top && yNew < top) || (yPrev < top && yNew > top);
            const bool crossesBottom =
                (yPrev > bottom && yNew < bottom) || (yPrev < bottom && yNew > bottom);
            if (crossesTop || crossesBottom) {
                update(redraw);
                return;
            }
        }
    }

    // The newest segment goes into the picture on show and only its pixels are
    // copied to the screen. Without a picture of the current size, paint it all.
    if (m_picture.isNull() || m_picture.size() != size() || m_nDisplayMode != 1) {
        update(redraw);
        return;
    }
    QRect touched;
    if (m_bShowCh1 && m_bViewCh1)
        touched |= DrawChannelCurve(0, n - f, frame.m_nCh1Color, m_picture);
    if (m_bShowCh2 && m_bViewCh2)
        touched |= DrawChannelCurve(1, n - f, frame.m_nCh2Color, m_picture);
    if (!touched.isEmpty()) {
        m_blitOnly += touched;
        update(touched);
    }
}

void CDTView::applyZoomScrollBars(int timeRangeMax, bool positionBars, int verticalHalfRange)
{
    if (m_wndTimeScroll)
        m_wndTimeScroll->setRange(0, timeRangeMax);
    if (!positionBars)
        return;
    // An applied zoom makes the bars usable; zooming out disables them again.
    for (QScrollBar* bar : {m_wndTimeScroll, m_wndScrollCh1, m_wndScrollCh2}) {
        if (bar)
            bar->setEnabled(true);
    }
    if (m_wndTimeScroll) {
        m_wndTimeScroll->setValue(m_siTime.nPos);
        applyScrollInfo(m_wndTimeScroll, m_siTime);
    }
    for (QScrollBar* bar : {m_wndScrollCh1, m_wndScrollCh2}) {
        if (bar) {
            bar->setRange(-verticalHalfRange, verticalHalfRange);
            bar->setValue(0);
        }
    }
}
