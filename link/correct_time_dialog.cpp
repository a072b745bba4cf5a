#include "link/correct_time_dialog.h"

#include <array>
#include <utility>

#include <QLabel>
#include <QPushButton>

#include "display/frame_state.h"
#include "display/num_edit.h"
#include "display/up_down_control.h"
#include "link/cmscomm.h"
#include "platform/local_time.h"
#include "platform/profile_file.h"
#include "platform/timer_table.h"

using namespace ctrl;

namespace {
std::tm localNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

// Two digits, tens then units: 7 shows "07".
QString twoDigits(int value)
{
    return QStringLiteral("%1%2").arg(value / 10).arg(value % 10);
}
} // namespace

CCorrectTimeDlg::CCorrectTimeDlg(QWidget* parent)
    : CInstrumentDlg(IDD_CORRECT_TIME, parent)
    , m_clock(localNow)
    , m_timers(std::make_unique<TimerTable>([this](int id) { OnTimer(id); }))
{
}

CCorrectTimeDlg::~CCorrectTimeDlg() = default;

QPushButton* CCorrectTimeDlg::okButton() const
{
    return item<QPushButton>(IDOK);
}

bool CCorrectTimeDlg::refreshTimerActive() const
{
    return m_timers->IsActive(kRefreshTimer);
}

void CCorrectTimeDlg::DoDataExchange(bool save)
{
    const std::pair<int, QString*> fields[] = {
        {IDC_DAY, &m_strDay},       {IDC_MINUTE, &m_strMinute}, {IDC_MONTH, &m_strMonth},
        {IDC_SECOND, &m_strSecond}, {IDC_YEAR, &m_strYear},     {IDC_HOUR, &m_strHour},
    };
    for (auto [id, value] : fields) {
        auto* edit = item<CNumEdit>(id);
        if (save)
            *value = edit->text();
        else if (edit->text() != *value)
            edit->setText(*value);
    }
    auto* prompt = item<QLabel>(IDC_PROMPT);
    if (save)
        m_strPrompt = prompt->text();
    else if (prompt->text() != m_strPrompt)
        prompt->setText(m_strPrompt);
}

void CCorrectTimeDlg::RefreshFields()
{
    const DateFields now = dateFieldsFromTm(m_clock());
    m_strYear = QString::number(now.year);
    m_strMonth = twoDigits(now.month);
    m_strDay = twoDigits(now.day);
    m_strHour = twoDigits(now.hour);
    m_strMinute = twoDigits(now.minute);
    m_strSecond = twoDigits(now.second);
}

void CCorrectTimeDlg::OnInitDialog()
{
    CInstrumentDlg::OnInitDialog();
    const std::pair<int, std::pair<int, int>> ranges[] = {
        {IDC_YEAR_SPIN, {2007, 2050}}, {IDC_MONTH_SPIN, {1, 12}},  {IDC_DAY_SPIN, {1, 31}},
        {IDC_HOUR_SPIN, {0, 23}},      {IDC_MINUTE_SPIN, {0, 59}}, {IDC_SECOND_SPIN, {0, 59}},
    };
    for (auto [id, range] : ranges)
        item<UpDownControl>(id)->SetRange32(range.first, range.second);
    RefreshFields();
    m_timers->SetTimer(kRefreshTimer, kRefreshPeriodMs);
    m_strPrompt.clear();
    SetTitle(linktext::kConnecting);
    if (m_host.state && m_host.state->m_bLinkUp)
        checkLinkOnOpening(); // OK stays as it is: the title decides what it does
    UpdateData(false);
}

void CCorrectTimeDlg::OnTimer(int id)
{
    if (id != kRefreshTimer)
        return;
    RefreshFields();
    UpdateData(false);
}

wire::ClockCommand CCorrectTimeDlg::clockCommand() const
{
    wire::ClockCommand c;
    c.year = ProfileFile::leadingInteger(m_strYear);
    c.month = ProfileFile::leadingInteger(m_strMonth);
    c.day = ProfileFile::leadingInteger(m_strDay);
    c.hour = ProfileFile::leadingInteger(m_strHour);
    c.minute = ProfileFile::leadingInteger(m_strMinute);
    c.second = ProfileFile::leadingInteger(m_strSecond);
    return c;
}

void CCorrectTimeDlg::OnOK()
{
    if (!linkAllowsOK())
        return;
    // The time sent is the one the fields show (at most a second old).
    sendAndAccept(clockCommand().bytes(), [this](FrameState& frame) {
        // The six clock fields, year to second.
        const std::array<std::pair<QString*, const QString*>, 6> fields{{
            {&frame.m_strYear, &m_strYear},
            {&frame.m_strMonth, &m_strMonth},
            {&frame.m_strDay, &m_strDay},
            {&frame.m_strHour, &m_strHour},
            {&frame.m_strMinute, &m_strMinute},
            {&frame.m_strSecond, &m_strSecond},
        }};
        for (const auto& [to, from] : fields)
            *to = *from;
    });
}

void CCorrectTimeDlg::OnCancel()
{
    done(QDialog::Rejected);
    stopConnectTimers();
}

void CCorrectTimeDlg::done(int result)
{
    // The refresh lives as long as the window.
    m_timers->KillTimer(kRefreshTimer);
    CInstrumentDlg::done(result);
}
