#include "display/curve_raster.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <utility>
#include <vector>

#include "display/plot_scale.h"
#include "display/view_state.h"
#include "platform/parallel_parts.h"
#include "platform/truncation.h"

namespace {

// Pixel coordinates beyond this are far outside any picture; keeping them bounded
// keeps the line arithmetic inside 64 bits.
constexpr double kCoordLimit = 268435456.0;

// A position that is not a number, or infinite, has no pixel.
bool toPixel(double v, long long& out)
{
    if (!std::isfinite(v))
        return false;
    out = truncSaturated<long long>(std::clamp(v, -kCoordLimit, kCoordLimit));
    return true;
}

constexpr int kMarkOffsets[6][2] = {{0, 1}, {0, -1}, {-1, 1}, {-1, -1}, {1, 1}, {1, -1}};

} // namespace

PixelCanvas::PixelCanvas(QImage& image)
    : m_bits(image.bits())
    , m_stride(image.bytesPerLine())
    , m_width(image.width())
    , m_height(image.height())
{
}

void PixelCanvas::setPixel(long long x, long long y, QRgb color, const PixelClip& clip)
{
    if (clip.contains(x, y) && x >= 0 && y >= 0 && x < m_width && y < m_height)
        row(static_cast<int>(y))[x] = color;
}

void PixelCanvas::fillRect(int x, int y, int w, int h, QRgb color)
{
    // Cut to the picture; an empty or inverted rectangle (a plot narrower than its
    // margins) fills nothing.
    const long long x1 = std::max(x, 0), y1 = std::max(y, 0);
    const long long x2 = std::min<long long>(static_cast<long long>(x) + w, m_width);
    const long long y2 = std::min<long long>(static_cast<long long>(y) + h, m_height);
    if (x2 <= x1 || y2 <= y1)
        return;
    for (long long yy = y1; yy < y2; ++yy)
        std::fill(row(static_cast<int>(yy)) + x1, row(static_cast<int>(yy)) + x2, color);
}

void PixelCanvas::line(long long xa, long long ya, long long xb, long long yb, QRgb color,
                       const PixelClip& clip)
{
    PixelClip c = clip;
    c.left = std::max(c.left, 0);
    c.top = std::max(c.top, 0);
    c.right = std::min(c.right, m_width - 1);
    c.bottom = std::min(c.bottom, m_height - 1);
    if (c.empty())
        return;
    forEachLinePixel(xa, ya, xb, yb, c,
                     [&](long long x, long long y) { row(static_cast<int>(y))[x] = color; });
}

void PixelCanvas::dottedLine(int xa, int ya, int xb, int yb, QRgb color)
{
    if (xa != xb && ya != yb)
        return; // the grid only has straight horizontal and vertical lines
    const int len = std::abs(xb - xa) + std::abs(yb - ya);
    const int sx = xb > xa ? 1 : (xb < xa ? -1 : 0);
    const int sy = yb > ya ? 1 : (yb < ya ? -1 : 0);
    for (int t = 0; t < len; ++t) {
        if ((t & 2) != 0)
            continue;
        const int x = xa + sx * t, y = ya + sy * t;
        if (x >= 0 && y >= 0 && x < m_width && y < m_height)
            row(y)[x] = color;
    }
}

bool curveSegment(const ViewState& view, int ch, int j, CurveSegment& seg)
{
    ch &= 0xFF;
    if (ch > 1)
        return false;
    const int first = view.m_nFirstPoint;
    const long long pa = static_cast<long long>(first) + j - 2;
    const long long pb = pa + 1;
    const long long capacity = view.plotCacheCapacity();
    if (first < 1 || pa < 0 || pb >= capacity || first >= capacity)
        return false;
    const int slot = std::clamp<int>(view.g_nZoomLevel, 0, 2);
    const double* xs = view.m_pPlotPixels.data();
    const double* ys = view.m_pPlotPixels2.data();
    const double x0 = xs[cacheIndex(first - 1, ch, slot)];
    const double dx = xs[cacheIndex(first, ch, slot)] - x0;
    const double o = view.m_nScrollOffset;
    if (!toPixel(x0 + dx * (o + j - 1), seg.xa) || !toPixel(x0 + dx * (o + j), seg.xb)
        || !toPixel(ys[cacheIndex(pa, ch, slot)], seg.ya)
        || !toPixel(ys[cacheIndex(pb, ch, slot)], seg.yb))
        return false;
    const long long top = view.m_rcPlot.top, bottom = view.m_rcPlot.bottom;
    if (seg.ya == seg.yb && (seg.ya == top || seg.ya == bottom))
        return true;
    return (seg.ya > top || seg.yb > top) && (seg.ya < bottom || seg.yb < bottom);
}

