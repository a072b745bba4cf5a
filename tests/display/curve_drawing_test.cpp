#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "display/color_palette.h"
#include "display/curve_raster.h"
#include "display/plot_scale.h"
#include "graph_fixture.h"

using namespace graphtest;

namespace {

TEST(ColorPalette, indices_give_table_colours_and_larger_values_pass_through)
{
    EXPECT_EQ(kColorTable.size(), 15u);
    EXPECT_STREQ(kColorTable[9].name, "Dark Yellow");
    EXPECT_EQ(CDTView::ColorFromIndex(0), QColor(255, 0, 0));
    EXPECT_EQ(CDTView::ColorFromIndex(2), QColor(0, 0, 255));
    EXPECT_EQ(CDTView::ColorFromIndex(11), QColor(0, 128, 128));
    EXPECT_EQ(CDTView::ColorFromIndex(13), QColor(0, 0, 0));
    EXPECT_EQ(CDTView::ColorFromIndex(14), QColor(200, 200, 200));
    EXPECT_EQ(CDTView::ColorFromIndex(0x10D), QColor(0, 0, 0)); // low byte 13
    // above 14 the value itself is the colour (red in the low byte)
    EXPECT_EQ(colorRefFromIndex(255), 255u);
    EXPECT_EQ(CDTView::ColorFromIndex(255), QColor(255, 0, 0));
    EXPECT_EQ(CDTView::ColorFromIndex(20), QColor(20, 0, 0));
}

// A view whose CH1 points have the given pixel positions (slot 0).
struct SegmentView {
    ViewState view;
    SegmentView(std::initializer_list<std::pair<double, double>> points)
    {
        view.m_rcPlot = {100, 100, 300, 200};
        view.allocatePlotCaches(int(points.size()));
        int p = 0;
        for (auto [x, y] : points) {
            view.m_pPlotPixels[cacheIndex(p, 0, 0)] = x;
            view.m_pPlotPixels2[cacheIndex(p, 0, 0)] = y;
            ++p;
        }
        view.m_nFirstPoint = 1;
        view.m_nLastPoint = p;
    }
    bool drawn(int j)
    {
        CurveSegment s;
        return curveSegment(view, 0, j, s);
    }
};

TEST(CurveDrawing, vertical_skip_rule)
{
    // top edge 100, bottom edge 200; x from the first point and the spacing
    SegmentView flatTop({{100, 100}, {110, 100}});
    EXPECT_TRUE(flatTop.drawn(1));
    SegmentView flatAbove({{100, 99}, {110, 99}});
    EXPECT_FALSE(flatAbove.drawn(1));
    SegmentView edgeToAbove({{100, 100}, {110, 90}});
    EXPECT_FALSE(edgeToAbove.drawn(1));
    SegmentView aboveToInside({{100, 50}, {110, 150}});
    EXPECT_TRUE(aboveToInside.drawn(1));
    SegmentView aboveToBelow({{100, 50}, {110, 250}});
    EXPECT_TRUE(aboveToBelow.drawn(1));
    SegmentView flatBottom({{100, 200}, {110, 200}});
    EXPECT_TRUE(flatBottom.drawn(1));
    SegmentView bottomToBelow({{100, 200}, {110, 201}});
    EXPECT_FALSE(bottomToBelow.drawn(1));
    SegmentView noValue({{100, 150}, {110, std::nan("")}});
    EXPECT_FALSE(noValue.drawn(1));
    // y truncates toward zero: 100.9 is on the edge
    SegmentView nearTop({{100, 100.9}, {110, 100.9}});
    EXPECT_TRUE(nearTop.drawn(1));
}

TEST(CurveDrawing, segment_into_the_picture_with_marks_and_clipped_to_the_plot)
{
    Graph g(QSize(1000, 700));
    g.storeRms(
        5, [](int i) { return i == 2 ? 150.0f : 50.0f; }, [](int) { return 20.0f; });
    g.paint();
    CDTView& v = *g.view;
    v.m_bMarkPoints = 1;
    QImage image(v.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    // segment 1: point 0 (110, 390) to point 1 (305, 390)
    const QRect touched = v.DrawChannelCurve(0, 1, 0, image);
    EXPECT_EQ(image.pixel(200, 390), rgb(255, 0, 0));
    EXPECT_EQ(image.pixel(305, 390), rgb(0, 0, 0));   // end pixel left to the next segment
    EXPECT_EQ(image.pixel(304, 389), rgb(255, 0, 0)); // marks at the end
    EXPECT_EQ(image.pixel(110, 391), rgb(255, 0, 0));
    EXPECT_EQ(image.pixel(109, 391), rgb(0, 0, 0)); // left of the plot: clipped
    EXPECT_TRUE(touched.contains(306, 391));
    // segment 2 climbs above the plot (value 150): nothing above the top edge
    v.DrawChannelCurve(0, 2, 0, image);
    EXPECT_EQ(countColor(image, QRect(0, 0, 1000, 190), rgb(255, 0, 0)), 0);
    EXPECT_GT(countColor(image, QRect(305, 190, 196, 200), rgb(255, 0, 0)), 50);
}

// Draws the segments one call at a time in the graph's order.
void drawOneByOne(PixelCanvas& canvas, const ViewState& view, const CurveBatch& b,
                  const PixelClip& clip)
{
    CurveSegment s;
    for (int j = b.jBegin; j < b.jEnd; ++j)
        for (int ch = 0; ch < 2; ++ch)
            if (b.drawCh[ch] && curveSegment(view, ch, j, s))
                drawSegment(canvas, s, b.color[ch], b.marks, clip);
}

struct Shape {
    const char* name;
    int points;
    std::function<double(int, int)> y; // channel, point -> y pixel
    bool marks;
    int scrollOffset;
};

TEST(CurveDrawing, batch_matches_drawing_every_segment)
{
    std::mt19937 rng(7);
    std::vector<double> noise(300000);
    for (double& v : noise)
        v = std::uniform_real_distribution<double>(20, 480)(rng);
    const Shape shapes[] = {
        {"noise", 262144, [&](int ch, int p) { return noise[(p * 2 + ch) % noise.size()]; }, false,
         0},
        {"overlapping sines", 50000,
         [](int ch, int p) { return 250 + 200 * std::sin(p * 0.001 + ch * 0.3); }, false, 0},
        {"steps and spikes", 20000,
         [](int ch, int p) {
             if (p % 997 == 0)
                 return ch ? -5000.0 : 9000.0;
             return (p / 1500 % 2 ? 100.0 : 400.0) + ch * 3;
         },
         false, 0},
        {"edges", 3000, [](int ch, int p) { return (p / 100 % 3) * 200.0 + ch; }, true, 0},
        {"few points with marks", 37, [&](int ch, int p) { return noise[p * 2 + ch] * 1.2 - 40; },
         true, 0},
        {"scrolled", 4000, [&](int ch, int p) { return noise[p + ch * 5000]; }, true, -700},
    };
    for (const Shape& s : shapes) {
        ViewState view;
        view.m_rcPlot = {50, 20, 850, 520};
        view.allocatePlotCaches(s.points);
        const double dx = 800.0 / (s.points - 1);
        for (int p = 0; p < s.points; ++p) {
            for (int ch = 0; ch < 2; ++ch) {
                view.m_pPlotPixels[cacheIndex(p, ch, 0)] = 50 + p * dx;
                view.m_pPlotPixels2[cacheIndex(p, ch, 0)] = s.y(ch, p);
            }
        }
        view.m_nFirstPoint = 1;
        view.m_nLastPoint = s.points;
        view.m_nScrollOffset = s.scrollOffset;
        CurveBatch b;
        b.drawCh[0] = b.drawCh[1] = true;
        b.color[0] = qRgb(255, 0, 0);
        b.color[1] = qRgb(0, 255, 0);
        b.marks = s.marks;
        b.jBegin = 1;
        b.jEnd = s.points;
        const PixelClip clip{50, 20, 850, 520};

        QImage one(900, 560, QImage::Format_RGB32), batch(900, 560, QImage::Format_RGB32);
        one.fill(Qt::black);
        batch.fill(Qt::black);
        PixelCanvas oneCanvas(one), batchCanvas(batch);
        drawOneByOne(oneCanvas, view, b, clip);
        drawCurveBatch(batchCanvas, view, b, clip);
        EXPECT_TRUE(one == batch) << s.name;
        // Shared out over stripes of columns, and cut to a narrow clip: the same.
        QImage striped(900, 560, QImage::Format_RGB32);
        striped.fill(Qt::black);
        PixelCanvas stripedCanvas(striped);
        drawCurveBatchStriped(stripedCanvas, view, b, clip);
        EXPECT_TRUE(one == striped) << s.name;
        const PixelClip narrow{301, 20, 333, 520};
        QImage narrowOne(900, 560, QImage::Format_RGB32),
            narrowBatch(900, 560, QImage::Format_RGB32);
        narrowOne.fill(Qt::black);
        narrowBatch.fill(Qt::black);
        PixelCanvas narrowOneCanvas(narrowOne), narrowBatchCanvas(narrowBatch);
        drawOneByOne(narrowOneCanvas, view, b, narrow);
        drawCurveBatch(narrowBatchCanvas, view, b, narrow);
        EXPECT_TRUE(narrowOne == narrowBatch) << s.name;
        EXPECT_GT(countColor(batch, batch.rect(), qRgb(0, 255, 0)), 100) << s.name;
    }
}

TEST(CurveDrawing, lines_leave_out_the_end_pixel_and_stay_inside_the_clip)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    PixelCanvas canvas(image);
    const PixelClip all = canvas.bounds();
    canvas.line(2, 2, 10, 2, qRgb(255, 255, 255), all);
    EXPECT_EQ(countColor(image, QRect(0, 2, 20, 1), qRgb(255, 255, 255)), 8);
    EXPECT_EQ(image.pixel(10, 2), qRgb(0, 0, 0));
    // a line far beyond the picture costs only the visible steps and draws inside it
    canvas.line(-2000000000LL, 5, 2000000000LL, 15, qRgb(0, 255, 0), all);
    EXPECT_EQ(countColor(image, image.rect(), qRgb(0, 255, 0)), 20);
    canvas.line(5, 5, 5, 5, qRgb(0, 0, 255), all); // zero length: nothing
    EXPECT_EQ(countColor(image, image.rect(), qRgb(0, 0, 255)), 0);
}

} // namespace
