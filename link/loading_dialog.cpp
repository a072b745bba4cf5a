#include "link/loading_dialog.h"

#include <QDialog>
#include <QProgressBar>
#include <QVBoxLayout>

#include "platform/dialog_units.h"
#include "platform/window_frame.h"

CLoadingDlg::CLoadingDlg() = default;
CLoadingDlg::~CLoadingDlg() = default;

void CLoadingDlg::Create(QWidget* parent)
{
    if (m_window)
        return;
    // A caption and nothing else: the download decides when the window goes.
    auto window = std::make_unique<QDialog>(parent, Qt::Dialog | Qt::CustomizeWindowHint
                                                        | Qt::WindowTitleHint);
    window->setObjectName(QStringLiteral("IDD_%1").arg(IDD));
    window->setWindowTitle(QStringLiteral("Loading..."));
    window->setModal(false);
    const DialogUnits units(QStringLiteral("System"), 10);
    window->setFont(units.font());
    window->setFixedSize(units.toPixels(QSize(128, 12)));

    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    m_progress = new QProgressBar(window.get());
    m_progress->setObjectName(QStringLiteral("IDC_%1").arg(IDC_PROGRESS));
    m_progress->setTextVisible(false); // smooth bar, no percentage
    layout->addWidget(m_progress);
    m_window = std::move(window);
}

void CLoadingDlg::ShowOver(const QWidget* view)
{
    if (!m_window || !view)
        return;
    const QSize client = m_window->size();
    const QPoint viewTop = view->mapToGlobal(QPoint(0, 0));
    const int viewWidth = view->width();
    placeWindowFrame(m_window.get(), [=](const QMargins& m) {
        const QSize frame = client.grownBy(m);
        return QRect(QPoint(viewTop.x() + viewWidth / 2 - frame.width() / 2,
                            viewTop.y() + 4 * frame.height()),
                     frame);
    });
    m_window->show();
    m_progress->show();
}

void CLoadingDlg::SetRange(int low, int high)
{
    if (m_progress)
        m_progress->setRange(low, high);
}

void CLoadingDlg::SetPos(int pos)
{
    if (m_progress)
        m_progress->setValue(pos);
}

int CLoadingDlg::Pos() const
{
    return m_progress ? m_progress->value() : 0;
}

int CLoadingDlg::RangeMax() const
{
    return m_progress ? m_progress->maximum() : 0;
}

void CLoadingDlg::EndAndDestroy(int result)
{
    if (!m_window)
        return;
    m_result = result;
    m_window->done(result);
    m_progress = nullptr;
    // The end may come from inside a handler the window is part of; let Qt delete it.
    m_window.release()->deleteLater();
}
