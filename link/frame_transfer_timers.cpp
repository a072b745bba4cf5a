// The frame timers that pace a download once it has started: 12 resends the transfer
// command once, 10 resends a late block, 9 gives up a download that makes no progress.
#include "app/mainframe.h"
#include "link/wire_protocol.h"
#include "platform/message_box.h"

namespace {
const QString kInterrupted = QStringLiteral("Communication interruption!");
constexpr int kHeaderWaitAfterResendMs = 4500; // with the 500 ms before the resend: 5 s
} // namespace

void CMainFrame::OnCommandResend()
{
    KillTimer(12);
    if (m_bAnswered)
        return;
    m_arrOutput = wire::toByteArray(m_byCommand);
    // A download command that gets no answer at all would leave the frame waiting in
    // data mode for ever; give it the same 5 s as a stalled block.
    if (m_bDownloadRequest == 1)
        SetTimer(9, kHeaderWaitAfterResendMs);
    try {
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetOutput(m_arrOutput);
    } catch (const CommDispatchError& error) {
        ReportControlError(error);
    }
}

void CMainFrame::OnBlockResend()
{
    KillTimer(10);
    try {
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        if (!m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(true);
        m_arrOutput = wire::toByteArray(m_byBlockRequest);
    } catch (const CommDispatchError&) {
        // The port cannot be reopened: the download is over now. The give-up runs at
        // once (the Loading window closed, the link back to handshake, the port reset)
        // and kills its own timer, so "Communication interruption!" comes once.
        OnDownloadGiveUp();
        return;
    }
    try {
        if (m_MSComm.GetCommEvent() != CMSComm::kEventReceive) {
            m_MSComm.SetInBufferCount(0);
            return;
        }
        m_varInput = m_MSComm.GetInput(); // the partial block is thrown away
        m_MSComm.SetOutput(m_arrOutput);
    } catch (const CommDispatchError& error) {
        ReportControlError(error);
    }
}

void CMainFrame::OnDownloadGiveUp()
{
    KillTimer(9);
    m_dlgLoading.EndAndDestroy(CLoadingDlg::IDD);
    m_bTransferDone = 1;
    m_bTransferMode = 0;
    m_nTotalBytes = m_nStartAddress = 0;
    ResetPort();
    messageBox(this, kInterrupted, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
}
