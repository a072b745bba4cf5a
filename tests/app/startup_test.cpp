// Start-up: command line, document named on it, recent files, splash, About box, and a
// look at the started window.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QToolBar>

#include "display/instrument_view.h"

#include "app/about_dialog.h"
#include "app/cdtapp.h"
#include "frame_fixture.h"
#include "platform/file_dialog.h"
#include "platform/whole_file.h"
#include "resources/command_ids.h"

using namespace frametest;

namespace {
// A document file of three channel-1 points, written by a document of its own.
QByteArray threePointDocument()
{
    ViewState source;
    source.m_nStoreCount = 3;
    source.m_bStoreCh1 = 1;
    source.m_strStoreUnit1 = QStringLiteral("V");
    CDTDoc doc;
    doc.AddView(&source);
    doc.m_pCh1Data = {230.0f, 231.5f, 229.8f};
    return doc.StoreToBytes();
}

struct NoSplashPause {
    NoSplashPause() { CMainFrame::setStartupPause(0); }
};

// The start of a CSV report: its first byte reads as a tag length, so the file is
// refused as a document of another type.
const QByteArray kCsvReport = "                         ELECTRIC POWER TEST REPORT(STORE RMS)\r\n"
                              "NO.,RMS,CH1,CH2,TIME,\r\n";

// Presses Ctrl with `key` on the main window, as the user does.
void pressCtrl(CMainFrame* frame, Qt::Key key)
{
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    QTest::keyClick(frame, key, Qt::ControlModifier);
}
} // namespace

TEST(CommandLine, document_path_switches_and_print_requests)
{
    CommandLineInfo none = ParseCommandLine({"rq730"});
    EXPECT_EQ(none.m_nShellCommand, CommandLineInfo::FileNew);
    EXPECT_TRUE(none.m_bShowSplash);

    CommandLineInfo open = ParseCommandLine({"rq730", "/home/u/data/run 1.stdata"});
    EXPECT_EQ(open.m_nShellCommand, CommandLineInfo::FileOpen);
    EXPECT_EQ(open.m_strFileName, QStringLiteral("/home/u/data/run 1.stdata"));

    CommandLineInfo embedded = ParseCommandLine({"rq730", "-Embedding"});
    EXPECT_FALSE(embedded.m_bShowSplash);
    EXPECT_EQ(embedded.m_nShellCommand, CommandLineInfo::FileNew);
    EXPECT_FALSE(ParseCommandLine({"rq730", "/AUTOMATION"}).m_bShowSplash);

    CommandLineInfo print = ParseCommandLine({"rq730", "/p", "a.stdata"});
    EXPECT_EQ(print.m_nShellCommand, CommandLineInfo::FilePrint);
    EXPECT_EQ(print.m_strFileName, QStringLiteral("a.stdata"));

    CommandLineInfo printTo =
        ParseCommandLine({"rq730", "/pt", "a.stdata", "Office", "drv", "lp0"});
    EXPECT_EQ(printTo.m_nShellCommand, CommandLineInfo::FilePrintTo);
    EXPECT_EQ(printTo.m_strPrinterName, QStringLiteral("Office"));
    EXPECT_EQ(printTo.m_strPortName, QStringLiteral("lp0"));

    // Switches the program does not know are ignored wherever they stand.
    for (const QStringList& line :
         {QStringList{"rq730", "-x", "a.stdata"}, QStringList{"rq730", "--verbose", "a.stdata"},
          QStringList{"rq730", "a.stdata", "/unknown"},
          QStringList{"rq730", "-P", "/zz", "a.stdata"},
          // Qt's own options are ignored with their values.
          QStringList{"rq730", "-stylesheet", "/dev/zero", "-platform", "xcb", "a.stdata"},
          QStringList{"rq730", "--style", "fusion", "-reverse", "a.stdata"}}) {
        const CommandLineInfo info = ParseCommandLine(line);
        EXPECT_EQ(info.m_strFileName, QStringLiteral("a.stdata")) << line.join(' ').toStdString();
    }
    EXPECT_EQ(ParseCommandLine({"rq730", "-P", "a.stdata"}).m_nShellCommand,
              CommandLineInfo::FilePrint);
}

