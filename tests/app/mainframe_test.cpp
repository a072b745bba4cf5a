// The main window: title, toolbar, menus, panes, enable rules, printing, help, close.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include "display/dormant_panels.h"
#include "display/rec_info_band.h"
#include "frame_fixture.h"
#include "platform/file_dialog.h"
#include "platform/window_frame.h"
#include "resources/command_ids.h"

using namespace frametest;

namespace {
QStringList menuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

bool enabled(CMainFrame& f, int id)
{
    f.UpdateCommandUI();
    QAction* a = f.commandAction(id);
    EXPECT_NE(a, nullptr) << id;
    return a && a->isEnabled();
}
} // namespace

TEST(MainFrame, title_stays_program_name_with_and_without_document)
{
    testenv::resetHome();
    Frame f;
    EXPECT_EQ(f.frame->windowTitle(), QStringLiteral("RQ730 Datalogger"));
    ViewState source;
    source.m_nStoreCount = 2;
    source.m_bStoreCh1 = 1;
    CDTDoc other;
    other.AddView(&source);
    other.m_pCh1Data = {1.0f, 2.0f};
    f.doc->LoadFromBytes(other.StoreToBytes());
    ASSERT_EQ(f.view().m_nStoreCount, 2);
    EXPECT_EQ(f.frame->windowTitle(), QStringLiteral("RQ730 Datalogger"));
}

TEST(MainFrame, toolbar_holds_eleven_buttons_in_order_with_prompts)
{
    testenv::resetHome();
    Frame f;
    ASSERT_NE(f.frame->m_wndToolBar, nullptr);
    std::vector<int> ids;
    int separators = 0;
    QAction* previous = nullptr;
    for (QAction* a : f.frame->m_wndToolBar->actions()) {
        if (a->isSeparator()) {
            ++separators;
            EXPECT_TRUE(previous && !previous->isSeparator()) << "two separators in a row";
        } else {
            ids.push_back(a->data().toInt());
            EXPECT_FALSE(a->icon().isNull()) << a->data().toInt();
            EXPECT_EQ(f.frame->m_wndToolBar->widgetForAction(a)->size(), QSize(30, 21));
        }
        previous = a;
    }
    const std::vector<int> expected = {32814, 32827, 32840, 32869, 32847, 32836,
                                       32891, 32892, 32779, 32904, 32906};
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(separators, 10);

    QAction* save = f.frame->commandAction(32814);
    EXPECT_EQ(save->toolTip(), QStringLiteral("Save"));
    EXPECT_EQ(save->statusTip(),
              QStringLiteral("Save as  record file for QH5 Datalogger software and  xls "
                             "document for Windows Office Excel "));
    EXPECT_EQ(f.frame->commandAction(32847)->toolTip(), QStringLiteral("Data Download"));
    EXPECT_EQ(f.frame->commandAction(32882)->statusTip(),
              QStringLiteral("Import the last measurement data."));
    EXPECT_EQ(f.frame->commandAction(32906)->toolTip(), QStringLiteral("Store Transient Wave"));
}

