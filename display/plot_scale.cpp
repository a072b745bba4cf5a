#include "display/plot_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "display/frame_state.h"
#include "display/mode_rules.h"
#include "display/point_time.h"
#include "document/cdtdoc.h"
#include "platform/parallel_parts.h"
#include "platform/truncation.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

ChannelSeries vectorSeries(const std::vector<float>& v)
{
    return {v.data(), nullptr, 1, v.size()};
}

ChannelSeries pairSeries(const FloatPair* pairs, std::size_t count, int ch)
{
    if (count == 0)
        return {};
    return {pairs->data() + ch, nullptr, 2, count};
}

} // namespace

ChannelSeries channelSeries(const CDTDoc& doc, const FrameState& frame, int ch)
{
    const std::optional<modes::Mode> mode = modes::activeMode(frame);
    if (!mode)
        return {};
    switch (*mode) {
    case modes::Mode::StoreRms:
        return vectorSeries(ch == 0 ? doc.m_pCh1Data : doc.m_pCh2Data);
    case modes::Mode::StoreTr:
        return vectorSeries(doc.m_pTrData);
    case modes::Mode::Epa:
        return pairSeries(doc.m_fEpaWave.data(), doc.m_fEpaWave.size(), ch);
    case modes::Mode::RtFreq:
        return pairSeries(doc.m_pRtFreq.data(), doc.m_pRtFreq.size(), ch);
    case modes::Mode::RtRms:
        return pairSeries(doc.m_pRtRms.data(), doc.m_pRtRms.size(), ch);
    case modes::Mode::RtPowerS:
        // S = V x A of each real-time point; CH2 has no series of its own in this mode.
        if (ch != 0 || doc.m_pRtRms.empty())
            return {};
        return {doc.m_pRtRms.front().data(), doc.m_pRtRms.front().data() + 1, 2,
                doc.m_pRtRms.size()};
    }
    return {};
}

bool isRunning(const FrameState& frame)
{
    return frame.m_bStopped == 0;
}

void ensurePlotCapacity(ViewState& view, long long points)
{
    if (points <= view.plotCacheCapacity())
        return;
    const auto n = static_cast<std::size_t>(points);
    view.m_pPlotPixels.resize(n * 6, 0.0);
    view.m_pPlotPixels2.resize(n * 6, 0.0);
}

void growRealTimeScale(ViewState& view)
{
    int& level = view.m_nRtScaleLevel;
    if (level < 0 || level >= static_cast<int>(view.m_nScaleSteps.size()) - 1)
        return; // the table ends here: the scale stays at its last step
    const int capacity = view.m_nScaleSteps[level];
    if (capacity < 2 || view.m_nRtCount - view.m_nFirstPoint < capacity)
        return;
    const double w = view.m_rcPlot.width();
    const float step = static_cast<float>((w - w * 0.08333333333333333) / (capacity - 1));
    if (!(step > 0.0f))
        return;
    view.m_bRescaleRedraw = 1;
    view.g_fScaleStep = step;
    ++level;
    view.m_nScaleSteps[level] = truncSaturated(w / step + 1.0);
}

LevelZeroY levelZeroY(const ViewState& view, const CDTDoc& doc, const FrameState& frame, int ch)
{
    LevelZeroY y;
    const std::uint8_t shown = ch == 0 ? view.m_bShowCh1 : view.m_bShowCh2;
    const int f = view.m_nFirstPoint;
    y.end = f - 1;
    if (!shown)
        return y;
    const float(*ticks)[11] = ch == 0 ? view.g_fTicks1 : view.g_fTicks2;
    y.series = channelSeries(doc, frame, ch);
    y.bottom = view.m_rcPlot.bottom;
    y.height = view.m_rcPlot.height();
    y.t0 = ticks[0][0];
    y.span = double(ticks[0][10]) - y.t0;
    // A range without width places nothing rather than dividing by it.
    if (y.span != 0.0 && std::isfinite(y.span) && y.series.first)
        y.end = std::clamp<long long>(static_cast<long long>(y.series.count), f - 1,
                                      std::max(f - 1, view.m_nLastPoint));
    return y;
}

