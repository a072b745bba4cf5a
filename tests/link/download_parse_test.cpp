#include "link/download_parse.h"

#include <gtest/gtest.h>

#include <cmath>

#include "display/point_time.h"
#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "support/test_env.h"

using namespace download;

namespace {

using testenv::localTime;

// Builds logger memory contents byte by byte, as the layout table gives them.
struct Stream {
    std::vector<std::uint8_t> bytes;

    Stream& value(int v)
    {
        const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        return *this;
    }
    // A transient record: mark, quantity, channel, BCD time, 251 samples first + i.
    Stream& record(std::uint8_t quantity, std::uint8_t channel, std::array<std::uint8_t, 6> bcdTime,
                   int first)
    {
        bytes.insert(bytes.end(), {0x7F, 0xFF, quantity, channel});
        bytes.insert(bytes.end(), bcdTime.begin(), bcdTime.end());
        for (int i = 0; i < 251; ++i)
            value(first + i);
        return *this;
    }
    wire::Bytes span() const { return {bytes.data(), bytes.size()}; }
};

wire::DownloadHeader header(std::uint8_t k, std::uint8_t t1, std::uint8_t t2, std::uint32_t total)
{
    std::vector<std::uint8_t> raw(28, 0);
    raw[0] = 0xDD;
    raw[1] = k;
    raw[2] = t1;
    raw[3] = t2;
    raw[4] = static_cast<std::uint8_t>(total >> 16);
    raw[5] = static_cast<std::uint8_t>(total >> 8);
    raw[6] = static_cast<std::uint8_t>(total);
    raw[10] = 0x20; // minutes
    raw[11] = 2;
    raw[12] = 0x01;
    raw[13] = 0xF4; // 500
    raw[14] = 0xFF;
    raw[15] = 0x9C; // -100
    const std::uint8_t t[6] = {0x09, 0x03, 0x07, 0x14, 0x05, 0x09};
    std::copy(std::begin(t), std::end(t), raw.begin() + 16);
    raw[24] = 6; // A = 6
    raw[27] = 4; // B = 4
    const auto decoded = wire::DownloadHeader::decode({raw.data(), raw.size()});
    EXPECT_TRUE(decoded.ok());
    return decoded.value;
}

} // namespace

TEST(DownloadParse, header_sets_channels_interval_levels_start_and_blanks_the_band)
{
    ViewState view;
    view.m_recInfo.m_strMode = "STORE RMS";
    const HeaderInfo info = applyHeader(header(2, 1, 0, 1000), view);
    EXPECT_EQ(view.m_nValuesPerSample, 2);
    EXPECT_EQ(view.m_bStoreCh1, 1);
    EXPECT_EQ(view.m_strStoreUnit1, "V");
    EXPECT_EQ(view.m_bStoreCh2, 1);
    EXPECT_EQ(view.m_strStoreUnit2, "A");
    EXPECT_FLOAT_EQ(view.m_fInterval, 120.0f);
    EXPECT_FLOAT_EQ(view.m_fRiseLevel, 500.0f);
    EXPECT_FLOAT_EQ(view.m_fDropLevel, -100.0f);
    EXPECT_EQ(view.m_tStoreStart, localTime(2009, 3, 7, 14, 5, 9));
    EXPECT_EQ(info.totalBytes, 1000u);
    EXPECT_EQ(info.wrapA, 3); // 6 / K
    EXPECT_EQ(info.wrapB, 2); // 4 / K
    EXPECT_EQ(view.m_recInfo.m_strMode, "    ");
    EXPECT_EQ(view.m_recInfo.m_strRate, "    ");
    EXPECT_EQ(view.m_recInfo.m_strCount, "       ");
    EXPECT_EQ(view.m_recInfo.m_strCh1Max, "       ");

    // An unknown type byte keeps the channel, 0xFF switches it off, an unknown rate
    // unit keeps the interval.
    auto h = header(1, 7, 0xFF, 10);
    h.rateUnit = 0x40;
    applyHeader(h, view);
    EXPECT_EQ(view.m_bStoreCh1, 1);
    EXPECT_EQ(view.m_strStoreUnit1, "V");
    EXPECT_EQ(view.m_bStoreCh2, 0);
    EXPECT_FLOAT_EQ(view.m_fInterval, 120.0f);
}

