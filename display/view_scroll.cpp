// The three scroll bars of the graph: the time bar under the plot pans a zoomed
// window, the bars beside the plot shift each channel's value axis by pixels.
#include <QCursor>
#include <QScrollBar>
#include <algorithm>

#include "display/cdtview.h"
#include "display/zoom_math.h"

void CDTView::attachScrollBar(QScrollBar* bar)
{
    const auto deliver = [this, bar](int code) {
        if (bar->orientation() == Qt::Horizontal)
            OnHScroll(code, bar->sliderPosition(), bar);
        else
            OnVScroll(code, bar->sliderPosition(), bar);
    };
    // The handlers decide where the bar goes: they set its position while the action
    // is delivered, before the bar would take the one it worked out itself.
    connect(bar, &QAbstractSlider::actionTriggered, this, [deliver](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            deliver(zoom::kLineUp);
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            deliver(zoom::kLineDown);
            break;
        case QAbstractSlider::SliderPageStepSub:
            deliver(zoom::kPageUp);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            deliver(zoom::kPageDown);
            break;
        case QAbstractSlider::SliderMove:
            deliver(zoom::kThumbTrack);
            break;
        default:
            deliver(zoom::kOther);
            break;
        }
    });
    connect(bar, &QAbstractSlider::sliderReleased, this,
            [deliver] { deliver(zoom::kThumbPosition); });
}

void CDTView::OnHScroll(int code, int trackPos, QScrollBar* bar)
{
    if (bar && bar == m_wndTimeScroll) {
        int track = trackPos;
        // Only a thumb being dragged follows the pointer; the wheel moves the bar by
        // its own steps and arrives here with the position it worked out.
        if (code == zoom::kThumbTrack && bar->isSliderDown())
            track = zoom::timeTrackPosition(*this, trackPos, mapFromGlobal(QCursor::pos()).x());
        zoom::scrollTime(*this, code, track);
        bar->setValue(m_siTime.nPos);
    }
    const PlotRect& rc = m_rcPlot;
    update(QRect(QPoint(rc.left - 60, rc.top - 10), QPoint(rc.right + 60, rc.bottom + 35)));
}

void CDTView::OnVScroll(int code, int trackPos, QScrollBar* bar)
{
    m_bVScrolled = 1;
    const int channel = !bar ? -1 : bar == m_wndScrollCh1 ? 0 : bar == m_wndScrollCh2 ? 1 : -1;
    if (channel >= 0)
        bar->setValue(zoom::scrollValue(*this, channel, code, trackPos));
    const PlotRect& rc = m_rcPlot;
    update(QRect(QPoint(rc.left - 70, rc.top - 10), QPoint(rc.right + 70, rc.bottom + 35)));
}
