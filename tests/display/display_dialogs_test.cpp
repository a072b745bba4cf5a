// The graph view's dialogs: Axis Setup, View and Color Setup, run through the modal
// hook and driven as a user drives them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <functional>
#include <optional>

#include "app/logger_settings.h"
#include "display/axis_setup_dialog.h"
#include "display/color_combo_box.h"
#include "display/color_setup_dialog.h"
#include "display/mode_rules.h"
#include "display/num_edit.h"
#include "display/view_options_dialog.h"
#include "graph_fixture.h"
#include "platform/message_box.h"
#include "platform/modal_dialog.h"
#include "platform/profile_file.h"
#include "support/dialog_hooks.h"

using namespace ctrl;

namespace {

// Runs `body` on each dialog the view opens and collects every message box.
struct Hooks {
    testenv::MessageBoxRecorder boxes{{}, MsgResult::Ok};
    testenv::ScopedModal modal;
    explicit Hooks(std::function<void(QDialog&)> body) : modal(std::move(body)) {}
};

void type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent key(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &key);
    }
}

void retype(CNumEdit* e, const QString& text)
{
    e->selectAll();
    type(e, text);
}

} // namespace

TEST(AxisSetupDialog, fields_stay_integers_and_ok_stores_the_limits_of_the_current_kind)
{
    graphtest::Graph g;
    g.storeRms(
        50, [](int) { return 1.0f; }, [](int) { return 2.0f; });
    g.frame.clearModeFlags();
    g.frame.m_bStoreTr = 1; // transient limits: row 2 of the table
    g.frame.m_nYAxisLow[2] = {0, -10, -20};
    g.frame.m_nYAxisHigh[2] = {0, 10, 20};
    g.view->m_nFirstPoint = 1;
    g.view->m_nLastPoint = 251;
    g.view->m_nAutoMin = {0, 0, -3, -4};
    g.view->m_nAutoMax = {0, 0, 3, 4};

    Hooks hooks([&](QDialog& d) {
        auto& dlg = static_cast<CAxisSetupDlg&>(d);
        EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_AXIS_AUTO_SCALE));
        EXPECT_EQ(dlg.edit(IDC_AXIS_CH1_MIN)->text(), "-10");
        EXPECT_EQ(dlg.edit(IDC_AXIS_CH2_MAX)->text(), "20");

        CNumEdit* min1 = dlg.edit(IDC_AXIS_CH1_MIN);
        retype(min1, "-");
        EXPECT_EQ(min1->text(), "-");
        type(min1, "75.");
        EXPECT_EQ(min1->text(), "-75"); // the point gone at once
        retype(dlg.edit(IDC_AXIS_CH1_MAX), "00-75");
        EXPECT_EQ(dlg.edit(IDC_AXIS_CH1_MAX)->text(), "75"); // leading zeros dropped
        retype(dlg.edit(IDC_AXIS_CH1_MAX), "-75");
        dlg.item<QWidget>(IDOK)->setFocus();
        dlg.accept();
        ASSERT_EQ(hooks.boxes.calls.size(), 1u);
        EXPECT_EQ(hooks.boxes.calls[0].text,
                  "The started Y Axis must be lower than the ended Y Axis");
        EXPECT_EQ(g.frame.m_nYAxisLow[2][1], -10); // refused: nothing stored

        retype(dlg.edit(IDC_AXIS_CH1_MAX), "99999999999");
        EXPECT_EQ(dlg.edit(IDC_AXIS_CH1_MAX)->text(), "2147483647"); // no wrap to negative
        retype(dlg.edit(IDC_AXIS_CH1_MAX), "300");
        dlg.item<QRadioButton>(IDC_AXIS_FULL_SCALE)->click();
        EXPECT_EQ(g.view->m_bAutoScale[1], 0); // at once
        dlg.accept();
    });
    g.view->OnCommand(32868);
    EXPECT_EQ(hooks.boxes.calls.size(), 1u);
    EXPECT_EQ(g.frame.m_nYAxisLow[2], (std::array<int, 3>{0, -75, -20}));
    EXPECT_EQ(g.frame.m_nYAxisHigh[2], (std::array<int, 3>{0, 300, 20}));
    EXPECT_EQ(g.frame.m_nYAxisLow[1][1], 0); // the RMS kind untouched
    EXPECT_EQ(g.view->m_nCh1Min, -75);
    EXPECT_EQ(g.view->m_nCh1Max, 300);
    EXPECT_EQ(g.view->m_nCh2Min, -20);

    // The limits reach the settings file as the transient kind's keys.
    ProfileFile ini(QStringLiteral("unused.ini"));
    StoreSettings(g.frame, *g.view, ini);
    EXPECT_EQ(ini.integer(QStringLiteral("YAXISInfo"), QStringLiteral("YAXISLOW2CH1"), 0), -75);
    EXPECT_EQ(ini.integer(QStringLiteral("YAXISInfo"), QStringLiteral("YAXISHI2CH1"), 0), 300);
}

