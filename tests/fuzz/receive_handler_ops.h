#pragma once
// The input of the receive-handler fuzz target, shared with the seed writer:
//   start byte % 3    0 the probe of a port search (handshake), 1 a download started,
//                     2 a real-time run started
//   then operations until the input ends:
//   0x00..0x7F lo     a chunk of ((op << 8) | lo) bytes that follow, delivered by the
//                     line; the control raises the receive event by its threshold
//   0x80..0xBF        the expiry of an armed frame timer ((op - 0x80) % 11 picks it
//                     from kReceiveTimers); its period passes on the line first
//   0xC0..0xFF        a new start ((op - 0xC0) % 3, as the start byte) when the
//                     commands allow one
#include <QByteArray>
#include <algorithm>
#include <array>

#include "link/link_timing.h"

namespace fuzz {

inline constexpr std::array<int, 11> kReceiveTimers = {
    kTimerPortScan, kTimerProbe,       kTimerLinkWatch,      kTimerZoomOut,
    kTimerGiveUp,   kTimerBlockResend, kTimerQuietLine,      kTimerCommandResend,
    kTimerWatchdog, kTimerSample,      kTimerRealTimeRequest};

// Builds an input operation by operation.
struct ReceiveOps {
    QByteArray bytes;
    explicit ReceiveOps(int start) { bytes.append(static_cast<char>(start)); }
    ReceiveOps& chunk(const QByteArray& data)
    {
        bytes.append(static_cast<char>(data.size() >> 8));
        bytes.append(static_cast<char>(data.size() & 0xFF));
        bytes.append(data);
        return *this;
    }
    ReceiveOps& timer(int id)
    {
        const auto at = std::find(kReceiveTimers.begin(), kReceiveTimers.end(), id);
        bytes.append(static_cast<char>(0x80 + (at - kReceiveTimers.begin())));
        return *this;
    }
    ReceiveOps& restart(int kind)
    {
        bytes.append(static_cast<char>(0xC0 + kind));
        return *this;
    }
};

} // namespace fuzz
