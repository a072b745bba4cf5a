#pragma once
// The measurement document: the arrays the logger link fills and the views draw,
// and the document file (.stdata) that stores them together with the parts of the
// graph view's display state that describe them.
#include <QByteArray>
#include <QString>
#include <array>
#include <ctime>
#include <vector>

#include "platform/archive.h"
#include "link/logging_dialog.h"
#include "platform/local_time.h"

class ViewState;

inline constexpr int kTrSamples = 251;   // samples per transient record
inline constexpr int kFramePoints = 590; // sample pairs per real-time frame
inline const QString kTagStored = QStringLiteral("RMSTRDATA");
inline const QString kTagRealTime = QStringLiteral("EPADATA");

using FloatPair = std::array<float, 2>; // channel 1, channel 2

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
    // they were. A file of another type is refused with "Invalid Format!"; that
    // refusal returns normally, as a load does.
    void Serialize(Archive& ar);

    // Convenience: the file's bytes for the current state, and a load from bytes,
    // which returns false when the file was refused (or no view is attached) and
    // throws ArchiveError as Serialize does.
    QByteArray StoreToBytes();
    bool LoadFromBytes(const QByteArray& bytes);

    std::vector<float> m_pTrData;                     // M x 251 transient samples, raw
    std::vector<float> m_pCh1Data;                    // N channel-1 RMS values
    std::vector<float> m_pCh2Data;                    // N channel-2 RMS values
    std::array<FloatPair, kFramePoints> m_fEpaWave{}; // latest real-time waveform
    std::vector<FloatPair> m_pRtRms;                  // one pair per real-time sample
    std::vector<FloatPair> m_pRtFreq;                 // one pair per real-time sample
    std::vector<std::time_t> m_pTrTimes;              // start time of each transient record
    QString m_strFileTag;
    QString m_strReadTag;
    CLoggingDlg m_dlgLogging; // the "Logging..." dialog (never shown)

private:
    void store(Archive& ar, ViewState& view);
    // Returns false when the file's tag is refused.
    bool load(Archive& ar, ViewState& view);
    bool loadGuarded(Archive& ar, ViewState& view);

    std::vector<ViewState*> m_views;
};
