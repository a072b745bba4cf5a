#include "link/correct_time_dialog.h"
#include "instrument_test_helpers.h"
#include "support/logger_simulator.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "display/num_edit.h"
#include "display/up_down_control.h"
#include "link/cmscomm.h"
#include "resources/dialog_templates.h"

using testhost::FakeFrame;
using testhost::hex;
using testhost::ScopedModal;

namespace {

std::tm at(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

QStringList fields(const CCorrectTimeDlg& dlg)
{
    QStringList out;
    for (int id : {ctrl::IDC_YEAR, ctrl::IDC_MONTH, ctrl::IDC_DAY, ctrl::IDC_HOUR, ctrl::IDC_MINUTE,
                   ctrl::IDC_SECOND})
        out << dlg.item<CNumEdit>(id)->text();
    return out;
}

} // namespace

TEST(CorrectTimeDialog, ok_sends_the_time_the_fields_show)
{
    FakeFrame frame;
    frame.state.m_strYear = QStringLiteral("2008");
    CCorrectTimeDlg dlg;
    dlg.setHost(frame.host());
    std::tm now = at(2026, 12, 8, 8, 15, 30);
    dlg.setClock([&] { return now; });
    ScopedModal modal([&](QDialog&) {
        EXPECT_EQ(fields(dlg), (QStringList{"2026", "12", "08", "08", "15", "30"}));
        EXPECT_TRUE(dlg.refreshTimerActive());
        for (int id : {ctrl::IDC_YEAR, ctrl::IDC_MONTH, ctrl::IDC_SECOND})
            EXPECT_TRUE(dlg.item<CNumEdit>(id)->isReadOnly());

        // Still searching: OK does nothing, the fields keep refreshing.
        dlg.okButton()->click();
        EXPECT_TRUE(dlg.isOpen());
        now = at(2030, 1, 1, 0, 0, 0);
        dlg.OnTimer(CCorrectTimeDlg::kRefreshTimer);
        EXPECT_EQ(fields(dlg), (QStringList{"2030", "01", "01", "00", "00", "00"}));

        dlg.SetTitle(QStringLiteral("Not Connected"));
        dlg.okButton()->click();
        EXPECT_EQ(dlg.item<QLabel>(ctrl::IDC_PROMPT)->text(),
                  QStringLiteral("Connecting failed. Ensure logger inserted and try again."));
        EXPECT_TRUE(frame.sent.empty());

        dlg.SetTitle(QStringLiteral("Connected"));
        now = at(2031, 5, 5, 5, 5, 5); // not shown yet: the shown time is sent
        dlg.okButton()->click();
    });
    EXPECT_EQ(dlg.DoModal(), QDialog::Accepted);
    ASSERT_EQ(frame.sent.size(), 1u);
    EXPECT_EQ(hex(frame.sent[0]), QByteArray("AC 30 01 01 00 00 00 FF"));
    EXPECT_EQ(frame.calls, (QStringList{"send", "stopConnectTimers"}));
    EXPECT_EQ(frame.state.m_strYear, QStringLiteral("2030"));
    EXPECT_EQ(frame.state.m_strMonth, QStringLiteral("01"));
    EXPECT_EQ(frame.state.m_strSecond, QStringLiteral("00"));
    EXPECT_FALSE(dlg.refreshTimerActive());
    EXPECT_FALSE(dlg.isOpen());

    // 2026-12-08 08:15:30 as the command says it.
    now = at(2026, 12, 8, 8, 15, 30);
    dlg.RefreshFields();
    EXPECT_EQ(hex(dlg.clockCommand().bytes()), QByteArray("AC 26 12 08 08 15 30 FF"));
}

TEST(CorrectTimeDialog, cancel_and_failed_send_leave_the_clock_settings)
{
    FakeFrame frame;
    frame.state.m_strHour = QStringLiteral("1");
    frame.sendSucceeds = false;
    CCorrectTimeDlg dlg;
    dlg.setHost(frame.host());
    dlg.setClock([] { return at(2026, 7, 8, 9, 5, 3); });
    ScopedModal modal([&](QDialog&) {
        dlg.SetTitle(QStringLiteral("Connected"));
        dlg.okButton()->click();
        EXPECT_TRUE(dlg.isOpen());
        EXPECT_EQ(dlg.title(), QStringLiteral("Not Connected"));
        EXPECT_EQ(dlg.item<QLabel>(ctrl::IDC_PROMPT)->text(),
                  QStringLiteral("Connecting failed. Ensure logger inserted and try again."));
        dlg.item<QPushButton>(ctrl::IDCANCEL)->click();
    });
    EXPECT_EQ(dlg.DoModal(), QDialog::Rejected);
    EXPECT_EQ(frame.state.m_strHour, QStringLiteral("1"));
    EXPECT_EQ(frame.calls.last(), QStringLiteral("stopConnectTimers"));
    EXPECT_FALSE(dlg.refreshTimerActive());
}

TEST(CorrectTimeDialog, opening_checks_an_earlier_link_and_sets_spin_ranges)
{
    sim::SilentPort logger;
    sim::ScopedSerialPorts ports({logger.devicePath(), QString()});
    CMSComm comm;
    FakeFrame frame;
    frame.state.m_bLinkUp = 1;
    CCorrectTimeDlg dlg;
    dlg.setHost(frame.host(&comm));

    comm.SetCommPort(2); // absent port
    ScopedModal lost([&](QDialog&) {
        EXPECT_EQ(dlg.title(), QStringLiteral("Not Connected"));
        EXPECT_TRUE(dlg.okButton()->isEnabled()); // the title decides, not the button
        const std::pair<int, std::pair<int, int>> ranges[] = {
            {ctrl::IDC_YEAR_SPIN, {2007, 2050}}, {ctrl::IDC_MONTH_SPIN, {1, 12}},
            {ctrl::IDC_DAY_SPIN, {1, 31}},       {ctrl::IDC_HOUR_SPIN, {0, 23}},
            {ctrl::IDC_MINUTE_SPIN, {0, 59}},    {ctrl::IDC_SECOND_SPIN, {0, 59}},
        };
        for (auto [id, range] : ranges) {
            auto* spin = dlg.item<UpDownControl>(id);
            ASSERT_TRUE(spin);
            EXPECT_EQ(spin->lower(), range.first);
            EXPECT_EQ(spin->upper(), range.second);
            EXPECT_TRUE(spin->isHidden());
            EXPECT_FALSE(spin->isEnabled());
        }
        dlg.reject();
    });
    dlg.DoModal();

    comm.SetCommPort(1);
    ScopedModal found([&](QDialog&) {
        EXPECT_EQ(dlg.title(), QStringLiteral("Connected"));
        EXPECT_FALSE(comm.GetPortOpen());
        dlg.reject();
    });
    dlg.DoModal();
}