TEST(MainFrame, menu_bar_holds_file_instrument_window_and_help_items)
{
    testenv::resetHome();
    Frame f;
    QStringList tops;
    for (QAction* a : f.frame->menuBar()->actions())
        tops << a->text();
    EXPECT_EQ(tops, (QStringList{"&File", "&Instrument(I)", "&Window", "&Help"}));

    QMenu* file = f.frame->findMenu(QStringLiteral("&File"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(menuTexts(file),
              (QStringList{"&Open...", "&Save...", "-", "&Import Data To List", "-", "&Print...",
                           "&Print Preview", "&Print Setup...", "-", "&Exit"}));
    EXPECT_EQ(menuTexts(f.frame->findMenu(QStringLiteral("&Instrument(I)"))),
              (QStringList{"&Correct Time...", "-", "Datalogger &Setup...", "-",
                           "&Download Data...", "-", "&Previous Measurement"}));
    EXPECT_EQ(menuTexts(f.frame->findMenu(QStringLiteral("&Window"))),
              (QStringList{"&Instrument", "&Info Dialog"}));
    EXPECT_EQ(menuTexts(f.frame->findMenu(QStringLiteral("&Help"))),
              (QStringList{"&Help topics...", "-", "&About..."}));
    // The print pop-ups carry Graph then List, with their own ids.
    for (QAction* a : file->actions()) {
        if (a->text() == QStringLiteral("&Print...")) {
            ASSERT_NE(a->menu(), nullptr);
            EXPECT_EQ(a->menu()->actions().at(0)->data().toInt(), ID_PRINT_GRAPH);
            EXPECT_EQ(a->menu()->actions().at(1)->data().toInt(), ID_PRINT_LIST);
        }
    }
    // Accelerators of the window.
    EXPECT_TRUE(f.frame->commandAction(ID_FILE_OPEN)
                    ->shortcuts()
                    .contains(QKeySequence(Qt::CTRL | Qt::Key_O)));
    EXPECT_TRUE(f.frame->commandAction(ID_EDIT_PASTE)
                    ->shortcuts()
                    .contains(QKeySequence(Qt::SHIFT | Qt::Key_Insert)));
    EXPECT_TRUE(f.frame->commandAction(ID_PREV_PANE)
                    ->shortcuts()
                    .contains(QKeySequence(Qt::SHIFT | Qt::Key_F6)));
}

TEST(MainFrame, window_instrument_twice_restores_150_pixel_pane_and_check_mark)
{
    testenv::resetHome();
    Frame f;
    EXPECT_EQ(f.frame->instrumentPaneWidth(), 150);
    const int total = f.frame->m_wndSplitter->sizes().at(0) + f.frame->m_wndSplitter->sizes().at(1);
    f.frame->UpdateCommandUI();
    QAction* item = f.frame->commandAction(ID_VIEW_INSTRUMENT);
    EXPECT_TRUE(item->isChecked());

    ASSERT_TRUE(f.frame->OnCmdMsg(ID_VIEW_INSTRUMENT));
    EXPECT_EQ(f.frame->instrumentPaneWidth(), 0);
    EXPECT_EQ(f.frame->m_nInstrumentPaneWidth, 0);
    EXPECT_EQ(f.frame->m_bInstrumentPane, 0);
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(f.frame->m_wndSplitter->sizes().at(1), total) << "the graph view takes the room";

    ASSERT_TRUE(f.frame->OnCmdMsg(ID_VIEW_INSTRUMENT));
    EXPECT_EQ(f.frame->instrumentPaneWidth(), 150);
    EXPECT_EQ(f.frame->m_nInstrumentPaneWidth, 150);
    EXPECT_TRUE(item->isChecked());

    // The left pane keeps its width when the window grows.
    f.frame->resize(1500, 800);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.frame->instrumentPaneWidth(), 150);
}

TEST(MainFrame, restore_gives_back_the_windows_own_place_unless_its_title_bar_is_off)
{
    testenv::resetHome();
    Frame f;
    CMainFrame& w = *f.frame;
    const QRect area = w.screen()->availableGeometry();
    const QMargins m = windowFrameMargins(&w);
    ASSERT_GT(m.top(), 1) << "the window has a title bar";
    const QSize half = area.size() / 2;
    const QPoint inside = area.topLeft() + QPoint(m.left() + 30, m.top() + 20);
    enum class Back { Kept, TitleBarAtTop, MovedOn, CoversArea };
    struct Row {
        const char* what;
        QRect before; // client area the window is given, then maximised
        Back back;    // where the restore brings it
    };
    const Row rows[] = {
        {"fits", QRect(inside, half), Back::Kept},
        {"hangs over the right edge, title bar on the area",
         QRect(QPoint(area.right() - half.width() / 2, inside.y()), half), Back::Kept},
        {"title bar above the area", QRect(QPoint(inside.x(), area.top() - 5), half),
         Back::TitleBarAtTop},
        {"title bar below the area", QRect(QPoint(inside.x(), area.bottom() + 10), half),
         Back::MovedOn},
        {"wholly right of the area", QRect(QPoint(area.right() + 10, inside.y()), half),
         Back::MovedOn},
        {"wholly left of the area",
         QRect(area.topLeft() - QPoint(half.width() + 50, -inside.y()), half), Back::MovedOn},
        {"larger than the area", QRect(inside, area.size()), Back::CoversArea},
    };
    for (const Row& row : rows)
        for (const bool byState : {false, true}) {
            SCOPED_TRACE(testing::Message() << row.what << (byState ? ", window state" : ", show"));
            w.setGeometry(row.before);
            QCoreApplication::processEvents();
            const QRect given = w.geometry();
            ASSERT_EQ(given.size(), row.before.size());
            byState ? w.setWindowState(Qt::WindowMaximized) : w.showMaximized();
            QCoreApplication::processEvents();
            ASSERT_TRUE(w.isMaximized());
            byState ? w.setWindowState(Qt::WindowNoState) : w.showNormal();
            ASSERT_TRUE(QTest::qWaitFor([&] { return !w.restoreSettling(); }));
            ASSERT_FALSE(w.isMaximized());
            switch (row.back) {
            case Back::Kept:
                EXPECT_EQ(w.geometry(), given);
                break;
            case Back::TitleBarAtTop:
                EXPECT_EQ(w.geometry(), given.translated(0, area.top() + m.top() - given.top()));
                break;
            case Back::MovedOn:
                EXPECT_TRUE(area.contains(w.frameGeometry()));
                EXPECT_EQ(w.size(), given.size());
                break;
            case Back::CoversArea:
                EXPECT_EQ(w.frameGeometry(), area);
                break;
            }
        }

    // Moved at once after a restore, over the edge: the window stays where it was put.
    w.showMaximized();
    QCoreApplication::processEvents();
    w.showNormal();
    const QRect user(QPoint(area.right() - 40, inside.y()), half);
    w.setGeometry(user);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.restoreSettling(); }));
    EXPECT_EQ(w.geometry(), user);
}

