// Real-time reception: the frames of 590 waveform pairs that the logger streams during
// a run. The first frame of a run sets the run up (arrays, display, timers); every
// frame replaces the waveform in the document; the run stops itself when the channels
// change or the sample limit is reached. Also TrackMinMax, the running extremes that
// the sampling tick keeps for the band texts.
#include <QDateTime>
#include <algorithm>

#include "app/mainframe.h"
#include "display/cdtview.h"
#include "display/mode_rules.h"
#include "display/point_time.h"
#include "document/cdtdoc.h"
#include "link/link_timing.h"
#include "link/wire_protocol.h"
#include "platform/message_box.h"
#include "platform/printf_number.h"

namespace {
const QString kNoChannel = QStringLiteral("There is no channel!");
const QString kChannelChanged = QStringLiteral("The channel is changed,please restart!");
constexpr int kMaxRunPoints = 100000;

// The channels of the running run, as its first frame had them (one run at a time).
struct RunChannels {
    std::uint8_t ch1 = 0;
    std::uint8_t ch2 = 0;
};
RunChannels g_runChannels;

void applyType(std::uint8_t type, std::uint8_t& present, QString& unit)
{
    bool on = present != 0;
    wire::applyChannelType(type, on, unit);
    present = on ? 1 : 0;
}
} // namespace

void CMainFrame::OnRealTimeReceive()
{
    CDTView* view = GetDataView();
    CDTDoc* doc = GetActiveDocument();

    // Frames are taken whole, from their start, wherever the reads cut the stream;
    // the next event comes when the frame begun can be whole.
    const QByteArray frame = m_rtStream.feed(m_varInput);
    m_MSComm.SetRThreshold(static_cast<short>(m_rtStream.missing()));
    if (frame.isEmpty())
        return;
    // Every frame after a stop repeats the stop: the logger may have missed it.
    if (m_bStopped == 1) {
        wire::TransferCommand::markStop(m_byCommand);
        SendCommand(m_byCommand);
        return;
    }
    m_bAnswered = 1;
    KillTimer(kTimerGiveUp); // the logger streams: no give-up of the start
    const auto decoded = wire::RealTimeFrame::decode(wire::asBytes(frame));
    if (!decoded.ok() || !view || !doc)
        return;
    const wire::RealTimeFrame& f = decoded.value;

    if (f.presence == 0) {
        OnStop();
        messageBox(this, kNoChannel, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    applyType(f.ch1Type, view->m_bRtCh1, view->m_strRtUnit1);
    applyType(f.ch2Type, view->m_bRtCh2, view->m_strRtUnit2);
    if (view->m_nRtCount == 0) {
        g_runChannels = {view->m_bRtCh1, view->m_bRtCh2};
    } else if (view->m_bRtCh1 != g_runChannels.ch1 || view->m_bRtCh2 != g_runChannels.ch2) {
        view->m_bRtCh1 = g_runChannels.ch1;
        view->m_bRtCh2 = g_runChannels.ch2;
        OnStop();
        messageBox(this, kChannelChanged, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
        return;
    }

    for (std::size_t g = 0; g < wire::kRealTimePairs; ++g) {
        if (view->m_bRtCh1)
            doc->m_fEpaWave[g][0] = f.ch1[g];
        if (view->m_bRtCh2)
            doc->m_fEpaWave[g][1] = f.ch2[g];
    }
    view->m_nPointsPerFrame = kFramePoints;
    const int capacity = std::max({m_nSampData, kFramePoints, view->m_nStoreCount});

    if (view->m_nRtCount == 0) {
        view->ResetPowerAnalysis();
        // A new run shows no extremes of an earlier one.
        for (QString* text : {&view->m_strRtRmsMax1, &view->m_strRtRmsMin1, &view->m_strRtRmsMax2,
                              &view->m_strRtRmsMin2, &view->m_strRtFreqMax1, &view->m_strRtFreqMin1,
                              &view->m_strRtFreqMax2, &view->m_strRtFreqMin2,
                              &view->m_strRtPowerMax, &view->m_strRtPowerMin})
            text->clear();
        view->m_tRtStart = static_cast<std::time_t>(QDateTime::currentSecsSinceEpoch());
        view->m_nFirstPoint = 1;
        if (!modes::realTimeMode(*this)) {
            m_bEpa = 1;
            m_bRtOther = m_bRtFreq = m_bRtRms = m_bRtPowerP = m_bRtPowerS = m_bRtPowerQ = 0;
            modes::applyRanges(*view, modes::axisRanges(*this, modes::kKindEpa));
        }
        view->freePlotCaches();
        view->allocatePlotCaches(capacity);
        const auto samples = static_cast<std::size_t>(std::max(m_nSampData, 0));
        doc->m_pRtFreq.assign(samples, FloatPair{waveform::kNoFrequency, waveform::kNoFrequency});
        doc->m_pRtRms.assign(samples, FloatPair{0.0f, 0.0f});
        SetTimer(kTimerWatchdog, linktime::kWatchdogMs);
        SetTimer(kTimerRealTimeRequest, linktime::kRealTimeRequestMs);
        SetTimer(kTimerSample, linktime::kFirstSampleMs);
    }
    if (view->m_nDisplayMode == 0)
        view->m_nDisplayMode = 1;
    view->m_bFromFile = 0;

    if (view->m_nRtCount >= m_nSampData || view->m_nRtCount >= kMaxRunPoints) {
        OnStop();
        wire::TransferCommand::markStop(m_byCommand);
        SendCommand(m_byCommand);
        doc->UpdateAllViews();
    }
}

void CMainFrame::TrackMinMax(int /*channel*/, int quantity, float* pMax, float* pMin, float value,
                             QString* pMaxText, QString* pMinText)
{
    const CDTView* view = GetDataView();
    if (!view || !pMax || !pMin || !pMaxText || !pMinText)
        return;
    const QString time = formatPointTime(view->m_tRtStart
                                         + static_cast<std::time_t>(view->m_nRtSampleRate)
                                               * static_cast<std::time_t>(view->m_nRtCount));
    if (view->m_nRtCount == 0)
        *pMax = *pMin = value;

    const auto text = [&](QString* out) {
        *out = cnum::fixed(value, 1) + QStringLiteral(" @") + time;
        if (quantity == 1) {
            if (value >= waveform::kNoFrequency)
                *out = QStringLiteral("OL @") + time;
            else if (value <= 40.0f)
                *out = QStringLiteral("LO @") + time;
        } else if (value == 0.0f) {
            *out = QStringLiteral("LO @") + time;
        }
    };
    if (value >= *pMax) {
        *pMax = value;
        text(pMaxText);
    }
    if (value <= *pMin) {
        *pMin = value;
        text(pMinText);
    }
}
