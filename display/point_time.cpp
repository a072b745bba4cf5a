#include "display/point_time.h"

#include <algorithm>

#include <array>
#include <cmath>

#include "display/frame_state.h"
#include "display/mode_rules.h"
#include "display/view_state.h"
#include "document/cdtdoc.h"

std::size_t formatLocalTime(std::time_t t, const char* pattern, char* buffer, std::size_t size)
{
    std::tm local{};
    if (!localtime_r(&t, &local))
        return 0;
    return std::strftime(buffer, size, pattern, &local);
}

QString formatTime(std::time_t t, const char* pattern)
{
    std::array<char, 64> text{};
    const std::size_t n = formatLocalTime(t, pattern, text.data(), text.size());
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(n));
}

QString formatPointTime(std::time_t t)
{
    return formatTime(t, kPointTimeFormat);
}

std::time_t storeRmsPointTime(std::time_t start, float interval, int index)
{
    // The interval is a float, as the logger header gives it; the product is taken in
    // double so that whole-second intervals stay exact over a full memory.
    const double seconds = std::trunc(static_cast<double>(index) * static_cast<double>(interval));
    // An interval read from a damaged file may be anything; keep the conversion
    // defined (a few thousand years either way is as far as any calendar goes).
    constexpr double kLimit = 1.0e11;
    if (std::isnan(seconds))
        return start;
    return start + static_cast<std::time_t>(std::clamp(seconds, -kLimit, kLimit));
}

std::time_t pointIndexToTime(const ViewState& view, const FrameState& frame, const CDTDoc& doc,
                             int index)
{
    switch (modes::activeMode(frame).value_or(modes::Mode::RtRms)) {
    case modes::Mode::StoreRms:
        return storeRmsPointTime(view.m_tStoreStart, view.m_fInterval, index);
    case modes::Mode::StoreTr: {
        const auto& times = doc.m_pTrTimes;
        if (times.empty())
            return view.m_tStoreStart;
        // Callers pass an index of the shown window, which lies inside the records;
        // anything else takes the nearest record instead of reading past the array.
        const long long record = index < 0 ? 0 : index / kTrSamples;
        const auto last = static_cast<long long>(times.size()) - 1;
        return times[static_cast<std::size_t>(record > last ? last : record)];
    }
    case modes::Mode::Epa:
        return view.m_tRtStart
               + static_cast<std::time_t>(view.m_nRtCount - 1) * view.m_nRtSampleRate;
    default:
        return view.m_tRtStart + static_cast<std::time_t>(index) * view.m_nRtSampleRate;
    }
}

QString pointIndexToTimeText(const ViewState& view, const FrameState& frame, const CDTDoc& doc,
                             int index)
{
    return formatPointTime(pointIndexToTime(view, frame, doc, index));
}
