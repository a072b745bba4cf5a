// The frame timers that pace a transfer once it has started: the command resend sends
// the transfer command once more, the block resend asks for a late block again, the
// give-up ends a transfer that makes no progress, the quiet line ends a wait for a quiet
// line. During a download the reception machine decides when each of them acts; the
// port work of the resends is done here.
#include "app/mainframe.h"
#include "link/link_timing.h"
#include "link/wire_protocol.h"

void CMainFrame::OnCommandResend()
{
    KillTimer(kTimerCommandResend);
    if (m_bAnswered)
        return;
    ResendTransferCommand();
}

void CMainFrame::ResendTransferCommand()
{
    // Nothing heard is thrown away: a real-time frame already arriving is kept (the
    // stream finds frames wherever they begin), and the download's reception counts
    // every byte to know whether its replies are in step.
    m_arrOutput = wire::toByteArray(m_byCommand);
    try {
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetOutput(m_arrOutput);
    } catch (const CommDispatchError& error) {
        ReportControlError(error);
    }
}

bool CMainFrame::ResendBlockRequest()
{
    m_arrOutput = wire::toByteArray(m_byBlockRequest);
    try {
        // An adapter pulled out closed the port: it must open again, or the download
        // is over. An open port is not reopened, since that would throw away bytes the
        // reception has not counted yet.
        if (!m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(true);
    } catch (const CommDispatchError&) {
        // The download is over now, with one message.
        OnTransferGiveUp();
        return false;
    }
    try {
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
