// Fuzz target: the download parse. The first 28 bytes are the download header, the
// rest is the downloaded stream (RMS samples and transient records), as the frame
// hands them over at the end of a download:
//   - the parse never yields more samples or records than the bytes back, and its
//     series agree with its counts;
//   - the document and the view hold exactly what the parse found, with plot caches
//     for every point;
//   - the measurement stores, loads and stores again to the same bytes.
#include <algorithm>

#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "fuzz_support.h"
#include "link/download_parse.h"
#include "link/wire_protocol.h"

namespace {

struct Document {
    CDTDoc doc;
    ViewState view;
    Document() { doc.AddView(&view); }
};

// The parse's counts are backed by the stream's bytes (its series are checked once
// they are the document's).
void checkParsed(const download::ParsedStream& p, wire::Bytes stream, int k, bool ch1, bool ch2)
{
    const auto n = static_cast<std::size_t>(p.storeCount);
    const auto m = static_cast<std::size_t>(p.trCount);
    FUZZ_CHECK(p.storeCount >= 0 && p.trCount >= 0);
    const std::size_t step = k > 0 ? 2u * static_cast<std::size_t>(k) : 0;
    FUZZ_CHECK(n * step + m * wire::kTransientRecordSize <= stream.size());
    FUZZ_CHECK(k > 0 || (n == 0 && m == 0));
    // One value per sample: both channels show it.
    if (k == 1 && ch1 && ch2)
        FUZZ_CHECK(p.ch1 == p.ch2);
    // No channel layout: the samples are counted, their values stay 0.
    if (k > 2) {
        FUZZ_CHECK(std::all_of(p.ch1.begin(), p.ch1.end(), [](float v) { return v == 0.0f; }));
        FUZZ_CHECK(std::all_of(p.ch2.begin(), p.ch2.end(), [](float v) { return v == 0.0f; }));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::setUpProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const wire::Bytes input(data, size);
    const auto header = wire::DownloadHeader::decode(input);
    if (!header.ok())
        return 0;
    const wire::Bytes stream = input.subspan(wire::kDownloadHeaderSize);
    const wire::DownloadHeader& h = header.value;

    // The frame takes a header in only when it announces data.
    if (h.valuesPerSample == 0)
        return 0;
    // One document for the process: a download sizes the plot caches for 100,000
    // points, too much to allocate afresh for every input.
    static Document d;
    fuzz::resetView(d.view, ViewState());
    const download::HeaderInfo info = download::applyHeader(h, d.view);
    const bool ch1 = d.view.m_bStoreCh1 == 1;
    const bool ch2 = d.view.m_bStoreCh2 == 1;
    const download::ParsedStream parsed =
        download::parseStream(stream, info.valuesPerSample, ch1, ch2);
    checkParsed(parsed, stream, info.valuesPerSample, ch1, ch2);

    download::storeDownload(stream, info, d.doc, d.view);
    const ViewState& v = d.view;
    FUZZ_CHECK(v.m_nStoreCount == parsed.storeCount && v.m_nTrCount == parsed.trCount);
    FUZZ_CHECK(d.doc.m_pCh1Data == parsed.ch1 && d.doc.m_pCh2Data == parsed.ch2);
    FUZZ_CHECK(d.doc.m_pTrData == parsed.trData && d.doc.m_pTrTimes == parsed.trTimes);
    FUZZ_CHECK(v.m_pTrQuantity == parsed.trQuantity && v.m_pTrChannel == parsed.trChannel);
    fuzz::checkStoredSeries(d.doc, v);
    FUZZ_CHECK(v.plotCacheCapacity() >= std::max(v.m_nStoreCount, kTrSamples * v.m_nTrCount));
    FUZZ_CHECK(v.m_nFirstPoint == 1 && v.m_nLastPoint == v.m_nStoreCount);
    FUZZ_CHECK(d.doc.m_strFileTag == kTagStored);

    // The downloaded measurement is kept as a document: it must load back to itself.
    const QByteArray stored = d.doc.StoreToBytes();
    Document again;
    FUZZ_CHECK(again.doc.LoadFromBytes(stored).loaded);
    FUZZ_CHECK(again.doc.m_pCh1Data == d.doc.m_pCh1Data
               && again.doc.m_pCh2Data == d.doc.m_pCh2Data);
    FUZZ_CHECK(again.doc.m_pTrData == d.doc.m_pTrData);
    FUZZ_CHECK(again.doc.StoreToBytes() == stored);
    return 0;
}