TEST(DownloadParse, rms_samples_and_transient_records_are_split_at_step_positions)
{
    // K = 2, 4 samples, a record, 6 samples: total = 512 + 4 x 10.
    Stream s;
    for (int i = 0; i < 4; ++i)
        s.value(2300 + i).value(-15 - i);
    s.record(0xFC, 0xF2, {0x10, 0x12, 0x31, 0x23, 0x59, 0x58}, -125);
    for (int i = 4; i < 10; ++i)
        s.value(2300 + i).value(-15 - i);
    ASSERT_EQ(s.bytes.size(), 552u);

    const ParsedStream p = parseStream(s.span(), 2, true, true);
    EXPECT_EQ(p.trCount, 1);
    EXPECT_EQ(p.storeCount, 10);
    ASSERT_EQ(p.ch1.size(), 10u);
    ASSERT_EQ(p.ch2.size(), 10u);
    EXPECT_FLOAT_EQ(p.ch1[0], 230.0f);
    EXPECT_FLOAT_EQ(p.ch1[9], 230.9f);
    EXPECT_FLOAT_EQ(p.ch2[4], -1.9f);
    ASSERT_EQ(p.trData.size(), 251u);
    EXPECT_FLOAT_EQ(p.trData[0], -125.0f);
    EXPECT_FLOAT_EQ(p.trData[250], 125.0f);
    EXPECT_EQ(p.trQuantity, std::vector<std::uint8_t>{0xFC});
    EXPECT_EQ(p.trChannel, std::vector<std::uint8_t>{0xF2});
    ASSERT_EQ(p.trTimes.size(), 1u);
    EXPECT_EQ(p.trTimes[0], localTime(2010, 12, 31, 23, 59, 58));
}

TEST(DownloadParse, one_value_per_sample_goes_to_every_present_channel)
{
    Stream s;
    s.value(100).value(-50).value(7);
    const ParsedStream only2 = parseStream(s.span(), 1, false, true);
    EXPECT_TRUE(only2.ch1.empty());
    EXPECT_EQ(only2.ch2, (std::vector<float>{10.0f, -5.0f, 0.7f}));
    const ParsedStream both = parseStream(s.span(), 1, true, true);
    EXPECT_EQ(both.ch1, both.ch2);
    EXPECT_EQ(both.storeCount, 3);
}

TEST(DownloadParse, stays_inside_data_and_arrays_whatever_the_header_claims)
{
    // K = 2 with channel 2 off: the second values have nowhere to go and are skipped.
    Stream s;
    s.value(10).value(20).value(30).value(40);
    ParsedStream p = parseStream(s.span(), 2, true, false);
    EXPECT_EQ(p.ch1, (std::vector<float>{1.0f, 3.0f}));
    EXPECT_TRUE(p.ch2.empty());

    // A total that is not a whole number of steps: the cut-off step is dropped.
    Stream odd = s;
    odd.bytes.push_back(0x12);
    odd.value(50);
    p = parseStream(odd.span(), 2, true, true);
    EXPECT_EQ(p.storeCount, 2);
    EXPECT_EQ(p.ch2, (std::vector<float>{2.0f, 4.0f}));

    // A transient record cut off by the end of the data: kept samples, record dropped.
    Stream cut;
    cut.value(1).value(2);
    cut.record(0xFA, 0xF1, {0x09, 0x03, 0x07, 0x14, 0x05, 0x09}, 0);
    cut.bytes.resize(4 + 300);
    p = parseStream(cut.span(), 2, true, true);
    EXPECT_EQ(p.storeCount, 1);
    EXPECT_EQ(p.trCount, 0);
    EXPECT_TRUE(p.trData.empty());

    // A lone mark byte at the very end is neither a record nor a step.
    Stream lone;
    lone.value(5);
    lone.bytes.push_back(0x7F);
    p = parseStream(lone.span(), 1, true, false);
    EXPECT_EQ(p.storeCount, 1);

    // K above 2: samples are counted, their arrays zero-filled.
    Stream wide;
    for (int i = 0; i < 9; ++i)
        wide.value(1000 + i);
    p = parseStream(wide.span(), 3, true, true);
    EXPECT_EQ(p.storeCount, 3);
    EXPECT_EQ(p.ch1, std::vector<float>(3, 0.0f));
    EXPECT_EQ(p.ch2, std::vector<float>(3, 0.0f));

    // No data, or K = 0.
    EXPECT_EQ(parseStream({}, 2, true, true).storeCount, 0);
    EXPECT_EQ(parseStream(s.span(), 0, true, true).storeCount, 0);
}

