// The mode commands of the main frame: each applies the rules of display/mode_rules.h
// to the view, the band, the left pane and the panels.
#include "app/mainframe.h"

#include "display/frame_state.h"
#include "display/cdtview.h"
#include "display/mode_rules.h"
#include "display/point_time.h"
#include "display/rec_info_band.h"
#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "resources/command_ids.h"

using modes::Mode;

void CMainFrame::RegisterDisplayModeCommands()
{
    onCommand(ID_STORE_RMS, [this] { OnStoreRms(); });
    onUpdateCommand(ID_STORE_RMS, &CMainFrame::OnUpdateStoreRms);
    onCommand(ID_STORE_TRANSIENT_WAVE, &CMainFrame::OnStoreTransientWave);
    onUpdateCommand(ID_STORE_TRANSIENT_WAVE, &CMainFrame::OnUpdateStoreTransientWave);
    onCommand(ID_POWER_ANALYSIS, &CMainFrame::OnPowerAnalysis);
    onUpdateCommand(ID_POWER_ANALYSIS, &CMainFrame::OnUpdatePowerAnalysis);
    onCommand(ID_REAL_TIME_RMS, [this] { OnRealTimeRms(); });
    onUpdateCommand(ID_REAL_TIME_RMS, &CMainFrame::OnUpdateRealTimeRms);
    onCommand(ID_REAL_TIME_FREQUENCY, &CMainFrame::OnRealTimeFrequency);
    onUpdateCommand(ID_REAL_TIME_FREQUENCY, &CMainFrame::OnUpdateRealTimeFrequency);
    onCommand(ID_REAL_TIME_POWER, &CMainFrame::OnRealTimePower);
    onUpdateCommand(ID_REAL_TIME_POWER, &CMainFrame::OnUpdateRealTimePower);
}

// --- steps shared by the modes ---

void CMainFrame::ModeBandFull()
{
    CDTView* view = GetDataView();
    QWidget* band = view->m_dlgRecInfo;
    if (m_bInfoDialog == 1) {
        view->m_nTopBandHeight = modes::kBandFull;
        if (band) {
            band->setGeometry(0, 0, view->width(), modes::kBandFull);
            band->show();
        }
    } else {
        view->m_nTopBandHeight = 0;
        if (band)
            band->hide();
    }
    view->PlaceChildren();
}

void CMainFrame::ModeBandSlim(bool frameWidth)
{
    CDTView* view = GetDataView();
    view->m_nTopBandHeight = modes::kBandSlim;
    if (QWidget* band = view->m_dlgRecInfo) {
        band->setGeometry(0, 0, frameWidth ? width() : view->width(), modes::kBandSlim);
        band->show();
    }
    view->PlaceChildren();
}

void CMainFrame::ModePaneBackToNormal()
{
    if (m_nInstrumentPaneWidth > modes::kPaneNormal) {
        setInstrumentPaneWidth(modes::kPaneNormal);
        m_nInstrumentPaneWidth = modes::kPaneNormal;
    }
}

void CMainFrame::ModePaneTo(int paneWidth)
{
    // A pane hidden by Window > Instrument stays hidden.
    if (m_bInstrumentPane != 1)
        return;
    setInstrumentPaneWidth(paneWidth);
    m_nInstrumentPaneWidth = paneWidth;
}

void CMainFrame::ModeCloseTrList()
{
    CDTView* view = GetDataView();
    if (!view->m_dlgTrFileList)
        return;
    view->m_bTrListDirty = 0;
    CDTView::EndPanel(view->m_dlgTrFileList, 255);
}

void CMainFrame::ModeClosePowerPanel()
{
    CDTView::EndPanel(GetDataView()->m_dlgPowerAnalysis, 252);
}

void CMainFrame::ModePlaceDataList()
{
    CDTView* view = GetDataView();
    QWidget* list = view->m_dlgDataList;
    if (!list)
        return;
    view->m_bListDirty = 1;
    CDTView::PlacePanel(list, view->BelowBandArea());
    list->update();
}

void CMainFrame::ModeRepaintView()
{
    CDTView* view = GetDataView();
    if (view->m_bDragging == 0)
        view->update();
}

void CMainFrame::ModeInvalidateBand()
{
    if (QWidget* band = GetDataView()->m_dlgRecInfo)
        band->update();
}

