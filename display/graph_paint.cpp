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
#include <array>
#include <cmath>
#include <ctime>
#include <new>

#include "display/frame_state.h"
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

// The graph page, in pixels. The curves are drawn in the plot; round it lies the graph
// frame in the face colour, which holds the labels, the legends and the view's children;
// round that a black surround with a white border, and the band across the top.
constexpr int kFrameSide = 20;      // the graph frame's distance from each side of the view
constexpr int kFrameAbovePlot = 18; // its top edge above the plot
constexpr int kFrameBelowPlot = 55; // its bottom edge below the plot
// The value axis: grid rows, ticks and labels at each tenth of the plot's height.
constexpr int kDivisions = 10;
constexpr double kDivisionFraction = 1.0 / kDivisions;
constexpr int kTickLength = 5;  // tick marks outside the plot; the grid rows reach over them
constexpr int kTimeLabels = 10; // time labels of a page, whether they fall in the plot or not
static_assert(std::tuple_size_v<decltype(TimeLabels::index)> == kTimeLabels);
// Segments drawn past the plot's right edge, so that the curves reach it.
constexpr int kSegmentsPastRightEdge = 2;
constexpr int kLastTickRow = 2; // rows of the tick tables: full view, zoomed, kept

// Margin fills, which also trim whatever the grid and the curves drew outside the plot.
constexpr int kMarginAbovePlot = 10;    // the face-coloured rows right above the plot
constexpr int kMarginBelowPlot = 60;    // the face-coloured rows below it (past the frame too)
constexpr int kSideMarginBelowPlot = 9; // the margins beside the plot reach below it
// A face-coloured strip above the plot, filled after the value labels, trims the tops of
// the highest ones.
constexpr int kTrimAbovePlot = 20; // the strip's top above the plot
constexpr int kTrimHeight = 15;
constexpr int kPrintedBandMargin = 5; // on paper the band and the rows below it are white

// Value labels: CH1 ends at a fixed column left of the plot, CH2 starts right of it.
constexpr int kCh1LabelEnd = 88;
constexpr int kLabelCharWidth = 5; // the width a label is given per character
constexpr int kCh2LabelGap = 6;
constexpr int kValueLabelRaise = 8; // a label's top above its tick
// Time labels, centred on their ticks: the time below the plot, the date below that.
constexpr int kTimeRowBelowPlot = 5;
constexpr int kDateRowBelowPlot = 17;
constexpr double kTimeLabelCharWidth = 7.0;
constexpr int kFirstTimeLeftOfPlot = 23; // a single point's time, left of the plot's edge

// The cursor read-out under the frame, and its black bar on paper.
constexpr int kReadoutLeftOfPlot = 80;
constexpr int kReadoutBelowPlot = 75;
constexpr int kPrintedReadoutExtraWidth = 178; // the bar's width beyond the plot's
constexpr int kLegendFontPixels = 20;          // the legends' and the read-out's text height

// Legends under the plot: CH1's ends near the frame's left side (a power mode's unit
// alone stands at a fixed place), CH2's starts right of the plot.
constexpr int kLegendBelowPlot = 31;
constexpr int kLegendCharWidth = 5;
constexpr int kCh1LegendEndChars = 10;
constexpr int kPowerLegendLeft = 60;
constexpr int kCh2LegendGap = 1;

// The white border, 2 pixels wide, inside the view's edges and below the band.
constexpr int kBorderInset = 10;
constexpr int kBorderWidth = 2;

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
    f.setPixelSize(kLegendFontPixels);
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

// Where the parts of one paint lie and the colours they take.
struct GraphPage {
    int clientWidth = 0, clientHeight = 0;
    int bandHeight = 0;
    PlotRect plot;
    PlotRect frame; // the graph frame
    QColor face;    // the frame, and the background of the labels
    QColor background;
    QRgb grid = 0;

    int frameRight() const { return clientWidth - kFrameSide; }
    int frameWidth() const { return frameRight() - kFrameSide; }
    // The row of division k of the value axis, from the top.
    int divisionRow(int k) const
    {
        return truncSaturated(plot.height() * k * kDivisionFraction + plot.top);
    }
};

// The label font, the legends' font, and how wide their texts come out.
struct GraphFonts {
    QFont label = labelFont();
    QFontMetrics labelMetrics{label};
    QFont legend = legendFont();
    QFontMetrics legendMetrics{legend};
};

