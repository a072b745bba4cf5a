#pragma once
// The graph view: the right-hand pane of the main window. It holds the display
// state (ViewState) and paints the measurement; its panels and dialogs are members.
#include <QWidget>
#include <memory>

#include "display/view_state.h"
#include "platform/timer_table.h"

class CDTDoc;
struct FrameState;
class QScrollBar;

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
    void OnTimer(int id);

    TimerTable& timers() { return m_timers; }

    // The children that live around the plot; null until the painting creates them.
    QWidget* m_pRecInfoBand = nullptr;
    QScrollBar* m_wndTimeScroll = nullptr;
    QScrollBar* m_wndScrollCh1 = nullptr;
    QScrollBar* m_wndScrollCh2 = nullptr;
    QWidget* m_listData = nullptr;
    QWidget* m_wndViewToolBar = nullptr;

    void OnDocumentUpdated() override;

    // The modeless data list: shown (created when it has no window), and ended with its
    // window destroyed. Stand-ins until the data list exists.
    void ShowDataList();
    void CloseDataList();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CDTDoc* m_pDocument;
    FrameState* m_pFrame = nullptr;
    TimerTable m_timers;
};