namespace {
// Sets the flags of `mode`. The read-out line names a point of the series shown so
// far; in another mode it would read out a series that is no longer shown.
void enterMode(FrameState& frame, CDTView& view, Mode mode)
{
    if (!modes::modeFlag(frame, mode))
        view.g_strReadout.clear();
    modes::setModeFlags(frame, mode);
}
} // namespace

// --- the modes ---

void CMainFrame::OnStoreRms()
{
    CDTView* view = GetDataView();
    if (!view)
        return;
    if (m_bStoreRms == 0) {
        ModeBandFull();
        modes::applyRanges(*view, modes::storedRanges(*view, *this, modes::kKindStoreRms));
        enterMode(*this, *view, Mode::StoreRms);
        view->m_bShowCh1 = view->m_bStoreCh1;
        view->m_bShowCh2 = view->m_bStoreCh2;
        view->m_strUnit1 = view->m_strStoreUnit1;
        view->m_strUnit2 = view->m_strStoreUnit2;
        view->m_nFirstPoint = 1;
        view->m_nLastPoint = view->m_nStoreCount;
        view->OnZoomOut();
        ModeCloseTrList();
        ModePaneBackToNormal();
        ModeClosePowerPanel();
        ModePlaceDataList();
        ModeRepaintView();
        ModeInvalidateBand();
    }
    modes::storeRmsBandTexts(*view);
    ModeInvalidateBand();
}

void CMainFrame::OnRealTimeRms()
{
    RealTimeMode(static_cast<int>(Mode::RtRms));
}

void CMainFrame::OnRealTimeFrequency()
{
    RealTimeMode(static_cast<int>(Mode::RtFreq));
}

void CMainFrame::OnRealTimePower()
{
    RealTimeMode(static_cast<int>(Mode::RtPowerS));
}

void CMainFrame::RealTimeMode(int modeValue)
{
    CDTView* view = GetDataView();
    if (!view)
        return;
    const auto mode = static_cast<Mode>(modeValue);
    view->m_nLastPoint = view->m_nRtCount;
    if (!modes::modeFlag(*this, mode)) {
        if (m_bStopped == 0) {
            const int points = view->m_nLastPoint - view->m_nFirstPoint + 1;
            view->m_nRtScaleLevel =
                modes::rtScaleLevel(points, view->m_nScaleSteps, view->m_nRtScaleLevel);
        }
        view->m_nFirstPoint = 1;
        ModeBandFull();
        const int kind = mode == Mode::RtRms    ? modes::kKindRtRms
                         : mode == Mode::RtFreq ? modes::kKindRtFreq
                                                : modes::kKindRtPowerS;
        modes::applyRanges(*view, modes::axisRanges(*this, kind));
        view->m_bShowCh1 = view->m_bRtCh1;
        view->m_bShowCh2 = view->m_bRtCh2;
        if (mode == Mode::RtRms) {
            view->m_strUnit1 = view->m_strRtUnit1;
            view->m_strUnit2 = view->m_strRtUnit2;
        } else {
            const QString unit = mode == Mode::RtFreq ? QStringLiteral("Hz") : QStringLiteral("VA");
            view->m_strUnit1 = view->m_strUnit2 = unit;
        }
        ModeCloseTrList();
        view->m_nFirstPoint = 1;
        ModePaneBackToNormal();
        ModeClosePowerPanel();
        ModeRepaintView();
        ModeInvalidateBand();
        enterMode(*this, *view, mode);
        view->OnZoomOut();
    }
    ModePlaceDataList();
    modes::realTimeBandTexts(*view, mode);
}

void CMainFrame::OnPowerAnalysis()
{
    CDTView* view = GetDataView();
    if (!view)
        return;
    if (m_bEpa == 0) {
        ModeBandSlim(false);
        modes::applyRanges(*view, modes::axisRanges(*this, modes::kKindEpa));
        view->OnZoomOut();
        view->m_bShowCh1 = view->m_bRtCh1;
        view->m_bShowCh2 = view->m_bRtCh2;
        view->m_strUnit1 = view->m_strRtUnit1;
        view->m_strUnit2 = view->m_strRtUnit2;
        view->m_nFirstPoint = 1;
        view->m_nLastPoint = kFramePoints;
        ModeCloseTrList();
        ModePaneTo(modes::kPaneEpa);
        ModeRepaintView();
    }
    ModePlaceDataList();
    view->OnShowPowerAnalysis();
    if (view->m_nRtCount == 1) {
        // The panel just created gets read-outs at once instead of at the next sample.
        if (view->m_bShowCh1 == 1)
            view->AnalyzeWaveform(0, kFramePoints, 0);
        if (view->m_bShowCh2 == 1)
            view->AnalyzeWaveform(0, kFramePoints, 1);
    }
    view->UpdatePowerAnalysisS();
    // The newest real-time point, on the real-time time base even on entry, while the
    // flags still name the previous mode.
    view->m_recInfo.m_strStart = formatPointTime(
        view->m_tRtStart + static_cast<std::time_t>(view->m_nRtCount - 1) * view->m_nRtSampleRate);
    view->m_recInfo.m_strMode = QStringLiteral("REAL TIME EPA");
    enterMode(*this, *view, Mode::Epa);
}