TEST(AxisSetupDialog, every_mode_edits_the_limits_of_its_kind_and_no_other)
{
    using modes::Mode;
    const struct {
        const char* name;
        std::optional<Mode> mode;
        int kind;
    } rows[] = {
        {"no mode", std::nullopt, modes::kKindStoreRms},
        {"Store RMS", Mode::StoreRms, modes::kKindStoreRms},
        {"Store TR", Mode::StoreTr, modes::kKindStoreTr},
        {"power analysis", Mode::Epa, modes::kKindStoreRms},
        {"RT RMS", Mode::RtRms, modes::kKindStoreRms},
        {"RT frequency", Mode::RtFreq, modes::kKindStoreRms},
        {"RT S(VA)", Mode::RtPowerS, modes::kKindStoreRms},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        graphtest::Graph g;
        g.storeRms(
            50, [](int) { return 1.0f; }, [](int) { return 2.0f; });
        g.frame.clearModeFlags();
        if (row.mode)
            modes::setModeFlags(g.frame, *row.mode);
        g.frame.m_bStopped = 1;
        g.view->m_nRtCount = 50;
        g.view->m_bAutoScale.fill(0);
        // Every kind its own limits: kind k from -10 (k + 1) to 10 (k + 1) on CH1, one
        // more on each side on CH2.
        for (int k = 0; k < 9; ++k) {
            g.frame.m_nYAxisLow[k + 1] = {0, -10 * (k + 1), -10 * (k + 1) - 1};
            g.frame.m_nYAxisHigh[k + 1] = {0, 10 * (k + 1), 10 * (k + 1) + 1};
        }
        const auto lowBefore = g.frame.m_nYAxisLow;
        const auto highBefore = g.frame.m_nYAxisHigh;
        Hooks hooks([&](QDialog& d) {
            auto& dlg = static_cast<CAxisSetupDlg&>(d);
            EXPECT_EQ(dlg.edit(IDC_AXIS_CH1_MIN)->text(), QString::number(-10 * (row.kind + 1)));
            EXPECT_EQ(dlg.edit(IDC_AXIS_CH2_MAX)->text(), QString::number(10 * (row.kind + 1) + 1));
            retype(dlg.edit(IDC_AXIS_CH1_MIN), "-7");
            retype(dlg.edit(IDC_AXIS_CH2_MAX), "7");
            dlg.accept();
        });
        g.view->OnCommand(32868);
        EXPECT_TRUE(hooks.boxes.calls.empty());
        auto lowWanted = lowBefore;
        auto highWanted = highBefore;
        lowWanted[row.kind + 1][1] = -7;
        highWanted[row.kind + 1][2] = 7;
        EXPECT_EQ(g.frame.m_nYAxisLow, lowWanted);
        EXPECT_EQ(g.frame.m_nYAxisHigh, highWanted);
    }
}

TEST(AxisSetupDialog, scale_choice_survives_cancel_and_an_empty_view_still_accepts_limits)
{
    graphtest::Graph g;
    g.frame.clearModeFlags(); // no data, no mode: first and last point are 0
    g.frame.m_nYAxisLow[1] = {0, 0, 0};
    g.frame.m_nYAxisHigh[1] = {0, 100, 100};
    Hooks cancel([](QDialog& d) {
        static_cast<CAxisSetupDlg&>(d).item<QRadioButton>(IDC_AXIS_FULL_SCALE)->click();
        d.reject();
    });
    g.view->OnCommand(32868);
    EXPECT_EQ(g.view->m_bAutoScale[0], 0);

    Hooks ok([](QDialog& d) {
        auto& dlg = static_cast<CAxisSetupDlg&>(d);
        EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_AXIS_FULL_SCALE));
        retype(dlg.edit(IDC_AXIS_CH2_MAX), "40");
        dlg.accept();
        EXPECT_EQ(dlg.result(), QDialog::Accepted); // hidden point fields never refuse
    });
    g.view->OnCommand(32868);
    EXPECT_TRUE(ok.boxes.calls.empty());
    EXPECT_EQ(g.frame.m_nYAxisHigh[1][2], 40);
    EXPECT_EQ(g.view->m_nCh2Max, 40);
}

