#include "display/axis_setup_dialog.h"

#include <QGroupBox>
#include <QRadioButton>
#include <algorithm>
#include <climits>

#include "display/frame_state.h"
#include "display/cdtview.h"
#include "display/dialog_colours.h"
#include "display/mode_rules.h"
#include "display/num_edit.h"
#include "display/up_down_control.h"
#include "display/view_dialog_font.h"
#include "platform/message_box.h"
#include "platform/modal_dialog.h"

using namespace ctrl;

namespace {

const QString kYOrderMessage =
    QStringLiteral("The started Y Axis must be lower than the ended Y Axis");
const QString kXOrderMessage =
    QStringLiteral("The started X Axis must be lower than the ended X Axis");

constexpr int kValueSpinRange = 1000000;

// The leading integer of a field (0 when there is none). A number too long for an int
// stops at the int's bound instead of wrapping round to the other sign.
int fieldInteger(const QString& text)
{
    const QString v = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == QLatin1Char('-') || v[i] == QLatin1Char('+'))) {
        negative = v[i] == QLatin1Char('-');
        ++i;
    }
    long long n = 0;
    for (; i < v.size() && v[i] >= QLatin1Char('0') && v[i] <= QLatin1Char('9'); ++i)
        n = std::min<long long>(n * 10 + (v[i].unicode() - '0'), 1LL + INT_MAX);
    if (negative)
        n = -n;
    return static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
}

} // namespace

CAxisSetupDlg::CAxisSetupDlg(CDTView& view, FrameState& frame, QWidget* parent)
    : TemplateDialog(IDD_AXIS_SETUP, parent)
    , m_view(view)
    , m_frame(frame)
{
    applyDialogColours(this);
    for (int id : {IDC_AXIS_Y_GROUP, IDC_AXIS_X_GROUP})
        if (auto* group = item<QGroupBox>(id))
            group->setFont(viewDialogGroupFont());
    for (int id : {IDC_AXIS_CH1_MAX, IDC_AXIS_CH1_MIN, IDC_AXIS_CH2_MAX, IDC_AXIS_CH2_MIN,
                   IDC_AXIS_X_TO, IDC_AXIS_X_FROM})
        connect(edit(id), &QLineEdit::textChanged, this, [this, id] { OnChangeField(id); });
    // A scale choice counts when the user makes it, by click or by arrow key.
    connect(item<QRadioButton>(IDC_AXIS_AUTO_SCALE), &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_bInExchange)
            OnAutoScale();
    });
    connect(item<QRadioButton>(IDC_AXIS_FULL_SCALE), &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_bInExchange)
            OnFullScale();
    });
}

CNumEdit* CAxisSetupDlg::edit(int id) const
{
    return item<CNumEdit>(id);
}

QString& CAxisSetupDlg::fieldText(int id)
{
    switch (id) {
    case IDC_AXIS_CH1_MAX:
        return m_strCh1Max;
    case IDC_AXIS_CH1_MIN:
        return m_strCh1Min;
    case IDC_AXIS_CH2_MAX:
        return m_strCh2Max;
    case IDC_AXIS_CH2_MIN:
        return m_strCh2Min;
    case IDC_AXIS_X_TO:
        return m_strXTo;
    default:
        return m_strXFrom;
    }
}

void CAxisSetupDlg::UpdateData(bool save)
{
    const bool outer = !m_bInExchange;
    m_bInExchange = true;
    for (int id : {IDC_AXIS_CH1_MAX, IDC_AXIS_CH1_MIN, IDC_AXIS_X_TO, IDC_AXIS_X_FROM,
                   IDC_AXIS_CH2_MAX, IDC_AXIS_CH2_MIN}) {
        CNumEdit* e = edit(id);
        QString& value = fieldText(id);
        if (save)
            value = e->text();
        else if (e->text() != value)
            e->setText(value);
    }
    if (outer)
        m_bInExchange = false;
}

int CAxisSetupDlg::DoModal()
{
    m_bOpen = true;
    OnInitDialog();
    const int result = execModal(*this);
    m_bOpen = false;
    return result;
}