void CMainFrame::OnStoreTransientWave()
{
    CDTView* view = GetDataView();
    if (!view)
        return;
    if (m_bStoreTr == 0) {
        ModeBandSlim(true);
        modes::applyRanges(*view, modes::storedRanges(*view, *this, modes::kKindStoreTr));
    }
    enterMode(*this, *view, Mode::StoreTr);
    if (view->m_dlgTrFileList)
        return; // the record chosen in the list stays shown

    if (!view->m_pTrChannel.empty()) {
        const std::uint8_t channel = view->m_pTrChannel.front();
        if (channel == wire::kTrChannel1) {
            view->m_bShowCh1 = 1;
            view->m_bShowCh2 = 0;
        } else if (channel == wire::kTrChannel2) {
            view->m_bShowCh1 = 0;
            view->m_bShowCh2 = 1;
        }
    }
    view->m_nFirstPoint = 1;
    view->m_nLastPoint = kTrSamples;
    if (!view->m_pTrQuantity.empty()) {
        const std::uint8_t quantity = view->m_pTrQuantity.front();
        if (quantity == wire::kTrQuantityVoltage)
            view->m_strUnit1 = view->m_strUnit2 = QStringLiteral("V");
        else if (quantity == wire::kTrQuantityCurrent)
            view->m_strUnit1 = view->m_strUnit2 = QStringLiteral("A");
    }
    view->m_bTrListDirty = 1;
    ModePaneTo(modes::kPaneTransient);
    view->OnShowTrFileList();
    ModePlaceDataList();
    ModeClosePowerPanel();
    view->OnZoomOut();
    ModeRepaintView();
    ShowStoreTransient(0);
}

void CMainFrame::ShowStoreTransient(int record)
{
    CDTView* view = GetDataView();
    CDTDoc* doc = GetActiveDocument();
    if (!view || !doc)
        return;
    // Another record is another series: the read-out of the one before goes.
    if (m_bStoreTr == 0 || record != m_nShownTrRecord)
        view->g_strReadout.clear();
    m_nShownTrRecord = record;
    m_bStoreRms = 0;
    m_bStoreTr = 1;
    m_bEpa = 0;
    const Extremes e =
        modes::transientExtremes(doc->m_pTrData, view->m_nFirstPoint, view->m_nLastPoint);
    modes::storeTransientTexts(*view, *doc, record, e);
}

// --- update handlers: check mark first, then the enable rule ---

namespace {
void updateMode(CCmdUI* ui, const FrameState& frame, const CDTView* view, Mode mode)
{
    ui->SetCheck(modes::modeFlag(frame, mode));
    ui->Enable(view && modes::modeEnabled(*view, mode));
}
} // namespace

void CMainFrame::OnUpdateStoreRms(CCmdUI* pCmdUI)
{
    updateMode(pCmdUI, *this, GetDataView(), Mode::StoreRms);
}

void CMainFrame::OnUpdateStoreTransientWave(CCmdUI* pCmdUI)
{
    updateMode(pCmdUI, *this, GetDataView(), Mode::StoreTr);
}

void CMainFrame::OnUpdatePowerAnalysis(CCmdUI* pCmdUI)
{
    updateMode(pCmdUI, *this, GetDataView(), Mode::Epa);
}

void CMainFrame::OnUpdateRealTimeRms(CCmdUI* pCmdUI)
{
    updateMode(pCmdUI, *this, GetDataView(), Mode::RtRms);
}

void CMainFrame::OnUpdateRealTimeFrequency(CCmdUI* pCmdUI)
{
    updateMode(pCmdUI, *this, GetDataView(), Mode::RtFreq);
}

void CMainFrame::OnUpdateRealTimePower(CCmdUI* pCmdUI)
{
    updateMode(pCmdUI, *this, GetDataView(), Mode::RtPowerS);
}
