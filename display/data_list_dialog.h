#pragma once
// The data list: a modeless window listing, one row per point, what the graph view
// shows in the current display mode (number, time, channel 1, channel 2). The list is
// virtual: it is told the row count and asks for each cell text when it draws it, so
// it follows the document's arrays without holding a copy of them.
#include <QAbstractTableModel>
#include <QDialog>
#include <QPointer>
#include <QTableView>
#include <array>

class CDTDoc;
class CDTView;
class ViewState;
struct FrameState;

inline constexpr int IDD_DATA_LIST = 238;
inline constexpr int IDC_DATA_LIST = 1110;

// What the list shows, as plain functions of the display state.
namespace datalist {

struct Column {
    QString heading;
    int width = 0; // pixels
};
// The four columns; in the real-time S(VA) mode the third holds S and the fourth is
// empty and zero wide.
std::array<Column, 4> columnsFor(const FrameState& frame);
// Text of a cell: subitem 0 number, 1 time, 2 channel 1, 3 channel 2. A value that
// the mode's series does not hold (the list has not been rebuilt yet) is empty.
QString cellText(const ViewState& view, const FrameState& frame, const CDTDoc& doc, int row,
                 int subitem);
// "<band mode text> Data List".
QString windowTitle(const ViewState& view);
// During a real-time run (no stored or power-analysis display) the newest row stays
// in view.
bool followsNewestRow(const FrameState& frame);

} // namespace datalist

// Rows and columns of the data list; it holds no texts and asks its source for each
// cell when the list draws it.
class DataListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Source = std::function<QString(int row, int subitem)>;
    explicit DataListModel(Source source, QObject* parent = nullptr);

    // New columns and row count (the list forgets its rows and scroll position).
    void rebuild(const std::array<datalist::Column, 4>& columns, int rows);
    const std::array<datalist::Column, 4>& columns() const { return m_columns; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Source m_source;
    std::array<datalist::Column, 4> m_columns;
    int m_rows = 0;
};

// The report list with grid lines and whole-row selection; rows are of one height so
// that a full logger memory scrolls without measuring every row.
class CDataListCtrl : public QTableView {
    Q_OBJECT
public:
    explicit CDataListCtrl(QWidget* parent = nullptr);
};

class CDataListDlg : public QDialog {
    Q_OBJECT
public:
    // `view` is the graph view whose display the list shows; `parent` the window it
    // stays above.
    explicit CDataListDlg(CDTView* view, QWidget* parent = nullptr);
    ~CDataListDlg() override;

    CDataListCtrl m_wndList;

    // Title from the band's mode text; columns and row count rebuilt when the view
    // asks for it; during a real-time run back to the newest row. Runs before every
    // repaint of the window.
    void OnPaint();
    // Ends the dialog with its template id and destroys its window; the view then has
    // no data list until the next Data List command.
    void EndDataList();

    // What the list shows, as the report printing reads it.
    int listColumnCount() const;
    // Logical column at display position `visual`.
    int columnAtPosition(int visual) const;
    QString headingText(int column) const;
    int listRowCount() const;
    QString itemText(int row, int subitem) const;

    DataListModel* model() const { return m_model; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CDTView* liveView() const;
    bool isEndKey(const QEvent* event) const;

    QPointer<CDTView> m_view;
    DataListModel* m_model;
};
