#pragma once
// CAxisSetupDlg: Axis Setup. Sets the value range of both channels for the current
// graph kind (Store Transient Wave, or the RMS kind for every other mode) and chooses
// automatic or full scale. The scale choice acts on the view at once; OK checks that
// each minimum lies below its maximum, stores the limits in the frame's y-axis table,
// shows the new range and returns to the full view. The point window of the x axis is
// carried in fields that stay hidden.
#include <QString>

#include "display/template_dialog.h"

class CDTView;
class CNumEdit;
struct FrameState;

class CAxisSetupDlg : public TemplateDialog {
    Q_OBJECT
public:
    CAxisSetupDlg(CDTView& view, FrameState& frame, QWidget* parent = nullptr);

    int DoModal();

    // The six field texts (data exchange members).
    QString m_strCh1Max, m_strCh1Min, m_strXTo, m_strXFrom, m_strCh2Max, m_strCh2Min;

    CNumEdit* edit(int id) const;

    void OnInitDialog();
    void OnChangeCh1Max() { OnChangeField(ctrl::IDC_AXIS_CH1_MAX); }
    void OnChangeCh1Min() { OnChangeField(ctrl::IDC_AXIS_CH1_MIN); }
    void OnChangeCh2Max() { OnChangeField(ctrl::IDC_AXIS_CH2_MAX); }
    void OnChangeCh2Min() { OnChangeField(ctrl::IDC_AXIS_CH2_MIN); }
    void OnChangeXTo() { OnChangeField(ctrl::IDC_AXIS_X_TO); }
    void OnChangeXFrom() { OnChangeField(ctrl::IDC_AXIS_X_FROM); }
    void OnAutoScale();
    void OnFullScale();
    void OnOK();
    void accept() override { OnOK(); }

private:
    // Keeps a field a plain integer after each edit ("-" and empty stay, so that a
    // negative number can be typed).
    void OnChangeField(int id);
    void UpdateData(bool save);
    QString& fieldText(int id);

    CDTView& m_view;
    FrameState& m_frame;
    bool m_bOpen = false;
    bool m_bInExchange = false;
};