TEST(StartUp, qt_gets_none_of_the_real_command_line)
{
    // A platform Qt does not have would end the program before it starts, and a style
    // sheet of /dev/zero would be read without end: neither reaches Qt.
    testenv::resetHome();
    QProcess program;
    program.start(QStringLiteral(RQ730_PROGRAM),
                  {"-platform", "none-such", "-stylesheet", "/dev/zero", "/unregister"});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

TEST(StartUp, unknown_switches_are_ignored_and_a_refused_file_names_nothing)
{
    const QString home = testenv::resetHome();
    NoSplashPause nopause;
    const QString doc = home + QStringLiteral("/measure.stdata");
    ASSERT_TRUE(writeWholeFile(doc, threePointDocument()).isEmpty());
    for (const char* option : {"-x", "--verbose"}) {
        CDTApp app;
        ASSERT_TRUE(app.InitInstance({"rq730", "-Embedding", option, doc})) << option;
        EXPECT_EQ(app.GetDocument()->m_pCh1Data.size(), 3u) << option;
        EXPECT_EQ(app.GetPathName(), doc);
    }

    // A CSV report is refused: the program starts, and neither the path nor the recent
    // files name it, so Ctrl+S asks where to save instead of writing over it.
    const QString csv = home + QStringLiteral("/report.csv");
    ASSERT_TRUE(writeWholeFile(csv, kCsvReport).isEmpty());
    MessageBoxRecorder boxes;
    FileDialogScript dialogs;
    CDTApp app;
    ASSERT_TRUE(app.InitInstance({"rq730", "-Embedding", csv}));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, QStringLiteral("Invalid Format!"));
    EXPECT_TRUE(app.GetPathName().isEmpty());
    EXPECT_FALSE(app.recentFiles().files().contains(csv));
    pressCtrl(app.GetMainWnd(), Qt::Key_S);
    EXPECT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(readWholeFile(csv), kCsvReport);
}

TEST(StartUp, ctrl_n_ctrl_o_and_ctrl_s_save_only_to_the_file_of_the_data)
{
    const QString home = testenv::resetHome();
    NoSplashPause nopause;
    const QString a = home + QStringLiteral("/a.stdata");
    const QString b = home + QStringLiteral("/b.stdata");
    const QString csv = home + QStringLiteral("/a.csv");
    const QByteArray aBytes = threePointDocument();
    ASSERT_TRUE(writeWholeFile(a, aBytes).isEmpty());
    ASSERT_TRUE(writeWholeFile(csv, kCsvReport).isEmpty());
    MessageBoxRecorder boxes;
    FileDialogScript dialogs;
    CDTApp app;
    ASSERT_TRUE(app.InitInstance({"rq730", "-Embedding"}));
    CMainFrame* frame = app.GetMainWnd();
    // B: A with other values, saved through the program itself.
    app.GetDocument()->LoadFromBytes(aBytes);
    app.GetDocument()->m_pCh1Data = {1.0f, 2.0f, 3.0f};
    const QByteArray bBytes = app.GetDocument()->StoreToBytes();
    ASSERT_TRUE(writeWholeFile(b, bBytes).isEmpty());

    // Ctrl+O of A: A is the path and a recent file; Ctrl+S writes A's data back to A.
    dialogs.picks = {a};
    pressCtrl(frame, Qt::Key_O);
    EXPECT_EQ(app.GetDocument()->m_pCh1Data, (std::vector<float>{230.0f, 231.5f, 229.8f}));
    EXPECT_EQ(app.GetPathName(), a);
    EXPECT_EQ(app.recentFiles().files().value(0), a);
    ASSERT_TRUE(QFile::remove(a));
    pressCtrl(frame, Qt::Key_S);
    EXPECT_EQ(dialogs.calls.size(), 1u) << "no dialog: the document has its file";
    EXPECT_EQ(readWholeFile(a), aBytes);

    // Ctrl+O of a CSV report: refused, and A stays the path.
    dialogs.picks = {csv};
    pressCtrl(frame, Qt::Key_O);
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(app.GetPathName(), a);
    EXPECT_EQ(app.recentFiles().files().value(0), a);

    // File > Open of B replaces the data: Ctrl+S asks, and Cancel writes nothing.
    dialogs.picks = {b};
    frame->commandAction(ID_FILE_OPEN_DATA)->trigger();
    EXPECT_EQ(app.GetDocument()->m_pCh1Data, (std::vector<float>{1.0f, 2.0f, 3.0f}));
    const std::size_t before = dialogs.calls.size();
    pressCtrl(frame, Qt::Key_S);
    EXPECT_EQ(dialogs.calls.size(), before + 1);
    EXPECT_EQ(readWholeFile(a), aBytes);
    EXPECT_EQ(readWholeFile(csv), kCsvReport);

    // Ctrl+N drops the path; Ctrl+S then saves where the dialog says.
    const QString c = home + QStringLiteral("/c.stdata");
    dialogs.picks = {c};
    pressCtrl(frame, Qt::Key_N);
    EXPECT_TRUE(app.GetPathName().isEmpty());
    pressCtrl(frame, Qt::Key_S);
    EXPECT_EQ(dialogs.calls.size(), before + 2);
    EXPECT_EQ(readWholeFile(c), bBytes);
    EXPECT_EQ(app.GetPathName(), c);
    EXPECT_EQ(app.recentFiles().files().value(0), c);
    EXPECT_EQ(boxes.calls.size(), 1u);
}

