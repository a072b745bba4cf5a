// The waveform analysis against waveforms whose crossings, RMS and period are known.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <utility>
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

// Channel `ch` sampled from f(i) and rounded to whole counts, as the logger sends it.
Wave sampled(const std::function<double(int)>& f, int ch = 0)
{
    Wave w(590, {0.0f, 0.0f});
    for (int i = 0; i < 590; ++i)
        w[static_cast<std::size_t>(i)][static_cast<std::size_t>(ch)] =
            static_cast<float>(std::round(f(i)));
    return w;
}

double sine(double amplitude, double hz, double degrees, int i)
{
    return amplitude
           * std::sin(2.0 * std::numbers::pi * (hz * i * kSampleSeconds + degrees / 360.0));
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

    // The stored frequency is f rounded to 0.1 Hz: 77.44998 Hz down, 109.45026 Hz up.
    const std::pair<int, float> rounded[] = {{465, 50.1f}, {336, 77.4f}, {267, 109.5f}};
    for (const auto& [fall, hz] : rounded)
        EXPECT_FLOAT_EQ(analyze(square({100, fall}, 100.0f), 0, 590, 0).frequency, hz) << fall;
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

TEST(WaveformAnalysis, sines_of_several_frequencies_and_phases)
{
    // `crossings`: crossings of the direction the first sample sets (falling from a
    // sample of 0 or more, else rising) inside the 590 samples.
    struct Case {
        double hz, degrees, amplitude;
        int crossings;
    };
    const Case cases[] = {
        {60, 0, 100, 2},    {60, 90, 100, 2}, {60, 200, 300, 2}, {50, 0, 100, 2},
        {50, 270, 60, 2},   {120, 0, 100, 4}, {120, 45, 200, 4}, {200, 300, 100, 7},
        {400, 30, 100, 13}, {45, 10, 100, 1}, {45, 190, 100, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hz << " Hz, " << c.degrees << " degrees");
        const Analysis a = analyze(
            sampled([&](int i) { return sine(c.amplitude, c.hz, c.degrees, i); }), 0, 590, 0);
        if (c.crossings < 2) {
            EXPECT_EQ(a.outcome, Outcome::Invalid);
            EXPECT_FLOAT_EQ(a.frequency, kNoFrequency);
            continue;
        }
        ASSERT_EQ(a.outcome, Outcome::Valid);
        EXPECT_EQ(a.count, c.crossings);
        // Whole periods between the crossings: the frequency within one sample of
        // resolution, the RMS that of the sine.
        EXPECT_NEAR(a.frequency, c.hz, c.hz / (a.last - a.first) + 0.05);
        EXPECT_NEAR(a.rms, c.amplitude / std::numbers::sqrt2, c.amplitude * 0.01);
    }
}

TEST(WaveformAnalysis, crossing_rules_on_ripple_glitches_dead_bands_and_clipping)
{
    // A square wave of +/- level falling at 100 and 400, rising at 250 and 550.
    const auto square60 = [](double level) {
        return [level](int i) { return (i >= 100 && i < 250) || i >= 400 ? -level : level; };
    };
    struct Case {
        const char* what;
        Wave wave;
        int count, first, last;
    };
    Wave glitch = sampled(square60(100));
    glitch[102][0] = 100.0f; // back above zero two samples after the fall
    Wave highGlitch = sampled(square60(500));
    highGlitch[102][0] = 500.0f;
    Wave glitch205 = sampled(square60(205)); // a spacing of 410 / 205 = 2 samples
    glitch205[102][0] = 205.0f;
    Wave longGlitch205 = glitch205;
    longGlitch205[103][0] = 205.0f;
    const Case cases[] = {
        // Crossings closer than 410 / peak samples to the last one are ripple.
        {"ripple around zero",
         sampled([](int i) { return sine(100, 60, 90, i) + (i % 2 ? 3.0 : -3.0); }), 2, 76, 380},
        {"glitch after a fall", glitch, 2, 100, 400},
        // Above 410 counts the spacing is 0: every crossing counts.
        {"glitch above 410", highGlitch, 3, 100, 400},
        {"glitch a sample short of the spacing", glitch205, 2, 100, 400},
        {"glitch as long as the spacing", longGlitch205, 3, 100, 400},
        // Rising crossings are at the first sample strictly above zero.
        {"dead band at zero", sampled([](int i) {
             if (i < 50 || (i >= 200 && i < 350) || i >= 500)
                 return -100.0;
             return i < 60 || (i >= 350 && i < 355) ? 0.0 : 100.0;
         }),
         2, 60, 355},
        {"clipped sine",
         sampled([](int i) { return std::clamp(sine(300, 60, 90, i), -100.0, 100.0); }), 2, 77,
         381},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Analysis a = analyze(c.wave, 0, 590, 0);
        ASSERT_EQ(a.outcome, Outcome::Valid);
        EXPECT_EQ(a.count, c.count);
        EXPECT_EQ(a.first, c.first);
        EXPECT_EQ(a.last, c.last);
    }
}

TEST(WaveformAnalysis, peak_to_peak_extremes_carry_over_from_window_to_window)
{
    // Falls every 150 samples from 50; the first period swings +/-200, the later ones
    // +/-50. The largest swing stays in every window's peak-to-peak value.
    const Analysis a = analyze(sampled([](int i) {
                                   const double level = i < 200 ? 200.0 : 50.0;
                                   return (i - 50 + 150) % 150 < 75 ? -level : level;
                               }),
                               0, 590, 0);
    ASSERT_EQ(a.outcome, Outcome::Valid);
    EXPECT_EQ(a.count, 4);
    EXPECT_DOUBLE_EQ(a.peakToPeak, 400.0);

    // A clipped sine swings from clip to clip.
    PowerAnalysisTexts t;
    applyTexts(
        analyze(sampled([](int i) { return std::clamp(sine(300, 120, 0, i), -100.0, 100.0); }), 0,
                590, 0),
        0, t);
    EXPECT_EQ(t.peakToPeak[0], "200");
}

TEST(WaveformAnalysis, an_rms_of_exactly_7_is_a_reading_that_leaves_the_texts)
{
    const Analysis a = analyze(square({100, 400}, 7.0f), 0, 590, 0);
    ASSERT_EQ(a.outcome, Outcome::Valid);
    EXPECT_FLOAT_EQ(a.rms, 7.0f);
    EXPECT_FLOAT_EQ(a.frequency, 60.9f);

    PowerAnalysisTexts t;
    resetTexts(t);
    applyTexts(a, 0, t);
    EXPECT_EQ(t.rms[0], "NONE");
    EXPECT_EQ(t.frequency[0], "NONE");
    EXPECT_TRUE(t.peakToPeak[0].isEmpty());
}
