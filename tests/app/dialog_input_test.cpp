// The program's dialogs and windows as a user works them: opened by their toolbar
// button or menu command, ended by a mouse click on a button or by Enter and Esc, and
// placed so that they leave the record-information band in view.
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

#include "app/frame_fixture.h"
#include "app/logger_settings.h"
#include "display/color_combo_box.h"
#include "display/instrument_view.h"
#include "display/num_edit.h"
#include "link/instrument_dialog.h"
#include "platform/profile_file.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"

using namespace ctrl;

namespace {

// Fills the document and the view with a stored RMS measurement and enters the
// Store RMS mode, as a load does; the view is painted (its toolbar exists).
void loadStoreRms(frametest::Frame& f, int n)
{
    CDTView& v = f.view();
    CDTDoc& doc = *f.doc;
    doc.m_pCh1Data.assign(static_cast<std::size_t>(n), 230.0f);
    doc.m_pCh2Data.assign(static_cast<std::size_t>(n), 5.0f);
    doc.m_pTrData.assign(2 * 251, 100.0f);
    doc.m_pTrTimes = {1700000000, 1700000100};
    v.m_nTrCount = 2;
    v.m_pTrChannel = {0xF1, 0xF2};
    v.m_pTrQuantity = {0xFA, 0xFC};
    v.allocatePlotCaches(std::max(n, 502));
    v.m_nStoreCount = n;
    v.m_bStoreCh1 = v.m_bStoreCh2 = 1;
    v.m_strStoreUnit1 = QStringLiteral("V");
    v.m_strStoreUnit2 = QStringLiteral("A");
    v.m_tStoreStart = 1700000000;
    v.m_fInterval = 0.5f;
    f.frame->m_bStoreRms = 0;
    f.frame->OnStoreRms();
    v.m_nDisplayMode = 1;
    v.repaint();
    f.frame->UpdateCommandUI();
}

QToolButton* viewButton(const CDTView& v, int id)
{
    for (auto* b : v.m_wndViewToolBar->findChildren<QToolButton*>())
        if (b->property("commandId").toInt() == id)
            return b;
    return nullptr;
}

QWidget* frameButton(const CMainFrame& frame, int id)
{
    return frame.m_wndToolBar->widgetForAction(frame.commandAction(id));
}

// Clicks `opener` and, once the modal dialog it runs is up, hands it to `drive`.
// Returns whether the dialog ended (a dialog left open is closed to end the test).
bool clickAndDrive(QWidget* opener, const std::function<void(QDialog&)>& drive)
{
    testenv::RealModalDialogs real;
    bool driven = false;
    bool ended = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        driven = true;
        drive(*dialog);
        ended = !dialog->isVisible();
        if (!ended)
            dialog->close(); // stuck open: end it so that the test goes on
    });
    QTest::mouseClick(opener, Qt::LeftButton);
    return driven && ended;
}

enum class End { ClickOk, Enter, ClickCancel, Esc };

void finish(QDialog& d, End end)
{
    auto* dlg = static_cast<TemplateDialog*>(&d);
    switch (end) {
    case End::ClickOk:
        QTest::mouseClick(dlg->item<QPushButton>(IDOK), Qt::LeftButton);
        break;
    case End::ClickCancel:
        QTest::mouseClick(dlg->item<QPushButton>(IDCANCEL), Qt::LeftButton);
        break;
    case End::Enter:
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &d,
                        Qt::Key_Return);
        break;
    case End::Esc:
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &d,
                        Qt::Key_Escape);
        break;
    }
}

// The record-information band of the view, in screen coordinates.
QRect bandOnScreen(const CDTView& v)
{
    return QRect(v.mapToGlobal(QPoint(0, 0)), QSize(v.width(), v.m_nTopBandHeight));
}

} // namespace

