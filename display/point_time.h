#pragma once
// When a point of the current display was measured. Every list, read-out, report and
// band that shows a point's time goes through pointIndexToTime/pointIndexToTimeText, so
// all of them agree. Pure code over the display state, the frame's mode flags and the
// document.
#include <QString>
#include <cstddef>
#include <ctime>

class ViewState;
struct FrameState;
class CDTDoc;

// Every time the program shows or writes (screen, printed report, CSV reports) is
// local time through strftime; a time the C library cannot break down gives an empty
// text, never a made-up date.
inline constexpr char kPointTimeFormat[] = "%d/%m/%y %H:%M:%S";

// `t` formatted with `pattern` into `buffer`; returns the length written (0 for a time
// that cannot be broken down or a text that does not fit).
std::size_t formatLocalTime(std::time_t t, const char* pattern, char* buffer, std::size_t size);
// The same as a text.
QString formatTime(std::time_t t, const char* pattern);
// A point's time: day/month/two-digit year and the 24-hour clock.
QString formatPointTime(std::time_t t);

// Time of point `index` of the stored RMS series: start + index x interval seconds,
// the product truncated toward zero.
std::time_t storeRmsPointTime(std::time_t start, float interval, int index);

// Time of the 0-based point `index` of what the current display mode
// (modes::activeMode) shows:
//  - Store RMS: the stored start plus index x the sampling interval;
//  - Store Transient Wave: the start of the transient record holding the point
//    (an index outside the stored records takes the nearest record; with no record at
//    all the stored start);
//  - otherwise the real-time start plus index x the real-time period;
//  - power analysis: every point carries the time of the newest real-time sample.
std::time_t pointIndexToTime(const ViewState& view, const FrameState& frame, const CDTDoc& doc,
                             int index);

// pointIndexToTime formatted with formatPointTime.
QString pointIndexToTimeText(const ViewState& view, const FrameState& frame, const CDTDoc& doc,
                             int index);
