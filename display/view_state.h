#pragma once
// The display state of the graph view: plain data shared by the display modes,
// the painting, the dialogs and panels, the document file and the logger link.
// CDTView (a widget) derives from it; code that only needs the data (the document
// file, the download parse, tests) works on a ViewState alone.
#include <QString>
#include <array>
#include <cstdint>
#include <ctime>
#include <vector>

// A rectangle with inclusive-exclusive edges as the drawing code uses them:
// width = right - left, height = bottom - top.
struct PlotRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PlotRect&) const = default;
};

// Scroll information of the time bar (size, mask, range, page, position).
struct ScrollInfo {
    unsigned size = 28;
    unsigned mask = 0;
    int nMin = 0;
    int nMax = 0;
    unsigned nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// The texts of the record-information band across the top of the graph.
struct RecInfoTexts {
    QString m_strMode, m_strRate, m_strStart, m_strCount;
    QString m_strCh1Max, m_strCh1Min, m_strCh2Max, m_strCh2Min;
    QString m_strLevelHi, m_strLevelLow; // transient detection levels
};

class ViewState {
public:
    virtual ~ViewState() = default;

    // Sets the values a freshly created view starts with (after its options are read).
    void resetInitialValues();

    // Plot rectangle from the client rectangle and the band height.
    static PlotRect plotRectFor(int clientWidth, int clientHeight, int topBandHeight);
    // The real-time x-scale table for a plot width.
    static std::array<int, 100> scaleStepsFor(int plotWidth);

    // Hooks for the document's "update all views" and the data list invalidation.
    virtual void OnDocumentUpdated() {}
    virtual void InvalidateDataList() {}

    // The plot caches for `points` points (six doubles per point each), built apart
    // from the view so that a failed allocation leaves the view's caches as they were.
    // The two caches of copies of the level-0 positions are left out: nothing reads
    // them, and they would add a third to the memory a point takes.
    struct PlotCaches {
        std::vector<double> pixels, pixels2;
    };
    static PlotCaches makePlotCaches(int points);
    // Takes the caches of a new measurement (a loaded file, a download, a real-time
    // run); the read-out line of the one shown before goes with the old caches.
    void takePlotCaches(PlotCaches&& caches);
    // Replaces the caches with zeroed ones for `points` points.
    void allocatePlotCaches(int points);
    void freePlotCaches();
    int plotCacheCapacity() const { return static_cast<int>(m_pPlotPixels.size() / 6); }

    // --- what is shown ---
    std::uint8_t m_nDisplayMode = 0; // 0 nothing, 1 graph, 2 list
    int m_nTopBandHeight = 120;
    PlotRect m_rcPlot;
    PlotRect m_rcRedraw;
    int m_nFirstPoint = 0;
    int m_nLastPoint = 0;

    // --- stored and real-time data description ---
    int m_nStoreCount = 0;
    int m_nTrCount = 0;
    int m_nPointsPerFrame = 0;
    int m_nRtCount = 0;
    int m_nRtSampleRate = 2;
    std::time_t m_tStoreStart = 0;
    std::time_t m_tRtStart = 0;
    float m_fInterval = 0.0f;
    float m_fRiseLevel = 0.0f;
    float m_fDropLevel = 0.0f;
    std::uint8_t m_nValuesPerSample = 0;
    std::uint8_t m_bStoreCh1 = 0, m_bStoreCh2 = 0;
    std::uint8_t m_bRtCh1 = 0, m_bRtCh2 = 0;
    std::uint8_t m_bShowCh1 = 0, m_bShowCh2 = 0;
    QString m_strUnit1, m_strUnit2;
    QString m_strStoreUnit1, m_strStoreUnit2;
    QString m_strRtUnit1, m_strRtUnit2;
    QString m_strCh1Max, m_strCh2Max, m_strCh1Min, m_strCh2Min;
    // Real-time extremes: RMS and frequency per channel, and S.
    QString m_strRtRmsMax1, m_strRtRmsMin1, m_strRtRmsMax2, m_strRtRmsMin2;
    QString m_strRtFreqMax1, m_strRtFreqMin1, m_strRtFreqMax2, m_strRtFreqMin2;
    QString m_strRtPowerMax, m_strRtPowerMin;
    RecInfoTexts m_recInfo;

