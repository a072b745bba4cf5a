// The frame timers that pace a transfer once it has started: 12 resends the transfer
// command once, 10 resends a late block, 9 gives up a transfer that makes no progress,
// 11 ends a wait for a quiet line. During a download the reception machine decides
// when each of them acts; the port work of the resends is done here.
#include "app/mainframe.h"
#include "link/link_timing.h"
#include "link/wire_protocol.h"

void CMainFrame::OnCommandResend()
{
    KillTimer(kTimerCommandResend);
    if (m_bAnswered)
        return;
    ResendTransferCommand(false);
}

void CMainFrame::ResendTransferCommand(bool download)
{
    m_arrOutput = wire::toByteArray(m_byCommand);
    try {
        if (m_MSComm.GetPortOpen()) {
            // What came of the first download command is no reply: a header cut short
            // must not be read as the start of the next one. A real-time frame that is
            // already arriving is kept: the stream finds frames wherever they begin.
            if (download)
                m_MSComm.SetInBufferCount(0);
            m_MSComm.SetOutput(m_arrOutput);
        }
    } catch (const CommDispatchError& error) {
        ReportControlError(error);
    }
}

bool CMainFrame::ResendBlockRequest()
{
    try {
        // Reopening the port also throws away the part of the block that came.
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        if (!m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(true);
        m_arrOutput = wire::toByteArray(m_byBlockRequest);
    } catch (const CommDispatchError&) {
        // The port cannot be reopened: the download is over now, with one message.
        OnTransferGiveUp();
        return false;
    }
    try {
        if (m_MSComm.GetCommEvent() != CMSComm::kEventReceive) {
            m_MSComm.SetInBufferCount(0);
            return true;
        }
        m_varInput = m_MSComm.GetInput(); // the partial block is thrown away
        m_MSComm.SetOutput(m_arrOutput);
    } catch (const CommDispatchError& error) {
        ReportControlError(error);
    }
    return true;
}

void CMainFrame::OnTransferGiveUp()
{
    m_bTransferDone = 1;
    OnCommInterrupted();
}
