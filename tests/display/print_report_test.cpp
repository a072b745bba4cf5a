// The printed test report: pagination, page layout, and the PDF the print commands
// write.
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "app/frame_fixture.h"
#include "display/data_list_dialog.h"
#include "display/test_report.h"
#include "graph_fixture.h"
#include "resources/command_ids.h"

using namespace report;

namespace {

// The page count a PDF writer states in its page tree.
int pdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const auto match = QRegularExpression(QStringLiteral("/Count (\\d+)"))
                           .match(QString::fromLatin1(file.readAll()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

const TextItem* find(const PageLayout& page, const QString& text)
{
    for (const TextItem& item : page.texts)
        if (item.text == text)
            return &item;
    return nullptr;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

TEST(PrintReport, list_pages_by_mode)
{
    FrameState store;
    store.m_bStoreRms = 1;
    const int r1 = firstPageRows(store);
    EXPECT_EQ(r1, 55);
    EXPECT_EQ(listPageCount(55, r1), 1);
    EXPECT_EQ(listPageCount(56, r1), 2);
    EXPECT_EQ(listPageCount(115, r1), 2);
    EXPECT_EQ(listPageCount(116, r1), 3);

    FrameState tr;
    tr.m_bStoreTr = 1;
    ViewState view;
    EXPECT_EQ(firstPageRows(tr), 60);
    EXPECT_EQ(listPageCount(listRowCount(view, tr), 60), 5);
    EXPECT_EQ(pageRows(5, 60, 251).first, 240);
    EXPECT_EQ(pageRows(5, 60, 251).end, 251);
    EXPECT_EQ(pageRows(6, 60, 251).end - pageRows(6, 60, 251).first, 0);
    FrameState epa;
    epa.m_bEpa = 1;
    EXPECT_EQ(listPageCount(listRowCount(view, epa), firstPageRows(epa)), 10);
}

TEST(PrintReport, page_layout_of_header_columns_rows_and_footer)
{
    const PageMetrics m = pageMetrics(5000, 7000); // lh 100, cu 100, x2 2000
    RecInfoTexts info;
    info.m_strMode = "STORE RMS";
    info.m_strCh2Min = "1.0 A";
    const ListColumns columns{{"No.", "Time", "CH1", "CH2"}, {0, 1, 2, 3}};
    const CellText cell = [](int row, int sub) { return QStringLiteral("r%1c%2").arg(row).arg(sub); };
    FrameState store;
    store.m_bStoreRms = 1;
    const std::time_t now = testenv::localTime(2026, 12, 8, 10, 0, 0);

    const PageLayout p1 = listPage(m, store, info, true, true, columns, 56, cell, 1, now);
    ASSERT_TRUE(find(p1, "Test Report"));
    EXPECT_EQ(find(p1, "Test Report")->x, 1900);
    EXPECT_EQ(find(p1, "Test Report")->font, FontKind::Title);
    EXPECT_EQ(find(p1, "MODE: STORE RMS")->y, 300);
    EXPECT_EQ(find(p1, "CH2 DATA MIN: 1.0 A")->x, 2000);
    EXPECT_EQ(find(p1, "CH2 DATA MIN: 1.0 A")->y, 600);
    EXPECT_TRUE(p1.hasRule);
    EXPECT_EQ(p1.rule.y1(), 750);
    EXPECT_EQ(p1.whiteFill, QRect(0, 0, 5000, 1400));
    // Columns at 9, 21, 30 and 39 units; rows from 7 lines down.
    for (auto [text, x] : {std::pair{"No.", 900}, {"Time", 2100}, {"CH1", 3000}, {"CH2", 3900}}) {
        ASSERT_TRUE(find(p1, text)) << text;
        EXPECT_EQ(find(p1, text)->x, x);
        EXPECT_EQ(find(p1, text)->y, 800);
    }
    EXPECT_EQ(find(p1, "r0c1")->y, 900);
    EXPECT_EQ(find(p1, "r0c1")->x, 2100);
    EXPECT_TRUE(find(p1, "r54c3"));
    EXPECT_FALSE(find(p1, "r55c0"));
    ASSERT_TRUE(find(p1, "08/12/26  page1"));
    EXPECT_EQ(find(p1, "08/12/26  page1")->x, 2000);
    EXPECT_EQ(find(p1, "08/12/26  page1")->y, 6900);

    const PageLayout p2 = listPage(m, store, info, true, true, columns, 56, cell, 2, now);
    EXPECT_FALSE(find(p2, "MODE: STORE RMS"));
    EXPECT_EQ(find(p2, "r55c0")->y, 400);
    EXPECT_TRUE(find(p2, "08/12/26  page2"));

    // Transient pages: no header block, headings one line down, 60 rows.
    FrameState tr;
    tr.m_bStoreTr = 1;
    const PageLayout t1 = listPage(m, tr, info, true, false, columns, 251, cell, 1, now);
    EXPECT_FALSE(find(t1, "MODE: STORE RMS"));
    EXPECT_EQ(find(t1, "No.")->y, 300);
    EXPECT_TRUE(find(t1, "r59c0"));
    EXPECT_FALSE(find(t1, "r60c0"));

    // Graph page: the block over the picture with one channel; none in the transient
    // mode or with the band hidden.
    info.m_strCh2Max = "2.0 A";
    const PageLayout g = graphPage(m, store, 120, info, false, true);
    EXPECT_EQ(find(g, "CH2 MAX: 2.0 A")->y, 300);
    EXPECT_EQ(find(g, "CH2 MIN: 1.0 A")->x, 2000);
    EXPECT_EQ(g.texts.size(), 6u);
    EXPECT_TRUE(graphPage(m, store, 0, info, true, true).texts.empty());
    EXPECT_TRUE(graphPage(m, tr, 25, info, true, true).texts.empty());
}

TEST(PrintReport, view_prints_list_and_graph_pages)
{
    graphtest::Graph g;
    g.storeRms(116, [](int i) { return 200.0f + i; }, [](int) { return 1.5f; });
    CDTView& v = *g.view;
    v.m_recInfo.m_strMode = "STORE RMS";
    v.ShowDataList();
    settle();

    // A list page drawn on an image: title, header, rows and footer carry text; the
    // white top hides the graph picture in the corner.
    v.m_nDisplayMode = 2;
    QImage page(850, 1100, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        v.OnPrint(p, 3);
    }
    const int lh = 1100 / 70, cu = 850 / 50;
    EXPECT_GT(graphtest::countDark(page, QRect(0, lh + 2 * cu, 850, lh)), 20);     // headings
    EXPECT_GT(graphtest::countDark(page, QRect(0, 2 * lh + 2 * cu, 850, lh)), 20); // row 116
    EXPECT_EQ(graphtest::countDark(page, QRect(0, 3 * lh + 2 * cu, 850, 40 * lh)), 0);
    EXPECT_GT(graphtest::countDark(page, QRect(0, 1100 - lh, 850, lh)), 20); // footer

    const QString pdf = testenv::resetHome() + QStringLiteral("/list.pdf");
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    EXPECT_EQ(v.OnPreparePrinting(), 3);
    EXPECT_TRUE(v.PrintReport(&printer));
    EXPECT_EQ(pdfPages(pdf), 3);

    v.m_nDisplayMode = 1;
    EXPECT_TRUE(v.PrintReport(&printer));
    EXPECT_EQ(pdfPages(pdf), 1);
    v.CloseDataList();
}

TEST(PrintReport, frame_print_list_command_prints_the_open_data_list)
{
    testenv::resetHome();
    const QString pdf = QDir::homePath() + QStringLiteral("/list.pdf");
    frametest::Frame f;
    CDTView& v = f.view();
    f.frame->m_bStoreRms = 1;
    v.m_nStoreCount = v.m_nLastPoint = 116;
    EXPECT_FALSE(f.frame->OnCmdMsg(ID_PRINT_LIST)); // no data list yet
    ASSERT_TRUE(f.frame->OnCmdMsg(ID_DATA_LIST));
    settle();
    CMainFrame::setPrintDialogHook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    EXPECT_TRUE(f.frame->OnCmdMsg(ID_PRINT_LIST));
    CMainFrame::setPrintDialogHook({});
    EXPECT_EQ(v.m_nDisplayMode, 2);
    EXPECT_EQ(pdfPages(pdf), 3);
    EXPECT_TRUE(f.closeAndWait());
    EXPECT_EQ(v.m_dlgDataList, nullptr);
}
