#include <QDir>
#include <QPrinter>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <atomic>
#include <gtest/gtest.h>
#include <new>

#include "display/curve_raster.h"
#include "display/dormant_panels.h"
#include "display/plot_scale.h"
#include "display/point_time.h"
#include "graph_fixture.h"

using namespace graphtest;

namespace {

const QRgb kRed = rgb(255, 0, 0);
const QRgb kGreen = rgb(0, 255, 0);
const QRgb kBlue = rgb(0, 0, 255);
const QRgb kBlack = rgb(0, 0, 0);

float flat(float v, int)
{
    return v;
}

// 1000 x 700 client, band 120: plot (110, 190) - (890, 590), 780 x 400; a value v
// on the 0 .. 100 axis lies at y = 590 - 4 v.
TEST(GraphPaint, nothing_to_show_is_uniform_grey_without_children)
{
    Graph g;
    g.view->m_nDisplayMode = 0;
    const QImage image = g.paint();
    EXPECT_EQ(countColor(image, image.rect(), rgb(125, 125, 125)), image.width() * image.height());
    // Only the command-button panel, which is built with the view and never shown.
    const QList<QWidget*> children = g.view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), 1);
    EXPECT_EQ(children.front(), static_cast<QWidget*>(g.view->m_dlgToolPanel));
    EXPECT_TRUE(children.front()->isHidden());
    EXPECT_FALSE(g.view->timers().IsActive(4));
}

TEST(GraphPaint, default_colours_black_plot_red_ch1_green_ch2_blue_dotted_grid)
{
    Graph g;
    g.storeRms(
        1561, [](int i) { return flat(75, i); }, [](int i) { return flat(25, i); });
    const QImage image = g.paint();

    EXPECT_EQ(image.pixel(400, 290), kRed);
    EXPECT_EQ(image.pixel(400, 490), kGreen);
    EXPECT_EQ(image.pixel(400, 300), kBlack); // plot background between grid lines
    // horizontal grid line at 190 + 40 k: dotted, blue and background alternating
    const int blue = countColor(image, QRect(120, 390, 40, 1), kBlue);
    const int black = countColor(image, QRect(120, 390, 40, 1), kBlack);
    EXPECT_EQ(blue, 20);
    EXPECT_EQ(black, 20);
    // vertical grid line at a quarter of the width (x = 305)
    EXPECT_GT(countColor(image, QRect(305, 320, 1, 40), kBlue), 10);
    EXPECT_GT(countColor(image, QRect(305, 320, 1, 40), kBlack), 10);
    // nothing of the curves outside the plot
    EXPECT_EQ(countColor(image, QRect(0, 0, 1000, 190), kRed), 0);
    EXPECT_EQ(countColor(image, QRect(891, 190, 109, 400), kGreen), 0);
    // the top value labels start at T - 8, and the outer fill over T - 20 .. T - 6,
    // painted after them, trims their first rows
    EXPECT_EQ(countDark(image, QRect(40, 182, 60, 3)), 0);
    EXPECT_GT(countDark(image, QRect(40, 185, 60, 8)), 20);
    // white border and black surround
    EXPECT_EQ(image.pixel(500, 130), rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(5, 400), kBlack);
}

TEST(GraphPaint, curve_on_top_edge_is_drawn_segment_above_is_not)
{
    // flat on the top edge (value 100 -> y 190) for the first half, then one pixel
    // above it (y 189): the segment leaving the edge upwards is skipped, so its
    // start pixel on the edge stays background.
    Graph g;
    g.storeRms(
        11, [](int i) { return i < 5 ? 100.0f : 100.25f; }, [](int) { return 50.0f; });
    g.view->m_bViewXAxis = 0;
    const QImage image = g.paint();
    // points at x = 110 + 78 i
    EXPECT_EQ(image.pixel(150, 190), kRed);   // segment 1 .. 2, on the edge
    EXPECT_EQ(image.pixel(430, 190), kBlack); // segment from point 4 (edge) to 5 (above)
    EXPECT_EQ(image.pixel(600, 190), kBlack); // wholly above

    // the axis top itself is on the edge whatever the span (0 .. 11: 11 x 400 / 11)
    Graph top;
    top.storeRms(
        11, [](int) { return 11.0f; }, [](int) { return 5.0f; });
    top.view->m_nCh1Max = 11;
    top.view->m_bViewXAxis = 0;
    EXPECT_EQ(top.paint().pixel(400, 190), kRed);

    // same on the bottom edge: flat at value 0 (y 590) is drawn
    Graph h;
    h.storeRms(
        11, [](int) { return 0.0f; }, [](int) { return 50.0f; });
    h.view->m_bViewXAxis = 0;
    EXPECT_EQ(h.paint().pixel(400, 590), kRed);
}

