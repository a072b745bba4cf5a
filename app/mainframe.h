#pragma once
// CMainFrame: the main window. It owns the serial-port control, the link state, the
// mode flags and the settings values (FrameState), the toolbar, the status bar and
// the splitter with the instrument pane (left) and the graph view (right).
//
// The class is one, its members live in the files of their concern:
//   app/mainframe.cpp        creation, layout, command map, Window/Print/Help commands,
//                            close, timer dispatch
//   app/frame_file.cpp       saving, opening, previous measurement
//   link/...                 receive handler, transmit, timers, instrument commands
//   display/display_modes.cpp  OnStoreRms and the other mode commands
//
// Adding a command: declare the handler below in your section, define it in your
// file and add one line to CMainFrame::BuildMessageMap() (app/mainframe.cpp):
//     onCommand(ID_DOWNLOAD_DATA, &CMainFrame::OnDownloadData);
// Its enable rule (onUpdateCommand) is usually registered there already. A command
// without a handler is shown disabled.
// Adding a timer: name it in FrameTimer (link/link_timing.h) and fill in its case in
// CMainFrame::OnTimer (app/mainframe.cpp).
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "display/frame_state.h"
#include "link/cmscomm.h"
#include "link/correct_time_dialog.h"
#include "link/download_dialog.h"
#include "link/download_reception.h"
#include "link/link_timing.h"
#include "link/logger_setup_dialog.h"
#include "link/loading_dialog.h"
#include "link/logging_dialog.h"
#include "link/realtime_setup_dialog.h"
#include "link/realtime_stream.h"
#include "platform/timer_table.h"

class CDTDoc;
class CDTView;
class CInstrumentDlg;
class CInstrumentView;
class QAction;
class QMenu;
class QPrinter;
class QSplitter;
class QStatusBar;
class QToolBar;
class QUrl;

// What a command-update handler decides for one command: enabled, and checked.
struct CCmdUI {
    int m_nID = 0;
    bool m_bEnabled = true;
    bool m_bChecked = false;
    bool m_bCheckSet = false; // the handler gives the command a check mark state
    void Enable(bool on = true) { m_bEnabled = on; }
    void SetCheck(bool on = true)
    {
        m_bChecked = on;
        m_bCheckSet = true;
    }
};

