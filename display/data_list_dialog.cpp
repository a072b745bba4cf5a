#include "display/data_list_dialog.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <optional>

#include "display/frame_state.h"
#include "display/cdtview.h"
#include "display/mode_rules.h"
#include "display/plot_scale.h"
#include "display/point_time.h"
#include "document/cdtdoc.h"
#include "platform/dialog_units.h"
#include "platform/printf_number.h"
#include "platform/truncation.h"

namespace datalist {

namespace {

const QString kInitialCaption = QStringLiteral("AC Voltage/Current Data List");

// The value text of a channel: one decimal, a blank and the unit; a value that reads
// back as 0 is "LO" except for waveform samples, which may well cross zero.
QString valueText(std::optional<float> value, const QString& unit, const FrameState& frame)
{
    if (!value)
        return {};
    const QString number = cnum::fixed(*value, 1);
    if (cnum::readsAsZero(number) && !modes::singleWaveform(frame))
        return QStringLiteral("LO");
    return number + QLatin1Char(' ') + unit;
}

// The sample of channel `ch` (0 or 1) that row `row` shows in the current mode: the
// series the curves draw; a transient row counts from the first point of the record.
std::optional<float> channelValue(const ViewState& view, const FrameState& frame, const CDTDoc& doc,
                                  int row, int ch)
{
    const ChannelSeries series = channelSeries(doc, frame, ch);
    const long long p = modes::listRowPoint(view, frame, row);
    return series.has(p) ? std::optional<float>(series.at(static_cast<std::size_t>(p)))
                         : std::nullopt;
}

} // namespace

std::array<Column, 4> columnsFor(const FrameState& frame)
{
    if (modes::modeFlag(frame, modes::Mode::RtPowerS))
        return {{{QStringLiteral("No."), 50},
                 {QStringLiteral("Time"), 180},
                 {QStringLiteral("S(VA)"), 130},
                 {QString(), 0}}};
    return {{{QStringLiteral("No."), 50},
             {QStringLiteral("Time"), 180},
             {QStringLiteral("CH1"), 130},
             {QStringLiteral("CH2"), 130}}};
}

QString cellText(const ViewState& view, const FrameState& frame, const CDTDoc& doc, int row,
                 int subitem)
{
    switch (subitem) {
    case 0:
        return QString::number(row + 1);
    case 1:
        // A transient row carries the start of the record shown, whichever it is.
        return pointIndexToTimeText(view, frame, doc,
                                    clampToInt(modes::listRowPoint(view, frame, row)));
    case 2:
        if (view.m_bShowCh1 != 1)
            return {};
        return valueText(channelValue(view, frame, doc, row, 0), view.m_strUnit1, frame);
    case 3:
        if (view.m_bShowCh2 != 1 || modes::powerMode(frame))
            return {};
        return valueText(channelValue(view, frame, doc, row, 1), view.m_strUnit2, frame);
    default:
        return {};
    }
}

QString windowTitle(const ViewState& view)
{
    return view.m_recInfo.m_strMode + QStringLiteral(" Data List");
}

bool followsNewestRow(const FrameState& frame)
{
    return !modes::storedMode(frame) && frame.m_bStopped == 0;
}

} // namespace datalist

// ---------------------------------------------------------------------------------

DataListModel::DataListModel(Source source, QObject* parent)
    : QAbstractTableModel(parent)
    , m_source(std::move(source))
    , m_columns(datalist::columnsFor(FrameState()))
{
}

void DataListModel::rebuild(const std::array<datalist::Column, 4>& columns, int rows)
{
    beginResetModel();
    m_columns = columns;
    m_rows = std::max(rows, 0);
    endResetModel();
}

int DataListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DataListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant DataListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return m_source ? m_source(index.row(), index.column()) : QString();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant DataListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[static_cast<std::size_t>(section)].heading;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

// ---------------------------------------------------------------------------------

CDataListCtrl::CDataListCtrl(QWidget* parent) : QTableView(parent)
{
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setHighlightSections(false);
}

// ---------------------------------------------------------------------------------

