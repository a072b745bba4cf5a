#pragma once
// Scripted answers for the message boxes, file dialogs and modal dialogs a test
// raises: each object installs its hook for its lifetime and puts the hook before it
// back at the end.
#include <QDialog>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/modal_dialog.h"

namespace testenv {

// Lets modal dialogs run for real while the object lives, for a test that drives them
// through the event loop.
class RealModalDialogs {
public:
    RealModalDialogs() : m_previous(setModalDialogHook({})) {}
    ~RealModalDialogs() { setModalDialogHook(std::move(m_previous)); }
    RealModalDialogs(const RealModalDialogs&) = delete;
    RealModalDialogs& operator=(const RealModalDialogs&) = delete;

private:
    ModalDialogHook m_previous;
};

// The next scripted answer: the first queued one, else `otherwise`.
template <class Answer> Answer nextAnswer(std::deque<Answer>& queued, const Answer& otherwise)
{
    if (queued.empty())
        return otherwise;
    const Answer next = queued.front();
    queued.pop_front();
    return next;
}

// Records every box; boxes take the queued answers in turn, then `answer`.
struct MessageBoxRecorder {
    std::vector<MessageBoxCall> calls;
    std::deque<MsgResult> answers;
    MsgResult answer = MsgResult::No;
    MessageBoxHook previous;

    explicit MessageBoxRecorder(std::deque<MsgResult> queued = {},
                                MsgResult otherwise = MsgResult::No)
        : answers(std::move(queued))
        , answer(otherwise)
    {
        previous = setMessageBoxHook([this](const MessageBoxCall& call) {
            calls.push_back(call);
            return nextAnswer(answers, answer);
        });
    }
    ~MessageBoxRecorder() { setMessageBoxHook(previous); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;
};

// Dialogs take the queued picks in turn, then Cancel.
struct FileDialogScript {
    std::vector<FileDialogCall> calls;
    std::deque<std::optional<QString>> picks;
    FileDialogHook previous;

    FileDialogScript()
    {
        previous = setFileDialogHook([this](const FileDialogCall& call) -> std::optional<QString> {
            calls.push_back(call);
            return nextAnswer(picks, std::optional<QString>());
        });
    }
    ~FileDialogScript() { setFileDialogHook(previous); }
    FileDialogScript(const FileDialogScript&) = delete;
    FileDialogScript& operator=(const FileDialogScript&) = delete;
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

} // namespace testenv
