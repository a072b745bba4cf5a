#include "display/point_time.h"

#include <gtest/gtest.h>
#include <limits>
#include <tuple>

#include "display/frame_state.h"
#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "support/test_env.h"

namespace {

using testenv::localTime;

struct PointTimeFixture : ::testing::Test {
    ViewState view;
    FrameState frame;
    CDTDoc doc;
    std::time_t start = localTime(2009, 3, 7, 14, 5, 9);

    QString text(int index) { return pointIndexToTimeText(view, frame, doc, index); }
};

} // namespace

TEST(PointTime, format_is_day_month_two_digit_year_and_24_hour_clock)
{
    EXPECT_EQ(formatPointTime(localTime(2009, 3, 7, 14, 5, 9)), "07/03/09 14:05:09");
    EXPECT_EQ(formatPointTime(localTime(2021, 12, 31, 23, 59, 58)), "31/12/21 23:59:58");
    EXPECT_EQ(formatPointTime(localTime(2000, 1, 1, 0, 0, 0)), "01/01/00 00:00:00");
    // A time no calendar holds has no text (the CSV reports write the same empty cell).
    EXPECT_EQ(formatPointTime(std::numeric_limits<std::time_t>::max()), "");
}

TEST_F(PointTimeFixture, store_rms_truncates_index_times_interval_to_whole_seconds)
{
    frame.m_bStoreRms = 1;
    view.m_tStoreStart = start;
    view.m_fInterval = 0.5f;
    EXPECT_EQ(text(0), "07/03/09 14:05:09");
    EXPECT_EQ(text(3), "07/03/09 14:05:10"); // 1.5 s truncated
    EXPECT_EQ(text(4), "07/03/09 14:05:11");

    const std::tuple<float, int, long long> cases[] = {
        {3600.0f, 131071, 131071LL * 3600}, // a full memory of hours stays exact
        {-0.5f, 3, -1},               // a damaged file's interval: toward zero, before the start
        {1.0e30f, 2, 100000000000LL}, // kept to some thousand years either way
        {-1.0e30f, 2, -100000000000LL},
    };
    for (const auto& [interval, index, seconds] : cases) {
        view.m_fInterval = interval;
        EXPECT_EQ(pointIndexToTime(view, frame, doc, index), start + seconds) << interval;
    }
}

TEST_F(PointTimeFixture, store_transient_uses_the_start_of_the_record_holding_the_point)
{
    frame.m_bStoreTr = 1;
    doc.m_pTrTimes = {start, start + 3600};
    EXPECT_EQ(pointIndexToTime(view, frame, doc, 0), start);
    EXPECT_EQ(pointIndexToTime(view, frame, doc, 250), start);
    EXPECT_EQ(pointIndexToTime(view, frame, doc, 251), start + 3600);
    EXPECT_EQ(pointIndexToTime(view, frame, doc, 501), start + 3600);
    // Outside the stored records: the nearest record, never a read past the array.
    EXPECT_EQ(pointIndexToTime(view, frame, doc, 502), start + 3600);
    EXPECT_EQ(pointIndexToTime(view, frame, doc, -5), start);
    doc.m_pTrTimes.clear();
    view.m_tStoreStart = start + 7;
    EXPECT_EQ(pointIndexToTime(view, frame, doc, 10), start + 7);
}

TEST_F(PointTimeFixture, real_time_modes_and_no_mode_count_from_the_run_start)
{
    view.m_tRtStart = start;
    view.m_nRtSampleRate = 2;
    EXPECT_EQ(pointIndexToTime(view, frame, doc, 0), start); // no mode flag at all
    EXPECT_EQ(pointIndexToTime(view, frame, doc, 5), start + 10);
    frame.m_bRtFreq = 1;
    EXPECT_EQ(pointIndexToTime(view, frame, doc, 0), start);
    EXPECT_EQ(pointIndexToTime(view, frame, doc, 7), start + 14);
}

TEST_F(PointTimeFixture, power_analysis_gives_every_point_the_newest_sample_time)
{
    frame.m_bEpa = 1;
    view.m_tRtStart = start;
    view.m_nRtSampleRate = 2;
    view.m_nRtCount = 10;
    for (int index : {0, 1, 300, 589})
        EXPECT_EQ(pointIndexToTime(view, frame, doc, index), start + 18) << index;
}
