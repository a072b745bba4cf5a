// Fuzz target: the document reader. Any bytes are loaded into a document that already
// holds a measurement, as File > Open does.
//   - A refused file ("Invalid Format!") or a failed load (ArchiveError) leaves the
//     document and its view exactly as they were.
//   - A load that succeeds takes no more than a logger memory can hold and the file's
//     bytes can back: counts within one logger memory, every series within the file's
//     size, texts and units within their lengths, and the plot caches within a logger
//     memory or the fixed sizes (the real-time waveform, the real-time run's points).
//   - What was loaded stores, loads and stores again to the same bytes.
#include <algorithm>

#include "display/view_state.h"
#include "document/cdtdoc.h"
#include "fuzz_support.h"
#include "platform/local_time.h"

namespace {

struct Document {
    CDTDoc doc;
    ViewState view;
    Document() { doc.AddView(&view); }
};

// A small measurement of both channels with one transient record, as a download
// leaves it.
void fillMeasurement(Document& d)
{
    ViewState& v = d.view;
    d.doc.m_strFileTag = kTagStored;
    v.m_nStoreCount = 3;
    v.m_bStoreCh1 = v.m_bStoreCh2 = 1;
    v.m_fInterval = 10.0f;
    v.m_tStoreStart = timeFromLocalFields(DateFields{2009, 3, 7, 14, 5, 9});
    d.doc.m_pCh1Data = {230.1f, 229.8f, 231.0f};
    d.doc.m_pCh2Data = {1.5f, 1.6f, -0.2f};
    v.m_strCh1Max = QStringLiteral("231.0 V @07/03/09 14:05:29");
    v.m_strCh1Min = QStringLiteral("229.8V @07/03/09 14:05:19");
    v.m_strStoreUnit1 = QStringLiteral("V");
    v.m_strStoreUnit2 = QStringLiteral("A");
    v.m_strCh2Max = QStringLiteral("1.6 A @07/03/09 14:05:19");
    v.m_strCh2Min = QStringLiteral("-0.2A @07/03/09 14:05:29");
    v.m_nTrCount = 1;
    v.m_pTrChannel = {0xF1};
    v.m_pTrQuantity = {0xFA};
    d.doc.m_pTrTimes = {v.m_tStoreStart + 12};
    d.doc.m_pTrData.assign(kTrSamples, 0.0f);
    for (int i = 0; i < kTrSamples; ++i)
        d.doc.m_pTrData[static_cast<std::size_t>(i)] = static_cast<float>(i % 50 - 25);
    v.m_fRiseLevel = 500.0f;
    v.m_fDropLevel = 100.0f;
    v.m_nAutoMax = {241, 12, 0, 0};
    v.m_nAutoMin = {219, -10, 0, 0};
    v.m_nDisplayMode = 1;
    v.allocatePlotCaches(1000);
}

// Everything a load may change, the stored fields by their bytes.
struct Snapshot {
    QByteArray stored;
    QString readTag;
    int capacity = 0;
    int displayMode = 0;
    int flags = 0;
    std::array<std::uint8_t, 2> autoScale{};
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(Document& d)
{
    const ViewState& v = d.view;
    return {d.doc.StoreToBytes(),
            d.doc.m_strReadTag,
            v.plotCacheCapacity(),
            v.m_nDisplayMode,
            v.m_bNewDocument | v.m_bFromFile << 1 | v.m_bCursorReady << 2 | v.m_bListDirty << 3,
            v.m_bAutoScale};
}

// The loaded series agree with the counts, and no count outgrew the file.
void checkLoaded(const Document& d, qsizetype fileSize)
{
    const ViewState& v = d.view;
    fuzz::checkStoredSeries(d.doc, v);
    const auto backed = static_cast<std::size_t>(fileSize);
    FUZZ_CHECK(v.m_nStoreCount <= kMaxStorePoints && v.m_nTrCount <= kMaxTrRecords);
    FUZZ_CHECK(4 * (d.doc.m_pCh1Data.size() + d.doc.m_pCh2Data.size()) <= backed);
    FUZZ_CHECK(4 * d.doc.m_pTrData.size() <= backed);
    for (const QString* text : {&v.m_strCh1Max, &v.m_strCh1Min, &v.m_strCh2Max, &v.m_strCh2Min})
        FUZZ_CHECK(text->size() <= kMaxTextLength);
    FUZZ_CHECK(v.m_strStoreUnit1.size() <= kMaxUnitLength);
    FUZZ_CHECK(v.m_strStoreUnit2.size() <= kMaxUnitLength);
    FUZZ_CHECK(v.plotCacheCapacity() <= std::max({kMaxStorePoints, kFramePoints, v.m_nRtCount}));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::setUpProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray file = fuzz::bytes(data, size);
    Document d;
    fillMeasurement(d);
    const Snapshot before = snapshot(d);

    LoadOutcome outcome;
    bool failed = false;
    try {
        outcome = d.doc.LoadFromBytes(file);
    } catch (const ArchiveError&) {
        failed = true;
    }
    if (failed || !outcome.loaded) {
        FUZZ_CHECK(failed || outcome.refusal); // a file not loaded was refused or failed
        FUZZ_CHECK(snapshot(d) == before);
        return 0;
    }
    FUZZ_CHECK(!outcome.refusal);
    checkLoaded(d, file.size());

    // Store, load into a fresh document, store again: the same bytes.
    const QByteArray stored = d.doc.StoreToBytes();
    Document again;
    again.doc.m_strFileTag = d.doc.m_strFileTag;
    FUZZ_CHECK(again.doc.LoadFromBytes(stored).loaded);
    checkLoaded(again, stored.size());
    FUZZ_CHECK(again.doc.StoreToBytes() == stored);
    return 0;
}
