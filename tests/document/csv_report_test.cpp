// The CSV reports, checked against lines written here from the report layout.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <cstdio>
#include <ctime>
#include <limits>

#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "document/csv_report.h"
#include "document_fixture.h"
#include "support/test_env.h"

namespace {

// 2026-12-08 07:54:36 UTC
constexpr std::time_t kStart = 1796716476;

const QByteArray kRmsTitle = "                         ELECTRIC POWER TEST REPORT(STORE RMS)";
const QByteArray kTrTitle = "                         ELECTRIC POWER TEST REPORT(STORE TR)";

QList<QByteArray> lines(const QByteArray& report)
{
    // Every line ends in CR LF: split on it and drop the empty piece after the last.
    QList<QByteArray> out;
    qsizetype from = 0;
    while (from < report.size()) {
        const qsizetype at = report.indexOf("\r\n", from);
        if (at < 0) {
            out << report.mid(from) + "<no CR LF>";
            break;
        }
        out << report.mid(from, at - from);
        from = at + 2;
    }
    return out;
}

QByteArray printfCell(const char* format, double value, const char* unit)
{
    char buf[512];
    std::snprintf(buf, sizeof buf, format, value);
    return QByteArray(buf) + unit;
}

struct Measurement : documenttest::DocumentWithView {
    void setRms(int n, bool ch1, bool ch2, float interval = 1.0f)
    {
        view.m_nStoreCount = n;
        view.m_bStoreCh1 = ch1 ? 1 : 0;
        view.m_bStoreCh2 = ch2 ? 1 : 0;
        view.m_strStoreUnit1 = QStringLiteral("V");
        view.m_strStoreUnit2 = QStringLiteral("A");
        view.m_tStoreStart = kStart;
        view.m_fInterval = interval;
        doc.m_pCh1Data.assign(ch1 ? n : 0, 0.0f);
        doc.m_pCh2Data.assign(ch2 ? n : 0, 0.0f);
        for (int i = 0; i < n; ++i) {
            if (ch1)
                doc.m_pCh1Data[i] = 200.0f + static_cast<float>(i % 977) * 0.05f;
            if (ch2)
                doc.m_pCh2Data[i] = static_cast<float>(i % 613) * 0.25f;
        }
    }
};

// The group of point j as the layout describes it, from independent arithmetic.
QByteArray rmsGroup(const Measurement& m, int j, const QByteArray& time)
{
    const QByteArray c1 = m.view.m_bStoreCh1 == 1 ? printfCell("%.1f", m.doc.m_pCh1Data[j - 1], "V")
                                                  : QByteArray("----");
    const QByteArray c2 = m.view.m_bStoreCh2 == 1 ? printfCell("%.1f", m.doc.m_pCh2Data[j - 1], "A")
                                                  : QByteArray("----");
    return QByteArray::number(j) + ",RMS," + c1 + "," + c2 + ", " + time + " ,";
}

} // namespace

TEST(RmsCsvReport, seventy_thousand_points_fill_two_columns)
{
    testenv::ScopedTimeZone utc;
    Measurement m;
    m.setRms(70000, true, true);
    const QList<QByteArray> l = lines(RmsCsvReport(m.doc, m.view));

    ASSERT_EQ(l.size(), 2 + 65536);
    EXPECT_EQ(l[0], kRmsTitle);
    EXPECT_EQ(l[1], "NO.,RMS,CH1,CH2,TIME,NO.,RMS,CH1,CH2,TIME,");
    // Row 1: point 1 at the start, point 65537 at start + 65536 s (18:12:16 later).
    EXPECT_EQ(l[2], rmsGroup(m, 1, "08/12/26 07:54:36") + rmsGroup(m, 65537, "09/12/26 02:06:52"));
    // Row 4464 is the last with a second group (point 70000); row 4465 has one.
    EXPECT_EQ(l[2 + 4463].count(",RMS,"), 2);
    EXPECT_TRUE(l[2 + 4463].startsWith("4464,RMS,"));
    EXPECT_NE(l[2 + 4463].indexOf(",70000,RMS,"), -1);
    EXPECT_EQ(l[2 + 4464].count(",RMS,"), 1);
    EXPECT_TRUE(l.back().startsWith("65536,RMS,"));
    EXPECT_EQ(l.back().count(",RMS,"), 1);
}

