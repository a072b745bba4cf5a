#pragma once
// CPowerAnalysisDlg: the modeless "Electric Power Analysis" panel over the left pane.
// It shows the RMS of each channel and the apparent power S(VA) in large read-outs;
// the texts are the view's (CDTView::m_powerTexts) and outlive the window. It computes
// nothing: the waveform analysis and the power-analysis mode write the texts and ask
// the panel to show them.
#include "display/template_dialog.h"
#include "display/waveform_analysis.h"

class CDTView;

class CPowerAnalysisDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 252;

    CPowerAnalysisDlg(waveform::PowerAnalysisTexts& texts, CDTView* view);

    // Moves the texts into the controls (save false) or back (save true).
    void UpdateData(bool save);

    // Esc, Enter and the close box end the panel with its template id.
    void done(int result) override;
    void accept() override { done(IDD); }
    void reject() override { done(IDD); }

    // The two radio buttons' states (never shown).
    bool m_bHorizontal = false;
    bool m_bVertical = true;

protected:
    void moveEvent(QMoveEvent* event) override;

private:
    void OnInitDialog();
    waveform::PowerAnalysisTexts& m_texts;
    CDTView* m_view;
};
