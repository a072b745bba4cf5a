// The data list: cell texts of every display mode, its window's rebuild, closing and
// following a real-time run.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "display/data_list_dialog.h"
#include "display/mode_rules.h"
#include "display/point_time.h"
#include "graph_fixture.h"

namespace {
void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}
} // namespace

TEST(DataList, cell_texts_of_each_mode)
{
    graphtest::Graph g;
    CDTView& v = *g.view;
    auto cell = [&](int row, int sub) { return datalist::cellText(v, g.frame, g.doc, row, sub); };
    g.storeRms(
        3, [](int i) { return i == 1 ? 0.04f : 230.44f; }, [](int) { return 1.0f; });
    v.m_bShowCh2 = 0;
    EXPECT_EQ(cell(2, 1), formatPointTime(v.m_tStoreStart + 2));
    EXPECT_EQ(cell(0, 2), "230.4 V");
    EXPECT_EQ(cell(1, 2), "LO"); // 0.0 once rounded
    EXPECT_EQ(cell(0, 3), "");   // channel 2 not in this record
    EXPECT_EQ(cell(3, 2), "");   // beyond the series: the list was not rebuilt yet

    // Transient record 1 (window 252..502): its samples and start time; zero is kept.
    g.doc.m_pTrData.assign(2 * 251, 5.0f);
    g.doc.m_pTrData[251] = 0.0f;
    g.doc.m_pTrTimes = {1000, 2000};
    g.frame.clearModeFlags();
    g.frame.m_bStoreTr = 1;
    v.m_nFirstPoint = 252;
    EXPECT_EQ(modes::listRowCount(v, g.frame), 251);
    EXPECT_EQ(cell(0, 2), "0.0 V");
    EXPECT_EQ(cell(250, 1), formatPointTime(2000));

    // Power analysis: one waveform of 590 pairs, rounded as printf rounds.
    g.frame.clearModeFlags();
    g.frame.m_bEpa = 1;
    v.m_bShowCh2 = 1;
    EXPECT_EQ(modes::listRowCount(v, g.frame), 590);
    g.doc.m_fEpaWave[589] = {-1.25f, 0.0f};
    EXPECT_EQ(cell(589, 2), "-1.2 V");
    EXPECT_EQ(cell(589, 3), "0.0 A");

    // Real-time S(VA): V x A in the third column, the fourth empty and zero wide.
    g.frame.clearModeFlags();
    g.frame.m_bRtPowerS = 1;
    v.m_nRtCount = 2;
    v.m_strUnit1 = "VA";
    g.doc.m_pRtRms = {{230.0f, 2.0f}, {0.0f, 3.0f}};
    EXPECT_EQ(cell(0, 2), "460.0 VA");
    EXPECT_EQ(cell(1, 2), "LO");
    EXPECT_EQ(cell(0, 3), "");
    const auto columns = datalist::columnsFor(g.frame);
    EXPECT_EQ(columns[2].heading, "S(VA)");
    EXPECT_EQ(columns[2].width, 130);
    EXPECT_EQ(columns[3].heading, "");
    EXPECT_EQ(columns[3].width, 0);

    // The Q and P flags empty the channel-2 column whatever else is set; the S(VA)
    // heading belongs to S alone.
    v.m_strUnit2 = "A";
    for (std::uint8_t FrameState::*power : {&FrameState::m_bRtPowerQ, &FrameState::m_bRtPowerP}) {
        g.frame.clearModeFlags();
        g.frame.m_bRtRms = 1;
        EXPECT_EQ(cell(0, 3), "2.0 A");
        g.frame.*power = 1;
        EXPECT_EQ(cell(0, 2), "230.0 VA");
        EXPECT_EQ(cell(0, 3), "");
        EXPECT_EQ(datalist::columnsFor(g.frame)[2].heading, "CH1");
    }
}

TEST(DataList, window_rebuilds_when_asked_closes_on_esc_and_opens_again)
{
    graphtest::Graph g;
    g.storeRms(
        100, [](int i) { return float(i); }, [](int) { return 2.0f; });
    CDTView& v = *g.view;
    v.m_recInfo.m_strMode = "STORE RMS";
    v.ShowDataList();
    auto* list = qobject_cast<CDataListDlg*>(v.m_dlgDataList);
    ASSERT_NE(list, nullptr);
    settle();
    EXPECT_EQ(v.m_bListDirty, 0);
    EXPECT_EQ(list->windowTitle(), "STORE RMS Data List");
    EXPECT_EQ(list->listRowCount(), 100);
    v.ShowDataList(); // no second window
    EXPECT_EQ(v.m_dlgDataList, list);

    // Cells follow the arrays at once; the row count only at a rebuild.
    g.doc.m_pCh1Data[5] = 7.0f;
    v.m_nStoreCount = 50;
    list->update();
    settle();
    EXPECT_EQ(list->itemText(5, 2), "7.0 V");
    EXPECT_EQ(list->listRowCount(), 100);
    v.m_bListDirty = 1;
    v.InvalidateDataList();
    settle();
    EXPECT_EQ(list->listRowCount(), 50);

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&list->m_wndList, &esc);
    EXPECT_EQ(v.m_dlgDataList, nullptr);
    EXPECT_EQ(v.m_bDataListOpen, 0);
    settle();
    v.ShowDataList();
    ASSERT_NE(v.m_dlgDataList, nullptr);
    EXPECT_EQ(v.m_bDataListOpen, 1);
    v.CloseDataList();
}

TEST(DataList, real_time_run_returns_to_the_newest_row)
{
    graphtest::Graph g;
    CDTView& v = *g.view;
    g.frame.m_bRtRms = 1;
    g.frame.m_bStopped = 0;
    v.m_nRtCount = 1000;
    g.doc.m_pRtRms.assign(1000, {230.0f, 1.0f});
    v.ShowDataList();
    v.m_dlgDataList->resize(400, 300);
    settle();
    QScrollBar* bar = qobject_cast<CDataListDlg*>(v.m_dlgDataList)->m_wndList.verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setValue(0); // the user scrolls up; the next repaint brings the newest row back
    settle();
    EXPECT_EQ(bar->value(), bar->maximum());
    g.frame.m_bStopped = 1; // after the run the list stays where it is put
    bar->setValue(0);
    settle();
    EXPECT_EQ(bar->value(), 0);
}
