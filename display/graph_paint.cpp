// The graph page of the view: layout, children around the plot, and the picture
// (frame, grid, curves, labels, legends, read-out) painted off screen and copied to
// the window or the printer's page in one operation.
#include <QApplication>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QToolBar>
#include <algorithm>
#include <cmath>

#include "app/frame_state.h"
#include "display/cdtview.h"
#include "display/color_palette.h"
#include "display/curve_raster.h"
#include "display/mode_rules.h"
#include "display/plot_scale.h"
#include "display/point_time.h"
#include "display/rec_info_band.h"
#include "document/cdtdoc.h"
#include "platform/printf_number.h"
#include "platform/truncation.h"

namespace {

const QColor kEmptyBackground(125, 125, 125);
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;

// The face colour of buttons and frames; labels are black on it, so a dark desktop
// theme falls back to the classic light face.
QColor faceColor()
{
    const QColor c = QApplication::palette().color(QPalette::Button);
    return c.lightness() >= 128 ? c : QColor(240, 240, 240);
}

QFont labelFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(12);
    f.setWeight(QFont::Medium);
    return f;
}

// 20 pixels high with an average character width of 8 pixels.
QFont legendFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(20);
    f.setWeight(QFont::Thin);
    const int average = QFontMetrics(f).averageCharWidth();
    if (average > 0)
        f.setStretch(std::clamp((800 + average / 2) / average, 50, 200));
    return f;
}

// Text with its top-left corner at (x, y) on an opaque background box.
void drawOpaqueText(QPainter& p, const QFontMetrics& fm, int x, int y, const QString& text,
                    const QColor& fg, const QColor& bg)
{
    if (text.isEmpty())
        return;
    p.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), bg);
    p.setPen(fg);
    p.drawText(x, y + fm.ascent(), text);
}

} // namespace

QFont CDTView::readoutFont()
{
    return legendFont();
}

QColor CDTView::faceColour()
{
    return faceColor();
}

void CDTView::createChildren(int clientW)
{
    if (!m_dlgRecInfo) {
        m_dlgRecInfo = new CRecInfoDlg(this);
        m_dlgRecInfo->setGeometry(0, 0, clientW, m_nTopBandHeight);
        m_dlgRecInfo->raise();
        m_dlgRecInfo->show();
    }
    if (m_listData)
        m_listData->hide();
    QScrollBar** bars[3] = {&m_wndTimeScroll, &m_wndScrollCh1, &m_wndScrollCh2};
    for (int i = 0; i < 3; ++i) {
        if (!*bars[i]) {
            *bars[i] = new QScrollBar(i == 0 ? Qt::Horizontal : Qt::Vertical, this);
            (*bars[i])->setEnabled(false);
            attachScrollBar(*bars[i]);
        }
    }
    if (!m_wndViewToolBar)
        createViewToolBar();
    PlaceChildren();
    for (QScrollBar** bar : bars)
        (*bar)->show();
    if (!m_wndViewToolBar)
        return;
    m_wndViewToolBar->show();
    m_wndViewToolBar->raise();
}

void CDTView::PlaceChildren()
{
    const int clientW = width();
    const PlotRect rc = plotRectFor(clientW, height(), m_nTopBandHeight);
    const int w = rc.width(), h = rc.height();
    const QRect places[3] = {
        QRect(rc.left, rc.bottom + 35, std::max(0, w), 20),
        QRect(20, rc.top, 20, std::max(0, h)),
        QRect(clientW - 40, rc.top, 20, std::max(0, h)),
    };
    QScrollBar* bars[3] = {m_wndTimeScroll, m_wndScrollCh1, m_wndScrollCh2};
    for (int i = 0; i < 3; ++i)
        if (bars[i])
            bars[i]->setGeometry(places[i]);
    if (m_wndViewToolBar)
        m_wndViewToolBar->setGeometry(20, rc.top - 45, std::max(0, clientW - 40), 35);
}

void CDTView::PreparePage()
{
    // The first page in graph mode starts the zoom from the full view.
    if (m_nDisplayMode != m_nArmedDisplayMode && m_nDisplayMode == 1) {
        m_timers.SetTimer(4, 50);
        m_nArmedDisplayMode = 1;
    }
    // A data list whose window has gone is no longer open.
    if (!m_dlgDataList)
        m_bDataListOpen = 0;

    // The page's layout; the mode command below finds it in place, and the drawing keeps
    // it even when the command changes the band.
    const int clientW = width();
    const PlotRect rc = plotRectFor(clientW, height(), m_nTopBandHeight);
    m_rcPlot = rc;
    m_rcRedraw = {20, rc.top - 18, clientW - 20, rc.bottom + 55};

    if (m_bNewDocument) {
        enterDocumentMode();
        m_bNewDocument = 0;
    }
}

