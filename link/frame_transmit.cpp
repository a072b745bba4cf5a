// CMainFrame's transmit side: everything that puts a request on the line and gets the
// port ready for its answer (port reset, probe, 8-byte commands, the start of a
// download or real-time run, block requests, the stop of a run), and the Run and Stop
// commands with their enable rules.
//
// The port operations here are guarded: a port that is absent, busy or pulled out
// raises CommDispatchError in CMSComm, and the link timers notice the missing answer.
// Only a failure in the transfer start or in the receive handler is told to the user
// (OnCommInterrupted), since a half-done transfer would leave the frame waiting in data
// mode for a logger it no longer reaches.
#include "app/mainframe.h"
#include "display/cdtview.h"
#include "document/cdtdoc.h"
#include "link/link_timing.h"
#include "link/wire_protocol.h"
#include "platform/message_box.h"

void CMainFrame::ResetPort()
{
    try {
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        m_MSComm.SetSettings(QString::fromLatin1(wire::kLineSettings));
        m_MSComm.SetCommPort(static_cast<short>(m_nCommPort));
        m_MSComm.SetRThreshold(wire::kThresholdHandshake);
        m_MSComm.SetInputMode(1);
        m_MSComm.SetInputLen(0);
        m_MSComm.SetInBufferCount(0);
        m_MSComm.GetInput();
        m_MSComm.SetInBufferCount(0);
        m_MSComm.SetOutBufferCount(0);
        m_MSComm.SetOutBufferCount(0);
    } catch (const CommDispatchError&) {
        // Nothing to tell: the port is closed or gone, and the next request selects
        // and opens it again.
    }
}

void CMainFrame::ProbePort(std::uint8_t port)
{
    try {
        m_MSComm.SetCommPort(port);
        m_MSComm.SetRThreshold(wire::kThresholdHandshake);
        if (!m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(true);
        m_arrOutput = wire::ProbeRequest::bytes();
        m_MSComm.SetOutput(m_arrOutput);
    } catch (const CommDispatchError&) {
        // The port cannot be had: no probe goes out, and the probe pass moves on to
        // the next port.
    }
}

void CMainFrame::StopConnectTimers()
{
    KillTimer(kTimerPortScan);
    KillTimer(kTimerProbe);
    KillTimer(kTimerLinkWatch);
}

bool CMainFrame::SendCommand(const std::array<std::uint8_t, 8>& command)
{
    // The link watch closes and reopens the port; it must not do so under a command.
    KillTimer(kTimerLinkWatch);
    try {
        if (!m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(true);
        m_arrOutput = wire::toByteArray(command);
        m_MSComm.SetOutput(m_arrOutput);
        return true;
    } catch (const CommDispatchError&) {
        // Closed, so that the next attempt opens the port afresh.
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        return false;
    }
}

bool CMainFrame::StartTransfer()
{
    m_nTotalBytes = 0;
    m_nStartAddress = 0;
    m_reception.reset();
    KillTimer(kTimerQuietLine);
    m_rtStream.clear();

    const bool download = m_bDownloadRequest == 1;
    const bool realTime = m_bRealTimeRequest == 1;
    try {
        // Reopened by the send: nothing heard before is taken for a reply.
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        std::uint8_t code = 0;
        if (download) {
            m_bAnswered = 0;
            // The reception counts every byte itself: each one is handed over as it comes.
            m_MSComm.SetRThreshold(1);
            code = LC_DOWNLOAD;
        }
        if (realTime) {
            if (CDTView* view = GetDataView())
                view->m_nRtCount = 0;
            m_bStopped = 0;
            m_bAnswered = 0;
            m_MSComm.SetRThreshold(static_cast<short>(m_rtStream.missing()));
            code = LC_REALTIME;
        }
        m_byCommand.fill(code);
        m_bTransferMode = 1;
        if (download && !realTime) {
            ApplyReception(m_reception.start(m_MSComm.Clock()));
            // A failed send ended the start there (OnCommInterrupted).
            return m_bTransferMode == 1;
        }
        if (!SendCommand(m_byCommand))
            throw CommDispatchError("The transfer command could not be sent");
    } catch (const CommDispatchError&) {
        // The logger never got the command. Left as it is, the frame would wait in data
        // mode (and a run would count as active, Stop enabled) for data that cannot
        // come: undo the start.
        OnCommInterrupted();
        return false;
    }
    SetTimer(kTimerCommandResend, linktime::kCommandResendMs);
    // A logger that never sends its first frame ends the run as a download that stalls.
    SetTimer(kTimerGiveUp, linktime::kGiveUpMs);
    return true;
}

void CMainFrame::OnCommInterrupted()
{
    // No resend, block resend or give-up may follow with a second message.
    for (FrameTimer id : {kTimerGiveUp, kTimerBlockResend, kTimerQuietLine, kTimerCommandResend,
                          kTimerWatchdog, kTimerSample, kTimerRealTimeRequest})
        KillTimer(id);
    m_reception.reset();
    // A download cut off in the middle: while its window exists the instrument commands
    // do nothing, so it must go with the transfer.
    m_dlgLoading.EndAndDestroy(CLoadingDlg::IDD);
    // Transfers start only while no run is active, so this ends a run cut off or undoes
    // the start of one; the samples taken stay in the document.
    m_bStopped = 1;
    m_bTransferMode = 0;
    m_nTotalBytes = 0;
    m_nStartAddress = 0;
    ResetPort();
    messageBox(this, linktext::kInterrupted, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
}

void CMainFrame::RequestBlock()
{
    try {
        m_byBlockRequest = wire::BlockRequest::build(m_nBlockIndex, m_byFill);
        m_arrOutput = wire::toByteArray(m_byBlockRequest);
        m_MSComm.SetOutput(m_arrOutput);
    } catch (const CommDispatchError&) {
        // The block resend and the give-up timers notice the missing block.
    }
    m_bAnswered = 0;
}

void CMainFrame::OnStop()
{
    KillTimer(kTimerCommandResend);
    KillTimer(kTimerWatchdog);
    KillTimer(kTimerSample);
    KillTimer(kTimerRealTimeRequest);
    m_bStopped = 1;
    KeepRealTimeRun();
    // During a run the buffer holds the real-time command: 0xC8 x 7, then 0xC9.
    wire::TransferCommand::markStop(m_byCommand);
    SendCommand(m_byCommand);
    if (CDTDoc* doc = GetActiveDocument())
        doc->UpdateAllViews();
}

void CMainFrame::KeepRealTimeRun()
{
    CDTView* view = GetDataView();
    CDTDoc* doc = GetActiveDocument();
    if (view && doc && view->m_nRtCount != 0) {
        doc->m_strFileTag = kTagRealTime;
        SavePreviousMeasurement();
    }
}

void CMainFrame::OnRun()
{
    // A download is being received.
    if (m_dlgLoading.HasWindow())
        return;
    ArmLinkSearch();
    m_bAcknowledged = 0;
    // Its RUN starts the run (StartTransfer) once the logger is connected.
    m_dlgRealTime.setHost(instrumentHost());
    m_dlgRealTime.setView(GetDataView());
    m_dlgRealTime.DoModal();
}

void CMainFrame::OnUpdateStop(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bStopped == 0);
}
