#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>

#include "display/plot_scale.h"
#include "graph_fixture.h"

using namespace graphtest;

namespace {

TEST(PlotScale, stored_scale_ticks_and_level0_positions)
{
    Graph g;
    g.storeRms(
        5, [](int i) { return i * 25.0f; }, [](int) { return 50.0f; });
    CDTView& v = *g.view;
    v.m_rcPlot = g.plot();
    v.m_nCh2Min = -10;
    v.m_nCh2Max = 10;
    v.PreparePlotPoints();
    EXPECT_FLOAT_EQ(v.g_fXScale, 780.0f / 4);
    EXPECT_FLOAT_EQ(v.g_fTicks1[0][0], 0.0f);
    EXPECT_FLOAT_EQ(v.g_fTicks1[0][3], 30.0f);
    EXPECT_NEAR(v.g_fTicks2[0][5], 0.0f, 1e-6); // 0.1 is a single-precision step
    EXPECT_FLOAT_EQ(v.g_fTicks2[0][10], 10.0f);
    EXPECT_EQ(v.g_rcPlotPrev, v.m_rcPlot);
    for (int p = 0; p < 5; ++p) {
        EXPECT_DOUBLE_EQ(v.m_pPlotPixels[cacheIndex(p, 0, 0)], 110 + p * 195.0);
        EXPECT_DOUBLE_EQ(v.m_pPlotPixels[cacheIndex(p, 1, 0)], 110 + p * 195.0);
        EXPECT_DOUBLE_EQ(v.m_pPlotPixels2[cacheIndex(p, 0, 0)], 590 - p * 100.0);
    }
    // 50 on a -10 .. 10 axis lies far above the plot, unclipped
    EXPECT_DOUBLE_EQ(v.m_pPlotPixels2[cacheIndex(0, 1, 0)], 590 - 60 * 20.0);

    // A value bar's offset moves the axis by offset x span / H: the bar up by half the
    // plot lowers the axis by half its span.
    const int offsets[][2] = {{200, -20}, {-100, -5}};
    for (const auto& [offset, low] : offsets) {
        v.m_nVOffset2[0] = offset;
        v.PreparePlotPoints();
        EXPECT_FLOAT_EQ(v.g_fTicks2[0][0], float(low)) << offset;
        EXPECT_NEAR(v.g_fTicks2[0][10], low + 20, 1e-5) << offset;
    }
}

// The full-view curves are drawn from positions worked out from the data; they must
// be the very values the level-0 cache holds, or the picture would differ.
TEST(PlotScale, positions_from_the_data_equal_the_level0_cache_bit_for_bit)
{
    Graph g;
    const int n = 70000; // enough to share the work out
    g.storeRms(
        n, [](int i) { return float(i % 101) + 0.37f * float(i % 7); },
        [](int i) { return float(std::sin(i * 0.01) * 60.0); });
    CDTView& v = *g.view;
    v.m_nCh1Max = 101;
    v.m_nCh2Min = -37;
    v.m_nCh2Max = 59;
    v.m_nVOffset1[0] = 13;
    v.m_rcPlot = g.plot();
    g.doc.m_pCh2Data.resize(n - 5); // the last points of CH2 have no value
    v.PreparePlotPoints();
    for (int ch = 0; ch < 2; ++ch) {
        const LevelZeroY y = levelZeroY(v, g.doc, g.frame, ch);
        for (int p = 0; p < n; ++p) {
            const double cached = v.m_pPlotPixels2[cacheIndex(p, ch, 0)];
            const double fromData = y.at(p);
            if (std::isnan(cached)) {
                ASSERT_TRUE(std::isnan(fromData)) << ch << " " << p;
            } else {
                ASSERT_EQ(std::memcmp(&cached, &fromData, sizeof cached), 0) << ch << " " << p;
            }
        }
    }
    EXPECT_TRUE(std::isnan(v.m_pPlotPixels2[cacheIndex(n - 1, 1, 0)]));
}

TEST(PlotScale, one_point_spans_the_width_and_zero_spans_give_no_positions)
{
    Graph g;
    g.storeRms(
        1, [](int) { return 10.0f; }, [](int) { return 10.0f; });
    CDTView& v = *g.view;
    v.m_rcPlot = g.plot();
    v.m_nCh2Max = v.m_nCh2Min = 7;
    v.PreparePlotPoints();
    EXPECT_FLOAT_EQ(v.g_fXScale, 780.0f);
    EXPECT_DOUBLE_EQ(v.m_pPlotPixels2[cacheIndex(0, 0, 0)], 590 - 40.0);
    EXPECT_TRUE(std::isnan(v.m_pPlotPixels2[cacheIndex(0, 1, 0)]));

    // The spacing of the points needs the positions of the window's first two.
    const int spacings[][4] = {{1, 1, 2, 0}, {0, 2, 2, 0}, {2, 3, 2, 0}, {2, 3, 3, 1}};
    for (const auto& [first, last, cached, known] : spacings) { // cached: points in the cache
        v.m_nFirstPoint = first;
        v.m_nLastPoint = last;
        v.m_pPlotPixels.assign(static_cast<std::size_t>(cached) * 6, 0.0);
        for (int p = 0; p < cached; ++p)
            v.m_pPlotPixels[cacheIndex(p, 0, 0)] = 100.0 + 20.0 * p;
        double x0 = 0, dx = 0;
        ASSERT_EQ(windowSpacing(v, x0, dx), known != 0) << first << " " << cached;
        if (known) {
            EXPECT_EQ(std::pair(x0, dx), std::pair(120.0, 20.0));
        }
    }
}

TEST(PlotScale, real_time_scale_grows_one_step_when_points_fill_it)
{
    Graph g(QSize(1220, 700)); // plot width 1000
    CDTView& v = *g.view;
    v.OnInitialUpdate();
    ASSERT_EQ(v.m_rcPlot.width(), 1000);
    EXPECT_EQ(v.m_nScaleSteps[0], 100);
    EXPECT_EQ(v.m_nScaleSteps[1], 109);
    g.frame.clearModeFlags();
    g.frame.m_bRtRms = 1;
    g.frame.m_bStopped = 0;
    v.m_bShowCh1 = 1;
    v.m_nCh1Max = 100;
    v.m_nFirstPoint = 1;
    v.allocatePlotCaches(1000);
    for (int n = 1; n <= 100; ++n) {
        g.doc.m_pRtRms.push_back({float(n % 50), 1.0f});
        v.m_nRtCount = v.m_nLastPoint = n;
        v.PreparePlotPoints();
    }
    EXPECT_EQ(v.m_nRtScaleLevel, 0);
    EXPECT_FLOAT_EQ(v.g_fXScale, 1000.0f / 99);
    EXPECT_EQ(v.m_bRescaleRedraw, 0);
    g.doc.m_pRtRms.push_back({1.0f, 1.0f});
    v.m_nRtCount = v.m_nLastPoint = 101;
    v.PreparePlotPoints();
    EXPECT_EQ(v.m_nRtScaleLevel, 1);
    EXPECT_EQ(v.m_bRescaleRedraw, 1);
    EXPECT_EQ(v.m_nScaleSteps[1], 109);
    EXPECT_FLOAT_EQ(v.g_fXScale, 1000.0f / 108);

    // stopped: the stored rule W / (L - f)
    g.frame.m_bStopped = 1;
    v.PreparePlotPoints();
    EXPECT_FLOAT_EQ(v.g_fXScale, 1000.0f / 100);

    // the table's last entry is never passed
    g.frame.m_bStopped = 0;
    v.m_nRtScaleLevel = 99;
    v.m_nScaleSteps[99] = 50;
    v.PreparePlotPoints();
    EXPECT_EQ(v.m_nRtScaleLevel, 99);
}

TEST(PlotScale, label_step_by_points_across_the_plot)
{
    struct Case {
        int points;
        int step;
    };
    for (const Case c :
         {Case{2, 1}, Case{3, 1}, Case{4, 1}, Case{5, 1}, Case{1561, 390}, Case{262144, 65535}}) {
        Graph g;
        g.storeRms(
            c.points, [](int) { return 1.0f; }, [](int) { return 1.0f; });
        CDTView& v = *g.view;
        v.m_rcPlot = g.plot();
        v.PreparePlotPoints();
        const TimeLabels t = planTimeLabels(v, g.frame);
        ASSERT_TRUE(t.valid) << c.points;
        EXPECT_EQ(t.step, c.step) << c.points;
        EXPECT_EQ(t.index[3], 3 * c.step);
        EXPECT_EQ(t.time[2], 1700000000 + 2 * c.step);
    }
}

TEST(PlotScale, sub_second_interval_labels_advance_with_the_points)
{
    Graph g;
    g.storeRms(
        1561, [](int) { return 1.0f; }, [](int) { return 1.0f; });
    CDTView& v = *g.view;
    v.m_fInterval = 0.5f;
    v.m_rcPlot = g.plot();
    v.PreparePlotPoints();
    const TimeLabels t = planTimeLabels(v, g.frame);
    EXPECT_EQ(t.time[0], 1700000000);
    EXPECT_EQ(t.time[1], 1700000000 + 195);
    EXPECT_EQ(t.time[4], 1700000000 + 780);
}

} // namespace
