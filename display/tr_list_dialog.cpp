#include "display/tr_list_dialog.h"

#include <QAbstractTableModel>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>

#include "app/mainframe.h"
#include "display/cdtview.h"
#include "display/point_time.h"
#include "display/rec_info_band.h"
#include "document/cdtdoc.h"
#include "link/wire_protocol.h"
#include "platform/dialog_units.h"

namespace {
// The window: 183 x 302 dialog units in Arial 11.
const QString kCaption = QStringLiteral("TR File List");
constexpr QSize kTemplateSize(183, 302);
const QString kFontFamily = QStringLiteral("Arial");
constexpr int kFontPoints = 11;
// The columns: record number, start time, and a third one that stays empty.
const QString kColumnTitles[3] = {QStringLiteral("File No."), QStringLiteral("Time"), QString()};
constexpr int kColumnWidths[3] = {62, 160, 160};
// Width of the window when the instrument pane it covers is collapsed.
constexpr int kCollapsedPaneWidth = 210;

bool isEndKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
}
} // namespace

// The rows are not stored: each cell is asked for when it is drawn, from the view's
// record count and the document's start times.
class TrRecordModel : public QAbstractTableModel {
public:
    explicit TrRecordModel(CDTView* view, QObject* parent)
        : QAbstractTableModel(parent)
        , m_pView(view)
    {
    }

    // Deletes all items and takes the view's record count as the new row count.
    void reload()
    {
        beginResetModel();
        m_nRows = std::max(0, m_pView->m_nTrCount);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_nRows;
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : 3;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        const int row = index.row();
        // Records may have changed since the last reload: a row that is no record any
        // more shows nothing.
        if (row >= m_pView->m_nTrCount)
            return QString();
        if (index.column() == 0)
            return QString::number(row + 1);
        if (index.column() == 1) {
            const CDTDoc* doc = m_pView->GetDocument();
            if (!doc || static_cast<std::size_t>(row) >= doc->m_pTrTimes.size())
                return QString();
            return formatPointTime(doc->m_pTrTimes[row]);
        }
        return QString();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section > 2)
            return {};
        if (role == Qt::DisplayRole)
            return kColumnTitles[section];
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        return {};
    }

private:
    CDTView* m_pView;
    int m_nRows = 0;
};

CTrFileListDlg::CTrFileListDlg(CDTView* view)
    : QDialog(view, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                        | Qt::WindowCloseButtonHint)
    , m_pView(view)
{
    setObjectName(QStringLiteral("trFileList"));
    setWindowTitle(kCaption);
    const DialogUnits units(kFontFamily, kFontPoints);
    setFont(units.font());
    resize(units.toPixels(kTemplateSize));

    m_model = new TrRecordModel(view, this);
    m_wndList = new QTableView(this);
    m_wndList->setObjectName(QStringLiteral("list1169"));
    m_wndList->setModel(m_model);
    m_wndList->setGeometry(units.toPixels(QRect(0, 0, 101, 282)));
    m_wndList->installEventFilter(this);
    m_wndList->viewport()->installEventFilter(this);
    connect(m_wndList, &QAbstractItemView::doubleClicked, this,
            [this] { OnDblClkList(m_wndList->currentIndex().row()); });
    OnInitDialog();
}

bool CTrFileListDlg::OnInitDialog()
{
    m_wndList->setShowGrid(true);
    m_wndList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_wndList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_wndList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_wndList->setWordWrap(false);
    m_wndList->verticalHeader()->hide();
    m_wndList->verticalHeader()->setDefaultSectionSize(m_wndList->fontMetrics().height() + 4);
    QHeaderView* header = m_wndList->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    for (int c = 0; c < 3; ++c)
        m_wndList->setColumnWidth(c, kColumnWidths[c]);
    return true;
}

void CTrFileListDlg::ReloadIfDirty()
{
    if (m_pView->m_bTrListDirty && m_wndList)
        m_model->reload();
    m_pView->m_bTrListDirty = 0;
}

bool CTrFileListDlg::event(QEvent* event)
{
    // The rows are reloaded when the window is next painted after the view asked.
    if (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Paint)
        ReloadIfDirty();
    if (event->type() == QEvent::Resize && m_wndList)
        m_wndList->setGeometry(QRect(QPoint(0, 0), static_cast<QResizeEvent*>(event)->size()));
    return QDialog::event(event);
}

void CTrFileListDlg::OnDblClkList(int row)
{
    CDTView& view = *m_pView;
    if (row < 0 || row >= view.m_nTrCount)
        return;
    const auto r = static_cast<std::size_t>(row);

    if (r < view.m_pTrChannel.size()) {
        if (view.m_pTrChannel[r] == wire::kTrChannel1) {
            view.m_bShowCh1 = 1;
            view.m_bShowCh2 = 0;
        } else if (view.m_pTrChannel[r] == wire::kTrChannel2) {
            view.m_bShowCh1 = 0;
            view.m_bShowCh2 = 1;
        }
    }
    if (r < view.m_pTrQuantity.size()) {
        if (view.m_pTrQuantity[r] == wire::kTrQuantityVoltage)
            view.m_strUnit1 = view.m_strUnit2 = QStringLiteral("V");
        else if (view.m_pTrQuantity[r] == wire::kTrQuantityCurrent)
            view.m_strUnit1 = view.m_strUnit2 = QStringLiteral("A");
    }
    view.m_nFirstPoint = kTrSamples * row + 1;
    view.m_nLastPoint = kTrSamples * row + kTrSamples;

    if (auto* frame = dynamic_cast<CMainFrame*>(view.GetFrame()))
        frame->ShowStoreTransient(row);

    if (view.m_dlgRecInfo)
        view.m_dlgRecInfo->update();
    const PlotRect& redraw = view.m_rcRedraw;
    view.update(redraw.left, redraw.top, redraw.width(), redraw.height());
    view.OnZoomOut();

    // An open data list now lists the samples of this record.
    if (QWidget* list = view.m_dlgDataList) {
        view.m_bListDirty = 1;
        CDTView::PlacePanel(list, view.BelowBandArea());
        list->update();
    }
}

bool CTrFileListDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (isEndKey(event)) {
        endWindow(kResult);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CTrFileListDlg::keyPressEvent(QKeyEvent* event)
{
    if (isEndKey(event)) {
        endWindow(kResult);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTrFileListDlg::reject()
{
    endWindow(kResult);
}

void CTrFileListDlg::closeEvent(QCloseEvent* event)
{
    event->accept();
    endWindow(QDialog::Rejected);
}

void CTrFileListDlg::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    m_pView->InvalidatePlot();
}

void CTrFileListDlg::endWindow(int result)
{
    if (m_pView->m_dlgTrFileList == this) {
        CDTView::EndPanel(m_pView->m_dlgTrFileList, result);
    } else {
        done(result);
        deleteLater();
    }
}

// --- the view's command that shows the list ---

void CDTView::OnShowTrFileList()
{
    if (!m_dlgTrFileList) {
        m_bTrListDirty = 1;
        auto* list = new CTrFileListDlg(this);
        m_dlgTrFileList = list;
        // Over the instrument pane, as wide as the pane (or, when the pane is collapsed,
        // a width of its own below the view's band and toolbar).
        PlacePanel(list, LeftPaneArea(kCollapsedPaneWidth, true));
        list->show();
        list->update();
    }
    update(m_rcRedraw.left, m_rcRedraw.top, m_rcRedraw.width(), m_rcRedraw.height());
}