void CDTView::enterDocumentMode()
{
    // The mode the document was made in, entered afresh: its flag is cleared first, since
    // a mode command already on only updates.
    FrameState noFrame;
    FrameState& frame = m_pFrame ? *m_pFrame : noFrame;
    m_nFirstPoint = 1;
    if (m_pDocument && m_pDocument->m_strReadTag == kTagRealTime) {
        frame.m_bRtRms = 0;
        frame.OnRealTimeRms();
    } else if (m_pDocument && m_pDocument->m_strReadTag == kTagStored) {
        frame.m_bStoreRms = 0;
        frame.OnStoreRms();
    }
    g_nZoomLevel = 0;
    g_bFullView = 1;
    g_fScaleStep = g_fXScale;
    m_nScrollOffset = 0;
    m_nZoomFirst = 0;
    if (m_dlgDataList) {
        m_bListDirty = 1;
        m_dlgDataList->showNormal();
        m_dlgDataList->update();
    }
}

void CDTView::OnDraw(QPainter& dc, QSize target, bool printing)
{
    const int cw = width(), ch = height();
    const PlotRect rc = m_rcPlot;

    // The off-screen picture, kept between paints.
    const QSize pictureSize(std::max(cw, 1), std::max(ch, 1));
    if (m_picture.size() != pictureSize)
        m_picture = QImage(pictureSize, QImage::Format_RGB32);
    // A printer is drawn on in its own pixels, and the picture goes over its whole
    // printable page, whatever scale the caller's painter was left with.
    if (printing) {
        dc.resetTransform();
        if (const QPaintDevice* device = dc.device())
            target = QSize(device->width(), device->height());
    }

    // Nothing to show.
    if (m_nDisplayMode == 0) {
        dc.fillRect(QRect(0, 0, cw, ch), kEmptyBackground);
        g_rcPlotPrev = rc;
        m_bZoomPending = 0;
        return;
    }

    // The children around the plot.
    createChildren(cw);
    if (!m_wndViewToolBar)
        return;

    drawGraph(printing);

    // One copy: 1:1 on the screen, over the whole page when printing.
    const int kind = printing ? PrintKind() : m_nDisplayMode;
    if (kind == 1) {
        dc.drawImage(QRect(0, 0, target.width(), target.height()), m_picture);
    } else if (kind == 2) {
        dc.drawImage(QPoint(0, 0), m_picture,
                     QRect(0, 0, std::min(target.width(), m_picture.width()),
                           std::min(target.height() + 1, m_picture.height())));
    }

    g_rcPlotPrev = rc;
    m_bZoomPending = 0;
}

