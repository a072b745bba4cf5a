#include "link/logging_dialog.h"

#include <QDialog>
#include <QProgressBar>
#include <QVBoxLayout>

#include "platform/dialog_units.h"
#include "platform/modal_dialog.h"

int CLoggingDlg::DoModal(QWidget* parent)
{
    QDialog window(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window.setObjectName(QStringLiteral("IDD_%1").arg(IDD));
    window.setWindowTitle(QStringLiteral("Logging..."));
    const DialogUnits units(QStringLiteral("Arial"), 10);
    window.setFont(units.font());
    window.setFixedSize(units.toPixels(QSize(128, 12)));
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* progress = new QProgressBar(&window);
    progress->setObjectName(QStringLiteral("IDC_%1").arg(IDC_PROGRESS));
    progress->setTextVisible(false); // smooth bar, no percentage
    layout->addWidget(progress);
    return execModal(window);
}
