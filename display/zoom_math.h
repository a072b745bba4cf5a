#pragma once
// The arithmetic behind the mouse and the scroll bars of the graph: zoom boxes,
// the point under the cursor and its read-out line, the drag zone, and the time and
// value offsets that scrolling keeps. Plain functions over the display state, so the
// tests call them without a window.
#include <QString>
#include <optional>

#include "display/view_state.h"

class CDTDoc;
struct FrameState;

namespace zoom {

// Scroll codes of the handlers (the classic scroll-bar message codes).
inline constexpr int kLineUp = 0;
inline constexpr int kLineDown = 1;
inline constexpr int kPageUp = 2;
inline constexpr int kPageDown = 3;
inline constexpr int kThumbPosition = 4;
inline constexpr int kThumbTrack = 5;
inline constexpr int kOther = 8;

// Moves a point onto the plot rectangle (edges included).
void clampToPlot(const PlotRect& rc, int& x, int& y);

// The zoom applied so far becomes the base of the next one: tick row 0 is saved into
// row 2 and replaced by row 1; the zoomed x of every window point replaces its base
// x, the old base going to the saved slot.
void rebaseZoom(ViewState& view);

// A release at (x, y), already clamped to the plot, ends a drag that began at the
// box's left/top corner. Decides on the zoom: re-bases a repeated zoom, orders the
// box and, when one division of the zoomed CH1 axis spans at least 0.1 and at least
// two points stay in the plot, accepts it (level 1, pending, scroll bars to be set).
// `dragInProgress` is false for a release that no press in the plot began.
bool releaseZoom(ViewState& view, int x, int y, bool dragInProgress);

// 0-based index of the window point nearest to x as drawn (tie: the lower one),
// kept within the window; `previous` when the window has no point spacing.
int nearestPointIndex(const ViewState& view, int x, int previous);

// The read-out line of point `index`: number, time and the values of the shown
// channels in the current mode. No value (no channel shown, no mode, a point outside
// the data): nullopt, and the line on screen stays as it was.
std::optional<QString> readoutLine(const ViewState& view, const FrameState& frame,
                                   const CDTDoc& doc, int index);

// Whether a dragging pointer is still near enough to the plot (client size w x h).
bool insideDragZone(const PlotRect& rc, int clientWidth, int clientHeight, int x, int y);

// Points that one page of the time bar moves.
int timeScrollPage(const ViewState& view);
// Thumb position of a drag: the bar's own while the window fits a 16-bit position,
// otherwise read from the pointer's x along the plot.
int timeTrackPosition(const ViewState& view, int trackPos, int pointerX);
// Applies a scroll code of the time bar to the scroll offset; the bar's new position
// is left in m_siTime.nPos. `track` is the thumb position for kThumbTrack.
void scrollTime(ViewState& view, int code, int track);
// Applies a scroll code of a value bar (channel 0 or 1) to that channel's offset at
// the current zoom level and returns the new offset.
int scrollValue(ViewState& view, int channel, int code, int track);

} // namespace zoom
