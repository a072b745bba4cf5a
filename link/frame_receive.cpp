// CMainFrame's receive handler: every reply of the logger passes through here. In
// handshake mode it takes the one-byte answers to probes and commands; in download
// mode the header, the memory blocks, and at the end the whole measurement.
//
// The wire has no framing and no checksum, so a download reply is known only by its
// length and by coming alone. Input is thrown away whenever a request goes out; a
// read longer than the reply in force, or bytes waiting before the next request, put
// the last reply taken in doubt, and it is asked again once the line has fallen quiet
// (timer 11). A request that had to be resent may be answered twice: before the next
// request the line must fall quiet, and only a second copy of the reply may come
// meanwhile. After the last reply the line falls quiet once more before the
// measurement is taken in. Too many replies asked again without getting further end
// the download with "Communication interruption!".
#include <QDialog>
#include <QProgressBar>
#include <algorithm>

#include "app/mainframe.h"
#include "display/cdtview.h"
#include "display/rec_info_band.h"
#include "document/cdtdoc.h"
#include "link/download_parse.h"
#include "link/link_timing.h"
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
// Replies asked again without getting further before the download is given up.
constexpr int kMaxRetakes = 8;

std::uint8_t byteAt(const QByteArray& d, qsizetype i)
{
    return static_cast<std::uint8_t>(d.at(i));
}

} // namespace

void CMainFrame::ReportControlError(const CommDispatchError& error)
{
    appMessageBox(QString::fromLocal8Bit(error.what()));
}

void CMainFrame::EndTransferOnPortFailure(void (CMainFrame::*step)())
{
    // A port that fails in the middle of a transfer would leave it waiting for data
    // that cannot come: the transfer ends, and the user hears it once.
    try {
        (this->*step)();
    } catch (const CommDispatchError&) {
        OnCommInterrupted();
    }
}

void CMainFrame::OnCommEvent()
{
    EndTransferOnPortFailure(&CMainFrame::ReceiveEvent);
}

void CMainFrame::ReceiveEvent()
{
    if (m_MSComm.GetCommEvent() != CMSComm::kEventReceive) {
        m_MSComm.SetInBufferCount(0);
        return;
    }
    TakeInput(m_MSComm.GetInput());
}