void CDTView::drawGraph(bool printing)
{
    FrameState noFrame;
    const FrameState& frame = m_pFrame ? *m_pFrame : noFrame;
    const int cw = width(), ch = height();
    const PlotRect rc = m_rcPlot;
    const int L = rc.left, T = rc.top, R = rc.right, B = rc.bottom;
    const int W = rc.width(), H = rc.height();
    const int bh = m_nTopBandHeight;
    const QColor face = faceColor();
    const QRgb F = face.rgb();
    const QColor background = ColorFromIndex(frame.m_nBgColor);
    const QRgb grid = ColorFromIndex(frame.m_nGridColor).rgb();

    PixelCanvas canvas(m_picture);
    const PixelClip everywhere = canvas.bounds();

    // 4. (printing) the strip above the plot is face-coloured
    if (printing)
        canvas.fillRect(0, 0, cw, T, F);

    // 8. background
    canvas.fillRect(0, bh, cw, ch - bh, kBlack);
    canvas.fillRect(m_rcRedraw.left, m_rcRedraw.top, m_rcRedraw.width(), m_rcRedraw.height(), F);
    canvas.fillRect(L - 1, T, W + 1, H, background.rgb());

    // 9. horizontal grid
    if (m_bViewXAxis == 1 && L < R) {
        for (int k = 0; k <= 10; ++k) {
            const int y = truncSaturated(H * k * 0.1 + T);
            canvas.dottedLine(L - 5, y, R + 5, y, grid);
        }
    }

    // 10, 11. positions of the points, and the zoomed scale while zoomed
    PreparePlotPoints();
    if (g_bFullView == 0 && m_pDocument) {
        const ZoomScrollUpdate bars = computeZoomedView(*this, *m_pDocument, frame);
        applyZoomScrollBars(bars.timeRangeMax, bars.positionBars, bars.verticalHalfRange);
    }

    // 12. label positions and vertical grid
    const TimeLabels labels = planTimeLabels(*this, frame);
    if (labels.valid && m_bViewYAxis == 1) {
        for (int k = 0; k < 10; ++k) {
            const int xg = truncSaturated(labels.x0 + labels.index[k] * labels.dx);
            canvas.dottedLine(xg, B - 1, xg, T, grid);
        }
    }

    // 13. curves: only the segments that can reach the plot
    const int n = m_nLastPoint - m_nFirstPoint + 1;
    if (labels.valid && W > 0 && H > 0 && n >= 2) {
        const double j0 = static_cast<double>(m_nZoomFirst) - m_nScrollOffset + 1;
        const double limit = std::floor(W / labels.dx + j0 + 2);
        CurveBatch batch;
        batch.drawCh[0] = m_bShowCh1 == 1 && m_bViewCh1 == 1;
        batch.drawCh[1] =
            m_bShowCh2 == 1 && m_bViewCh2 == 1 && !modes::modeFlag(frame, modes::Mode::RtPowerS);
        batch.color[0] = ColorFromIndex(frame.m_nCh1Color).rgb();
        batch.color[1] = ColorFromIndex(frame.m_nCh2Color).rgb();
        batch.marks = m_bMarkPoints == 1;
        batch.jBegin = static_cast<int>(std::clamp(j0, 1.0, double(n)));
        batch.jEnd = static_cast<int>(std::clamp(limit, 1.0, double(n)));
        // At full view the positions were just worked out from the data: the curves
        // read them from there instead of from the larger caches.
        LevelZeroY fromData[2];
        if (g_nZoomLevel == 0 && g_bFullView == 1 && m_pDocument) {
            for (int c = 0; c < 2; ++c) {
                fromData[c] = levelZeroY(*this, *m_pDocument, frame, c);
                batch.yFromData[c] = &fromData[c];
            }
        }
        drawCurveBatchStriped(canvas, *this, batch, PixelClip{L, T, R, B});
    }

    // 14. label texts
    for (int k = 0; k < 10; ++k) {
        if (labels.numbered)
            m_strXLabels[k] = QString::asprintf("%d", labels.number[k]);
        else if (labels.hasTimes)
            m_strXLabels[k] = formatTime(labels.time[k], "%H:%M:%S");
        else
            m_strXLabels[k].clear();
    }
    const int row = std::clamp<int>(g_nZoomLevel, 0, 2);
    for (int k = 0; k <= 10; ++k) {
        m_strYLabels1[k] = cnum::fixed(g_fTicks1[row][k], 2);
        m_strYLabels2[k] = cnum::fixed(g_fTicks2[row][k], 2);
    }

    // 15. margin fills: they also cut off what the grid and curves drew outside
    const int frameWidth = (cw - 20) - 20;
    if (printing) {
        canvas.fillRect(20, T - 18, frameWidth, 18, F);
        canvas.fillRect(0, 0, cw, bh, F);
    }
    if (B > T) {
        canvas.fillRect(20, B + 1, frameWidth, 60, F);
        canvas.fillRect(20, T - 10, frameWidth, 10, F);
    }
    canvas.fillRect(20, T - 10, L - 20, H + 19, F);
    canvas.fillRect(R + 1, T - 10, (cw - 20) - R - 1, H + 19, F);

    // 16. value ticks (the labels follow with the text below)
    if (L < R) {
        for (int k = 0; k <= 10; ++k) {
            const int y = truncSaturated(T + k * H * 0.1);
            canvas.line(L - 5, y, L, y, grid, everywhere);
            canvas.line(R, y, R + 5, y, grid, everywhere);
        }
    }

    // 17. time ticks (labels below)
    struct PlacedLabel {
        int x;
        int k;
    };
    PlacedLabel placed[10];
    int placedCount = 0;
    if (m_nLastPoint >= 1 && labels.valid) {
        for (int k = 0; k < 10; ++k) {
            const double x = labels.x0 + labels.index[k] * labels.dx;
            const int xi = truncSaturated(x);
            if (x >= L && x <= R && (labels.numbered || labels.hasTimes))
                placed[placedCount++] = {xi, k};
            if (xi >= L && xi <= R)
                canvas.line(xi, B, xi, B + 5, grid, everywhere);
        }
    }

    // The texts go in between the fills, in the paint's order: the outer fills come
    // after the labels and trim what reaches into them (the top of the highest value
    // labels).
    QPainter p(&m_picture);
    const QFont small = labelFont();
    const QFontMetrics smallMetrics(small);
    p.setFont(small);
    const QColor black(0, 0, 0);

    // 16. value labels; both columns even for an absent channel
    for (int k = 0; k <= 10; ++k) {
        const int y = B - truncSaturated(double(k) * H / 10) - 8;
        drawOpaqueText(p, smallMetrics, 88 - 5 * int(m_strYLabels1[k].size()), y, m_strYLabels1[k],
                       black, face);
        drawOpaqueText(p, smallMetrics, R + 6, y, m_strYLabels2[k], black, face);
    }

    // 17. time labels
    if (m_nLastPoint == 1) {
        const modes::AxisTimes times = modes::axisTimes(frame);
        if (modes::singleWaveform(frame)) {
            drawOpaqueText(p, smallMetrics, L, B + 5, QStringLiteral("1"), black, face);
        } else if (times != modes::AxisTimes::None) {
            const std::time_t start =
                times == modes::AxisTimes::Stored ? m_tStoreStart : m_tRtStart;
            drawOpaqueText(p, smallMetrics, L - 23, B + 5, formatTime(start, "%H:%M:%S"), black,
                           face);
            drawOpaqueText(p, smallMetrics, L - 23, B + 17, formatTime(start, "%d/%m/%y"), black,
                           face);
        }
    }
    for (int i = 0; i < placedCount; ++i) {
        const int k = placed[i].k;
        const QString& text = m_strXLabels[k];
        const int x = placed[i].x - truncSaturated(7.0 * text.size() / 2);
        drawOpaqueText(p, smallMetrics, x, B + 5, text, black, face);
        if (!labels.numbered)
            drawOpaqueText(p, smallMetrics, x, B + 17, formatTime(labels.time[k], "%d/%m/%y"),
                           black, face);
    }

    // 18. outer fills
    canvas.fillRect(20, T - 20, frameWidth, 15, F);
    canvas.fillRect(0, 0, cw, T - 18, kBlack);
    canvas.fillRect(0, 0, cw, bh, F);
    canvas.fillRect(0, B + 55, cw, ch - (B + 55), kBlack);
    canvas.fillRect(0, bh, 20, ch - bh, kBlack);
    canvas.fillRect(cw - 20, bh, 20, ch - bh, kBlack);
    if (printing)
        canvas.fillRect(0, 0, cw, bh + 5, kWhite);

    // 19. cursor read-out
    const QFont large = legendFont();
    const QFontMetrics largeMetrics(large);
    p.setFont(large);
    drawOpaqueText(p, largeMetrics, L - 80, B + 75, g_strReadout, face, black);
    if (printing) {
        canvas.fillRect(L - 80, B + 75, W + 178, 20, kBlack);
        drawOpaqueText(p, largeMetrics, L - 80, B + 75, g_strReadout, face, black);
    }

    // 20. white border (2 pixels wide)
    const int top = bh + 10, left = 10, right = cw - 10, bottom = ch - 10;
    canvas.fillRect(left - 1, top - 1, right - left + 2, 2, kWhite);
    canvas.fillRect(left - 1, top - 1, 2, bottom - top + 2, kWhite);
    canvas.fillRect(right - 1, top - 1, 2, bottom - top + 2, kWhite);
    canvas.fillRect(left - 1, bottom - 1, right - left + 2, 2, kWhite);
    g_bCursorErased = 1;

    // 21. legends
    const bool powerMode = modes::powerMode(frame);
    if (m_bShowCh1 == 1) {
        const QColor c = ColorFromIndex(frame.m_nCh1Color);
        if (!powerMode)
            drawOpaqueText(p, largeMetrics, 5 * (10 - int(m_strUnit1.size())), B + 31,
                           QStringLiteral("CH1 ") + m_strUnit1, c, background);
        else
            drawOpaqueText(p, largeMetrics, 60, B + 31, m_strUnit1, c, background);
    }
    if (m_bShowCh2 == 1 && !powerMode)
        drawOpaqueText(p, largeMetrics, R + 1, B + 31, QStringLiteral("CH2 ") + m_strUnit2,
                       ColorFromIndex(frame.m_nCh2Color), background);
}
