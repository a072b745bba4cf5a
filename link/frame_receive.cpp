// CMainFrame's receive handler: every reply of the logger passes through here. In
// handshake mode it takes the one-byte answers to probes and commands; in download
// mode the header, the memory blocks, and at the end the whole measurement.
#include <QDialog>
#include <QProgressBar>

#include "app/mainframe.h"
#include "display/cdtview.h"
#include "display/rec_info_band.h"
#include "document/cdtdoc.h"
#include "link/download_parse.h"
#include "link/wire_protocol.h"
#include "platform/message_box.h"

namespace {

const QString kBusyLogging =
    QStringLiteral("The DATA LOGGER is already logging.Please stop logging and try again.");
const QString kNoData = QStringLiteral("There is no data in DATALOGGER!");
const QString kPressStart = QStringLiteral(
    "To start logging, press the START button on the DATA LOGGER for three seconds.");

constexpr std::uint8_t kWaitingForHeader = 0xFF;
constexpr int kBlock = static_cast<int>(wire::kDataBlockSize);
constexpr int kHeaderWaitMs = 5000;

std::uint8_t byteAt(const QByteArray& d, qsizetype i)
{
    return static_cast<std::uint8_t>(d.at(i));
}

} // namespace

void CMainFrame::ReportControlError(const CommDispatchError& error)
{
    appMessageBox(QString::fromLocal8Bit(error.what()));
}

void CMainFrame::OnCommEvent()
{
    // A port that fails in the middle of a reply would leave a half-done transfer
    // waiting for data that cannot come: the transfer ends, and the user hears it once.
    try {
        ReceiveEvent();
    } catch (const CommDispatchError&) {
        OnCommInterrupted();
    }
}

void CMainFrame::ReceiveEvent()
{
    if (m_MSComm.GetCommEvent() != CMSComm::kEventReceive) {
        m_MSComm.SetInBufferCount(0);
        return;
    }
    m_varInput = m_MSComm.GetInput();
    if (m_bTransferMode == 0 && !m_varInput.isEmpty())
        OnHandshakeReply(byteAt(m_varInput, 0));
    if (m_bTransferMode != 1)
        return;
    if (m_bRealTimeRequest == 1)
        OnRealTimeReceive();
    if (m_bDownloadRequest == 1)
        OnDownloadReceive();
}

void CMainFrame::OnHandshakeReply(std::uint8_t reply)
{
    switch (reply) {
    case LR_PROBE_ACK:
        OnProbeAnswered();
        break;
    case LR_ACK:
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        break;
    case LR_ACK_PRESS_START:
        messageBox(this, kPressStart, kProgramTitle, MsgButtons::Ok, MsgIcon::Information);
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        break;
    default:
        break;
    }
}

int CMainFrame::ExpectedReplyLength() const
{
    switch (m_byDownloadState) {
    case kWaitingForHeader:
        return static_cast<int>(wire::kDownloadHeaderSize);
    case 1:
        return m_nWholeBlocks == 0 ? m_nTotalBytes : kBlock;
    case 3:
        return m_nTotalBytes - m_nReceived;
    default:
        return 0;
    }
}

void CMainFrame::OnDownloadReceive()
{
    // The command resend arms the give-up for a download command that gets no header;
    // a reply that stops the resend before it ran must arm it instead.
    const bool resendPending = timers().IsActive(12);
    KillTimer(12);
    m_bAnswered = 1;
    const QByteArray& d = m_varInput;

    if (m_byDownloadState == kWaitingForHeader) {
        const std::uint8_t code = d.isEmpty() ? 0 : byteAt(d, 0);
        if (code == LR_BUSY_LOGGING) {
            KillTimer(9); // the logger answered: no give-up for a missing header
            messageBox(this, kBusyLogging, kProgramTitle, MsgButtons::Ok, MsgIcon::Information);
            return;
        }
        // A header cut short is not taken; the give-up ends the wait if no whole one
        // follows.
        if (code == LR_HEADER && d.size() >= ExpectedReplyLength()) {
            KillTimer(9);
            OnDownloadHeader();
            if (m_byDownloadState == 0)
                m_byDownloadState = 1;
            return;
        }
        // Anything else while waiting for the header only stops the command resend.
        if (resendPending)
            SetTimer(9, kHeaderWaitMs);
        return;
    }
    if (d.isEmpty())
        return;
    if (m_byDownloadState == 1 || m_byDownloadState == 3) {
        // A read shorter than the block or remainder in force is not used: the block
        // resend throws it away and asks again, the give-up ends a stalled download.
        if (d.size() < ExpectedReplyLength())
            return;
        if (m_byDownloadState == 1)
            OnDownloadBlock();
        else
            OnDownloadRemainder();
    }

    if (m_nTotalBytes > 0 && m_nReceived == m_nTotalBytes) {
        FinishDownload();
        return;
    }
    if (m_byDownloadState == 0)
        m_byDownloadState = 1;
    else if (m_byDownloadState == 2)
        m_byDownloadState = 3;
}

