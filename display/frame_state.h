#pragma once
// The main frame's data: logger link state, measurement-mode flags, save state and
// the settings values. CMainFrame (the window) derives from it; the view, the
// dialogs and the pure logic read and write it without needing a window.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// Graph kinds 1..9 of the y-axis limits (index 0 unused), channel 1..2 (index 0 unused).
using YAxisTable = std::array<std::array<int, 3>, 10>;

struct FrameState {
    virtual ~FrameState() = default;

    // Display-mode commands the graph's first paint after a load runs (the main
    // frame overrides them).
    virtual void OnStoreRms() {}
    virtual void OnRealTimeRms() {}

    // --- logger link ---
    int m_nCommPort = 0;
    std::uint8_t m_nPortCount = 0;
    std::array<std::uint8_t, 16> m_byPorts{};
    int m_nTotalBytes = 0;
    int m_nStartAddress = 0;
    int m_nBlockIndex = 0;
    std::array<std::uint8_t, 8> m_byCommand{};
    std::array<std::uint8_t, 8> m_byBlockRequest{};
    std::uint8_t m_byFill = 0;
    std::uint8_t m_bAcknowledged = 0;
    std::uint8_t m_bTransferDone = 0;
    std::uint8_t m_bTransferMode = 0;
    std::uint8_t m_bLinkUp = 0;
    std::uint8_t m_bAnswered = 0;
    std::uint8_t m_bDownloadRequest = 0;
    std::uint8_t m_bRealTimeRequest = 0;
    std::uint8_t m_bStopped = 1;
    QByteArray m_varInput;  // the last bytes read from the port
    QByteArray m_arrOutput; // the bytes handed to the port for sending

    // --- display and save state ---
    std::uint8_t m_bInfoDialog = 1;
    std::uint8_t m_bInstrumentPane = 1;
    int m_nInstrumentPaneWidth = 150;
    std::uint8_t m_bAskSaveGraph = 1;
    std::uint8_t m_bDataUnsaved = 0;
    std::uint8_t m_bAskSaveStore = 0;
    // Display-mode flags; at most one is set.
    std::uint8_t m_bStoreRms = 0, m_bStoreTr = 0, m_bEpa = 0, m_bRtRms = 0, m_bRtOther = 0,
                 m_bRtFreq = 0, m_bRtPowerS = 0, m_bRtPowerQ = 0, m_bRtPowerP = 0;

    // --- settings values (kept in the settings file between runs) ---
    QString m_strYear, m_strMonth, m_strDay, m_strHour, m_strMinute, m_strSecond;
    QString m_strSampRate;
    int m_nSampUnit = 0;
    int m_nLimit1Unit = 1;
    int m_nLimit2Unit = 1;
    QString m_strRiseLevel, m_strDropLevel;
    std::uint8_t m_nAutoOff = 0;
    std::uint8_t m_nMemFullMode = 0;
    int m_nSampData = 3600;
    std::uint8_t m_nBgColor = 13, m_nCh1Color = 0, m_nCh2Color = 1, m_nCh3Color = 3,
                 m_nGridColor = 2;
    YAxisTable m_nYAxisHigh{};
    YAxisTable m_nYAxisLow{};

    // Clears the nine display-mode flags.
    void clearModeFlags()
    {
        m_bStoreRms = m_bStoreTr = m_bEpa = m_bRtRms = m_bRtOther = m_bRtFreq = m_bRtPowerS =
            m_bRtPowerQ = m_bRtPowerP = 0;
    }
};
