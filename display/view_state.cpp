#include "display/view_state.h"
#include "platform/truncation.h"

void ViewState::resetInitialValues()
{
    m_nDisplayMode = 0;
    m_nStoreCount = m_nFirstPoint = m_nLastPoint = m_nTrCount = 0;
    m_nPointsPerFrame = m_nRtCount = 0;
    m_bShowCh1 = m_bShowCh2 = 0;
    m_bFromFile = m_bNewDocument = m_bDataListOpen = m_bRescaleRedraw = 0;
    m_bListDirty = 1;
    m_nTopBandHeight = 120;
    m_nScrollOffset = m_nZoomFirst = 0;
    m_nVOffset1[0] = m_nVOffset2[0] = 0;
    m_bDragging = 0;
    m_bZoomPending = 1;
    m_bCursorReady = 1;
    m_bAutoScale = {1, 1};
}

PlotRect ViewState::plotRectFor(int clientWidth, int clientHeight, int topBandHeight)
{
    PlotRect r;
    r.left = 110;
    r.right = clientWidth - 110;
    r.top = topBandHeight + 70;
    r.bottom = clientHeight - 110;
    return r;
}

std::array<int, 100> ViewState::scaleStepsFor(int plotWidth)
{
    std::array<int, 100> steps{};
    const double w = plotWidth;
    const double usable = w - w * 0.08333333333333333;
    steps[0] = 100;
    // Each entry is the point capacity at which the previous capacity fills 11/12 of
    // the width. The table stops at its last entry whatever the width, and a plot
    // without width leaves the rest at zero instead of dividing by nothing.
    for (int k = 1; k < 100; ++k) {
        const float step = static_cast<float>(usable / (steps[k - 1] - 1));
        if (!(step > 0.0f))
            break;
        const double next = w / step + 1.0;
        steps[k] = truncSaturated(next);
        if (steps[k] >= 100000 || steps[k] <= steps[k - 1])
            break;
    }
    return steps;
}

ViewState::PlotCaches ViewState::makePlotCaches(int points)
{
    const auto n = static_cast<std::size_t>(points < 0 ? 0 : points);
    return {std::vector<double>(n * 6), std::vector<double>(n * 6)};
}

void ViewState::takePlotCaches(PlotCaches&& caches)
{
    m_pPlotPixels = std::move(caches.pixels);
    m_pPlotPixels2 = std::move(caches.pixels2);
    g_strReadout.clear();
}

void ViewState::allocatePlotCaches(int points)
{
    takePlotCaches(makePlotCaches(points));
}

void ViewState::freePlotCaches()
{
    m_pPlotPixels.clear();
    m_pPlotPixels2.clear();
}