CDataListDlg::CDataListDlg(CDTView* view, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_wndList(this)
    , m_view(view)
{
    setModal(false);
    setWindowTitle(datalist::kInitialCaption);
    const QFont font(QStringLiteral("Arial"), 10);
    setFont(font);
    m_model = new DataListModel(
        [this](int row, int subitem) {
            CDTView* v = liveView();
            if (!v || !v->GetDocument())
                return QString();
            static const FrameState noFrame;
            return datalist::cellText(*v, v->GetFrame() ? *v->GetFrame() : noFrame,
                                      *v->GetDocument(), row, subitem);
        },
        this);
    m_wndList.setObjectName(QStringLiteral("DataList%1").arg(IDC_DATA_LIST));
    m_wndList.setFont(font);
    m_wndList.verticalHeader()->setDefaultSectionSize(m_wndList.fontMetrics().height() + 4);
    m_wndList.setModel(m_model);
    m_wndList.installEventFilter(this);
    const DialogUnits units(font);
    resize(units.toPixels(QSize(387, 242)));
    m_wndList.setGeometry(0, 0, width(), height());
}

CDataListDlg::~CDataListDlg()
{
    if (m_view && m_view->m_dlgDataList == this)
        m_view->m_dlgDataList = nullptr;
}

CDTView* CDataListDlg::liveView() const
{
    CDTView* v = m_view.data();
    return v && v->m_dlgDataList == this ? v : nullptr;
}

void CDataListDlg::OnPaint()
{
    CDTView* view = liveView();
    if (!view)
        return;
    static const FrameState noFrame;
    const FrameState& frame = view->GetFrame() ? *view->GetFrame() : noFrame;
    setWindowTitle(datalist::windowTitle(*view));
    if (view->m_bListDirty) {
        const std::array<datalist::Column, 4> columns = datalist::columnsFor(frame);
        m_model->rebuild(columns, modes::listRowCount(*view, frame));
        for (int c = 0; c < static_cast<int>(columns.size()); ++c)
            m_wndList.setColumnWidth(c, columns[static_cast<std::size_t>(c)].width);
        view->m_bListDirty = 0;
    }
    const int rows = m_model->rowCount();
    if (datalist::followsNewestRow(frame) && view->m_nRtCount > 0 && rows > 0) {
        const int newest = std::min(view->m_nRtCount, rows) - 1;
        m_wndList.scrollTo(m_model->index(newest, 0), QAbstractItemView::EnsureVisible);
    }
}

void CDataListDlg::EndDataList()
{
    done(IDD_DATA_LIST);
    if (CDTView* view = liveView()) {
        view->m_dlgDataList = nullptr;
        view->m_bDataListOpen = 0;
    }
    // It may be ended from one of its own handlers: the window goes once that returns.
    deleteLater();
}

int CDataListDlg::listColumnCount() const
{
    return m_model->columnCount();
}

int CDataListDlg::columnAtPosition(int visual) const
{
    return m_wndList.horizontalHeader()->logicalIndex(visual);
}

QString CDataListDlg::headingText(int column) const
{
    return m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().left(99);
}

int CDataListDlg::listRowCount() const
{
    return m_model->rowCount();
}

QString CDataListDlg::itemText(int row, int subitem) const
{
    if (row < 0 || row >= m_model->rowCount())
        return {};
    return m_model->data(m_model->index(row, subitem), Qt::DisplayRole).toString();
}

bool CDataListDlg::event(QEvent* event)
{
    // Every repaint of the window (the list's included) starts with an update request
    // to the window: the list is brought up to date just before it draws.
    if (event->type() == QEvent::UpdateRequest)
        OnPaint();
    return QDialog::event(event);
}

bool CDataListDlg::isEndKey(const QEvent* event) const
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool CDataListDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Esc and Enter end the window before the list sees them.
    if (watched == &m_wndList && isEndKey(event)) {
        EndDataList();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CDataListDlg::keyPressEvent(QKeyEvent* event)
{
    if (isEndKey(event)) {
        EndDataList();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDataListDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    OnPaint();
}

void CDataListDlg::closeEvent(QCloseEvent* event)
{
    event->accept();
    EndDataList();
}

void CDataListDlg::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    // The graph under the window shows again where it was.
    if (CDTView* view = liveView())
        view->InvalidatePlot();
}

void CDataListDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    m_wndList.setGeometry(0, 0, width(), height());
}

// ---------------------------------------------------------------------------------
// The view's side of the data list.

void CDTView::ShowDataList()
{
    if (m_dlgDataList)
        return;
    m_bListDirty = 1;
    m_bDataListOpen = 1;
    auto* dialog = new CDataListDlg(this, window());
    m_dlgDataList = dialog;
    PlacePanel(dialog, BelowBandArea());
    dialog->show();
}

void CDTView::CloseDataList()
{
    if (auto* dialog = qobject_cast<CDataListDlg*>(m_dlgDataList))
        dialog->EndDataList();
}

void CDTView::InvalidateDataList()
{
    if (m_dlgDataList)
        m_dlgDataList->update();
}
