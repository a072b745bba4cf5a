#pragma once
// The main frame's timer ids and the periods of its link timers, in milliseconds.

// Every id the main frame's timer table uses.
enum FrameTimer : int {
    kTimerLoggingDialog = 1,   // the view's "Logging..." dialog (nothing arms it)
    kTimerClose = 2,           // deferred close of the main window
    kTimerDataList = 3,        // the data list over the view (nothing arms it)
    kTimerPortScan = 4,        // lists the ports that open
    kTimerProbe = 5,           // probes the next port
    kTimerLinkWatch = 6,       // does the logger's port still open?
    kTimerAnswerWait = 7,      // a set-up or clock command waits for the logger's answer
    kTimerZoomOut = 8,         // full-range zoom of the view after a load
    kTimerGiveUp = 9,          // a transfer without progress ends
    kTimerBlockResend = 10,    // a late block is asked for again
    kTimerQuietLine = 11,      // the line fell quiet
    kTimerCommandResend = 12,  // the transfer command goes once more
    kTimerWatchdog = 13,       // a real-time run without frames ends
    kTimerSample = 14,         // real-time sampling tick
    kTimerRealTimeRequest = 15 // the real-time command is repeated
};

namespace linktime {
constexpr int kPortScanStartMs = 100; // first port scan after an instrument command
constexpr int kRescanMs = 1000;       // next port scan after a silent probe pass
constexpr int kProbePeriodMs = 500;   // one probe per port
constexpr int kLinkWatchMs = 3000;    // does the logger's port still open?
constexpr int kCommandResendMs = 500; // transfer command sent once more
constexpr int kBlockResendMs = 900;   // block request sent once more
constexpr int kGiveUpMs = 5000;       // a transfer without progress ends
// A line that carried bytes besides the reply in force is let fall quiet this long
// before the next request, so that nothing left of them precedes its reply; a final
// answer (busy, no data) counts only when nothing follows it for this long.
constexpr int kQuietLineMs = 100;
// A reply crosses the line in one go: a gap this long inside a reply's length means the
// reply stopped there, and what follows is something else (its rest, a copy).
constexpr int kReplyPauseMs = 100;
// After the last reply of a stretch, read twice alike, on a line that kept nothing
// waiting: any byte still on its way shows within this time.
constexpr int kEndQuietMs = 50;
// The logger answers a set-up or clock command once it has carried it out (a set-up
// erases its memory first).
constexpr int kAnswerWaitMs = 3000;
constexpr int kWatchdogMs = 10000; // a real-time run without frames ends
constexpr int kRealTimeRequestMs = 5000;
constexpr int kFirstSampleMs = 10;
} // namespace linktime