TEST(RmsCsvReport, exactly_one_column_and_the_empty_report)
{
    testenv::ScopedTimeZone utc;
    Measurement m;
    m.setRms(65536, true, true);
    QList<QByteArray> l = lines(RmsCsvReport(m.doc, m.view));
    ASSERT_EQ(l.size(), 2 + 65536);
    EXPECT_EQ(l[1], "NO.,RMS,CH1,CH2,TIME,");
    for (int row : {1, 2, 65536})
        EXPECT_EQ(l[1 + row].count(",RMS,"), 1) << row;
    // 65535 s after 07:54:36 on the 8th is 02:06:51 on the 9th.
    EXPECT_EQ(l.back(), rmsGroup(m, 65536, "09/12/26 02:06:51"));

    m.setRms(3, true, false);
    l = lines(RmsCsvReport(m.doc, m.view));
    EXPECT_EQ(l.size(), 2 + 3);

    m.setRms(0, true, true);
    EXPECT_EQ(RmsCsvReport(m.doc, m.view), kRmsTitle + "\r\n\r\n");
    m.view.m_nStoreCount = -5; // a damaged count writes no rows either
    EXPECT_EQ(RmsCsvReport(m.doc, m.view), kRmsTitle + "\r\n\r\n");
}

TEST(RmsCsvReport, absent_channel_and_fractional_interval)
{
    testenv::ScopedTimeZone utc;
    Measurement m;
    m.setRms(5, true, false, 0.5f);
    m.doc.m_pCh1Data = {230.5f, 0.25f, 0.35f, -1.25f, 1234.56f};
    const QList<QByteArray> l = lines(RmsCsvReport(m.doc, m.view));
    ASSERT_EQ(l.size(), 7);
    // "%.1f" rounds the exact binary value: 0.25 -> 0.2, 0.35f (0.3499999...) -> 0.3.
    EXPECT_EQ(l[2], "1,RMS,230.5V,----, 08/12/26 07:54:36 ,");
    EXPECT_EQ(l[3], "2,RMS,0.2V,----, 08/12/26 07:54:36 ,");
    EXPECT_EQ(l[4], "3,RMS,0.3V,----, 08/12/26 07:54:37 ,");
    // Index 3 x 0.5 s = 1.5 s, truncated to 1 s; index 4 gives 2 s.
    EXPECT_EQ(l[5], "4,RMS,-1.2V,----, 08/12/26 07:54:37 ,");
    EXPECT_EQ(l[6], "5,RMS,1234.6V,----, 08/12/26 07:54:38 ,");

    m.view.m_bStoreCh1 = 2; // only the value 1 marks a channel as present
    m.view.m_bStoreCh2 = 1;
    m.doc.m_pCh2Data = {1.0f, 2.0f, 3.0f, 4.0f, 5.0f};
    EXPECT_EQ(lines(RmsCsvReport(m.doc, m.view))[2], "1,RMS,----,1.0A, 08/12/26 07:54:36 ,");

    // A unit from a file cannot start rows or cells of its own (nor, so, a formula).
    m.view.m_strStoreUnit2 = QString::fromLatin1("A\r\n=1+1,;\"\t\x85\xb5");
    const QList<QByteArray> l2 = lines(RmsCsvReport(m.doc, m.view));
    ASSERT_EQ(l2.size(), 7);
    EXPECT_EQ(l2[2], "1,RMS,----,1.0A=1+1\xb5, 08/12/26 07:54:36 ,");
}

TEST(RmsCsvReport, points_beyond_four_columns_are_written)
{
    testenv::ScopedTimeZone utc;
    Measurement m;
    const int n = 4 * 65536 + 10;
    m.setRms(n, true, false);
    const QList<QByteArray> l = lines(RmsCsvReport(m.doc, m.view));
    ASSERT_EQ(l.size(), 2 + 65536);
    EXPECT_EQ(l[1].count("NO.,RMS,CH1,CH2,TIME,"), 5);
    EXPECT_EQ(l[2].count(",RMS,"), 5);
    EXPECT_NE(l[2].indexOf(",262145,RMS,"), -1);
    EXPECT_TRUE(l[2 + 9].endsWith(rmsGroup(m, n, "11/12/26 08:43:49")));
    EXPECT_EQ(l[2 + 10].count(",RMS,"), 4);
    // Every point appears exactly once.
    qsizetype groups = 0;
    for (qsizetype i = 2; i < l.size(); ++i)
        groups += l[i].count(",RMS,");
    EXPECT_EQ(groups, n);
}

