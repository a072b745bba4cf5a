#pragma once
// Pixel drawing of the graph into the off-screen picture: fills, solid and dotted
// lines that leave out their end pixel, and the curve segments of the channels.
// Everything writes pixels directly, so the pictures are exact and fast.
#include <QImage>
#include <cstdint>
#include <functional>

class ViewState;

// An inclusive pixel rectangle that drawing is confined to.
struct PixelClip {
    int left = 0, top = 0, right = -1, bottom = -1;
    bool empty() const { return right < left || bottom < top; }
    bool contains(long long x, long long y) const
    {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
};

class PixelCanvas {
public:
    // The image must be 32 bits per pixel (RGB32 or ARGB32).
    explicit PixelCanvas(QImage& image);

    int width() const { return m_width; }
    int height() const { return m_height; }
    PixelClip bounds() const { return {0, 0, m_width - 1, m_height - 1}; }

    void setPixel(long long x, long long y, QRgb color, const PixelClip& clip);
    void fillRect(int x, int y, int w, int h, QRgb color);
    // A line from (xa, ya) towards (xb, yb); the end pixel is not set.
    void line(long long xa, long long ya, long long xb, long long yb, QRgb color,
              const PixelClip& clip);
    // Horizontal or vertical dotted line (2 pixels on, 2 off from the start); the
    // end pixel is not set.
    void dottedLine(int xa, int ya, int xb, int yb, QRgb color);

    QRgb* row(int y)
    {
        return reinterpret_cast<QRgb*>(m_bits + static_cast<qsizetype>(y) * m_stride);
    }

private:
    uchar* m_bits;
    qsizetype m_stride;
    int m_width;
    int m_height;
};

// Calls plot(x, y) for every pixel of the line from a to b without its end pixel,
// clipped; at most max(clip width, clip height) + 1 steps whatever the line's length.
template <class Plot>
void forEachLinePixel(long long xa, long long ya, long long xb, long long yb, const PixelClip& clip,
                      Plot&& plot);

// One curve segment of a channel as the graph draws it.
struct CurveSegment {
    long long xa = 0, ya = 0, xb = 0, yb = 0;
};

// Segment j (counted from 1 within the window) of channel ch in the current zoom
// slot: joins window points j and j + 1. False when the segment is not drawn: an end
// without a position, or both ends at or above the top edge, or both at or below
// the bottom edge (a flat segment exactly on either edge is drawn).
bool curveSegment(const ViewState& view, int ch, int j, CurveSegment& seg);

// Draws one segment (line and, when asked, the six mark pixels around each end).
void drawSegment(PixelCanvas& canvas, const CurveSegment& seg, QRgb color, bool marks,
                 const PixelClip& clip);

// Draws segments jBegin .. jEnd - 1 of both channels in the graph's order (CH1 then
// CH2 for each segment), giving exactly the picture of drawing them one by one; a
// column that many segments share is filled as the spans they cover.
struct LevelZeroY;

struct CurveBatch {
    bool drawCh[2] = {false, false};
    // At full view the y positions may come straight from the data (the same values
    // the level-0 cache holds); null: read the cache of the current zoom level.
    const LevelZeroY* yFromData[2] = {nullptr, nullptr};
    QRgb color[2] = {0, 0};
    bool marks = false;
    int jBegin = 1;
    int jEnd = 1;
};
void drawCurveBatch(PixelCanvas& canvas, const ViewState& view, const CurveBatch& batch,
                    const PixelClip& clip);
// The same picture, the clip's columns shared out over a few threads. What a stripe
// throws (std::bad_alloc) is rethrown here once every stripe has ended.
void drawCurveBatchStriped(PixelCanvas& canvas, const ViewState& view, const CurveBatch& batch,
                           const PixelClip& clip);
// Tests: called with the stripe's number on the stripe's own thread before it draws,
// so a test can make one stripe fail. Returns the previous hook.
std::function<void(unsigned)> setCurveStripeHook(std::function<void(unsigned)> hook);

// ---- template implementation ----

namespace curve_detail {
inline long long floorDiv(long long a, long long b)
{
    const long long q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
} // namespace curve_detail

template <class Plot>
void forEachLinePixel(long long xa, long long ya, long long xb, long long yb, const PixelClip& clip,
                      Plot&& plot)
{
    using curve_detail::floorDiv;
    const long long dx = xb - xa, dy = yb - ya;
    const long long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    if (adx == 0 && ady == 0)
        return;
    const bool xMajor = adx >= ady;
    const long long len = xMajor ? adx : ady;
    const long long sign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long start = xMajor ? xa : ya;
    const long long lo = xMajor ? clip.left : clip.top;
    const long long hi = xMajor ? clip.right : clip.bottom;
    // steps t whose major coordinate start + sign * t lies inside the clip
    long long t0 = sign > 0 ? lo - start : start - hi;
    long long t1 = sign > 0 ? hi - start : start - lo;
    if (t0 < 0)
        t0 = 0;
    if (t1 > len - 1)
        t1 = len - 1;
    const long long minorStart = xMajor ? ya : xa;
    const long long minorDelta = xMajor ? dy : dx;
    const long long minorLo = xMajor ? clip.top : clip.left;
    const long long minorHi = xMajor ? clip.bottom : clip.right;
    for (long long t = t0; t <= t1; ++t) {
        const long long major = start + sign * t;
        const long long minor = minorStart + floorDiv(2 * t * minorDelta + len, 2 * len);
        if (minor < minorLo || minor > minorHi)
            continue;
        if (xMajor)
            plot(major, minor);
        else
            plot(minor, major);
    }
}
