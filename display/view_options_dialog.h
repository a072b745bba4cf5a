#pragma once
// CViewOptionsDlg: View. Switches the graph's nine display options (two channels,
// point marks and the grid lines of both axes shown; the third channel, the
// detection level and two alarms hidden). OK writes them into the view and repaints;
// Cancel writes nothing. The settings file keeps them at close (VIEW1 ... VIEW9).
#include "display/template_dialog.h"

class CDTView;

class CViewOptionsDlg : public TemplateDialog {
    Q_OBJECT
public:
    explicit CViewOptionsDlg(CDTView& view, QWidget* parent = nullptr);

    int DoModal();

    // The options as the check boxes show them (1 checked, 0 not).
    int m_bCh1 = 0, m_bCh2 = 0, m_bCh3 = 0, m_bCapLevel = 0, m_bCh2Alarm = 0, m_bCh3Alarm = 0,
        m_bMarkPoints = 0, m_bYAxis = 0, m_bXAxis = 0;

    void OnInitDialog();
    void OnOK();
    void OnSelectMode0();
    void OnSelectMode1();
    void accept() override { OnOK(); }

private:
    void UpdateData(bool save);
    CDTView& m_view;
};