void drawSegment(PixelCanvas& canvas, const CurveSegment& seg, QRgb color, bool marks,
                 const PixelClip& clip)
{
    canvas.line(seg.xa, seg.ya, seg.xb, seg.yb, color, clip);
    if (!marks)
        return;
    for (const auto& m : kMarkOffsets)
        canvas.setPixel(seg.xa + m[0], seg.ya + m[1], color, clip);
    for (const auto& m : kMarkOffsets)
        canvas.setPixel(seg.xb + m[0], seg.yb + m[1], color, clip);
}

namespace {

// The clip cut to the picture.
PixelClip withinCanvas(const PixelCanvas& canvas, const PixelClip& clip)
{
    PixelClip c = clip;
    c.left = std::max(c.left, 0);
    c.top = std::max(c.top, 0);
    c.right = std::min(c.right, canvas.width() - 1);
    c.bottom = std::min(c.bottom, canvas.height() - 1);
    return c;
}

// Ints of the painter's chains for a clip within the picture: one per pixel of each
// column, and one past its end.
std::size_t chainCells(const PixelClip& c)
{
    if (c.empty())
        return 0;
    return static_cast<std::size_t>(c.right - c.left + 1) * (c.bottom - c.top + 2);
}

// The chains are rebuilt for every paint, but their memory is kept from one paint to
// the next: fresh pages for a few megabytes cost more than the drawing itself.
std::vector<int>& ownChains()
{
    thread_local std::vector<int> chains;
    return chains;
}

// The batch paints in reverse order and never paints a pixel twice, so the last
// segment in the graph's order owns each pixel, as when drawing forwards. Per column
// a "next unpainted row" chain (path-halving union-find) lets a vertical span skip
// what later segments already covered in O(1) amortised time.
class ReversePainter {
public:
    // `chains` lends its memory; when it already holds chainCells(clip) ints of room,
    // nothing is allocated here.
    ReversePainter(PixelCanvas& canvas, const PixelClip& clip, std::vector<int>& chains)
        : m_canvas(canvas)
        , m_clip(clip)
        , m_rows(clip.bottom - clip.top + 1)
        , m_next(chains)
    {
        m_next.resize(chainCells(clip));
        for (std::size_t c = 0, cols = clip.right - clip.left + 1; c < cols; ++c) {
            int* column = m_next.data() + c * (m_rows + 1);
            for (int r = 0; r <= m_rows; ++r)
                column[r] = r;
        }
    }

    void pixel(long long x, long long y, QRgb color)
    {
        if (!m_clip.contains(x, y))
            return;
        int* column = columnOf(x);
        const int r = static_cast<int>(y - m_clip.top);
        if (column[r] != r)
            return;
        column[r] = r + 1;
        m_canvas.row(static_cast<int>(y))[x] = color;
    }

    // Rows lo .. hi (inclusive) of column x.
    void span(long long x, long long lo, long long hi, QRgb color)
    {
        if (x < m_clip.left || x > m_clip.right)
            return;
        lo = std::max<long long>(lo, m_clip.top);
        hi = std::min<long long>(hi, m_clip.bottom);
        if (lo > hi)
            return;
        int* column = columnOf(x);
        const int end = static_cast<int>(hi - m_clip.top);
        int r = find(column, static_cast<int>(lo - m_clip.top));
        while (r <= end) {
            m_canvas.row(r + m_clip.top)[x] = color;
            column[r] = r + 1;
            r = find(column, r + 1);
        }
    }

