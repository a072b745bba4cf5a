#pragma once
// The transient record list ("TR File List"): a modeless window with one row per
// transient record, its number and start time. Double-clicking a row shows that
// record in the graph view in the Store Transient Wave mode. The graph view creates it
// (CDTView::OnShowTrFileList) over the instrument pane and ends it with the display
// modes and the end of a download.
#include <QDialog>

class CDTView;
class QTableView;
class TrRecordModel;

class CTrFileListDlg : public QDialog {
    Q_OBJECT
public:
    // Result the window ends with on Esc and Enter (its template id).
    static constexpr int kResult = 255;

    // A window of its own; `view` owns it, so it never outlives the view.
    explicit CTrFileListDlg(CDTView* view);

    // Grid lines, full-row selection and the three columns.
    bool OnInitDialog();
    // Reloads the row count when the view asked for it (CDTView::m_bTrListDirty).
    void ReloadIfDirty();
    // Shows record `row` in the graph; nothing for a row that is no record (any more).
    void OnDblClkList(int row);

    QTableView* list() const { return m_wndList; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    // Ends the window with `result` and lets the view know it has none any more.
    void endWindow(int result);

    CDTView* m_pView;
    QTableView* m_wndList = nullptr;
    TrRecordModel* m_model = nullptr;
};