TEST(ViewOptionsDialog, ok_writes_the_options_cancel_writes_nothing)
{
    graphtest::Graph g;
    g.view->m_bViewCh3 = 1; // hidden options come back as they went in
    g.view->m_bViewCh2Alarm = 0;
    Hooks cancel([](QDialog& d) {
        static_cast<CViewOptionsDlg&>(d).item<QCheckBox>(IDC_VIEW_CH1)->click();
        d.reject();
    });
    g.view->OnCommand(32881);
    EXPECT_EQ(g.view->m_bViewCh1, 1);

    Hooks ok([](QDialog& d) {
        auto& dlg = static_cast<CViewOptionsDlg&>(d);
        EXPECT_TRUE(dlg.item<QCheckBox>(IDC_VIEW_CH1)->isChecked()); // fresh at each opening
        dlg.item<QCheckBox>(IDC_VIEW_CH1)->click();
        dlg.item<QCheckBox>(IDC_VIEW_MARK_POINTS)->click();
        dlg.accept();
    });
    g.view->OnCommand(32881);
    EXPECT_EQ(g.view->m_bViewCh1, 0);
    EXPECT_EQ(g.view->m_bMarkPoints, 1);
    EXPECT_EQ(g.view->m_bViewCh3, 1);
    EXPECT_EQ(g.view->m_bViewCh2Alarm, 0);
    ProfileFile ini(QStringLiteral("unused.ini"));
    StoreSettings(g.frame, *g.view, ini);
    EXPECT_EQ(ini.integer(QStringLiteral("VIEWInfo"), QStringLiteral("VIEW1"), -1), 0);
}

TEST(ColorSetupDialog, swatches_listed_once_per_opening_and_choices_stored_as_bytes)
{
    graphtest::Graph g;
    g.frame.m_nBgColor = 20; // out of the palette: no selection
    g.frame.m_nCh3Color = 7;
    int opened = 0;
    Hooks hooks([&](QDialog& d) {
        auto& dlg = static_cast<CColorSetupDlg&>(d);
        for (int id : {IDC_COLOR_BG, IDC_COLOR_GRID, IDC_COLOR_CH1, IDC_COLOR_CH2, IDC_COLOR_CH3})
            EXPECT_EQ(dlg.combo(id)->count(), 15) << id;
        EXPECT_EQ(dlg.combo(IDC_COLOR_BG)->AddColor(0x0000FF, "Red"), -1);
        EXPECT_EQ(dlg.combo(IDC_COLOR_GRID)->itemColor(14), 0xC8C8C8u); // Grey
        EXPECT_EQ(dlg.combo(IDC_COLOR_BG)->currentIndex(), -1);

        CColorComboBox* ch1 = dlg.combo(IDC_COLOR_CH1);
        ch1->setCurrentIndex(2); // Blue
        // The closed box shows the swatch of its choice at its left.
        const QImage face = ch1->grab().toImage();
        EXPECT_EQ(face.pixelColor(20, face.height() / 2), QColor(0, 0, 255));
        if (++opened == 1)
            d.reject();
        else
            d.accept();
    });
    g.view->OnCommand(32845);
    EXPECT_EQ(g.frame.m_nCh1Color, 0); // Cancel keeps every index
    EXPECT_EQ(g.frame.m_nBgColor, 20);
    g.view->OnCommand(32845);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(g.frame.m_nCh1Color, 2);
    EXPECT_EQ(g.frame.m_nBgColor, 255);
    EXPECT_EQ(g.frame.m_nCh3Color, 7);
    EXPECT_EQ(g.frame.m_nGridColor, 2);
}
