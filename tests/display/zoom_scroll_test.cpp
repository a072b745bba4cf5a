#include <QScreen>
#include <QScrollBar>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "display/point_time.h"
#include "display/zoom_math.h"
#include "graph_fixture.h"

using namespace graphtest;

namespace {

void mouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent e(type, QPointF(at), w.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

// 1000 x 700 client: plot (110, 190) - (890, 590). CH1 of point i is i / 10, so at
// full view point i lies at x = 110 + 0.78 i, y = 590 - 0.4 i.
struct ZoomGraph : Graph {
    explicit ZoomGraph(int n = 1001)
    {
        storeRms(
            n, [](int i) { return i * 0.1f; }, [](int) { return 0.0f; });
        view->show();
        paint();
        QCoreApplication::processEvents(); // the first paint of the window
    }
    void drag(QPoint from, QPoint to)
    {
        mouse(*view, QEvent::MouseButtonPress, from, Qt::LeftButton);
        mouse(*view, QEvent::MouseMove, to, Qt::LeftButton);
        mouse(*view, QEvent::MouseButtonRelease, to, Qt::LeftButton);
    }
};

TEST(ZoomScroll, drag_zooms_into_the_box_and_a_second_drag_narrows_it)
{
    ZoomGraph g;
    CDTView& v = *g.view;
    g.drag({305, 490}, {500, 290}); // points 250 .. 500, values 25 .. 75
    EXPECT_EQ(v.g_nZoomLevel, 1);
    EXPECT_EQ(v.m_bZoomPending, 1);
    const QImage zoomed = g.paint();
    EXPECT_EQ(v.m_strYLabels1[0], "25.00");
    EXPECT_EQ(v.m_strYLabels1[10], "75.00");
    EXPECT_EQ(v.m_nZoomFirst, 250);
    EXPECT_TRUE(v.m_wndTimeScroll->isEnabled());
    EXPECT_EQ(v.m_wndTimeScroll->value(), 251);
    // point 375 (37.5) moved from (402, 440) to (500, 490)
    EXPECT_GT(countColor(zoomed, QRect(497, 487, 7, 7), rgb(255, 0, 0)), 0);
    EXPECT_EQ(countColor(zoomed, QRect(497, 387, 7, 7), rgb(255, 0, 0)), 0);

    // The lower left quarter of the zoomed picture, a pixel up: 25.125 .. 50.125, the
    // values cut to hundredths.
    g.drag({110, 589}, {500, 389});
    g.paint();
    EXPECT_FLOAT_EQ(v.g_fTicks1[2][10], 100.0f); // the full view is kept as saved row
    EXPECT_FLOAT_EQ(v.g_fTicks1[0][10], 75.0f);
    EXPECT_EQ(v.m_strYLabels1[0], "25.12");
    EXPECT_EQ(v.m_strYLabels1[10], "50.12");

    v.OnZoomOut();
    g.paint();
    EXPECT_EQ(v.g_nZoomLevel, 0);
    EXPECT_FALSE(v.m_wndTimeScroll->isEnabled());
    EXPECT_EQ(v.m_strYLabels1[10], "100.00");
}

TEST(ZoomScroll, narrow_flat_or_cancelled_drags_do_not_zoom)
{
    // A box zooms when it is more than 3 pixels wide, one division of its CH1 axis is at
    // least 0.1 (0.025 a pixel of height) and it holds two points. Rows: points, the
    // drag from (x, y) to (x, y), and the zoom level it leaves.
    const int drags[][6] = {{1001, 300, 300, 303, 500, 0},
                            {1001, 300, 300, 304, 500, 1},
                            {1001, 300, 400, 400, 403, 0},
                            {1001, 300, 400, 400, 404, 1},
                            {11, 200, 300, 250, 500, 0}}; // 11 points: 78 pixels apart
    for (const auto& [points, x0, y0, x1, y1, level] : drags) {
        ZoomGraph g(points);
        g.drag({x0, y0}, {x1, y1});
        EXPECT_EQ(g.view->g_nZoomLevel, level) << points << " " << x1 << "," << y1;
    }

    ZoomGraph g;
    CDTView& v = *g.view;
    // The drag goes on from 50 pixels left of the plot to 20 right of it, and from 3
    // above to 20 below.
    const struct {
        int x, y;
        bool inside;
    } zone[] = {{60, 400, false},  {61, 400, true},  {979, 400, true}, {980, 400, false},
                {500, 187, false}, {500, 188, true}, {500, 609, true}, {500, 610, false}};
    for (const auto& [x, y, inside] : zone)
        EXPECT_EQ(zoom::insideDragZone(v.m_rcPlot, 1000, 700, x, y), inside) << x << "," << y;
    mouse(v, QEvent::MouseButtonPress, {300, 300}, Qt::LeftButton);
    mouse(v, QEvent::MouseMove, {400, 400}, Qt::LeftButton);
    v.OnDragWatch({400, 650}); // far below the plot
    EXPECT_FALSE(v.timers().IsActive(3));
    mouse(v, QEvent::MouseButtonRelease, {400, 400}, Qt::LeftButton);
    EXPECT_EQ(v.g_nZoomLevel, 0);
}

TEST(ZoomScroll, cursor_snaps_to_the_nearest_point_and_reads_it_out)
{
    ZoomGraph g(11);
    CDTView& v = *g.view;
    mouse(v, QEvent::MouseMove, {149, 400}); // halfway between points 0 and 1
    EXPECT_EQ(v.g_nCursorIndex, 0);
    mouse(v, QEvent::MouseMove, {150, 400});
    EXPECT_EQ(v.g_nCursorIndex, 1);
    mouse(v, QEvent::MouseMove, {889, 400});
    EXPECT_EQ(v.g_strReadout,
              "Data Point No.:11  Time:" + formatPointTime(1700000010) + "   CH1: 1.0V   CH2: LO");
    // the dotted line is the plot's complement: white on black
    QCoreApplication::processEvents();
    const QImage shown = v.screen()->grabWindow(v.winId()).toImage();
    EXPECT_EQ(shown.pixel(889, 306) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(shown.pixel(889, 304) & 0xFFFFFF, 0u);

    // transient samples count within the record; frequencies at the range ends
    g.frame.clearModeFlags();
    g.frame.m_bStoreTr = 1;
    g.doc.m_pTrData.assign(502, 0.0f);
    v.m_nFirstPoint = 252;
    EXPECT_EQ(zoom::readoutLine(v, g.frame, g.doc, 260)->section("   ", 1), "CH1: 0V   CH2: 0A");
    EXPECT_TRUE(zoom::readoutLine(v, g.frame, g.doc, 260)->startsWith("Data Point No.:10 "));
    g.frame.clearModeFlags();
    g.frame.m_bRtFreq = 1;
    g.doc.m_pRtFreq = {{400.0f, 40.0f}};
    EXPECT_TRUE(zoom::readoutLine(v, g.frame, g.doc, 0)->endsWith("CH1: OL   CH2: LO"));
}

TEST(ZoomScroll, time_bar_pans_within_the_window_and_value_bars_stay_in_range)
{
    ZoomGraph g;
    CDTView& v = *g.view;
    g.drag({305, 490}, {500, 290});
    g.paint(); // zoom first 250, position 251, one page 289 points
    v.m_wndTimeScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(v.m_nScrollOffset, -1);
    EXPECT_EQ(v.m_wndTimeScroll->value(), 252);
    zoom::scrollTime(v, zoom::kPageUp, 0);
    EXPECT_EQ(v.m_siTime.nPos, 0);
    zoom::scrollTime(v, zoom::kLineUp, 0);
    EXPECT_EQ(v.m_siTime.nPos, 0);
    zoom::scrollTime(v, zoom::kPageDown, 0);
    zoom::scrollTime(v, zoom::kPageDown, 0);
    zoom::scrollTime(v, zoom::kPageDown, 0);
    zoom::scrollTime(v, zoom::kPageDown, 0);
    EXPECT_EQ(v.m_siTime.nPos, 1001);
    zoom::scrollTime(v, zoom::kLineDown, 0);
    EXPECT_EQ(v.m_siTime.nPos, 1001);

    v.m_nLastPoint = 40000; // beyond 16-bit positions the pointer tells
    EXPECT_EQ(zoom::timeTrackPosition(v, 7, 139), 0);
    EXPECT_EQ(zoom::timeTrackPosition(v, 7, 861), 40000);
    EXPECT_EQ(zoom::timeTrackPosition(v, 7, 500), 20000);
    // the wheel moves the bar by its own steps, wherever the pointer is
    zoom::scrollTime(v, zoom::kThumbTrack, 500);
    v.m_wndTimeScroll->setValue(500);
    QWheelEvent wheel(QPointF(5, 5), v.m_wndTimeScroll->mapToGlobal(QPointF(5, 5)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(v.m_wndTimeScroll, &wheel);
    EXPECT_EQ(v.m_siTime.nPos, v.m_wndTimeScroll->value());
    EXPECT_NEAR(v.m_siTime.nPos, 500, 10);
    v.m_nLastPoint = 1001;

    // The value bars move an axis by at most half the plot's 400 pixels either way.
    using namespace zoom;
    const int steps[][4] = {{-199, kLineUp, 0, -200},  {-200, kLineUp, 0, -200},
                            {199, kLineDown, 0, 200},  {200, kLineDown, 0, 200},
                            {7, kPageUp, 0, -200},     {7, kPageDown, 0, 200},
                            {7, kThumbTrack, -37, -37}}; // from, code, track, to
    for (const auto& [from, code, track, to] : steps) {
        v.m_nVOffset1[1] = from;
        EXPECT_EQ(scrollValue(v, 0, code, track), to) << from << " " << code;
        EXPECT_EQ(v.m_nVOffset1[1], to);
    }
    for (int k = 0; k < 300; ++k)
        v.m_wndScrollCh1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(v.m_nVOffset1[1], 200);
    v.m_wndScrollCh2->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(v.m_nVOffset2[1], -200);
    g.paint(); // CH1 up by half the plot: its axis is lowered by five divisions
    EXPECT_EQ(v.m_strYLabels1[0], "0.00");
}

} // namespace