// A time label inside the plot: its tick's column and its entry in the labels.
struct PlacedLabel {
    int column = 0;
    int entry = 0;
};
struct PlacedLabels {
    std::array<PlacedLabel, kTimeLabels> at;
    int count = 0;
};

void fillBackground(PixelCanvas& canvas, const GraphPage& page, bool printing)
{
    const PlotRect& plot = page.plot;
    const QRgb face = page.face.rgb();
    if (printing) // the strip above the plot, on paper
        canvas.fillRect(0, 0, page.clientWidth, plot.top, face);
    canvas.fillRect(0, page.bandHeight, page.clientWidth, page.clientHeight - page.bandHeight,
                    kBlack);
    canvas.fillRect(page.frame.left, page.frame.top, page.frame.width(), page.frame.height(), face);
    // The background takes in the column left of the plot as well.
    canvas.fillRect(plot.left - 1, plot.top, plot.width() + 1, plot.height(),
                    page.background.rgb());
}

// Dotted rows across the plot at each division of the value axis.
void drawValueGrid(PixelCanvas& canvas, const GraphPage& page)
{
    const PlotRect& plot = page.plot;
    if (plot.left >= plot.right)
        return;
    for (int k = 0; k <= kDivisions; ++k) {
        const int y = page.divisionRow(k);
        canvas.dottedLine(plot.left - kTickLength, y, plot.right + kTickLength, y, page.grid);
    }
}

// Dotted columns at the time labels, from the row above the plot's bottom edge up.
void drawTimeGrid(PixelCanvas& canvas, const GraphPage& page, const TimeLabels& labels)
{
    for (int k = 0; k < kTimeLabels; ++k) {
        const int x = truncSaturated(labels.x0 + labels.index[k] * labels.dx);
        canvas.dottedLine(x, page.plot.bottom - 1, x, page.plot.top, page.grid);
    }
}

// The curves of the shown channels: only the segments that can reach the plot.
void drawCurves(PixelCanvas& canvas, const GraphPage& page, const ViewState& view,
                const CDTDoc* doc, const FrameState& frame, const TimeLabels& labels)
{
    const PlotRect& plot = page.plot;
    const int points = view.m_nLastPoint - view.m_nFirstPoint + 1;
    if (!labels.valid || plot.width() <= 0 || plot.height() <= 0 || points < 2)
        return;
    const double firstSegment = static_cast<double>(view.m_nZoomFirst) - view.m_nScrollOffset + 1;
    const double segmentEnd =
        std::floor(plot.width() / labels.dx + firstSegment + kSegmentsPastRightEdge);
    CurveBatch batch;
    batch.drawCh[0] = view.m_bShowCh1 == 1 && view.m_bViewCh1 == 1;
    batch.drawCh[1] = view.m_bShowCh2 == 1 && view.m_bViewCh2 == 1
                      && !modes::modeFlag(frame, modes::Mode::RtPowerS);
    batch.color[0] = CDTView::ColorFromIndex(frame.m_nCh1Color).rgb();
    batch.color[1] = CDTView::ColorFromIndex(frame.m_nCh2Color).rgb();
    batch.marks = view.m_bMarkPoints == 1;
    batch.jBegin = static_cast<int>(std::clamp(firstSegment, 1.0, double(points)));
    batch.jEnd = static_cast<int>(std::clamp(segmentEnd, 1.0, double(points)));
    // At full view the positions were just worked out from the data: the curves read
    // them from there instead of from the larger caches.
    LevelZeroY fromData[2];
    if (view.g_nZoomLevel == 0 && view.g_bFullView == 1 && doc) {
        for (int ch = 0; ch < 2; ++ch) {
            fromData[ch] = levelZeroY(view, *doc, frame, ch);
            batch.yFromData[ch] = &fromData[ch];
        }
    }
    drawCurveBatchStriped(canvas, view, batch,
                          PixelClip{plot.left, plot.top, plot.right, plot.bottom});
}

