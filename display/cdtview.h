#pragma once
// The graph view: the right-hand pane of the main window. It holds the display
// state (ViewState) and paints the measurement; its panels and dialogs are members.
#include <QColor>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QWidget>
#include <memory>

#include "display/view_state.h"
#include "display/waveform_analysis.h"
#include "link/logging_dialog.h"
#include "platform/timer_table.h"

class CDTDoc;
class CRecInfoDlg;
class QDialog;
class CColorSetupDlg;
class CToolPanelDlg;
struct CCmdUI;
struct FrameState;
class QPainter;
class QPrinter;
class QScrollBar;
class QToolBar;

// The graph view's own timer ids (its timer table is apart from the frame's).
enum ViewTimer : int {
    kViewTimerRepaintPlot = 2, // repaints the plot once a resize has settled
    kViewTimerDragWatch = 3,   // cancels a drag whose pointer left the plot's zone
    kViewTimerFullView = 4     // the first graph paint starts from the full view
};

class CDTView : public QWidget, public ViewState {
    Q_OBJECT
public:
    explicit CDTView(CDTDoc* doc, QWidget* parent = nullptr);
    ~CDTView() override;

    CDTDoc* GetDocument() const { return m_pDocument; }
    // The main frame's data (colours, mode flags, y-axis limits); set by the frame.
    FrameState* GetFrame() const { return m_pFrame; }
    void SetFrame(FrameState* frame) { m_pFrame = frame; }

    // Window creation: reads the view's options and real-time period from the
    // settings file, then sets the initial values. Returns 0.
    int OnCreate();
    // Plot rectangle and scale-step table for the current client size.
    void OnInitialUpdate();
    // Moves the children that exist to their places for the new client size.
    void OnSize(int w, int h);
    // Moves the scroll bars and the toolbar that exist to where the paint puts them for
    // the current size and band height. Called when the band changes, so that the paint
    // finds them in place: a child moved while its parent paints is not painted again.
    void PlaceChildren();
    void OnTimer(int id);

    TimerTable& timers() { return m_timers; }

    // Readies the page about to be drawn, on the screen or a printer: lays out the plot
    // and the graph frame for the client size and does what the page's first showing
    // asks for. The first page in graph mode arms timer 4 (the zoom starts from the full
    // view); the first page after a load enters the mode the document was made in.
    // paintEvent and OnPrint call it right before OnDraw.
    void PreparePage();
    // Paints the graph page that PreparePage laid out into the off-screen picture and
    // copies it to `dc` in one operation: 1:1 onto `target` (the client size) on the
    // screen; when printing, in device pixels stretched over the device's whole
    // printable page.
    void OnDraw(QPainter& dc, QSize target, bool printing);

    // Palette colour of an index (only the low byte counts; above 14 the index is
    // taken as a packed 0x00BBGGRR colour).
    static QColor ColorFromIndex(int index);
    // Draws segment `segment` (from 1 within the window) of channel `channel` into
    // `target`, confined to the plot; returns the rectangle it may have touched.
    QRect DrawChannelCurve(int channel, int segment, int colorIndex, QImage& target);

    // Time scale, full-view tick rows and pixel positions for the current window.
    void PreparePlotPoints();
    // After each real-time sample: draws the newest segment or repaints the graph.
    void RefreshRealTimeGraph();

    // Back to the full view (ID_ZOOM_OUT, kViewTimerFullView, mode commands).
    void OnZoomOut();
    // A command of the view's command map: the view toolbar's four (ID_ZOOM_OUT,
    // ID_AXIS_SETUP, ID_COLOR_SETUP, ID_VIEW_OPTIONS) and the panel commands
    // ID_POWER_ANALYSIS_PANEL and ID_TR_FILE_LIST, which carry out only while
    // OnUpdatePanelCommand enables them.
    void OnCommand(int id);
    // The panel commands are enabled while the stored interval is below one second.
    void OnUpdatePanelCommand(CCmdUI* pCmdUI) const;
    // Focus back on the view: the graph frame is painted again.
    void OnSetFocus();

    // The mouse on the graph (client pixels): a drag in the plot zooms into its box,
    // the cursor line follows the pointer and the read-out shows the nearest point.
    void OnLButtonDown(QPoint point);
    void OnMouseMove(QPoint point);
    void OnLButtonUp(QPoint point);
    // The drag watch: a drag whose pointer leaves the zone around the plot is cancelled.
    void OnDragWatch(QPoint pointer);
    // Scroll-bar messages (scroll code, thumb position, the bar): the time bar pans a
    // zoomed window, the value bars shift each channel's axis.
    void OnHScroll(int code, int trackPos, QScrollBar* bar);
    void OnVScroll(int code, int trackPos, QScrollBar* bar);
    // The view toolbar's dialogs: Axis Setup, Color Setup and View Options, each run
    // modally; they write their results into the view and
    // the frame and repaint.
    void OnAxisSetup();
    void OnColorSetup();
    void OnViewOptions();
    // Repaints the graph frame rectangle (what the dialogs change).
    void InvalidateRedrawArea();
    // Repaints the plot (what a panel moving over it may have uncovered).
    void InvalidatePlot();
    // The Color Setup dialog, made at its first use and kept with the view.
    CColorSetupDlg* m_dlgColorSetup = nullptr;
    // Plot mode of the View dialog's hidden radio buttons; nothing else reads it.
    std::uint8_t m_nPlotGraphMode = 0;