    // --- axis ranges ---
    int m_nCh1Min = 0, m_nCh1Max = 0, m_nCh2Min = 0, m_nCh2Max = 0;
    std::array<int, 4> m_nAutoMin{};
    std::array<int, 4> m_nAutoMax{};
    std::array<std::uint8_t, 2> m_bAutoScale{1, 1};

    // --- transient record headers (one entry per record) ---
    std::vector<std::uint8_t> m_pTrQuantity; // wire::kTrQuantityVoltage or ...Current
    std::vector<std::uint8_t> m_pTrChannel;  // wire::kTrChannel1 or wire::kTrChannel2

    // --- flags ---
    std::uint8_t m_bFromFile = 0;
    std::uint8_t m_bNewDocument = 0;
    std::uint8_t m_bListDirty = 1;
    std::uint8_t m_bTrListDirty = 0;
    std::uint8_t m_bDataListOpen = 0;

    // --- the nine display options ---
    std::uint8_t m_bViewCh1 = 1;
    std::uint8_t m_bViewCh2 = 1;
    std::uint8_t m_bViewCh3 = 1;
    std::uint8_t m_bViewCapLevel = 0;
    std::uint8_t m_bViewCh2Alarm = 0;
    std::uint8_t m_bViewCh3Alarm = 0;
    std::uint8_t m_bMarkPoints = 0;
    std::uint8_t m_bViewYAxis = 1;
    std::uint8_t m_bViewXAxis = 1;

    // --- real-time x scale ---
    std::array<int, 100> m_nScaleSteps{};
    int m_nRtScaleLevel = 0;

    // --- zoom, drag and cursor (one view exists, so these are view-wide) ---
    std::int8_t g_nZoomLevel = 0;
    int g_bFullView = 1;
    int g_bZoomScrollSet = 1;
    std::uint8_t g_bBandDrawn = 0;
    std::uint8_t g_bZoomBlocked = 1;
    int g_ptDragStartX = 0, g_ptDragStartY = 0, g_ptDragEndX = 0, g_ptDragEndY = 0;
    double g_dBoxLeft = 0, g_dBoxTop = 0, g_dBoxRight = 0, g_dBoxBottom = 0;
    float g_fTicks1[3][11] = {};
    float g_fTicks2[3][11] = {};
    float g_fZoomLow1 = 0, g_fZoomNext1 = 0, g_fZoomLow2 = 0, g_fZoomNext2 = 0;
    PlotRect g_rcPlotPrev;
    int g_nCursorIndex = 0;
    int g_nCursorX = 0;
    int g_bCursorErased = 1;
    QString g_strReadout;
    float g_fXScale = 0.0f;
    float g_fScaleStep = 0.0f;
    std::uint8_t m_bZoomPending = 1;
    std::uint8_t m_bCursorReady = 1;
    std::uint8_t m_bDragging = 0;

    // --- scrolling ---
    int m_nScrollOffset = 0;
    int m_nZoomFirst = 0;
    std::array<int, 100> m_nVOffset1{};
    std::array<int, 100> m_nVOffset2{};
    ScrollInfo m_siTime;
    std::uint8_t m_bVScrolled = 0;

    // --- real-time refresh and point caches ---
    std::uint8_t m_bRescaleRedraw = 0;
    std::vector<double> m_pPlotPixels;  // 6 doubles per point: x
    std::vector<double> m_pPlotPixels2; // 6 doubles per point: y

    // --- label texts ---
    std::array<QString, 11> m_strYLabels1;
    std::array<QString, 11> m_strYLabels2;
    std::array<QString, 10> m_strXLabels;
};
