#include "display/mode_rules.h"

#include <gtest/gtest.h>
#include <limits>

#include "display/frame_state.h"
#include "display/point_time.h"
#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "support/test_env.h"

using namespace modes;

TEST(DisplayModes, mode_flags_leave_exactly_one_set)
{
    FrameState frame;
    frame.m_bRtOther = frame.m_bRtPowerQ = frame.m_bRtPowerP = frame.m_bStoreTr = 1;
    for (Mode m :
         {Mode::StoreRms, Mode::StoreTr, Mode::Epa, Mode::RtRms, Mode::RtFreq, Mode::RtPowerS}) {
        setModeFlags(frame, m);
        const int set = frame.m_bStoreRms + frame.m_bStoreTr + frame.m_bEpa + frame.m_bRtRms
                        + frame.m_bRtOther + frame.m_bRtFreq + frame.m_bRtPowerS + frame.m_bRtPowerQ
                        + frame.m_bRtPowerP;
        EXPECT_EQ(set, 1);
        EXPECT_TRUE(modeFlag(frame, m));
    }
}

TEST(DisplayModes, active_mode_points_and_rules_of_each_flag)
{
    ViewState view;
    view.m_nStoreCount = 1234;
    view.m_nRtCount = 17;
    constexpr auto none = AxisTimes::None, stored = AxisTimes::Stored, rt = AxisTimes::RealTime;
    struct Case {
        std::uint8_t FrameState::*flag;
        std::optional<Mode> mode;
        int rows;
        bool waveform, storedSeries, realTime, power;
        AxisTimes times;
    };
    const Case cases[] = {
        {nullptr, std::nullopt, 17, false, false, false, false, none},
        {&FrameState::m_bStoreRms, Mode::StoreRms, 1234, false, true, false, false, stored},
        {&FrameState::m_bStoreTr, Mode::StoreTr, 251, true, true, false, false, none},
        {&FrameState::m_bEpa, Mode::Epa, 590, true, true, false, false, none},
        {&FrameState::m_bRtRms, Mode::RtRms, 17, false, false, true, false, rt},
        {&FrameState::m_bRtFreq, Mode::RtFreq, 17, false, false, true, false, rt},
        {&FrameState::m_bRtPowerS, Mode::RtPowerS, 17, false, false, true, true, rt},
        // no command sets Q, P or other
        {&FrameState::m_bRtPowerQ, std::nullopt, 17, false, false, true, true, rt},
        {&FrameState::m_bRtPowerP, std::nullopt, 17, false, false, true, true, rt},
        {&FrameState::m_bRtOther, std::nullopt, 17, false, false, true, false, rt},
    };
    for (const Case& c : cases) {
        FrameState frame;
        if (c.flag)
            frame.*c.flag = 1;
        EXPECT_EQ(activeMode(frame), c.mode) << c.rows;
        EXPECT_EQ(pointCount(view, frame), c.rows);
        EXPECT_EQ(listRowCount(view, frame), c.rows);
        EXPECT_EQ(singleWaveform(frame), c.waveform) << c.rows;
        EXPECT_EQ(storedMode(frame), c.storedSeries) << c.rows;
        EXPECT_EQ(realTimeMode(frame), c.realTime) << c.rows;
        EXPECT_EQ(powerMode(frame), c.power) << c.rows;
        EXPECT_EQ(axisTimes(frame), c.times) << c.rows;
    }
    // Should two flags be set, the later mode of the order wins; the point count goes by
    // the stored flags first, and the times by the real-time ones.
    FrameState frame;
    frame.m_bStoreTr = frame.m_bRtRms = 1;
    EXPECT_EQ(activeMode(frame), Mode::RtRms);
    EXPECT_EQ(pointCount(view, frame), 251);
    frame.m_bRtPowerS = 1;
    EXPECT_EQ(activeMode(frame), Mode::RtPowerS);
    frame.clearModeFlags();
    frame.m_bStoreRms = frame.m_bEpa = 1;
    EXPECT_EQ(pointCount(view, frame), 590);
    frame.m_bEpa = 0;
    frame.m_bRtFreq = 1;
    EXPECT_EQ(axisTimes(frame), AxisTimes::RealTime);
    view.m_nStoreCount = -3; // no list rows below none
    frame.clearModeFlags();
    frame.m_bStoreRms = 1;
    EXPECT_EQ(listRowCount(view, frame), 0);
}

