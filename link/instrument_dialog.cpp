#include "link/instrument_dialog.h"

#include <QCloseEvent>

#include "display/frame_state.h"
#include "display/dialog_colours.h"
#include "link/cmscomm.h"
#include "platform/modal_dialog.h"

CInstrumentDlg::CInstrumentDlg(int templateId, QWidget* parent) : TemplateDialog(templateId, parent)
{
    applyDialogColours(this);
}

CInstrumentDlg::~CInstrumentDlg() = default;

int CInstrumentDlg::DoModal()
{
    m_bOpen = true;
    OnInitDialog();
    const int result = execModal(*this);
    // A hook may return without ending the dialog; the window is gone either way.
    if (m_bOpen)
        done(result);
    return result;
}

void CInstrumentDlg::OnInitDialog()
{
    // A fresh window: the controls' own change notifications are not the user's.
    const bool outer = !m_bInExchange;
    m_bInExchange = true;
    restoreTemplateState();
    if (outer)
        m_bInExchange = false;
}

void CInstrumentDlg::done(int result)
{
    m_bOpen = false;
    QDialog::done(result);
}

void CInstrumentDlg::SetTitle(const QString& title)
{
    m_strTitle = title;
    setWindowTitle(title);
}

void CInstrumentDlg::SetPrompt(const QString& prompt)
{
    m_strPrompt = prompt;
    UpdateData(false);
}

void CInstrumentDlg::UpdateData(bool save)
{
    // Nested exchanges keep the guard until the outermost one ends.
    const bool outer = !m_bInExchange;
    m_bInExchange = true;
    DoDataExchange(save);
    if (outer)
        m_bInExchange = false;
}

bool CInstrumentDlg::checkPortOpens()
{
    if (!m_host.comm)
        return false;
    try {
        CMSComm& comm = *m_host.comm;
        if (comm.GetPortOpen())
            comm.SetPortOpen(false);
        if (!comm.GetPortOpen())
            comm.SetPortOpen(true);
        if (comm.GetPortOpen())
            comm.SetPortOpen(false);
        return true;
    } catch (const CommDispatchError&) {
        // The port of the earlier link does not open (adapter pulled out, port busy):
        // that is the answer of the check, shown as "Not Connected".
        return false;
    }
}

bool CInstrumentDlg::checkLinkOnOpening()
{
    const bool ok = checkPortOpens();
    SetTitle(ok ? linktext::kConnected : linktext::kNotConnected);
    return ok;
}

bool CInstrumentDlg::linkAllowsOK()
{
    if (m_strTitle == linktext::kConnecting)
        return false; // no logger has answered yet
    if (m_strTitle == linktext::kNotConnected) {
        m_strPrompt = linktext::kConnectFailed;
        UpdateData(false);
        return false;
    }
    return true;
}

void CInstrumentDlg::stopConnectTimers()
{
    if (m_host.stopConnectTimers)
        m_host.stopConnectTimers();
}

void CInstrumentDlg::reportSendFailure()
{
    SetTitle(linktext::kNotConnected);
    SetPrompt(linktext::kConnectFailed);
}

void CInstrumentDlg::sendAndAccept(const wire::Command& command,
                                   const std::function<void(FrameState&)>& keep)
{
    FrameState* frame = m_host.state;
    if (!frame)
        return;
    frame->m_byCommand = command;
    const bool sent = m_host.sendCommand && m_host.sendCommand();
    if (!sent) {
        reportSendFailure();
        return;
    }
    keep(*frame);
    UpdateData(true);
    done(QDialog::Accepted);
    stopConnectTimers();
}

void CInstrumentDlg::closeEvent(QCloseEvent* event)
{
    // The close box ends the dialog as Cancel does; the search for the logger stops
    // with it.
    QDialog::closeEvent(event);
    stopConnectTimers();
}