TEST(DownloadParse, erased_record_time_still_gives_a_defined_time)
{
    Stream s;
    s.record(0xFA, 0xF1, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0);
    const ParsedStream p = parseStream(s.span(), 2, true, true);
    ASSERT_EQ(p.trTimes.size(), 1u);
    const ParsedStream again = parseStream(s.span(), 2, true, true);
    EXPECT_EQ(p.trTimes[0], again.trTimes[0]);
    EXPECT_FALSE(formatPointTime(p.trTimes[0]).isEmpty());
}

TEST(DownloadParse, extremes_take_the_last_tie_and_work_beyond_a_thousand)
{
    const std::vector<float> ties{5.0f, 9.0f, 1.0f, 9.0f, 1.0f, 3.0f};
    Extremes e = findExtremes(ties);
    EXPECT_FLOAT_EQ(e.max, 9.0f);
    EXPECT_EQ(e.maxIndex, 3);
    EXPECT_FLOAT_EQ(e.min, 1.0f);
    EXPECT_EQ(e.minIndex, 4);

    const std::vector<float> low{-1500.0f, -1200.5f, -3000.0f};
    e = findExtremes(low);
    EXPECT_FLOAT_EQ(e.max, -1200.5f);
    EXPECT_EQ(e.maxIndex, 1);
    EXPECT_FLOAT_EQ(e.min, -3000.0f);

    const std::vector<float> high{1500.0f, 2000.0f};
    EXPECT_FLOAT_EQ(findExtremes(high).min, 1500.0f);

    e = findExtremes({});
    EXPECT_FLOAT_EQ(e.max, -1000.0f);
    EXPECT_FLOAT_EQ(e.min, 1000.0f);
    EXPECT_EQ(e.maxIndex, -1);
}

TEST(DownloadParse, wrapped_memory_moves_the_start_by_the_wrap_counts)
{
    const std::time_t start = localTime(2009, 3, 7, 14, 5, 9);
    // total 1000 bytes, K 2: ((1000 mod 512) / 2) / 2 = 122; N 250; A 3; B 2 -> -123.
    EXPECT_EQ(wrapShiftedStart(start, 60.0f, 1000, 2, 250, 3, 2), start - 123 * 60);
    EXPECT_EQ(wrapShiftedStart(start, 0.5f, 1000, 2, 250, 3, 2), start - 61); // -61.5
    EXPECT_EQ(wrapShiftedStart(start, 1.0f, 1024, 1, 0, 100, 0), start + 100);
}

