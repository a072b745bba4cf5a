// The graph view's point time text and the places and closing of its modeless panels.
#include <QDialog>
#include <QSplitter>
#include <algorithm>

#include "display/cdtview.h"
#include "display/point_time.h"
#include "document/cdtdoc.h"
#include "display/frame_state.h"
#include "platform/window_frame.h"

QString CDTView::PointIndexToTimeText(int index) const
{
    static const FrameState noFrame;
    static const CDTDoc noDocument;
    return pointIndexToTimeText(*this, m_pFrame ? *m_pFrame : noFrame,
                                m_pDocument ? *m_pDocument : noDocument, index);
}

QRect CDTView::BelowBandArea() const
{
    const int band = m_nTopBandHeight;
    return QRect(mapToGlobal(QPoint(0, band)), QSize(width(), height() - band));
}

QRect CDTView::LeftPaneArea(int collapsedWidth, bool belowToolBar) const
{
    const auto* splitter = qobject_cast<const QSplitter*>(parentWidget());
    const QWidget* pane = splitter ? splitter->widget(0) : nullptr;
    if (pane && pane->isVisible() && pane->width() > 0)
        return QRect(pane->mapToGlobal(QPoint(0, 0)), pane->size());
    const QWidget* ground = splitter ? static_cast<const QWidget*>(splitter) : this;
    QRect area(ground->mapToGlobal(QPoint(0, 0)), QSize(collapsedWidth, ground->height()));
    if (belowToolBar) {
        // The band and the view toolbar stay in sight: the toolbar ends 10 pixels above
        // the plot.
        const int toolBarBottom = plotRectFor(width(), height(), m_nTopBandHeight).top - 10;
        area.setTop(std::max(area.top(), mapToGlobal(QPoint(0, toolBarBottom)).y()));
    }
    return area;
}

void CDTView::PlacePanel(QWidget* panel, const QRect& area)
{
    placeWindowFrame(panel, coverArea(area));
}

void CDTView::EndPanel(QDialog*& panel, int result)
{
    if (!panel)
        return;
    QDialog* ended = panel;
    panel = nullptr;
    ended->done(result);
    // A panel may be ended from one of its own handlers: delete it once that returns.
    ended->deleteLater();
}

void CDTView::ClosePanels()
{
    if (m_dlgPowerAnalysis) {
        EndPanel(m_dlgPowerAnalysis, 252);
        // Downloaded data is shown now: the read-outs of the last real-time frame go.
        m_powerTexts.rms = {};
        m_powerTexts.frequency = {};
    }
    EndPanel(m_dlgTrFileList, 255);
}