TEST(TrCsvReport, three_records_volts_amperes_volts)
{
    testenv::ScopedTimeZone utc;
    Measurement m;
    m.view.m_nTrCount = 3;
    m.view.m_pTrChannel = {0xF1, 0xF2, 0xF1};
    m.view.m_pTrQuantity = {0xFA, 0xFC, 0xFA};
    m.doc.m_pTrTimes = {kStart, kStart + 61, kStart + 3600};
    m.doc.m_pTrData.resize(3 * 251);
    for (int i = 0; i < 3 * 251; ++i)
        m.doc.m_pTrData[i] = static_cast<float>(i) * 1.5f - 300.0f;

    const QByteArray report = TrCsvReport(m.doc, m.view);
    const QList<QByteArray> l = lines(report);
    ASSERT_EQ(l.size(), 2 + 251);
    EXPECT_EQ(l[0], kTrTitle);
    EXPECT_EQ(l[1], "NO.,TR,CH1,CH2,TIME,,NO.,TR,CH1,CH2,TIME,,NO.,TR,CH1,CH2,TIME,,");
    // Sample 1: -300 (record 0), 76.5 -> "76" (round half to even), 453 (record 2).
    EXPECT_EQ(l[2], "1,TR,-300V,----, 08/12/26 07:54:36 ,,"
                    "1,TR,----,76A, 08/12/26 07:55:37 ,,"
                    "1,TR,453V,----, 08/12/26 08:54:36 ,,");
    for (int r = 1; r <= 251; ++r) {
        const QByteArray& row = l[1 + r];
        ASSERT_EQ(row.count(",TR,"), 3) << r;
        const QByteArray second = printfCell("%.0f", m.doc.m_pTrData[251 + r - 1], "A");
        EXPECT_NE(
            row.indexOf(QByteArray::number(r) + ",TR,----," + second + ", 08/12/26 07:55:37 ,,"),
            -1)
            << r;
    }
    EXPECT_TRUE(l.back().startsWith("251,TR,"));
}

TEST(TrCsvReport, unknown_codes_keep_unit_and_write_no_value)
{
    testenv::ScopedTimeZone utc;
    Measurement m;
    m.view.m_nTrCount = 3;
    m.view.m_pTrChannel = {0xF2, 0xF1, 0x00};
    m.view.m_pTrQuantity = {0x00, 0xFC, 0x13};
    m.doc.m_pTrTimes = {kStart, kStart, kStart};
    m.doc.m_pTrData.assign(3 * 251, 7.0f);
    const QList<QByteArray> l = lines(TrCsvReport(m.doc, m.view));
    // No unit known yet for the first record; the third has no channel at all.
    EXPECT_EQ(l[2], "1,TR,----,7, 08/12/26 07:54:36 ,,"
                    "1,TR,7A,----, 08/12/26 07:54:36 ,,"
                    "1,TR,----,----, 08/12/26 07:54:36 ,,");

    m.view.m_pTrChannel = {0xF1, 0xF1, 0xF2};
    m.view.m_pTrQuantity = {0xFA, 0x13, 0x00}; // unknown codes keep "V"
    EXPECT_EQ(lines(TrCsvReport(m.doc, m.view))[2], "1,TR,7V,----, 08/12/26 07:54:36 ,,"
                                                    "1,TR,7V,----, 08/12/26 07:54:36 ,,"
                                                    "1,TR,----,7V, 08/12/26 07:54:36 ,,");

    // A start time no calendar holds leaves the time cell empty, as on the screen.
    m.doc.m_pTrTimes[2] = std::numeric_limits<std::time_t>::max();
    EXPECT_TRUE(lines(TrCsvReport(m.doc, m.view))[2].endsWith("1,TR,----,7V,  ,,"));

    m.view.m_nTrCount = 0;
    EXPECT_FALSE(hasTrCsvReport(m.view));
    EXPECT_TRUE(TrCsvReport(m.doc, m.view).isEmpty());
}