class CMainFrame : public QMainWindow, public FrameState {
    Q_OBJECT

public:
    explicit CMainFrame(CDTDoc* doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // ===================== creation and layout (app/mainframe.cpp) =====================
    // Builds the window: splash and start-up pause, settings, splitter with both panes,
    // toolbar, serial control, status bar, menu. Returns false when a part cannot be
    // made (the program then does not start).
    bool LoadFrame();
    // Pause of window creation while the splash shows (2000 ms; the environment variable
    // RQ730_STARTUP_PAUSE_MS or this setter change it, tests use 0).
    static void setStartupPause(int milliseconds);
    static int startupPause();

    CDTDoc* GetActiveDocument() const { return m_pDocument; }
    // Pane (0,1) of the splitter: the graph view.
    CDTView* GetDataView() const { return m_pDataView; }
    // Pane (0,0): the instrument pane.
    CInstrumentView* GetInstrumentView() const { return m_pInstrumentView; }
    // Sets the width of the instrument pane (0 hides it); the graph view takes the rest.
    void setInstrumentPaneWidth(int width);
    // The width the instrument pane has now.
    int instrumentPaneWidth() const;

    // Objects and windows.
    CMSComm m_MSComm;
    QSplitter* m_wndSplitter = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QStatusBar* m_wndStatusBar = nullptr;
    // --- the instrument dialogs (link pieces add them here, in this order):
    //     m_dlgSetup, m_dlgDownload, m_dlgLogging, m_dlgCorrectTime, m_dlgLoading,
    //     m_dlgRealTime
    // They belong to the main window, so that they stay in front of it, also while it
    // shows a message box during a transfer.
    CLoggerSetupDlg m_dlgSetup{this};
    CDownloadDlg m_dlgDownload{this};
    CLoggingDlg m_dlgLogging;
    CCorrectTimeDlg m_dlgCorrectTime{this};

    // ===================== instrument commands (link/instrument_commands.cpp) ==========
    // Download Data (32847), Datalogger Setup (32869), Correct Time (32840): start the
    // search for the logger (or the link watch) and run their dialog; nothing while a
    // download is being received.
    void OnDownloadData();
    void OnDataloggerSetup();
    void OnCorrectTime();
    // What the instrument dialogs may call on the frame.
    InstrumentHost instrumentHost();

    // ===================== command map (app/mainframe.cpp) =====================
    using CommandHandler = std::function<void()>;
    using UpdateHandler = std::function<void(CCmdUI*)>;
    void onCommand(int id, CommandHandler handler);
    void onCommand(int id, void (CMainFrame::*handler)());
    void onUpdateCommand(int id, UpdateHandler update);
    void onUpdateCommand(int id, void (CMainFrame::*update)(CCmdUI*));
    // Runs command `id` as a menu item, button or accelerator would: nothing when it has
    // no handler or its update handler disables it. Returns whether it ran.
    bool OnCmdMsg(int id);
    // The state the update handler gives the command now (disabled without handler).
    CCmdUI commandState(int id) const;
    // Refreshes the enable and check state of every menu item and toolbar button.
    void UpdateCommandUI();
    // The action of a command id (menu item, toolbar button, accelerator), or null.
    QAction* commandAction(int id) const;
    // The menu bar's top-level pop-up with the given text (e.g. "&Window"), or null.
    QMenu* findMenu(const QString& text) const;

    // ===================== timers (dispatch in app/mainframe.cpp) =====================
    // The frame's timers go by their names (link/link_timing.h), never by bare numbers.
    void SetTimer(FrameTimer id, int milliseconds) { m_timers.SetTimer(id, milliseconds); }
    void KillTimer(FrameTimer id) { m_timers.KillTimer(id); }
    TimerTable& timers() { return m_timers; }
    void OnTimer(int id);

    // ===================== commands of the frame (app/mainframe.cpp) =====================
    void OnViewInstrument();
    void OnUpdateViewInstrument(CCmdUI* pCmdUI);
    void OnViewInfoDialog();
    void OnUpdateViewInfoDialog(CCmdUI* pCmdUI);
    void OnDataList();
    void OnPrintPreviewGraph();
    void OnPrintPreviewList();
    void OnPrintGraph();
    void OnPrintList();
    void OnHelpTopics();
    void OnAppExit();
    // Enable rules: the view shows points; the data list is open too; no real-time run.
    void OnUpdateHasPoints(CCmdUI* pCmdUI);
    void OnUpdatePrintList(CCmdUI* pCmdUI);
    void OnUpdateWhenStopped(CCmdUI* pCmdUI);
    // Framework printing of the graph view: dialog (or preview window), then the view
    // drawn on the printer's pages; and the printer set-up.
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    // Draws what the graph view shows onto the printer; a print that fails is
    // reported with its reason.
    bool PrintView(QPrinter* printer);
    void ReportPrintFailure(const QString& reason);
    // Plays the user at the print dialog in tests: sets the printer up and returns
    // whether to print; no dialog is built while it is installed. Returns the old one.
    using PrintDialogHook = std::function<bool(QPrinter&)>;
    static PrintDialogHook setPrintDialogHook(PrintDialogHook hook);
    QPrinter& printer();
    // Help file path: "help.chm" in the program's folder.
    static QString helpFilePath();
    // Opens a file with the desktop's viewer (tests replace it). Returns the old opener.
    using UrlOpener = std::function<bool(const QUrl&)>;
    static UrlOpener setUrlOpener(UrlOpener opener);

    // ===================== close (app/mainframe.cpp) =====================
    // First step of closing: settings written, save question, data list ended, a
    // real-time run stopped, then the close timer closes the window 100 ms later.
    void OnClose();
    // Writes every setting to the settings file (whole or not at all). A file that could
    // not be read, at start-up or now, is left as it is.
    bool WriteSettings() const;
    // The settings file's path.
    static QString settingsPath();

    // ===================== saving and opening (app/frame_file.cpp) =====================
    // Saves the measurement as a document with its CSV reports beside it (save dialog,
    // wait cursor; a failure is reported). Clears the unsaved-data flags and returns
    // true only when everything was written; Cancel or a failure returns false.
    bool SaveData();
    // File > Save (32814).
    void OnFileSave();
    // Asks before files that exist are replaced; true when none exists or the user
    // answers Yes (No keeps them all).
    bool ConfirmReplace(const QStringList& paths);
    // Writes a file whole; a failure is reported with the system's reason.
    bool WriteFileReported(const QString& path, const QByteArray& bytes);
    // File > Open (32827): the save question, the open dialog, then the document load.
    void OnFileOpen();
    // Loads a document file into the active document: the one load of every open
    // (File > Open, the framework's open, the command line, the previous measurement).
    // A file that cannot be read, or a damaged one, is reported with its reason and
    // changes nothing; after the load, also a refused one ("Invalid Format!"), the
    // zoom-out timer takes the view back to full range.
    enum class LoadResult { Loaded, Refused, Failed };
    LoadResult LoadDocumentFile(const QString& path);
    // Stores the active document in the previous-measurement file (whole or not at
    // all, silently).
    void SavePreviousMeasurement();
    // Loads the previous-measurement file; nothing happens when there is none yet.
    void LoadPreviousMeasurement();
    // Instrument > Previous Measurement (32882).
    void OnPreviousMeasurement();
    // "PreMeasure529.stdata" in the settings folder (windowsFolder()).
    static QString previousMeasurementPath();

    // ===================== logger link (link/) =====================
    // Transmit operations (link/frame_transmit.cpp).
    // Stop (32772): ends a real-time run and tells the logger; enabled during a run.
    void OnStop();
    void OnUpdateStop(CCmdUI* pCmdUI);
    // A run that ended with samples is kept as the previous measurement ("EPADATA").
    void KeepRealTimeRun();
    // Run (32917): starts the search for the logger (scan, or link watch once linked).
    void OnRun();
    // The search every instrument command starts before its dialog opens: the port
    // scan, or the link watch once a logger has answered. The line is the new
    // command's from here on: an earlier set-up or clock waits no longer.
    void ArmLinkSearch();
    // Datalogger Setup and Correct Time: handshake mode, the download's timers ended.
    void ReturnToHandshake();
    // Port back to idle (closed, handshake threshold, buffers empty), not reopened.
    void ResetPort();
    // Request of block m_nBlockIndex with fill m_byFill (kept in m_byBlockRequest).
    void RequestBlock();
    // Sends the one-byte probe on COM`port`, opened with the handshake threshold; a port
    // that cannot be had is skipped. Another port that is open must be closed first.
    void ProbePort(std::uint8_t port);
    // Ends the port scan, probe and link watch timers.
    void StopConnectTimers();
    // Sends 8 command bytes, opening the port first when needed. False when the port
    // failed and nothing went out (the port is then closed).
    bool SendCommand(const std::array<std::uint8_t, 8>& command);
    // Starts the transfer the request flags ask for: a download or a real-time run.
    // False when the port failed: the start is undone (handshake mode, port reset)
    // and "Communication interruption!" was shown.
    bool StartTransfer();
    // A port failure in the transfer start or the receive handler: the transfer timers
    // end, the "Loading..." window goes, the link is back in handshake mode with the
    // port reset, and the user is told once.
    void OnCommInterrupted();
    // Runs a step of the receive side; a port failure in it ends the transfer
    // (OnCommInterrupted).
    void EndTransferOnPortFailure(const std::function<void()>& step);
    // Port discovery and link watch (link/frame_timers.cpp): the port scan, probe and
    // link watch timers, the answer to a probe, and the logging-dialog and data-list
    // timers.
    void OnPortScanTimer();
    void OnProbeTimer();
    void OnLinkWatchTimer();
    // The logger answered a probe: link up, search ended, the open instrument dialogs
    // show "Connected", the link watch starts.
    void OnProbeAnswered();
    void OnLoggingDialogTimer();
    void OnDataListTimer();
    // Receive handler of the serial control (link/frame_receive.cpp): handshake
    // replies in handshake mode, the download header, blocks and finish in data mode.
    void OnCommEvent();
    // The bytes of one read, taken by the link mode and the transfer in force (what
    // OnCommEvent does with the port's input; callable without a port).
    void TakeInput(const QByteArray& bytes);
    // Real-time frames in data mode.
    void OnRealTimeReceive();
    // Transfer timers (link/frame_transfer_timers.cpp): the give-up (of a download, or
    // of a run that never sent its first frame) and the command resend.
    void OnTransferGiveUp();
    void OnCommandResend();
    // The answer wait expired: the logger never answered a set-up or clock command.
    void OnAnswerMissing();
    // The set-up or clock command sent last no longer waits for its answer.
    void EndAnswerWait();
    // The code (first byte) of the set-up or clock command whose answer is awaited;
    // 0 while none is.
    std::uint8_t m_awaitedCommand = 0;
    // Real-time timers (link/realtime_timers.cpp): the watchdog, the sampling tick and
    // the repeat of the real-time command.
    void OnRealTimeWatchdog();
    void OnRealTimeSample();
    void OnRealTimeRequest();
    // Running maximum and minimum of one real-time quantity (frequency when
    // `quantity` is 1) with their texts: value and the time of the current sample.
    void TrackMinMax(int channel, int quantity, float* pMax, float* pMin, float value,
                     QString* pMaxText, QString* pMinText);
    // The real-time extremes behind the texts: frequency and RMS per channel, and S.
    float m_fRtFreqMax[2] = {}, m_fRtFreqMin[2] = {}, m_fRtRmsMax[2] = {}, m_fRtRmsMin[2] = {};
    float m_fRtPowerMax = 0.0f, m_fRtPowerMin = 0.0f;
    // The "Loading..." progress window of a download.
    CLoadingDlg m_dlgLoading;
    // The real-time set-up dialog of the Run command.
    CRealTimeSetupDlg m_dlgRealTime{this};
    // The real-time frames found in what the line carries.
    RealTimeStream m_rtStream;
    // The reception of a download: header, blocks, resends, quiet lines, the end.
    DownloadReception m_reception;

    // ===================== display modes (display/display_modes.cpp) =====================
    // Each command does its entry set-up while its own flag is 0 and refreshes the
    // point window and band texts on every call. A caller that must force the entry
    // set-up clears the flag first.
    void OnStoreRms() override;
    void OnStoreTransientWave();
    void OnPowerAnalysis();
    void OnRealTimeRms() override;
    void OnRealTimeFrequency();
    void OnRealTimePower();
    // Shows transient record `record` (0-based) in the point window the caller has set.
    void ShowStoreTransient(int record);
    void OnUpdateStoreRms(CCmdUI* pCmdUI);
    void OnUpdateStoreTransientWave(CCmdUI* pCmdUI);
    void OnUpdatePowerAnalysis(CCmdUI* pCmdUI);
    void OnUpdateRealTimeRms(CCmdUI* pCmdUI);
    void OnUpdateRealTimeFrequency(CCmdUI* pCmdUI);
    void OnUpdateRealTimePower(CCmdUI* pCmdUI);
    // Registers the six mode commands and their update handlers.
    void RegisterDisplayModeCommands();

    // A restore is still settling: its frame is looked at once it has (tests wait for it).
    bool restoreSettling() const { return m_restoreSettle.isActive(); }

signals:
    // Emitted when the real close has happened (after the close timer).
    void frameClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    // A window restored from maximised comes back to its own place, moved onto the
    // screen's available area only when its title bar would be off it, and made
    // smaller only when its frame does not fit.
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int OnCreate();
    bool OnCreateClient();
    void BuildMessageMap();
    void BuildMenus();
    void BuildToolbar();
    void BuildAccelerators();
    QAction* ensureAction(int id, const QString& text);
    void updateAction(QAction* action) const;
    void printWithDisplayMode(int mode, int frameworkCommand);
    // A print into a file that exists asks first, as a save does; true to print.
    bool confirmPrintFile();
    void focusNextPane(int step);
    // Once a restore has settled: moves and shrinks the window as far as its frame
    // needs to be in reach on the screen's available area.
    void keepRestoredFrameInReach();
    static constexpr int kRestoreSettleMs = 150;
    // Steps shared by the display-mode commands (display/display_modes.cpp).
    void ModeBandFull();
    void ModeBandSlim(bool frameWidth);
    void ModePaneBackToNormal();
    void ModePaneTo(int width);
    void ModeCloseTrList();
    void ModeClosePowerPanel();
    void ModePlaceDataList();
    void ModeRepaintView();
    void ModeInvalidateBand();
    void RealTimeMode(int mode);
    int m_nShownTrRecord = -1; // the transient record shown last
    // Parts of the receive handler (link/frame_receive.cpp).
    void ReceiveEvent();
    void OnHandshakeReply(std::uint8_t reply);
    void OnDownloadReceive();
    // Carries out what the reception machine asks for, in order; stops at an action
    // that ended the download.
    void ApplyReception(const DownloadReception::Actions& actions);
    // The give-up, block resend, quiet line and command resend timers while the
    // reception machine runs a download.
    void OnReceptionTimer(int id);
    // The first valid header: the "Loading..." window with progress 0..progressRange.
    void OnDownloadHeader(int progressRange);
    // A header that announces no data: no values per sample, or a total of 0.
    void OnNoData(bool totalZero);
    void FinishDownload();
    void ShowLoadingWindow();
    // The transfer command once more (the command resend).
    void ResendTransferCommand();
    // The block request once more (the block resend), the port opened again if it was lost;
    // false when it could not be and the download ended.
    bool ResendBlockRequest();
    // A serial-control failure in a handler nothing else guards: shown, as the
    // framework shows errors that escape a message handler.
    static void ReportControlError(const CommDispatchError& error);
    // The open instrument dialogs in the order the link timers visit them: set-up,
    // clock, download (link/frame_timers.cpp).
    std::vector<CInstrumentDlg*> OpenInstrumentDialogs();
    void TellDialogsConnected();
    void TellDialogsNotConnected();

    CDTDoc* m_pDocument;
    CDTView* m_pDataView = nullptr;
    CInstrumentView* m_pInstrumentView = nullptr;
    TimerTable m_timers;
    std::map<int, CommandHandler> m_commands;
    std::map<int, UpdateHandler> m_updates;
    std::map<int, QAction*> m_actions;
    std::unique_ptr<QPrinter> m_printer;
    bool m_bCloseNow = false;       // the close timer has run: the next close event closes
    bool m_bSettingsUnread = false; // the settings file could not be read at start-up
    QTimer m_restoreSettle;         // runs from a restore until the window system falls quiet
};
