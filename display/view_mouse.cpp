// The mouse on the graph: a rubber-band drag in the plot zooms into its box, a
// dotted cursor line follows the pointer, and the line under the plot reads out the
// point nearest to it. The arithmetic is in zoom_math; this file keeps the window's
// side: events, the drag watch and the pixels of the line, band and read-out.
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "display/frame_state.h"
#include "display/cdtview.h"
#include "display/zoom_math.h"
#include "document/cdtdoc.h"

namespace {

// Draws `area` of the picture with the chosen pixels inverted: drawing the picture
// back over the area removes them again, and the mark is visible on any colour
// (on the plot background it shows that colour's complement).
template <class Pick>
void drawInverted(QPainter& p, const QImage& picture, const QRect& area, Pick&& pick)
{
    const QRect r = area & picture.rect();
    if (r.isEmpty())
        return;
    QImage piece = picture.copy(r);
    for (int y = 0; y < piece.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(piece.scanLine(y));
        for (int x = 0; x < piece.width(); ++x) {
            if (pick(r.left() + x, r.top() + y))
                row[x] = ~row[x] | 0xFF000000u;
        }
    }
    p.drawImage(r.topLeft(), piece);
}

} // namespace

void CDTView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->position().toPoint());
    event->accept();
}

void CDTView::mouseMoveEvent(QMouseEvent* event)
{
    OnMouseMove(event->position().toPoint());
    event->accept();
}

void CDTView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(event->position().toPoint());
    event->accept();
}

void CDTView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click starts no drag.
    event->accept();
}

void CDTView::OnLButtonDown(QPoint point)
{
    if (m_nLastPoint < 1 || m_nDisplayMode == 0)
        return;
    int x = point.x(), y = point.y();
    zoom::clampToPlot(m_rcPlot, x, y);
    g_dBoxLeft = x;
    g_dBoxTop = y;
    g_bBandDrawn = 1;
    g_bZoomBlocked = 1;
    g_ptDragStartX = g_ptDragEndX = x;
    g_ptDragStartY = g_ptDragEndY = y;
    // The mouse is not held for the drag: a watch cancels it once the pointer
    // wanders off the plot.
    m_timers.SetTimer(kViewTimerDragWatch, 10);
}

void CDTView::OnMouseMove(QPoint point)
{
    if (m_nLastPoint < 1 || m_nDisplayMode == 0 || !m_bCursorReady)
        return;
    int x = point.x(), y = point.y();
    if (g_bBandDrawn) {
        zoom::clampToPlot(m_rcPlot, x, y);
        m_bDragging = 1;
        QRegion dirty = bandOutline();
        if (x != g_ptDragStartX || y != g_ptDragStartY)
            g_bZoomBlocked = 0;
        g_ptDragEndX = x;
        g_ptDragEndY = y;
        dirty += bandOutline();
        refreshOverlay(dirty);
        return;
    }

    const PlotRect& rc = m_rcPlot;
    const int height = std::max(0, rc.height());
    QRegion dirty;
    if (!g_bCursorErased)
        dirty += QRect(g_nCursorX, rc.top, 1, height);
    if (y > rc.bottom || y < rc.top + 1 || x < rc.left || x > rc.right) {
        g_bCursorErased = 1;
    } else {
        g_nCursorIndex = zoom::nearestPointIndex(*this, x, g_nCursorIndex);
        g_nCursorX = x;
        g_bCursorErased = 0;
        dirty += QRect(x, rc.top, 1, height);
    }

    if (m_nLastPoint == 1)
        g_nCursorIndex = 0;
    const int index = g_nCursorIndex;
    if (index >= 0 && index < m_nLastPoint && y >= rc.top + 1 && y <= rc.bottom) {
        static const FrameState noFrame;
        static const CDTDoc noDocument;
        if (const auto line = zoom::readoutLine(*this, m_pFrame ? *m_pFrame : noFrame,
                                                m_pDocument ? *m_pDocument : noDocument, index))
            g_strReadout = *line;
        drawReadoutStrip();
        dirty += QRect(rc.left - 80, rc.bottom + 75, std::max(0, rc.width() + 178), 20);
    }
    refreshOverlay(dirty);
}

