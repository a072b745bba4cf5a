// CMainFrame's receive handler: every reply of the logger passes through here. In
// handshake mode it takes the one-byte answers to probes and commands; in download
// mode it hands every byte to the download's reception machine (DownloadReception) and
// carries out what the machine asks for: requests, timers, the "Loading..." window,
// the messages, and at the end the whole measurement taken in.
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

constexpr int kBlock = static_cast<int>(wire::kDataBlockSize);

std::uint8_t byteAt(const QByteArray& d, qsizetype i)
{
    return static_cast<std::uint8_t>(d.at(i));
}

} // namespace

void CMainFrame::ReportControlError(const CommDispatchError& error)
{
    appMessageBox(QString::fromLocal8Bit(error.what()));
}

void CMainFrame::EndTransferOnPortFailure(const std::function<void()>& step)
{
    // A port that fails in the middle of a transfer would leave it waiting for data
    // that cannot come: the transfer ends, and the user hears it once.
    try {
        step();
    } catch (const CommDispatchError&) {
        OnCommInterrupted();
    }
}

void CMainFrame::OnCommEvent()
{
    EndTransferOnPortFailure([this] { ReceiveEvent(); });
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
        EndAnswerWait();
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        break;
    case LR_ACK_PRESS_START:
        EndAnswerWait();
        messageBox(this, kPressStart, kProgramTitle, MsgButtons::Ok, MsgIcon::Information);
        if (m_MSComm.GetPortOpen())
            m_MSComm.SetPortOpen(false);
        break;
    default:
        break;
    }
}

void CMainFrame::OnDownloadReceive()
{
    m_bAnswered = 1;
    ApplyReception(m_reception.onBytes(m_varInput, m_MSComm.Clock()));
}

void CMainFrame::OnReceptionTimer(int id)
{
    ApplyReception(m_reception.onTimer(id, m_MSComm.Clock()));
}

void CMainFrame::ApplyReception(const DownloadReception::Actions& actions)
{
    using Kind = DownloadReception::Action::Kind;
    for (const DownloadReception::Action& a : actions) {
        switch (a.kind) {
        case Kind::SendCommand:
            // The port failed under the request: the download cannot go on.
            if (!SendCommand(m_byCommand)) {
                OnCommInterrupted();
                return;
            }
            break;
        case Kind::RequestBlock:
            m_nBlockIndex = a.value;
            m_byFill = static_cast<std::uint8_t>(a.detail);
            RequestBlock();
            m_nBlockIndex += 1;
            break;
        case Kind::ResendCommand:
            ResendTransferCommand();
            break;
        case Kind::ResendBlock:
            if (!ResendBlockRequest())
                return; // the download ended there
            break;
        case Kind::ArmTimer:
            SetTimer(static_cast<FrameTimer>(a.value), a.detail);
            break;
        case Kind::KillTimer:
            KillTimer(static_cast<FrameTimer>(a.value));
            break;
        case Kind::ShowLoading:
            OnDownloadHeader(a.value);
            break;
        case Kind::SetProgress:
            m_dlgLoading.SetPos(a.value);
            break;
        case Kind::Finish:
            FinishDownload();
            break;
        case Kind::Busy:
            messageBox(this, kBusyLogging, kProgramTitle, MsgButtons::Ok, MsgIcon::Information);
            break;
        case Kind::NoData:
            OnNoData(a.detail == 1);
            break;
        case Kind::GiveUp:
            OnTransferGiveUp();
            break;
        }
    }
}

void CMainFrame::OnNoData(bool totalZero)
{
    CDTView* view = GetDataView();
    if (!totalZero) {
        // No values per sample: the link stays in data mode, nothing runs.
        if (view)
            view->m_nValuesPerSample = 0;
        messageBox(this, kNoData, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    if (view)
        download::blankBand(*view);
    m_bTransferMode = 0;
    m_nTotalBytes = m_nStartAddress = 0;
    m_MSComm.SetRThreshold(wire::kThresholdHandshake);
    messageBox(this, kNoData, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
    if (m_MSComm.GetPortOpen())
        m_MSComm.SetPortOpen(false);
}

void CMainFrame::OnDownloadHeader(int progressRange)
{
    // The header describes the coming measurement. The one shown keeps its own
    // description (channels, units, interval, start) until the download is taken in:
    // a download that fails must leave it whole. Only the band goes blank meanwhile.
    const wire::DownloadHeader& h = m_reception.header();
    if (CDTView* view = GetDataView())
        download::blankBand(*view);
    m_nTotalBytes = static_cast<int>(h.totalBytes);
    m_nStartAddress = static_cast<int>(h.startAddress);
    m_nBlockIndex = h.firstBlockIndex();
    ShowLoadingWindow();
    m_dlgLoading.SetRange(0, progressRange);
    m_dlgLoading.SetPos(1);
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
    ResetPort();
    m_dlgLoading.SetPos(m_nTotalBytes / kBlock + 1);
    m_dlgLoading.EndAndDestroy(CLoadingDlg::IDD);

    CDTView* view = GetDataView();
    CDTDoc* doc = GetActiveDocument();
    // The measurement taken in gets the description its header gave.
    ViewState scratch;
    const download::HeaderInfo info =
        download::applyHeader(m_reception.header(), view ? *view : scratch);
    const std::vector<std::uint8_t> bytes = m_reception.data();
    const wire::Bytes data(bytes.data(), bytes.size());

    // Back to idle before the measurement is taken in.
    m_reception.reset();
    m_nBlockIndex = 0;
    m_bTransferMode = 0;
    m_nTotalBytes = m_nStartAddress = 0;
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
    SetTimer(kTimerZoomOut, 50);
    view->m_bFromFile = 0;
    m_bTransferMode = 0;
}
