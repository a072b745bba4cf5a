// Fuzz target: the frame's receive handler (CMainFrame::OnCommEvent) fed arbitrary
// byte chunks through the serial control, in every transfer state. One frame serves
// the whole process; each input starts it afresh from the state it had when built.
//
// Input: a start byte, then operations (receive_handler_ops.h).
//
// After every operation:
//   - the download's position stays inside the bytes the header announced;
//   - the document's series agree with the view's counts, and the plot caches hold
//     every stored point and transient sample;
//   - a finished download yields no more samples and records than its bytes back,
//     and the measurement stores, loads and stores again to the same bytes;
//   - a real-time run never counts more samples than its arrays hold;
//   - while the "Loading..." window or a run holds the commands back, a timer that can
//     end it is armed.
#include <QApplication>
#include <algorithm>
#include <memory>

#include "app/mainframe.h"
#include "app/splash.h"
#include "display/cdtview.h"
#include "document/cdtdoc.h"
#include "fuzz_support.h"
#include "receive_handler_ops.h"
#include "link/port_map.h"
#include "link/wire_protocol.h"
#include "platform/message_box.h"

namespace {

struct Process {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<CDTDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    FrameState frameAtStart;
    ViewState viewAtStart;
};
Process* g = nullptr;

CDTView& view()
{
    return *g->frame->GetDataView();
}

void resetDocument(CDTDoc& doc)
{
    doc.m_pTrData.clear();
    doc.m_pCh1Data.clear();
    doc.m_pCh2Data.clear();
    doc.m_fEpaWave = {};
    doc.m_pRtRms.clear();
    doc.m_pRtFreq.clear();
    doc.m_pTrTimes.clear();
    doc.m_strFileTag.clear();
    doc.m_strReadTag.clear();
}

// The frame as it was built: no transfer, no timer, no window of a transfer.
void resetFrame()
{
    CMainFrame& f = *g->frame;
    f.m_MSComm.SetPortOpen(false);
    for (int id = kTimerLoggingDialog; id <= kTimerRealTimeRequest; ++id)
        f.timers().KillTimer(id);
    f.m_dlgLoading.EndAndDestroy(CLoadingDlg::IDD);
    view().ClosePanels();
    // What the event loop would do meanwhile, timers aside: repaints, layouts, and
    // the deletion of the windows that ended.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    static_cast<FrameState&>(f) = g->frameAtStart;
    fuzz::resetView(view(), g->viewAtStart);
    for (float* v : {&f.m_fRtFreqMax[0], &f.m_fRtFreqMax[1], &f.m_fRtFreqMin[0], &f.m_fRtFreqMin[1],
                     &f.m_fRtRmsMax[0], &f.m_fRtRmsMax[1], &f.m_fRtRmsMin[0], &f.m_fRtRmsMin[1],
                     &f.m_fRtPowerMax, &f.m_fRtPowerMin})
        *v = 0.0f;
    f.m_rtStream.clear();
    f.m_reception.reset();
    resetDocument(*g->doc);
}

// What the program does to start each kind of exchange with the logger on COM1.
void start(int kind)
{
    CMainFrame& f = *g->frame;
    f.m_nCommPort = 1;
    switch (kind) {
    case 0:
        f.ProbePort(1);
        break;
    case 1:
        f.m_bDownloadRequest = 1;
        f.m_bRealTimeRequest = 0;
        FUZZ_CHECK(f.StartTransfer());
        break;
    default:
        f.m_bDownloadRequest = 0;
        f.m_bRealTimeRequest = 1;
        FUZZ_CHECK(f.StartTransfer());
        break;
    }
}

// Delivers the receive events the control has posted, as the event loop would; no
// timer runs meanwhile.
void deliverEvents()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::sendPostedEvents(&g->frame->m_MSComm, QEvent::MetaCall);
}

struct Watch {
    int lastTotal = 0; // the last download size a header announced
};

void checkDocument(const CDTDoc& doc, const CDTView& v)
{
    fuzz::checkStoredSeries(doc, v);
    const auto n = static_cast<std::size_t>(v.m_nStoreCount);
    const auto m = static_cast<std::size_t>(v.m_nTrCount);
    if (n > 0 || m > 0)
        FUZZ_CHECK(static_cast<std::size_t>(v.plotCacheCapacity()) >= std::max(n, m * kTrSamples));
    FUZZ_CHECK(v.m_nRtCount >= 0);
    FUZZ_CHECK(static_cast<std::size_t>(v.m_nRtCount) <= doc.m_pRtRms.size() || v.m_nRtCount == 0);
    FUZZ_CHECK(doc.m_pRtRms.size() == doc.m_pRtFreq.size());
}

