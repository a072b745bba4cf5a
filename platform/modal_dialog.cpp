#include "platform/modal_dialog.h"

#include <QDialog>
#include <utility>

namespace {
ModalDialogHook& hook()
{
    static ModalDialogHook h;
    return h;
}
} // namespace

int execModal(QDialog& dialog)
{
    if (hook()) {
        const int result = hook()(dialog);
        dialog.setResult(result);
        return result;
    }
    return dialog.exec();
}

ModalDialogHook setModalDialogHook(ModalDialogHook h)
{
    return std::exchange(hook(), std::move(h));
}
