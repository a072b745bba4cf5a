#include "display/power_analysis_panel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>

#include "display/cdtview.h"
#include "display/mode_rules.h"
#include "document/cdtdoc.h"

using namespace ctrl;

namespace {
const QColor kPanelBackground(230, 230, 230);
const QColor kPanelText(52, 72, 107);
constexpr int kCollapsedPaneWidth = 385;
} // namespace

CPowerAnalysisDlg::CPowerAnalysisDlg(waveform::PowerAnalysisTexts& texts, CDTView* view)
    : TemplateDialog(IDD, view)
    , m_texts(texts)
    , m_view(view)
{
    setObjectName(QStringLiteral("IDD_%1").arg(IDD));
    setModal(false);
    // The panel can be put aside to the task bar like a small window of its own.
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    OnInitDialog();
}

void CPowerAnalysisDlg::OnInitDialog()
{
    // The face is a heavy one whatever weight is asked for; keep it heavy where the
    // family is substituted.
    QFont big(QStringLiteral("Arial Black"));
    big.setPixelSize(35);
    big.setWeight(QFont::Black);
    big.setStyleHint(QFont::SansSerif);
    for (int id : {IDC_EPA_RMS1, IDC_EPA_RMS2, IDC_EPA_S})
        if (QWidget* w = GetDlgItem(id))
            w->setFont(big);

    QPalette pal = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Window, kPanelBackground);
        pal.setColor(group, QPalette::Base, kPanelBackground);
        pal.setColor(group, QPalette::WindowText, kPanelText);
        pal.setColor(group, QPalette::Text, kPanelText);
    }
    setPalette(pal);
    setAutoFillBackground(true);

    if (auto* h = item<QRadioButton>(IDC_EPA_HORIZONTAL))
        h->setEnabled(true);
    CheckRadioButton(IDC_EPA_HORIZONTAL, false);
    CheckRadioButton(IDC_EPA_VERTICAL, true);
    m_texts.phiLabel1 = QStringLiteral("Phi");
    m_texts.phiLabel2 = QStringLiteral("Phi");
    m_texts.difPhiLabel = QStringLiteral("DIF Phi");
    m_texts.powerFactorLabel = QStringLiteral("Power factor");
    UpdateData(false);
}

void CPowerAnalysisDlg::UpdateData(bool save)
{
    auto& t = m_texts;
    const std::pair<int, QString*> edits[] = {
        {1170, &t.rms[0]},        {1176, &t.rms[1]},        {1077, &t.frequency[0]},
        {1083, &t.frequency[1]},  {1076, &t.period[0]},     {1082, &t.period[1]},
        {1171, &t.peakToPeak[0]}, {1177, &t.peakToPeak[1]}, {1174, &t.am[0]},
        {1178, &t.am[1]},         {1175, &t.phi[0]},        {1179, &t.phi[1]},
        {1183, &t.powerS},        {1184, &t.powerQ},        {1188, &t.powerP},
        {1180, &t.difPhi},        {1187, &t.powerFactor},
    };
    for (auto [id, text] : edits) {
        auto* e = item<QLineEdit>(id);
        if (!e)
            continue;
        if (save)
            *text = e->text();
        else if (e->text() != *text)
            e->setText(*text);
    }
    const std::pair<int, QString*> labels[] = {
        {1185, &t.phiLabel1},        {1186, &t.phiLabel2}, {1189, &t.difPhiLabel},
        {1190, &t.powerFactorLabel}, {1191, &t.spare[0]},  {1192, &t.spare[1]},
        {1193, &t.spare[2]},
    };
    for (auto [id, text] : labels) {
        auto* l = item<QLabel>(id);
        if (!l)
            continue;
        if (save)
            *text = l->text();
        else
            l->setText(*text);
    }
    if (save) {
        m_bHorizontal = IsDlgButtonChecked(IDC_EPA_HORIZONTAL);
        m_bVertical = IsDlgButtonChecked(IDC_EPA_VERTICAL);
    } else {
        CheckRadioButton(IDC_EPA_HORIZONTAL, m_bHorizontal);
        CheckRadioButton(IDC_EPA_VERTICAL, m_bVertical);
    }
}

void CPowerAnalysisDlg::done(int result)
{
    // Ended from inside (close box, Esc, Enter): through the view, which forgets the
    // window and lets it go.
    if (m_view && m_view->m_dlgPowerAnalysis == this) {
        CDTView::EndPanel(m_view->m_dlgPowerAnalysis, IDD);
        return;
    }
    QDialog::done(result);
}

void CPowerAnalysisDlg::moveEvent(QMoveEvent* event)
{
    TemplateDialog::moveEvent(event);
    // The panel lies over the window: the plot under its old place is painted again.
    if (m_view)
        m_view->InvalidatePlot();
}

// ---------------------------------------------------------------------------------
// The view's side of the panel and of the waveform analysis.

void CDTView::OnShowPowerAnalysis()
{
    if (m_dlgPowerAnalysis)
        return;
    auto* panel = new CPowerAnalysisDlg(m_powerTexts, this);
    m_dlgPowerAnalysis = panel;
    // Over the left pane of the splitter; a collapsed pane still gets a panel of the
    // power-analysis width.
    PlacePanel(panel, LeftPaneArea(kCollapsedPaneWidth));
    panel->show();
}

void CDTView::AnalyzeWaveform(int start, int end, int channel)
{
    if (!m_pDocument)
        return;
    CDTDoc& doc = *m_pDocument;
    const waveform::Analysis a = waveform::analyze(doc.m_fEpaWave, start, end, channel);
    // The row of the sample being taken; the arrays hold the run's sample limit, and
    // a row past them (the power-analysis mode looks one ahead) is not written.
    const auto r = static_cast<std::size_t>(m_nRtCount);
    const auto ch = static_cast<std::size_t>(channel == 1 ? 1 : 0);
    if (m_nRtCount >= 0 && r < doc.m_pRtRms.size() && r < doc.m_pRtFreq.size()) {
        doc.m_pRtRms[r][ch] = a.rms;
        doc.m_pRtFreq[r][ch] = a.frequency;
    }
    if (auto* panel = qobject_cast<CPowerAnalysisDlg*>(m_dlgPowerAnalysis)) {
        waveform::applyTexts(a, channel, m_powerTexts);
        panel->UpdateData(false);
    }
}

void CDTView::ResetPowerAnalysis()
{
    waveform::resetTexts(m_powerTexts);
}

void CDTView::UpdatePowerAnalysisS()
{
    auto* panel = qobject_cast<CPowerAnalysisDlg*>(m_dlgPowerAnalysis);
    if (!panel || m_bShowCh1 != 1 || m_bShowCh2 != 1 || m_strUnit1 == m_strUnit2)
        return;
    panel->UpdateData(true);
    m_powerTexts.powerS = modes::powerSText(m_powerTexts.rms[0], m_powerTexts.rms[1]);
    panel->UpdateData(false);
}
