#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "document_fixture.h"
#include "support/test_env.h"

namespace {

// Builds file bytes field by field, independently of the document code.
struct Bytes {
    QByteArray b;
    Bytes& i32(qint32 v)
    {
        char x[4];
        qToLittleEndian(v, x);
        b.append(x, 4);
        return *this;
    }
    Bytes& u8(quint8 v)
    {
        b.append(char(v));
        return *this;
    }
    Bytes& f32(float v)
    {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        return i32(qint32(bits));
    }
    Bytes& str(const QByteArray& s)
    {
        u8(quint8(s.size()));
        b.append(s);
        return *this;
    }
    Bytes& date(int y, int mo, int d, int h, int mi, int s)
    {
        return i32(y).i32(mo).i32(d).i32(h).i32(mi).i32(s);
    }
};

struct Fixture : documenttest::DocumentWithView {
    void allocate() { view.allocatePlotCaches(1000); }
};

using testenv::localTime;

// A two-channel document with two transient records.
void fillSample(Fixture& f)
{
    f.doc.m_strFileTag = QStringLiteral("RMSTRDATA");
    f.view.m_nStoreCount = 3;
    f.view.m_bStoreCh1 = 1;
    f.view.m_bStoreCh2 = 1;
    f.view.m_fInterval = 10.0f;
    f.view.m_tStoreStart = localTime(2008, 5, 6, 7, 8, 9);
    f.doc.m_pCh1Data = {1.5f, 2.5f, 3.5f};
    f.doc.m_pCh2Data = {-1.0f, 0.0f, 230.1f};
    f.view.m_strCh1Max = QStringLiteral("3.5V @06/05/08 07:08:29");
    f.view.m_strCh1Min = QStringLiteral("1.5V @06/05/08 07:08:09");
    f.view.m_strStoreUnit1 = QStringLiteral("V");
    f.view.m_strStoreUnit2 = QStringLiteral("A");
    f.view.m_strCh2Max = QStringLiteral("230.1A");
    f.view.m_strCh2Min = QStringLiteral("-1.0A");
    f.view.m_nTrCount = 2;
    f.view.m_pTrChannel = {0xF1, 0xF2};
    f.view.m_pTrQuantity = {0xFA, 0xFC};
    f.doc.m_pTrTimes = {localTime(2009, 1, 2, 3, 4, 5), localTime(2010, 12, 31, 23, 59, 58)};
    f.doc.m_pTrData.resize(2 * kTrSamples);
    for (int i = 0; i < 2 * kTrSamples; ++i)
        f.doc.m_pTrData[i] = float(i) * 0.5f;
    f.view.m_fRiseLevel = 500.0f;
    f.view.m_fDropLevel = 100.0f;
    f.view.m_nAutoMax = {300, 250, 7, 8};
    f.view.m_nAutoMin = {-10, -20, 9, 10};
}

TEST(StdataFile, store_writes_the_layout_byte_for_byte)
{
    Fixture f;
    fillSample(f);
    Bytes want;
    want.str("RMSTRDATA").i32(3).u8(1).u8(1).f32(10.0f).date(2008, 5, 6, 7, 8, 9);
    want.f32(1.5f).f32(2.5f).f32(3.5f);
    want.str("3.5V @06/05/08 07:08:29").str("1.5V @06/05/08 07:08:09").str("V").str("A");
    want.f32(-1.0f).f32(0.0f).f32(230.1f).str("230.1A").str("-1.0A");
    want.i32(2);
    want.u8(0xF1).u8(0xFA).date(2009, 1, 2, 3, 4, 5);
    want.u8(0xF2).u8(0xFC).date(2010, 12, 31, 23, 59, 58);
    for (int i = 0; i < 2 * kTrSamples; ++i)
        want.f32(float(i) * 0.5f);
    want.f32(500.0f).f32(100.0f).i32(300).i32(-10).i32(250).i32(-20);
    EXPECT_EQ(f.doc.StoreToBytes().toHex(), want.b.toHex());
}

TEST(StdataFile, round_trip_restores_every_field)
{
    Fixture a;
    fillSample(a);
    const QByteArray bytes = a.doc.StoreToBytes();

    Fixture b;
    b.view.m_nDisplayMode = 0;
    b.doc.LoadFromBytes(bytes);
    EXPECT_EQ(b.doc.m_strReadTag, QStringLiteral("RMSTRDATA"));
    EXPECT_EQ(b.view.m_nStoreCount, 3);
    EXPECT_EQ(b.view.m_bStoreCh1, 1);
    EXPECT_EQ(b.view.m_bStoreCh2, 1);
    EXPECT_EQ(b.view.m_fInterval, 10.0f);
    EXPECT_EQ(b.view.m_tStoreStart, a.view.m_tStoreStart);
    EXPECT_EQ(b.doc.m_pCh1Data, a.doc.m_pCh1Data);
    EXPECT_EQ(b.doc.m_pCh2Data, a.doc.m_pCh2Data);
    EXPECT_EQ(b.view.m_strCh1Max, a.view.m_strCh1Max);
    EXPECT_EQ(b.view.m_strCh1Min, a.view.m_strCh1Min);
    EXPECT_EQ(b.view.m_strCh2Max, a.view.m_strCh2Max);
    EXPECT_EQ(b.view.m_strCh2Min, a.view.m_strCh2Min);
    EXPECT_EQ(b.view.m_strStoreUnit1, QStringLiteral("V"));
    EXPECT_EQ(b.view.m_strStoreUnit2, QStringLiteral("A"));
    EXPECT_EQ(b.view.m_nTrCount, 2);
    EXPECT_EQ(b.view.m_pTrChannel, a.view.m_pTrChannel);
    EXPECT_EQ(b.view.m_pTrQuantity, a.view.m_pTrQuantity);
    EXPECT_EQ(b.doc.m_pTrTimes, a.doc.m_pTrTimes);
    EXPECT_EQ(b.doc.m_pTrData, a.doc.m_pTrData);
    EXPECT_EQ(b.view.m_fRiseLevel, 500.0f);
    EXPECT_EQ(b.view.m_fDropLevel, 100.0f);
    EXPECT_EQ(b.view.m_nAutoMax[0], 300);
    EXPECT_EQ(b.view.m_nAutoMin[0], -10);
    EXPECT_EQ(b.view.m_nAutoMax[1], 250);
    EXPECT_EQ(b.view.m_nAutoMin[1], -20);
    // What the load sets for the display.
    EXPECT_EQ(b.view.m_bAutoScale[0], 1);
    EXPECT_EQ(b.view.m_bAutoScale[1], 1);
    EXPECT_EQ(b.view.m_bFromFile, 1);
    EXPECT_EQ(b.view.m_bNewDocument, 1);
    EXPECT_EQ(b.view.m_bCursorReady, 0);
    EXPECT_EQ(b.view.m_bListDirty, 1);
    EXPECT_EQ(b.view.m_nDisplayMode, 1);
    EXPECT_EQ(b.view.plotCacheCapacity(), kFramePoints); // never less than one frame
    EXPECT_EQ(b.view.m_pPlotPixels.size(), std::size_t(6 * kFramePoints));
}

TEST(StdataFile, small_documents_and_channel_presence)
{
    // M = 0 and one point: the levels and extremes follow field 16 directly, and the
    // caches still hold one real-time frame.
    Fixture f;
    f.view.m_strStoreUnit1 = QStringLiteral("keep1");
    f.view.m_strStoreUnit2 = QStringLiteral("keep2");
    Bytes b;
    b.str("RMSTRDATA").i32(1).u8(0).u8(1).f32(1.0f).date(2008, 1, 1, 0, 0, 0);
    b.f32(42.0f).str("max2").str("min2");
    b.i32(0).f32(5.0f).f32(6.0f).i32(1).i32(2).i32(3).i32(4);
    f.doc.LoadFromBytes(b.b);
    EXPECT_EQ(f.doc.m_pCh1Data.size(), 0u);
    EXPECT_EQ(f.doc.m_pCh2Data, std::vector<float>{42.0f});
    // Channel 2 only carries no unit text: the view's texts stay.
    EXPECT_EQ(f.view.m_strStoreUnit1, QStringLiteral("keep1"));
    EXPECT_EQ(f.view.m_strStoreUnit2, QStringLiteral("keep2"));
    EXPECT_EQ(f.view.m_strCh2Max, QStringLiteral("max2"));
    EXPECT_EQ(f.view.m_nTrCount, 0);
    EXPECT_EQ(f.view.m_fRiseLevel, 5.0f);
    EXPECT_EQ(f.view.m_nAutoMin[1], 4);
    EXPECT_EQ(f.view.plotCacheCapacity(), kFramePoints);

    // A presence byte of 2 is absent: no series or texts follow for it, and it is
    // stored as held.
    Fixture g;
    Bytes c;
    c.str("RMSTRDATA").i32(2).u8(2).u8(0).f32(1.0f).date(2008, 1, 1, 0, 0, 0);
    c.i32(0).f32(0).f32(0).i32(0).i32(0).i32(0).i32(0);
    g.doc.LoadFromBytes(c.b);
    EXPECT_EQ(g.view.m_bStoreCh1, 2);
    EXPECT_TRUE(g.doc.m_pCh1Data.empty());
    EXPECT_EQ(g.doc.StoreToBytes().mid(0, 16), c.b.mid(0, 16));
}

TEST(StdataFile, long_texts_and_untagged_documents)
{
    Fixture a;
    fillSample(a);
    a.doc.m_strFileTag.clear();
    a.view.m_strCh1Max = QString(300, QLatin1Char('m'));
    const QByteArray bytes = a.doc.StoreToBytes();
    // A document without a tag is stored as stored data, so it opens again.
    EXPECT_TRUE(bytes.startsWith("\x09RMSTRDATA"));
    Fixture b;
    b.doc.LoadFromBytes(bytes);
    EXPECT_EQ(b.view.m_strCh1Max, a.view.m_strCh1Max);
}

TEST(StdataFile, real_time_documents_load_like_stored_ones)
{
    Fixture a;
    fillSample(a);
    a.doc.m_strFileTag = QStringLiteral("EPADATA");
    Fixture b;
    b.doc.LoadFromBytes(a.doc.StoreToBytes());
    EXPECT_EQ(b.doc.m_strReadTag, QStringLiteral("EPADATA"));
    EXPECT_EQ(b.doc.m_pCh1Data, a.doc.m_pCh1Data);
    EXPECT_EQ(b.view.m_nTrCount, 2);
}

TEST(StdataFile, wrong_tag_is_refused_and_changes_nothing)
{
    Fixture f;
    fillSample(f);
    const LoadOutcome outcome =
        f.doc.LoadFromBytes(QByteArray("\x05Hello world, this is a text file\r\n"));
    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(outcome.refusal, LoadRefusal{QStringLiteral("Invalid Format!")});
    EXPECT_EQ(f.view.m_nStoreCount, 3);
    EXPECT_EQ(f.doc.m_pCh1Data.size(), 3u);
    EXPECT_EQ(f.view.m_bNewDocument, 0);
    EXPECT_EQ(f.view.m_bFromFile, 0);
}

TEST(StdataFile, damaged_files_fail_and_leave_everything_as_it_was)
{
    Fixture a;
    fillSample(a);
    const QByteArray good = a.doc.StoreToBytes();

    auto expectUnchanged = [](const QByteArray& bytes) {
        Fixture f;
        fillSample(f);
        f.allocate();
        EXPECT_THROW(f.doc.LoadFromBytes(bytes), ArchiveError);
        EXPECT_EQ(f.view.m_nStoreCount, 3);
        EXPECT_EQ(f.view.m_nTrCount, 2);
        EXPECT_EQ(f.doc.m_pCh1Data.size(), 3u);
        EXPECT_EQ(f.doc.m_pTrData.size(), std::size_t(2 * kTrSamples));
        EXPECT_EQ(f.view.m_pTrChannel.size(), 2u);
        EXPECT_EQ(f.view.plotCacheCapacity(), 1000);
        EXPECT_EQ(f.view.m_bNewDocument, 0);
    };
    // Cut inside the transient samples, and cut just before the last field.
    expectUnchanged(good.left(good.size() - 24 - 100));
    expectUnchanged(good.left(good.size() - 1));

    // Negative and huge counts.
    Bytes neg;
    neg.str("RMSTRDATA").i32(-5).u8(1).u8(0).f32(1.0f).date(2008, 1, 1, 0, 0, 0);
    expectUnchanged(neg.b);
    Bytes huge;
    huge.str("RMSTRDATA").i32(0x7fffffff).u8(1).u8(1).f32(1.0f).date(2008, 1, 1, 0, 0, 0);
    huge.f32(1.0f);
    expectUnchanged(huge.b);
    Bytes manyRecords;
    manyRecords.str("RMSTRDATA").i32(0).u8(0).u8(0).f32(1.0f).date(2008, 1, 1, 0, 0, 0);
    manyRecords.i32(0x7fffffff).u8(0xF1).u8(0xFA);
    expectUnchanged(manyRecords.b);
    // Points without any series: a count no download can reach is no document.
    for (const qint32 points : {0x7fffffff, 10000000, 262145}) {
        Bytes unbacked;
        unbacked.str("RMSTRDATA").i32(points).u8(0).u8(2).f32(1.0f).date(2008, 1, 1, 0, 0, 0);
        unbacked.i32(0).f32(0).f32(0).i32(0).i32(0).i32(0).i32(0);
        expectUnchanged(unbacked.b);
    }
    // Wide-string markers, one after another, where the tag should be.
    expectUnchanged(QByteArray("\xff\xfe\xff").repeated(200000));
    Bytes negRecords;
    negRecords.str("RMSTRDATA").i32(0).u8(0).u8(0).f32(1.0f).date(2008, 1, 1, 0, 0, 0);
    negRecords.i32(-1).f32(0).f32(0).i32(0).i32(0).i32(0).i32(0);
    expectUnchanged(negRecords.b);
}

TEST(StdataFile, the_largest_downloads_load_and_memory_follows_the_file)
{
    // A whole logger memory of one-value samples, with and without a series.
    constexpr int kWholeMemory = 262144;
    for (const quint8 present : {0, 1}) {
        Fixture f;
        Bytes b;
        b.str("RMSTRDATA").i32(kWholeMemory).u8(present).u8(0).f32(1.0f);
        b.date(2008, 1, 1, 0, 0, 0);
        if (present) {
            b.b.append(QByteArray(4 * kWholeMemory, '\0'));
            b.str("max").str("min").str("V").str("A");
        }
        b.i32(0).f32(0).f32(0).i32(0).i32(0).i32(0).i32(0);
        ASSERT_NO_THROW(f.doc.LoadFromBytes(b.b));
        EXPECT_EQ(f.view.m_nStoreCount, kWholeMemory);
        EXPECT_EQ(f.doc.m_pCh1Data.size(), std::size_t(present ? kWholeMemory : 0));
        EXPECT_EQ(f.view.plotCacheCapacity(), kWholeMemory);
        EXPECT_EQ(f.doc.StoreToBytes(), b.b);
    }
}

TEST(StdataFile, impossible_dates_still_load)
{
    Fixture f;
    Bytes b;
    b.str("RMSTRDATA").i32(0).u8(0).u8(0).f32(1.0f).date(2165, 13, 0, 25, 61, 99);
    b.i32(1).u8(0xF1).u8(0xFA).date(-7, 0, 0, 0, 0, 0);
    for (int i = 0; i < kTrSamples; ++i)
        b.f32(0.0f);
    b.f32(0).f32(0).i32(0).i32(0).i32(0).i32(0);
    ASSERT_NO_THROW(f.doc.LoadFromBytes(b.b));
    EXPECT_EQ(f.view.m_nTrCount, 1);
    // Month 13 of 2165 is January 2166 once normalised.
    EXPECT_EQ(localDateFields(f.view.m_tStoreStart).year, 2166);
    // A year before 1900 is clamped to the first second of 1900.
    const DateFields first = localDateFields(f.doc.m_pTrTimes[0]);
    EXPECT_EQ(first.year, 1900);
    EXPECT_EQ(first.month, 1);
    EXPECT_EQ(first.second, 0);

    // Dates far outside any real range: what a load makes of them is stored and
    // read back as itself.
    const int far[][6] = {{2147483647, 2147483647, 2147483647, 2147483647, 2147483647, 2147483647},
                          {-2147483647 - 1, -2147483647, -40001, -100001, 0, 0},
                          {101899, 1201, 40000, 99999, 999999, 999999},
                          {9999, 12, 31, 23, 59, 60},
                          {1899, 12, 31, 23, 59, 59}};
    for (const auto& d : far) {
        Fixture g;
        Bytes c;
        c.str("RMSTRDATA").i32(0).u8(0).u8(0).f32(1.0f).date(d[0], d[1], d[2], d[3], d[4], d[5]);
        c.i32(0).f32(0).f32(0).i32(0).i32(0).i32(0).i32(0);
        g.doc.LoadFromBytes(c.b);
        const std::time_t clamped = g.view.m_tStoreStart;
        const int year = localDateFields(clamped).year;
        EXPECT_TRUE(year == 1900 || year == 9999) << year;
        const QByteArray stored = g.doc.StoreToBytes();
        g.doc.LoadFromBytes(stored);
        EXPECT_EQ(g.view.m_tStoreStart, clamped) << d[0];
        EXPECT_EQ(g.doc.StoreToBytes(), stored);
    }
}

} // namespace