TEST(DisplayModes, enable_rules_follow_the_data_at_hand)
{
    ViewState view;
    for (Mode m :
         {Mode::StoreRms, Mode::StoreTr, Mode::Epa, Mode::RtRms, Mode::RtFreq, Mode::RtPowerS})
        EXPECT_FALSE(modeEnabled(view, m));
    view.m_nStoreCount = 3;
    view.m_nTrCount = 1;
    view.m_nPointsPerFrame = 590;
    view.m_nRtCount = 1;
    EXPECT_TRUE(modeEnabled(view, Mode::StoreRms));
    EXPECT_TRUE(modeEnabled(view, Mode::StoreTr));
    EXPECT_TRUE(modeEnabled(view, Mode::Epa));
    EXPECT_TRUE(modeEnabled(view, Mode::RtRms));
    EXPECT_TRUE(modeEnabled(view, Mode::RtFreq));
    // S(VA) needs both channels, one in volts and one in amperes.
    EXPECT_FALSE(modeEnabled(view, Mode::RtPowerS));
    view.m_bRtCh1 = view.m_bRtCh2 = 1;
    view.m_strRtUnit1 = view.m_strRtUnit2 = "V";
    EXPECT_FALSE(modeEnabled(view, Mode::RtPowerS));
    view.m_strRtUnit2 = "A";
    EXPECT_TRUE(modeEnabled(view, Mode::RtPowerS));
    view.m_bRtCh2 = 0;
    EXPECT_FALSE(modeEnabled(view, Mode::RtPowerS));
}

TEST(DisplayModes, ranges_come_from_auto_scale_or_the_kind_of_the_mode)
{
    FrameState frame;
    // Settings keys carry the kind + 1: kind 0 is row 1, kind 1 row 2, kind 5 row 6.
    frame.m_nYAxisLow[1] = {0, -500, -20};
    frame.m_nYAxisHigh[1] = {0, 500, 20};
    frame.m_nYAxisLow[2] = {0, -300, -30};
    frame.m_nYAxisHigh[2] = {0, 300, 30};
    frame.m_nYAxisLow[6] = {0, 0, 1};
    frame.m_nYAxisHigh[6] = {0, 80, 81};
    ViewState view;
    view.m_nAutoMin = {219, -15, -90, -91};
    view.m_nAutoMax = {251, 11, 90, 91};

    EXPECT_EQ(storedRanges(view, frame, kKindStoreRms), (Ranges{219, 251, -15, 11}));
    EXPECT_EQ(storedRanges(view, frame, kKindStoreTr), (Ranges{-90, 90, -91, 91}));
    view.m_bAutoScale = {0, 0};
    EXPECT_EQ(storedRanges(view, frame, kKindStoreRms), (Ranges{-500, 500, -20, 20}));
    EXPECT_EQ(storedRanges(view, frame, kKindStoreTr), (Ranges{-300, 300, -30, 30}));
    EXPECT_EQ(axisRanges(frame, kKindRtFreq), (Ranges{0, 80, 1, 81}));
}

TEST(DisplayModes, real_time_scale_level_is_the_first_step_holding_the_points)
{
    std::array<int, 100> steps{};
    steps[0] = 100;
    steps[1] = 200;
    steps[2] = 400;
    EXPECT_EQ(rtScaleLevel(1, steps, 7), 0);
    EXPECT_EQ(rtScaleLevel(100, steps, 7), 0);
    EXPECT_EQ(rtScaleLevel(101, steps, 7), 1);
    EXPECT_EQ(rtScaleLevel(400, steps, 7), 2);
    EXPECT_EQ(rtScaleLevel(401, steps, 7), 7); // no step large enough: unchanged
}

TEST(DisplayModes, transient_window_extremes_stay_inside_the_samples)
{
    std::vector<float> samples(502, 0.0f);
    for (int i = 0; i < 251; ++i) {
        samples[static_cast<std::size_t>(i)] = static_cast<float>(i % 7) - 3.0f;
        samples[static_cast<std::size_t>(251 + i)] = -1500.0f - static_cast<float>(i % 3);
    }
    Extremes e = transientExtremes(samples, 1, 251);
    EXPECT_FLOAT_EQ(e.max, 3.0f);
    EXPECT_FLOAT_EQ(e.min, -3.0f);
    EXPECT_EQ(e.maxIndex, 244); // last 3.0 of the window (i % 7 == 6)

    // Record 1 lies wholly below -1000: max keeps its start -1000, so the range
    // (-1512 .. -990) still holds every sample.
    e = transientExtremes(samples, 252, 502);
    EXPECT_FLOAT_EQ(e.max, -1000.0f);
    EXPECT_FLOAT_EQ(e.min, -1502.0f);
    EXPECT_EQ(e.minIndex, 499); // last -1502 (i % 3 == 2)

    // A window past the stored samples reads none of them.
    e = transientExtremes(samples, 600, 850);
    EXPECT_EQ(e.maxIndex, -1);
    e = transientExtremes(samples, 400, 700);
    EXPECT_FLOAT_EQ(e.min, -1502.0f);
}

