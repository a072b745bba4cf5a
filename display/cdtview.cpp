#include "display/cdtview.h"

#include <algorithm>

#include <QCursor>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QToolBar>

#include "app/logger_settings.h"
#include "app/mainframe.h"
#include "display/data_list_dialog.h"
#include "display/dormant_panels.h"
#include "display/rec_info_band.h"
#include "document/cdtdoc.h"
#include "platform/folders.h"
#include "platform/profile_file.h"
#include "resources/command_ids.h"

CDTView::CDTView(CDTDoc* doc, QWidget* parent)
    : QWidget(parent)
    , m_pDocument(doc)
    , m_timers([this](int id) { OnTimer(id); })
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // the cursor follows the pointer without a button held
    if (m_pDocument)
        m_pDocument->AddView(this);
    m_dlgToolPanel = new CToolPanelDlg(this);
    OnCreate();
}

CDTView::~CDTView()
{
    delete m_dlgDataList;
    // A list closed just before (its deletion still queued) may be a child of this
    // view; it must go while the view is still whole, since it unhooks itself from it.
    qDeleteAll(findChildren<CDataListDlg*>());
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

int CDTView::OnCreate()
{
    LoadViewSettings(*this, ProfileFile(settingsFilePath()));
    resetInitialValues();
    return 0;
}

void CDTView::OnInitialUpdate()
{
    m_rcPlot = plotRectFor(width(), height(), m_nTopBandHeight);
    m_nScaleSteps = scaleStepsFor(m_rcPlot.width());
}

void CDTView::OnSize(int w, int h)
{
    const int band = m_nTopBandHeight;
    if (m_dlgRecInfo)
        m_dlgRecInfo->setGeometry(0, 0, w, band);
    if (m_wndTimeScroll)
        m_wndTimeScroll->setGeometry(100, h - 75, w - 200, 20);
    if (m_wndScrollCh1)
        m_wndScrollCh1->setGeometry(20, band + 70, 20, h - band - 175);
    if (m_wndScrollCh2)
        m_wndScrollCh2->setGeometry(w - 40, band + 70, 20, h - band - 175);
    if (m_listData)
        m_listData->setGeometry(0, band, w, h - band);
    if (m_wndViewToolBar)
        m_wndViewToolBar->setGeometry(20, band + 30, w - 40, 35);
    m_timers.SetTimer(kViewTimerRepaintPlot, 50);
}

void CDTView::InvalidatePlot()
{
    update(m_rcPlot.left, m_rcPlot.top, m_rcPlot.width(), m_rcPlot.height());
}

void CDTView::OnTimer(int id)
{
    if (id == kViewTimerRepaintPlot) {
        InvalidatePlot();
        m_timers.KillTimer(kViewTimerRepaintPlot);
    } else if (id == kViewTimerDragWatch) {
        OnDragWatch(mapFromGlobal(QCursor::pos()));
    } else if (id == kViewTimerFullView) {
        // Armed once by the first graph paint: start from the full view.
        m_timers.KillTimer(kViewTimerFullView);
        OnZoomOut();
    }
}

void CDTView::OnCommand(int id)
{
    switch (id) {
    case ID_ZOOM_OUT:
        OnZoomOut();
        break;
    case ID_AXIS_SETUP:
        OnAxisSetup();
        break;
    case ID_COLOR_SETUP:
        OnColorSetup();
        break;
    case ID_VIEW_OPTIONS:
        OnViewOptions();
        break;
    case ID_POWER_ANALYSIS_PANEL:
    case ID_TR_FILE_LIST: {
        CCmdUI ui;
        ui.m_nID = id;
        OnUpdatePanelCommand(&ui);
        if (ui.m_bEnabled && id == ID_POWER_ANALYSIS_PANEL)
            OnShowPowerAnalysis();
        else if (ui.m_bEnabled)
            OnShowTrFileList();
        break;
    }
    default:
        break;
    }
}

void CDTView::OnUpdatePanelCommand(CCmdUI* pCmdUI) const
{
    pCmdUI->Enable(m_fInterval < 1.0f);
}

void CDTView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    OnSetFocus();
}

void CDTView::OnSetFocus()
{
    InvalidateRedrawArea();
}

void CDTView::OnZoomOut()
{
    g_fScaleStep = g_fXScale;
    g_nZoomLevel = 0;
    g_bFullView = 1;
    m_nScrollOffset = 0;
    m_nZoomFirst = 0;
    m_bCursorReady = 1;
    const int half = m_rcPlot.height() / 2;
    for (QScrollBar* bar : {m_wndTimeScroll, m_wndScrollCh1, m_wndScrollCh2}) {
        if (bar)
            bar->setEnabled(false);
    }
    for (QScrollBar* bar : {m_wndScrollCh1, m_wndScrollCh2}) {
        if (bar) {
            bar->setRange(-half, half);
            bar->setValue(0);
        }
    }
    update(QRect(0, m_nTopBandHeight + 50, width(), std::max(0, height() - m_nTopBandHeight - 50)));
}

void CDTView::OnDocumentUpdated()
{
    update();
}

void CDTView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    OnSize(event->size().width(), event->size().height());
}

void CDTView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    // Newest real-time segments are already in the picture: copy just them.
    const bool copyOnly = !m_blitOnly.isEmpty() && m_nDisplayMode == 1 && m_picture.size() == size()
                          && (event->region() - m_blitOnly).isEmpty();
    m_blitOnly = QRegion();
    if (copyOnly) {
        for (const QRect& r : event->region())
            p.drawImage(r.topLeft(), m_picture, r);
        paintOverlays(p);
        return;
    }
    PreparePage();
    OnDraw(p, size(), false);
    paintOverlays(p);
}
