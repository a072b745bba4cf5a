#pragma once
// CColorSetupDlg: Color Setup. Picks, from the 15-colour palette, the colours of the
// plot background, the grid, the two channel curves and the hidden third channel.
// Each choice is a palette index kept by the frame; OK stores the five indices (an
// empty choice as 255) and repaints the graph, Cancel keeps them. The graph view owns
// one such dialog and runs it for each Color Setup command.
#include "display/template_dialog.h"

class CColorComboBox;
class CDTView;

class CColorSetupDlg : public TemplateDialog {
    Q_OBJECT
public:
    explicit CColorSetupDlg(CDTView& view, QWidget* parent = nullptr);

    // Fills the combos from the frame and runs the dialog modally; returns its result.
    int DoModal();

    // Palette indices shown when the dialog opened (-1 before the first opening).
    int m_nBgIndex = -1;
    int m_nCh1Index = -1;
    int m_nGridIndex = -1;
    int m_nCh2Index = -1;
    int m_nCh3Index = -1;

    CColorComboBox* combo(int id) const;

    void OnInitDialog();
    void OnOK();
    void accept() override { OnOK(); }

private:
    CDTView& m_view;
};
