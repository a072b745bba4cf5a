#include "link/logger_setup_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "display/frame_state.h"
#include "display/num_edit.h"
#include "display/up_down_control.h"
#include "link/cmscomm.h"
#include "platform/message_box.h"
#include "platform/profile_file.h"

using namespace ctrl;

namespace {
int leadingInteger(const QString& text)
{
    return ProfileFile::leadingInteger(text);
}

void exchangeText(bool save, QLineEdit* edit, QString& value)
{
    if (save)
        value = edit->text();
    else if (edit->text() != value)
        edit->setText(value);
}

// A list index: -1 selects nothing, as an index outside the list does.
void exchangeIndex(bool save, QComboBox* list, int& value)
{
    if (save)
        value = list->currentIndex();
    else
        list->setCurrentIndex(value >= 0 && value < list->count() ? value : -1);
}
} // namespace

CLoggerSetupDlg::CLoggerSetupDlg(QWidget* parent) : CInstrumentDlg(IDD_LOGGER_SETUP, parent)
{
    connect(rateEdit(), &QLineEdit::textChanged, this, &CLoggerSetupDlg::OnChangeRate);
    connect(unitList(), &QComboBox::currentIndexChanged, this, &CLoggerSetupDlg::OnSelChangeUnit);
    connect(item<QPushButton>(IDC_DEFAULT), &QPushButton::clicked, this,
            &CLoggerSetupDlg::OnDefault);
    connect(item<QRadioButton>(IDC_AUTO_OFF_ON), &QRadioButton::clicked, this,
            [this] { m_nAutoOff = 2; });
    connect(item<QRadioButton>(IDC_AUTO_OFF_OFF), &QRadioButton::clicked, this,
            [this] { m_nAutoOff = 0; });
    connect(item<QRadioButton>(IDC_MEM_FULL_OVERWRITE), &QRadioButton::clicked, this,
            [this] { m_nMemFull = 3; });
    connect(item<QRadioButton>(IDC_MEM_FULL_STOP), &QRadioButton::clicked, this,
            [this] { m_nMemFull = 0; });
}

CNumEdit* CLoggerSetupDlg::rateEdit() const
{
    return item<CNumEdit>(IDC_RATE);
}

QComboBox* CLoggerSetupDlg::unitList() const
{
    return item<QComboBox>(IDC_RATE_UNIT);
}

UpDownControl* CLoggerSetupDlg::rateSpin() const
{
    return item<UpDownControl>(IDC_RATE_SPIN);
}

QPushButton* CLoggerSetupDlg::setupButton() const
{
    return item<QPushButton>(IDOK);
}

void CLoggerSetupDlg::DoDataExchange(bool save)
{
    exchangeIndex(save, unitList(), m_nUnit);
    exchangeText(save, rateEdit(), m_strRate);
    exchangeText(save, item<CNumEdit>(IDC_RISE_LEVEL), m_strRiseLevel);
    if (auto* prompt = item<QLabel>(IDC_PROMPT)) {
        if (save)
            m_strPrompt = prompt->text();
        else if (prompt->text() != m_strPrompt)
            prompt->setText(m_strPrompt);
    }
    exchangeIndex(save, item<QComboBox>(IDC_RISE_UNIT), m_nRiseUnit);
    exchangeIndex(save, item<QComboBox>(IDC_DROP_UNIT), m_nDropUnit);
    exchangeText(save, item<CNumEdit>(IDC_DROP_LEVEL), m_strDropLevel);
}

