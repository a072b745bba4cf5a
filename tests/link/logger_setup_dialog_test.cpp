#include "link/logger_setup_dialog.h"
#include "instrument_test_helpers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "display/num_edit.h"
#include "display/up_down_control.h"
#include "resources/dialog_templates.h"

using testhost::FakeFrame;
using testhost::hex;
using testhost::ScopedMessageBoxes;
using testhost::ScopedModal;

namespace {

void typeKey(QWidget* w, int key, const QString& text)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &down);
}

void typeText(QWidget* w, const QString& text)
{
    for (QChar c : text)
        typeKey(w, c.unicode(), QString(c));
}

void backspace(QWidget* w)
{
    typeKey(w, Qt::Key_Backspace, QStringLiteral("\b"));
}

// Frame settings as the settings file might hold them.
void settings(FrameState& s, int autoOff, int memFull, int unit, const char* rate)
{
    s.m_nAutoOff = static_cast<std::uint8_t>(autoOff);
    s.m_nMemFullMode = static_cast<std::uint8_t>(memFull);
    s.m_nSampUnit = unit;
    s.m_strSampRate = QString::fromLatin1(rate);
    s.m_strRiseLevel = QStringLiteral("500");
    s.m_strDropLevel = QStringLiteral("100");
    s.m_nLimit1Unit = 1;
    s.m_nLimit2Unit = 1;
}

QString prompt(const CLoggerSetupDlg& dlg)
{
    return dlg.item<QLabel>(ctrl::IDC_PROMPT)->text();
}

} // namespace

TEST(LoggerSetupDialog, setup_warns_then_sends_the_values_and_keeps_them)
{
    FakeFrame frame;
    settings(frame.state, 0, 0, 0, "10");
    CLoggerSetupDlg dlg;
    dlg.setHost(frame.host());
    ScopedMessageBoxes boxes({MsgResult::No, MsgResult::Yes});
    ScopedModal modal([&](QDialog&) {
        EXPECT_EQ(dlg.title(), QStringLiteral("Connecting..."));
        EXPECT_EQ(dlg.rateEdit()->text(), QStringLiteral("10"));
        EXPECT_EQ(dlg.unitList()->currentText(), QStringLiteral("Second"));
        EXPECT_TRUE(dlg.IsDlgButtonChecked(ctrl::IDC_AUTO_OFF_OFF));
        EXPECT_TRUE(dlg.IsDlgButtonChecked(ctrl::IDC_MEM_FULL_STOP));

        // Auto power off on, overwrite, 10 minutes, as the user clicks them.
        dlg.item<QRadioButton>(ctrl::IDC_AUTO_OFF_ON)->click();
        dlg.item<QRadioButton>(ctrl::IDC_MEM_FULL_OVERWRITE)->click();
        dlg.unitList()->setCurrentIndex(1);
        dlg.SetTitle(QStringLiteral("Connected"));

        dlg.setupButton()->click(); // No: nothing sent, the dialog stays
        EXPECT_TRUE(dlg.isOpen());
        EXPECT_TRUE(frame.sent.empty());
        dlg.setupButton()->click(); // Yes
    });
    EXPECT_EQ(dlg.DoModal(), QDialog::Accepted);

    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].text, QStringLiteral("All data stored on the unit will be erased."));
    EXPECT_EQ(boxes.calls[0].caption, QStringLiteral("RQ730 Datalogger"));
    EXPECT_EQ(boxes.calls[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes.calls[0].icon, MsgIcon::None);

    ASSERT_EQ(frame.sent.size(), 1u);
    EXPECT_EQ(hex(frame.sent[0]), QByteArray("AA 1C 20 0A 01 F4 00 64"));
    EXPECT_EQ(frame.calls, (QStringList{"send", "stopConnectTimers"}));
    EXPECT_EQ(frame.state.m_nAutoOff, 2);
    EXPECT_EQ(frame.state.m_nMemFullMode, 3);
    EXPECT_EQ(frame.state.m_nSampUnit, 1);
    EXPECT_EQ(frame.state.m_strSampRate, QStringLiteral("10"));
    EXPECT_EQ(frame.state.m_strRiseLevel, QStringLiteral("500"));
    EXPECT_EQ(frame.state.m_strDropLevel, QStringLiteral("100"));
    EXPECT_EQ(frame.state.m_bAskSaveStore, 1);
    EXPECT_EQ(frame.state.m_bAskSaveGraph, 1);

    // The next opening shows what was set.
    ScopedModal second([&](QDialog&) {
        EXPECT_TRUE(dlg.IsDlgButtonChecked(ctrl::IDC_AUTO_OFF_ON));
        EXPECT_TRUE(dlg.IsDlgButtonChecked(ctrl::IDC_MEM_FULL_OVERWRITE));
        EXPECT_EQ(dlg.unitList()->currentText(), QStringLiteral("Minute"));
        EXPECT_EQ(dlg.title(), QStringLiteral("Connecting..."));
        EXPECT_TRUE(prompt(dlg).isEmpty());
        dlg.reject();
    });
    dlg.DoModal();
}

