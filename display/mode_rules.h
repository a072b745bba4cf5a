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
// read-out, point times, data list, printed list). At most one flag is set after any
// mode command; should several be set, the later one in the order Store RMS, Store TR,
// power analysis, RT frequency, RT RMS, RT S(VA) wins. None without a flag (the
// three real-time flags no command sets count as none).
std::optional<Mode> activeMode(const FrameState& frame);

// Rows of the data list and of the printed list: the stored series, one transient
// record (251), one waveform (590), or the real-time points in the real-time modes
// and before any mode.
int listRowCount(const ViewState& view, const FrameState& frame);

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
// Store RMS: the automatic range of the download when auto-scale is on, else kind 0.
Ranges storeRmsRanges(const ViewState& view, const FrameState& frame);
// Store Transient Wave: the automatic range of the record shown last, else kind 1.
Ranges storeTrRanges(const ViewState& view, const FrameState& frame);
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
