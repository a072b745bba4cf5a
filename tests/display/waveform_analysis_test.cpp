// The waveform analysis against waveforms whose crossings, RMS and period are known.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "display/waveform_analysis.h"

using namespace waveform;

namespace {
using Wave = std::vector<std::array<float, 2>>;

// Channel `ch` is +level, falling to -level at each index of `falls` and rising back
// halfway to the next fall (a square wave); the other channel stays 0.
Wave square(std::vector<int> falls, float level, int ch = 0)
{
    Wave w(590, {0.0f, 0.0f});
    falls.push_back(590 + (falls.size() > 1 ? falls[1] - falls[0] : 590));
    for (int i = 0; i < 590; ++i) {
        float v = level;
        for (std::size_t k = 0; k + 1 < falls.size(); ++k)
            if (i >= falls[k] && i < (falls[k] + falls[k + 1]) / 2)
                v = -level;
        w[static_cast<std::size_t>(i)][static_cast<std::size_t>(ch)] = v;
    }
    return w;
}
} // namespace

TEST(WaveformAnalysis, crossings_300_apart_give_period_frequency_rms_and_texts)
{
    const Wave w = square({100, 400}, 100.0f, 1);
    const Analysis a = analyze(w, 0, 590, 1);
    ASSERT_EQ(a.outcome, Outcome::Valid);
    EXPECT_EQ(a.first, 100);
    EXPECT_EQ(a.last, 400);
    EXPECT_FLOAT_EQ(a.rms, 100.0f);
    EXPECT_FLOAT_EQ(a.frequency, 60.9f);
    EXPECT_NEAR(a.frequencyExact, 60.927, 0.001);
    EXPECT_DOUBLE_EQ(a.peakToPeak, 200.0);

    PowerAnalysisTexts t;
    applyTexts(a, 1, t);
    EXPECT_EQ(t.rms[1], "100.0");
    EXPECT_EQ(t.period[1], "16.4");
    EXPECT_EQ(t.frequency[1], "60.9");
    EXPECT_EQ(t.peakToPeak[1], "200");
    EXPECT_TRUE(t.rms[0].isEmpty()); // the other channel is untouched

    EXPECT_FLOAT_EQ(analyze(square({100, 465}, 100.0f), 0, 590, 0).frequency, 50.1f);
}

TEST(WaveformAnalysis, waves_without_a_reading_store_zero_and_400)
{
    PowerAnalysisTexts t;
    resetTexts(t);
    EXPECT_EQ(t.powerS, "NONE");
    EXPECT_TRUE(t.peakToPeak[0].isEmpty());

    // One-sided, and a swing of 10 counts: no signal.
    Wave w(590, {50.0f, 0.0f});
    EXPECT_EQ(analyze(w, 0, 590, 0).outcome, Outcome::NoSignal);
    for (std::size_t i = 0; i < 590; ++i)
        w[i][0] = i < 300 ? 5.0f : -5.0f;
    EXPECT_EQ(analyze(w, 0, 590, 0).outcome, Outcome::NoSignal);

    // One crossing only: invalid, with its own read-outs.
    const Analysis one = analyze(square({300}, 100.0f), 0, 590, 0);
    EXPECT_EQ(one.outcome, Outcome::Invalid);
    EXPECT_FLOAT_EQ(one.rms, 0.0f);
    EXPECT_FLOAT_EQ(one.frequency, 400.0f);
    applyTexts(one, 0, t);
    EXPECT_EQ(t.phi[0], "--------");
    EXPECT_EQ(t.am[0], "LO");
    EXPECT_EQ(t.frequency[0], "OL");

    // An RMS of 6.9 counts is below the low limit.
    const Analysis low = analyze(square({100, 400}, 6.9f), 0, 590, 0);
    EXPECT_EQ(low.outcome, Outcome::Valid);
    EXPECT_FLOAT_EQ(low.rms, 0.0f);
    EXPECT_FLOAT_EQ(low.frequency, 400.0f);
    applyTexts(low, 0, t);
    EXPECT_EQ(t.rms[0], "LO");
    EXPECT_EQ(t.peakToPeak[0], "LO");

    // A range beyond the waveform is kept inside it.
    EXPECT_EQ(analyze(square({100, 400}, 100.0f), -20, 5000, 0).last, 400);
}
