#pragma once
// The instrument pane: the left pane of the main window's splitter. A tree with a
// single item, "-INSTRUMENT", whose right-click menu runs the logger commands of the
// main window (Correct Time, Datalogger Setup, Download Data, Previous Measurement).
#include <QTreeWidget>
#include <functional>

class CDTDoc;
class CMainFrame;
class QMenu;

class CInstrumentView : public QTreeWidget {
    Q_OBJECT
public:
    explicit CInstrumentView(CDTDoc* doc, QWidget* parent = nullptr);

    CDTDoc* GetDocument() const { return m_pDocument; }
    // The main window: the window this pane sits in.
    CMainFrame* GetParentFrame() const;

    // Rebuilds the tree: exactly one item, "-INSTRUMENT", with the logger's picture.
    void OnInitialUpdate();
    // Right click at `pos` (the tree's client coordinates): over the item it selects it
    // and shows the logger commands' menu at that point; elsewhere nothing happens.
    void OnRClick(const QPoint& pos);
    // Stores the measurement shown as the previous measurement.
    void OnSavePreviousMeasurement();

    // Runs a pop-up menu at a screen point and returns the chosen action (or null).
    // Tests replace it to pick an entry without a real menu; returns the old runner.
    using PopupRunner = std::function<QAction*(QMenu&, const QPoint&)>;
    static PopupRunner setPopupRunner(PopupRunner runner);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CDTDoc* m_pDocument;
};
