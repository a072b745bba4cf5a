#include "document/sample_extremes.h"

#include <cstddef>

Extremes findExtremes(std::span<const float> values)
{
    Extremes e;
    if (values.empty())
        return e;
    e.max = e.min = values.front();
    for (std::size_t n = 0; n < values.size(); ++n) {
        // Ties go to the later sample.
        if (values[n] >= e.max) {
            e.max = values[n];
            e.maxIndex = static_cast<int>(n);
        }
        if (values[n] <= e.min) {
            e.min = values[n];
            e.minIndex = static_cast<int>(n);
        }
    }
    return e;
}
