#pragma once
// Scripted answers for the message boxes and file dialogs a test raises: each object
// installs its hook for its lifetime, records every call and puts the hook before it
// back at the end.
#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "platform/file_dialog.h"
#include "platform/message_box.h"

namespace testenv {

// Boxes take the queued answers in turn, then `answer`.
struct MessageBoxRecorder {
    std::vector<MessageBoxCall> calls;
    std::deque<MsgResult> answers;
    MsgResult answer = MsgResult::No;
    MessageBoxHook previous;

    explicit MessageBoxRecorder(MsgResult otherwise = MsgResult::No) : answer(otherwise)
    {
        previous = setMessageBoxHook([this](const MessageBoxCall& call) {
            calls.push_back(call);
            if (answers.empty())
                return answer;
            const MsgResult a = answers.front();
            answers.pop_front();
            return a;
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
            if (picks.empty())
                return std::nullopt;
            const std::optional<QString> pick = picks.front();
            picks.pop_front();
            return pick;
        });
    }
    ~FileDialogScript() { setFileDialogHook(previous); }
    FileDialogScript(const FileDialogScript&) = delete;
    FileDialogScript& operator=(const FileDialogScript&) = delete;
};

} // namespace testenv
