#pragma once
#include <limits>
// The arithmetic of the graph: time scale, tick rows, pixel positions of the points,
// the zoomed scale and the positions of the time labels. Plain functions over the
// view's state, the document and the frame, so they run without a widget.
#include <QString>
#include <array>
#include <cstddef>
#include <ctime>

#include "display/view_state.h"

class CDTDoc;
struct FrameState;

// Where a channel's values come from in the current display mode.
struct ChannelSeries {
    const float* first = nullptr;  // value p is first[p * stride] ...
    const float* second = nullptr; // ... times second[p * stride] when set (S = V x A)
    std::size_t stride = 1;
    std::size_t count = 0;

    bool has(long long p) const { return first && p >= 0 && static_cast<std::size_t>(p) < count; }
    float at(std::size_t p) const
    {
        const float v = first[p * stride];
        return second ? v * second[p * stride] : v;
    }
};

// The full-view y position of each point of one channel, worked out from its value:
// what the level-0 cache holds once the points are prepared. The painting reads it
// straight from the series (4 bytes a point instead of a 48-byte cache entry).
struct LevelZeroY {
    ChannelSeries series;
    double bottom = 0.0, t0 = 0.0, span = 1.0, height = 0.0;
    long long end = 0; // points below this index have a position, the rest none

    double at(long long p) const
    {
        // Multiplied before dividing: a value at the axis top lands exactly on the
        // top edge (with H / span first it could truncate to the row above).
        return p < end ? bottom - (series.at(static_cast<std::size_t>(p)) - t0) * height / span
                       : std::numeric_limits<double>::quiet_NaN();
    }
};

// The series of channel `ch` (0 = CH1, 1 = CH2) of the active display mode
// (modes::activeMode). Empty when no mode is on, and for CH2 in the S(VA) mode.
ChannelSeries channelSeries(const CDTDoc& doc, const FrameState& frame, int ch);

bool isRunning(const FrameState& frame); // a real-time run is going on

// Grows the pixel caches (keeping what they hold) so that `points` points fit.
void ensurePlotCapacity(ViewState& view, long long points);

// The full-view y positions of channel `ch` for the window shown, from the tick row
// of the full view (valid once the points of this paint are prepared).
LevelZeroY levelZeroY(const ViewState& view, const CDTDoc& doc, const FrameState& frame, int ch);

// Index of the x or y of point p, channel ch, slot (zoom level) g in the caches.
inline std::size_t cacheIndex(long long p, int ch, int slot)
{
    return static_cast<std::size_t>(p) * 6 + static_cast<std::size_t>(ch) * 3
           + static_cast<std::size_t>(slot);
}

// The time scale, the full-view tick rows and the level-0 pixel positions of every
// point of the window. A channel whose axis has no span gets no positions that could
// be drawn (NaN), so nothing divides by zero.
void preparePlotPoints(ViewState& view, const CDTDoc& doc, const FrameState& frame);

// The zoomed scale inside a paint: time bar range, zoomed tick rows and pixel
// positions, and (once per zoom) the scroll-bar positions to apply.
struct ZoomScrollUpdate {
    bool setTimeRange = false; // time bar range 0 .. n
    int timeRangeMax = 0;
    bool positionBars = false; // once per accepted zoom
    int verticalHalfRange = 0;
};
ZoomScrollUpdate computeZoomedView(ViewState& view, const CDTDoc& doc, const FrameState& frame);

// x0 (the first window point) and dx (point spacing) of the current zoom level, from
// the CH1 positions. False when the window has fewer than two points or no spacing.
bool windowSpacing(const ViewState& view, double& x0, double& dx);

// The ten time-axis label positions of a paint.
struct TimeLabels {
    int step = 0;                       // s, points between labels
    std::array<int, 10> index{};        // i[k], relative to the first window point
    std::array<int, 10> number{};       // n[k], point numbers shown in Store TR / EPA
    std::array<std::time_t, 10> time{}; // t[k]
    bool hasTimes = false;              // times: Store RMS or a real-time mode
    bool numbered = false;              // numbers: a single waveform (Store TR, EPA)
    bool valid = false;                 // the window has a spacing
    double x0 = 0, dx = 0;
};
TimeLabels planTimeLabels(const ViewState& view, const FrameState& frame);

// One growth step of the real-time x scale when the points outgrow the plot.
// Public for the real-time tests; preparePlotPoints calls it.
void growRealTimeScale(ViewState& view);
