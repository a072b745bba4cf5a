#include "display/instrument_view.h"

#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>

#include "app/mainframe.h"
#include "resources/icons.h"
#include "resources/menus.h"

namespace {
const QString kItemText = QStringLiteral("-INSTRUMENT");
constexpr QSize kIconSize(27, 50);

CInstrumentView::PopupRunner& popupRunner()
{
    static CInstrumentView::PopupRunner runner = [](QMenu& menu, const QPoint& at) {
        return menu.exec(at);
    };
    return runner;
}
} // namespace

CInstrumentView::CInstrumentView(CDTDoc* doc, QWidget* parent)
    : QTreeWidget(parent)
    , m_pDocument(doc)
{
    setObjectName(QStringLiteral("instrumentTree"));
    // A plain tree: no header, no lines or expand buttons, the item shows its picture.
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIconSize(kIconSize);
    setMinimumWidth(0);
    setContextMenuPolicy(Qt::PreventContextMenu);
    OnInitialUpdate();
}

CMainFrame* CInstrumentView::GetParentFrame() const
{
    return qobject_cast<CMainFrame*>(window());
}

void CInstrumentView::OnInitialUpdate()
{
    clear();
    auto* item = new QTreeWidgetItem(QStringList{kItemText});
    item->setIcon(0, instrumentIcon());
    addTopLevelItem(item);
}

CInstrumentView::PopupRunner CInstrumentView::setPopupRunner(PopupRunner runner)
{
    PopupRunner old = popupRunner();
    popupRunner() = runner
                        ? std::move(runner)
                        : PopupRunner([](QMenu& menu, const QPoint& at) { return menu.exec(at); });
    return old;
}

void CInstrumentView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        OnRClick(viewport()->mapTo(this, event->position().toPoint()));
}

void CInstrumentView::OnRClick(const QPoint& pos)
{
    const QPoint inViewport = viewport()->mapFrom(this, pos);
    QTreeWidgetItem* hit = itemAt(inViewport);
    if (!hit)
        return;
    setCurrentItem(hit);

    CMainFrame* frame = GetParentFrame();
    const std::vector<MenuItem>& resource = instrumentTreeMenu();
    if (!frame || resource.size() < 2)
        return;
    // The entries are the main window's commands: its enable rules grey them (during a
    // real-time run) and a choice runs exactly what the main menu runs.
    int command = 0;
    {
        QMenu menu(frame);
        for (const MenuItem& entry : resource[1].children) {
            if (entry.isSeparator()) {
                menu.addSeparator();
                continue;
            }
            QAction* action = menu.addAction(entry.text);
            action->setData(entry.id);
            action->setEnabled(frame->commandState(entry.id).m_bEnabled);
        }
        QAction* chosen = popupRunner()(menu, viewport()->mapToGlobal(inViewport));
        if (chosen && chosen->isEnabled() && menu.actions().contains(chosen))
            command = chosen->data().toInt();
    }
    // The menu is gone before the command runs (it may open a dialog of its own).
    if (command != 0)
        frame->OnCmdMsg(command);
}

void CInstrumentView::OnSavePreviousMeasurement()
{
    if (CMainFrame* frame = GetParentFrame())
        frame->SavePreviousMeasurement();
}
