// The frame timers that pace a transfer once it has started: 12 resends the transfer
// command once, 10 resends a late block, 9 gives up a transfer that makes no
// progress. (11, the end of a wait for a quiet line, belongs to the receive side.)
#include "app/mainframe.h"
#include "link/link_timing.h"
#include "link/wire_protocol.h"

bool CMainFrame::ReplyCutShort()
{
    // Part of a reply that stopped coming a while ago: the logger is done with the
    // first request and answers only the resend. Nothing at all, or bytes still
    // coming, may be a late reply, and the resend then gets a second one.
    return m_MSComm.GetInBufferCount() > 0 && m_MSComm.MsSinceInput() >= linktime::kQuietLineMs;
}

void CMainFrame::OnCommandResend()
{
    KillTimer(12);
    if (m_bAnswered)
        return;
    m_arrOutput = wire::toByteArray(m_byCommand);
    try {
        if (m_MSComm.GetPortOpen()) {
            m_bResent = !ReplyCutShort();
            // What came of the first command is no reply: a header cut short must
            // not be read as the start of the next one.
            m_MSComm.SetInBufferCount(0);
            m_rtStream.clear();
            m_MSComm.SetOutput(m_arrOutput);
        }
    } catch (const CommDispatchError& error) {
        ReportControlError(error);
    }
}

void CMainFrame::OnBlockResend()
{
    KillTimer(10);
    bool cutShort = false;
    try {
        cutShort = ReplyCutShort();
        // Reopening the port also throws away the part of the block that came.
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        if (!m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(true);
        m_arrOutput = wire::toByteArray(m_byBlockRequest);
    } catch (const CommDispatchError&) {
        // The port cannot be reopened: the download is over now. The give-up runs at
        // once and kills its own timer, so "Communication interruption!" comes once.
        OnTransferGiveUp();
        return;
    }
    try {
        if (m_MSComm.GetCommEvent() != CMSComm::kEventReceive) {
            m_MSComm.SetInBufferCount(0);
            return;
        }
        m_varInput = m_MSComm.GetInput(); // the partial block is thrown away
        m_bResent = !cutShort;
        m_MSComm.SetOutput(m_arrOutput);
    } catch (const CommDispatchError& error) {
        ReportControlError(error);
    }
}

void CMainFrame::OnTransferGiveUp()
{
    m_bTransferDone = 1;
    OnCommInterrupted();
}