    void segment(const CurveSegment& s, QRgb color, bool marks)
    {
        if (s.xa == s.xb) {
            if (s.ya < s.yb)
                span(s.xa, s.ya, s.yb - 1, color);
            else if (s.ya > s.yb)
                span(s.xa, s.yb + 1, s.ya, color);
        } else {
            forEachLinePixel(s.xa, s.ya, s.xb, s.yb, m_clip,
                             [&](long long x, long long y) { pixel(x, y, color); });
        }
        if (!marks)
            return;
        for (const auto& m : kMarkOffsets)
            pixel(s.xa + m[0], s.ya + m[1], color);
        for (const auto& m : kMarkOffsets)
            pixel(s.xb + m[0], s.yb + m[1], color);
    }

private:
    int* columnOf(long long x)
    {
        return m_next.data() + static_cast<std::size_t>(x - m_clip.left) * (m_rows + 1);
    }
    static int find(int* column, int r)
    {
        while (column[r] != r) {
            column[r] = column[column[r]];
            r = column[r];
        }
        return r;
    }

    PixelCanvas& m_canvas;
    PixelClip m_clip;
    int m_rows;
    std::vector<int>& m_next;
};

} // namespace

namespace {

void drawCurveBatchWith(PixelCanvas& canvas, const ViewState& view, const CurveBatch& batch,
                        const PixelClip& clip, std::vector<int>& chains)
{
    const PixelClip c = withinCanvas(canvas, clip);
    const int first = view.m_nFirstPoint;
    const long long capacity = view.plotCacheCapacity();
    if (c.empty() || batch.jEnd <= batch.jBegin || !(batch.drawCh[0] || batch.drawCh[1])
        || first < 1 || first >= capacity)
        return;
    // Segments whose points lie beyond the caches cannot be drawn.
    int jBegin = static_cast<int>(std::max<long long>(batch.jBegin, 2LL - first));
    int jEnd = static_cast<int>(std::min<long long>(batch.jEnd, capacity - first + 1));
    if (jEnd <= jBegin)
        return;

    // The same arithmetic as curveSegment, with each point's pixel position worked
    // out once for the two segments that share it.
    const int slot = std::clamp<int>(view.g_nZoomLevel, 0, 2);
    const double* xs = view.m_pPlotPixels.data();
    const double* ys = view.m_pPlotPixels2.data();
    const double o = view.m_nScrollOffset;
    const long long top = view.m_rcPlot.top, bottom = view.m_rcPlot.bottom;
    struct Channel {
        double x0, dx;
        const double* y;                  // y of point p at y[p * 6]
        const LevelZeroY* data = nullptr; // or worked out from the data
        double yAt(long long p) const
        {
            return data ? data->at(p) : y[static_cast<std::size_t>(p) * 6];
        }
        bool xOk = false, yOk = false;
        long long x = 0, y0 = 0; // position of the segment's end point
    } chs[2];
    for (int ch = 0; ch < 2; ++ch) {
        chs[ch].x0 = xs[cacheIndex(first - 1, ch, slot)];
        chs[ch].dx = xs[cacheIndex(first, ch, slot)] - chs[ch].x0;
        chs[ch].y = ys + cacheIndex(0, ch, slot);
        if (slot == 0)
            chs[ch].data = batch.yFromData[ch];
    }
    // Only the segments that can reach the clip's columns (marks reach 3 pixels to
    // the side): the x positions grow with the segment number.
    int jFrom = jEnd, jTo = jBegin;
    bool narrowed = true;
    for (int ch = 0; ch < 2; ++ch) {
        if (!batch.drawCh[ch])
            continue;
        const double x0 = chs[ch].x0, dx = chs[ch].dx;
        if (!(dx > 0.0) || !std::isfinite(x0) || !std::isfinite(dx)) {
            narrowed = false;
            break;
        }
        const double lo = std::floor((c.left - 4 - x0) / dx - o) - 1;
        const double hi = std::floor((c.right + 4 - x0) / dx - o + 1) + 2;
        jFrom = std::min(jFrom, static_cast<int>(std::clamp<double>(lo, jBegin, jEnd)));
        jTo = std::max(jTo, static_cast<int>(std::clamp<double>(hi, jBegin, jEnd)));
    }
    if (!narrowed) {
        jFrom = jBegin;
        jTo = jEnd;
    }
    if (jTo <= jFrom)
        return;
    jBegin = jFrom;
    jEnd = jTo;

    ReversePainter painter(canvas, c, chains);
    for (int ch = 0; ch < 2; ++ch) {
        Channel& k = chs[ch];
        // the start point of segment jEnd is the end point of the last one drawn
        k.xOk = toPixel(k.x0 + k.dx * (o + jEnd - 1), k.x);
        k.yOk = toPixel(k.yAt(first + jEnd - 2LL), k.y0);
    }
    for (int j = jEnd - 1; j >= jBegin; --j) {
        for (int ch = 1; ch >= 0; --ch) {
            if (!batch.drawCh[ch])
                continue;
            Channel& k = chs[ch];
            CurveSegment seg;
            seg.xb = k.x;
            seg.yb = k.y0;
            const bool endOk = k.xOk && k.yOk;
            k.xOk = toPixel(k.x0 + k.dx * (o + j - 1), k.x);
            k.yOk = toPixel(k.yAt(first + j - 2LL), k.y0);
            if (!endOk || !k.xOk || !k.yOk)
                continue;
            seg.xa = k.x;
            seg.ya = k.y0;
            const bool onEdge = seg.ya == seg.yb && (seg.ya == top || seg.ya == bottom);
            if (onEdge || ((seg.ya > top || seg.yb > top) && (seg.ya < bottom || seg.yb < bottom)))
                painter.segment(seg, batch.color[ch], batch.marks);
        }
    }
}

std::function<void(unsigned)>& stripeHook()
{
    static std::function<void(unsigned)> hook;
    return hook;
}

} // namespace

