#include "display/color_setup_dialog.h"

#include <QGroupBox>

#include "display/frame_state.h"
#include "display/cdtview.h"
#include "display/color_combo_box.h"
#include "display/dialog_colours.h"
#include "display/view_dialog_font.h"
#include "platform/modal_dialog.h"

using namespace ctrl;

CColorSetupDlg::CColorSetupDlg(CDTView& view, QWidget* parent)
    : TemplateDialog(IDD_COLOR_SETUP, parent)
    , m_view(view)
{
    applyDialogColours(this);
    if (auto* group = item<QGroupBox>(IDC_COLOR_GROUP))
        group->setFont(viewDialogGroupFont());
}

CColorComboBox* CColorSetupDlg::combo(int id) const
{
    return item<CColorComboBox>(id);
}

int CColorSetupDlg::DoModal()
{
    OnInitDialog();
    return execModal(*this);
}

void CColorSetupDlg::OnInitDialog()
{
    restoreTemplateState();
    const FrameState* frame = m_view.GetFrame();
    if (frame) {
        m_nBgIndex = frame->m_nBgColor;
        m_nCh1Index = frame->m_nCh1Color;
        m_nGridIndex = frame->m_nGridColor;
        m_nCh2Index = frame->m_nCh2Color;
        m_nCh3Index = frame->m_nCh3Color;
    }
    // Each opening lists the palette afresh.
    const std::pair<int, int> fills[] = {{IDC_COLOR_BG, m_nBgIndex},
                                         {IDC_COLOR_GRID, m_nGridIndex},
                                         {IDC_COLOR_CH1, m_nCh1Index},
                                         {IDC_COLOR_CH2, m_nCh2Index},
                                         {IDC_COLOR_CH3, m_nCh3Index}};
    for (const auto& [id, index] : fills) {
        CColorComboBox* box = combo(id);
        box->clear();
        box->FillColors(index);
    }
}

void CColorSetupDlg::OnOK()
{
    if (FrameState* frame = m_view.GetFrame()) {
        // No selection reads -1 and is kept as the byte 255, which the palette turns
        // into a colour of its own.
        auto selection = [this](int id) {
            return static_cast<std::uint8_t>(combo(id)->currentIndex());
        };
        frame->m_nBgColor = selection(IDC_COLOR_BG);
        frame->m_nCh1Color = selection(IDC_COLOR_CH1);
        frame->m_nCh2Color = selection(IDC_COLOR_CH2);
        frame->m_nCh3Color = selection(IDC_COLOR_CH3);
        frame->m_nGridColor = selection(IDC_COLOR_GRID);
    }
    m_view.InvalidateRedrawArea();
    done(QDialog::Accepted);
}

void CDTView::OnColorSetup()
{
    if (!m_dlgColorSetup)
        m_dlgColorSetup = new CColorSetupDlg(*this, this);
    m_dlgColorSetup->DoModal();
}
