// The graph view's point time text and the closing of its modeless panels.
#include <QDialog>

#include "display/cdtview.h"
#include "display/point_time.h"
#include "document/cdtdoc.h"
#include "app/frame_state.h"

QString CDTView::PointIndexToTimeText(int index) const
{
    static const FrameState noFrame;
    static const CDTDoc noDocument;
    return pointIndexToTimeText(*this, m_pFrame ? *m_pFrame : noFrame,
                                m_pDocument ? *m_pDocument : noDocument, index);
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
