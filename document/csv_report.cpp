#include "document/csv_report.h"

#include "display/point_time.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "link/wire_protocol.h"
#include "platform/printf_number.h"

namespace {

constexpr char kRmsTitle[] = "                         ELECTRIC POWER TEST REPORT(STORE RMS)";
constexpr char kTrTitle[] = "                         ELECTRIC POWER TEST REPORT(STORE TR)";
constexpr char kRmsHeaderGroup[] = "NO.,RMS,CH1,CH2,TIME,";
constexpr char kTrHeaderGroup[] = "NO.,TR,CH1,CH2,TIME,,";
constexpr char kNoValue[] = "----";
constexpr char kLineEnd[] = "\r\n";

// Appends text to a report without re-checking capacity on every cell: the
// reports reach tens of megabytes, so the cost per cell matters.
class ReportBuffer {
public:
    explicit ReportBuffer(qsizetype expected) { m_bytes.reserve(expected); }

    void append(const char* s, qsizetype n) { m_bytes.append(s, n); }
    void append(const char* s) { append(s, static_cast<qsizetype>(std::strlen(s))); }
    void append(const QByteArray& b) { m_bytes.append(b); }

    void appendInt(long long v)
    {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        append(buf, r.ptr - buf);
    }

    // printf's "%.<precision>f" of the value widened to double.
    void appendFixed(float value, int precision)
    {
        char buf[cnum::kFixedCapacity];
        append(buf, static_cast<qsizetype>(cnum::writeFixed(buf, value, precision)));
    }

    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
};

// A value cell: "%<format>" of the value followed directly by its unit.
void appendValueCell(ReportBuffer& out, float value, int precision, const QByteArray& unit)
{
    out.appendFixed(value, precision);
    out.append(unit);
}

// A unit text as a report cell can hold it. The unit comes from the document file,
// and a line break or a cell separator in it would start rows and cells of its own
// (and a cell of its own can be a spreadsheet formula): those characters, and every
// other control character and the quote, are left out. The units of real documents
// ("V", "A") are written as they are.
QByteArray unitCellText(const QString& unit)
{
    QByteArray out = unit.toLatin1();
    out.removeIf([](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || (b >= 0x7F && b < 0xA0) || c == ',' || c == ';' || c == '"';
    });
    return out;
}

} // namespace

QByteArray reportTimeText(std::time_t t)
{
    char buf[64];
    const std::size_t n = formatLocalTime(t, kPointTimeFormat, buf, sizeof buf);
    return QByteArray(buf, static_cast<qsizetype>(n));
}

QByteArray RmsCsvReport(const CDTDoc& doc, const ViewState& view)
{
    const int n = std::max(0, view.m_nStoreCount);
    const int columns = static_cast<int>((qint64(n) + kCsvColumnPoints - 1) / kCsvColumnPoints);
    const int rows = columns > 1 ? kCsvColumnPoints : n;
    const bool hasCh1 = view.m_bStoreCh1 == 1;
    const bool hasCh2 = view.m_bStoreCh2 == 1;
    const QByteArray unit1 = unitCellText(view.m_strStoreUnit1);
    const QByteArray unit2 = unitCellText(view.m_strStoreUnit2);

    // About 60 bytes per point: "123456,RMS,230.5V,12.3A, 08/12/26 07:54:36 ,".
    ReportBuffer out(qsizetype(n) * 64 + qsizetype(columns) * 24 + 128);
    out.append(kRmsTitle);
    out.append(kLineEnd);
    for (int c = 0; c < columns; ++c)
        out.append(kRmsHeaderGroup);
    out.append(kLineEnd);

    // A channel whose array is shorter than the count (never the case for a
    // consistent document) reads as 0, as the document file pads it.
    auto value = [](const std::vector<float>& series, int index) {
        return static_cast<std::size_t>(index) < series.size() ? series[index] : 0.0f;
    };

    for (int row = 1; row <= rows; ++row) {
        // Every column the header announces gets its group, so long series are
        // written whole however many columns they need.
        for (int c = 0; c < columns; ++c) {
            const long long point = row + static_cast<long long>(c) * kCsvColumnPoints;
            if (point > n)
                break;
            const int index = static_cast<int>(point - 1);
            out.appendInt(point);
            out.append(",RMS,");
            if (hasCh1)
                appendValueCell(out, value(doc.m_pCh1Data, index), 1, unit1);
            else
                out.append(kNoValue);
            out.append(",");
            if (hasCh2)
                appendValueCell(out, value(doc.m_pCh2Data, index), 1, unit2);
            else
                out.append(kNoValue);
            out.append(", ");
            // Formatted straight into the report: a full memory has 262,144 of these.
            char time[64];
            const std::time_t t = storeRmsPointTime(view.m_tStoreStart, view.m_fInterval, index);
            out.append(time, static_cast<qsizetype>(
                                 formatLocalTime(t, kPointTimeFormat, time, sizeof time)));
            out.append(" ,");
        }
        out.append(kLineEnd);
    }
    return out.take();
}

bool hasTrCsvReport(const ViewState& view)
{
    return view.m_nTrCount > 0;
}

QByteArray TrCsvReport(const CDTDoc& doc, const ViewState& view)
{
    if (!hasTrCsvReport(view))
        return QByteArray();
    const auto records = static_cast<std::size_t>(view.m_nTrCount);

    // What each record contributes is the same on all 251 rows: work it out once.
    struct Record {
        int valueCell; // 0 none, 1 CH1, 2 CH2
        QByteArray unit;
        QByteArray time;
    };
    std::vector<Record> recs(records);
    QByteArray unit; // a record of unknown quantity keeps the unit of the one before
    for (std::size_t k = 0; k < records; ++k) {
        const std::uint8_t quantity = k < view.m_pTrQuantity.size() ? view.m_pTrQuantity[k] : 0;
        const std::uint8_t channel = k < view.m_pTrChannel.size() ? view.m_pTrChannel[k] : 0;
        if (quantity == wire::kTrQuantityVoltage)
            unit = QByteArrayLiteral("V");
        else if (quantity == wire::kTrQuantityCurrent)
            unit = QByteArrayLiteral("A");
        recs[k].valueCell = channel == wire::kTrChannel1 ? 1 : channel == wire::kTrChannel2 ? 2 : 0;
        recs[k].unit = unit;
        recs[k].time = reportTimeText(k < doc.m_pTrTimes.size() ? doc.m_pTrTimes[k] : 0);
    }

    ReportBuffer out(qsizetype(records) * (kTrSamples * 48 + 24) + 128);
    out.append(kTrTitle);
    out.append(kLineEnd);
    for (std::size_t k = 0; k < records; ++k)
        out.append(kTrHeaderGroup);
    out.append(kLineEnd);

    for (int r = 1; r <= kTrSamples; ++r) {
        for (std::size_t k = 0; k < records; ++k) {
            const Record& rec = recs[k];
            const std::size_t at = k * kTrSamples + static_cast<std::size_t>(r - 1);
            const float sample = at < doc.m_pTrData.size() ? doc.m_pTrData[at] : 0.0f;
            out.appendInt(r);
            out.append(",TR,");
            if (rec.valueCell == 1)
                appendValueCell(out, sample, 0, rec.unit);
            else
                out.append(kNoValue);
            out.append(",");
            if (rec.valueCell == 2)
                appendValueCell(out, sample, 0, rec.unit);
            else
                out.append(kNoValue);
            out.append(", ");
            out.append(rec.time);
            out.append(" ,,");
        }
        out.append(kLineEnd);
    }
    return out.take();
}
