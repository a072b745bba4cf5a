#include "link/download_parse.h"

#include <algorithm>
#include <cmath>

#include "display/point_time.h"
#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "platform/printf_number.h"
#include "platform/truncation.h"

namespace download {

namespace {

constexpr std::size_t kRecordBytes = wire::kTransientRecordSize;
constexpr std::size_t kRecordTimeAt = 4;
constexpr std::size_t kRecordSamplesAt = 10;

bool presentFlag(std::uint8_t flag)
{
    return flag == 1;
}

} // namespace

HeaderInfo applyHeader(const wire::DownloadHeader& header, ViewState& view)
{
    HeaderInfo info;
    const int k = header.valuesPerSample;
    info.valuesPerSample = k;
    view.m_nValuesPerSample = header.valuesPerSample;

    bool present1 = presentFlag(view.m_bStoreCh1);
    bool present2 = presentFlag(view.m_bStoreCh2);
    wire::applyChannelType(header.ch1Type, present1, view.m_strStoreUnit1);
    wire::applyChannelType(header.ch2Type, present2, view.m_strStoreUnit2);
    view.m_bStoreCh1 = present1 ? 1 : 0;
    view.m_bStoreCh2 = present2 ? 1 : 0;

    info.totalBytes = header.totalBytes;
    info.startAddress = header.startAddress;

    blankBand(view);

    if (const auto seconds = wire::intervalSeconds(header.rateUnit, header.intervalValue))
        view.m_fInterval = static_cast<float>(*seconds);
    view.m_fRiseLevel = header.riseLevel;
    view.m_fDropLevel = header.dropLevel;
    view.m_tStoreStart = header.start.toTimeT();

    if (k > 0) {
        info.wrapA = header.wrapA / static_cast<std::uint32_t>(k);
        info.wrapB = header.wrapB / static_cast<std::uint32_t>(k);
    }
    return info;
}

void blankBand(ViewState& view)
{
    RecInfoTexts& band = view.m_recInfo;
    band.m_strMode = band.m_strRate = QStringLiteral("    ");
    band.m_strCount = band.m_strCh1Max = band.m_strCh1Min = QStringLiteral("       ");
    band.m_strStart.clear();
}

ParsedStream parseStream(wire::Bytes data, int valuesPerSample, bool ch1Present, bool ch2Present)
{
    ParsedStream out;
    if (valuesPerSample <= 0)
        return out;
    const std::size_t step = 2u * static_cast<std::size_t>(valuesPerSample);
    const std::size_t size = data.size();

    // One walk: count what lies wholly inside the data. A record mark whose 512 bytes
    // run past the end, or a sample step cut short, ends the walk.
    std::size_t samples = 0;
    std::size_t records = 0;
    std::size_t end = 0;
    for (std::size_t i = 0; i < size;) {
        if (wire::TransientRecord::startsAt(data, i)) {
            if (size - i < kRecordBytes)
                break;
            ++records;
            i += kRecordBytes;
        } else {
            if (size - i < step)
                break;
            ++samples;
            i += step;
        }
        end = i;
    }

    out.storeCount = static_cast<int>(samples);
    out.trCount = static_cast<int>(records);
    if (ch1Present)
        out.ch1.assign(samples, 0.0f);
    if (ch2Present)
        out.ch2.assign(samples, 0.0f);
    out.trData.reserve(records * wire::kTransientSamples);
    out.trTimes.reserve(records);
    out.trQuantity.reserve(records);
    out.trChannel.reserve(records);

    std::size_t n = 0;
    for (std::size_t i = 0; i < end;) {
        if (wire::TransientRecord::startsAt(data, i)) {
            const wire::Bytes record = data.subspan(i, kRecordBytes);
            out.trQuantity.push_back(record[2]);
            out.trChannel.push_back(record[3]);
            out.trTimes.push_back(
                wire::BcdTime::decode(record.subspan(kRecordTimeAt, 6)).toTimeT());
            for (std::size_t s = 0; s < wire::kTransientSamples; ++s)
                out.trData.push_back(wire::readBe16Signed(record, kRecordSamplesAt + 2 * s));
            i += kRecordBytes;
            continue;
        }
        if (valuesPerSample == 2) {
            if (ch1Present)
                out.ch1[n] = static_cast<float>(wire::readBe16Signed(data, i) * 0.1);
            if (ch2Present)
                out.ch2[n] = static_cast<float>(wire::readBe16Signed(data, i + 2) * 0.1);
        } else if (valuesPerSample == 1) {
            const float value = static_cast<float>(wire::readBe16Signed(data, i) * 0.1);
            if (ch1Present)
                out.ch1[n] = value;
            if (ch2Present)
                out.ch2[n] = value;
        }
        ++n;
        i += step;
    }
    return out;
}

std::time_t wrapShiftedStart(std::time_t start, float interval, std::uint32_t totalBytes,
                             int valuesPerSample, int storeCount, std::int64_t wrapA,
                             std::int64_t wrapB)
{
    if (valuesPerSample <= 0)
        return start;
    const std::int64_t tail =
        static_cast<std::int64_t>((totalBytes % wire::kDataBlockSize) / 2) / valuesPerSample;
    const std::int64_t steps = tail - storeCount + wrapA + wrapB;
    const double seconds = std::trunc(static_cast<double>(steps) * static_cast<double>(interval));
    return start + static_cast<std::time_t>(seconds);
}

QString maximumText(float value, const QString& unit, const QString& timeText)
{
    return cnum::fixed(value, 1) + QLatin1Char(' ') + unit + QStringLiteral(" @") + timeText;
}

QString minimumText(float value, const QString& unit, const QString& timeText)
{
    return cnum::fixed(value, 1) + unit + QStringLiteral(" @") + timeText;
}

void storeDownload(wire::Bytes data, const HeaderInfo& info, CDTDoc& doc, ViewState& view)
{
    const bool ch1 = view.m_bStoreCh1 == 1;
    const bool ch2 = view.m_bStoreCh2 == 1;
    ParsedStream parsed = parseStream(data, info.valuesPerSample, ch1, ch2);
    const int n = parsed.storeCount;
    const int m = parsed.trCount;

    view.m_nTrCount = m;
    view.m_nStoreCount = n;
    if (info.startAddress != 0)
        view.m_tStoreStart = wrapShiftedStart(view.m_tStoreStart, view.m_fInterval, info.totalBytes,
                                              info.valuesPerSample, n, info.wrapA, info.wrapB);

    doc.m_pCh1Data = std::move(parsed.ch1);
    doc.m_pCh2Data = std::move(parsed.ch2);
    doc.m_pTrData = std::move(parsed.trData);
    doc.m_pTrTimes = std::move(parsed.trTimes);
    view.m_pTrQuantity = std::move(parsed.trQuantity);
    view.m_pTrChannel = std::move(parsed.trChannel);
    view.allocatePlotCaches(std::max({n, kTrSamples * m, 100000, view.m_nRtCount}));

    // Times of the extremes on the stored-RMS time base, whatever mode is shown now.
    const auto timeOf = [&view](int index) {
        return index < 0 ? QString()
                         : formatPointTime(
                             storeRmsPointTime(view.m_tStoreStart, view.m_fInterval, index));
    };
    const Extremes e1 = findExtremes(doc.m_pCh1Data);
    const Extremes e2 = findExtremes(doc.m_pCh2Data);

    view.m_bAutoScale = {1, 1};
    const auto setLimits = [&view](int c, const Extremes& e) {
        view.m_nAutoMin[static_cast<std::size_t>(c)] = truncSaturated(e.min - 10.0);
        view.m_nAutoMax[static_cast<std::size_t>(c)] = truncSaturated(e.max + 10.0);
    };
    if (ch1 && ch2) {
        setLimits(0, e1);
        setLimits(1, e2);
    } else if (ch1 || ch2) {
        const Extremes& e = ch1 ? e1 : e2;
        setLimits(0, e);
        setLimits(1, e);
    }
    if (ch1 || ch2) {
        view.m_nCh1Min = view.m_nAutoMin[0];
        view.m_nCh1Max = view.m_nAutoMax[0];
        view.m_nCh2Min = view.m_nAutoMin[1];
        view.m_nCh2Max = view.m_nAutoMax[1];
    }

    if (ch1) {
        view.m_strCh1Max = maximumText(e1.max, view.m_strStoreUnit1, timeOf(e1.maxIndex));
        view.m_strCh1Min = minimumText(e1.min, view.m_strStoreUnit1, timeOf(e1.minIndex));
    }
    if (ch2) {
        view.m_strCh2Max = maximumText(e2.max, view.m_strStoreUnit2, timeOf(e2.maxIndex));
        view.m_strCh2Min = minimumText(e2.min, view.m_strStoreUnit2, timeOf(e2.minIndex));
    }

    // The detection levels the band keeps from a transient display were the old data's.
    view.m_recInfo.m_strLevelHi.clear();
    view.m_recInfo.m_strLevelLow.clear();

    doc.m_strFileTag = kTagStored;
    view.m_nFirstPoint = 1;
    view.m_nLastPoint = n;
}

} // namespace download
