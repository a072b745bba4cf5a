#pragma once
// The measurement document: the arrays the logger link fills and the views draw,
// and the document file (.stdata) that stores them together with the parts of the
// graph view's display state that describe them.
#include <QByteArray>
#include <QString>
#include <array>
#include <ctime>
#include <optional>
#include <vector>

#include "platform/archive.h"
#include "platform/local_time.h"

class ViewState;

inline constexpr int kTrSamples = 251;   // samples per transient record
inline constexpr int kFramePoints = 590; // sample pairs per real-time frame
inline const QString kTagStored = QStringLiteral("RMSTRDATA");
inline const QString kTagRealTime = QStringLiteral("EPADATA");

// What a document of this program can hold, and so all a load believes. One logger
// memory (512 KiB) holds at most 262,144 16-bit values or 1,024 transient records of
// 512 bytes. The extreme texts the program writes are some 30 characters and its units
// one; a file's texts are taken up to these lengths (past the 254 characters of the
// short length form), anything longer is a damaged file.
inline constexpr qint32 kMaxStorePoints = 262144;
inline constexpr qint32 kMaxTrRecords = 1024;
inline constexpr qsizetype kMaxTextLength = 1024;
inline constexpr qsizetype kMaxUnitLength = 16;
// The largest file these bounds allow (every string in its widest form), some 3 MB: a
// larger file is no document of this program and is refused before it is read.
inline constexpr qint64 kMaxDocumentBytes =
    Archive::maxStringBytes(9) + 4 + 1 + 1 + 4 + 6 * 4  // tag, N, presence, interval, start
    + 2 * (4 * qint64(kMaxStorePoints))                 // both series
    + 4 * Archive::maxStringBytes(kMaxTextLength)       // the four extreme texts
    + 2 * Archive::maxStringBytes(kMaxUnitLength)       // the two units
    + 4 + qint64(kMaxTrRecords) * (26 + 4 * kTrSamples) // M, record headers and samples
    + 2 * 4 + 4 * 4;                                    // levels and auto-scale extremes

using FloatPair = std::array<float, 2>; // channel 1, channel 2

// A file the document refused to load. The document shows nothing itself: the caller
// shows `text` in a box raised through the application object (its caption, an OK
// button and the exclamation icon).
struct LoadRefusal {
    QString text;
    bool operator==(const LoadRefusal&) const = default;
};

// What a load did: read the file, refused it (and why), or neither (no view attached).
struct LoadOutcome {
    bool loaded = false;
    std::optional<LoadRefusal> refusal;
};

class CDTDoc {
public:
    CDTDoc();

    // Views attached to the document; the first one is the graph view, whose display
    // state travels in the file.
    void AddView(ViewState* view);
    void RemoveView(ViewState* view);
    ViewState* GetFirstView() const { return m_views.empty() ? nullptr : m_views.front(); }
    void UpdateAllViews();

    // Stores into or loads from the archive. A load that fails (end of file, an
    // impossible count) throws ArchiveError and leaves the document and the view as
    // they were. A file of another type is refused ("Invalid Format!"): the load
    // returns normally, with the refusal for the caller to show, and changes nothing.
    // A store returns an outcome that loaded nothing.
    LoadOutcome Serialize(Archive& ar);

    // Convenience: the file's bytes for the current state, and a load from bytes,
    // which returns what Serialize's load returns (neither loaded nor refused when no
    // view is attached) and throws ArchiveError as it does.
    QByteArray StoreToBytes();
    LoadOutcome LoadFromBytes(const QByteArray& bytes);

    // The type tag of a document file, checked before the rest of the file is read:
    // nothing for a tag this program reads, the refusal ("Invalid Format!") for any
    // other. `head` holds the file's first kTagHeadBytes bytes (all of a shorter file)
    // and `fileSize` is its size; throws ArchiveError as a load does when the file ends
    // inside its tag.
    [[nodiscard]] std::optional<LoadRefusal> CheckTag(const QByteArray& head, qint64 fileSize);
    static constexpr qsizetype kTagHeadBytes = Archive::maxStringBytes(kMaxTextLength);

    std::vector<float> m_pTrData;                     // M x 251 transient samples, raw
    std::vector<float> m_pCh1Data;                    // N channel-1 RMS values
    std::vector<float> m_pCh2Data;                    // N channel-2 RMS values
    std::array<FloatPair, kFramePoints> m_fEpaWave{}; // latest real-time waveform
    std::vector<FloatPair> m_pRtRms;                  // one pair per real-time sample
    std::vector<FloatPair> m_pRtFreq;                 // one pair per real-time sample
    std::vector<std::time_t> m_pTrTimes;              // start time of each transient record
    QString m_strFileTag;
    QString m_strReadTag;

private:
    void store(Archive& ar, ViewState& view);
    LoadOutcome load(Archive& ar, ViewState& view);
    LoadOutcome loadGuarded(Archive& ar, ViewState& view);

    std::vector<ViewState*> m_views;
};