TEST(LoggerSetupDialog, setup_without_a_connection_sends_nothing)
{
    FakeFrame frame;
    settings(frame.state, 0, 0, 0, "10");
    CLoggerSetupDlg dlg;
    dlg.setHost(frame.host());
    ScopedMessageBoxes boxes({}, MsgResult::Yes);
    ScopedModal modal([&](QDialog&) {
        dlg.setupButton()->click(); // still searching: nothing at all
        EXPECT_TRUE(prompt(dlg).isEmpty());
        dlg.SetTitle(QStringLiteral("Not Connected"));
        dlg.setupButton()->click();
        EXPECT_EQ(prompt(dlg),
                  QStringLiteral("Connecting failed. Ensure logger inserted and try again."));
        EXPECT_TRUE(dlg.isOpen());
        dlg.reject();
    });
    EXPECT_EQ(dlg.DoModal(), QDialog::Rejected);
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(frame.sent.empty());
    EXPECT_EQ(frame.calls, QStringList{"stopConnectTimers"});
}

TEST(LoggerSetupDialog, default_fills_in_values_that_cancel_does_not_keep)
{
    FakeFrame frame;
    settings(frame.state, 2, 3, 2, "5");
    frame.state.m_strRiseLevel = QStringLiteral("7");
    const FrameState before = frame.state;
    CLoggerSetupDlg dlg;
    dlg.setHost(frame.host());
    ScopedModal modal([&](QDialog&) {
        dlg.item<QPushButton>(ctrl::IDC_DEFAULT)->click();
        EXPECT_TRUE(dlg.IsDlgButtonChecked(ctrl::IDC_AUTO_OFF_OFF));
        EXPECT_TRUE(dlg.IsDlgButtonChecked(ctrl::IDC_MEM_FULL_STOP));
        EXPECT_EQ(dlg.rateEdit()->text(), QStringLiteral("10"));
        EXPECT_EQ(dlg.unitList()->currentIndex(), 0);
        EXPECT_EQ(dlg.item<QComboBox>(ctrl::IDC_RISE_UNIT)->currentText(), QStringLiteral("V"));
        EXPECT_EQ(dlg.item<CNumEdit>(ctrl::IDC_RISE_LEVEL)->text(), QStringLiteral("500"));
        EXPECT_EQ(hex(dlg.setupCommand().bytes()), QByteArray("AA 10 10 0A 01 F4 00 64"));
        dlg.reject();
    });
    dlg.DoModal();
    EXPECT_EQ(frame.state.m_nAutoOff, before.m_nAutoOff);
    EXPECT_EQ(frame.state.m_nMemFullMode, before.m_nMemFullMode);
    EXPECT_EQ(frame.state.m_nSampUnit, before.m_nSampUnit);
    EXPECT_EQ(frame.state.m_strSampRate, before.m_strSampRate);
    EXPECT_EQ(frame.state.m_strRiseLevel, before.m_strRiseLevel);
    EXPECT_EQ(frame.state.m_bAskSaveStore, 0);
}