TEST(MainFrame, save_print_and_data_list_need_points_print_list_needs_open_data_list)
{
    testenv::resetHome();
    Frame f;
    for (int id : {ID_PRINT_GRAPH, ID_PRINT_PREVIEW_GRAPH, ID_FILE_PRINT_SETUP, ID_DATA_LIST,
                   ID_PRINT_LIST, ID_PRINT_PREVIEW_LIST})
        EXPECT_FALSE(enabled(*f.frame, id)) << id;

    f.view().m_nLastPoint = 1;
    for (int id : {ID_PRINT_GRAPH, ID_PRINT_PREVIEW_GRAPH, ID_FILE_PRINT_SETUP, ID_DATA_LIST})
        EXPECT_TRUE(enabled(*f.frame, id)) << id;
    EXPECT_FALSE(enabled(*f.frame, ID_PRINT_LIST));
    EXPECT_FALSE(enabled(*f.frame, ID_PRINT_PREVIEW_LIST));

    f.view().m_bDataListOpen = 1;
    EXPECT_TRUE(enabled(*f.frame, ID_PRINT_LIST));
    EXPECT_TRUE(enabled(*f.frame, ID_PRINT_PREVIEW_LIST));

    // Save follows the same rule once its handler is registered.
    f.frame->onCommand(ID_FILE_SAVE_DATA, [] {});
    EXPECT_TRUE(enabled(*f.frame, ID_FILE_SAVE_DATA));
    f.view().m_nLastPoint = 0;
    EXPECT_FALSE(enabled(*f.frame, ID_FILE_SAVE_DATA));
}

TEST(MainFrame, info_dialog_disabled_when_nothing_shown_or_transient_or_power_analysis)
{
    testenv::resetHome();
    Frame f;
    f.view().m_nDisplayMode = 0;
    EXPECT_FALSE(enabled(*f.frame, ID_VIEW_INFO_DIALOG));
    f.view().m_nDisplayMode = 1;
    EXPECT_TRUE(enabled(*f.frame, ID_VIEW_INFO_DIALOG));
    f.frame->m_bStoreTr = 1;
    EXPECT_FALSE(enabled(*f.frame, ID_VIEW_INFO_DIALOG));
    f.frame->m_bStoreTr = 0;
    f.frame->m_bEpa = 1;
    EXPECT_FALSE(enabled(*f.frame, ID_VIEW_INFO_DIALOG));
    f.frame->m_bEpa = 0;

    // Hiding and showing the band moves the view's band height and the check mark.
    EXPECT_TRUE(f.frame->commandAction(ID_VIEW_INFO_DIALOG)->isChecked());
    ASSERT_TRUE(f.frame->OnCmdMsg(ID_VIEW_INFO_DIALOG));
    EXPECT_EQ(f.view().m_nTopBandHeight, 0);
    EXPECT_EQ(f.frame->m_bInfoDialog, 0);
    EXPECT_FALSE(f.frame->commandAction(ID_VIEW_INFO_DIALOG)->isChecked());
    ASSERT_TRUE(f.frame->OnCmdMsg(ID_VIEW_INFO_DIALOG));
    EXPECT_EQ(f.view().m_nTopBandHeight, 120);
    EXPECT_EQ(f.frame->m_bInfoDialog, 1);
}