TEST(StartUp, a_print_that_cannot_start_is_reported_and_the_print_switches_fail)
{
    const QString home = testenv::resetHome();
    NoSplashPause nopause;
    // No print server: the default printer is a PDF file with no name.
    qputenv("CUPS_SERVER", QFile::encodeName(home + QStringLiteral("/no-cups-server")));
    const QString doc = home + QStringLiteral("/measure.stdata");
    ASSERT_TRUE(writeWholeFile(doc, threePointDocument()).isEmpty());
    MessageBoxRecorder boxes;
    const QString cannotPrint = QStringLiteral("The report could not be printed.\n");
    {
        CDTApp app;
        EXPECT_FALSE(app.InitInstance({"rq730", "-Embedding", "/pt", doc, "NoSuchPrinter"}));
        EXPECT_NE(app.ExitCode(), 0);
    }
    {
        CDTApp app;
        EXPECT_FALSE(app.InitInstance({"rq730", "-Embedding", "/p", doc}));
        EXPECT_NE(app.ExitCode(), 0);
    }
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].text,
              cannotPrint + QStringLiteral("The printer \"NoSuchPrinter\" is not available."));
    EXPECT_EQ(boxes.calls[1].text, cannotPrint + QStringLiteral("No printer is available."));

    // Print > Graph into a folder that does not exist: the system's reason.
    CDTApp app;
    ASSERT_TRUE(app.InitInstance({"rq730", "-Embedding", doc}));
    CMainFrame::setPrintDialogHook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(home + QStringLiteral("/missing/graph.pdf"));
        return true;
    });
    app.GetMainWnd()->GetDataView()->m_nLastPoint = 3;
    EXPECT_TRUE(app.GetMainWnd()->OnCmdMsg(ID_PRINT_GRAPH));
    CMainFrame::setPrintDialogHook({});
    qunsetenv("CUPS_SERVER");
    ASSERT_EQ(boxes.calls.size(), 3u);
    EXPECT_EQ(boxes.calls[2].text, cannotPrint + QStringLiteral("No such file or directory"));
    EXPECT_EQ(boxes.calls[2].caption, QStringLiteral("RQ730 Datalogger"));
}

TEST(StartUp, unregister_ends_start_up_with_success)
{
    testenv::resetHome();
    CDTApp app;
    EXPECT_FALSE(app.InitInstance({"rq730", "/Unregister"}));
    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_EQ(app.GetMainWnd(), nullptr);
}