// The label texts of the page: point numbers or times under the plot, the tick values
// of the current zoom level beside it.
void writeLabelTexts(ViewState& view, const TimeLabels& labels)
{
    for (int k = 0; k < kTimeLabels; ++k) {
        if (labels.numbered)
            view.m_strXLabels[k] = QString::asprintf("%d", labels.number[k]);
        else if (labels.hasTimes)
            view.m_strXLabels[k] = formatTime(labels.time[k], "%H:%M:%S");
        else
            view.m_strXLabels[k].clear();
    }
    const int row = std::clamp<int>(view.g_nZoomLevel, 0, kLastTickRow);
    for (int k = 0; k <= kDivisions; ++k) {
        view.m_strYLabels1[k] = cnum::fixed(view.g_fTicks1[row][k], 2);
        view.m_strYLabels2[k] = cnum::fixed(view.g_fTicks2[row][k], 2);
    }
}

// The face-coloured margins of the frame round the plot.
void fillFrameMargins(PixelCanvas& canvas, const GraphPage& page, bool printing)
{
    const PlotRect& plot = page.plot;
    const QRgb face = page.face.rgb();
    if (printing) {
        canvas.fillRect(kFrameSide, plot.top - kFrameAbovePlot, page.frameWidth(), kFrameAbovePlot,
                        face);
        canvas.fillRect(0, 0, page.clientWidth, page.bandHeight, face);
    }
    if (plot.bottom > plot.top) {
        canvas.fillRect(kFrameSide, plot.bottom + 1, page.frameWidth(), kMarginBelowPlot, face);
        canvas.fillRect(kFrameSide, plot.top - kMarginAbovePlot, page.frameWidth(),
                        kMarginAbovePlot, face);
    }
    const int sideHeight = plot.height() + kMarginAbovePlot + kSideMarginBelowPlot;
    canvas.fillRect(kFrameSide, plot.top - kMarginAbovePlot, plot.left - kFrameSide, sideHeight,
                    face);
    canvas.fillRect(plot.right + 1, plot.top - kMarginAbovePlot, page.frameRight() - plot.right - 1,
                    sideHeight, face);
}

// Ticks of the value axis on both sides of the plot.
void drawValueTicks(PixelCanvas& canvas, const GraphPage& page)
{
    const PlotRect& plot = page.plot;
    if (plot.left >= plot.right)
        return;
    const PixelClip everywhere = canvas.bounds();
    for (int k = 0; k <= kDivisions; ++k) {
        const int y = page.divisionRow(k);
        canvas.line(plot.left - kTickLength, y, plot.left, y, page.grid, everywhere);
        canvas.line(plot.right, y, plot.right + kTickLength, y, page.grid, everywhere);
    }
}

// Ticks of the time axis under the plot; returns the labels that fall inside it.
PlacedLabels drawTimeTicks(PixelCanvas& canvas, const GraphPage& page, const TimeLabels& labels,
                           int lastPoint)
{
    PlacedLabels placed;
    if (lastPoint < 1 || !labels.valid)
        return placed;
    const PlotRect& plot = page.plot;
    const PixelClip everywhere = canvas.bounds();
    for (int k = 0; k < kTimeLabels; ++k) {
        const double x = labels.x0 + labels.index[k] * labels.dx;
        const int column = truncSaturated(x);
        if (x >= plot.left && x <= plot.right && (labels.numbered || labels.hasTimes))
            placed.at[static_cast<std::size_t>(placed.count++)] = {column, k};
        if (column >= plot.left && column <= plot.right)
            canvas.line(column, plot.bottom, column, plot.bottom + kTickLength, page.grid,
                        everywhere);
    }
    return placed;
}

// Text with its top-left corner at (x, y), black on the frame's face.
void drawLabel(QPainter& painter, const QFontMetrics& metrics, const GraphPage& page, int x, int y,
               const QString& text)
{
    drawOpaqueText(painter, metrics, x, y, text, QColor(0, 0, 0), page.face);
}

// Both columns of value labels, even for an absent channel.
void drawValueLabels(QPainter& painter, const GraphFonts& fonts, const GraphPage& page,
                     const ViewState& view)
{
    const PlotRect& plot = page.plot;
    painter.setFont(fonts.label);
    for (int k = 0; k <= kDivisions; ++k) {
        const int y =
            plot.bottom - truncSaturated(double(k) * plot.height() / kDivisions) - kValueLabelRaise;
        const QString& ch1 = view.m_strYLabels1[k];
        drawLabel(painter, fonts.labelMetrics, page,
                  kCh1LabelEnd - kLabelCharWidth * int(ch1.size()), y, ch1);
        drawLabel(painter, fonts.labelMetrics, page, plot.right + kCh2LabelGap, y,
                  view.m_strYLabels2[k]);
    }
}

