#include "display/view_options_dialog.h"

#include <QCheckBox>
#include <QRadioButton>

#include "display/cdtview.h"
#include "display/dialog_colours.h"
#include "platform/modal_dialog.h"

using namespace ctrl;

CViewOptionsDlg::CViewOptionsDlg(CDTView& view, QWidget* parent)
    : TemplateDialog(IDD_VIEW_OPTIONS, parent)
    , m_view(view)
{
    applyDialogColours(this);
    connect(item<QRadioButton>(IDC_VIEW_MODE0), &QRadioButton::clicked, this,
            &CViewOptionsDlg::OnSelectMode0);
    connect(item<QRadioButton>(IDC_VIEW_MODE1), &QRadioButton::clicked, this,
            &CViewOptionsDlg::OnSelectMode1);
}

int CViewOptionsDlg::DoModal()
{
    OnInitDialog();
    return execModal(*this);
}

void CViewOptionsDlg::UpdateData(bool save)
{
    const std::pair<int, int*> boxes[] = {{IDC_VIEW_CH1, &m_bCh1},
                                          {IDC_VIEW_CH2, &m_bCh2},
                                          {IDC_VIEW_CH3, &m_bCh3},
                                          {IDC_VIEW_CAP_LEVEL, &m_bCapLevel},
                                          {IDC_VIEW_CH2_ALARM, &m_bCh2Alarm},
                                          {IDC_VIEW_CH3_ALARM, &m_bCh3Alarm},
                                          {IDC_VIEW_MARK_POINTS, &m_bMarkPoints},
                                          {IDC_VIEW_Y_AXIS, &m_bYAxis},
                                          {IDC_VIEW_X_AXIS, &m_bXAxis}};
    for (const auto& [id, value] : boxes) {
        QCheckBox* box = item<QCheckBox>(id);
        if (save)
            *value = box->isChecked() ? 1 : 0;
        else
            box->setChecked(*value != 0);
    }
}

void CViewOptionsDlg::OnInitDialog()
{
    restoreTemplateState();
    CheckRadioButton(m_view.m_nPlotGraphMode == 0 ? IDC_VIEW_MODE0 : IDC_VIEW_MODE1);
    const CDTView& v = m_view;
    m_bCh1 = v.m_bViewCh1;
    m_bCh2 = v.m_bViewCh2;
    m_bCh3 = v.m_bViewCh3;
    m_bCapLevel = v.m_bViewCapLevel;
    m_bCh2Alarm = v.m_bViewCh2Alarm;
    m_bCh3Alarm = v.m_bViewCh3Alarm;
    m_bMarkPoints = v.m_bMarkPoints;
    m_bYAxis = v.m_bViewYAxis;
    m_bXAxis = v.m_bViewXAxis;
    UpdateData(false);
}

void CViewOptionsDlg::OnOK()
{
    UpdateData(true);
    CDTView& v = m_view;
    v.m_bViewCh1 = static_cast<std::uint8_t>(m_bCh1);
    v.m_bViewCh2 = static_cast<std::uint8_t>(m_bCh2);
    v.m_bViewCh3 = static_cast<std::uint8_t>(m_bCh3);
    v.m_bViewCapLevel = static_cast<std::uint8_t>(m_bCapLevel);
    v.m_bViewCh2Alarm = static_cast<std::uint8_t>(m_bCh2Alarm);
    v.m_bViewCh3Alarm = static_cast<std::uint8_t>(m_bCh3Alarm);
    v.m_bMarkPoints = static_cast<std::uint8_t>(m_bMarkPoints);
    v.m_bViewYAxis = static_cast<std::uint8_t>(m_bYAxis);
    v.m_bViewXAxis = static_cast<std::uint8_t>(m_bXAxis);
    v.InvalidateRedrawArea();
    done(QDialog::Accepted);
}

void CViewOptionsDlg::OnSelectMode0()
{
    m_view.m_nPlotGraphMode = 0;
}

void CViewOptionsDlg::OnSelectMode1()
{
    m_view.m_nPlotGraphMode = 1;
}

void CDTView::OnViewOptions()
{
    CViewOptionsDlg dlg(*this, window());
    dlg.DoModal();
}

void CDTView::InvalidateRedrawArea()
{
    const PlotRect& r = m_rcRedraw;
    update(QRect(r.left, r.top, r.width(), r.height()));
}
