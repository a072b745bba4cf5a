#include "link/download_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "display/frame_state.h"
#include "link/cmscomm.h"

using namespace ctrl;

CDownloadDlg::CDownloadDlg(QWidget* parent)
    : CInstrumentDlg(IDD_DOWNLOAD, parent)
    , m_btnCancel(item<QPushButton>(IDCANCEL))
    , m_btnDownload(item<QPushButton>(IDOK))
    , m_btnRealTime(item<QPushButton>(IDC_REAL_TIME))
{
    m_strPrompt = linktext::kWaiting;
    connect(m_btnRealTime, &QPushButton::clicked, this, &CDownloadDlg::OnRealTime);
}

void CDownloadDlg::DoDataExchange(bool save)
{
    auto* prompt = item<QLabel>(IDC_DOWNLOAD_PROMPT);
    if (save)
        m_strPrompt = prompt->text();
    else if (prompt->text() != m_strPrompt)
        prompt->setText(m_strPrompt);
}

void CDownloadDlg::OnInitDialog()
{
    CInstrumentDlg::OnInitDialog();
    SetTitle(linktext::kConnecting);
    m_strPrompt = linktext::kWaiting;
    UpdateData(false);
    // A logger answered since start-up: see at once whether its port still opens.
    if (m_host.state && m_host.state->m_bLinkUp) {
        if (checkLinkOnOpening()) {
            m_strPrompt = linktext::kPressDownload;
            m_btnDownload->setEnabled(true);
        } else {
            m_btnDownload->setEnabled(false);
        }
    }
    UpdateData(false);
}

void CDownloadDlg::OnOK()
{
    startTransfer(false);
}

void CDownloadDlg::OnRealTime()
{
    startTransfer(true);
}

void CDownloadDlg::startTransfer(bool realTime)
{
    if (!linkAllowsOK())
        return;
    if (m_host.state) {
        m_host.state->m_bDownloadRequest = realTime ? 0 : 1;
        m_host.state->m_bRealTimeRequest = realTime ? 1 : 0;
    }
    bool started = false;
    try {
        started = m_host.startTransfer && m_host.startTransfer();
    } catch (const CommDispatchError&) {
        started = false;
    }
    if (!started) {
        // Nothing was asked of the logger: the dialog stays and shows the link as
        // lost instead of closing as if the transfer ran.
        reportSendFailure();
        return;
    }
    UpdateData(true);
    done(QDialog::Accepted);
    stopConnectTimers();
    if (m_host.state)
        m_host.state->m_bDataUnsaved = 1;
}

void CDownloadDlg::OnCancel()
{
    done(QDialog::Rejected);
    stopConnectTimers();
}