void CDTView::OnLButtonUp(QPoint point)
{
    if (m_nLastPoint < 1 || m_nDisplayMode == 0) {
        m_bDragging = 0;
        return;
    }
    int x = point.x(), y = point.y();
    zoom::clampToPlot(m_rcPlot, x, y);
    const bool dragInProgress = g_bBandDrawn != 0;
    g_bBandDrawn = 0; // the repaint below takes the band away
    // Nothing is left for the drag watch to do until the next press.
    m_timers.KillTimer(kViewTimerDragWatch);
    zoom::releaseZoom(*this, x, y, dragInProgress);
    const PlotRect& rc = m_rcPlot;
    update(QRect(QPoint(20, rc.top - 10), QPoint(rc.right + 100, rc.bottom + 55)));
    m_bDragging = 0;
}

void CDTView::OnDragWatch(QPoint pointer)
{
    if (!g_bBandDrawn
        || zoom::insideDragZone(m_rcPlot, width(), height(), pointer.x(), pointer.y()))
        return;
    m_bZoomPending = 0;
    const PlotRect& rc = m_rcPlot;
    // The band's right and bottom edges may lie on the plot's last column and row.
    update(QRect(rc.left, rc.top, std::max(0, rc.width()) + 1, std::max(0, rc.height()) + 1));
    g_bBandDrawn = 0;
    m_bDragging = 0;
    g_bZoomBlocked = 1;
    m_timers.KillTimer(kViewTimerDragWatch);
}

QRegion CDTView::bandOutline() const
{
    if (!g_bBandDrawn || (g_ptDragStartX == g_ptDragEndX && g_ptDragStartY == g_ptDragEndY))
        return {};
    const QRect r =
        QRect(QPoint(g_ptDragStartX, g_ptDragStartY), QPoint(g_ptDragEndX, g_ptDragEndY))
            .normalized();
    QRegion outline;
    outline += QRect(r.left(), r.top(), r.width(), 1);
    outline += QRect(r.left(), r.bottom(), r.width(), 1);
    outline += QRect(r.left(), r.top(), 1, r.height());
    outline += QRect(r.right(), r.top(), 1, r.height());
    return outline;
}

void CDTView::refreshOverlay(const QRegion& area)
{
    if (area.isEmpty())
        return;
    // The picture under the line, the band and the read-out is up to date: the
    // paint only copies it and draws the marks again.
    if (m_nDisplayMode == 1 && m_picture.size() == size())
        m_blitOnly += area;
    update(area);
}

void CDTView::paintOverlays(QPainter& p)
{
    if (m_nDisplayMode != 1 || m_picture.size() != size())
        return;
    for (const QRect& edge : bandOutline())
        drawInverted(p, m_picture, edge, [](int x, int y) { return ((x + y) & 1) == 0; });
    if (!g_bCursorErased) {
        const int top = m_rcPlot.top;
        drawInverted(p, m_picture, QRect(g_nCursorX, top, 1, std::max(0, m_rcPlot.height())),
                     [top](int, int y) { return ((y - top) & 2) == 0; });
    }
}

void CDTView::drawReadoutStrip()
{
    if (m_nDisplayMode != 1 || m_picture.size() != size())
        return;
    const PlotRect& rc = m_rcPlot;
    const QFont font = readoutFont();
    const QFontMetrics metrics(font);
    const int x = rc.left - 80, y = rc.bottom + 75;
    QPainter p(&m_picture);
    p.fillRect(QRect(x, y, std::max(0, rc.width() + 178), 20), Qt::black);
    p.setFont(font);
    p.setPen(faceColour());
    p.drawText(x, y + metrics.ascent(), g_strReadout);
}