TEST(DialogInput, view_dialogs_apply_on_ok_or_enter_and_keep_values_on_cancel_or_esc)
{
    testenv::resetHome();
    frametest::Frame f;
    frametest::MessageBoxRecorder boxes;
    loadStoreRms(f, 40);
    CDTView& v = f.view();
    CMainFrame& frame = *f.frame;
    v.m_bAutoScale[0] = 0; // full scale: the entered range is shown at once

    struct Case {
        const char* name;
        int command;
        std::function<void(TemplateDialog&, int)> change; // to the value of round n
        std::function<int()> value;
    };
    const Case cases[] = {
        {"Axis Setup", 32868,
         [](TemplateDialog& d, int n) {
             auto* e = d.item<CNumEdit>(IDC_AXIS_CH1_MAX);
             QTest::mouseClick(e, Qt::LeftButton);
             e->selectAll();
             QTest::keyClicks(e, QString::number(300 + n));
         },
         [&] { return frame.m_nYAxisHigh[1][1]; }},
        {"View", 32881,
         [](TemplateDialog& d, int) {
             auto* box = d.item<QCheckBox>(IDC_VIEW_CH1);
             QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
         },
         [&] { return int(v.m_bViewCh1); }},
        {"Color Setup", 32845,
         [](TemplateDialog& d, int n) {
             auto* combo = d.item<QComboBox>(IDC_COLOR_CH1);
             combo->setFocus();
             for (int i = 0; i < n % 3 + 1; ++i)
                 QTest::keyClick(combo, Qt::Key_Down);
         },
         [&] { return int(frame.m_nCh1Color); }},
    };
    int round = 0;
    for (const Case& c : cases) {
        for (End end : {End::ClickOk, End::Enter, End::ClickCancel, End::Esc}) {
            SCOPED_TRACE(testing::Message() << c.name << " end " << int(end));
            ++round;
            const int before = c.value();
            int during = before;
            const bool ended = clickAndDrive(viewButton(v, c.command), [&](QDialog& d) {
                EXPECT_EQ(d.windowTitle().trimmed(), QString(c.name));
                c.change(static_cast<TemplateDialog&>(d), round);
                during = c.value();
                finish(d, end);
            });
            EXPECT_TRUE(ended);
            EXPECT_EQ(during, before); // nothing applied before the dialog ends
            if (end == End::ClickOk || end == End::Enter)
                EXPECT_NE(c.value(), before);
            else
                EXPECT_EQ(c.value(), before);
        }
    }

    EXPECT_EQ(v.m_nCh1Max, frame.m_nYAxisHigh[1][1]); // full scale shows the range

    // A minimum that is not below its maximum: the message comes, the dialog stays.
    bool stayed = false;
    clickAndDrive(viewButton(v, 32868), [&](QDialog& d) {
        auto* e = static_cast<TemplateDialog&>(d).item<CNumEdit>(IDC_AXIS_CH1_MIN);
        e->selectAll();
        QTest::keyClicks(e, QStringLiteral("5000"));
        QTest::mouseClick(static_cast<TemplateDialog&>(d).item<QPushButton>(IDOK), Qt::LeftButton);
        stayed = d.isVisible();
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_TRUE(stayed);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "The started Y Axis must be lower than the ended Y Axis");

    // What OK applied is in the settings file once the window closes.
    const int ch1Max = v.m_nCh1Max;
    const int viewCh1 = v.m_bViewCh1;
    const int ch1Colour = frame.m_nCh1Color;
    ASSERT_TRUE(f.closeAndWait());
    const ProfileFile ini(settingsFilePath());
    FrameState stored;
    LoadFrameSettings(stored, ini);
    ViewState storedView;
    LoadViewSettings(storedView, ini);
    EXPECT_EQ(stored.m_nYAxisHigh[1][1], ch1Max);
    EXPECT_EQ(stored.m_nCh1Color, ch1Colour);
    EXPECT_EQ(storedView.m_bViewCh1, viewCh1);
}

TEST(DialogInput, colour_lists_drop_to_the_template_height_on_the_window_ground)
{
    testenv::resetHome();
    frametest::Frame f;
    loadStoreRms(f, 10);
    bool checked = false;
    clickAndDrive(viewButton(f.view(), 32845), [&](QDialog& d) {
        auto& dlg = static_cast<TemplateDialog&>(d);
        auto* combo = dlg.item<CColorComboBox>(IDC_COLOR_CH1);
        QTest::mouseClick(combo, Qt::LeftButton);
        QWidget* popup = combo->view()->window();
        ASSERT_TRUE(sim::waitUntil([&] { return popup->isVisible(); }));
        // 65 dialog units with the closed box; the rest of the 15 colours scroll.
        EXPECT_EQ(popup->height() + combo->height(), dlg.units().toPixelsY(65));
        EXPECT_TRUE(combo->view()->verticalScrollBar()->isVisible());
        // Right of the swatch of an item that is not the current one.
        const QImage list = combo->view()->viewport()->grab().toImage();
        const QModelIndex other = combo->model()->index(combo->currentIndex() + 1, 0);
        const QRect row = combo->view()->visualRect(other);
        ASSERT_TRUE(list.rect().contains(row.center()));
        EXPECT_EQ(list.pixelColor(row.right() - 3, row.center().y()),
                  QPalette().color(QPalette::Base));
        QTest::keyClick(combo->view(), Qt::Key_Escape); // closes the list only
        EXPECT_TRUE(d.isVisible());
        QTest::keyClick(combo, Qt::Key_Escape);
        checked = true;
    });
    EXPECT_TRUE(checked);
}

TEST(DialogInput, lists_and_panels_are_placed_by_their_frames_clear_of_the_band)
{
    testenv::resetHome();
    frametest::Frame f;
    loadStoreRms(f, 30);
    CDTView& v = f.view();
    CMainFrame& frame = *f.frame;
    const QRect viewOnScreen(v.mapToGlobal(QPoint(0, 0)), v.size());

    QTest::mouseClick(frameButton(frame, ID_DATA_LIST), Qt::LeftButton);
    QWidget* list = v.m_dlgDataList;
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(sim::waitUntil([&] { return list->isVisible(); }));
    EXPECT_EQ(list->frameGeometry().top(), bandOnScreen(v).bottom() + 1);
    EXPECT_TRUE(viewOnScreen.contains(list->frameGeometry()));

    // Store Transient Wave: the record list over the widened pane, the data list
    // below the band; the double-clicked record keeps both in place.
    QTest::mouseClick(frameButton(frame, ID_STORE_TRANSIENT_WAVE), Qt::LeftButton);
    QWidget* records = v.m_dlgTrFileList;
    ASSERT_NE(records, nullptr);
    QWidget* pane = frame.GetInstrumentView();
    const QRect paneOnScreen(pane->mapToGlobal(QPoint(0, 0)), pane->size());
    for (QWidget* w : {list, records})
        EXPECT_FALSE(w->frameGeometry().intersects(bandOnScreen(v)));
    EXPECT_EQ(records->frameGeometry(), paneOnScreen);
    EXPECT_EQ(list->frameGeometry().top(), bandOnScreen(v).bottom() + 1);

    // The power-analysis panel by the view's command: over the left pane likewise;
    // not with a stored interval of a second or more.
    CDTView::EndPanel(v.m_dlgTrFileList, 255);
    v.m_fInterval = 1.0f;
    v.OnCommand(32897);
    EXPECT_EQ(v.m_dlgPowerAnalysis, nullptr);
    v.m_fInterval = 0.5f;
    v.OnCommand(32897);
    QWidget* panel = v.m_dlgPowerAnalysis;
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(sim::waitUntil([&] { return panel->isVisible(); }));
    EXPECT_EQ(panel->frameGeometry(), QRect(pane->mapToGlobal(QPoint(0, 0)), pane->size()));
    EXPECT_FALSE(panel->frameGeometry().intersects(bandOnScreen(v)));
}

TEST(DialogInput, instrument_dialogs_stay_with_the_main_window_and_end_by_click_and_esc)
{
    testenv::resetHome();
    testenv::RealModalDialogs real;
    frametest::Frame f;
    CMainFrame& frame = *f.frame;
    for (int id : {ID_DOWNLOAD_DATA, ID_DATALOGGER_SETUP, ID_CORRECT_TIME}) {
        for (bool byKey : {false, true}) {
            SCOPED_TRACE(testing::Message() << id << (byKey ? " Esc" : " Cancel"));
            bool driven = false;
            QTimer::singleShot(0, [&] {
                auto* dlg = qobject_cast<CInstrumentDlg*>(QApplication::activeModalWidget());
                ASSERT_NE(dlg, nullptr);
                driven = true;
                EXPECT_EQ(dlg->parentWidget(), &frame);
                if (byKey)
                    QTest::keyClick(dlg, Qt::Key_Escape);
                else
                    QTest::mouseClick(dlg->item<QPushButton>(IDCANCEL), Qt::LeftButton);
                EXPECT_FALSE(dlg->isOpen());
                if (dlg->isVisible())
                    dlg->close();
            });
            frame.commandAction(id)->trigger();
            EXPECT_TRUE(driven);
        }
    }
}

TEST(DialogInput, ctrl_p_after_the_data_list_closed_prints_the_graph_page_preview_over_frame)
{
    testenv::resetHome();
    const QString pdf = QDir::homePath() + "/ctrl-p.pdf";
    frametest::Frame f;
    loadStoreRms(f, 200);
    CMainFrame& frame = *f.frame;
    int pages = -1;
    CMainFrame::setPrintDialogHook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        pages = f.view().OnPreparePrinting();
        return true;
    });
    QTest::mouseClick(frameButton(frame, ID_DATA_LIST), Qt::LeftButton);
    QWidget* list = f.view().m_dlgDataList;
    ASSERT_NE(list, nullptr);
    frame.UpdateCommandUI();
    QTest::mouseClick(frameButton(frame, ID_PRINT_LIST), Qt::LeftButton);
    EXPECT_GT(pages, 1);

    list->activateWindow();
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(f.view().m_dlgDataList, nullptr);
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    pages = -1;
    frametest::MessageBoxRecorder replace({}, MsgResult::Yes); // the file of the list print
    QTest::keyClick(&frame, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(replace.calls.size(), 1u);
    EXPECT_EQ(f.view().PrintKind(), 1);
    CMainFrame::setPrintDialogHook({});

    // The preview lies over the main window, frame over frame; Esc ends it.
    testenv::RealModalDialogs real;
    bool covered = false;
    QTimer::singleShot(0, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        ASSERT_NE(preview, nullptr);
        covered = preview->frameGeometry() == frame.frameGeometry();
        QTest::keyClick(preview, Qt::Key_Escape);
    });
    frame.commandAction(ID_PRINT_PREVIEW_GRAPH)->trigger();
    EXPECT_TRUE(covered);
}

TEST(DialogInput, info_dialog_twice_gives_back_the_same_picture)
{
    testenv::resetHome();
    frametest::Frame f;
    loadStoreRms(f, 200);
    const QWidget* bar = f.view().m_wndViewToolBar;
    // The window as the screen shows it; the view toolbar shows its face there.
    const auto shown = [&] {
        sim::runEventsFor(200);
        const QImage picture = f.frame->screen()->grabWindow(f.frame->winId()).toImage();
        const QPoint inBar = bar->mapTo(f.frame.get(), QPoint(bar->width() / 2, bar->height() / 2));
        EXPECT_NE(picture.pixel(inBar) & 0xFFFFFF, 0u) << inBar.x() << "," << inBar.y();
        return picture;
    };
    const QImage before = shown();
    f.frame->commandAction(ID_VIEW_INFO_DIALOG)->trigger();
    shown();
    f.frame->commandAction(ID_VIEW_INFO_DIALOG)->trigger();
    EXPECT_TRUE(shown() == before) << "the band and the toolbar come back as they were";
}