TEST(GraphPaint, point_marks_above_and_below_each_point)
{
    Graph g;
    g.storeRms(
        5, [](int) { return 50.0f; }, [](int) { return 20.0f; });
    g.view->m_bMarkPoints = 1;
    g.view->m_bViewXAxis = g.view->m_bViewYAxis = 0;
    const QImage image = g.paint();
    // point 2 at x = 110 + 195 = 305, y = 390
    for (int dx = -1; dx <= 1; ++dx) {
        EXPECT_EQ(image.pixel(305 + dx, 389), kRed) << dx;
        EXPECT_EQ(image.pixel(305 + dx, 391), kRed) << dx;
    }
    EXPECT_EQ(image.pixel(305, 388), kBlack);
    EXPECT_EQ(image.pixel(302, 389), kBlack);
    // without marks only the line row is coloured
    g.view->m_bMarkPoints = 0;
    EXPECT_EQ(g.paint().pixel(305, 389), kBlack);
}

TEST(GraphPaint, axis_options_remove_only_their_grid)
{
    Graph g;
    g.storeRms(
        1561, [](int) { return 75.0f; }, [](int) { return 25.0f; });
    g.view->m_bViewXAxis = 0;
    QImage image = g.paint();
    EXPECT_EQ(countColor(image, QRect(120, 390, 40, 1), kBlue), 0);  // no horizontal grid
    EXPECT_EQ(countColor(image, QRect(105, 390, 5, 1), kBlue), 5);   // value ticks stay
    EXPECT_EQ(countColor(image, QRect(890, 390, 6, 1), kBlue), 5);   // end pixel left out
    EXPECT_GT(countColor(image, QRect(305, 320, 1, 40), kBlue), 10); // vertical grid stays

    g.view->m_bViewXAxis = 1;
    g.view->m_bViewYAxis = 0;
    image = g.paint();
    EXPECT_EQ(countColor(image, QRect(305, 352, 1, 36), kBlue), 0); // between grid rows
    EXPECT_EQ(countColor(image, QRect(305, 590, 1, 5), kBlue), 5);  // time tick stays
    EXPECT_EQ(countColor(image, QRect(120, 390, 40, 1), kBlue), 20);
}

TEST(GraphPaint, time_labels_for_many_points_few_points_and_one_point)
{
    // many points: labels at 0, 1/4, 1/2, 3/4 and the full width
    Graph g;
    g.storeRms(
        1561, [](int) { return 75.0f; }, [](int) { return 25.0f; });
    QImage image = g.paint();
    const int expectedX[5] = {110, 305, 500, 695, 890};
    for (int x : expectedX) {
        EXPECT_GT(countDark(image, QRect(x - 30, 595, 60, 24)), 20) << x;
        EXPECT_EQ(countColor(image, QRect(x, 590, 1, 5), kBlue), 5) << x;
    }
    EXPECT_EQ(g.view->m_strXLabels[1], formatTime(1700000000 + 390, "%H:%M:%S"));
    EXPECT_EQ(countDark(image, QRect(200, 595, 60, 24)), 0); // between labels

    // three points: a label at every point (x = 110, 500, 890)
    Graph three;
    three.storeRms(
        3, [](int) { return 75.0f; }, [](int) { return 25.0f; });
    image = three.paint();
    for (int x : {110, 500, 890})
        EXPECT_GT(countDark(image, QRect(x - 30, 595, 60, 24)), 20) << x;
    EXPECT_EQ(countDark(image, QRect(280, 595, 60, 24)), 0);

    // one point in Store RMS: start time and date at L - 23
    Graph one;
    one.storeRms(
        1, [](int) { return 75.0f; }, [](int) { return 25.0f; });
    image = one.paint();
    EXPECT_GT(countDark(image, QRect(87, 595, 50, 12)), 10);
    EXPECT_GT(countDark(image, QRect(87, 607, 50, 12)), 10);

    // one point in Store TR: "1" at (L, B + 5), no date
    one.frame.clearModeFlags();
    one.frame.m_bStoreTr = 1;
    one.doc.m_pTrData.assign(251, 10.0f);
    image = one.paint();
    EXPECT_GT(countDark(image, QRect(110, 595, 8, 12)), 3);
    EXPECT_EQ(countDark(image, QRect(87, 595, 22, 30)), 0);
    EXPECT_EQ(countDark(image, QRect(110, 607, 50, 12)), 0);
}

