// The frame's timers of a real-time run:
//   13  watchdog (10 s): a logger that sent no frame since the last check ends the run
//   14  sampling tick: 10 ms after the first frame, then every sampling period; takes
//       one sample from the latest waveform and refreshes the display
//   15  repeat of the real-time command (5 s), so a logger that lost it streams again
#include "app/mainframe.h"
#include "display/cdtview.h"
#include "display/rec_info_band.h"
#include "document/cdtdoc.h"
#include "link/wire_protocol.h"

void CMainFrame::OnRealTimeWatchdog()
{
    if (m_bAnswered) {
        m_bAnswered = 0;
        return;
    }
    // The logger fell silent (unplugged, switched off): the run ends quietly.
    try {
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
    } catch (const CommDispatchError&) {
        // A port that is gone is as closed as it gets.
    }
    for (FrameTimer id : {kTimerCommandResend, kTimerWatchdog, kTimerSample, kTimerRealTimeRequest})
        KillTimer(id);
    m_bStopped = 1;
    KeepRealTimeRun();
    if (CDTDoc* doc = GetActiveDocument())
        doc->UpdateAllViews();
}

void CMainFrame::OnRealTimeSample()
{
    CDTView* view = GetDataView();
    CDTDoc* doc = GetActiveDocument();
    if (!view || !doc)
        return;
    if (view->m_nRtCount == 0) {
        KillTimer(kTimerSample);
        SetTimer(kTimerSample, view->m_nRtSampleRate * 1000);
    }
    // The arrays hold the run's sample limit; a tick that comes before the next frame
    // stops the run there instead of writing past them.
    const int r = view->m_nRtCount;
    if (r < 0 || r >= static_cast<int>(doc->m_pRtRms.size())
        || r >= static_cast<int>(doc->m_pRtFreq.size())) {
        OnStop();
        return;
    }
    if (view->m_bRtCh1 == 1)
        view->AnalyzeWaveform(0, kFramePoints, 0);
    if (view->m_bRtCh2 == 1)
        view->AnalyzeWaveform(0, kFramePoints, 1);

    const auto row = static_cast<std::size_t>(r);
    const FloatPair rms = doc->m_pRtRms[row];
    const FloatPair freq = doc->m_pRtFreq[row];
    if (view->m_bRtCh1 == 1) {
        TrackMinMax(0, 1, &m_fRtFreqMax[0], &m_fRtFreqMin[0], freq[0], &view->m_strRtFreqMax1,
                    &view->m_strRtFreqMin1);
        TrackMinMax(0, 0, &m_fRtRmsMax[0], &m_fRtRmsMin[0], rms[0], &view->m_strRtRmsMax1,
                    &view->m_strRtRmsMin1);
    }
    if (view->m_bRtCh2 == 1) {
        TrackMinMax(1, 1, &m_fRtFreqMax[1], &m_fRtFreqMin[1], freq[1], &view->m_strRtFreqMax2,
                    &view->m_strRtFreqMin2);
        TrackMinMax(1, 0, &m_fRtRmsMax[1], &m_fRtRmsMin[1], rms[1], &view->m_strRtRmsMax2,
                    &view->m_strRtRmsMin2);
    }
    // Volts on one channel and amperes on the other: the apparent power S as well.
    if (view->m_bRtCh1 == 1 && view->m_bRtCh2 == 1 && view->m_strRtUnit1 != view->m_strRtUnit2) {
        const float s = rms[1] * rms[0];
        TrackMinMax(0, 0, &m_fRtPowerMax, &m_fRtPowerMin, s, &view->m_strRtPowerMax,
                    &view->m_strRtPowerMin);
    }

    view->m_nRtCount += 1;
    m_bDataUnsaved = 1;
    m_bAskSaveGraph = 1;

    // The first sample enters the active mode afresh (its full set-up); later samples
    // take the mode's update path.
    const bool first = view->m_nRtCount == 1;
    if (m_bEpa == 1) {
        if (first)
            m_bEpa = 0;
        OnPowerAnalysis();
    }
    if (m_bRtFreq == 1) {
        if (first)
            m_bRtFreq = 0;
        OnRealTimeFrequency();
    }
    if (m_bRtRms == 1) {
        if (first)
            m_bRtRms = 0;
        OnRealTimeRms();
    }
    if (m_bRtPowerS == 1) {
        if (first)
            m_bRtPowerS = 0;
        OnRealTimePower();
    }
    if (first) {
        doc->UpdateAllViews();
        return;
    }
    // Downloaded data on the screen: the sample is recorded, the display left alone.
    if (m_bStoreRms || m_bStoreTr)
        return;
    if (view->m_bDragging == 0) {
        if (m_bEpa) {
            const PlotRect& rc = view->m_rcRedraw;
            view->update(rc.left, rc.top, rc.width(), rc.height());
        } else {
            view->RefreshRealTimeGraph();
        }
    }
    if (view->m_dlgRecInfo)
        view->m_dlgRecInfo->update();
}

void CMainFrame::OnRealTimeRequest()
{
    SendCommand(m_byCommand);
}