TEST(MainFrame, commands_without_handler_stay_disabled_and_instrument_commands_need_stop)
{
    testenv::resetHome();
    Frame f;
    EXPECT_FALSE(enabled(*f.frame, ID_IMPORT_DATA_TO_LIST));
    EXPECT_FALSE(f.frame->OnCmdMsg(ID_IMPORT_DATA_TO_LIST));
    EXPECT_FALSE(enabled(*f.frame, ID_EDIT_COPY));

    int runs = 0;
    f.frame->onCommand(ID_DOWNLOAD_DATA, [&runs] { ++runs; });
    EXPECT_TRUE(enabled(*f.frame, ID_DOWNLOAD_DATA));
    EXPECT_TRUE(f.frame->OnCmdMsg(ID_DOWNLOAD_DATA));
    f.frame->m_bStopped = 0; // a real-time run
    EXPECT_FALSE(enabled(*f.frame, ID_DOWNLOAD_DATA));
    EXPECT_FALSE(f.frame->OnCmdMsg(ID_DOWNLOAD_DATA));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(enabled(*f.frame, ID_HELP_TOPICS));
    EXPECT_TRUE(enabled(*f.frame, ID_APP_EXIT));
}

TEST(MainFrame, start_values_and_serial_port_set_up)
{
    testenv::resetHome();
    Frame f;
    EXPECT_EQ(f.frame->m_bStopped, 1);
    EXPECT_EQ(f.frame->m_bAskSaveGraph, 1);
    EXPECT_EQ(f.frame->m_bDataUnsaved, 0);
    EXPECT_EQ(f.frame->m_bInstrumentPane, 1);
    EXPECT_EQ(f.frame->m_bInfoDialog, 1);
    EXPECT_EQ(f.frame->m_reception.stage(), DownloadReception::Stage::Idle);
    EXPECT_EQ(f.frame->m_MSComm.objectName(), QStringLiteral("MSComm1028"));
    EXPECT_FALSE(f.frame->m_MSComm.GetPortOpen());
    // The graph view is the document's first view, the one its file describes.
    EXPECT_EQ(f.doc->GetFirstView(), static_cast<ViewState*>(f.frame->GetDataView()));
    EXPECT_EQ(f.frame->m_wndSplitter->widget(1), f.frame->GetDataView());
    EXPECT_NE(f.frame->statusBar(), nullptr);
}

TEST(MainFrame, print_graph_turns_list_back_into_graph_and_prints)
{
    testenv::resetHome();
    const QString pdf = QDir::homePath() + QStringLiteral("/graph.pdf");
    Frame f;
    f.view().m_nLastPoint = 5;
    f.view().m_nDisplayMode = 2;
    int dialogs = 0;
    CMainFrame::setPrintDialogHook([&](QPrinter& printer) {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    EXPECT_TRUE(f.frame->OnCmdMsg(ID_PRINT_GRAPH));
    CMainFrame::setPrintDialogHook({});
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(f.view().m_nDisplayMode, 1);
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.read(5).startsWith("%PDF"));
    EXPECT_GT(out.size(), 1000);
}

TEST(MainFrame, help_topics_opens_help_chm_beside_the_program)
{
    testenv::resetHome();
    Frame f;
    QList<QUrl> opened;
    auto previous = CMainFrame::setUrlOpener([&](const QUrl& url) {
        opened << url;
        return false; // no viewer: nothing happens, nothing is reported
    });
    MessageBoxRecorder boxes;
    EXPECT_TRUE(f.frame->OnCmdMsg(ID_HELP_TOPICS));
    CMainFrame::setUrlOpener(previous);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(),
              QCoreApplication::applicationDirPath() + QStringLiteral("/help.chm"));
    EXPECT_TRUE(boxes.calls.empty());
}