TEST(LoggerSetupDialog, rate_is_clamped_as_the_user_edits_it)
{
    FakeFrame frame;
    settings(frame.state, 0, 0, 0, "1");
    CLoggerSetupDlg dlg;
    dlg.setHost(frame.host());
    ScopedModal modal([&](QDialog&) {
        CNumEdit* rate = dlg.rateEdit();
        rate->clear(); // emptying turns into 1 at once
        EXPECT_EQ(rate->text(), QStringLiteral("1"));
        backspace(rate);
        EXPECT_EQ(rate->text(), QStringLiteral("1"));
        rate->selectAll();
        typeText(rate, QStringLiteral("75")); // 7, then 75 -> 60
        EXPECT_EQ(rate->text(), QStringLiteral("60"));
        rate->selectAll();
        typeText(rate, QStringLiteral("0"));
        EXPECT_EQ(rate->text(), QStringLiteral("1"));
        rate->setText(QStringLiteral("007")); // pasted
        EXPECT_EQ(rate->text(), QStringLiteral("7"));

        // The arrows move between 1 and 60.
        rate->setText(QStringLiteral("2"));
        dlg.rateSpin()->stepDown();
        dlg.rateSpin()->stepDown();
        EXPECT_EQ(rate->text(), QStringLiteral("1"));
        rate->setText(QStringLiteral("60"));
        dlg.rateSpin()->stepUp();
        EXPECT_EQ(rate->text(), QStringLiteral("60"));

        // Hours cap at 24; going back to seconds keeps 24.
        rate->setText(QStringLiteral("30"));
        dlg.unitList()->setCurrentIndex(2);
        EXPECT_EQ(rate->text(), QStringLiteral("24"));
        rate->selectAll();
        typeText(rate, QStringLiteral("30"));
        EXPECT_EQ(rate->text(), QStringLiteral("24"));
        dlg.unitList()->setCurrentIndex(0);
        EXPECT_EQ(rate->text(), QStringLiteral("24"));
        EXPECT_EQ(dlg.m_strRate, QStringLiteral("24"));
        dlg.reject();
    });
    dlg.DoModal();
}

TEST(LoggerSetupDialog, settings_values_are_sent_as_read_until_touched)
{
    FakeFrame frame;
    CLoggerSetupDlg dlg;
    dlg.setHost(frame.host());
    ScopedMessageBoxes boxes({}, MsgResult::Yes);
    auto setUp = [&] {
        ScopedModal modal([&](QDialog&) {
            dlg.SetTitle(QStringLiteral("Connected"));
            dlg.setupButton()->click();
        });
        return dlg.DoModal();
    };

    // A rate of 100 hours from the settings file, never touched, goes out as 100.
    settings(frame.state, 0, 0, 2, "100");
    ASSERT_EQ(setUp(), QDialog::Accepted);
    EXPECT_EQ(hex(frame.sent.back()), QByteArray("AA 10 30 64 01 F4 00 64"));

    // Auto power off 1 shows OFF but keeps its bit (0x02).
    settings(frame.state, 1, 0, 0, "10");
    ASSERT_EQ(setUp(), QDialog::Accepted);
    EXPECT_EQ(hex(frame.sent.back()), QByteArray("AA 12 10 0A 01 F4 00 64"));
    EXPECT_EQ(frame.state.m_nAutoOff, 1);

    // Values with no bit inside the byte (200) add none, and are kept as read.
    settings(frame.state, 200, 200, 0, "10");
    ScopedModal look([&](QDialog&) {
        EXPECT_TRUE(dlg.IsDlgButtonChecked(ctrl::IDC_AUTO_OFF_OFF));
        EXPECT_TRUE(dlg.IsDlgButtonChecked(ctrl::IDC_MEM_FULL_STOP));
        dlg.SetTitle(QStringLiteral("Connected"));
        dlg.setupButton()->click();
    });
    ASSERT_EQ(dlg.DoModal(), QDialog::Accepted);
    EXPECT_EQ(hex(frame.sent.back()), QByteArray("AA 10 10 0A 01 F4 00 64"));
    EXPECT_EQ(frame.state.m_nAutoOff, 200);
    EXPECT_EQ(frame.state.m_nMemFullMode, 200);

    // Levels: a text that is no number sends 0; negative values keep their low bytes.
    settings(frame.state, 0, 0, 0, "10");
    frame.state.m_strRiseLevel = QStringLiteral("abc");
    frame.state.m_strDropLevel = QStringLiteral("-1");
    ASSERT_EQ(setUp(), QDialog::Accepted);
    EXPECT_EQ(hex(frame.sent.back()), QByteArray("AA 10 10 0A 00 00 00 FF"));
}

