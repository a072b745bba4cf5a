#include "display/dormant_panels.h"

#include <QPainter>
#include <QPushButton>

#include "app/mainframe.h"
#include "display/cdtview.h"
#include "document/cdtdoc.h"
#include "platform/message_box.h"

using namespace ctrl;

CToolPanelDlg::CToolPanelDlg(QWidget* parent) : TemplateDialog(IDD_TOOL_PANEL, parent)
{
    setWindowFlags(Qt::Widget);
    hide();
    const std::pair<int, void (CToolPanelDlg::*)()> buttons[] = {
        {IDC_PANEL_CORRECT_TIME, &CToolPanelDlg::OnCorrectTime},
        {IDC_PANEL_SETUP, &CToolPanelDlg::OnDataloggerSetup},
        {IDC_PANEL_DOWNLOAD, &CToolPanelDlg::OnDownloadData},
        {IDC_PANEL_OPEN, &CToolPanelDlg::OnOpenDocument},
        {IDC_PANEL_HELP, &CToolPanelDlg::OnHelp},
        {IDC_PANEL_RUN, &CToolPanelDlg::OnRun}};
    for (const auto& [id, handler] : buttons) {
        auto* b = item<QPushButton>(id);
        b->setFlat(true);
        connect(b, &QPushButton::clicked, this, handler);
    }
}

CMainFrame* CToolPanelDlg::frame() const
{
    return qobject_cast<CMainFrame*>(window());
}

void CToolPanelDlg::OnCorrectTime()
{
    if (CMainFrame* f = frame())
        f->OnCorrectTime();
}

void CToolPanelDlg::OnDataloggerSetup()
{
    if (CMainFrame* f = frame())
        f->OnDataloggerSetup();
}

void CToolPanelDlg::OnDownloadData()
{
    if (CMainFrame* f = frame())
        f->OnDownloadData();
}

void CToolPanelDlg::OnOpenDocument()
{
    if (CMainFrame* f = frame())
        f->OnFileOpen();
}

void CToolPanelDlg::OnHelp()
{
    if (CMainFrame* f = frame())
        f->OnHelpTopics();
}

void CToolPanelDlg::OnRun()
{
    if (CMainFrame* f = frame())
        f->OnRun();
}

CIndicateView::CIndicateView(QWidget* parent) : QWidget(parent) {}

void CIndicateView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width();
    p.fillRect(rect(), QColor(221, 221, 221));
    p.fillRect(0, 0, w, 30, Qt::white);
    p.setPen(Qt::black);
    p.drawText(w / 2 - 50, 7 + p.fontMetrics().ascent(), QStringLiteral("FILENAME"));
    for (int y : {30, 55, 80, 105})
        p.drawLine(0, y, w, y);
    // Sample texts of a record header, two to a row with a separator between them.
    const char* const rows[][2] = {
        {"Sampling Rate: 00:00:01", "Start: 01/01/08 00:00:00"},
        {"End: 01/01/08 00:00:00", "Max Temp: 25.0  Min Temp: 20.0"},
        {"Avg Temp: 22.5", "Max RH: 60.0%  Min RH: 40.0%"},
        {"Avg RH: 50.0%", ""},
    };
    for (int r = 0; r < 4; ++r) {
        const int top = 30 + 25 * r;
        p.drawLine(w / 2, top + 4, w / 2, top + 21);
        p.drawText(QRect(8, top, w / 2 - 16, 25), Qt::AlignVCenter, QLatin1String(rows[r][0]));
        p.drawText(QRect(w / 2 + 8, top, w / 2 - 16, 25), Qt::AlignVCenter,
                   QLatin1String(rows[r][1]));
    }
}

CSelectFileTypeDlg::CSelectFileTypeDlg(CMainFrame& frame, QWidget* parent)
    : TemplateDialog(IDD_SELECT_FILE_TYPE, parent)
    , m_frame(frame)
{
    connect(item<QPushButton>(IDC_SAVE_STORE), &QPushButton::clicked, this,
            &CSelectFileTypeDlg::OnSaveStore);
    connect(item<QPushButton>(IDC_SAVE_REAL_TIME), &QPushButton::clicked, this,
            &CSelectFileTypeDlg::OnSaveRealTime);
}

void CSelectFileTypeDlg::save(int count, const QString& noDataMessage, const QString& tag)
{
    if (count <= 0) {
        messageBox(this, noDataMessage, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    if (CDTDoc* doc = m_frame.GetActiveDocument())
        doc->m_strFileTag = tag;
    // A save that failed (the frame has told the user) leaves the choice open.
    if (m_frame.SaveData())
        done(QDialog::Accepted);
}

void CSelectFileTypeDlg::OnSaveStore()
{
    const CDTView* view = m_frame.GetDataView();
    save(view ? view->m_nStoreCount : 0, QStringLiteral("There is no \"STORE\" DATA!"), kTagStored);
}

void CSelectFileTypeDlg::OnSaveRealTime()
{
    const CDTView* view = m_frame.GetDataView();
    save(view ? view->m_nRtCount : 0, QStringLiteral("There is no \"REAL TIME\" DATA!"),
         kTagRealTime);
}
