// Timings of the graph, run by hand in a Release build:
//   test_display --gtest_also_run_disabled_tests --gtest_filter='GraphBenchmark.*'
// Set RQ730_GRAPH_PNG to a file name to also keep the painted picture.
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <vector>

#include "graph_fixture.h"

using namespace graphtest;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A day of mains voltage and a load current, 262,144 points each.
void fullMemory(Graph& g)
{
    g.storeRms(
        262144,
        [](int i) {
            const double t = i / 262144.0;
            return float(230 + 6 * std::sin(t * 40) + 2.5 * std::sin(i * 0.37)
                         + (i % 9973 == 0 ? -25 : 0));
        },
        [](int i) {
            const double t = i / 262144.0;
            return float(8 + 5 * std::sin(t * 9 + 1) * std::sin(t * 9 + 1)
                         + 1.2 * std::sin(i * 0.11) + ((i / 4000) % 7 == 3 ? 4 : 0));
        });
    CDTView& v = *g.view;
    v.m_nCh1Min = 200;
    v.m_nCh1Max = 250;
    v.m_nCh2Min = 0;
    v.m_nCh2Max = 20;
    v.m_fInterval = 0.33f;
    v.g_strReadout = QStringLiteral("CH1: 231.4V  CH2: 9.8A  @ 14/11/23 22:40:12  No.12345");
}

TEST(GraphBenchmark, DISABLED_full_paint_and_real_time_refresh)
{
    Graph g(QSize(1600, 900));
    fullMemory(g);
    QImage target(1600, 900, QImage::Format_RGB32);
    g.view->PreparePage();
    std::vector<double> paints;
    for (int i = 0; i < 31; ++i) {
        QElapsedTimer timer;
        timer.start();
        QPainter p(&target);
        g.view->OnDraw(p, target.size(), false);
        p.end();
        paints.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("full paint, 2 x 262144 points, 1600 x 900: median %.2f ms (min %.2f)\n",
                median(paints), *std::min_element(paints.begin(), paints.end()));
    if (const QByteArray png = qgetenv("RQ730_GRAPH_PNG"); !png.isEmpty())
        target.save(QString::fromLocal8Bit(png));

    // real-time: a running RMS trend, one sample at a time
    Graph rt(QSize(1600, 900));
    CDTView& v = *rt.view;
    rt.frame.clearModeFlags();
    rt.frame.m_bRtRms = 1;
    rt.frame.m_bStopped = 0;
    v.m_nDisplayMode = 1;
    v.m_bShowCh1 = v.m_bShowCh2 = 1;
    v.m_nCh1Max = 300;
    v.m_nCh2Max = 20;
    v.m_nFirstPoint = 1;
    v.allocatePlotCaches(100000);
    v.OnInitialUpdate();
    std::vector<double> refreshes;
    for (int n = 1; n <= 400; ++n) {
        rt.doc.m_pRtRms.push_back(
            {float(230 + std::sin(n * 0.2) * 3), float(9 + std::sin(n * 0.05))});
        v.m_nRtCount = v.m_nLastPoint = n;
        if (n <= 3 || v.m_bRescaleRedraw) {
            rt.paint();
            continue;
        }
        QElapsedTimer timer;
        timer.start();
        v.RefreshRealTimeGraph();
        refreshes.push_back(timer.nsecsElapsed() / 1e6);
        if (v.m_bRescaleRedraw)
            rt.paint();
    }
    std::printf("real-time sample refresh: median %.3f ms over %zu samples\n", median(refreshes),
                refreshes.size());
}

} // namespace
