#pragma once
// The largest and smallest value of a series of samples and where they lie: what the
// download fills the extreme texts and automatic axis limits from, and what a display
// mode computes over the transient record it shows.
#include <span>

// Largest and smallest value and the index of the last sample holding each. A series
// without samples leaves max at -1000 and min at 1000 and both indexes at -1.
struct Extremes {
    float max = -1000.0f;
    float min = 1000.0f;
    int maxIndex = -1;
    int minIndex = -1;
};

// The extremes of the whole series, seeded from its first sample; ties go to the later
// sample.
Extremes findExtremes(std::span<const float> values);