// The labels under the plot: for a window of one point its number or its start time and
// date at the plot's left edge, then each label that falls inside the plot.
void drawTimeLabels(QPainter& painter, const GraphFonts& fonts, const GraphPage& page,
                    const ViewState& view, const FrameState& frame, const TimeLabels& labels,
                    const PlacedLabels& placed)
{
    const QFontMetrics& metrics = fonts.labelMetrics;
    painter.setFont(fonts.label);
    const PlotRect& plot = page.plot;
    const int timeRow = plot.bottom + kTimeRowBelowPlot;
    const int dateRow = plot.bottom + kDateRowBelowPlot;
    if (view.m_nLastPoint == 1) {
        const modes::AxisTimes times = modes::axisTimes(frame);
        if (modes::singleWaveform(frame)) {
            drawLabel(painter, metrics, page, plot.left, timeRow, QStringLiteral("1"));
        } else if (times != modes::AxisTimes::None) {
            const std::time_t start =
                times == modes::AxisTimes::Stored ? view.m_tStoreStart : view.m_tRtStart;
            const int x = plot.left - kFirstTimeLeftOfPlot;
            drawLabel(painter, metrics, page, x, timeRow, formatTime(start, "%H:%M:%S"));
            drawLabel(painter, metrics, page, x, dateRow, formatTime(start, "%d/%m/%y"));
        }
    }
    for (int i = 0; i < placed.count; ++i) {
        const PlacedLabel& label = placed.at[static_cast<std::size_t>(i)];
        const QString& text = view.m_strXLabels[label.entry];
        const int x = label.column - truncSaturated(kTimeLabelCharWidth * text.size() / 2);
        drawLabel(painter, metrics, page, x, timeRow, text);
        if (!labels.numbered)
            drawLabel(painter, metrics, page, x, dateRow,
                      formatTime(labels.time[label.entry], "%d/%m/%y"));
    }
}

// The black surround of the frame and the band above it, which trim whatever reached
// past the frame (the tops of the highest value labels among it).
void fillSurround(PixelCanvas& canvas, const GraphPage& page, bool printing)
{
    const PlotRect& plot = page.plot;
    const QRgb face = page.face.rgb();
    const int width = page.clientWidth;
    const int belowBand = page.clientHeight - page.bandHeight;
    const int frameBottom = plot.bottom + kFrameBelowPlot;
    canvas.fillRect(kFrameSide, plot.top - kTrimAbovePlot, page.frameWidth(), kTrimHeight, face);
    canvas.fillRect(0, 0, width, plot.top - kFrameAbovePlot, kBlack);
    canvas.fillRect(0, 0, width, page.bandHeight, face);
    canvas.fillRect(0, frameBottom, width, page.clientHeight - frameBottom, kBlack);
    canvas.fillRect(0, page.bandHeight, kFrameSide, belowBand, kBlack);
    canvas.fillRect(page.frameRight(), page.bandHeight, kFrameSide, belowBand, kBlack);
    if (printing)
        canvas.fillRect(0, 0, width, page.bandHeight + kPrintedBandMargin, kWhite);
}

// The cursor read-out in the face colour on black, on a black bar of its own on paper.
void drawReadout(QPainter& painter, PixelCanvas& canvas, const GraphFonts& fonts,
                 const GraphPage& page, const QString& readout, bool printing)
{
    const int x = page.plot.left - kReadoutLeftOfPlot;
    const int y = page.plot.bottom + kReadoutBelowPlot;
    const QColor black(0, 0, 0);
    painter.setFont(fonts.legend);
    drawOpaqueText(painter, fonts.legendMetrics, x, y, readout, page.face, black);
    if (printing) {
        canvas.fillRect(x, y, page.plot.width() + kPrintedReadoutExtraWidth, kLegendFontPixels,
                        kBlack);
        drawOpaqueText(painter, fonts.legendMetrics, x, y, readout, page.face, black);
    }
}