void CLoggerSetupDlg::OnInitDialog()
{
    CInstrumentDlg::OnInitDialog();
    m_strPrompt.clear();
    const FrameState* frame = m_host.state;
    if (frame) {
        m_nAutoOff = frame->m_nAutoOff;
        m_nMemFull = frame->m_nMemFullMode;
        m_nUnit = frame->m_nSampUnit;
        m_strRate = frame->m_strSampRate;
        m_nRiseUnit = frame->m_nLimit1Unit;
        m_nDropUnit = frame->m_nLimit2Unit;
        m_strRiseLevel = frame->m_strRiseLevel;
        m_strDropLevel = frame->m_strDropLevel;
    }
    // Only the recognised values check their button: any other value shows the
    // opposite choice but is kept as read (and sends no flag bit).
    CheckRadioButton(m_nAutoOff == 2 ? IDC_AUTO_OFF_ON : IDC_AUTO_OFF_OFF);
    CheckRadioButton(m_nMemFull == 3 ? IDC_MEM_FULL_OVERWRITE : IDC_MEM_FULL_STOP);
    rateSpin()->SetRange32(0, 60);
    item<UpDownControl>(IDC_RISE_SPIN)->SetRange32(0, 1000);
    item<UpDownControl>(IDC_DROP_SPIN)->SetRange32(0, 1000);
    SetTitle(linktext::kConnecting);
    if (frame && frame->m_bLinkUp)
        setupButton()->setEnabled(checkLinkOnOpening());
    UpdateData(false);
}

void CLoggerSetupDlg::OnChangeRate()
{
    // Only the user's edits (typing, the arrows) are clamped; a value the exchange
    // puts in, such as a rate loaded from the settings, stays as it is.
    if (inDataExchange() || !isOpen())
        return;
    UpdateData(true);
    int v = leadingInteger(m_strRate);
    if (m_nUnit == 0 || m_nUnit == 1)
        v = v > 60 ? 60 : (v < 1 ? 1 : v);
    else if (m_nUnit == 2)
        v = v > 24 ? 24 : (v < 1 ? 1 : v);
    m_strRate = QString::number(v);
    UpdateData(false);
}

void CLoggerSetupDlg::OnSelChangeUnit()
{
    if (inDataExchange() || !isOpen())
        return;
    UpdateData(true);
    if (m_nUnit == 2 && leadingInteger(m_strRate) > 24)
        m_strRate = QStringLiteral("24");
    UpdateData(false);
}

void CLoggerSetupDlg::OnDefault()
{
    m_nAutoOff = 0;
    CheckRadioButton(IDC_AUTO_OFF_OFF);
    m_nMemFull = 0;
    CheckRadioButton(IDC_MEM_FULL_STOP);
    m_strRate = QStringLiteral("10");
    m_nUnit = 0;
    m_nRiseUnit = 1;
    m_nDropUnit = 1;
    m_strRiseLevel = QStringLiteral("500");
    m_strDropLevel = QStringLiteral("100");
    UpdateData(false);
}

wire::LoggerSetupCommand CLoggerSetupDlg::setupCommand() const
{
    wire::LoggerSetupCommand c;
    c.autoOff = m_nAutoOff;
    c.memFull = m_nMemFull;
    c.unitChoice = m_nUnit;
    c.rate = leadingInteger(m_strRate);
    c.riseLevel = leadingInteger(m_strRiseLevel);
    c.dropLevel = leadingInteger(m_strDropLevel);
    return c;
}

void CLoggerSetupDlg::OnOK()
{
    if (!linkAllowsOK())
        return;
    if (messageBox(this, linktext::kEraseWarning, kProgramTitle, MsgButtons::YesNo, MsgIcon::None)
        != MsgResult::Yes)
        return;
    sendAndAccept(setupCommand().bytes(), [this](FrameState& frame) {
        frame.m_nAutoOff = m_nAutoOff;
        frame.m_nMemFullMode = m_nMemFull;
        frame.m_strSampRate = m_strRate;
        frame.m_nSampUnit = m_nUnit;
        frame.m_nLimit1Unit = m_nRiseUnit;
        frame.m_nLimit2Unit = m_nDropUnit;
        frame.m_strRiseLevel = m_strRiseLevel;
        frame.m_strDropLevel = m_strDropLevel;
        // The logger's memory was erased: the save questions of Open and Download Data
        // are armed again.
        frame.m_bAskSaveGraph = 1;
        frame.m_bAskSaveStore = 1;
    });
}

void CLoggerSetupDlg::OnCancel()
{
    done(QDialog::Rejected);
    stopConnectTimers();
}
