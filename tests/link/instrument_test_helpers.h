#pragma once
// Helpers for the instrument dialog tests: a host that records what a dialog asks of
// the frame, and scoped hooks that answer modal dialogs and message boxes.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "display/frame_state.h"
#include "link/instrument_dialog.h"
#include "link/wire_protocol.h"
#include "support/dialog_hooks.h"

namespace testhost {

// The frame side as a dialog sees it: the state, and the operations with a log of the
// calls in their order.
struct FakeFrame {
    FrameState state;
    QStringList calls;
    std::vector<wire::Command> sent;
    bool sendSucceeds = true;
    bool startSucceeds = true;
    std::function<void()> onStartTransfer; // may throw

    InstrumentHost host(CMSComm* comm = nullptr)
    {
        InstrumentHost h;
        h.state = &state;
        h.comm = comm;
        h.sendCommand = [this] {
            calls << QStringLiteral("send");
            if (sendSucceeds)
                sent.push_back(state.m_byCommand);
            return sendSucceeds;
        };
        h.startTransfer = [this] {
            calls << QStringLiteral("startTransfer");
            if (onStartTransfer)
                onStartTransfer();
            return startSucceeds;
        };
        h.stopConnectTimers = [this] { calls << QStringLiteral("stopConnectTimers"); };
        return h;
    }
};

// The scoped hooks shared by every test (tests/support/dialog_hooks.h).
using ScopedMessageBoxes = testenv::MessageBoxRecorder;
using testenv::ScopedModal;

inline QByteArray hex(const wire::Command& c)
{
    return QByteArray(reinterpret_cast<const char*>(c.data()), static_cast<int>(c.size()))
        .toHex(' ')
        .toUpper();
}

} // namespace testhost