TEST(GraphPaint, transient_labels_count_points_from_one)
{
    Graph g;
    g.storeRms(
        251, [](int) { return 50.0f; }, [](int) { return 50.0f; });
    g.frame.clearModeFlags();
    g.frame.m_bStoreTr = 1;
    g.doc.m_pTrData.assign(251, 10.0f);
    g.paint();
    EXPECT_EQ(g.view->m_strXLabels[0], QStringLiteral("1"));
    EXPECT_EQ(g.view->m_strXLabels[1], QStringLiteral("63")); // step trunc(780 / (4 x 3.12))
    EXPECT_EQ(g.view->m_strYLabels1[0], QStringLiteral("0.00"));
    EXPECT_EQ(g.view->m_strYLabels1[10], QStringLiteral("100.00"));
}

TEST(GraphPaint, power_legend_is_the_unit_alone_and_no_ch2)
{
    Graph g;
    g.storeRms(
        50, [](int) { return 40.0f; }, [](int) { return 60.0f; });
    g.frame.clearModeFlags();
    g.frame.m_bRtPowerS = 1;
    g.doc.m_pRtRms.assign(50, FloatPair{8.0f, 5.0f}); // S = 40
    g.view->m_nRtCount = 50;
    g.view->m_strUnit1 = QStringLiteral("VA");
    const QImage image = g.paint();
    EXPECT_GT(countColor(image, QRect(60, 621, 30, 20), kRed), 10); // "VA" at (60, B + 31)
    EXPECT_EQ(countColor(image, QRect(20, 621, 40, 20), kRed), 0);  // no "CH1 " before it
    EXPECT_EQ(countColor(image, QRect(891, 621, 100, 20), kGreen), 0);
    EXPECT_EQ(countColor(image, QRect(110, 190, 781, 401), kGreen), 0); // CH2 not drawn
    EXPECT_EQ(image.pixel(400, 430), kRed);                             // S = 40 -> y 430

    // the ordinary legends
    Graph h;
    h.storeRms(
        50, [](int) { return 40.0f; }, [](int) { return 60.0f; });
    const QImage normal = h.paint();
    EXPECT_GT(countColor(normal, QRect(45, 621, 60, 20), kRed), 10);
    EXPECT_GT(countColor(normal, QRect(891, 621, 60, 20), kGreen), 10);
}

TEST(GraphPaint, first_paint_after_load_switches_mode_by_document_tag)
{
    Graph g;
    g.storeRms(
        20, [](int) { return 40.0f; }, [](int) { return 60.0f; });
    g.doc.m_strReadTag = QStringLiteral("RMSTRDATA");
    g.view->m_bNewDocument = 1;
    g.view->m_nFirstPoint = 7;
    g.view->g_bFullView = 0;
    g.view->g_nZoomLevel = 1;
    g.paint();
    EXPECT_EQ(g.frame.storeRmsCalls, 1);
    EXPECT_EQ(g.frame.storeRmsFlagAtCall, 0); // cleared so the command does its set-up
    EXPECT_EQ(g.frame.realTimeRmsCalls, 0);
    EXPECT_EQ(g.view->m_nFirstPoint, 1);
    EXPECT_EQ(g.view->g_bFullView, 1);
    EXPECT_EQ(g.view->m_bNewDocument, 0);
    g.paint();
    EXPECT_EQ(g.frame.storeRmsCalls, 1);

    g.doc.m_strReadTag = QStringLiteral("EPADATA");
    g.view->m_bNewDocument = 1;
    g.paint();
    EXPECT_EQ(g.frame.realTimeRmsCalls, 1);

    g.doc.m_strReadTag = QStringLiteral("OTHER");
    g.view->m_bNewDocument = 1;
    g.view->m_nFirstPoint = 3;
    g.paint();
    EXPECT_EQ(g.frame.storeRmsCalls + g.frame.realTimeRmsCalls, 2);
    EXPECT_EQ(g.view->m_nFirstPoint, 1);
}