TEST(DownloadParse, store_fills_document_view_texts_and_auto_limits)
{
    ViewState view;
    CDTDoc doc;
    view.m_nRtCount = 200000;
    HeaderInfo info = applyHeader(header(2, 1, 0, 0), view);
    view.m_fInterval = 10.0f;
    const std::time_t start = view.m_tStoreStart;

    Stream s;
    const int ch1[] = {2300, 2412, 2290, 2412, 2290};
    const int ch2[] = {-50, 15, 3, -50, 12};
    for (int i = 0; i < 5; ++i)
        s.value(ch1[i]).value(ch2[i]);
    s.record(0xFA, 0xF1, {0x09, 0x03, 0x07, 0x15, 0x00, 0x00}, 0);
    info.totalBytes = static_cast<std::uint32_t>(s.bytes.size());
    view.m_recInfo.m_strLevelHi = QStringLiteral("300V"); // of an earlier transient display
    view.m_recInfo.m_strLevelLow = QStringLiteral("100V");
    storeDownload(s.span(), info, doc, view);

    EXPECT_TRUE(view.m_recInfo.m_strLevelHi.isEmpty());
    EXPECT_TRUE(view.m_recInfo.m_strLevelLow.isEmpty());
    EXPECT_EQ(view.m_nStoreCount, 5);
    EXPECT_EQ(view.m_nTrCount, 1);
    EXPECT_EQ(doc.m_pCh1Data.size(), 5u);
    EXPECT_EQ(doc.m_pTrData.size(), 251u);
    EXPECT_EQ(view.m_pTrChannel, std::vector<std::uint8_t>{0xF1});
    EXPECT_EQ(doc.m_strFileTag, "RMSTRDATA");
    EXPECT_EQ(view.m_tStoreStart, start); // start address 0: no shift
    EXPECT_EQ(view.m_nFirstPoint, 1);
    EXPECT_EQ(view.m_nLastPoint, 5);
    EXPECT_EQ(view.plotCacheCapacity(), 200000);

    // Last tie wins: maximum 241.2 at sample 3 (+30 s), minimum 229.0 at sample 4.
    EXPECT_EQ(view.m_strCh1Max, "241.2 V @" + formatPointTime(start + 30));
    EXPECT_EQ(view.m_strCh1Min, "229.0V @" + formatPointTime(start + 40));
    EXPECT_EQ(view.m_strCh2Max, "1.5 A @" + formatPointTime(start + 10));
    EXPECT_EQ(view.m_strCh2Min, "-5.0A @" + formatPointTime(start + 30));

    EXPECT_EQ(view.m_bAutoScale[0], 1);
    EXPECT_EQ(view.m_bAutoScale[1], 1);
    EXPECT_EQ(view.m_nAutoMin[0], 219); // 229.0 - 10
    EXPECT_EQ(view.m_nAutoMax[0], 251); // 241.2 + 10 truncated
    EXPECT_EQ(view.m_nAutoMin[1], -15);
    EXPECT_EQ(view.m_nAutoMax[1], 11); // 11.5 truncated toward zero
    EXPECT_EQ(view.m_nCh1Min, 219);
    EXPECT_EQ(view.m_nCh2Max, 11);

    // The document stores and reloads what the download filled.
    ViewState view2;
    CDTDoc doc2;
    doc2.AddView(&view2);
    doc.AddView(&view);
    doc2.LoadFromBytes(doc.StoreToBytes());
    EXPECT_EQ(doc2.m_pCh1Data, doc.m_pCh1Data);
    EXPECT_EQ(doc2.m_pCh2Data, doc.m_pCh2Data);
    EXPECT_EQ(doc2.m_pTrData, doc.m_pTrData);
    EXPECT_EQ(view2.m_strCh1Max, view.m_strCh1Max);
}

TEST(DownloadParse, single_channel_limits_cover_both_channels)
{
    ViewState view;
    CDTDoc doc;
    HeaderInfo info = applyHeader(header(1, 0xFF, 1, 0), view);
    Stream s;
    s.value(-15000).value(-12000); // -1500 V and -1200 V: beyond the old seeds
    info.totalBytes = 4;
    storeDownload(s.span(), info, doc, view);
    EXPECT_TRUE(doc.m_pCh1Data.empty());
    EXPECT_EQ(view.m_nAutoMin[0], -1510);
    EXPECT_EQ(view.m_nAutoMax[0], -1190);
    EXPECT_EQ(view.m_nAutoMin[1], -1510);
    EXPECT_EQ(view.m_nAutoMax[1], -1190);
    EXPECT_EQ(view.m_nCh1Min, -1510);
    EXPECT_EQ(view.m_nCh2Max, -1190);

    // No sample at all: the seeds give 990 and -990.
    ViewState empty;
    CDTDoc doc3;
    HeaderInfo none = applyHeader(header(1, 1, 0xFF, 0), empty);
    storeDownload({}, none, doc3, empty);
    EXPECT_EQ(empty.m_nStoreCount, 0);
    EXPECT_EQ(empty.m_nAutoMin[0], 990);
    EXPECT_EQ(empty.m_nAutoMax[1], -990);
    EXPECT_TRUE(empty.m_strCh1Max.startsWith("-1000.0 V @"));
}
