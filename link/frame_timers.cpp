// Finding the logger and watching the link, on the frame's timers:
//   kTimerPortScan   lists the COM ports that open (100 ms after a command, 1000 ms
//                    after a failed probe pass)
//   kTimerProbe      probe pass: one probe every 500 ms, highest port first; when every
//                    port stayed silent the open dialogs say "Not Connected" and the
//                    scan runs again
//   kTimerLinkWatch  every 3000 ms, does the port of the logger still open?
// and the logging-dialog and data-list timers, which nothing arms. The link state is
// shown only as the title (and, in the download dialog, the prompt) of whichever
// instrument dialog is open.
#include "app/mainframe.h"
#include "display/cdtview.h"
#include "link/correct_time_dialog.h"
#include "link/download_dialog.h"
#include "link/link_timing.h"
#include "link/logger_setup_dialog.h"
#include "link/port_map.h"

namespace {
// "  ": the set-up dialog's prompt once the logger answered.
const QString kSetupPromptConnected = QStringLiteral("  ");

// Step of the running probe pass, from 1. One pass exists at a time in the process.
std::uint8_t g_nProbeStep = 1;
} // namespace

std::vector<CInstrumentDlg*> CMainFrame::OpenInstrumentDialogs()
{
    std::vector<CInstrumentDlg*> open;
    for (CInstrumentDlg* dlg : {static_cast<CInstrumentDlg*>(&m_dlgSetup),
                                static_cast<CInstrumentDlg*>(&m_dlgCorrectTime),
                                static_cast<CInstrumentDlg*>(&m_dlgDownload),
                                static_cast<CInstrumentDlg*>(&m_dlgRealTime)}) {
        if (dlg->isOpen())
            open.push_back(dlg);
    }
    return open;
}

void CMainFrame::TellDialogsConnected()
{
    for (CInstrumentDlg* dlg : OpenInstrumentDialogs())
        dlg->SetTitle(linktext::kConnected);
}

void CMainFrame::TellDialogsNotConnected()
{
    for (CInstrumentDlg* dlg : OpenInstrumentDialogs()) {
        dlg->SetTitle(linktext::kNotConnected);
        if (dlg == &m_dlgDownload)
            dlg->SetPrompt(linktext::kConnectFailed);
    }
}

void CMainFrame::OnPortScanTimer()
{
    if (OpenInstrumentDialogs().empty()) {
        KillTimer(kTimerPortScan);
        return;
    }
    g_nProbeStep = 1;
    // A pass cut short by a closing dialog leaves its ports in the list; each scan
    // starts from an empty list so that it never holds more than the 16 ports.
    m_nPortCount = 0;
    for (int p = 1; p <= portmap::kMaxPorts; ++p) {
        bool usable = true;
        try {
            if (m_MSComm.GetPortOpen())
                m_MSComm.SetPortOpen(false);
            m_nCommPort = p;
            m_MSComm.SetCommPort(static_cast<short>(p));
            if (!m_MSComm.GetPortOpen())
                m_MSComm.SetPortOpen(true);
        } catch (const CommDispatchError&) {
            // Absent, busy or unusable: not a candidate for the logger.
            usable = false;
        }
        if (usable && m_nPortCount < m_byPorts.size())
            m_byPorts[m_nPortCount++] = static_cast<std::uint8_t>(p);
    }
    // No port at all: the scan stays armed and tries again after its period.
    if (m_nPortCount == 0)
        return;
    KillTimer(kTimerPortScan);
    const std::uint8_t highest = m_byPorts[m_nPortCount - 1];
    ProbePort(highest);
    m_nCommPort = highest;
    SetTimer(kTimerProbe, linktime::kProbePeriodMs);
}

void CMainFrame::OnProbeTimer()
{
    if (OpenInstrumentDialogs().empty()) {
        KillTimer(kTimerProbe);
        return;
    }
    // The logger answered; the answer normally ended this timer already.
    if (m_bAcknowledged)
        return;
    if (g_nProbeStep > m_nPortCount) {
        // Every port of the list stayed silent: say so and scan again in a second.
        KillTimer(kTimerProbe);
        g_nProbeStep = 1;
        m_nPortCount = 0;
        TellDialogsNotConnected();
        if (!OpenInstrumentDialogs().empty())
            SetTimer(kTimerPortScan, linktime::kRescanMs);
        return;
    }
    // The first tick probes the scan's port once more, then one lower port per tick.
    const std::uint8_t p = m_byPorts[m_nPortCount - g_nProbeStep];
    // The port of the last probe is closed first: another one can be selected only then.
    if (m_MSComm.GetPortOpen())
        m_MSComm.SetPortOpen(false);
    // A port that went away since the scan (or is busy) is skipped.
    ProbePort(p);
    // An answer within the next 500 ms belongs to this port.
    m_nCommPort = p;
    ++g_nProbeStep;
}

void CMainFrame::OnLinkWatchTimer()
{
    if (OpenInstrumentDialogs().empty()) {
        KillTimer(kTimerLinkWatch);
        return;
    }
    // Only whether the port still opens is tested (the adapter is still plugged in);
    // nothing is sent to the logger.
    try {
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        if (!m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(true);
    } catch (const CommDispatchError&) {
        // The port is gone: shown in the dialogs, tried again at the next tick.
        TellDialogsNotConnected();
        return;
    }
    TellDialogsConnected();
    if (m_MSComm.GetPortOpen())
        m_MSComm.SetPortOpen(false);
}

void CMainFrame::OnProbeAnswered()
{
    m_bAcknowledged = 1;
    m_bLinkUp = 1;
    // The dialogs learn it in this order: set-up, download, clock, real-time.
    for (CInstrumentDlg* dlg :
         {static_cast<CInstrumentDlg*>(&m_dlgSetup), static_cast<CInstrumentDlg*>(&m_dlgDownload),
          static_cast<CInstrumentDlg*>(&m_dlgCorrectTime),
          static_cast<CInstrumentDlg*>(&m_dlgRealTime)}) {
        if (!dlg->isOpen())
            continue;
        KillTimer(kTimerPortScan);
        KillTimer(kTimerProbe);
        dlg->SetTitle(linktext::kConnected);
        if (dlg == &m_dlgSetup)
            dlg->SetPrompt(kSetupPromptConnected);
        else if (dlg == &m_dlgDownload)
            dlg->SetPrompt(linktext::kPressDownloadAnswered);
        else if (dlg == &m_dlgRealTime)
            dlg->SetPrompt(QStringLiteral("Press \"RUN\" to read real time data,"));
        SetTimer(kTimerLinkWatch, linktime::kLinkWatchMs);
    }
    // The probe pass left the answering port open; it stays closed between requests,
    // also when the dialog was closed before the answer came.
    if (m_MSComm.GetPortOpen())
        m_MSComm.SetPortOpen(false);
}

void CMainFrame::OnLoggingDialogTimer()
{
    // Nothing arms this timer: it would show the view's "Logging..." dialog.
    KillTimer(kTimerLoggingDialog);
    if (CDTView* view = GetDataView())
        view->m_dlgLogging.DoModal(this);
}

void CMainFrame::OnDataListTimer()
{
    // Nothing arms this timer either: it opens the data list over the view.
    KillTimer(kTimerDataList);
    CDTView* view = GetDataView();
    if (!view || view->m_dlgDataList)
        return;
    view->ShowDataList();
    if (QWidget* list = view->m_dlgDataList) {
        list->setGeometry(0, 0, view->width(), view->height());
        list->show();
    }
}