    // The picture of the last paint (client size); tests read it.
    const QImage& picture() const { return m_picture; }

    // The children that live around the plot; null until the painting creates them.
    CRecInfoDlg* m_dlgRecInfo = nullptr; // the record-information band
    QScrollBar* m_wndTimeScroll = nullptr;
    QScrollBar* m_wndScrollCh1 = nullptr;
    QScrollBar* m_wndScrollCh2 = nullptr;
    QWidget* m_listData = nullptr;
    QToolBar* m_wndViewToolBar = nullptr;
    // The data list dialog, once it has a window (set by whoever creates it).
    QWidget* m_dlgDataList = nullptr;

    void OnDocumentUpdated() override;

    // Time text of the 0-based point `index` of the current display mode.
    QString PointIndexToTimeText(int index) const;

    // Modeless panels placed over the left pane; null while they have no window.
    QDialog* m_dlgTrFileList = nullptr;    // transient record list, template 255
    QDialog* m_dlgPowerAnalysis = nullptr; // power-analysis read-out, template 252
    // The panels' places, by their frames (title bar included), in screen coordinates:
    // the view below the record-information band (the data list), and the splitter's
    // left pane, `collapsedWidth` wide when the pane is collapsed (and then, with
    // `belowToolBar`, below the band and the view toolbar).
    QRect BelowBandArea() const;
    QRect LeftPaneArea(int collapsedWidth, bool belowToolBar = false) const;
    // Places a panel's frame over `area` (platform/window_frame.h).
    static void PlacePanel(QWidget* panel, const QRect& area);
    // Creates and shows a panel when it has no window.
    void OnShowTrFileList();
    void OnShowPowerAnalysis();
    // Ends a panel with its template id as result and destroys its window.
    static void EndPanel(QDialog*& panel, int result);
    // Closes the power-analysis panel and the transient list (end of a download).
    void ClosePanels();
    // Analyses samples [start, end) of channel `channel` (0 CH1, 1 CH2) of the latest
    // real-time waveform into the real-time arrays and the panel.
    void AnalyzeWaveform(int start, int end, int channel);
    // The start of a real-time run: the panel's read-outs say "NONE" (shown at its
    // next refresh).
    void ResetPowerAnalysis();
    // The S(VA) read-out of the power-analysis mode: CH1 RMS x CH2 RMS read-outs when
    // the two channels measure volts and amperes and the panel has a window.
    void UpdatePowerAnalysisS();
    // The read-outs of the power-analysis panel; they outlive its window.
    waveform::PowerAnalysisTexts m_powerTexts;
    // The "Logging..." dialog (never shown).
    CLoggingDlg m_dlgLogging;
    // The command-button panel: built with the view, never given a window of its own.
    CToolPanelDlg* m_dlgToolPanel = nullptr;

    // The modeless data list (display/data_list_dialog.cpp): shown (created when it
    // has no window), and ended with its window destroyed.
    void ShowDataList();
    void CloseDataList();
    void InvalidateDataList() override;

    // Printing of the test report (display/view_print.cpp). The pages of what the
    // display mode names (1 graph, 2 list); 0 leaves the page range as it is.
    int OnPreparePrinting() const;
    // What a print produces: the display mode, except that the list (2) needs the
    // data list window and is the graph page (1) without it.
    int PrintKind() const;
    // Draws page `page` (from 1) on the printer `dc` paints on.
    void OnPrint(QPainter& dc, int page);
    // Prints every page of the printer's range, one OnPrint per page. Returns why the
    // print failed (the printer cannot be painted on, the range holds no page, memory
    // ran out), or nothing when it was printed. A PDF file of a failed print is removed.
    QString PrintReport(QPrinter* printer);
    // Why a print preview in a window of `size` device pixels cannot be shown (no
    // memory to paint it), or nothing.
    static QString PreviewFailure(QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void createChildren(int clientW);
    bool createViewToolBar();
    void applyZoomScrollBars(int timeRangeMax, bool positionBars, int verticalHalfRange);
    void enterDocumentMode();
    void drawGraph(bool printing);
    // Scroll messages of a bar go to OnHScroll / OnVScroll.
    void attachScrollBar(QScrollBar* bar);
    // The cursor line and the rubber band over the picture, and the areas they cover.
    void paintOverlays(QPainter& p);
    void refreshOverlay(const QRegion& area);
    QRegion bandOutline() const;
    // The read-out line on its black strip, drawn into the picture.
    void drawReadoutStrip();
    static QFont readoutFont();
    static QColor faceColour();

    CDTDoc* m_pDocument;
    FrameState* m_pFrame = nullptr;
    TimerTable m_timers;
    QImage m_picture;
    // The parts of the window whose picture is already up to date (real-time segments
    // drawn into the picture); a paint confined to them only copies.
    QRegion m_blitOnly;
    int m_nArmedDisplayMode = 0;
};
