#pragma once
// The six display modes of the main window (stored RMS series, one stored transient
// record, the power analysis of the latest real-time waveform, and the three
// real-time trends): which mode the frame's flags select, and the arithmetic and
// texts the mode commands apply. Plain functions over the display state, the frame
// data and the document, without any window; the commands themselves are CMainFrame
// members (display/display_modes.cpp).
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "document/sample_extremes.h"

class ViewState;
struct FrameState;
class CDTDoc;

namespace modes {

// The six modes; mode_rules.cpp lists the frame's flags in this order.
enum class Mode { StoreRms, StoreTr, Epa, RtRms, RtFreq, RtPowerS };

// Y-axis kinds (0-based) of the modes; FrameState's tables are indexed kind + 1.
inline constexpr int kKindStoreRms = 0;
inline constexpr int kKindStoreTr = 1;
inline constexpr int kKindEpa = 2;
inline constexpr int kKindRtRms = 3;
inline constexpr int kKindRtFreq = 5;
inline constexpr int kKindRtPowerS = 6;

// Left pane widths and band heights.
inline constexpr int kPaneNormal = 150;
inline constexpr int kPaneTransient = 210;
inline constexpr int kPaneEpa = 385;
inline constexpr int kBandFull = 120;
inline constexpr int kBandSlim = 25;

// The mode the flags select, for everything that reads data by mode (curves, cursor
// read-out, point times, the values of the data list and the printed list). At most
// one flag is set after any mode command; should several be set, the later one in the
// order Store RMS, Store TR, power analysis, RT frequency, RT RMS, RT S(VA) wins. None
// without a flag (the three real-time flags no command sets count as none).
std::optional<Mode> activeMode(const FrameState& frame);

// What the flags decide besides the series shown. Each reads the flags as they stand,
// the three real-time flags no command sets included.

// One waveform on the screen: Store TR (a transient record) or the power analysis (the
// latest real-time frame). Its x axis numbers the samples from 1 instead of giving
// times, the band shows only the waveform's time, a printout has no header block,
// Window > Info Dialog has no band to switch, and a sample reading 0 is a value, not
// "LO".
bool singleWaveform(const FrameState& frame);
// A stored series is shown (Store RMS, Store TR, power analysis): its x scale spans the
// point window even while a run goes on.
bool storedMode(const FrameState& frame);
// A real-time trend is shown: any of the six real-time flags.
bool realTimeMode(const FrameState& frame);
// A power mode (S, or Q and P, which no command sets) shows one product curve on CH1:
// no CH2 curve, legend, list column or band row.
bool powerMode(const FrameState& frame);

// Where the times of the points come from on the x axis: the stored series (start and
// interval) in Store RMS, the run (start and sampling period) in a real-time mode, which
// wins should both be set; none otherwise. The numbered axis of a single waveform
// shows no times whatever this says.
enum class AxisTimes { None, Stored, RealTime };
AxisTimes axisTimes(const FrameState& frame);

// Points of the mode's series, the upper bound of the point window: one waveform
// (590) in the power analysis, else one transient record (251) in Store TR, else the
// stored series in Store RMS, else the real-time points (also before any mode).
int pointCount(const ViewState& view, const FrameState& frame);
// Rows of the data list and of the printed list: the points of the mode, none below 0.
int listRowCount(const ViewState& view, const FrameState& frame);
// The 0-based point that row `row` of the data list shows: Store TR counts the rows from
// the first point of the record shown, the other modes from point 0.
long long listRowPoint(const ViewState& view, const FrameState& frame, int row);

// The mode's flag set and the other eight cleared.
void setModeFlags(FrameState& frame, Mode mode);
// Whether the mode's own flag is set (the command then takes its update path only).
bool modeFlag(const FrameState& frame, Mode mode);

// Whether the mode's command is enabled for the data at hand.
bool modeEnabled(const ViewState& view, Mode mode);

struct Ranges {
    int ch1Min = 0, ch1Max = 0, ch2Min = 0, ch2Max = 0;
    bool operator==(const Ranges&) const = default;
};
// Limits of a y-axis kind from the frame's tables, per channel.
Ranges axisRanges(const FrameState& frame, int kind);
void setAxisRanges(FrameState& frame, int kind, const Ranges& r);
// The kind whose limits Axis Setup edits and whose auto-scale it switches: Store TR's
// in Store TR, Store RMS's in every other mode.
int axisSetupKind(const FrameState& frame);
// The limits shown for a stored kind (kKindStoreRms or kKindStoreTr): with its
// auto-scale on, the automatic range (of the download for Store RMS, of the record shown
// last for Store TR); else the kind's limits from the frame's tables.
Ranges storedRanges(const ViewState& view, const FrameState& frame, int kind);
void applyRanges(ViewState& view, const Ranges& r);

// Band height of the full-band modes: 120 with Window > Info Dialog on, else 0.
int fullBandHeight(const FrameState& frame);

// The first level of the real-time x scale whose step holds `points` points, or
// `current` when none does.
int rtScaleLevel(int points, const std::array<int, 100>& steps, int current);

// Extremes of the transient samples of the 1-based window first..last (clamped to the
// stored samples). Max starts at -1000 and min at 1000, so a window wholly beyond them
// keeps that bound (the range then still holds every sample, only wider); ties go to
// the later sample.
Extremes transientExtremes(std::span<const float> samples, int first, int last);

// Band texts of the update paths.
void storeRmsBandTexts(ViewState& view);
void realTimeBandTexts(ViewState& view, Mode mode);
// The transient part of ShowStoreTransient: auto ranges of the record, band and level
// texts. `record` selects the start time (nearest record when out of range).
void storeTransientTexts(ViewState& view, const CDTDoc& doc, int record, const Extremes& e);

// The S(VA) read-out from the two RMS read-out texts (read as decimal numbers; text
// that is not a number counts 0): their product "%.0f" when both exceed 7, else "LO".
QString powerSText(const QString& ch1Rms, const QString& ch2Rms);

} // namespace modes