TEST(GraphPaint, window_and_printer_ready_the_page_and_the_drawing_only_draws)
{
    Graph g;
    g.storeRms(
        20, [](int) { return 40.0f; }, [](int) { return 60.0f; });
    g.doc.m_strReadTag = QStringLiteral("RMSTRDATA");
    CDTView& v = *g.view;
    QImage page(2000, 1400, QImage::Format_RGB32);
    QPainter p(&page);

    // Drawing alone enters no mode, arms no timer and keeps the layout it is given.
    v.m_bNewDocument = 1;
    const PlotRect given = v.m_rcPlot;
    v.OnDraw(p, page.size(), true);
    EXPECT_TRUE(v.m_rcPlot == given);
    EXPECT_EQ(g.frame.storeRmsCalls, 0);
    EXPECT_EQ(v.m_bNewDocument, 1);
    EXPECT_FALSE(v.timers().IsActive(4));

    // A printed page of a document just loaded (nothing painted on the screen yet, as
    // when printing from the command line) is readied first, at the current size.
    v.resize(1200, 800);
    v.OnPrint(p, 1);
    EXPECT_EQ(g.frame.storeRmsCalls, 1);
    EXPECT_EQ(v.m_bNewDocument, 0);
    EXPECT_TRUE(v.timers().IsActive(4));
    EXPECT_EQ(v.m_rcPlot.right, 1090);

    // ... and so is the window's paint.
    v.m_bNewDocument = 1;
    v.grab();
    EXPECT_EQ(g.frame.storeRmsCalls, 2);
    EXPECT_EQ(v.m_bNewDocument, 0);
}

TEST(GraphPaint, first_graph_paint_creates_children_and_arms_timer_4_once)
{
    Graph g;
    g.storeRms(
        20, [](int) { return 40.0f; }, [](int) { return 60.0f; });
    g.paint();
    CDTView& v = *g.view;
    ASSERT_NE(v.m_wndTimeScroll, nullptr);
    ASSERT_NE(v.m_wndScrollCh1, nullptr);
    ASSERT_NE(v.m_wndScrollCh2, nullptr);
    ASSERT_NE(v.m_dlgRecInfo, nullptr);
    ASSERT_NE(v.m_wndViewToolBar, nullptr);
    EXPECT_EQ(v.m_wndTimeScroll->geometry(), QRect(110, 625, 780, 20));
    EXPECT_EQ(v.m_wndScrollCh1->geometry(), QRect(20, 190, 20, 400));
    EXPECT_EQ(v.m_wndScrollCh2->geometry(), QRect(960, 190, 20, 400));
    EXPECT_EQ(v.m_wndViewToolBar->geometry(), QRect(20, 145, 960, 35));
    for (QScrollBar* bar : {v.m_wndTimeScroll, v.m_wndScrollCh1, v.m_wndScrollCh2}) {
        EXPECT_TRUE(bar->isVisibleTo(&v));
        EXPECT_FALSE(bar->isEnabled());
    }
    const auto buttons = v.m_wndViewToolBar->findChildren<QToolButton*>();
    QList<int> ids;
    for (QToolButton* b : buttons)
        if (b->property("commandId").isValid())
            ids << b->property("commandId").toInt();
    EXPECT_EQ(ids, (QList<int>{32792, 32868, 32845, 32881}));
    for (QToolButton* b : buttons) {
        const int id = b->property("commandId").toInt();
        if (id == 32792) {
            EXPECT_EQ(b->toolTip(), QStringLiteral("ZoomOut"));
        } else if (id != 0) {
            EXPECT_TRUE(b->toolTip().isEmpty()) << id;
        }
    }

    // the toolbar paints its face over the black above the plot
    EXPECT_NE(v.grab().toImage().pixel(900, 150), kBlack);

    EXPECT_TRUE(v.timers().IsActive(4));
    EXPECT_EQ(v.timers().Interval(4), 50);
    v.g_bFullView = 0;
    v.g_nZoomLevel = 1;
    v.OnTimer(4);
    EXPECT_FALSE(v.timers().IsActive(4));
    EXPECT_EQ(v.g_bFullView, 1);
    EXPECT_EQ(v.g_nZoomLevel, 0);
    v.m_nDisplayMode = 2;
    g.paint();
    v.m_nDisplayMode = 1;
    g.paint();
    EXPECT_FALSE(v.timers().IsActive(4));

    // the ZoomOut button returns to the full view
    v.g_bFullView = 0;
    for (QToolButton* b : buttons) {
        if (b->property("commandId").toInt() == 32792)
            b->click();
    }
    EXPECT_EQ(v.g_bFullView, 1);
}