TEST(StartUp, document_path_opens_that_document_in_a_maximised_window)
{
    const QString home = testenv::resetHome();
    NoSplashPause nopause;
    const QString path = home + QStringLiteral("/measure.stdata");
    ASSERT_TRUE(writeWholeFile(path, threePointDocument()).isEmpty());
    CDTApp app;
    ASSERT_TRUE(app.InitInstance({"rq730", "-Embedding", path}));
    ASSERT_NE(app.GetMainWnd(), nullptr);
    EXPECT_EQ(app.GetDocument()->m_pCh1Data, (std::vector<float>{230.0f, 231.5f, 229.8f}));
    EXPECT_EQ(app.GetMainWnd()->GetDataView()->m_nStoreCount, 3);
    EXPECT_TRUE(app.GetMainWnd()->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(app.GetMainWnd()->windowTitle(), QStringLiteral("RQ730 Datalogger"));
    EXPECT_EQ(app.recentFiles().files().value(0), path);

    // Restored, the window keeps its frame, title bar included, on the screen.
    CMainFrame* frame = app.GetMainWnd();
    frame->showNormal();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->restoreSettling(); }));
    const QRect area = frame->screen()->availableGeometry();
    ASSERT_FALSE(frame->isMaximized());
    ASSERT_NE(frame->frameGeometry(), frame->geometry()) << "the window has a frame";
    EXPECT_EQ(frame->frameGeometry(), area);
}

TEST(StartUp, a_path_that_cannot_be_opened_ends_start_up_with_a_message)
{
    const QString home = testenv::resetHome();
    NoSplashPause nopause;
    MessageBoxRecorder boxes;
    {
        CDTApp app;
        EXPECT_FALSE(app.InitInstance({"rq730", "-Embedding", home + "/missing.stdata"}));
    }
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_TRUE(boxes.calls[0].text.contains(QStringLiteral("missing.stdata")));

    // A file cut short: the load fails and the program does not start.
    const QString cut = home + QStringLiteral("/cut.stdata");
    ASSERT_TRUE(writeWholeFile(cut, threePointDocument().left(20)).isEmpty());
    {
        CDTApp app;
        EXPECT_FALSE(app.InitInstance({"rq730", "-Embedding", cut}));
    }
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_TRUE(boxes.calls[1].text.contains(QStringLiteral("cut.stdata")));
}

TEST(StartUp, recent_file_list_keeps_the_four_newest)
{
    testenv::resetHome();
    {
        QSettings s(QStringLiteral("Local AppWizard-Generated Applications"),
                    QStringLiteral("RQ730 Datalogger"));
        s.remove(QStringLiteral("Recent File List"));
    }
    RecentFileList list;
    for (int i = 1; i <= 5; ++i)
        list.Add(QStringLiteral("/data/m%1.stdata").arg(i));
    list.Add(QStringLiteral("/data/m3.stdata"));
    const QStringList expected = {"/data/m3.stdata", "/data/m5.stdata", "/data/m4.stdata",
                                  "/data/m2.stdata"};
    EXPECT_EQ(list.files(), expected);
    RecentFileList reread;
    reread.ReadList();
    EXPECT_EQ(reread.files(), expected);
}

TEST(Splash, key_or_click_hides_it_and_is_swallowed)
{
    if (CSplashWnd* left = CSplashWnd::current())
        left->HideSplashScreen();
    CSplashWnd::EnableSplashScreen(true);
    QWidget owner;
    CSplashWnd::ShowSplashScreen(&owner);
    ASSERT_NE(CSplashWnd::current(), nullptr);
    EXPECT_EQ(CSplashWnd::current()->size(), QSize(520, 317));
    // Its picture is on the screen before the event loop runs again, as the start-up
    // pause keeps it from running.
    CSplashWnd* shown = CSplashWnd::current();
    EXPECT_EQ(shown->screen()->grabWindow(shown->winId()).toImage().convertToFormat(
                  QImage::Format_RGB32),
              CSplashWnd::splashPicture().toImage().convertToFormat(QImage::Format_RGB32));
    // A second show while one is up makes no second splash.
    CSplashWnd* first = CSplashWnd::current();
    CSplashWnd::ShowSplashScreen(&owner);
    EXPECT_EQ(CSplashWnd::current(), first);

    struct Counter : QWidget {
        int presses = 0;
        void mousePressEvent(QMouseEvent*) override { ++presses; }
    } target;
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &click);
    EXPECT_EQ(target.presses, 0) << "the click that hides the splash goes nowhere else";
    EXPECT_EQ(CSplashWnd::current(), nullptr);
    QApplication::sendEvent(&target, &click);
    EXPECT_EQ(target.presses, 1);

    CSplashWnd::ShowSplashScreen(&owner);
    ASSERT_NE(CSplashWnd::current(), nullptr);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    EXPECT_TRUE(CSplashWnd::PreTranslateAppMessage(&key));
    EXPECT_EQ(CSplashWnd::current(), nullptr);
    EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&key));

    CSplashWnd::EnableSplashScreen(false);
    CSplashWnd::ShowSplashScreen(&owner);
    EXPECT_EQ(CSplashWnd::current(), nullptr);
    QCoreApplication::processEvents();
}