void checkLink(Watch& w)
{
    CMainFrame& f = *g->frame;
    const DownloadReception& r = f.m_reception;
    if (r.stage() == DownloadReception::Stage::Blocks) {
        FUZZ_CHECK(r.offset() >= 0 && r.offset() + r.replyLength() <= r.totalBytes());
        FUZZ_CHECK(r.totalBytes() == f.m_nTotalBytes);
        w.lastTotal = f.m_nTotalBytes;
    }
    // A download under way always has a timer that can end it.
    if (r.stage() == DownloadReception::Stage::Header || r.stage() == DownloadReception::Stage::Blocks)
        FUZZ_CHECK(f.timers().IsActive(kTimerGiveUp) && r.timerArmed(kTimerGiveUp));
    // Nothing waits for ever: while the "Loading..." window holds the instrument
    // commands back, or a run keeps Stop enabled, a timer is armed that can end it.
    if (f.m_dlgLoading.HasWindow())
        FUZZ_CHECK(f.timers().IsActive(kTimerGiveUp));
    if (f.m_bStopped == 0)
        FUZZ_CHECK(f.timers().IsActive(kTimerGiveUp) || f.timers().IsActive(kTimerWatchdog));
}

// A download has just been taken in: its items come from its own bytes, and the
// measurement is one the program can keep as a document.
void checkFinishedDownload(const Watch& w)
{
    CDTView& v = view();
    // The view has the download's values per sample once it is taken in.
    const auto k = static_cast<std::size_t>(v.m_nValuesPerSample);
    FUZZ_CHECK(static_cast<std::size_t>(v.m_nStoreCount) * 2 * k
                   + static_cast<std::size_t>(v.m_nTrCount) * wire::kTransientRecordSize
               <= static_cast<std::size_t>(w.lastTotal));
    const QByteArray stored = g->doc->StoreToBytes();
    CDTDoc doc;
    ViewState state;
    doc.AddView(&state);
    FUZZ_CHECK(doc.LoadFromBytes(stored).loaded);
    FUZZ_CHECK(doc.StoreToBytes() == stored);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::setUpProcess();
    // No real port can be reached, and boxes are answered OK without a window.
    qputenv(portmap::kEnvironmentVariable, QByteArray());
    setMessageBoxHook([](const MessageBoxCall&) { return MsgResult::Ok; });
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g = new Process;
    g->app = std::make_unique<QApplication>(*argc, *argv);
    CMainFrame::setStartupPause(0);
    CSplashWnd::EnableSplashScreen(false);
    g->doc = std::make_unique<CDTDoc>();
    g->frame = std::make_unique<CMainFrame>(g->doc.get());
    FUZZ_CHECK(g->frame->LoadFrame());
    g->frame->resize(800, 500);
    g->frame->show();
    QCoreApplication::processEvents();
    g->frame->m_MSComm.setStandInLine(true);
    g->frameAtStart = *g->frame;
    g->viewAtStart = view();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    resetFrame();
    CMainFrame& f = *g->frame;
    Watch w;
    start(data[0] % 3);
    std::size_t at = 1;
    while (at < size) {
        const std::uint8_t op = data[at++];
        // A download past its header: the finish alone ends it with no block count.
        const bool downloading = f.m_bTransferMode == 1 && f.m_bDownloadRequest == 1
                                 && f.m_reception.stage() == DownloadReception::Stage::Blocks;
        if (op < 0x80) {
            if (at >= size)
                break;
            const std::size_t wanted = static_cast<std::size_t>(op) << 8 | data[at++];
            const std::size_t length = std::min(wanted, size - at);
            f.m_MSComm.feedLine(fuzz::bytes(data + at, length));
            at += length;
            deliverEvents();
        } else if (op < 0xC0) {
            const int id = fuzz::kReceiveTimers[(op - 0x80) % fuzz::kReceiveTimers.size()];
            if (f.timers().IsActive(id)) {
                f.m_MSComm.passLineTime(f.timers().Interval(id));
                f.OnTimer(id);
            }
            deliverEvents();
        } else if (f.m_bStopped == 1 && !f.m_dlgLoading.HasWindow()) {
            // The instrument commands and Run start a transfer only then.
            start((op - 0xC0) % 3);
        }
        checkLink(w);
        checkDocument(*g->doc, view());
        if (downloading && f.m_bTransferMode == 0
            && f.m_reception.stage() == DownloadReception::Stage::Idle)
            checkFinishedDownload(w);
    }
    return 0;
}
