#include <QScrollBar>
#include <gtest/gtest.h>

#include "display/cdtview.h"
#include "document/cdtdoc.h"
#include "platform/folders.h"
#include "platform/whole_file.h"
#include "support/test_env.h"

namespace {

TEST(ViewState, options_default_without_settings_file)
{
    testenv::resetHome();
    CDTDoc doc;
    CDTView view(&doc);
    const std::uint8_t options[9] = {
        view.m_bViewCh1,      view.m_bViewCh2,      view.m_bViewCh3,
        view.m_bViewCapLevel, view.m_bViewCh2Alarm, view.m_bViewCh3Alarm,
        view.m_bMarkPoints,   view.m_bViewYAxis,    view.m_bViewXAxis};
    const std::uint8_t expected[9] = {1, 1, 1, 0, 0, 0, 0, 1, 1};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(options[i], expected[i]) << "VIEW" << i + 1;
    EXPECT_EQ(view.m_nRtSampleRate, 2);
    // Initial values of a new view.
    EXPECT_EQ(view.m_nDisplayMode, 0);
    EXPECT_EQ(view.m_nTopBandHeight, 120);
    EXPECT_EQ(view.m_bListDirty, 1);
    EXPECT_EQ(view.m_bZoomPending, 1);
    EXPECT_EQ(view.m_bCursorReady, 1);
    EXPECT_EQ(view.m_bAutoScale[0], 1);
    EXPECT_EQ(view.m_bAutoScale[1], 1);
    EXPECT_EQ(doc.GetFirstView(), &view);
}

TEST(ViewState, options_are_read_as_stored)
{
    testenv::resetHome();
    writeWholeFile(windowsFolder() + QStringLiteral("/529DATALOGGER.ini"),
                   "[VIEWInfo]\r\nVIEW1=0\r\nVIEW7=1\r\nVIEW8=258\r\n"
                   "[RTSAMPRATEINFO]\r\nRTSAMPRATE=7200\r\n");
    CDTDoc doc;
    CDTView view(&doc);
    EXPECT_EQ(view.m_bViewCh1, 0);
    EXPECT_EQ(view.m_bViewCh2, 1);
    EXPECT_EQ(view.m_bMarkPoints, 1);
    EXPECT_EQ(view.m_bViewYAxis, 2);       // held in 8 bits, no range check
    EXPECT_EQ(view.m_nRtSampleRate, 7200); // used unchanged outside 2..3600
}

TEST(ViewState, plot_rectangle_follows_client_and_band)
{
    const PlotRect r = ViewState::plotRectFor(1600, 900, 120);
    EXPECT_EQ(r.left, 110);
    EXPECT_EQ(r.right, 1490);
    EXPECT_EQ(r.top, 190);
    EXPECT_EQ(r.bottom, 790);
    EXPECT_EQ(ViewState::plotRectFor(1600, 900, 0).top, 70);
}

TEST(ViewState, scale_steps_grow_by_twelve_elevenths_up_to_100000)
{
    const auto steps = ViewState::scaleStepsFor(1380);
    EXPECT_EQ(steps[0], 100);
    EXPECT_TRUE(steps[1] == 108 || steps[1] == 109) << steps[1];
    int last = 0;
    while (last + 1 < 100 && steps[last + 1] != 0)
        ++last;
    EXPECT_GE(steps[last], 100000);
    EXPECT_LT(steps[last - 1], 100000);
    EXPECT_GT(last, 70);
    EXPECT_LT(last, 99);
    for (int k = 1; k <= last; ++k) {
        const double ratio = double(steps[k]) / steps[k - 1];
        EXPECT_NEAR(ratio, 12.0 / 11.0, 0.02) << k;
    }
    // A plot without width never divides by zero and never runs past the table.
    const auto none = ViewState::scaleStepsFor(0);
    EXPECT_EQ(none[0], 100);
    EXPECT_EQ(none[1], 0);
}

TEST(ViewState, resize_moves_only_existing_children)
{
    testenv::resetHome();
    CDTDoc doc;
    CDTView view(&doc);
    view.resize(1000, 700);
    QScrollBar time(Qt::Horizontal, &view);
    view.m_wndTimeScroll = &time;
    view.OnSize(1000, 700);
    EXPECT_EQ(time.geometry(), QRect(100, 625, 800, 20));
    EXPECT_TRUE(view.timers().IsActive(2));
    view.OnTimer(2);
    EXPECT_FALSE(view.timers().IsActive(2));
    view.m_wndTimeScroll = nullptr;
}

} // namespace