TEST(GraphPaint, spans_and_sizes_that_cannot_be_drawn_are_skipped)
{
    // CH1 axis without span: no red, CH2 still drawn, labels still written
    Graph g;
    g.storeRms(
        101, [](int) { return 75.0f; }, [](int) { return 25.0f; });
    g.view->m_nCh1Min = g.view->m_nCh1Max = 50;
    QImage image = g.paint();
    EXPECT_EQ(countColor(image, QRect(110, 190, 781, 401), kRed), 0);
    EXPECT_EQ(image.pixel(400, 490), kGreen);
    EXPECT_EQ(g.view->m_strYLabels1[10], QStringLiteral("50.00"));

    // a client exactly 220 wide: plot of zero width
    Graph narrow(QSize(220, 700));
    narrow.storeRms(
        101, [](int) { return 75.0f; }, [](int) { return 25.0f; });
    image = narrow.paint();
    EXPECT_FALSE(image.isNull());

    // a client too low for a plot
    Graph low(QSize(600, 250));
    low.storeRms(
        101, [](int) { return 75.0f; }, [](int) { return 25.0f; });
    low.paint();

    // fewer than two points, and a window larger than the caches
    Graph tiny;
    tiny.storeRms(
        2, [](int) { return 75.0f; }, [](int) { return 25.0f; });
    tiny.view->m_nLastPoint = 1;
    tiny.paint();
    tiny.view->freePlotCaches();
    tiny.view->m_nLastPoint = 2;
    image = tiny.paint();
    EXPECT_GE(tiny.view->plotCacheCapacity(), 2);
    EXPECT_EQ(image.pixel(400, 290), kRed);

    // a window longer than the data: the missing points are not drawn
    Graph shortData;
    shortData.storeRms(
        10, [](int) { return 75.0f; }, [](int) { return 25.0f; });
    shortData.view->m_nLastPoint = 20;
    image = shortData.paint();
    EXPECT_EQ(image.pixel(200, 290), kRed);
    EXPECT_EQ(countColor(image, QRect(600, 190, 290, 401), kRed), 0);
}

TEST(GraphPaint, printing_stretches_the_picture_over_the_page)
{
    Graph g;
    g.storeRms(
        101, [](int) { return 75.0f; }, [](int) { return 25.0f; });
    g.view->g_strReadout = QStringLiteral("1   12:00:00");
    const QImage page = g.paint(true, QSize(2000, 1400));
    EXPECT_EQ(page.pixel(100, 100), rgb(255, 255, 255)); // band area white
    EXPECT_EQ(page.pixel(800, 580), kRed);               // (400, 290) doubled
    EXPECT_EQ(page.pixel(800, 980), kGreen);
    // the read-out on a black bar under the plot
    EXPECT_EQ(page.pixel(2 * 800, 2 * 677), kBlack);

    // the page is the device's, in its own pixels, whatever the painter's scale
    QImage device(2000, 1400, QImage::Format_RGB32);
    device.fill(Qt::magenta);
    QPainter p(&device);
    p.scale(0.25, 0.25);
    g.view->OnDraw(p, QSize(10, 10), true);
    p.end();
    EXPECT_TRUE(device == page);
}

TEST(GraphPaint, a_curve_stripe_out_of_memory_ends_in_the_paint_or_the_print_not_the_program)
{
    // Enough segments for the curves to be drawn in stripes on threads of their own.
    Graph g;
    g.storeRms(
        30000, [](int i) { return float(i % 100); }, [](int i) { return float(99 - i % 100); });
    g.view->m_bViewCh1 = g.view->m_bViewCh2 = 0;
    const QImage withoutCurves = g.paint();
    g.view->m_bViewCh1 = g.view->m_bViewCh2 = 1;
    ASSERT_FALSE(g.paint() == withoutCurves);

    std::atomic<int> stripes = 0;
    setCurveStripeHook([&](unsigned stripe) {
        ++stripes;
        if (stripe == 0)
            throw std::bad_alloc();
    });
    // The window: the graph without its curves (those of the stripes that drew are
    // covered again).
    EXPECT_TRUE(g.paint() == withoutCurves);
    EXPECT_GE(stripes.load(), 1);
    // The print: the failure is the print's, reported to the user by its caller.
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir::homePath() + QStringLiteral("/graph.pdf"));
    EXPECT_EQ(g.view->PrintReport(&printer), QStringLiteral("There is not enough memory."));
    setCurveStripeHook({});
    EXPECT_EQ(g.view->PrintReport(&printer), QString());
    EXPECT_FALSE(g.paint() == withoutCurves);
}