void CAxisSetupDlg::OnInitDialog()
{
    m_bInExchange = true;
    restoreTemplateState();
    for (int id : {IDC_AXIS_CH1_MIN_SPIN, IDC_AXIS_CH1_MAX_SPIN, IDC_AXIS_CH2_MIN_SPIN,
                   IDC_AXIS_CH2_MAX_SPIN})
        item<UpDownControl>(id)->SetRange32(-kValueSpinRange, kValueSpinRange);

    const int c = modes::pointCount(m_view, m_frame);
    const int k = modes::axisSetupKind(m_frame);
    if (m_view.m_bAutoScale[k] == 1)
        CheckRadioButton(IDC_AXIS_AUTO_SCALE);
    else if (m_view.m_bAutoScale[k] == 0)
        CheckRadioButton(IDC_AXIS_FULL_SCALE);
    for (int id : {IDC_AXIS_X_FROM_SPIN, IDC_AXIS_X_TO_SPIN})
        item<UpDownControl>(id)->SetRange32(0, c);

    const modes::Ranges limits = modes::axisRanges(m_frame, k);
    m_strCh1Min = QString::number(limits.ch1Min);
    m_strCh1Max = QString::number(limits.ch1Max);
    m_strCh2Min = QString::number(limits.ch2Min);
    m_strCh2Max = QString::number(limits.ch2Max);
    m_strXFrom = QString::number(m_view.m_nFirstPoint);
    m_strXTo = QString::number(m_view.m_nLastPoint);
    // The point window of Store TR is the record shown.
    if (k == modes::kKindStoreTr) {
        edit(IDC_AXIS_X_FROM)->setEnabled(false);
        edit(IDC_AXIS_X_TO)->setEnabled(false);
    }
    UpdateData(false);
    m_bInExchange = false;
}

void CAxisSetupDlg::OnChangeField(int id)
{
    if (m_bInExchange || !m_bOpen)
        return;
    UpdateData(true);
    QString& text = fieldText(id);
    if (text != QLatin1String("-") && !text.isEmpty()) {
        int v = fieldInteger(text);
        if (id == IDC_AXIS_X_TO)
            v = std::min(v, modes::pointCount(m_view, m_frame));
        else if (id == IDC_AXIS_X_FROM)
            v = std::max(v, 1);
        text = QString::number(v);
    }
    UpdateData(false);
}

void CAxisSetupDlg::OnAutoScale()
{
    auto& scale = m_view.m_bAutoScale[static_cast<std::size_t>(modes::axisSetupKind(m_frame))];
    if (scale == 0)
        scale = 1;
}

void CAxisSetupDlg::OnFullScale()
{
    auto& scale = m_view.m_bAutoScale[static_cast<std::size_t>(modes::axisSetupKind(m_frame))];
    if (scale == 1)
        scale = 0;
}

void CAxisSetupDlg::OnOK()
{
    UpdateData(true);
    const int a = fieldInteger(m_strCh1Min);
    const int b = fieldInteger(m_strCh1Max);
    const int c1 = fieldInteger(m_strCh2Min);
    const int d = fieldInteger(m_strCh2Max);
    const int f = fieldInteger(m_strXFrom);
    int t = fieldInteger(m_strXTo);
    // A run shown as it goes keeps its window up to the newest point.
    if (m_frame.m_bStopped == 0 && !modes::storedMode(m_frame))
        t = m_view.m_nRtCount;

    bool refused = false;
    if (a >= b || c1 >= d) {
        messageBox(this, kYOrderMessage, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
        refused = true;
    }
    // The point window is the user's to fix only while its fields are shown; hidden,
    // it is the view's own window (empty with no data, one point for a single sample)
    // and must not lock the user out of the value range.
    if (f >= t && !edit(IDC_AXIS_X_TO)->isHidden()) {
        messageBox(this, kXOrderMessage, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
        refused = true;
    }
    if (refused)
        return;

    m_view.m_nFirstPoint = f;
    m_view.m_nLastPoint = t;
    const int k = modes::axisSetupKind(m_frame);
    modes::setAxisRanges(m_frame, k, {a, b, c1, d});
    modes::applyRanges(m_view, modes::storedRanges(m_view, m_frame, k));
    m_view.m_nRtScaleLevel = modes::rtScaleLevel(m_view.m_nRtCount - f + 1, m_view.m_nScaleSteps,
                                                 m_view.m_nRtScaleLevel);
    m_view.OnZoomOut();
    done(QDialog::Accepted);
}

void CDTView::OnAxisSetup()
{
    if (!GetFrame())
        return; // a view outside the main window has no limits to set
    CAxisSetupDlg dlg(*this, *GetFrame(), window());
    dlg.DoModal();
}
