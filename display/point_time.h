#pragma once
// When a point of the current display was measured. Every list, read-out, report and
// band that shows a point's time goes through pointIndexToTime/pointTimeText, so all of
// them agree. Pure code over the display state, the frame's mode flags and the document.
#include <QString>
#include <ctime>

class ViewState;
struct FrameState;
class CDTDoc;

// Local date and time as "%d/%m/%y %H:%M:%S" (24-hour clock). A time the C library
// cannot break down gives an empty text.
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
