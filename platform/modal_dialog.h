#pragma once
// Running a dialog modally, with a hook that lets tests answer the dialog without
// entering its event loop: the hook sees the dialog (fully built, not shown) and
// returns the result the user would have given (QDialog::Accepted or Rejected, or a
// dialog's own result code).
#include <functional>

class QDialog;

// Runs the dialog modally (or asks the hook) and returns its result.
int execModal(QDialog& dialog);

using ModalDialogHook = std::function<int(QDialog&)>;
// Installs a hook (an empty function removes it). Returns the previous hook.
ModalDialogHook setModalDialogHook(ModalDialogHook hook);