TEST(LoggerSetupDialog, failed_send_keeps_the_dialog_and_the_settings)
{
    FakeFrame frame;
    frame.sendSucceeds = false;
    settings(frame.state, 0, 0, 0, "10");
    CLoggerSetupDlg dlg;
    dlg.setHost(frame.host());
    ScopedMessageBoxes boxes({}, MsgResult::Yes);
    ScopedModal modal([&](QDialog&) {
        dlg.SetTitle(QStringLiteral("Connected"));
        dlg.item<QRadioButton>(ctrl::IDC_AUTO_OFF_ON)->click();
        dlg.setupButton()->click();
        EXPECT_TRUE(dlg.isOpen());
        EXPECT_EQ(dlg.title(), QStringLiteral("Not Connected"));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Not Connected"));
        EXPECT_EQ(prompt(dlg),
                  QStringLiteral("Connecting failed. Ensure logger inserted and try again."));
        EXPECT_TRUE(dlg.IsDlgButtonChecked(ctrl::IDC_AUTO_OFF_ON));
        dlg.reject();
    });
    EXPECT_EQ(dlg.DoModal(), QDialog::Rejected);
    EXPECT_EQ(frame.state.m_nAutoOff, 0);
    EXPECT_EQ(frame.state.m_bAskSaveStore, 0);
}

TEST(LoggerSetupDialog, hidden_level_controls_stay_hidden_with_their_ranges)
{
    FakeFrame frame;
    settings(frame.state, 0, 0, 0, "10");
    CLoggerSetupDlg dlg;
    dlg.setHost(frame.host());
    ScopedModal modal([&](QDialog&) {
        dlg.show();
        for (int id : {ctrl::IDC_RISE_GROUP, ctrl::IDC_RISE_LEVEL, ctrl::IDC_RISE_SPIN,
                       ctrl::IDC_RISE_UNIT, ctrl::IDC_DROP_GROUP, ctrl::IDC_DROP_LEVEL,
                       ctrl::IDC_DROP_SPIN, ctrl::IDC_DROP_UNIT}) {
            QWidget* w = dlg.GetDlgItem(id);
            ASSERT_TRUE(w) << id;
            EXPECT_FALSE(w->isVisible()) << id;
            EXPECT_FALSE(w->isEnabled()) << id;
        }
        EXPECT_EQ(dlg.item<UpDownControl>(ctrl::IDC_RISE_SPIN)->upper(), 1000);
        EXPECT_EQ(dlg.item<UpDownControl>(ctrl::IDC_DROP_SPIN)->upper(), 1000);
        EXPECT_EQ(dlg.rateSpin()->lower(), 0);
        EXPECT_EQ(dlg.rateSpin()->upper(), 60);
        // Sorted lists: 0 "A", 1 "V".
        EXPECT_EQ(dlg.item<QComboBox>(ctrl::IDC_DROP_UNIT)->itemText(0), QStringLiteral("A"));
        dlg.reject();
    });
    dlg.DoModal();
}
