#include "link/realtime_setup_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "display/frame_state.h"
#include "display/num_edit.h"
#include "display/up_down_control.h"
#include "display/view_state.h"
#include "platform/message_box.h"

using namespace ctrl;

namespace {
const QString kPressRunOnOpening =
    QStringLiteral("Press \"RUN\" to read real-time data,or \"Cancel\" to exit.");
const QString kEnterInteger = QStringLiteral("Please enter an integer.");
constexpr int kRateLow = 2, kRateHigh = 3600;
constexpr int kPointsLow = 1, kPointsHigh = 100000;

bool isEscOrEnter(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
}
} // namespace

CRealTimeSetupDlg::CRealTimeSetupDlg(QWidget* parent) : CInstrumentDlg(IDD_REAL_TIME_SETUP, parent)
{
    // The grey ground of the instrument dialogs; the text keeps the system's colour.
    QPalette pal = palette();
    const QPalette standard = QPalette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::WindowText, standard.color(group, QPalette::WindowText));
        pal.setColor(group, QPalette::Text, standard.color(group, QPalette::Text));
    }
    setPalette(pal);

    rateSpin()->setArrowKeys(true);
    pointsSpin()->setArrowKeys(true);
    connect(rateEdit(), &QLineEdit::textChanged, this, &CRealTimeSetupDlg::OnChangeSampleRate);
    connect(pointsEdit(), &QLineEdit::textChanged, this, &CRealTimeSetupDlg::OnChangeDataPoints);
    // Esc and Enter do nothing anywhere in the dialog, also on a focused button.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

CNumEdit* CRealTimeSetupDlg::rateEdit() const
{
    return item<CNumEdit>(IDC_RT_RATE);
}

CNumEdit* CRealTimeSetupDlg::pointsEdit() const
{
    return item<CNumEdit>(IDC_RT_POINTS);
}

UpDownControl* CRealTimeSetupDlg::rateSpin() const
{
    return item<UpDownControl>(IDC_RT_RATE_SPIN);
}

UpDownControl* CRealTimeSetupDlg::pointsSpin() const
{
    return item<UpDownControl>(IDC_RT_POINTS_SPIN);
}

QPushButton* CRealTimeSetupDlg::runButton() const
{
    return item<QPushButton>(IDOK);
}

bool CRealTimeSetupDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (isEscOrEnter(event)) {
        event->accept();
        return true;
    }
    return CInstrumentDlg::eventFilter(watched, event);
}

void CRealTimeSetupDlg::keyPressEvent(QKeyEvent* event)
{
    if (isEscOrEnter(event)) {
        event->accept();
        return;
    }
    CInstrumentDlg::keyPressEvent(event);
}

bool CRealTimeSetupDlg::exchangeInt(int id, int& value, int low, int high)
{
    auto* edit = item<CNumEdit>(id);
    if (!m_bExchangeOk)
        return false;
    if (!edit)
        return true;
    bool ok = false;
    const int parsed = edit->text().trimmed().toInt(&ok);
    if (ok)
        value = parsed; // kept even when out of range: the change handlers pass it on
    if (!ok || parsed < low || parsed > high) {
        m_bExchangeOk = false;
        appMessageBox(
            ok ? QStringLiteral("Please enter an integer between %1 and %2.").arg(low).arg(high)
               : kEnterInteger);
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    return true;
}

void CRealTimeSetupDlg::DoDataExchange(bool save)
{
    auto* prompt = item<QLabel>(IDC_RT_PROMPT);
    if (!save) {
        if (prompt && prompt->text() != m_strPrompt)
            prompt->setText(m_strPrompt);
        const QString rate = QString::number(m_nRate);
        if (rateEdit()->text() != rate)
            rateEdit()->setText(rate);
        const QString points = QString::number(m_nPoints);
        if (pointsEdit()->text() != points)
            pointsEdit()->setText(points);
        return;
    }
    m_bExchangeOk = true;
    if (prompt)
        m_strPrompt = prompt->text();
    if (!exchangeInt(IDC_RT_RATE, m_nRate, kRateLow, kRateHigh))
        return;
    exchangeInt(IDC_RT_POINTS, m_nPoints, kPointsLow, kPointsHigh);
}

void CRealTimeSetupDlg::OnInitDialog()
{
    CInstrumentDlg::OnInitDialog();
    FrameState* frame = m_host.state;
    m_nRate = m_pView ? m_pView->m_nRtSampleRate : 0;
    m_nPoints = frame ? frame->m_nSampData : 0;
    rateSpin()->SetRange32(kRateLow, kRateHigh);
    pointsSpin()->SetRange32(kPointsLow, kPointsHigh);
    SetTitle(linktext::kConnecting);
    m_strPrompt.clear();
    UpdateData(false);
    if (frame && frame->m_bLinkUp == 1 && checkLinkOnOpening())
        m_strPrompt = kPressRunOnOpening;
    UpdateData(false);
}

void CRealTimeSetupDlg::OnChangeSampleRate()
{
    // Only the user's edits (typing, the arrows) write through.
    if (inDataExchange() || !isOpen())
        return;
    UpdateData(true);
    if (m_pView)
        m_pView->m_nRtSampleRate = m_nRate;
}

void CRealTimeSetupDlg::OnChangeDataPoints()
{
    if (inDataExchange() || !isOpen())
        return;
    UpdateData(true);
    if (m_host.state)
        m_host.state->m_nSampData = m_nPoints;
}

void CRealTimeSetupDlg::OnOK()
{
    if (m_strTitle == linktext::kConnecting)
        return;
    // An out-of-range value was reported when it was typed.
    if (m_nRate < kRateLow || m_nRate > kRateHigh || m_nPoints < kPointsLow
        || m_nPoints > kPointsHigh)
        return;
    if (!linkAllowsOK())
        return;
    UpdateData(true);
    // A field that failed just now keeps the member it had: the run takes the last good
    // values, which are in range (checked above or kept from then).
    if (m_nRate < kRateLow || m_nRate > kRateHigh || m_nPoints < kPointsLow
        || m_nPoints > kPointsHigh)
        return;
    FrameState* frame = m_host.state;
    if (m_pView)
        m_pView->m_nRtSampleRate = m_nRate;
    if (frame) {
        frame->m_nSampData = m_nPoints;
        frame->m_bDownloadRequest = 0;
        frame->m_bRealTimeRequest = 1;
    }
    if (!m_host.startTransfer || !m_host.startTransfer()) {
        // The command could not go out (the user was told): the dialog stays open for
        // another try once the link is back.
        reportSendFailure();
        return;
    }
    UpdateData(true);
    if (lastExchangeOk())
        done(QDialog::Accepted);
    stopConnectTimers();
}

void CRealTimeSetupDlg::OnCancel()
{
    done(QDialog::Rejected);
    stopConnectTimers();
}
