#pragma once
// Placing a top-level window by its frame, title bar and borders included, as the
// window rectangle of the platform is given. Qt's geometry is the client area; the
// window manager adds its frame around it and reports the frame's size only once the
// window is shown, under X11 some time after. A placement is therefore a rule from the
// frame's margins to the frame rectangle: it is applied at once with what is known and
// again when the window manager reports other margins.
#include <QMargins>
#include <QRect>
#include <functional>

class QWidget;

// The frame rectangle (screen coordinates) for a window whose frame adds `margins` to
// its client area.
using FramePlacement = std::function<QRect(const QMargins& margins)>;

// The margins the frame adds around the client area (none while they are unknown).
QMargins windowFrameMargins(const QWidget* window);

// Places `window` by `placement`: its frame's top left at the rectangle's top left,
// its client area what the frame leaves of the rectangle's size. A widget that is not
// a window (a child standing in for one) gets the rectangle itself, in its parent's
// coordinates.
void placeWindowFrame(QWidget* window, FramePlacement placement);

// The frame rectangle that covers `area` exactly, whatever the margins.
FramePlacement coverArea(const QRect& area);

// Where a window whose frame is `frame` (its title bar the top `margins.top()` rows)
// can stay on `area`: the frame itself when its title bar lies on the area and it
// fits; otherwise made smaller only as far as the area demands, then moved into it.
QRect reachableFrame(const QRect& frame, const QMargins& margins, const QRect& area);
