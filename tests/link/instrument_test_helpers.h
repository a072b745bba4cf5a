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

#include "app/frame_state.h"
#include "link/instrument_dialog.h"
#include "link/wire_protocol.h"
#include "platform/message_box.h"
#include "platform/modal_dialog.h"

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

// Answers every modal run with `body`, which may drive the dialog (show it, click its
// buttons); the run's result is the dialog's result when it ended, else Rejected.
class ScopedModal {
public:
    explicit ScopedModal(std::function<void(QDialog&)> body)
    {
        m_previous = setModalDialogHook([body = std::move(body)](QDialog& dialog) {
            dialog.setResult(QDialog::Rejected);
            body(dialog);
            return dialog.result();
        });
    }
    ~ScopedModal() { setModalDialogHook(std::move(m_previous)); }
    ScopedModal(const ScopedModal&) = delete;
    ScopedModal& operator=(const ScopedModal&) = delete;

private:
    ModalDialogHook m_previous;
};

// Records every message box and answers with the scripted results (then `fallback`).
class ScopedMessageBoxes {
public:
    explicit ScopedMessageBoxes(std::deque<MsgResult> answers = {},
                                MsgResult fallback = MsgResult::No)
        : m_answers(std::move(answers))
        , m_fallback(fallback)
    {
        m_previous = setMessageBoxHook([this](const MessageBoxCall& call) {
            calls.push_back(call);
            if (m_answers.empty())
                return m_fallback;
            const MsgResult r = m_answers.front();
            m_answers.pop_front();
            return r;
        });
    }
    ~ScopedMessageBoxes() { setMessageBoxHook(std::move(m_previous)); }
    ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
    ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;

    std::vector<MessageBoxCall> calls;

private:
    std::deque<MsgResult> m_answers;
    MsgResult m_fallback;
    MessageBoxHook m_previous;
};

inline QByteArray hex(const wire::Command& c)
{
    return QByteArray(reinterpret_cast<const char*>(c.data()), static_cast<int>(c.size()))
        .toHex(' ')
        .toUpper();
}

} // namespace testhost