void preparePlotPoints(ViewState& view, const CDTDoc& doc, const FrameState& frame)
{
    const PlotRect& rc = view.m_rcPlot;
    const int w = rc.width();
    const int h = rc.height();
    const int f = view.m_nFirstPoint;
    const int last = view.m_nLastPoint;

    if (isRunning(frame)) {
        if (view.m_nRtCount <= 1) {
            view.g_nZoomLevel = 0;
            view.g_bFullView = 1;
            view.m_nRtScaleLevel = 0;
            view.m_nScrollOffset = 0;
            view.m_nZoomFirst = 0;
            view.m_nVOffset1[0] = 0;
        }
        growRealTimeScale(view);
    }

    if (!isRunning(frame) || modes::storedMode(frame)) {
        view.g_fXScale = last > 1 && last != f ? static_cast<float>(double(w) / (last - f))
                                               : static_cast<float>(w);
    } else if (view.m_nRtCount != 0) {
        const int level = std::clamp(view.m_nRtScaleLevel, 0, 99);
        const int capacity = view.m_nScaleSteps[level];
        if (capacity > 1)
            view.g_fXScale = static_cast<float>(double(w) / (capacity - 1));
    }

    if (view.g_bFullView != 1)
        return;

    view.g_rcPlotPrev = rc;
    const int mins[2] = {view.m_nCh1Min, view.m_nCh2Min};
    const int maxs[2] = {view.m_nCh1Max, view.m_nCh2Max};
    const int offsets[2] = {view.m_nVOffset1[0], view.m_nVOffset2[0]};
    float(*ticks[2])[11] = {view.g_fTicks1, view.g_fTicks2};
    for (int ch = 0; ch < 2; ++ch) {
        const double span = double(maxs[ch]) - mins[ch];
        const double shift = h != 0 ? offsets[ch] * span / h : 0.0;
        for (int k = 0; k <= 10; ++k)
            ticks[ch][0][k] = static_cast<float>(mins[ch] + span * k * 0.1f - shift);
    }

    if (f < 1 || last < f)
        return;
    ensurePlotCapacity(view, last);
    double* xs = view.m_pPlotPixels.data();
    double* ys = view.m_pPlotPixels2.data();
    const double scale = view.g_fXScale;

    const LevelZeroY ly[2] = {levelZeroY(view, doc, frame, 0), levelZeroY(view, doc, frame, 1)};
    const bool shown[2] = {view.m_bShowCh1 != 0, view.m_bShowCh2 != 0};
    const double left = rc.left;
    // One pass over both caches: x of both channels and y of the shown ones.
    auto place = [&](long long from, long long to) {
        for (long long i = from; i < to; ++i) {
            const double x = left + double(i - f + 1) * scale;
            double* px = xs + i * 6;
            double* py = ys + i * 6;
            px[0] = x;
            px[3] = x;
            if (shown[0])
                py[0] = ly[0].at(i);
            if (shown[1])
                py[3] = ly[1].at(i);
        }
    };
    // A full memory is some 25 MB of positions: the work is shared out over a few
    // threads, each on its own range of points, so the paint is not held up by the
    // memory bus of one core.
    const long long points = last - (f - 1);
    const unsigned workers =
        points < 65536 ? 1u : std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    runParts(workers, [&](unsigned k) {
        place(f - 1 + points * k / workers, f - 1 + points * (k + 1) / workers);
    });
}

bool windowSpacing(const ViewState& view, double& x0, double& dx)
{
    const int f = view.m_nFirstPoint;
    if (f < 1 || view.m_nLastPoint - f + 1 < 2 || view.plotCacheCapacity() < f + 1)
        return false;
    const int slot = std::clamp<int>(view.g_nZoomLevel, 0, 2);
    x0 = view.m_pPlotPixels[cacheIndex(f - 1, 0, slot)];
    dx = view.m_pPlotPixels[cacheIndex(f, 0, slot)] - x0;
    return std::isfinite(x0) && std::isfinite(dx) && dx > 0.0;
}