TEST(StartUp, about_box_shows_name_and_version_each_time)
{
    testenv::resetHome();
    NoSplashPause nopause;
    CDTApp app;
    ASSERT_TRUE(app.InitInstance({"rq730", "-Embedding"}));
    QStringList seen;
    testenv::ScopedModal about([&](QDialog& dialog) {
        EXPECT_NE(qobject_cast<CAboutDlg*>(&dialog), nullptr);
        QStringList texts{dialog.windowTitle()};
        for (QLabel* l : dialog.findChildren<QLabel*>())
            if (!l->text().isEmpty())
                texts << l->text();
        seen << texts.join(QLatin1Char('|'));
        auto* ok = dialog.findChild<QPushButton*>();
        EXPECT_TRUE(ok && ok->isDefault() && ok->text() == QStringLiteral("OK"));
        dialog.setResult(QDialog::Accepted);
    });
    EXPECT_TRUE(app.GetMainWnd()->OnCmdMsg(ID_APP_ABOUT));
    EXPECT_TRUE(app.GetMainWnd()->OnCmdMsg(ID_APP_ABOUT));
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_TRUE(seen[0].startsWith(QStringLiteral("RQ730 Datalogger|")));
    EXPECT_TRUE(seen[0].contains(QStringLiteral("RQ730 Datalogger Version 2.4")));
}

TEST(StartUp, started_window_shows_toolbar_panes_and_grey_frame)
{
    testenv::resetHome();
    NoSplashPause nopause;
    CDTApp app;
    ASSERT_TRUE(app.InitInstance({"rq730", "-Embedding"}));
    CMainFrame* frame = app.GetMainWnd();
    frame->showNormal();
    QCoreApplication::processEvents(); // the restored window is placed first
    frame->resize(1600, 900);
    QCoreApplication::processEvents();
    const QImage shot = frame->grab().toImage();
    if (const QString out = qEnvironmentVariable("RQ730_GRAB_PNG"); !out.isEmpty())
        shot.save(out);
    ASSERT_EQ(shot.size(), QSize(1600, 900));
    // The left pane is 150 pixels wide and the view starts right of it.
    const QRect pane = frame->GetInstrumentView()->geometry();
    EXPECT_EQ(pane.width(), 150);
    EXPECT_GT(frame->GetDataView()->mapTo(frame, QPoint(0, 0)).x(), 149);
    EXPECT_GT(frame->m_wndToolBar->height(), 16);
    EXPECT_TRUE(frame->m_wndToolBar->isVisible());
}

TEST(Splash, a_box_raised_over_the_splash_outlives_it)
{
    if (CSplashWnd* left = CSplashWnd::current())
        left->HideSplashScreen();
    CSplashWnd::EnableSplashScreen(true);
    CSplashWnd::ShowSplashScreen(nullptr);
    QPointer<CSplashWnd> splash = CSplashWnd::current();
    ASSERT_FALSE(splash.isNull());
    {
        // A message box takes the active window, here the splash, as its parent.
        QDialog box(splash);
        box.show();
        splash->HideSplashScreen();
        // Deferred deletions run now, whatever the load; the splash's own re-check
        // (every 100 ms) gets a chance in the wait.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(splash.isNull());
        sim::runEventsFor(150);
        EXPECT_FALSE(splash.isNull());
        EXPECT_TRUE(box.isVisible()) << "the box is still up after the splash went";
    }
    EXPECT_TRUE(sim::waitUntil([&] { return splash.isNull(); }, 3000));
    CSplashWnd::EnableSplashScreen(false);
}