void drawWhiteBorder(PixelCanvas& canvas, const GraphPage& page)
{
    const int top = page.bandHeight + kBorderInset, left = kBorderInset;
    const int right = page.clientWidth - kBorderInset, bottom = page.clientHeight - kBorderInset;
    // Each side is centred on its line.
    const int half = kBorderWidth / 2;
    const int across = right - left + kBorderWidth, down = bottom - top + kBorderWidth;
    canvas.fillRect(left - half, top - half, across, kBorderWidth, kWhite);
    canvas.fillRect(left - half, top - half, kBorderWidth, down, kWhite);
    canvas.fillRect(right - half, top - half, kBorderWidth, down, kWhite);
    canvas.fillRect(left - half, bottom - half, across, kBorderWidth, kWhite);
}

// The channels' legends in their colours on the plot's background; a power mode shows
// its unit alone.
void drawLegends(QPainter& painter, const GraphFonts& fonts, const GraphPage& page,
                 const ViewState& view, const FrameState& frame)
{
    const QFontMetrics& metrics = fonts.legendMetrics;
    painter.setFont(fonts.legend);
    const int y = page.plot.bottom + kLegendBelowPlot;
    const bool powerMode = modes::powerMode(frame);
    if (view.m_bShowCh1 == 1) {
        const QColor colour = CDTView::ColorFromIndex(frame.m_nCh1Color);
        const QString& unit = view.m_strUnit1;
        if (!powerMode)
            drawOpaqueText(painter, metrics,
                           kLegendCharWidth * (kCh1LegendEndChars - int(unit.size())), y,
                           QStringLiteral("CH1 ") + unit, colour, page.background);
        else
            drawOpaqueText(painter, metrics, kPowerLegendLeft, y, unit, colour, page.background);
    }
    if (view.m_bShowCh2 == 1 && !powerMode)
        drawOpaqueText(painter, metrics, page.plot.right + kCh2LegendGap, y,
                       QStringLiteral("CH2 ") + view.m_strUnit2,
                       CDTView::ColorFromIndex(frame.m_nCh2Color), page.background);
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
        m_timers.SetTimer(kViewTimerFullView, 50);
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
    m_rcRedraw = {kFrameSide, rc.top - kFrameAbovePlot, clientW - kFrameSide,
                  rc.bottom + kFrameBelowPlot};

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
    GraphPage page;
    page.clientWidth = width();
    page.clientHeight = height();
    page.bandHeight = m_nTopBandHeight;
    page.plot = m_rcPlot;
    page.frame = m_rcRedraw;
    page.face = faceColor();
    page.background = ColorFromIndex(frame.m_nBgColor);
    page.grid = ColorFromIndex(frame.m_nGridColor).rgb();

    // The positions of the points, and the zoomed scale while zoomed.
    PreparePlotPoints();
    if (g_bFullView == 0 && m_pDocument) {
        const ZoomScrollUpdate bars = computeZoomedView(*this, *m_pDocument, frame);
        applyZoomScrollBars(bars.timeRangeMax, bars.positionBars, bars.verticalHalfRange);
    }
    const TimeLabels labels = planTimeLabels(*this, frame);

    PixelCanvas canvas(m_picture);
    const auto drawGround = [&] {
        fillBackground(canvas, page, printing);
        if (m_bViewXAxis == 1)
            drawValueGrid(canvas, page);
        if (labels.valid && m_bViewYAxis == 1)
            drawTimeGrid(canvas, page, labels);
    };
    drawGround();
    try {
        drawCurves(canvas, page, *this, m_pDocument, frame, labels);
    } catch (const std::bad_alloc&) {
        // A printout without its curves would pass for the measurement: the print
        // reports the failure instead.
        if (printing)
            throw;
        // The window shows the graph without its curves and the program runs on; the
        // next paint tries them again. Some stripes may have drawn: the ground goes
        // over them.
        drawGround();
    }
    writeLabelTexts(*this, labels);

    // Fills, ticks and texts go in this order: each fill cuts off what was drawn before
    // it beyond its edge.
    fillFrameMargins(canvas, page, printing);
    drawValueTicks(canvas, page);
    const PlacedLabels placed = drawTimeTicks(canvas, page, labels, m_nLastPoint);
    const GraphFonts fonts;
    QPainter painter(&m_picture);
    drawValueLabels(painter, fonts, page, *this);
    drawTimeLabels(painter, fonts, page, *this, frame, labels, placed);
    fillSurround(canvas, page, printing);
    drawReadout(painter, canvas, fonts, page, g_strReadout, printing);
    drawWhiteBorder(canvas, page);
    g_bCursorErased = 1;
    drawLegends(painter, fonts, page, *this, frame);
}
