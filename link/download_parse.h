#pragma once
// Turning a finished download into the measurement: the header's description of the
// data goes into the view, the concatenated memory blocks are split into RMS samples
// and transient records, and the document and the view are filled with them, their
// extremes and the automatic axis limits. Pure code: no port, no widgets, no files.
//
// The stream is trusted for nothing: whatever the header claims (values per sample,
// channel types, total), the parse reads only inside the bytes it is given and writes
// only inside the arrays it sized. Items that lie wholly inside the data are kept; a
// step or transient record cut off by the end of the data is dropped with the rest.
#include <QString>
#include <cstdint>
#include <ctime>
#include <span>
#include <vector>

#include "document/sample_extremes.h"
#include "link/wire_protocol.h"

class ViewState;
class CDTDoc;

namespace download {

// What the frame keeps from the header until the download finishes.
struct HeaderInfo {
    int valuesPerSample = 0; // K
    std::uint32_t totalBytes = 0;
    std::uint32_t startAddress = 0;
    std::int64_t wrapA = 0; // wrap count A / K
    std::int64_t wrapB = 0; // wrap count B / K
};

// Applies a header that announces data (K not 0) to the view: values per sample,
// channel presence and units, interval (an unknown rate unit keeps the old one),
// detection levels and start time; blanks the band texts. Returns what the parse of
// the stream needs (it depends on the header alone).
HeaderInfo applyHeader(const wire::DownloadHeader& header, ViewState& view);

// Blanks the band texts: the band shows nothing of the old measurement while a new one
// loads.
void blankBand(ViewState& view);

// The items of a downloaded stream.
struct ParsedStream {
    int storeCount = 0;        // N, RMS samples
    int trCount = 0;           // M, transient records
    std::vector<float> ch1;    // N values when channel 1 is present, else empty
    std::vector<float> ch2;    // N values when channel 2 is present, else empty
    std::vector<float> trData; // M x 251 raw samples
    std::vector<std::time_t> trTimes;
    std::vector<std::uint8_t> trQuantity;
    std::vector<std::uint8_t> trChannel;
};

// Splits the stream into RMS samples of K values (x 0.1) and 512-byte transient
// records. With K = 2 the values go to channel 1 and 2 (to the present ones only); with
// K = 1 the value goes to every present channel; a K above 2 has no channel layout, so
// its samples are counted and left at 0.
ParsedStream parseStream(wire::Bytes data, int valuesPerSample, bool ch1Present, bool ch2Present);

// Start time of a download whose memory wrapped (start address not 0): moved forward by
// (((total mod 512) / 2) / K - N + A + B) x interval seconds, truncated toward zero.
std::time_t wrapShiftedStart(std::time_t start, float interval, std::uint32_t totalBytes,
                             int valuesPerSample, int storeCount, std::int64_t wrapA,
                             std::int64_t wrapB);

// "%.1f <unit> @<time>" for a maximum, "%.1f<unit> @<time>" for a minimum.
QString maximumText(float value, const QString& unit, const QString& timeText);
QString minimumText(float value, const QString& unit, const QString& timeText);

// Fills the document and the view from a finished download of `data` (the whole
// stream, total bytes long): RMS series, transient records, counts, the wrapped start
// time, extremes with their texts, auto-scale limits, the "RMSTRDATA" tag, the plot
// caches and the point window 1..N; the band's detection-level texts are emptied. The previous
// stored data is replaced; the real-time data is left alone.
void storeDownload(wire::Bytes data, const HeaderInfo& info, CDTDoc& doc, ViewState& view);

} // namespace download
