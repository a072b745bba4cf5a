// The frame's instrument commands: Download Data, Datalogger Setup and Correct Time.
// Each one starts the search for the logger (the port scan, or the link watch once a
// logger has answered since start-up) and runs its dialog modally; the frame's timers
// and the receive handler keep running under the dialog and write the link state into
// its title, and the dialog acts on that title when the user confirms.
#include "app/mainframe.h"
#include "display/cdtview.h"
#include "link/link_timing.h"
#include "link/wire_protocol.h"
#include "platform/message_box.h"

namespace {
const QString kSetupUnanswered = QStringLiteral(
    "The DATA LOGGER did not confirm the setup. Please check the connection and try again.");
const QString kClockUnanswered = QStringLiteral(
    "The DATA LOGGER did not confirm the time. Please check the connection and try again.");
} // namespace

void CMainFrame::OnAnswerMissing()
{
    const std::uint8_t unanswered = m_awaitedCommand;
    EndAnswerWait();
    if (unanswered == 0)
        return; // the answer came, or another command has the line since
    // The port stays open: an answer that comes late is still heard and handled as in
    // time (0x1E still asks for START), and closes the port. Any next command closes
    // and reopens the port on its own path first.
    messageBox(this, unanswered == LC_CLOCK ? kClockUnanswered : kSetupUnanswered, kProgramTitle,
               MsgButtons::Ok, MsgIcon::Exclamation);
}

void CMainFrame::EndAnswerWait()
{
    KillTimer(kTimerAnswerWait);
    m_awaitedCommand = 0;
}

void CMainFrame::ArmLinkSearch()
{
    // The search and the command after it close and reopen the port; a wait left from
    // an earlier set-up or clock must neither close it under them nor take their
    // command for its own.
    EndAnswerWait();
    if (m_bLinkUp == 1)
        SetTimer(kTimerLinkWatch, linktime::kLinkWatchMs);
    else
        SetTimer(kTimerPortScan, linktime::kPortScanStartMs);
}

void CMainFrame::ReturnToHandshake()
{
    m_bTransferMode = 0;
    // A download left waiting (no header, or given up by the user) has nothing more
    // to give up or resend: its timers must not fire under the dialog.
    for (FrameTimer id : {kTimerGiveUp, kTimerBlockResend, kTimerQuietLine, kTimerCommandResend})
        KillTimer(id);
    m_reception.reset();
}

InstrumentHost CMainFrame::instrumentHost()
{
    InstrumentHost host;
    host.state = this;
    host.comm = &m_MSComm;
    host.sendCommand = [this] {
        bool ready = true;
        try {
            // The logger answers a set-up or clock command with one byte.
            m_MSComm.SetRThreshold(wire::kThresholdHandshake);
        } catch (const CommDispatchError&) {
            ready = false; // the port failed: nothing goes out
        }
        if (ready && SendCommand(m_byCommand)) {
            // The logger answers once it has carried the command out: a plain
            // acknowledgement passes silently, one asking for START and a missing
            // answer are told to the user.
            m_awaitedCommand = m_byCommand[0];
            SetTimer(kTimerAnswerWait, linktime::kAnswerWaitMs);
            return true;
        }
        // SendCommand ended the link watch for the send. The dialog stays open after a
        // failed send, so the watch goes on and brings "Connected" back when the port
        // opens again.
        if (m_bLinkUp == 1)
            SetTimer(kTimerLinkWatch, linktime::kLinkWatchMs);
        return false;
    };
    host.startTransfer = [this] {
        if (StartTransfer())
            return true;
        if (m_bLinkUp == 1)
            SetTimer(kTimerLinkWatch, linktime::kLinkWatchMs);
        return false;
    };
    host.stopConnectTimers = [this] { StopConnectTimers(); };
    return host;
}

void CMainFrame::OnDownloadData()
{
    // A download is being received.
    if (m_dlgLoading.HasWindow())
        return;

    // Downloaded data that was never saved, while the logger's memory has been erased
    // by a set-up since: this data exists nowhere else, so offer to save it once.
    const CDTView* view = GetDataView();
    if (view && view->m_nStoreCount >= 1 && view->m_bFromFile == 0 && m_bDataUnsaved == 1
        && m_bAskSaveStore == 1) {
        const MsgResult answer = messageBox(this, linktext::kAskSaveRmsTr, kProgramTitle,
                                            MsgButtons::YesNo, MsgIcon::Question);
        // A save that was cancelled or failed leaves the data unsaved: the question
        // comes again at the next Download Data.
        if (answer != MsgResult::Yes || SaveData()) {
            m_bDataUnsaved = 0;
            m_bAskSaveStore = 0;
        }
    }

    ArmLinkSearch();
    m_bAcknowledged = 0;
    m_dlgDownload.setHost(instrumentHost());
    m_dlgDownload.DoModal();
}

void CMainFrame::OnDataloggerSetup()
{
    if (m_dlgLoading.HasWindow())
        return;
    ArmLinkSearch();
    ReturnToHandshake();
    m_bAcknowledged = 0;
    m_dlgSetup.setHost(instrumentHost());
    m_dlgSetup.DoModal();
}

void CMainFrame::OnCorrectTime()
{
    if (m_dlgLoading.HasWindow())
        return;
    ArmLinkSearch();
    ReturnToHandshake();
    m_bAcknowledged = 0;
    m_dlgCorrectTime.setHost(instrumentHost());
    m_dlgCorrectTime.DoModal();
}