ZoomScrollUpdate computeZoomedView(ViewState& view, const CDTDoc& doc, const FrameState& frame)
{
    ZoomScrollUpdate out;
    const PlotRect& rc = view.m_rcPlot;
    const int w = rc.width();
    const int h = rc.height();
    const int first = view.m_nFirstPoint;
    const int last = view.m_nLastPoint;
    const int n = last - first + 1;

    // 1. the time bar spans the window
    view.m_siTime.size = 28;
    view.m_siTime.mask = 0x17; // range, page, position, track position
    view.m_siTime.nMin = 0;
    view.m_siTime.nMax = n;
    view.m_siTime.nPage = 1;
    out.setTimeRange = true;
    out.timeRangeMax = n;

    // 2. a resize drops a box not yet applied and rescales the zoomed x positions
    const PlotRect prev = view.g_rcPlotPrev;
    const bool resized = !(rc == prev);
    if (resized)
        view.m_bZoomPending = 0;

    // 3. the scale the box selects
    float(*ticks[2])[11] = {view.g_fTicks1, view.g_fTicks2};
    float* lows[2] = {&view.g_fZoomLow1, &view.g_fZoomLow2};
    float* nexts[2] = {&view.g_fZoomNext1, &view.g_fZoomNext2};
    if (view.m_bZoomPending && h != 0) {
        const double d1 = rc.bottom - view.g_dBoxBottom;
        const double d2 = d1 + 0.1 * (view.g_dBoxBottom - view.g_dBoxTop);
        for (int ch = 0; ch < 2; ++ch) {
            const double t0 = ticks[ch][0][0];
            const double span = double(ticks[ch][0][10]) - t0;
            *lows[ch] = static_cast<float>(std::trunc((span * d1 / h + t0) * 100) * 0.01f);
            *nexts[ch] = static_cast<float>(std::trunc((span * d2 / h + t0) * 100) * 0.01f);
        }
    }

    // 4. zoomed tick rows
    const int level = std::clamp<int>(view.g_nZoomLevel, 0, 99);
    const int voff[2] = {view.m_nVOffset1[level], view.m_nVOffset2[level]};
    for (int ch = 0; ch < 2; ++ch) {
        const long double s = (long double)*nexts[ch] - *lows[ch];
        const long double shift = h != 0 ? voff[ch] * s * 10 / h : 0.0L;
        for (int k = 0; k <= 10; ++k)
            ticks[ch][1][k] = static_cast<float>(*lows[ch] + k * s - shift);
    }

    // 5. zoomed positions of the window's points
    if (first >= 1 && last >= first) {
        ensurePlotCapacity(view, last);
        double* xs = view.m_pPlotPixels.data();
        double* ys = view.m_pPlotPixels2.data();
        const double boxWidth = view.g_dBoxRight - view.g_dBoxLeft;
        const bool applyBox = view.m_bZoomPending && boxWidth > 0.0;
        const bool rescale = resized && prev.width() != 0;
        for (long long p = first - 1; p < last; ++p) {
            for (int ch = 0; ch < 2; ++ch) {
                double& x1 = xs[cacheIndex(p, ch, 1)];
                if (applyBox)
                    x1 = rc.left + (xs[cacheIndex(p, ch, 0)] - view.g_dBoxLeft) * w / boxWidth;
                if (rescale)
                    x1 = rc.left + (x1 - prev.left) * w / prev.width();
            }
        }
        const std::uint8_t shown[2] = {view.m_bShowCh1, view.m_bShowCh2};
        for (int ch = 0; ch < 2; ++ch) {
            if (!shown[ch])
                continue;
            const ChannelSeries series = channelSeries(doc, frame, ch);
            const double t0 = ticks[ch][1][0];
            const double span = double(ticks[ch][1][10]) - t0;
            const bool drawable = span != 0.0 && std::isfinite(span);
            for (long long p = first - 1; p < last; ++p) {
                double y = kNaN;
                if (drawable && series.has(p))
                    y = rc.bottom - (series.at(static_cast<std::size_t>(p)) - t0) * h / span;
                ys[cacheIndex(p, ch, 1)] = y;
            }
        }
    }

    // 6. the scroll bars, once per accepted zoom
    if (view.g_bZoomScrollSet == 0) {
        double x0 = 0, dx = 0;
        if (windowSpacing(view, x0, dx)) {
            const int o = view.m_nScrollOffset;
            view.m_nZoomFirst = truncSaturated(o + (rc.left - (x0 + o * dx)) / dx);
        }
        view.m_siTime.nPos =
            clampToInt(static_cast<long long>(view.m_nZoomFirst) - view.m_nScrollOffset + 1);
        out.positionBars = true;
        out.verticalHalfRange = h / 2;
        view.g_bZoomScrollSet = 1;
    }
    return out;
}

TimeLabels planTimeLabels(const ViewState& view, const FrameState& frame)
{
    TimeLabels t;
    t.numbered = modes::singleWaveform(frame);
    const modes::AxisTimes times = modes::axisTimes(frame);
    t.hasTimes = !t.numbered && times != modes::AxisTimes::None;
    if (!windowSpacing(view, t.x0, t.dx))
        return t;
    t.valid = true;
    const int w = view.m_rcPlot.width();
    const int r = truncSaturated(w / t.dx);
    if (r <= 1)
        t.step = 1;
    else if (r >= 4)
        t.step = std::max(1, truncSaturated(w / (4 * t.dx)));
    else
        t.step = std::max(1, truncSaturated(w / (r * t.dx)));

    const long long base =
        static_cast<long long>(view.m_nFirstPoint) - view.m_nScrollOffset + view.m_nZoomFirst - 1;
    for (int k = 0; k < 10; ++k) {
        const long long i =
            static_cast<long long>(view.m_nZoomFirst) + static_cast<long long>(k) * t.step;
        t.index[k] = clampToInt(i);
        t.number[k] = clampToInt(i - view.m_nScrollOffset + 1);
        const int point = clampToInt(base + static_cast<long long>(k) * t.step);
        // The same time as every other place shows for the point: start plus the
        // index times the interval, the product truncated (a sub-second interval
        // truncated first would give every label the start time).
        if (times == modes::AxisTimes::Stored)
            t.time[k] = storeRmsPointTime(view.m_tStoreStart, view.m_fInterval, point);
        else if (times == modes::AxisTimes::RealTime)
            t.time[k] = view.m_tRtStart + static_cast<std::time_t>(point) * view.m_nRtSampleRate;
    }
    return t;
}