TEST(MainFrame, closing_asks_to_save_only_with_more_than_one_unsaved_point)
{
    testenv::resetHome();
    {
        MessageBoxRecorder boxes;
        Frame f;
        f.view().m_nLastPoint = 1;
        f.frame->m_bDataUnsaved = 1;
        ASSERT_TRUE(f.closeAndWait());
        EXPECT_TRUE(boxes.calls.empty());
        EXPECT_FALSE(f.frame->isVisible());
    }
    {
        MessageBoxRecorder boxes;
        boxes.answer = MsgResult::Yes;
        Frame f;
        f.view().m_nLastPoint = 2;
        f.frame->m_bDataUnsaved = 1;
        f.frame->m_bStopped = 0; // closing during a real-time run ends the run first
        FileDialogScript dialogs;
        dialogs.picks.push_back(QDir::homePath() + QStringLiteral("/closing.stdata"));
        f.frame->close();
        ASSERT_EQ(dialogs.calls.size(), 1u);
        EXPECT_TRUE(dialogs.calls[0].save) << "Yes runs the save";
        EXPECT_TRUE(QFile::exists(QDir::homePath() + QStringLiteral("/closing.stdata")));
        // The first close only prepares: the window goes 100 ms later, on the close timer.
        EXPECT_TRUE(f.frame->isVisible());
        EXPECT_TRUE(f.frame->timers().IsActive(kTimerClose));
        EXPECT_EQ(f.frame->timers().Interval(kTimerClose), 100);
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].text,
                  QStringLiteral("Do you want to save the data before closing?"));
        EXPECT_EQ(boxes.calls[0].caption, QStringLiteral("RQ730 Datalogger"));
        EXPECT_EQ(boxes.calls[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(boxes.calls[0].icon, MsgIcon::Question);
        EXPECT_EQ(f.frame->m_bDataUnsaved, 0);
        EXPECT_EQ(f.frame->m_bAskSaveGraph, 0);
        EXPECT_EQ(f.frame->m_bStopped, 1);
        ASSERT_TRUE(sim::waitUntil([&] { return !f.frame->isVisible(); }));
        EXPECT_FALSE(f.frame->timers().IsActive(kTimerClose));
    }
    {
        MessageBoxRecorder boxes; // answered No: flags stay, the window still closes
        Frame f;
        f.view().m_nLastPoint = 2;
        f.frame->m_bDataUnsaved = 1;
        ASSERT_TRUE(f.closeAndWait());
        EXPECT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(f.frame->m_bDataUnsaved, 1);
    }
}

TEST(MainFrame, every_size_from_nothing_paints_graph_band_lists_and_panels)
{
    // A document with both channels and a transient record, shown as loaded, with
    // the lists and the power-analysis panel open.
    testenv::resetHome();
    Frame f;
    ViewState source;
    CDTDoc stored;
    stored.AddView(&source);
    source.m_nStoreCount = 500;
    source.m_bStoreCh1 = source.m_bStoreCh2 = 1;
    source.m_fInterval = 1.0f;
    source.m_tStoreStart = 1700000000;
    for (int i = 0; i < 500; ++i) {
        stored.m_pCh1Data.push_back(float(i % 50));
        stored.m_pCh2Data.push_back(float(i % 70));
    }
    source.m_nTrCount = 1;
    source.m_pTrChannel = {0xF1};
    source.m_pTrQuantity = {0xFA};
    stored.m_pTrTimes = {1700000000};
    stored.m_pTrData.assign(kTrSamples, 100.0f);
    f.doc->LoadFromBytes(stored.StoreToBytes());
    CDTView& view = f.view();
    view.grab();
    ASSERT_TRUE(f.frame->OnCmdMsg(ID_DATA_LIST));
    view.OnShowTrFileList();
    view.OnShowPowerAnalysis();
    ASSERT_TRUE(view.m_dlgDataList && view.m_dlgTrFileList && view.m_dlgPowerAnalysis);
    QCoreApplication::processEvents();

    // The splitter handle dragged to the right, the graph narrowing pixel by pixel.
    QSplitter* splitter = f.frame->m_wndSplitter;
    QSplitterHandle* handle = splitter->handle(1);
    const QPoint grip(handle->width() / 2, handle->height() / 2);
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    for (int w = 300; w >= 0; --w) {
        const int x = splitter->width() - handle->width() - w + grip.x();
        QTest::mouseMove(handle, QPoint(x - handle->x(), grip.y()));
        ASSERT_EQ(view.width(), w);
        const QImage picture = view.grab().toImage();
        ASSERT_EQ(picture.width(), w);
        QWidget* band = view.m_dlgRecInfo;
        ASSERT_EQ(band->width(), w);
        band->grab();
    }
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(QCursor::pos()));

    // The window shrunk to nothing: the graph narrows with it from 300 pixels.
    f.frame->setInstrumentPaneWidth(150);
    for (int s = 460; s >= 0; --s) {
        f.frame->resize(s, s);
        view.grab();
    }
    EXPECT_EQ(view.width(), 0);

    // Every width and height, the graph's own included (the window stops at its
    // smallest size), and each list and panel.
    CToolPanelDlg tools(&view);
    CIndicateView indicate(&view);
    for (QWidget* panel : std::vector<QWidget*>{&view, view.m_dlgDataList, view.m_dlgTrFileList,
                                                view.m_dlgPowerAnalysis, &tools, &indicate}) {
        for (int s = 300; s >= 0; --s) {
            panel->resize(s, 300 - s);
            panel->grab();
        }
    }
    // A widget without area gets no paint event, but the page printed from it does.
    QImage page(100, 100, QImage::Format_RGB32);
    QPainter painter(&page);
    view.resize(0, 0);
    view.PreparePage();
    view.OnDraw(painter, page.size(), true);
    view.OnDraw(painter, page.size(), false);
}
