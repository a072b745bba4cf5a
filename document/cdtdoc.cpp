#include "document/cdtdoc.h"

#include <algorithm>
#include <limits>

#include "display/view_state.h"
#include "link/wire_protocol.h"

CDTDoc::CDTDoc() = default;

void CDTDoc::AddView(ViewState* view)
{
    m_views.push_back(view);
}

void CDTDoc::RemoveView(ViewState* view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CDTDoc::UpdateAllViews()
{
    for (ViewState* v : m_views)
        v->OnDocumentUpdated();
}

namespace {

void writeDate(Archive& ar, std::time_t t)
{
    // A time outside the years a load takes (a download's start moved by wrap counts
    // can be) is stored as a load will take it, so that the file loads back to itself.
    const DateFields f = localDateFields(timeFromLocalFields(localDateFields(t)));
    ar.writeInt32(f.year);
    ar.writeInt32(f.month);
    ar.writeInt32(f.day);
    ar.writeInt32(f.hour);
    ar.writeInt32(f.minute);
    ar.writeInt32(f.second);
}

std::time_t readDate(Archive& ar)
{
    DateFields f;
    f.year = ar.readInt32();
    f.month = ar.readInt32();
    f.day = ar.readInt32();
    f.hour = ar.readInt32();
    f.minute = ar.readInt32();
    f.second = ar.readInt32();
    return timeFromLocalFields(f);
}

// Writes `count` values of a series, padding with zeros should the array hold fewer,
// so the file always has the layout its counts announce.
void writeSeries(Archive& ar, const std::vector<float>& values, qint64 count)
{
    const qint64 have = std::min<qint64>(count, static_cast<qint64>(values.size()));
    ar.writeFloats(values.data(), have);
    for (qint64 i = have; i < count; ++i)
        ar.writeFloat(0.0f);
}

static_assert(kMaxStorePoints == wire::kMemoryBlocks * wire::kDataBlockSize / 2,
              "a logger memory of 16-bit values");
static_assert(kMaxTrRecords == wire::kMemoryBlocks * wire::kDataBlockSize / 512,
              "a logger memory of 512-byte transient records");

// A text as a file of this program holds it: whatever the program writes loads again.
QString bounded(const QString& text, qsizetype maxLength)
{
    return text.size() > maxLength ? text.left(maxLength) : text;
}

// A tag longer than any text a document holds is no tag of ours: refused like any
// other, without its characters being read.
QString readTag(Archive& ar)
{
    return ar.readStringUpTo(kMaxTextLength).value_or(QString());
}

bool isDocumentTag(const QString& tag)
{
    return tag == kTagStored || tag == kTagRealTime;
}

// A file of another type.
LoadRefusal invalidFormat()
{
    return {QStringLiteral("Invalid Format!")};
}

// A count from the file is only believed when the rest of the file can hold what it
// announces; anything else is a damaged file, refused before allocating.
void requireBytes(const Archive& ar, qint64 count, qint64 bytesEach)
{
    if (count < 0 || count > std::numeric_limits<qint64>::max() / bytesEach / 2
        || count * bytesEach > ar.remaining())
        throw ArchiveError(ArchiveError::Cause::EndOfFile, "count larger than the file");
}

} // namespace

LoadOutcome CDTDoc::Serialize(Archive& ar)
{
    ViewState* view = GetFirstView();
    if (!view)
        return {};
    if (!ar.IsStoring())
        return loadGuarded(ar, *view);
    store(ar, *view);
    return {};
}

LoadOutcome CDTDoc::loadGuarded(Archive& ar, ViewState& view)
{
    try {
        return load(ar, view);
    } catch (const std::bad_alloc&) {
        // A file within the bounds but more than the memory left: a failed load like
        // any other, though not a damaged file.
        throw ArchiveError(ArchiveError::Cause::NoMemory, "not enough memory for the file");
    }
}

std::optional<LoadRefusal> CDTDoc::CheckTag(const QByteArray& head, qint64 fileSize)
{
    Archive ar(head);
    try {
        if (isDocumentTag(readTag(ar)))
            return std::nullopt;
    } catch (const ArchiveError& e) {
        // The head holds the longest tag a load reads: it ends inside the tag only
        // where the file does.
        if (e.cause() != ArchiveError::Cause::EndOfFile || head.size() >= fileSize)
            throw;
    }
    return invalidFormat();
}

QByteArray CDTDoc::StoreToBytes()
{
    Archive ar;
    Serialize(ar);
    return ar.bytes();
}

LoadOutcome CDTDoc::LoadFromBytes(const QByteArray& bytes)
{
    ViewState* view = GetFirstView();
    if (!view)
        return {};
    Archive ar(bytes);
    return loadGuarded(ar, *view);
}

void CDTDoc::store(Archive& ar, ViewState& v)
{
    // A document without a tag could never be opened again: store it as stored data.
    ar.writeString(m_strFileTag.isEmpty() ? kTagStored : m_strFileTag);
    const qint64 n = std::max(0, v.m_nStoreCount);
    ar.writeInt32(v.m_nStoreCount);
    ar.writeUInt8(v.m_bStoreCh1);
    ar.writeUInt8(v.m_bStoreCh2);
    ar.writeFloat(v.m_fInterval);
    writeDate(ar, v.m_tStoreStart);
    if (v.m_bStoreCh1 == 1) {
        writeSeries(ar, m_pCh1Data, n);
        ar.writeString(bounded(v.m_strCh1Max, kMaxTextLength));
        ar.writeString(bounded(v.m_strCh1Min, kMaxTextLength));
        ar.writeString(bounded(v.m_strStoreUnit1, kMaxUnitLength));
        ar.writeString(bounded(v.m_strStoreUnit2, kMaxUnitLength));
    }
    if (v.m_bStoreCh2 == 1) {
        writeSeries(ar, m_pCh2Data, n);
        ar.writeString(bounded(v.m_strCh2Max, kMaxTextLength));
        ar.writeString(bounded(v.m_strCh2Min, kMaxTextLength));
    }
    const qint64 m = std::max(0, v.m_nTrCount);
    ar.writeInt32(static_cast<qint32>(m));
    for (qint64 r = 0; r < m; ++r) {
        const auto i = static_cast<std::size_t>(r);
        ar.writeUInt8(i < v.m_pTrChannel.size() ? v.m_pTrChannel[i] : 0);
        ar.writeUInt8(i < v.m_pTrQuantity.size() ? v.m_pTrQuantity[i] : 0);
        writeDate(ar, i < m_pTrTimes.size() ? m_pTrTimes[i] : 0);
    }
    writeSeries(ar, m_pTrData, m * kTrSamples);
    ar.writeFloat(v.m_fRiseLevel);
    ar.writeFloat(v.m_fDropLevel);
    for (int ch = 0; ch < 2; ++ch) {
        ar.writeInt32(v.m_nAutoMax[ch]);
        ar.writeInt32(v.m_nAutoMin[ch]);
    }
}

LoadOutcome CDTDoc::load(Archive& ar, ViewState& v)
{
    const QString tag = readTag(ar);
    if (!isDocumentTag(tag))
        return {.refusal = invalidFormat()};

    // Everything is read into locals first; the document and the view change only
    // once the whole file has been read.
    const qint32 n = ar.readInt32();
    if (n < 0 || n > kMaxStorePoints)
        throw ArchiveError(ArchiveError::Cause::BadFormat, "point count beyond a logger memory");
    const quint8 hasCh1 = ar.readUInt8();
    const quint8 hasCh2 = ar.readUInt8();
    const float interval = ar.readFloat();
    const std::time_t start = readDate(ar);

    std::vector<float> ch1, ch2;
    QString ch1Max = v.m_strCh1Max, ch1Min = v.m_strCh1Min;
    QString unit1 = v.m_strStoreUnit1, unit2 = v.m_strStoreUnit2;
    QString ch2Max = v.m_strCh2Max, ch2Min = v.m_strCh2Min;
    if (hasCh1 == 1) {
        requireBytes(ar, n, 4);
        ch1.resize(static_cast<std::size_t>(n));
        ar.readFloats(ch1.data(), n);
        ch1Max = ar.readString(kMaxTextLength);
        ch1Min = ar.readString(kMaxTextLength);
        unit1 = ar.readString(kMaxUnitLength);
        unit2 = ar.readString(kMaxUnitLength);
    }
    if (hasCh2 == 1) {
        requireBytes(ar, n, 4);
        ch2.resize(static_cast<std::size_t>(n));
        ar.readFloats(ch2.data(), n);
        ch2Max = ar.readString(kMaxTextLength);
        ch2Min = ar.readString(kMaxTextLength);
    }

    const qint32 m = ar.readInt32();
    if (m < 0 || m > kMaxTrRecords)
        throw ArchiveError(ArchiveError::Cause::BadFormat, "record count beyond a logger memory");
    requireBytes(ar, m, 26 + 4 * kTrSamples);
    const auto records = static_cast<std::size_t>(m);
    std::vector<quint8> trChannel(records), trQuantity(records);
    std::vector<std::time_t> trTimes(records);
    for (std::size_t r = 0; r < records; ++r) {
        trChannel[r] = ar.readUInt8();
        trQuantity[r] = ar.readUInt8();
        trTimes[r] = readDate(ar);
    }
    std::vector<float> trData(records * kTrSamples);
    ar.readFloats(trData.data(), static_cast<qsizetype>(trData.size()));

    const float rise = ar.readFloat();
    const float drop = ar.readFloat();
    std::array<int, 2> autoMax{}, autoMin{};
    for (int ch = 0; ch < 2; ++ch) {
        autoMax[ch] = ar.readInt32();
        autoMin[ch] = ar.readInt32();
    }

    // The plot caches hold every point any display of this document can draw. They
    // are grown apart from the view: should this fail, the view keeps its caches.
    ViewState::PlotCaches caches =
        ViewState::makePlotCaches(std::max({n, m * kTrSamples, kFramePoints, v.m_nRtCount}));

    // The file is whole: take it over.
    v.takePlotCaches(std::move(caches));
    m_strReadTag = tag;
    v.m_bCursorReady = 0;
    v.m_bNewDocument = 1;
    v.m_bFromFile = 1;
    m_pCh1Data = std::move(ch1);
    m_pCh2Data = std::move(ch2);
    m_pTrData = std::move(trData);
    m_pTrTimes = std::move(trTimes);
    v.m_pTrChannel = std::move(trChannel);
    v.m_pTrQuantity = std::move(trQuantity);
    v.m_nStoreCount = n;
    v.m_bStoreCh1 = hasCh1;
    v.m_bStoreCh2 = hasCh2;
    v.m_fInterval = interval;
    v.m_tStoreStart = start;
    v.m_strCh1Max = ch1Max;
    v.m_strCh1Min = ch1Min;
    v.m_strStoreUnit1 = unit1;
    v.m_strStoreUnit2 = unit2;
    v.m_strCh2Max = ch2Max;
    v.m_strCh2Min = ch2Min;
    v.m_nTrCount = m;
    v.m_fRiseLevel = rise;
    v.m_fDropLevel = drop;
    for (int ch = 0; ch < 2; ++ch) {
        v.m_nAutoMax[ch] = autoMax[ch];
        v.m_nAutoMin[ch] = autoMin[ch];
    }
    v.m_bAutoScale = {1, 1};

    v.m_bListDirty = 1;
    v.InvalidateDataList();
    if (v.m_nDisplayMode == 0)
        v.m_nDisplayMode = 1;
    UpdateAllViews();
    return {.loaded = true, .refusal = std::nullopt};
}
