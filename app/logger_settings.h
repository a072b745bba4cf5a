#pragma once
// The settings kept between runs in "529DATALOGGER.ini": the logger set-up and clock
// values last used, the real-time rate and point limit, the colour indices, the
// y-axis limits of the nine graph kinds and the view's nine display options.
#include <QString>

class ProfileFile;
class ViewState;
struct FrameState;

namespace settings {
// Default y-axis limits of graph kind 1..9.
int defaultYAxisLow(int kind);
int defaultYAxisHigh(int kind);
} // namespace settings

// Reads the frame's values (every key but the view's own) in the order the file is
// read at start-up; a missing key or file gives the default.
void LoadFrameSettings(FrameState& frame, const ProfileFile& ini);

// Reads the view's nine display options and the real-time sampling period.
void LoadViewSettings(ViewState& view, const ProfileFile& ini);
// The settings file: "529DATALOGGER.ini" in the settings folder (windowsFolder()).
QString settingsFilePath();

// Writes every value into the profile in the order of the close; a new file gets its
// sections in that order. The caller saves the profile.
void StoreSettings(const FrameState& frame, const ViewState& view, ProfileFile& ini);
