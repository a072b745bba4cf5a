// The printed test report: pagination, page layout, and the PDF the print commands
// write.
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QPrinter>
#include <QRegularExpression>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include "app/frame_fixture.h"
#include "display/curve_raster.h"
#include "display/mode_rules.h"
#include "display/test_report.h"
#include "graph_fixture.h"
#include "resources/command_ids.h"

using namespace report;

namespace {
// The page count a PDF writer states in its page tree.
int pdfPages(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const auto match =
        QRegularExpression("/Count (\\d+)").match(QString::fromLatin1(file.readAll()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Runs `run` with the address space capped `headroom` bytes above what the process
// holds, once the heap's free blocks (which no cap withholds) are taken.
void withAddressSpaceHeadroom(rlim_t headroom, const std::function<void()>& run)
{
    std::vector<void*> held;
    held.reserve(1 << 16); // room for 4 GB in blocks of 64 KB, kept before the cap
    rlim_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit previous{};
    getrlimit(RLIMIT_AS, &previous);
    rlimit cap{pages * sysconf(_SC_PAGESIZE), previous.rlim_max};
    setrlimit(RLIMIT_AS, &cap);
    for (void* block; held.size() < held.capacity() && (block = std::malloc(64 << 10));)
        held.push_back(block);
    cap.rlim_cur += headroom;
    setrlimit(RLIMIT_AS, &cap);
    run();
    setrlimit(RLIMIT_AS, &previous);
    for (void* block : held)
        std::free(block);
}

QPoint at(const PageLayout& page, const QString& text)
{
    for (const TextItem& item : page.texts)
        if (item.text == text)
            return {item.x, item.y};
    return {-1, -1};
}
} // namespace

TEST(PrintReport, list_pages_by_mode)
{
    FrameState store, tr, epa;
    store.m_bStoreRms = tr.m_bStoreTr = epa.m_bEpa = 1;
    for (auto [rows, pages] : {std::pair{55, 1}, {56, 2}, {115, 2}, {116, 3}})
        EXPECT_EQ(listPageCount(rows, firstPageRows(store)), pages) << rows;
    const ViewState view;
    EXPECT_EQ(listPageCount(modes::listRowCount(view, tr), firstPageRows(tr)), 5);
    EXPECT_EQ(pageRows(5, 60, 251).first, 240);
    EXPECT_EQ(pageRows(5, 60, 251).end, 251);
    EXPECT_EQ(listPageCount(modes::listRowCount(view, epa), firstPageRows(epa)), 10);
}

TEST(PrintReport, page_layout_of_header_columns_rows_and_footer)
{
    const PageMetrics m = pageMetrics(5000, 7000); // lh 100, cu 100, x2 2000
    RecInfoTexts info;
    info.m_strMode = "STORE RMS";
    info.m_strCh2Min = "1.0 A";
    const ListColumns columns{{"No.", "Time", "CH1", "CH2"}, {0, 1, 2, 3}};
    const CellText cell = [](int row, int sub) {
        return QStringLiteral("r%1c%2").arg(row).arg(sub);
    };
    FrameState store, tr;
    store.m_bStoreRms = tr.m_bStoreTr = 1;
    const std::time_t now = testenv::localTime(2026, 12, 8, 10, 0, 0);

    const PageLayout p1 = listPage(m, store, info, true, true, columns, 56, cell, 1, now);
    EXPECT_EQ(at(p1, "Test Report"), QPoint(1900, 0));
    EXPECT_EQ(at(p1, "MODE: STORE RMS"), QPoint(0, 300));
    EXPECT_EQ(at(p1, "CH2 DATA MIN: 1.0 A"), QPoint(2000, 600));
    EXPECT_EQ(p1.rule.y1(), 750);
    // Columns at 9, 21, 30 and 39 units; rows from 7 lines down; 55 rows.
    EXPECT_EQ(at(p1, "No."), QPoint(900, 800));
    EXPECT_EQ(at(p1, "CH2"), QPoint(3900, 800));
    EXPECT_EQ(at(p1, "r0c1"), QPoint(2100, 900));
    EXPECT_EQ(at(p1, "r55c0"), QPoint(-1, -1));
    EXPECT_EQ(at(p1, "08/12/26  page1"), QPoint(2000, 6900));
    const PageLayout p2 = listPage(m, store, info, true, true, columns, 56, cell, 2, now);
    EXPECT_EQ(at(p2, "MODE: STORE RMS"), QPoint(-1, -1));
    EXPECT_EQ(at(p2, "r55c0"), QPoint(900, 400));

    // Transient pages: no header block, headings one line down, 60 rows.
    const PageLayout t1 = listPage(m, tr, info, true, false, columns, 251, cell, 1, now);
    EXPECT_EQ(at(t1, "MODE: STORE RMS"), QPoint(-1, -1));
    EXPECT_EQ(at(t1, "No."), QPoint(900, 300));
    EXPECT_NE(at(t1, "r59c0"), QPoint(-1, -1));

    // Graph page: the block with one channel; none in the transient mode or without band.
    EXPECT_EQ(at(graphPage(m, store, 120, info, false, true), "CH2 MIN: 1.0 A"), QPoint(2000, 300));
    EXPECT_TRUE(graphPage(m, store, 0, info, true, true).texts.empty());
    EXPECT_TRUE(graphPage(m, tr, 25, info, true, true).texts.empty());
}

TEST(PrintReport, print_commands_write_list_and_graph_pages)
{
    testenv::resetHome();
    const QString pdf = QDir::homePath() + "/report.pdf";
    frametest::Frame f;
    CDTView& v = f.view();
    f.frame->m_bStoreRms = 1;
    v.m_nStoreCount = v.m_nLastPoint = 116;
    EXPECT_FALSE(f.frame->OnCmdMsg(ID_PRINT_LIST)); // no data list yet
    ASSERT_TRUE(f.frame->OnCmdMsg(ID_DATA_LIST));
    QCoreApplication::processEvents();
    CMainFrame::setPrintDialogHook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    frametest::MessageBoxRecorder boxes({MsgResult::No, MsgResult::Yes});
    EXPECT_TRUE(f.frame->OnCmdMsg(ID_PRINT_LIST));
    EXPECT_EQ(v.m_nDisplayMode, 2);
    EXPECT_EQ(pdfPages(pdf), 3);
    EXPECT_TRUE(boxes.calls.empty()) << "a new file is written without a question";
    // The same file again: asked first, as a save asks; No keeps the list's pages.
    EXPECT_TRUE(f.frame->OnCmdMsg(ID_PRINT_GRAPH));
    EXPECT_EQ(pdfPages(pdf), 3);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text,
              QDir::toNativeSeparators(pdf) + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(boxes.calls[0].caption, "RQ730 Datalogger");
    EXPECT_EQ(boxes.calls[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(f.frame->OnCmdMsg(ID_PRINT_GRAPH));
    EXPECT_EQ(pdfPages(pdf), 1);
    CMainFrame::setPrintDialogHook({});

    // The print dialog itself, the working folder at home: the relative name typed is
    // the file the dialog asks about, and the program does not ask a second time.
    const QString working = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QDir::homePath()));
    QStringList dialogQuestions;
    const std::size_t programQuestions = boxes.calls.size();
    {
        testenv::ScopedModal printDialog([&](QDialog& dialog) {
            dialog.show();
            auto* printers = dialog.findChild<QComboBox*>("printers");
            auto* name = dialog.findChild<QLineEdit*>("filename");
            ASSERT_TRUE(printers && name);
            printers->setCurrentIndex(printers->count() - 1); // the PDF file
            name->setText("report.pdf");
            QTimer::singleShot(0, &dialog, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    dialogQuestions << box->text();
                    box->button(QMessageBox::Yes)->click();
                }
            });
            dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            dialog.hide();
        });
        EXPECT_TRUE(f.frame->OnCmdMsg(ID_PRINT_LIST));
    }
    QDir::setCurrent(working);
    EXPECT_EQ(dialogQuestions.size(), 1);
    EXPECT_EQ(boxes.calls.size(), programQuestions) << "asked once, by the dialog";
    EXPECT_EQ(pdfPages(pdf), 3);

    // The last list page: one row, and nothing of the graph picture under it.
    v.m_nDisplayMode = 2;
    QImage page(850, 1100, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    v.OnPrint(painter, 3);
    painter.end();
    const int lh = 1100 / 70, cu = 850 / 50;
    EXPECT_GT(graphtest::countDark(page, QRect(0, 2 * lh + 2 * cu, 850, lh)), 20);
    EXPECT_EQ(graphtest::countDark(page, QRect(0, 3 * lh + 2 * cu, 850, 60 * lh)), 0);
    EXPECT_TRUE(f.closeAndWait());
    EXPECT_EQ(v.m_dlgDataList, nullptr);
}

TEST(PrintReport, print_or_preview_out_of_memory_says_so_and_leaves_no_file)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer holds terabytes of address space: no cap on it bites";
#endif
    testenv::resetHome();
    const QString pdf = QDir::homePath() + "/full.pdf";
    frametest::Frame f;
    f.doc->m_pCh1Data = f.doc->m_pCh2Data = std::vector(kMaxStorePoints, 50.0f); // a whole memory
    f.view().allocatePlotCaches(f.view().m_nStoreCount = kMaxStorePoints);
    f.view().m_bStoreCh1 = f.view().m_bStoreCh2 = 1;
    f.frame->OnStoreRms();
    CMainFrame::setPrintDialogHook([&](QPrinter& printer) {
        printer.setOutputFileName(pdf);
        return true;
    });
    frametest::MessageBoxRecorder boxes;
    // Room to draw the page but not for the 10 MB buffer the PDF writer compresses it
    // through at its end; none to paint the preview's window.
    withAddressSpaceHeadroom(6 << 20, [&] { f.frame->OnCmdMsg(ID_PRINT_GRAPH); });
    withAddressSpaceHeadroom(2 << 20, [&] { f.frame->OnCmdMsg(ID_PRINT_PREVIEW_GRAPH); });
    EXPECT_FALSE(QFile::exists(pdf));
    // With the memory back the same command prints the page whole; a preview that fails
    // leaves the file the printer names alone.
    EXPECT_TRUE(f.frame->OnCmdMsg(ID_PRINT_GRAPH));
    setCurveStripeHook([](unsigned) { throw std::bad_alloc(); });
    {
        testenv::ScopedModal preview([](QDialog& dialog) { dialog.show(); });
        EXPECT_TRUE(f.frame->OnCmdMsg(ID_PRINT_PREVIEW_GRAPH));
    }
    setCurveStripeHook({});
    EXPECT_EQ(pdfPages(pdf), 1);
    ASSERT_EQ(boxes.calls.size(), 3u);
    for (const auto& box : boxes.calls)
        EXPECT_EQ(box.text, "The report could not be printed.\nThere is not enough memory.");
    CMainFrame::setPrintDialogHook({});
}