void drawCurveBatch(PixelCanvas& canvas, const ViewState& view, const CurveBatch& batch,
                    const PixelClip& clip)
{
    drawCurveBatchWith(canvas, view, batch, clip, ownChains());
}

std::function<void(unsigned)> setCurveStripeHook(std::function<void(unsigned)> hook)
{
    return std::exchange(stripeHook(), std::move(hook));
}

void drawCurveBatchStriped(PixelCanvas& canvas, const ViewState& view, const CurveBatch& batch,
                           const PixelClip& clip)
{
    // Columns are independent: each stripe gets the segments that reach it and paints
    // only its own pixels, so the stripes together give the one-by-one picture. A
    // full memory draws half a million segments; a few threads share them.
    const long long segments = static_cast<long long>(batch.jEnd) - batch.jBegin;
    const int width = clip.right - clip.left + 1;
    const unsigned stripes = segments < 20000 || width < 64
                                 ? 1u
                                 : std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<PixelClip> parts(stripes, clip);
    for (unsigned k = 0; k < stripes; ++k) {
        parts[k].left = clip.left + static_cast<int>(static_cast<long long>(width) * k / stripes);
        parts[k].right =
            clip.left + static_cast<int>(static_cast<long long>(width) * (k + 1) / stripes) - 1;
    }
    // Each stripe's chains are reserved here, so the stripes' threads allocate nothing:
    // memory that runs short fails on this thread, and no thread of ours gets a malloc
    // arena of its own (each reserves 64 MiB of address space).
    // (A lambda names a thread_local of the thread it runs on: the stripes reach these
    // through a reference.)
    thread_local std::vector<std::vector<int>> kept;
    std::vector<std::vector<int>>& chains = kept;
    if (chains.size() < stripes)
        chains.resize(stripes);
    for (unsigned k = 0; k < stripes; ++k)
        chains[k].reserve(chainCells(withinCanvas(canvas, parts[k])));
    runParts(stripes, [&](unsigned k) {
        if (const auto& hook = stripeHook())
            hook(k);
        drawCurveBatchWith(canvas, view, batch, parts[k], chains[k]);
    });
}