void CMainFrame::TakeInput(const QByteArray& bytes)
{
    m_varInput = bytes;
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

int CMainFrame::ReplyLengthInForce() const
{
    if (m_byDownloadState == kWaitingForHeader)
        return static_cast<int>(wire::kDownloadHeaderSize);
    return std::min(kBlock, m_nTotalBytes - m_nReceived);
}

void CMainFrame::OnDownloadReceive()
{
    KillTimer(12);
    m_bAnswered = 1;
    if (m_bAwaitingQuiet) {
        OnBytesWhileQuiet();
        return;
    }
    const QByteArray& d = m_varInput;
    const bool header = m_byDownloadState == kWaitingForHeader;
    // "Busy" answers the command only before the logger has sent its header. Once the
    // download runs ("Loading..." is up), an EA in the header's place is a damaged or
    // stray reply like any other, and the give-up timer must stay armed for it.
    if (header && !m_dlgLoading.HasWindow() && !d.isEmpty() && byteAt(d, 0) == LR_BUSY_LOGGING) {
        KillTimer(9); // the logger answered: no give-up for a missing header
        messageBox(this, kBusyLogging, kProgramTitle, MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    // A read shorter than the reply in force is not used: the resend throws it away
    // and asks again, the give-up ends a stalled download.
    const int length = ReplyLengthInForce();
    if (d.size() < length)
        return;
    // More than the reply: a reply sent twice, a late one, or stray bytes. Where the
    // reply in force begins cannot be told, nor whether the last one taken was whole.
    if (d.size() > length) {
        RetakeLastReply();
        return;
    }
    if (header) {
        // Anything else in the header's place: stray bytes ahead of it, the logger
        // still busy with something else, or a header the line damaged. The command
        // goes again on a quiet line.
        const auto decoded = wire::DownloadHeader::decode(wire::asBytes(d));
        if (!decoded.ok() || !decoded.value.isPlausible()) {
            RetakeLastReply();
            return;
        }
        KillTimer(9);
        m_lastReply = d;
        OnDownloadHeader();
        if (m_byDownloadState == kWaitingForHeader)
            return; // no data: nothing to request
    } else {
        KillTimer(10);
        KillTimer(9);
        m_lastReply = d;
        std::copy(d.constBegin(), d.constEnd(), m_pDownload.begin() + m_nReceived);
        m_nReceived += static_cast<int>(d.size());
        m_dlgLoading.SetPos(1 + m_nReceived / kBlock);
    }
    AfterReply();
}

void CMainFrame::AfterReply()
{
    if (m_nReceived > m_nFurthest) {
        m_nFurthest = m_nReceived;
        m_nRetakes = 0;
    }
    // A request that went out twice may be answered twice: the line falls quiet
    // before anything else is asked, and what comes meanwhile must be that second
    // copy. After the last reply the line falls quiet too, so that nothing is kept
    // that bytes still to come would show to be out of step.
    if (m_bResent) {
        const int resend = m_byDownloadState == kWaitingForHeader || m_nReceived == 0
                               ? linktime::kCommandResendMs
                               : linktime::kBlockResendMs;
        AwaitQuietLine(resend + linktime::kQuietLineMs, true);
        return;
    }
    if (m_nReceived == m_nTotalBytes) {
        AwaitQuietLine(linktime::kQuietLineMs, true);
        return;
    }
    SendRequestInForce();
}

void CMainFrame::SendRequestInForce()
{
    // Bytes already waiting answer nothing asked: the last reply taken may be out of
    // step with them.
    if (m_MSComm.GetInBufferCount() > 0) {
        RetakeLastReply();
        return;
    }
    const int length = ReplyLengthInForce();
    m_MSComm.SetRThreshold(static_cast<short>(length));
    m_bResent = false;
    m_bAnswered = 0;
    if (m_byDownloadState == kWaitingForHeader) {
        SendCommand(m_byCommand);
        SetTimer(12, linktime::kCommandResendMs);
    } else {
        m_byFill = length < kBlock ? wire::kFillPartialBlock : wire::kFillWholeBlock;
        m_nBlockIndex = wire::BlockRequest::indexAt(m_nStartAddress / kBlock, m_nReceived / kBlock);
        RequestBlock();
        m_nBlockIndex += 1;
        SetTimer(10, linktime::kBlockResendMs);
    }
    SetTimer(9, linktime::kGiveUpMs);
}

void CMainFrame::RetakeLastReply()
{
    if (++m_nRetakes > kMaxRetakes) {
        OnTransferGiveUp();
        return;
    }
    if (m_byDownloadState == kWaitingForHeader || m_nReceived == 0) {
        m_byDownloadState = kWaitingForHeader; // the header again
    } else {
        // The reply before the one in force; the last one is the remainder when the
        // whole blocks are all in.
        m_nReceived = (m_nReceived - 1) / kBlock * kBlock;
    }
    AwaitQuietLine(linktime::kQuietLineMs, false);
}

void CMainFrame::AwaitQuietLine(int quietMs, bool checks)
{
    KillTimer(10);
    KillTimer(12);
    m_bAwaitingQuiet = true;
    m_bQuietChecks = checks;
    m_nQuietMs = quietMs;
    m_quietBytes.clear();
    m_MSComm.SetRThreshold(1); // every byte counts as the line not quiet
    SetTimer(11, quietMs);
    SetTimer(9, linktime::kGiveUpMs); // a line that never falls quiet ends the download
}

void CMainFrame::OnBytesWhileQuiet()
{
    if (m_quietBytes.size() <= m_lastReply.size())
        m_quietBytes.append(m_varInput);
    SetTimer(11, m_nQuietMs);
}

void CMainFrame::OnQuietLine()
{
    KillTimer(11);
    m_bAwaitingQuiet = false;
    // Only a second copy of the last reply may follow it; anything else puts it in
    // doubt.
    const bool secondCopy = m_bResent && m_quietBytes == m_lastReply;
    const bool doubt = m_bQuietChecks && !m_quietBytes.isEmpty() && !secondCopy;
    m_quietBytes.clear();
    m_bResent = false;
    if (doubt) {
        RetakeLastReply();
        return;
    }
    if (m_byDownloadState != kWaitingForHeader && m_nReceived == m_nTotalBytes) {
        FinishDownload();
        return;
    }
    SendRequestInForce();
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
    // The header describes the coming measurement. The one shown keeps its own
    // description (channels, units, interval, start) until the download is taken in:
    // a download that fails, or brings no data, must leave it whole. Only the band
    // goes blank meanwhile.
    m_downloadHeader = h;
    if (view)
        download::blankBand(*view);
    m_nTotalBytes = static_cast<int>(h.totalBytes);
    m_nStartAddress = static_cast<int>(h.startAddress);
    m_nBlockIndex = h.firstBlockIndex();
    m_pDownload.assign(static_cast<std::size_t>(m_nTotalBytes), 0);

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
    m_nFurthest = 0;
    ShowLoadingWindow();
    m_dlgLoading.SetRange(0, m_nTotalBytes / kBlock + 1);
    m_nProgress = 1;
    m_dlgLoading.SetPos(m_nProgress);
    m_nWholeBlocks = m_nTotalBytes / kBlock;
    m_byDownloadState = 1;
}

void CMainFrame::ShowLoadingWindow()
{
    m_dlgLoading.Create(this);
    if (CDTView* view = GetDataView())
        m_dlgLoading.ShowOver(view);
    else
        m_dlgLoading.ShowOver(this);
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
    // The measurement taken in gets the description its header gave.
    ViewState scratch;
    const download::HeaderInfo info =
        download::applyHeader(m_downloadHeader, view ? *view : scratch);
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
