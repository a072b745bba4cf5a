#include "display/mode_rules.h"

#include <algorithm>
#include <QLocale>
#include <QRegularExpression>

#include "display/frame_state.h"
#include "display/point_time.h"
#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "platform/printf_number.h"
#include "platform/truncation.h"

namespace modes {

namespace {

// Reads a number the way the read-outs were written: the leading decimal number of the
// text, 0 when there is none.
// The C library's reader would follow the user's locale; the read-outs always use '.'.
float leadingNumber(const QString& text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0.0f;
    bool ok = false;
    const double value = QLocale::c().toDouble(match.captured(0).trimmed(), &ok);
    return ok ? static_cast<float>(value) : 0.0f;
}

// The frame's flag of a mode, in the order of the enumeration.
constexpr std::array<std::uint8_t FrameState::*, 6> kModeFlags = {
    &FrameState::m_bStoreRms, &FrameState::m_bStoreTr, &FrameState::m_bEpa,
    &FrameState::m_bRtRms,    &FrameState::m_bRtFreq,  &FrameState::m_bRtPowerS};

std::uint8_t FrameState::*flagOf(Mode mode)
{
    return kModeFlags[static_cast<std::size_t>(mode)];
}

} // namespace

std::optional<Mode> activeMode(const FrameState& frame)
{
    for (Mode mode :
         {Mode::RtPowerS, Mode::RtRms, Mode::RtFreq, Mode::Epa, Mode::StoreTr, Mode::StoreRms})
        if (modeFlag(frame, mode))
            return mode;
    return std::nullopt;
}

bool singleWaveform(const FrameState& frame)
{
    return frame.m_bStoreTr || frame.m_bEpa;
}

bool storedMode(const FrameState& frame)
{
    return frame.m_bStoreRms || frame.m_bStoreTr || frame.m_bEpa;
}

bool realTimeMode(const FrameState& frame)
{
    return frame.m_bRtOther || frame.m_bRtFreq || frame.m_bRtPowerP || frame.m_bRtPowerQ
           || frame.m_bRtRms || frame.m_bRtPowerS;
}

bool powerMode(const FrameState& frame)
{
    return frame.m_bRtPowerQ || frame.m_bRtPowerP || frame.m_bRtPowerS;
}

AxisTimes axisTimes(const FrameState& frame)
{
    if (realTimeMode(frame))
        return AxisTimes::RealTime;
    return frame.m_bStoreRms ? AxisTimes::Stored : AxisTimes::None;
}

int pointCount(const ViewState& view, const FrameState& frame)
{
    if (frame.m_bEpa)
        return kFramePoints;
    if (frame.m_bStoreTr)
        return kTrSamples;
    if (frame.m_bStoreRms)
        return view.m_nStoreCount;
    return view.m_nRtCount;
}

int listRowCount(const ViewState& view, const FrameState& frame)
{
    return std::max(pointCount(view, frame), 0);
}

long long listRowPoint(const ViewState& view, const FrameState& frame, int row)
{
    return frame.m_bStoreTr ? static_cast<long long>(view.m_nFirstPoint) + row - 1 : row;
}

void setModeFlags(FrameState& frame, Mode mode)
{
    frame.clearModeFlags();
    frame.*flagOf(mode) = 1;
}

bool modeFlag(const FrameState& frame, Mode mode)
{
    return frame.*flagOf(mode) != 0;
}

bool modeEnabled(const ViewState& view, Mode mode)
{
    switch (mode) {
    case Mode::StoreRms:
        return view.m_nStoreCount != 0;
    case Mode::StoreTr:
        return view.m_nTrCount != 0;
    case Mode::Epa:
        return view.m_nPointsPerFrame != 0;
    case Mode::RtRms:
    case Mode::RtFreq:
        return view.m_nRtCount != 0;
    case Mode::RtPowerS:
        return view.m_nRtCount != 0 && view.m_bRtCh1 == 1 && view.m_bRtCh2 == 1
               && view.m_strRtUnit1 != view.m_strRtUnit2;
    }
    return false;
}

Ranges axisRanges(const FrameState& frame, int kind)
{
    const auto k = static_cast<std::size_t>(kind + 1);
    return {frame.m_nYAxisLow[k][1], frame.m_nYAxisHigh[k][1], frame.m_nYAxisLow[k][2],
            frame.m_nYAxisHigh[k][2]};
}

void setAxisRanges(FrameState& frame, int kind, const Ranges& r)
{
    const auto k = static_cast<std::size_t>(kind + 1);
    frame.m_nYAxisLow[k][1] = r.ch1Min;
    frame.m_nYAxisHigh[k][1] = r.ch1Max;
    frame.m_nYAxisLow[k][2] = r.ch2Min;
    frame.m_nYAxisHigh[k][2] = r.ch2Max;
}

int axisSetupKind(const FrameState& frame)
{
    return frame.m_bStoreTr ? kKindStoreTr : kKindStoreRms;
}

Ranges storedRanges(const ViewState& view, const FrameState& frame, int kind)
{
    // The automatic ranges lie in pairs, CH1 then CH2: Store RMS at 0 and 1, Store TR at
    // 2 and 3.
    const auto k = static_cast<std::size_t>(kind);
    if (view.m_bAutoScale[k] == 1)
        return {view.m_nAutoMin[2 * k], view.m_nAutoMax[2 * k], view.m_nAutoMin[2 * k + 1],
                view.m_nAutoMax[2 * k + 1]};
    return axisRanges(frame, kind);
}

void applyRanges(ViewState& view, const Ranges& r)
{
    view.m_nCh1Min = r.ch1Min;
    view.m_nCh1Max = r.ch1Max;
    view.m_nCh2Min = r.ch2Min;
    view.m_nCh2Max = r.ch2Max;
}

int fullBandHeight(const FrameState& frame)
{
    return frame.m_bInfoDialog == 1 ? kBandFull : 0;
}

int rtScaleLevel(int points, const std::array<int, 100>& steps, int current)
{
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (points <= steps[i])
            return static_cast<int>(i);
    return current;
}

Extremes transientExtremes(std::span<const float> samples, int first, int last)
{
    // The window comes from the record list or the mode command; keep it inside the
    // stored samples whatever it says.
    const long long size = static_cast<long long>(samples.size());
    const long long from = std::clamp<long long>(first - 1LL, 0, size);
    const long long to = std::clamp<long long>(last, from, size);
    Extremes e; // -1000 / 1000
    for (long long i = from; i < to; ++i) {
        const float v = samples[static_cast<std::size_t>(i)];
        if (v >= e.max) {
            e.max = v;
            e.maxIndex = static_cast<int>(i);
        }
        if (v <= e.min) {
            e.min = v;
            e.minIndex = static_cast<int>(i);
        }
    }
    return e;
}

void storeRmsBandTexts(ViewState& view)
{
    RecInfoTexts& band = view.m_recInfo;
    band.m_strMode = QStringLiteral("STORE RMS");
    band.m_strRate = cnum::fixed(view.m_fInterval, 0) + QStringLiteral(" s");
    band.m_strStart = formatPointTime(view.m_tStoreStart);
    band.m_strCount = QString::asprintf("%d", view.m_nStoreCount);
    if (view.m_bShowCh1 == 1) {
        band.m_strCh1Max = view.m_strCh1Max;
        band.m_strCh1Min = view.m_strCh1Min;
    }
    if (view.m_bShowCh2 == 1) {
        band.m_strCh2Max = view.m_strCh2Max;
        band.m_strCh2Min = view.m_strCh2Min;
    }
}

void realTimeBandTexts(ViewState& view, Mode mode)
{
    RecInfoTexts& band = view.m_recInfo;
    switch (mode) {
    case Mode::RtRms:
        band.m_strMode = QStringLiteral("REAL TIME RMS");
        break;
    case Mode::RtFreq:
        band.m_strMode = QStringLiteral("REAL TIME F(Hz)");
        break;
    case Mode::RtPowerS:
        band.m_strMode = QStringLiteral("REAL TIME S(VA)");
        break;
    default:
        return;
    }
    band.m_strRate = QString::asprintf("%d", view.m_nRtSampleRate);
    band.m_strStart = formatPointTime(view.m_tRtStart);
    band.m_strCount = QString::asprintf("%d", view.m_nRtCount);
    if (mode == Mode::RtPowerS) {
        band.m_strCh1Max = view.m_strRtPowerMax;
        band.m_strCh1Min = view.m_strRtPowerMin;
        return;
    }
    const bool freq = mode == Mode::RtFreq;
    if (view.m_bShowCh1 == 1) {
        band.m_strCh1Max = freq ? view.m_strRtFreqMax1 : view.m_strRtRmsMax1;
        band.m_strCh1Min = freq ? view.m_strRtFreqMin1 : view.m_strRtRmsMin1;
    }
    if (view.m_bShowCh2 == 1) {
        band.m_strCh2Max = freq ? view.m_strRtFreqMax2 : view.m_strRtRmsMax2;
        band.m_strCh2Min = freq ? view.m_strRtFreqMin2 : view.m_strRtRmsMin2;
    }
}

void storeTransientTexts(ViewState& view, const CDTDoc& doc, int record, const Extremes& e)
{
    const int autoMin = truncSaturated(e.min - 10.0);
    const int autoMax = truncSaturated(e.max + 10.0);
    view.m_nAutoMin[2] = view.m_nAutoMin[3] = autoMin;
    view.m_nAutoMax[2] = view.m_nAutoMax[3] = autoMax;
    if (view.m_bAutoScale[1] == 1)
        applyRanges(view, {autoMin, autoMax, autoMin, autoMax});

    RecInfoTexts& band = view.m_recInfo;
    band.m_strMode = QStringLiteral("STORE TR");
    band.m_strRate = QStringLiteral("0.0874 ms");
    const auto& times = doc.m_pTrTimes;
    if (times.empty()) {
        band.m_strStart.clear();
    } else {
        const auto last = static_cast<int>(times.size()) - 1;
        band.m_strStart =
            formatPointTime(times[static_cast<std::size_t>(std::clamp(record, 0, last))]);
    }
    band.m_strCount = QString::number(kTrSamples);
    const auto number = [](float v) { return cnum::fixed(v, 0) + QLatin1Char(' '); };
    if (view.m_bShowCh1 == 1) {
        band.m_strCh1Max = number(e.max) + view.m_strUnit1;
        band.m_strCh1Min = number(e.min) + view.m_strUnit1;
    }
    if (view.m_bShowCh2 == 1) {
        band.m_strCh2Max = number(e.max) + view.m_strUnit2;
        band.m_strCh2Min = number(e.min) + view.m_strUnit2;
    }

    QString unit;
    if (view.m_bShowCh2 == 1)
        unit = view.m_strUnit2;
    else if (view.m_bShowCh1 == 1)
        unit = view.m_strUnit1;
    band.m_strLevelHi = cnum::fixed(view.m_fRiseLevel, 0) + unit;
    band.m_strLevelLow = cnum::fixed(view.m_fDropLevel, 0) + unit;
}

QString powerSText(const QString& ch1Rms, const QString& ch2Rms)
{
    const float a = leadingNumber(ch1Rms);
    const float b = leadingNumber(ch2Rms);
    if (a > 7.0f && b > 7.0f)
        return cnum::fixed(a * b, 0);
    return QStringLiteral("LO");
}

} // namespace modes