TEST(GraphPaint, zoomed_paint_draws_the_selected_box)
{
    Graph g;
    g.storeRms(
        101, [](int i) { return float(i); }, [](int) { return 10.0f; });
    g.paint();
    CDTView& v = *g.view;
    // box over x 110 .. 500 (points 0 .. 50) and the lower half of the values
    v.g_dBoxLeft = 110;
    v.g_dBoxRight = 500;
    v.g_dBoxTop = 390;
    v.g_dBoxBottom = 590;
    v.g_nZoomLevel = 1;
    v.g_bFullView = 0;
    v.g_bZoomScrollSet = 0;
    v.m_bZoomPending = 1;
    const QImage image = g.paint();
    EXPECT_EQ(v.m_strYLabels1[0], QStringLiteral("0.00"));
    EXPECT_EQ(v.m_strYLabels1[10], QStringLiteral("50.00"));
    EXPECT_EQ(v.m_bZoomPending, 0);
    EXPECT_EQ(v.m_wndTimeScroll->maximum(), 101);
    EXPECT_EQ(v.m_wndScrollCh1->minimum(), -200);
    // CH1 = i: point 25 at x 110 + 25 x 15.6 = 500, y = 590 - 25 x 8 = 390
    EXPECT_EQ(image.pixel(500, 390), kRed);
}

} // namespace

namespace {

// A running real-time RMS trend of n samples, painted once.
void runningTrend(Graph& g, int n, float value)
{
    CDTView& v = *g.view;
    g.frame.clearModeFlags();
    g.frame.m_bRtRms = 1;
    g.frame.m_bStopped = 0;
    v.m_nDisplayMode = 1;
    v.m_bShowCh1 = 1;
    v.m_nCh1Max = 100;
    v.m_strUnit1 = QStringLiteral("V");
    v.m_nFirstPoint = 1;
    v.allocatePlotCaches(1000);
    v.OnInitialUpdate();
    for (int i = 0; i < n; ++i)
        g.doc.m_pRtRms.push_back({value, 0.0f});
    v.m_nRtCount = v.m_nLastPoint = n;
    g.paint();
}

TEST(GraphPaint, real_time_sample_draws_its_segment_into_the_shown_picture)
{
    Graph g;
    runningTrend(g, 10, 50.0f);
    CDTView& v = *g.view;
    // 100 points across 780 pixels: point 9 at x 180.9, point 10 at 188.8
    const QRect newSegment(181, 270, 8, 119);
    EXPECT_EQ(countColor(v.picture(), newSegment, rgb(255, 0, 0)), 0);
    g.doc.m_pRtRms.push_back({80.0f, 0.0f}); // y 270
    v.m_nRtCount = v.m_nLastPoint = 11;
    v.RefreshRealTimeGraph();
    EXPECT_GT(countColor(v.picture(), newSegment, rgb(255, 0, 0)), 100);
    EXPECT_EQ(v.m_bRescaleRedraw, 0);

    // a sample above the axis crosses the top edge: the whole graph is repainted
    // later instead, nothing is drawn straight away
    const QImage before = v.picture();
    g.doc.m_pRtRms.push_back({150.0f, 0.0f});
    v.m_nRtCount = v.m_nLastPoint = 12;
    v.RefreshRealTimeGraph();
    EXPECT_TRUE(v.picture() == before);
}

TEST(GraphPaint, real_time_scale_growth_asks_for_one_full_repaint)
{
    Graph g(QSize(1220, 700));
    runningTrend(g, 100, 50.0f);
    CDTView& v = *g.view;
    const QImage before = v.picture();
    g.doc.m_pRtRms.push_back({60.0f, 0.0f});
    v.m_nRtCount = v.m_nLastPoint = 101;
    v.RefreshRealTimeGraph();
    EXPECT_EQ(v.m_nRtScaleLevel, 1);
    EXPECT_EQ(v.m_bRescaleRedraw, 0); // consumed by the repaint request
    EXPECT_TRUE(v.picture() == before);
}

} // namespace