void CMainFrame::OnDownloadHeader()
{
    const auto decoded = wire::DownloadHeader::decode(wire::asBytes(m_varInput));
    if (!decoded.ok())
        return;
    const wire::DownloadHeader& h = decoded.value;
    CDTView* view = GetDataView();

    if (h.valuesPerSample == 0) {
        if (view)
            view->m_nValuesPerSample = 0;
        messageBox(this, kNoData, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    ViewState scratch;
    const download::HeaderInfo info = download::applyHeader(h, view ? *view : scratch);
    m_nTotalBytes = static_cast<int>(info.totalBytes);
    m_nStartAddress = static_cast<int>(info.startAddress);
    m_nBlockIndex = h.firstBlockIndex();
    m_pDownload.assign(static_cast<std::size_t>(m_nTotalBytes), 0);
    m_nWrapA = info.wrapA;
    m_nWrapB = info.wrapB;

    if (m_nTotalBytes == 0) {
        m_bTransferMode = 0;
        m_nTotalBytes = m_nStartAddress = 0;
        m_MSComm.SetRThreshold(wire::kThresholdHandshake);
        messageBox(this, kNoData, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        return;
    }

    m_nReceived = 0;
    ShowLoadingWindow();
    m_dlgLoading.SetRange(0, m_nTotalBytes / kBlock + 1);
    m_nProgress = 1;
    m_dlgLoading.SetPos(m_nProgress);

    m_nWholeBlocks = m_nTotalBytes / kBlock;
    if (m_nWholeBlocks == 0) {
        m_MSComm.SetRThreshold(static_cast<short>(m_nTotalBytes));
        m_byFill = wire::kFillPartialBlock;
    } else {
        m_byFill = wire::kFillWholeBlock;
        m_MSComm.SetRThreshold(wire::kThresholdBlock);
    }
    RequestBlock();
    m_bAnswered = 0;
    SetTimer(10, 900);
    SetTimer(9, 5000);
    m_nBlockIndex += 1;
    m_byDownloadState = 0;
}

void CMainFrame::ShowLoadingWindow()
{
    m_dlgLoading.Create(this);
    if (CDTView* view = GetDataView())
        m_dlgLoading.ShowOver(view);
    else
        m_dlgLoading.ShowOver(this);
}

void CMainFrame::OnDownloadBlock()
{
    const char* d = m_varInput.constData();
    if (m_nWholeBlocks == 0) {
        m_bAnswered = 1;
        KillTimer(10);
        KillTimer(9);
        std::copy(d, d + m_nTotalBytes, m_pDownload.begin());
        m_nReceived = m_nTotalBytes;
        m_dlgLoading.SetPos(m_nTotalBytes / kBlock + 1);
        return;
    }

    m_bAnswered = 1;
    KillTimer(10);
    KillTimer(9);
    if (m_nReceived + kBlock <= static_cast<int>(m_pDownload.size())) {
        std::copy(d, d + kBlock, m_pDownload.begin() + m_nReceived);
        m_nReceived += kBlock;
    }
    m_byFill = wire::kFillWholeBlock;
    if (m_nReceived == m_nWholeBlocks * kBlock) {
        const int rest = m_nTotalBytes - m_nReceived;
        if (rest > 0) {
            m_MSComm.SetRThreshold(static_cast<short>(rest));
            m_byDownloadState = 2;
            m_byFill = wire::kFillPartialBlock;
        } else {
            m_byDownloadState = 3;
        }
    }
    if (m_byDownloadState < 3) {
        m_bAnswered = 0;
        SetTimer(10, 900);
        SetTimer(9, 5000);
        RequestBlock();
        m_nBlockIndex += 1;
    }
    m_nProgress += 1;
    m_dlgLoading.SetPos(m_nProgress);
    if (m_byDownloadState == 3)
        OnDownloadRemainder();
}

void CMainFrame::OnDownloadRemainder()
{
    KillTimer(10);
    KillTimer(9);
    m_bAnswered = 1;
    const int rest = m_nTotalBytes - m_nReceived;
    if (rest > 0 && m_varInput.size() >= rest)
        std::copy(m_varInput.constData(), m_varInput.constData() + rest,
                  m_pDownload.begin() + m_nReceived);
    m_nReceived = m_nTotalBytes;
}

void CMainFrame::FinishDownload()
{
    KillTimer(10);
    KillTimer(9);
    ResetPort();
    m_dlgLoading.SetPos(m_nTotalBytes / kBlock + 1);
    m_dlgLoading.EndAndDestroy(CLoadingDlg::IDD);

    CDTView* view = GetDataView();
    CDTDoc* doc = GetActiveDocument();
    download::HeaderInfo info;
    info.valuesPerSample = view ? view->m_nValuesPerSample : 0;
    info.totalBytes = static_cast<std::uint32_t>(m_nTotalBytes);
    info.startAddress = static_cast<std::uint32_t>(m_nStartAddress);
    info.wrapA = m_nWrapA;
    info.wrapB = m_nWrapB;
    const wire::Bytes data(m_pDownload.data(), m_pDownload.size());

    // Back to idle before the measurement is taken in.
    m_nBlockIndex = 0;
    m_bTransferMode = 0;
    m_byDownloadState = kWaitingForHeader;
    m_nTotalBytes = m_nStartAddress = 0;
    m_nReceived = 0;
    m_nWholeBlocks = -1;
    m_bStoreRms = 1;
    if (!view || !doc)
        return;

    download::storeDownload(data, info, *doc, *view);
    SavePreviousMeasurement();
    if (view->m_dlgRecInfo)
        view->m_dlgRecInfo->update();
    m_bStoreRms = 0;
    OnStoreRms();
    doc->UpdateAllViews();
    if (QWidget* list = view->m_dlgDataList) {
        view->m_bListDirty = 1;
        list->showNormal();
        list->update();
    }
    view->ClosePanels();
    m_bDataUnsaved = 1;
    if (view->m_nDisplayMode == 0)
        view->m_nDisplayMode = 1;
    SetTimer(8, 50);
    view->m_bFromFile = 0;
    m_bTransferMode = 0;
}
