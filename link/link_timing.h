#pragma once
// The periods of the frame's link timers, in milliseconds.

namespace linktime {
constexpr int kPortScanStartMs = 100; // first port scan after an instrument command
constexpr int kRescanMs = 1000;       // next port scan after a silent probe pass
constexpr int kProbePeriodMs = 500;   // one probe per port
constexpr int kLinkWatchMs = 3000;    // does the logger's port still open?
constexpr int kCommandResendMs = 500; // transfer command sent once more
constexpr int kBlockResendMs = 900;   // block request sent once more
constexpr int kGiveUpMs = 5000;       // a transfer without progress ends
// A line that carried bytes besides the reply in force is let fall quiet this long
// before the next request, so that nothing left of them precedes its reply.
constexpr int kQuietLineMs = 100;
constexpr int kWatchdogMs = 10000; // a real-time run without frames ends
constexpr int kRealTimeRequestMs = 5000;
constexpr int kFirstSampleMs = 10;
} // namespace linktime