TEST(DisplayModes, store_rms_band_texts)
{
    ViewState view;
    view.m_fInterval = 60.0f;
    view.m_tStoreStart = testenv::localTime(2009, 3, 7, 14, 5, 9);
    view.m_nStoreCount = 1234;
    view.m_strCh1Max = "241.2 V @x";
    view.m_strCh2Max = "1.5 A @y";
    view.m_recInfo.m_strCh2Max = "old";
    view.m_bShowCh1 = 1;
    storeRmsBandTexts(view);
    EXPECT_EQ(view.m_recInfo.m_strMode, "STORE RMS");
    EXPECT_EQ(view.m_recInfo.m_strRate, "60 s");
    EXPECT_EQ(view.m_recInfo.m_strStart, "07/03/09 14:05:09");
    EXPECT_EQ(view.m_recInfo.m_strCount, "1234");
    EXPECT_EQ(view.m_recInfo.m_strCh1Max, "241.2 V @x");
    EXPECT_EQ(view.m_recInfo.m_strCh2Max, "old"); // channel 2 not shown
}

TEST(DisplayModes, real_time_band_texts_per_mode)
{
    ViewState view;
    view.m_nRtSampleRate = 5;
    view.m_nRtCount = 12;
    view.m_bShowCh1 = view.m_bShowCh2 = 1;
    view.m_strRtRmsMax1 = "r1";
    view.m_strRtFreqMax2 = "f2";
    view.m_strRtPowerMax = "s";
    realTimeBandTexts(view, Mode::RtRms);
    EXPECT_EQ(view.m_recInfo.m_strMode, "REAL TIME RMS");
    EXPECT_EQ(view.m_recInfo.m_strRate, "5");
    EXPECT_EQ(view.m_recInfo.m_strCount, "12");
    EXPECT_EQ(view.m_recInfo.m_strCh1Max, "r1");
    realTimeBandTexts(view, Mode::RtFreq);
    EXPECT_EQ(view.m_recInfo.m_strMode, "REAL TIME F(Hz)");
    EXPECT_EQ(view.m_recInfo.m_strCh2Max, "f2");
    view.m_recInfo.m_strCh2Max = "kept";
    realTimeBandTexts(view, Mode::RtPowerS);
    EXPECT_EQ(view.m_recInfo.m_strMode, "REAL TIME S(VA)");
    EXPECT_EQ(view.m_recInfo.m_strCh1Max, "s");
    EXPECT_EQ(view.m_recInfo.m_strCh2Max, "kept");
}

TEST(DisplayModes, transient_texts_auto_range_and_levels)
{
    ViewState view;
    CDTDoc doc;
    doc.m_pTrTimes = {1000000000, 1000003600};
    view.m_bShowCh2 = 1;
    view.m_strUnit1 = view.m_strUnit2 = "A";
    view.m_fRiseLevel = 500.0f;
    view.m_fDropLevel = 100.0f;
    Extremes e;
    e.max = 123.4f;
    e.min = -56.7f;
    storeTransientTexts(view, doc, 1, e);
    EXPECT_EQ(view.m_nAutoMin[2], -66);
    EXPECT_EQ(view.m_nAutoMin[3], -66);
    EXPECT_EQ(view.m_nAutoMax[2], 133);
    EXPECT_EQ(view.m_nCh1Min, -66); // auto-scale on: both channels take the range
    EXPECT_EQ(view.m_nCh2Max, 133);
    EXPECT_EQ(view.m_recInfo.m_strMode, "STORE TR");
    EXPECT_EQ(view.m_recInfo.m_strRate, "0.0874 ms");
    EXPECT_EQ(view.m_recInfo.m_strCount, "251");
    EXPECT_EQ(view.m_recInfo.m_strStart, formatPointTime(1000003600));
    EXPECT_EQ(view.m_recInfo.m_strCh2Max, "123 A");
    EXPECT_EQ(view.m_recInfo.m_strCh2Min, "-57 A");
    EXPECT_EQ(view.m_recInfo.m_strLevelHi, "500A");
    EXPECT_EQ(view.m_recInfo.m_strLevelLow, "100A");

    view.m_bAutoScale[1] = 0;
    view.m_nCh1Min = 1;
    storeTransientTexts(view, doc, 0, e);
    EXPECT_EQ(view.m_nCh1Min, 1);

    // Samples beyond the int range (a file may hold any float): the widest range.
    e.max = 3.0e38f;
    e.min = -3.0e38f;
    storeTransientTexts(view, doc, 0, e);
    EXPECT_EQ(view.m_nAutoMax[2], std::numeric_limits<int>::max());
    EXPECT_EQ(view.m_nAutoMin[2], std::numeric_limits<int>::min());
}

TEST(DisplayModes, power_s_readout_needs_both_rms_readouts_above_seven)
{
    EXPECT_EQ(powerSText("230.0", "2.5"), "LO");
    EXPECT_EQ(powerSText("230.0", "7.5"), "1725");
    EXPECT_EQ(powerSText("230 V", "10 A"), "2300");
    EXPECT_EQ(powerSText("LO", "10"), "LO");
    EXPECT_EQ(powerSText("NONE", "10"), "LO");
    EXPECT_EQ(powerSText("", "10"), "LO");
    EXPECT_EQ(powerSText("7", "100"), "LO");
}
